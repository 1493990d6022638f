#include "script/ApiBattleCall.h"

#include "app/GameMaster.h"
#include "app/HexGrid.h"
#include "model/MorvalethData.h"
#include "script/ApiGameCall.h"
#include "script/BattleInterface.h"
#include "script/LuaManager.h"

#include <cstring>
#include <lua.h>

TBattleCall::TBattleCall(lua_State* state, const std::string& shownName, TBattleInterface& battleInterface)
	: L(state), name(shownName), battle(battleInterface)
{
}

void TBattleCall::ReadArguments(int count)
{
	m_Numbers.assign(count, 0);
	m_Flags.assign(count, false);
	for (int i = 0; i < count; ++i) {
		if (ApiArgIs(L, i + 1, 'n'))
			m_Numbers[i] = LuaToInt(L, i + 1);
		else
			m_Flags[i] = ApiArgBool(L, i + 1);
	}
	lua_settop(L, 0);
}

bool TBattleCall::MapSize(int& width, int& height) const
{
	if (battle.GetMapSize(width, height) && width > 0 && height > 0)
		return true;
	Error("%s was called, but no battle map is held.");
	return false;
}

bool TBattleCall::CheckCell(int x, int y) const
{
	int width = 0;
	int height = 0;
	if (!MapSize(width, height))
		return false;
	if (x >= 0 && x < width && y >= 0 && y < height)
		return true;
	Error("%s(%d, %d) error:マップ外の座標が指定されました。", x, y);
	return false;
}

bool TBattleCall::CheckSide(int side) const
{
	// Only a side the battle has answers a count; the battle reports any other.
	if (side >= 0 && battle.GetCharaCount(side) >= 0)
		return true;
	Error("%s(%d) error:無効な陣営が指定されました。", side);
	return false;
}

bool TBattleCall::CheckChara(int side, int index) const
{
	if (!CheckSide(side))
		return false;
	if (index >= 0 && index < battle.GetCharaCount(side))
		return true;
	Error("%s(%d, %d) error:無効なキャラインデックスが指定されました。", side, index);
	return false;
}

const TMorvalethData* TBattleCall::Data() const
{
	if (!g_GameMaster.m_Data)
		Error("%s was called, but no game.");
	return g_GameMaster.m_Data.get();
}

int TBattleCall::PushCell(const point_t& cell) const
{
	lua_newtable(L);
	SetNumberField(L, "x", cell.x);
	SetNumberField(L, "y", cell.y);
	return 1;
}

int TBattleCall::PushCells(const std::vector<point_t>& cells, int firstKey, int sizeHint) const
{
	lua_createtable(L, sizeHint, 0);
	for (std::size_t i = 0; i < cells.size(); ++i) {
		PushCell(cells[i]);
		lua_rawseti(L, -2, firstKey + int(i));
	}
	return 1;
}

int TBattleCall::PushBool(bool value) const
{
	lua_pushboolean(L, value);
	return 1;
}

int TBattleCall::PushPair(int a, int b) const
{
	lua_pushnumber(L, a);
	lua_pushnumber(L, b);
	return 2;
}

namespace
{
// The argument test of a spec; false after the warning.
bool ArgumentsMatch(lua_State* L, const TBattleApiSpec& spec, const std::string& shownName)
{
	if (!spec.types) {
		lua_settop(L, 0);
		return true;
	}
	const int required = int(std::strlen(spec.types));
	const int optional = spec.optional ? int(std::strlen(spec.optional)) : 0;
	const int count = lua_gettop(L);
	bool match = optional ? count >= required : count == required;
	for (int i = 0; match && i < required; ++i)
		match = ApiArgIs(L, i + 1, spec.types[i]);
	if (!match) {
		ApiInvalidArgument(L, shownName);
		return false;
	}
	for (int i = 0; i < optional && required + i < count; ++i) {
		if (!ApiArgIs(L, required + i + 1, spec.optional[i])) {
			ApiInvalidArgument(L, spec.optionalWarning ? spec.optionalWarning : shownName);
			return false;
		}
	}
	return true;
}
}

int RunBattleApi(lua_State* L, const TBattleApiSpec& spec, const std::function<int(TBattleCall&)>& body)
{
	return ApiGuard(L, spec.luaName, [&] {
		const std::string shownName = spec.shownName ? spec.shownName : ApiLogName(spec.luaName);
		if (spec.test == BATTLE_FIRST && !IsBattleRunning())
			return ApiRefuseOutsideBattle(L, shownName);
		const int count = lua_gettop(L);
		if (!ArgumentsMatch(L, spec, shownName))
			return 0;
		if (spec.test == ARGUMENTS_FIRST && !IsBattleRunning())
			return ApiRefuseOutsideBattle(L, shownName);
		// The functions without a battle test still need the controller that holds the last map.
		if (!g_BattleInterface)
			return ApiErrorf(L, "%s was called, but no battle controller.", shownName);
		TBattleCall call(L, shownName, *g_BattleInterface);
		call.ReadArguments(spec.types ? count : 0);
		return body(call);
	});
}
