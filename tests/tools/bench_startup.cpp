// Measures the game's start-up and its frame pacing under a real X display.
//
// Usage: bench_startup [DATA_DIR [RUNS]]
// DATA_DIR supplies "System/window.png" and "sjis.txt" when they exist there.
// Each start-up run is a fresh process in one scratch working folder: the first
// (cold) run also renders the glyph sheet, the others find it there. Reported:
// time from spawning the process to the first presented frame (cold, and the
// median of the warm runs), and the mean frame period at FPS 60 over 600 frames.

#include "app/Application.h"
#include "gui/GuiContext.h"
#include "support/ChildProcess.h"

#include <X11/Xlib.h>
#include <GL/gl.h>
#include <SDL/SDL.h>
#include <guichan.hpp>
#include <boost/filesystem.hpp>
#include <boost/shared_ptr.hpp>
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

namespace fs = boost::filesystem;

namespace
{
const int MEASURED_FRAMES = 600;

long long NowNs()
{
	return std::chrono::duration_cast<std::chrono::nanoseconds>(
		std::chrono::steady_clock::now().time_since_epoch()).count();
}

void PushQuit()
{
	SDL_Event quit;
	std::memset(&quit, 0, sizeof(quit));
	quit.type = SDL_QUIT;
	SDL_PushEvent(&quit);
}

// Child: starts the game, draws one frame and reports the nanoseconds since spawnNs.
int MeasureFirstFrame(long long spawnNs)
{
	if (!init()) {
		Shutdown();
		return 1;
	}
	PushQuit();
	MainLoop();
	glFinish();
	std::printf("%lld\n", NowNs() - spawnNs);
	Shutdown();
	return 0;
}

// An invisible widget whose logic runs once per frame; it notes the frame times
// and ends the main loop after enough frames.
class TFrameRecorder : public gcn::Widget
{
public:
	void logic() override
	{
		m_Times.push_back(NowNs());
		if (static_cast<int>(m_Times.size()) == MEASURED_FRAMES + 1)
			PushQuit();
	}
	void draw(gcn::Graphics*) override {}

	std::vector<long long> m_Times;
};

// Child: runs the real main loop and reports the mean, lowest and highest frame period in ms.
int MeasureFramePeriod()
{
	if (!init()) {
		Shutdown();
		return 1;
	}
	boost::shared_ptr<TFrameRecorder> recorder(new TFrameRecorder());
	static_cast<gcn::Container*>(g_GuiContext.m_Gui->getTop())->add(recorder.get());
	g_GuiContext.AddWidget(recorder);
	MainLoop();
	const std::vector<long long>& times = recorder->m_Times;
	std::vector<double> periods;
	for (std::size_t i = 1; i < times.size(); ++i)
		periods.push_back((times[i] - times[i - 1]) / 1e6);
	double sum = 0;
	for (double period : periods)
		sum += period;
	std::printf("%.4f %.3f %.3f\n", sum / periods.size(), *std::min_element(periods.begin(), periods.end()),
		*std::max_element(periods.begin(), periods.end()));
	Shutdown();
	return 0;
}

std::string RunChild(const std::string& exe, const std::string& dir, const std::vector<std::string>& args)
{
	TChildProcess child;
	TChildProcess::TStart how;
	how.folder = dir;
	how.output = dir + "/child-output.txt";
	const int status = child.Start(exe, args, how) ? child.WaitForExit() : -1;
	std::ifstream output(how.output);
	std::string line;
	std::getline(output, line);
	if (line.empty() || status != 0)
		std::fprintf(stderr, "bench_startup: '%s' failed with status %d\n", args.front().c_str(), status);
	return line.empty() || status != 0 ? "" : line;
}

fs::path MakeWorkFolder(const char* dataDir)
{
	const fs::path dir = fs::temp_directory_path() / fs::unique_path("bench-startup-%%%%-%%%%");
	fs::create_directories(dir / "Scenario");
	fs::create_directories(dir / "System");
	std::ofstream(dir.string() + "/morvaleth.ini") << "[Window]\nFPS=60\n";
	if (!dataDir)
		return dir;
	const fs::path data(dataDir);
	if (fs::exists(data / "System/window.png"))
		fs::copy_file(data / "System/window.png", dir / "System/window.png");
	if (fs::exists(data / "sjis.txt"))
		fs::copy_file(data / "sjis.txt", dir / "sjis.txt");
	return dir;
}

double StartupMs(const std::string& exe, const fs::path& dir)
{
	const std::string out = RunChild(exe, dir.string(), {"--first-frame", std::to_string(NowNs())});
	return out.empty() ? -1 : std::atoll(out.c_str()) / 1e6;
}

int RunBenchmark(const char* dataDir, int runs)
{
	// An X server resets itself when its last client disconnects, and SDL
	// connects twice in a row while starting; holding a connection prevents a
	// reset between the two.
	Display* display = XOpenDisplay(nullptr);
	if (!display) {
		std::fprintf(stderr, "bench_startup: cannot open the display\n");
		return 1;
	}
	const std::string exe = fs::read_symlink("/proc/self/exe").string();
	const fs::path dir = MakeWorkFolder(dataDir);
	const double cold = StartupMs(exe, dir);
	std::vector<double> warm;
	for (int i = 0; i < runs; ++i)
		warm.push_back(StartupMs(exe, dir));
	std::sort(warm.begin(), warm.end());
	const std::string frames = RunChild(exe, dir.string(), {"--frames"});
	fs::remove_all(dir);
	XCloseDisplay(display);
	if (cold < 0 || warm.front() < 0 || frames.empty()) {
		std::fprintf(stderr, "bench_startup: a run of the game failed\n");
		return 1;
	}
	double mean = 0, lowest = 0, highest = 0;
	std::sscanf(frames.c_str(), "%lf %lf %lf", &mean, &lowest, &highest);
	std::printf("start-up to first frame, cold (glyph sheet rendered): %.1f ms\n", cold);
	std::printf("start-up to first frame, warm median of %d runs: %.1f ms (min %.1f, max %.1f)\n", runs,
		warm[warm.size() / 2], warm.front(), warm.back());
	std::printf("frame period at FPS 60 over %d frames: mean %.3f ms (%+.2f%% against 16 ms), min %.3f, max %.3f\n",
		MEASURED_FRAMES, mean, (mean - 16.0) / 16.0 * 100.0, lowest, highest);
	return 0;
}
}

int main(int argc, char** argv)
{
	if (argc > 2 && std::strcmp(argv[1], "--first-frame") == 0)
		return MeasureFirstFrame(std::atoll(argv[2]));
	if (argc > 1 && std::strcmp(argv[1], "--frames") == 0)
		return MeasureFramePeriod();
	return RunBenchmark(argc > 1 ? argv[1] : nullptr, argc > 2 ? std::atoi(argv[2]) : 7);
}
