#include "app/GameConfig.h"
#include "app/GameMaster.h"
#include "app/Logger.h"
#include "gui/FPSPane.h"
#include "gui/GuiContext.h"
#include "gui/MsgDlg.h"
#include "gui/SkinManager.h"
#include "gui/TextPane.h"
#include "gui/WidgetSet.h"
#include "media/CharDrawer.h"
#include "media/FontSJIS.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>
#include <algorithm>
#include <boost/weak_ptr.hpp>
#include <guichan/actionevent.hpp>
#include <guichan/focushandler.hpp>
#include <guichan/font.hpp>
#include <guichan/graphics.hpp>
#include <guichan/gui.hpp>
#include <guichan/widgets/button.hpp>
#include <guichan/widgets/checkbox.hpp>
#include <guichan/widgets/container.hpp>
#include <guichan/widgets/scrollarea.hpp>
#include <guichan/widgets/window.hpp>
#include <string>
#include <vector>

namespace
{
/// Every byte 8 pixels wide, 16 high: the sizes the game's 16-pixel font gives.
class TFixedWidthFont : public gcn::Font
{
public:
	int getWidth(const std::string& text) const override { return 8 * static_cast<int>(text.size()); }
	int getHeight() const override { return 16; }
	void drawString(gcn::Graphics*, const std::string& text, int x, int y) override
	{
		m_Drawn.push_back(FormatText("text %s %d %d", text, x, y));
	}
	std::vector<std::string> m_Drawn;
};

/// Records every drawing call as a line of text.
class TRecordingGraphics : public gcn::Graphics
{
public:
	void drawImage(const gcn::Image*, int, int, int, int, int, int) override { Record("image"); }
	void drawPoint(int x, int y) override { Record(FormatText("point %d %d", x, y)); }
	void drawLine(int x1, int y1, int x2, int y2) override
	{
		Record(FormatText("line %d %d %d %d", x1, y1, x2, y2));
	}
	void drawRectangle(const gcn::Rectangle& r) override
	{
		Record(FormatText("rect %d %d %d %d", r.x, r.y, r.width, r.height));
	}
	void fillRectangle(const gcn::Rectangle& r) override
	{
		Record(FormatText("fill %d %d %d %d", r.x, r.y, r.width, r.height));
	}
	void setColor(const gcn::Color& color) override
	{
		m_Color = color;
		Record(FormatText("color %d %d %d %d", color.r, color.g, color.b, color.a));
	}
	const gcn::Color& getColor() const override { return m_Color; }

	std::vector<std::string> m_Calls;

private:
	void Record(const std::string& call) { m_Calls.push_back(call); }
	gcn::Color m_Color;
};

bool Contains(const std::vector<std::string>& calls, const std::string& call)
{
	return std::find(calls.begin(), calls.end(), call) != calls.end();
}

/// An unloaded drawer of one size: it measures like a real one and draws nothing.
void SeedDrawer(int size)
{
	boost::shared_ptr<TGcnCharDrawer> drawer(new TGcnCharDrawer());
	drawer->m_GlyphWidth = size;
	drawer->m_GlyphHeight = size;
	g_GuiContext.m_CharDrawers.push_back(drawer);
}

/// Loads a configuration file holding only the given GUI lines.
void LoadGuiSettings(const TTempDir& dir, const std::string& lines)
{
	WriteFile(dir / "morvaleth.ini", "[GUI]\n" + lines);
	g_Config.Load(dir / "morvaleth.ini");
}

void LoadDefaultSettings(const TTempDir& dir)
{
	TCapturedLog quiet;
	g_Config.Load(dir / "absent.ini");
}

/// The GUI the game builds at start-up, without graphics or input: a root, an 800 x 600
/// top container, the glyph drawers of size 12 and 16, a fixed-width global font and a skin.
class GuiTest : public ::testing::Test
{
protected:
	void SetUp() override
	{
		LoadDefaultSettings(m_Dir);
		m_Top = new gcn::Container();
		m_Top->setSize(800, 600);
		gcn::Gui* gui = new gcn::Gui();
		gui->setTop(m_Top);
		g_GuiContext.SetGui(gui);
		SeedDrawer(12);
		SeedDrawer(16);
		gcn::Widget::setGlobalFont(&m_Font);
		g_GameMaster.m_Skin.reset(new TGcnSkinManager());
	}

	void TearDown() override
	{
		g_GuiContext.Release();
		delete m_Top;
		g_GuiContext.m_CharDrawers.clear();
		gcn::Widget::setGlobalFont(nullptr);
		g_GuiContext.m_FontName.clear();
		g_GameMaster.m_Skin.reset();
		LoadDefaultSettings(m_Dir);
	}

	gcn::FocusHandler* Focus() { return m_Top->_getFocusHandler(); }

	TTempDir m_Dir;
	TFixedWidthFont m_Font;
	gcn::Container* m_Top = nullptr;
};

std::string Bytes(int count)
{
	return std::string(count, 'x');
}

std::string Box(const gcn::Widget& widget)
{
	const gcn::Rectangle r = widget.getDimension();
	return FormatText("%d %d %d %d", r.x, r.y, r.width, r.height);
}
} // namespace

// --- GUI context ----------------------------------------------------------------

TEST(GuiContext, SineTableRisesToAQuarterTurnAndFollowsTheSymmetries)
{
	const int firstQuarter[17] = { 0, 25, 50, 74, 98, 121, 142, 162, 181, 198, 213, 226, 237, 245, 251, 255, 256 };
	TGcnGuiContext context;
	for (int i = 0; i <= 16; ++i) {
		EXPECT_EQ(firstQuarter[i], context.m_Sin[i]) << i;
		EXPECT_EQ(firstQuarter[i], context.m_Sin[32 - i]) << i;
		EXPECT_EQ(-firstQuarter[i], context.m_Sin[32 + i]) << i;
	}
	EXPECT_EQ(-256, context.m_Sin[48]);
	EXPECT_EQ(-25, context.m_Sin[63]);
}

TEST(GuiContext, CenterWidgetHalvesEachSideAndNeverGoesOffTheTopLeft)
{
	gcn::Container top;
	top.setSize(800, 600);
	TGcnGuiContext context;
	context.SetGui(new gcn::Gui());
	context.m_Gui->setTop(&top);
	// Width, height and the position the widget gets.
	const int cases[][4] = { { 300, 200, 250, 200 }, { 301, 199, 250, 201 }, { 1000, 700, 0, 0 } };
	for (const auto& c : cases) {
		gcn::Container widget;
		widget.setSize(c[0], c[1]);
		context.CenterWidget(&widget);
		EXPECT_EQ(Box(widget), FormatText("%d %d %d %d", c[2], c[3], c[0], c[1])) << c[0];
	}
	context.Release();
}

TEST(GuiContext, ASizeThatFailsToLoadIsLoggedOnceAndNotRetried)
{
	TCapturedLog log;
	TGcnGuiContext context;
	EXPECT_EQ(nullptr, context.GetCharDrawer(0));
	EXPECT_EQ(nullptr, context.GetCharDrawer(0));
	EXPECT_EQ(1, log.CountLines(" Error TGcnCharDrawer::Load() failed. LastError="));
	EXPECT_TRUE(context.m_CharDrawers.empty());
}

// --- Shift-JIS font -------------------------------------------------------------

TEST_F(GuiTest, FontMeasuresHalfACellPerByteUpToTheFirstZeroByte)
{
	TGuichanFontSJIS font;
	EXPECT_EQ(0, font.getWidth("abc")) << "no drawer yet";
	ASSERT_TRUE(font.Load(16, "IPAGothic"));
	EXPECT_EQ("IPAGothic", g_GuiContext.m_FontName);
	EXPECT_EQ(80, font.getWidth(Bytes(10)));
	EXPECT_EQ(0, font.getWidth(""));
	EXPECT_EQ(32, font.getWidth("\x82\xa0\x82\xa2"));
	EXPECT_EQ(16, font.getWidth(std::string("ab\0cd", 5)));
	EXPECT_EQ(16, font.getHeight());
	ASSERT_TRUE(font.Load(12, ""));
	EXPECT_EQ(18, font.getWidth("abc"));
}

// --- Text pane ------------------------------------------------------------------

TEST_F(GuiTest, MeasureTextTakesTheLongestLineInBytesAndCountsNewlines)
{
	struct TCase
	{
		const char* text;
		int fontSize;
		int width;
		int height;
	};
	const TCase cases[] = {
		{ "ab\nabcd\nc", 16, 32, 48 },
		// Three double-byte characters; a trailing newline starts an empty line.
		{ "\x93\xfa\x96\x7b\x8c\xea\n", 16, 48, 32 },
		{ "", 16, 0, 16 },
		// The halving truncates, and line spacing is not counted.
		{ "abc", 15, 22, 15 },
	};
	for (const TCase& c : cases) {
		TGcnTextPane pane(c.text, c.fontSize);
		pane.m_LineSpacing = 4;
		pane.MeasureText();
		EXPECT_EQ(std::make_pair(c.width, c.height), std::make_pair(pane.getWidth(), pane.getHeight())) << c.text;
	}
}

TEST_F(GuiTest, SetTextKeepsTheSizeAndSetFontSizeTakesThatDrawer)
{
	TGcnTextPane pane;
	EXPECT_EQ(16, pane.m_FontSize);
	EXPECT_EQ(g_GuiContext.GetCharDrawer(16), pane.m_CharDrawer);
	pane.setSize(40, 20);
	pane.SetText("longer text than fits");
	EXPECT_EQ(40, pane.getWidth());

	pane.SetFontSize(12);
	EXPECT_EQ(12, pane.m_FontSize);
	EXPECT_EQ(g_GuiContext.GetCharDrawer(12), pane.m_CharDrawer);
	pane.MeasureText();
	EXPECT_EQ(12 * 21 / 2, pane.getWidth());
}

TEST_F(GuiTest, TextPaneWithoutGlyphsDrawsOnlyItsBackground)
{
	TCapturedLog log;
	TGcnTextPane pane("text", 0);
	ASSERT_EQ(nullptr, pane.m_CharDrawer);
	pane.setSize(50, 20);
	pane.setBackgroundColor(gcn::Color(1, 2, 3, 255));
	TRecordingGraphics graphics;
	pane.draw(&graphics);
	EXPECT_EQ((std::vector<std::string>{ "color 1 2 3 255", "fill 0 0 50 20" }), graphics.m_Calls);
}

// --- Widget set -----------------------------------------------------------------

TEST(WidgetSet, ReleasingTheSetDestroysOnlyTheWidgetsNothingElseShares)
{
	boost::shared_ptr<gcn::Widget> kept(new gcn::Container());
	boost::weak_ptr<gcn::Widget> keptWatch(kept);
	boost::weak_ptr<gcn::Widget> ownedWatch;
	{
		TGcnWidgetSet set;
		boost::shared_ptr<gcn::Widget> owned(new gcn::Container());
		ownedWatch = owned;
		set.Add(owned);
		set.Add(kept);
	}
	EXPECT_TRUE(ownedWatch.expired());
	EXPECT_FALSE(keptWatch.expired());
}

// --- Frame-rate pane ------------------------------------------------------------

namespace
{
/// Runs frames at the tick times of a steady rate; returns the rate the pane shows.
int RunFrames(TGcnFPSPane& pane, int fps, int frames, std::uint32_t start = 0)
{
	for (int n = 0; n < frames; ++n) {
		pane.SetFrameTick(start + static_cast<std::uint32_t>(1000LL * n / fps));
		pane.logic();
	}
	return pane.m_FPS;
}
}

TEST(FPSPane, SettlesAtTheFrameRateAndTheFirstFrameShowsOne)
{
	TGcnFPSPane pane(60);
	EXPECT_EQ(20, pane.getWidth());
	EXPECT_EQ(20, pane.getHeight());
	EXPECT_EQ(1, RunFrames(pane, 30, 1));
	TGcnFPSPane thirty(60);
	EXPECT_EQ(30, RunFrames(thirty, 30, 200));
	// Frames older than one second do not count.
	thirty.SetFrameTick(200 * 1000 / 30 + 2000);
	thirty.logic();
	EXPECT_EQ(1, thirty.m_FPS);
	TGcnFPSPane sixty(120);
	EXPECT_EQ(60, RunFrames(sixty, 60, 400));
	TGcnFPSPane wrapping(120);
	EXPECT_EQ(60, RunFrames(wrapping, 60, 400, 0xFFFFF000u)) << "the tick counter wraps around";
}

TEST(FPSPane, HistoryHoldsTwoSecondsOfAnyConfiguredRateWithinAMillisecondClock)
{
	// A rate from the configuration file may be any number; doubling it must neither overflow nor
	// ask for gigabytes of frame times.
	const int cases[][2] = { { 60, 120 }, { 1, 2 }, { 0, 2 }, { -5, 2 }, { 1000, 2000 }, { 5000, 2000 },
		{ 1073741824, 2000 }, { 2147483647, 2000 } };
	for (const auto& c : cases)
		EXPECT_EQ(c[1], TGcnFPSPane::HistoryLength(c[0])) << c[0];
	TGcnFPSPane fastest(TGcnFPSPane::HistoryLength(2147483647));
	EXPECT_EQ(1000, RunFrames(fastest, 1000, 3000)) << "a thousand frames a second still count right";
}

TEST(FPSPane, DrawsTwoDigitsInWhiteAtTheCorner)
{
	TFixedWidthFont font;
	gcn::Widget::setGlobalFont(&font);
	TGcnFPSPane pane(20);
	TRecordingGraphics graphics;
	RunFrames(pane, 5, 30);
	pane.draw(&graphics);
	pane.m_FPS = 123;
	pane.draw(&graphics);
	gcn::Widget::setGlobalFont(nullptr);
	EXPECT_EQ((std::vector<std::string>{ "text 05 2 2", "text 123 2 2" }), font.m_Drawn);
	EXPECT_EQ("color 255 255 255 255", graphics.m_Calls.front());
}

// --- Skin and drawing functions -------------------------------------------------

TEST_F(GuiTest, AppliersTakeTheConfiguredColours)
{
	// The colours are read when a widget is set up, not when the skin is made.
	TGcnSkinManager skin;
	LoadGuiSettings(m_Dir, "WindowColor=80112233\nButtonEnabledColor=FF445566\nButtonDisabledColor=FF010203\n"
		"DarkPaneColor=FF000040\nFontColor=FFFFFF00\nFontDisabledColor=FF777777\nScrollbarWidth=9\n");
	gcn::Window window;
	skin.SetupWindow(&window);
	EXPECT_EQ(gcn::Color(0x11, 0x22, 0x33, 0x80), window.getBaseColor());
	EXPECT_EQ(gcn::Color(0, 0, 0, 192), window.getBackgroundColor());

	gcn::Button button;
	skin.SetupDisabledButton(&button);
	EXPECT_FALSE(button.isEnabled());
	EXPECT_EQ(gcn::Color(1, 2, 3, 255), button.getBaseColor());
	EXPECT_EQ(gcn::Color(0x77, 0x77, 0x77, 255), button.getForegroundColor());
	skin.SetupButton(&button);
	EXPECT_TRUE(button.isEnabled());
	EXPECT_EQ(gcn::Color(0x44, 0x55, 0x66, 255), button.getBaseColor());
	EXPECT_EQ(gcn::Color(255, 255, 0, 255), button.getForegroundColor());

	gcn::ScrollArea area;
	skin.SetupScrollArea(&area);
	EXPECT_EQ(9, area.getScrollbarWidth());
	EXPECT_EQ(gcn::Color(0, 0, 0x40, 255), area.getBackgroundColor());
	gcn::Container pane;
	skin.SetupDarkPane(&pane);
	EXPECT_EQ(gcn::Color(0, 0, 0x40, 255), pane.getBackgroundColor());
}

TEST(Skin, DisabledCheckBoxIsGreyOnGreyAndCannotBeToggled)
{
	gcn::CheckBox box("x");
	TGcnSkinManager::SetupDisabledCheckBox(&box);
	EXPECT_FALSE(box.isEnabled());
	EXPECT_EQ(gcn::Color(192, 192, 192, 255), box.getForegroundColor());
	EXPECT_EQ(gcn::Color(128, 128, 128, 255), box.getBackgroundColor());
	TGcnSkinManager::SetupCheckBox(&box);
	EXPECT_TRUE(box.isEnabled());
	EXPECT_EQ(gcn::Color(0, 0, 0, 255), box.getBackgroundColor());
}

TEST(Skin, AMissingSkinImageIsAnErrorAndLeavesNoImage)
{
	TTempDir dir;
	TCapturedLog log;
	TGcnSkinManager skin;
	EXPECT_FALSE(skin.LoadImage(dir.Path()));
	EXPECT_EQ(nullptr, skin.m_Image);
	EXPECT_EQ(1, log.CountLines("Failed to load image " + dir.Path() + "/System/window.png"));
}

TEST(DrawRectangleSlide, CorrectionsMoveTheOutlineButNotTheCornerPoint)
{
	TDrawRectangleSlide slide;
	TRecordingGraphics plain;
	slide.DrawRectangle(&plain, gcn::Rectangle(10, 20, 100, 50));
	EXPECT_EQ((std::vector<std::string>{ "rect 10 20 100 50", "point 10 70" }), plain.m_Calls);

	slide.Set(1, 1, 0, 0);
	TRecordingGraphics sideways;
	slide.DrawRectangle(&sideways, gcn::Rectangle(10, 20, 100, 50));
	EXPECT_EQ((std::vector<std::string>{ "rect 11 20 100 50", "point 10 70" }), sideways.m_Calls);

	slide.Set(0, 0, 2, -1);
	TRecordingGraphics vertical;
	slide.DrawRectangle(&vertical, gcn::Rectangle(10, 20, 100, 50));
	EXPECT_EQ("rect 10 22 100 47", vertical.m_Calls.front());
}

TEST(DrawGroupFrame, TheTopEdgeLeavesAGapAsWideAsTheCaption)
{
	TGcnCharDrawer drawer;
	drawer.m_GlyphWidth = 16;
	drawer.m_GlyphHeight = 16;
	TRecordingGraphics graphics;
	DrawGroupFrame(&graphics, gcn::Rectangle(10, 20, 100, 50), "abcd", &drawer);
	EXPECT_TRUE(Contains(graphics.m_Calls, "line 10 20 18 20"));
	EXPECT_TRUE(Contains(graphics.m_Calls, "line 50 20 110 20"));
	EXPECT_TRUE(Contains(graphics.m_Calls, "line 11 21 18 21")) << "the grey shadow edge";
	EXPECT_TRUE(Contains(graphics.m_Calls, "line 50 21 111 21"));

	TRecordingGraphics empty;
	DrawGroupFrame(&empty, gcn::Rectangle(10, 20, 100, 50), "", &drawer);
	EXPECT_TRUE(Contains(empty.m_Calls, "line 18 20 110 20"));
}

// --- Message dialog -------------------------------------------------------------

namespace
{
/// A message's buttons and text, and the dialog shown for it: which of OK, Yes, No and Cancel show, which
/// one has the focus (-1 none), its width and position (-1 not checked).
struct TDialogLayout
{
	unsigned buttons;
	std::string text;
	int timeout;
	const char* shown;
	int focused;
	int width;
	int x;
	int y;
};

std::string ShownButtons(const TGcnMsgDlg& dialog)
{
	std::string shown;
	for (const gcn::Button& button : dialog.m_Buttons)
		shown += button.isVisible() ? '1' : '0';
	return shown;
}

std::string LongText()
{
	std::string text;
	for (int line = 0; line < 40; ++line)
		text += std::string(120, 'x') + "\n";
	return text;
}
}

TEST_F(GuiTest, DialogsShowTheirButtonsSpreadEvenlyAndCentreOnTheScreen)
{
	EXPECT_EQ(nullptr, g_MsgDlg) << "no dialog before the first message";
	EXPECT_FALSE(IsMsgDlgVisible());
	// Yes and No under 40 bytes: total 320 + 16, gap (336 - 72 - 88) / 3 = 58; under 26 bytes the gap is 21 and
	// the odd pixel of the width stays on the right: (800 - 239) / 2, not 800 / 2 - 239 / 2.
	const TDialogLayout cases[] = {
		{ BUTTON_CANCEL, "t", 0, "0001", -1, -1, -1, -1 },
		{ BUTTON_OK, Bytes(20), 0, "1000", 0, 192, 400 - 96, 300 - 60 },
		{ BUTTON_YES | BUTTON_NO, Bytes(40), 0, "0110", 1, 3 * 58 + 72 + 88 + 16, 225, 240 },
		{ BUTTON_YES | BUTTON_NO, Bytes(26), 0, "0110", 1, 239, 280, 240 },
		// Neither button nor time-out shows OK, and so do bits above the four buttons; a timed notice may go
		// without buttons, as wide as its text and margins.
		{ 0, "t", 0, "1000", 0, -1, -1, -1 },
		{ 0x10, "t", 0, "1000", 0, -1, -1, -1 },
		{ 0, "t", 5, "0000", -1, 8 + 16 + 16, -1, -1 },
		// A text longer and wider than the screen: the dialog is cut to the screen, from its top left.
		{ BUTTON_OK, LongText(), 0, "1000", 0, -1, 0, 0 },
	};
	for (const TDialogLayout& c : cases) {
		SCOPED_TRACE(c.text.substr(0, 40) + " buttons " + std::to_string(c.buttons));
		ShowMsgDlg("\x8a\x6d\x94\x46", c.text, c.buttons, c.timeout);
		ASSERT_NE(nullptr, g_MsgDlg);
		TGcnMsgDlg& dialog = *g_MsgDlg;
		EXPECT_TRUE(IsMsgDlgVisible());
		EXPECT_EQ("\x8a\x6d\x94\x46", dialog.getCaption());
		EXPECT_EQ(c.shown, ShownButtons(dialog));
		if (c.buttons == 0 && c.timeout == 0) {
			EXPECT_EQ(static_cast<unsigned>(BUTTON_OK), dialog.m_ButtonMask);
		}
		EXPECT_EQ(&dialog, Focus()->getModalFocused());
		EXPECT_EQ(c.focused == -1 ? nullptr : &dialog.m_Buttons[c.focused], Focus()->getFocused());
		if (c.width != -1) {
			EXPECT_EQ(c.width, dialog.getWidth());
		}
		if (c.x != -1) {
			EXPECT_EQ(c.x, dialog.getX());
		}
		if (c.y != -1) {
			EXPECT_EQ(c.y, dialog.getY());
		}
		if (c.buttons == (BUTTON_YES | BUTTON_NO)) {
			const int gap = (c.width - 16 - 72 - 88) / 3;
			EXPECT_EQ(gap, dialog.m_Buttons[1].getX());
			EXPECT_EQ(gap + 72 + gap, dialog.m_Buttons[2].getX());
		}
	}
	EXPECT_EQ(800, g_MsgDlg->getWidth());
	EXPECT_EQ(600, g_MsgDlg->getHeight());

	// The parts of a one-button dialog.
	ShowMsgDlg("Information", Bytes(20), BUTTON_OK, 0);
	TGcnMsgDlg& dialog = *g_MsgDlg;
	EXPECT_EQ((std::vector<int>{ 56, 72, 88, 88 }), (std::vector<int>{ dialog.m_Buttons[0].getWidth(),
		dialog.m_Buttons[1].getWidth(), dialog.m_Buttons[2].getWidth(), dialog.m_Buttons[3].getWidth() }));
	EXPECT_EQ("60 64 56 24", Box(dialog.m_Buttons[0]));
	EXPECT_EQ("8 16 160 16", Box(dialog.m_TextPane));
	EXPECT_EQ(g_Config.m_MsgDlgColor, dialog.m_TextPane.getBackgroundColor());
	EXPECT_EQ(64 + 24 + 32, dialog.getHeight());
	EXPECT_EQ(&dialog, m_Top->getWidgetAt(dialog.getX() + 1, dialog.getY() + 1));

	// Releasing the GUI forgets the dialog; a message then has nowhere to go.
	g_GuiContext.Release();
	EXPECT_EQ(nullptr, g_MsgDlg);
	EXPECT_FALSE(IsMsgDlgVisible());
	TCapturedLog log;
	ShowMsgDlg("c", "lost", BUTTON_OK, 0);
	EXPECT_EQ(1, log.CountLines("no GUI to show the message in: lost"));
}

TEST_F(GuiTest, PressingAButtonAnswersWithItsBitAndReleasesTheGui)
{
	ShowMsgDlg("c", "t", BUTTON_YES | BUTTON_NO, 0);
	TGcnMsgDlg& dialog = *g_MsgDlg;
	dialog.action(gcn::ActionEvent(m_Top, ""));
	EXPECT_TRUE(IsMsgDlgVisible()) << "events of other widgets are ignored";
	dialog.action(gcn::ActionEvent(&dialog.m_Buttons[2], ""));
	EXPECT_EQ(static_cast<unsigned>(BUTTON_NO), dialog.m_Selected);
	EXPECT_FALSE(IsMsgDlgVisible());
	EXPECT_EQ(nullptr, Focus()->getModalFocused());

	ShowMsgDlg("c", "t", BUTTON_OK | BUTTON_CANCEL, 0);
	EXPECT_EQ(0u, dialog.m_Selected) << "showing again clears the answer";
	dialog.action(gcn::ActionEvent(&dialog.m_Buttons[3], ""));
	EXPECT_EQ(static_cast<unsigned>(BUTTON_CANCEL), dialog.m_Selected);
}

TEST_F(GuiTest, TimeOutClosesAfterThatManyVisibleFramesWithoutAnAnswer)
{
	ShowMsgDlg("c", "t", BUTTON_OK, 60);
	TGcnMsgDlg& dialog = *g_MsgDlg;
	for (int frame = 0; frame < 60; ++frame)
		dialog.logic();
	EXPECT_TRUE(IsMsgDlgVisible());
	dialog.logic();
	EXPECT_FALSE(IsMsgDlgVisible());
	EXPECT_EQ(0u, dialog.m_Selected);
	EXPECT_EQ(nullptr, Focus()->getModalFocused());
	dialog.logic();
	EXPECT_EQ(60, dialog.m_Count) << "hidden frames are not counted";
}

TEST_F(GuiTest, ANewMessageReplacesTheShownOneAndRestartsTheCount)
{
	ShowMsgDlg("first", "one", BUTTON_YES | BUTTON_NO, 100);
	TGcnMsgDlg* dialog = g_MsgDlg;
	for (int frame = 0; frame < 30; ++frame)
		dialog->logic();
	ShowMsgDlg("second", Bytes(30) + "\n" + Bytes(2), BUTTON_OK, 0);
	EXPECT_EQ(dialog, g_MsgDlg);
	EXPECT_EQ("second", dialog->getCaption());
	EXPECT_EQ(Bytes(30) + "\n" + Bytes(2), dialog->m_TextPane.m_Text);
	EXPECT_EQ("8 16 240 32", Box(dialog->m_TextPane));
	EXPECT_TRUE(dialog->m_Buttons[0].isVisible());
	EXPECT_FALSE(dialog->m_Buttons[1].isVisible());
	EXPECT_FALSE(dialog->m_Buttons[2].isVisible());
	EXPECT_EQ(0, dialog->m_Count);
	EXPECT_EQ(0, dialog->m_Timeout);
	EXPECT_EQ(1u, std::count_if(g_GuiContext.m_Widgets.begin(), g_GuiContext.m_Widgets.end(),
		[&](const boost::shared_ptr<gcn::Widget>& w) { return w.get() == dialog; }));
}

TEST_F(GuiTest, AMessageWhileAnotherWindowHoldsModalFocusDoesNotThrow)
{
	gcn::Window settings;
	m_Top->add(&settings);
	settings.requestModalFocus();
	TCapturedLog log;
	EXPECT_NO_THROW(ShowMsgDlg("Information", "t", BUTTON_OK, 60));
	EXPECT_TRUE(IsMsgDlgVisible());
	EXPECT_EQ(&settings, Focus()->getModalFocused());
	EXPECT_EQ(1, log.CountLines(" Warning "));
	EXPECT_NO_THROW(g_MsgDlg->action(gcn::ActionEvent(&g_MsgDlg->m_Buttons[0], "")));
	EXPECT_EQ(&settings, Focus()->getModalFocused()) << "closing leaves the other window's focus alone";
	settings.releaseModalFocus();
	m_Top->remove(&settings);
}
