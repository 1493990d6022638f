// Wars between computer masters watched on the screen during a world game: the battle's windows take
// the screen while the world's windows wait hidden, and the world comes back as it was after the battle.

#include "app/GameMaster.h"
#include "app/Random.h"
#include "battle/ScreenBattleView.h"
#include "model/MorvalethGame.h"
#include "support/GuiScreen.h"
#include "world/ControllerBattle.h"
#include "world/ScreenWorldView.h"
#include "world/WorldMapLogic.h"
#include "world/WorldMapWindow.h"

#include <gtest/gtest.h>
#include <guichan/widgets/container.hpp>
#include <functional>
#include <memory>

namespace
{
/// Every computer battle is watched, at the highest speed, and lasts two turns.
const char* const SETTINGS = "[GUI]\nMessageTimeoutFrame=3\n[Mixer]\nMusicEnabled=0\nSoundEnabled=0\n"
							 "[Watch]\nUse=1\nOnlyLarge=0\nOnlyMaster=0\nNoNeutral=0\nMaxSpeed=1\n"
							 "[Battle]\nTurnMax=2\n";
const int FRAME_CAP = 20000;

TWorldMapLogic& Controller()
{
	return dynamic_cast<TWorldMapLogic&>(*g_GameMaster.m_WorldMap);
}

TScreenWorldView& View()
{
	return dynamic_cast<TScreenWorldView&>(Controller().GetView());
}

TScreenBattleView& BattleView()
{
	return dynamic_cast<TScreenBattleView&>(dynamic_cast<TControllerBattle&>(*Controller().GetBattle()).GetView());
}

/// A pixel that is neither black nor the top container's grey: something is drawn there.
bool IsDrawn(const gcn::Color& c)
{
	return !NearColor(c, gcn::Color(0, 0, 0), 8) && !NearColor(c, gcn::Color(0x60, 0x60, 0x60), 8);
}

class WorldBattleWindowTest : public ::testing::Test
{
protected:
	void SetUp() override
	{
		SKIP_WITHOUT_DISPLAY();
		m_Screen.reset(new TGuiScreen(800, 600, SETTINGS));
		ASSERT_TRUE(m_Screen->IsOpen());
		SeedRandom(3);
		g_GameMaster.m_RootDir = MORVALETH_SOURCE_DIR "/data";
		ASSERT_TRUE(g_GameMaster.NewGame("Default", 0, 3)) << g_GameMaster.m_LastError;
		g_GameMaster.StartGame({});
	}

	void TearDown() override
	{
		g_GameMaster.ReleaseGame();
		g_GameMaster.m_GameRunning = false;
		g_GameMaster.m_RootDir.clear();
		m_Screen.reset();
	}

	/// Runs frames until the condition holds, checking after each that the world's windows and the
	/// battle's never show together. Whether the condition held.
	bool RunUntil(const std::function<bool()>& done)
	{
		for (int frame = 0; frame < FRAME_CAP && !Controller().HasStopped(); ++frame) {
			if (done())
				return true;
			m_Screen->Frame();
			const bool battleShown = BattleView().m_MapWindow.isVisible();
			EXPECT_FALSE(battleShown && View().GetMapWindow()->isVisible()) << "frame " << frame;
			EXPECT_FALSE(battleShown && View().GetWindow(WORLD_AREA_GRID_WINDOW)->isVisible()) << "frame " << frame;
			if (HasFailure())
				return false;
		}
		return done();
	}

	bool BattleWatched() { return Controller().GetStatus() == WORLD_BATTLE && BattleView().m_MapWindow.isVisible(); }

	int DrawnPixels(const gcn::Rectangle& area) { return m_Screen->CountPixels(area, IsDrawn); }

	std::unique_ptr<TGuiScreen> m_Screen;
};
}

// A table left open over the map waits hidden through a watched battle and comes back after it; the
// battle's map is drawn on the screen; the next watched battle is left through "stop watching" and
// goes on unseen to its end with the map on the screen.
TEST_F(WorldBattleWindowTest, AWatchedBattleTakesTheScreenAndGivesTheWorldMapBack)
{
	View().ShowWindow(WORLD_AREA_GRID_WINDOW, true);
	TScreenBattleView& battle = BattleView();
	ASSERT_TRUE(RunUntil([this] { return BattleWatched(); })) << "status " << Controller().GetStatus();
	gcn::Widget& menu = *View().GetWindow(WORLD_MENU_WINDOW);
	EXPECT_TRUE(menu.isVisible());
	for (int i = 0; i < 5; ++i)
		m_Screen->Frame();
	m_Screen->Screenshot("world_watched_battle");
	const gcn::Rectangle window = TGuiScreen::ScreenArea(battle.m_MapWindow);
	EXPECT_GT(DrawnPixels(window), window.width * window.height / 2);

	ASSERT_TRUE(RunUntil([this] { return Controller().GetStatus() != WORLD_BATTLE; }));
	m_Screen->Frame();
	m_Screen->Screenshot("world_after_battle");
	EXPECT_TRUE(View().GetMapWindow()->isVisible());
	gcn::Widget& table = *View().GetWindow(WORLD_AREA_GRID_WINDOW);
	EXPECT_TRUE(table.isVisible());
	const gcn::Rectangle tableArea = TGuiScreen::ScreenArea(table);
	EXPECT_EQ(&table, m_Screen->Top().getWidgetAt(tableArea.x + tableArea.width - 8, tableArea.y + 8))
		<< "the table is back over the map";
	EXPECT_FALSE(menu.isVisible());
	EXPECT_FALSE(battle.m_MapWindow.isVisible());
	EXPECT_GT(DrawnPixels(gcn::Rectangle(0, 0, 800, 600)), 800 * 600 / 2);

	// Stopping to watch: the map comes back at once and the battle ends unseen.
	View().ShowWindow(WORLD_AREA_GRID_WINDOW, false);
	ASSERT_TRUE(RunUntil([this] { return BattleWatched(); })) << "status " << Controller().GetStatus();
	m_Screen->ClickOn(static_cast<TWorldMenuWindow&>(menu).m_StopButton);
	EXPECT_TRUE(View().GetMapWindow()->isVisible());
	EXPECT_FALSE(menu.isVisible());
	EXPECT_FALSE(battle.m_MapWindow.isVisible());
	ASSERT_TRUE(RunUntil([this] { return Controller().GetStatus() != WORLD_BATTLE; }));
	EXPECT_TRUE(View().GetMapWindow()->isVisible());
	EXPECT_FALSE(Controller().HasStopped());
}
