#include "script/RunBounds.h"

#include "app/Application.h"
#include "app/Logger.h"

#include <algorithm>
#include <condition_variable>
#include <cstdlib>
#include <lauxlib.h>
#include <lua.h>
#include <mutex>
#include <string>
#include <thread>

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
/// The deadline of the innermost section open now.
TClock::time_point g_Deadline;
const TRunName NO_RUN;
/// The names of the outermost run open now and of the innermost named one; NO_RUN when none is named.
const TRunName* g_OutermostRun = &NO_RUN;
const TRunName* g_InnermostRun = &NO_RUN;

std::string StepsText()
{
	return FormatText("命令数が %d を超えたため実行を止めました。", g_RunBudget);
}

std::string StopText()
{
	return FormatText("実行時間が %g 秒を超えたため実行を止めました。", g_RunDeadline.count() / 1000.0);
}

/// The stop of a run nested in another, named by the outer run whose deadline it is.
std::string NestedStopText(const TRunName& outerRun)
{
	return FormatText("%s の実行時間が %g 秒を超えたため実行を止めました。", outerRun.Text(), g_RunDeadline.count() / 1000.0);
}

/// The texts of the two stops, kept where Lua's pointers to them stay valid.
std::string g_StepsText = StepsText();
std::string g_StopText = StopText();

/// Raises Lua's stop flag when the outermost section outlives its deadline. Started once, it sleeps
/// on a condition variable; a section wakes it only when its deadline comes before the one it waits for.
class TWatchdog
{
public:
	TWatchdog() : m_Armed(false), m_WaitingUntil(TClock::time_point::max())
	{
		std::thread(&TWatchdog::Watch, this).detach();
	}

	/// The outermost section has begun and must end by the deadline.
	void Arm(TClock::time_point deadline)
	{
		const std::lock_guard<std::mutex> lock(m_Mutex);
		m_Armed = true;
		m_Deadline = deadline;
		if (deadline < m_WaitingUntil)
			m_Wake.notify_one();
	}

	/// A nested section with a deadline of its own has ended: the outer deadline holds again, and a stop raised
	/// by the inner deadline alone comes down.
	void Restore(TClock::time_point deadline)
	{
		const std::lock_guard<std::mutex> lock(m_Mutex);
		m_Deadline = deadline;
		if (TClock::now() < deadline) {
			m_Armed = true;
			lua_runstop.store(0, std::memory_order_relaxed);
			m_Wake.notify_one();
		}
	}

	/// The outermost section has ended: the stop comes down with it.
	void Disarm()
	{
		const std::lock_guard<std::mutex> lock(m_Mutex);
		m_Armed = false;
		lua_runstop.store(0, std::memory_order_relaxed);
	}

private:
	void Watch()
	{
		std::unique_lock<std::mutex> lock(m_Mutex);
		for (;;) {
			m_WaitingUntil = m_Armed ? m_Deadline : TClock::time_point::max();
			if (!m_Armed)
				m_Wake.wait(lock);
			else if (TClock::now() < m_Deadline)
				m_Wake.wait_until(lock, m_Deadline);
			else {
				// Raised once; it stays up until the section ends, whatever the script catches.
				lua_runstop.store(1, std::memory_order_relaxed);
				m_Armed = false;
			}
		}
	}

	std::mutex m_Mutex;
	std::condition_variable m_Wake;
	bool m_Armed;
	TClock::time_point m_Deadline;
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

// A script's os.exit: the program ends after the frame, as when the window is closed, never under the run.
int ExitFromScript(lua_State* L, int status)
{
	const std::string run = g_InnermostRun->Text();
	g_Logger.Warning(FormatText("%s が os.exit(%d) を呼んだため、プログラムを終了します。",
		run.empty() ? std::string("スクリプト") : run, status));
	RequestQuit(status);
	return luaL_error(L, "os.exit(%d) が呼ばれたため実行を止めました。", status);
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
	g_StopText = StopText();
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

TRunBounds::TRunBounds(TBoundsFor what, const TRunName& run)
	: m_OuterSteps(lua_runsteps), m_OuterDeadline(g_Deadline), m_OuterStopText(lua_stoptext),
	  m_OuterRun(g_InnermostRun), m_Run(run)
{
	lua_runsteps = g_RunBudget;
	const TClock::time_point now = TClock::now();
	const bool close = what == TBoundsFor::Close;
	if (g_SectionDepth++ == 0) {
		lua_stepstext = g_StepsText.c_str();
		lua_stoptext = g_StopText.c_str();
		g_OutermostRun = &m_Run;
		m_Deadline = now + (close ? g_CloseDeadline : g_RunDeadline);
	} else if (close) {
		m_Deadline = std::min(m_OuterDeadline, now + g_CloseDeadline);
	} else {
		m_Deadline = m_OuterDeadline;
		if (m_Run.file && g_OutermostRun->file && !(m_Run == *g_OutermostRun)) {
			m_StopText = NestedStopText(*g_OutermostRun);
			lua_stoptext = m_StopText.c_str();
		}
	}
	if (m_Run.file)
		g_InnermostRun = &m_Run;
	g_Deadline = m_Deadline;
	if (g_SectionDepth == 1 || m_Deadline != m_OuterDeadline)
		Watchdog().Arm(m_Deadline);
}

TRunBounds::~TRunBounds()
{
	if (--g_SectionDepth == 0) {
		Watchdog().Disarm();
		g_OutermostRun = &NO_RUN;
	} else if (m_Deadline != m_OuterDeadline) {
		Watchdog().Restore(m_OuterDeadline);
	}
	g_Deadline = m_OuterDeadline;
	g_InnermostRun = m_OuterRun;
	lua_stoptext = m_OuterStopText;
	lua_runsteps = m_OuterSteps;
}
