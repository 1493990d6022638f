#include "e2e/PlayDriver.h"
#include "e2e/Screens.h"

#include <gtest/gtest.h>
#include <cstdio>

namespace
{
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
