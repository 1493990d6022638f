#ifndef MORVALETH_TESTS_E2E_FRONTEND_H
#define MORVALETH_TESTS_E2E_FRONTEND_H

// The front end as a person goes through it: the start menu, the scenario and master select up to
// the world map, the sample's opening, the save/load list and message dialogs, with the checks that
// tell each of them on the screen.

#include "e2e/PlayDriver.h"
#include "e2e/Screens.h"
#include "e2e/World.h"

#include <gtest/gtest.h>
#include <chrono>
#include <string>

const TColour WHITE = 0xFFFFFF;
const TColour BLACK = 0x000000;

inline double Seconds()
{
	using namespace std::chrono;
	return duration<double>(steady_clock::now().time_since_epoch()).count();
}

/// How often the text occurs in the file of the play folder.
inline int Occurrences(const TPlayFolder& folder, const std::string& file, const std::string& text)
{
	const std::string all = folder.Read(file);
	int count = 0;
	for (std::size_t at = all.find(text); at != std::string::npos; at = all.find(text, at + text.size()))
		++count;
	return count;
}

/// The play folder with the sample's computer masters kept from attacking: the new-game runs reach the
/// player's first turn on the world map, not a battle.
inline void KeepThePeace(const TPlayFolder& folder)
{
	const std::string strategy = "Scenario/Default/Script/strategy.lua";
	folder.Write(strategy, world::PeacefulStrategy(folder.Read(strategy)));
	ASSERT_NE(folder.Read(strategy).find("ATTACK_MARGIN = 1000000"), std::string::npos);
}

inline bool HasText(const TShot& shot, const TRect& rect)
{
	return shot.Colours(rect) > 1;
}

/// A message dialog stands in the middle of the window.
inline bool ShowsDialog(const TPlayer& player, const TShot& shot)
{
	const TRect middle = {player.Width() / 2 - 100, player.Height() / 2 - 40, 200, 30};
	return shot.ShareOf(middle, DIALOG_BODY, 4) > 0.5;
}

/// Only the start menu shows, centred; the frame-rate counter sits top-left.
inline bool ShowsStartMenuAlone(const TPlayer& player, const TShot& shot)
{
	const TRect menu = TStartMenuScreen(player).Window;
	const TRect outside = {menu.X + menu.W + 4, 0, player.Width() - menu.X - menu.W - 4, player.Height()};
	return shot.Colours(menu) > 8 && shot.ShareOf(outside, BARE_BACKGROUND, 0) == 1.0;
}

/// The world map waits for the player: the system menu and the area window show, the caption names
/// the master and the turn.
inline bool ShowsPlayersTurn(const TPlayer& player, const TShot& shot)
{
	const TWorldScreen world(player);
	return HasText(shot, world.Save()) && shot.ShareOf({8, 100, 60, 100}, BARE_BACKGROUND, 0) < 0.5
		&& HasText(shot, world.MasterName()) && HasText(shot, world.Turn()) && !ShowsDialog(player, shot);
}

/// The opening window of the sample: a black window of 480 x 300 in the middle with a picture.
inline bool ShowsOpening(const TPlayer& player, const TShot& shot)
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
		ASSERT_TRUE(OpenScenarioSelect("scenario_select"));
		ChapterToWorldMap(scenarioRow);
	}

	/// Presses 新規ゲーム on the start menu and waits for the scenario select.
	bool OpenScenarioSelect(const std::string& name)
	{
		const TScenarioSelectScreen select(m_Player);
		return ClickAndSee(TStartMenuScreen(m_Player).NewGame(), name,
			[&](const TShot& shot) { return shot.ShareOf(select.Explanation(), DARK_PANE, 4) > 0.95; });
	}

	/// From the scenario select through the chapter, level and master select to the player's first
	/// turn, with the first master of the scenario at the given row.
	void ChapterToWorldMap(int scenarioRow)
	{
		const TScenarioSelectScreen select(m_Player);
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
		// The hover stands a little off the point clicked next: xdotool waits long for a move to
		// where the pointer already is.
		const TPoint tile = CentreOf(masters.Tile(0));
		m_Player.MoveTo(tile.X - 2, tile.Y);
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
#endif
