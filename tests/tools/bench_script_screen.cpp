// Times what scripts put on screen, in an 800 x 600 window of the game's GUI: the frames that follow a
// script that shows a dialog of 1,000,000 x "あ" (2 MiB), one that fills a window with 2,000 texts of 10 KB,
// one that opens 20,000 windows, one that makes and hides 10,000 windows as the sample's opening makes its
// one, one that makes as many windows as a game may, one that fills the shown windows with as many texts of
// as many bytes, and as many faces, as they may hold, and the sample's opening for comparison. For each: the
// time of the script's run, the mean and longest of the frames that follow, the memory in use after them,
// and whether the dialog's OK button lies on screen.
// Usage: bench_script_screen [frames]; needs an X display.

#include "app/GameMaster.h"
#include "app/HexGrid.h"
#include "app/Logger.h"
#include "gui/MsgDlg.h"
#include "media/MorvalethImage.h"
#include "model/MorvalethData.h"
#include "model/MorvalethGame.h"
#include "script/LuaManager.h"
#include "script/ScriptAPI.h"
#include "support/GuiScreen.h"
#include "support/RunTimes.h"

#include <algorithm>
#include <boost/make_shared.hpp>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <unistd.h>

namespace
{
const char* const SAMPLE = MORVALETH_SOURCE_DIR "/data/Scenario/Default";

struct TCase
{
	const char* label;
	const char* body;
};

// Each case is the body of a script function that runs once; the frames after it are timed.
const TCase CASES[] = {
	{"the sample's opening window",
		"local w = api_window_new() api_window_set_size(w, 480, 300) api_window_set_position(w, -1, -1)\n"
		"api_window_set_faceorchip(w, 16, 148, 2, 'leon')\n"
		"for i = 1, 4 do api_window_set_text(w, 132, 150 + 22 * i, 3, string.rep('\\136\\159', 16)) end"},
	{"a dialog of 1,000,000 characters",
		"api_dialog_show('Information', string.rep('\\130\\160', 1000000), BUTTON_OK)"},
	{"a window of 2,000 texts of 10 KB",
		"local w = api_window_new() api_window_set_size(w, 780, 560)\n"
		"local text = string.rep('\\136\\159', 5120)\n"
		"for i = 1, 2000 do api_window_set_text(w, 0, (i * 7) % 560, i, text) end"},
	{"20,000 windows",
		"for i = 1, 20000 do local w = api_window_new() api_window_set_size(w, 100, 40)\n"
		"api_window_set_position(w, (i * 13) % 700, (i * 7) % 540) api_window_set_text(w, 0, 0, 1, 'w' .. i) end"},
	{"10,000 events' windows, made and hidden",
		"for i = 1, 10000 do local w = api_window_new() api_window_set_size(w, 480, 300)\n"
		"api_window_set_position(w, -1, -1) api_window_set_faceorchip(w, 16, 148, 2, 'leon')\n"
		"for j = 1, 5 do api_window_set_text(w, 132, 150 + 22 * j, 3, string.rep('\\136\\159', 16)) end\n"
		"api_window_set_visible(w, false) end"},
	{"as many windows as a game may make",
		"while api_window_new() do end"},
	{"every window shown, full of texts and faces",
		"local text = string.rep('\\136\\159', 1000)\n"
		"local windows = {}\n"
		"for i = 1, SHOWN do local w = api_window_new() windows[#windows + 1] = w\n"
		"api_window_set_size(w, 780, 560) api_window_set_position(w, 0, 0) end\n"
		"for j = 1, 20000 do local w = windows[j % #windows + 1]\n"
		"if not api_window_set_text(w, 0, (j * 7) % 560, j, 'x' .. text) then break end end\n"
		"for j = 1, 20000 do local w = windows[j % #windows + 1]\n"
		"if not api_window_set_image(w, (j * 11) % 680, (j * 5) % 460, j, IMAGE_FACE, api_get_chara_type('leon')) then break end end"},
};

// Kilobytes of memory in use.
long ResidentKilobytes()
{
	std::ifstream statm("/proc/self/statm");
	long pages = 0, resident = 0;
	statm >> pages >> resident;
	return resident * (sysconf(_SC_PAGESIZE) / 1024);
}

bool LoadSample()
{
	g_GameMaster.m_Data = boost::make_shared<TMorvalethData>();
	g_GameMaster.m_Image = boost::make_shared<TMorvalethImage>();
	g_GameMaster.m_Game = boost::make_shared<TMorvalethGame>();
	g_GameMaster.m_RootDir = MORVALETH_SOURCE_DIR "/data";
	g_GameMaster.m_ScenarioDir = SAMPLE;
	BuildNeighborTable();
	return g_GameMaster.m_Data->Load(SAMPLE, 0)
		&& g_GameMaster.LoadPermanentImage(g_GameMaster.m_Data, g_GameMaster.m_Image, g_GameMaster.m_Game, SAMPLE)
		&& g_GameMaster.m_Game->LoadNew(g_GameMaster.m_Data.get(), SAMPLE, 0, 1);
}

// Whether the dialog's OK button lies wholly on the screen.
const char* OkButtonOnScreen(const TGuiScreen& screen)
{
	if (!g_MsgDlg || !g_MsgDlg->isVisible())
		return "";
	const gcn::Rectangle button = TGuiScreen::ScreenArea(g_MsgDlg->m_Buttons[0]);
	const bool inside = button.x >= 0 && button.y >= 0 && button.x + button.width <= screen.Width()
		&& button.y + button.height <= screen.Height();
	return inside ? "  OK button on screen" : "  OK button OFF screen";
}

bool Bench(TGuiScreen& screen, const TCase& c, int frames)
{
	TScriptAPI registry(nullptr);
	TMorvalethLuaManager manager;
	manager.SetContext(nullptr, &registry, nullptr);
	const std::string script = "SHOWN = " + std::to_string(SCRIPT_SHOWN_WINDOWS) + "\nfunction run()\n" + c.body
		+ "\nreturn true end\n";
	WriteFile("bench.lua", script);
	TClock::time_point start = TClock::now();
	if (!manager.LoadLua("bench.lua") || !manager.CallFunction("run") || !manager.GetResult()) {
		std::fprintf(stderr, "%s: the script failed (see log.txt)\n", c.label);
		return false;
	}
	const double runMs = MillisecondsSince(start);
	double total = 0;
	double longest = 0;
	for (int frame = 0; frame < frames; ++frame) {
		start = TClock::now();
		screen.Frame();
		const double ms = MillisecondsSince(start);
		total += ms;
		longest = std::max(longest, ms);
	}
	int windows = 0, shown = 0, texts = 0, images = 0;
	for (; registry.IsValidWindow(windows); ++windows) {
		const TEventWindowState& window = registry.GetWindowState(windows);
		shown += window.shown ? 1 : 0;
		texts += int(window.content.GetTexts().size());
		images += int(window.content.GetImages().size());
	}
	std::printf("%s: %d windows (%d shown), %d texts, %d images\n", c.label, windows, shown, texts, images);
	std::printf("    run %8.1f ms  frames: mean %9.2f ms, longest %9.2f ms  %5ld MB in use%s\n", runMs,
		total / frames, longest, ResidentKilobytes() / 1024, OkButtonOnScreen(screen));
	registry.HideAllWindows();
	if (g_MsgDlg)
		g_MsgDlg->setVisible(false);
	return true;
}
}

int main(int argc, char** argv)
{
	const int frames = argc > 1 ? std::max(1, std::atoi(argv[1])) : 20;
	TTempDir dir;
	TScopedCwd cwd(dir.Path());
	g_Logger.Open("log.txt");
	g_Logger.SetLevel(1);
	TGuiScreen screen(800, 600);
	if (!screen.IsOpen() || !ReportBenchmarkWindow(screen.Window()) || !LoadSample())
		return 1;
	int status = 0;
	for (const TCase& c : CASES)
		if (!Bench(screen, c, frames))
			status = 1;
	g_GameMaster.m_Data.reset();
	g_GameMaster.m_Image.reset();
	g_GameMaster.m_Game.reset();
	return status;
}
