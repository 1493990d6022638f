#include "battle/RangeRules.h"

#include "app/Logger.h"
#include "battle/BattleMap.h"
#include "battle/CharaRules.h"
#include "battle/HexGeometry.h"
#include "model/MorvalethData.h"

namespace
{
// A line keeps its direction, so once it has left the map's rectangle it never comes back:
// the walk ends there however long the line is.
void AppendLine(const TBattleField& field, point_t from, int direction, int steps, std::vector<point_t>& cells)
{
	point_t cell = from;
	for (int i = 0; i < steps; ++i) {
		cell = GetAdjacentCell(cell.x, cell.y, direction);
		if (!field.sideLayer.Contains(cell.x, cell.y))
			return;
		cells.push_back(cell);
	}
}

// A cell in range holds the fill value negated as a truth value: 0 for a filled 1, 1 for a filled 0.
void NegateCells(TValueLayer<int>& layer, const std::vector<point_t>& cells, int fill)
{
	for (const point_t& cell : cells)
		layer.At(cell.x, cell.y) = !fill;
}

void AppendCharaCells(const TBattleField& field, int side, std::vector<point_t>& cells)
{
	// Charas that died or left keep a cell that may be another's now; they are not taken.
	for (const TCharaInstance& chara : *field.sides[side])
		if (chara.HP > 0 && IsOnField(chara))
			cells.push_back({chara.BattleX, chara.BattleY});
}

void AppendDead(const TBattleField& field, int side, int index, std::vector<point_t>& cells,
	std::vector<TCharaRef>& deadCharas)
{
	const TCharaInstance& chara = field.Chara({side, index});
	cells.push_back({chara.BattleX, chara.BattleY});
	deadCharas.push_back({side, index});
}

void AppendLastDead(const TBattleField& field, int side, std::vector<point_t>& cells, std::vector<TCharaRef>& deadCharas)
{
	if (!field.dead[side].empty())
		AppendDead(field, side, field.dead[side].back(), cells, deadCharas);
}

void AppendAllDead(const TBattleField& field, int side, std::vector<point_t>& cells, std::vector<TCharaRef>& deadCharas)
{
	for (int index : field.dead[side])
		AppendDead(field, side, index, cells, deadCharas);
}

void AppendLowerCells(const TBattleField& field, int rangeHeight, std::vector<point_t>& cells)
{
	for (int y = 0; y < field.Height(); ++y)
		for (int x = 0; x < field.Width(); ++x)
			if (field.map->GetCurrentHeight().At(x, y) < rangeHeight)
				cells.push_back({x, y});
}

void AppendWalls(const TBattleField& field, std::vector<point_t>& cells)
{
	for (const point_t& cell : field.map->GetWallList())
		if (field.map->GetMapObjectType(cell.x, cell.y) == MAP_OBJECT_WALL)
			cells.push_back(cell);
}

bool AdmitsCell(const TBattleField& field, int attributeType, int side, const TSpecialData& special, point_t cell)
{
	TCharaRef ref;
	const bool holdsChara = field.CharaOn(cell.x, cell.y, ref);
	if (holdsChara && special.TargetGroup != -1
		&& special.TargetGroup != field.CharaData(field.Chara(ref)).TargetGroup)
		return false;
	switch (attributeType) {
	case ATTRIBUTE_NONE:
		return false;
	case ATTRIBUTE_ATTACK:
		return holdsChara && ref.side != side;
	case ATTRIBUTE_BOOST:
		return holdsChara && ref.side == side;
	case ATTRIBUTE_CRASHWALL:
		return field.map->GetMapObjectType(cell.x, cell.y) == MAP_OBJECT_WALL;
	case ATTRIBUTE_SUMMON:
		return !holdsChara;
	default:
		return true;
	}
}
}

bool GetRange(const TBattleField& field, TValueLayer<int>& layer, int x, int y, int rangeType, int maxRange,
	int maxRadius, int fill)
{
	if (rangeType == RANGE_NONE) {
		g_Logger.Error("TBattleMapLogic::GetRange() parameter error:undefined rangetype");
		return false;
	}
	if (rangeType != RANGE_NORMAL && rangeType != RANGE_STREAM)
		return false;
	layer.Resize(field.Width(), field.Height());
	layer.Fill(fill);
	std::vector<point_t> cells;
	if (rangeType == RANGE_NORMAL) {
		GetNeighborCells(x, y, field.Width(), field.Height(), std::min(maxRange, NEIGHBOR_RING_MAX), cells);
	} else {
		for (int direction = 0; direction < HEX_NEIGHBOR_COUNT; ++direction)
			AppendLine(field, {x, y}, direction, maxRadius + 1, cells);
	}
	NegateCells(layer, cells, fill);
	return true;
}

void GetTargetCells(const TBattleField& field, int side, point_t caster, point_t aim, int radius, int rangeType,
	int rangeHeight, std::vector<point_t>& cells, std::vector<TCharaRef>& deadCharas)
{
	switch (rangeType) {
	case RANGE_NORMAL:
		GetNeighborCells(aim.x, aim.y, field.Width(), field.Height(), radius, cells);
		break;
	case RANGE_ME:
		GetNeighborCells(caster.x, caster.y, field.Width(), field.Height(), radius, cells);
		break;
	case RANGE_STREAM:
		AppendLine(field, caster, HexDirection6(caster.x, caster.y, aim.x, aim.y), radius + 1, cells);
		break;
	case RANGE_ALLMYSIDE:
		AppendCharaCells(field, side, cells);
		break;
	case RANGE_ALLENEMY:
		for (int s = 0; s < field.SideCount(); ++s)
			if (s != side)
				AppendCharaCells(field, s, cells);
		break;
	case RANGE_ALLWALL:
		AppendWalls(field, cells);
		break;
	case RANGE_LASTDEADMYSIDE:
		AppendLastDead(field, side, cells, deadCharas);
		break;
	case RANGE_LASTDEADENEMY:
		for (int s = 0; s < field.SideCount(); ++s) {
			if (s != side && !field.dead[s].empty()) {
				AppendLastDead(field, s, cells, deadCharas);
				break;
			}
		}
		break;
	case RANGE_ALLDEADMYSIDE:
		AppendAllDead(field, side, cells, deadCharas);
		break;
	case RANGE_ALLDEADENEMY:
		for (int s = 0; s < field.SideCount(); ++s)
			if (s != side)
				AppendAllDead(field, s, cells, deadCharas);
		break;
	case RANGE_LOWERTHAN:
		AppendLowerCells(field, rangeHeight, cells);
		break;
	default:
		break;
	}
}

void FilterTargetCells(const TBattleField& field, const std::vector<point_t>& cells, const std::vector<bool>& flags,
	int side, int special, std::vector<point_t>& out)
{
	const TSpecialData& data = field.data->GetSpecialData(special);
	const int attributeType = field.data->GetAttributeData(data.Attribute).type;
	for (std::size_t i = 0; i < cells.size() && i < flags.size(); ++i)
		if (flags[i] && AdmitsCell(field, attributeType, side, data, cells[i]))
			out.push_back(cells[i]);
}

bool HasTargetAt(const TBattleField& field, point_t caster, point_t aim, int side, int special)
{
	if (special < 0 || special >= field.data->GetSpecialCount())
		return false;
	const TSpecialData& data = field.data->GetSpecialData(special);
	std::vector<point_t> cells;
	std::vector<TCharaRef> deadCharas;
	GetTargetCells(field, side, caster, aim, data.MaxRadius, data.RangeType, data.RangeHeight, cells, deadCharas);
	std::vector<point_t> kept;
	FilterTargetCells(field, cells, std::vector<bool>(cells.size(), true), side, special, kept);
	return !kept.empty();
}
