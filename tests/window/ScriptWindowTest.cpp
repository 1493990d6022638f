// The sample's opening on a real window: the event script opens its window with a
// picture, the hero's face and the story, a click reaches the window's queue and the
// timed dialog that follows closes by itself. Scripts that try to put more on screen
// than a frame can draw are cut down to the bounds, with a Warning naming them.

#include "app/GameConfig.h"
#include "app/GameMaster.h"
#include "gui/GuiContext.h"
#include "gui/MsgDlg.h"
#include "model/MorvalethData.h"
#include "script/LuaManager.h"
#include "script/ScriptAPI.h"
#include "support/SampleGuiWindow.h"
#include "support/ScriptBounds.h"

#include <gtest/gtest.h>
#include <cstdint>
#include <guichan/gui.hpp>
#include <algorithm>
#include <chrono>
#include <guichan/mouseinput.hpp>
#include <memory>

namespace
{
struct TRgb
{
	int r, g, b;
};

class ScriptWindowTest : public ::testing::Test
{
protected:
	void SetUp() override
	{
		SKIP_WITHOUT_DISPLAY();
		m_Screen.Open("[GUI]\nMessageTimeoutFrame=5\n");
		m_Registry.reset(new TScriptAPI(nullptr));
		m_Manager.SetContext(nullptr, m_Registry.get(), nullptr);
	}

	void TearDown() override
	{
		g_Config.m_MessageTimeoutFrame = 60;
		m_Registry.reset();
		m_Screen.Close();
	}

	void DrawFrame() { m_Screen.DrawFrame(); }
	void KeepScreenshot(const std::string& name) { m_Screen.Screenshot(name); }

	TRgb Pixel(int x, int y) const
	{
		const std::uint32_t argb = m_Screen.Window().Pixel(x, y);
		return {int((argb >> 16) & 0xFF), int((argb >> 8) & 0xFF), int(argb & 0xFF)};
	}

	/// Pixels of the rectangle (screen coordinates) that pass the test.
	template <typename Test>
	int Count(int x0, int y0, int width, int height, Test test) const
	{
		int count = 0;
		for (int y = y0; y < y0 + height; ++y)
			for (int x = x0; x < x0 + width; ++x)
				count += test(Pixel(x, y)) ? 1 : 0;
		return count;
	}

	/// The screen position of the window's pane.
	void PaneOrigin(int handle, int& x, int& y) const
	{
		m_Registry->GetWindow(handle)->m_Pane.getAbsolutePosition(x, y);
	}

	/// Runs the body as the function run of a script file of its own, with a fresh registry.
	void Run(const std::string& body)
	{
		m_Registry.reset(new TScriptAPI(nullptr));
		m_Manager.SetContext(nullptr, m_Registry.get(), nullptr);
		WriteFile("bounds.lua", "function run()\n" + body + "\nreturn true end\n");
		// The run must finish, however slowly a busy machine writes its warnings.
		const TScopedScriptBounds bounds(std::chrono::hours(10), SCRIPT_MEMORY_LIMIT);
		ASSERT_TRUE(m_Manager.LoadLua("bounds.lua"));
		ASSERT_TRUE(m_Manager.CallFunction("run"));
	}

	TCapturedLog m_Log;
	TSampleGuiWindow m_Screen;
	std::unique_ptr<TScriptAPI> m_Registry;
	TMorvalethLuaManager m_Manager;
};

bool IsBlack(const TRgb& c)
{
	return c.r < 16 && c.g < 16 && c.b < 16;
}

bool IsWhite(const TRgb& c)
{
	return c.r > 200 && c.g > 200 && c.b > 200;
}
}

TEST_F(ScriptWindowTest, TheOpeningShowsItsWindowTakesAClickAndItsDialogClosesItself)
{
	std::string script;
	ASSERT_TRUE(g_GameMaster.FindScriptFile("EventScript.lua", script));
	ASSERT_TRUE(m_Manager.LoadLua(script.c_str()));
	ASSERT_TRUE(m_Manager.CallFunction("on_system_start"));
	ASSERT_TRUE(m_Manager.IsSuspended());
	DrawFrame();
	KeepScreenshot("script_opening");

	int x = 0, y = 0;
	PaneOrigin(0, x, y);
	const TEventWindow* window = m_Registry->GetWindow(0);
	EXPECT_EQ((800 - window->getWidth()) / 2, window->getX()) << "the window is centred";
	EXPECT_TRUE(IsBlack(Pixel(x + 470, y + 290))) << "the pane's black ground";
	// The picture, centred at the top: the sky at its top, the sun on the right.
	const TRgb sky = Pixel(x + 120 + 200, y + 12 + 2);
	EXPECT_TRUE(sky.b > sky.r && sky.b > 100) << sky.r << " " << sky.g << " " << sky.b;
	const TRgb sun = Pixel(x + 120 + 170, y + 12 + 70);
	EXPECT_TRUE(sun.r > 200 && sun.g > 180 && sun.b < 180) << sun.r << " " << sun.g << " " << sun.b;
	// The hero's face 20 pixels below its name, the story to its right in white.
	EXPECT_GT(Count(x + 16, y + 168, 96, 96, [](const TRgb& c) { return !IsBlack(c); }), 96 * 96 / 4);
	EXPECT_GT(Count(x + 16, y + 148, 96, 18, IsWhite), 20) << "the hero's name";
	EXPECT_GT(Count(x + 132, y + 172, 330, 88, IsWhite), 400) << "four lines of the story";

	m_Screen.PushClick({x + 300, y + 200}, gcn::MouseInput::LEFT);
	g_GuiContext.m_Gui->logic();
	ASSERT_TRUE(m_Manager.Resume());
	EXPECT_FALSE(m_Registry->IsWindowVisible(0)) << "the click reached the window's queue";
	ASSERT_TRUE(IsMsgDlgVisible());
	DrawFrame();
	KeepScreenshot("script_dialog");
	const auto dark = [](const TRgb& c) { return c.r < 60 && c.g < 60 && c.b < 60; };
	EXPECT_GT(Count(g_MsgDlg->getX() + 8, g_MsgDlg->getY() + 24, g_MsgDlg->getWidth() - 16, 40, dark), 200)
		<< "the dialog's two lines of text";
	EXPECT_EQ(0, Count(x + 300, y + 250, 40, 20, IsBlack)) << "the window is gone from the screen";

	int frames = 0;
	while (m_Manager.IsSuspended() && frames < 20) {
		g_GuiContext.m_Gui->logic();
		ASSERT_TRUE(m_Manager.Resume());
		++frames;
	}
	EXPECT_FALSE(m_Manager.IsSuspended());
	EXPECT_TRUE(m_Manager.GetResult());
	EXPECT_FALSE(IsMsgDlgVisible());
	EXPECT_EQ(6, frames) << "five frames of time-out, closed in the sixth";
}

TEST_F(ScriptWindowTest, ImagesAreStretchedIn256ths)
{
	const int handle = m_Registry->NewWindow();
	m_Registry->SetWindowSize(handle, 300, 300);
	m_Registry->SetWindowPosition(handle, 0, 0);
	const int face = g_GameMaster.m_Data->GetCharaData(g_GameMaster.m_Data->GetCharaIndex("leon")).FaceImage;
	ASSERT_GE(face, 0);
	// No script function stretches a face; the pane draws whatever it is lent.
	TEventContent content;
	content.AddImage({0, 0, 1, SCRIPT_IMAGE_FACE, face, 256, 512});
	m_Registry->GetWindow(handle)->m_Pane.m_Content = &content;
	DrawFrame();
	KeepScreenshot("script_scaled_face");
	int x = 0, y = 0;
	PaneOrigin(handle, x, y);
	const auto drawn = [](const TRgb& c) { return !IsBlack(c); };
	EXPECT_GT(Count(x, y + 96, 96, 96, drawn), 96 * 96 / 4) << "twice as high";
	EXPECT_EQ(0, Count(x + 100, y, 100, 192, drawn)) << "as wide as the face";
}

// Each script tries to put more on screen than a frame could draw; what it gets is cut to the bounds, it is
// told so in a Warning that names it and the line, and the frame after it still shows its windows.
TEST_F(ScriptWindowTest, WhatAScriptPutsInWindowsIsCutToTheBoundsWithAWarningNamingIt)
{
	struct TBound
	{
		const char* name;
		const char* body;
		int windows, shown, texts, images, longestText, paneSize;
		const char* warning;
	};
	const TBound bounds[] = {
		{"long texts",
			"local w = api_window_new() api_window_set_size(w, 300, 100)\n"
			"for i = 1, 300 do api_window_set_text(w, 0, i % 80, i, 'x' .. string.rep('\\136\\159', 5120)) end",
			1, 1, SCRIPT_SHOWN_ITEMS, 0, SCRIPT_TEXT_BYTES - 1, 300,
			"bounds.lua Line 3 : api_window_set_text のテキスト(10241 バイト)は長すぎるため、255 バイトで切りました。"},
		{"many faces",
			"local w = api_window_new() api_window_set_size(w, 300, 100)\n"
			"for i = 1, 300 do api_window_set_image(w, i % 200, 0, i, IMAGE_FACE, api_get_chara_type('leon')) end",
			1, 1, 0, SCRIPT_SHOWN_ITEMS, 0, 300,
			"bounds.lua Line 3 : api_window_set_image：表示するウィンドウは全部でテキストと画像をそれぞれ 256 個まで"},
		{"many windows shown",
			"for i = 1, 40 do local w = api_window_new() if w then api_window_set_text(w, 0, 0, 1, 'w') end end",
			40, SCRIPT_SHOWN_WINDOWS, 40, 0, 1, 0,
			"bounds.lua Line 2 : api_window_new：ウィンドウは同時に 16 個までしか表示できないため、隠したまま作りました。"},
		{"many windows hidden",
			"for i = 1, 70000 do local w = api_window_new() if w then api_window_set_visible(w, false) end end\n"
			"api_window_set_visible(0, true)",
			SCRIPT_WINDOWS, 1, 0, 0, 0, 0, "bounds.lua Line 2 : api_window_new：ウィンドウは 65536 個までしか作れないため"},
		{"shown again",
			"for i = 1, 20 do api_window_set_visible(api_window_new(), false) end\n"
			"for i = 0, 19 do api_window_set_visible(i, true) end",
			20, SCRIPT_SHOWN_WINDOWS, 0, 0, 0, 0,
			"bounds.lua Line 3 : api_window_set_visible：ウィンドウは同時に 16 個までしか表示できないため"},
		{"a huge window",
			"local w = api_window_new() api_window_set_size(w, 100000, 2^31 - 1) api_window_set_position(w, 0, 0)",
			1, 1, 0, 0, 0, SCRIPT_PANE_SIZE,
			"bounds.lua Line 2 : api_window_set_size：ウィンドウの大きさ 100000 x 2147483647 は大きすぎるため"},
	};
	for (const TBound& bound : bounds) {
		Run(bound.body);
		const int warnings = m_Log.CountLines(bound.warning);
		EXPECT_GE(warnings, 1) << bound.name << "\n" << m_Log.Text().substr(0, 2000);
		int shown = 0, texts = 0, images = 0, longest = 0;
		for (int handle = 0; m_Registry->IsValidWindow(handle); ++handle) {
			const TEventWindowState& window = m_Registry->GetWindowState(handle);
			shown += window.shown ? 1 : 0;
			texts += int(window.content.GetTexts().size());
			images += int(window.content.GetImages().size());
			for (const TEventContent::TTextItem& text : window.content.GetTexts())
				longest = std::max(longest, int(text.text.size()));
		}
		EXPECT_EQ(bound.windows, m_Registry->GetWindowCount()) << bound.name;
		EXPECT_EQ(bound.shown, shown) << bound.name;
		EXPECT_EQ(bound.texts, texts) << bound.name;
		EXPECT_EQ(bound.images, images) << bound.name;
		EXPECT_EQ(bound.longestText, longest) << bound.name;
		EXPECT_EQ(bound.paneSize, std::max(m_Registry->GetWindowState(0).paneWidth,
			m_Registry->GetWindowState(0).paneHeight)) << bound.name;
		DrawFrame();
		int x = 0, y = 0;
		PaneOrigin(0, x, y);
		if (bound.paneSize > 0) {
			EXPECT_TRUE(IsBlack(Pixel(x + 20, y + 99))) << bound.name << ": the pane's ground";
		}
	}
	// A text of two-byte characters that ends on the bound is cut there; one that would split a character
	// (the long texts above) is cut a byte before.
	Run("local w = api_window_new() api_window_set_text(w, 0, 0, 1, string.rep('\\136\\159', 200))");
	EXPECT_EQ(SCRIPT_TEXT_BYTES, int(m_Registry->GetWindowState(0).content.GetTexts()[0].text.size()));
}

// A text with a line feed is drawn as two lines from the same left edge, as the message dialog draws one, not
// on one line running on to the right; centred, its lines are measured as a block.
TEST_F(ScriptWindowTest, ALineFeedInAWindowsTextStartsALineBelowAtTheSameLeftEdge)
{
	Run("local w = api_window_new() api_window_set_titlebarheight(w, 0) api_window_set_size(w, 200, 100)\n"
		"api_window_set_position(w, 0, 0)\n"
		"api_window_set_text(w, 10, 10, 1, 'MMMM\\nMMMM')\n"
		"api_window_set_text(w, -1, -1, 2, 'ab\\nabcd')");
	DrawFrame();
	KeepScreenshot("script_line_feed");
	int x = 0, y = 0;
	PaneOrigin(0, x, y);
	EXPECT_GT(Count(x + 10, y + 10, 32, 16, IsWhite), 20) << "the first line";
	EXPECT_GT(Count(x + 10, y + 26, 32, 16, IsWhite), 20) << "the second line, 16 pixels below";
	EXPECT_EQ(0, Count(x + 44, y + 10, 38, 16, IsWhite)) << "nothing right of the first line";
	const TEventContent::TTextItem& centred = m_Registry->GetWindowState(0).content.GetTexts()[1];
	EXPECT_EQ((200 - 4 * 8) / 2, centred.x) << "by its longest line";
	EXPECT_EQ((100 - 2 * 16) / 2, centred.y) << "by its two lines";
}

// A script that loads one picture under names that differ only in "/", "." and ".." gets one image of it, and
// the next picture the next index (the run fails, naming the name, otherwise).
TEST_F(ScriptWindowTest, OnePictureUnderManyNamesIsOneScriptImage)
{
	Run("local first = api_image_load('opening.png')\n"
		"for _, name in ipairs({'./opening.png', './/opening.png', '../Picture/opening.png',\n"
		"    './../Picture/./opening.png', 'opening.png'}) do\n"
		"  if api_image_load(name) ~= first then error(name .. ' gave another image') end\n"
		"end\n"
		"if api_image_load('fieldmap.png') ~= first + 1 then error('the next picture is not the next image') end");
}

