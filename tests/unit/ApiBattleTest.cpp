// Every battle engine function called against the real battle controller, with good arguments and with bad
// ones: none raises a Lua error, a refused call returns nothing (or false, for a refused action) and reports
// what went wrong where the rules say, and nothing out of range reaches the battle.

#include "BattleFixture.h"
#include "unit/ScriptFixture.h"

#include "script/LuaManager.h"
#include "script/ScriptRegistration.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>
#include <lua.h>
#include <set>

namespace
{
const int FRAME_CAP = 5000;

enum TTest
{
	BATTLE,
	NO_BATTLE_TEST,
};

struct TSignature
{
	const char* name;
	/// Type letters of its arguments; null for a function that takes none.
	const char* types;
	/// A good argument list while the scout (side 1, index 0) standing on (X, Y) chooses its action.
	const char* good;
	/// Values the good call returns.
	int results;
	/// The name its refusal and its argument warning give, when it is not the log name.
	const char* shownName;
	TTest test;
};

// In registration order; the commands that change the battle come last, the commitment of the action last of all.
const TSignature SIGNATURES[] = {
	{"api_battle_get_turn", nullptr, "", 1, nullptr, BATTLE},
	{"api_battle_get_map_size", nullptr, "", 2, nullptr, BATTLE},
	{"api_battle_get_map_height", "nn", "9, 7", 1, nullptr, NO_BATTLE_TEST},
	{"api_battle_get_movetype_totalcost", "n", "0", 1, nullptr, NO_BATTLE_TEST},
	{"api_battle_get_movetype_totalskill", "n", "2", 1, nullptr, NO_BATTLE_TEST},
	{"api_battle_get_movable", nullptr, "", 1, nullptr, BATTLE},
	{"api_battle_get_movable_layer", nullptr, "", 1, nullptr, BATTLE},
	{"api_battle_get_move_layer_from", "nnnnnb", "1, 1, X, Y, 6, false", 1, nullptr, BATTLE},
	{"api_battle_get_neighbor", "nnn", "X, Y, 2", 1, nullptr, NO_BATTLE_TEST},
	{"api_battle_get_neighbor_sorted", "nnn", "X, Y, 32", 1, "api_get_neighbor_sorted", NO_BATTLE_TEST},
	{"api_battle_get_is_defense_side", "n", "1", 1, nullptr, BATTLE},
	{"api_battle_get_master_list", nullptr, "", 1, nullptr, BATTLE},
	{"api_battle_get_my_master", nullptr, "", 1, nullptr, BATTLE},
	{"api_battle_get_enemy_master", nullptr, "", 1, nullptr, BATTLE},
	{"api_battle_get_chara_count", "n", "0", 1, nullptr, BATTLE},
	{"api_battle_get_active_chara", nullptr, "", 2, "api_battle_get_active_chara", BATTLE},
	{"api_battle_get_chara_on", "nn", "X, Y", 2, "api_battle_get_chara_on", BATTLE},
	{"api_battle_get_chara_status", "nn", "0, 1", 1, "api_battle_get_chara_status", BATTLE},
	{"api_battle_get_action_list", "nn", "X, Y", 1, "api_get_action_list", BATTLE},
	{"api_battle_get_last_target", nullptr, "", 0, "api_battle_get_last_target", BATTLE},
	{"api_battle_eval_action", "nnnnnn", "X, Y, ACTION_WAIT, X, Y, -1", 1, nullptr, BATTLE},
	{"api_battle_get_auto_runaway", nullptr, "", 2, nullptr, BATTLE},
	{"api_battle_set_chara_brave", "nnn", "0, 0, 50", 1, nullptr, BATTLE},
	{"api_battle_set_map_chip", "nnn", "0, 0, 1", 1, "api_set_map_chip", BATTLE},
	{"api_battle_rm_map_obj", "nn", "5, 5", 1, "api_battle_rm_map_obj", BATTLE},
	{"api_battle_set_action", "nnnnnn", "X, Y, ACTION_WAIT, X, Y, -1", 1, nullptr, BATTLE},
};

/// A call with a side, chara, cell, radius, action or value the battle does not have, and the Error it gives:
/// after the shown name when the text starts with "(" or a blank, else whole.
struct TRangeError
{
	const char* call;
	const char* message;
	/// Values it still returns: false for a refused action.
	int results;
};

const TRangeError RANGE_ERRORS[] = {
	{"api_battle_get_map_height(10, 0)", "(10, 0) error:マップ外の座標が指定されました。", 0},
	{"api_battle_get_map_height(0, -1)", "(0, -1) error:マップ外の座標が指定されました。", 0},
	{"api_battle_get_movetype_totalcost(3)", "(3) error:無効な移動タイプが指定されました。", 0},
	{"api_battle_get_movetype_totalskill(-1)", "(-1) error:無効な移動タイプが指定されました。", 0},
	{"api_battle_get_move_layer_from(2, 0, X, Y, 6, false)", "(2) error:無効な陣営が指定されました。", 0},
	{"api_battle_get_move_layer_from(1, 2, X, Y, 6, false)", "(1, 2) error:無効なキャラインデックスが指定されました。", 0},
	{"api_battle_get_move_layer_from(1, 0, -1, 0, 6, true)", "(-1, 0) error:マップ外の座標が指定されました。", 0},
	{"api_battle_get_neighbor(X, Y, 33)", "api_get_neighbor too large radius.", 0},
	{"api_battle_get_neighbor_sorted(X, Y, 33)", "api_get_neighbor_sorted too large radius.", 0},
	{"api_battle_get_chara_count(-1)", "(-1) error:無効な陣営が指定されました。", 0},
	{"api_battle_get_chara_on(10, 8)", "(10, 8) error:マップ外の座標が指定されました。", 0},
	{"api_battle_get_chara_status(1, -1)", "(1, -1) error:無効なキャラインデックスが指定されました。", 0},
	{"api_battle_get_chara_status(1, 2)", "(1, 2) error:無効なキャラインデックスが指定されました。", 0},
	{"api_battle_get_action_list(-5, 3)", "(-5, 3) error:マップ外の座標が指定されました。", 0},
	{"api_battle_eval_action(X, Y, 5, X, Y, -1)", " error:無効な行動タイプ 5 が指定されました。", 0},
	{"api_battle_eval_action(X, Y, ACTION_ATTACK, 0, 8, -1)", "(0, 8) error:マップ外の座標が指定されました。", 0},
	{"api_battle_eval_action(X, Y, ACTION_SPECIAL, X, Y, 99)", " error:無効な特殊能力 99 が指定されました。", 0},
	{"api_battle_set_action(X, Y, -1, X, Y, -1)", "api_set_action error:無効な行動タイプ -1 が指定されました。", 1},
	{"api_battle_set_action(X, Y, 7, X, Y, -1)", "api_set_action error:無効な行動タイプ 7 が指定されました。", 1},
	{"api_battle_set_action(11, 0, ACTION_WAIT, 11, 0, -1)", "(11, 0) error:マップ外の座標が指定されました。", 1},
	{"api_battle_set_chara_brave(0, 2, 10)", "(0, 2) error:無効なキャラインデックスが指定されました。", 0},
	{"api_battle_set_map_chip(0, 0, 3)", "(3) error:未定義の地形チップが指定されました。", 0},
	{"api_battle_set_map_chip(-1, 0, 1)", "(-1, 0) error:マップ外の座標が指定されました。", 0},
	{"api_battle_rm_map_obj(0, 8, 2)", "(0, 8) error:マップ外の座標が指定されました。", 0},
};

// The run function keeps what the call returned in RESULT, with its count.
const char* const RUN_SCRIPT = "local function pack(...) return {n = select('#', ...), ...} end\n"
							   "function run(code)\n"
							   "  local f = assert(loadstring(code, '=case'))\n"
							   "  RESULT = pack(f())\n"
							   "  return true\n"
							   "end\n";

std::string Call(const TSignature& s, const std::string& arguments)
{
	return "return " + std::string(s.name) + "(" + arguments + ")";
}

std::string ShownName(const std::string& name, const char* shownName)
{
	return shownName ? shownName : "`anonymous-namespace'::" + name;
}

std::string Join(const std::vector<std::string>& values)
{
	std::string text;
	for (const std::string& value : values)
		text += (text.empty() ? "" : ", ") + value;
	return text;
}

// Wrong argument lists: none, one too many, and each argument of a wrong type or beyond the integers.
std::vector<std::string> WrongArgumentLists(const std::string& types)
{
	std::vector<std::string> valid;
	for (const char type : types)
		valid.push_back(type == 'n' ? "0" : "true");
	std::vector<std::string> lists = {""};
	if (types != "nn")
		lists.push_back(Join(valid) + ", 0");
	for (std::size_t i = 0; i < types.size(); ++i) {
		const std::vector<std::string> wrong = types[i] == 'n'
			? std::vector<std::string>{"'x'", "true", "{}", "nil", "1e10", "0/0", "1/0"}
			: std::vector<std::string>{"1", "'true'", "nil", "{}"};
		for (const std::string& value : wrong) {
			std::vector<std::string> arguments = valid;
			arguments[i] = value;
			lists.push_back(Join(arguments));
		}
	}
	return lists;
}

/// What a script run of a call gave back.
struct TRun
{
	bool ok = false;
	int results = -1;
};

/// A battle of two computer sides stopped while the scout of the attackers (side 1) chooses its action,
/// and a script of side 1 that calls the engine functions.
class ApiBattle : public BattleRun
{
protected:
	ApiBattle() : m_Cwd(scenario.Path())
	{
		m_Script.SetContext(&logic, nullptr, nullptr);
		m_Script.SetMasterIndex(1);
		const std::string path = scenario / "run.lua";
		WriteFile(path, RUN_SCRIPT);
		EXPECT_TRUE(m_Script.LoadLua(path.c_str()));
	}

	void StartChoosing()
	{
		Add(0, "guard");
		Add(0, "lamb");
		Add(1, "scout");
		Add(1, "wolf");
		ASSERT_TRUE(Start(BattlePlan()));
		ASSERT_TRUE(RunUntil(STATE_COMPUTER, FRAME_CAP));
		int side = 0;
		int index = 0;
		logic.GetActiveChara(side, index);
		ASSERT_EQ((TCharaRef{1, 0}), (TCharaRef{side, index}));
	}

	TRun RunLua(const std::string& code)
	{
		lua_State* L = m_Script.GetState();
		const bool scout = !sides[1].empty();
		RunChunk(L, "RESULT = nil; X = " + std::to_string(scout ? Chara(1, 0).BattleX : 0)
				+ "; Y = " + std::to_string(scout ? Chara(1, 0).BattleY : 0));
		TRun run;
		run.ok = m_Script.CallFunction("run", {code}) && !m_Script.IsSuspended();
		if (run.ok) {
			EXPECT_EQ("", RunChunk(L, "return RESULT.n"));
			run.results = int(lua_tonumber(L, -1));
			lua_settop(L, 0);
		}
		EXPECT_EQ(0, lua_gettop(L)) << code;
		return run;
	}

	/// The value the code returns, rendered by tostring.
	std::string Eval(const std::string& code)
	{
		EXPECT_TRUE(RunLua(code).ok) << code;
		lua_State* L = m_Script.GetState();
		EXPECT_EQ("", RunChunk(L, "return tostring(RESULT and RESULT[1])")) << code;
		const std::string value = lua_tostring(L, -1);
		lua_settop(L, 0);
		return value;
	}

	// Runs the call and checks that it returns the values, reports the text once in the script log (a warning)
	// or as an Error, and leaves the battle where it was.
	void ExpectRefused(const std::string& call, const std::string& report, bool warning, int results = 0)
	{
		const int state = logic.GetState();
		const std::size_t scriptLines = ScriptLogLines().size();
		const int errors = m_Log.CountLines(" Error " + report);
		const TRun run = RunLua(call);
		EXPECT_TRUE(run.ok) << call;
		EXPECT_EQ(results, run.results) << call;
		EXPECT_EQ(state, logic.GetState()) << call;
		if (warning) {
			const std::vector<std::string> lines = ScriptLogLines();
			ASSERT_EQ(scriptLines + 1, lines.size()) << call;
			EXPECT_NE(std::string::npos, lines.back().find(report)) << call << ": " << lines.back();
		} else {
			EXPECT_EQ(errors + 1, m_Log.CountLines(" Error " + report)) << call << "\n" << m_Log.Text();
		}
	}

	std::vector<std::string> ScriptLogLines() const
	{
		std::vector<std::string> lines;
		std::string text = ReadFile(scenario / "_lualog.txt");
		for (std::size_t start = 0, end; start < text.size(); start = end + 1) {
			end = text.find('\n', start);
			if (end == std::string::npos)
				end = text.size();
			if (end > start)
				lines.push_back(text.substr(start, end - start));
		}
		return lines;
	}

	TScopedCwd m_Cwd;
	TCapturedLog m_Log;
	TMorvalethLuaManager m_Script;
};
}

TEST_F(ApiBattle, TheTableHoldsEveryBattleFunctionInItsOrder)
{
	std::vector<std::string> registered;
	for (const TScriptFunction& f : ScriptFunctionTable())
		if (std::string(f.name).compare(0, 11, "api_battle_") == 0)
			registered.push_back(f.name);
	std::set<std::string> listed;
	for (const TSignature& s : SIGNATURES)
		EXPECT_TRUE(listed.insert(s.name).second) << s.name;
	EXPECT_EQ(26u, listed.size());
	EXPECT_EQ(std::set<std::string>(registered.begin(), registered.end()), listed);
	EXPECT_EQ("api_battle_get_turn", registered.front());
	EXPECT_EQ("api_battle_rm_map_obj", registered.back());
	EXPECT_EQ(89u, ScriptFunctionTable().size());
}

TEST_F(ApiBattle, GoodCallsAnswerWithoutAnyReport)
{
	StartChoosing();
	for (const TSignature& s : SIGNATURES) {
		const std::string call = Call(s, s.good);
		const int errors = m_Log.CountLines(" Error ");
		const TRun run = RunLua(call);
		EXPECT_TRUE(run.ok) << call;
		EXPECT_EQ(s.results, run.results) << call;
		EXPECT_EQ(errors, m_Log.CountLines(" Error ")) << call << "\n" << m_Log.Text();
		EXPECT_TRUE(ScriptLogLines().empty()) << call << ": " << ScriptLogLines().front();
	}
	EXPECT_NE(STATE_COMPUTER, logic.GetState()) << "the scout's wait was committed";
}

TEST_F(ApiBattle, WrongArgumentListsAreWarnedOfInTheScriptLog)
{
	StartChoosing();
	for (const TSignature& s : SIGNATURES)
		if (s.types)
			for (const std::string& arguments : WrongArgumentLists(s.types))
				ExpectRefused(Call(s, arguments), "invalid argument for " + ShownName(s.name, s.shownName) + " (Line 1)", true);
	// Functions without arguments ignore whatever they are given.
	EXPECT_EQ(2, RunLua("return api_battle_get_map_size(1e300, 0/0, nil, {}, 'x')").results);
	// Object removal takes two numbers or more; a third must be a number, and any further one is ignored.
	ExpectRefused("return api_battle_rm_map_obj(5, 5, 'x')", "invalid argument for api_battle_rm_map_obj 2 (Line 1)", true);
	EXPECT_EQ(1, RunLua("return api_battle_rm_map_obj(5, 5, 2, 'x')").results);
}

TEST_F(ApiBattle, SidesCharasCellsAndActionsTheBattleDoesNotHaveAreErrors)
{
	StartChoosing();
	for (const TRangeError& e : RANGE_ERRORS) {
		const std::string call = e.call;
		const std::string name = call.substr(0, call.find('('));
		const char* shownName = nullptr;
		for (const TSignature& s : SIGNATURES)
			if (name == s.name)
				shownName = s.shownName;
		const std::string message = e.message;
		const bool afterName = message[0] == '(' || message[0] == ' ';
		ExpectRefused("return " + call, afterName ? ShownName(name, shownName) + message : message, false, e.results);
	}
	EXPECT_EQ("false", Eval("return api_battle_set_action(X, Y, 7, X, Y, -1)"));
	EXPECT_EQ(STATE_COMPUTER, logic.GetState()) << "a refused action leaves the chara choosing";
	// Only the acting chara's side commits its action.
	m_Script.SetMasterIndex(0);
	ExpectRefused("return api_battle_set_action(X, Y, ACTION_WAIT, X, Y, -1)",
		"`anonymous-namespace'::api_battle_set_action error:陣営 0 のスクリプトは陣営 1 のキャラの行動を決められません。", false,
		1);
}

TEST_F(ApiBattle, OutsideABattleOnlyTheMapFunctionsAnswerAndOnlyAfterOne)
{
	// Before the first battle the controller holds no map.
	for (const TSignature& s : SIGNATURES) {
		const std::string call = Call(s, s.good);
		if (s.test == BATTLE)
			ExpectRefused(call, ShownName(s.name, s.shownName) + " was called, but not battle.", false);
		else
			ExpectRefused(call, ShownName(s.name, s.shownName) + " was called, but no battle map is held.", false);
	}
	// The argument test comes first for these two.
	ExpectRefused("return api_battle_get_is_defense_side('x')", "invalid argument for `anonymous-namespace'::api_battle_get_is_defense_side", true);
	ExpectRefused("return api_battle_get_chara_count()", "invalid argument for `anonymous-namespace'::api_battle_get_chara_count", true);
	ExpectRefused("return api_battle_get_turn()", "`anonymous-namespace'::api_battle_get_turn was called, but not battle.", false);
	// After a battle they answer from its map.
	StartChoosing();
	BattleRun::Run(FRAME_CAP);
	ASSERT_FALSE(logic.IsInBattle());
	for (const TSignature& s : SIGNATURES) {
		if (s.test != NO_BATTLE_TEST)
			continue;
		EXPECT_EQ(s.results, RunLua(Call(s, s.good)).results) << s.name;
	}
}

TEST_F(ApiBattle, ResultsHaveTheirShapes)
{
	StartChoosing();
	const TCharaInstance& scout = Chara(1, 0);
	// The map is 10 x 8; the layers are flat and keyed from 0, the movable cells too.
	EXPECT_EQ("80 nil", Eval("local t = api_battle_get_movable_layer(); local n = 0"
							 " for k in pairs(t) do n = n + 1 end return n .. ' ' .. tostring(t[80])"));
	EXPECT_EQ("true", Eval("return api_battle_get_movable()[0] ~= nil"));
	EXPECT_EQ("true", Eval("local l = api_battle_get_movable_layer(); for i, c in pairs(api_battle_get_movable()) do"
						   " if l[c.y * 10 + c.x] == 0 then return false end end return true"));
	EXPECT_EQ("true", Eval("local t = api_battle_get_move_layer_from(1, 0, X, Y, 6, false)"
						   " for k = 0, 79 do local c = t[k] if c.value > 0 and c.fromx == X and c.fromy == Y then return true end end"
						   " return false"));
	// Neighbours: radius 0 is the centre alone, a corner keeps the cells on the map nearest first, sorting goes by row.
	EXPECT_EQ("1 0 0", Eval("local t = api_battle_get_neighbor(0, 0, 0) return #t .. ' ' .. t[1].x .. ' ' .. t[1].y"));
	EXPECT_EQ("3 0", Eval("local t = api_battle_get_neighbor(0, 0, 1) return #t .. ' ' .. t[1].x"));
	EXPECT_EQ("0 0", Eval("return #api_battle_get_neighbor(3, 3, -1) .. ' ' .. #api_battle_get_neighbor(-40, 3, 2)"));
	EXPECT_EQ("80 true", Eval("local t = api_battle_get_neighbor_sorted(5, 4, 32) local ok = true"
							  " for i = 2, #t do ok = ok and (t[i].y * 100 + t[i].x > t[i-1].y * 100 + t[i-1].x) end"
							  " return #t .. ' ' .. tostring(ok)"));
	// Sides as side 1 sees them.
	EXPECT_EQ("1 0 0 false true", Eval("local m = api_battle_get_master_list() return m[1] .. ' ' .. m[2] .. ' '"
									   " .. api_battle_get_enemy_master()[1] .. ' ' .. tostring(api_battle_get_is_defense_side(1))"
									   " .. ' ' .. tostring(api_battle_get_is_defense_side(0))"));
	EXPECT_EQ("1 0", Eval("local s, i = api_battle_get_chara_on(X, Y) return s .. ' ' .. i"));
	EXPECT_EQ(0, RunLua("return api_battle_get_chara_on(0, 7)").results) << "an empty cell";
	// The status record: 32 keys, conditions and resistances keyed from 0.
	EXPECT_EQ("32", Eval("local n = 0 for k in pairs(api_battle_get_chara_status(1, 0)) do n = n + 1 end return n"));
	EXPECT_EQ("true", Eval("local s = api_battle_get_chara_status(1, 0) return s.x == X and s.y == Y and s.hp == s.hpmax"
						   " and s.attackcount == 1 and s.master == false and s.brave == 100 and s.element == 0"
						   " and s.resistance[0] ~= nil and next(s.status) == nil"));
	EXPECT_EQ(scout.HPMax, std::stoi(Eval("return api_battle_get_chara_status(1, 0).hpmax")));
	// Actions are records with string keys.
	EXPECT_EQ("true", Eval("for i, a in ipairs(api_battle_get_action_list(X, Y)) do"
						   " if a.actiontype == nil or a.targetx == nil or a.targety == nil or a.special == nil then return false end"
						   " end return true"));
	EXPECT_EQ("true", Eval("return api_battle_set_chara_brave(1, 1, 150)"));
	EXPECT_EQ(100, Chara(1, 1).Brave);
}
