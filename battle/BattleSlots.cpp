#include "battle/BattleMapLogic.h"

#include "app/Logger.h"
#include "battle/BattleMap.h"
#include "model/MorvalethData.h"
#include "model/MorvalethGame.h"

#include <algorithm>

bool TBattleMapLogic::GetMapSize(int& width, int& height) const
{
	width = m_Field.map ? m_Field.map->GetWidth() : 0;
	height = m_Field.map ? m_Field.map->GetHeight() : 0;
	return m_Field.map != nullptr;
}

bool TBattleMapLogic::GetMapHeight(int x, int y, int& height) const
{
	if (!CheckCell(x, y, "GetMapHeight"))
		return false;
	height = m_Field.map->GetCurrentHeight().At(x, y);
	return true;
}

int TBattleMapLogic::GetMoveTypeCost(int moveType) const
{
	if (moveType < 0 || moveType >= static_cast<int>(m_MoveTotals.cost.size())) {
		LOG_ERROR("movetype %d out of range", moveType);
		return -1;
	}
	return m_MoveTotals.cost[moveType];
}

int TBattleMapLogic::GetMoveTypeSkill(int moveType) const
{
	if (moveType < 0 || moveType >= static_cast<int>(m_MoveTotals.skill.size())) {
		LOG_ERROR("movetype %d out of range", moveType);
		return -1;
	}
	return m_MoveTotals.skill[moveType];
}

// The fill reads the map types, which exist only while a battle runs.
bool TBattleMapLogic::GetMoveLayer(int side, const TCharaInstance& chara, int x, int y, int points,
	TValueLayer<int>& move, TValueLayer<point_t>& from, bool wallPassing)
{
	if (!IsInBattle() || side < 0 || side >= m_Field.SideCount()) {
		LOG_ERROR("no move layer for side %d outside a battle's sides", side);
		return false;
	}
	return FillMoveLayer(m_Field, side, chara, x, y, points, move, from, wallPassing);
}

int TBattleMapLogic::GetSideIndex(int masterData) const
{
	for (int side = 0; side < m_Field.SideCount(); ++side) {
		const int master = m_Field.masters[side];
		if (master >= 0 && m_Game.GetMaster(master).DataIndex == masterData)
			return side;
	}
	return -1;
}

void TBattleMapLogic::GetActiveChara(int& side, int& index) const
{
	side = m_Active.side;
	index = m_Active.index;
}

int TBattleMapLogic::GetCharaCount(int side) const
{
	if (side < 0 || side >= m_Field.SideCount()) {
		LOG_ERROR("no side %d", side);
		return -1;
	}
	return static_cast<int>(m_Field.sides[side]->size());
}

bool TBattleMapLogic::GetCharaOn(int x, int y, int& side, int& index) const
{
	TCharaRef ref;
	if (!CheckCell(x, y, "GetCharaOn") || !m_Field.CharaOn(x, y, ref))
		return false;
	side = ref.side;
	index = ref.index;
	return true;
}

bool TBattleMapLogic::FindChara(int side, int charaData, int& index) const
{
	if (GetCharaCount(side) < 0)
		return false;
	const int found = FindCharaInList(*m_Field.sides[side], charaData);
	if (found < 0)
		return false;
	index = found;
	return true;
}

bool TBattleMapLogic::GetCharaStatus(int side, int index, TCharaInstance& chara) const
{
	if (!CheckChara(side, index, "GetCharaStatus"))
		return false;
	chara = m_Field.Chara({side, index});
	return true;
}

TCharaInstance TBattleMapLogic::CreateCharaInstance(int charaData, int rank) const
{
	return m_Game.CreateCharaInstance(charaData, rank);
}

bool TBattleMapLogic::GetLastTarget(int& x, int& y) const
{
	if (m_LastTarget.x == -1)
		return false;
	x = m_LastTarget.x;
	y = m_LastTarget.y;
	return true;
}

bool TBattleMapLogic::GetAutoRunaway(point_t& cell)
{
	if (!HasActiveChara("GetAutoRunaway"))
		return false;
	return FindRunawayCell(m_Field, m_Active.side, Active(), m_MoveLayer, cell);
}

void TBattleMapLogic::SetCharaBrave(int side, int index, int value)
{
	if (CheckChara(side, index, "SetCharaBrave"))
		m_Field.Chara({side, index}).Brave = std::max(0, std::min(value, 100));
}

// The rebuilt record keeps where and how the chara stands in the battle, which the map's layers
// and the turn order rely on, besides its rank, experience, HP and MP.
bool TBattleMapLogic::ChangeChara(int side, int index, int charaData)
{
	if (!CheckChara(side, index, "ChangeChara"))
		return false;
	if (charaData < 0 || charaData >= m_Data.GetCharaCount()) {
		LOG_ERROR("no character %d", charaData);
		return false;
	}
	TCharaInstance& chara = m_Field.Chara({side, index});
	TCharaInstance changed = m_Game.CreateCharaInstance(charaData, chara.Rank);
	changed.Experience = chara.Experience;
	changed.HP = chara.HP;
	changed.MP = chara.MP;
	changed.BattleX = chara.BattleX;
	changed.BattleY = chara.BattleY;
	changed.DrawSlot = chara.DrawSlot;
	changed.ActionGauge = chara.ActionGauge;
	changed.SummonState = chara.SummonState;
	changed.SummonPartner = chara.SummonPartner;
	changed.Fled = chara.Fled;
	changed.Fleeing = chara.Fleeing;
	chara = changed;
	UpdateCharaDrawRecord({side, index});
	return true;
}

// The totals follow the cell's map type while a battle has them; outside one only the map changes.
bool TBattleMapLogic::ChangeMapCell(int x, int y, const std::function<bool()>& change)
{
	const TValueLayer<int>& types = m_Field.map->GetMapType();
	const bool tracked = types.Contains(x, y);
	const int oldType = tracked ? types.At(x, y) : -1;
	const bool changed = change();
	if (tracked)
		m_MoveTotals.Replace(m_Data, oldType, types.At(x, y));
	return changed;
}

bool TBattleMapLogic::SetMapChip(int x, int y, int chip)
{
	return CheckCell(x, y, "SetMapChip")
		&& ChangeMapCell(x, y, [&] { return m_Field.map->SetMapChip(m_Data, x, y, chip); });
}

bool TBattleMapLogic::RemoveMapObj(int x, int y)
{
	return CheckCell(x, y, "RemoveMapObj")
		&& ChangeMapCell(x, y, [&] { return m_Field.map->RemoveMapObject(m_Data, x, y); });
}

bool TBattleMapLogic::RemoveMapObjOfType(int x, int y, int kind)
{
	return CheckCell(x, y, "RemoveMapObjOfType") && kind != 0
		&& ChangeMapCell(x, y, [&] { return m_Field.map->RemoveMapObjectOfType(m_Data, x, y, kind) == 1; });
}
