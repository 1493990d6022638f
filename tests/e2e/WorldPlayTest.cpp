#include "e2e/PlayDriver.h"

#include <gtest/gtest.h>
#include <algorithm>
#include <chrono>
#include <cstdio>

// The player's first turns on the world map of the sample's first chapter, as leon, in an 800 x 600
// window: a character's hint and full status, and the turn handed to the computer masters and back,
// each seen on the screen.

namespace
{
const TColour PANE_BLUE = 0x000020;
const TColour BUTTON_GREY = 0x808080;

// The map pane's origin on the screen: an area's point (x, y) is clicked at (x + 132, y + 57).
int AreaX(int mapX)
{
	return mapX + 132;
}
int AreaY(int mapY)
{
	return mapY + 57;
}
// Points of the sample's areas on its field map.
const int A01[] = {80, 120};
const int A02[] = {240, 120};
const int A03[] = {400, 120};
const int A06[] = {240, 360};

// The area window's character chips: 5 a row, 40 pixels apart.
TRect ChipCell(int i)
{
	return {10 + 40 * (i % 5), 46 + 40 * (i / 5), 28, 28};
}
int ChipX(int i)
{
	return 24 + 40 * (i % 5);
}
int ChipY(int i)
{
	return 60 + 40 * (i / 5);
}
int ChipCount(const TShot& shot)
{
	int count = 0;
	for (int i = 0; i < 20; ++i)
		count += shot.ShareOf(ChipCell(i), PANE_BLUE, 8) < 0.8;
	return count;
}

// Buttons of the area window, the master window and the system menu.
const int MOVE_BUTTON[] = {258, 228};
const int EMPLOY_BUTTON[] = {258, 256};
const int DISMISS_BUTTON[] = {258, 284};
const int AREA_GRID_BUTTON[] = {138, 497};
const int MASTER_GRID_BUTTON[] = {138, 525};
const int HERO_GRID_BUTTON[] = {138, 553};
const int POWER_MAP_BUTTON[] = {138, 581};
const int ALLIANCE_BUTTON[] = {234, 497};
const int WAR_BUTTON[] = {234, 525};
const int TURN_END_BUTTON[] = {234, 553};
const TRect SAVE_BUTTON = {12, 507, 52, 20};
const TRect CAPTION_TURN = {650, 7, 125, 17};
const TRect AREA_NAME = {6, 30, 120, 14};
const TRect STANDING_ORDER = {12, 230, 96, 14};
const TRect SCREEN_MIDDLE = {200, 200, 400, 200};

// The player's turn: the system menu with its save button stands at the bottom left.
bool PlayerTurn(const TShot& shot)
{
	return shot.ShareOf(SAVE_BUTTON, BUTTON_GREY, 4) > 0.6 && shot.ShareOf(SAVE_BUTTON, 0xFFFFFF, 4) > 0.03;
}

class TWorldPlay
{
public:
	TWorldPlay(const TPlayFolder& folder) : m_Player(folder, "world_play") {}

	TPlayer& Player() { return m_Player; }

	// A person's hand reaches a button in a slide, not a jump: the last step lands on it.
	void Press(int x, int y)
	{
		m_Player.MoveTo(x - 2, y);
		m_Player.Click(x, y);
	}
	void Press(const int* point) { Press(point[0], point[1]); }
	void PressArea(const int* point) { Press(AreaX(point[0]), AreaY(point[1])); }

	// Presses and waits until the rectangle shows something else.
	bool PressAndSee(const std::string& name, int x, int y, const TRect& rect, double share = 0.05)
	{
		const TShot before = m_Player.Shot();
		Press(x, y);
		return m_Player.WaitForChange(name, before, rect, share);
	}

	bool WaitForChips(const std::string& name, int count)
	{
		return m_Player.WaitFor(name, [&](const TShot& shot) { return ChipCount(shot) == count; });
	}

private:
	TPlayer m_Player;
};

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

// The sample's computer masters with their attacks left out: an attack on one of leon's areas (which
// the random inhabitants of the first turn make likely) would need a battle fought by the player, which
// is another run's subject. They still hire, reinforce and seek alliances.
std::string PeacefulStrategy(std::string script)
{
	const std::string margin = "local ATTACK_MARGIN = 1.2";
	const std::size_t at = script.find(margin);
	return at == std::string::npos ? script : script.replace(at, margin.size(), "local ATTACK_MARGIN = 1000000");
}

// From the start menu through scenario, chapter, level and master select to leon's first turn.
void StartAsLeon(TWorldPlay& play)
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
	TWorldPlay play(folder);
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
