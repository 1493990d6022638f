#include "e2e/PlayDriver.h"
#include "e2e/World.h"

#include <gtest/gtest.h>
#include <algorithm>
#include <chrono>
#include <cstdio>

// The player's first turns on the world map of the sample's first chapter, as leon, in an 800 x 600
// window: a character's hint and full status, and the turn handed to the computer masters and back,
// each seen on the screen.

namespace
{
using namespace world;

// The sample's lake village without its inhabitants: a neutral area that a march takes without a battle.
std::string EmptyLakeVillage(std::string areas)
{
	const std::size_t area = areas.find("<Area id=\"A06\">");
	const std::size_t from = areas.find("<Inhabit>", area);
	const std::size_t to = areas.find("</Inhabit>", from);
	if (area == std::string::npos || from == std::string::npos || to == std::string::npos)
		return areas;
	return areas.replace(from, to + 10 - from, "<Inhabit/>");
}

// From the start menu through scenario, chapter, level and master select to leon's first turn.
void StartAsLeon(TPlay& play)
{
	TPlayer& player = play.Player();
	ASSERT_TRUE(player.WaitFor("start_menu", [](const TShot& shot) { return shot.Colours({350, 264, 96, 24}) > 4; }));
	ASSERT_TRUE(play.PressAndSee("scenario_select", 400, 276, {110, 88, 240, 150}));
	ASSERT_TRUE(play.PressAndSee("chapters", 200, 95, {375, 88, 285, 30}));
	ASSERT_TRUE(play.PressAndSee("chapter_one", 440, 95, {378, 180, 240, 35}));
	ASSERT_TRUE(play.PressAndSee("level_one", 401, 207, {394, 200, 14, 14}, 0.02));
	ASSERT_TRUE(play.PressAndSee("master_select", 562, 511, {92, 44, 616, 290}));
	ASSERT_TRUE(play.PressAndSee("leon_chosen", 156, 95, {108, 44, 96, 96}, 0.004));
	ASSERT_TRUE(play.PressAndSee("opening", 583, 555, SCREEN_MIDDLE, 0.3));
	// The opening closes on a click; its timed message closes by itself.
	const TShot opening = player.Shot();
	play.Press(400, 300);
	ASSERT_TRUE(player.WaitForChange("opening_closed", opening, {160, 150, 100, 100}, 0.3));
	ASSERT_TRUE(player.WaitFor("first_turn", PlayerTurn));
}
}

TEST(WorldPlay, LeonLooksAtHisCharactersEndsHisTurnAndTheComputerMastersTakeTheirs)
{
	const auto started = std::chrono::steady_clock::now();
	TPlayFolder folder("world_play");
	folder.Write("morvaleth.ini", "[Window]\nWidth=800\nHeight=600\n[Watch]\nUse=0\n");
	const std::string areas = "Scenario/Default/Data/AreaData.xml";
	folder.Write(areas, EmptyLakeVillage(folder.Read(areas)));
	const std::string strategy = "Scenario/Default/Script/strategy.lua";
	folder.Write(strategy, PeacefulStrategy(folder.Read(strategy)));
	ASSERT_NE(folder.Read(strategy).find("ATTACK_MARGIN = 1000000"), std::string::npos);
	ASSERT_NE(folder.Read(areas).find("<Inhabit/>"), std::string::npos);
	TPlay play(folder, "world_play");
	TPlayer& player = play.Player();
	ASSERT_TRUE(player.Start());
	StartAsLeon(play);
	if (HasFatalFailure())
		return;
	const TShot firstTurn = player.Shot();
	// Leon's own area is shown with its characters.
	const int westChips = ChipCount(firstTurn);
	EXPECT_GT(westChips, 5);

	// Hover a chip: the short status shows in a bottom corner; a double click gives the full status,
	// a click on it closes it.
	player.MoveTo(ChipX(0), ChipY(0));
	EXPECT_TRUE(player.WaitFor("chip_hint", [](const TShot& shot) {
		return shot.ShareOf({12, 540, 150, 40}, PANE_BLUE, 8) > 0.4 || shot.ShareOf({632, 540, 150, 40}, PANE_BLUE, 8) > 0.4;
	}));
	player.DoubleClick(ChipX(0), ChipY(0));
	EXPECT_TRUE(player.WaitFor("full_status", [](const TShot& shot) { return shot.ShareOf({336, 180, 130, 70}, PANE_BLUE, 8) > 0.6; }));
	play.Press(400, 400);
	EXPECT_TRUE(player.WaitFor("full_status_closed", [](const TShot& shot) { return shot.ShareOf({336, 180, 130, 70}, PANE_BLUE, 8) < 0.3; }));

	// The turn ends; the computer masters act and leon's next turn comes with a new turn number.
	const TShot before = player.Shot();
	play.Press(TURN_END_BUTTON);
	EXPECT_TRUE(player.WaitFor("computer_turns", [](const TShot& shot) { return !PlayerTurn(shot); }));
	EXPECT_TRUE(player.WaitFor("second_turn", [&](const TShot& shot) {
		return PlayerTurn(shot) && shot.ChangedShare(before, CAPTION_TURN) > 0.01;
	}));
	const double played = player.SecondsSinceStart();
	player.Close();
	EXPECT_EQ(player.WaitForExit(), 0);
	const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
	std::printf("world play: %.1f s in the game, %.1f s wall time, peak memory %ld kB\n", played, wall,
		player.PeakKilobytes());
}
