// Clicks under a pointer that stands still while windows move, show or hide: they go to the widget
// really under the pointer, as if the mouse had moved by 0.

#include "gui/GcnWindow.h"
#include "gui/MsgDlg.h"
#include "support/GuiScreen.h"

#include <gtest/gtest.h>
#include <guichan/actionlistener.hpp>
#include <guichan/mouselistener.hpp>
#include <guichan/widgets/button.hpp>
#include <guichan/widgets/container.hpp>

namespace
{
const int POINTER_X = 100;
const int POINTER_Y = 490;
const int HOME_X = 8;
const int AWAY_X = 500;

/// A window that jumps out of the pointer's way when the mouse moves on it, as the short status does.
class TDodgingWindow : public TGcnWindow
{
public:
	void mouseMoved(gcn::MouseEvent&) override { setPosition(getX() == HOME_X ? AWAY_X : HOME_X, getY()); }
};

/// A button's clicks and what it is told of the mouse.
struct TButtonWatch : gcn::ActionListener, gcn::MouseListener
{
	void action(const gcn::ActionEvent&) override { ++clicks; }
	void mouseEntered(gcn::MouseEvent&) override { hovered = true; }
	void mouseExited(gcn::MouseEvent&) override { hovered = false; }
	void mouseMoved(gcn::MouseEvent&) override { ++moves; }
	int clicks = 0;
	int moves = 0;
	bool hovered = false;
};

void Watch(gcn::Button& button, TButtonWatch& watch, const gcn::Rectangle& area)
{
	button.setDimension(area);
	button.addActionListener(&watch);
	button.addMouseListener(&watch);
}
}

TEST(GuiPointerTest, ClicksUnderAStillPointerGoToTheWidgetUnderItAfterWindowsMoveShowOrHide)
{
	SKIP_WITHOUT_DISPLAY();
	TGuiScreen screen(800, 600);
	ASSERT_TRUE(screen.IsOpen());
	gcn::Button below("below");
	TButtonWatch belowWatch;
	Watch(below, belowWatch, gcn::Rectangle(40, 440, 120, 100));
	screen.Top().add(&below);
	TDodgingWindow dodger;
	dodger.setDimension(gcn::Rectangle(HOME_X, 400, 200, 180));
	screen.Top().add(&dodger);
	TGcnWindow cover("cover");
	cover.setDimension(gcn::Rectangle(20, 420, 200, 160));
	gcn::Button upper("upper");
	TButtonWatch upperWatch;
	Watch(upper, upperWatch, gcn::Rectangle(40, 30, 120, 100));
	cover.add(&upper);
	cover.setVisible(false);
	screen.Top().add(&cover);

	// The pointer comes onto the window, which jumps away; the press in the same frame finds the button.
	screen.Click(POINTER_X, POINTER_Y);
	ASSERT_EQ(AWAY_X, dodger.getX());
	EXPECT_EQ(1, belowWatch.clicks) << "the click after the window jumped away is lost";

	// A window shows under the still pointer: its button has the mouse at once and takes the click.
	cover.setVisible(true);
	screen.Frame();
	EXPECT_TRUE(upperWatch.hovered);
	screen.ClickInPlace(POINTER_X, POINTER_Y);
	EXPECT_EQ(1, upperWatch.clicks);
	EXPECT_EQ(1, belowWatch.clicks);

	// It hides again: the button below takes the next click, and frames with nothing new tell it nothing.
	cover.setVisible(false);
	screen.Frame();
	EXPECT_FALSE(upperWatch.hovered);
	const int moves = belowWatch.moves;
	for (int i = 0; i < 3; ++i)
		screen.Frame();
	EXPECT_EQ(moves, belowWatch.moves);
	screen.ClickInPlace(POINTER_X, POINTER_Y);
	EXPECT_EQ(2, belowWatch.clicks);
	EXPECT_EQ(1, upperWatch.clicks);
}

TEST(GuiPointerTest, AMessageShownUnderTheStillPointerTakesTheClickThatAnsweredTheOneBefore)
{
	SKIP_WITHOUT_DISPLAY();
	TGuiScreen screen(800, 600);
	ASSERT_TRUE(screen.IsOpen());
	// One message answered with OK; the next comes some frames later with its OK under the pointer, as the
	// sample's deadline notice and its ending do. Showing it takes the modal focus, which tells every widget
	// the mouse had that the mouse left; its OK must still have the mouse without a move.
	ShowMsgDlg("Information", "ガルム軍は長い戦に疲れ、散り散りになりました。", BUTTON_OK, 0);
	screen.Frame();
	const gcn::Rectangle first = TGuiScreen::ScreenArea(g_MsgDlg->m_Buttons[0]);
	const int x = first.x + first.width / 2;
	const int y = first.y + first.height / 2;
	screen.Click(x, y);
	ASSERT_FALSE(IsMsgDlgVisible());
	for (int frames = 0; frames < 3; ++frames) {
		for (int i = 0; i < frames; ++i)
			screen.Frame();
		ShowMsgDlg("Information", "レオンの勝利で戦いは終わりました。", BUTTON_OK, 0);
		screen.Frame();
		ASSERT_TRUE(TGuiScreen::ScreenArea(g_MsgDlg->m_Buttons[0]).isPointInRect(x, y));
		screen.ClickInPlace(x, y);
		EXPECT_FALSE(IsMsgDlgVisible()) << frames << " frames between the messages";
		if (IsMsgDlgVisible())
			screen.ClickOn(g_MsgDlg->m_Buttons[0]);
	}
}
