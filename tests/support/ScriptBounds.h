#ifndef MORVALETH_TESTS_SCRIPTBOUNDS_H
#define MORVALETH_TESTS_SCRIPTBOUNDS_H

#include "script/RunBounds.h"

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <string>
#include <thread>

struct lua_State;

/// Bounds of the script runs that start while it lives, put back to the program's own at its end. A short
/// deadline belongs only around a run that must be stopped; a run that must succeed runs under the program's.
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

/// Registers under_stop(f, ...) on the state: it raises the run's stop and calls f with the arguments straight
/// from C, with no Lua instruction in between, so that only a stop check inside f can end the call. When f
/// returns all the same, the stop comes down and under_stop returns "finished".
void RegisterUnderStop(lua_State* L);

/// Ends the test program with a message when it lives longer than the limit: a case that would hang for good
/// without its mend fails instead. It never fires while the case does what it should, however slow the machine.
class THangWatchdog
{
public:
	explicit THangWatchdog(const std::string& what, std::chrono::seconds limit = std::chrono::seconds(300))
		: m_Done(false), m_Thread([this, what, limit] {
			  std::unique_lock<std::mutex> lock(m_Mutex);
			  if (!m_Wake.wait_for(lock, limit, [this] { return m_Done; })) {
				  std::fprintf(stderr, "%s: still running after %lld s, it hangs\n", what.c_str(),
					  static_cast<long long>(limit.count()));
				  std::_Exit(1);
			  }
		  })
	{
	}
	~THangWatchdog()
	{
		{
			const std::lock_guard<std::mutex> lock(m_Mutex);
			m_Done = true;
		}
		m_Wake.notify_one();
		m_Thread.join();
	}
	THangWatchdog(const THangWatchdog&) = delete;
	THangWatchdog& operator=(const THangWatchdog&) = delete;

private:
	std::mutex m_Mutex;
	std::condition_variable m_Wake;
	bool m_Done;
	std::thread m_Thread;
};

#endif
