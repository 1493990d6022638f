#include "e2e/FrontEnd.h"

#include <boost/filesystem.hpp>
#include <gtest/gtest.h>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <sstream>

namespace
{
/// The save/load window's body and the face of a greyed-out button.
const TColour SLOTS_BODY = 0x808090;
const TColour DISABLED_FACE = 0x404040;

/// A settings file with lines that are neither sections nor keys, a NUL byte, a frame rate below 1
/// and a number beyond 32 bits.
std::string DamagedIni()
{
	return std::string("[Window]\nWidth=800\nHeight=600\nFPS=0\n%%% not a setting\n[GUI]\nDoubleClick")
		+ '\0' + "Frame=12\nMessageTimeoutFrame=99999999999\n";
}

/// A copy of the sample under another name and title whose area data is cut off in the middle.
void AddBrokenScenario(const TPlayFolder& folder)
{
	namespace fs = boost::filesystem;
	fs::copy(folder / "Scenario/Default", folder / "Scenario/Broken", fs::copy_options::recursive);
	folder.Write("Scenario/Broken/Scenario.xml",
		"<?xml version=\"1.0\" encoding=\"UTF-8\" ?>\n<Scenario><Title>Broken copy</Title></Scenario>\n");
	folder.Write("Scenario/Broken/Data/AreaData.xml", "<?xml version=\"1.0\" ?>\n<AreaList><Area id=\"A01\"><Na");
}

/// The sample's opening script with the lines put in after the anchor's line.
void AddToOpening(const TPlayFolder& folder, const std::string& anchor, const std::string& lines)
{
	const std::string script = "Scenario/Default/Script/EventScript.lua";
	std::string text = folder.Read(script);
	const std::size_t at = text.find(anchor);
	ASSERT_NE(at, std::string::npos);
	text.insert(at + anchor.size(), lines);
	folder.Write(script, text);
}

/// The sample's opening calls two engine functions with arguments of the wrong type first.
void AddWrongCalls(const TPlayFolder& folder)
{
	AddToOpening(folder, "local window = api_window_new()\n",
		"\tapi_scenario_get_area_allchara({})\n\tapi_window_set_titlebarheight(window, \"none\")\n");
}

/// Whether a line of the file holds both texts.
bool Names(const TPlayFolder& folder, const std::string& file, const std::string& text, const std::string& name)
{
	std::istringstream lines(folder.Read(file));
	std::string line;
	while (std::getline(lines, line))
		if (line.find(text) != std::string::npos && line.find(name) != std::string::npos)
			return true;
	return false;
}

/// Text in the part of a save row from the given offset on, the width long.
bool RowText(const TShot& shot, const TSaveLoadScreen& slots, int slot, int from, int width)
{
	const TRect row = slots.Row(slot);
	return HasText(shot, {row.X + from, row.Y, width, row.H});
}

/// The opening's wrong calls are warned of with the script's name, in the script log and the main log.
void ExpectWrongCallsNamed(const TPlayFolder& folder)
{
	const std::string script = "Default/Script/EventScript.lua";
	EXPECT_TRUE(Names(folder, "_lualog.txt", "api_scenario_get_area_allchara (Line 32) in", script));
	EXPECT_TRUE(Names(folder, "log.txt", "Line 33 : `anonymous-namespace'::api_window_set_titlebarheight", script));
}

/// The scenario select lists the broken copy (first by folder name) and the sample, not the unreadable
/// one; the broken copy's chapter is refused with an Error dialog, and the sample's reaches the world map.
void PlayPastTheBrokenScenarios(TFrontEndRun& run, const TPlayFolder& folder)
{
	TPlayer& player = run.Player();
	ASSERT_TRUE(run.OpenScenarioSelect("scenario_select"));
	const TScenarioSelectScreen select(player);
	EXPECT_TRUE(HasText(player.Shot(), select.ScenarioRow(1)));
	EXPECT_FALSE(HasText(player.Shot(), select.ScenarioRow(2)));
	EXPECT_TRUE(Names(folder, "log.txt", "XML Parse Error", "Unreadable/Scenario.xml"));
	run.PickChapter(select, 0);
	ASSERT_FALSE(::testing::Test::HasFatalFailure());
	ASSERT_TRUE(run.ClickAndSee(select.Start(), "broken_refused",
		[&](const TShot& shot) { return ShowsDialog(player, shot); }));
	EXPECT_TRUE(Names(folder, "log.txt", "XML parse error", "Broken/Data/AreaData.xml"));
	ASSERT_TRUE(run.CloseDialog("broken_dialog_closed"));
	run.ChapterToWorldMap(1);
}

/// Opens the load list with the button: the good save in slot 0 shows its date and summary, the damaged
/// slot 1 the short "互換性が無いか、破損したデータ", the empty slot 2 "データなし", on the window's own body.
/// Choosing slot 2 greys 読込 out; choosing slot 1 gives an Error dialog naming the file, above all else; once
/// its OK is clicked, the window shows what the check looks for.
void RefuseTheDamagedSlot(TFrontEndRun& run, const TPlayFolder& folder, const TRect& button,
	const std::string& name, const std::function<bool(const TShot&)>& goesOn)
{
	const TSaveLoadScreen slots(run.Player());
	ASSERT_TRUE(run.OpenSlots(button, name + "_list"));
	ASSERT_TRUE(run.See(name + "_rows", [&](const TShot& shot) {
		return RowText(shot, slots, 0, 300, 300) && RowText(shot, slots, 1, 150, 90)
			&& !RowText(shot, slots, 1, 300, 300) && !RowText(shot, slots, 2, 150, 400);
	}));
	EXPECT_TRUE(Names(folder, "log.txt", "XML parse error", "Save/save01.xml"));
	const TRect body = {slots.Window.X + 6, slots.Ok().Y, 270, 24};
	ASSERT_TRUE(run.ClickAndSee(slots.Row(2), name + "_empty_chosen", [&](const TShot& shot) {
		return shot.ShareOf(slots.Row(2), SELECTED_ROW, 4) > 0.3 && shot.ShareOf(slots.Ok(), DISABLED_FACE, 8) > 0.5
			&& shot.ShareOf(body, SLOTS_BODY, 8) > 0.95;
	}));
	ASSERT_TRUE(run.UseSlot(1, name + "_refused", [&](const TShot& shot) { return ShowsDialog(run.Player(), shot); }));
	EXPECT_TRUE(Names(folder, "log.txt", "を読み込めませんでした。", "Save/save01.xml"));
	ASSERT_TRUE(run.ClickAndSee(TMessageScreen(run.Player()).Ok(), name + "_dialog_closed",
		[&](const TShot& shot) { return !ShowsDialog(run.Player(), shot); }));
	ASSERT_TRUE(run.See(name + "_goes_on", goesOn));
}
}

// A damaged settings file, a scenario whose area data is broken, one whose title file is broken, a
// damaged save slot and an opening script that calls the engine wrongly: each is named in the logs,
// the broken ones are refused with an Error dialog, and the sample still plays, saves and loads, in
// the game and after a restart.
TEST(BadInputPlay, DamagedFilesAreNamedAndTheGameGoesOn)
{
	const double started = Seconds();
	TPlayFolder folder("bad_input");
	folder.Write("morvaleth.ini", DamagedIni());
	AddBrokenScenario(folder);
	folder.Write("Scenario/Unreadable/Scenario.xml", "<?xml version=\"1.0\" ?>\n<Scenario><Title>Unreadable</Ti");
	AddWrongCalls(folder);
	KeepThePeace(folder);
	ASSERT_FALSE(::testing::Test::HasFatalFailure());
	double startUp = 0;
	long peak = 0;
	{
		TFrontEndRun run(folder, "bad_input");
		startUp = run.StartToMenu();
		EXPECT_TRUE(Names(folder, "log.txt", "FPS=0 is below 1", "morvaleth.ini"));
		EXPECT_TRUE(Names(folder, "log.txt", "MessageTimeoutFrame=99999999999 is out of range", "morvaleth.ini"));
		EXPECT_TRUE(Names(folder, "log.txt", "line(s) from line 5 on", "morvaleth.ini"));
		PlayPastTheBrokenScenarios(run, folder);
		ASSERT_FALSE(::testing::Test::HasFatalFailure());
		ExpectWrongCallsNamed(folder);

		TPlayer& player = run.Player();
		const TWorldScreen world(player);
		ASSERT_TRUE(run.OpenSlots(world.Save(), "save_list"));
		ASSERT_TRUE(run.UseSlot(0, "saved", [&](const TShot& shot) { return ShowsPlayersTurn(player, shot); }));
		ASSERT_NE(folder.Read("Save/save00.xml").find("<Digest>"), std::string::npos);
		folder.Write("Save/save01.xml", "<?xml version=\"1.0\" ?>\n<MorvalethSave><Date>2026/01/0");
		const TShot firstTurn = player.Shot();
		RefuseTheDamagedSlot(run, folder, world.Load(), "load", [&](const TShot& shot) {
			return ShowsPlayersTurn(player, shot) && shot.ChangedShare(firstTurn, world.MasterName()) == 0.0;
		});
		ASSERT_FALSE(::testing::Test::HasFatalFailure());
		peak = run.CloseWindow();
	}
	TFrontEndRun again(folder, "bad_input_continue");
	again.StartToMenu();
	const TRect continueButton = TStartMenuScreen(again.Player()).Continue();
	RefuseTheDamagedSlot(again, folder, continueButton, "continue",
		[&](const TShot& shot) { return ShowsStartMenuAlone(again.Player(), shot); });
	ASSERT_FALSE(::testing::Test::HasFatalFailure());
	ASSERT_TRUE(again.OpenSlots(continueButton, "continue_list_again"));
	ASSERT_TRUE(again.UseSlot(0, "continued", [&](const TShot& shot) { return ShowsOpening(again.Player(), shot); }));
	ASSERT_TRUE(again.PlayThroughOpening("continued"));
	ExpectWrongCallsNamed(folder);
	peak = std::max(peak, again.CloseWindow());
	std::printf("bad input run: start-up to the start menu %.3f s, wall time %.1f s, peak memory %ld kB\n", startUp,
		Seconds() - started, peak);
}

/// A scenario whose opening script never lets go of the program.
struct TRunawayScript
{
	const char* name;
	/// The event script's whole text.
	const char* script;
};

class RunawayScriptPlay : public ::testing::TestWithParam<TRunawayScript>
{
};

/// Plays from the start menu to the start of the first chapter with the first master, which runs the opening
/// script's on_system_start.
void StartTheOpening(TFrontEndRun& run)
{
	run.StartToFirstMasterChosen();
	ASSERT_FALSE(::testing::Test::HasFatalFailure());
	const TPoint start = CentreOf(TMasterSelectScreen(run.Player()).Start());
	run.Player().Click(start.X, start.Y);
}

// An opening script that never returns, one that first takes the debug hooks away, and one that also
// leaves behind a finalizer that never returns: the window's close, sent while the script runs, still
// ends the program (the finalizer runs as the program closes the script), and the log names the
// script and the function.
TEST_P(RunawayScriptPlay, ClosingTheWindowQuits)
{
	const TRunawayScript& runaway = GetParam();
	TPlayFolder folder(std::string("runaway_") + runaway.name);
	folder.Write("Scenario/Default/Script/EventScript.lua", runaway.script);
	TFrontEndRun run(folder, std::string("runaway_") + runaway.name);
	StartTheOpening(run);
	ASSERT_FALSE(::testing::Test::HasFatalFailure());
	TPlayer& player = run.Player();
	player.Close();
	EXPECT_EQ(0, player.WaitForExit());
	EXPECT_TRUE(Names(folder, "log.txt", "の関数 on_system_start が失敗しました：", "Default/Script/EventScript.lua"));
	EXPECT_TRUE(Names(folder, "log.txt", "を超えたため実行を止めました。", "EventScript.lua"));
}

// Whichever bound comes first, the instructions or the time, says why it stopped the run in the same words.
INSTANTIATE_TEST_SUITE_P(BadInputPlay, RunawayScriptPlay,
	::testing::Values(
		TRunawayScript{"loop",
			"function on_system_start() local t = {} while true do t[#t % 100 + 1] = tostring(#t) end end\n"},
		TRunawayScript{"unhooked", "function on_system_start() debug.sethook() while true do end end\n"},
		TRunawayScript{"finalizer",
			"function on_system_start() local p = newproxy(true) getmetatable(p).__gc = function() while true do end end "
			"kept = p debug.sethook() while true do end end\n"}),
	[](const ::testing::TestParamInfo<TRunawayScript>& info) { return std::string(info.param.name); });

namespace
{
/// Takes the write permissions off a folder and everything in it for the lifetime of the object.
class TUnwritableFolder
{
public:
	explicit TUnwritableFolder(const std::string& path) : m_Path(path) { SetWritable(false); }
	~TUnwritableFolder() { SetWritable(true); }

private:
	void SetWritable(bool writable) const
	{
		namespace fs = boost::filesystem;
		const fs::perms write = fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write;
		const fs::perms change = writable ? fs::perms::add_perms | fs::perms::owner_write : fs::perms::remove_perms | write;
		fs::permissions(m_Path, change);
		for (fs::recursive_directory_iterator it(m_Path), end; it != end; ++it)
			fs::permissions(it->path(), change);
	}

	std::string m_Path;
};
}

// A data folder the player may not write into, without glyph sheets: the game draws from sheets it keeps in
// memory, starts without a log, shows the start menu with its texts and quits cleanly.
TEST(BadInputPlay, AReadOnlyFolderWithoutGlyphSheetsStartsToTheMenu)
{
	namespace fs = boost::filesystem;
	TPlayFolder folder("read_only");
	for (const char* sheet : {"char16.png", "char12.png"})
		fs::remove(folder / sheet);
	const TUnwritableFolder unwritable(folder.Path());
	TFrontEndRun run(folder, "read_only");
	run.Player().StartWithoutWriteAccess();
	run.StartToMenu();
	const TStartMenuScreen menu(run.Player());
	const TShot shot = run.Player().Shot();
	for (const TRect& button : {menu.NewGame(), menu.Continue(), menu.Settings()})
		EXPECT_TRUE(HasText(shot, {button.X + 6, button.Y + 6, button.W - 12, button.H - 12}));
	EXPECT_FALSE(fs::exists(folder / "log.txt"));
	EXPECT_FALSE(fs::exists(folder / "char16.png"));
	run.CloseWindow();
}

// An opening script's os.exit, even one a pcall catches, ends the program as closing the window does: nothing
// crashes, the exit status is the one asked for, and the log names the script and the function.
TEST(BadInputPlay, AnOpeningScriptsExitEndsTheProgramWithItsStatus)
{
	TPlayFolder folder("script_exit");
	folder.Write("Scenario/Default/Script/EventScript.lua",
		"function on_system_start() pcall(os.exit, 3) while true do coroutine.yield() end end\n");
	TFrontEndRun run(folder, "script_exit");
	StartTheOpening(run);
	ASSERT_FALSE(::testing::Test::HasFatalFailure());
	EXPECT_EQ(3, run.Player().WaitForExit());
	EXPECT_TRUE(Names(folder, "log.txt", "の関数 on_system_start が os.exit(3) を呼んだため", "Default/Script/EventScript.lua"));
}

// An opening script that writes to a command that has ended, and keeps the pipe with a byte in its buffer: the
// write fails with Lua's error, which the script logs, the game plays on, and the window's close, which closes
// the pipe with the script, ends the program well. The megabyte fills the pipe, so the write waits until the
// command has ended and fails then, however long the command takes to end.
TEST(BadInputPlay, AScriptsWriteToACommandThatHasEndedFailsAndTheGamePlaysOn)
{
	TPlayFolder folder("broken_pipe");
	AddToOpening(folder, "function on_system_start()\n",
		"\tlocal pipe = io.popen('true', 'w')\n"
		"\tlocal written, reason = pipe:write(string.rep('x', 2^20))\n"
		"\tprint_log('pipe:', tostring(written), reason)\n"
		"\tpipe:write('x')\n"
		"\tkept_pipe = pipe\n");
	KeepThePeace(folder);
	ASSERT_FALSE(::testing::Test::HasFatalFailure());
	TFrontEndRun run(folder, "broken_pipe");
	run.StartToMenu();
	run.NewGameToWorldMap(0);
	ASSERT_FALSE(::testing::Test::HasFatalFailure());
	EXPECT_EQ(1, Occurrences(folder, "_lualog.txt", "pipe: nil Broken pipe"));
	run.CloseWindow();
}
