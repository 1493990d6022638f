#include "e2e/PlayDriver.h"
#include "e2e/Screens.h"
#include "e2e/World.h"

#include <gtest/gtest.h>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <sstream>

namespace
{
const TColour WHITE = 0xFFFFFF;
const TColour BLACK = 0x000000;

double Seconds()
{
	using namespace std::chrono;
	return duration<double>(steady_clock::now().time_since_epoch()).count();
}

/// How often the text occurs in the file of the play folder.
int Occurrences(const TPlayFolder& folder, const std::string& file, const std::string& text)
{
	const std::string all = folder.Read(file);
	int count = 0;
	for (std::size_t at = all.find(text); at != std::string::npos; at = all.find(text, at + text.size()))
		++count;
	return count;
}

/// The value of a key in a section of an INI text; "" when it is not there.
std::string IniValue(const std::string& ini, const std::string& section, const std::string& key)
{
	std::istringstream lines(ini);
	std::string line;
	std::string current;
	while (std::getline(lines, line)) {
		line.erase(std::remove_if(line.begin(), line.end(), [](char c) { return c == ' ' || c == '\r'; }), line.end());
		if (!line.empty() && line[0] == '[')
			current = line.substr(1, line.find(']') - 1);
		else if (current == section && line.compare(0, key.size() + 1, key + "=") == 0)
			return line.substr(key.size() + 1);
	}
	return std::string();
}

/// The play folder with the sample's computer masters kept from attacking: the new-game runs reach the
/// player's first turn on the world map, not a battle.
void KeepThePeace(const TPlayFolder& folder)
{
	const std::string strategy = "Scenario/Default/Script/strategy.lua";
	folder.Write(strategy, world::PeacefulStrategy(folder.Read(strategy)));
	ASSERT_NE(folder.Read(strategy).find("ATTACK_MARGIN = 1000000"), std::string::npos);
}

bool HasText(const TShot& shot, const TRect& rect)
{
	return shot.Colours(rect) > 1;
}

bool Checked(const TShot& shot, const TRect& box)
{
	return shot.ShareOf(box, WHITE, 60) > 0.2;
}

bool Unchecked(const TShot& shot, const TRect& box)
{
	return shot.ShareOf(box, BLACK, 40) > 0.6 && !Checked(shot, box);
}

/// A message dialog stands in the middle of the window.
bool ShowsDialog(const TPlayer& player, const TShot& shot)
{
	const TRect middle = {player.Width() / 2 - 100, player.Height() / 2 - 40, 200, 30};
	return shot.ShareOf(middle, DIALOG_BODY, 4) > 0.5;
}

/// Only the start menu shows, centred; the frame-rate counter sits top-left.
bool ShowsStartMenuAlone(const TPlayer& player, const TShot& shot)
{
	const TRect menu = TStartMenuScreen(player).Window;
	const TRect outside = {menu.X + menu.W + 4, 0, player.Width() - menu.X - menu.W - 4, player.Height()};
	return shot.Colours(menu) > 8 && shot.ShareOf(outside, BARE_BACKGROUND, 0) == 1.0;
}

/// The world map waits for the player: the system menu and the area window show, the caption names
/// the master and the turn.
bool ShowsPlayersTurn(const TPlayer& player, const TShot& shot)
{
	const TWorldScreen world(player);
	return HasText(shot, world.Save()) && shot.ShareOf({8, 100, 60, 100}, BARE_BACKGROUND, 0) < 0.5
		&& HasText(shot, world.MasterName()) && HasText(shot, world.Turn()) && !ShowsDialog(player, shot);
}

/// The opening window of the sample: a black window of 480 x 300 in the middle with a picture.
bool ShowsOpening(const TPlayer& player, const TShot& shot)
{
	const TRect window = CentredWindow(player, 480, 300);
	return shot.ShareOf({window.X + 4, window.Y + 2, 100, 6}, BLACK, 8) > 0.95
		&& shot.Colours({window.X + 120, window.Y + 12, 240, 120}) > 8;
}

class TFrontEndRun
{
public:
	TFrontEndRun(const TPlayFolder& folder, const std::string& run) : m_Folder(folder), m_Player(folder, run) {}

	TPlayer& Player() { return m_Player; }

	/// Starts the program and waits for its start menu; the seconds it took.
	double StartToMenu()
	{
		EXPECT_TRUE(m_Player.Start());
		EXPECT_TRUE(See("start_menu", [&](const TShot& shot) { return ShowsStartMenuAlone(m_Player, shot); }));
		return m_Player.SecondsSinceStart();
	}

	/// Waits until the window shows it; the name is the screenshot's.
	bool See(const std::string& name, const std::function<bool(const TShot&)>& seen)
	{
		return m_Player.WaitFor(name, seen);
	}

	/// Clicks the middle of the rectangle and waits for its visible effect.
	bool ClickAndSee(const TRect& rect, const std::string& name, const std::function<bool(const TShot&)>& seen)
	{
		const TPoint point = CentreOf(rect);
		m_Player.Click(point.X, point.Y);
		return See(name, seen);
	}

	/// Presses Return on a dialog and waits until it has gone.
	bool CloseDialog(const std::string& name)
	{
		m_Player.Key("Return");
		return See(name, [&](const TShot& shot) { return !ShowsDialog(m_Player, shot); });
	}

	/// The sample's opening after a new game or a load: its window, closed by a click, then its
	/// dialog, closed by Return; then the player's turn.
	bool PlayThroughOpening(const std::string& name)
	{
		const int before = Occurrences(m_Folder, "_lualog.txt", "開幕を表示しました。");
		if (!See(name + "_opening", [&](const TShot& shot) { return ShowsOpening(m_Player, shot); }))
			return false;
		// The opening also ends by itself after a while; then the click finds the dialog already there.
		if (!ClickAndSee(CentredWindow(m_Player, 480, 300), name + "_opening_dialog",
				[&](const TShot& shot) { return ShowsDialog(m_Player, shot); }))
			return false;
		m_Player.Key("Return");
		return See(name + "_players_turn", [&](const TShot& shot) {
			return Occurrences(m_Folder, "_lualog.txt", "開幕を表示しました。") > before && ShowsPlayersTurn(m_Player, shot);
		});
	}

	/// From the start menu through the scenario, chapter, level and master select to the player's
	/// first turn, with the first master of the scenario at the given row.
	void NewGameToWorldMap(int scenarioRow)
	{
		const TStartMenuScreen menu(m_Player);
		const TScenarioSelectScreen select(m_Player);
		ASSERT_TRUE(ClickAndSee(menu.NewGame(), "scenario_select",
			[&](const TShot& shot) { return shot.ShareOf(select.Explanation(), DARK_PANE, 4) > 0.95; }));
		PickChapter(select, scenarioRow);
		ASSERT_TRUE(ClickAndSee(select.Level(3), "level_4",
			[&](const TShot& shot) { return Chosen(shot, select, 3) && !Chosen(shot, select, 2); }));
		const TMasterSelectScreen masters(m_Player);
		ASSERT_TRUE(ClickAndSee(select.Start(), "master_select",
			[&](const TShot& shot) { return shot.Colours(masters.Tile(0)) > 8; }));
		PickFirstMaster(masters);
		ASSERT_TRUE(ClickAndSee(masters.Start(), "world_map",
			[&](const TShot& shot) { return ShowsOpening(m_Player, shot); }));
		ASSERT_TRUE(PlayThroughOpening("new_game"));
	}

	/// Clicks the scenario row and its first chapter: the explanation, "ゲームレベル" and the level
	/// radios appear.
	void PickChapter(const TScenarioSelectScreen& select, int scenarioRow)
	{
		ASSERT_TRUE(ClickAndSee(select.ScenarioRow(scenarioRow), "scenario_row",
			[&](const TShot& shot) { return shot.ShareOf(select.ScenarioRow(scenarioRow), SELECTED_ROW, 4) > 0.3; }));
		ASSERT_TRUE(ClickAndSee(select.ChapterRow(0), "chapter_row", [&](const TShot& shot) {
			return HasText(shot, select.Explanation()) && HasText(shot, select.LevelCaption())
				&& HasText(shot, select.Level(4));
		}));
	}

	/// Hovers over the first master's tile (its handle, difficulty and explanation show) and clicks
	/// it to make it the player's: "Player" shows in the tile and 開始 can be pressed.
	void PickFirstMaster(const TMasterSelectScreen& masters)
	{
		const TPoint tile = CentreOf(masters.Tile(0));
		m_Player.MoveTo(tile.X, tile.Y);
		ASSERT_TRUE(See("master_hovered", [&](const TShot& shot) {
			return HasText(shot, masters.Handle()) && HasText(shot, masters.Difficulty())
				&& HasText(shot, masters.Explanation());
		}));
		const TShot before = m_Player.Shot();
		ASSERT_TRUE(ClickAndSee(masters.Tile(0), "master_chosen", [&](const TShot& shot) {
			return shot.ChangedShare(before, masters.PlayerLabel(0)) > 0.02
				&& shot.ChangedShare(before, masters.Start()) > 0.1;
		}));
	}

	/// Opens the save/load list through the system menu button and waits for it.
	bool OpenSlots(const TRect& button, const std::string& name)
	{
		const TSaveLoadScreen slots(m_Player);
		return ClickAndSee(button, name, [&](const TShot& shot) { return ListsSlots(slots, shot); });
	}

	/// Chooses a row of the save/load list and presses its 保存 or 読込.
	bool UseSlot(int slot, const std::string& name, const std::function<bool(const TShot&)>& then)
	{
		const TSaveLoadScreen slots(m_Player);
		return ClickAndSee(slots.Row(slot), name + "_row",
				   [&](const TShot& shot) { return shot.ShareOf(slots.Row(slot), SELECTED_ROW, 4) > 0.3; })
			&& ClickAndSee(slots.Ok(), name, then);
	}

	/// Closes the window and waits for the program to end; its peak memory.
	long CloseWindow()
	{
		m_Player.Close();
		EXPECT_EQ(m_Player.WaitForExit(), 0);
		return m_Player.PeakKilobytes();
	}

	static bool ListsSlots(const TSaveLoadScreen& slots, const TShot& shot)
	{
		return HasText(shot, slots.Row(9)) && HasText(shot, slots.Ok());
	}

	static bool Chosen(const TShot& shot, const TScenarioSelectScreen& select, int level)
	{
		// A chosen level's diamond has a white ring around its black centre.
		const TRect diamond = {select.Level(level).X, select.Level(level).Y, 14, 16};
		return shot.ShareOf(diamond, WHITE, 40) > 0.05;
	}

private:
	const TPlayFolder& m_Folder;
	TPlayer m_Player;
};
}

// The battle settings a person changes are written to the INI at OK, and the settings window shows
// them again after the program has been closed and started anew.
TEST(FrontEndPlay, SettingsSurviveARestart)
{
	const double started = Seconds();
	TPlayFolder folder("front_settings");
	double startUp = 0;
	long peak = 0;
	{
		TFrontEndRun run(folder, "front_settings");
		startUp = run.StartToMenu();
		const TStartMenuScreen menu(run.Player());
		const TSettingsScreen settings(run.Player());
		ASSERT_TRUE(run.ClickAndSee(menu.Settings(), "settings", [&](const TShot& shot) {
			return shot.ShareOf(settings.SpeedCell(2), CHOSEN_SPEED, 12) > 0.5 && Unchecked(shot, settings.WatchBox(0));
		}));
		ASSERT_TRUE(run.ClickAndSee(settings.WatchBox(0), "watch_on", [&](const TShot& shot) {
			return Checked(shot, settings.WatchBox(0)) && Unchecked(shot, settings.WatchBox(4));
		}));
		ASSERT_TRUE(run.ClickAndSee(settings.WatchBox(4), "max_speed_on",
			[&](const TShot& shot) { return Checked(shot, settings.WatchBox(4)); }));
		ASSERT_TRUE(run.ClickAndSee(settings.SpeedCell(4), "speed_5", [&](const TShot& shot) {
			return shot.ShareOf(settings.SpeedCell(4), CHOSEN_SPEED, 12) > 0.5
				&& shot.ShareOf(settings.SpeedCell(2), CHOSEN_SPEED, 12) < 0.1;
		}));
		ASSERT_TRUE(run.ClickAndSee(settings.Ok(), "settings_accepted",
			[&](const TShot& shot) { return ShowsStartMenuAlone(run.Player(), shot); }));
		const std::string ini = folder.Read("morvaleth.ini");
		EXPECT_EQ(IniValue(ini, "Watch", "Use"), "1");
		EXPECT_EQ(IniValue(ini, "Watch", "MaxSpeed"), "1");
		EXPECT_EQ(IniValue(ini, "Watch", "OnlyLarge"), "0");
		EXPECT_EQ(IniValue(ini, "Battle", "AnimationSpeed"), "5");
		peak = run.CloseWindow();
	}
	TFrontEndRun again(folder, "front_settings_again");
	again.StartToMenu();
	const TSettingsScreen settings(again.Player());
	ASSERT_TRUE(again.ClickAndSee(TStartMenuScreen(again.Player()).Settings(), "settings_after_restart",
		[&](const TShot& shot) {
			return shot.ShareOf(settings.SpeedCell(4), CHOSEN_SPEED, 12) > 0.5 && Checked(shot, settings.WatchBox(0))
				&& Checked(shot, settings.WatchBox(4)) && Unchecked(shot, settings.WatchBox(1));
		}));
	ASSERT_TRUE(again.ClickAndSee(settings.Cancel(), "settings_cancelled",
		[&](const TShot& shot) { return ShowsStartMenuAlone(again.Player(), shot); }));
	peak = std::max(peak, again.CloseWindow());
	std::printf("settings run: start-up to the start menu %.3f s, wall time %.1f s, peak memory %ld kB\n", startUp,
		Seconds() - started, peak);
}

// A new game from the start menu to the world map, saved to a slot and loaded back through the
// system menu, and loaded once more with 続きから after a restart.
TEST(FrontEndPlay, NewGameSavedAndLoadedAgain)
{
	const double started = Seconds();
	TPlayFolder folder("front_new_game");
	KeepThePeace(folder);
	double startUp = 0;
	long peak = 0;
	{
		TFrontEndRun run(folder, "front_new_game");
		startUp = run.StartToMenu();
		TPlayer& player = run.Player();
		// 取消 on the scenario select leads back to the start menu.
		const TScenarioSelectScreen select(player);
		ASSERT_TRUE(run.ClickAndSee(TStartMenuScreen(player).NewGame(), "scenario_select_first",
			[&](const TShot& shot) { return shot.ShareOf(select.Explanation(), DARK_PANE, 4) > 0.95; }));
		ASSERT_TRUE(run.ClickAndSee(select.Cancel(), "scenario_select_cancelled",
			[&](const TShot& shot) { return ShowsStartMenuAlone(player, shot); }));
		run.NewGameToWorldMap(0);
		ASSERT_FALSE(::testing::Test::HasFatalFailure());
		const TWorldScreen world(player);
		const TShot firstTurn = player.Shot();
		ASSERT_TRUE(run.OpenSlots(world.Save(), "save_list"));
		const TSaveLoadScreen slots(player);
		ASSERT_TRUE(run.UseSlot(2, "saved", [&](const TShot& shot) { return ShowsPlayersTurn(player, shot); }));
		EXPECT_NE(folder.Read("Save/save02.xml").find("<Digest>"), std::string::npos);
		ASSERT_TRUE(run.OpenSlots(world.Load(), "load_list"));
		ASSERT_TRUE(run.See("load_list_holds_the_save", [&](const TShot& shot) {
			return HasText(shot, {slots.Row(2).X + 300, slots.Row(2).Y, 300, 16})
				&& !HasText(shot, {slots.Row(1).X + 200, slots.Row(1).Y, 300, 16});
		}));
		ASSERT_TRUE(run.UseSlot(2, "loaded", [&](const TShot& shot) { return ShowsOpening(player, shot); }));
		ASSERT_TRUE(run.PlayThroughOpening("loaded"));
		EXPECT_EQ(player.Shot().ChangedShare(firstTurn, world.MasterName()), 0.0);
		EXPECT_EQ(player.Shot().ChangedShare(firstTurn, world.Turn()), 0.0);
		peak = run.CloseWindow();
	}
	TFrontEndRun again(folder, "front_continue");
	again.StartToMenu();
	ASSERT_TRUE(again.OpenSlots(TStartMenuScreen(again.Player()).Continue(), "continue_list"));
	ASSERT_TRUE(again.UseSlot(2, "continued", [&](const TShot& shot) { return ShowsOpening(again.Player(), shot); }));
	ASSERT_TRUE(again.PlayThroughOpening("continued"));
	peak = std::max(peak, again.CloseWindow());
	std::printf("new game run: start-up to the start menu %.3f s, wall time %.1f s, peak memory %ld kB\n", startUp,
		Seconds() - started, peak);
}

// At a window of 1280 x 1024 set in the INI, the start menu stands in the middle, and the new game
// reaches the world map with its system menu at the bottom-left and its caption at the top-right.
TEST(FrontEndPlay, NewGameAtALargeWindow)
{
	const double started = Seconds();
	TPlayFolder folder("front_large");
	folder.Write("morvaleth.ini", "[Window]\nWidth=1280\nHeight=1024\n");
	KeepThePeace(folder);
	TFrontEndRun run(folder, "front_large");
	const double startUp = run.StartToMenu();
	ASSERT_EQ(run.Player().Width(), 1280);
	// The program keeps its window within the desktop: on a 1080-line screen it is a little lower.
	ASSERT_GE(run.Player().Height(), 960);
	ASSERT_LE(run.Player().Height(), 1024);
	run.NewGameToWorldMap(0);
	ASSERT_FALSE(::testing::Test::HasFatalFailure());
	const TSaveLoadScreen slots(run.Player());
	ASSERT_TRUE(run.OpenSlots(TWorldScreen(run.Player()).Save(), "save_list_large"));
	ASSERT_TRUE(run.ClickAndSee(slots.Cancel(), "save_list_closed",
		[&](const TShot& shot) { return ShowsPlayersTurn(run.Player(), shot) && !HasText(shot, slots.Row(9)); }));
	const long peak = run.CloseWindow();
	std::printf("large window run: start-up to the start menu %.3f s, wall time %.1f s, peak memory %ld kB\n",
		startUp, Seconds() - started, peak);
}
