#ifndef MORVALETH_SCRIPT_RUNBOUNDS_H
#define MORVALETH_SCRIPT_RUNBOUNDS_H

#include <chrono>
#include <cstddef>
#include <string>

struct lua_State;

// A script that never returns, or grows without end, would hold the one thread of the
// program for good: no frame, no input, no close. Every way the engine enters a state runs
// inside a bounded section, and the bounds live outside the script's reach: Lua's VM spends
// one step per instruction and, at least every slice of 65,536 steps and after every library
// call, looks at a stop flag that a watchdog thread raises when the
// outermost section has spent its CPU time, or has lasted its wall-clock backstop waiting on
// the system, and the states' allocator refuses growth past the memory limit. A stopped run
// fails with a run-time error as any failed run does.

/// Instructions one run of a script (the load of its file, a call of an entry function, or a resume after a yield)
/// may execute before it is stopped as a failed run: half a second of plain Lua, and over a thousand times what
/// the sample's heaviest run needs (some 130,000).
const long long RUN_INSTRUCTION_BUDGET = 200000000;
/// CPU time of its thread a run, with the runs nested in it, may spend: the sample's heaviest run takes a millisecond.
constexpr std::chrono::milliseconds RUN_DEADLINE{2000};
/// How many times its CPU time a run or a close may last on the wall clock, waiting on the system (a command, a
/// pipe, a sleep), before it is stopped all the same: the backstop.
const int WAIT_BACKSTOP_FACTOR = 10;
/// Memory all script states together may hold while a run grows them.
const std::size_t SCRIPT_MEMORY_LIMIT = std::size_t(512) << 20;

/// Sets the budget of the runs that start from now on (RUN_INSTRUCTION_BUDGET at start).
void SetRunInstructionBudget(long long instructions);
/// Sets the CPU time of the runs that start from now on (RUN_DEADLINE at start), and a tenth of it as a state's
/// close's; each has a backstop WAIT_BACKSTOP_FACTOR times as long.
void SetRunDeadline(std::chrono::milliseconds deadline);
/// Sets the CPU time of the states' closes that start from now on, leaving the runs' own.
void SetCloseDeadline(std::chrono::milliseconds deadline);
/// Sets the memory limit of the script states (SCRIPT_MEMORY_LIMIT at start).
void SetScriptMemoryLimit(std::size_t bytes);

/// A new state whose memory counts against the limit; null when it cannot be made. A script's os.exit in it
/// fails the run and asks the program to end after the frame, as closing the window does, with that status.
lua_State* NewScriptState();
/// Closes the state, its finalizers bounded by the close's CPU time (a tenth of a run's), even when the close
/// comes inside a run.
void CloseScriptState(lua_State* L);

/// What a bounded section runs.
enum class TBoundsFor
{
	/// A run of script: the whole deadline.
	Run,
	/// A state's close: its finalizers only, a tenth of the deadline, and never past the outer section's.
	Close
};

/// Names a run for the log by the strings of its owner, formatted only when a message needs them.
struct TRunName
{
	/// The script file; null for a section of the engine's own.
	const std::string* file = nullptr;
	/// The entry function; null for the load of the file.
	const std::string* function = nullptr;

	/// "スクリプト a.lua の関数 f" or "スクリプト a.lua の読み込み"; empty for the engine's own.
	std::string Text() const;
	/// The same file and function.
	bool operator==(const TRunName& other) const;
};

/// A moment on the two clocks a section is bounded by: the CPU clock of the thread that runs it, and the wall clock.
struct TBoundTime
{
	/// The thread's CPU time.
	std::chrono::nanoseconds cpu;
	/// The steady wall clock.
	std::chrono::steady_clock::time_point wall;

	/// The same moment on both clocks.
	bool operator==(const TBoundTime& other) const;
};

/// The texts Lua gives a run stopped by its CPU time and by its backstop.
struct TStopTexts
{
	/// Stopped by the CPU time.
	const char* cpu;
	/// Stopped by the wall-clock backstop.
	const char* wait;
};

/// Bounds the Lua code run while it lives: a budget of instructions of its own, and the deadline that the
/// outermost section starts and every run nested in it shares. A close nested in a run has a deadline of its
/// own inside the run's. A run stopped by the deadline of the run it is nested in says which run that is.
class TRunBounds
{
public:
	/// Opens the section; run names it for the log, and must outlive it.
	explicit TRunBounds(TBoundsFor what = TBoundsFor::Run, const TRunName& run = TRunName());
	/// Closes it: the outer section's budget, deadline and stop texts come back, and the outermost lowers the stop.
	~TRunBounds();
	TRunBounds(const TRunBounds&) = delete;
	TRunBounds& operator=(const TRunBounds&) = delete;

private:
	/// The instructions the section around this one had left, given back at the close.
	long long m_OuterSteps;
	/// The deadline of the section around this one (none for the outermost), the watchdog's again at the close.
	TBoundTime m_OuterDeadline;
	/// This section's deadline: its own for the outermost section or a close, the outer one's for a nested run.
	TBoundTime m_Deadline;
	/// The texts Lua gave a stopped run before this section, given back at the close.
	TStopTexts m_OuterTexts;
	/// The innermost named run before this section, named again at the close.
	const TRunName* m_OuterRun;
	/// Whether the section around this one is a close.
	bool m_OuterClosing;
	/// The run this section names; its strings belong to the owner.
	const TRunName m_Run;
	/// The stop text of a run nested in another, by the outer run's CPU time.
	std::string m_StopText;
	/// The same by the outer run's backstop.
	std::string m_WaitText;
};

#endif
