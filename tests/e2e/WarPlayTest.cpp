#include "e2e/PlayDriver.h"
#include "e2e/World.h"

#include <gtest/gtest.h>

// Leon's wars and treaties on the world map of the sample's first chapter, in an 800 x 600 window:
// his march on the empty lake village, his alliance with ガルム, and ガルム's battle for the old ruins,
// watched to its end; each seen on the screen.

namespace
{
using namespace world;

const std::string AREAS = "Scenario/Default/Data/AreaData.xml";
const std::string CHAPTER = "Scenario/Default/Data/Scenario1.xml";
const std::string STRATEGY = "Scenario/Default/Script/strategy.lua";

// Watched battles of every kind at the highest speed, cut short after three turns; a timed message stays
// five seconds at 60 frames a second, long enough to be seen between two screenshots on a loaded machine,
// short enough to wait for.
const char* INI = "[Window]\nWidth=800\nHeight=600\n[GUI]\nMessageTimeoutFrame=300\n[Battle]\nTurnMax=3\n"
	"[Watch]\nUse=1\nOnlyLarge=0\nOnlyMaster=0\nNoNeutral=0\nMaxSpeed=1\n";

// The war window beside the map: its buttons along the bottom.
const int ALL_RIGHT_BUTTON[] = {397, 579};
const int CONFIRM_BUTTON[] = {513, 579};

// Replaces a text of a play-folder file; false when the file does not hold it.
bool Edit(const TPlayFolder& folder, const std::string& file, const std::string& from, const std::string& to)
{
	std::string text = folder.Read(file);
	const std::size_t at = text.find(from);
	if (at == std::string::npos)
		return false;
	folder.Write(file, text.replace(at, from.size(), to));
	return true;
}

// The play folder's chapter and strategy made certain: the lake village stands empty; the old ruins are in
// play, as a neutral area; every computer master accepts an alliance; and ガルム alone attacks, from the
// second turn on, a neutral area only, whatever its defence, so that no master ever attacks leon.
void PrepareWars(const TPlayFolder& folder)
{
	folder.Write("morvaleth.ini", INI);
	const std::string areas = folder.Read(AREAS);
	folder.Write(AREAS, WithoutInhabitants(areas, "A06"));
	ASSERT_NE(folder.Read(AREAS), areas);
	ASSERT_TRUE(Edit(folder, CHAPTER, "<Area id=\"A07\" master=\"\" ignore=\"true\"/>", "<Area id=\"A07\" master=\"\"/>"));
	ASSERT_TRUE(Edit(folder, STRATEGY, "return master_strength(proposer, areas) > master_strength(partner, areas)", "return true"));
	ASSERT_TRUE(Edit(folder, STRATEGY, "local function attack(me, areas)",
		"local function attack(me, areas)\n\tif me ~= \"garm\" or api_get_turn() < 2 then\n\t\treturn false\n\tend"));
	ASSERT_TRUE(Edit(folder, STRATEGY, "if is_enemy_area(me, areas[target]) then", "if areas[target].master == nil then"));
	ASSERT_TRUE(Edit(folder, STRATEGY, "local ATTACK_MARGIN = 1.2", "local ATTACK_MARGIN = 0"));
}

bool MessageShown(const TShot& shot)
{
	return shot.ShareOf({380, 290, 40, 20}, DIALOG_GREY, 8) > 0.8;
}

// Opens the master table and keeps it, then closes it.
TShot LookAtMasters(TPlay& play, const std::string& name)
{
	TPlayer& player = play.Player();
	EXPECT_TRUE(play.PressAndSee(name, MASTER_GRID_BUTTON[0], MASTER_GRID_BUTTON[1], SCREEN_MIDDLE, 0.1));
	const TShot table = player.Shot();
	EXPECT_TRUE(play.PressAndSee(name + "_closed", MASTER_TABLE_CLOSE[0], MASTER_TABLE_CLOSE[1], SCREEN_MIDDLE, 0.1));
	return table;
}

// War on the lake village with the whole army of the windy hill: the march, the victory message that
// closes by itself, and the village leon's, with the hill's characters.
void TakeTheLakeVillage(TPlay& play)
{
	TPlayer& player = play.Player();
	ASSERT_TRUE(play.PressAndSee("hill", AreaX(A02[0]), AreaY(A02[1]), AREA_NAME));
	const int army = ChipCount(player.Shot());
	ASSERT_GT(army, 0);
	ASSERT_TRUE(play.PressAndSee("village", AreaX(A06[0]), AreaY(A06[1]), AREA_NAME));
	const TShot neutral = player.Shot();
	EXPECT_EQ(ChipCount(neutral), 0);
	EXPECT_FALSE(OwnAreaShown(neutral));
	EXPECT_FALSE(LeonsFlag(neutral, A06));

	// The caption asks for the target; the war window opens beside the map once it is picked; the hill
	// gives its characters.
	ASSERT_TRUE(play.PressAndSee("war_asked", WAR_BUTTON[0], WAR_BUTTON[1], GUIDE_LINE, 0.1));
	ASSERT_TRUE(play.PressAndSee("war_window", AreaX(A06[0]), AreaY(A06[1]), {360, 560, 430, 30}, 0.2));
	ASSERT_TRUE(play.PressAndSee("war_source", AreaX(A02[0]), AreaY(A02[1]), {350, 360, 440, 40}, 0.02));
	ASSERT_TRUE(play.PressAndSee("war_army", ALL_RIGHT_BUTTON[0], ALL_RIGHT_BUTTON[1], {582, 400, 210, 80}, 0.05));
	// The march hides the player's windows until its message has closed by itself.
	EXPECT_TRUE(play.PressAndSee("victory", CONFIRM_BUTTON, [](const TShot& shot) { return MessageShown(shot) && !PlayerTurn(shot); }));
	EXPECT_TRUE(player.WaitFor("victory_closed", [](const TShot& shot) { return PlayerTurn(shot) && !MessageShown(shot); }));
	// The village, selected before the war, shows again as leon's own.
	EXPECT_TRUE(OwnAreaShown(player.Shot()));

	ASSERT_TRUE(play.PressAndSee("hill_left", AreaX(A02[0]), AreaY(A02[1]), AREA_NAME));
	EXPECT_EQ(ChipCount(player.Shot()), 0);
	ASSERT_TRUE(play.PressAndSee("village_taken", AreaX(A06[0]), AreaY(A06[1]), AREA_NAME));
	const TShot taken = player.Shot();
	EXPECT_EQ(ChipCount(taken), army);
	EXPECT_TRUE(OwnAreaShown(taken));
	EXPECT_TRUE(LeonsFlag(taken, A06));
}

// Leon offers ガルム an alliance and ガルム accepts: the table shows its turns and leon's third area.
void AllyWithGarm(TPlay& play, const TShot& tableBefore)
{
	ASSERT_TRUE(play.PressAndSee("alliance_asked", ALLIANCE_BUTTON[0], ALLIANCE_BUTTON[1], GUIDE_LINE, 0.1));
	ASSERT_TRUE(play.PressAndSee("offer", AreaX(A03[0]), AreaY(A03[1]), SCREEN_MIDDLE, 0.05, MessageShown));
	ASSERT_TRUE(play.PressAndSee("answer", YES_BUTTON[0], YES_BUTTON[1], {200, 240, 400, 120}, 0.05, MessageShown));
	ASSERT_TRUE(play.PressAndSee("answer_closed", OK_BUTTON, [](const TShot& shot) { return PlayerTurn(shot) && !MessageShown(shot); }));
	const TShot tableAfter = LookAtMasters(play, "masters_allied");
	EXPECT_GT(tableAfter.ChangedShare(tableBefore, MasterGridAlliance(GARM_ROW)), 0.01);
	EXPECT_GT(tableAfter.ChangedShare(tableBefore, MasterGridAreaCount(LEON_ROW)), 0.01);
}
}

TEST(WarPlay, LeonTakesTheLakeVillageAlliesWithGarmAndWatchesGarmFightForTheRuins)
{
	TPlayFolder folder("war_play");
	PrepareWars(folder);
	if (HasFatalFailure())
		return;
	TPlay play(folder, "war_play");
	TPlayer& player = play.Player();
	ASSERT_TRUE(player.Start());
	ASSERT_TRUE(play.StartAsLeon());
	const TShot tableBefore = LookAtMasters(play, "masters");
	TakeTheLakeVillage(play);
	if (HasFatalFailure())
		return;
	AllyWithGarm(play, tableBefore);
	if (HasFatalFailure())
		return;

	// The turn ends; in the next one ガルム marches on the ruins and the battle is watched to its end.
	const TShot before = player.Shot();
	EXPECT_TRUE(play.PressAndSee("battle", TURN_END_BUTTON, BattleWatched));
	EXPECT_TRUE(player.WaitFor("battle_over", [](const TShot& shot) { return !BattleWatched(shot); }));
	EXPECT_TRUE(player.WaitFor("second_turn", [&](const TShot& shot) {
		return PlayerTurn(shot) && shot.ChangedShare(before, CAPTION_TURN) > 0.01;
	}));
	// No master attacked leon: his castle, the hill and the village still fly his flag.
	const TShot secondTurn = player.Shot();
	for (const int* area : {A01, A02, A06})
		EXPECT_TRUE(LeonsFlag(secondTurn, area));
	player.Close();
	EXPECT_EQ(player.WaitForExit(), 0);
	play.Report("war play");
}
