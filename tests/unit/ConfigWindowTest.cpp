#include "app/GameConfig.h"
#include "app/GameMaster.h"
#include "app/Logger.h"
#include "front/ConfigWindow.h"
#include "platform/FileSystem.h"
#include "support/TestSupport.h"

#include <SDL/SDL_keysym.h>
#include <gtest/gtest.h>
#include <functional>
#include <guichan/actionevent.hpp>
#include <guichan/mouseevent.hpp>
#include <memory>
#include <vector>

namespace
{
/// The settings window over a configuration loaded from an INI text, in a scratch folder.
class ConfigWindowTest : public ::testing::Test
{
protected:
	/// Loads the text and opens a new window on it; its ends are noted.
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
	TConfigPane& Pane() { return m_Window->m_Pane; }

	/// The value of a key in the written file, "" when absent.
	static std::string Written(const std::string& section, const std::string& key)
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

void PressAt(TSelectPane& pane, int x, int button = gcn::MouseEvent::LEFT)
{
	gcn::MouseEvent event(&pane, false, false, false, false, gcn::MouseEvent::PRESSED, button, x, 5, 1);
	pane.mousePressed(event);
}
}

TEST_F(ConfigWindowTest, SizesAndEdgeCorrectionsStepWithinTheirBounds)
{
	typedef std::function<gcn::Button&(TConfigPane&)> TButton;
	typedef std::function<gcn::ActionListener&(TConfigPane&)> TTab;
	const TTab windowTab = [](TConfigPane& p) -> gcn::ActionListener& { return p.m_Window; };
	const TTab screenTab = [](TConfigPane& p) -> gcn::ActionListener& { return p.m_Screen; };
	auto width = [](int i) { return TButton([i](TConfigPane& p) -> gcn::Button& { return p.m_Window.m_WidthButtons[i]; }); };
	auto height = [](int i) { return TButton([i](TConfigPane& p) -> gcn::Button& { return p.m_Window.m_HeightButtons[i]; }); };
	auto plus = [](int i) { return TButton([i](TConfigPane& p) -> gcn::Button& { return p.m_Screen.m_PlusButtons[i]; }); };
	auto minus = [](int i) { return TButton([i](TConfigPane& p) -> gcn::Button& { return p.m_Screen.m_MinusButtons[i]; }); };
	struct TCase
	{
		const char* ini;
		TTab tab;
		TButton button;
		int presses;
		const char* section;
		const char* key;
		const char* written;
	};
	// Size buttons: 0 "-", 1 to 3 the presets, 4 "+". Sizes load as they stand, even outside the bounds.
	const TCase cases[] = {
		{ "[Window]\nHeight=600\n", windowTab, height(0), 1, "Window", "Height", "640" },
		{ "[Window]\nHeight=600\n", windowTab, height(4), 1, "Window", "Height", "616" },
		{ "[Window]\nHeight=1590\n", windowTab, height(4), 2, "Window", "Height", "1600" },
		{ "[Window]\nHeight=700\n", windowTab, height(1), 1, "Window", "Height", "640" },
		{ "[Window]\nWidth=1912\n", windowTab, width(4), 2, "Window", "Width", "1920" },
		{ "[Window]\nWidth=650\n", windowTab, width(0), 2, "Window", "Width", "640" },
		{ "[Window]\nWidth=2000\n", windowTab, width(0), 1, "Window", "Width", "1984" },
		{ "[Window]\nWidth=2000\n", windowTab, width(3), 1, "Window", "Width", "1280" },
		{ "[Screen]\nDrawRectangleSlideLeft=3\n", screenTab, plus(0), 2, "Screen", "DrawRectangleSlideLeft", "4" },
		{ "[Screen]\nDrawRectangleSlideRight=9\n", screenTab, plus(1), 1, "Screen", "DrawRectangleSlideRight", "4" },
		{ "", screenTab, minus(2), 6, "Screen", "DrawRectangleSlideTop", "-4" },
		{ "", screenTab, minus(3), 1, "Screen", "DrawRectangleSlideBottom", "-1" },
	};
	for (const TCase& c : cases) {
		SCOPED_TRACE(std::string(c.ini) + c.key + " pressed " + std::to_string(c.presses));
		Open(c.ini);
		for (int i = 0; i < c.presses; ++i)
			Press(c.tab(Pane()), c.button(Pane()));
		Ok();
		EXPECT_EQ(c.written, Written(c.section, c.key));
	}
	EXPECT_EQ(-1, m_Config.GetIntValue(CONFIG_SLIDE_BOTTOM));
	EXPECT_EQ(0, m_Config.GetIntValue(CONFIG_SLIDE_TOP)) << "one edge moves at a time";
}

TEST_F(ConfigWindowTest, OkStoresEveryTabAndRewritesTheFileKeepingItsOtherLines)
{
	const std::string ini = "# my settings\n[Window]\nFPS=30\nWidth=1024\n[Battle]\nAnimationSpeed=2\nTurnMax=12\n"
							"[Watch]\nUse=0\nOnlyLarge=1\n[Mixer]\nMusicEnabled=1\n";
	Open(ini);
	TConfigBattlePane& battle = Pane().m_Battle;
	EXPECT_EQ(1, battle.m_Speed.m_Selected);
	EXPECT_TRUE(Pane().m_MusicSound.m_Music.isSelected());
	// Watching is off: its four options are greyed out, and follow when it is ticked.
	EXPECT_FALSE(battle.m_Watch[4].isEnabled());
	battle.m_Watch[0].setSelected(true);
	Press(battle, battle.m_Watch[0]);
	EXPECT_TRUE(battle.m_Watch[4].isEnabled());
	battle.m_Watch[4].setSelected(true);
	battle.m_Watch[0].setSelected(false);
	Press(battle, battle.m_Watch[0]);
	EXPECT_FALSE(battle.m_Watch[1].isEnabled());

	PressAt(battle.m_Speed, 0);
	Pane().m_Window.m_NoSwapInterval.setSelected(true);
	Pane().m_MusicSound.m_Music.setSelected(false);
	Pane().m_MusicSound.m_Sound.setSelected(true);
	Ok();
	EXPECT_EQ(std::vector<bool>{ true }, m_Closes);
	EXPECT_EQ(1, m_Config.GetIntValue(CONFIG_ANIMATION_SPEED)) << "the first cell is the fastest";
	const std::string written = ReadFile("morvaleth.ini");
	EXPECT_EQ(0u, written.find("# my settings\n[Window]\nFPS=30\nWidth=1024\n")) << written;
	// Greyed-out options are saved as they are ticked.
	for (const char* line : { "AnimationSpeed=1\n", "TurnMax=12\n", "Use=0\n", "OnlyLarge=1\n", "MaxSpeed=1\n",
			 "MusicEnabled=0\n", "SoundEnabled=1\n", "DisableSwapInterval=1\n", "Height=600\n" })
		EXPECT_NE(std::string::npos, written.find(line)) << line;
	EXPECT_EQ(ini, ReadFile("morvaleth.bak")) << "the old file is kept as the backup";
	EXPECT_FALSE(FileExists("tmp.txt"));
}

TEST_F(ConfigWindowTest, CancelLeavesTheConfigurationAndTheFileAsTheyWere)
{
	const std::string ini = "[Battle]\nAnimationSpeed=4\n[Screen]\nDrawRectangleSlideLeft=1\n";
	Open(ini);
	PressAt(Pane().m_Battle.m_Speed, 0);
	Press(Pane().m_Window, Pane().m_Window.m_WidthButtons[3]);
	Press(Pane().m_Screen, Pane().m_Screen.m_PlusButtons[0]);
	Cancel();
	EXPECT_EQ(std::vector<bool>{ false }, m_Closes);
	EXPECT_EQ((std::vector<int>{ 4, 800, 1}), (std::vector<int>{ m_Config.GetIntValue(CONFIG_ANIMATION_SPEED),
		m_Config.GetIntValue(CONFIG_WIDTH), m_Config.GetIntValue(CONFIG_SLIDE_LEFT) }));
	EXPECT_EQ(ini, ReadFile("morvaleth.ini"));
	EXPECT_FALSE(FileExists("morvaleth.bak"));
	// Opened again, the controls show the configuration, not the dropped changes.
	m_Window->Open();
	EXPECT_EQ((std::vector<int>{ 3, 800, 1 }), (std::vector<int>{ Pane().m_Battle.m_Speed.m_Selected,
		Pane().m_Window.m_Width, Pane().m_Screen.m_Slides[0] }));
}

TEST_F(ConfigWindowTest, ASpeedOutsideTheCellsSelectsNoneAndIsKeptOnOk)
{
	for (const char* speed : { "0", "6", "-1" }) {
		Open(std::string("[Battle]\nAnimationSpeed=") + speed + "\n");
		EXPECT_EQ(-1, Pane().m_Battle.m_Speed.m_Selected) << speed;
		Ok();
		EXPECT_EQ(speed, Written("Battle", "AnimationSpeed")) << "never written as 0";
	}
	// Once the player picks a cell, that speed is stored.
	PressAt(Pane().m_Battle.m_Speed, 254);
	Ok();
	EXPECT_EQ("5", Written("Battle", "AnimationSpeed"));
}

TEST_F(ConfigWindowTest, ANewShortcutKeyComesFromTheKeyQueueAndIsStoredAtOnce)
{
	Open("[Shortcut]\nMove=109\nAttack=97\n");
	TConfigShortcutPane& tab = Pane().m_Shortcut;
	EXPECT_EQ("", tab.m_KeyLabel.getCaption()) << "no command selected yet";
	tab.m_CommandList.setSelected(1);
	EXPECT_EQ("M", tab.m_KeyLabel.getCaption());
	EXPECT_FALSE(tab.m_CancelButton.isEnabled());

	// A key pressed before "変更" does not count; of two keys pressed after, the first is taken.
	g_GameMaster.PushKey(SDLK_q);
	Press(tab, tab.m_ChangeButton);
	EXPECT_EQ("キーを押して下さい", tab.m_KeyLabel.getCaption());
	EXPECT_TRUE(tab.m_CancelButton.isEnabled());
	Pane().logic();
	EXPECT_TRUE(tab.IsWaiting());
	g_GameMaster.PushKey(SDLK_F5);
	g_GameMaster.PushKey(SDLK_z);
	Pane().logic();
	EXPECT_FALSE(tab.IsWaiting());
	EXPECT_EQ("F5", tab.m_KeyLabel.getCaption());
	EXPECT_FALSE(tab.m_CancelButton.isEnabled());
	int key = 0;
	EXPECT_TRUE(g_GameMaster.PeekKey(key) && key == SDLK_z);

	// Stored at once: Cancel keeps it, and the next OK writes it.
	Cancel();
	EXPECT_EQ(SDLK_F5, m_Config.GetShortcut(SHORTCUT_MOVE));
	EXPECT_EQ("109", Written("Shortcut", "Move"));
	m_Window->Open();
	Ok();
	EXPECT_EQ("286", Written("Shortcut", "Move"));
	EXPECT_EQ("97", Written("Shortcut", "Attack"));
}

TEST_F(ConfigWindowTest, AnEndedWaitOrAClosedWindowLeavesTheKeysAlone)
{
	Open("[Shortcut]\nWait=32\n");
	TConfigShortcutPane& tab = Pane().m_Shortcut;
	tab.m_CommandList.setSelected(0);
	Press(tab, tab.m_ChangeButton);
	Press(tab, tab.m_CancelButton);
	EXPECT_EQ("SPACE", tab.m_KeyLabel.getCaption()) << "the command's key again";
	g_GameMaster.PushKey(SDLK_x);
	Pane().logic();

	// Closed while waiting, the hidden window takes no more keys: they are the game's.
	Press(tab, tab.m_ChangeButton);
	Ok();
	g_GameMaster.PushKey(SDLK_x);
	Pane().logic();
	int key = 0;
	EXPECT_TRUE(g_GameMaster.PeekKey(key) && key == SDLK_x);
	EXPECT_EQ(SDLK_SPACE, m_Config.GetShortcut(SHORTCUT_WAIT));

	// Without a selected command a key ends the wait and is stored nowhere.
	g_GameMaster.ClearKeys();
	tab.m_CommandList.setSelected(-1);
	Press(tab, tab.m_ChangeButton);
	g_GameMaster.PushKey(SDLK_x);
	Pane().logic();
	EXPECT_FALSE(tab.IsWaiting());
	for (int i = 0; i < SHORTCUT_COUNT; ++i)
		EXPECT_NE(SDLK_x, m_Config.GetShortcut(i)) << i;
}

TEST_F(ConfigWindowTest, WithoutAnOwnerTheWindowHidesItselfAndAFailedWriteIsReported)
{
	Open("");
	m_Window->SetCloseHandler(TConfigWindow::TCloseHandler());
	Cancel();
	EXPECT_FALSE(m_Window->isVisible());
	// A folder stands where the file would go.
	m_Window.reset(new TConfigWindow(m_Config, "blocked"));
	CreateDirectories("blocked");
	m_Window->Open();
	Ok();
	EXPECT_FALSE(m_Window->isVisible());
	EXPECT_EQ(1, m_Log.CountLines(" Error TConfigWindow::WriteFile:")) << m_Log.Text();
	EXPECT_LE(1, m_Log.CountLines("blocked に設定を保存できませんでした。 (通常のファイルではありません)"))
		<< "and shown in the message dialog";
}

TEST(KeyName, NamesEveryKeyOfTheTableAndNumbersTheRest)
{
	const std::vector<std::pair<int, std::string>> cases = { { 0, "設定無し" }, { 97, "A" }, { 122, "Z" }, { 48, "0" },
		{ 57, "9" }, { 256, "KP 0" }, { 265, "KP 9" }, { 282, "F1" }, { 296, "F15" }, { 8, "BS" }, { 9, "TAB" },
		{ 12, "CLEAR" }, { 13, "ENTER" }, { 19, "PAUSE" }, { 27, "ESC" }, { 32, "SPACE" }, { 127, "DEL" }, { 33, "!" },
		{ 47, "/" }, { 58, ":" }, { 64, "@" }, { 91, "[" }, { 96, "`" }, { 37, "keysym=37" }, { 266, "KP ." },
		{ 271, "KP ENTER" }, { 272, "KP =" }, { 273, "UP" }, { 280, "PAGE UP" }, { 281, "PAGE DOWN" },
		{ 303, "RSHIFT" }, { 308, "LALT" }, { 300, "keysym=300" }, { 65, "keysym=65" }, { 123, "keysym=123" },
		{ 297, "keysym=297" }, { 309, "keysym=309" }, { -1, "keysym=-1" } };
	for (const auto& c : cases)
		EXPECT_EQ(c.second, KeyName(c.first)) << c.first;
}

TEST(SelectPane, ALeftPressSelectsTheCellUnderTheMouse)
{
	TSelectPane pane({ "1", "2", "3", "4", "5" });
	pane.setSize(256, 24);
	// Cells of 256 / 5 = 51 pixels: the last pixel column lies beyond the fifth; other buttons do nothing.
	const std::vector<std::vector<int>> presses = { { 0, gcn::MouseEvent::LEFT, 0 }, { 51, gcn::MouseEvent::LEFT, 1 },
		{ 254, gcn::MouseEvent::LEFT, 4 }, { 255, gcn::MouseEvent::LEFT, 4 }, { 60, gcn::MouseEvent::RIGHT, 4 } };
	for (const std::vector<int>& press : presses) {
		PressAt(pane, press[0], press[1]);
		EXPECT_EQ(press[2], pane.m_Selected) << press[0];
	}
	// Narrower than its cells: no cell is under the mouse.
	pane.setSize(4, 24);
	PressAt(pane, 0);
	EXPECT_EQ(4, pane.m_Selected);
}
