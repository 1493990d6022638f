#ifndef MORVALETH_TESTS_SCRIPTFUZZ_H
#define MORVALETH_TESTS_SCRIPTFUZZ_H

#include "support/LoaderFuzz.h"

#include <random>
#include <string>

/// One round of the "script" target: a script made of the forms that try to escape a run's bounds (hooks
/// removed, long library calls, patterns, finalizers, growth, a pcall that catches the stop, coroutines),
/// nested and sized at random, run by a host under short bounds in the working folder. A fault is a run that
/// finishes, a failed run or load not logged with its file and function, or a script that does not answer
/// the next call; a run that escapes its bounds shows as a round that never ends or as a slow one.
void RunScriptRound(std::mt19937& random, const std::string& logPath, TFuzzRound& result);

#endif
