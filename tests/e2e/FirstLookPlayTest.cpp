#include "e2e/PlayDriver.h"

#include <gtest/gtest.h>
#include <cstdio>

namespace
{
// The start menu is the only thing shown after start-up, centred: 116 x 120 pixels.
bool ShowsStartMenuAlone(const TPlayer& player, const TShot& shot)
{
	const TRect menu = {(player.Width() - 116) / 2, (player.Height() - 120) / 2, 116, 120};
	// Right of the menu: the bare background (the frame-rate counter sits top-left).
	const TRect outside = {menu.X + menu.W + 4, 0, player.Width() - menu.X - menu.W - 4, player.Height()};
	return shot.Colours(menu) > 8 && shot.Colours(outside) == 1;
}

// Starts the program in the folder, waits for its start menu and closes its window;
// returns the seconds from the start to the start menu's first sight.
double StartAndClose(const TPlayFolder& folder, const std::string& run, long& peakKilobytes)
{
	TPlayer player(folder, run);
	EXPECT_TRUE(player.Start());
	EXPECT_TRUE(player.WaitFor("start_menu", [&](const TShot& shot) { return ShowsStartMenuAlone(player, shot); }));
	const double seconds = player.SecondsSinceStart();
	player.Close();
	EXPECT_EQ(player.WaitForExit(), 0);
	peakKilobytes = player.PeakKilobytes();
	return seconds;
}
}

// The first start in a new folder also draws the glyph sheet it keeps; the second reuses it.
TEST(FirstLook, TheProgramShowsItsStartMenuAloneAndEndsWhenItsWindowCloses)
{
	TPlayFolder folder("first_look");
	long firstPeak = 0;
	long secondPeak = 0;
	const double first = StartAndClose(folder, "first_look", firstPeak);
	EXPECT_NE(folder.Read("log.txt").find("global window ok."), std::string::npos);
	const double second = StartAndClose(folder, "first_look_again", secondPeak);
	std::printf("start-up to the start menu: first start %.3f s, second start %.3f s; peak memory %ld kB, %ld kB\n",
		first, second, firstPeak, secondPeak);
}
