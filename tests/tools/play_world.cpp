// Plays a game with computer masters only in the working folder, as the program would, and tells
// how it ended. A test program: the game itself always has a player's choice of masters.
// Usage: play_world [--seed N] [--frames N] [--chapter N] [--level N] [--reload-turn N] [--check-saves]
// Exit status 0 when the game was decided and the program quit through the event script with no
// error in either log; the last line of the output describes the run.

#include "support/NoPlayerGame.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

int main(int argc, char** argv)
{
	TNoPlayerRun run;
	for (int i = 1; i < argc; ++i) {
		const std::string option = argv[i];
		const bool valued = i + 1 < argc;
		if (option == "--check-saves")
			run.checkSaves = true;
		else if (option == "--seed" && valued)
			run.seed = unsigned(std::strtoul(argv[++i], nullptr, 10));
		else if (option == "--frames" && valued)
			run.frameCap = std::atoi(argv[++i]);
		else if (option == "--chapter" && valued)
			run.chapter = std::atoi(argv[++i]);
		else if (option == "--level" && valued)
			run.level = std::atoi(argv[++i]);
		else if (option == "--reload-turn" && valued)
			run.reloadTurn = std::atoi(argv[++i]);
		else {
			std::fprintf(stderr, "unknown option %s\n", option.c_str());
			return 2;
		}
	}
	TNoPlayerResult result;
	const bool played = PlayNoPlayerGame(run, result);
	std::printf("%s\n", DescribeResult(result).c_str());
	return played ? 0 : 1;
}
