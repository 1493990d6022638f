// The battle engine functions about one chara: where it can move and what it is.

#include "script/ApiBattle.h"

#include "app/HexGrid.h"
#include "app/ValueLayer.h"
#include "model/CharaData.h"
#include "model/MorvalethData.h"
#include "script/ApiBattleCall.h"
#include "script/ApiGameCall.h"
#include "script/BattleInterface.h"

#include <algorithm>
#include <lua.h>

namespace
{
// A map-sized layer as a flat array keyed y x width + x from 0; each value pushed by the function.
template <typename Push>
int PushFlatLayer(lua_State* L, int width, int height, const Push& push)
{
	lua_createtable(L, width * height, 0);
	for (int y = 0; y < height; ++y) {
		for (int x = 0; x < width; ++x) {
			push(x, y);
			lua_rawseti(L, -2, y * width + x);
		}
	}
	return 1;
}

// A table of numbers keyed from 0.
template <typename T, typename Value>
void SetZeroBasedField(lua_State* L, const char* key, const std::vector<T>& items, const Value& value)
{
	lua_pushstring(L, key);
	lua_newtable(L);
	for (std::size_t i = 0; i < items.size(); ++i) {
		lua_pushnumber(L, value(items[i]));
		lua_rawseti(L, -2, int(i));
	}
	lua_rawset(L, -3);
}

int PushStatus(lua_State* L, const TCharaInstance& chara, const TCharaData& data)
{
	const std::pair<const char*, int> fields[] = {{"x", chara.BattleX}, {"y", chara.BattleY}, {"hp", chara.HP},
		{"hpmax", chara.HPMax}, {"mp", chara.MP}, {"mpmax", chara.MPMax}, {"pa", chara.PhysicalAttack},
		{"pd", chara.PhysicalDefense}, {"skill", chara.Skill}, {"speed", chara.Speed}, {"ma", chara.MagicAttack},
		{"md", chara.MagicDefense}, {"brave", chara.Brave}, {"power", chara.Power}, {"element", chara.SummonState},
		{"movetype", chara.MoveType}, {"pa_plus", chara.PhysicalAttackBonus}, {"pd_plus", chara.PhysicalDefenseBonus},
		{"skill_plus", chara.SkillBonus}, {"speed_plus", chara.SpeedBonus}, {"ma_plus", chara.MagicAttackBonus},
		{"md_plus", chara.MagicDefenseBonus}, {"hprecover_plus", chara.HPRecoverBonus},
		{"mprecover_plus", chara.MPRecoverBonus}, {"attackcount_plus", chara.AttackCountBonus},
		{"movable_plus", chara.MovableBonus}};
	lua_newtable(L);
	for (const auto& field : fields)
		SetNumberField(L, field.first, field.second);
	SetZeroBasedField(L, "status", chara.Conditions, [](const std::pair<int, int>& c) { return c.first; });
	SetZeroBasedField(L, "resistance", chara.Resistances, [](int level) { return level; });
	SetNumberField(L, "attackcount", int(data.Attacks.size()));
	SetNumberField(L, "morale", data.Morale);
	SetNumberField(L, "aggressive", data.Aggressive);
	SetBoolField(L, "master", data.IsMaster);
	return 1;
}

// The acting chara as the battle has it; false, after an Error, before any chara has acted.
bool ActiveChara(TBattleCall& c, TCharaInstance& chara)
{
	int side = -1;
	int index = -1;
	c.battle.GetActiveChara(side, index);
	if (side < 0 || index < 0) {
		c.Error("%s was called, but no chara is acting.");
		return false;
	}
	return c.CheckChara(side, index) && c.battle.GetCharaStatus(side, index, chara);
}
}

// Every cell the movable layer marks, in ring order around the chara: the whole ring table, as move points
// can carry a chara further than its move range along cheap cells.
int api_battle_get_movable(lua_State* L)
{
	return RunBattleApi(L, {"api_battle_get_movable", BATTLE_FIRST, nullptr, nullptr, nullptr, nullptr},
		[](TBattleCall& c) {
			TCharaInstance chara;
			int width = 0;
			int height = 0;
			if (!ActiveChara(c, chara) || !c.MapSize(width, height))
				return 0;
			const TValueLayer<int> layer = c.battle.GetMovableLayer();
			std::vector<point_t> cells;
			GetNeighborCells(chara.BattleX, chara.BattleY, width, height, NEIGHBOR_RING_MAX, cells);
			cells.erase(std::remove_if(cells.begin(), cells.end(),
							[&](const point_t& cell) { return !layer.Contains(cell.x, cell.y) || layer.At(cell.x, cell.y) == 0; }),
				cells.end());
			return c.PushCells(cells, 0, 0);
		});
}

int api_battle_get_movable_layer(lua_State* L)
{
	return RunBattleApi(L, {"api_battle_get_movable_layer", BATTLE_FIRST, nullptr, nullptr, nullptr, nullptr},
		[](TBattleCall& c) {
			int width = 0;
			int height = 0;
			if (!c.MapSize(width, height))
				return 0;
			const TValueLayer<int> layer = c.battle.GetMovableLayer();
			return PushFlatLayer(c.L, width, height, [&](int x, int y) {
				lua_pushnumber(c.L, layer.Contains(x, y) ? layer.At(x, y) : 0);
			});
		});
}

int api_battle_get_move_layer_from(lua_State* L)
{
	return RunBattleApi(L, {"api_battle_get_move_layer_from", BATTLE_FIRST, "nnnnnb", nullptr, nullptr, nullptr},
		[](TBattleCall& c) {
			const int side = c.Number(0);
			const int index = c.Number(1);
			const point_t start = {c.Number(2), c.Number(3)};
			const int points = c.Number(4);
			int width = 0;
			int height = 0;
			TCharaInstance chara;
			if (!c.CheckChara(side, index) || !c.CheckCell(start.x, start.y) || !c.MapSize(width, height)
				|| !c.battle.GetCharaStatus(side, index, chara))
				return 0;
			TValueLayer<int> move(width, height);
			TValueLayer<point_t> from(width, height);
			if (!c.battle.GetMoveLayer(side, chara, start.x, start.y, points, move, from, c.Flag(5)))
				return 0;
			return PushFlatLayer(c.L, width, height, [&](int x, int y) {
				lua_newtable(c.L);
				SetNumberField(c.L, "value", move.At(x, y));
				SetNumberField(c.L, "fromx", from.At(x, y).x);
				SetNumberField(c.L, "fromy", from.At(x, y).y);
			});
		});
}

int api_battle_get_chara_status(lua_State* L)
{
	return RunBattleApi(L,
		{"api_battle_get_chara_status", BATTLE_FIRST, "nn", "api_battle_get_chara_status", nullptr, nullptr},
		[](TBattleCall& c) {
			TCharaInstance chara;
			const TMorvalethData* data = c.Data();
			if (!data || !c.CheckChara(c.Number(0), c.Number(1)) || !c.battle.GetCharaStatus(c.Number(0), c.Number(1), chara))
				return 0;
			return PushStatus(c.L, chara, data->GetCharaData(chara.CharaIndex));
		});
}
