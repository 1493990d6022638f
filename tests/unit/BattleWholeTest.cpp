// Whole battles of the sample scenario between two computer sides, fought by the sample's own scripts
// without a window: every frame keeps the battle's invariants, the battle ends with a winner within a
// frame cap, and a seed fights the same battle every time, as its kept trace shows.

#include "BattleFixture.h"
#include "ModelFixture.h"

#include "app/GameConfig.h"
#include "support/SampleBattle.h"
#include "support/TestSupport.h"

#include <boost/filesystem.hpp>
#include <cstdlib>
#include <gtest/gtest.h>

namespace
{
const int FRAME_CAP = 20000;
/// Set to write the kept traces anew from the battles as they are fought now.
const char* const UPDATE_VARIABLE = "MORVALETH_UPDATE_GOLDEN";

std::string GoldenPath(int seed)
{
	return std::string(MORVALETH_SOURCE_DIR) + "/tests/golden/battle_seed" + std::to_string(seed) + ".txt";
}

std::string Join(const std::vector<std::string>& lines)
{
	std::string text;
	for (const std::string& line : lines)
		text += line + "\n";
	return text;
}

/// The first line where two traces part, for a message that says what changed.
std::string FirstDifference(const std::string& expected, const std::string& actual)
{
	std::size_t line = 1;
	std::size_t start = 0;
	for (std::size_t i = 0; i < std::min(expected.size(), actual.size()); ++i) {
		if (expected[i] != actual[i])
			return "line " + std::to_string(line) + ": expected \"" + expected.substr(start, expected.find('\n', start) - start)
				+ "\", fought \"" + actual.substr(start, actual.find('\n', start) - start) + "\"";
		if (expected[i] == '\n') {
			++line;
			start = i + 1;
		}
	}
	return "one trace ends at line " + std::to_string(line);
}

class BattleWhole : public ::testing::Test
{
protected:
	// Fights the battle to its end, checking the invariants after every frame; the frames it took.
	int Fight(TSampleBattle& battle, const TSampleBattleSetup& setup)
	{
		EXPECT_TRUE(battle.Start(setup)) << "the battle starts unwatched";
		int frames = 0;
		while (battle.IsRunning() && frames < FRAME_CAP && !HasFailure()) {
			battle.Frame();
			++frames;
			CheckInvariants(battle, setup);
		}
		return frames;
	}

	void CheckInvariants(const TSampleBattle& battle, const TSampleBattleSetup& setup)
	{
		const int state = battle.logic.GetState();
		if (!battle.IsRunning() || state == STATE_PLACING)
			return;
		EXPECT_TRUE(LayersAgree(battle.logic.GetField())) << "state " << state;
		for (const std::vector<TCharaInstance>& side : battle.sides)
			for (const TCharaInstance& chara : side) {
				EXPECT_GE(chara.HP, 0);
				EXPECT_LE(chara.HP, chara.HPMax);
				EXPECT_GE(chara.MP, 0);
			}
		EXPECT_LE(battle.logic.GetTurn(), setup.turnMax);
	}

	// The battle is over: state 25, not stopped, a winner; the winner stands unless the turn limit ended it.
	void ExpectEnded(const TSampleBattle& battle, int frames)
	{
		EXPECT_LT(frames, FRAME_CAP);
		EXPECT_EQ(STATE_IDLE, battle.logic.GetState());
		EXPECT_FALSE(battle.logic.HasFailed());
		const int winner = battle.logic.GetWinner();
		ASSERT_TRUE(winner == 0 || winner == 1);
		bool standing = false;
		for (const TCharaInstance& chara : battle.sides[winner])
			standing = standing || (chara.HP > 0 && !chara.Fled);
		EXPECT_TRUE(standing) << "side " << winner << " won with nobody standing";
		EXPECT_EQ(0, CountErrors(m_Log)) << m_Log.Text();
	}

	TCapturedLog m_Log;
};
}

TEST_F(BattleWhole, TwentyAgainstTwentyEndsWithAWinnerAndASeedFightsTheSameBattle)
{
	TSampleBattleSetup setup;
	setup.seed = 7;
	std::string first;
	{
		TSampleBattle battle(SampleScenario());
		ExpectEnded(battle, Fight(battle, setup));
		first = Join(battle.trace);
		EXPECT_GT(battle.logic.GetTurnsTaken(), 40) << "every chara took its turns";
	}
	const std::string golden = GoldenPath(setup.seed);
	if (std::getenv(UPDATE_VARIABLE))
		WriteFile(golden, first);
	const std::string kept = ReadFile(golden);
	EXPECT_TRUE(kept == first) << "the battle of seed " << setup.seed << " is no longer the one kept in " << golden
							   << ": " << FirstDifference(kept, first) << "\n(set " << UPDATE_VARIABLE
							   << " to keep the new one, once it is what the rules now fight)";
	TSampleBattle again(SampleScenario());
	Fight(again, setup);
	EXPECT_EQ(first, Join(again.trace)) << "the same seed fights the same battle";
}

TEST_F(BattleWhole, AnotherSeedAndASmallBattleAlsoEndCleanly)
{
	for (const int perSide : {20, 3}) {
		TSampleBattleSetup setup;
		setup.seed = 1234;
		setup.charasPerSide = perSide;
		TSampleBattle battle(SampleScenario());
		ExpectEnded(battle, Fight(battle, setup));
	}
}
