#include "unit/ScriptFixture.h"

#include "app/Application.h"
#include "app/GameMaster.h"
#include "platform/FileSystem.h"
#include "script/LuaManager.h"
#include "script/ScriptAPI.h"
#include "support/ScriptBounds.h"

#include <algorithm>
#include <chrono>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <lauxlib.h>
#include <lua.h>
#include <lualib.h>
#include <csignal>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <utility>
#include <vector>

namespace
{
/// Calls a script makes, by name, each with the body of a function that returns true when the call did right.
using TCallRows = std::vector<std::pair<const char*, const char*>>;

class LuaHost : public ScriptTest
{
protected:
	// A manager with the script loaded; fails the test when it does not load.
	void Load(TMorvalethLuaManager& manager, const std::string& text, const std::string& name = "host.lua")
	{
		ASSERT_TRUE(manager.LoadLua(WriteScript(name, text).c_str()));
	}

	// Loads the rows after the head as functions call_<name>, named apart from the library functions they call, and
	// expects each to return true.
	void ExpectEachCallTrue(TMorvalethLuaManager& manager, const TCallRows& calls, const std::string& head = "")
	{
		std::string script = head;
		for (const auto& call : calls)
			script += std::string("function call_") + call.first + "() " + call.second + " end\n";
		Load(manager, script);
		for (const auto& call : calls) {
			EXPECT_TRUE(manager.CallFunction((std::string("call_") + call.first).c_str())) << call.first << m_Log.Text();
			EXPECT_TRUE(manager.GetResult()) << call.first;
		}
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
// after a yield or at the top level of the file; each run starts with the whole budget, exact to the instruction,
// and the script answers the next call.
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
				  "function busy() local n = 0 for i = 1, 30000 do n = n + i end return n > 0 end\n"
				  // 8 instructions and 2 a round: exactly the budget, and one more.
				  "function exact() local n = 0 for i = 1, 49996 do n = n + i end return true end\n"
				  "function over() local n, m = 0, 0 for i = 1, 49996 do n = n + i end return true end\n");
	const std::string stop = "命令数が 100000 を超えたため実行を止めました。";
	ASSERT_TRUE(manager.CallFunction("exact"));
	EXPECT_TRUE(manager.GetResult());
	EXPECT_FALSE(manager.CallFunction("over"));
	EXPECT_EQ(1, m_Log.CountLines(stop));
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
	EXPECT_EQ(6, m_Log.CountLines(stop));
	EXPECT_EQ(6u, ScriptLog().size());
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
/// The deadline of a run that must be stopped by time; no run that must succeed runs under it.
const std::chrono::milliseconds SHORT_DEADLINE(100);
/// A deadline no run of a test reaches: the run must end by another bound.
const std::chrono::hours NO_DEADLINE(10);

// to_zero(file) points the open file at /dev/zero, a device that hands out NULs for ever, which no script can
// open itself.
int PointAtZero(lua_State* L)
{
	FILE** file = static_cast<FILE**>(luaL_checkudata(L, 1, LUA_FILEHANDLE));
	*file = std::freopen("/dev/zero", "r", *file);
	return 0;
}
}

// What the budget cannot see, the deadline and the memory limit stop: time spent in library calls, a
// pattern that backtracks for ever, a finalizer that never returns, a table that grows without end. The
// hooks a script sets or removes change nothing, nor does a pcall that catches the stop. Every library loop
// whose length a script chooses looks at the stop itself: with the stop raised right before the call, the
// call ends at once, where without its check it would run for seconds, minutes or for ever before the next
// instruction's check. A precompiled chunk, damaged or not, is refused at its load. Each is one failed run, and
// the script answers the next call, which runs under the program's own bounds.
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
	// reports without a place, and for a stop inside a library function called straight from C.
	const char* const late = ": 実行時間が 0.1 秒を超えたため実行を止めました。";
	const char* const checked = "が失敗しました：実行時間が 36000 秒を超えたため実行を止めました。";
	const char* const refused = ": binary string: binary chunks are not accepted";
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
		{"rep", "under_stop(string.rep, '', 2^31 - 1)", NO_DEADLINE, checked},
		{"plainfind", "under_stop(string.find, string.rep('a', 1e6), string.rep('a', 1e5) .. 'b', 1, true)",
			NO_DEADLINE, checked},
		{"matcher", "under_stop(string.find, string.rep('a', 1e5), '.-b')", NO_DEADLINE, checked},
		{"sort", "local t = {} for i = 1, 1e5 do t[i] = -i end under_stop(table.sort, t)", NO_DEADLINE, checked},
		{"insert", "under_stop(table.insert, {}, -2^31 + 2, 1)", NO_DEADLINE, checked},
		{"remove", "local t = {} for i = 1, 1e5 do t[i] = i end under_stop(table.remove, t, 1)", NO_DEADLINE, checked},
		{"concat", "local t = {} for i = 1, 1e5 do t[i] = '' end under_stop(table.concat, t)", NO_DEADLINE, checked},
		{"buffer", "under_stop(string.upper, string.rep('x', 1e7))", NO_DEADLINE, checked},
		{"foreachi", "local t = {} for i = 1, 1e5 do t[i] = i end under_stop(table.foreachi, t, math.randomseed)",
			NO_DEADLINE, checked},
		{"foreach", "local t = {} for i = 1, 1e5 do t[i] = i end under_stop(table.foreach, t, math.randomseed)",
			NO_DEADLINE, checked},
		{"maxn", "local t = {} for i = 1, 1e5 do t[i] = i end under_stop(table.maxn, t)", NO_DEADLINE, checked},
		{"readline", "local f = io.tmpfile() to_zero(f) under_stop(f.read, f, '*l')", NO_DEADLINE, checked},
		// The last levels of a stack of many tail calls under many calls: each step walks every call again.
		{"traceback", "local function deep(n) if n > 0 then deep(n - 1) else coroutine.yield() end end"
					  " local function tail(n) if n > 0 then return tail(n - 1) end return deep(15000) end"
					  " local co = coroutine.create(tail) coroutine.resume(co, 5e6) under_stop(debug.traceback, co)",
			NO_DEADLINE, checked},
		// A first line starting with "#" as long as a script may be: after it, a syntax error.
		{"hashline", "local f = io.open('hash.lua', 'w') f:write('#') f:seek('set', 2^24 - 2) f:write('\\n)') f:close()"
					 " under_stop(dofile, 'hash.lua')", NO_DEADLINE, checked},
		// The one string constant's length cut to 0: Lua's own check of the chunk lets it through, and the call
		// would hand back a null string.
		{"damaged", "local s = string.dump(function() return 'x' end) local w = s:byte(9) print(assert(loadstring("
					"(s:gsub('\\4\\2' .. ('%z'):rep(w - 1) .. 'x%z', '\\4' .. ('\\0'):rep(w)))))())",
			NO_DEADLINE, refused},
		{"intact", "assert(loadstring(string.dump(busy)))()", NO_DEADLINE, refused},
	};
	TMorvalethLuaManager manager;
	// The next call allocates: what a run that ran out of memory left is garbage, not memory in use.
	std::string script = "function busy() local t = {} for i = 1, 1000 do t[i] = string.rep('y', i) end return #t > 0 end\n";
	for (const TEscape& escape : escapes)
		script += std::string("function ") + escape.name + "() " + escape.body + " end\n";
	Load(manager, script);
	RegisterUnderStop(manager.GetState());
	lua_register(manager.GetState(), "to_zero", PointAtZero);
	const THangWatchdog watchdog("the escapes");
	for (const TEscape& escape : escapes) {
		const int stops = m_Log.CountLines(escape.stop);
		{
			const TScopedScriptBounds bounds(escape.deadline, TEST_MEMORY, 1LL << 62);
			EXPECT_FALSE(manager.CallFunction(escape.name)) << escape.name;
		}
		EXPECT_EQ(1, m_Log.CountLines("host.lua の関数 " + std::string(escape.name) + " が失敗しました：")) << m_Log.Text();
		EXPECT_EQ(stops + 1, m_Log.CountLines(escape.stop)) << escape.name;
		ASSERT_TRUE(manager.CallFunction("busy")) << "after " << escape.name;
		EXPECT_TRUE(manager.GetResult());
	}
}

// A finalizer's error is dropped wherever the collector runs it, and a state whose finalizer never
// returns still closes by the close's own deadline: at the end of a game, at a load of another file (a close
// inside the load's run, which must not take the run's whole deadline), at the program's end.
TEST_F(LuaHost, FinalizersThatFailOrNeverReturnEndWithTheirState)
{
	const TScopedScriptBounds bounds(NO_DEADLINE, TEST_MEMORY, 1LL << 62);
	SetCloseDeadline(SHORT_DEADLINE);
	const THangWatchdog watchdog("the closes");
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

namespace
{
/// Blocks a state has freed, their bytes overwritten and kept until the test ends, so that a block freed while
/// still in use reads as garbage instead of as what it held.
struct TQuarantine
{
	std::vector<void*> blocks;
	~TQuarantine()
	{
		for (void* block : blocks)
			std::free(block);
	}
};

void* QuarantineAllocate(void* quarantine, void* block, std::size_t oldSize, std::size_t newSize)
{
	void* moved = newSize > 0 ? std::malloc(newSize) : nullptr;
	if (newSize > 0 && !moved)
		return nullptr;
	if (block) {
		std::memcpy(moved ? moved : block, block, moved ? std::min(oldSize, newSize) : 0);
		std::memset(block, 0xA5, oldSize);
		static_cast<TQuarantine*>(quarantine)->blocks.push_back(block);
	}
	return moved;
}

const int HELD_VALUE = 12345;
/// What the userdata held when its finalizer looked at it.
int g_HeldSeen = 0;

// held(metatable): a userdata holding HELD_VALUE, with that metatable.
int NewHeld(lua_State* L)
{
	*static_cast<int*>(lua_newuserdata(L, sizeof(int))) = HELD_VALUE;
	lua_pushvalue(L, 1);
	lua_setmetatable(L, -2);
	return 1;
}

// seen(userdata) keeps what the userdata holds.
int SeeHeld(lua_State* L)
{
	g_HeldSeen = *static_cast<int*>(lua_touserdata(L, 1));
	return 0;
}
}

// A finalizer that allocates much as its state closes, with the collector halfway through marking a large
// table, drives the collection on; the userdata it finalizes, still held by the globals, stays alive to its end.
TEST_F(LuaHost, AFinalizerThatAllocatesAtTheCloseKeepsItsUserdata)
{
	TQuarantine quarantine;
	lua_State* L = lua_newstate(QuarantineAllocate, &quarantine);
	ASSERT_NE(nullptr, L);
	luaL_openlibs(L);
	lua_register(L, "held", NewHeld);
	lua_register(L, "seen", SeeHeld);
	// The finalizer takes no argument: the userdata is held by the global alone.
	ASSERT_EQ("", RunChunk(L, "keep = held({__gc = function() for j = 1, 20000 do local t = {} for i = 1, 10 do t[i] = {} end end"
							  " seen(keep) end})\n"
							  "collectgarbage() junk = {} for i = 1, 20000 do junk[i] = {} end collectgarbage('step')"));
	g_HeldSeen = 0;
	lua_close(L);
	EXPECT_EQ(HELD_VALUE, g_HeldSeen);
}

// Library functions that count a range or a field in an int from a script's numbers fail with Lua's error,
// or answer, where the count would overflow (a crash, or a fault under the sanitizers); a stack level below 0
// names no level, as one past the stack does.
TEST_F(LuaHost, RangesPastAnIntFailWithLuasErrorOrAnswer)
{
	const TCallRows calls = {
		{"unpack", "local ok, e = pcall(unpack, {}, -2, 2^31 - 1) return not ok and e:find('too many results') ~= nil"},
		{"unpackwide", "return not pcall(unpack, {}, -2^31, 2^31 - 1)"},
		{"unpackend", "return select('#', unpack({}, 2^31 - 3, 2^31 - 1)) == 3"},
		{"random", "local r = math.random(-2^31 + 1, 2^31 - 1) return r >= -2^31 + 1 and r <= 2^31 - 1"},
		{"year", "local ok, e = pcall(os.time, {year = -2^31, month = 1, day = 1}) return e:find('out%-of%-bound') ~= nil"},
		{"month", "local ok, e = pcall(os.time, {year = 2000, month = -2^31, day = 1}) return e:find('out%-of%-bound') ~= nil"},
		{"time", "return os.time({year = 2000, month = 1, day = 1, hour = 0}) ~= nil"},
		{"traceback", "return debug.traceback('x', 2^31 - 1) == 'x\\nstack traceback:'"},
		{"levelbelow", "return debug.traceback('x', -1) == 'x\\nstack traceback:'"
					   " and debug.traceback('x', -2^31) == 'x\\nstack traceback:'"},
		{"infobelow", "return debug.getinfo(-1) == nil and debug.getinfo(coroutine.create(function() end), -2^31) == nil"},
		{"localbelow", "return not pcall(debug.getlocal, -1, 1) and not pcall(debug.setlocal, -2^31, 1, 0)"},
	};
	TMorvalethLuaManager manager;
	ExpectEachCallTrue(manager, calls);
}

// Lua's own loads and opens of a file by name refuse a pipe, a device or a folder at once instead of waiting on
// it or reading it for ever, and still read and write regular files. A command's pipe left open is let go when
// its state closes, without waiting for the command; one that the script closes is waited for.
TEST_F(LuaHost, LuasFileCallsRefuseWhatIsNotARegularFileAndACloseNeverWaitsOnACommand)
{
	ASSERT_EQ(0, ::mkfifo((m_Dir / "pipe.fifo").c_str(), 0600));
	const TCallRows calls = {
		{"loadfile", "local f, e = loadfile('pipe.fifo') return f == nil and e:find('cannot open pipe.fifo') ~= nil"},
		{"dofile", "return not pcall(dofile, 'pipe.fifo')"},
		{"require", "package.path = './?.fifo' local ok, e = pcall(require, 'pipe') return e:find('not found') ~= nil"},
		{"open", "return io.open('pipe.fifo') == nil"},
		{"openwrite", "return io.open('pipe.fifo', 'w') == nil and io.open('pipe.fifo', 'a+') == nil"},
		{"lines", "return not pcall(io.lines, 'pipe.fifo')"},
		{"input", "return not pcall(io.input, 'pipe.fifo')"},
		{"device", "return io.open('/dev/zero') == nil"},
		{"folder", "local f, e = io.open('.') return f == nil and e:find('directory') ~= nil"},
		{"regular", "local f = io.open('plain.txt', 'w') f:write('a\\nb') f:close() f = io.open('plain.txt', 'a+')"
					" f:write('c') f:close() local t = {} for l in io.lines('plain.txt') do t[#t + 1] = l end"
					" return table.concat(t, ',') == 'a,bc'"},
		{"regularload", "local f = io.open('chunk.lua', 'w') f:write('#!skipped\\nreturn 7') f:close()"
						" return dofile('chunk.lua') == 7"},
		{"binaryload", "local f = io.open('chunk.luac', 'w') f:write(string.dump(function() return 7 end)) f:close()"
					   " local g, e = loadfile('chunk.luac')"
					   " return g == nil and e == 'chunk.luac: binary chunks are not accepted'"},
		{"command", "local p = io.popen('echo hi') local text = p:read('*a') return text == 'hi\\n' and p:close()"},
		// The command dies with the test program, should the test end before it kills the command itself.
		{"leftopen", "local p = io.popen('echo $$; exec setpriv --pdeathsig KILL sleep 100000') pid = p:read('*n')"
					 " kept = p return pid > 0"},
	};
	const THangWatchdog watchdog("the file calls");
	{
		TMorvalethLuaManager manager;
		ExpectEachCallTrue(manager, calls);
		lua_getglobal(manager.GetState(), "pid");
		const pid_t sleeper = static_cast<pid_t>(lua_tointeger(manager.GetState(), -1));
		lua_pop(manager.GetState(), 1);
		ASSERT_LT(0, sleeper);
		// The state closes here, with the command still running.
		manager = TMorvalethLuaManager();
		EXPECT_EQ(0, ::kill(sleeper, 0)) << "the command runs on by itself";
		::kill(sleeper, SIGKILL);
		::waitpid(sleeper, nullptr, 0);
	}
}

// A script file longer than any scenario needs is refused before it is read, by the engine's load and by Lua's
// loadfile, dofile and require alike, naming the file and its size; a file of the limit's length still loads. The
// files are sparse: the test writes a few bytes of them.
TEST_F(LuaHost, AScriptFileAboveTheSizeLimitIsRefusedNamingItsSize)
{
	const std::string fits = WriteScript("fits.lua", "return 7 --");
	const std::string big = WriteScript("big.lua", "return 7 --");
	ASSERT_EQ(0, ::truncate(fits.c_str(), LUAL_MAXSCRIPTSIZE));
	ASSERT_EQ(0, ::truncate(big.c_str(), LUAL_MAXSCRIPTSIZE + 1));
	const std::string refusal = ": 16777217 bytes, more than the 16777216 a script may have";
	const TCallRows calls = {
		{"loadfile", "local f, e = loadfile('big.lua') return f == nil and e == 'big.lua' .. refusal"},
		{"dofile", "local ok, e = pcall(dofile, 'big.lua') return not ok and e == 'big.lua' .. refusal"},
		{"require", "package.path = './?.lua' local ok, e = pcall(require, 'big')"
					" return not ok and e:find('big.lua' .. refusal, 1, true) ~= nil"},
		{"fits", "return dofile('fits.lua') == 7"},
	};
	// Reading a file of the limit's length takes a while: no deadline but the test's own.
	const TScopedScriptBounds bounds(NO_DEADLINE, SCRIPT_MEMORY_LIMIT);
	const THangWatchdog watchdog("the long script files");
	TMorvalethLuaManager manager;
	EXPECT_FALSE(manager.LoadLua(big.c_str()));
	EXPECT_EQ(1, m_Log.CountLines("Error スクリプト " + big + " の読み込みが失敗しました：" + big + refusal)) << m_Log.Text();
	EXPECT_EQ(std::vector<std::string>{big + refusal + " (Line -1)"}, ScriptLog());
	EXPECT_TRUE(manager.LoadLua(fits.c_str()));
	ExpectEachCallTrue(manager, calls, "refusal = '" + refusal + "'\n");
}

namespace
{
/// The program's locale, put back at the end of the test whatever a script made of it.
struct TKeptLocale
{
	TKeptLocale() : name(std::setlocale(LC_ALL, nullptr)) {}
	~TKeptLocale() { std::setlocale(LC_ALL, name.c_str()); }
	const std::string name;
};
}

// The locale is the whole program's: a script may ask it, as a whole or by category, and ask for the one it already
// is, but any change fails with Lua's error, and numbers, comparisons and dates stay as every script expects.
TEST_F(LuaHost, AScriptMayAskTheLocaleButNeverChangeIt)
{
	const TKeptLocale kept;
	ASSERT_EQ("C", kept.name);
	const TCallRows calls = {
		{"asks", "return os.setlocale() == 'C' and os.setlocale(nil, 'numeric') == 'C' and os.setlocale(nil, 'time') == 'C'"},
		{"same", "return os.setlocale('C') == 'C' and os.setlocale('C', 'collate') == 'C'"},
		{"other", "local ok, e = pcall(os.setlocale, 'C.UTF-8')"
				  " return not ok and e:find(\"locale 'C.UTF-8' refused: the program's locale stays 'C'\", 1, true) ~= nil"},
		{"category", "return not pcall(os.setlocale, 'C.UTF-8', 'ctype') and not pcall(os.setlocale, 'POSIX', 'numeric')"},
		{"environment", "return not pcall(os.setlocale, '')"},
		{"numbers", "return tostring(1.5) == '1.5' and tonumber('1.5') == 1.5 and os.setlocale() == 'C'"},
	};
	TMorvalethLuaManager manager;
	ExpectEachCallTrue(manager, calls);
	EXPECT_STREQ("C", std::setlocale(LC_ALL, nullptr));
}

// A script's os.exit fails the run and asks the program to end after the frame with the status asked for, as
// closing the window does, naming the script; a pcall that catches it does not keep the program.
TEST_F(LuaHost, AScriptsExitEndsTheProgramAfterTheFrameWithItsStatus)
{
	TMorvalethLuaManager manager;
	Load(manager, "function quits() os.exit(3) end\nfunction caught() pcall(os.exit) return true end\n");
	EXPECT_FALSE(manager.CallFunction("quits"));
	EXPECT_TRUE(IsQuitRequested());
	EXPECT_EQ(3, RequestedExitStatus());
	EXPECT_EQ(1, m_Log.CountLines("Warning スクリプト " + (m_Dir / "host.lua") + " の関数 quits が os.exit(3) を呼んだため"))
		<< m_Log.Text();
	EXPECT_EQ(1, m_Log.CountLines("の関数 quits が失敗しました："));
	EXPECT_EQ(1, m_Log.CountLines("host.lua:1: os.exit(3) が呼ばれたため実行を止めました。"));
	EXPECT_TRUE(manager.CallFunction("caught"));
	EXPECT_EQ(0, RequestedExitStatus());
	EXPECT_TRUE(IsQuitRequested());
	ClearQuitRequest();
}

// A failed run's error object reaches both logs as text: a string as it is, cut to a sane length, anything else
// as its type with its __tostring text when that runs within the bounds.
TEST_F(LuaHost, AFailedRunsErrorObjectIsLoggedAsTextOfASaneLength)
{
	struct TError
	{
		const char* name;
		const char* body;
		std::string text;
	};
	const TError errors[] = {
		{"table", "error({})", "(error object is a table value)"},
		{"nothing", "error()", "(error object is a nil value)"},
		{"number", "error(42, 0)", "42"},
		{"named", "error(setmetatable({}, {__tostring = function() return 'the reason' end}))",
			"(error object is a table value) the reason"},
		{"endless", "error(setmetatable({}, {__tostring = function() while true do end end}))",
			"(error object is a table value)"},
		{"long", "error(string.rep('x', 10 * 2^20), 0)",
			std::string(2000, 'x') + "...(全 10485760 バイトのうち先頭 2000 バイト)"},
		// A cut never splits a Shift-JIS character.
		{"halfchar", "error(string.rep('x', 1999) .. string.rep('\\130\\160', 10), 0)",
			std::string(1999, 'x') + "...(全 2019 バイトのうち先頭 1999 バイト)"},
	};
	std::string script;
	for (const TError& error : errors)
		script += std::string("function ") + error.name + "() " + error.body + " end\n";
	TMorvalethLuaManager manager;
	Load(manager, script);
	// The budget stops the endless __tostring, as it stops the run.
	const TScopedScriptBounds bounds(RUN_DEADLINE, SCRIPT_MEMORY_LIMIT, 100000);
	for (const TError& error : errors) {
		EXPECT_FALSE(manager.CallFunction(error.name)) << error.name;
		const std::string logged = ScriptLog().back();
		EXPECT_EQ(0, logged.compare(0, error.text.size() + 7, error.text + " (Line ")) << error.name << ": " << logged;
		const std::string failed = " の関数 " + std::string(error.name) + " が失敗しました：" + error.text + "\n";
		EXPECT_NE(std::string::npos, m_Log.Text().find(failed)) << error.name << m_Log.Text().substr(0, 4000);
	}
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

	// A file that fails to load or to run keeps the state that was there; a precompiled one is refused.
	ASSERT_EQ("", RunChunk(manager.GetState(), "return string.dump(ok)"));
	std::size_t size = 0;
	const char* const dumped = lua_tolstring(manager.GetState(), -1, &size);
	const std::string binary = WriteScript("dumped.lua", std::string(dumped, size));
	lua_pop(manager.GetState(), 1);
	EXPECT_FALSE(manager.LoadLua(binary.c_str()));
	EXPECT_EQ(binary + ": binary chunks are not accepted (Line -1)", ScriptLog().back());
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

// A run nested in another that the outer run's deadline stops names the outer run, whose time it was; the
// outer run then fails on its own account. The inner run raises the stop itself, where the watchdog would.
TEST_F(LuaHost, ARunStoppedByTheDeadlineOfTheRunItIsNestedInNamesThatRun)
{
	static TMorvalethLuaManager* inner;
	TMorvalethLuaManager outer, nested;
	inner = &nested;
	Load(outer, "function run() nest() while true do end end\n", "outer.lua");
	Load(nested, "function run() raise_stop() while true do end end\n", "inner.lua");
	lua_register(outer.GetState(), "nest", [](lua_State*) {
		inner->CallFunction("run");
		return 0;
	});
	lua_register(nested.GetState(), "raise_stop", [](lua_State*) {
		lua_runstop.store(1, std::memory_order_relaxed);
		return 0;
	});
	EXPECT_FALSE(outer.CallFunction("run"));
	const std::string outerRun = "スクリプト " + (m_Dir / "outer.lua") + " の関数 run";
	EXPECT_EQ(1, m_Log.CountLines("inner.lua:1: " + outerRun + " の実行時間が 2 秒を超えたため実行を止めました。"))
		<< m_Log.Text();
	EXPECT_EQ(1, m_Log.CountLines("inner.lua の関数 run が失敗しました："));
	EXPECT_EQ(1, m_Log.CountLines("outer.lua:1: 実行時間が 2 秒を超えたため実行を止めました。"));
	EXPECT_EQ(1, m_Log.CountLines(outerRun + " が失敗しました："));
}

namespace
{
// Raises the stop once, as the watchdog would, with no C function's return after it.
void RaiseStopFromHook(lua_State* L, lua_Debug*)
{
	lua_sethook(L, nullptr, 0, 0);
	lua_runstop.store(1, std::memory_order_relaxed);
}

// stop_later() sets the hook on the running coroutine, to fire a thousand instructions on.
int StopLater(lua_State* L)
{
	lua_sethook(L, RaiseStopFromHook, LUA_MASKCOUNT, 1000);
	return 0;
}
}

// A comparison or a concatenation of strings as long as memory holds may take long, however few the
// instructions: a stop raised while a run does them is seen at the next instruction, within the rounds of the
// hook's thousand instructions, not at the end of the VM's slice of steps, some ten thousand rounds later.
TEST_F(LuaHost, AStopRaisedWhileARunComparesOrJoinsStringsIsSeenAtTheNextInstruction)
{
	TMorvalethLuaManager manager;
	Load(manager, "function compares() n = 0 stop_later() while true do local less = 'a' < 'b' n = n + 1 end end\n"
				  "function joins() n = 0 stop_later() local s = 'a' while true do local t = s .. s n = n + 1 end end\n");
	lua_register(manager.GetState(), "stop_later", StopLater);
	for (const char* name : {"compares", "joins"}) {
		EXPECT_FALSE(manager.CallFunction(name)) << name;
		lua_getglobal(manager.GetState(), "n");
		EXPECT_LT(lua_tonumber(manager.GetState(), -1), 1000) << name;
		lua_pop(manager.GetState(), 1);
	}
	EXPECT_EQ(2, m_Log.CountLines(": 実行時間が 2 秒を超えたため実行を止めました。")) << m_Log.Text();
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

namespace
{
/// Whether the script called marked() since the flag was lowered.
bool g_Marked = false;
/// The hold of the test process that held_work() asks for.
TProcessHold* g_Hold = nullptr;

int Mark(lua_State*)
{
	g_Marked = true;
	return 0;
}

// held_work(): half a second of CPU time, with the process held up by g_Hold in the middle; true when the hold
// came and went within the call.
int HeldWork(lua_State* L)
{
	SpendCpuTime(std::chrono::milliseconds(250));
	g_Hold->Ask();
	SpendCpuTime(std::chrono::milliseconds(250));
	lua_pushboolean(L, g_Hold->WaitOver());
	return 1;
}
}

// The time bound counts the CPU time the run or the close spends, never the time it waits on the system: a wait
// past the CPU time goes on, with a wall-clock backstop ten times as long, past which it is stopped as soon as
// the call returns. The waits that must end their own way run far from the backstop and spend next to no CPU.
TEST_F(LuaHost, TheTimeBoundCountsCpuTimeAndABackstopTenTimesAsLongStopsAWait)
{
	struct TWait
	{
		TBoundsFor what;
		std::chrono::milliseconds cpu;
		int waitMs;
		bool stopped;
	};
	const TWait waits[] = {
		{TBoundsFor::Run, RUN_DEADLINE, 2500, false},
		{TBoundsFor::Run, std::chrono::milliseconds(100), 1500, true},
		{TBoundsFor::Close, std::chrono::milliseconds(1000), 2000, false},
		{TBoundsFor::Close, std::chrono::milliseconds(50), 1000, true},
	};
	const char* const script = "function waits(ms) sleep_ms(ms) marked() return true end\n"
							   "function atclose(ms) keep = newproxy(true) getmetatable(keep).__gc = function() waits(ms) end"
							   " return true end\n";
	const THangWatchdog watchdog("the waits");
	for (const TWait& wait : waits) {
		const bool run = wait.what == TBoundsFor::Run;
		const std::string name = run ? "waits" : "atclose";
		TMorvalethLuaManager manager;
		Load(manager, script);
		RegisterSleep(manager.GetState());
		lua_register(manager.GetState(), "marked", Mark);
		g_Marked = false;
		if (!run) {
			ASSERT_TRUE(manager.CallFunction("atclose", {std::to_string(wait.waitMs)}));
		}
		{
			const TScopedScriptBounds bounds(run ? wait.cpu : RUN_DEADLINE, SCRIPT_MEMORY_LIMIT);
			SetCloseDeadline(run ? RUN_DEADLINE / 10 : wait.cpu);
			if (run)
				EXPECT_EQ(!wait.stopped, manager.CallFunction("waits", {std::to_string(wait.waitMs)})) << wait.waitMs;
			else
				manager = TMorvalethLuaManager();
		}
		EXPECT_EQ(!wait.stopped, g_Marked) << name << " " << wait.waitMs << m_Log.Text();
	}
	EXPECT_EQ(1, m_Log.CountLines("host.lua:1: システムの処理を待つなどして、経過時間が 1 秒を超えたため実行を止めました。"))
		<< m_Log.Text();
	EXPECT_EQ(1, m_Log.CountLines("の関数 waits が失敗しました："));
}

// A run whose process a busy machine holds up for longer than the time bound, in the middle of its work, ends its
// own way: the hold costs it no CPU time.
TEST_F(LuaHost, ARunHeldUpByABusyMachineEndsItsOwnWay)
{
	TMorvalethLuaManager manager;
	Load(manager, "function work() return held_work() end\n");
	lua_register(manager.GetState(), "held_work", HeldWork);
	const THangWatchdog watchdog("the held run");
	TProcessHold hold(std::chrono::milliseconds(3000));
	g_Hold = &hold;
	EXPECT_TRUE(manager.CallFunction("work")) << m_Log.Text();
	EXPECT_TRUE(manager.GetResult()) << "the hold came and went within the call";
	g_Hold = nullptr;
}

// os.exit ends the program with the status asked for when it is a whole number from 0 to 255, and with a failure
// otherwise, saying so. Only the first call of a run is logged, the rest counted in one line as the run ends. A
// finalizer's os.exit at a state's close names the finalizer's script.
TEST_F(LuaHost, AScriptsExitStatusIsAByteAndItsWarningsAreBounded)
{
	const std::pair<const char*, int> exits[] = {
		{"", 0}, {"255", 255}, {"'7'", 7}, {"2^40", -1}, {"0/0", -1}, {"-1", -1}, {"256", -1}, {"2.5", -1},
	};
	TMorvalethLuaManager manager;
	Load(manager, "function quits(asked) assert(loadstring('os.exit(' .. asked .. ')'))() end\n"
				  "function repeats() for i = 1, 10000 do pcall(os.exit, i % 256) end return true end\n");
	for (const auto& exit : exits) {
		const bool valid = exit.second >= 0;
		// What is not a status is shown as Lua writes it.
		std::string shown = std::to_string(exit.second);
		if (!valid) {
			ASSERT_EQ("", RunChunk(manager.GetState(), std::string("return tostring(") + exit.first + ")"));
			shown = lua_tostring(manager.GetState(), -1);
			lua_pop(manager.GetState(), 1);
		}
		const int warnings = m_Log.CountLines("Warning ");
		EXPECT_FALSE(manager.CallFunction("quits", {exit.first})) << exit.first;
		EXPECT_EQ(valid ? exit.second : 1, RequestedExitStatus()) << exit.first;
		EXPECT_EQ(warnings + 1, m_Log.CountLines("Warning ")) << exit.first;
		const std::string warning = " の関数 quits が os.exit(" + shown + ") を呼んだため、プログラムを終了します。" +
			(valid ? "" : "終了コードが 0 から 255 の整数でないため、1 で終了します。") + "\n";
		EXPECT_NE(std::string::npos, m_Log.Text().find(warning)) << warning << m_Log.Text();
		ClearQuitRequest();
	}

	const int warnings = m_Log.CountLines("Warning ");
	ASSERT_TRUE(manager.CallFunction("repeats"));
	EXPECT_EQ(warnings + 2, m_Log.CountLines("Warning ")) << m_Log.Text().substr(0, 4000);
	EXPECT_EQ(1, m_Log.CountLines("の関数 repeats が os.exit(1) を呼んだため、プログラムを終了します。"));
	EXPECT_EQ(1, m_Log.CountLines("の関数 repeats は、このあと os.exit をさらに 9999 回呼びました。終了コードは最後に求められた 16 です。"));
	EXPECT_EQ(16, RequestedExitStatus());
	ClearQuitRequest();

	const std::string file = WriteScript("closes.lua", "keep = newproxy(true)\n"
													   "getmetatable(keep).__gc = function() os.exit(11) end\n");
	Load(manager, ReadFile(file), "closes.lua");
	manager = TMorvalethLuaManager();
	EXPECT_EQ(1, m_Log.CountLines("Warning スクリプト " + file + " の終了時のファイナライザ (__gc) が os.exit(11) を呼んだため"))
		<< m_Log.Text();
	EXPECT_EQ(11, RequestedExitStatus());
	ClearQuitRequest();
}
