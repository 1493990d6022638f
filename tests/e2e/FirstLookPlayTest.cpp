#include "e2e/PlayDriver.h"

#include <gtest/gtest.h>
#include <cstdio>

namespace
{
// The start menu is the only thing shown after start-up, centred: 116 x 120 pixels.
TRect StartMenu(const TPlayer& player)
{
	return {(player.Width() - 116) / 2, (player.Height() - 120) / 2, 116, 120};
}

bool ShowsStartMenu(const TPlayer& player, const TShot& shot)
{
	const TRect menu = StartMenu(player);
	// Right of the menu: the bare background (the frame-rate counter sits top-left).
	const TRect outside = {menu.X + menu.W + 4, 0, player.Width() - menu.X - menu.W - 4, player.Height()};
	return shot.Colours(menu) > 8 && shot.Colours(outside) == 1;
}
}

TEST(FirstLook, TheProgramShowsItsStartMenuAloneAndEndsWhenItsWindowCloses)
{
	TPlayFolder folder("first_look");
	TPlayer player(folder, "first_look");
	ASSERT_TRUE(player.Start());
	ASSERT_TRUE(player.WaitFor("start_menu", [&](const TShot& shot) { return ShowsStartMenu(player, shot); }));
	const double startup = player.SecondsSinceStart();
	EXPECT_NE(folder.Read("log.txt").find("global window ok."), std::string::npos);
	player.Close();
	EXPECT_EQ(player.WaitForExit(), 0);
	std::printf("start-up to the start menu: %.3f s; peak memory %ld kB\n", startup, player.PeakKilobytes());
}
