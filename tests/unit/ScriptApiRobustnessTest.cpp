// Every engine function of the screen family called with wrong argument lists: none
// raises a Lua error, each reports what the rules say and returns nothing.

#include "unit/ScriptFixture.h"

#include "app/GameMaster.h"
#include "app/Logger.h"
#include "gui/GuiContext.h"
#include "script/LuaManager.h"
#include "script/ScriptAPI.h"
#include "support/ScriptArguments.h"

#include <guichan/gui.hpp>
#include <guichan/widgets/container.hpp>
#include <lua.h>

namespace
{
// Where a wrong argument list is reported.
enum TReport { SCRIPT_LOG_WARNING, MAIN_LOG_LINE };

struct TSignature
{
	const char* name;
	// Type letters of the arguments, then of the optional ones.
	const char* types;
	const char* optional;
	TReport report;
	// The report's text for a wrong argument list.
	std::string argumentText;
	// The message for a handle that names no window; empty for functions without one.
	std::string handleText;
};

std::string Warning(const std::string& name)
{
	return "Warning : invalid argument for " + name + " (Line 1)";
}

std::string Logged(const char* name)
{
	return Warning(std::string("`anonymous-namespace'::") + name);
}

const TSignature SIGNATURES[] = {
	{"api_music_set", "s", "", SCRIPT_LOG_WARNING, Warning("api_music_set"), ""},
	{"api_image_load", "s", "", SCRIPT_LOG_WARNING, Logged("api_image_load"), ""},
	{"api_window_set_size", "nnn", "", SCRIPT_LOG_WARNING, Logged("api_window_set_size"),
		"api_window_set_size invalid window handle."},
	{"api_window_set_position", "nnn", "", SCRIPT_LOG_WARNING, Logged("api_window_set_position"),
		"api_window_set_position invalid window handle."},
	{"api_window_set_visible", "nb", "", SCRIPT_LOG_WARNING, Logged("api_window_set_visible"),
		"api_window_set_visible invalid window handle."},
	{"api_window_set_titlebarheight", "nn", "", MAIN_LOG_LINE,
		"=chunk Line 1 : `anonymous-namespace'::api_window_set_titlebarheight invalid argument type.",
		"api_window_set_titlebarheight invalid window handle."},
	{"api_window_set_image", "nnnnnn", "", SCRIPT_LOG_WARNING, Logged("api_window_set_image"),
		"api_window_set_image invalid window handle."},
	{"api_window_set_faceorchip", "nnnns", "", SCRIPT_LOG_WARNING, Logged("api_window_set_faceorchip"),
		"`anonymous-namespace'::api_window_set_faceorchip invalid window handle."},
	{"api_window_clear_image", "n", "n", SCRIPT_LOG_WARNING, Logged("api_window_clear_image"),
		"api_window_clear_image invalid window handle."},
	{"api_window_set_text", "nnnns", "", SCRIPT_LOG_WARNING, Logged("api_window_set_text"),
		"api_window_set_text invalid window handle."},
	{"api_window_clear_text", "n", "n", SCRIPT_LOG_WARNING, Logged("api_window_clear_text"),
		"api_window_clear_text invalid window handle."},
	{"api_window_is_visible", "n", "", SCRIPT_LOG_WARNING, Logged("api_window_is_visible"),
		"api_window_is_visible invalid window handle."},
	{"api_window_event_pop", "n", "", SCRIPT_LOG_WARNING, Logged("api_window_event_pop"),
		"api_window_event_pop invalid window handle."},
	{"api_dialog_show", "ssn", "b", SCRIPT_LOG_WARNING, Warning("api_dialog_show"), ""},
};

// Functions that take no arguments ignore whatever they are given; their result counts.
const std::pair<const char*, int> ARGUMENTLESS[] = {{"api_gui_get_top_size", 2}, {"api_gui_event_pop", 0},
	{"api_window_new", 1}, {"api_dialog_is_visible", 1}, {"api_dialog_get_selected", 1}, {"api_get_msec", 1}};

class ScriptApiRobustness : public ScriptTest
{
protected:
	void SetUp() override
	{
		m_Top = new gcn::Container();
		m_Top->setSize(800, 600);
		gcn::Gui* gui = new gcn::Gui();
		gui->setTop(m_Top);
		g_GuiContext.SetGui(gui);
		m_Registry.reset(new TScriptAPI(nullptr));
		m_Registry->NewWindow();
		m_Manager.SetContext(nullptr, m_Registry.get(), nullptr);
		ASSERT_TRUE(m_Manager.LoadLua(WriteScript("empty.lua", "").c_str()));
		g_ScriptAPI = m_Registry.get();
	}

	void TearDown() override
	{
		g_ScriptAPI = nullptr;
		m_Registry.reset();
		g_GuiContext.Release();
		delete m_Top;
	}

	// Calls the function with the arguments as the chunk's only line; false when Lua raised an error.
	bool Call(const std::string& name, const std::string& arguments, int& results)
	{
		lua_State* L = m_Manager.GetState();
		lua_settop(L, 0);
		const std::string error = RunChunk(L, "return select('#', " + name + "(" + arguments + "))");
		results = error.empty() ? int(lua_tonumber(L, -1)) : -1;
		lua_settop(L, 0);
		return error.empty();
	}

	// Checks that the call gives no values and the report, once.
	void ExpectRefused(const TSignature& s, const std::string& arguments, const std::string& text, TReport report)
	{
		const std::size_t scriptLines = ScriptLog().size();
		const int mainLines = m_Log.CountLines(text);
		int results = 0;
		const std::string call = std::string(s.name) + "(" + arguments + ")";
		EXPECT_TRUE(Call(s.name, arguments, results)) << call;
		EXPECT_EQ(0, results) << call;
		if (report == SCRIPT_LOG_WARNING) {
			const std::vector<std::string> log = ScriptLog();
			ASSERT_EQ(scriptLines + 1, log.size()) << call;
			EXPECT_EQ(text, log.back()) << call;
		} else {
			EXPECT_EQ(mainLines + 1, m_Log.CountLines(text)) << call;
		}
	}

	gcn::Container* m_Top = nullptr;
	std::unique_ptr<TScriptAPI> m_Registry;
	TMorvalethLuaManager m_Manager;
};
}

TEST_F(ScriptApiRobustness, WrongArgumentListsAreRefusedWithTheirReport)
{
	for (const TSignature& s : SIGNATURES) {
		for (const std::string& arguments : WrongArgumentLists(s.types, s.optional, "'file.png'"))
			ExpectRefused(s, arguments, s.argumentText, s.report);
		if (s.handleText.empty())
			continue;
		std::vector<std::string> arguments;
		for (const char type : std::string(s.types))
			arguments.push_back(ValidArgument(type, "'file.png'"));
		for (const char* handle : {"-1", "1", "2147483647", "-2147483648", "'1'"}) {
			arguments[0] = handle;
			ExpectRefused(s, JoinArguments(arguments), s.handleText, MAIN_LOG_LINE);
		}
	}
}

TEST_F(ScriptApiRobustness, FunctionsWithoutArgumentsIgnoreAnyTheyAreGiven)
{
	for (const auto& f : ARGUMENTLESS)
		for (const char* arguments : {"", "1, 2, 3", "nil", "{}, 'x'", "1e300, 0/0"}) {
			int results = -1;
			EXPECT_TRUE(Call(f.first, arguments, results)) << f.first << "(" << arguments << ")";
			EXPECT_EQ(f.second, results) << f.first << "(" << arguments << ")";
		}
	EXPECT_TRUE(ScriptLog().empty());
}
