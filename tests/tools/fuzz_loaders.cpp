// Feeds damaged scenario files, saves, configuration files and sound files to the loaders,
// and scripts that try to escape a run's bounds to the script host.
// Usage: fuzz_loaders TARGET SEED COUNT [--first ROUND] [--slow MS] [--source TREE]
//   TARGET  data, chara, special, chapter, area, battlemap, scenario, numbers, save, slots, ini, wav, script or all
//   SEED    a number, or "commit": the first 8 hex digits of the source tree's git commit, so that each
//           commit tries other rounds (the clock's seconds where there is no git); printed either way
//   COUNT   a number of rounds, or a number of seconds followed by "s"
//   --first the first round's number (a failing round is replayed by its seed and number)
//   --slow  the time above which a round is reported as slow, in milliseconds (2000)
// Prints every fault and every slow round, and a summary; exits with 1 when a round found a fault.
// A slow round is reported only: its time depends on the machine and its load.
// A crash or a sanitizer report stops the program; it then names the round it was in.

#include "support/LoaderFuzz.h"
#include "support/RunTimes.h"
#include "support/TestSupport.h"

#include <boost/filesystem.hpp>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>
#include <unistd.h>
#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/common_interface_defs.h>
#endif

namespace fs = boost::filesystem;

namespace
{

/// "target seed round" of the round being run, for the last words of a dying program.
char g_RoundText[128] = "before the first round";

void TellRound()
{
	const char prefix[] = "\nfuzz_loaders died in round: ";
	const ssize_t ignored = ::write(2, prefix, sizeof(prefix) - 1) + ::write(2, g_RoundText, std::strlen(g_RoundText));
	(void)ignored;
}

void OnFatalSignal(int signal)
{
	TellRound();
	std::signal(signal, SIG_DFL);
	std::raise(signal);
}

/// What the command line asks for.
struct TOptions
{
	std::string target;
	/// The seed as given: a number or "commit".
	std::string seedText;
	unsigned seed = 0;
	/// The count of rounds, or of seconds when the count ends in "s".
	long rounds = 0;
	double seconds = 0;
	long first = 0;
	double slowMs = 2000;
	/// Without --source, the source tree this file was compiled from.
	fs::path source = fs::path(__FILE__).parent_path().parent_path().parent_path();
};

bool ParseArguments(int argc, char** argv, TOptions& options)
{
	if (argc < 4 || argc % 2 != 0 || !TLoaderFuzz::IsTarget(argv[1]))
		return false;
	options.target = argv[1];
	options.seedText = argv[2];
	const std::string count = argv[3];
	if (!count.empty() && count.back() == 's')
		options.seconds = std::atof(count.c_str());
	else
		options.rounds = std::atol(count.c_str());
	for (int i = 4; i + 1 < argc; i += 2) {
		if (std::strcmp(argv[i], "--first") == 0)
			options.first = std::atol(argv[i + 1]);
		else if (std::strcmp(argv[i], "--slow") == 0)
			options.slowMs = std::atof(argv[i + 1]);
		else if (std::strcmp(argv[i], "--source") == 0)
			options.source = argv[i + 1];
		else
			return false;
	}
	return options.rounds > 0 || options.seconds > 0;
}

/// The seed of the source tree's commit; the clock's when git cannot tell it.
unsigned CommitSeed(const fs::path& source)
{
	const std::string command = "git -C '" + source.string() + "' rev-parse HEAD 2>/dev/null";
	char hash[64] = "";
	if (std::FILE* git = ::popen(command.c_str(), "r")) {
		if (!std::fgets(hash, sizeof(hash), git))
			hash[0] = 0;
		::pclose(git);
	}
	if (std::strlen(hash) < 8) {
		std::printf("no git commit in %s: the seed comes from the clock\n", source.string().c_str());
		return static_cast<unsigned>(std::time(nullptr));
	}
	hash[8] = 0;
	std::printf("commit %s\n", hash);
	return static_cast<unsigned>(std::strtoul(hash, nullptr, 16));
}

/// Whether the run goes on to another round.
bool MoreRounds(const TOptions& options, long round, TClock::time_point start)
{
	return options.seconds > 0 ? MillisecondsSince(start) < options.seconds * 1000 : round < options.first + options.rounds;
}
}

int main(int argc, char** argv)
{
	TOptions options;
	if (!ParseArguments(argc, argv, options)) {
		std::fprintf(stderr, "usage: fuzz_loaders TARGET SEED COUNT[s] [--first ROUND] [--slow MS] [--source TREE]\n");
		return 2;
	}
	options.seed = options.seedText == "commit" ? CommitSeed(options.source)
												 : static_cast<unsigned>(std::strtoul(options.seedText.c_str(), nullptr, 10));
	std::printf("%s seed %u (replay: fuzz_loaders %s %u COUNT --first ROUND)\n", options.target.c_str(), options.seed,
		options.target.c_str(), options.seed);
	std::fflush(stdout);
#if defined(__SANITIZE_ADDRESS__)
	__sanitizer_set_death_callback(TellRound);
#endif
	for (int signal : {SIGSEGV, SIGABRT, SIGFPE, SIGBUS})
		std::signal(signal, OnFatalSignal);
	TLoaderFuzz fuzz((options.source / "data/Scenario/Default").string());
	fs::current_path(fuzz.Folder());

	const char* const target = options.target.c_str();
	long rounds = 0, accepted = 0, faults = 0, slow = 0;
	double slowest = 0;
	const TClock::time_point start = TClock::now();
	for (long round = options.first; MoreRounds(options, round, start); ++round) {
		std::snprintf(g_RoundText, sizeof(g_RoundText), "%s %u %ld\n", target, options.seed, round);
		const TFuzzRound result = fuzz.Run(options.target, options.seed, round);
		++rounds;
		accepted += result.accepted ? 1 : 0;
		slowest = std::max(slowest, result.milliseconds);
		if (result.milliseconds > options.slowMs) {
			++slow;
			std::printf("SLOW %s %u %ld (%s): %.0f ms\n", target, options.seed, round, result.input.c_str(), result.milliseconds);
		}
		if (!result.fault.empty()) {
			++faults;
			std::printf("FAULT %s %u %ld (%s): %s\n", target, options.seed, round, result.input.c_str(), result.fault.c_str());
		}
		std::fflush(stdout);
	}
	std::printf("%s seed %u: %ld rounds from %ld, %ld accepted, %ld refused, %ld faults, %ld over %.0f ms, slowest %.1f ms, %.1f s\n",
		target, options.seed, rounds, options.first, accepted, rounds - accepted, faults, slow, options.slowMs, slowest,
		MillisecondsSince(start) / 1000);
	fs::current_path(fs::temp_directory_path());
	return faults == 0 ? 0 : 1;
}
