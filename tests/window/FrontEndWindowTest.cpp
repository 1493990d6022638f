// The program's first screens on a real window, with the player's input injected as SDL events: the start
// menu, a new game of the sample through the scenario and master select to the world map, a save and a
// load through the system menu, and settings that are in the file and back after a restart. Every screen
// is kept as a screenshot.

#include "app/GameConfig.h"
#include "app/GameMaster.h"
#include "front/ConfigWindow.h"
#include "front/FrontEndWindows.h"
#include "front/MasterSelectWindow.h"
#include "front/MenuWindows.h"
#include "front/SaveLoadWindow.h"
#include "front/SceSelectWindow.h"
#include "gui/MsgDlg.h"
#include "model/MorvalethData.h"
#include "model/MorvalethGame.h"
#include "support/GuiScreen.h"
#include "world/ScreenWorldView.h"
#include "world/WorldMapLogic.h"
#include "world/WorldMapWindow.h"

#include <gtest/gtest.h>
#include <boost/filesystem.hpp>
#include <guichan/widgets/container.hpp>
#include <memory>

namespace fs = boost::filesystem;

namespace
{
const char* const SETTINGS = "[Window]\nWidth=800\nHeight=640\n[Battle]\nAnimationSpeed=3\n"
	"[Mixer]\nMusicEnabled=0\nSoundEnabled=0\n[Shortcut]\nWait=0\n";

/// Pixels that differ from the top container's colour.
gcn::Color g_TopColour;
bool IsDrawn(const gcn::Color& c)
{
	return !NearColor(c, g_TopColour, 4);
}

gcn::Color g_BodyColour;
bool IsBodyColour(const gcn::Color& c)
{
	return NearColor(c, g_BodyColour, 4);
}

class FrontEndScreen : public ::testing::Test
{
protected:
	void SetUp() override
	{
		SKIP_WITHOUT_DISPLAY();
		m_Screen.reset(new TGuiScreen(800, 640, SETTINGS));
		ASSERT_TRUE(m_Screen->IsOpen());
		fs::create_directory_symlink(fs::path(MORVALETH_SOURCE_DIR) / "data/Scenario", "Scenario");
		g_GameMaster.m_RootDir = ".";
		g_GameMaster.Init();
		m_Windows = dynamic_cast<TFrontEndWindows*>(g_GameMaster.m_FrontEnd.get());
		ASSERT_TRUE(m_Windows);
		m_Screen->Frame();
		g_TopColour = g_Config.GetColor(EXTRACOLOR_TOP);
	}

	void TearDown() override
	{
		g_GameMaster.ReleaseGame();
		g_GameMaster.m_GameRunning = false;
		g_GameMaster.m_RootDir.clear();
		m_Screen.reset();
	}

	/// Clicks row i of a list box.
	void ClickRow(const gcn::Widget& list, int row)
	{
		const gcn::Rectangle area = TGuiScreen::ScreenArea(list);
		m_Screen->Click(area.x + 20, area.y + 16 * row + 8);
	}

	/// Frames and a screenshot; the window must be drawn over the top colour.
	void Check(const gcn::Widget& window, const std::string& name)
	{
		m_Screen->Frame();
		m_Screen->Screenshot("frontend_" + name);
		const gcn::Rectangle area = TGuiScreen::ScreenArea(window);
		EXPECT_GT(m_Screen->CountPixels(area, IsDrawn), area.width * area.height / 2) << name;
	}

	/// The save slots' window has a body: below the list and left of the buttons lies the pane's own colour,
	/// as in the menus, not what is under the window.
	void ExpectSlotsBody(const TSaveLoadWindow& slots, const std::string& name)
	{
		const gcn::Rectangle pane = TGuiScreen::ScreenArea(slots.m_Pane);
		const gcn::Rectangle body(pane.x + 4, pane.y + 168, 270, 24);
		g_BodyColour = slots.m_Pane.getBaseColor();
		EXPECT_EQ(body.width * body.height, m_Screen->CountPixels(body, IsBodyColour)) << name;
	}

	std::unique_ptr<TGuiScreen> m_Screen;
	TFrontEndWindows* m_Windows = nullptr;
};
}

TEST_F(FrontEndScreen, ANewGameIsPlayedSavedLoadedAndSetUpFromTheFirstScreen)
{
	// Only the start menu shows, centred.
	TStartMenuWindow& start = *m_Windows->m_StartMenu;
	EXPECT_TRUE(start.isVisible());
	for (gcn::Widget* other : { (gcn::Widget*)m_Windows->m_SysMenu.get(), (gcn::Widget*)m_Windows->m_Config.get(),
			 (gcn::Widget*)m_Windows->m_SaveLoad.get(), (gcn::Widget*)m_Windows->m_SceSelect.get(),
			 (gcn::Widget*)m_Windows->m_MasterSelect.get() })
		EXPECT_FALSE(other->isVisible());
	EXPECT_EQ((800 - start.getWidth()) / 2, start.getX());
	EXPECT_EQ((640 - start.getHeight()) / 2, start.getY());
	EXPECT_EQ(640, m_Windows->m_SysMenu->getY() + m_Windows->m_SysMenu->getHeight());
	Check(start, "start_menu");
	EXPECT_EQ(0, m_Screen->CountPixels(gcn::Rectangle(0, 0, 200, 200), IsDrawn));

	// 新規ゲーム: the sample, its second chapter, level 2.
	m_Screen->ClickOn(start.m_Pane.m_NewGameButton);
	TSceSelectPane& scenarios = m_Windows->m_SceSelect->m_Pane;
	ASSERT_TRUE(m_Windows->m_SceSelect->isVisible());
	EXPECT_FALSE(start.isVisible());
	ClickRow(scenarios.m_ScenarioList, 0);
	ClickRow(scenarios.m_ChapterList, 1);
	ASSERT_TRUE(scenarios.CanStart());
	m_Screen->ClickOn(*scenarios.m_Levels[1]);
	EXPECT_EQ(2, scenarios.GetSelectedLevel());
	Check(*m_Windows->m_SceSelect, "scenario_select");
	m_Screen->ClickOn(scenarios.m_StartButton);

	// One master chosen, then 開始.
	TMasterSelectPane& masters = m_Windows->m_MasterSelect->m_Pane;
	ASSERT_TRUE(m_Windows->m_MasterSelect->isVisible());
	EXPECT_FALSE(masters.m_StartButton.isEnabled());
	const gcn::Rectangle tiles = TGuiScreen::ScreenArea(masters.m_Masters);
	m_Screen->Click(tiles.x + 64, tiles.y + 64);
	m_Screen->Frame();
	EXPECT_TRUE(masters.m_StartButton.isEnabled());
	EXPECT_EQ(masters.m_Handle.m_Text, g_GameMaster.m_Data->GetChapter().GetMaster(0).Handle);
	Check(*m_Windows->m_MasterSelect, "master_select");
	m_Screen->ClickOn(masters.m_StartButton);

	// The world map with that master as the player.
	ASSERT_TRUE(g_GameMaster.m_GameRunning);
	TWorldMapLogic* logic = dynamic_cast<TWorldMapLogic*>(g_GameMaster.m_WorldMap.get());
	ASSERT_TRUE(logic);
	TScreenWorldView& view = dynamic_cast<TScreenWorldView&>(logic->GetView());
	EXPECT_FALSE(m_Windows->m_MasterSelect->isVisible());
	// The computer masters before the player take their turns; the system menu comes with the player's.
	for (int frame = 0; frame < 5000 && !m_Windows->m_SysMenu->isVisible(); ++frame)
		m_Screen->Frame();
	Check(*view.GetMapWindow(), "world_map");
	const int leon = g_GameMaster.m_Data->GetMasterIndex("leon");
	for (int i = 0; i < g_GameMaster.m_Game->GetMasterCount(); ++i)
		EXPECT_EQ(g_GameMaster.m_Game->GetMaster(i).DataIndex == leon, g_GameMaster.m_Game->GetMaster(i).Player);

	// 保存 to slot 3, then 読込 of slot 3: the same game goes on.
	TSysMenuWindow& sysMenu = *m_Windows->m_SysMenu;
	ASSERT_TRUE(sysMenu.isVisible());
	m_Screen->ClickOn(sysMenu.m_Pane.m_SaveButton);
	TSaveLoadWindow& slots = *m_Windows->m_SaveLoad;
	ASSERT_TRUE(slots.isVisible());
	EXPECT_FALSE(sysMenu.isVisible());
	ClickRow(slots.m_Pane.m_List, 3);
	Check(slots, "save_window");
	ExpectSlotsBody(slots, "over the world map");
	m_Screen->ClickOn(slots.m_Pane.m_OkButton);
	EXPECT_TRUE(fs::exists("Save/save03.xml"));
	EXPECT_TRUE(sysMenu.isVisible());
	const int turn = g_GameMaster.m_Game->GetTurn();
	m_Screen->ClickOn(sysMenu.m_Pane.m_LoadButton);
	ClickRow(slots.m_Pane.m_List, 3);
	EXPECT_EQ("読込", slots.m_Pane.m_OkButton.getCaption());
	m_Screen->ClickOn(slots.m_Pane.m_OkButton);
	EXPECT_FALSE(slots.isVisible());
	EXPECT_EQ(turn, g_GameMaster.m_Game->GetTurn());
	EXPECT_EQ(1, g_GameMaster.m_Game->GetChapterIndex());
	EXPECT_EQ(2, g_GameMaster.m_Game->GetGameLevel());

	// 設定: the speed "２" and the key A for 待機, then OK.
	m_Screen->Frame();
	ASSERT_TRUE(sysMenu.isVisible());
	m_Screen->ClickOn(sysMenu.m_Pane.m_SettingsButton);
	TConfigWindow& settings = *m_Windows->m_Config;
	ASSERT_TRUE(settings.isVisible());
	const gcn::Rectangle speed = TGuiScreen::ScreenArea(settings.m_Pane.m_Battle.m_Speed);
	m_Screen->Click(speed.x + speed.width / 5 + 10, speed.y + 10);
	Check(settings, "settings");
	settings.m_Pane.m_Tabs.setSelectedTab(1);
	m_Screen->Frame();
	ClickRow(settings.m_Pane.m_Shortcut.m_CommandList, 0);
	m_Screen->ClickOn(settings.m_Pane.m_Shortcut.m_ChangeButton);
	m_Screen->PressKey(SDLK_a);
	EXPECT_EQ("A", settings.m_Pane.m_Shortcut.m_KeyLabel.getCaption());
	m_Screen->ClickOn(settings.m_Pane.m_OkButton);
	EXPECT_FALSE(settings.isVisible());
	EXPECT_TRUE(sysMenu.isVisible());

	// A restarted program reads them back.
	TGameConfig restarted;
	restarted.Load("morvaleth.ini");
	EXPECT_EQ(2, restarted.GetIntValue(CONFIG_ANIMATION_SPEED));
	EXPECT_EQ(SDLK_a, restarted.GetShortcut(SHORTCUT_WAIT));
	g_Config.Load("morvaleth.ini");
	g_GameMaster.ShowConfigWindow();
	EXPECT_EQ(1, settings.m_Pane.m_Battle.m_Speed.m_Selected);
	m_Screen->ClickOn(settings.m_Pane.m_CancelButton);

	// A slot without a save cannot be loaded: 読込 stays disabled on it and a click does nothing. A damaged
	// save can be tried: the player is told, and the game goes on.
	const TMorvalethGame* running = g_GameMaster.m_Game.get();
	WriteFile("Save/save06.xml", "<Save><Date>");
	ASSERT_TRUE(sysMenu.isVisible());
	m_Screen->ClickOn(sysMenu.m_Pane.m_LoadButton);
	EXPECT_EQ("5 データなし", slots.m_Pane.m_Model.getElementAt(5));
	for (int row : { -1, 5, 3, 5 }) {
		if (row >= 0)
			ClickRow(slots.m_Pane.m_List, row);
		EXPECT_EQ(row == 3, slots.m_Pane.m_OkButton.isEnabled()) << row;
	}
	m_Screen->ClickOn(slots.m_Pane.m_OkButton);
	EXPECT_FALSE(IsMsgDlgVisible());
	EXPECT_TRUE(slots.isVisible());
	ClickRow(slots.m_Pane.m_List, 6);
	ASSERT_TRUE(slots.m_Pane.m_OkButton.isEnabled());
	m_Screen->ClickOn(slots.m_Pane.m_OkButton);
	ASSERT_TRUE(IsMsgDlgVisible());
	EXPECT_EQ("Error", g_MsgDlg->getCaption());
	Check(*g_MsgDlg, "load_failed");
	m_Screen->ClickOn(g_MsgDlg->m_Buttons[0]);
	EXPECT_FALSE(IsMsgDlgVisible());
	EXPECT_EQ(running, g_GameMaster.m_Game.get());
	EXPECT_TRUE(sysMenu.isVisible());
}

// Each 取消 goes back to the screen it came from; settings cancelled before a game bring the start menu back.
TEST_F(FrontEndScreen, CancelsGoBackWhereTheyCameFrom)
{
	TStartMenuWindow& start = *m_Windows->m_StartMenu;
	m_Screen->ClickOn(start.m_Pane.m_ContinueButton);
	ASSERT_TRUE(m_Windows->m_SaveLoad->isVisible());
	Check(*m_Windows->m_SaveLoad, "load_window");
	ExpectSlotsBody(*m_Windows->m_SaveLoad, "over the start screen");
	m_Screen->ClickOn(m_Windows->m_SaveLoad->m_Pane.m_CancelButton);
	EXPECT_TRUE(start.isVisible());
	m_Screen->ClickOn(start.m_Pane.m_SettingsButton);
	ASSERT_TRUE(m_Windows->m_Config->isVisible());
	m_Screen->ClickOn(m_Windows->m_Config->m_Pane.m_CancelButton);
	EXPECT_TRUE(start.isVisible());
	m_Screen->ClickOn(start.m_Pane.m_NewGameButton);
	TSceSelectPane& scenarios = m_Windows->m_SceSelect->m_Pane;
	ClickRow(scenarios.m_ScenarioList, 0);
	ClickRow(scenarios.m_ChapterList, 0);
	m_Screen->ClickOn(scenarios.m_StartButton);
	ASSERT_TRUE(m_Windows->m_MasterSelect->isVisible());
	m_Screen->ClickOn(m_Windows->m_MasterSelect->m_Pane.m_CancelButton);
	EXPECT_TRUE(m_Windows->m_SceSelect->isVisible());
	EXPECT_FALSE(g_GameMaster.m_Game);
	m_Screen->ClickOn(scenarios.m_CancelButton);
	EXPECT_TRUE(start.isVisible());
	Check(start, "start_again");
}

// A scenario of eight chapters: the chapter list scrolls within its box, the wheel brings the last chapter
// into reach, and the level buttons below the box stay the player's to click.
TEST_F(FrontEndScreen, EveryChapterOfALongScenarioIsInReachAndTheLevelsStayClickable)
{
	const int chapters = 8;
	fs::remove("Scenario");
	fs::create_directories("Scenario/Long/Data");
	WriteFile("Scenario/Long/Scenario.xml", "<Scenario><Title>Long</Title></Scenario>");
	for (int i = 1; i <= chapters; ++i)
		WriteFile("Scenario/Long/Data/Scenario" + std::to_string(i) + ".xml", "<Chapter><Name>Chapter " + std::to_string(i)
				+ "</Name><Explanation>Text " + std::to_string(i) + "</Explanation><Turn>1</Turn></Chapter>");
	TSceSelectPane& scenarios = m_Windows->m_SceSelect->m_Pane;
	scenarios.ScanScenarios(".");
	m_Screen->ClickOn(m_Windows->m_StartMenu->m_Pane.m_NewGameButton);
	ClickRow(scenarios.m_ScenarioList, 0);
	ASSERT_EQ(chapters, scenarios.m_ChapterModel.getNumberOfElements());

	const gcn::Rectangle box = TGuiScreen::ScreenArea(scenarios.m_ChapterArea);
	EXPECT_EQ(80, box.height);
	for (int notch = 0; notch < 10; ++notch)
		m_Screen->Click(box.x + 20, box.y + 40, SDL_BUTTON_WHEELDOWN);
	m_Screen->Click(box.x + 20, box.y + box.height - 8);
	EXPECT_EQ(chapters - 1, scenarios.m_ChapterList.getSelected());
	EXPECT_TRUE(scenarios.CanStart());

	m_Screen->ClickOn(*scenarios.m_Levels[4]);
	EXPECT_EQ(5, scenarios.GetSelectedLevel());
	EXPECT_EQ(chapters - 1, scenarios.m_ChapterList.getSelected());
	Check(*m_Windows->m_SceSelect, "long_scenario");
}
