#ifndef MORVALETH_TESTS_SCRIPTBOUNDS_H
#define MORVALETH_TESTS_SCRIPTBOUNDS_H

#include "script/RunBounds.h"
#include "support/ChildProcess.h"

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <string>
#include <sys/types.h>
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
/// Registers sleep_ms(n) on the state: the call waits n milliseconds in the system and spends no CPU time, as a
/// call that waits on a command or a pipe does.
void RegisterSleep(lua_State* L);
/// Spends the CPU time given on the calling thread, however long a busy machine makes it take.
void SpendCpuTime(std::chrono::milliseconds cpu);

/// A child process that, once asked, holds the test process stopped (SIGSTOP) for a while and then lets it go on
/// (SIGCONT), as a machine busy with other work holds a program up. The child dies with the test process, and
/// the hold's end ends the child and lets the test process go on whatever happened.
class TProcessHold
{
public:
	explicit TProcessHold(std::chrono::milliseconds hold);
	~TProcessHold();
	TProcessHold(const TProcessHold&) = delete;
	TProcessHold& operator=(const TProcessHold&) = delete;

	/// Asks the child for the hold, which comes a moment later.
	void Ask();
	/// Waits until the hold asked for is over; false when the child ended without holding the process.
	bool WaitOver();

private:
	TChildProcess m_Child;
	/// The write end of the pipe that asks, the read end of the one the child answers on.
	int m_Ask;
	int m_Over;
};

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
