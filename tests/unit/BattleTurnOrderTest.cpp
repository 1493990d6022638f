#include "BattleFixture.h"

#include "app/Random.h"
#include "battle/CharaRules.h"
#include "battle/TurnOrder.h"
#include "model/MagicData.h"

#include <gtest/gtest.h>

namespace
{
TEST(BattleTurnOrder, AChargedGaugeActsFromExactly500)
{
	TFieldBoard board(PlainPlan(6, 6));
	board.Add(0, "guard", 1, 1);
	board.Add(1, "guard", 2, 1);
	board.Chara(0, 0).ActionGauge = 499;
	board.Chara(1, 0).ActionGauge = 500;
	TBattleClock clock;
	TCharaRef chosen;
	ASSERT_EQ(TTurnOrder::Chara, SelectNextChara(board.field, clock, 10, chosen));
	EXPECT_EQ((TCharaRef{1, 0}), chosen);
	EXPECT_EQ(0, board.Chara(1, 0).ActionGauge);
	EXPECT_EQ(499, board.Chara(0, 0).ActionGauge) << "no gauge filled while someone could act";
	EXPECT_EQ(0, clock.tick);
}

// A chara that cannot act now still pays for its turn; one that is out of the battle keeps its points.
TEST(BattleTurnOrder, HeldCharasArePassedOver)
{
	struct TCase
	{
		const char* name;
		void (*hold)(TCharaInstance&);
		int gaugeLeft;
	};
	const TCase cases[] = {
		{"stone", [](TCharaInstance& c) { SetCondition(c, EFFECT_STONE); }, 200},
		{"paralysis", [](TCharaInstance& c) { SetCondition(c, EFFECT_PARALYZE); }, 200},
		{"sleep", [](TCharaInstance& c) { SetCondition(c, EFFECT_SLEEP); }, 200},
		{"dead", [](TCharaInstance& c) { c.HP = 0; }, 700},
		{"fled", [](TCharaInstance& c) { c.Fled = true; }, 700},
		{"about to flee", [](TCharaInstance& c) { c.Fleeing = true; }, 700},
		{"holding a summoned chara", [](TCharaInstance& c) { c.SummonState = SUMMON_STATE_SUMMONER; }, 700},
	};
	for (const TCase& c : cases) {
		TFieldBoard board(PlainPlan(6, 6));
		board.Add(0, "guard", 1, 1);
		board.Add(0, "guard", 2, 1);
		board.Chara(0, 0).ActionGauge = 700;
		board.Chara(0, 1).ActionGauge = 600;
		c.hold(board.Chara(0, 0));
		TBattleClock clock;
		TCharaRef chosen;
		ASSERT_EQ(TTurnOrder::Chara, SelectNextChara(board.field, clock, 10, chosen)) << c.name;
		EXPECT_EQ((TCharaRef{0, 1}), chosen) << c.name;
		EXPECT_EQ(c.gaugeLeft, board.Chara(0, 0).ActionGauge) << c.name;
	}
	TFieldBoard board(PlainPlan(6, 6));
	board.Add(0, "guard", 1, 1);
	board.Chara(0, 0).ActionGauge = 500;
	SetCondition(board.Chara(0, 0), EFFECT_DREAM);
	TBattleClock clock;
	TCharaRef chosen;
	EXPECT_EQ(TTurnOrder::Chara, SelectNextChara(board.field, clock, 10, chosen)) << "a dreaming chara acts";
}

// Guards fill 50..59 a time: five fills bring nobody to 500, and the turn ends.
TEST(BattleTurnOrder, FiveFillsThenTheTurnEnds)
{
	SeedRandom(11);
	TFieldBoard board(PlainPlan(6, 6));
	board.Add(0, "guard", 1, 1);
	board.Add(0, "guard", 2, 1);
	board.Add(1, "guard", 3, 1);
	board.Chara(0, 1).HP = 0;
	board.Chara(1, 0).Fleeing = true;
	TBattleClock clock;
	TCharaRef chosen;
	ASSERT_EQ(TTurnOrder::TurnOver, SelectNextChara(board.field, clock, 10, chosen));
	EXPECT_EQ(2, clock.turn);
	EXPECT_EQ(0, clock.tick);
	for (TCharaRef ref : {TCharaRef{0, 0}, TCharaRef{1, 0}}) {
		EXPECT_GE(board.Chara(ref.side, ref.index).ActionGauge, 250);
		EXPECT_LE(board.Chara(ref.side, ref.index).ActionGauge, 295);
	}
	EXPECT_EQ(0, board.Chara(0, 1).ActionGauge) << "the dead gain nothing";
}

TEST(BattleTurnOrder, TheLastTurnEndsTheBattle)
{
	TFieldBoard board(PlainPlan(6, 6));
	board.Add(0, "guard", 1, 1);
	TBattleClock clock{3, GAUGE_FILLS_PER_TURN};
	TCharaRef chosen;
	EXPECT_EQ(TTurnOrder::TurnLimit, SelectNextChara(board.field, clock, 3, chosen));
	EXPECT_EQ(3, clock.turn) << "the turn never passes the limit";
	EXPECT_EQ(0, board.Chara(0, 0).ActionGauge);
	clock = {2, GAUGE_FILLS_PER_TURN};
	EXPECT_EQ(TTurnOrder::TurnOver, SelectNextChara(board.field, clock, 3, chosen));
	EXPECT_EQ(3, clock.turn);
}

// The gauges draw the generator's 16-bit value itself; the scaled draw is that value scaled.
TEST(BattleTurnOrder, TheRawDrawIsTheOneTheScaledDrawScales)
{
	for (int n : {1, 7, 100, 65536}) {
		SeedRandom(99);
		const int raw = mtrand_raw();
		SeedRandom(99);
		EXPECT_EQ(ScaleDraw(raw, n), mtrand_n(n)) << n;
		EXPECT_GE(raw, 0);
		EXPECT_LE(raw, 65535);
	}
}
}
