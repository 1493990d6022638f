#include "e2e/PlayDriver.h"
#include "e2e/World.h"

#include <gtest/gtest.h>
#include <algorithm>

// The player's first turns on the world map of the sample's first chapter, as leon, in an 800 x 600
// window: a character's hint and full status; a hire, a dismissal, a move between two areas and the
// standing orders; the three tables and the power map; the turn handed to the computer masters and back,
// with the heroes that leon's searches found offered and hired. Each is seen on the screen.

namespace
{
using namespace world;
const int SCREEN_MIDDLE_POINT[] = {400, 300};
// The strip above the system menu's buttons.
const int SYSTEM_MENU_TOP[] = {40, 494};

// The peaceful computer masters also make no offers of alliance, which would wait for leon's answer.
std::string QuietStrategy(std::string script)
{
	script = PeacefulStrategy(script);
	const std::string interval = "local ALLIANCE_INTERVAL = 4";
	const std::size_t at = script.find(interval);
	return at == std::string::npos ? script : script.replace(at, interval.size(), "local ALLIANCE_INTERVAL = 1000000");
}

// Leon's alliance with sera lasts: no message of its end stops one of his later turns.
std::string LastingAlliance(std::string chapter)
{
	const std::string term = "<Alliance id1=\"leon\" id2=\"sera\" turn=\"3\"/>";
	const std::size_t at = chapter.find(term);
	return at == std::string::npos ? chapter : chapter.replace(at, term.size(), "<Alliance id1=\"leon\" id2=\"sera\" turn=\"infinite\"/>");
}

// Leon commands soldiers only: his areas start full of them, always the same number.
std::string LeonCommandsSoldiers(std::string characters)
{
	const std::string others = "\t\t<Employable>knight</Employable>\n\t\t<Employable>archer</Employable>\n";
	const std::size_t at = characters.find(others, characters.find("<Character id=\"leon\">"));
	return at == std::string::npos ? characters : characters.erase(at, others.size());
}

// The sample's wandering heroes stay at home.
std::string StayAtHome(std::string characters, const std::string& id)
{
	const std::string head = "<Character id=\"" + id + "\">";
	const std::size_t at = characters.find(head);
	return at == std::string::npos ? characters : characters.insert(at + head.size(), "\n\t\t<NoWander flag=\"true\"/>");
}

// A crowd of wandering heroes, soldiers with names of their own who join for nothing: nearly every try of
// a hero search finds one, and leon, of their race, is never refused.
std::string WanderingSoldiers(std::string characters, int count)
{
	const std::string head = "<Character id=\"soldier\">";
	const std::size_t from = characters.find(head);
	const std::size_t to = characters.find("</Character>", from);
	const std::size_t end = characters.rfind("</CharacterList>");
	if (from == std::string::npos || to == std::string::npos || end == std::string::npos)
		return characters;
	// The soldier's definition without its head and its name.
	std::string body = characters.substr(from + head.size(), to + 12 - from - head.size());
	const std::string cost = "<EmployCost value=\"30\"/>";
	body.replace(body.find(cost), cost.size(), "<EmployCost value=\"0\"/>\n\t\t<Hero flag=\"true\"/>");
	const std::size_t name = body.find("<Name>") + 6;
	body.erase(name, body.find("</Name>") - name);
	std::string crowd;
	for (int i = 0; i < count; ++i) {
		const std::string id = "Wanderer" + std::to_string(i);
		crowd += "\t<Character id=\"" + id + "\">" + std::string(body).insert(name, id) + "\n";
	}
	return characters.insert(end, crowd);
}

// 雇用: leon hires a soldier through the employ window; his area shows one chip more.
void HireASoldier(TPlay& play)
{
	const TShot shot = play.Player().Shot();
	const int chips = ChipCount(shot);
	// Leon's chip is chosen since the double click on it.
	ASSERT_TRUE(ChipChosen(shot, 0) && ButtonUsable(shot, EMPLOY_BUTTON));
	ASSERT_TRUE(play.PressAndSee("employ_window", EMPLOY_BUTTON[0], EMPLOY_BUTTON[1], EMPLOY_WINDOW, 0.5));
	ASSERT_TRUE(play.PressAndSee("soldier_chosen", EMPLOY_ROW_X, EmployRowY(0), [](const TShot& shot) { return ButtonUsable(shot, HIRE_BUTTON); }));
	EXPECT_TRUE(play.PressAndSee("soldier_hired", HIRE_BUTTON, Chips(chips + 1)));
}

// 解雇: the last soldier of the area is dismissed once the question is answered; one chip fewer.
void DismissTheLastSoldier(TPlay& play)
{
	const int chips = ChipCount(play.Player().Shot());
	ASSERT_TRUE(play.PressAndSee("last_selected", ChipX(chips - 1), ChipY(chips - 1),
		[&](const TShot& shot) { return ChipChosen(shot, chips - 1) && ButtonUsable(shot, DISMISS_BUTTON); }));
	ASSERT_TRUE(play.PressAndSee("dismiss_question", DISMISS_BUTTON[0], DISMISS_BUTTON[1], DISMISS_QUESTION, 0.5));
	EXPECT_TRUE(play.PressAndSee("dismissed", DISMISS_OK, Chips(chips - 1)));
}

// The standing order of the shown area becomes the hero search, picked from the drop-down's list. Only
// searching areas find heroes: the heroes offered at the start of a later turn show that the order held.
void SearchForHeroes(TPlay& play, const std::string& area)
{
	ASSERT_TRUE(play.PressAndSee(area + "_orders", STANDING_ORDER_DROPDOWN[0], STANDING_ORDER_DROPDOWN[1],
		STANDING_ORDER_LIST, 0.3));
	EXPECT_TRUE(play.PressAndSee(area + "_searches", STANDING_ORDER_DROPDOWN[0], StandingOrderRowY(1),
		STANDING_ORDER, 0.05));
}

// 移動: a soldier of the western plain goes to the hill; the plain shows one chip fewer, the hill one more.
void MoveASoldierToTheHill(TPlay& play, int& plain, int& hill)
{
	TPlayer& player = play.Player();
	plain = ChipCount(player.Shot());
	ASSERT_TRUE(play.PressAndSee("move_asked", MOVE_BUTTON[0], MOVE_BUTTON[1], GUIDE_LINE, 0.1));
	ASSERT_TRUE(play.PressAndSee("move_window", AreaX(A02[0]), AreaY(A02[1]), MOVE_WINDOW, 0.3));
	const TShot window = player.Shot();
	EXPECT_EQ(PaneChipCount(window, MOVE_STAYING_A[0], MOVE_STAYING_A[1]), plain);
	hill = PaneChipCount(window, MOVE_STAYING_B[0], MOVE_STAYING_B[1]);
	ASSERT_TRUE(play.PressAndSee("soldier_marked", MoveChipX(plain - 1), MoveChipY(plain - 1), [](const TShot& shot) {
		return PaneChipCount(shot, MOVE_GOING_B[0], MOVE_GOING_B[1]) == 1;
	}));
	// The window closes and the plain shows one chip fewer; a click on the hill shows its chips.
	EXPECT_TRUE(play.PressAndSee("plain_after_move", MOVE_CONFIRM_BUTTON, [&](const TShot& shot) {
		return shot.ChangedShare(player.Before(), MOVE_WINDOW) > 0.3 && ChipCount(shot) == plain - 1;
	}));
	--plain;
	EXPECT_TRUE(play.PressAndSee("hill_after_move", AreaX(A02[0]), AreaY(A02[1]), AREA_NAME, 0.05, Chips(++hill)));
}

// The area, master and hero tables each open over the map and close with their own button; the power
// map closes on a click on it.
void LookAtTheTables(TPlay& play)
{
	TPlayer& player = play.Player();
	const struct {
		const char* name;
		const int* open;
		const int* close;
	} tables[] = {{"area_table", AREA_GRID_BUTTON, AREA_TABLE_CLOSE}, {"master_table", MASTER_GRID_BUTTON, MASTER_TABLE_CLOSE},
		{"hero_table", HERO_GRID_BUTTON, HERO_TABLE_CLOSE}, {"power_map", POWER_MAP_BUTTON, SCREEN_MIDDLE_POINT}};
	for (const auto& table : tables) {
		ASSERT_TRUE(play.PressAndSee(table.name, table.open[0], table.open[1], SCREEN_MIDDLE, 0.1));
		const TShot before = player.Before();
		EXPECT_TRUE(play.PressAndSee(std::string(table.name) + "_closed", table.close,
			[&](const TShot& shot) { return shot.ChangedShare(before, SCREEN_MIDDLE) < 0.02; }));
	}
}

// The player's turn with no message in the middle (such as the one telling that an alliance ended).
bool TurnReady(const TShot& shot)
{
	return PlayerTurn(shot) && shot.ShareOf(SCREEN_MIDDLE, DIALOG_GREY, 8) < 0.05;
}

// Leon's turns end until one begins with a hero found by his searches (almost always the next one):
// true once a hero is offered. The computer masters' first turn, with their marches, is kept as a shot
// when one catches it; any of their turns may pass between two screenshots on a busy machine, so leon's
// next turn is known by its new number.
bool EndTurnsUntilAHeroIsFound(TPlay& play)
{
	TPlayer& player = play.Player();
	for (int turn = 0; turn < 8; ++turn) {
		// The short status of the last character the pointer rested on may cover the system menu; it
		// moves to the other corner once the pointer comes over it.
		player.MoveTo(SYSTEM_MENU_TOP[0], SYSTEM_MENU_TOP[1]);
		if (!player.WaitFor("turn_ready", TurnReady))
			return false;
		const TShot ended = player.Shot();
		bool offered = false;
		const TCheck heroOrTurn = [&](const TShot& shot) {
			return (offered = HeroOffered(shot)) || (TurnReady(shot) && shot.ChangedShare(ended, CAPTION_TURN) > 0.01);
		};
		const TCheck computerOrNext = [&](const TShot& shot) { return !PlayerTurn(shot) || heroOrTurn(shot); };
		const bool seen = turn == 0
			? play.PressAndSee("computer_turns", TURN_END_BUTTON, computerOrNext) && player.WaitFor("hero_or_turn", heroOrTurn)
			: play.PressAndSee("hero_or_turn", TURN_END_BUTTON, heroOrTurn);
		if (!seen)
			return false;
		if (offered)
			return true;
	}
	return false;
}

// Leon hires each found hero, one window after the other, until his turn shows: how many he hired.
int HireTheFoundHeroes(TPlay& play)
{
	TPlayer& player = play.Player();
	TShot offer = player.Shot();
	for (int hired = 0;;) {
		bool next = false;
		// A hero that declines, or an area already full, is told in a message that closes by itself
		// before the next offer: that hero is not hired.
		bool refused = false;
		const bool seen = play.PressAndSee("hero_hired", HERO_HIRE_BUTTON, [&](const TShot& shot) {
			refused = refused || ShowsDialog(player, shot);
			next = HeroOffered(shot) && shot.ChangedShare(offer, HERO_NAME) > 0;
			if (next)
				offer = shot;
			return next || (PlayerTurn(shot) && !HeroOffered(shot) && !ShowsDialog(player, shot));
		});
		if (!seen)
			return -1;
		hired += refused ? 0 : 1;
		if (!next)
			return hired;
	}
}

}

TEST(WorldPlay, LeonCommandsHisAreasEndsHisTurnAndHiresTheHeroesHisSearchesFound)
{
	TPlayFolder folder("world_play");
	folder.Write("morvaleth.ini", "[Window]\nWidth=800\nHeight=600\n[Watch]\nUse=0\n");
	const std::string areas = "Scenario/Default/Data/AreaData.xml";
	folder.Write(areas, WithoutInhabitants(folder.Read(areas), "A06"));
	const std::string strategy = "Scenario/Default/Script/strategy.lua";
	folder.Write(strategy, QuietStrategy(folder.Read(strategy)));
	const std::string chapter = "Scenario/Default/Data/Scenario1.xml";
	folder.Write(chapter, LastingAlliance(folder.Read(chapter)));
	ASSERT_NE(folder.Read(strategy).find("ATTACK_MARGIN = 1000000"), std::string::npos);
	ASSERT_NE(folder.Read(strategy).find("ALLIANCE_INTERVAL = 1000000"), std::string::npos);
	ASSERT_NE(folder.Read(chapter).find("id2=\"sera\" turn=\"infinite\""), std::string::npos);
	ASSERT_NE(folder.Read(areas).find("<Inhabit/>"), std::string::npos);
	const std::string characters = "Scenario/Default/DefChar/CharacterData.xml";
	folder.Write(characters, WanderingSoldiers(StayAtHome(LeonCommandsSoldiers(folder.Read(characters)), "elwin"), 40));
	const std::string extra = "Scenario/Default/Extra/CharacterData.xml";
	folder.Write(extra, StayAtHome(folder.Read(extra), "kaya"));
	ASSERT_NE(folder.Read(characters).find("<Name>Wanderer39</Name>"), std::string::npos);
	ASSERT_NE(folder.Read(characters).find("<Employable>soldier</Employable>\n\t\t<BeastTamer>"), std::string::npos);
	TPlay play(folder, "world_play");
	TPlayer& player = play.Player();
	ASSERT_TRUE(player.Start());
	ASSERT_TRUE(play.StartAsLeon());
	const TShot firstTurn = player.Shot();
	// Leon's own area is shown with its characters: him, his knight and the soldiers his castle's
	// budget of 500 Ley for inhabitants buys at 30 Ley each.
	EXPECT_EQ(ChipCount(firstTurn), 18);

	// Hover a chip: the short status shows in a bottom corner (where the map's dark edge may stand
	// already); a double click gives the full status, a click on it closes it.
	const TRect fullStatus = {336, 180, 130, 70};
	EXPECT_TRUE(player.Act("chip_hint", [&] { player.MoveTo(ChipX(0), ChipY(0)); }, [&](const TShot& shot) {
		for (const TRect& corner : {TRect{12, 540, 150, 40}, TRect{632, 540, 150, 40}})
			if (shot.ShareOf(corner, PANE_BLUE, 8) > 0.4 && shot.ChangedShare(player.Before(), corner) > 0.2)
				return true;
		return false;
	}));
	EXPECT_TRUE(player.Act("full_status", [&] { player.DoubleClick(ChipX(0), ChipY(0)); },
		[&](const TShot& shot) { return shot.ShareOf(fullStatus, PANE_BLUE, 8) > 0.6; }));
	EXPECT_TRUE(play.PressAndSee("full_status_closed", 400, 400,
		[&](const TShot& shot) { return shot.ShareOf(fullStatus, PANE_BLUE, 8) < 0.3; }));

	HireASoldier(play);
	DismissTheLastSoldier(play);
	SearchForHeroes(play, "plain");
	LookAtTheTables(play);
	int plain = 0;
	int hill = 0;
	MoveASoldierToTheHill(play, plain, hill);
	SearchForHeroes(play, "hill");
	if (HasFatalFailure())
		return;

	// The turn ends and the computer masters act; a later turn of leon's begins with the heroes his
	// searches found, whom he hires into the plain or the hill, and comes with a new turn number.
	const TShot before = player.Shot();
	ASSERT_TRUE(EndTurnsUntilAHeroIsFound(play));
	const int hired = HireTheFoundHeroes(play);
	ASSERT_GE(hired, 0);
	EXPECT_TRUE(player.WaitFor("later_turn", [&](const TShot& shot) {
		return TurnReady(shot) && shot.ChangedShare(before, CAPTION_TURN) > 0.01;
	}));
	const int plainNow = ChipCount(player.Shot());
	ASSERT_TRUE(play.PressAndSee("hill_now", AreaX(A02[0]), AreaY(A02[1]), AREA_NAME));
	EXPECT_EQ(plainNow + ChipCount(player.Shot()), plain + hill + hired);
	player.Close();
	EXPECT_EQ(player.WaitForExit(), 0);
	play.Report("world play");
}
