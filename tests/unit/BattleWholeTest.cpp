// Whole battles of the sample scenario between two computer sides, fought by the sample's own scripts
// without a window: every frame keeps the battle's invariants, the battle ends with a winner within a
// frame cap, and a seed fights the same battle every time, as its kept trace shows.

#include "BattleFixture.h"
#include "ModelFixture.h"

#include "app/GameConfig.h"
#include "app/GameMaster.h"
#include "model/MorvalethData.h"
#include "support/SampleBattle.h"
#include "support/TestSupport.h"

#include <boost/filesystem.hpp>
#include <cstdlib>
#include <functional>
#include <set>
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
	// Fights the battle to its end, checking the invariants after every frame; the frames it took. A given
	// frame step runs each frame in place of the battle's own (and must run it).
	int Fight(TSampleBattle& battle, const TSampleBattleSetup& setup, const std::function<void()>& frame = nullptr)
	{
		EXPECT_TRUE(battle.Start(setup)) << "the battle starts unwatched";
		int frames = 0;
		while (battle.IsRunning() && frames < FRAME_CAP && !HasFailure()) {
			if (frame)
				frame();
			else
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

namespace
{
/// Cells where two or more charas of the side lie dead and nothing stands.
std::set<std::pair<int, int>> SharedGraves(const TBattleField& field, int side)
{
	std::multiset<std::pair<int, int>> graves;
	for (int index : field.dead[side]) {
		const TCharaInstance& chara = field.Chara({side, index});
		TCharaRef standing;
		if (!field.CharaOn(chara.BattleX, chara.BattleY, standing))
			graves.insert({chara.BattleX, chara.BattleY});
	}
	std::set<std::pair<int, int>> shared;
	for (const auto& grave : graves)
		if (graves.count(grave) > 1)
			shared.insert(grave);
	return shared;
}
}

// Both masters' specials become a cheap revival of every dead enemy as a character the caster employs. Charas
// fall on cells where others fell before them, and a master casts the revival over such a cell: each cell
// brings one back, and the battle ends as cleanly as any other.
TEST_F(BattleWhole, ARevivalOverCharasFallenOnOneCellEndsCleanly)
{
	TSampleCopy copy;
	for (const char* special : {"warcry", "siege"})
		copy.Replace("DefChar/CharacterData.xml", std::string("<Special id=\"") + special + "\"",
			"<Special id=\"reaping\"");
	copy.Replace("DefChar/SpecialTable.xml", "<Revive id=\"undead\"/>", "<Revive id=\"employ\"/>");
	copy.Replace("DefChar/SpecialTable.xml", "魂狩り</Name>\n\t\t<ConsumeMP value=\"30\"/>",
		"魂狩り</Name>\n\t\t<ConsumeMP value=\"5\"/>");
	for (const char* script : {"battlecom.lua", "battle.lua"})
		boost::filesystem::copy_file(SampleScenario() + "/Script/" + script, copy.Folder() + "/Script/" + script);
	TSampleBattleSetup setup;
	setup.seed = 1;
	TSampleBattle battle(copy.Folder());
	const int reaping = g_GameMaster.m_Data->GetSpecialIndex("reaping");
	int overSharedCells = 0;
	const int frames = Fight(battle, setup, [&] {
		const TBattleField& field = battle.logic.GetField();
		const std::set<std::pair<int, int>> graves[2] = {SharedGraves(field, 0), SharedGraves(field, 1)};
		battle.Frame();
		int side = -1;
		int index = -1;
		battle.logic.GetActiveChara(side, index);
		overSharedCells += battle.ActedInLastFrame() > 0 && battle.logic.GetCommittedAction().special == reaping
			&& !graves[1 - side].empty();
	});
	EXPECT_GT(overSharedCells, 0) << "no revival over a cell where two charas fell";
	ExpectEnded(battle, frames);
}
