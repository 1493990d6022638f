#include "unit/ModelFixture.h"
#include "unit/ScriptFixture.h"

#include "app/GameMaster.h"
#include "app/Logger.h"
#include "gui/GuiContext.h"
#include "gui/SkinManager.h"
#include "model/MorvalethData.h"
#include "script/LuaManager.h"
#include "script/ScriptAPI.h"

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

	TEventPane& Pane(int handle) { return m_Registry->GetWindow(handle)->m_Pane; }

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
	EXPECT_EQ(200, Pane(0).getWidth());
	EXPECT_EQ(100, Pane(0).getHeight());
	EXPECT_EQ((800 - window->getWidth()) / 2, window->getX());
	EXPECT_EQ(40, window->getY());
	EXPECT_EQ(64u, window->getTitleBarHeight());
	ASSERT_EQ(2u, Pane(0).GetTexts().size());
	EXPECT_EQ(60, Pane(0).GetTexts()[0].x);
	EXPECT_EQ(42, Pane(0).GetTexts()[0].y);
	EXPECT_EQ(2, m_Log.CountLines("invalid window titlebar height"));
	EXPECT_EQ(nullptr, m_Registry->GetWindow(2));
	EXPECT_EQ(nullptr, m_Registry->GetWindow(-1));

	EXPECT_TRUE(Run("return api_window_clear_text(0, 2) and api_window_clear_image(0)"));
	EXPECT_EQ(1u, Pane(0).GetTexts().size());
	EXPECT_TRUE(Run("return api_window_clear_text(0)"));
	EXPECT_TRUE(Pane(0).GetTexts().empty());
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
	const std::vector<TEventPane::TImageItem>& images = Pane(0).GetImages();
	ASSERT_EQ(3u, images.size());
	// x, y, id, kind, image, horizontal and vertical scale of each item.
	const auto fields = [](const TEventPane::TImageItem& i) {
		return std::vector<int>{i.x, i.y, i.id, i.kind, i.image, i.scaleX, i.scaleY};
	};
	EXPECT_EQ((std::vector<int>{10, 50, 1, SCRIPT_IMAGE_FACE, 4, 256, 256}), fields(images[0]));
	EXPECT_EQ((std::vector<int>{50, 50, 2, SCRIPT_IMAGE_CHARACHIP, 7, 768, 768}), fields(images[1]));
	// A face is centred by its own 96 x 96 pixels.
	EXPECT_EQ((std::vector<int>{102, 52, 4, SCRIPT_IMAGE_FACE, 4, 256, 256}), fields(images[2]));
	ASSERT_EQ(2u, Pane(0).GetTexts().size());
	EXPECT_EQ(SampleWithFaces()->GetCharaData(0).Name, Pane(0).GetTexts()[0].text);
	EXPECT_EQ(30, Pane(0).GetTexts()[0].y);
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
