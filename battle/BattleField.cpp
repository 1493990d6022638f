#include "battle/BattleField.h"

#include "battle/BattleMap.h"
#include "battle/CharaRules.h"
#include "battle/HexGeometry.h"
#include "model/MorvalethData.h"

bool TBattleField::IsChara(int side, int index) const
{
	return side >= 0 && side < SideCount() && index >= 0 && index < static_cast<int>(sides[side]->size());
}

const TCharaData& TBattleField::CharaData(const TCharaInstance& chara) const
{
	return data->GetCharaData(chara.CharaIndex);
}

bool TBattleField::CharaOn(int x, int y, TCharaRef& ref) const
{
	if (!sideLayer.Contains(x, y) || sideLayer.At(x, y) < 0)
		return false;
	ref = {sideLayer.At(x, y), charaLayer.At(x, y)};
	return true;
}

void TBattleField::Put(const TCharaRef& ref, int x, int y)
{
	TCharaInstance& chara = Chara(ref);
	chara.BattleX = x;
	chara.BattleY = y;
	sideLayer.At(x, y) = ref.side;
	charaLayer.At(x, y) = ref.index;
}

void TBattleField::Vacate(const TCharaRef& ref)
{
	const TCharaInstance& chara = Chara(ref);
	if (sideLayer.Contains(chara.BattleX, chara.BattleY))
		sideLayer.At(chara.BattleX, chara.BattleY) = -1;
}

void TBattleField::ClearLayers()
{
	sideLayer.Resize(map->GetWidth(), map->GetHeight());
	sideLayer.Fill(-1);
	charaLayer.Resize(map->GetWidth(), map->GetHeight());
}

namespace
{
bool IsArmed(const TBattleField& field, int x, int y)
{
	TCharaRef ref;
	return field.CharaOn(x, y, ref) && field.IsChara(ref.side, ref.index)
		&& HasUsableAttack(field.CharaData(field.Chara(ref)));
}
}

bool IsEnemyAdjacent(const TBattleField& field, int side, int x, int y, bool armedOnly)
{
	for (int k = 0; k < HEX_NEIGHBOR_COUNT; ++k) {
		const point_t n = GetAdjacentCell(x, y, k);
		if (!field.sideLayer.Contains(n.x, n.y))
			continue;
		const int other = field.sideLayer.At(n.x, n.y);
		if (other != -1 && other != side && (!armedOnly || IsArmed(field, n.x, n.y)))
			return true;
	}
	return false;
}

bool IsNextToWall(const TBattleField& field, int x, int y)
{
	for (int k = 0; k < HEX_NEIGHBOR_COUNT; ++k) {
		const point_t n = GetAdjacentCell(x, y, k);
		if (IsInsideMap(n.x, n.y, field.Width(), field.Height())
			&& field.map->GetMapObjectType(n.x, n.y) == MAP_OBJECT_WALL)
			return true;
	}
	return false;
}

// Marking the neighbours of every armed enemy gives the same cells as asking
// IsEnemyAdjacent of every cell, at the cost of one pass over the map.
void ComputeZoneOfControl(const TBattleField& field, int side, TValueLayer<int>& zone)
{
	zone.Resize(field.Width(), field.Height());
	for (int y = 0; y < field.Height(); ++y) {
		for (int x = 0; x < field.Width(); ++x) {
			const int other = field.sideLayer.At(x, y);
			if (other == -1 || other == side || !IsArmed(field, x, y))
				continue;
			for (int k = 0; k < HEX_NEIGHBOR_COUNT; ++k) {
				const point_t n = GetAdjacentCell(x, y, k);
				if (zone.Contains(n.x, n.y))
					zone.At(n.x, n.y) = 1;
			}
		}
	}
}
