#include "script/ApiConventions.h"

#include "app/GameMaster.h"
#include "model/MorvalethData.h"
#include "model/MorvalethGame.h"
#include "script/BattleInterface.h"
#include "script/LuaManager.h"
#include "script/ScriptLog.h"

#include <cmath>
#include <exception>
#include <lua.h>

bool IsBattleRunning()
{
	return g_BattleInterface && g_BattleInterface->IsInBattle();
}

namespace
{
// Only numbers whose truncation is a 32-bit integer are integers here: NaN, the
// infinities and anything beyond the range would have no defined conversion.
bool IsIntegerNumber(lua_State* L, int index)
{
	if (!lua_isnumber(L, index))
		return false;
	const lua_Number value = lua_tonumber(L, index);
	return std::isfinite(value) && value > -2147483649.0 && value < 2147483648.0;
}
}

std::string ApiLogName(const char* luaName)
{
	return std::string("`anonymous-namespace'::") + luaName;
}

bool ApiArgIs(lua_State* L, int index, char type)
{
	switch (type) {
	case 'n':
		return IsIntegerNumber(L, index);
	case 's':
		return lua_isstring(L, index) != 0;
	case 'b':
		return lua_type(L, index) == LUA_TBOOLEAN;
	case 't':
		return lua_type(L, index) == LUA_TTABLE;
	default:
		return false;
	}
}

bool ApiArgsMatch(lua_State* L, const char* types)
{
	const int count = int(std::char_traits<char>::length(types));
	if (lua_gettop(L) != count)
		return false;
	for (int i = 0; i < count; ++i)
		if (!ApiArgIs(L, i + 1, types[i]))
			return false;
	return true;
}

int LuaToInt(lua_State* L, int index)
{
	return static_cast<int>(lua_tonumber(L, index));
}

std::string ApiArgString(lua_State* L, int index)
{
	size_t length = 0;
	const char* text = lua_tolstring(L, index, &length);
	return text ? std::string(text, length) : std::string();
}

bool ApiArgBool(lua_State* L, int index)
{
	return lua_toboolean(L, index) != 0;
}

int ApiInvalidArgument(lua_State* L, const std::string& name)
{
	lua_settop(L, 0);
	LuaWarnInvalidArgument(L, name);
	return 0;
}

int ApiRefuseOutsideBattle(lua_State* L, const std::string& name)
{
	return ApiErrorf(L, "%s was called, but not battle.", name);
}

int ApiRefuseInsideBattle(lua_State* L, const std::string& name)
{
	return ApiErrorf(L, "%s was called, but now battle.", name);
}

int ApiError(lua_State* L, const std::string& text)
{
	lua_settop(L, 0);
	g_Logger.Error(text);
	return 0;
}

namespace
{
// The message after the calling chunk's name and line, "%s Line %d : %s", or "? Line ? : %s".
std::string ScriptLine(lua_State* L, const std::string& message)
{
	const char* source = nullptr;
	int line = 0;
	if (LuaGetSourceLine(L, &source, &line) == 0)
		return FormatText("%s Line %d : %s", source, line, message);
	return "? Line ? : " + message;
}
}

void LogScriptError(lua_State* L, const std::string& message)
{
	g_Logger.Error(ScriptLine(L, message));
}

void LogScriptWarning(lua_State* L, const std::string& message)
{
	g_Logger.Warning(ScriptLine(L, message));
}

int ApiGuard(lua_State* L, const char* name, const std::function<int()>& body)
{
	try {
		return body();
	} catch (const std::exception& e) {
		return ApiErrorf(L, "%s error:%s", ApiLogName(name), e.what());
	}
}

int ApiCharaIndex(const std::string& id)
{
	return g_GameMaster.m_Data ? g_GameMaster.m_Data->GetCharaIndex(id) : -1;
}

int ApiMasterIndex(const std::string& id)
{
	return g_GameMaster.m_Data ? g_GameMaster.m_Data->GetMasterIndex(id) : -1;
}

int ApiAreaIndex(const std::string& id)
{
	return g_GameMaster.m_Game ? g_GameMaster.m_Game->GetAreaIndex(id) : -1;
}
