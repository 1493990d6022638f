// Measures a new game of the sample from the scenario select's "開始" to the world map's first frame, with
// the program's own start-up, windows and main-loop frames under a real X display.
//
// Usage: bench_newgame [DATA_DIR [RUNS]]
// DATA_DIR holds "Scenario", "System/window.png" and "sjis.txt" (the source tree's "data" by default).
// Each run presses "開始" on the first chapter of the first scenario, times the frame that shows the master
// select, chooses the first master, presses "開始" and times the first frame of the world map. The player's
// own time at the master select is not counted. Reported: the median and the extremes of the runs.

#include "app/Application.h"
#include "app/GameMaster.h"
#include "front/FrontEndWindows.h"
#include "front/MasterSelectWindow.h"
#include "front/MenuWindows.h"
#include "front/SceSelectWindow.h"

#include <GL/gl.h>
#include <boost/filesystem.hpp>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <guichan/actionevent.hpp>
#include <guichan/mouseevent.hpp>
#include <string>
#include <vector>

namespace fs = boost::filesystem;

namespace
{
const double GOAL_MS = 500;

typedef std::chrono::steady_clock TClock;

double MsSince(TClock::time_point start)
{
	return std::chrono::duration<double, std::milli>(TClock::now() - start).count();
}

fs::path MakeWorkFolder(const fs::path& data)
{
	const fs::path dir = fs::temp_directory_path() / fs::unique_path("bench-newgame-%%%%-%%%%");
	fs::create_directories(dir / "System");
	fs::create_directory_symlink(fs::absolute(data / "Scenario"), dir / "Scenario");
	fs::copy_file(data / "System/window.png", dir / "System/window.png");
	fs::copy_file(data / "sjis.txt", dir / "sjis.txt");
	std::ofstream((dir / "morvaleth.ini").string())
		<< "[Window]\nFPS=1000\nWidth=800\nHeight=640\n[Mixer]\nMusicEnabled=0\nSoundEnabled=0\n";
	return dir;
}

void Press(gcn::ActionListener& listener, gcn::Widget& source)
{
	listener.action(gcn::ActionEvent(&source, ""));
}

/// A frame drawn to the end.
void Frame()
{
	RunFrame();
	glFinish();
}

/// One new game from "開始" to the world map's first frame; the ms of both halves, or false.
bool TimeNewGame(TFrontEndWindows& windows, double& building, double& starting)
{
	Press(*windows.m_StartMenu, windows.m_StartMenu->m_Pane.m_NewGameButton);
	TSceSelectPane& scenarios = windows.m_SceSelect->m_Pane;
	scenarios.m_ScenarioList.setSelected(0);
	Press(scenarios, scenarios.m_ScenarioList);
	scenarios.m_ChapterList.setSelected(0);
	Press(scenarios, scenarios.m_ChapterList);
	Frame();
	TClock::time_point start = TClock::now();
	Press(scenarios, scenarios.m_StartButton);
	Frame();
	building = MsSince(start);
	if (!windows.m_MasterSelect->isVisible())
		return false;
	TMasterSelectPane& masters = windows.m_MasterSelect->m_Pane;
	masters.m_Masters.Toggle(0);
	masters.logic();
	start = TClock::now();
	Press(masters, masters.m_StartButton);
	Frame();
	starting = MsSince(start);
	return g_GameMaster.m_GameRunning;
}

/// Back at the start menu without a game.
void ReturnToStart()
{
	g_GameMaster.ReleaseGame();
	g_GameMaster.m_GameRunning = false;
	g_GameMaster.ShowSysMenuWindow(false);
	g_GameMaster.ShowSceSelectWindow(false);
	Frame();
}

void Report(const char* what, std::vector<double> ms)
{
	std::sort(ms.begin(), ms.end());
	std::printf("%s: median %.1f ms (min %.1f, max %.1f, %zu runs)\n", what, ms[ms.size() / 2], ms.front(),
		ms.back(), ms.size());
}
}

int main(int argc, char** argv)
{
	const fs::path data = argc > 1 ? fs::path(argv[1]) : fs::path(MORVALETH_SOURCE_DIR) / "data";
	const int runs = argc > 2 ? std::max(1, std::atoi(argv[2])) : 7;
	const fs::path dir = MakeWorkFolder(data);
	fs::current_path(dir);
	if (!init()) {
		std::fprintf(stderr, "bench_newgame: start-up failed, see %s/log.txt\n", dir.string().c_str());
		return 1;
	}
	Frame();
	TFrontEndWindows* windows = dynamic_cast<TFrontEndWindows*>(g_GameMaster.m_FrontEnd.get());
	std::vector<double> building, starting, total;
	bool ok = windows != nullptr;
	for (int i = 0; ok && i < runs; ++i) {
		double built = 0, started = 0;
		ok = TimeNewGame(*windows, built, started);
		building.push_back(built);
		starting.push_back(started);
		total.push_back(built + started);
		ReturnToStart();
	}
	Shutdown();
	if (!ok) {
		std::fprintf(stderr, "bench_newgame: a new game did not reach the world map, see %s/log.txt\n",
			dir.string().c_str());
		return 1;
	}
	fs::current_path(fs::temp_directory_path());
	fs::remove_all(dir);
	Report("scenario select start to the master select's frame (the new game built)", building);
	Report("master select start to the world map's first frame", starting);
	Report("both together", total);
	std::vector<double> sorted = total;
	std::sort(sorted.begin(), sorted.end());
	std::printf("goal: under %.0f ms: %s\n", GOAL_MS, sorted[sorted.size() / 2] < GOAL_MS ? "met" : "missed");
	return 0;
}
