// What a scenario's script puts on the real program's screen: an opening that shows a message of a million
// characters on one line. The dialog wraps it to the window, fills the window from its top left with as many
// lines as it holds, and keeps its OK button on screen, where a click lets the script go on.

#include "e2e/FrontEnd.h"

#include <gtest/gtest.h>

namespace
{
/// The message dialog of a text larger than the window, laid out as the dialog lays out any text: the text
/// pane 8 pixels in and 16 down in the dialog's pane (itself 2 in and 16 down), as wide as the window but for
/// a margin on each side, as many 16-pixel lines high as leave room for the button row; the OK button
/// centred 32 pixels below the text.
struct THugeDialogScreen
{
	explicit THugeDialogScreen(const TPlayer& player)
		: Width(player.Width() - 32), Lines((player.Height() - 16 - 32 - 32 - 24) / 16)
	{
	}
	TRect Line(int i) const { return {10, 32 + 16 * i, Width, 16}; }
	TRect Ok() const { return {2 + (Width + 16 - 56) / 2, 32 + 16 * Lines + 32, 56, 24}; }
	/// The dialog's body left of the button row.
	TRect BesideOk() const { return {10, Ok().Y, Ok().X - 20, Ok().H}; }
	int Width;
	int Lines;
};

bool ShowsHugeDialog(const THugeDialogScreen& dialog, const TShot& shot)
{
	return HasText(shot, dialog.Line(0)) && HasText(shot, dialog.Line(dialog.Lines - 1))
		&& HasText(shot, dialog.Ok()) && shot.ShareOf(dialog.BesideOk(), DIALOG_BODY, 4) > 0.9;
}
}

TEST(ScriptScreenPlay, AMessageOfAMillionCharactersWrapsAndItsOkButtonIsClicked)
{
	TPlayFolder folder("huge_dialog");
	folder.Write("Scenario/Default/Script/EventScript.lua",
		"function on_system_start()\n"
		"  api_dialog_show('Information', string.rep('\\130\\160', 1000000), BUTTON_OK)\n"
		"  while api_dialog_is_visible() do coroutine.yield() end\n"
		"  print_log('answered ' .. api_dialog_get_selected())\n"
		"  return true\n"
		"end\n"
		"function global_script() return true end\n");
	TFrontEndRun run(folder, "huge_dialog");
	run.StartToFirstMasterChosen();
	ASSERT_FALSE(::testing::Test::HasFatalFailure());
	TPlayer& player = run.Player();
	const TMasterSelectScreen masters(player);

	const THugeDialogScreen dialog(player);
	ASSERT_TRUE(run.ClickAndSee(masters.Start(), "huge_dialog",
		[&](const TShot& shot) { return ShowsHugeDialog(dialog, shot); }));
	ASSERT_TRUE(run.ClickAndSee(dialog.Ok(), "dialog_closed",
		[&](const TShot& shot) { return !ShowsHugeDialog(dialog, shot); }));
	EXPECT_TRUE(player.WaitForText("_lualog.txt", "answered 1"));
	EXPECT_EQ(1, Occurrences(folder, "log.txt", "EventScript.lua Line 2 : api_dialog_show のテキスト(2000000 バイト)"
		"は長すぎるため、1048576 バイトで切りました。"));
	run.CloseWindow();
}
