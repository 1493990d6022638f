#ifndef MORVALETH_TESTS_SCRIPTFUZZ_H
#define MORVALETH_TESTS_SCRIPTFUZZ_H

#include "support/LoaderFuzz.h"

#include <random>
#include <string>

/// One round of the "script" target: a script made of the forms that try to escape a run's bounds (hooks
/// removed, long library calls, patterns, finalizers, growth, a pcall that catches the stop, coroutines, ranges
/// past an int, table positions far below the table, file calls on a pipe or a device, os.exit, an error object
/// whose __tostring never returns), nested and sized at random, run by a host in the working folder under a
/// short deadline for the runs that must be stopped and the program's own for those that must succeed. A fault is a run that
/// finishes, a failed run or load not logged with its file and function, or a script that does not answer
/// the next call; a run that escapes its bounds shows as a round that never ends or as a slow one.
void RunScriptRound(std::mt19937& random, const std::string& logPath, TFuzzRound& result);

#endif
