// Every engine function of the world map, the masters and the turn called with good
// arguments and with bad ones: none raises a Lua error, a refused call returns nothing,
// leaves the game, the ending switches and the world map as they were, and reports
// what went wrong where the rules say.

#include "unit/ApiWorldFixture.h"

#include "app/GameMaster.h"
#include "model/MorvalethGame.h"
#include "script/ApiScenario.h"
#include "script/ScriptRegistration.h"
#include "support/ScriptArguments.h"

#include <boost/make_shared.hpp>
#include <functional>
#include <set>

namespace
{
struct TSignature
{
	const char* name;
	/// Type letters of its arguments; null for a function that does not look at them.
	const char* types;
	/// Type letters of the optional arguments that may follow.
	const char* optional;
	/// A good argument list in leon's turn of the first chapter.
	const char* good;
	/// Values a good call returns to the script (after the resume, for one that suspends).
	int results;
	/// The name its argument warning gives, when it is not the log name.
	const char* warningName;
};

const TSignature SIGNATURES[] = {
	{"api_scenario_is_ending", "", "s", "", 1, nullptr},
	{"api_scenario_set_ending_enabled", "sb", "", "'leon', false", 1, nullptr},
	{"api_scenario_get_chara_exists_area", "s", "", "'knight'", 1, nullptr},
	{"api_scenario_get_master_exists_area", "s", "", "'garm'", 1, nullptr},
	{"api_scenario_focus_area", "s", "", "'A04'", 1, nullptr},
	{"api_scenario_get_allarea", nullptr, "", "", 1, nullptr},
	{"api_scenario_get_area_master", "s", "", "'A01'", 1, nullptr},
	{"api_scenario_get_area_chara_count", "s", "", "'A01'", 1, nullptr},
	{"api_scenario_get_area_employable", "sn", "", "'A01', 0", 1, nullptr},
	{"api_scenario_get_area_chara", "sn", "", "'A01', 1", 1, nullptr},
	{"api_scenario_get_area_allchara", "s", "", "'A01'", 1, nullptr},
	{"api_scenario_insert_area_chara", "ss", "b", "'A06', 'soldier'", 1, nullptr},
	{"api_scenario_move_area_chara", "sst", "", "'A01', 'A02', {1}", 1, nullptr},
	{"api_scenario_remove_chara", "s", "", "'knight'", 1, nullptr},
	{"api_scenario_plus_area_city", "sn", "", "'A01', 1", 1, nullptr},
	{"api_scenario_plus_area_wall", "sn", "", "'A01', -1", 1, nullptr},
	{"api_scenario_plus_area_road", "sn", "", "'A01', 2", 1, nullptr},
	{"api_scenario_get_champion", "n", "", "0", 0, nullptr},
	{"api_scenario_get_wincount", "s", "", "'garm'", 1, nullptr},
	{"api_scenario_employ", "sns", "", "'A02', 0, 'soldier'", 1, nullptr},
	{"api_scenario_dismiss", "sn", "", "'A02', 0", 1, nullptr},
	{"api_scenario_propose_alliance", "snn", "", "'garm', 6, 10", 0, nullptr},
	{"api_scenario_departure", "st", "", "'A03', {A02 = {0}}", 0, nullptr},
	{"api_scenario_endturn", nullptr, "", "", 1, nullptr},
	{"api_get_current_master", nullptr, "", "", 1, nullptr},
	{"api_change_master_type", "sss", "", "'garm', 'garm', 'garm'", 0, "api_change_master_type"},
	{"api_get_master", "s", "", "'sera'", 1, nullptr},
	{"api_get_chara_type", "s", "", "'mage'", 1, "api_get_chara_type"},
	{"api_exists_hero", "ss", "", "'leon', 'leon'", 1, "api_exists_hero"},
	{"api_last_dead_master", nullptr, "", "", 1, nullptr},
	{"api_get_chapter_number", nullptr, "", "", 1, nullptr},
	{"api_get_turn", nullptr, "", "", 1, nullptr},
	{"api_get_progressed_turn", nullptr, "", "", 1, nullptr},
	{"api_find_alliance", "ss", "", "'sera', 'leon'", 1, nullptr},
	{"api_get_alliance_cost", "ss", "", "'leon', 'garm'", 1, nullptr},
	{"api_get_allmaster", nullptr, "", "", 1, nullptr},
	{"api_master_is_exists", "s", "", "'garm'", 1, nullptr},
	{"api_master_is_player", "s", "", "'garm'", 1, nullptr},
	{"api_master_plus_ley", "sn", "", "'garm', -5", 1, nullptr},
	{"api_master_get_ley", "s", "", "'garm'", 1, nullptr},
	{"api_get_chara_data", "s", "", "'archer'", 1, nullptr},
	{"api_get_chara_master", "s", "", "'archer'", 1, nullptr},
};

/// A call that names something the game does not have, or a place outside it, and its Error: after the
/// log name when the text starts with "(" or a blank, else whole. One row per way a function looks up.
struct TIdError
{
	const char* call;
	const char* message;
};

const TIdError ID_ERRORS[] = {
	{"api_scenario_set_ending_enabled('nosuch', true)", "(nosuch) error:マスターIDが誤っています。"},
	{"api_scenario_get_area_master('nosuch')", "(nosuch) error:エリアIDが誤っています。"},
	{"api_scenario_plus_area_city('nosuch', 1)", "(nosuch) error:エリアIDが誤っています。"},
	{"api_scenario_get_area_employable('nosuch', 0)", "(nosuch, 0) error:エリアIDが誤っています。"},
	{"api_scenario_get_area_employable('A01', -1)", "(A01, -1) error:雇用担当キャラインデックスが範囲を超えています。"},
	{"api_scenario_get_area_chara('A01', 2147483647)", "(A01, 2147483647) error:キャラインデックスが範囲を超えています。"},
	{"api_scenario_insert_area_chara('nosuch', 'soldier')", "(nosuch, soldier) error:エリアIDが誤っています。"},
	{"api_scenario_insert_area_chara('A06', 'nosuch', true)", "(A06, nosuch) error:キャラIDが誤っています。"},
	{"api_scenario_move_area_chara('A01', 'A02', {0/0})", " invalid parameter. character index must be number."},
	{"api_scenario_move_area_chara('nosuch', 'A02', {1})", "(nosuch, A02) error:エリアID1が誤っています。"},
	{"api_scenario_move_area_chara('A01', 'nosuch', {1})", "(A01, nosuch) error:エリアID2が誤っています。"},
	{"api_scenario_move_area_chara('A01', 'A05', {1})", "(A01, A05) error:自エリアでないエリアのキャラを移動しようとしました。"},
	{"api_scenario_remove_chara('nosuch')", "(nosuch) error:無効なキャラIDが指定されました。"},
	{"api_scenario_get_wincount('nosuch')", "(nosuch) error:キャラIDが誤っています。"},
	{"api_scenario_employ('nosuch', 0, 'soldier')", "(nosuch, 0, soldier) error:エリアIDが誤っています。"},
	{"api_scenario_employ('A02', 0, 'nosuch')", "(A02, 0, nosuch) error:キャラIDが誤っています。"},
	{"api_scenario_employ('A02', 1, 'soldier')", "(A02, 1, soldier) error:雇用担当キャラインデックスが範囲を超えています。"},
	{"api_scenario_employ('A02', 0, 'garm')", "(A02, 0, garm) error:既に存在する人材は雇用できません。"},
	{"api_scenario_employ('A02', 0, 'kaya')", "(A02, 0, kaya) error:既に存在する人材は雇用できません。"},
	{"api_scenario_propose_alliance('nosuch', 6, 10)", "(nosuch) error:マスターIDが誤っているか、存在しないマスターです。"},
	{"api_scenario_propose_alliance('leon', 6, 10)", "(leon) error:自分自身に同盟を申し込むことはできません。"},
	{"api_scenario_propose_alliance('garm', 0, 10)", "(garm, 0, 10) error:同盟のターン数が1未満です。"},
	{"api_scenario_propose_alliance('garm', 6, -1)", "(garm, 6, -1) error:同盟の代金が負の値です。"},
	{"api_scenario_departure('nosuch', {A02 = {0}})", " 出陣先エリアID nosuch が誤っています。"},
	{"api_scenario_departure('A01', {A02 = {0}})", " 自軍のエリア A01 には出陣できません。"},
	{"api_scenario_departure('A03', {[true] = {0}})", " invalid parameter. 2nd parameter table key must be string."},
	{"api_scenario_departure('A03', {A02 = 0})", " invalid parameter. 2nd parameter table value must be table."},
	{"api_scenario_departure('A03', {[12] = {0}})", " エリアID 12 が誤っています。"},
	{"api_scenario_departure('A06', {A05 = {0}})", " 所有していないエリア A05 から出陣しようとしました。"},
	{"api_scenario_departure('A03', {A01 = {0}})", " エリア A01 は出陣先エリア A03 に隣接していません。"},
	{"api_scenario_departure('A03', {A02 = {'x'}})", " 出陣キャラインデックステーブルの値が数値ではありません。"},
	{"api_scenario_departure('A03', {A02 = {1}})", " エリア A02 （キャラ数1）に対して無効な出陣キャラインデックス1が指定されました。"},
	{"api_scenario_departure('A03', {A02 = {0, 0}})", " エリア A02 の出陣キャラインデックス0が重複しています。"},
	{"api_scenario_departure('A03', {A02 = {}})", " 出陣キャラインデックスリストが空です。"},
	{"api_get_master('nosuch')", "(nosuch) error:マスターIDが誤っています。"},
	{"api_master_plus_ley('nosuch', 5)", "(nosuch) error:マスターIDが誤っています。"},
	{"api_find_alliance('nosuch', 'leon')", "(nosuch, leon) error:マスターID1が誤っています。"},
	{"api_get_alliance_cost('leon', 'nosuch')", "(leon, nosuch) error:マスターID2が誤っています。"},
	{"api_change_master_type('garm', 'garm', 'nosuch')",
		"api_change_master_type(garm, garm, nosuch) error:無効なマスターIDまたはキャラIDが指定されました。"},
	{"api_change_master_type('garm', 'sera', 'garm')", "api_change_master_type(garm, sera, garm) error:変更後のマスターは既に存在します。"},
	{"api_exists_hero('nosuch', 'leon')", "api_exists_hero error:無効なID nosuch leon が指定されました。"},
	{"api_get_chara_type('nosuch')", "api_get_chara_type invalid character id."},
	{"api_get_chara_data('nosuch')", "(nosuch) error:キャラIDが誤っています。"},
	// The game refuses these itself, with its own Error, and the script gets false.
	{"api_scenario_move_area_chara('A01', 'A02', {1, 1}) == false",
		"TMorvalethGame::MoveCharacter invalid parameter(indice contains duplication). Area1=0 Area2=1"},
	{"api_scenario_dismiss('A02', 1) == false", "TMorvalethGame::DismissCharacter(1, 1) invalid parameter chrindex."},
	{"api_scenario_employ('A02', 0, 'bran') == false",
		"TMorvalethGame::EmployCharacter(1, 0, 3) invalid operation. master money < character cost."},
};

const char* const DEPARTURE = "api_scenario_departure('A03', {A02 = {0}})";
const char* const OFFER = "api_scenario_propose_alliance('garm', 6, 10)";

/// Calls made where the functions cannot work, and the report behind their log name.
struct TContextCase
{
	enum TSetting { NO_CURRENT_MASTER, NO_WORLD_MAP, SCRIPT_WINDOWS } setting;
	const char* report;
	std::vector<const char*> calls;
};

const TContextCase CONTEXT_CASES[] = {
	{TContextCase::NO_CURRENT_MASTER, " was called, but no master is current.",
		{"api_get_current_master()", "api_scenario_move_area_chara('A01', 'A02', {1})", DEPARTURE, OFFER, "api_scenario_endturn()"}},
	{TContextCase::NO_WORLD_MAP, " was called, but no world map.",
		{"api_scenario_focus_area('A01')", "api_scenario_endturn()", DEPARTURE, OFFER}},
	{TContextCase::SCRIPT_WINDOWS, " was called, but not by a master's strategy script.", {DEPARTURE, OFFER}},
};

/// Ways of calling from which a yield cannot reach the script's host, and their report.
const char* const CANNOT_SUSPEND = " was called, but the script cannot be suspended here (pcall, metamethod or coroutine).";
const char* const UNSUSPENDABLE_CALLS[] = {
	"pcall(function() %s end)",
	"return coroutine.wrap(function() return %s end)()",
	"local x = setmetatable({}, {__index = function() return %s end}).x",
	"table.sort({2, 1}, function(a, b) %s; return a < b end)",
};

/// The function a call calls.
std::string NameOf(const std::string& call)
{
	return call.substr(0, call.find('('));
}

std::string LogName(const std::string& name)
{
	return "`anonymous-namespace'::" + name;
}

std::string Call(const TSignature& s, const std::string& arguments)
{
	return "return " + std::string(s.name) + "(" + arguments + ")";
}

std::string Fill(const char* pattern, const std::string& call)
{
	std::string text = pattern;
	return text.replace(text.find("%s"), 2, call);
}

class ApiWorldTable : public ApiWorldTest
{
protected:
	// Runs the call on a fresh game and checks that it gives nothing back (or false, when the game refuses), changes nothing and
	// reports the text once, in the script log or as an Error of the main log.
	void ExpectRefused(const std::string& call, const std::string& report, bool warning,
		const std::function<void()>& setting = nullptr, int results = 0)
	{
		// A refusal leaves the game as it was, so the next call finds it fresh as well.
		if (setting) {
			NewGame();
			setting();
		}
		const std::string before = SavedGame();
		const std::vector<int> endings = g_EndingFlags;
		const std::size_t scriptLines = ScriptLog().size();
		const int errors = m_Log.CountLines(" Error " + report);
		const TApiRun run = Run(call);
		EXPECT_TRUE(run.ok) << call;
		EXPECT_FALSE(run.suspended) << call;
		EXPECT_EQ(results, run.results) << call;
		EXPECT_EQ(before, SavedGame()) << call;
		EXPECT_EQ(endings, g_EndingFlags) << call;
		EXPECT_TRUE(m_WorldMap.calls.empty()) << call << " handed the world map " << m_WorldMap.calls.front();
		m_WorldMap.calls.clear();
		if (warning) {
			const std::vector<std::string> log = ScriptLog();
			ASSERT_EQ(scriptLines + 1, log.size()) << call;
			EXPECT_EQ(report, log.back()) << call;
		} else {
			EXPECT_EQ(errors + 1, m_Log.CountLines(" Error " + report)) << call << "\n" << m_Log.Text();
		}
	}

	std::string Warning(const TSignature& s)
	{
		return "Warning : invalid argument for " + (s.warningName ? std::string(s.warningName) : LogName(s.name))
			+ " (Line 1)";
	}
};
}

TEST_F(ApiWorldTable, TheTableHoldsEveryWorldFunctionOnce)
{
	std::set<std::string> registered;
	for (const TScriptFunction& f : ScriptFunctionTable())
		registered.insert(f.name);
	std::set<std::string> listed;
	for (const TSignature& s : SIGNATURES) {
		EXPECT_TRUE(registered.count(s.name)) << s.name;
		EXPECT_TRUE(listed.insert(s.name).second) << s.name;
	}
	EXPECT_EQ(42u, listed.size());
}

TEST_F(ApiWorldTable, GoodCallsAnswerWithoutAnyReport)
{
	for (const TSignature& s : SIGNATURES) {
		NewGame();
		const std::string call = Call(s, s.good);
		const int errors = m_Log.CountLines(" Error ");
		const TApiRun run = Run(call);
		EXPECT_TRUE(run.ok) << call;
		EXPECT_EQ(s.results, run.results) << call;
		EXPECT_EQ(errors, m_Log.CountLines(" Error ")) << call << "\n" << m_Log.Text();
		EXPECT_TRUE(ScriptLog().empty()) << call;
		// Functions that take no arguments ignore whatever they are given.
		if (!s.types) {
			NewGame();
			EXPECT_EQ(s.results, Run(Call(s, "1e300, 0/0, nil, {}, 'x'")).results) << s.name;
		}
	}
}

TEST_F(ApiWorldTable, WrongArgumentListsAreWarnedOfInTheScriptLog)
{
	for (const TSignature& s : SIGNATURES) {
		if (!s.types)
			continue;
		for (const std::string& arguments : WrongArgumentLists(s.types, s.optional, "'A01'"))
			ExpectRefused(Call(s, arguments), Warning(s), true);
	}
}

TEST_F(ApiWorldTable, NamesOfNothingAndPositionsOutOfRangeAreErrors)
{
	for (const TIdError& e : ID_ERRORS) {
		const std::string message = e.message;
		const bool afterLogName = message[0] == '(' || message[0] == ' ';
		const bool gameRefuses = std::string(e.call).find("== false") != std::string::npos;
		ExpectRefused(std::string("return ") + e.call, afterLogName ? LogName(NameOf(e.call)) + message : message, false,
			nullptr, gameRefuses ? 1 : 0);
	}
}

TEST_F(ApiWorldTable, CallsFromWhereTheyCannotWorkAreRefused)
{
	for (const TContextCase& c : CONTEXT_CASES)
		for (const char* call : c.calls)
			ExpectRefused(std::string("return ") + call, LogName(NameOf(call)) + c.report, false, [this, &c] {
				UseScriptWindows(c.setting == TContextCase::SCRIPT_WINDOWS);
				if (c.setting == TContextCase::NO_WORLD_MAP)
					m_Script.SetContext(nullptr, nullptr, nullptr);
				// A game before its first master, as the event script's start sees it.
				if (c.setting == TContextCase::NO_CURRENT_MASTER)
					NewGame(false);
			});
	UseScriptWindows(false);
	NewGame();
	for (const char* call : {DEPARTURE, OFFER})
		for (const char* pattern : UNSUSPENDABLE_CALLS)
			ExpectRefused(Fill(pattern, call), LogName(NameOf(call)) + CANNOT_SUSPEND, false);
}

TEST_F(ApiWorldTable, WhileABattleRunsOnlyTheMasterFunctionsWork)
{
	for (const TSignature& s : SIGNATURES) {
		const std::string name = s.name;
		if (name.compare(0, 13, "api_scenario_") == 0) {
			ExpectRefused(Call(s, s.good), LogName(name) + " was called, but now battle.", false, [this] { StartBattle(); });
			continue;
		}
		NewGame();
		StartBattle();
		EXPECT_EQ(s.results, Run(Call(s, s.good)).results) << name;
	}
}

TEST_F(ApiWorldTable, NothingWorksWithoutAGame)
{
	g_GameMaster.m_Game.reset();
	for (const TSignature& s : SIGNATURES) {
		const std::string report = LogName(s.name) + " was called, but no game.";
		const TApiRun run = Run(Call(s, s.good));
		EXPECT_TRUE(run.ok && run.results == 0 && !run.suspended) << s.name;
		EXPECT_EQ(1, m_Log.CountLines(" Error " + report)) << report;
	}
	EXPECT_TRUE(m_WorldMap.calls.empty());
}
