// The world map's turn cycle: masters one after another, the event script at each new turn and at
// the end of the game, set-up of new and loaded games and its failures.

#include "unit/WorldFixture.h"
#include "unit/ScriptFixture.h"

#include "app/GameConfig.h"
#include "model/MorvalethData.h"

#include <algorithm>
#include <lua.h>
#include <tinyxml.h>

namespace
{
// Switches a setting for the life of the object.
class TScopedSwitch
{
public:
	TScopedSwitch(int index, bool value) : m_Index(index), m_Previous(g_Config.GetBoolValue(index))
	{
		g_Config.SetBoolValue(index, value);
	}
	~TScopedSwitch() { g_Config.SetBoolValue(m_Index, m_Previous); }

private:
	int m_Index;
	bool m_Previous;
};

std::string Print(const TiXmlNode& node)
{
	TiXmlPrinter printer;
	node.Accept(&printer);
	return printer.CStr();
}

const char* const EVENT_START = "function on_system_start() return true end\n";
}

TEST_F(WorldTest, EveryMasterTakesOneTurnInEachTurnAndTheEventScriptRunsOncePerTurn)
{
	Start();
	std::vector<std::vector<int>> turns;
	int previousStatus = WORLD_CONSTRUCTED;
	int previousTurn = -1;
	for (int frame = 0; frame < 60; ++frame) {
		ASSERT_NE(WORLD_STOPPED, Status());
		ASSERT_TRUE(Current() >= 0 && Current() < game.GetMasterCount());
		if (Status() == WORLD_STRATEGY && previousStatus != WORLD_STRATEGY) {
			if (game.GetTurn() != previousTurn)
				turns.emplace_back();
			previousTurn = game.GetTurn();
			turns.back().push_back(Current());
		}
		previousStatus = Status();
		Frame();
	}
	ASSERT_GE(turns.size(), 3u);
	turns.pop_back();
	for (std::vector<int> order : turns) {
		std::sort(order.begin(), order.end());
		EXPECT_EQ((std::vector<int>{leon, garm, sera}), order);
	}
	// One call for the first turn, made by the set-up, then one per turn that began.
	EXPECT_LE(int(turns.size()) + 1, CountScriptLog("global_script"));
	EXPECT_GE(int(turns.size()) + 2, CountScriptLog("global_script"));
	EXPECT_EQ(0, log.CountLines("Error"));
}

/// How the event script behaves once the game is decided, and whether the program then quits.
struct TEndingCase
{
	const char* globalScript;
	bool quits;
};

class WorldEndingTest : public WorldTest, public ::testing::WithParamInterface<TEndingCase>
{
};

TEST_P(WorldEndingTest, TheDecidedGameQuitsOnlyAfterTheEventScriptYielded)
{
	WriteScript("EventScript.lua", std::string(EVENT_START) + GetParam().globalScript);
	game.GetMaster(garm).Exists = false;
	game.GetMaster(sera).Exists = false;
	Start();
	EXPECT_TRUE(game.IsGameEnded());
	for (int frame = 0; frame < 12; ++frame)
		Frame();
	EXPECT_EQ(GetParam().quits, view.HasQuit());
	if (GetParam().quits) {
		EXPECT_EQ(WORLD_QUITTING, Status());
		EXPECT_EQ(1, CountScriptLog("global_script"));
	} else {
		// Play goes on with the master left, and the decided game asks the event script again.
		EXPECT_NE(WORLD_QUITTING, Status());
		EXPECT_LT(1, CountScriptLog("global_script"));
		EXPECT_LT(0, CountScriptLog("on_myturn"));
	}
}

INSTANTIATE_TEST_SUITE_P(Ending, WorldEndingTest,
	::testing::Values(
		TEndingCase{"function global_script() print_log('global_script') coroutine.yield() return true end", true},
		TEndingCase{"function global_script() print_log('global_script') return true end", false}));

TEST_F(WorldTest, ANewGameAsksTheEventScriptBeforeTheFirstMasterAndALoadedOneGoesOnWithTheSavedMaster)
{
	WriteScript("EventScript.lua", "function on_system_start() Flag[7] = 'set at start' print_log('started') return true end\n"
								   "function global_script() print_log('global_script') return true end\n");
	Start();
	EXPECT_EQ(1, CountScriptLog("global_script"));
	// What the script wrote as it started stays in the log after the other scripts have loaded.
	EXPECT_EQ(1, CountScriptLog("started"));
	const int current = Current();
	// Flags set while the script starts are kept in the save.
	TiXmlElement save("Save");
	logic->SaveLuaEvent(&save);
	EXPECT_NE(std::string::npos, Print(save).find("set at start"));

	WriteScript("EventScript.lua", "function on_system_start() Flag[7] = 'overwritten' print_log('started') return true end\n"
								   "function global_script() print_log('global_script') return true end\n");
	logic.reset(new TWorldMapLogic(view, game, SampleData(), nullptr));
	logic->Setup(false, false, &save);
	EXPECT_EQ(WORLD_STRATEGY, Status());
	EXPECT_EQ(current, Current());
	EXPECT_EQ(0, CountScriptLog("global_script"));
	EXPECT_EQ(1, CountScriptLog("started")) << "a set-up starts the log afresh";
	TiXmlElement again("Save");
	logic->SaveLuaEvent(&again);
	EXPECT_EQ(Print(save), Print(again));
}

/// A set-up that cannot complete, and the Error it logs.
struct TSetupFailure
{
	const char* name;
	const char* script;
	const char* text;
	const char* error;
};

class WorldSetupFailureTest : public WorldTest, public ::testing::WithParamInterface<TSetupFailure>
{
};

TEST_P(WorldSetupFailureTest, StopsTheWorldMapWithItsError)
{
	const TSetupFailure& failure = GetParam();
	if (failure.script && failure.text)
		WriteScript(failure.script, failure.text);
	else if (failure.script)
		std::remove((dir / (std::string("Script/") + failure.script)).c_str());
	const bool saved = std::string(failure.name) == "saved game without LuaEvent";
	TiXmlElement save("Save");
	Start(!saved, &save);
	EXPECT_EQ(WORLD_STOPPED, Status());
	EXPECT_EQ(1, log.CountLines(failure.error)) << log.Text();
	Frame();
	EXPECT_EQ(WORLD_STOPPED, Status());
}

INSTANTIATE_TEST_SUITE_P(Setup, WorldSetupFailureTest,
	::testing::Values(TSetupFailure{"no event script", "EventScript.lua", nullptr, "イベントスクリプトの検索に失敗しました。"},
		TSetupFailure{"broken event script", "EventScript.lua", "function (", "のロードに失敗しました。"},
		TSetupFailure{"no on_system_start", "EventScript.lua", "x = 1", "の初期化(on_system_start)に失敗しました。"},
		TSetupFailure{"no world script", "world.lua", nullptr, "world.luaの検索に失敗しました。"},
		TSetupFailure{"no strategy script", "strategy.lua", nullptr, "strategy.luaの検索に失敗しました。"},
		TSetupFailure{"broken strategy script", "strategy.lua", "end", "strategy.lua のロードに失敗しました。"},
		TSetupFailure{"failing on_myturn", "strategy.lua", "function on_myturn() error('broken') end",
			"strategy.lua の関数 on_myturn が失敗しました："},
		TSetupFailure{"saved game without LuaEvent", nullptr, nullptr,
			"Lua 変数のロードに失敗しました。"}),
	[](const ::testing::TestParamInfo<TSetupFailure>& info) {
		std::string name = info.param.name;
		std::replace(name.begin(), name.end(), ' ', '_');
		return name;
	});

/// A master whose character the event script takes off the map at a new turn, and whether the fall leaves
/// the game decided.
struct TEventFallCase
{
	const char* name;
	/// Master id.
	const char* fallen;
	/// Alliances without end that hold before the fall, by master ids.
	std::vector<std::pair<const char*, const char*>> endless;
	bool decided;
};

void PrintTo(const TEventFallCase& test, std::ostream* out)
{
	*out << test.name;
}

class WorldEventFallTest : public WorldTest, public ::testing::WithParamInterface<TEventFallCase>
{
};

// The master falls by the rules of a fall in battle, before any master acts: "MasterDead" is told, its
// heroes wander, its areas turn neutral and fill with their inhabitants, its alliances end and, when no
// enemies are left, the game ends.
TEST_P(WorldEventFallTest, AMasterTheEventLeavesWithoutItsCharacterFallsBeforeTheTurnGoesOn)
{
	const TEventFallCase& fall = GetParam();
	const int fallen = game.GetMasterIndexByID(fall.fallen);
	WriteScript("EventScript.lua", std::string(EVENT_START)
		+ "function global_script()\n"
		  "  print_log('global_script')\n"
		  "  if api_scenario_is_ending() then coroutine.yield() return true end\n"
		  "  if not removed then removed = api_scenario_remove_chara('" + fall.fallen + "') end\n"
		  "  return true\n"
		  "end\n");
	for (const auto& allies : fall.endless)
		game.SetAlliance(game.GetMasterIndexByID(allies.first), game.GetMasterIndexByID(allies.second), ALLIANCE_ENDLESS);
	game.SetAlliance(fallen, fallen == leon ? garm : leon, 3);
	const int home = game.GetMasterArea(fallen);
	game.GetArea(home).Inhabit = {Chara("militia")};
	Place(game.GetArea(home).id, "mage");
	Start();
	ASSERT_TRUE(RunUntil([&] { return Status() == WORLD_STRATEGY || Status() == WORLD_QUITTING; }, 200));
	EXPECT_FALSE(game.GetMaster(fallen).Exists);
	EXPECT_EQ(-1, game.GetArea(home).Owner);
	EXPECT_EQ(std::vector<std::string>(game.GetArea(home).Charas.size(), "militia"), Roster(game.GetArea(home).id));
	EXPECT_FALSE(game.GetArea(home).Charas.empty());
	EXPECT_LE(0, FindCharaInList(game.GetWanderCharas(), Chara("mage")));
	for (int m = 0; m < game.GetMasterCount(); ++m)
		EXPECT_EQ(-1, game.FindAlliance(fallen, m)) << m;
	EXPECT_EQ(1, CountScriptLog("MasterDead"));
	EXPECT_EQ(fall.decided, view.HasQuit());
	EXPECT_EQ(fall.decided, game.IsGameEnded());
	if (!fall.decided) {
		EXPECT_NE(fallen, Current());
		EXPECT_EQ(1, CountScriptLog("on_myturn"));
	}
	EXPECT_EQ(0, log.CountLines("Error")) << log.Text();
}

INSTANTIATE_TEST_SUITE_P(EventFall, WorldEventFallTest,
	::testing::Values(TEventFallCase{"enemies_left", "sera", {}, false},
		TEventFallCase{"only_allies_left", "garm", {{"leon", "sera"}}, true}),
	[](const ::testing::TestParamInfo<TEventFallCase>& info) { return std::string(info.param.name); });

TEST_F(WorldTest, APlayerMasterWithoutItsCharacterInAnAreaStopsTheWorldMap)
{
	game.GetMaster(leon).Player = true;
	Charas("A01").clear();
	Start();
	ASSERT_TRUE(RunUntilStatus(WORLD_STOPPED, 50));
	EXPECT_EQ(leon, Current());
	EXPECT_EQ(1, log.CountLines("の所在エリアの検索に失敗")) << log.Text();
}

TEST_F(WorldTest, ThePlayersTurnReportsEveryAllianceThatRanOutInOneMessage)
{
	game.GetMaster(leon).Player = true;
	game.SetAlliance(leon, garm, 1);
	game.SetAlliance(leon, sera, 1);
	Start();
	ASSERT_TRUE(RunUntilStatus(WORLD_PLAYER_IDLE));
	const std::vector<std::string> messages = view.CallsOf("ShowMessage Information|");
	ASSERT_EQ(1u, messages.size());
	EXPECT_NE(std::string::npos, messages[0].find("の同盟が切れました。\n"));
	EXPECT_NE(std::string::npos, messages[0].find(SampleData().GetMasterData(game.GetMaster(sera).DataIndex).Name));
	EXPECT_NE(std::string::npos, messages[0].find(SampleData().GetMasterData(game.GetMaster(garm).DataIndex).Name));
}

/// Music on or off at a player's turn and at the end of the game.
class WorldMusicTest : public WorldTest, public ::testing::WithParamInterface<bool>
{
};

TEST_P(WorldMusicTest, MusicIsChangedOnlyWhenSwitchedOn)
{
	TScopedSwitch musicSwitch(SWITCH_MUSIC_ENABLED, GetParam());
	WriteScript("EventScript.lua",
		std::string(EVENT_START) + "function global_script() coroutine.yield() return true end\n");
	game.GetMaster(leon).Player = true;
	Start();
	ASSERT_TRUE(RunUntilStatus(WORLD_PLAYER_IDLE));
	const int music = SampleData().GetMasterData(game.GetMaster(leon).DataIndex).MusicIndex;
	if (GetParam()) {
		EXPECT_EQ(1u, view.CallsOf("ChangeCommonMusic 0 500").size());
		EXPECT_EQ(1u, view.CallsOf("ChangeMusic " + std::to_string(music) + " 500").size());
	} else {
		EXPECT_TRUE(view.CallsOf("ChangeMusic").empty());
		EXPECT_TRUE(view.CallsOf("ChangeCommonMusic").empty());
		EXPECT_TRUE(view.CallsOf("FadeOutMusic").empty());
	}
}

INSTANTIATE_TEST_SUITE_P(Music, WorldMusicTest, ::testing::Bool());

/// A new or a loaded game whose opening waits for frames.
class WorldOpeningTest : public WorldTest, public ::testing::WithParamInterface<bool>
{
};

TEST_P(WorldOpeningTest, TheGameStartsOnceAnOpeningThatWaitsIsOver)
{
	WriteScript("EventScript.lua", "function on_system_start() for i = 1, 5 do coroutine.yield() end "
								   "print_log('opened') return true end\n"
								   "function global_script() print_log('global_script') return true end\n");
	TiXmlElement save("Save");
	if (!GetParam()) {
		game.ActivateNextMaster();
		TiXmlElement* luaEvent = new TiXmlElement("LuaEvent");
		save.LinkEndChild(luaEvent);
	}
	const int saved = Current();
	Start(GetParam(), &save);
	EXPECT_EQ(WORLD_EVENT_SCRIPT, Status());
	for (int frame = 0; frame < 5; ++frame)
		Frame();
	EXPECT_EQ(1, CountScriptLog("opened"));
	EXPECT_EQ(WORLD_STRATEGY, Status());
	EXPECT_EQ(GetParam() ? 1 : 0, CountScriptLog("global_script"));
	EXPECT_TRUE(GetParam() || saved == Current());
	EXPECT_EQ(0, log.CountLines("Error"));
}

INSTANTIATE_TEST_SUITE_P(Opening, WorldOpeningTest, ::testing::Bool());

TEST(WorldSampleScripts, LoadAndDefineWhatTheWorldMapCalls)
{
	TTempDir dir;
	TScopedCwd cwd(dir.Path());
	const std::string folder = std::string(MORVALETH_SOURCE_DIR) + "/data/Scenario/Default/Script/";
	const std::pair<const char*, std::vector<const char*>> scripts[] = {
		{"EventScript.lua", {"on_system_start", "global_script"}},
		{"world.lua", {"OnTurnEndButton", "MasterDead", "GameOver"}},
		{"strategy.lua", {"on_myturn", "on_proposed_alliance"}},
	};
	for (const auto& script : scripts) {
		lua_State* L = LuaCreateState((folder + script.first).c_str(), (folder + "?.lua").c_str());
		ASSERT_NE(nullptr, L) << script.first;
		for (const char* function : script.second) {
			lua_getglobal(L, function);
			EXPECT_TRUE(lua_isfunction(L, -1)) << script.first << " " << function;
			lua_pop(L, 1);
		}
		lua_close(L);
	}
}

/// Loads one of the sample's scripts with Lua stand-ins for the engine functions it calls, runs the setup
/// and then the call, and gives what the call returned as a string (or the error).
std::string RunSampleScript(const char* file, const std::string& engine, const std::string& setup,
	const std::string& call)
{
	TTempDir dir;
	TScopedCwd cwd(dir.Path());
	const std::string folder = std::string(MORVALETH_SOURCE_DIR) + "/data/Scenario/Default/Script/";
	lua_State* L = LuaCreateState((folder + file).c_str(), (folder + "?.lua").c_str());
	if (!L)
		return std::string("cannot load ") + file;
	std::string result = RunChunk(L, engine + setup);
	if (result.empty())
		result = RunChunk(L, "return tostring(" + call + ")");
	if (result.empty())
		result = lua_tostring(L, -1);
	lua_close(L);
	return result;
}

// The sample's deciding messages, the deadline's and the ending's, wait for the player's OK while a player
// master is left; with computer masters only they close after the time-out, so that such a game ends by
// itself. The engine functions the event script calls are stood in for in Lua.
TEST(WorldSampleScripts, DecidingMessagesWaitForThePlayerWhileOneIsLeft)
{
	const std::string engine = "BUTTON_OK = 1 shown = {}\n"
							   "function print_log() end\n"
							   "function api_get_allmaster() return {'garm', 'leon'} end\n"
							   "function api_master_is_exists(id) return true end\n"
							   "function api_master_is_player(id) return id == player end\n"
							   "function api_get_master(id) return {name = id} end\n"
							   "function api_get_progressed_turn() return 12 end\n"
							   "function api_scenario_is_ending() return ending end\n"
							   "function api_scenario_get_allarea() return {A01 = {master = 'leon'}, A03 = {master = 'garm'}} end\n"
							   "function api_scenario_get_master_exists_area(id) return 'A01' end\n"
							   "function api_scenario_get_area_allchara(id) return {{id = id, power = 1}} end\n"
							   "function api_scenario_remove_chara(id) return true end\n"
							   "function api_dialog_show(caption, text, buttons, timeout) shown[#shown + 1] = tostring(timeout) end\n"
							   "function api_dialog_is_visible() return false end\n";
	const struct {
		bool ending;
		const char* player;
		const char* timeouts;
	} cases[] = {{false, "leon", "false"}, {false, "", "true"}, {true, "garm", "false"}, {true, "", "true"}};
	for (const auto& c : cases) {
		SCOPED_TRACE(std::string(c.ending ? "ending" : "deadline") + " player " + c.player);
		EXPECT_EQ(c.timeouts, RunSampleScript("EventScript.lua", engine,
			"player = '" + std::string(c.player) + "' ending = " + (c.ending ? "true" : "false"),
			"(global_script() or true) and table.concat(shown, ' ')"));
	}
}

// The sample's strategy leaves the areas of a master it is allied with alone for as long as the alliance
// stands, also in its last turn (0 turns left), when the player may not attack it either; an empty area of a
// master without an alliance is taken. The engine functions it calls are stood in for in Lua.
TEST(WorldSampleScripts, TheStrategyAttacksNoAllyEvenInTheAlliancesLastTurn)
{
	const std::string engine =
		"AREACHARA_MAX = 20 DEFAULT_ALLIANCETURN = 6 sent = 'none'\n"
		"function print_log() end\n"
		"function api_get_current_master() return 'sera' end\n"
		"function api_get_turn() return 3 end\n"
		"function api_master_get_ley() return 0 end\n"
		"function api_find_alliance(a, b) return turns end\n"
		"function api_scenario_get_allarea() return {A01 = {master = 'leon', neighbor = {'A05'}},\n"
		"  A05 = {master = 'sera', neighbor = {'A01'}}} end\n"
		"function api_scenario_get_area_allchara(id)\n"
		"  if id == 'A01' then return {} end\n"
		"  return {{id = 'sera', power = 5}, {id = 'mage', power = 3}, {id = 'mage', power = 3}} end\n"
		"function api_scenario_get_area_chara_count(id) return #api_scenario_get_area_allchara(id) end\n"
		"function api_scenario_get_area_employable() return {} end\n"
		"function api_scenario_departure(target, army) sent = target return true end\n";
	const struct {
		const char* turns;
		const char* sent;
	} cases[] = {{"nil", "A01"}, {"0", "none"}, {"2", "none"}, {"-1", "none"}};
	for (const auto& c : cases) {
		SCOPED_TRACE(std::string("alliance turns ") + c.turns);
		EXPECT_EQ(c.sent, RunSampleScript("strategy.lua", engine, std::string("turns = ") + c.turns,
			"(on_myturn() or true) and sent"));
	}
}

/// How the turn-end button's script ends the player's turn, and where the world map is afterwards.
struct TTurnEndCase
{
	const char* name;
	const char* script;
	/// Status right after the press, and frames until the next master.
	int statusAfterPress;
	int framesToNextMaster;
};

void PrintTo(const TTurnEndCase& test, std::ostream* out)
{
	*out << test.name;
}

class WorldTurnEndTest : public WorldTest, public ::testing::WithParamInterface<TTurnEndCase>
{
};

TEST_P(WorldTurnEndTest, ThePlayersTurnPassesOnceTheScriptIsOver)
{
	WriteScript("world.lua", std::string("function OnTurnEndButton() ") + GetParam().script + " return true end\n");
	game.GetMaster(leon).Player = true;
	Start();
	ASSERT_TRUE(RunUntilStatus(WORLD_PLAYER_IDLE));
	logic->PressMasterButton(MASTER_BUTTON_TURN_END);
	EXPECT_EQ(GetParam().statusAfterPress, Status());
	int frames = 0;
	while (Status() != WORLD_NEXT_MASTER && frames < 10) {
		Frame();
		++frames;
	}
	EXPECT_EQ(GetParam().framesToNextMaster, frames);
	EXPECT_FALSE(view.IsWindowVisible(WORLD_MASTER_WINDOW));
	// The next masters' turns run, and the player's turn comes back with the script ready to be called.
	ASSERT_TRUE(RunUntil([this] { return Status() == WORLD_PLAYER_IDLE && Current() == leon; }));
	logic->PressMasterButton(MASTER_BUTTON_TURN_END);
	EXPECT_NE(WORLD_STOPPED, Status());
	EXPECT_EQ(0, log.CountLines("Error"));
}

INSTANTIATE_TEST_SUITE_P(TurnEnd, WorldTurnEndTest,
	::testing::Values(TTurnEndCase{"ends_at_once", "api_scenario_endturn()", WORLD_NEXT_MASTER, 0},
		TTurnEndCase{"waits_then_ends", "coroutine.yield() coroutine.yield() api_scenario_endturn()", WORLD_WORLD_SCRIPT, 2},
		TTurnEndCase{"ends_then_waits", "api_scenario_endturn() coroutine.yield() coroutine.yield()", WORLD_WORLD_SCRIPT, 2}),
	[](const ::testing::TestParamInfo<TTurnEndCase>& info) { return std::string(info.param.name); });

TEST_F(WorldTest, AStrategyThatEndsItsTurnAndWaitsIsResumedToItsEndBeforeTheNextMaster)
{
	WriteScript("strategy.lua", "function on_myturn() api_scenario_endturn() coroutine.yield() "
								"print_log('after the wait') return true end\n"
								"function on_proposed_alliance(a, b) return false end\n");
	Start();
	for (int frame = 0; frame < 40; ++frame) {
		ASSERT_NE(WORLD_STOPPED, Status());
		Frame();
	}
	EXPECT_LT(3, CountScriptLog("after the wait"));
	EXPECT_EQ(0, log.CountLines("Error"));
}

TEST_F(WorldTest, AStrategySendsItsArmyThroughTheEngineFunctionAndGoesOnAfterTheOccupation)
{
	WriteScript("strategy.lua",
		"function on_myturn() if api_get_current_master() == 'garm' and not sent then sent = true "
		"api_scenario_departure('A07', {A03 = {1}}) print_log('back', api_scenario_get_area_master('A07')) end "
		"return true end\n"
		"function on_proposed_alliance(a, b) return false end\n");
	Place("A03", "soldier");
	Start();
	ASSERT_TRUE(RunUntil([this] { return CountScriptLog("back") > 0; }, 200));
	EXPECT_EQ(1, CountScriptLog("back garm"));
	EXPECT_EQ((std::vector<std::string>{"soldier"}), Roster("A07"));
	EXPECT_EQ(0, log.CountLines("Error"));
}
