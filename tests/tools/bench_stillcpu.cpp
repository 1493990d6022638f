// Measures what a still screen costs: the real program is brought, through the X server as a person
// would, to the start menu, to the world map on the player's first turn and to a battle waiting for the
// player's command; at each, with the pointer still, its CPU time over 10 s is read from /proc, beside a
// bare 800 x 600 SDL OpenGL window that clears and swaps 60 times a second (bench_startmem --bare),
// measured over the same seconds.
//
// Usage: bench_stillcpu [SAMPLES [SECONDS]]; run it from a scratch folder (the play folders go to
// "e2e/" under it) with DISPLAY set to an Xvfb screen with Mesa's software GL. Prints each sample and
// the medians per screen with the load average seen, against the goal of at most twice the bare window.

#include "e2e/Battle.h"
#include "e2e/PlayDriver.h"
#include "e2e/World.h"
#include "support/ChildProcess.h"

#include <boost/filesystem.hpp>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>
#include <unistd.h>

namespace fs = boost::filesystem;

namespace
{
const double GOAL_RATIO = 2.0;
const char* const INI = "[Window]\nWidth=800\nHeight=600\n[GUI]\nMessageTimeoutFrame=36000\n"
	"[Mixer]\nMusicEnabled=0\nSoundEnabled=0\n";

/// CPU seconds (user and system) the process has used so far; -1 when it is gone.
double CpuSeconds(pid_t pid)
{
	std::ifstream file("/proc/" + std::to_string(pid) + "/stat");
	std::string line;
	if (!std::getline(file, line))
		return -1;
	// The fields after the command name, which may hold spaces, start after its closing parenthesis.
	std::istringstream fields(line.substr(line.rfind(')') + 2));
	std::string field;
	unsigned long long utime = 0, stime = 0;
	for (int i = 3; i <= 15 && fields >> field; ++i) {
		if (i == 14)
			utime = std::stoull(field);
		else if (i == 15)
			stime = std::stoull(field);
	}
	return double(utime + stime) / sysconf(_SC_CLK_TCK);
}

std::string LoadAverage()
{
	std::ifstream file("/proc/loadavg");
	std::string one;
	file >> one;
	return one;
}

/// The game process running in the folder: the program whose working folder it is.
pid_t GameIn(const std::string& folder)
{
	const fs::path wanted = fs::canonical(folder);
	for (fs::directory_iterator it("/proc"), end; it != end; ++it) {
		const std::string name = it->path().filename().string();
		if (name.find_first_not_of("0123456789") != std::string::npos)
			continue;
		boost::system::error_code error;
		const fs::path cwd = fs::read_symlink(it->path() / "cwd", error);
		const fs::path exe = fs::read_symlink(it->path() / "exe", error);
		if (!error && cwd == wanted && exe.filename() == fs::path(MORVALETH_PROGRAM).filename())
			return pid_t(std::stoi(name));
	}
	return -1;
}

/// Starts the bare window, the sibling benchmark's.
bool StartBareWindow(TChildProcess& bare)
{
	return bare.Start((fs::read_symlink("/proc/self/exe").parent_path() / "bench_startmem").string(), {"--bare"});
}

/// CPU share (per cent of a core) of the game and of the bare window over the same seconds.
struct TSample
{
	double game = 0;
	double bare = 0;
	std::string load;
};

TSample Sample(pid_t game, pid_t bare, double seconds)
{
	const double game0 = CpuSeconds(game);
	const double bare0 = CpuSeconds(bare);
	std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
	TSample sample;
	sample.game = 100 * (CpuSeconds(game) - game0) / seconds;
	sample.bare = 100 * (CpuSeconds(bare) - bare0) / seconds;
	sample.load = LoadAverage();
	return sample;
}

double Median(std::vector<double> values)
{
	std::sort(values.begin(), values.end());
	return values.empty() ? 0 : values[values.size() / 2];
}

/// Measures the screen the play has reached; false when the game is gone.
bool Measure(const char* screen, const TPlayFolder& folder, pid_t bare, int samples, double seconds)
{
	const pid_t game = GameIn(folder.Path());
	if (game < 0)
		return false;
	// The screen settles (a pointer just moved, a hint fading) before it counts as still.
	std::this_thread::sleep_for(std::chrono::seconds(2));
	std::vector<double> games, bares;
	for (int i = 0; i < samples; ++i) {
		const TSample sample = Sample(game, bare, seconds);
		if (sample.game < 0)
			return false;
		std::printf("  %-34s game %5.1f%%  bare window %5.1f%%  load %s\n", screen, sample.game, sample.bare,
			sample.load.c_str());
		games.push_back(sample.game);
		bares.push_back(sample.bare);
	}
	const double ratio = Median(games) / std::max(Median(bares), 0.1);
	std::printf("%-36s median game %5.1f%%, bare window %5.1f%%: %.2f times (goal at most %.0f: %s)\n", screen,
		Median(games), Median(bares), ratio, GOAL_RATIO, ratio <= GOAL_RATIO ? "met" : "missed");
	std::fflush(stdout);
	return true;
}

/// Clicks, each waiting for its own change of the screen: the point and the rectangle that changes.
struct TStep
{
	const char* name;
	int x, y;
	TRect changes;
	double share;
};

bool Steps(TPlay& play, const std::vector<TStep>& steps)
{
	for (const TStep& step : steps)
		if (!play.PressAndSee(step.name, step.x, step.y, step.changes, step.share))
			return false;
	return true;
}

/// From the start menu through the chapter of the row and leon's master select to his first turn.
bool ToFirstTurn(TPlay& play, int chapterRow)
{
	TPlayer& player = play.Player();
	if (!Steps(play, {{"scenario_select", 400, 276, {110, 88, 240, 150}, 0.05},
			{"chapters", 200, 95, {375, 88, 285, 30}, 0.05},
			{"chapter", 440, 95 + 16 * chapterRow, {378, 180, 240, 35}, 0.05},
			{"master_select", 562, 511, {92, 44, 616, 290}, 0.05}, {"leon_chosen", 156, 95, {108, 44, 96, 96}, 0.004},
			{"opening", 583, 555, world::SCREEN_MIDDLE, 0.3},
			{"opening_message", 400, 300, {160, 150, 100, 100}, 0.3}}))
		return false;
	player.Key("Return");
	return player.WaitFor("first_turn", world::PlayerTurn);
}

/// Leon's war on the windy hill with his castle's army, placed on the start points one by one, up to
/// the first command of the battle.
bool ToBattleCommand(TPlay& play)
{
	using namespace world;
	TPlayer& player = play.Player();
	play.Press(WAR_BUTTON[0], WAR_BUTTON[1]);
	if (!Steps(play, {{"war_window", AreaX(A02[0]), AreaY(A02[1]), SCREEN_MIDDLE, 0.1},
			{"war_source", AreaX(A01[0]), AreaY(A01[1]), {358, 385, 200, 100}, 0.1},
			{"war_army", 397, 579, {582, 385, 200, 60}, 0.1}}))
		return false;
	play.Press(513, 579);
	const auto placing = [](const TShot& shot) {
		return shot.ShareOf(battle::MAP, 0x606080, 4) < 0.1 && battle::StartPoint(shot, {1, 2});
	};
	if (!player.WaitFor("placement", placing))
		return false;
	// Each character goes to the next start point of those the map showed framed at first; the battle
	// begins once all stand.
	const TShot framed = player.Shot();
	std::vector<battle::TCell> points;
	for (const battle::TCell& cell : battle::Cells())
		if (battle::StartPoint(framed, cell))
			points.push_back(cell);
	for (std::size_t i = 0; i < points.size(); ++i) {
		if (!battle::StartPoint(player.Shot(), points[i]))
			break;
		if (!play.PressAndSee("placed_" + std::to_string(i), battle::CellX(points[i]), battle::CellY(points[i]),
				battle::CellRect(points[i]), 0.2))
			return false;
	}
	return player.WaitFor("command", battle::CommandBar);
}

int Run(int samples, double seconds)
{
	TChildProcess bareWindow;
	if (!StartBareWindow(bareWindow))
		return 1;
	const pid_t bare = bareWindow.Pid();
	std::this_thread::sleep_for(std::chrono::seconds(2));
	std::printf("CPU of a still screen over %.0f s samples, per cent of one core (bare window measured over the same "
		"seconds)\n", seconds);
	TPlayFolder folder("still_cpu");
	folder.Write("morvaleth.ini", INI);
	bool ok = false;
	{
		TPlay play(folder, "still_cpu");
		TPlayer& player = play.Player();
		ok = player.Start()
			&& player.WaitFor("start_menu", [](const TShot& shot) { return shot.Colours({350, 264, 96, 24}) > 4; });
		if (ok) {
			player.MoveTo(100, 500);
			ok = Measure("start menu", folder, bare, samples, seconds) && ToFirstTurn(play, 2);
		}
		if (ok) {
			player.MoveTo(700, 560);
			ok = Measure("world map, player's turn", folder, bare, samples, seconds) && ToBattleCommand(play);
		}
		if (ok) {
			player.MoveTo(battle::CellX(battle::RESTING_CELL), battle::CellY(battle::RESTING_CELL));
			ok = Measure("battle, waiting for a command", folder, bare, samples, seconds);
		}
		if (player.Running())
			player.Close();
		player.WaitForExit();
	}
	bareWindow.Kill();
	if (!ok)
		std::fprintf(stderr, "bench_stillcpu: the game did not reach every screen (see artifacts/e2e/still_cpu)\n");
	return ok ? 0 : 1;
}
}

int main(int argc, char** argv)
{
	const int samples = argc > 1 ? std::max(1, std::atoi(argv[1])) : 3;
	const double seconds = argc > 2 ? std::max(1.0, std::atof(argv[2])) : 10.0;
	return Run(samples, seconds);
}
