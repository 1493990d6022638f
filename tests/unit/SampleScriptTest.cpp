#include "unit/ModelFixture.h"
#include "unit/ScriptFixture.h"

#include "app/GameConfig.h"
#include "app/GameMaster.h"
#include "common/babel/babel.h"
#include "gui/GuiContext.h"
#include "gui/MsgDlg.h"
#include "gui/SkinManager.h"
#include "model/MorvalethData.h"
#include "script/LuaManager.h"
#include "script/ScriptAPI.h"

#include <boost/make_shared.hpp>
#include <guichan/gui.hpp>
#include <guichan/widgets/container.hpp>

namespace
{
const char* const SCRIPTS[] = {"EventScript.lua", "OpeningText.lua"};

std::string SampleScript(const std::string& name)
{
	return SampleScenario() + "/Script/" + name;
}

// The bytes of a lead byte followed by the second byte, anywhere in the text.
bool HasCharacterEndingIn(const std::string& text, unsigned char second)
{
	for (std::size_t i = 0; i + 1 < text.size(); ++i) {
		const unsigned char lead = text[i];
		if ((lead >= 0x81 && lead <= 0x9F) || (lead >= 0xE0 && lead <= 0xFC)) {
			if (static_cast<unsigned char>(text[i + 1]) == second)
				return true;
			++i;
		}
	}
	return false;
}
}

TEST(SampleScripts, AreTheirUtf8SourcesInShiftJis)
{
	for (const char* name : SCRIPTS) {
		const std::string source = ReadFile(std::string(MORVALETH_SOURCE_DIR) + "/tools/sample_scripts/" + name);
		ASSERT_FALSE(source.empty()) << name;
		EXPECT_EQ(Utf8ToSjis(source), ReadFile(SampleScript(name))) << name << ": run tools/gen_sample_scripts.py";
	}
	const std::string text = ReadFile(SampleScript("OpeningText.lua")) + ReadFile(SampleScript("EventScript.lua"));
	for (const unsigned char second : {0x5C, 0x5B, 0x5D, 0x7C})
		EXPECT_TRUE(HasCharacterEndingIn(text, second)) << std::hex << int(second);
}

/// The opening script on a GUI without graphics: no pictures are loaded, so the hero shows as a chip.
class SampleOpening : public ScriptTest
{
protected:
	void SetUp() override
	{
		m_Top = new gcn::Container();
		m_Top->setSize(800, 600);
		gcn::Gui* gui = new gcn::Gui();
		gui->setTop(m_Top);
		g_GuiContext.SetGui(gui);
		g_GameMaster.m_Skin.reset(new TGcnSkinManager());
		g_GameMaster.m_Data = boost::make_shared<TMorvalethData>();
		ASSERT_TRUE(g_GameMaster.m_Data->Load(SampleScenario(), 0));
		g_GameMaster.m_ScenarioDir = SampleScenario();
		g_Config.m_MessageTimeoutFrame = 5;
		m_Registry.reset(new TScriptAPI(nullptr));
		m_Manager.SetContext(nullptr, m_Registry.get(), nullptr);
	}

	void TearDown() override
	{
		g_Config.m_MessageTimeoutFrame = 60;
		m_Registry.reset();
		g_GuiContext.Release();
		delete m_Top;
		g_GameMaster.m_Skin.reset();
		g_GameMaster.m_Data.reset();
	}

	gcn::Container* m_Top = nullptr;
	std::unique_ptr<TScriptAPI> m_Registry;
	TMorvalethLuaManager m_Manager;
};

TEST_F(SampleOpening, ShowsItsStoryThenATimedDialogWhenNobodyClicks)
{
	ASSERT_TRUE(m_Manager.LoadLua(SampleScript("EventScript.lua").c_str()));
	ASSERT_TRUE(m_Manager.CallFunction("on_system_start"));
	ASSERT_TRUE(m_Manager.IsSuspended());
	TEventWindow* window = m_Registry->GetWindow(0);
	ASSERT_NE(nullptr, window);
	EXPECT_TRUE(window->isVisible());
	const std::vector<TEventPane::TTextItem>& texts = window->m_Pane.GetTexts();
	ASSERT_EQ(5u, texts.size());
	EXPECT_EQ(g_GameMaster.m_Data->GetCharaData(g_GameMaster.m_Data->GetCharaIndex("leon")).Name, texts[0].text);
	EXPECT_EQ(std::string("十の国が覇を競うこの大陸で、"), texts[1].text);
	EXPECT_EQ(std::string("ソルディア王国の若き騎士レオンは"), texts[2].text);
	EXPECT_EQ(std::string("能ある仲間と共に表舞台へ立つ。"), texts[3].text);
	EXPECT_EQ(std::string("評定の時は来た。ポルトの港から――"), texts[4].text);

	// Literals are Shift-JIS already. 600 frames without a click, then the dialog's own frames.
	int frames = 0;
	bool dialogSeen = false;
	while (m_Manager.IsSuspended() && frames < 1000) {
		g_GuiContext.m_Gui->logic();
		dialogSeen = dialogSeen || IsMsgDlgVisible();
		ASSERT_TRUE(m_Manager.Resume());
		++frames;
	}
	EXPECT_TRUE(m_Manager.GetResult());
	EXPECT_TRUE(dialogSeen);
	EXPECT_FALSE(window->isVisible());
	EXPECT_GE(frames, 600);
	EXPECT_LE(frames, 610);
	EXPECT_EQ(std::string("ゲームを開始します。\n表示の確認が済みました。"), g_MsgDlg->m_TextPane.m_Text);
	EXPECT_EQ(std::vector<std::string>{std::string("開幕を表示しました。 ")}, ScriptLog());
	// No GL here, so the dialog's glyphs cannot load; the script itself reports nothing.
	EXPECT_EQ(0, m_Log.CountLines("resume error"));
	EXPECT_EQ(0, m_Log.CountLines("api_"));

	ASSERT_TRUE(m_Manager.CallFunction("global_script"));
	EXPECT_TRUE(m_Manager.GetResult());
}
