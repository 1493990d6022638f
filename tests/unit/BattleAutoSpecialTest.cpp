// What charas do by themselves when a chara dies: the battle lists the automatic scripts and specials
// of every chara, queues those a death makes due and runs one each main step, through the battle
// script when it names a function.

#include "BattleFixture.h"
#include "ModelFixture.h"

#include "app/GameConfig.h"
#include "model/MorvalethData.h"

#include <gtest/gtest.h>

namespace
{
const int FRAME_CAP = 2000;

/// Defenders: guard, mourner (its side's deaths), martyr (its own death); attackers: scout, avenger
/// (the defenders' deaths).
class BattleAuto : public BattleRun
{
protected:
	void SetUp() override
	{
		Add(0, "guard");
		Add(0, "mourner");
		Add(0, "martyr");
		Add(1, "scout");
		Add(1, "avenger");
	}

	bool StartAndReachTheMainStep()
	{
		return Start(BattlePlan()) && RunUntil(STATE_MAIN, FRAME_CAP);
	}

	/// The queue as "side/index function" words, "special" for an automatic special.
	std::vector<std::string> Queue() const
	{
		std::vector<std::string> words;
		for (const TAutoSpecial& entry : logic.GetAutoQueue())
			words.push_back(std::to_string(entry.chara.side) + "/" + std::to_string(entry.chara.index) + " "
				+ (entry.function.empty() ? "special" : entry.function));
		return words;
	}

	int CountInScriptLog(const std::string& word) const
	{
		const std::string text = ReadFile("_lualog.txt");
		int n = 0;
		for (std::size_t at = text.find(word); at != std::string::npos; at = text.find(word, at + 1))
			++n;
		return n;
	}
};

struct TDeaths
{
	const char* name;
	/// Charas that die, in order; the martyr's MP before they do.
	std::vector<TCharaRef> dying;
	int martyrMP;
	std::vector<std::string> queue;
};

class BattleAutoDeaths : public BattleAuto, public ::testing::WithParamInterface<TDeaths>
{
};

TEST_P(BattleAutoDeaths, ADeathQueuesTheEntriesItMakesDueInListOrder)
{
	const TDeaths& c = GetParam();
	ASSERT_TRUE(StartAndReachTheMainStep());
	EXPECT_EQ(3u, logic.GetAutoSpecials().size()) << "mourner, martyr and avenger carry one entry each";
	Chara(0, 2).MP = c.martyrMP;
	for (const TCharaRef& ref : c.dying)
		logic.ChangeHP(ref.side, ref.index, -1000);
	EXPECT_EQ(c.queue, Queue());
}

const TDeaths DEATHS[] = {
	{"a defender", {{0, 0}}, 10, {"0/1 mourn", "1/1 avenge"}},
	{"the martyr", {{0, 2}}, 10, {"0/1 mourn", "0/2 special", "1/1 avenge"}},
	{"the martyr short of MP", {{0, 2}}, 4, {"0/1 mourn", "1/1 avenge"}},
	{"the mourner, not mourning itself", {{0, 1}}, 10, {"1/1 avenge"}},
	{"an attacker, no enemy of the avenger", {{1, 0}}, 10, {}},
	{"a defender killed twice dies once", {{0, 0}, {0, 0}}, 10, {"0/1 mourn", "1/1 avenge"}},
	{"two deaths in their order", {{0, 0}, {0, 2}}, 10,
		{"0/1 mourn", "1/1 avenge", "0/1 mourn", "0/2 special", "1/1 avenge"}},
	{"a dead avenger still avenges", {{1, 1}, {0, 0}}, 10, {"0/1 mourn", "1/1 avenge"}},
};

INSTANTIATE_TEST_SUITE_P(Cases, BattleAutoDeaths, ::testing::ValuesIn(DEATHS));

// A script that yields holds the battle in state 20 until it has finished; one that does not lets the
// same main step go on to choose the next chara.
TEST_F(BattleAuto, AutomaticScriptsRunOneAMainStepAndOnlyAYieldHoldsTheBattle)
{
	const TScopedCwd cwd(scenario.Path());
	WriteScript("battle.lua", "function mourn() print_log('mourn begins') coroutine.yield() print_log('mourn ends') end\n"
							  "function avenge() print_log('avenged') end\n");
	TCapturedLog log;
	ASSERT_TRUE(StartAndReachTheMainStep());
	logic.ChangeHP(0, 0, -1000);
	ASSERT_TRUE(RunUntil(STATE_SCRIPT, FRAME_CAP)) << "after the death message, mourn yields";
	EXPECT_EQ(1, CountInScriptLog("mourn begins"));
	EXPECT_EQ(0, CountInScriptLog("mourn ends"));
	EXPECT_EQ(std::vector<std::string>{"1/1 avenge"}, Queue());
	logic.DoLogic();
	EXPECT_EQ(1, CountInScriptLog("mourn ends"));
	EXPECT_EQ(STATE_MAIN, logic.GetState());
	EXPECT_EQ(0, CountInScriptLog("avenged")) << "one entry a main step";
	const int turnsTaken = logic.GetTurnsTaken();
	logic.DoLogic();
	EXPECT_EQ(1, CountInScriptLog("avenged"));
	EXPECT_TRUE(Queue().empty());
	EXPECT_EQ(turnsTaken + 1, logic.GetTurnsTaken()) << "avenge did not yield: the same main step chose a chara";
	EXPECT_LT(Run(FRAME_CAP), FRAME_CAP);
	EXPECT_EQ(STATE_IDLE, logic.GetState());
	EXPECT_EQ(0, CountErrors(log)) << log.Text();
}

struct TCondition
{
	const char* name;
	const char* mayPray;
	/// The special starts on the martyr's own cell, or the main step goes on.
	bool starts;
	int framesInScript;
};

class BattleAutoCondition : public BattleAuto, public ::testing::WithParamInterface<TCondition>
{
};

// The martyr's prayer asks "may_pray" first, which may take frames; only a true answer starts it, aimed
// at the martyr's own cell (a special without a range).
TEST_P(BattleAutoCondition, ASpecialStartsOnlyWhenItsConditionScriptAnswersTrue)
{
	const TCondition& c = GetParam();
	WriteScript("battle.lua", std::string("function mourn() end\nfunction avenge() end\n") + c.mayPray);
	TCapturedLog log;
	ASSERT_TRUE(StartAndReachTheMainStep());
	const point_t cell = {Chara(0, 2).BattleX, Chara(0, 2).BattleY};
	logic.ChangeHP(0, 2, -1000);
	int frames = 0;
	for (int cap = 0; logic.GetState() != STATE_WAITING && (!Queue().empty() || logic.GetState() == STATE_SCRIPT)
		&& cap < FRAME_CAP;
		 ++cap) {
		logic.DoLogic();
		view.Tick();
		frames += logic.GetState() == STATE_SCRIPT;
	}
	EXPECT_EQ(c.framesInScript, frames);
	// Unseen, the special plays out within the frame it starts in; the pause after it follows.
	EXPECT_EQ(c.starts, logic.GetState() == STATE_WAITING);
	if (c.starts) {
		EXPECT_EQ(logic.GetCurrentSpecial(), BattleData().GetSpecialIndex("prayer"));
		EXPECT_EQ(std::vector<point_t>{cell}, logic.GetTargetCells());
		int side = -1;
		int index = -1;
		logic.GetActiveChara(side, index);
		EXPECT_EQ(0, side);
		EXPECT_EQ(2, index) << "the martyr uses it, dead as it is";
	}
	EXPECT_EQ(0, CountErrors(log)) << log.Text();
}

const TCondition CONDITIONS[] = {
	{"allowed at once", "function may_pray() return true end\n", true, 0},
	{"refused at once", "function may_pray() return false end\n", false, 0},
	{"allowed after two frames", "function may_pray() coroutine.yield() coroutine.yield() return true end\n", true, 2},
	{"refused after a frame", "function may_pray() coroutine.yield() return false end\n", false, 1},
	{"answering nothing", "function may_pray() end\n", false, 0},
};

INSTANTIATE_TEST_SUITE_P(Cases, BattleAutoCondition, ::testing::ValuesIn(CONDITIONS));

// A battle script that fails while the battle waits for it stops the battle cleanly.
TEST_F(BattleAuto, AScriptFailingOnResumeStopsTheBattle)
{
	WriteScript("battle.lua", "function mourn() coroutine.yield() error('broken') end\nfunction avenge() end\n");
	TCapturedLog log;
	ASSERT_TRUE(StartAndReachTheMainStep());
	logic.ChangeHP(0, 0, -1000);
	ASSERT_TRUE(RunUntil(STATE_SCRIPT, FRAME_CAP));
	logic.DoLogic();
	EXPECT_EQ(STATE_STOPPED, logic.GetState());
	EXPECT_TRUE(logic.HasFailed());
	EXPECT_FALSE(logic.IsInBattle());
	EXPECT_GE(log.CountLines("戦闘イベントスクリプトの再開に失敗しました。"), 1) << log.Text();
}
}
