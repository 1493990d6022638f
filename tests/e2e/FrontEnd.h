#ifndef MORVALETH_TESTS_E2E_FRONTEND_H
#define MORVALETH_TESTS_E2E_FRONTEND_H

// The front end as a person goes through it: the start menu, the scenario and master select up to
// the world map, the sample's opening, the save/load list and message dialogs, each awaited by the
// check of Screens.h that tells it on the screen.

#include "e2e/PlayDriver.h"
#include "e2e/Screens.h"
#include "e2e/World.h"

#include <gtest/gtest.h>
#include <chrono>
#include <string>

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
	bool See(const std::string& name, const TCheck& seen)
	{
		return m_Player.WaitFor(name, seen);
	}

	/// Clicks the middle of the rectangle and waits for its visible effect, which the screen before
	/// the click does not show.
	bool ClickAndSee(const TRect& rect, const std::string& name, const TCheck& seen)
	{
		const TPoint point = CentreOf(rect);
		return m_Player.Act(name, [&] { m_Player.Click(point.X, point.Y); }, seen);
	}

	/// Presses Return on a dialog and waits until it has gone.
	bool CloseDialog(const std::string& name)
	{
		return m_Player.Act(name, [&] { m_Player.Key("Return"); },
			[&](const TShot& shot) { return !ShowsDialog(m_Player, shot); });
	}

	/// The sample's opening after a new game or a load: its window, closed by a click, then its
	/// dialog, closed by Return; then the player's turn.
	bool PlayThroughOpening(const std::string& name)
	{
		const int before = Occurrences(m_Folder, "_lualog.txt", "開幕を表示しました。");
		if (!See(name + "_opening", [&](const TShot& shot) { return ShowsOpening(m_Player, shot); }))
			return false;
		// The opening also ends by itself after a while; then the click finds the dialog already there,
		// so the dialog may come before the click and is awaited as a screen that comes by itself.
		const TPoint opening = CentreOf(CentredWindow(m_Player, 480, 300));
		m_Player.Click(opening.X, opening.Y);
		if (!See(name + "_opening_dialog", [&](const TShot& shot) { return ShowsDialog(m_Player, shot); }))
			return false;
		return m_Player.Act(name + "_players_turn", [&] { m_Player.Key("Return"); }, [&](const TShot& shot) {
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
		return ClickAndSee(TStartMenuScreen(m_Player).NewGame(), name,
			[&](const TShot& shot) { return ShowsScenarioSelect(m_Player, shot); });
	}

	/// From the scenario select through the chapter, level and master select to the player's first
	/// turn, with the first master of the scenario at the given row.
	void ChapterToWorldMap(int scenarioRow)
	{
		const TScenarioSelectScreen select(m_Player);
		PickChapter(select, scenarioRow);
		ASSERT_TRUE(ClickAndSee(select.Level(3), "level_4",
			[&](const TShot& shot) { return LevelChosen(shot, select, 3) && !LevelChosen(shot, select, 2); }));
		const TMasterSelectScreen masters(m_Player);
		ASSERT_TRUE(ClickAndSee(select.Start(), "master_select",
			[&](const TShot& shot) { return ShowsMasterSelect(m_Player, shot); }));
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
		ASSERT_TRUE(m_Player.Act("master_hovered", [&] { m_Player.MoveTo(tile.X - 2, tile.Y); }, [&](const TShot& shot) {
			return HasText(shot, masters.Handle()) && HasText(shot, masters.Difficulty())
				&& HasText(shot, masters.Explanation());
		}));
		ASSERT_TRUE(ClickAndSee(masters.Tile(0), "master_chosen", [&](const TShot& shot) {
			return shot.ChangedShare(m_Player.Before(), masters.PlayerLabel(0)) > 0.02
				&& shot.ChangedShare(m_Player.Before(), masters.Start()) > 0.1;
		}));
	}

	/// From the program's start through the start menu and the first chapter of the first scenario, at the
	/// preset level, to its master select with the first master chosen: its 開始 starts the opening.
	void StartToFirstMasterChosen()
	{
		StartToMenu();
		ASSERT_TRUE(OpenScenarioSelect("scenario_select"));
		const TScenarioSelectScreen select(m_Player);
		PickChapter(select, 0);
		ASSERT_FALSE(::testing::Test::HasFatalFailure());
		const TMasterSelectScreen masters(m_Player);
		ASSERT_TRUE(ClickAndSee(select.Start(), "master_select",
			[&](const TShot& shot) { return ShowsMasterSelect(m_Player, shot); }));
		PickFirstMaster(masters);
	}

	/// Opens the save/load list through the system menu button and waits for it.
	bool OpenSlots(const TRect& button, const std::string& name)
	{
		const TSaveLoadScreen slots(m_Player);
		return ClickAndSee(button, name, [&](const TShot& shot) { return ListsSlots(slots, shot); });
	}

	/// Chooses a row of the save/load list and presses its 保存 or 読込: the list closes and the window
	/// shows what the check looks for.
	bool UseSlot(int slot, const std::string& name, const TCheck& then)
	{
		const TSaveLoadScreen slots(m_Player);
		return ClickAndSee(slots.Row(slot), name + "_row",
				   [&](const TShot& shot) { return shot.ShareOf(slots.Row(slot), SELECTED_ROW, 4) > 0.3; })
			&& ClickAndSee(slots.Ok(), name, [&](const TShot& shot) { return !ListsSlots(slots, shot) && then(shot); });
	}

	/// Closes the window and waits for the program to end; its peak memory.
	long CloseWindow()
	{
		m_Player.Close();
		EXPECT_EQ(m_Player.WaitForExit(), 0);
		return m_Player.PeakKilobytes();
	}

private:
	const TPlayFolder& m_Folder;
	TPlayer m_Player;
};
#endif
