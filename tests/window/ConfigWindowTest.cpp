#include "app/GameConfig.h"
#include "app/GameMaster.h"
#include "app/Logger.h"
#include "front/ConfigWindow.h"
#include "support/GuiScreen.h"

#include <gtest/gtest.h>
#include <guichan/widgets/container.hpp>
#include <guichan/widgets/tab.hpp>
#include <memory>
#include <string>
#include <vector>

namespace
{
const gcn::Color SELECTION(255, 192, 0, 255);
const gcn::Color RED(255, 0, 0, 255);

bool IsWhite(const gcn::Color& c)
{
	return c.r > 200 && c.g > 200 && c.b > 200;
}

bool IsSelection(const gcn::Color& c)
{
	return NearColor(c, SELECTION);
}

/// The tab with the caption: the tab row is searched the way a click finds it.
const gcn::Tab* FindTab(gcn::TabbedArea& tabs, const std::string& caption)
{
	for (int x = 0; x < tabs.getWidth(); ++x) {
		gcn::Widget* row = tabs.getWidgetAt(x, 4);
		gcn::Widget* tab = row ? row->getWidgetAt(x - row->getX(), 4 - row->getY()) : nullptr;
		const gcn::Tab* found = dynamic_cast<const gcn::Tab*>(tab);
		if (found && found->getCaption() == caption)
			return found;
	}
	return nullptr;
}

/// The settings window on a screen of a size, over the settings of an INI text.
class ConfigWindowScreen : public ::testing::TestWithParam<std::pair<int, int>>
{
protected:
	void SetUp() override
	{
		SKIP_WITHOUT_DISPLAY();
		m_Screen.reset(new TGuiScreen(GetParam().first, GetParam().second,
			"[Window]\nWidth=1912\nHeight=600\n[Battle]\nAnimationSpeed=2\n[Shortcut]\nMove=109\n"));
		ASSERT_TRUE(m_Screen->IsOpen());
		m_Window.reset(new TConfigWindow(g_Config, "morvaleth.ini"));
		m_Window->SetCloseHandler([this](bool accepted) {
			m_Closes.push_back(accepted);
			m_Window->setVisible(false);
		});
		m_Screen->Top().add(m_Window.get());
		m_Window->Open();
		m_Screen->Frame();
	}

	void TearDown() override
	{
		m_Window.reset();
		m_Screen.reset();
	}

	void ShowTab(const std::string& caption)
	{
		const gcn::Tab* tab = FindTab(m_Window->m_Pane.m_Tabs, caption);
		ASSERT_TRUE(tab) << caption;
		m_Screen->ClickOn(*tab);
	}

	/// A point of a widget, in its own coordinates, on the screen.
	gcn::Rectangle On(const gcn::Widget& widget, int x, int y, int width = 1, int height = 1) const
	{
		const gcn::Rectangle area = TGuiScreen::ScreenArea(widget);
		return gcn::Rectangle(area.x + x, area.y + y, width, height);
	}

	std::string Suffix() const { return FormatText("_%dx%d", GetParam().first, GetParam().second); }

	std::unique_ptr<TGuiScreen> m_Screen;
	std::unique_ptr<TConfigWindow> m_Window;
	std::vector<bool> m_Closes;
};
}

TEST_P(ConfigWindowScreen, OpensCentredAndTakesThePlayersSettingsTabByTab)
{
	TGuiScreen& screen = *m_Screen;
	TConfigPane& pane = m_Window->m_Pane;
	EXPECT_EQ(screen.Width() / 2 - m_Window->getWidth() / 2, m_Window->getX());
	EXPECT_EQ(screen.Height() / 2 - m_Window->getHeight() / 2, m_Window->getY());
	screen.Screenshot("config_battle" + Suffix());

	// Battle: the second speed cell is lit; a click on the fifth moves the light there.
	TSelectPane& speed = pane.m_Battle.m_Speed;
	EXPECT_GT(screen.CountPixels(On(speed, 52, 2, 48, 20), IsSelection), 800);
	EXPECT_EQ(0, screen.CountPixels(On(speed, 206, 2, 48, 20), IsSelection));
	screen.Click(On(speed, 230, 12).x, On(speed, 230, 12).y);
	EXPECT_EQ(4, speed.m_Selected);
	EXPECT_EQ(0, screen.CountPixels(On(speed, 52, 2, 48, 20), IsSelection));
	EXPECT_GT(screen.CountPixels(On(speed, 206, 2, 48, 20), IsSelection), 800);
	// Watching ticked by a click: its four options can be ticked now.
	EXPECT_FALSE(pane.m_Battle.m_Watch[1].isEnabled());
	screen.ClickOn(pane.m_Battle.m_Watch[0]);
	EXPECT_TRUE(pane.m_Battle.m_Watch[0].isSelected());
	EXPECT_TRUE(pane.m_Battle.m_Watch[1].isEnabled());
	screen.ClickOn(pane.m_Battle.m_Watch[1]);
	EXPECT_TRUE(pane.m_Battle.m_Watch[1].isSelected());

	// Window: "+" stops at 1920; the preview shows an eighth of it, 240 pixels wide.
	ShowTab("ウィンドウ");
	TConfigWindowPane& window = pane.m_Window;
	screen.ClickOn(window.m_WidthButtons[4]);
	screen.ClickOn(window.m_WidthButtons[4]);
	screen.ClickOn(window.m_HeightButtons[0]);
	EXPECT_EQ(1920, window.m_Width);
	EXPECT_EQ(640, window.m_Height);
	screen.Screenshot("config_window" + Suffix());
	// This driver draws outlines a pixel off on some edges, so each edge is looked for within a pixel.
	EXPECT_EQ(1, screen.CountPixels(On(window, 10 + 100, 65, 1, 3), IsWhite)) << "the top edge";
	EXPECT_EQ(0, screen.CountPixels(On(window, 10 + 242, 65, 8, 3), IsWhite)) << "ends at 240";
	EXPECT_EQ(1, screen.CountPixels(On(window, 10 + 238, 70, 4, 1), IsWhite)) << "the right edge, 1920 / 8 over";
	EXPECT_EQ(1, screen.CountPixels(On(window, 40, 66 + 78, 1, 4), IsWhite)) << "the bottom edge, 640 / 8 down";

	// Screen: this driver draws the white outline's left edge a pixel to the left, so the red line shows;
	// one press of the left "+" moves the white line onto it, a second one past it.
	ShowTab("描画");
	TConfigScreenPane& edges = pane.m_Screen;
	const gcn::Rectangle red = On(edges, 80, 120);
	EXPECT_TRUE(NearColor(RED, screen.Pixel(red.x, red.y)));
	EXPECT_TRUE(IsWhite(screen.Pixel(red.x - 1, red.y)));
	screen.ClickOn(edges.m_PlusButtons[0]);
	EXPECT_EQ(1, edges.m_Slides[0]);
	EXPECT_TRUE(IsWhite(screen.Pixel(red.x, red.y))) << "the red line is hidden";
	screen.ClickOn(edges.m_PlusButtons[0]);
	EXPECT_TRUE(NearColor(RED, screen.Pixel(red.x, red.y)));
	EXPECT_TRUE(IsWhite(screen.Pixel(red.x + 1, red.y)));
	screen.Screenshot("config_screen" + Suffix());

	// Shortcuts: "移動" picked from the list, "変更", then F5 on the keyboard.
	ShowTab("ショートカット");
	TConfigShortcutPane& shortcuts = pane.m_Shortcut;
	const int row = static_cast<int>(shortcuts.m_CommandList.getRowHeight());
	screen.Click(On(shortcuts.m_CommandList, 20, row + row / 2).x, On(shortcuts.m_CommandList, 20, row + row / 2).y);
	EXPECT_EQ(1, shortcuts.m_CommandList.getSelected());
	EXPECT_EQ("M", shortcuts.m_KeyLabel.getCaption());
	screen.ClickOn(shortcuts.m_ChangeButton);
	EXPECT_TRUE(shortcuts.IsWaiting());
	screen.PressKey(SDLK_SPACE);
	EXPECT_FALSE(shortcuts.IsWaiting()) << "the space bar is a key like any other";
	EXPECT_EQ("SPACE", shortcuts.m_KeyLabel.getCaption());
	screen.Frame();
	EXPECT_FALSE(shortcuts.IsWaiting()) << "and does not press 変更 again";
	screen.ClickOn(shortcuts.m_ChangeButton);
	screen.PressKey(SDLK_F5);
	EXPECT_EQ("F5", shortcuts.m_KeyLabel.getCaption());
	EXPECT_GT(screen.CountPixels(TGuiScreen::ScreenArea(shortcuts.m_KeyGround), IsWhite), 20);
	screen.Screenshot("config_shortcut" + Suffix());

	ShowTab("音");
	screen.ClickOn(pane.m_MusicSound.m_Music);
	screen.Screenshot("config_sound" + Suffix());
	screen.ClickOn(pane.m_OkButton);
	EXPECT_EQ(std::vector<bool>{ true }, m_Closes);
	EXPECT_EQ((std::vector<int>{ 1920, 640, 5, 286, 1 }), (std::vector<int>{ g_Config.GetIntValue(CONFIG_WIDTH),
		g_Config.GetIntValue(CONFIG_HEIGHT), g_Config.GetIntValue(CONFIG_ANIMATION_SPEED),
		g_Config.GetShortcut(SHORTCUT_MOVE), g_Config.GetBoolValue(SWITCH_MUSIC_ENABLED) }));
	m_Screen->Frame();
	EXPECT_TRUE(NearColor(g_Config.GetColor(EXTRACOLOR_TOP), screen.Pixel(m_Window->getX() + 100,
		m_Window->getY() + 100))) << "the window is gone from the screen";
}

INSTANTIATE_TEST_SUITE_P(Sizes, ConfigWindowScreen,
	::testing::Values(std::make_pair(800, 600), std::make_pair(1280, 1024)));
