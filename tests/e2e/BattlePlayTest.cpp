#include "e2e/PlayDriver.h"
#include "e2e/World.h"

#include <gtest/gtest.h>
#include <chrono>
#include <cstdio>

// The sample's two short chapters played to their end in an 800 x 600 window: the game ends through
// the event script's ending message and the program quits by itself.

namespace
{
// The left end of the ending message, wider than any other message of the sample.
const TRect ENDING_LEFT = {232, 290, 40, 40};
// Every message waits for the player's key; the sample's timed messages would otherwise close by
// themselves before a person could read them.
const char* INI = "[Window]\nWidth=800\nHeight=600\n[GUI]\nMessageTimeoutFrame=36000\n"
	"[Mixer]\nMusicEnabled=0\nSoundEnabled=0\n";

// From the start menu through scenario, the chapter of the row, level and master select (the
// first master) to the opening, which a click closes.
void StartChapter(TPlay& play, int chapterRow)
{
	TPlayer& player = play.Player();
	ASSERT_TRUE(player.WaitFor("start_menu", [](const TShot& shot) { return shot.Colours({350, 264, 96, 24}) > 4; }));
	ASSERT_TRUE(play.PressAndSee("scenario_select", 400, 276, {110, 88, 240, 150}));
	ASSERT_TRUE(play.PressAndSee("chapters", 200, 95, {375, 88, 285, 30}));
	ASSERT_TRUE(play.PressAndSee("chapter", 440, 95 + 16 * chapterRow, {378, 180, 240, 35}));
	ASSERT_TRUE(play.PressAndSee("master_select", 562, 511, {92, 44, 616, 290}));
	ASSERT_TRUE(play.PressAndSee("leon_chosen", 156, 95, {108, 44, 96, 96}, 0.004));
	ASSERT_TRUE(play.PressAndSee("opening", 583, 555, world::SCREEN_MIDDLE, 0.3));
	ASSERT_TRUE(play.PressAndSee("opening_message", 400, 300, {160, 150, 100, 100}, 0.3));
	play.Player().Key("Return");
	ASSERT_TRUE(play.Player().WaitForText("_lualog.txt", "開幕を表示しました。"));
}

// The ending message shows; Return closes it and the program ends by itself.
void SeeTheEnd(TPlayer& player)
{
	EXPECT_TRUE(player.WaitFor("ending", [](const TShot& shot) { return shot.ShareOf(ENDING_LEFT, world::DIALOG_GREY, 16) > 0.9; }));
	player.Key("Return");
	EXPECT_EQ(player.WaitForExit(), 0);
}
}

TEST(BattlePlay, QuickEndTheEndlessAlliesEndTheGameRightAfterMasterSelect)
{
	const auto started = std::chrono::steady_clock::now();
	TPlayFolder folder("quick_end");
	folder.Write("morvaleth.ini", INI);
	TPlay play(folder, "quick_end");
	TPlayer& player = play.Player();
	ASSERT_TRUE(player.Start());
	StartChapter(play, 3);
	if (HasFatalFailure())
		return;
	SeeTheEnd(player);
	EXPECT_NE(folder.Read("_lualog.txt").find("戦いが終わりました。"), std::string::npos);
	const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
	std::printf("quick end: %.1f s wall time, peak memory %ld kB\n", seconds, player.PeakKilobytes());
}

namespace
{
using namespace world;
const int WINDY_HILL[] = {AreaX(A02[0]), AreaY(A02[1])};
}

TEST(BattlePlay, PlayedEndLeonReachesHisFirstTurnAndOpensTheWarOnTheHill)
{
	const auto started = std::chrono::steady_clock::now();
	TPlayFolder folder("played_end");
	folder.Write("morvaleth.ini", std::string(INI) + "[Watch]\nUse=1\nOnlyLarge=0\nOnlyMaster=0\nNoNeutral=0\nMaxSpeed=1\n");
	TPlay play(folder, "played_end");
	TPlayer& player = play.Player();
	ASSERT_TRUE(player.Start());
	StartChapter(play, 2);
	if (HasFatalFailure())
		return;
	ASSERT_TRUE(player.WaitFor("first_turn", PlayerTurn));
	// War on the hill: the war window opens beside the map once the hill is picked.
	play.Press(WAR_BUTTON[0], WAR_BUTTON[1]);
	EXPECT_TRUE(play.PressAndSee("war_window", WINDY_HILL[0], WINDY_HILL[1], world::SCREEN_MIDDLE, 0.1));
	player.Close();
	EXPECT_EQ(player.WaitForExit(), 0);
	const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
	std::printf("played end (to the war window): %.1f s wall time, peak memory %ld kB\n", seconds, player.PeakKilobytes());
}
