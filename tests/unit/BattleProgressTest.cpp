#include "BattleFixture.h"
#include "ModelFixture.h"

#include "app/GameConfig.h"
#include "app/Random.h"
#include "battle/CharaRules.h"
#include "model/MagicData.h"

#include <gtest/gtest.h>
#include <algorithm>

namespace
{
const int FRAME_CAP = 5000;

/// A battle whose sides are guards, too slow to act in the first turn: the first main step ends the
/// turn, and the end of the turn runs within that frame, the battle being unseen.
class BattleProgress : public BattleRun
{
protected:
	void StartGuards(int defenders)
	{
		for (int i = 0; i < defenders; ++i)
			Add(0, "guard");
		Add(1, "guard");
		ASSERT_TRUE(Start(BattlePlan()));
		ASSERT_TRUE(RunUntil(STATE_MAIN, 10));
	}

	/// Runs the main step that ends the first turn; the end of the turn is done when it returns.
	void EndTurn()
	{
		logic.DoLogic();
		ASSERT_EQ(STATE_MAIN, logic.GetState());
		ASSERT_EQ(2, logic.GetTurn());
	}
};

TEST_F(BattleProgress, HitAndMagicPointsComeBackUpToTheirMaxima)
{
	StartGuards(3);
	Chara(0, 0).HP = 10;
	Chara(0, 1).HP = 39;
	Chara(0, 2).MP = 5;
	Chara(0, 0).HPRecoverBonus = 2;
	EndTurn();
	EXPECT_EQ(15, Chara(0, 0).HP) << "3 of the character and 2 of the bonus";
	EXPECT_EQ(40, Chara(0, 1).HP) << "capped at the maximum";
	EXPECT_EQ(7, Chara(0, 2).MP);
	EXPECT_EQ(1, view.Count("SetStatusLine HPが回復した"));
	EXPECT_EQ(1, view.Count("SetStatusLine MPが回復した"));
	EXPECT_GE(view.Count("AddPopup"), 3);
	EXPECT_EQ("", view.m_StatusLine) << "the next turn's charas act under the last phase's line";
}

// Poison deals max HP / 20 and a draw of 0..9: at 19 hit points, 0 to 9 points, every one of them.
TEST_F(BattleProgress, PoisonAtNineteenHitPointsDealsZeroToNine)
{
	StartGuards(20);
	for (TCharaInstance& guard : sides[0]) {
		guard.HPMax = 19;
		guard.HP = 19;
		guard.HPRecoverBonus = -3;
		SetCondition(guard, EFFECT_POISON);
	}
	SeedRandom(1);
	EndTurn();
	std::vector<int> damage;
	for (const TCharaInstance& guard : sides[0])
		damage.push_back(19 - guard.HP);
	EXPECT_EQ(0, *std::min_element(damage.begin(), damage.end()));
	EXPECT_EQ(9, *std::max_element(damage.begin(), damage.end()));
	EXPECT_EQ(1, view.Count("SetStatusLine 毒によるダメージ"));
}

TEST_F(BattleProgress, PoisonThatKillsIsAnnouncedAtTheNextStep)
{
	StartGuards(1);
	Chara(0, 0).HP = 1;
	Chara(0, 0).HPRecoverBonus = -3;
	Chara(0, 0).HPMax = 200;
	SetCondition(Chara(0, 0), EFFECT_POISON);
	EndTurn();
	EXPECT_EQ(0, Chara(0, 0).HP);
	EXPECT_TRUE(LayersAgree(logic.GetField())) << "the dead leave the map";
	logic.DoLogic();
	EXPECT_EQ((std::vector<std::string>{"guardが死んだ！"}), view.m_Messages);
}

// Conditions grow a turn older at every turn's end; sleep can end only from its third turn on.
TEST_F(BattleProgress, ConditionsAgeOnceATurnAndEndByChance)
{
	StartGuards(12);
	for (int i = 0; i < 10; ++i)
		SetCondition(Chara(0, i), EFFECT_PARALYZE);
	SetCondition(Chara(0, 10), EFFECT_SLEEP);
	SetCondition(Chara(0, 11), EFFECT_STONE);
	SeedRandom(3);
	EndTurn();
	int paralysed = 0;
	for (int i = 0; i < 10; ++i)
		paralysed += HasCondition(Chara(0, i), EFFECT_PARALYZE);
	EXPECT_LT(paralysed, 10) << "one in five recovers at each try";
	EXPECT_EQ(10 - paralysed, view.Count("SetStatusLine guardは麻痺から回復した"));
	ASSERT_TRUE(HasCondition(Chara(0, 10), EFFECT_SLEEP)) << "asleep for one turn only";
	EXPECT_EQ(1, Chara(0, 10).Conditions[0].second) << "one turn old";
	EXPECT_EQ(1, Chara(0, 11).Conditions[0].second);
	EXPECT_TRUE(HasCondition(Chara(0, 11), EFFECT_STONE)) << "stone never wears off";
}

/// Every chara choosing its action flees once when the test lists it, and waits otherwise.
class BattleFlight : public BattleRun
{
protected:
	/// Runs until the battle ends; each chara choosing its action flees the first time when listed, else waits.
	void RunFleeing(std::vector<TCharaRef> fleeing)
	{
		for (int frames = 0; frames < FRAME_CAP && logic.IsInBattle(); ++frames) {
			if (logic.GetState() == STATE_COMPUTER) {
				int side = 0;
				int index = 0;
				logic.GetActiveChara(side, index);
				const TCharaInstance& chara = Chara(side, index);
				const auto listed = std::find(fleeing.begin(), fleeing.end(), TCharaRef{side, index});
				const bool flee = listed != fleeing.end();
				if (flee)
					fleeing.erase(listed);
				ASSERT_TRUE(logic.SetAction(chara.BattleX, chara.BattleY, flee ? ACTION_KIND_RUNAWAY : ACTION_KIND_WAIT,
					-1, chara.BattleX, chara.BattleY));
			}
			logic.DoLogic();
			view.Tick();
			CheckInvariants();
		}
	}
};

TEST_F(BattleFlight, TheFleeingLeaveAtTheTurnsEndDefendersOnlyWhileTheirNeighboursHaveRoom)
{
	// Area 1 has room for one more.
	for (int i = 0; i < AREA_CHARA_MAX - 1; ++i)
		game.GetArea(1).Charas.push_back(game.CreateCharaInstance(CharaIndexOf("lamb"), 0));
	Add(0, "guard");
	Add(0, "guard");
	Add(0, "guard");
	Add(1, "scout");
	Add(1, "guard");
	ASSERT_TRUE(Start(BattlePlan()));
	ASSERT_TRUE(RunUntil(STATE_MAIN, 10));
	Chara(0, 0).ActionGauge = 500;
	Chara(0, 1).ActionGauge = 500;
	RunFleeing({{0, 0}, {0, 1}, {1, 0}});
	EXPECT_TRUE(Chara(0, 0).Fled);
	EXPECT_EQ(-1, Chara(0, 0).BattleX);
	EXPECT_FALSE(Chara(0, 1).Fled) << "no room left for the second";
	EXPECT_FALSE(Chara(0, 1).Fleeing);
	EXPECT_GE(Chara(0, 1).BattleX, 0);
	EXPECT_TRUE(Chara(1, 0).Fled);
	EXPECT_EQ(0, logic.GetWinner());
	EXPECT_EQ(1, view.Count("SetStatusLine 逃走に成功した"));
}

// The last turn ends in the turn limit, not in a turn's end: whoever chose to flee in it leaves then.
TEST_F(BattleFlight, ThoseWhoFleeInTheLastTurnLeaveAtTheTurnLimit)
{
	g_Config.SetIntValue(CONFIG_TURN_MAX, 1);
	Add(0, "guard");
	Add(0, "guard");
	Add(1, "guard");
	Add(1, "guard");
	ASSERT_TRUE(Start(BattlePlan()));
	ASSERT_TRUE(RunUntil(STATE_MAIN, 10));
	Chara(0, 0).ActionGauge = 500;
	Chara(1, 0).ActionGauge = 500;
	RunFleeing({{0, 0}, {1, 0}});
	EXPECT_EQ(1, logic.GetTurn());
	EXPECT_TRUE(Chara(0, 0).Fled);
	EXPECT_TRUE(Chara(1, 0).Fled);
	EXPECT_FALSE(Chara(0, 1).Fled);
	EXPECT_EQ(0, logic.GetWinner());
}
}
