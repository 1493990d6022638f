#include "unit/ScriptFixture.h"

#include "script/ApiConventions.h"
#include "script/LuaManager.h"

#include <climits>
#include <lauxlib.h>
#include <lua.h>
#include <lualib.h>
#include <stdexcept>

namespace
{
class ApiConventions : public ScriptTest
{
protected:
	ApiConventions() : L(luaL_newstate()) { luaL_openlibs(L); }
	~ApiConventions() override { lua_close(L); }

	// Leaves the values of the Lua expression list on the stack, alone.
	void Push(const std::string& values)
	{
		lua_settop(L, 0);
		ASSERT_EQ("", RunChunk(L, "return " + values)) << values;
	}

	lua_State* L;
};

// A native function that checks for one number and one string, as engine functions do.
int NeedsNumberAndString(lua_State* L)
{
	return ApiGuard(L, "needs", [L] {
		if (!ApiArgsMatch(L, "ns"))
			return ApiInvalidArgument(L, ApiLogName("needs"));
		const int number = LuaToInt(L, 1);
		const std::string text = ApiArgString(L, 2);
		lua_settop(L, 0);
		if (number < 0)
			return ApiErrorf(L, "%s(%d, %s) error:負の数です。", ApiLogName("needs"), number, text);
		if (number == 99)
			throw std::runtime_error("kaput");
		if (number == 98)
			luaL_error(L, "a Lua error passes through");
		lua_pushnumber(L, number);
		return 1;
	});
}
}

TEST_F(ApiConventions, ArgumentTypesAndIntegerTruncation)
{
	struct Case
	{
		const char* value;
		char type;
		bool accepted;
		int integer;
	};
	const Case cases[] = {
		{"2.9", 'n', true, 2}, {"-2.9", 'n', true, -2}, {"'12'", 'n', true, 12}, {"' 7 '", 'n', true, 7},
		{"2147483647.9", 'n', true, INT_MAX}, {"-2147483648.9", 'n', true, INT_MIN},
		{"2147483648", 'n', false, 0}, {"-2147483649", 'n', false, 0}, {"1e300", 'n', false, 0},
		{"1/0", 'n', false, 0}, {"-1/0", 'n', false, 0}, {"0/0", 'n', false, 0}, {"'abc'", 'n', false, 0},
		{"true", 'n', false, 0}, {"nil", 'n', false, 0}, {"{}", 'n', false, 0},
		{"'id'", 's', true, 0}, {"12", 's', true, 0}, {"true", 's', false, 0}, {"nil", 's', false, 0},
		{"false", 'b', true, 0}, {"1", 'b', false, 0}, {"nil", 'b', false, 0},
		{"{}", 't', true, 0}, {"'t'", 't', false, 0}, {"1", 'x', false, 0},
	};
	for (const Case& c : cases) {
		Push(c.value);
		EXPECT_EQ(c.accepted, ApiArgIs(L, 1, c.type)) << c.value << " as " << c.type;
		if (c.accepted && c.type == 'n') {
			EXPECT_EQ(c.integer, LuaToInt(L, 1)) << c.value;
		}
	}
	Push("12");
	EXPECT_EQ("12", ApiArgString(L, 1)) << "a number stands for an id by its text";
}

TEST_F(ApiConventions, EveryFailureIsReportedAndGivesNoValues)
{
	TMorvalethLuaManager manager;
	const std::string script = WriteScript("conv.lua",
		"function run()\n"
		"  local results = {}\n"
		"  results.bad = select('#', needs(1))\n"
		"  results.extra = select('#', needs(1, 'a', 2))\n"
		"  results.negative = select('#', needs(-3, 'x'))\n"
		"  results.thrown = select('#', needs(99, 'x'))\n"
		"  results.lua = pcall(needs, 98, 'x')\n"
		"  results.good = needs('5', 'x')\n"
		"  return results.bad == 0 and results.extra == 0 and results.negative == 0 and results.thrown == 0\n"
		"    and results.lua == false and results.good == 5\n"
		"end\n");
	ASSERT_TRUE(manager.LoadLua(script.c_str()));
	lua_register(manager.GetState(), "needs", NeedsNumberAndString);
	ASSERT_TRUE(manager.CallFunction("run"));
	EXPECT_TRUE(manager.GetResult());
	// A scenario has several scripts: each warning names the one that called, and its line.
	const std::vector<std::string> expected = {
		"Warning : invalid argument for `anonymous-namespace'::needs (Line 3) in " + script,
		"Warning : invalid argument for `anonymous-namespace'::needs (Line 4) in " + script};
	EXPECT_EQ(expected, ScriptLog());
	EXPECT_EQ(1, m_Log.CountLines("Error `anonymous-namespace'::needs(-3, x) error:負の数です。"));
	EXPECT_EQ(1, m_Log.CountLines("Error `anonymous-namespace'::needs error:kaput"));
}

TEST_F(ApiConventions, RefusalsAndScriptErrorLines)
{
	lua_pushnumber(L, 1);
	EXPECT_EQ(0, ApiRefuseOutsideBattle(L, "api_get_action_list"));
	EXPECT_EQ(0, lua_gettop(L));
	EXPECT_EQ(0, ApiRefuseInsideBattle(L, ApiLogName("api_scenario_endturn")));
	LogScriptError(L, "no caller");
	EXPECT_EQ(1, m_Log.CountLines("Error api_get_action_list was called, but not battle."));
	EXPECT_EQ(1, m_Log.CountLines("Error `anonymous-namespace'::api_scenario_endturn was called, but now battle."));
	EXPECT_EQ(1, m_Log.CountLines("Error ? Line ? : no caller"));

	lua_register(L, "report", [](lua_State* L) {
		LogScriptError(L, "from a script");
		return 0;
	});
	const std::string path = WriteScript("caller.lua", "\n\nreport()\n");
	ASSERT_EQ(0, luaL_dofile(L, path.c_str()));
	EXPECT_EQ(1, m_Log.CountLines("Error @" + path + " Line 3 : from a script"));
}
