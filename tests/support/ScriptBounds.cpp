#include "support/ScriptBounds.h"

#include <lua.h>

namespace
{
int UnderStop(lua_State* L)
{
	lua_runstop.store(1, std::memory_order_relaxed);
	lua_call(L, lua_gettop(L) - 1, 0);
	lua_runstop.store(0, std::memory_order_relaxed);
	lua_pushstring(L, "finished");
	return 1;
}
}

void RegisterUnderStop(lua_State* L)
{
	lua_register(L, "under_stop", UnderStop);
}
