#include "app/FrontEnd.h"
#include "app/GameConfig.h"
#include "app/GameMaster.h"
#include "app/HexGrid.h"
#include "app/Random.h"
#include "battle/BattleMap.h"
#include "battle/BattleMapLogic.h"
#include "battle/HexGeometry.h"
#include "battle/MagicRules.h"
#include "battle/ScreenBattleView.h"
#include "front/ConfigWindow.h"
#include "gui/GuiContext.h"
#include "gui/MsgDlg.h"
#include "model/MagicData.h"
#include "model/MorvalethData.h"
#include "model/MorvalethGame.h"
#include "support/GuiScreen.h"
#include "support/SampleGuiWindow.h"

#include <SDL/SDL_keysym.h>
#include <gtest/gtest.h>
#include <guichan/gui.hpp>
#include <guichan/key.hpp>
#include <guichan/mouseinput.hpp>
#include <guichan/opengl.hpp>

#include <algorithm>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace
{
const int FRAME_CAP = 20000;

typedef TScreenPoint TPoint;

int Brightness(std::uint32_t pixel)
{
	return ((pixel >> 16) & 0xFF) + ((pixel >> 8) & 0xFF) + (pixel & 0xFF);
}

/// An 800 x 600 window with the game's GUI, the sample's database, pictures and new game in the game master, a
/// battle controller on the real view, and input fed to guichan as its own events. A battle is fought for the
/// first area whose map has start points for a neighbour: the owner defends with the area's charas, the
/// neighbour's owner attacks with the neighbour's charas.
class BattleWindowTest : public ::testing::Test
{
protected:
	void SetUp() override
	{
		SKIP_WITHOUT_DISPLAY();
		m_Screen.Open("[GUI]\nDarkPaneColor=FF000020\nMessageTimeoutFrame=4\n[Battle]\nTurnMax=2\nAnimationSpeed=2\n"
					  "[Shortcut]\nWait=119\n");
		// The same battle every time: the sides' choices and the turn order follow the draws.
		SeedRandom(5);
		m_View.reset(new TScreenBattleView());
		m_Logic.reset(new TBattleMapLogic(*m_View, *g_GameMaster.m_Data, *g_GameMaster.m_Game));
		m_View->SetLogic(m_Logic.get());
		ChooseBattle();
	}

	void TearDown() override
	{
		m_Logic.reset();
		m_View.reset();
		m_Screen.Close();
	}

	void ChooseBattle()
	{
		TMorvalethGame& game = *g_GameMaster.m_Game;
		for (int a = 0; a < game.GetAreaCount() && m_Area < 0; ++a) {
			const TAreaInstance& area = game.GetArea(a);
			if (!area.BattleMap || area.Owner < 0 || area.Charas.empty())
				continue;
			for (int n : area.Neighbors) {
				std::vector<point_t> points;
				const TAreaInstance& from = game.GetArea(n);
				if (from.Owner >= 0 && from.Owner != area.Owner && !from.Charas.empty()
					&& area.BattleMap->GetStartPoints(n, points) && points.size() >= from.Charas.size()) {
					m_Area = a;
					m_From = n;
					break;
				}
			}
		}
		ASSERT_NE(-1, m_Area) << "the sample has a battle to fight";
		m_Sides[0] = game.GetArea(m_Area).Charas;
		m_Sides[1] = game.GetArea(m_From).Charas;
		m_Sources[0].assign(m_Sides[0].size(), -1);
		m_Sources[1].assign(m_Sides[1].size(), m_From);
		m_Masters = {game.GetArea(m_Area).Owner, game.GetArea(m_From).Owner};
	}

	/// Starts the battle, the attackers played by the player when so asked; true when it is watched.
	bool Start(bool playerAttacks)
	{
		for (int m = 0; m < g_GameMaster.m_Game->GetMasterCount(); ++m)
			g_GameMaster.m_Game->GetMaster(m).Player = playerAttacks && m == m_Masters[1];
		return !m_Logic->Start(*g_GameMaster.m_Game->GetArea(m_Area).BattleMap, {&m_Sides[0], &m_Sides[1]}, m_Masters,
			m_Area, m_Sources);
	}

	/// One frame as the main loop runs it: input and logic, then drawing.
	void Frame()
	{
		g_GuiContext.m_Gui->logic();
		++g_GuiContext.m_FrameCount;
		m_Screen.DrawFrame();
		++m_Frames;
	}

	/// Frames until the state is reached; false at the cap.
	bool RunUntil(int state, int cap = FRAME_CAP)
	{
		for (int i = 0; i < cap; ++i) {
			if (m_Logic->GetState() == state)
				return true;
			Frame();
		}
		return m_Logic->GetState() == state;
	}

	void Screenshot(const std::string& name) { m_Screen.Screenshot(name); }

	void Click(const TPoint& point, int button = gcn::MouseInput::LEFT)
	{
		m_Screen.PushClick(point, button);
		Frame();
	}

	void PressKey(int key)
	{
		m_Screen.Input().PushKey(key);
		Frame();
	}

	static TPoint At(const gcn::Widget& widget, int x = 0, int y = 0) { return TSampleGuiWindow::At(widget, x, y); }
	static TPoint Middle(const gcn::Widget& widget) { return At(widget, widget.getWidth() / 2, widget.getHeight() / 2); }

	/// The screen point of a cell's middle, the map scrolled to show it.
	TPoint CellPoint(int x, int y)
	{
		const point_t centre = CellCenterPixel(x, y);
		m_View->ScrollTo(centre.x, centre.y);
		return At(m_View->m_MapWindow.m_MapPane, centre.x, centre.y);
	}

	point_t ActiveCell() const
	{
		int side = 0;
		int index = 0;
		m_Logic->GetActiveChara(side, index);
		TCharaInstance chara;
		m_Logic->GetCharaStatus(side, index, chara);
		return {chara.BattleX, chara.BattleY};
	}

	/// Places every chara of the player's groups on the framed start points still free.
	void PlaceAll()
	{
		for (int guard = 0; guard < 100 && m_Logic->GetState() == STATE_PLAYER_PLACING; ++guard) {
			const std::vector<gcn::Rectangle>& frames = m_View->m_MapWindow.m_MapPane.m_Highlights;
			bool placed = false;
			for (const gcn::Rectangle& frame : frames) {
				const point_t cell = CellFromPixel(frame.x + 16, frame.y + 16, Map().GetWidth(), Map().GetHeight());
				int side = 0;
				int index = 0;
				if (m_Logic->GetCharaOn(cell.x, cell.y, side, index))
					continue;
				Click(CellPoint(cell.x, cell.y));
				placed = true;
				break;
			}
			ASSERT_TRUE(placed) << "a free start point for every chara";
		}
	}

	/// White pixels of the status line's box in the middle of the bottom pane.
	int CountStatusLine(const gcn::Rectangle& bottom) const
	{
		return CountLit(bottom.x + bottom.width / 2 - 120, bottom.y + 4, 240, 24, 600);
	}

	/// The drawn pixels of the middle of the cell around the point.
	std::vector<std::uint32_t> CellPixels(const TPoint& centre) const
	{
		std::vector<std::uint32_t> pixels;
		for (int y = centre.y - 12; y < centre.y + 12; ++y)
			for (int x = centre.x - 12; x < centre.x + 12; ++x)
				pixels.push_back(m_Screen.Window().Pixel(x, y));
		return pixels;
	}

	const TCharaInstance& Active() const
	{
		int side = 0;
		int index = 0;
		m_Logic->GetActiveChara(side, index);
		return m_Logic->GetField().Chara({side, index});
	}

	/// Pixels of the screen area darker than black-ish.
	int CountLit(int x0, int y0, int width, int height, int above = 60) const
	{
		int count = 0;
		for (int y = y0; y < y0 + height; ++y)
			for (int x = x0; x < x0 + width; ++x)
				count += Brightness(m_Screen.Window().Pixel(x, y)) > above;
		return count;
	}

	int AverageBrightness(const TPoint& at, int width, int height) const
	{
		long sum = 0;
		for (int y = at.y; y < at.y + height; ++y)
			for (int x = at.x; x < at.x + width; ++x)
				sum += Brightness(m_Screen.Window().Pixel(x, y));
		return static_cast<int>(sum / (width * height));
	}

	const TBattleMap& Map() const { return *g_GameMaster.m_Game->GetArea(m_Area).BattleMap; }

	TSampleGuiWindow m_Screen;
	std::unique_ptr<TScreenBattleView> m_View;
	std::unique_ptr<TBattleMapLogic> m_Logic;
	int m_Area = -1;
	int m_From = -1;
	std::vector<TCharaInstance> m_Sides[2];
	std::vector<std::vector<int>> m_Sources{2};
	std::vector<int> m_Masters;
	int m_Frames = 0;
};

// The player places the attackers, moves a chara and takes the move back with a right click, reads a
// chara's status, looks at the magic window, ends turns with the shortcut key and the battle runs to its end.
TEST_F(BattleWindowTest, APlayerFightsABattleToItsEnd)
{
	ASSERT_TRUE(Start(true));
	ASSERT_TRUE(RunUntil(STATE_PLAYER_PLACING, 10));
	Frame();
	const TBattleMapWindow& window = m_View->m_MapWindow;
	ASSERT_TRUE(window.isVisible());
	EXPECT_EQ(800, window.getX() + window.getWidth()) << "at the right edge";
	ASSERT_TRUE(m_View->m_PlaceWindow.isVisible());
	Screenshot("battle_placement");
	// The map is drawn: the scroll area holds terrain of more than one colour.
	const TPoint map = At(window.m_Scroll);
	EXPECT_LT(window.m_Scroll.getWidth() * window.m_Scroll.getHeight() / 2,
		CountLit(map.x, map.y, window.m_Scroll.getWidth(), window.m_Scroll.getHeight(), 0));
	PlaceAll();
	EXPECT_FALSE(m_View->m_PlaceWindow.isVisible());

	ASSERT_TRUE(RunUntil(STATE_COMMAND));
	const TBattleCommandWindow& bar = m_View->m_CommandWindow;
	ASSERT_TRUE(bar.isVisible());
	Frame();
	Screenshot("battle_command_bar");
	// A disabled command (repeating the own special: none used yet, whatever the computer side did
	// meanwhile) is drawn darker than an enabled one.
	ASSERT_TRUE(m_View->m_CommandWindow.isVisible());
	ASSERT_FALSE(bar.m_Hovered != -1);
	const int waitLight = AverageBrightness(At(m_View->m_CommandWindow.Button(COMMAND_WAIT)), 32, 32);
	const int repeatLight = AverageBrightness(At(m_View->m_CommandWindow.Button(COMMAND_REPEAT_OWN)), 32, 32);
	EXPECT_FALSE(m_View->m_CommandWindow.Button(COMMAND_REPEAT_OWN).isEnabled());
	EXPECT_LT(repeatLight * 3, waitLight * 2) << waitLight << " " << repeatLight;

	// Move to a reachable cell two cells away or more, then take the move back with the right button. The cursor
	// does not stay on the cell the chara walks away from.
	const point_t start = ActiveCell();
	Click(Middle(m_View->m_CommandWindow.Button(COMMAND_MOVE)));
	ASSERT_EQ(STATE_CHOOSE_MOVE, m_Logic->GetState());
	const TValueLayer<int> movable = m_Logic->GetMovableLayer();
	point_t target = {-1, 0};
	for (int y = 0; y < movable.Height() && target.x < 0; ++y)
		for (int x = 0; x < movable.Width() && target.x < 0; ++x)
			if (movable.At(x, y) > 0 && HexPixelDistance(start.x, start.y, x, y) >= 2 * HEX_CELL_SIZE)
				target = {x, y};
	ASSERT_NE(-1, target.x);
	Click(CellPoint(target.x, target.y));
	ASSERT_EQ(STATE_MOVING, m_Logic->GetState());
	while (m_Logic->GetState() == STATE_MOVING && m_View->m_MapWindow.m_MapPane.m_Sprites[Active().DrawSlot].cell == start)
		Frame();
	CellPoint(start.x, start.y);
	Frame();
	ASSERT_EQ(STATE_MOVING, m_Logic->GetState()) << "the walk takes more than one cell";
	const std::vector<std::uint32_t> walking = CellPixels(CellPoint(start.x, start.y));
	ASSERT_TRUE(RunUntil(STATE_COMMAND_MOVED, 200));
	// Once the chara has arrived the cursor is on its new cell: the old one shows its bare terrain.
	CellPoint(start.x, start.y);
	Frame();
	EXPECT_TRUE(walking == CellPixels(CellPoint(start.x, start.y))) << "the cell the chara walked away from is still lit";
	EXPECT_EQ(target, ActiveCell());
	Click(CellPoint(target.x, target.y), gcn::MouseInput::RIGHT);
	EXPECT_EQ(STATE_COMMAND, m_Logic->GetState());
	EXPECT_EQ(start, ActiveCell());

	// A click on the chara shows its status sheet, with its name.
	Click(CellPoint(start.x, start.y));
	ASSERT_TRUE(m_View->m_StatusWindow.isVisible());
	Frame();
	Screenshot("battle_status_sheet");
	const TPoint sheet = At(m_View->m_StatusWindow);
	EXPECT_LT(20, CountLit(sheet.x, sheet.y, m_View->m_StatusWindow.getWidth(), 40, 600)) << "white text";
	Click(Middle(m_View->m_StatusWindow));
	EXPECT_FALSE(m_View->m_StatusWindow.isVisible());

	// The magic window of the chara, cancelled with the right button.
	int side = 0;
	int index = 0;
	m_Logic->GetActiveChara(side, index);
	TCharaInstance chara;
	m_Logic->GetCharaStatus(side, index, chara);
	m_View->ShowMagicWindow(chara, std::vector<int>(g_GameMaster.m_Data->GetMagicCount(), 0));
	Frame();
	Screenshot("battle_magic_window");
	ASSERT_EQ(g_GameMaster.m_Data->GetMagicGroupCount(), static_cast<int>(m_View->m_MagicWindow.Panes().size()));
	// The light group (third) has no colour of its own: its title is white, its rows list sera's light magic.
	const TPoint pane = At(*m_View->m_MagicWindow.Panes()[2]);
	EXPECT_LT(20, CountLit(pane.x, pane.y, 240, 20, 450)) << "the group's title";
	EXPECT_LT(20, CountLit(pane.x + 128, pane.y + 24, 80, 20, 600)) << "the cells of the first row";
	// Resting on a magic shows its guidance below the rows, whole: a text too long to centre begins at the
	// pane's margin, its first character left of nothing.
	const TMorvalethData& data = *g_GameMaster.m_Data;
	m_View->ShowMagicWindow(g_GameMaster.m_Game->CreateCharaInstance(data.GetCharaIndex("sera"), 5),
		std::vector<int>(data.GetMagicCount(), 0));
	const TMagicGroupPane& light = *m_View->m_MagicWindow.Panes()[2];
	const std::vector<TMagicRow>& rows = light.Rows();
	const auto purify = std::find_if(rows.begin(), rows.end(),
		[&](const TMagicRow& row) { return data.GetMagicData(row.magic).id == "purify"; });
	ASSERT_NE(rows.end(), purify) << "sera's light magic lists purification";
	m_Screen.MoveMouse(At(light, MAGIC_CELL_LEFT + 10, MAGIC_CELL_TOP + MAGIC_ROW_HEIGHT * int(purify - rows.begin()) + 10));
	Frame();
	const TPoint guidance = At(light, 0, TMagicGroupPane::HEIGHT - 20);
	EXPECT_LT(20, CountLit(guidance.x, guidance.y, TMagicGroupPane::WIDTH, 14, 600)) << "the guidance shows";
	EXPECT_EQ(0, CountLit(guidance.x, guidance.y, 2, 14, 600)) << "the guidance's first character is cut";
	m_View->HideMagicWindow();

	// F1 shows every chara; a click hides the list.
	PressKey(gcn::Key::F1);
	ASSERT_TRUE(m_View->m_CharaListWindow.isVisible());
	Frame();
	Screenshot("battle_chara_list");
	Click(Middle(m_View->m_CharaListWindow));
	EXPECT_FALSE(m_View->m_CharaListWindow.isVisible());

	// The shortcut key ends the chara's turn; every later player turn ends the same way. While a computer
	// chara acts, the status line no longer calls for the player's command.
	const gcn::Rectangle bottom = TGuiScreen::ScreenArea(window.m_BottomPane);
	EXPECT_LT(20, CountStatusLine(bottom)) << "the status line calls for a command";
	g_GameMaster.PushKey(SDLK_w);
	Frame();
	EXPECT_NE(STATE_COMMAND, m_Logic->GetState());
	for (int i = 0; i < FRAME_CAP && m_Logic->GetState() != STATE_COMPUTER && m_Logic->IsInBattle(); ++i) {
		int queued = 0;
		if (m_Logic->GetState() == STATE_COMMAND && !g_GameMaster.PeekKey(queued))
			g_GameMaster.PushKey(SDLK_w);
		Frame();
	}
	ASSERT_EQ(STATE_COMPUTER, m_Logic->GetState()) << "a computer chara acts";
	Frame();
	EXPECT_EQ(0, CountStatusLine(bottom)) << "the status line still calls for a command";
	bool messageSeen = false;
	for (int i = 0; i < FRAME_CAP && m_Logic->IsInBattle(); ++i) {
		int queued = 0;
		if (m_Logic->GetState() == STATE_COMMAND && !g_GameMaster.PeekKey(queued))
			g_GameMaster.PushKey(SDLK_w);
		if (!messageSeen && IsMsgDlgVisible()) {
			messageSeen = true;
			Frame();
			Screenshot("battle_end_message");
		}
		Frame();
	}
	EXPECT_FALSE(m_Logic->IsInBattle());
	EXPECT_FALSE(m_Logic->HasFailed());
	EXPECT_TRUE(messageSeen);
	EXPECT_FALSE(window.isVisible());
	EXPECT_FALSE(bar.isVisible());
}

// The settings window opened in a battle stays in front of the battle's windows, the command bar that comes
// up for the player's chara included, and the battle waits behind it: its shortcut key stays queued for the window, F2 and
// the command bar do nothing. Once the window is closed, the key pressed into it is gone and the next one
// commands the chara.
TEST_F(BattleWindowTest, TheBattleWaitsBehindTheSettingsWindow)
{
	g_GameMaster.m_FrontEnd = CreateFrontEnd(m_Screen.Top(), MORVALETH_SOURCE_DIR "/data");
	ASSERT_TRUE(Start(true));
	ASSERT_TRUE(RunUntil(STATE_PLAYER_PLACING, 10));
	PlaceAll();
	g_GameMaster.ShowConfigWindow();
	gcn::Widget& settings = g_GameMaster.m_FrontEnd->GetWindow(FRONT_CONFIG);
	ASSERT_TRUE(settings.isVisible());
	ASSERT_TRUE(RunUntil(STATE_COMMAND)) << "the battle goes on behind the settings until the player's chara";
	ASSERT_TRUE(m_View->m_CommandWindow.isVisible());
	const TConfigPane& pane = dynamic_cast<TConfigWindow&>(settings).m_Pane;
	for (const gcn::Widget* button : { &pane.m_OkButton, &pane.m_CancelButton }) {
		const TPoint middle = Middle(*button);
		EXPECT_EQ(&settings, m_Screen.Top().getWidgetAt(middle.x, middle.y)) << "the settings' button is covered";
	}
	Frame();
	Screenshot("battle_behind_settings");

	g_GameMaster.PushKey(SDLK_w);
	PressKey(gcn::Key::F2);
	Click(Middle(m_View->m_CommandWindow.Button(COMMAND_WAIT)));
	EXPECT_EQ(STATE_COMMAND, m_Logic->GetState());
	int key = 0;
	EXPECT_TRUE(g_GameMaster.PeekKey(key) && key == SDLK_w) << "the key waits for the settings window";
	Click(Middle(pane.m_CancelButton));
	EXPECT_FALSE(settings.isVisible());
	Frame();
	EXPECT_EQ(STATE_COMMAND, m_Logic->GetState()) << "the key pressed into the settings acts after them";
	g_GameMaster.PushKey(SDLK_w);
	Frame();
	EXPECT_NE(STATE_COMMAND, m_Logic->GetState());
}

// A battle of computer sides, watched at every speed: each runs to its end on screen, the slower levels taking
// no fewer frames than the faster ones.
TEST_F(BattleWindowTest, AWatchedComputerBattleAtEverySpeed)
{
	g_Config.SetBoolValue(SWITCH_WATCH_USE, true);
	int previous = 0;
	for (int level = 1; level <= 5; ++level) {
		g_Config.SetIntValue(CONFIG_ANIMATION_SPEED, level);
		for (int s = 0; s < 2; ++s)
			m_Sides[s] = g_GameMaster.m_Game->GetArea(s == 0 ? m_Area : m_From).Charas;
		ASSERT_TRUE(Start(false)) << level;
		EXPECT_EQ(level, m_Logic->GetSpeedLevel());
		const int first = m_Frames;
		bool shown = false;
		for (int i = 0; i < FRAME_CAP && m_Logic->IsInBattle(); ++i) {
			shown = shown || m_View->m_MapWindow.isVisible();
			Frame();
		}
		EXPECT_FALSE(m_Logic->IsInBattle()) << level;
		EXPECT_FALSE(m_Logic->HasFailed()) << level;
		EXPECT_TRUE(shown) << level;
		EXPECT_FALSE(m_View->m_MapWindow.isVisible()) << level;
		EXPECT_LE(previous, m_Frames - first) << level;
		previous = m_Frames - first;
	}
	g_Config.SetBoolValue(SWITCH_WATCH_USE, false);
	g_Config.SetIntValue(CONFIG_ANIMATION_SPEED, 3);
}
}
