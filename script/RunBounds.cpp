#include "script/RunBounds.h"

#include "app/Application.h"
#include "app/Logger.h"

#include <algorithm>
#include <cmath>
#include <condition_variable>
#include <cstdlib>
#include <lauxlib.h>
#include <lua.h>
#include <mutex>
#include <pthread.h>
#include <string>
#include <thread>
#include <time.h>

namespace
{
using TClock = std::chrono::steady_clock;

long long g_RunBudget = RUN_INSTRUCTION_BUDGET;
std::chrono::milliseconds g_RunDeadline = RUN_DEADLINE;
std::chrono::milliseconds g_CloseDeadline = RUN_DEADLINE / 10;
std::size_t g_MemoryLimit = SCRIPT_MEMORY_LIMIT;
/// Bytes held by all script states together.
std::size_t g_ScriptBytes = 0;
/// Bounded sections open now, one inside another.
int g_SectionDepth = 0;
/// Whether the innermost section open now is a state's close.
bool g_Closing = false;
/// The deadline of the innermost section open now.
TBoundTime g_Deadline;
const TRunName NO_RUN;
/// The names of the outermost run open now and of the innermost named one; NO_RUN when none is named.
const TRunName* g_OutermostRun = &NO_RUN;
const TRunName* g_InnermostRun = &NO_RUN;
/// The calls of os.exit in the outermost section open now, of which only the first is logged.
int g_ExitCalls = 0;
/// Who made the first of them.
std::string g_FirstExitCaller;

/// Which bound a section has passed.
enum class TPassed
{
	None,
	Cpu,
	Wall
};

/// Now on the CPU clock given (a thread's) and on the wall clock.
TBoundTime Now(clockid_t cpuClock)
{
	timespec cpu{};
	clock_gettime(cpuClock, &cpu);
	return {std::chrono::seconds(cpu.tv_sec) + std::chrono::nanoseconds(cpu.tv_nsec), TClock::now()};
}

/// Now on this thread's CPU clock, and on the wall clock, for a section that may spend cpu. Reading the CPU clock
/// is a system call, which would cost a short run more than the run itself: a reading less than a hundredth of cpu
/// old stands in for it, advanced by the wall time since. The thread's CPU time can only have grown less, so the
/// section's deadline never comes sooner for it, and at most a hundredth later.
TBoundTime ThreadNow(std::chrono::milliseconds cpu)
{
	thread_local TBoundTime read{};
	const TClock::time_point wall = TClock::now();
	if (wall - read.wall > cpu / 100)
		return read = Now(CLOCK_THREAD_CPUTIME_ID);
	return {read.cpu + (wall - read.wall), wall};
}

/// The deadline of a section that starts at now and may spend cpu, with its backstop.
TBoundTime After(const TBoundTime& now, std::chrono::milliseconds cpu)
{
	return {now.cpu + cpu, now.wall + cpu * WAIT_BACKSTOP_FACTOR};
}

/// The sooner of two deadlines on each clock.
TBoundTime Earlier(const TBoundTime& a, const TBoundTime& b)
{
	return {std::min(a.cpu, b.cpu), std::min(a.wall, b.wall)};
}

/// Which bound the section whose deadline it is has passed by now.
TPassed Passed(const TBoundTime& deadline, const TBoundTime& now)
{
	if (now.cpu >= deadline.cpu)
		return TPassed::Cpu;
	return now.wall >= deadline.wall ? TPassed::Wall : TPassed::None;
}

/// The first wall time at which the deadline can be passed: a thread's CPU time never runs faster than the wall
/// clock, so its CPU time left takes at least as long on the wall.
TClock::time_point EarliestPass(const TBoundTime& deadline, const TBoundTime& now)
{
	return std::min(deadline.wall, now.wall + (deadline.cpu - now.cpu));
}

std::string StepsText()
{
	return FormatText("命令数が %d を超えたため実行を止めました。", g_RunBudget);
}

/// The stop by the CPU time; a run nested in another is stopped by the outer run's, which outerRun names.
std::string CpuStopText(const std::string& outerRun = std::string())
{
	return FormatText("%s実行時間が %g 秒を超えたため実行を止めました。", outerRun.empty() ? "" : outerRun + " の",
		g_RunDeadline.count() / 1000.0);
}

/// The stop by the backstop, named as CpuStopText names it.
std::string WaitStopText(const std::string& outerRun = std::string())
{
	return FormatText("%sシステムの処理を待つなどして、経過時間が %g 秒を超えたため実行を止めました。",
		outerRun.empty() ? "" : outerRun + " が、", (g_RunDeadline * WAIT_BACKSTOP_FACTOR).count() / 1000.0);
}

/// The texts of the stops, kept where Lua's pointers to them stay valid.
std::string g_StepsText = StepsText();
std::string g_StopText = CpuStopText();
std::string g_WaitText = WaitStopText();

/// Raises Lua's stop flag when the outermost section has spent its CPU time or lasted its backstop. Started once,
/// it sleeps on a condition variable until the first wall time at which either can be passed, reads the section
/// thread's CPU clock and sleeps again; a section wakes it only when it may be passed before that time.
class TWatchdog
{
public:
	TWatchdog()
		: m_Armed(false), m_Raised(TPassed::None), m_CpuClock(CLOCK_THREAD_CPUTIME_ID),
		  m_Texts{lua_stoptext, lua_stoptext}, m_WaitingUntil(TClock::time_point::max())
	{
		std::thread(&TWatchdog::Watch, this).detach();
	}

	/// A section with a deadline of its own has begun at now on this thread: the outermost, or a close nested in a
	/// run.
	void Arm(const TBoundTime& deadline, const TBoundTime& now)
	{
		const std::lock_guard<std::mutex> lock(m_Mutex);
		pthread_getcpuclockid(pthread_self(), &m_CpuClock);
		m_Armed = true;
		m_Deadline = deadline;
		if (EarliestPass(deadline, now) < m_WaitingUntil)
			m_Wake.notify_one();
	}

	/// A nested section with a deadline of its own has ended: the outer deadline holds again, and a stop raised
	/// by the inner deadline alone comes down.
	void Restore(const TBoundTime& deadline)
	{
		const std::lock_guard<std::mutex> lock(m_Mutex);
		m_Deadline = deadline;
		const TPassed passed = Passed(deadline, Now(m_CpuClock));
		if (passed != TPassed::None) {
			Raise(passed);
			return;
		}
		Lower();
		m_Armed = true;
		m_Wake.notify_one();
	}

	/// The outermost section has ended: the stop comes down with it.
	void Disarm()
	{
		const std::lock_guard<std::mutex> lock(m_Mutex);
		m_Armed = false;
		Lower();
	}

	/// The texts of the innermost section open now, to be Lua's when it is stopped.
	void Publish(const TStopTexts& texts)
	{
		const std::lock_guard<std::mutex> lock(m_Mutex);
		m_Texts = texts;
		lua_stoptext = m_Raised == TPassed::Wall ? texts.wait : texts.cpu;
	}

	/// The texts published last; read by the thread that publishes them.
	const TStopTexts& Texts() const { return m_Texts; }

private:
	void Watch()
	{
		std::unique_lock<std::mutex> lock(m_Mutex);
		for (;;) {
			m_WaitingUntil = TClock::time_point::max();
			if (!m_Armed) {
				m_Wake.wait(lock);
				continue;
			}
			const TBoundTime now = Now(m_CpuClock);
			const TPassed passed = Passed(m_Deadline, now);
			if (passed == TPassed::None) {
				m_WaitingUntil = EarliestPass(m_Deadline, now);
				m_Wake.wait_until(lock, m_WaitingUntil);
			} else {
				Raise(passed);
			}
		}
	}

	// Raised once; it stays up until the section ends, whatever the script catches. Lua reads the text only once
	// it sees the stop, which is raised after the text is in place.
	void Raise(TPassed passed)
	{
		m_Armed = false;
		m_Raised = passed;
		lua_stoptext = passed == TPassed::Wall ? m_Texts.wait : m_Texts.cpu;
		lua_runstop.store(1, std::memory_order_release);
	}

	void Lower()
	{
		m_Raised = TPassed::None;
		lua_stoptext = m_Texts.cpu;
		lua_runstop.store(0, std::memory_order_relaxed);
	}

	std::mutex m_Mutex;
	std::condition_variable m_Wake;
	bool m_Armed;
	/// The bound whose stop is up; None while it is down.
	TPassed m_Raised;
	/// The CPU clock of the thread that runs the outermost section.
	clockid_t m_CpuClock;
	TBoundTime m_Deadline;
	TStopTexts m_Texts;
	TClock::time_point m_WaitingUntil;
};

// Never destroyed: a state may still be closed while the program's statics are destroyed.
TWatchdog& Watchdog()
{
	static TWatchdog* const watchdog = new TWatchdog;
	return *watchdog;
}

// Growth past the limit is refused only inside a protected call of a bounded section, where it
// fails the run with Lua's memory error; elsewhere the error would end the program in the panic.
// Shrinking never fails: a block that cannot shrink stays as it is.
void* Allocate(void*, void* block, std::size_t oldSize, std::size_t newSize)
{
	if (newSize == 0) {
		std::free(block);
		g_ScriptBytes -= oldSize;
		return nullptr;
	}
	const bool grows = newSize > oldSize;
	if (grows && lua_allocmayfail && g_SectionDepth > 0 && g_ScriptBytes + (newSize - oldSize) > g_MemoryLimit)
		return nullptr;
	void* moved = std::realloc(block, newSize);
	if (!moved && grows)
		return nullptr;
	g_ScriptBytes = g_ScriptBytes - oldSize + newSize;
	return moved ? moved : block;
}

/// Who called os.exit, for the log: the run, or at a state's close the script of the finalizer that runs.
std::string ExitCaller(lua_State* L)
{
	if (!g_Closing) {
		const std::string run = g_InnermostRun->Text();
		return run.empty() ? std::string("スクリプト") : run;
	}
	lua_Debug ar;
	for (int level = 1; lua_getstack(L, level, &ar); ++level) {
		if (lua_getinfo(L, "S", &ar) && ar.what[0] != 'C') {
			const char* const file = ar.source[0] == '@' ? ar.source + 1 : ar.short_src;
			return FormatText("スクリプト %s の終了時のファイナライザ (__gc)", file);
		}
	}
	return "スクリプトの終了時のファイナライザ (__gc)";
}

/// The status os.exit asks for, from its argument as the script gave it: none is success, a whole number from 0
/// to 255 is itself; false, with a failure as the status, for any other number.
bool ReadExitStatus(lua_State* L, int& status)
{
	const lua_Number asked = lua_isnoneornil(L, 1) ? EXIT_SUCCESS : lua_tonumber(L, 1);
	// Not a number fails both comparisons.
	const bool valid = asked >= 0 && asked <= 255 && asked == std::floor(asked);
	status = valid ? static_cast<int>(asked) : EXIT_FAILURE;
	return valid;
}

/// The argument of os.exit as Lua writes it.
std::string ExitArgumentText(lua_State* L)
{
	lua_pushvalue(L, 1);
	const std::string text = lua_tostring(L, -1);
	lua_pop(L, 1);
	return text;
}

// A script's os.exit: the program ends after the frame, as when the window is closed, never under the run. Only
// the first call of a section is logged: a pcall in a loop would write the log full.
int ExitFromScript(lua_State* L, int)
{
	int status = EXIT_SUCCESS;
	const bool valid = ReadExitStatus(L, status);
	const std::string asked = valid ? std::to_string(status) : ExitArgumentText(L);
	if (g_ExitCalls++ == 0) {
		g_FirstExitCaller = ExitCaller(L);
		g_Logger.Warning(FormatText("%s が os.exit(%s) を呼んだため、プログラムを終了します。%s", g_FirstExitCaller, asked,
			valid ? std::string() : FormatText("終了コードが 0 から 255 の整数でないため、%d で終了します。", status)));
	}
	RequestQuit(status);
	return luaL_error(L, "os.exit(%s) が呼ばれたため実行を止めました。", asked.c_str());
}

// The calls of os.exit past the first of the outermost section that ends now, in one line.
void LogUncountedExits()
{
	const int more = g_ExitCalls - 1;
	g_ExitCalls = 0;
	if (more <= 0)
		return;
	try {
		g_Logger.Warning(FormatText("%s は、このあと os.exit をさらに %d 回呼びました。終了コードは最後に求められた %d です。",
			g_FirstExitCaller, more, RequestedExitStatus()));
	} catch (const std::exception&) {
	}
}

// Lua ends the program after this returns; the log at least says why.
int LogUnprotectedError(lua_State* L)
{
	try {
		const char* message = lua_tostring(L, -1);
		g_Logger.Error(FormatText("スクリプトが保護されない呼び出しで失敗したため終了します：%s", message ? message : "?"));
	} catch (const std::exception&) {
	}
	return 0;
}
}

void SetRunInstructionBudget(long long instructions)
{
	g_RunBudget = instructions;
	g_StepsText = StepsText();
}

void SetRunDeadline(std::chrono::milliseconds deadline)
{
	g_RunDeadline = deadline;
	g_CloseDeadline = deadline / 10;
	g_StopText = CpuStopText();
	g_WaitText = WaitStopText();
}

void SetCloseDeadline(std::chrono::milliseconds deadline)
{
	g_CloseDeadline = deadline;
}

void SetScriptMemoryLimit(std::size_t bytes)
{
	g_MemoryLimit = bytes;
}

lua_State* NewScriptState()
{
	lua_exithook = ExitFromScript;
	lua_State* L = lua_newstate(Allocate, nullptr);
	if (L)
		lua_atpanic(L, LogUnprotectedError);
	return L;
}

void CloseScriptState(lua_State* L)
{
	const TRunBounds bounds(TBoundsFor::Close);
	lua_close(L);
}

std::string TRunName::Text() const
{
	if (!file)
		return std::string();
	return function ? FormatText("スクリプト %s の関数 %s", *file, *function) : FormatText("スクリプト %s の読み込み", *file);
}

bool TRunName::operator==(const TRunName& other) const
{
	const auto same = [](const std::string* a, const std::string* b) { return a == b || (a && b && *a == *b); };
	return same(file, other.file) && same(function, other.function);
}

bool TBoundTime::operator==(const TBoundTime& other) const
{
	return cpu == other.cpu && wall == other.wall;
}

TRunBounds::TRunBounds(TBoundsFor what, const TRunName& run)
	: m_OuterSteps(lua_getrunsteps()), m_OuterDeadline(g_Deadline), m_OuterTexts(Watchdog().Texts()),
	  m_OuterRun(g_InnermostRun), m_OuterClosing(g_Closing), m_Run(run)
{
	lua_setrunsteps(g_RunBudget);
	const bool close = what == TBoundsFor::Close;
	g_Closing = close;
	if (g_SectionDepth++ == 0) {
		lua_stepstext = g_StepsText.c_str();
		g_OutermostRun = &m_Run;
		const std::chrono::milliseconds cpu = close ? g_CloseDeadline : g_RunDeadline;
		const TBoundTime now = ThreadNow(cpu);
		m_Deadline = After(now, cpu);
		Watchdog().Publish({g_StopText.c_str(), g_WaitText.c_str()});
		Watchdog().Arm(m_Deadline, now);
	} else if (close) {
		const TBoundTime now = ThreadNow(g_CloseDeadline);
		m_Deadline = Earlier(m_OuterDeadline, After(now, g_CloseDeadline));
		if (!(m_Deadline == m_OuterDeadline))
			Watchdog().Arm(m_Deadline, now);
	} else {
		m_Deadline = m_OuterDeadline;
		if (m_Run.file && g_OutermostRun->file && !(m_Run == *g_OutermostRun)) {
			const std::string outerRun = g_OutermostRun->Text();
			m_StopText = CpuStopText(outerRun);
			m_WaitText = WaitStopText(outerRun);
			Watchdog().Publish({m_StopText.c_str(), m_WaitText.c_str()});
		}
	}
	if (m_Run.file)
		g_InnermostRun = &m_Run;
	g_Deadline = m_Deadline;
}

TRunBounds::~TRunBounds()
{
	if (--g_SectionDepth == 0) {
		Watchdog().Disarm();
		g_OutermostRun = &NO_RUN;
		LogUncountedExits();
	} else if (!(m_Deadline == m_OuterDeadline)) {
		Watchdog().Restore(m_OuterDeadline);
	}
	if (!m_StopText.empty())
		Watchdog().Publish(m_OuterTexts);
	g_Deadline = m_OuterDeadline;
	g_InnermostRun = m_OuterRun;
	g_Closing = m_OuterClosing;
	lua_setrunsteps(m_OuterSteps);
}
