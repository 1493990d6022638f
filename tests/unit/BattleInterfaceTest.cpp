#include "BattleFixture.h"
#include "ModelFixture.h"

#include "battle/MoveRules.h"
#include "model/MorvalethData.h"

#include <gtest/gtest.h>

namespace
{
const int FRAME_CAP = 5000;

/// A running battle with the scout of the attackers choosing its action.
class BattleSlots : public BattleRun
{
protected:
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
};

TEST_F(BattleSlots, QueriesOfTheRunningBattle)
{
	int width = -1;
	int height = -1;
	int x = 0;
	EXPECT_FALSE(logic.GetMapSize(width, height)) << "no map before the first battle";
	EXPECT_EQ(0, width);
	EXPECT_FALSE(logic.GetLastTarget(x, x));
	StartChoosing();
	TCapturedLog log;
	EXPECT_TRUE(logic.GetMapSize(width, height));
	EXPECT_EQ(10, width);
	EXPECT_EQ(8, height);
	EXPECT_EQ(1, logic.GetSideIndex(BattleData().GetMasterIndex("brom")));
	EXPECT_EQ(2, logic.GetCharaCount(1));
	int index = -1;
	EXPECT_TRUE(logic.FindChara(1, CharaIndexOf("wolf"), index));
	EXPECT_EQ(1, index);
	EXPECT_FALSE(logic.FindChara(0, CharaIndexOf("wolf"), index));
	int side = -1;
	EXPECT_TRUE(logic.GetCharaOn(Chara(1, 1).BattleX, Chara(1, 1).BattleY, side, index));
	EXPECT_EQ((TCharaRef{1, 1}), (TCharaRef{side, index}));
	TCharaInstance copy;
	EXPECT_TRUE(logic.GetCharaStatus(0, 1, copy));
	EXPECT_EQ(CharaIndexOf("lamb"), copy.CharaIndex);
	int value = 0;
	EXPECT_TRUE(logic.GetMapHeight(9, 7, value));
	EXPECT_EQ(0, CountErrors(log));

	// Each bad side, index or cell is refused with one Error.
	EXPECT_FALSE(logic.GetMapHeight(10, 0, value));
	EXPECT_EQ(-1, logic.GetCharaCount(2));
	EXPECT_FALSE(logic.GetCharaStatus(1, 2, copy));
	EXPECT_FALSE(logic.GetCharaOn(-1, 0, side, index));
	EXPECT_FALSE(logic.FindChara(-1, 0, index));
	EXPECT_EQ(-1, logic.GetSideIndex(-1));
	TValueLayer<int> move(3, 3);
	TValueLayer<point_t> from(10, 8);
	EXPECT_FALSE(logic.GetMoveLayer(1, copy, 1, 1, 9, move, from, false)) << "a layer of another size";
	EXPECT_FALSE(logic.GetMoveLayer(2, copy, 1, 1, 9, move, from, false)) << "no side 2";
	EXPECT_EQ(7, CountErrors(log)) << log.Text();
}

TEST_F(BattleSlots, CourageIsClampedAndABadCharaChangesNothing)
{
	StartChoosing();
	TCapturedLog log;
	logic.SetCharaBrave(1, 0, 150);
	EXPECT_EQ(100, Chara(1, 0).Brave);
	logic.SetCharaBrave(1, 0, -5);
	EXPECT_EQ(0, Chara(1, 0).Brave);
	logic.SetCharaBrave(1, 2, 50);
	EXPECT_EQ(1, log.CountLines("TBattleMapLogic::SetCharaBrave"));
	EXPECT_EQ(1, log.CountLines("無効なパラメータ master=1 charaindex=2"));
}

// A chara made another character keeps its rank, experience, HP (even above the new maximum) and MP,
// and stays where it stands in the battle.
TEST_F(BattleSlots, AChangedCharaKeepsItsRankPointsAndPlace)
{
	StartChoosing();
	TCharaInstance& scout = Chara(1, 0);
	scout.Rank = 2;
	scout.Experience = 57;
	scout.HP = 99;
	scout.MP = 3;
	scout.ActionGauge = 321;
	const point_t cell = {scout.BattleX, scout.BattleY};
	ASSERT_TRUE(logic.ChangeChara(1, 0, CharaIndexOf("wolf")));
	EXPECT_EQ(CharaIndexOf("wolf"), scout.CharaIndex);
	EXPECT_EQ(MoveTypeOf("walk"), scout.MoveType);
	EXPECT_EQ(2, scout.Rank);
	EXPECT_EQ(57, scout.Experience);
	EXPECT_EQ(99, scout.HP);
	EXPECT_EQ(3, scout.MP);
	EXPECT_EQ(321, scout.ActionGauge);
	EXPECT_EQ(cell, (point_t{scout.BattleX, scout.BattleY}));
	EXPECT_TRUE(LayersAgree(logic.GetField()));
	TCapturedLog log;
	EXPECT_FALSE(logic.ChangeChara(1, 0, -1));
	EXPECT_FALSE(logic.ChangeChara(3, 0, 0));
	EXPECT_EQ(2, CountErrors(log));
}

// Whatever changes a cell of the map, the totals of every move type stay those of a count over the map.
TEST_F(BattleSlots, MoveTotalsFollowTheChangesOfTheMap)
{
	TMapPlan plan = BattlePlan();
	plan.rows[6] = "..cWr.....";
	plan.rows[5][5] = 'K';
	Add(0, "guard");
	Add(1, "scout");
	ASSERT_TRUE(Start(plan));
	const auto expectRecount = [&](const char* after) {
		TMoveTotals recount;
		recount.Compute(BattleData(), *map);
		for (int m = 0; m < BattleData().GetMoveTypeCount(); ++m) {
			EXPECT_EQ(recount.cost[m], logic.GetMoveTypeCost(m)) << after << ", move type " << m;
			EXPECT_EQ(recount.skill[m], logic.GetMoveTypeSkill(m)) << after << ", move type " << m;
		}
	};
	const int walk = MoveTypeOf("walk");
	const int before = logic.GetMoveTypeCost(walk);
	EXPECT_TRUE(logic.SetMapChip(0, 0, 1));
	EXPECT_EQ(before + 1, logic.GetMoveTypeCost(walk)) << "plain 2 became forest 3";
	expectRecount("a new chip");
	EXPECT_TRUE(logic.RemoveMapObj(2, 6));
	expectRecount("a city removed");
	EXPECT_FALSE(logic.RemoveMapObjOfType(3, 6, MAP_OBJECT_ROAD)) << "a wall is no road";
	EXPECT_EQ(MAP_OBJECT_WALL, map->GetMapObjectType(3, 6));
	EXPECT_TRUE(logic.RemoveMapObjOfType(4, 6, MAP_OBJECT_ROAD));
	expectRecount("a road removed");
	TCapturedLog log;
	EXPECT_FALSE(logic.SetMapChip(10, 0, 1));
	EXPECT_EQ(-1, logic.GetMoveTypeCost(-1));
	EXPECT_EQ(-1, logic.GetMoveTypeSkill(BattleData().GetMoveTypeCount()));
	EXPECT_EQ(1, log.CountLines("TBattleMapLogic::GetMoveTypeCost:"));
	EXPECT_EQ(1, log.CountLines("movetype 3 out of range"));
}

// A chara choosing its action may wait or flee, where it stands or after a move to a reachable cell.
TEST_F(BattleSlots, SettingAnActionChecksItFirst)
{
	StartChoosing();
	TCapturedLog log;
	TCharaInstance& scout = Chara(1, 0);
	const point_t start = {scout.BattleX, scout.BattleY};
	std::vector<TBattleAction> actions;
	logic.GetActionList(start.x, start.y, actions);
	ASSERT_EQ(1u, actions.size());
	EXPECT_EQ(ACTION_KIND_RUNAWAY, actions[0].kind);
	std::vector<TEffectPreview> previews;
	EXPECT_TRUE(logic.EvalAction(start.x, start.y, ACTION_KIND_WAIT, -1, 0, 0, previews));
	EXPECT_FALSE(logic.SetAction(9, 7, ACTION_KIND_WAIT, -1, 0, 0)) << "too far";
	EXPECT_EQ(1, log.CountLines("TBattleMapLogic::SetAction error:移動できない座標(9,7)が指定されました。"));
	EXPECT_FALSE(logic.SetAction(start.x, start.y, ACTION_KIND_ATTACK, -1, 0, 0));
	EXPECT_FALSE(logic.SetAction(-3, 40, ACTION_KIND_WAIT, -1, 0, 0));
	EXPECT_EQ(STATE_COMPUTER, logic.GetState()) << "nothing committed";
	const point_t target = {start.x + 2, start.y};
	ASSERT_GT(logic.GetMovableLayer().At(target.x, target.y), 0);
	const int gauge = scout.ActionGauge;
	EXPECT_TRUE(logic.SetAction(target.x, target.y, ACTION_KIND_WAIT, -1, 0, 0));
	EXPECT_EQ(target, (point_t{scout.BattleX, scout.BattleY})) << "unseen, the move is made at once";
	EXPECT_EQ(gauge + 100, scout.ActionGauge) << "a wait after a move gives back 100";
	EXPECT_EQ(STATE_MAIN, logic.GetState());
	EXPECT_TRUE(LayersAgree(logic.GetField()));
	EXPECT_FALSE(logic.SetAction(target.x, target.y, ACTION_KIND_WAIT, -1, 0, 0)) << "the turn is over";
}

// A computer chara whose script commits nothing waits after its frames, with a Warning.
TEST_F(BattleSlots, AScriptThatCommitsNothingLeavesTheCharaWaiting)
{
	StartChoosing();
	TCapturedLog log;
	const int gauge = Chara(1, 0).ActionGauge;
	// The frame that chose the chara asked its script once already.
	for (int frame = 2; frame < COMPUTER_ACTION_FRAMES; ++frame)
		logic.DoLogic();
	EXPECT_EQ(STATE_COMPUTER, logic.GetState());
	logic.DoLogic();
	EXPECT_NE(STATE_COMPUTER, logic.GetState());
	EXPECT_EQ(gauge + 200, Chara(1, 0).ActionGauge);
	EXPECT_EQ(1, log.CountLines("committed no action within 30 frames: scout waits")) << log.Text();
}

// An attacker that ends its action on a city takes it.
TEST_F(BattleSlots, AnAttackerTakesTheCityItEndsOn)
{
	Add(0, "guard");
	Add(1, "scout");
	TMapPlan plan = BattlePlan();
	plan.rows[0] = ".cccccccc.";
	plan.rows[5][5] = '.';
	plan.rows[1][4] = 'K';
	ASSERT_TRUE(Start(plan));
	ASSERT_TRUE(RunUntil(STATE_COMPUTER, FRAME_CAP));
	const TCharaInstance& scout = Chara(1, 0);
	ASSERT_EQ(0, scout.BattleY);
	ASSERT_EQ(MAP_OBJECT_CITY, map->GetMapObjectType(scout.BattleX, 0));
	EXPECT_TRUE(logic.SetAction(scout.BattleX, 0, ACTION_KIND_WAIT, -1, 0, 0));
	EXPECT_EQ(0, map->GetMapObjectType(scout.BattleX, 0));
}
}
