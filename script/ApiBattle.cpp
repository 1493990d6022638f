#include "script/ApiBattle.h"

#include "app/HexGrid.h"
#include "model/MorvalethData.h"
#include "script/ApiBattleCall.h"
#include "script/BattleInterface.h"
#include "script/LuaManager.h"

#include <algorithm>
#include <lua.h>

namespace
{
// The side the script does not act for: the battle has two.
int OtherSide()
{
	return g_ScriptMaster != 0 ? 0 : 1;
}

int PushNumberArray(lua_State* L, const std::vector<int>& numbers)
{
	lua_newtable(L);
	for (std::size_t i = 0; i < numbers.size(); ++i) {
		lua_pushnumber(L, numbers[i]);
		lua_rawseti(L, -2, int(i) + 1);
	}
	return 1;
}

// A centre this far outside the map has no cell of the table on it.
bool CentreNearMap(int x, int y, int width, int height)
{
	return x >= -NEIGHBOR_RING_MAX && x < width + NEIGHBOR_RING_MAX && y >= -NEIGHBOR_RING_MAX
		&& y < height + NEIGHBOR_RING_MAX;
}

// The cells of rings 0..radius around the centre that lie on the map, nearest ring first; a radius above the
// table is refused with the message, a negative one gives no cells.
int PushNeighbors(TBattleCall& c, int radiusMax, const char* tooLarge, bool sorted)
{
	const int x = c.Number(0);
	const int y = c.Number(1);
	const int radius = c.Number(2);
	if (radius > radiusMax)
		return ApiError(c.L, tooLarge);
	int width = 0;
	int height = 0;
	if (!c.MapSize(width, height))
		return 0;
	std::vector<point_t> cells;
	if (CentreNearMap(x, y, width, height))
		GetNeighborCells(x, y, width, height, radius, cells);
	if (sorted) {
		std::stable_sort(cells.begin(), cells.end(), [](const point_t& a, const point_t& b) {
			return a.y != b.y ? a.y < b.y : a.x < b.x;
		});
	}
	const int hint = radius < 0 ? 0 : GetNeighborRingStart(radius + 1);
	return c.PushCells(cells, 1, sorted ? 0 : hint);
}

// The cost or skill total of a move type over the map.
int PushMoveTypeTotal(TBattleCall& c, int (TBattleInterface::*total)(int) const)
{
	const int moveType = c.Number(0);
	int width = 0;
	int height = 0;
	const TMorvalethData* data = c.Data();
	if (!data || !c.MapSize(width, height))
		return 0;
	if (moveType < 0 || moveType >= data->GetMoveTypeCount())
		return c.Error("%s(%d) error:無効な移動タイプが指定されました。", moveType);
	lua_pushnumber(c.L, (c.battle.*total)(moveType));
	return 1;
}
}

int api_battle_get_turn(lua_State* L)
{
	return RunBattleApi(L, {"api_battle_get_turn", BATTLE_FIRST, nullptr, nullptr, nullptr, nullptr},
		[](TBattleCall& c) {
			lua_pushnumber(c.L, c.battle.GetTurn());
			return 1;
		});
}

int api_battle_get_map_size(lua_State* L)
{
	return RunBattleApi(L, {"api_battle_get_map_size", BATTLE_FIRST, nullptr, nullptr, nullptr, nullptr},
		[](TBattleCall& c) {
			int width = 0;
			int height = 0;
			return c.MapSize(width, height) ? c.PushPair(width, height) : 0;
		});
}

int api_battle_get_map_height(lua_State* L)
{
	return RunBattleApi(L, {"api_battle_get_map_height", NO_BATTLE_TEST, "nn", nullptr, nullptr, nullptr},
		[](TBattleCall& c) {
			int height = 0;
			if (!c.CheckCell(c.Number(0), c.Number(1)) || !c.battle.GetMapHeight(c.Number(0), c.Number(1), height))
				return 0;
			lua_pushnumber(c.L, height);
			return 1;
		});
}

int api_battle_get_movetype_totalcost(lua_State* L)
{
	return RunBattleApi(L, {"api_battle_get_movetype_totalcost", NO_BATTLE_TEST, "n", nullptr, nullptr, nullptr},
		[](TBattleCall& c) { return PushMoveTypeTotal(c, &TBattleInterface::GetMoveTypeCost); });
}

int api_battle_get_movetype_totalskill(lua_State* L)
{
	return RunBattleApi(L, {"api_battle_get_movetype_totalskill", NO_BATTLE_TEST, "n", nullptr, nullptr, nullptr},
		[](TBattleCall& c) { return PushMoveTypeTotal(c, &TBattleInterface::GetMoveTypeSkill); });
}

int api_battle_get_neighbor(lua_State* L)
{
	return RunBattleApi(L, {"api_battle_get_neighbor", NO_BATTLE_TEST, "nnn", nullptr, nullptr, nullptr},
		[](TBattleCall& c) {
			return PushNeighbors(c, NEIGHBOR_RING_MAX, "api_get_neighbor too large radius.", false);
		});
}

int api_battle_get_neighbor_sorted(lua_State* L)
{
	return RunBattleApi(L,
		{"api_battle_get_neighbor_sorted", NO_BATTLE_TEST, "nnn", "api_get_neighbor_sorted", nullptr, nullptr},
		[](TBattleCall& c) {
			return PushNeighbors(c, NEIGHBOR_RING_MAX, "api_get_neighbor_sorted too large radius.", true);
		});
}

int api_battle_get_is_defense_side(lua_State* L)
{
	return RunBattleApi(L, {"api_battle_get_is_defense_side", ARGUMENTS_FIRST, "n", nullptr, nullptr, nullptr},
		[](TBattleCall& c) { return c.PushBool(c.Number(0) == 0); });
}

int api_battle_get_master_list(lua_State* L)
{
	return RunBattleApi(L, {"api_battle_get_master_list", BATTLE_FIRST, nullptr, nullptr, nullptr, nullptr},
		[](TBattleCall& c) { return PushNumberArray(c.L, {g_ScriptMaster, OtherSide()}); });
}

int api_battle_get_my_master(lua_State* L)
{
	return RunBattleApi(L, {"api_battle_get_my_master", BATTLE_FIRST, nullptr, nullptr, nullptr, nullptr},
		[](TBattleCall& c) {
			lua_pushnumber(c.L, g_ScriptMaster);
			return 1;
		});
}

int api_battle_get_enemy_master(lua_State* L)
{
	return RunBattleApi(L, {"api_battle_get_enemy_master", BATTLE_FIRST, nullptr, nullptr, nullptr, nullptr},
		[](TBattleCall& c) { return PushNumberArray(c.L, {OtherSide()}); });
}

int api_battle_get_chara_count(lua_State* L)
{
	return RunBattleApi(L, {"api_battle_get_chara_count", ARGUMENTS_FIRST, "n", nullptr, nullptr, nullptr},
		[](TBattleCall& c) {
			if (!c.CheckSide(c.Number(0)))
				return 0;
			lua_pushnumber(c.L, c.battle.GetCharaCount(c.Number(0)));
			return 1;
		});
}

int api_battle_get_active_chara(lua_State* L)
{
	return RunBattleApi(L,
		{"api_battle_get_active_chara", BATTLE_FIRST, nullptr, "api_battle_get_active_chara", nullptr, nullptr},
		[](TBattleCall& c) {
			int side = -1;
			int index = -1;
			c.battle.GetActiveChara(side, index);
			return c.PushPair(side, index);
		});
}

int api_battle_get_chara_on(lua_State* L)
{
	return RunBattleApi(L, {"api_battle_get_chara_on", BATTLE_FIRST, "nn", "api_battle_get_chara_on", nullptr, nullptr},
		[](TBattleCall& c) {
			int side = -1;
			int index = -1;
			if (!c.CheckCell(c.Number(0), c.Number(1)) || !c.battle.GetCharaOn(c.Number(0), c.Number(1), side, index))
				return 0;
			return c.PushPair(side, index);
		});
}
