#ifndef MORVALETH_SCRIPT_APICONVENTIONS_H
#define MORVALETH_SCRIPT_APICONVENTIONS_H

#include "app/Logger.h"

#include <functional>
#include <string>

struct lua_State;

// What every engine function shares. An engine function never raises a Lua error:
// it tests the battle or world context first, then the exact number and types of
// its arguments (ApiArgsMatch), reads them and empties the stack, looks its ids up,
// and only then acts. Every refusal or failure goes through one of the reports
// below, which empty the stack and give the count of no values to return.
//
// Type letters of the argument tests: 'n' a number (numeric strings too) that
// fits a 32-bit integer once truncated; 's' a string (numbers too); 'b' a boolean
// and nothing else; 't' a table.

/// The function's name as the logs show it: "`anonymous-namespace'::" and its Lua name.
std::string ApiLogName(const char* luaName);

/// True when there are exactly as many arguments as letters and each has its type.
bool ApiArgsMatch(lua_State* L, const char* types);
/// True when the argument at the index has the type of the letter.
bool ApiArgIs(lua_State* L, int index, char type);
/// The number at the index truncated toward zero; only for an argument that passed 'n'.
int LuaToInt(lua_State* L, int index);
/// The string at the index (a number in its text form), its bytes as they are.
std::string ApiArgString(lua_State* L, int index);
/// The argument's truth as Lua sees it.
bool ApiArgBool(lua_State* L, int index);

/// True while a battle runs: g_BattleInterface is set and says so.
bool IsBattleRunning();

/// Invalid argument: "Warning : invalid argument for %s (Line %d)" in the script log; no values.
int ApiInvalidArgument(lua_State* L, const std::string& name);
/// Battle refusal: "%s was called, but not battle." as an Error; no values.
int ApiRefuseOutsideBattle(lua_State* L, const std::string& name);
/// World refusal: "%s was called, but now battle." as an Error; no values.
int ApiRefuseInsideBattle(lua_State* L, const std::string& name);
/// Id or range error: the text as an Error line of the main log; no values.
int ApiError(lua_State* L, const std::string& text);

/// ApiError with a message formatted from script values ("%s", "%d"); the values never act as a format.
template <typename... Args>
int ApiErrorf(lua_State* L, const std::string& format, const Args&... args)
{
	return ApiError(L, FormatText(format, args...));
}

/// Writes "%s Line %d : %s" (the calling chunk's name and line) or "? Line ? : %s" as an Error.
void LogScriptError(lua_State* L, const std::string& message);
/// The same line as a Warning.
void LogScriptWarning(lua_State* L, const std::string& message);

/// Runs an engine function's body; a std::exception out of it is logged as an Error under the
/// name and gives no values. Lua's own errors pass through untouched.
int ApiGuard(lua_State* L, const char* name, const std::function<int()>& body);

/// Index of the character definition with the id; -1 when there is none or no game is held.
int ApiCharaIndex(const std::string& id);
/// Index of the master definition with the id; -1 when there is none or no game is held.
int ApiMasterIndex(const std::string& id);
/// Index of the area with the id; -1 when there is none or no game is held.
int ApiAreaIndex(const std::string& id);

#endif
