#include "unit/ScriptFixture.h"

#include "app/GameMaster.h"
#include "platform/FileSystem.h"
#include "script/LuaManager.h"
#include "script/ScriptAPI.h"
#include "support/ScriptBounds.h"

#include <chrono>
#include <lua.h>
#include <map>
#include <sys/stat.h>
#include <utility>

namespace
{
class LuaHost : public ScriptTest
{
protected:
	// A manager with the script loaded; fails the test when it does not load.
	void Load(TMorvalethLuaManager& manager, const std::string& text, const std::string& name = "host.lua")
	{
		ASSERT_TRUE(manager.LoadLua(WriteScript(name, text).c_str()));
	}
};

const char* const STEPS_SCRIPT =
	"function steps(a, b, c)\n"
	"  print_log(a, b, c)\n"
	"  coroutine.yield(1, 2)\n"
	"  coroutine.yield()\n"
	"  return a == 'x'\n"
	"end\n"
	"function returns(kind)\n"
	"  if kind == 'true' then return true end\n"
	"  if kind == 'true5' then return true, 5 end\n"
	"  if kind == '5true' then return 5, true end\n"
	"  if kind == 'false' then return false end\n"
	"end\n"
	"function boom() local t = nil; return t.field end\n"
	"function late() coroutine.yield(); error('late failure') end\n";
}

TEST_F(LuaHost, ACallYieldsAndIsResumedFrameByFrameUntilItsResult)
{
	TMorvalethLuaManager manager;
	Load(manager, STEPS_SCRIPT);
	ASSERT_TRUE(manager.CallFunction("steps", {"x", "y", "z"}));
	EXPECT_TRUE(manager.IsSuspended());
	EXPECT_FALSE(manager.GetResult());
	ASSERT_TRUE(manager.Resume());
	EXPECT_TRUE(manager.IsSuspended());
	ASSERT_TRUE(manager.Resume());
	EXPECT_FALSE(manager.IsSuspended());
	EXPECT_TRUE(manager.GetResult());
	EXPECT_EQ(std::vector<std::string>{"x y z "}, ScriptLog());
	// Debug lines mark the start and end of the call and of each resume.
	EXPECT_EQ(1, m_Log.CountLines(":s steps"));
	EXPECT_EQ(1, m_Log.CountLines(":e steps"));
	EXPECT_EQ(4, m_Log.CountLines("Debug TMorvalethLuaManager::Resume:"));
}

TEST_F(LuaHost, TheResultIsTheBooleanOnTopOfWhatTheCallReturned)
{
	TMorvalethLuaManager manager;
	Load(manager, STEPS_SCRIPT);
	const std::pair<const char*, bool> cases[] = {
		{"true", true}, {"true5", false}, {"5true", true}, {"false", false},
		// Nothing returned: false, not what an earlier call returned.
		{"nothing", false}, {"true", true}, {"nothing", false},
	};
	for (const auto& c : cases) {
		ASSERT_TRUE(manager.CallFunction("returns", {c.first})) << c.first;
		EXPECT_EQ(c.second, manager.GetResult()) << c.first;
		EXPECT_EQ(0, lua_gettop(manager.GetState())) << "results never pile up on the state's stack";
	}
}

TEST_F(LuaHost, AFailedRunIsLoggedAndTheScriptAnswersTheNextCall)
{
	TMorvalethLuaManager manager;
	Load(manager, STEPS_SCRIPT);
	EXPECT_FALSE(manager.CallFunction("boom"));
	EXPECT_FALSE(manager.IsSuspended());
	EXPECT_EQ(1, m_Log.CountLines("関数 boom のresume error 2"));
	EXPECT_EQ(1, m_Log.CountLines("スクリプト " + (m_Dir / "host.lua") + " の関数 boom が失敗しました："));
	const std::vector<std::string> log = ScriptLog();
	ASSERT_EQ(1u, log.size());
	EXPECT_NE(std::string::npos, log[0].find("host.lua:13: attempt to index local 't' (a nil value)")) << log[0];

	ASSERT_TRUE(manager.CallFunction("returns", {"true"}));
	EXPECT_TRUE(manager.GetResult());

	ASSERT_TRUE(manager.CallFunction("late"));
	EXPECT_FALSE(manager.Resume());
	EXPECT_EQ(1, m_Log.CountLines("Error TMorvalethLuaManager::Resume error:resume error 2"));
	EXPECT_EQ(1, m_Log.CountLines("Error スクリプト " + (m_Dir / "host.lua") + " の関数 late が失敗しました："));
	EXPECT_EQ(1, m_Log.CountLines("host.lua:14: late failure")) << "Lua's message";
	EXPECT_FALSE(manager.IsSuspended());
	ASSERT_TRUE(manager.CallFunction("returns", {"true"}));
	EXPECT_TRUE(manager.GetResult());
}

// A run that would never end is stopped once it has spent its budget, whether it loops in the entry
// function, with the debug hooks removed, under a pcall that catches the stop, in coroutines of its own,
// after a yield or at the top level of the file; each run starts with the whole budget, and the script
// answers the next call.
TEST_F(LuaHost, ARunPastItsInstructionBudgetFailsAndTheScriptGoesOn)
{
	struct TBudget
	{
		TBudget() { SetRunInstructionBudget(100000); }
		~TBudget() { SetRunInstructionBudget(RUN_INSTRUCTION_BUDGET); }
	} budget;
	TMorvalethLuaManager manager;
	Load(manager, "function endless() while true do end end\n"
				  "function unhooked() debug.sethook() while true do end end\n"
				  "function caught() while true do pcall(function() while true do end end) end end\n"
				  "function spawns() while true do coroutine.resume(coroutine.create(function() while true do end end)) end end\n"
				  "function later() coroutine.yield() while true do end end\n"
				  "function busy() local n = 0 for i = 1, 30000 do n = n + i end return n > 0 end\n");
	const std::string stop = "命令数が 100000 を超えたため実行を止めました。";
	for (const char* name : {"endless", "unhooked", "caught", "spawns"}) {
		EXPECT_FALSE(manager.CallFunction(name)) << name;
		EXPECT_EQ(1, m_Log.CountLines("host.lua の関数 " + std::string(name) + " が失敗しました：")) << m_Log.Text();
		for (int call = 0; call < 5; ++call) {
			ASSERT_TRUE(manager.CallFunction("busy"));
			EXPECT_TRUE(manager.GetResult());
		}
	}
	ASSERT_TRUE(manager.CallFunction("later"));
	EXPECT_FALSE(manager.Resume());
	EXPECT_FALSE(manager.IsSuspended());
	EXPECT_EQ(1, m_Log.CountLines("host.lua の関数 later が失敗しました："));
	EXPECT_EQ(5, m_Log.CountLines(stop));
	EXPECT_EQ(5u, ScriptLog().size());
	EXPECT_FALSE(manager.LoadLua(WriteScript("loops.lua", "while true do end").c_str()));
	// The engine's names are registered after the chunk has run, through what the chunk made of the globals.
	EXPECT_FALSE(manager.LoadLua(
		WriteScript("guards.lua", "setmetatable(_G, {__newindex = function() while true do end end})").c_str()));
	EXPECT_EQ(1, m_Log.CountLines("guards.lua のロードに失敗ました。"));
	ASSERT_TRUE(manager.CallFunction("busy"));
}

namespace
{
const std::size_t TEST_MEMORY = std::size_t(32) << 20;
const std::chrono::milliseconds SHORT_DEADLINE(100);
/// A deadline no run of a test reaches: the run must end by another bound.
const std::chrono::hours NO_DEADLINE(10);
}

// What the budget cannot see, the deadline and the memory limit stop: time spent in library calls, a
// pattern that backtracks for ever, a finalizer that never returns, a table that grows without end. The
// hooks a script sets or removes change nothing, nor does a pcall that catches the stop. Each is one
// failed run, and the script answers the next call.
TEST_F(LuaHost, ARunThatEscapesTheBudgetIsStoppedByTimeOrMemory)
{
	struct TEscape
	{
		const char* name;
		const char* body;
		std::chrono::milliseconds deadline;
		const char* stop;
	};
	// Each stop names the script line it came at (a library function's, its caller's), but for memory, which Lua
	// reports without a place.
	const char* const late = ": 実行時間が 0.1 秒を超えたため実行を止めました。";
	const TEscape escapes[] = {
		{"unhooked", "debug.sethook() while true do end", SHORT_DEADLINE, late},
		{"hooked", "debug.sethook(function() while true do end end, '', 1) while true do end", SHORT_DEADLINE, late},
		{"copies", "while true do local s = string.rep('x', 100000) end", SHORT_DEADLINE, late},
		{"repeats", "string.rep('', 2^31 - 1)", SHORT_DEADLINE, late},
		{"backtracks", "string.find(string.rep('a', 40), string.rep('a*', 40) .. 'b')", SHORT_DEADLINE, late},
		{"plain", "string.find(string.rep('a', 1e6), string.rep('a', 1e5) .. 'b', 1, true)", SHORT_DEADLINE, late},
		{"caught", "while true do pcall(string.rep, '', 2^31 - 1) end", SHORT_DEADLINE, late},
		{"finalizer", "getmetatable(newproxy(true)).__gc = function() while true do end end collectgarbage()",
			SHORT_DEADLINE, late},
		{"deep", "string.find(string.rep('a', 400000), string.rep('a?', 400000))", NO_DEADLINE, ": pattern too complex"},
		{"grows", "local t, s = {}, string.rep('x', 2^20) while true do t[#t + 1] = s .. #t end", NO_DEADLINE,
			"：not enough memory"},
	};
	TMorvalethLuaManager manager;
	// The next call allocates: what a run that ran out of memory left is garbage, not memory in use.
	std::string script = "function busy() local t = {} for i = 1, 1000 do t[i] = string.rep('y', i) end return #t > 0 end\n";
	for (const TEscape& escape : escapes)
		script += std::string("function ") + escape.name + "() " + escape.body + " end\n";
	Load(manager, script);
	std::map<std::string, int> stops;
	for (const TEscape& escape : escapes) {
		const TScopedScriptBounds bounds(escape.deadline, TEST_MEMORY, 1LL << 62);
		EXPECT_FALSE(manager.CallFunction(escape.name)) << escape.name;
		EXPECT_EQ(1, m_Log.CountLines("host.lua の関数 " + std::string(escape.name) + " が失敗しました：")) << m_Log.Text();
		EXPECT_EQ(++stops[escape.stop], m_Log.CountLines(escape.stop)) << escape.name;
		ASSERT_TRUE(manager.CallFunction("busy")) << "after " << escape.name;
		EXPECT_TRUE(manager.GetResult());
	}
}

// A finalizer's error is dropped wherever the collector runs it, and a state whose finalizer never
// returns still closes: at the end of a game, at a load of another file, at the program's end.
TEST_F(LuaHost, FinalizersThatFailOrNeverReturnEndWithTheirState)
{
	const TScopedScriptBounds bounds(SHORT_DEADLINE, TEST_MEMORY);
	const char* const endless = "keep = newproxy(true)\ngetmetatable(keep).__gc = function() while true do end end\n"
								"function fails() getmetatable(newproxy(true)).__gc = function() error('gc') end\n"
								"  collectgarbage() return true end\n";
	TMorvalethLuaManager manager;
	Load(manager, endless);
	ASSERT_TRUE(manager.CallFunction("fails"));
	EXPECT_TRUE(manager.GetResult());
	Load(manager, endless, "again.lua");
	TMorvalethLuaManager moved(std::move(manager));
}

TEST_F(LuaHost, CallsAndResumesAtTheWrongTimeAreRefused)
{
	TMorvalethLuaManager idle;
	EXPECT_FALSE(idle.CallFunction("anything")) << "no state yet";
	EXPECT_FALSE(idle.Resume());

	TMorvalethLuaManager manager;
	Load(manager, STEPS_SCRIPT);
	EXPECT_FALSE(manager.Resume()) << "nothing suspended";
	ASSERT_TRUE(manager.CallFunction("steps", {"x", "y", "z"}));
	EXPECT_FALSE(manager.CallFunction("returns", {"true"})) << "a call is suspended";
	EXPECT_TRUE(manager.IsSuspended());
	EXPECT_TRUE(manager.Resume());
	EXPECT_TRUE(manager.Resume());
	EXPECT_TRUE(manager.GetResult());
	EXPECT_EQ(4, m_Log.CountLines("Error "));
}

TEST_F(LuaHost, MissingFilesAndFunctionsAreErrorsNotCrashes)
{
	TMorvalethLuaManager manager;
	EXPECT_FALSE(manager.LoadLua("missing.lua"));
	EXPECT_EQ(1, m_Log.CountLines("Error TMorvalethLuaManager::LoadLua error:missing.lua のロードに失敗ました。"));
	EXPECT_EQ(std::vector<std::string>{"cannot open missing.lua (Line -1)"}, ScriptLog());
	// A pipe under a script's name is refused as a missing file is, never waited on.
	const std::string pipe = m_Dir / "pipe.lua";
	ASSERT_EQ(0, ::mkfifo(pipe.c_str(), 0600));
	EXPECT_FALSE(manager.LoadLua(pipe.c_str()));
	EXPECT_EQ("cannot open " + pipe + " (Line -1)", ScriptLog().back());

	Load(manager, "value = 1\nfunction ok() return true end\n");
	EXPECT_FALSE(manager.CallFunction("nofunc"));
	EXPECT_FALSE(manager.CallFunction("value"));
	EXPECT_EQ(1, m_Log.CountLines("関数でないもの(nofunc)を呼び出そうとしました。"));
	EXPECT_EQ(1, m_Log.CountLines("関数でないもの(value)を呼び出そうとしました。"));

	// A file that fails to load or to run keeps the state that was there.
	EXPECT_FALSE(manager.LoadLua(WriteScript("syntax.lua", "function (").c_str()));
	EXPECT_FALSE(manager.LoadLua(WriteScript("runs.lua", "error('at load')").c_str()));
	ASSERT_TRUE(manager.CallFunction("ok"));
	EXPECT_TRUE(manager.GetResult());
}

TEST_F(LuaHost, TopLevelCodeSeesNoEngineNamesAndTheEngineNamesWin)
{
	TMorvalethLuaManager manager;
	EXPECT_FALSE(manager.LoadLua(WriteScript("early.lua", "debug_log('too early')").c_str()));
	Load(manager, "seen = tostring(ABSORB)\nprint_log('top', type(_ALERT))\ndebug_log = 5\n"
		"function check() return seen == 'nil' and ABSORB == 4 and type(debug_log) == 'function' end\n");
	ASSERT_TRUE(manager.CallFunction("check"));
	EXPECT_TRUE(manager.GetResult());
}

TEST_F(LuaHost, TheScriptLogHasItsExactLines)
{
	{
		TMorvalethLuaManager manager;
		Load(manager, "function run()\n"
			"  print_log('a', 1, true, nil, 0.5)\n"
			"  print_log({1, 'x', {2}})\n"
			"  print_log(string.rep('z', 2000))\n"
			"  print_log(string.rep('y', 1100), 'short')\n"
			"  _ALERT('alert')\n"
			"  _ALERT({})\n"
			"  debug_log('d', 2, false)\n"
			"end\n");
		ASSERT_TRUE(manager.CallFunction("run"));
	}
	const std::vector<std::string> expected = {"a 1 true ?0.5 ", "1 x ?", "toolongstr", "toolongstrshort ",
		"alert (Line 6)"};
	EXPECT_EQ(expected, ScriptLog());
	EXPECT_EQ(1, m_Log.CountLines("Debug Lua Log: d 2 false "));

	// The world map and the battle empty the log as they load their scripts, not every new manager.
	TMorvalethLuaManager another;
	EXPECT_EQ(expected, ScriptLog());
}

TEST_F(LuaHost, NestedCallsGiveTheOuterScriptItsContextBack)
{
	static std::vector<std::pair<int, TScriptAPI*>> seen;
	static TMorvalethLuaManager* managers[2];
	seen.clear();
	TScriptAPI outerApi(nullptr), innerApi(nullptr);
	TMorvalethLuaManager outer, inner;
	managers[0] = &outer;
	managers[1] = &inner;
	outer.SetContext(nullptr, &outerApi, nullptr);
	outer.SetMasterIndex(1);
	inner.SetContext(nullptr, &innerApi, nullptr);
	Load(outer, "function run() probe(); call(2); probe(); reentered = call(1) end\n", "outer.lua");
	Load(inner, "function run() probe() end\n", "inner.lua");
	for (lua_State* L : {outer.GetState(), inner.GetState()}) {
		lua_register(L, "probe", [](lua_State*) {
			seen.push_back({g_ScriptMaster, g_ScriptAPI});
			return 0;
		});
		// call(n) runs "run" of manager n (1 outer, 2 inner) from inside the script.
		lua_register(L, "call", [](lua_State* L) {
			lua_pushboolean(L, managers[int(lua_tonumber(L, 1)) - 1]->CallFunction("run"));
			return 1;
		});
	}
	ASSERT_TRUE(outer.CallFunction("run"));
	const std::vector<std::pair<int, TScriptAPI*>> expected = {{1, &outerApi}, {0, &innerApi}, {1, &outerApi}};
	EXPECT_EQ(expected, seen);
	lua_getglobal(outer.GetState(), "reentered");
	EXPECT_TRUE(lua_isboolean(outer.GetState(), -1) && !lua_toboolean(outer.GetState(), -1))
		<< "a manager cannot be entered while it runs";
	EXPECT_EQ(nullptr, g_ScriptAPI);
	EXPECT_EQ(0, g_ScriptMaster);
}

TEST_F(LuaHost, ModulesAreFoundThroughTheScenarioScriptFolder)
{
	ASSERT_TRUE(CreateDirectories(m_Dir / "Script"));
	WriteScript("Script/helper.lua", "return { twice = function(x) return 2 * x end }\n");
	TMorvalethLuaManager manager;
	Load(manager, "local helper = require('helper')\nfunction check() return helper.twice(21) == 42 end\n");
	ASSERT_TRUE(manager.CallFunction("check"));
	EXPECT_TRUE(manager.GetResult());
}

TEST_F(LuaHost, ManagersMoveWithTheirStatesAndASuspendedCallEndsWithItsState)
{
	std::vector<TMorvalethLuaManager> managers;
	for (int i = 0; i < 5; ++i) {
		managers.emplace_back();
		Load(managers.back(), STEPS_SCRIPT);
		ASSERT_TRUE(managers.back().CallFunction("steps", {"x", "", ""}));
	}
	for (TMorvalethLuaManager& manager : managers) {
		EXPECT_TRUE(manager.Resume());
		EXPECT_TRUE(manager.Resume());
		EXPECT_TRUE(manager.GetResult());
	}
	TMorvalethLuaManager& manager = managers.front();
	ASSERT_TRUE(manager.CallFunction("steps", {"x", "", ""}));
	Load(manager, STEPS_SCRIPT);
	EXPECT_FALSE(manager.IsSuspended());
	EXPECT_FALSE(manager.Resume());
}
