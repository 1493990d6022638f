#include "app/GameConfig.h"
#include "app/GameMaster.h"
#include "gui/GcnWindow.h"
#include "gui/GlQuad.h"
#include "gui/GuiContext.h"
#include "gui/MsgDlg.h"
#include "gui/SkinManager.h"
#include "gui/TextPane.h"
#include "media/CharDrawer.h"
#include "media/FontSJIS.h"
#include "support/GuiScreen.h"

#include <gtest/gtest.h>
#include <cstdint>
#include <cstdlib>
#include <guichan/gui.hpp>
#include <GL/gl.h>
#include <guichan/opengl.hpp>
#include <guichan/opengl/openglimage.hpp>
#include <guichan/widgets/container.hpp>
#include <memory>
#include <vector>

namespace
{
const gcn::Color BACKGROUND(200, 200, 200, 255);
const gcn::Color WINDOW_COLOR(0x20, 0x50, 0xA0, 255);
const gcn::Color DARK_PANE(0, 0, 0x20, 255);
const gcn::Color MSG_DLG_COLOR(0xA0, 0xA0, 0xA0, 255);
const gcn::Color GUICHAN_BUTTON_FACE(0x80, 0x80, 0x90, 255);
const gcn::Color WHITE(255, 255, 255, 255);

/// The flat middle band of the generated skin, where the caption sits.
const gcn::Color SKIN_BAND(48, 72, 168, 255);

// Window layout: frame size 0, padding 2, title bar 16.
const int WIN_X = 20;
const int WIN_Y = 20;
const int WIN_W = 340;
const int WIN_H = 180;
const int CONTENT_X = 2;
const int CONTENT_Y = 16;

gcn::Color PixelColor(const TGlWindow& window, int x, int y)
{
	const std::uint32_t argb = window.Pixel(x, y);
	return gcn::Color((argb >> 16) & 0xFF, (argb >> 8) & 0xFF, argb & 0xFF, 255);
}

::testing::AssertionResult Near(const gcn::Color& expected, const gcn::Color& actual, int tolerance = 2)
{
	if (std::abs(expected.r - actual.r) <= tolerance && std::abs(expected.g - actual.g) <= tolerance
		&& std::abs(expected.b - actual.b) <= tolerance)
		return ::testing::AssertionSuccess();
	return ::testing::AssertionFailure() << "expected " << expected << ", drawn " << actual;
}

/// The skin over the background: texture-environment blend lightens it, then alpha 0.75 lays it over.
gcn::Color SkinOver(const gcn::Color& skin, const gcn::Color& background)
{
	auto channel = [](int texture, int behind) {
		const double lightened = 0.75 + 0.25 * texture / 255.0;
		return static_cast<int>(0.75 * lightened * 255.0 + 0.25 * behind + 0.5);
	};
	return gcn::Color(channel(skin.r, background.r), channel(skin.g, background.g), channel(skin.b, background.b),
		255);
}

/// Number of pixels of the area that pass the test.
template <typename Test>
int CountPixels(const TGlWindow& window, const gcn::Rectangle& area, Test test)
{
	int count = 0;
	for (int y = area.y; y < area.y + area.height; ++y)
		for (int x = area.x; x < area.x + area.width; ++x)
			count += test(PixelColor(window, x, y)) ? 1 : 0;
	return count;
}

bool IsWhite(const gcn::Color& c)
{
	return c.r > 200 && c.g > 200 && c.b > 200;
}

bool IsDark(const gcn::Color& c)
{
	return c.r < 80 && c.g < 80 && c.b < 80;
}

/// A real window with the game's GUI: settings, font, skin and a light grey top container.
class GuiWindowTest : public ::testing::Test
{
protected:
	void SetUp() override
	{
		SKIP_WITHOUT_DISPLAY();
		m_Screen.reset(new TGuiScreen(800, 600, "[GUI]\nWindowColor=FF2050A0\nDarkPaneColor=FF000020\n"
			"MsgDlgColor=FFA0A0A0\nFontColor=FFFFFFFF\n"));
		ASSERT_TRUE(m_Screen->IsOpen());
		m_Screen->Top().setBaseColor(BACKGROUND);
		m_Top = &m_Screen->Top();
		m_Window = &m_Screen->Window();
	}

	void TearDown() override { m_Screen.reset(); }

	void DrawFrame()
	{
		m_Window->BeginFrame();
		g_GuiContext.m_Gui->draw();
		m_Window->EndFrame();
	}

	void KeepScreenshot(const std::string& name) { m_Screen->Screenshot(name); }

	/// The absolute position of a point given in a window's content coordinates.
	static gcn::Rectangle Content(const gcn::Widget& window, const gcn::Rectangle& r)
	{
		return gcn::Rectangle(window.getX() + CONTENT_X + r.x, window.getY() + CONTENT_Y + r.y, r.width, r.height);
	}

	std::unique_ptr<TGuiScreen> m_Screen;
	gcn::Container* m_Top = nullptr;
	TGlWindow* m_Window = nullptr;
};
} // namespace

TEST_F(GuiWindowTest, SkinnedWindowWithJapaneseTextAndAQuestion)
{
	ASSERT_NE(nullptr, g_GameMaster.m_Skin->m_Image);
	TGcnWindow window("ウィンドウ");
	window.setDimension(gcn::Rectangle(WIN_X, WIN_Y, WIN_W, WIN_H));
	TGcnTextPane pane("日本語のテキスト\n二行目です", 16);
	pane.setPosition(16, 16);
	pane.MeasureText();
	pane.setForegroundColor(WHITE);
	g_GameMaster.m_Skin->SetupDarkPane(&pane);
	window.add(&pane);
	m_Top->add(&window);
	ShowMsgDlg("確認", "保存しますか？", BUTTON_YES | BUTTON_NO, 0);
	ASSERT_TRUE(IsMsgDlgVisible());

	DrawFrame();
	KeepScreenshot("gui_window");

	const TGlWindow& screen = *m_Window;
	// Frame: the translucent black outline over the grey (its top edge: the other edges fall on pixel
	// borders, which this driver rasterises outside the window), the border and body in the window colour.
	EXPECT_TRUE(Near(gcn::Color(50, 50, 50, 255), PixelColor(screen, WIN_X + 100, WIN_Y)));
	EXPECT_TRUE(Near(WINDOW_COLOR, PixelColor(screen, WIN_X + 1, WIN_Y + 90)));
	EXPECT_TRUE(Near(WINDOW_COLOR, PixelColor(screen, WIN_X + WIN_W - 2, WIN_Y + 90)));
	EXPECT_TRUE(Near(WINDOW_COLOR, PixelColor(screen, WIN_X + 300, WIN_Y + 150)));
	// Title bar: the skin's middle band, lightened and laid over the background; the caption in black in its middle only.
	EXPECT_TRUE(Near(SkinOver(SKIN_BAND, BACKGROUND), PixelColor(screen, WIN_X + 60, WIN_Y + 8), 4));
	EXPECT_GT(CountPixels(screen, gcn::Rectangle(WIN_X + 130, WIN_Y + 1, 80, 15), IsDark), 20);
	EXPECT_EQ(0, CountPixels(screen, gcn::Rectangle(WIN_X + 20, WIN_Y + 1, 100, 15), IsDark));

	// Text: white ink inside the pane, the dark pane colour around it, nothing outside it.
	const gcn::Rectangle box = Content(window, pane.getDimension());
	ASSERT_EQ(128, box.width);
	ASSERT_EQ(32, box.height);
	EXPECT_GT(CountPixels(screen, box, IsWhite), 100);
	EXPECT_GT(CountPixels(screen, box, [](const gcn::Color& c) { return c == DARK_PANE; }), 1000);
	const gcn::Rectangle around(box.x - 4, box.y - 4, box.width + 8, box.height + 8);
	EXPECT_EQ(0, CountPixels(screen, gcn::Rectangle(around.x, around.y, around.width, 4), IsWhite));
	EXPECT_EQ(0, CountPixels(screen, gcn::Rectangle(around.x, box.y + box.height, around.width, 4), IsWhite));
	EXPECT_EQ(0, CountPixels(screen, gcn::Rectangle(box.x + box.width, box.y, 4, box.height), IsWhite));
	EXPECT_EQ(0, CountPixels(screen, gcn::Rectangle(WIN_X + 200, WIN_Y + 40, 120, 120), IsWhite));

	// Question: its text in black on the dialog colour, はい and いいえ as guichan buttons under it.
	const TGcnMsgDlg& dialog = *g_MsgDlg;
	const gcn::Rectangle question = Content(dialog, dialog.m_TextPane.getDimension());
	EXPECT_GT(CountPixels(screen, question, IsDark), 20);
	EXPECT_TRUE(Near(MSG_DLG_COLOR, PixelColor(screen, question.x - 4, question.y + 4)));
	for (int i : { 1, 2 }) {
		const gcn::Rectangle button = Content(dialog, dialog.m_Buttons[i].getDimension());
		EXPECT_TRUE(Near(GUICHAN_BUTTON_FACE, PixelColor(screen, button.x + 6, button.y + 12))) << i;
		EXPECT_GT(CountPixels(screen, button, IsDark), 20) << i;
	}
}

TEST_F(GuiWindowTest, WithoutASkinImageTheTitleBarTakesTheWindowColour)
{
	g_GameMaster.m_Skin.reset(new TGcnSkinManager());
	TGcnWindow window("Title");
	window.setDimension(gcn::Rectangle(WIN_X, WIN_Y, WIN_W, WIN_H));
	m_Top->add(&window);

	DrawFrame();
	KeepScreenshot("gui_window_without_skin");

	EXPECT_TRUE(Near(WINDOW_COLOR, PixelColor(*m_Window, WIN_X + 60, WIN_Y + 8)));
	EXPECT_TRUE(Near(WINDOW_COLOR, PixelColor(*m_Window, WIN_X + WIN_W - 2, WIN_Y + 2)));
	EXPECT_GT(CountPixels(*m_Window, gcn::Rectangle(WIN_X + 140, WIN_Y + 1, 60, 15), IsDark), 10)
		<< "the caption stays readable";
}

namespace
{
// A frame whose parts move, change colour, blend, clip and repeat from frame to frame.
void DrawChangingFrame(gcn::Graphics& graphics, const gcn::Image& image, int frame)
{
	graphics._beginDraw();
	graphics.setColor(BACKGROUND);
	graphics.fillRectangle(gcn::Rectangle(0, 0, 200, 150));
	graphics.setColor(gcn::Color(255, 40 * (frame % 4), 0, 128));
	graphics.fillRectangle(gcn::Rectangle(10 + 7 * (frame % 5), 20, 30, 30));
	graphics.drawImage(&image, 0, 0, 60, 60, 16, 16);
	graphics.drawImage(&image, 0, 0, 100 + 20 * (frame % 3), 90, 16, 16);
	// A row of marks drawn together, one of which changes colour and one of which comes and goes.
	for (int mark = 0; mark < 5 + frame % 2; ++mark) {
		graphics.setColor(mark == frame % 3 ? gcn::Color(250, 250, 0, 200) : gcn::Color(0, 200, 0, 200));
		graphics.fillRectangle(gcn::Rectangle(20 + 25 * mark, 120, 10, 10));
	}
	graphics.setColor(gcn::Color(0, 0, 255 - 30 * (frame % 2), 255));
	graphics.drawLine(5, 140, 190, 100 + frame % 2);
	graphics.pushClipArea(gcn::Rectangle(150, 10, 30, 30));
	graphics.fillRectangle(gcn::Rectangle(-10 + frame % 4, 5, 30, 40));
	graphics.drawRectangle(gcn::Rectangle(2, 2, 20, 20));
	graphics.popClipArea();
	graphics._endDraw();
}

std::vector<std::uint8_t> BackBuffer()
{
	std::vector<std::uint8_t> pixels(200 * 150 * 4);
	glReadBuffer(GL_BACK);
	glReadPixels(0, 0, 200, 150, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
	return pixels;
}
}

TEST(KeptFrames, DrawWhatWholeFramesDrawAndARepeatedFrameIsNotPresentedAgain)
{
	SKIP_WITHOUT_DISPLAY();
	TGlWindow window(200, 150);
	ASSERT_TRUE(window.IsOpen());
	std::vector<unsigned int> texels(16 * 16);
	for (std::size_t i = 0; i < texels.size(); ++i)
		texels[i] = (i % 3 ? 0xFF000000u : 0x80000000u) | unsigned(i * 997);
	gcn::OpenGLImage image(texels.data(), 16, 16, true);
	const int frames[] = {0, 1, 1, 2, 3, 5, 5, 4, 7, 0};
	std::vector<std::vector<std::uint8_t>> kept;
	std::vector<bool> presented;
	GlQuadBatch().SetKeepFrames(true);
	for (int frame : frames) {
		DrawChangingFrame(window.Graphics(), image, frame);
		kept.push_back(BackBuffer());
		presented.push_back(GlQuadBatch().PictureChanged());
	}
	GlQuadBatch().SetKeepFrames(false);
	for (std::size_t i = 0; i < kept.size(); ++i) {
		glClearColor(0, 0, 0, 1);
		glClear(GL_COLOR_BUFFER_BIT);
		DrawChangingFrame(window.Graphics(), image, frames[i]);
		EXPECT_TRUE(BackBuffer() == kept[i]) << "frame " << i;
		EXPECT_EQ(i == 0 || frames[i] != frames[i - 1], presented[i]) << "frame " << i;
	}
}
