#include "unit/ModelFixture.h"
#include "unit/ScriptFixture.h"

#include "app/GameMaster.h"
#include "app/Logger.h"
#include "gui/GuiContext.h"
#include "gui/MsgDlg.h"
#include "gui/SkinManager.h"
#include "model/MorvalethData.h"
#include "script/LuaManager.h"
#include "script/ScriptAPI.h"
#include "support/ScriptBounds.h"

#include <boost/make_shared.hpp>
#include <guichan/genericinput.hpp>
#include <guichan/gui.hpp>
#include <guichan/mouseinput.hpp>
#include <guichan/widgets/container.hpp>
#include <lua.h>

namespace
{
// The sample's database with a face for its first character and none for its second.
boost::shared_ptr<TMorvalethData> SampleWithFaces()
{
	static boost::shared_ptr<TMorvalethData> data = [] {
		boost::shared_ptr<TMorvalethData> loaded = boost::make_shared<TMorvalethData>();
		EXPECT_TRUE(loaded->Load(SampleScenario(), 0));
		TCharaData& first = const_cast<TCharaData&>(loaded->GetCharaData(0));
		first.FaceImage = 4;
		first.ChipImage = 5;
		TCharaData& second = const_cast<TCharaData&>(loaded->GetCharaData(1));
		second.FaceImage = -1;
		second.ChipImage = 7;
		return loaded;
	}();
	return data;
}

/// A GUI without graphics (an 800 x 600 top container, input injected as guichan events),
/// a script-window registry and a script that runs with it.
class ScriptWindowApi : public ScriptTest
{
protected:
	void SetUp() override
	{
		m_Top = new gcn::Container();
		m_Top->setSize(800, 600);
		gcn::Gui* gui = new gcn::Gui();
		gui->setTop(m_Top);
		gui->setInput(&m_Input);
		g_GuiContext.SetGui(gui);
		g_GameMaster.m_Skin.reset(new TGcnSkinManager());
		g_GameMaster.m_Data = SampleWithFaces();
		m_Registry.reset(new TScriptAPI(nullptr));
		m_Manager.SetContext(nullptr, m_Registry.get(), nullptr);
	}

	void TearDown() override
	{
		m_Registry.reset();
		g_GuiContext.Release();
		delete m_Top;
		g_GameMaster.m_Skin.reset();
		g_GameMaster.m_Data.reset();
	}

	// Loads the script and calls run; the boolean run returned.
	bool Run(const std::string& body)
	{
		EXPECT_TRUE(m_Manager.LoadLua(WriteScript("window.lua", "function run()\n" + body + "\nend\n").c_str()));
		EXPECT_TRUE(m_Manager.CallFunction("run"));
		return m_Manager.GetResult();
	}

	// A press at a point of the screen, delivered in one frame of the GUI's logic.
	void Press(int x, int y, int button = gcn::MouseInput::LEFT)
	{
		m_Input.pushMouseButtonPressed(x, y, button);
		m_Input.pushMouseButtonReleased(x, y, button);
		g_GuiContext.m_Gui->logic();
	}

	const TEventContent& Content(int handle) const { return m_Registry->GetWindowState(handle).content; }

	// The registry's counts of the shown windows and of what the windows hold against a recount of every window;
	// a window is shown when a visible guichan window draws what it holds.
	::testing::AssertionResult CountsMatchARecount() const
	{
		int shown = 0;
		TScriptItems onScreen = {0, 0}, held = {0, 0};
		for (int handle = 0; m_Registry->IsValidWindow(handle); ++handle) {
			const TScriptItems items = Content(handle).GetItemCount();
			const TEventWindow* window = m_Registry->GetWindow(handle);
			const bool visible = window && window->isVisible() && window->m_Pane.m_Content == &Content(handle);
			if (visible != m_Registry->IsWindowVisible(handle))
				return ::testing::AssertionFailure() << "window " << handle << " is shown: " << visible;
			shown += visible ? 1 : 0;
			onScreen.texts += visible ? items.texts : 0;
			onScreen.images += visible ? items.images : 0;
			held.texts += items.texts;
			held.images += items.images;
		}
		const TScriptItems keptOnScreen = m_Registry->GetShownItems(), kept = m_Registry->GetHeldItems();
		if (shown == m_Registry->GetShownWindowCount() && onScreen.texts == keptOnScreen.texts
			&& onScreen.images == keptOnScreen.images && held.texts == kept.texts && held.images == kept.images)
			return ::testing::AssertionSuccess();
		return ::testing::AssertionFailure() << "kept: " << m_Registry->GetShownWindowCount() << " shown holding "
			<< keptOnScreen.texts << " texts and " << keptOnScreen.images << " images, all " << kept.texts << " and "
			<< kept.images << "; recounted: " << shown << ", " << onScreen.texts << ", " << onScreen.images << ", "
			<< held.texts << ", " << held.images;
	}

	gcn::GenericInput m_Input;
	gcn::Container* m_Top = nullptr;
	std::unique_ptr<TScriptAPI> m_Registry;
	TMorvalethLuaManager m_Manager;
};
}

TEST_F(ScriptWindowApi, AScriptBuildsPlacesShowsAndHidesItsWindows)
{
	EXPECT_TRUE(Run(
		"local w = api_window_new()\n"
		"local second = api_window_new()\n"
		"api_window_set_size(w, 200, 100)\n"
		"api_window_set_position(w, -1, 40)\n"
		"api_window_set_text(w, -1, -1, 1, '0123456789')\n"
		"api_window_set_text(w, 5, 6, 2, 'kept')\n"
		"api_window_set_visible(w, false)\n"
		"local hidden = api_window_is_visible(w)\n"
		"api_window_set_visible(w, true)\n"
		"return w == 0 and second == 1 and not hidden and api_window_is_visible(w)\n"
		"  and api_window_set_titlebarheight(w, 0) and api_window_set_titlebarheight(w, 64)\n"
		"  and api_window_set_titlebarheight(w, 65) == nil and api_window_set_titlebarheight(w, -1) == nil"));
	TEventWindow* window = m_Registry->GetWindow(0);
	EXPECT_EQ(200, window->m_Pane.getWidth());
	EXPECT_EQ(100, window->m_Pane.getHeight());
	EXPECT_EQ((800 - window->getWidth()) / 2, window->getX());
	EXPECT_EQ(40, window->getY());
	EXPECT_EQ(64u, window->getTitleBarHeight());
	ASSERT_EQ(2u, Content(0).GetTexts().size());
	EXPECT_EQ(60, Content(0).GetTexts()[0].x);
	EXPECT_EQ(42, Content(0).GetTexts()[0].y);
	EXPECT_EQ(2, m_Log.CountLines("invalid window titlebar height"));
	EXPECT_EQ(nullptr, m_Registry->GetWindow(2));
	EXPECT_EQ(nullptr, m_Registry->GetWindow(-1));

	EXPECT_TRUE(Run("return api_window_clear_text(0, 2) and api_window_clear_image(0)"));
	EXPECT_EQ(1u, Content(0).GetTexts().size());
	EXPECT_TRUE(Run("return api_window_clear_text(0)"));
	EXPECT_TRUE(Content(0).GetTexts().empty());
}

TEST_F(ScriptWindowApi, FacesChipsAndImagesOfCharacters)
{
	const std::string first = SampleWithFaces()->GetCharaData(0).id;
	const std::string second = SampleWithFaces()->GetCharaData(1).id;
	const int count = SampleWithFaces()->GetCharaCount();
	EXPECT_TRUE(Run(FormatText(
		"local w = api_window_new()\n"
		"api_window_set_size(w, 300, 200)\n"
		"return api_window_set_faceorchip(w, 10, 30, 1, '%s') and api_window_set_faceorchip(w, 50, 30, 2, '%s')\n"
		"  and api_window_set_faceorchip(w, 0, 0, 3, 'nobody') == nil\n"
		"  and api_window_set_image(w, -1, -1, 4, IMAGE_FACE, 0)\n"
		"  and api_window_set_image(w, 0, 0, 5, IMAGE_CHARACHIP, %d) == nil\n"
		"  and api_window_set_image(w, 0, 0, 5, IMAGE_FACE, 1) == nil\n"
		"  and api_window_set_image(w, 0, 0, 5, 3, 0) == nil\n"
		"  and api_window_set_image(w, 0, 0, 5, IMAGE_EVENT, 0) == nil",
		first, second, count)));
	const std::vector<TEventContent::TImageItem>& images = Content(0).GetImages();
	ASSERT_EQ(3u, images.size());
	// x, y, id, kind, image, horizontal and vertical scale of each item.
	const auto fields = [](const TEventContent::TImageItem& i) {
		return std::vector<int>{i.x, i.y, i.id, i.kind, i.image, i.scaleX, i.scaleY};
	};
	EXPECT_EQ((std::vector<int>{10, 50, 1, SCRIPT_IMAGE_FACE, 4, 256, 256}), fields(images[0]));
	EXPECT_EQ((std::vector<int>{50, 50, 2, SCRIPT_IMAGE_CHARACHIP, 7, 768, 768}), fields(images[1]));
	// A face is centred by its own 96 x 96 pixels.
	EXPECT_EQ((std::vector<int>{102, 52, 4, SCRIPT_IMAGE_FACE, 4, 256, 256}), fields(images[2]));
	ASSERT_EQ(2u, Content(0).GetTexts().size());
	EXPECT_EQ(SampleWithFaces()->GetCharaData(0).Name, Content(0).GetTexts()[0].text);
	EXPECT_EQ(30, Content(0).GetTexts()[0].y);
	EXPECT_EQ(1, m_Log.CountLines("Error `anonymous-namespace'::api_window_set_faceorchip invalid character id."));
	EXPECT_EQ(1, m_Log.CountLines("Error api_window_set_image character type out of range."));
	EXPECT_EQ(1, m_Log.CountLines("has no image of kind 1"));
	EXPECT_EQ(1, m_Log.CountLines("Error api_window_set_image invalid image kind 3."));
	EXPECT_EQ(1, m_Log.CountLines("Error api_window_set_image image index 0 out of range."));
}

TEST_F(ScriptWindowApi, PressesReachACallOnceAndOnlyWhileItRuns)
{
	EXPECT_TRUE(Run("local w = api_window_new()\n"
		"api_window_set_size(w, 200, 100)\n"
		"api_window_set_position(w, 100, 50)\n"
		"return true"));
	const gcn::Rectangle area = m_Registry->GetWindow(0)->getChildrenArea();
	ASSERT_TRUE(m_Manager.LoadLua(WriteScript("wait.lua",
		"function wait()\n"
		"  coroutine.yield()\n"
		"  local a, b, g1, g2 = api_window_event_pop(0), api_window_event_pop(0), api_gui_event_pop(), api_gui_event_pop()\n"
		"  print_log(a.x, a.y, a.eventtype, b.eventtype, api_window_event_pop(0) == nil, g1.x, g2.x, api_gui_event_pop() == nil)\n"
		"  return true\n"
		"end\n").c_str()));
	// Presses made before the call are dropped by it.
	Press(100 + area.x + 1, 50 + area.y + 1);
	Press(5, 5);
	ASSERT_TRUE(m_Manager.CallFunction("wait"));
	// Presses made while it is suspended reach it: on the pane once, window-relative;
	// on the title bar and outside the window in the global queue.
	Press(100 + area.x + 10, 50 + area.y + 20);
	Press(100 + area.x + 11, 50 + area.y + 21, gcn::MouseInput::RIGHT);
	Press(110, 52);
	Press(700, 500);
	ASSERT_TRUE(m_Manager.Resume());
	EXPECT_TRUE(m_Manager.GetResult());
	EXPECT_EQ(std::vector<std::string>(1, FormatText("%d %d 0 1 true 110 700 true ", area.x + 10, area.y + 20)),
		ScriptLog());
}

TEST_F(ScriptWindowApi, AScriptWithoutWindowsAndAGameWithoutFilesGetErrorsNotCrashes)
{
	m_Manager.SetContext(nullptr, nullptr, nullptr);
	// Before the first message there is no dialog and no button was chosen.
	EXPECT_TRUE(Run("return api_dialog_get_selected() == 0 and api_window_new() == nil and api_gui_event_pop() == nil and api_window_set_size(0, 1, 1) == nil\n"
		"  and api_image_load('none.png') == nil and api_music_set('none.ogg') == false\n"
		"  and type(api_get_msec('ignored')) == 'number'"));
	EXPECT_EQ(3, m_Log.CountLines("was called, but no script window manager."));
	EXPECT_EQ(1, m_Log.CountLines("Error 音楽 none.ogg が見つかりませんでした。"));
}

// A scenario that opens a window at every event as the sample's opening does (the hero's face and name, five
// lines), shows it, and hides it once the event is over. Hidden windows are never drawn, so they take nothing
// from what the next event may show: every event shows all it put in, and what the registry keeps of the shown
// windows and of all the windows equals a recount at every step.
TEST_F(ScriptWindowApi, AWindowMadeAndHiddenAtEveryEventShowsAllItHoldsForTenThousandEvents)
{
	ASSERT_TRUE(m_Manager.LoadLua(WriteScript("events.lua", FormatText(
		"events = 0\n"
		"function on_event()\n"
		"  events = events + 1\n"
		"  local w = api_window_new()\n"
		"  api_window_set_titlebarheight(w, 0)\n"
		"  api_window_set_size(w, 480, 300)\n"
		"  api_window_set_position(w, -1, -1)\n"
		"  api_window_set_faceorchip(w, 16, 148, 2, '%s')\n"
		"  for i = 1, 5 do api_window_set_text(w, 132, 150 + 22 * i, 3, 'event ' .. events .. ' line ' .. i) end\n"
		"  api_window_set_visible(w, true)\n"
		"  coroutine.yield()\n"
		"  api_window_set_visible(w, false)\n"
		"  return true\n"
		"end\n", SampleWithFaces()->GetCharaData(0).id)).c_str()));
	const int events = 10000;
	for (int event = 0; event < events; ++event) {
		ASSERT_TRUE(m_Manager.CallFunction("on_event"));
		ASSERT_TRUE(m_Manager.IsSuspended()) << "event " << event;
		ASSERT_EQ(event + 1, m_Registry->GetWindowCount());
		ASSERT_TRUE(m_Registry->IsWindowVisible(event));
		const std::vector<TEventContent::TTextItem>& texts = Content(event).GetTexts();
		ASSERT_EQ(6u, texts.size()) << "event " << event << ": the name and five lines";
		for (int line = 1; line <= 5; ++line)
			ASSERT_EQ(FormatText("event %d line %d", event + 1, line), texts[line].text);
		ASSERT_EQ(1u, Content(event).GetImages().size()) << "event " << event << ": the face";
		ASSERT_TRUE(CountsMatchARecount()) << "event " << event;
		ASSERT_TRUE(m_Manager.Resume());
		ASSERT_FALSE(m_Manager.IsSuspended());
		ASSERT_FALSE(m_Registry->IsWindowVisible(event));
		ASSERT_EQ(0, m_Registry->GetShownWindowCount());
	}
	EXPECT_TRUE(CountsMatchARecount());
	EXPECT_EQ(6 * events, m_Registry->GetHeldItems().texts);
	EXPECT_EQ(0, m_Log.CountLines("Warning")) << m_Log.Text().substr(0, 2000);
}

// What a frame draws is bounded by the shown windows: a window past the sixteenth shown is made hidden, a
// hidden window holds what one window may show, and a show that would pass what the shown windows may hold
// together is refused, each with a Warning; once another window is hidden, the show goes ahead.
TEST_F(ScriptWindowApi, AWindowPastWhatTheScreenMayShowIsMadeOrKeptHiddenUntilThereIsRoom)
{
	EXPECT_TRUE(Run(
		"for i = 1, 16 do api_window_new() end\n"
		"local w = api_window_new()\n"
		"local madeHidden = w == 16 and not api_window_is_visible(w)\n"
		"local filled = api_window_set_text(w, 0, 0, 1, 'seventeenth')\n"
		"local refused = api_window_set_visible(w, true) == nil\n"
		"api_window_set_visible(0, false)\n"
		"return madeHidden and filled and refused and api_window_set_visible(w, true) and api_window_is_visible(w)"));
	EXPECT_EQ(16, m_Registry->GetShownWindowCount());
	EXPECT_EQ(1, m_Log.CountLines(
		"window.lua Line 3 : api_window_new：ウィンドウは同時に 16 個までしか表示できないため、隠したまま作りました。"));
	EXPECT_EQ(1, m_Log.CountLines(
		"window.lua Line 6 : api_window_set_visible：ウィンドウは同時に 16 個までしか表示できないため、表示しませんでした。"));
	EXPECT_TRUE(CountsMatchARecount());

	m_Registry.reset(new TScriptAPI(nullptr));
	m_Manager.SetContext(nullptr, m_Registry.get(), nullptr);
	EXPECT_TRUE(Run(
		"local a, b = api_window_new(), api_window_new()\n"
		"api_window_set_visible(b, false)\n"
		"for i = 1, 200 do api_window_set_text(a, 0, 0, i, 'a') end\n"
		"local added = 0\n"
		"for i = 1, 300 do if api_window_set_text(b, 0, 0, i, 'b') then added = added + 1 end end\n"
		"local refused = api_window_set_visible(b, true) == nil\n"
		"api_window_set_visible(a, false)\n"
		"local shown = api_window_set_visible(b, true)\n"
		"local full = api_window_set_text(b, 0, 0, 0, 'c') == nil and api_window_set_visible(a, true) == nil\n"
		"api_window_clear_text(b, 7)\n"
		"return added == 256 and refused and shown and full and api_window_set_text(b, 0, 0, 0, 'd')"));
	EXPECT_EQ(256, m_Registry->GetShownItems().texts);
	EXPECT_EQ(456, m_Registry->GetHeldItems().texts);
	EXPECT_TRUE(CountsMatchARecount());
	EXPECT_EQ(45, m_Log.CountLines("表示するウィンドウは全部でテキストと画像をそれぞれ 256 個までしか持てないため、追加しませんでした。"))
		<< "the 44 texts past what the hidden window may hold, and one past what the shown ones may";
	EXPECT_EQ(2, m_Log.CountLines("表示するウィンドウは全部でテキストと画像をそれぞれ 256 個までしか持てないため、表示しませんでした。"));
}

// Hidden windows cost no frame, but memory: all the windows of a game hold SCRIPT_HELD_ITEMS texts at most.
TEST_F(ScriptWindowApi, AllTheWindowsTogetherHoldABoundedNumberOfTexts)
{
	// The run must finish, however slowly a busy machine makes its items.
	const TScopedScriptBounds bounds(std::chrono::hours(10), SCRIPT_MEMORY_LIMIT);
	EXPECT_TRUE(Run(FormatText(
		"local added = 0\n"
		"for w = 1, %d do\n"
		"  local h = api_window_new() api_window_set_visible(h, false)\n"
		"  for i = 1, 256 do if api_window_set_text(h, 0, 0, i, 'x') then added = added + 1 end end\n"
		"end\n"
		"return added == %d", SCRIPT_HELD_ITEMS / 256 + 1, SCRIPT_HELD_ITEMS)));
	EXPECT_EQ(SCRIPT_HELD_ITEMS, m_Registry->GetHeldItems().texts);
	EXPECT_TRUE(CountsMatchARecount());
	EXPECT_EQ(256, m_Log.CountLines("window.lua Line 5 : api_window_set_text：ウィンドウは隠したものも合わせてテキストと"
		"画像をそれぞれ 262144 個までしか持てないため、追加しませんでした。"));
}

// The dialog shows as many lines as the screen holds above its buttons: a message of forty lines fits a 1024 x
// 768 screen whole, however many bytes it has; of a message far larger than any screen only its head is looked at.
TEST_F(ScriptWindowApi, ADialogsMessageIsCutByWhatTheScreenHoldsNotByItsBytes)
{
	m_Top->setSize(1024, 768);
	std::string message;
	for (int line = 0; line < 40; ++line)
		message += (line ? "\n" : "") + std::string(120, char('a' + line % 26));
	ASSERT_GT(message.size(), 4096u);
	EXPECT_TRUE(Run("local lines = {}\n"
		"for i = 0, 39 do lines[#lines + 1] = string.rep(string.char(97 + i % 26), 120) end\n"
		"return api_dialog_show('Information', table.concat(lines, '\\n'), BUTTON_OK)"));
	ASSERT_NE(nullptr, g_MsgDlg);
	EXPECT_EQ(message.size(), g_MsgDlg->m_TextPane.m_Text.size());
	EXPECT_TRUE(message == g_MsgDlg->m_TextPane.m_Text);
	EXPECT_EQ(40 * 16, g_MsgDlg->m_TextPane.getHeight());
	EXPECT_EQ(0, m_Log.CountLines("Warning")) << m_Log.Text().substr(0, 2000);

	EXPECT_TRUE(Run("return api_dialog_show('Information', string.rep('\\136\\159', 8 * 1024 * 1024), BUTTON_OK)"));
	EXPECT_EQ(1, m_Log.CountLines("window.lua Line 2 : api_dialog_show のテキスト(16777216 バイト)は長すぎるため、"
		"1048576 バイトで切りました。"));
	EXPECT_EQ(1, m_Log.CountLines("「Information」のメッセージは画面に収まらないため、"));
	const int lines = g_MsgDlg->m_TextPane.getHeight() / 16;
	EXPECT_EQ(std::string::size_type(lines) * 124, g_MsgDlg->m_TextPane.m_Text.size())
		<< "as many lines of 62 characters as the screen holds";
}

