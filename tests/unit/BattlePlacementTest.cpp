#include "BattleFixture.h"
#include "ModelFixture.h"

#include <gtest/gtest.h>
#include <set>

namespace
{
/// Frames a battle of one or two charas ended at its first main step takes at most.
const int FRAME_CAP_PLACEMENT = 100;

std::vector<point_t> Cells(const std::vector<TCharaInstance>& charas)
{
	std::vector<point_t> cells;
	for (const TCharaInstance& chara : charas)
		cells.push_back({chara.BattleX, chara.BattleY});
	return cells;
}

// The castle stands at (5,5), cities right and left of it and a wall two rows up: the defenders take
// the castle, then the object cells ring by ring, then the free cells about the castle.
TEST_F(BattleRun, DefendersGatherAboutTheCastle)
{
	TMapPlan plan = BattlePlan();
	plan.rows[5] = "....cKc...";
	plan.rows[3] = ".....W....";
	for (int i = 0; i < 20; ++i)
		Add(0, "guard");
	Add(1, "scout");
	ASSERT_TRUE(Start(plan));
	ASSERT_TRUE(RunUntil(STATE_MAIN, 10));
	const std::vector<point_t> cells = Cells(sides[0]);
	EXPECT_EQ((std::vector<point_t>{{5, 5}, {6, 5}, {4, 5}, {5, 3}, {5, 4}, {6, 4}}),
		std::vector<point_t>(cells.begin(), cells.begin() + 6));
	std::set<std::pair<int, int>> distinct;
	for (const point_t& cell : cells)
		distinct.insert({cell.x, cell.y});
	EXPECT_EQ(20u, distinct.size()) << "the castle cell is taken once";
}

TEST_F(BattleRun, TwentyOneDefendersFindTooFewPoints)
{
	TCapturedLog log;
	for (int i = 0; i < 21; ++i)
		Add(0, "guard");
	Add(1, "scout");
	ASSERT_TRUE(Start(BattlePlan()));
	Run(10);
	EXPECT_EQ(STATE_STOPPED, logic.GetState());
	EXPECT_FALSE(logic.IsInBattle());
	EXPECT_TRUE(logic.HasFailed());
	EXPECT_EQ(1, log.CountLines("初期配置座標が足りません（20）。master=0 charas=21")) << log.Text();
	EXPECT_EQ(1, view.Count("EndBattle"));
}

// Attackers stand on the points of the area they come from, a group being a run of charas from one
// area; a later group from the same area loses the points taken before it.
TEST_F(BattleRun, AttackersStandOnTheirGroupsPoints)
{
	TMapPlan plan = BattlePlan();
	plan.startPoints.push_back({1, RowPoints(10, 2, 20)});
	Add(0, "guard");
	Add(1, "scout", 2);
	Add(1, "scout", 2);
	Add(1, "scout", 1);
	Add(1, "scout", 2);
	ASSERT_TRUE(Start(plan));
	ASSERT_TRUE(RunUntil(STATE_MAIN, 10));
	EXPECT_EQ((std::vector<point_t>{{1, 0}, {2, 0}, {1, 2}, {3, 0}}), Cells(sides[1]));
}

TEST_F(BattleRun, AnAttackingGroupWithTooFewPointsStopsTheBattle)
{
	TCapturedLog log;
	Add(0, "guard");
	for (int i = 0; i < 21; ++i)
		Add(1, "scout");
	ASSERT_TRUE(Start(BattlePlan()));
	Run(10);
	EXPECT_EQ(STATE_STOPPED, logic.GetState());
	EXPECT_EQ(1, log.CountLines("初期配置座標が足りません（20）。master=1 charas=21")) << log.Text();

	TCapturedLog noPoints;
	sources[1].assign(sources[1].size(), 1);
	sides[1].resize(1);
	sources[1].resize(1);
	ASSERT_TRUE(Start(BattlePlan()));
	Run(10);
	EXPECT_EQ(STATE_STOPPED, logic.GetState()) << "no points for area 1";
	EXPECT_EQ(1, noPoints.CountLines("攻撃側初期配置座標の検索に失敗"));
}

TEST_F(BattleRun, ASideWithoutCharasNeedsNoPoints)
{
	Add(1, "scout");
	ASSERT_TRUE(Start(BattlePlan()));
	EXPECT_LT(Run(FRAME_CAP_PLACEMENT), FRAME_CAP_PLACEMENT);
	EXPECT_EQ(1, logic.GetWinner()) << "nobody defends";
}

// The player places each chara of the group on a framed point; a click with another button takes
// a placed chara off again, and the list chooses which chara goes next.
TEST_F(BattleRun, ThePlayerPlacesTheGroupOnItsPoints)
{
	game.GetMaster(brom).Player = true;
	Add(0, "guard");
	Add(1, "wolf");
	Add(1, "brom");
	ASSERT_FALSE(Start(BattlePlan())) << "a player's battle is watched";
	ASSERT_TRUE(RunUntil(STATE_PLAYER_PLACING, 10));
	ASSERT_TRUE(view.m_PlacementCharas);
	EXPECT_EQ(2u, view.m_PlacementCharas->size());
	EXPECT_EQ(20u, view.m_Highlights.size());
	EXPECT_EQ(1, view.Count("ScrollTo"));

	logic.MapPressed(5, 5, true);
	EXPECT_EQ(-1, Chara(1, 0).BattleX) << "a cell that is no start point";
	logic.MapPressed(1, 0, true);
	EXPECT_EQ((point_t{1, 0}), (point_t{Chara(1, 0).BattleX, Chara(1, 0).BattleY}));
	EXPECT_EQ(1, view.m_PlacementSelected) << "the next chara is chosen";
	logic.MapPressed(1, 0, false);
	EXPECT_EQ(-1, Chara(1, 0).BattleX) << "taken off";
	logic.PlacementListPressed(5);
	logic.PlacementListPressed(1);
	logic.MapPressed(4, 0, true);
	EXPECT_EQ(4, Chara(1, 1).BattleX);
	EXPECT_EQ(STATE_PLAYER_PLACING, logic.GetState());
	logic.MapPressed(3, 0, true);
	EXPECT_EQ(3, Chara(1, 0).BattleX);
	EXPECT_EQ(STATE_BEGIN, logic.GetState());
	EXPECT_EQ(nullptr, view.m_PlacementCharas);
	EXPECT_TRUE(view.m_Highlights.empty());
	EXPECT_TRUE(LayersAgree(logic.GetField()));
}

TEST_F(BattleRun, APlayersGroupWithTooFewPointsStopsTheBattle)
{
	TCapturedLog log;
	game.GetMaster(brom).Player = true;
	Add(0, "guard");
	for (int i = 0; i < 21; ++i)
		Add(1, "wolf");
	Start(BattlePlan());
	Run(10);
	EXPECT_EQ(STATE_STOPPED, logic.GetState());
	EXPECT_FALSE(logic.IsInBattle());
	EXPECT_EQ(1, log.CountLines("初期配置座標が足りません（20）。master=1 charas=21")) << log.Text();
	EXPECT_EQ(0, view.Count("ShowPlacement"));
}
}
