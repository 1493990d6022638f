#ifndef MORVALETH_TESTS_NOPLAYERGAME_H
#define MORVALETH_TESTS_NOPLAYERGAME_H

#include <string>

/// A game played by computer masters only, in the working folder as the program would play it.
struct TNoPlayerRun
{
	std::string scenario = "Default";
	int chapter = 0;
	int level = 3;
	/// Seed of the game's generator, set before the game is built.
	unsigned seed = 1;
	/// Frames after which the run gives up.
	int frameCap = 100000;
	/// At the first frame of this turn the game is saved to slot 0 and loaded back; -1 for never.
	int reloadTurn = -1;
	/// Saves, loads and saves again at a master's turn, between two masters and after each defeat,
	/// and compares the two saves.
	bool checkSaves = false;
};

/// How the run ended.
struct TNoPlayerResult
{
	/// The program met its quit event.
	bool quit = false;
	/// The game was decided and marked ended.
	bool ended = false;
	int frames = 0;
	/// Turns played.
	int turns = 0;
	int mastersLeft = 0;
	/// Battles fought and save round trips checked.
	int battles = 0;
	int saveChecks = 0;
	double seconds = 0;
	/// What went wrong; empty for a game that ended as it should.
	std::string failure;
};

/// Starts the engine as the program does, builds and starts the game with no player and runs the main
/// loop's body until the program quits or the cap is reached, checking the game every frame; then shuts
/// the engine down. False with the failure set when the game did not end as it should.
bool PlayNoPlayerGame(const TNoPlayerRun& run, TNoPlayerResult& result);

/// The result as one line of "key=value" words.
std::string DescribeResult(const TNoPlayerResult& result);

#endif
