#include "e2e/PlayDriver.h"
#include "e2e/Battle.h"
#include "e2e/World.h"

#include <gtest/gtest.h>
#include <algorithm>
#include <string>
#include <vector>

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

// From the start menu through scenario, the chapter of the row and master select (the first master)
// to the opening, which a click closes, and its message, which Return closes.
void StartChapter(TPlay& play, int chapterRow)
{
	TPlayer& player = play.Player();
	ASSERT_TRUE(play.StartToOpening(chapterRow, false));
	// The opening also ends by itself after a while: its message may come before the click.
	play.Press(400, 300);
	ASSERT_TRUE(player.WaitFor("opening_message", [&](const TShot& shot) { return ShowsDialog(player, shot); }));
	// Another message may follow at once: the script log tells that this one closed.
	player.Key("Return");
	ASSERT_TRUE(player.WaitForText("_lualog.txt", "開幕を表示しました。"));
}

bool Ending(const TShot& shot)
{
	return shot.ShareOf(ENDING_LEFT, world::DIALOG_GREY, 16) > 0.9;
}

// Return closes the ending message, and the program ends by itself.
void CloseTheEnding(TPlayer& player)
{
	player.Key("Return");
	EXPECT_EQ(player.WaitForExit(), 0);
}
}

TEST(BattlePlay, QuickEndTheEndlessAlliesEndTheGameRightAfterMasterSelect)
{
	TPlayFolder folder("quick_end");
	folder.Write("morvaleth.ini", INI);
	TPlay play(folder, "quick_end");
	TPlayer& player = play.Player();
	ASSERT_TRUE(player.Start());
	StartChapter(play, 3);
	if (HasFatalFailure())
		return;
	ASSERT_TRUE(player.WaitFor("ending", Ending));
	CloseTheEnding(player);
	EXPECT_NE(folder.Read("_lualog.txt").find("戦いが終わりました。"), std::string::npos);
	play.Report("quick end");
}

namespace
{
using namespace world;
const int WINDY_HILL[] = {AreaX(A02[0]), AreaY(A02[1])};

// Replaces the first text after the mark; the file stays as it was when either is missing.
std::string ReplaceAfter(std::string text, const std::string& mark, const std::string& from, const std::string& to)
{
	const std::size_t at = text.find(mark);
	const std::size_t found = at == std::string::npos ? at : text.find(from, at);
	return found == std::string::npos ? text : text.replace(found, from.size(), to);
}

// Drops the lines of a character's entry that name whom its master hires: a master's areas are
// filled at the start with a random pick of them.
std::string NoHirelings(std::string charas, const std::string& id)
{
	const std::size_t at = charas.find("<Character id=\"" + id + "\">");
	std::size_t end = charas.find("</Character>", at);
	for (std::size_t line = charas.find("\t\t<Employable>", at); line < end; line = charas.find("\t\t<Employable>", at)) {
		const std::size_t next = charas.find('\n', line) + 1;
		charas.erase(line, next - line);
		end -= next - line;
	}
	return charas;
}

// The chapter made certain: leon and his four against garm alone, slow, weak and thin-skinned, whom
// any blow fells; every spell of healing may be cast at once. The settings are the runs' own.
void PrepareTheHill(const TPlayFolder& folder)
{
	folder.Write("morvaleth.ini", INI);
	const std::string charas = "Scenario/Default/DefChar/CharacterData.xml";
	std::string text = NoHirelings(NoHirelings(folder.Read(charas), "leon"), "garm");
	const std::string garm = "<Character id=\"garm\">";
	text = ReplaceAfter(text, garm, "<HP value=\"110\"/>", "<HP value=\"1\"/>");
	text = ReplaceAfter(text, garm, "<PhysicalAttack value=\"28\"/>", "<PhysicalAttack value=\"1\"/>");
	text = ReplaceAfter(text, garm, "<PhysicalDefense value=\"20\"/>", "<PhysicalDefense value=\"1\"/>");
	folder.Write(charas, ReplaceAfter(text, garm, "<Speed value=\"12\"/>", "<Speed value=\"1\"/>"));
	const std::string script = "Scenario/Default/Script/battle.lua";
	folder.Write(script, ReplaceAfter(folder.Read(script), "function heal_condition()", "\n", "\n\tdo return true end\n"));
}
}

// Leon's army in the order the placement lists it.
const std::vector<std::string> ARMY = {"leon", "knight", "knight", "acolyte", "elwin"};

// Places the army one by one on the start points, which the map shows framed; the battle begins
// once all stand.
void PlaceTheArmy(TPlay& play)
{
	using namespace battle;
	TPlayer& player = play.Player();
	std::vector<TCell> points;
	const TShot shot = player.Shot();
	for (const TCell& cell : Cells())
		if (StartPoint(shot, cell))
			points.push_back(cell);
	const TCell garm = FindGarm(shot);
	ASSERT_NE(garm.X, -1);
	std::sort(points.begin(), points.end(),
		[&](const TCell& a, const TCell& b) { return Distance2(a, garm) < Distance2(b, garm); });
	ASSERT_GE(points.size(), ARMY.size());
	for (std::size_t i = 0; i < ARMY.size(); ++i) {
		const TCell cell = points[i];
		ASSERT_TRUE(play.PressAndSee("placed_" + ARMY[i], CellX(cell), CellY(cell), CellRect(cell), 0.2));
	}
}

// From the program's start through the hill's chapter to leon's first turn; his whole army marches on
// the hill and is placed: the battle begins.
void MarchOnTheHill(TPlay& play)
{
	TPlayer& player = play.Player();
	ASSERT_TRUE(player.Start());
	StartChapter(play, 2);
	if (::testing::Test::HasFatalFailure())
		return;
	ASSERT_TRUE(player.WaitFor("first_turn", PlayerTurn));
	// War on the hill: the caption asks for the target, the war window opens beside the map once the
	// hill is picked; leon's castle gives the army, all of it.
	ASSERT_TRUE(play.PressAndSee("war_asked", WAR_BUTTON[0], WAR_BUTTON[1], GUIDE_LINE, 0.1));
	ASSERT_TRUE(play.PressAndSee("war_window", WINDY_HILL[0], WINDY_HILL[1], SCREEN_MIDDLE, 0.1));
	// The war window stands below the hill: leon's army on its left, the attackers on its right.
	ASSERT_TRUE(play.PressAndSee("war_source", AreaX(A01[0]), AreaY(A01[1]), {358, 385, 200, 100}, 0.1));
	ASSERT_TRUE(play.PressAndSee("war_army", 397, 579, {582, 385, 200, 60}, 0.1));
	ASSERT_TRUE(play.PressAndSee("placement", 513, 579, [](const TShot& shot) { return shot.ShareOf(battle::MAP, 0x606080, 4) < 0.1 && battle::StartPoint(shot, {1, 2}); }));
	PlaceTheArmy(play);
}

// What the player has done in the battle.
struct TDone
{
	bool Move = false, Attack = false, Magic = false, Special = false;
};

// The pointer rests on the map, whose ground then shows under it; a wait clears it.
void Wait(TPlay& play, const std::string& name)
{
	using namespace battle;
	TPlayer& player = play.Player();
	// The pointer may rest there already, from the turn before: the ground then shows at once.
	player.MoveTo(CellX(RESTING_CELL), CellY(RESTING_CELL));
	ASSERT_TRUE(player.WaitFor(name + "_ground", GroundShown));
	ASSERT_TRUE(play.PressAndSee(name + "_waited", CommandX(WAIT), COMMAND_Y,
		[](const TShot& shot) { return !GroundShown(shot); }));
}

// Magic from the command bar: the magic window, then ヒール, whose name shows over the map.
void CastHeal(TPlay& play, const std::string& name)
{
	using namespace battle;
	ASSERT_TRUE(play.PressAndSee(name + "_magic_window", CommandX(MAGIC), COMMAND_Y, MagicWindow));
	ASSERT_TRUE(play.PressAndSee(name + "_heal", HEAL,
		[](const TShot& shot) { return !MagicWindow(shot) && SpecialNameShown(shot); }));
}

// Leon's special, 鬨の声, needs no aim: its name shows over the map at once.
void WarCry(TPlay& play, const std::string& name)
{
	using namespace battle;
	ASSERT_TRUE(play.PressAndSee(name + "_war_cry", CommandX(SPECIAL), COMMAND_Y, SpecialNameShown));
}

// A move: the shade leaves the reachable cells lit; the one nearest garm is chosen. The character
// stands there with the rest of its commands offered, the ground under the pointer cleared; when
// the nearest is its own cell, it stays and the commands come back as they were.
void MoveTowards(TPlay& play, const TShot& bar, const battle::TCell& garm, const std::string& name, bool& moved)
{
	using namespace battle;
	TPlayer& player = play.Player();
	ASSERT_TRUE(play.PressAndSee(name + "_reach", CommandX(MOVE), COMMAND_Y,
		[&](const TShot& shot) { return !CommandBar(shot) && CellsShaded(shot, bar, true).size() > 3; }));
	const TShot shaded = player.Shot();
	std::vector<TCell> lit = CellsShaded(shaded, bar, false);
	lit.erase(std::remove(lit.begin(), lit.end(), garm), lit.end());
	ASSERT_FALSE(lit.empty());
	const TCell to = *std::min_element(lit.begin(), lit.end(),
		[&](const TCell& a, const TCell& b) { return Distance2(a, garm) < Distance2(b, garm); });
	ASSERT_TRUE(play.PressAndSee(name + "_moved", CellX(to), CellY(to), CommandBar));
	const TShot after = player.Shot();
	moved = !GroundShown(after);
	if (moved) {
		EXPECT_GT(after.ChangedShare(shaded, CellRect(to)), 0.2);
	}
}

// An attack: the shade leaves garm's cell lit among the attacker's neighbours; the pointer on him
// shows him in place of the attacker, and a click on him starts the blows, the status line then
// showing nobody.
void AttackGarm(TPlay& play, const TShot& bar, const battle::TCell& garm, const std::string& name)
{
	using namespace battle;
	TPlayer& player = play.Player();
	ASSERT_TRUE(play.PressAndSee(name + "_aim", CommandX(ATTACK), COMMAND_Y, [&](const TShot& shot) {
		return !CommandBar(shot) && !Shaded(shot, bar, garm) && CellsShaded(shot, bar, false).size() < 10;
	}));
	ASSERT_TRUE(player.ActUntilChanged(name + "_garm_shown", [&] { player.MoveTo(CellX(garm), CellY(garm)); }, ACTOR_BOX, 0.05));
	ASSERT_TRUE(play.PressAndSee(name + "_attack", CellX(garm), CellY(garm),
		[](const TShot& shot) { return !ActorShown(shot) || Message(shot); }));
}

// One command for the character whose turn it is: the magic and leon's special first, a move
// towards garm once, then blows; a wait when nothing of that can be done.
void OneTurn(TPlay& play, const TShot& bar, int turn, TDone& done)
{
	using namespace battle;
	const std::string name = "turn" + std::to_string(turn);
	const TCell garm = FindGarm(bar);
	const bool seen = garm.X != -1;
	const bool ready = done.Magic && done.Special;
	if (!done.Magic && Enabled(bar, MAGIC)) {
		CastHeal(play, name);
		done.Magic = true;
	} else if (!done.Special && StatusLineWidth(bar) == LEON_LINE && Enabled(bar, SPECIAL)) {
		WarCry(play, name);
		done.Special = true;
	} else if (seen && ready && Enabled(bar, ATTACK)) {
		AttackGarm(play, bar, garm, name);
		done.Attack = true;
	} else if (seen && (ready || !done.Move) && Enabled(bar, MOVE) && !Enabled(bar, ATTACK)) {
		bool moved = false;
		MoveTowards(play, bar, garm, name, moved);
		done.Move = done.Move || moved;
		if (!moved && !::testing::Test::HasFatalFailure())
			Wait(play, name);
	} else {
		Wait(play, name);
	}
}

// Plays the player's turns until a message tells the battle's end.
void FightTheBattle(TPlay& play, TDone& done)
{
	using namespace battle;
	TPlayer& player = play.Player();
	for (int turn = 0;; ++turn) {
		ASSERT_LT(turn, 60);
		// Each command's own wait saw its effect, which hides the command bar: the bar shows again for
		// the character whose turn comes next, or for the one that moved, with the rest of its commands.
		ASSERT_TRUE(player.WaitFor("turn" + std::to_string(turn), [](const TShot& shot) { return CommandBar(shot) || Message(shot); }));
		const TShot shot = player.Shot();
		if (Message(shot))
			return;
		OneTurn(play, shot, turn, done);
		if (::testing::Test::HasFatalFailure())
			return;
	}
}

// The text of a message box, in the part every message of the sample covers.
const TRect MESSAGE_TEXT = {330, 266, 140, 24};

// Waits for a message on screen, closes it with Return and waits until it has gone or another stands
// in its place: one key closes one message.
void CloseMessage(TPlayer& player, const std::string& name)
{
	ASSERT_TRUE(player.WaitFor(name, battle::Message));
	ASSERT_TRUE(player.Act(name + "_closed", [&] { player.Key("Return"); }, [&](const TShot& shot) {
		return !battle::Message(shot) || shot.ChangedShare(player.Before(), MESSAGE_TEXT) > 0.02;
	}));
}

TEST(BattlePlay, PlayedEndLeonWinsTheWarOnTheHillAndTheGameEnds)
{
	TPlayFolder folder("played_end");
	PrepareTheHill(folder);
	TPlay play(folder, "played_end");
	TPlayer& player = play.Player();
	MarchOnTheHill(play);
	if (HasFatalFailure())
		return;
	TDone done;
	FightTheBattle(play, done);
	if (HasFatalFailure())
		return;
	EXPECT_TRUE(done.Move && done.Attack && done.Magic && done.Special);
	// Garm's death, leon's victory and garm's fall are told one by one, each closed with Return; the
	// hill is leon's. Once he ends his turn, the game is decided.
	for (const char* told : {"garm_died", "victory", "garm_fell"}) {
		CloseMessage(player, told);
		if (HasFatalFailure())
			return;
	}
	ASSERT_TRUE(player.WaitFor("leon_again", PlayerTurn));
	ASSERT_TRUE(play.PressAndSee("ending", TURN_END_BUTTON, Ending));
	CloseTheEnding(player);
	EXPECT_NE(folder.Read("_lualog.txt").find("戦いが終わりました。"), std::string::npos);
	play.Report("played end");
}

// 設定 opened while a character of leon's army waits for its command: the settings stay in front of the
// battle; 待機 is given the key W with 変更, which Cancel keeps (it is in force at once and reaches the file
// at the next OK). W pressed into the open window commands nobody: the same character still waits for its
// command once the window is closed, and W then makes it wait.
TEST(BattlePlay, AShortcutRecordedInABattleActsOnlyOnceTheSettingsAreClosed)
{
	using namespace battle;
	TPlayFolder folder("battle_shortcut");
	PrepareTheHill(folder);
	TPlay play(folder, "battle_shortcut");
	TPlayer& player = play.Player();
	MarchOnTheHill(play);
	if (HasFatalFailure())
		return;
	ASSERT_TRUE(player.WaitFor("commands", CommandBar));
	player.MoveTo(CellX(RESTING_CELL), CellY(RESTING_CELL));
	ASSERT_TRUE(player.WaitFor("ground", GroundShown));
	const int commanded = StatusLineWidth(player.Shot());

	const TSettingsScreen settings(player);
	ASSERT_TRUE(play.PressAndSee("settings", TWorldScreen(player).Settings(),
		[&](const TShot& shot) { return shot.ShareOf(settings.SpeedCell(2), CHOSEN_SPEED, 12) > 0.5; }));
	ASSERT_TRUE(play.PressAndSee("shortcut_tab", settings.ShortcutTab(), [&](const TShot& shot) {
		return shot.ShareOf(settings.SpeedCell(2), CHOSEN_SPEED, 12) < 0.1 && HasText(shot, settings.CommandRow(6));
	}));
	ASSERT_TRUE(play.PressAndSee("wait_chosen", settings.CommandRow(0), [&](const TShot& shot) {
		return shot.ShareOf(settings.CommandRow(0), SELECTED_ROW, 4) > 0.3 && HasText(shot, settings.KeyName());
	}));
	ASSERT_TRUE(play.PressAndSee("asks_for_a_key", settings.Change(),
		[&](const TShot& shot) { return shot.ChangedShare(player.Before(), settings.KeyName()) > 0.05; }));
	ASSERT_TRUE(player.Act("key_recorded", [&] { player.Key("w"); },
		[&](const TShot& shot) { return shot.ChangedShare(player.Before(), settings.KeyName()) > 0.05; }));

	player.Key("w");
	ASSERT_TRUE(play.PressAndSee("cancelled", settings.Cancel(), [&](const TShot& shot) {
		return shot.ChangedShare(player.Before(), settings.Window) > 0.3 && CommandBar(shot)
			&& StatusLineWidth(shot) == commanded && GroundShown(shot);
	}));
	ASSERT_TRUE(player.Act("waited_by_key", [&] { player.Key("w"); }, [](const TShot& shot) { return !GroundShown(shot); }));
	EXPECT_EQ(folder.Read("morvaleth.ini").find("Wait=119"), std::string::npos) << "written before an OK";
	player.Close();
	EXPECT_EQ(player.WaitForExit(), 0);
}
