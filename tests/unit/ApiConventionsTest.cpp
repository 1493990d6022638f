#include "unit/ScriptFixture.h"

#include "script/ApiConventions.h"
#include "script/LuaManager.h"
#include "support/ScriptBounds.h"

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

// print_log and debug_log of one table of a million entries passed 30,000 times. Tables render as "?", two
// bytes of the count each, and fill the text after the first thousand entries: the walk ends there. Long
// strings of which no more fit (two fill all but 44 bytes of print_log's 2048, one all but 22 of debug_log's
// 1024) are walked until the run is stopped.
TEST_F(ApiConventions, TheLogsTextEndsWhenItIsFullOrTheRunIsStopped)
{
	TMorvalethLuaManager manager;
	ASSERT_TRUE(manager.LoadLua(WriteScript("logs.lua",
		"local function refs(value)\n"
		"  local t, r = {}, {}\n"
		"  for i = 1, 1e6 do t[i] = value end\n"
		"  for i = 1, 30000 do r[i] = t end\n"
		"  return r\n"
		"end\n"
		"function setup() tables, long = refs({}), refs(string.rep('x', 1000)) return true end\n"
		"function printsTables() print_log(unpack(tables)) return true end\n"
		"function debugsTables() debug_log(unpack(tables)) return true end\n"
		"function printsLong() print_log(unpack(long)) return true end\n"
		"function debugsLong() debug_log(unpack(long)) return true end\n").c_str()));
	{
		// The runs that must finish have all the time they need: a walk of every entry would take many minutes.
		const TScopedScriptBounds bounds(std::chrono::hours(10), SCRIPT_MEMORY_LIMIT);
		ASSERT_TRUE(manager.CallFunction("setup"));
		ASSERT_TRUE(manager.GetResult());
		ASSERT_TRUE(manager.CallFunction("printsTables"));
		EXPECT_EQ(std::vector<std::string>{std::string(1024, '?')}, ScriptLog());
		ASSERT_TRUE(manager.CallFunction("debugsTables"));
		EXPECT_EQ(1, m_Log.CountLines("Debug Lua Log: " + std::string(512, '?')));
	}
	const TScopedScriptBounds bounds(std::chrono::milliseconds(100), SCRIPT_MEMORY_LIMIT, 1LL << 62);
	for (const char* name : {"printsLong", "debugsLong"}) {
		EXPECT_FALSE(manager.CallFunction(name)) << name;
		EXPECT_EQ(1, m_Log.CountLines(std::string("logs.lua の関数 ") + name + " が失敗しました：")) << m_Log.Text();
	}
	EXPECT_EQ(2, m_Log.CountLines(": 実行時間が 0.1 秒を超えたため実行を止めました。")) << m_Log.Text();
}

// Texts of any length that a script passes reach the logs cut as a failed run's message is: an engine function's
// error naming them, its warning naming the script's file, and _ALERT.
TEST_F(ApiConventions, TextsAScriptPassesAreLoggedCutToASaneLength)
{
	TMorvalethLuaManager manager;
	ASSERT_TRUE(manager.LoadLua(WriteScript("long.lua",
		"function run()\n"
		"  local long = string.rep('x', 2^20)\n"
		"  needs(-1, long)\n"
		"  loadstring('needs()', '@' .. long)()\n"
		"  _ALERT(string.rep('y', 4 * 2^20))\n"
		"end\n").c_str()));
	lua_register(manager.GetState(), "needs", NeedsNumberAndString);
	ASSERT_TRUE(manager.CallFunction("run"));
	const auto cut = [](const std::string& head, char filler, std::size_t whole) {
		return head + std::string(2000 - head.size(), filler) + "...(全 " + std::to_string(whole) + " バイトのうち先頭 2000 バイト)";
	};
	const std::string error = "`anonymous-namespace'::needs(-1, ";
	const std::size_t errorBytes = (error + std::string(1 << 20, 'x') + ") error:負の数です。").size();
	EXPECT_NE(std::string::npos, m_Log.Text().find(" Error " + cut(error, 'x', errorBytes) + "\n"));
	const std::string warning = "Warning : invalid argument for `anonymous-namespace'::needs (Line 1) in ";
	const std::vector<std::string> expected = {
		cut(warning, 'x', warning.size() + (1 << 20)), cut("", 'y', (4 << 20) + 9)};
	EXPECT_EQ(expected, ScriptLog());
	EXPECT_LT(m_Log.Text().size(), 5000u);
}
