#include "e2e/FrontEnd.h"

#include <gtest/gtest.h>
#include <algorithm>
#include <cstdio>
#include <sstream>

namespace
{
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

bool Checked(const TShot& shot, const TRect& box)
{
	return shot.ShareOf(box, WHITE, 60) > 0.2;
}

bool Unchecked(const TShot& shot, const TRect& box)
{
	return shot.ShareOf(box, BLACK, 40) > 0.6 && !Checked(shot, box);
}

/// A second scenario after the sample in folder order, "Many", of ten chapters (the sample's first under
/// other names), listed but never played.
void AddScenarioOfTenChapters(const TPlayFolder& folder)
{
	folder.Write("Scenario/Many/Scenario.xml",
		"<?xml version=\"1.0\" encoding=\"UTF-8\" ?>\n<Scenario><Title>Many chapters</Title></Scenario>\n");
	const std::string first = folder.Read("Scenario/Default/Data/Scenario1.xml");
	const std::size_t name = first.find("<Name>");
	ASSERT_NE(name, std::string::npos);
	const std::size_t length = first.find("</Name>", name) - name;
	for (int i = 1; i <= 10; ++i) {
		std::string chapter = first;
		chapter.replace(name, length, "<Name>Chapter " + std::to_string(i));
		folder.Write("Scenario/Many/Data/Scenario" + std::to_string(i) + ".xml", chapter);
	}
}

/// The chapter list shows a chapter in its fifth row: that of a scenario of more than four chapters.
bool FifthChapterListed(const TScenarioSelectScreen& select, const TShot& shot)
{
	return HasText(shot, select.ChapterRow(4));
}
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
		ASSERT_TRUE(run.OpenScenarioSelect("scenario_select_first"));
		ASSERT_TRUE(run.ClickAndSee(TScenarioSelectScreen(player).Cancel(), "scenario_select_cancelled",
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

// 保存 pressed while a loaded game's opening still shows: the slots stay over the map's windows when the
// player's turn comes up under them, the slot chosen then is written, and it loads.
TEST(FrontEndPlay, SavedWhileALoadedGamesOpeningShows)
{
	TPlayFolder folder("front_save_in_opening");
	KeepThePeace(folder);
	// The opening waits for its click, which the slots leave room for along its top.
	const std::string opening = "Scenario/Default/Script/OpeningText.lua";
	const std::string text = folder.Read(opening);
	const std::string wait = "opening.click_frames = 600";
	ASSERT_NE(text.find(wait), std::string::npos);
	folder.Write(opening, text.substr(0, text.find(wait)) + "opening.click_frames = 1000000"
		+ text.substr(text.find(wait) + wait.size()));
	TFrontEndRun run(folder, "front_save_in_opening");
	run.StartToMenu();
	TPlayer& player = run.Player();
	run.NewGameToWorldMap(0);
	ASSERT_FALSE(::testing::Test::HasFatalFailure());
	const TWorldScreen world(player);
	const TShot firstTurn = player.Shot();
	ASSERT_TRUE(run.OpenSlots(world.Save(), "save_list"));
	ASSERT_TRUE(run.UseSlot(2, "saved", [&](const TShot& shot) { return ShowsPlayersTurn(player, shot); }));
	ASSERT_TRUE(run.OpenSlots(world.Load(), "load_list"));
	ASSERT_TRUE(run.UseSlot(2, "loaded", [&](const TShot& shot) { return ShowsOpening(player, shot); }));

	ASSERT_TRUE(run.OpenSlots(world.Save(), "save_list_in_opening"));
	const TSaveLoadScreen slots(player);
	const TRect window = CentredWindow(player, 480, 300);
	ASSERT_LT(window.Y + 20, slots.Window.Y) << "the opening shows above the slots";
	ASSERT_TRUE(run.ClickAndSee({window.X, window.Y + 4, window.W, 16}, "opening_dialog",
		[&](const TShot& shot) { return ShowsDialog(player, shot); }));
	// The player's turn comes up under the slots: the area window would cover the rows' left part.
	ASSERT_TRUE(player.Act("players_turn_under_the_slots", [&] { player.Key("Return"); }, [&](const TShot& shot) {
		return ShowsPlayersTurn(player, shot) && ListsSlots(slots, shot)
			&& shot.ShareOf({slots.Row(0).X, slots.Row(0).Y, 240, 160}, BLACK, 8) > 0.6;
	}));
	ASSERT_TRUE(run.UseSlot(3, "saved_in_opening", [&](const TShot& shot) { return ShowsPlayersTurn(player, shot); }));
	ASSERT_TRUE(player.WaitForText("Save/save03.xml", "<Digest>"));
	ASSERT_TRUE(run.OpenSlots(world.Load(), "load_list_again"));
	ASSERT_TRUE(run.UseSlot(3, "loaded_again", [&](const TShot& shot) { return ShowsOpening(player, shot); }));
	ASSERT_TRUE(run.PlayThroughOpening("loaded_again"));
	EXPECT_EQ(player.Shot().ChangedShare(firstTurn, world.MasterName()), 0.0);
	EXPECT_EQ(player.Shot().ChangedShare(firstTurn, world.Turn()), 0.0);
	run.CloseWindow();
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
		[&](const TShot& shot) { return ShowsPlayersTurn(run.Player(), shot) && !ListsSlots(slots, shot); }));
	const long peak = run.CloseWindow();
	std::printf("large window run: start-up to the start menu %.3f s, wall time %.1f s, peak memory %ld kB\n",
		startUp, Seconds() - started, peak);
}

// The wheel moves the highlight of the list last clicked, and what is highlighted is what is chosen: the
// chapters of the scenario the wheel moved to, the explanation of the chapter it moved to, and the game
// 開始 starts (the sample's second chapter, whose master select offers three masters where the first offers
// two).
TEST(FrontEndPlay, TheWheelOverTheListsChoosesWhatItHighlights)
{
	TPlayFolder folder("front_wheel");
	AddScenarioOfTenChapters(folder);
	ASSERT_FALSE(::testing::Test::HasFatalFailure());
	TFrontEndRun run(folder, "front_wheel");
	run.StartToMenu();
	TPlayer& player = run.Player();
	ASSERT_TRUE(run.OpenScenarioSelect("scenario_select"));
	const TScenarioSelectScreen select(player);
	ASSERT_TRUE(run.ClickAndSee(select.ScenarioRow(1), "many_chapters", [&](const TShot& shot) {
		return shot.ShareOf(select.ScenarioRow(1), SELECTED_ROW, 4) > 0.3 && FifthChapterListed(select, shot);
	}));
	const TPoint scenario = CentreOf(select.ScenarioRow(1));
	ASSERT_TRUE(player.Act("wheel_to_the_sample", [&] { player.Click(scenario.X, scenario.Y, 4); }, [&](const TShot& shot) {
		return shot.ShareOf(select.ScenarioRow(0), SELECTED_ROW, 4) > 0.3 && HasText(shot, select.ChapterRow(3))
			&& !FifthChapterListed(select, shot);
	}));
	ASSERT_TRUE(run.ClickAndSee(select.ChapterRow(0), "first_chapter", [&](const TShot& shot) {
		return HasText(shot, select.Explanation()) && HasText(shot, select.Level(4));
	}));
	const TPoint chapter = CentreOf(select.ChapterRow(0));
	ASSERT_TRUE(player.Act("wheel_to_the_second_chapter", [&] { player.Click(chapter.X, chapter.Y, 5); },
		[&](const TShot& shot) {
			return shot.ShareOf(select.ChapterRow(1), SELECTED_ROW, 4) > 0.3
				&& shot.ChangedShare(player.Before(), select.Explanation()) > 0.01 && HasText(shot, select.Explanation());
		}));
	const TMasterSelectScreen masters(player);
	ASSERT_TRUE(run.ClickAndSee(select.Start(), "second_chapters_masters", [&](const TShot& shot) {
		return ShowsMasterSelect(player, shot) && shot.Colours(masters.Tile(2)) > 8;
	}));
	run.CloseWindow();
	EXPECT_EQ(Occurrences(folder, "log.txt", " Error "), 0) << folder.Read("log.txt");
}
