#ifndef MORVALETH_TESTS_SCRIPTBOUNDS_H
#define MORVALETH_TESTS_SCRIPTBOUNDS_H

#include "script/RunBounds.h"

#include <chrono>
#include <cstddef>

/// Bounds of the script runs that start while it lives, put back to the program's own at its end.
struct TScopedScriptBounds
{
	TScopedScriptBounds(std::chrono::milliseconds deadline, std::size_t memory,
		long long instructions = RUN_INSTRUCTION_BUDGET)
	{
		SetRunDeadline(deadline);
		SetScriptMemoryLimit(memory);
		SetRunInstructionBudget(instructions);
	}
	~TScopedScriptBounds()
	{
		SetRunDeadline(RUN_DEADLINE);
		SetScriptMemoryLimit(SCRIPT_MEMORY_LIMIT);
		SetRunInstructionBudget(RUN_INSTRUCTION_BUDGET);
	}
	TScopedScriptBounds(const TScopedScriptBounds&) = delete;
	TScopedScriptBounds& operator=(const TScopedScriptBounds&) = delete;
};

#endif
