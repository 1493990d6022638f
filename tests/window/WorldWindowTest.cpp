// A player's turn on the world map of the sample, played with input injected as SDL events at the
// default 800x600 and at 1280x1024: the map, hover hints, the area window and its commands, hiring,
// dismissal, a standing order, a war on an empty neutral area, a move, the tables, the power map,
// an alliance offer and the end of the turn, until the computer masters have played and the
// player's turn is back. Every window the player needs must lie on the screen.

#include "app/GameConfig.h"
#include "app/GameMaster.h"
#include "app/Logger.h"
#include "app/Random.h"
#include "battle/BattleMapLogic.h"
#include "battle/CharaStatusWindow.h"
#include "battle/ScreenBattleView.h"
#include "gui/GridWindows.h"
#include "gui/HintPane.h"
#include "gui/MsgDlg.h"
#include "model/MorvalethData.h"
#include "model/MorvalethGame.h"
#include "support/GuiScreen.h"
#include "world/CharaListWindow.h"
#include "world/ControllerBattle.h"
#include "world/EmployWindow.h"
#include "world/MasterWindow.h"
#include "world/PowerMapWindow.h"
#include "world/ScreenWorldView.h"
#include "world/WarCharaWindow.h"
#include "world/WorldMapLogic.h"
#include "world/WorldMapWindow.h"

#include <gtest/gtest.h>
#include <algorithm>
#include <functional>
#include <guichan/widgets/container.hpp>
#include <memory>

namespace
{
bool IsWhite(const gcn::Color& c)
{
	return c.r > 200 && c.g > 200 && c.b > 200;
}

bool IsYellow(const gcn::Color& c)
{
	return c.r > 200 && c.g > 200 && c.b < 80;
}

bool IsHintGround(const gcn::Color& c)
{
	return NearColor(c, gcn::Color(255, 255, 225, 255), 12);
}

TWorldMapLogic* Controller()
{
	return dynamic_cast<TWorldMapLogic*>(g_GameMaster.m_WorldMap.get());
}

class WorldWindowTest : public ::testing::TestWithParam<std::pair<int, int>>
{
protected:
	void SetUp() override
	{
		SKIP_WITHOUT_DISPLAY();
		m_Screen.reset(new TGuiScreen(GetParam().first, GetParam().second,
			"[GUI]\nMessageTimeoutFrame=3\nDoubleClickFrame=10\n[Mixer]\nMusicEnabled=0\nSoundEnabled=0\n"));
		ASSERT_TRUE(m_Screen->IsOpen());
		SeedRandom(7);
		g_GameMaster.m_RootDir = MORVALETH_SOURCE_DIR "/data";
		ASSERT_TRUE(g_GameMaster.NewGame("Default", 0, 3)) << g_GameMaster.m_LastError;
		TMorvalethGame& game = *g_GameMaster.m_Game;
		m_Leon = game.GetMasterIndexByID("leon");
		// The player's areas are strong enough that no computer master attacks them in this test.
		for (const char* id : { "A01", "A02" })
			for (int i = 0; i < 8; ++i)
				game.GetArea(Area(id)).Charas.push_back(game.CreateCharaInstance(Chara("knight"), 6));
		g_GameMaster.StartGame({ game.GetMaster(m_Leon).DataIndex });
		ASSERT_NE(nullptr, Controller());
		m_Settings = g_Config;
	}

	void TearDown() override
	{
		g_Config = m_Settings;
		g_GameMaster.ReleaseGame();
		g_GameMaster.m_GameRunning = false;
		g_GameMaster.m_RootDir.clear();
		m_Screen.reset();
	}

	TMorvalethGame& Game() { return *g_GameMaster.m_Game; }
	int Area(const char* id) { return Game().GetAreaIndex(id); }
	int Chara(const char* id) { return g_GameMaster.m_Data->GetCharaIndex(id); }
	int Status() { return Controller()->GetStatus(); }
	std::string Suffix() const { return FormatText("_%dx%d", GetParam().first, GetParam().second); }

	/// The view on the screen, with the windows.
	TScreenWorldView& View() { return dynamic_cast<TScreenWorldView&>(Controller()->GetView()); }

	/// Runs frames until the condition holds, closing what the computer masters' turns put up: answers
	/// questions no, lets timed messages close and declines found heroes. Whether it held.
	bool RunUntil(const std::function<bool()>& done, int cap = 4000)
	{
		for (int frame = 0; frame < cap; ++frame) {
			if (done())
				return true;
			if (IsMsgDlgVisible() && g_MsgDlg->m_Timeout == 0)
				m_Screen->ClickOn(g_MsgDlg->m_Buttons[g_MsgDlg->m_ButtonMask & BUTTON_NO ? 2 : 0]);
			else if (Status() == WORLD_HERO_OFFERED)
				m_Screen->ClickOn(View().GetHeroWindow()->m_Pane.m_DeclineButton);
			else
				m_Screen->Frame();
		}
		return done();
	}

	bool RunUntilPlayerIdle()
	{
		return RunUntil([this] { return Status() == WORLD_PLAYER_IDLE && !IsMsgDlgVisible(); });
	}

	/// The screen point of an area's marker on the map.
	void AreaPoint(int area, int& x, int& y)
	{
		const point_t& p = Game().GetArea(area).Location;
		View().GetMapWindow()->MapToScreen(p.x + AREA_ANCHOR_X, p.y + AREA_ANCHOR_Y, x, y);
	}

	void ClickArea(const char* id, Uint8 button = SDL_BUTTON_LEFT)
	{
		int x = 0;
		int y = 0;
		AreaPoint(Area(id), x, y);
		m_Screen->Click(x, y, button);
	}

	/// Clicks a point of a widget, in its own coordinates.
	void ClickIn(const gcn::Widget& widget, int x, int y)
	{
		const gcn::Rectangle area = TGuiScreen::ScreenArea(widget);
		m_Screen->Click(area.x + x, area.y + y);
	}

	/// Clicks a chip of a list pane of 40-pixel cells, five to a row.
	void ClickChip(const gcn::Widget& pane, int index) { ClickIn(pane, index % 5 * 40 + 16, index / 5 * 40 + 16); }

	/// Moves the pointer onto a cell of a list pane of 40-pixel cells, five to a row.
	void HoverCell(const gcn::Widget& pane, int index)
	{
		const gcn::Rectangle area = TGuiScreen::ScreenArea(pane);
		m_Screen->MoveMouse(area.x + index % 5 * 40 + 16, area.y + index / 5 * 40 + 16);
	}

	/// The pointer rests on an area that no window covers until the area's hint shows, then moves onto the
	/// widget: over it the hint fades within its four frames and none of its ground is left on the screen.
	void ExpectHintFadesOver(const gcn::Widget& widget, const char* name)
	{
		int x = -1;
		int y = -1;
		for (int a = 0; a < Game().GetAreaCount() && x < 0; ++a) {
			AreaPoint(a, x, y);
			if (m_Screen->Top().getWidgetAt(x, y) != View().GetMapWindow())
				x = -1;
		}
		ASSERT_GE(x, 0) << "an area in sight beside the " << name;
		for (int i = 0; i < 6; ++i)
			m_Screen->MoveMouse(x, y + (i % 2));
		const TGcnHintPane& hint = *View().GetHint();
		ASSERT_TRUE(hint.isVisible()) << name;
		const gcn::Rectangle shown = TGuiScreen::ScreenArea(hint);
		ASSERT_GT(m_Screen->CountPixels(shown, IsHintGround), 50) << name;
		const gcn::Rectangle over = TGuiScreen::ScreenArea(widget);
		m_Screen->MoveMouse(over.x + over.width / 2, over.y + over.height / 2);
		for (int frame = 0; frame < 4; ++frame)
			m_Screen->Frame();
		EXPECT_FALSE(hint.isVisible()) << "over the " << name;
		EXPECT_EQ(0, m_Screen->CountPixels(shown, IsHintGround)) << "over the " << name;
	}

	/// The drawn pixels of a part of the screen.
	std::vector<gcn::Color> CornerPixels(const gcn::Rectangle& area) const
	{
		std::vector<gcn::Color> pixels;
		for (int y = area.y; y < area.y + area.height; ++y)
			for (int x = area.x; x < area.x + area.width; ++x)
				pixels.push_back(m_Screen->Pixel(x, y));
		return pixels;
	}

	/// Every shown window lies whole on the screen.
	void ExpectOnScreen(const gcn::Widget& window, const char* name)
	{
		const gcn::Rectangle area = TGuiScreen::ScreenArea(window);
		EXPECT_TRUE(window.isVisible()) << name;
		EXPECT_GE(area.x, 0) << name;
		EXPECT_GE(area.y, 0) << name;
		EXPECT_LE(area.x + area.width, m_Screen->Width()) << name;
		EXPECT_LE(area.y + area.height, m_Screen->Height()) << name;
	}

	std::unique_ptr<TGuiScreen> m_Screen;
	int m_Leon = -1;
	/// The settings the test began with, which a test may change.
	TGameConfig m_Settings;
};
}

TEST_P(WorldWindowTest, APlayerPlaysATurnThroughTheWindowsAndTheComputerMastersFollow)
{
	TMorvalethGame& game = Game();
	// Before the first turn the caption shows no turn, in the first turn its number in white.
	const gcn::Rectangle map = TGuiScreen::ScreenArea(*View().GetMapWindow());
	const gcn::Rectangle turnBox(map.x + map.width - 144, map.y + 5, 128, 16);
	m_Screen->Frame();
	ASSERT_EQ(0, game.GetTurn());
	EXPECT_EQ(0, m_Screen->CountPixels(turnBox, IsWhite)) << "turn 0 shown";
	ASSERT_TRUE(RunUntilPlayerIdle()) << "status " << Status();
	m_Screen->Frame();
	EXPECT_GT(m_Screen->CountPixels(turnBox, IsWhite), 20);
	ASSERT_EQ(m_Leon, game.GetCurrentMaster());
	const int turn = game.GetProgressedTurn();
	TScreenWorldView& view = View();
	TCharaListWindow& areaWindow = *view.GetAreaWindow();
	TMasterWindow& masterWindow = *view.GetMasterWindow();
	m_Screen->Frame();
	ExpectOnScreen(areaWindow, "area window");
	ExpectOnScreen(masterWindow, "master window");
	ExpectOnScreen(masterWindow.m_OpePane.m_TurnEndButton, "turn-end button");
	ExpectOnScreen(masterWindow.m_OpePane.m_PowerMapButton, "power-map button");
	m_Screen->Screenshot("world_map" + Suffix());
	// The caption line carries the master's name and the turn in white.
	EXPECT_GT(m_Screen->CountPixels(gcn::Rectangle(TGuiScreen::ScreenArea(*view.GetMapWindow()).x + 8, 5, 190, 16),
				  IsWhite),
		20);

	// The pointer resting on a computer master's area shows the hint and marks all of that master's areas.
	int x = 0;
	int y = 0;
	AreaPoint(Area("A03"), x, y);
	for (int i = 0; i < 6; ++i)
		m_Screen->MoveMouse(x, y + (i % 2));
	const TGcnHintPane& hint = *view.GetHint();
	ASSERT_TRUE(hint.isVisible());
	EXPECT_NE(std::string::npos, hint.m_Text.find("戦力指数"));
	EXPECT_GT(m_Screen->CountPixels(TGuiScreen::ScreenArea(hint), IsHintGround), 50);
	const TWorldMapPane& pane = view.GetMapWindow()->m_Pane;
	EXPECT_NE(0u, pane.m_Marks[Area("A03")]);
	EXPECT_EQ(pane.m_Marks[Area("A03")], pane.m_Marks[Area("A04")]);

	// Selecting an own area rings it and shows its characters with the commands.
	ClickArea("A02");
	EXPECT_EQ(Area("A02"), areaWindow.GetArea());
	EXPECT_TRUE(areaWindow.m_OpePane.m_MoveButton.isVisible());
	AreaPoint(Area("A02"), x, y);
	m_Screen->Frame();
	EXPECT_GT(m_Screen->CountPixels(gcn::Rectangle(x - 44, y - 44, 88, 88), IsYellow), 20);
	m_Screen->Screenshot("area_window" + Suffix());
	ExpectHintFadesOver(areaWindow, "area window");

	// The short status shows the character under the pointer and goes when the pointer leaves the chips.
	const gcn::Widget& shortStatus = *view.GetWindow(WORLD_STATUS_WINDOW);
	const int emptyCell = static_cast<int>(game.GetArea(Area("A02")).Charas.size());
	ASSERT_LT(emptyCell, 20);
	HoverCell(areaWindow.m_CharaPane, 1);
	EXPECT_TRUE(shortStatus.isVisible());
	HoverCell(areaWindow.m_CharaPane, emptyCell);
	EXPECT_FALSE(shortStatus.isVisible()) << "over an empty cell";
	HoverCell(areaWindow.m_CharaPane, 1);
	EXPECT_TRUE(shortStatus.isVisible());
	const gcn::Rectangle chips = TGuiScreen::ScreenArea(areaWindow.m_CharaPane);
	m_Screen->MoveMouse(chips.x + chips.width + 8, chips.y + 16);
	EXPECT_FALSE(shortStatus.isVisible()) << "off the list of characters";
	// Nor does it stay when a window comes over the chips under a still pointer: its corner shows again
	// what lies there without it.
	const gcn::Rectangle corner = TGuiScreen::ScreenArea(shortStatus);
	const std::vector<gcn::Color> bare = CornerPixels(corner);
	HoverCell(areaWindow.m_CharaPane, 1);
	ASSERT_TRUE(shortStatus.isVisible());
	EXPECT_TRUE(bare != CornerPixels(corner)) << "the short status is drawn";
	gcn::Widget& table = *view.GetWindow(WORLD_AREA_GRID_WINDOW);
	view.ShowWindow(WORLD_AREA_GRID_WINDOW, true);
	table.setPosition(chips.x, chips.y);
	m_Screen->Frame();
	m_Screen->Frame();
	EXPECT_TRUE(bare == CornerPixels(corner)) << "the short status stays over the corner";
	m_Screen->ClickOn(static_cast<TGcnGridWindow&>(table).m_CloseButton);

	// A double click on a character opens its full status; a click closes it.
	ClickChip(areaWindow.m_CharaPane, 1);
	ClickChip(areaWindow.m_CharaPane, 1);
	TCharaStatusFullWindow& full = *view.GetFullStatusWindow();
	ASSERT_TRUE(full.isVisible());
	ExpectOnScreen(full, "full status");
	m_Screen->ClickOn(full);
	EXPECT_FALSE(full.isVisible());

	// Hiring through the employ window, whose hire button needs a candidate.
	TAreaInstance& a02 = game.GetArea(Area("A02"));
	const size_t before = a02.Charas.size();
	ClickChip(areaWindow.m_CharaPane, 1);
	ASSERT_TRUE(areaWindow.m_OpePane.m_EmployButton.isEnabled());
	m_Screen->ClickOn(areaWindow.m_OpePane.m_EmployButton);
	TEmployWindow& employ = *view.GetEmployWindow();
	ASSERT_EQ(WORLD_EMPLOY_OPEN, Status());
	ExpectOnScreen(employ, "employ window");
	EXPECT_FALSE(employ.m_HireButton.isEnabled());
	ClickIn(employ.m_List, 20, 4);
	ASSERT_TRUE(employ.m_HireButton.isEnabled());
	const int money = game.GetMaster(m_Leon).Money;
	m_Screen->ClickOn(employ.m_HireButton);
	EXPECT_EQ(WORLD_PLAYER_IDLE, Status());
	EXPECT_EQ(before + 1, a02.Charas.size());
	EXPECT_LT(game.GetMaster(m_Leon).Money, money);

	// Dismissing the new character after the question.
	ClickChip(areaWindow.m_CharaPane, static_cast<int>(a02.Charas.size()) - 1);
	m_Screen->ClickOn(areaWindow.m_OpePane.m_DismissButton);
	ASSERT_TRUE(IsMsgDlgVisible());
	m_Screen->ClickOn(g_MsgDlg->m_Buttons[0]);
	ASSERT_TRUE(RunUntilPlayerIdle());
	EXPECT_EQ(before, a02.Charas.size());

	// A standing order picked from the drop-down.
	gcn::DropDown& order = areaWindow.m_OpePane.m_Operation;
	const int folded = order.getHeight();
	m_Screen->ClickOn(order);
	ClickIn(order, 20, folded + 3 * 16 + 6);
	EXPECT_EQ(order.getSelected(), a02.Operation);
	EXPECT_NE(OPERATION_TRAINING, a02.Operation);

	// War on the empty neutral area below: the war window opens on the other half of the screen, the
	// player gathers three characters of the bordering area and they take the area. The bordering area is
	// full, so that all its characters make an army of four rows, taller than the list they come from.
	game.GetArea(Area("A06")).Charas.clear();
	while (a02.Charas.size() < AREA_CHARA_MAX)
		a02.Charas.push_back(game.CreateCharaInstance(Chara("knight"), 0));
	m_Screen->ClickOn(masterWindow.m_OpePane.m_WarButton);
	ASSERT_EQ(WORLD_PICK_WAR_TARGET, Status());
	ClickArea("A06");
	ASSERT_EQ(WORLD_WAR_OPEN, Status());
	TWarCharaWindow& war = *view.GetWarWindow();
	ExpectOnScreen(war, "war window");
	AreaPoint(Area("A06"), x, y);
	const gcn::Rectangle warArea = TGuiScreen::ScreenArea(war);
	EXPECT_EQ(x < m_Screen->Width() / 2, warArea.x + warArea.width / 2 > m_Screen->Width() / 2);
	EXPECT_FALSE(war.m_ConfirmButton.isEnabled());
	ClickArea("A02");
	m_Screen->ClickOn(war.m_AllRightButton);
	EXPECT_EQ(AREA_CHARA_MAX - 1, war.GetArmyCount()); // the first has hired: it has acted and stays
	ExpectOnScreen(war, "war window with a large army");
	m_Screen->ClickOn(war.m_AllLeftButton);
	EXPECT_EQ(0, war.GetArmyCount());
	for (int chip : { 1, 2, 3, 4 })
		ClickChip(war.m_SourcePane, chip);
	EXPECT_EQ(3, war.GetArmyCount());
	ExpectOnScreen(war, "war window with an army");
	m_Screen->Screenshot("war_window" + Suffix());
	ExpectHintFadesOver(war, "war window");
	m_Screen->ClickOn(war.m_ConfirmButton);
	EXPECT_FALSE(war.isVisible());
	ASSERT_TRUE(RunUntilPlayerIdle());
	EXPECT_EQ(m_Leon, game.GetArea(Area("A06")).Owner);
	EXPECT_EQ(3u, game.GetArea(Area("A06")).Charas.size());

	// Moving characters to the new neighbour through the move window.
	ClickArea("A02");
	m_Screen->ClickOn(areaWindow.m_OpePane.m_MoveButton);
	ASSERT_EQ(WORLD_PICK_MOVE_DESTINATION, Status());
	ClickArea("A06");
	ASSERT_EQ(WORLD_MOVE_OPEN, Status());
	TCharaMoveWindow& move = *view.GetMoveWindow();
	ExpectOnScreen(move, "move window");
	ExpectHintFadesOver(move, "move window");
	ClickChip(move.m_Panes[MOVE_PANE_STATIONED_A], 4);
	m_Screen->ClickOn(move.m_ConfirmButton);
	EXPECT_EQ(WORLD_PLAYER_IDLE, Status());
	EXPECT_EQ(4u, game.GetArea(Area("A06")).Charas.size());

	// The three tables and the power map open and close.
	const struct
	{
		gcn::Button* button;
		TWorldWindow window;
	} tables[] = { { &masterWindow.m_OpePane.m_AreaGridButton, WORLD_AREA_GRID_WINDOW },
		{ &masterWindow.m_OpePane.m_MasterGridButton, WORLD_MASTER_GRID_WINDOW },
		{ &masterWindow.m_OpePane.m_HeroGridButton, WORLD_HERO_GRID_WINDOW } };
	for (const auto& table : tables) {
		m_Screen->ClickOn(*table.button);
		TGcnGridWindow& grid = *static_cast<TGcnGridWindow*>(view.GetWindow(table.window));
		ExpectOnScreen(grid, "table");
		ExpectHintFadesOver(grid, "table");
		const gcn::Rectangle area = TGuiScreen::ScreenArea(grid);
		const gcn::Rectangle master = TGuiScreen::ScreenArea(masterWindow);
		const int overlapX = (std::max(area.x, master.x) + std::min(area.x + area.width, master.x + master.width)) / 2;
		const int overlapY = (std::max(area.y, master.y) + std::min(area.y + area.height, master.y + master.height)) / 2;
		if (area.isIntersecting(master)) {
			EXPECT_EQ(&grid, m_Screen->Top().getWidgetAt(overlapX, overlapY)) << "the table lies over the master window";
		}
		if (table.window == WORLD_AREA_GRID_WINDOW)
			m_Screen->Screenshot("area_table" + Suffix());
		m_Screen->ClickOn(grid.m_CloseButton);
		EXPECT_FALSE(grid.isVisible());
		EXPECT_EQ(WORLD_PLAYER_IDLE, Status());
	}
	m_Screen->ClickOn(masterWindow.m_OpePane.m_PowerMapButton);
	TPowerMapWindow& power = *view.GetPowerMapWindow();
	ExpectOnScreen(power, "power map");
	ExpectHintFadesOver(power, "power map");
	m_Screen->Frame();
	m_Screen->Screenshot("power_map" + Suffix());
	EXPECT_GT(m_Screen->CountPixels(TGuiScreen::ScreenArea(power.m_Pane), IsWhite), 20) << "the legend's names";
	ClickIn(power.m_Pane.m_Image, 10, 10);
	EXPECT_FALSE(power.isVisible());
	m_Screen->Frame();
	EXPECT_EQ(WORLD_PLAYER_IDLE, Status());

	// An alliance offer to the master next door, declined at the price question.
	m_Screen->ClickOn(masterWindow.m_OpePane.m_AllianceButton);
	ASSERT_EQ(WORLD_PICK_ALLY, Status());
	ClickArea("A03");
	ASSERT_TRUE(IsMsgDlgVisible());
	m_Screen->ClickOn(g_MsgDlg->m_Buttons[2]);
	ASSERT_TRUE(RunUntilPlayerIdle());

	// The end of the turn: the computer masters play and the player's turn comes back.
	m_Screen->ClickOn(masterWindow.m_OpePane.m_TurnEndButton);
	EXPECT_NE(WORLD_PLAYER_IDLE, Status());
	ASSERT_TRUE(RunUntil([&] {
		return Status() == WORLD_PLAYER_IDLE && game.GetProgressedTurn() > turn && !IsMsgDlgVisible();
	})) << "status " << Status();
	EXPECT_EQ(m_Leon, game.GetCurrentMaster());
	ExpectOnScreen(masterWindow, "master window of the next turn");
}

// The player's battle leaves no short status behind. Its placement leaves the pointer at the left of the
// screen; when the world comes back, the area window's chips come up under that still pointer, and the
// short status waits for the pointer to move before it shows the character under it.
TEST_P(WorldWindowTest, TheShortStatusWaitsForThePointerToMoveAfterABattle)
{
	g_Config.SetIntValue(CONFIG_TURN_MAX, 1);
	g_Config.SetShortcut(SHORTCUT_WAIT, SDLK_w);
	ASSERT_TRUE(RunUntilPlayerIdle()) << "status " << Status();
	TScreenWorldView& view = View();
	TCharaListWindow& areaWindow = *view.GetAreaWindow();
	const gcn::Widget& shortStatus = *view.GetWindow(WORLD_STATUS_WINDOW);
	ClickArea("A02");
	const gcn::Rectangle chips = TGuiScreen::ScreenArea(areaWindow.m_CharaPane);

	// One knight of the castle marches on the village below, which its people defend.
	ASSERT_FALSE(Game().GetArea(Area("A06")).Charas.empty());
	m_Screen->ClickOn(view.GetMasterWindow()->m_OpePane.m_WarButton);
	ClickArea("A06");
	ASSERT_EQ(WORLD_WAR_OPEN, Status());
	TWarCharaWindow& war = *view.GetWarWindow();
	ClickArea("A02");
	ClickChip(war.m_SourcePane, 1);
	m_Screen->ClickOn(war.m_ConfirmButton);
	TBattleMapLogic& battle = dynamic_cast<TControllerBattle&>(*Controller()->GetBattle()).GetLogic();
	TScreenBattleView& battleView = dynamic_cast<TScreenBattleView&>(
		dynamic_cast<TControllerBattle&>(*Controller()->GetBattle()).GetView());
	ASSERT_TRUE(RunUntil([&] { return battle.GetState() == STATE_PLAYER_PLACING; })) << "status " << Status();
	const gcn::Rectangle start = battleView.m_MapWindow.m_MapPane.m_Highlights.at(0);
	ClickIn(battleView.m_MapWindow.m_MapPane, start.x + start.width / 2, start.y + start.height / 2);

	// The pointer rests where the chips come back; the knight waits each turn until the attackers retreat.
	m_Screen->MoveMouse(chips.x + 16, chips.y + 16);
	int frames = 0;
	for (; frames < 20000 && !(Status() == WORLD_PLAYER_IDLE && !IsMsgDlgVisible()); ++frames) {
		int queued = 0;
		if (battle.GetState() == STATE_COMMAND && !g_GameMaster.PeekKey(queued))
			g_GameMaster.PushKey(SDLK_w);
		ASSERT_FALSE(IsMsgDlgVisible() && g_MsgDlg->m_Timeout == 0) << "a question in the battle";
		m_Screen->Frame();
	}
	ASSERT_EQ(WORLD_PLAYER_IDLE, Status());
	EXPECT_EQ(m_Leon, Game().GetCurrentMaster());
	for (int i = 0; i < 5; ++i)
		m_Screen->Frame();
	ASSERT_TRUE(areaWindow.isVisible());
	const gcn::Rectangle back = TGuiScreen::ScreenArea(areaWindow.m_CharaPane);
	ASSERT_TRUE(back.x == chips.x && back.y == chips.y) << "the chips come back where they were";
	ASSERT_GE(areaWindow.m_CharaPane.GetShownEntryAt(16, 16), 0) << "a character's chip lies under the pointer";
	EXPECT_FALSE(shortStatus.isVisible()) << "the short status came up under the still pointer";
	m_Screen->MoveMouse(chips.x + 17, chips.y + 16);
	EXPECT_TRUE(shortStatus.isVisible()) << "a move of the pointer over the chip shows it";
}

INSTANTIATE_TEST_SUITE_P(Screens, WorldWindowTest,
	::testing::Values(std::make_pair(800, 600), std::make_pair(1280, 1024)),
	[](const ::testing::TestParamInfo<std::pair<int, int>>& info) {
		return FormatText("%dx%d", info.param.first, info.param.second);
	});
