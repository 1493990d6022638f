// Measures the real program from the outside: the time from spawning it to its
// first frame on screen, and its resident memory 3 s after that frame, against a
// bare 800x600 SDL OpenGL window that only clears and swaps, measured the same way.
//
// Usage: bench_startmem [RUNS [PROGRAM [DATA_DIR]]]
// Needs an X display (Xvfb with Mesa's software GL). PROGRAM runs in a copy of
// DATA_DIR; its first run there renders the glyph sheet (the cold run), the
// others find it (warm). A frame counts as shown once the window's top-right
// pixel holds the top container's colour; the bare window clears to that colour.

#include "support/ChildProcess.h"
#include "support/XWindow.h"

#include <GL/gl.h>
#include <SDL/SDL.h>
#include <boost/filesystem.hpp>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <thread>
#include <vector>
// Last: Xlib's macros clash with names in other headers.
#include <X11/Xlib.h>

namespace fs = boost::filesystem;

namespace
{
const int WIDTH = 800;
const int HEIGHT = 600;
// The top container's default colour (GUI/TopColor), as 8-bit RGB.
const std::vector<std::uint8_t> TOP_COLOR = {0x60, 0x60, 0x80};
const double SETTLE_SECONDS = 3.0;
const double GIVE_UP_SECONDS = 20.0;
// Goals: a warm start within this much of the bare window's, a cold one under the other (on a quiet machine).
const double WARM_STARTUP_GOAL_MS = 100;
const double COLD_STARTUP_GOAL_MS = 300;
const double MEMORY_GOAL_MB = 20;

typedef std::chrono::steady_clock TClock;

double SecondsSince(TClock::time_point start)
{
	return std::chrono::duration<double>(TClock::now() - start).count();
}

// The bare window: clears to the top colour and swaps at 60 frames a second until asked to quit.
int RunBareWindow()
{
	if (SDL_Init(SDL_INIT_VIDEO) != 0)
		return 1;
	SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
	if (!SDL_SetVideoMode(WIDTH, HEIGHT, 32, SDL_OPENGL))
		return 1;
	for (;;) {
		SDL_Event event;
		while (SDL_PollEvent(&event))
			if (event.type == SDL_QUIT) {
				SDL_Quit();
				return 0;
			}
		glClearColor(0x60 / 255.0f, 0x60 / 255.0f, 0x80 / 255.0f, 1);
		glClear(GL_COLOR_BUFFER_BIT);
		SDL_GL_SwapBuffers();
		SDL_Delay(16);
	}
}

/// Resident memory of a process, in MB.
struct TMemory
{
	double total = 0;
	double anon = 0;
	double file = 0;
};

TMemory ReadMemory(pid_t pid)
{
	TMemory memory;
	std::ifstream status("/proc/" + std::to_string(pid) + "/status");
	std::string key;
	double kb = 0;
	while (status >> key) {
		if (key == "VmRSS:" && status >> kb)
			memory.total = kb / 1024;
		else if (key == "RssAnon:" && status >> kb)
			memory.anon = kb / 1024;
		else if (key == "RssFile:" && status >> kb)
			memory.file = kb / 1024;
	}
	return memory;
}

/// One run: milliseconds from spawning to the first frame shown, and the memory 3 s later.
struct TRun
{
	double startupMs = -1;
	TMemory memory;
};

// Whether the window's top-right pixel holds the top colour (a window that cannot be read does not).
bool ShowsFrame(Display* display, Window window, int width)
{
	return ReadWindowRgb(display, window, width - 2, 1, 1, 1) == TOP_COLOR;
}

// Polls every millisecond until the process's window shows a frame; -1 when it never does.
double WaitForFirstFrame(Display* display, TChildProcess& process, TClock::time_point spawned)
{
	Window window = None;
	TWindowPlace place;
	while (SecondsSince(spawned) < GIVE_UP_SECONDS) {
		if (!process.Running())
			return -1;
		if (window == None) {
			window = FindShownWindow(display, WindowOfProcess(process.Pid()));
			if (window != None && !ReadWindowPlace(display, window, place))
				window = None;
		}
		if (window != None && ShowsFrame(display, window, place.Width))
			return SecondsSince(spawned) * 1000;
		std::this_thread::sleep_for(std::chrono::milliseconds(1));
	}
	return -1;
}

TRun MeasureRun(Display* display, const std::string& exe, const std::vector<std::string>& args, const fs::path& dir)
{
	TRun run;
	const TClock::time_point spawned = TClock::now();
	TChildProcess process;
	TChildProcess::TStart how;
	how.folder = dir.string();
	if (!process.Start(exe, args, how))
		return run;
	run.startupMs = WaitForFirstFrame(display, process, spawned);
	if (run.startupMs >= 0) {
		std::this_thread::sleep_for(std::chrono::duration<double>(SETTLE_SECONDS));
		run.memory = ReadMemory(process.Pid());
	}
	return run;
}

template <typename T>
T Median(std::vector<TRun>& runs, T (*value)(const TRun&))
{
	std::vector<T> values;
	for (const TRun& run : runs)
		values.push_back(value(run));
	std::sort(values.begin(), values.end());
	return values[values.size() / 2];
}

double StartupOf(const TRun& run) { return run.startupMs; }
double TotalOf(const TRun& run) { return run.memory.total; }
double AnonOf(const TRun& run) { return run.memory.anon; }
double FileOf(const TRun& run) { return run.memory.file; }

// Runs a process several times; false when a run showed no frame.
bool MeasureRuns(Display* display, const std::string& exe, const std::vector<std::string>& args, const fs::path& dir,
	int count, std::vector<TRun>& runs)
{
	for (int i = 0; i < count; ++i) {
		runs.push_back(MeasureRun(display, exe, args, dir));
		if (runs.back().startupMs < 0) {
			std::fprintf(stderr, "bench_startmem: %s showed no frame\n", exe.c_str());
			return false;
		}
	}
	return true;
}

void PrintRuns(const char* label, std::vector<TRun>& runs)
{
	std::printf("%-16s first frame median %6.1f ms (min %.1f, max %.1f); resident %6.1f MB "
				"(anonymous %.1f, files %.1f), medians of %zu runs\n",
		label, Median(runs, StartupOf), std::min_element(runs.begin(), runs.end(),
			[](const TRun& a, const TRun& b) { return a.startupMs < b.startupMs; })->startupMs,
		std::max_element(runs.begin(), runs.end(),
			[](const TRun& a, const TRun& b) { return a.startupMs < b.startupMs; })->startupMs,
		Median(runs, TotalOf), Median(runs, AnonOf), Median(runs, FileOf), runs.size());
}

// A scratch copy of the data folder for the program to run in.
fs::path MakeWorkFolder(const fs::path& data)
{
	const fs::path dir = fs::temp_directory_path() / fs::unique_path("bench-startmem-%%%%-%%%%");
	fs::create_directories(dir);
	for (fs::recursive_directory_iterator it(data), end; it != end; ++it) {
		const fs::path target = dir / fs::relative(it->path(), data);
		if (fs::is_directory(it->path()))
			fs::create_directories(target);
		else if (it->path().filename().string().rfind("char", 0) != 0 || it->path().extension() != ".png")
			fs::copy_file(it->path(), target);
	}
	return dir;
}

int RunBenchmark(int count, const std::string& program, const fs::path& data)
{
	// Holding a connection keeps a server without -noreset from resetting between clients.
	Display* display = XOpenDisplay(nullptr);
	if (!display) {
		std::fprintf(stderr, "bench_startmem: cannot open the display\n");
		return 1;
	}
	const std::string self = fs::read_symlink("/proc/self/exe").string();
	const fs::path dir = MakeWorkFolder(data);
	std::vector<TRun> cold, warm, bare;
	const bool measured = MeasureRuns(display, program, {}, dir, 1, cold)
		&& MeasureRuns(display, program, {}, dir, count, warm)
		&& MeasureRuns(display, self, {"--bare"}, dir, count, bare);
	fs::remove_all(dir);
	XCloseDisplay(display);
	if (!measured)
		return 1;
	PrintRuns("program, cold", cold);
	PrintRuns("program, warm", warm);
	PrintRuns("bare window", bare);
	const double warmLater = Median(warm, StartupOf) - Median(bare, StartupOf);
	const double coldStartup = Median(cold, StartupOf);
	const double extra = Median(warm, TotalOf) - Median(bare, TotalOf);
	std::printf("start-up to first frame (warm) after the bare window's: %.1f ms, goal within %.0f ms: %s\n",
		warmLater, WARM_STARTUP_GOAL_MS, warmLater <= WARM_STARTUP_GOAL_MS ? "met" : "missed");
	std::printf("start-up to first frame (cold): %.1f ms, goal under %.0f ms on a quiet machine: %s\n", coldStartup,
		COLD_STARTUP_GOAL_MS, coldStartup < COLD_STARTUP_GOAL_MS ? "met" : "missed");
	std::printf("resident memory above the bare window: %.1f MB, goal within %.0f MB: %s\n", extra, MEMORY_GOAL_MB,
		extra <= MEMORY_GOAL_MB ? "met" : "missed");
	return 0;
}
}

int main(int argc, char** argv)
{
	if (argc > 1 && std::strcmp(argv[1], "--bare") == 0)
		return RunBareWindow();
	const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
	const std::string program = argc > 2 ? argv[2] : MORVALETH_PROGRAM;
	const fs::path data = argc > 3 ? argv[3] : MORVALETH_SOURCE_DIR "/data";
	return RunBenchmark(runs, program, data);
}
