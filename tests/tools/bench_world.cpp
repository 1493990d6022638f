// Times whole games on the world map, the engine started as the program starts it (an X display is
// needed, as for the game):
// - the sample scenario played by computer masters to its end, battles unwatched;
// - one complete turn of a generated large game (200 areas, 50 computer masters, 2,000 characters):
//   every master's strategy script, its marches, occupations and battles;
// - saving that game to a slot and loading it back.
// Each part runs in a child process of its own, in a fresh working folder, with the shared
// generator seeded before the game is built, so the figures repeat from run to run.
// Usage: bench_world [source tree] [sample | large], the last to run one part only (under a profiler, say).

#include "app/Application.h"
#include "app/GameMaster.h"
#include "app/Random.h"
#include "gui/GuiContext.h"
#include "model/MorvalethGame.h"
#include "support/ChildProcess.h"
#include "support/LargeScenario.h"
#include "support/NoPlayerGame.h"
#include "support/RunTimes.h"
#include "support/TestSupport.h"
#include "world/WorldMapLogic.h"

#include <boost/filesystem.hpp>
#include <cstdio>
#include <functional>
#include <guichan/gui.hpp>
#include <string>

namespace fs = boost::filesystem;

namespace
{
const double SAMPLE_GOAL_S = 30.0;
const double TURN_GOAL_MS = 2000.0;
const double SLOT_GOAL_MS = 100.0;
const int SLOT_RUNS = 5;
/// Frames one turn of the large game may take before the benchmark gives up.
const int TURN_FRAME_CAP = 5000000;

/// Frames as fast as the machine runs them, timed messages that close at once, no music, battles
/// unwatched and one battle turn long: the battles' computer sides only wait for now (each of their
/// charas for 30 frames), so every further battle turn would add nothing but waiting.
const char* const SETTINGS = "[Window]\nWidth=800\nHeight=640\nFPS=2000\n"
							 "[GUI]\nMessageTimeoutFrame=2\n"
							 "[Mixer]\nMusicEnabled=0\nSoundEnabled=0\n"
							 "[Watch]\nUse=0\n"
							 "[Battle]\nTurnMax=1\n"
							 "[Log]\nLogLevel=2\n";

/// A fresh working folder with the start-up files of the game and the settings above.
fs::path MakeWorkingFolder(const fs::path& source, const std::string& tag)
{
	const fs::path folder = fs::temp_directory_path() / fs::unique_path(tag + "-%%%%-%%%%");
	fs::create_directories(folder / "Scenario");
	fs::create_directories(folder / "System");
	fs::copy_file(source / "data/System/window.png", folder / "System/window.png");
	fs::copy_file(source / "data/sjis.txt", folder / "sjis.txt");
	WriteFile((folder / "morvaleth.ini").string(), SETTINGS);
	return folder;
}

/// Copies a folder and everything in it.
void CopyFolder(const fs::path& from, const fs::path& to)
{
	for (fs::recursive_directory_iterator it(from), end; it != end; ++it) {
		const fs::path target = to / fs::relative(it->path(), from);
		if (fs::is_directory(it->path()))
			fs::create_directories(target);
		else
			fs::copy_file(it->path(), target);
	}
}

/// The sample played to its end by computer masters.
int PlaySample(const fs::path& source)
{
	const fs::path folder = MakeWorkingFolder(source, "bench-world-sample");
	CopyFolder(source / "data/Scenario/Default", folder / "Scenario/Default");
	fs::current_path(folder);
	TNoPlayerRun run;
	TNoPlayerResult result;
	const bool played = PlayNoPlayerGame(run, result);
	std::printf("sample game, seed %u: %s\n", run.seed, DescribeResult(result).c_str());
	std::printf("%-30s %8.3f s  (goal %.0f s: %s)\n", "whole computer-only game", result.seconds, SAMPLE_GOAL_S,
		result.seconds < SAMPLE_GOAL_S ? "met" : "missed");
	fs::current_path(folder.parent_path());
	fs::remove_all(folder);
	return played ? 0 : 1;
}

TWorldMapLogic* Controller()
{
	return dynamic_cast<TWorldMapLogic*>(g_GameMaster.m_WorldMap.get());
}

/// Steps the game a frame without drawing it: the controller, its battle and the dialogs' time-outs.
void Step()
{
	g_GuiContext.m_Gui->logic();
	++g_GuiContext.m_FrameCount;
}

/// Steps until the condition holds or the controller stops; the frames it took, -1 when it did not hold.
int StepUntil(const std::function<bool()>& done)
{
	for (int frames = 0; frames < TURN_FRAME_CAP; ++frames) {
		if (done())
			return frames;
		if (Controller()->HasStopped())
			return -1;
		Step();
	}
	return -1;
}

/// One turn of the large game, then its saves and loads.
bool MeasureLargeGame()
{
	SeedRandom(1);
	if (!g_GameMaster.NewGame("Large", 0, 3)) {
		std::printf("the large game could not be built: %s\n", g_GameMaster.m_LastError.c_str());
		return false;
	}
	g_GameMaster.StartGame({});
	const TMorvalethGame& game = *g_GameMaster.m_Game;
	// The opening of the event script first; the turn starts with its first strategy.
	if (StepUntil([] { return Controller()->GetStatus() == WORLD_STRATEGY; }) < 0)
		return false;
	const int turn = game.GetProgressedTurn();
	int battles = 0;
	int last = WORLD_STRATEGY;
	const TClock::time_point start = TClock::now();
	const int frames = StepUntil([&] {
		const int status = Controller()->GetStatus();
		battles += status == WORLD_BATTLE && last != WORLD_BATTLE;
		last = status;
		return game.GetProgressedTurn() != turn;
	});
	const double ms = MillisecondsSince(start);
	if (frames < 0)
		return false;
	std::printf("large game: %d areas, %d masters; one turn took %d frames and %d battles\n", game.GetAreaCount(),
		game.GetMasterCount(), frames, battles);
	std::printf("%-30s %8.3f ms  (goal %.0f ms: %s)\n", "one turn of every master", ms, TURN_GOAL_MS,
		ms < TURN_GOAL_MS ? "met" : "missed");
	for (const auto& part : {std::make_pair("SaveGame to slot 0", std::function<bool()>([] { return g_GameMaster.SaveGame(0); })),
			 std::make_pair("LoadGame of slot 0", std::function<bool()>([] { return g_GameMaster.LoadGame(0); }))}) {
		TRunTimes times;
		if (!TimeRuns(SLOT_RUNS, part.second, times))
			return false;
		PrintRunTimes(part.first, times, SLOT_RUNS, SLOT_GOAL_MS);
	}
	return true;
}

int PlayLarge(const fs::path& source)
{
	const fs::path folder = MakeWorkingFolder(source, "bench-world-large");
	const fs::path large = WriteLargeGame(source / "data/Scenario/Default", "bench-world", false);
	CopyFolder(large, folder / "Scenario/Large");
	fs::remove_all(large.parent_path());
	fs::current_path(folder);
	const bool measured = init() && MeasureLargeGame();
	Shutdown();
	if (!measured)
		std::printf("the large game stopped or ran past its frame cap (see %s/log.txt)\n", folder.c_str());
	else
		fs::remove_all(folder);
	return measured ? 0 : 1;
}

/// Runs a part in a child process, which starts and shuts the engine down on its own.
bool RunPart(const std::function<int()>& part)
{
	TChildProcess child;
	return child.Fork(part) && child.WaitForExit() == 0;
}
}

int main(int argc, char** argv)
{
	// Without an argument, the source tree this file was compiled from.
	const fs::path source = fs::absolute(
		argc > 1 ? fs::path(argv[1]) : fs::path(__FILE__).parent_path().parent_path().parent_path());
	const std::string only = argc > 2 ? argv[2] : "";
	const bool sample = only == "large" || RunPart([&] { return PlaySample(source); });
	const bool large = only == "sample" || RunPart([&] { return PlayLarge(source); });
	return sample && large ? 0 : 1;
}
