// Measures what a hostile file among those read at start-up costs the real program: for each case, a
// fresh working folder with the glyph sheets already made (except where the case is about them), the
// time from spawning the program until it exits when its window is closed as soon as it is shown (the
// close is seen once start-up is over), its exit status and its peak resident memory.
//
// Usage: bench_startfiles [PROGRAM [LIMIT_SECONDS]]
// Needs an X display (Xvfb). A program still running at the limit is killed, and the case is reported
// as held. Run as root, the read-only case runs the program as the user "nobody" (root may write
// anywhere); otherwise it takes the write permissions off the folder.

#include "support/ChildProcess.h"
#include "support/XWindow.h"

#include <boost/filesystem.hpp>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <sys/stat.h>
#include <thread>
#include <vector>
// Last: Xlib's macros clash with names in other headers.
#include <X11/Xlib.h>

namespace fs = boost::filesystem;

namespace
{
typedef std::chrono::steady_clock TClock;

struct TCase
{
	const char* name;
	/// Makes the folder hostile; the sheets are in place before it runs.
	std::function<void(const fs::path&)> prepare;
	/// Runs the program as a user who cannot write into the folder.
	bool readOnly;
};

struct TOutcome
{
	double seconds = 0;
	bool shown = false;
	/// Killed at the limit.
	bool held = false;
	int exitStatus = -1;
	long peakKilobytes = 0;
};

void Write(const fs::path& path, const std::string& text)
{
	std::FILE* file = std::fopen(path.c_str(), "wb");
	if (!file)
		return;
	std::fwrite(text.data(), 1, text.size(), file);
	std::fclose(file);
}

std::string Garbage(std::size_t size)
{
	std::string text;
	for (std::size_t i = 0; i < size; ++i)
		text += static_cast<char>((i * 131 + 7) % 256);
	return text;
}

/// A folder the program starts in: Scenario, the skin and the character list of the repository's data.
fs::path MakeFolder(const fs::path& root, const std::string& name)
{
	const fs::path dir = root / name;
	const fs::path data = fs::path(MORVALETH_SOURCE_DIR) / "data";
	fs::create_directories(dir / "Scenario");
	fs::create_directories(dir / "System");
	fs::copy_file(data / "System/window.png", dir / "System/window.png");
	fs::copy_file(data / "sjis.txt", dir / "sjis.txt");
	return dir;
}

/// Drops root, or the folder's write permission, so that nothing can be written into it.
void MakeUnwritable(const fs::path& dir)
{
	for (fs::recursive_directory_iterator it(dir), end; it != end; ++it)
		::chmod(it->path().c_str(), fs::is_directory(it->path()) ? 0555 : 0444);
	::chmod(dir.c_str(), 0555);
}

// The window is asked to close as soon as it is shown; the program sees that only once its start-up is over
// and its main loop runs, so the time to its exit is the time its start took (or the failure that ended it).
TOutcome Run(Display* display, const std::string& program, const fs::path& dir, bool readOnly, double limit)
{
	TOutcome outcome;
	const TClock::time_point start = TClock::now();
	TChildProcess game;
	TChildProcess::TStart how;
	how.folder = dir.string();
	how.asNobody = readOnly;
	game.Start(program, {}, how);
	while (game.Running()) {
		const unsigned long window = outcome.shown ? 0 : FindShownWindow(display, NamedWindow("Morvaleth"));
		if (window) {
			outcome.shown = true;
			SendDeleteWindow(display, window);
		}
		if (std::chrono::duration<double>(TClock::now() - start).count() > limit) {
			outcome.held = true;
			game.Kill();
		}
		std::this_thread::sleep_for(std::chrono::milliseconds(5));
	}
	outcome.seconds = std::chrono::duration<double>(TClock::now() - start).count();
	outcome.exitStatus = game.ExitStatus();
	outcome.peakKilobytes = game.PeakKilobytes();
	return outcome;
}

std::vector<TCase> Cases()
{
	const auto makeFifo = [](const fs::path& path) { fs::remove(path); ::mkfifo(path.c_str(), 0644); };
	const auto linkZero = [](const fs::path& path) { fs::remove(path); fs::create_symlink("/dev/zero", path); };
	const auto noSheets = [](const fs::path& dir) {
		fs::remove(dir / "char16.png");
		fs::remove(dir / "char12.png");
	};
	return {
		{"no hostile file", [](const fs::path&) {}, false},
		{"morvaleth.ini a FIFO", [=](const fs::path& dir) { makeFifo(dir / "morvaleth.ini"); }, false},
		{"morvaleth.ini a link to /dev/zero", [=](const fs::path& dir) { linkZero(dir / "morvaleth.ini"); }, false},
		{"morvaleth.ini 1 GiB sparse", [](const fs::path& dir) {
			Write(dir / "morvaleth.ini", "[Window]\nWidth=800\n");
			fs::resize_file(dir / "morvaleth.ini", 1ull << 30);
		}, false},
		{"Width=1 Height=1", [](const fs::path& dir) { Write(dir / "morvaleth.ini", "[Window]\nWidth=1\nHeight=1\n"); },
			false},
		{"char16.png a FIFO", [=](const fs::path& dir) { makeFifo(dir / "char16.png"); }, false},
		{"char16.png a link to /dev/zero", [=](const fs::path& dir) { linkZero(dir / "char16.png"); }, false},
		{"char16.png a folder with a file", [](const fs::path& dir) {
			fs::remove(dir / "char16.png");
			fs::create_directories(dir / "char16.png/keep");
		}, false},
		{"sjis.txt empty, no sheets", [=](const fs::path& dir) { noSheets(dir); Write(dir / "sjis.txt", ""); }, false},
		{"sjis.txt a folder, no sheets", [=](const fs::path& dir) {
			noSheets(dir);
			fs::remove(dir / "sjis.txt");
			fs::create_directories(dir / "sjis.txt");
		}, false},
		{"sjis.txt binary garbage", [](const fs::path& dir) { Write(dir / "sjis.txt", Garbage(4096)); }, false},
		{"read-only folder, no sheets", noSheets, true},
	};
}
}

int main(int argc, char** argv)
{
	const std::string program = argc > 1 ? argv[1] : MORVALETH_PROGRAM;
	const double limit = argc > 2 ? std::atof(argv[2]) : 90;
	// A connection held for the whole run keeps the X server from resetting between the program's two.
	Display* display = XOpenDisplay(nullptr);
	if (!display) {
		std::fprintf(stderr, "bench_startfiles: cannot open the display\n");
		return 1;
	}
	const fs::path root = fs::temp_directory_path() / fs::unique_path("bench-startfiles-%%%%-%%%%");
	// One start makes the glyph sheets that every case but the sheets' own begins with.
	const fs::path sheets = MakeFolder(root, "sheets");
	const TOutcome first = Run(display, program, sheets, false, limit);
	std::printf("program: %s\nfirst start (glyph sheets made): %.2f s, %ld kB, exit %d\n\n", program.c_str(),
		first.seconds, first.peakKilobytes, first.exitStatus);
	std::printf("%-36s %24s %6s %12s\n", "case", "spawn to exit on close", "exit", "peak memory");
	int number = 0;
	for (const TCase& c : Cases()) {
		const fs::path dir = MakeFolder(root, "case" + std::to_string(++number));
		for (const char* sheet : {"char16.png", "char12.png"})
			if (fs::exists(sheets / sheet))
				fs::copy_file(sheets / sheet, dir / sheet);
		c.prepare(dir);
		if (c.readOnly) {
			fs::permissions(root, fs::perms::owner_all | fs::perms::others_read | fs::perms::others_exe);
			MakeUnwritable(dir);
		}
		const TOutcome outcome = Run(display, program, dir, c.readOnly, limit);
		char when[48];
		std::snprintf(when, sizeof when, outcome.held ? "held, killed at %.0f s" : outcome.shown ? "%.2f s" : "%.2f s, no window",
			outcome.seconds);
		std::printf("%-36s %24s %6d %9ld kB\n", c.name, when, outcome.exitStatus, outcome.peakKilobytes);
		std::fflush(stdout);
	}
	for (fs::recursive_directory_iterator it(root), end; it != end; ++it)
		::chmod(it->path().c_str(), 0755);
	fs::remove_all(root);
	XCloseDisplay(display);
	return 0;
}
