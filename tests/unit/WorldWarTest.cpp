// Wars on the world map: the march, the occupation of an empty area, battles and their results, and
// the armies a script may not send.

#include "unit/WorldFixture.h"

#include "app/GameConfig.h"
#include "battle/BattleMap.h"
#include "model/MorvalethData.h"
#include "unit/BattleFixture.h"
#include "world/ControllerBattle.h"

#include <algorithm>

namespace
{
const char* const WAITING_STRATEGY = "function on_myturn() print_log('on_myturn') coroutine.yield() "
									 "print_log('resumed') return true end\n"
									 "function on_proposed_alliance(a, b) return false end\n";

/// A chara of a battle side leaves it dead.
void Kill(TCharaInstance& chara)
{
	chara.HP = 0;
}
}

/// garm's strategy waits in its turn; the test sends its armies as the strategy would.
class WorldWarTest : public WorldTest
{
protected:
	WorldWarTest()
	{
		WriteScript("strategy.lua", WAITING_STRATEGY);
		// garm holds A03 and A06, both next to the neutral A07.
		game.GetArea(Area("A06")).Owner = garm;
		Place("A03", "soldier");
		Place("A03", "archer");
		Place("A06", "knight");
	}

	/// Starts the game and runs until garm's strategy waits in its turn.
	void StartGarmsTurn()
	{
		Start();
		ASSERT_TRUE(RunUntil([this] { return Status() == WORLD_STRATEGY && Current() == garm; }));
	}

	/// The pairs as areas' ids and positions.
	std::vector<std::pair<int, int>> Pairs(const std::vector<std::pair<const char*, int>>& places) const
	{
		std::vector<std::pair<int, int>> army;
		for (const auto& place : places)
			army.emplace_back(game.GetAreaIndex(place.first), place.second);
		return army;
	}

	/// Frames spent in the march, the last one included.
	int MarchFrames()
	{
		int frames = 0;
		while (Status() == WORLD_MARCH && frames < 1000) {
			Frame();
			++frames;
		}
		return frames;
	}
};

TEST_F(WorldWarTest, TheMarchTakesOneFrameMoreThanItsTotalAndEachChipFollowsItsOwnCharacter)
{
	StartGarmsTurn();
	game.GetArea(Area("A07")).Location.x = 380;
	const std::vector<TCharaInstance> a03 = Charas("A03");
	const int knight = Charas("A06")[0].CharaIndex;
	logic->Departure(Area("A07"), Pairs({{"A06", 0}, {"A03", 2}, {"A03", 1}}));
	ASSERT_EQ(WORLD_MARCH, Status());
	// The farthest source, A03 at x 180, lies 200 pixels off: 50 frames, and two leave from A03.
	EXPECT_EQ(50, logic->GetMarchLength());
	EXPECT_EQ(56, logic->GetMarchTotal());
	ASSERT_EQ(3u, view.Chips().size());
	EXPECT_EQ(knight, view.Chips()[0].chara);
	EXPECT_EQ(a03[2].CharaIndex, view.Chips()[1].chara);
	EXPECT_EQ(a03[1].CharaIndex, view.Chips()[2].chara);
	for (int frame = 0; frame < 10; ++frame)
		Frame();
	// The last pair of each area sets out at once, the one before it 3 frames later.
	EXPECT_EQ(316, view.Chips()[0].x);
	EXPECT_EQ(220, view.Chips()[1].x);
	EXPECT_EQ(208, view.Chips()[2].x);
	EXPECT_EQ(1u, view.CallsOf("PlaySound 0").size());
	EXPECT_EQ(57 - 10, MarchFrames());
	EXPECT_TRUE(view.Chips().empty());
}

TEST_F(WorldWarTest, TheMarchLengthIsAQuarterOfTheLongestDistanceRoundedUpAndNeverZero)
{
	struct TCase
	{
		int dx, dy, length;
	};
	const TCase cases[] = {{10, 0, 3}, {0, -10, 3}, {4, 3, 1}, {0, 0, 1}, {-161, 20, 41}};
	StartGarmsTurn();
	for (const TCase& test : cases) {
		SCOPED_TRACE(test.dx);
		game.GetArea(Area("A07")).Location.x = game.GetArea(Area("A03")).Location.x + test.dx;
		game.GetArea(Area("A07")).Location.y = game.GetArea(Area("A03")).Location.y + test.dy;
		logic->Departure(Area("A07"), Pairs({{"A03", 1}}));
		EXPECT_EQ(test.length, logic->GetMarchLength());
		EXPECT_EQ(test.length + 3, logic->GetMarchTotal());
		EXPECT_EQ(test.length + 4, MarchFrames());
		// The occupation's message closes, the strategy goes on and its turn ends.
		ASSERT_TRUE(RunUntilStatus(WORLD_STRATEGY, 20));
		game.GetArea(Area("A07")).Owner = -1;
		Charas("A07").clear();
		Place("A03", "soldier");
	}
}

TEST_F(WorldWarTest, AnEmptyAreaIsTakenWithATimedMessageAndTheStrategyGoesOn)
{
	StartGarmsTurn();
	logic->Departure(Area("A07"), Pairs({{"A03", 1}, {"A03", 2}}));
	MarchFrames();
	EXPECT_EQ(0, battle->started);
	EXPECT_EQ(garm, game.GetArea(Area("A07")).Owner);
	EXPECT_EQ((std::vector<std::string>{"soldier", "archer"}), Roster("A07"));
	EXPECT_EQ((std::vector<std::string>{"garm"}), Roster("A03"));
	const std::string name = SampleData().GetMasterData(game.GetMaster(garm).DataIndex).Name;
	EXPECT_EQ(1u, view.CallsOf("ShowMessage Information|" + name + "軍の勝利です|1|"
		+ std::to_string(g_Config.m_MessageTimeoutFrame)).size());
	EXPECT_EQ(WORLD_MESSAGE, Status());
	// With no player left, the world script's GameOver runs once at the first clean-up.
	ASSERT_TRUE(RunUntilStatus(WORLD_NEXT_MASTER, 20));
	EXPECT_EQ(garm, Current());
	EXPECT_EQ(1, CountScriptLog("GameOver"));
	EXPECT_TRUE(logic->IsGameOverCalled());
}

/// A battle's end: who wins, what happens to the sides, and what follows for the masters.
struct TBattleCase
{
	const char* name;
	const char* target;
	int winner;
	/// Defenders killed (by position in the target's roster).
	std::vector<int> killed;
	std::vector<std::string> targetRoster;
	/// Master index of the target's owner afterwards: 0 leon, 1 garm.
	int targetOwner;
	bool masterDead;
	std::vector<std::string> wandering;
};

void PrintTo(const TBattleCase& test, std::ostream* out)
{
	*out << test.name;
}

class WorldBattleTest : public WorldWarTest, public ::testing::WithParamInterface<TBattleCase>
{
};

TEST_P(WorldBattleTest, TheResultIsAppliedThroughTheMovesAfterABattle)
{
	const TBattleCase& test = GetParam();
	Place("A02", "mage");
	Place("A05", "mage");
	StartGarmsTurn();
	const std::size_t wanderingBefore = game.GetWanderCharas().size();
	battle->winner = test.winner;
	battle->outcome = [&test](std::vector<TCharaInstance>& defenders, std::vector<TCharaInstance>&) {
		for (int position : test.killed)
			Kill(defenders[position]);
	};
	const std::vector<std::string> before = Roster("A03");
	const int source = std::string(test.target) == "A02" ? Area("A03") : Area("A06");
	logic->Departure(Area(test.target), {{source, 0 + (source == Area("A03"))}});
	MarchFrames();
	ASSERT_EQ(1, battle->started);
	EXPECT_EQ(Area(test.target), battle->target);
	EXPECT_EQ((std::vector<int>{game.GetArea(Area(test.target)).Owner, garm}), battle->masters);
	EXPECT_EQ(std::vector<int>(Charas(test.target).size(), -1), battle->sources[0]);
	EXPECT_EQ(std::vector<int>{source}, battle->sources[1]);
	ASSERT_TRUE(RunUntil([this] { return Status() != WORLD_BATTLE; }, 20));
	EXPECT_EQ(test.targetRoster, Roster(test.target));
	EXPECT_EQ(test.targetOwner, game.GetArea(Area(test.target)).Owner);
	EXPECT_EQ(test.masterDead ? 1 : 0, CountScriptLog("MasterDead"));
	std::vector<std::string> wandering;
	for (std::size_t w = wanderingBefore; w < game.GetWanderCharas().size(); ++w)
		wandering.push_back(SampleData().GetCharaData(game.GetWanderCharas()[w].CharaIndex).id);
	EXPECT_EQ(test.wandering, wandering);
	ASSERT_TRUE(RunUntil([this] { return Status() == WORLD_NEXT_MASTER; }, 20));
	EXPECT_EQ(!test.masterDead, game.GetMaster(sera).Exists);
	EXPECT_EQ(0, log.CountLines("Error"));
}

INSTANTIATE_TEST_SUITE_P(Battle, WorldBattleTest,
	::testing::Values(
		// leon keeps its master character in A01: it loses A02 but stays; the hero of A02 wanders.
		TBattleCase{"area_taken_hero_wanders", "A02", 1, {}, {"soldier"}, 1, false, {"mage"}},
		TBattleCase{"defenders_hold", "A02", 0, {}, {"mage"}, 0, false, {}},
		// sera falls with her area: her hero wanders and MasterDead runs before the turn goes on.
		TBattleCase{"master_killed", "A05", 1, {0}, {"knight"}, 1, true, {"mage"}},
		TBattleCase{"every_defender_killed", "A05", 1, {0, 1}, {"knight"}, 1, true, {}}),
	[](const ::testing::TestParamInfo<TBattleCase>& info) { return std::string(info.param.name); });

TEST_F(WorldWarTest, AWatchedBattleHidesTheMapUntilWatchingStopsOrTheBattleEnds)
{
	Place("A02", "mage");
	StartGarmsTurn();
	battle->unwatched = false;
	battle->frames = 10;
	logic->Departure(Area("A02"), Pairs({{"A03", 1}}));
	MarchFrames();
	ASSERT_EQ(WORLD_BATTLE, Status());
	EXPECT_FALSE(view.IsWindowVisible(WORLD_MAP_WINDOW));
	EXPECT_TRUE(view.IsWindowVisible(WORLD_MENU_WINDOW));
	logic->StopWatching();
	EXPECT_EQ(1, battle->stopWatching);
	EXPECT_TRUE(view.IsWindowVisible(WORLD_MAP_WINDOW));
	EXPECT_FALSE(view.IsWindowVisible(WORLD_MENU_WINDOW));
	ASSERT_TRUE(RunUntil([this] { return Status() != WORLD_BATTLE; }, 20));
	EXPECT_TRUE(view.IsWindowVisible(WORLD_MAP_WINDOW));
}

/// A battle that stopped after an error leaves the game as it was and stops the world map.
class WorldFailedBattleTest : public WorldWarTest, public ::testing::WithParamInterface<bool>
{
};

TEST_P(WorldFailedBattleTest, TheGameIsUntouchedAndTheMapComesBack)
{
	Place("A02", "mage");
	StartGarmsTurn();
	battle->unwatched = false;
	battle->failAtStart = GetParam();
	battle->failAtEnd = !GetParam();
	battle->outcome = [](std::vector<TCharaInstance>& defenders, std::vector<TCharaInstance>&) {
		Kill(defenders[0]);
	};
	logic->Departure(Area("A02"), Pairs({{"A03", 1}}));
	MarchFrames();
	ASSERT_TRUE(RunUntilStatus(WORLD_STOPPED, 20));
	EXPECT_EQ((std::vector<std::string>{"mage"}), Roster("A02"));
	EXPECT_EQ((std::vector<std::string>{"garm", "soldier", "archer"}), Roster("A03"));
	EXPECT_EQ(0, game.GetArea(Area("A02")).Owner);
	EXPECT_TRUE(view.IsWindowVisible(WORLD_MAP_WINDOW));
	EXPECT_FALSE(view.IsWindowVisible(WORLD_MENU_WINDOW));
	EXPECT_EQ(1, log.CountLines("の戦闘が異常終了しました。"));
	// A saved game can be loaded from the system menu, in full again after the march laid it out with
	// 設定 alone.
	EXPECT_TRUE(view.IsWindowVisible(WORLD_SYSTEM_MENU));
	ASSERT_FALSE(view.CallsOf("SetSystemMenuCompact").empty());
	EXPECT_EQ("SetSystemMenuCompact 0", view.CallsOf("SetSystemMenuCompact").back());
}

INSTANTIATE_TEST_SUITE_P(Failure, WorldFailedBattleTest, ::testing::Bool());

/// garm's wars fought by the battle controller on a plain map of A02 with a castle, its start points
/// for A03 only; the sides' scripts only wait, so every battle lasts to its one-turn limit.
class WorldControllerBattleTest : public WorldWarTest
{
protected:
	WorldControllerBattleTest() : m_TurnMax(g_Config.GetIntValue(CONFIG_TURN_MAX))
	{
		g_Config.SetIntValue(CONFIG_TURN_MAX, 1);
		WriteScript("battle.lua", "");
		WriteScript("battlecom.lua", "function on_battle_start() end\nfunction on_battle_progress() end\n"
									 "function check_wish_runaway() return false end\nfunction on_chara_action() end\n");
		TMapPlan plan = BattlePlan();
		plan.startPoints = {{Area("A03"), RowPoints(10, 0, 20)}};
		game.GetArea(Area("A02")).BattleMap.reset(BuildMap(plan).release());
		Place("A02", "mage");
		UseBattle(std::unique_ptr<TWorldBattle>(
			new TControllerBattle(std::unique_ptr<TBattleView>(new TNullBattleView), SampleData(), game)));
	}

	~WorldControllerBattleTest() override { g_Config.SetIntValue(CONFIG_TURN_MAX, m_TurnMax); }

	// The map plans' database logs into a log of its own while it loads: loaded before the test's log is taken.
	static void SetUpTestSuite() { BattleData(); }

private:
	int m_TurnMax;
};

TEST_F(WorldControllerBattleTest, TheDefendersHoldAtTheTurnLimitAndTheAttackersComeHome)
{
	StartGarmsTurn();
	const std::vector<std::string> a03 = Roster("A03");
	logic->Departure(Area("A02"), Pairs({{"A03", 1}, {"A03", 2}}));
	MarchFrames();
	EXPECT_EQ(WORLD_BATTLE, Status());
	EXPECT_TRUE(logic->GetBattle()->IsRunning());
	// The engine functions see the battle while it runs.
	EXPECT_TRUE(logic->GetBattle()->GetInterface()->IsInBattle());
	ASSERT_TRUE(RunUntil([this] { return Status() == WORLD_STRATEGY; }, 5000));
	EXPECT_FALSE(logic->GetBattle()->HasFailed());
	EXPECT_EQ(0, logic->GetBattle()->GetWinner());
	EXPECT_EQ((std::vector<std::string>{"mage"}), Roster("A02"));
	EXPECT_EQ(0, game.GetArea(Area("A02")).Owner);
	EXPECT_EQ(a03, Roster("A03"));
	EXPECT_EQ(0, log.CountLines("Error"));
}

// Both defenders flee, the second in the action that leaves the attackers alone on the field: its flight
// is carried out all the same, and both, hero and soldier alike, reach leon's A01.
TEST_F(WorldControllerBattleTest, DefendersWhoseFlightEndsTheBattleStillReachTheirOwnersNeighbour)
{
	WriteScript("battlecom.lua", "function on_battle_start() end\nfunction on_battle_progress() end\n"
								 "function check_wish_runaway() return false end\n"
								 "function on_chara_action()\n"
								 "  local side, index = api_battle_get_active_chara()\n"
								 "  if side ~= 0 then return end\n"
								 "  local s = api_battle_get_chara_status(side, index)\n"
								 "  api_battle_set_action(s.x, s.y, ACTION_RUNAWAY, s.x, s.y, -1)\n"
								 "end\n");
	g_Config.SetIntValue(CONFIG_TURN_MAX, 10);
	Place("A02", "knight");
	StartGarmsTurn();
	const std::size_t wandering = game.GetWanderCharas().size();
	logic->Departure(Area("A02"), Pairs({{"A03", 1}, {"A03", 2}}));
	MarchFrames();
	ASSERT_TRUE(RunUntil([this] { return Status() == WORLD_STRATEGY; }, 5000));
	EXPECT_EQ(1, logic->GetBattle()->GetWinner());
	EXPECT_EQ(garm, game.GetArea(Area("A02")).Owner);
	EXPECT_EQ((std::vector<std::string>{"soldier", "archer"}), Roster("A02"));
	const std::vector<std::string> a01 = Roster("A01");
	EXPECT_EQ(1, std::count(a01.begin(), a01.end(), "mage"));
	EXPECT_EQ(1, std::count(a01.begin(), a01.end(), "knight"));
	EXPECT_EQ(wandering, game.GetWanderCharas().size()) << "the hero fled and does not wander";
	EXPECT_EQ(0, log.CountLines("Error"));
}

TEST_F(WorldControllerBattleTest, AnArmyTheMapHasNoStartPointsForStopsTheWorldMapWithTheGameUntouched)
{
	StartGarmsTurn();
	logic->Departure(Area("A02"), Pairs({{"A06", 0}}));
	MarchFrames();
	ASSERT_TRUE(RunUntilStatus(WORLD_STOPPED, 100));
	EXPECT_TRUE(logic->GetBattle()->HasFailed());
	EXPECT_FALSE(logic->GetBattle()->IsRunning());
	EXPECT_EQ((std::vector<std::string>{"mage"}), Roster("A02"));
	EXPECT_EQ((std::vector<std::string>{"knight"}), Roster("A06"));
	EXPECT_TRUE(view.IsWindowVisible(WORLD_MAP_WINDOW));
	EXPECT_EQ(1, log.CountLines("の戦闘が異常終了しました。"));
}

/// An army a script may not send: nothing marches and the strategy keeps its turn.
struct TRefusedArmy
{
	const char* name;
	const char* target;
	std::vector<std::pair<const char*, int>> army;
};

void PrintTo(const TRefusedArmy& test, std::ostream* out)
{
	*out << test.name;
}

class WorldRefusedArmyTest : public WorldWarTest, public ::testing::WithParamInterface<TRefusedArmy>
{
};

TEST_P(WorldRefusedArmyTest, IsRefusedWithAnErrorAndNoMarch)
{
	Place("A02", "mage");
	StartGarmsTurn();
	Charas("A06")[0].Actioned = std::string(GetParam().name) == "acted_character";
	const std::vector<std::string> a03 = Roster("A03");
	logic->Departure(Area(GetParam().target), Pairs(GetParam().army));
	EXPECT_EQ(WORLD_STRATEGY, Status());
	EXPECT_TRUE(view.Chips().empty());
	EXPECT_EQ(a03, Roster("A03"));
	EXPECT_EQ(1, log.CountLines("Error"));
}

INSTANTIATE_TEST_SUITE_P(Departure, WorldRefusedArmyTest,
	::testing::Values(TRefusedArmy{"own_target", "A04", {{"A03", 1}}},
		TRefusedArmy{"source_not_next_to_target", "A07", {{"A04", 1}}},
		TRefusedArmy{"source_of_another_master", "A02", {{"A05", 0}}},
		TRefusedArmy{"repeated_pair", "A07", {{"A03", 1}, {"A03", 1}}},
		TRefusedArmy{"position_past_the_roster", "A07", {{"A03", 3}}},
		TRefusedArmy{"negative_position", "A07", {{"A03", -1}}},
		TRefusedArmy{"acted_character", "A07", {{"A06", 0}}},
		TRefusedArmy{"no_character", "A07", {}},
		TRefusedArmy{"unknown_target", "A99", {{"A03", 1}}}),
	[](const ::testing::TestParamInfo<TRefusedArmy>& info) { return std::string(info.param.name); });

TEST_F(WorldWarTest, OnlyTheStrategyWhoseTurnItIsMaySendAnArmy)
{
	StartGarmsTurn();
	Frame();
	ASSERT_EQ(WORLD_NEXT_MASTER, Status());
	logic->Departure(Area("A07"), Pairs({{"A03", 1}}));
	EXPECT_EQ(WORLD_NEXT_MASTER, Status());
	EXPECT_EQ(1, log.CountLines("出陣は手番のコンピュータマスターの戦略スクリプトからのみ行えます。"));
}
