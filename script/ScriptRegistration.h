#ifndef MORVALETH_SCRIPT_SCRIPTREGISTRATION_H
#define MORVALETH_SCRIPT_SCRIPTREGISTRATION_H

#include <vector>

struct lua_State;
/// Lua's type of a native function, declared again (as lua.h declares it) so that users of the table need no
/// Lua header.
typedef int (*lua_CFunction)(lua_State* L);

/// One engine function as scripts see it: its global name and its native function.
struct TScriptFunction
{
	/// The global name the scripts call it by.
	const char* name;
	/// Gets the script's arguments on the stack and returns the count of values it leaves there.
	lua_CFunction function;
};

/// Sets the script constants as global numbers, group by group (ABSORB ends as the resistance 4).
void RegisterScriptConstants(lua_State* L);
/// Registers every engine function as a global, in the order of ScriptFunctionTable.
void RegisterScriptAPI(lua_State* L);
/// The engine functions in the order of registration.
const std::vector<TScriptFunction>& ScriptFunctionTable();

#endif
