#include "unit/ScriptFixture.h"

#include "app/GameMaster.h"
#include "platform/FileSystem.h"
#include "script/LuaManager.h"
#include "script/ScriptAPI.h"

#include <lua.h>
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
// function, under a pcall that catches the stop, in coroutines of its own, after a yield or at the top
// level of the file; each run starts with the whole budget, and the script answers the next call.
TEST_F(LuaHost, ARunPastItsInstructionBudgetFailsAndTheScriptGoesOn)
{
	struct TBudget
	{
		TBudget() { SetRunInstructionBudget(100000); }
		~TBudget() { SetRunInstructionBudget(RUN_INSTRUCTION_BUDGET); }
	} budget;
	TMorvalethLuaManager manager;
	Load(manager, "function endless() while true do end end\n"
				  "function caught() while true do pcall(function() while true do end end) end end\n"
				  "function spawns() while true do coroutine.resume(coroutine.create(function() while true do end end)) end end\n"
				  "function later() coroutine.yield() while true do end end\n"
				  "function busy() local n = 0 for i = 1, 30000 do n = n + i end return n > 0 end\n");
	const std::string stop = "命令数が 100000 を超えたため実行を止めました。";
	for (const char* name : {"endless", "caught", "spawns"}) {
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
	EXPECT_EQ(4, m_Log.CountLines(stop));
	EXPECT_EQ(4u, ScriptLog().size());
	EXPECT_FALSE(manager.LoadLua(WriteScript("loops.lua", "while true do end").c_str()));
	ASSERT_TRUE(manager.CallFunction("busy"));
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
