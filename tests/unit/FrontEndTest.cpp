// The front end's windows without a screen: the scenario list and its choices, the master tiles, the save
// slots' rows, and the walk from the start menu through a new game, the settings, a save and a load.

#include "app/FrontEnd.h"
#include "app/GameConfig.h"
#include "app/GameMaster.h"
#include "front/ConfigWindow.h"
#include "front/FrontEndWindows.h"
#include "front/MasterSelectWindow.h"
#include "front/MenuWindows.h"
#include "front/SaveLoadWindow.h"
#include "front/SceSelectWindow.h"
#include "gui/GuiContext.h"
#include "gui/MsgDlg.h"
#include "model/MorvalethData.h"
#include "model/MorvalethGame.h"
#include "model/ScenarioInfo.h"
#include "platform/FileSystem.h"
#include "unit/ModelFixture.h"

#include <gtest/gtest.h>
#include <boost/filesystem.hpp>
#include <guichan/actionevent.hpp>
#include <guichan/gui.hpp>
#include <guichan/mouseevent.hpp>
#include <guichan/widgets/container.hpp>
#include <functional>

namespace fs = boost::filesystem;

namespace
{
void Press(gcn::ActionListener& listener, gcn::Widget& source)
{
	listener.action(gcn::ActionEvent(&source, ""));
}

/// Picks row i of a list box as a click would, telling the listener.
void Pick(gcn::ActionListener& listener, gcn::ListBox& list, int row)
{
	list.setSelected(row);
	Press(listener, list);
}

void MouseAt(TGcnMasterPane& pane, int x, int y, bool press)
{
	gcn::MouseEvent event(&pane, false, false, false, false,
		press ? gcn::MouseEvent::PRESSED : gcn::MouseEvent::MOVED, gcn::MouseEvent::LEFT, x, y, 1);
	if (press)
		pane.mousePressed(event);
	else
		pane.mouseMoved(event);
}

void WriteScenario(const std::string& folder, const std::string& title, int chapters)
{
	fs::create_directories(folder + "/Data");
	WriteFile(folder + "/Scenario.xml", "<Scenario><Title>" + title + "</Title></Scenario>");
	for (int i = 1; i <= chapters; ++i)
		WriteFile(ChapterPath(folder, i), "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<Chapter><Name>C" +
			std::to_string(i) + "</Name><Explanation>About " + std::to_string(i) + "</Explanation><Turn>1</Turn></Chapter>\n");
}
}

// Broken and missing scenarios are left out of the list; picking a scenario offers its chapters, a chapter
// its explanation, the level buttons and "開始"; another scenario takes all that back.
TEST(FrontEndScenarioSelect, TheListShowsWhatCouldBeReadAndStartWaitsForAChapter)
{
	TTempDir root;
	WriteScenario(root / "Scenario/Beta", "Second", 2);
	WriteScenario(root / "Scenario/Alpha", "First", 1);
	WriteScenario(root / "Scenario/Empty", "No chapters", 0);
	fs::create_directories(root / "Scenario/Broken");
	WriteFile(root / "Scenario/Broken/Scenario.xml", "<Scenario><Title>");
	fs::create_directories(root / "Scenario/Bare");
	WriteFile(root / "Scenario/notes.txt", "not a scenario");
	TCapturedLog log;
	TSceSelectPane pane;
	pane.ScanScenarios(root.Path());
	ASSERT_EQ(3, pane.m_ScenarioModel.getNumberOfElements());
	EXPECT_EQ("First", pane.m_ScenarioModel.getElementAt(0));
	EXPECT_EQ("Second", pane.m_ScenarioModel.getElementAt(1));
	EXPECT_EQ("No chapters", pane.m_ScenarioModel.getElementAt(2));
	EXPECT_EQ("", pane.m_ScenarioModel.getElementAt(3));
	EXPECT_EQ("", pane.m_ScenarioModel.getElementAt(-1));

	const struct {
		const char* step;
		int scenario;
		int chapter;
		bool startable;
		std::string explanation;
		int chapters;
	} steps[] = {
		{ "nothing picked", -1, -1, false, "", 0 },
		{ "a scenario", 1, -1, false, "", 2 },
		{ "its second chapter", 1, 1, true, "About 2", 2 },
		{ "another scenario", 0, -1, false, "", 1 },
		{ "its chapter", 0, 0, true, "About 1", 1 },
		{ "a scenario without chapters", 2, -1, false, "", 0 },
		{ "no chapter to pick", 2, 0, false, "", 0 },
	};
	for (const auto& step : steps) {
		if (step.scenario >= 0 && pane.m_ScenarioList.getSelected() != step.scenario)
			Pick(pane, pane.m_ScenarioList, step.scenario);
		if (step.chapter >= 0)
			Pick(pane, pane.m_ChapterList, step.chapter);
		EXPECT_EQ(step.startable, pane.CanStart()) << step.step;
		EXPECT_EQ(step.startable, pane.m_Levels[0]->isVisible()) << step.step;
		EXPECT_EQ(step.explanation, pane.m_Explanation.m_Text) << step.step;
		EXPECT_EQ(step.chapters, pane.m_ChapterModel.getNumberOfElements()) << step.step;
	}
	EXPECT_EQ(3, pane.GetSelectedLevel());
	pane.m_Levels[1]->setSelected(true);
	Pick(pane, pane.m_ScenarioList, 1);
	Pick(pane, pane.m_ChapterList, 0);
	EXPECT_EQ(2, pane.GetSelectedLevel()) << "a chosen level survives another chapter";
	EXPECT_EQ(1, log.CountLines(" Error " + (root / "Scenario/Broken/Scenario.xml"))) << log.Text();
	EXPECT_EQ(0, log.CountLines(root / "Scenario/Bare")) << "a folder without a scenario file is passed over";
}

TEST(FrontEndScenarioSelect, AMissingScenarioFolderListsNothingAndNothingCanStart)
{
	TTempDir root;
	TCapturedLog log;
	TSceSelectPane pane;
	pane.ScanScenarios(root.Path());
	EXPECT_EQ(0, pane.m_ScenarioModel.getNumberOfElements());
	Pick(pane, pane.m_ScenarioList, 0);
	Pick(pane, pane.m_ChapterList, 0);
	EXPECT_FALSE(pane.CanStart());
}

// Tiles are filled column by column in two rows; "開始" follows whether a master is chosen, and the chosen
// masters go to the game in chapter order, whatever the order of the clicks.
TEST(FrontEndMasterSelect, TilesToggleAndStartNeedsAChosenMaster)
{
	const TMorvalethData& data = LoadedSample();
	const int leon = data.GetMasterIndex("leon");
	const int garm = data.GetMasterIndex("garm");
	const int sera = data.GetMasterIndex("sera");
	ASSERT_TRUE(leon >= 0 && garm >= 0 && sera >= 0);
	const int ALL = -1;
	const int NONE = -2;
	const struct {
		const char* name;
		std::vector<bool> notPlayer;
		int columns;
		/// Clicks: a tile's column and row (column * 2 + row), ALL or NONE.
		std::vector<int> clicks;
		bool startable;
		std::vector<int> chosen;
	} cases[] = {
		{ "no master may be taken", { true, true, true }, 0, { 0, ALL }, false, {} },
		{ "one master", { false, true, true }, 1, { 0 }, true, { leon } },
		{ "clicked twice", { false, false, true }, 1, { 1, 1 }, false, {} },
		{ "the empty fourth cell", { false, false, false }, 2, { 3 }, false, {} },
		{ "chapter order", { false, false, false }, 2, { 2, 0 }, true, { leon, sera } },
		{ "all", { false, false, false }, 2, { ALL }, true, { leon, garm, sera } },
		{ "all, then none", { false, true, false }, 1, { ALL, NONE }, false, {} },
	};
	for (const auto& c : cases) {
		TChapterInfo chapter;
		const char* ids[] = { "leon", "garm", "sera" };
		for (int i = 0; i < 3; ++i) {
			TChapterMaster master;
			master.id = ids[i];
			master.NotPlayer = c.notPlayer[i];
			master.Handle = std::string("handle of ") + ids[i];
			chapter.Masters.push_back(master);
		}
		TMasterSelectPane pane;
		pane.m_Masters.Build(chapter, data);
		EXPECT_EQ(c.columns, pane.m_Masters.m_Columns) << c.name;
		EXPECT_EQ(128 * c.columns, pane.m_Masters.getWidth()) << c.name;
		for (int click : c.clicks) {
			if (click == ALL)
				Press(pane, pane.m_AllButton);
			else if (click == NONE)
				Press(pane, pane.m_NoneButton);
			else
				MouseAt(pane.m_Masters, 128 * (click / 2) + 60, 128 * (click % 2) + 60, true);
		}
		pane.logic();
		EXPECT_EQ(c.startable, pane.m_StartButton.isEnabled()) << c.name;
		std::vector<int> chosen;
		pane.m_Masters.GetChosen(chosen);
		EXPECT_EQ(c.chosen, chosen) << c.name;
	}
}

TEST(FrontEndMasterSelect, TheHoveredMasterShowsItsTextsFromTheChapter)
{
	TMorvalethData data;
	TChapterInfo chapter;
	for (const char* id : { "a", "b" }) {
		TChapterMaster master;
		master.id = id;
		master.Handle = std::string("H") + id;
		master.Difficulty = std::string("D") + id;
		master.Explanation = std::string("E") + id;
		chapter.Masters.push_back(master);
	}
	TGcnMasterPane pane;
	pane.Build(chapter, data);
	EXPECT_EQ(-1, pane.m_Hovered);
	MouseAt(pane, 10, 130, false);
	EXPECT_EQ(1, pane.m_Hovered);
	MouseAt(pane, 200, 10, false);
	EXPECT_EQ(1, pane.m_Hovered) << "outside every tile the hovered one stays";
	EXPECT_EQ(-1, pane.EntryAt(-1, 0));
	EXPECT_EQ(-1, pane.EntryAt(0, 256));
}

// The rows read "%d %s"; ten rows fit, more scroll; the OK button names the mode, acts on no slot before
// one is chosen and loads no empty slot.
TEST(FrontEndSaveLoad, RowsNumberTheSlotsAndTheListScrollsOnlyWhenItMust)
{
	TSaveLoadWindow window;
	const struct {
		int mode;
		int slots;
		const char* caption;
		int areaHeight;
		bool scrolls;
	} cases[] = { { 0, 10, "読込", 160, false }, { 1, 11, "保存", 168, true }, { 7, 0, "保存", 0, false } };
	for (const auto& c : cases) {
		std::vector<std::string> labels(c.slots, "データなし");
		window.Open(c.mode, labels);
		EXPECT_EQ(c.caption, window.m_Pane.m_OkButton.getCaption());
		EXPECT_EQ(c.areaHeight, window.m_Pane.m_ListArea.getHeight());
		EXPECT_EQ(c.scrolls ? 712 - window.m_Pane.m_ListArea.getScrollbarWidth() : 712, window.m_Pane.m_List.getWidth());
		EXPECT_EQ(c.slots ? "0 データなし" : "", window.m_Pane.m_Model.getElementAt(0));
		EXPECT_EQ("", window.m_Pane.m_Model.getElementAt(c.slots));
		EXPECT_FALSE(window.m_Pane.m_OkButton.isEnabled()) << c.caption << ": no slot chosen";
		window.m_Pane.m_List.setSelected(0);
		EXPECT_EQ(c.mode != 0 && c.slots > 0, window.m_Pane.m_OkButton.isEnabled())
			<< "an empty slot is saved into, never loaded";
	}
	window.Open(0, { "a", "b", "c" });
	EXPECT_EQ("2 c", window.m_Pane.m_Model.getElementAt(2));
	EXPECT_FALSE(window.m_Pane.m_OkButton.isEnabled()) << "no slot chosen";
	window.m_Pane.m_List.setSelected(2);
	EXPECT_TRUE(window.m_Pane.m_OkButton.isEnabled());
}

namespace
{
const char* const WINDOW_NAMES[FRONT_WINDOW_COUNT] = { "start", "system", "settings", "slots", "scenario",
	"masters" };

/// The front end's windows on a top container without a screen, over a data root with one scenario whose
/// chapter is listed but whose data cannot be read; settings and saves go to a scratch folder.
class FrontEndWalk : public ::testing::Test
{
protected:
	FrontEndWalk() : m_Cwd(m_Root.Path()), m_SavedConfig(g_Config)
	{
		WriteScenario(m_Root / "Scenario/Alpha", "First", 1);
		WriteFile("morvaleth.ini", "[Battle]\nAnimationSpeed=2\n");
		g_Config.Load("morvaleth.ini");
		m_Top.setSize(800, 640);
		g_GameMaster.m_RootDir = ".";
		g_GameMaster.m_FrontEnd = CreateFrontEnd(m_Top, ".");
		m_Windows = dynamic_cast<TFrontEndWindows*>(g_GameMaster.m_FrontEnd.get());
		g_GameMaster.ShowSceSelectWindow(false);
	}

	~FrontEndWalk() override
	{
		g_GameMaster.ReleaseGame();
		g_GameMaster.m_FrontEnd.reset();
		g_GameMaster.m_RootDir.clear();
		g_Config = m_SavedConfig;
	}

	/// The names of the shown windows, in the order of the front end's windows.
	std::string Shown() const
	{
		std::string names;
		for (int i = 0; i < FRONT_WINDOW_COUNT; ++i)
			if (g_GameMaster.m_FrontEnd->GetWindow(static_cast<TFrontWindow>(i)).isVisible())
				names += (names.empty() ? "" : " ") + std::string(WINDOW_NAMES[i]);
		return names;
	}

	TStartMenuPane& StartMenu() { return m_Windows->m_StartMenu->m_Pane; }
	TSceSelectPane& Scenarios() { return m_Windows->m_SceSelect->m_Pane; }
	TSaveLoadPane& Slots() { return m_Windows->m_SaveLoad->m_Pane; }
	TConfigPane& Settings() { return m_Windows->m_Config->m_Pane; }

	TTempDir m_Root;
	TScopedCwd m_Cwd;
	TCapturedLog m_Log;
	TGameConfig m_SavedConfig;
	gcn::Container m_Top;
	TFrontEndWindows* m_Windows = nullptr;
};
}

// Before a game every screen goes back to the start menu; a new game that cannot be built says why and
// leaves the scenario select open with nothing held.
TEST_F(FrontEndWalk, EveryScreenLeadsWhereThePlayerExpects)
{
	ASSERT_TRUE(m_Windows);
	const struct {
		const char* step;
		std::function<void()> act;
		const char* shown;
	} steps[] = {
		{ "start", [] {}, "start" },
		{ "新規ゲーム", [&] { Press(*m_Windows->m_StartMenu, StartMenu().m_NewGameButton); }, "scenario" },
		{ "取消", [&] { Press(Scenarios(), Scenarios().m_CancelButton); }, "start" },
		{ "設定", [&] { Press(*m_Windows->m_StartMenu, StartMenu().m_SettingsButton); }, "settings" },
		{ "Cancel", [&] { Press(*m_Windows->m_Config, Settings().m_CancelButton); }, "start" },
		{ "続きから", [&] { Press(*m_Windows->m_StartMenu, StartMenu().m_ContinueButton); }, "slots" },
		{ "読込 without a row", [&] { Press(*m_Windows->m_SaveLoad, Slots().m_OkButton); }, "slots" },
		{ "取消 of the slots", [&] { Press(*m_Windows->m_SaveLoad, Slots().m_CancelButton); }, "start" },
		{ "a chapter that cannot be played",
			[&] {
				Press(*m_Windows->m_StartMenu, StartMenu().m_NewGameButton);
				Pick(Scenarios(), Scenarios().m_ScenarioList, 0);
				Pick(Scenarios(), Scenarios().m_ChapterList, 0);
				Press(Scenarios(), Scenarios().m_StartButton);
			},
			"scenario" },
		{ "取消 after the failure", [&] { Press(Scenarios(), Scenarios().m_CancelButton); }, "start" },
		{ "設定, then OK",
			[&] {
				Press(*m_Windows->m_StartMenu, StartMenu().m_SettingsButton);
				Settings().m_Battle.m_Speed.m_Selected = 4;
				Press(*m_Windows->m_Config, Settings().m_OkButton);
			},
			"start" },
	};
	for (const auto& step : steps) {
		step.act();
		EXPECT_EQ(step.shown, Shown()) << step.step;
	}
	EXPECT_FALSE(g_GameMaster.m_Game);
	EXPECT_EQ(1, m_Log.CountLines("シナリオデータの読み込みに失敗しました。シナリオデータ ./Scenario/Alpha の読み込みに失敗"))
		<< m_Log.Text();
	EXPECT_TRUE(IsDirectory("Save")) << "the slots' folder is made when the slots are listed";
	TGameConfig restarted;
	restarted.Load("morvaleth.ini");
	EXPECT_EQ(5, restarted.GetIntValue(CONFIG_ANIMATION_SPEED)) << "the file holds the accepted speed";
}

// What the lists highlight is what is picked, whether a click, the wheel or a key moved the highlight
// (guichan's lists move it on the wheel and the arrow keys without a click): the chapters, the explanation,
// "開始" and the game it starts follow it.
TEST_F(FrontEndWalk, TheHighlightedScenarioAndChapterAreTheOnesShownAndStarted)
{
	WriteScenario(m_Root / "Scenario/Beta", "Second", 10);
	TSceSelectPane& pane = Scenarios();
	pane.ScanScenarios(".");
	Press(*m_Windows->m_StartMenu, StartMenu().m_NewGameButton);
	Pick(pane, pane.m_ScenarioList, 1);
	Pick(pane, pane.m_ChapterList, 0);
	pane.m_ChapterList.setSelected(1);
	EXPECT_EQ("About 2", pane.m_Explanation.m_Text) << "the chapter the wheel moved to";

	pane.m_ScenarioList.setSelected(0);
	EXPECT_EQ(1, pane.m_ChapterModel.getNumberOfElements()) << "the chapters of the scenario the wheel moved to";
	EXPECT_EQ(-1, pane.m_ChapterList.getSelected());
	EXPECT_FALSE(pane.CanStart());
	EXPECT_EQ("", pane.m_Explanation.m_Text);
	pane.m_ScenarioList.setSelected(1);
	pane.m_ChapterList.setSelected(4);
	EXPECT_TRUE(pane.CanStart());
	EXPECT_EQ("About 5", pane.m_Explanation.m_Text);
	pane.m_ChapterList.setSelected(12);
	EXPECT_EQ(9, pane.m_ChapterList.getSelected()) << "past the last chapter, the last";
	EXPECT_EQ("About 10", pane.m_Explanation.m_Text);

	Press(pane, pane.m_StartButton);
	EXPECT_EQ("scenario", Shown());
	EXPECT_EQ(1, m_Log.CountLines("シナリオデータの読み込みに失敗しました。シナリオデータ ./Scenario/Beta の読み込みに失敗"))
		<< m_Log.Text();
	EXPECT_EQ(0, m_Log.CountLines("Scenario/Alpha")) << m_Log.Text();
}

// A save that cannot be loaded from the start menu is refused with an Error that stands above the start
// menu the closed slots give back, where it can be read and answered.
TEST_F(FrontEndWalk, AFailedLoadFromTheStartMenuShowsItsErrorAboveTheMenu)
{
	gcn::Gui* gui = new gcn::Gui();
	gui->setTop(&m_Top);
	g_GuiContext.SetGui(gui);
	gcn::Widget& menu = g_GameMaster.m_FrontEnd->GetWindow(FRONT_START_MENU);
	g_GuiContext.CenterWidget(&menu);
	CreateDirectories("Save");
	WriteFile("Save/save01.xml", "<?xml version=\"1.0\" ?>\n<MorvalethSave><Da");
	Press(*m_Windows->m_StartMenu, StartMenu().m_ContinueButton);
	Slots().m_List.setSelected(1);
	Press(*m_Windows->m_SaveLoad, Slots().m_OkButton);
	EXPECT_EQ("start", Shown());
	EXPECT_TRUE(IsMsgDlgVisible());
	EXPECT_EQ(1, m_Log.CountLines("セーブデータ ./Save/save01.xml を読み込めませんでした。"));
	const gcn::Widget* atMenu = m_Top.getWidgetAt(menu.getX() + menu.getWidth() / 2, menu.getY() + menu.getHeight() / 2);
	EXPECT_TRUE(atMenu && atMenu == g_MsgDlg);
	g_GuiContext.Release();
}

// The settings-only system menu keeps its bottom-left corner and offers "設定" alone.
TEST_F(FrontEndWalk, TheCompactSystemMenuKeepsItsCornerAndOnlyTheSettings)
{
	gcn::Widget& menu = g_GameMaster.m_FrontEnd->GetWindow(FRONT_SYSTEM_MENU);
	TSysMenuPane& pane = m_Windows->m_SysMenu->m_Pane;
	menu.setPosition(0, 640 - menu.getHeight());
	menu.setVisible(true);
	for (bool compact : { true, false, true }) {
		g_GameMaster.SetSysMenuCompact(compact);
		EXPECT_EQ(640, menu.getY() + menu.getHeight()) << compact;
		EXPECT_EQ(compact ? 36 : 100, pane.getHeight());
		EXPECT_EQ(!compact, pane.m_SaveButton.isVisible());
		EXPECT_EQ(!compact, pane.m_LoadButton.isVisible());
		EXPECT_EQ(compact ? 8 : 72, pane.m_SettingsButton.getY());
	}
}
