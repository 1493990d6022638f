// Whole games of the sample scenario played by computer masters only, through the program's own
// start-up and main-loop body, each in a working folder of its own.

#include "support/ChildProcess.h"
#include "support/GlWindow.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>
#include <boost/filesystem.hpp>
#include <sstream>
#include <string>
#include <vector>

namespace fs = boost::filesystem;

namespace
{
const char* const PLAY_WORLD = MORVALETH_BINARY_DIR "/tests/play_world";
/// Frames a whole game may take. A turn of the sample takes a few hundred frames and the event
/// script decides any game left undecided after its deadline (turn 12) within a few turns more.
const int FRAME_CAP = 20000;

/// Frames as fast as the machine runs them, timed messages that close almost at once, no music,
/// battles unwatched and one battle turn long: the computer sides of a battle only wait for now, so
/// a longer battle would add nothing but frames.
const char* const SETTINGS =
	"[Window]\nWidth=800\nHeight=640\nFPS=2000\n"
	"[GUI]\nMessageTimeoutFrame=2\n"
	"[Mixer]\nMusicEnabled=0\nSoundEnabled=0\n"
	"[Watch]\nUse=0\n"
	"[Battle]\nTurnMax=1\n"
	"[Log]\nLogLevel=2\n";

struct TPlayed
{
	int exitStatus = -1;
	/// The runner's verdict line.
	std::string verdict;
	std::string log;
	std::string scriptLog;
};

/// Plays the sample in a fresh copy of the game's working folder with the runner's options.
TPlayed PlayGame(const std::vector<std::string>& options)
{
	TTempDir dir;
	const fs::path data = fs::path(MORVALETH_SOURCE_DIR) / "data";
	fs::create_directories(fs::path(dir.Path()) / "Scenario");
	for (const char* copied : {"Scenario/Default", "System"}) {
		fs::create_directories(fs::path(dir.Path()) / copied);
		for (fs::recursive_directory_iterator it(data / copied), end; it != end; ++it) {
			const fs::path target = fs::path(dir.Path()) / copied / fs::relative(it->path(), data / copied);
			if (fs::is_directory(it->path()))
				fs::create_directories(target);
			else
				fs::copy_file(it->path(), target);
		}
	}
	fs::copy_file(data / "sjis.txt", dir / "sjis.txt");
	WriteFile(dir / "morvaleth.ini", SETTINGS);

	// The run ends by itself at its frame cap at the latest; a game that hangs is ended with the test.
	std::vector<std::string> arguments = {"--frames", std::to_string(FRAME_CAP)};
	arguments.insert(arguments.end(), options.begin(), options.end());
	TChildProcess::TStart how;
	how.folder = dir.Path();
	how.output = dir / "verdict.txt";
	TChildProcess runner;
	TPlayed played;
	if (!runner.Start(PLAY_WORLD, arguments, how))
		return played;
	played.exitStatus = runner.WaitForExit();
	std::istringstream verdict(ReadFile(dir / "verdict.txt"));
	for (std::string line; std::getline(verdict, line);)
		played.verdict = line;
	played.log = ReadFile(dir / "log.txt");
	if (FileExists(dir / "_lualog.txt"))
		played.scriptLog = ReadFile(dir / "_lualog.txt");
	return played;
}

class WorldGame : public ::testing::TestWithParam<std::vector<std::string>>
{
protected:
	void SetUp() override
	{
		SKIP_WITHOUT_DISPLAY();
		ASSERT_TRUE(fs::exists(PLAY_WORLD)) << PLAY_WORLD << " is not built";
	}
};
}

// The runner checks every frame that no area holds more than 20 characters, that no hero stands
// twice and that neither log holds an error; at the end that the program quit through the event
// script with the game decided and marked ended. Its exit status tells.
TEST_P(WorldGame, ComputerMastersPlayTheSampleToItsEnd)
{
	const TPlayed played = PlayGame(GetParam());
	EXPECT_EQ(0, played.exitStatus) << played.verdict;
	EXPECT_NE(std::string::npos, played.verdict.find("quit=1 ended=1")) << played.verdict;
	EXPECT_EQ(std::string::npos, played.log.find(" Error ")) << played.log.substr(0, 4000);
	EXPECT_EQ(std::string::npos, played.scriptLog.find("rror")) << played.scriptLog;
	EXPECT_NE(std::string::npos, played.scriptLog.find("戦いが終わりました。")) << played.scriptLog;
}

INSTANTIATE_TEST_SUITE_P(Seeds, WorldGame,
	::testing::Values(std::vector<std::string>{"--seed", "1"},
		// Saved to a slot and loaded back at turn 3, then played on to its end.
		std::vector<std::string>{"--seed", "7", "--reload-turn", "3"},
		// The second chapter, its saves compared with their reloads in a master's turn, between two
		// masters and after each defeat.
		std::vector<std::string>{"--seed", "5", "--chapter", "1", "--check-saves"}));
