// The rules of the world map's windows that hold without a screen: where windows go at every screen
// size, the war army, the area commands, the hire list and the little counters.

#include "unit/GameFixture.h"
#include "app/Logger.h"
#include "model/MorvalethData.h"
#include "world/CharaListWindow.h"
#include "world/EmployWindow.h"
#include "world/MasterWindow.h"
#include "world/PowerMapWindow.h"
#include "world/WarCharaWindow.h"
#include "world/WorldWindowLayout.h"

#include <gtest/gtest.h>
#include <algorithm>
#include <tuple>

namespace
{
struct TScreen
{
	int width;
	int height;
};
const TScreen SCREENS[] = { { 800, 600 }, { 800, 640 }, { 1024, 768 }, { 1280, 1024 }, { 1920, 1080 } };

bool Inside(const gcn::Rectangle& window, const TScreen& screen)
{
	return window.x >= 0 && window.y >= 0 && window.x + window.width <= screen.width
		&& window.y + window.height <= screen.height;
}
}

TEST(WorldWindowLayout, TheViewScrollsToCentreThePointButNeverPastTheMap)
{
	struct
	{
		int point, view, maxScroll, expected;
	} const cases[] = {
		{ 10, 600, 200, 0 },	// near the top-left corner
		{ 400, 600, 200, 100 }, // inside: the point in the middle
		{ 790, 600, 200, 200 }, // near the bottom-right corner
		{ 500, 600, 0, 0 },		// a map smaller than the view never scrolls
		{ 500, 600, -5, 0 },
	};
	for (const auto& c : cases)
		EXPECT_EQ(c.expected, CenteredScroll(c.point, c.view, c.maxScroll)) << c.point << " " << c.maxScroll;
}

TEST(WorldWindowLayout, WindowsBesideTheMapOpenOnTheOtherHalfAndStayOnScreen)
{
	for (const TScreen& screen : SCREENS) {
		for (int width : { 200, 452, 540 }) {
			const int height = 300;
			const gcn::Rectangle onLeft = PlaceBesideMap(screen.width / 2 - 1, width, height, screen.width, screen.height);
			const gcn::Rectangle onRight = PlaceBesideMap(screen.width / 2, width, height, screen.width, screen.height);
			EXPECT_TRUE(Inside(onLeft, { screen.width, screen.height })) << screen.width << " " << width;
			EXPECT_TRUE(Inside(onRight, { screen.width, screen.height })) << screen.width << " " << width;
			// A point on the left opens the window on the right, and the other way round.
			EXPECT_GT(onLeft.x + onLeft.width / 2, screen.width / 2) << screen.width << " " << width;
			EXPECT_LT(onRight.x + onRight.width / 2, screen.width / 2) << screen.width << " " << width;
			EXPECT_EQ((screen.height - height) / 2, onLeft.y);
		}
	}
	// Where it fits, the window keeps 64 pixels from the centre line.
	EXPECT_EQ(640 + 64, PlaceBesideMap(100, 300, 200, 1280, 1024).x);
	EXPECT_EQ(640 - 300 - 64, PlaceBesideMap(900, 300, 200, 1280, 1024).x);
}

TEST(WorldWindowLayout, TheHintHangsBelowTheAreaAndFlipsAtTheEdges)
{
	struct
	{
		int x, y, expectedX, expectedY;
	} const cases[] = {
		{ 100, 100, 100, 140 }, // below the point
		{ 750, 100, 670, 140 }, // past the right edge: left by its width
		{ 100, 560, 100, 520 }, // past the bottom: up by its height and 40
		{ 750, 560, 670, 520 },
	};
	for (const auto& c : cases) {
		const gcn::Rectangle hint = PlaceHint(c.x, c.y, 80, 40, 800, 600);
		EXPECT_EQ(c.expectedX, hint.x) << c.x << "," << c.y;
		EXPECT_EQ(c.expectedY, hint.y) << c.x << "," << c.y;
	}
}

TEST(WorldWindowLayout, TheAreaAndMasterWindowsFitEveryScreenWithoutHidingWhatThePlayerNeeds)
{
	for (const TScreen& screen : SCREENS) {
		gcn::Rectangle area(0, 0, 292, 310);
		gcn::Rectangle master(0, 0, 208, 270);
		PlacePlayerWindows(area, master, screen.width, screen.height);
		const gcn::Rectangle menu(0, screen.height - SYSTEM_MENU_HEIGHT, SYSTEM_MENU_WIDTH, SYSTEM_MENU_HEIGHT);
		EXPECT_TRUE(Inside(area, screen)) << screen.width << "x" << screen.height;
		EXPECT_TRUE(Inside(master, screen)) << screen.width << "x" << screen.height;
		EXPECT_FALSE(master.isIntersecting(menu)) << screen.width << "x" << screen.height;
		EXPECT_GE(area.y, AREA_WINDOW_MIN_Y) << "below the map's caption line";
		// The master window covers at most the area window's last 8 pixels, where nothing is drawn.
		EXPECT_GE(master.y, area.y + area.height - 8) << screen.width << "x" << screen.height;
	}
	// With room to spare: the area window at its place and the master window right below it.
	gcn::Rectangle area(0, 0, 292, 310);
	gcn::Rectangle master(0, 0, 208, 270);
	PlacePlayerWindows(area, master, 1280, 1024);
	EXPECT_EQ(std::make_tuple(4, 48), std::make_tuple(area.x, area.y));
	EXPECT_EQ(std::make_tuple(4, 366), std::make_tuple(master.x, master.y));
}

TEST(WorldWindowLayout, ASecondClickOnTheSameRowSoonEnoughIsADoubleClick)
{
	// (frame, row, is a double click) in sequence, with a limit of 10 frames.
	const std::tuple<int, int, bool> clicks[] = {
		{ 100, 2, false }, { 105, 2, true },  // double click
		{ 106, 2, false },					  // starts anew after one
		{ 120, 2, false },					  // too late: a first click again
		{ 125, 3, false }, { 130, 2, false }, // another row restarts the detection
		{ 140, 2, true }, { 150, -1, false }, { 151, -1, false }, // no row never doubles
	};
	TDoubleClick detector;
	for (const auto& click : clicks)
		EXPECT_EQ(std::get<2>(click), detector.Click(std::get<0>(click), std::get<1>(click), 10))
			<< "frame " << std::get<0>(click);
}

TEST(WorldWindowLayout, TheFlagStepsEveryHalfSecondEvenAtAnAbsurdFrameRate)
{
	EXPECT_EQ(0, FlagFrame(29, 60));
	EXPECT_EQ(1, FlagFrame(30, 60));
	EXPECT_EQ(2, FlagFrame(30, 30));
	EXPECT_EQ(5, FlagFrame(5, 1)); // a frame rate under 2 counts as 2
	EXPECT_EQ(5, FlagFrame(5, 0));
}

TEST(WorldWindowLayout, ThePowerMapLegendIsAsWideAsItsLongestNameUpTo256)
{
	EXPECT_EQ(0, PowerMapLegendWidth({}, 12));
	EXPECT_EQ(12 * 8 / 2 + 20, PowerMapLegendWidth({ 4, 8, 6 }, 12));
	EXPECT_EQ(256, PowerMapLegendWidth({ 200 }, 12));
}

class WarArmyTest : public GameWorld
{
protected:
	WarArmyTest()
	{
		FillArea("A01", "soldier", 3);
		FillArea("A02", "soldier", 12);
		FillArea("A06", "soldier", 12);
		Charas("A02")[1].Actioned = true;
		army.Setup(game, Area("A03"));
	}

	/// Army pairs as (area id index, slot).
	std::vector<std::pair<int, int>> Pairs(std::initializer_list<std::pair<const char*, int>> list) const
	{
		std::vector<std::pair<int, int>> pairs;
		for (const auto& p : list)
			pairs.emplace_back(const_cast<WarArmyTest*>(this)->Area(p.first), p.second);
		return pairs;
	}

	TWarArmy army;
};

TEST_F(WarArmyTest, NothingJoinsWithoutASourceAreaAndActedCharactersNeverJoin)
{
	EXPECT_FALSE(army.Add(0));
	army.AddAll();
	EXPECT_TRUE(army.GetArmy().empty());
	EXPECT_EQ(nullptr, army.GetSourceMarks());

	army.SetSource(Area("A02"));
	EXPECT_FALSE(army.Add(1)) << "acted";
	EXPECT_TRUE(army.Add(3));
	EXPECT_FALSE(army.Add(3)) << "twice";
	EXPECT_FALSE(army.Add(12)) << "beyond the area";
	army.AddAll();
	EXPECT_EQ(11u, army.GetArmy().size()) << "everyone but the one who acted";
	EXPECT_EQ(0, (*army.GetSourceMarks())[1]);
	EXPECT_EQ(9, army.GetRemaining());
}

TEST_F(WarArmyTest, TheArmyIsSortedByAreaAndSlotAndCappedAtTwenty)
{
	army.SetSource(Area("A02"));
	army.Add(5);
	army.Add(0);
	army.SetSource(Area("A01"));
	army.Add(1);
	army.Add(0);
	EXPECT_EQ(Pairs({ { "A01", 0 }, { "A01", 1 }, { "A02", 0 }, { "A02", 5 } }), army.GetArmy());

	army.SetSource(Area("A02"));
	army.AddAll();
	army.SetSource(Area("A06"));
	army.AddAll();
	EXPECT_EQ(20u, army.GetArmy().size());
	EXPECT_EQ(0, army.GetRemaining());
	EXPECT_FALSE(army.Add(2)) << "full";
	for (size_t i = 1; i < army.GetArmy().size(); ++i)
		EXPECT_LT(army.GetArmy()[i - 1], army.GetArmy()[i]);
}

TEST_F(WarArmyTest, SendingBackTakesExactlyThatCharacterAndAllLeftEmptiesEveryArea)
{
	army.SetSource(Area("A01"));
	army.AddAll();
	army.SetSource(Area("A02"));
	army.AddAll();
	EXPECT_TRUE(army.Remove(Area("A02"), 4));
	EXPECT_FALSE(army.Remove(Area("A02"), 4));
	EXPECT_EQ(0, (*army.GetSourceMarks())[4]);
	EXPECT_TRUE(army.Add(4)) << "back on the left, it may join again";

	army.Clear();
	EXPECT_TRUE(army.GetArmy().empty());
	army.SetSource(Area("A01"));
	EXPECT_TRUE(army.Add(0)) << "the other area's choice was cleared too";
}

TEST_F(WarArmyTest, ThePaneGroupsTheArmyByAreaWithANameLineAboveEachGroup)
{
	EXPECT_EQ(60, army.GetPaneHeight());
	army.SetSource(Area("A01"));
	army.Add(0); // one character: one row
	army.SetSource(Area("A02"));
	for (int slot : { 0, 2, 3, 4, 5, 6 }) // six: two rows
		army.Add(slot);
	const std::vector<TWarArmy::TNameLine> names = army.GetNameLines();
	ASSERT_EQ(2u, names.size());
	EXPECT_EQ(Area("A01"), names[0].area);
	EXPECT_EQ(2, names[0].y);
	EXPECT_EQ(20 + 42, names[1].y);
	const std::vector<TWarArmy::TCell> cells = army.GetCells();
	ASSERT_EQ(7u, cells.size());
	EXPECT_EQ(20, cells[0].y);
	EXPECT_EQ(80, cells[1].y);
	EXPECT_EQ(160, cells[5].x);
	EXPECT_EQ(0, cells[6].x);
	EXPECT_EQ(120, cells[6].y);
	EXPECT_EQ(60 + 40 + 60, army.GetPaneHeight());
}

TEST_F(GameWorld, HireAndDismissAreUsableOnlyForASelectedCharacterThatHasNotActed)
{
	TAreaInstance& area = game.GetArea(Area("A01"));
	area.Charas[0].Actioned = true;
	Place("A01", "soldier");
	EXPECT_FALSE(AreaCommandsUsable(area, -1));
	EXPECT_FALSE(AreaCommandsUsable(area, 0));
	EXPECT_TRUE(AreaCommandsUsable(area, 1));
	EXPECT_FALSE(AreaCommandsUsable(area, static_cast<int>(area.Charas.size())));
}

TEST_F(GameWorld, HireCandidatesShowTheirCostAndSameRaceOnesCarryAMark)
{
	const TCharaData& soldier = Def("soldier");
	const TCharaData& wolf = Def("wolf");
	ASSERT_NE(soldier.Race, wolf.Race);
	TEmployListModel model;
	model.Set({ Chara("soldier"), Chara("wolf") }, soldier.Race, &SampleData());
	ASSERT_EQ(2, model.getNumberOfElements());
	EXPECT_EQ("同" + FormatText("%s　（費用%dLey）", soldier.Name, soldier.EmployCost), model.getElementAt(0));
	EXPECT_EQ(FormatText("%s　（費用%dLey）", wolf.Name, wolf.EmployCost), model.getElementAt(1));
	EXPECT_EQ("", model.getElementAt(2));
}

TEST_F(GameWorld, ACandidateCanBeHiredWhenItsCostIsAtMostTheFunds)
{
	const int cost = Def("soldier").EmployCost;
	TEmployWindow window;
	for (int funds : { cost - 1, cost, cost + 1 }) {
		window.Setup({ Chara("soldier") }, 0, funds, SampleData());
		EXPECT_FALSE(window.CanHireSelected()) << "nothing chosen";
		window.m_List.setSelected(0);
		EXPECT_EQ(funds >= cost, window.CanHireSelected()) << funds;
	}
	window.Setup({}, 0, 1000, SampleData());
	window.m_List.setSelected(0);
	EXPECT_EQ(-1, window.GetSelectedChara());
}

// "雇う" follows the candidate highlighted, whether a click, the wheel or a key moved the highlight.
TEST_F(GameWorld, HireIsUsableForTheHighlightedCandidateHoweverTheHighlightMoved)
{
	const int soldier = Def("soldier").EmployCost;
	const int wolf = Def("wolf").EmployCost;
	ASSERT_NE(soldier, wolf);
	TEmployWindow window;
	window.Setup({ Chara("soldier"), Chara("wolf") }, 0, std::min(soldier, wolf), SampleData());
	EXPECT_FALSE(window.m_HireButton.isEnabled()) << "nothing chosen";
	for (int row : { 0, 1, 0 }) {
		window.m_List.setSelected(row);
		EXPECT_EQ((row == 0 ? soldier : wolf) <= std::min(soldier, wolf), window.m_HireButton.isEnabled()) << row;
	}
}
