#include "BattleFixture.h"
#include "ModelFixture.h"

#include "app/GameConfig.h"
#include "app/Random.h"
#include "battle/CharaRules.h"
#include "model/MagicData.h"
#include "model/MorvalethData.h"

#include <gtest/gtest.h>
#include <algorithm>

namespace
{
/// Frames a battle of a few charas over three turns needs at most: each computer chara's action takes
/// the frames its waiting script is given, and every message its time-out.
const int FRAME_CAP = 5000;

// Two waiting sides reach the end of turn 3: the attackers retreat and the defenders keep the area.
TEST_F(BattleRun, WaitingSidesReachTheTurnLimitAndTheDefendersHold)
{
	TCapturedLog log;
	for (int i = 0; i < 3; ++i) {
		Add(0, "guard");
		Add(1, "scout");
	}
	ASSERT_TRUE(Start(BattlePlan())) << "an unwatched battle";
	EXPECT_TRUE(logic.IsInBattle());
	const int frames = Run(FRAME_CAP);
	EXPECT_LT(frames, FRAME_CAP);
	EXPECT_EQ(STATE_IDLE, logic.GetState());
	EXPECT_FALSE(logic.IsInBattle());
	EXPECT_FALSE(logic.HasFailed());
	EXPECT_EQ(0, logic.GetWinner());
	EXPECT_EQ(3, logic.GetTurn());
	EXPECT_EQ((std::vector<std::string>{"3ターンが経過しました", "攻撃軍は退却します"}), view.m_Messages);
	EXPECT_EQ(1, view.Count("EndBattle"));
	EXPECT_EQ(0, CountErrors(log)) << log.Text();
	EXPECT_TRUE(map->GetMapType().Width() == 0) << "the map types are released";
	for (const TCharaInstance& scout : sides[1])
		EXPECT_EQ(40, scout.HP) << "waiting hurts nobody";
}

// Unseen, a frame never waits inside itself for a message to close: each one returns, and the
// message stays up for its frames.
TEST_F(BattleRun, AMessageUnseenTakesItsFramesOneByOne)
{
	view = TRecordingBattleView(50);
	Add(0, "guard");
	Add(1, "guard");
	ASSERT_TRUE(Start(BattlePlan()));
	ASSERT_TRUE(RunUntil(STATE_TURN_LIMIT, FRAME_CAP));
	int frames = 0;
	while (logic.GetState() == STATE_TURN_LIMIT) {
		logic.DoLogic();
		view.Tick();
		++frames;
	}
	EXPECT_EQ(50, frames);
	EXPECT_EQ(STATE_RETREAT, logic.GetState());
}

/// A battle decided at the first main step: who falls, who wins and the last message shown.
struct TDecision
{
	const char* name;
	bool neutralDefenders;
	/// Side and index of each chara that dies, or that chooses to flee when flee is set.
	std::vector<TCharaRef> falling;
	bool flee;
	int winner;
	std::vector<std::string> messages;
};

class BattleDecision : public BattleRun, public ::testing::WithParamInterface<TDecision>
{
};

// The defenders are a guard and a lamb, the attackers brom, their master, and a scout. The battle is
// watched, so that the messages show.
TEST_P(BattleDecision, TheSideLeftStandingWins)
{
	const TDecision& c = GetParam();
	if (c.neutralDefenders)
		masters = {-1, brom};
	Add(0, "guard");
	Add(0, "lamb");
	Add(1, "brom");
	Add(1, "scout");
	g_Config.SetBoolValue(SWITCH_WATCH_USE, true);
	ASSERT_FALSE(Start(BattlePlan())) << "watched";
	ASSERT_TRUE(RunUntil(STATE_MAIN, 10));
	for (const TCharaRef& ref : c.falling) {
		if (c.flee)
			Chara(ref.side, ref.index).Fleeing = true;
		else
			logic.ChangeHP(ref.side, ref.index, -1000);
	}
	EXPECT_LT(Run(FRAME_CAP), FRAME_CAP);
	EXPECT_EQ(STATE_IDLE, logic.GetState());
	EXPECT_EQ(c.winner, logic.GetWinner());
	EXPECT_EQ(c.messages, view.m_Messages);
}

const TDecision DECISIONS[] = {
	{"the defenders dead", false, {{0, 0}, {0, 1}}, false, 1, {"guardが死んだ！", "Brom軍の勝利です"}},
	{"the defenders about to flee", false, {{0, 0}, {0, 1}}, true, 1, {"Brom軍の勝利です"}},
	{"the attackers' master dead", false, {{1, 0}}, false, 0, {"bromが死んだ！", "Alda軍の勝利です"}},
	{"everybody dead", false, {{0, 0}, {0, 1}, {1, 0}, {1, 1}}, false, 0,
		{"guardが死んだ！\nbromが死んだ！", "Alda軍の勝利です"}},
	{"everybody dead, neutral defenders", true, {{0, 0}, {0, 1}, {1, 0}, {1, 1}}, false, 0,
		{"guardが死んだ！\nbromが死んだ！", "中立軍の勝利です"}},
};

INSTANTIATE_TEST_SUITE_P(Cases, BattleDecision, ::testing::ValuesIn(DECISIONS));

TEST_F(BattleRun, AMissingOrBrokenScriptStopsTheBattleCleanly)
{
	struct TCase
	{
		const char* name;
		const char* sideScript;
		const char* battleScript;
		const char* error;
	};
	const TCase cases[] = {
		{"no side script", "", "-- none\n", "COMスクリプトの検索に失敗しました。"},
		{"a broken side script", "function (", "-- none\n", "COMスクリプト "},
		{"no battle script", "function on_chara_action() end\n", "", "戦闘イベントスクリプトの検索に失敗しました。"},
		{"a broken battle script", "function on_chara_action() end\n", "end end", "戦闘イベント "},
	};
	for (const TCase& c : cases) {
		TCapturedLog log;
		WriteScript("battlecom.lua", c.sideScript);
		WriteScript("battle.lua", c.battleScript);
		sides = {{}, {}};
		sources = {{}, {}};
		Add(0, "guard");
		Add(1, "scout");
		Chara(0, 0).BattleX = 7;
		EXPECT_FALSE(Start(BattlePlan())) << c.name;
		EXPECT_EQ(STATE_STOPPED, logic.GetState()) << c.name;
		EXPECT_FALSE(logic.IsInBattle()) << c.name << ": the caller can go on";
		EXPECT_TRUE(logic.HasFailed()) << c.name;
		EXPECT_EQ(0, logic.GetWinner()) << c.name;
		EXPECT_GE(log.CountLines(c.error), 1) << c.name << "\n" << log.Text();
		EXPECT_EQ(7, Chara(0, 0).BattleX) << c.name << ": the sides are as they were";
		EXPECT_EQ(0, map->GetMapType().Width()) << c.name;
		logic.DoLogic();
		EXPECT_EQ(STATE_STOPPED, logic.GetState()) << c.name;
	}
}

TEST_F(BattleRun, TheSidesScriptsAreCalledAtTheirTimes)
{
	// The script log is written in the working folder, which other test programs share.
	const TScopedCwd cwd(scenario.Path());
	WriteScript("battlecom.lua", "function on_battle_start() print_log('start') end\n"
								 "function on_battle_progress() print_log('progress') end\n"
								 "function check_wish_runaway() return false end\n"
								 "function on_chara_action() print_log('action') end\n");
	Add(0, "guard");
	Add(1, "scout");
	ASSERT_TRUE(Start(BattlePlan()));
	const auto count = [](const std::string& word) {
		const std::string text = ReadFile("_lualog.txt");
		int n = 0;
		for (std::size_t at = text.find(word); at != std::string::npos; at = text.find(word, at + 1))
			++n;
		return n;
	};
	EXPECT_EQ(2, count("start")) << "once for each side";
	ASSERT_TRUE(RunUntil(STATE_COMPUTER, FRAME_CAP));
	EXPECT_EQ(2, count("progress")) << "each side at the main step";
	EXPECT_EQ(1, count("action")) << "in the frame the chara was chosen";
	logic.DoLogic();
	EXPECT_EQ(2, count("action"));
	EXPECT_EQ(STATE_COMPUTER, logic.GetState()) << "no action committed: the script is asked again";
}

// The sample scenario's own scripts carry a battle to its end, every function the battle calls defined.
TEST_F(BattleRun, TheSampleScriptsCarryABattle)
{
	const std::string folder = std::string(MORVALETH_SOURCE_DIR) + "/data/Scenario/Default/Script/";
	WriteScript("battlecom.lua", ReadFile(folder + "battlecom.lua"));
	WriteScript("battle.lua", ReadFile(folder + "battle.lua"));
	TCapturedLog log;
	Add(0, "guard");
	Add(1, "scout");
	ASSERT_TRUE(Start(BattlePlan()));
	EXPECT_LT(Run(FRAME_CAP), FRAME_CAP);
	EXPECT_EQ(STATE_IDLE, logic.GetState());
	EXPECT_EQ(0, CountErrors(log)) << log.Text();
}
}
