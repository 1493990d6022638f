#include "app/GameConfig.h"
#include "app/GameMaster.h"
#include "app/Logger.h"
#include "front/ConfigWindow.h"
#include "platform/FileSystem.h"
#include "support/TestSupport.h"

#include <SDL/SDL_keysym.h>
#include <gtest/gtest.h>
#include <guichan/actionevent.hpp>
#include <guichan/mouseevent.hpp>
#include <memory>
#include <string>
#include <vector>

namespace
{
/// The settings window over a configuration loaded from an INI text, in a scratch folder.
class ConfigWindowTest : public ::testing::Test
{
protected:
	/// Loads the text and builds the window, opened, its end noted.
	void Open(const std::string& ini)
	{
		WriteFile("morvaleth.ini", ini);
		m_Config.Load("morvaleth.ini");
		m_Window.reset(new TConfigWindow(m_Config, "morvaleth.ini"));
		m_Window->SetCloseHandler([this](bool accepted) { m_Closes.push_back(accepted); });
		m_Window->Open();
		g_GameMaster.ClearKeys();
	}

	/// What the player's press of a button does.
	static void Press(gcn::ActionListener& listener, gcn::Widget& button)
	{
		listener.action(gcn::ActionEvent(&button, ""));
	}

	void Ok() { Press(*m_Window, m_Window->m_Pane.m_OkButton); }
	void Cancel() { Press(*m_Window, m_Window->m_Pane.m_CancelButton); }
	TConfigWindowPane& WindowTab() { return m_Window->m_Pane.m_Window; }
	TConfigScreenPane& ScreenTab() { return m_Window->m_Pane.m_Screen; }
	TConfigBattlePane& BattleTab() { return m_Window->m_Pane.m_Battle; }
	TConfigShortcutPane& ShortcutTab() { return m_Window->m_Pane.m_Shortcut; }

	/// The value of a key in the written file, "" when absent.
	std::string Written(const std::string& section, const std::string& key)
	{
		TIniLoader file;
		std::string value;
		file.LoadFromFile("morvaleth.ini");
		file.GetString(section, key, value);
		return value;
	}

	TTempDir m_Dir;
	TScopedCwd m_Cwd{ m_Dir.Path() };
	TCapturedLog m_Log;
	TGameConfig m_Config;
	std::unique_ptr<TConfigWindow> m_Window;
	std::vector<bool> m_Closes;
};

void LeftPress(TSelectPane& pane, int x, int button = gcn::MouseEvent::LEFT)
{
	gcn::MouseEvent event(&pane, false, false, false, false, gcn::MouseEvent::PRESSED, button, x, 5, 1);
	pane.mousePressed(event);
}
}

TEST_F(ConfigWindowTest, SizeButtonsStepBySixteenWithinTheirBoundsOrSetAPreset)
{
	struct TCase
	{
		int width;
		int height;
		bool heightAxis;
		int button;
		int expected;
	};
	// Buttons: 0 "-", 1 to 3 the presets, 4 "+". Sizes are loaded as they stand, even outside the bounds.
	const TCase cases[] = {
		{ 800, 600, true, 0, 640 }, { 800, 600, true, 4, 616 }, { 800, 1590, true, 4, 1600 },
		{ 800, 1600, true, 4, 1600 }, { 800, 700, true, 0, 684 }, { 800, 600, true, 1, 640 },
		{ 800, 600, true, 3, 1024 }, { 1912, 600, false, 4, 1920 }, { 1920, 600, false, 4, 1920 },
		{ 650, 600, false, 0, 640 }, { 640, 600, false, 0, 640 }, { 2000, 600, false, 0, 1984 },
		{ 800, 600, false, 2, 1024 }, { 800, 600, false, 3, 1280 },
	};
	for (const TCase& c : cases) {
		SCOPED_TRACE(FormatText("%dx%d %s button %d", c.width, c.height, c.heightAxis ? "height" : "width", c.button));
		Open(FormatText("[Window]\nWidth=%d\nHeight=%d\n", c.width, c.height));
		Press(WindowTab(), (c.heightAxis ? WindowTab().m_HeightButtons : WindowTab().m_WidthButtons)[c.button]);
		EXPECT_EQ(c.expected, c.heightAxis ? WindowTab().m_Height : WindowTab().m_Width);
		Ok();
		EXPECT_EQ(std::to_string(c.expected), Written("Window", c.heightAxis ? "Height" : "Width"));
		EXPECT_EQ(c.expected, m_Config.GetIntValue(c.heightAxis ? CONFIG_HEIGHT : CONFIG_WIDTH));
	}
	// Pressed twice, "+" at 1912 stays at the bound.
	Open("[Window]\nWidth=1912\n");
	Press(WindowTab(), WindowTab().m_WidthButtons[4]);
	Press(WindowTab(), WindowTab().m_WidthButtons[4]);
	EXPECT_EQ(1920, WindowTab().m_Width);
}

TEST_F(ConfigWindowTest, EdgeCorrectionsStepByOneBetweenMinusAndPlusFour)
{
	const char* keys[4] = { "DrawRectangleSlideLeft", "DrawRectangleSlideRight", "DrawRectangleSlideTop",
		"DrawRectangleSlideBottom" };
	for (int edge = 0; edge < 4; ++edge) {
		SCOPED_TRACE(keys[edge]);
		Open(FormatText("[Screen]\n%s=3\n", keys[edge]));
		EXPECT_EQ(3, ScreenTab().m_Slides[edge]);
		Press(ScreenTab(), ScreenTab().m_PlusButtons[edge]);
		EXPECT_EQ(4, ScreenTab().m_Slides[edge]);
		Press(ScreenTab(), ScreenTab().m_PlusButtons[edge]);
		EXPECT_EQ(4, ScreenTab().m_Slides[edge]) << "4 stays 4";
		for (int i = 0; i < 10; ++i)
			Press(ScreenTab(), ScreenTab().m_MinusButtons[edge]);
		EXPECT_EQ(-4, ScreenTab().m_Slides[edge]);
		for (int other = 0; other < 4; ++other)
			EXPECT_TRUE(other == edge || ScreenTab().m_Slides[other] == 0) << other;
		Ok();
		EXPECT_EQ("-4", Written("Screen", keys[edge]));
	}
}

TEST_F(ConfigWindowTest, OkStoresEveryTabAndRewritesTheFileKeepingItsOtherLines)
{
	const std::string ini = "# my settings\n[Window]\nFPS=30\nWidth=1024\nHeight=768\n[Battle]\nAnimationSpeed=2\n"
							"TurnMax=12\n[Watch]\nUse=1\nOnlyMaster=1\n[Mixer]\nMusicEnabled=1\n";
	Open(ini);
	EXPECT_EQ(1, BattleTab().m_Speed.m_Selected);
	EXPECT_TRUE(BattleTab().m_Watch[0].isSelected());
	EXPECT_TRUE(BattleTab().m_Watch[2].isSelected());
	EXPECT_EQ(1024, WindowTab().m_Width);
	EXPECT_TRUE(m_Window->m_Pane.m_MusicSound.m_Music.isSelected());

	LeftPress(BattleTab().m_Speed, 0);
	BattleTab().m_Watch[4].setSelected(true);
	WindowTab().m_NoSwapInterval.setSelected(true);
	Press(ScreenTab(), ScreenTab().m_MinusButtons[2]);
	m_Window->m_Pane.m_MusicSound.m_Music.setSelected(false);
	m_Window->m_Pane.m_MusicSound.m_Sound.setSelected(true);
	Ok();

	EXPECT_EQ(std::vector<bool>{ true }, m_Closes);
	EXPECT_EQ(1, m_Config.GetIntValue(CONFIG_ANIMATION_SPEED)) << "cell 1 is the fastest";
	EXPECT_TRUE(m_Config.GetBoolValue(SWITCH_WATCH_MAX_SPEED));
	EXPECT_EQ(-1, m_Config.GetIntValue(CONFIG_SLIDE_TOP));
	const std::string written = ReadFile("morvaleth.ini");
	EXPECT_EQ(0u, written.find("# my settings\n[Window]\nFPS=30\nWidth=1024\nHeight=768\n")) << written;
	for (const char* line : { "AnimationSpeed=1\n", "TurnMax=12\n", "Use=1\n", "OnlyLarge=0\n", "OnlyMaster=1\n",
			 "MaxSpeed=1\n", "MusicEnabled=0\n", "SoundEnabled=1\n", "DisableSwapInterval=1\n",
			 "DrawRectangleSlideTop=-1\n" })
		EXPECT_NE(std::string::npos, written.find(line)) << line;
	EXPECT_EQ(ini, ReadFile("morvaleth.bak")) << "the old file is kept as the backup";
	EXPECT_FALSE(FileExists("tmp.txt"));
}

TEST_F(ConfigWindowTest, CancelLeavesTheConfigurationAndTheFileAsTheyWere)
{
	const std::string ini = "[Battle]\nAnimationSpeed=4\n[Screen]\nDrawRectangleSlideLeft=1\n";
	Open(ini);
	LeftPress(BattleTab().m_Speed, 0);
	BattleTab().m_Watch[0].setSelected(true);
	Press(WindowTab(), WindowTab().m_WidthButtons[3]);
	Press(ScreenTab(), ScreenTab().m_PlusButtons[0]);
	Cancel();
	EXPECT_EQ(std::vector<bool>{ false }, m_Closes);
	EXPECT_EQ(4, m_Config.GetIntValue(CONFIG_ANIMATION_SPEED));
	EXPECT_FALSE(m_Config.GetBoolValue(SWITCH_WATCH_USE));
	EXPECT_EQ(800, m_Config.GetIntValue(CONFIG_WIDTH));
	EXPECT_EQ(1, m_Config.GetIntValue(CONFIG_SLIDE_LEFT));
	EXPECT_EQ(ini, ReadFile("morvaleth.ini"));
	EXPECT_FALSE(FileExists("morvaleth.bak"));

	// Opened again, the controls show the configuration, not the dropped changes.
	m_Window->Open();
	EXPECT_EQ(3, BattleTab().m_Speed.m_Selected);
	EXPECT_EQ(800, WindowTab().m_Width);
	EXPECT_EQ(1, ScreenTab().m_Slides[0]);
}

TEST_F(ConfigWindowTest, ASpeedOutsideTheCellsSelectsNoneAndIsKeptOnOk)
{
	for (const char* speed : { "0", "6", "9", "-1" }) {
		SCOPED_TRACE(speed);
		m_Window.reset();
		Open(std::string("[Battle]\nAnimationSpeed=") + speed + "\n");
		EXPECT_EQ(-1, BattleTab().m_Speed.m_Selected);
		Ok();
		EXPECT_EQ(speed, Written("Battle", "AnimationSpeed")) << "never written as 0";
		EXPECT_EQ(std::atoi(speed), m_Config.GetIntValue(CONFIG_ANIMATION_SPEED));
	}
	// Once the player picks a cell, that speed is stored.
	LeftPress(BattleTab().m_Speed, 254);
	Ok();
	EXPECT_EQ("5", Written("Battle", "AnimationSpeed"));
}

TEST_F(ConfigWindowTest, WatchOptionsAreGreyedOutWhileWatchingIsOffButStillSaved)
{
	Open("[Watch]\nUse=0\nOnlyLarge=1\nNoNeutral=1\n");
	for (int i = 1; i < 5; ++i)
		EXPECT_FALSE(BattleTab().m_Watch[i].isEnabled()) << i;
	BattleTab().m_Watch[0].setSelected(true);
	Press(BattleTab(), BattleTab().m_Watch[0]);
	for (int i = 1; i < 5; ++i)
		EXPECT_TRUE(BattleTab().m_Watch[i].isEnabled()) << i;
	BattleTab().m_Watch[0].setSelected(false);
	Press(BattleTab(), BattleTab().m_Watch[0]);
	EXPECT_FALSE(BattleTab().m_Watch[3].isEnabled());
	Ok();
	EXPECT_EQ((std::vector<std::string>{ "0", "1", "0", "1", "0" }),
		(std::vector<std::string>{ Written("Watch", "Use"), Written("Watch", "OnlyLarge"), Written("Watch", "OnlyMaster"),
			Written("Watch", "NoNeutral"), Written("Watch", "MaxSpeed") }));
}

TEST_F(ConfigWindowTest, ANewShortcutKeyComesFromTheKeyQueueAndIsStoredAtOnce)
{
	Open("[Shortcut]\nMove=109\nAttack=97\n");
	TConfigShortcutPane& tab = ShortcutTab();
	EXPECT_EQ("", tab.m_KeyLabel.getCaption()) << "no command selected yet";
	tab.m_CommandList.setSelected(1);
	EXPECT_EQ("M", tab.m_KeyLabel.getCaption());
	EXPECT_FALSE(tab.m_CancelButton.isEnabled());

	// A key pressed before "変更" does not count.
	g_GameMaster.PushKey(SDLK_q);
	Press(tab, tab.m_ChangeButton);
	EXPECT_EQ("キーを押して下さい", tab.m_KeyLabel.getCaption());
	EXPECT_TRUE(tab.m_CancelButton.isEnabled());
	m_Window->m_Pane.logic();
	EXPECT_TRUE(tab.IsWaiting()) << "the queue was emptied";

	g_GameMaster.PushKey(SDLK_F5);
	g_GameMaster.PushKey(SDLK_z);
	m_Window->m_Pane.logic();
	EXPECT_FALSE(tab.IsWaiting());
	EXPECT_EQ("F5", tab.m_KeyLabel.getCaption());
	EXPECT_FALSE(tab.m_CancelButton.isEnabled());
	EXPECT_EQ(SDLK_F5, m_Config.GetShortcut(SHORTCUT_MOVE));
	int key = 0;
	EXPECT_TRUE(g_GameMaster.PeekKey(key) && key == SDLK_z) << "only one key is taken";

	// Stored at once: Cancel keeps it, and the next OK writes it.
	Cancel();
	EXPECT_EQ(SDLK_F5, m_Config.GetShortcut(SHORTCUT_MOVE));
	EXPECT_EQ("109", Written("Shortcut", "Move"));
	m_Window->Open();
	Ok();
	EXPECT_EQ("286", Written("Shortcut", "Move"));
	EXPECT_EQ("97", Written("Shortcut", "Attack"));
}

TEST_F(ConfigWindowTest, CancellingTheWaitOrClosingTheWindowLeavesTheKeyAndTheQueue)
{
	Open("[Shortcut]\nWait=32\n");
	TConfigShortcutPane& tab = ShortcutTab();
	tab.m_CommandList.setSelected(0);

	Press(tab, tab.m_ChangeButton);
	Press(tab, tab.m_CancelButton);
	EXPECT_FALSE(tab.IsWaiting());
	EXPECT_EQ("SPACE", tab.m_KeyLabel.getCaption()) << "the command's key again";
	g_GameMaster.PushKey(SDLK_x);
	m_Window->m_Pane.logic();
	EXPECT_EQ(SDLK_SPACE, m_Config.GetShortcut(SHORTCUT_WAIT));

	// Closed while waiting, the hidden window takes no more keys: they are the game's.
	Press(tab, tab.m_ChangeButton);
	Ok();
	g_GameMaster.PushKey(SDLK_x);
	m_Window->m_Pane.logic();
	int key = 0;
	EXPECT_TRUE(g_GameMaster.PeekKey(key) && key == SDLK_x);
	EXPECT_EQ(SDLK_SPACE, m_Config.GetShortcut(SHORTCUT_WAIT));

	// Without a selected command a key ends the wait and is stored nowhere.
	g_GameMaster.ClearKeys();
	tab.m_CommandList.setSelected(-1);
	Press(tab, tab.m_ChangeButton);
	g_GameMaster.PushKey(SDLK_x);
	m_Window->m_Pane.logic();
	EXPECT_FALSE(tab.IsWaiting());
	EXPECT_EQ("", tab.m_KeyLabel.getCaption());
	for (int i = 0; i < SHORTCUT_COUNT; ++i)
		EXPECT_NE(SDLK_x, m_Config.GetShortcut(i)) << i;
}

TEST_F(ConfigWindowTest, WithoutAnOwnerTheWindowHidesItselfAndAFailedWriteIsReported)
{
	Open("");
	m_Window->SetCloseHandler(TConfigWindow::TCloseHandler());
	Cancel();
	EXPECT_FALSE(m_Window->isVisible());

	// The file's place is taken by a folder: nothing can be written there.
	m_Window.reset(new TConfigWindow(m_Config, "blocked"));
	CreateDirectories("blocked");
	m_Window->Open();
	Ok();
	EXPECT_FALSE(m_Window->isVisible());
	EXPECT_EQ(1, m_Log.CountLines(" Error TConfigWindow::WriteFile:")) << m_Log.Text();
	EXPECT_LE(1, m_Log.CountLines("blocked に設定を保存できませんでした。")) << "and shown in the message dialog";
}

TEST(KeyName, NamesEveryKeyOfTheTableAndNumbersTheRest)
{
	struct TCase
	{
		int key;
		const char* name;
	};
	const TCase cases[] = {
		{ 0, "設定無し" }, { 97, "A" }, { 122, "Z" }, { 48, "0" }, { 57, "9" }, { 256, "KP 0" }, { 265, "KP 9" },
		{ 282, "F1" }, { 296, "F15" }, { 8, "BS" }, { 9, "TAB" }, { 12, "CLEAR" }, { 13, "ENTER" }, { 19, "PAUSE" },
		{ 27, "ESC" }, { 32, "SPACE" }, { 127, "DEL" }, { 33, "!" }, { 47, "/" }, { 58, ":" }, { 64, "@" },
		{ 91, "[" }, { 96, "`" }, { 37, "keysym=37" }, { 266, "KP ." }, { 270, "KP +" }, { 271, "KP ENTER" },
		{ 272, "KP =" }, { 273, "UP" }, { 276, "LEFT" }, { 280, "PAGE UP" }, { 281, "PAGE DOWN" }, { 303, "RSHIFT" },
		{ 308, "LALT" }, { 300, "keysym=300" }, { 65, "keysym=65" }, { 123, "keysym=123" }, { 297, "keysym=297" },
		{ 309, "keysym=309" }, { -1, "keysym=-1" },
	};
	for (const TCase& c : cases)
		EXPECT_EQ(c.name, KeyName(c.key)) << c.key;
}

TEST(SelectPane, ALeftPressSelectsTheCellUnderTheMouse)
{
	TSelectPane pane({ "1", "2", "3", "4", "5" });
	pane.setSize(256, 24);
	struct TCase
	{
		int x;
		int button;
		int selected;
	};
	// Cells of 256 / 5 = 51 pixels; the last pixel column lies beyond the fifth.
	const TCase cases[] = { { 0, gcn::MouseEvent::LEFT, 0 }, { 50, gcn::MouseEvent::LEFT, 0 },
		{ 51, gcn::MouseEvent::LEFT, 1 }, { 254, gcn::MouseEvent::LEFT, 4 }, { 255, gcn::MouseEvent::LEFT, 4 },
		{ 60, gcn::MouseEvent::RIGHT, 4 }, { 110, gcn::MouseEvent::LEFT, 2 } };
	for (const TCase& c : cases) {
		LeftPress(pane, c.x, c.button);
		EXPECT_EQ(c.selected, pane.m_Selected) << c.x;
	}
	EXPECT_EQ(-1, pane.CellAt(255));
	// Narrower than its cells: no cell is under the mouse.
	pane.setSize(4, 24);
	LeftPress(pane, 0);
	EXPECT_EQ(2, pane.m_Selected);
	EXPECT_EQ(-1, pane.CellAt(0));
}
