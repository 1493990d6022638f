#include "script/RunBounds.h"

#include "app/Logger.h"

#include <condition_variable>
#include <cstdlib>
#include <lua.h>
#include <mutex>
#include <string>
#include <thread>

namespace
{
using TClock = std::chrono::steady_clock;

long long g_RunBudget = RUN_INSTRUCTION_BUDGET;
std::chrono::milliseconds g_RunDeadline = RUN_DEADLINE;
std::size_t g_MemoryLimit = SCRIPT_MEMORY_LIMIT;
/// Bytes held by all script states together.
std::size_t g_ScriptBytes = 0;
/// Bounded sections open now, one inside another.
int g_SectionDepth = 0;

std::string StepsText()
{
	return FormatText("命令数が %d を超えたため実行を止めました。", g_RunBudget);
}

std::string StopText()
{
	return FormatText("実行時間が %g 秒を超えたため実行を止めました。", g_RunDeadline.count() / 1000.0);
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
	g_StopText = StopText();
}

void SetScriptMemoryLimit(std::size_t bytes)
{
	g_MemoryLimit = bytes;
}

lua_State* NewScriptState()
{
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

TRunBounds::TRunBounds(TBoundsFor what) : m_OuterSteps(lua_runsteps)
{
	lua_runsteps = g_RunBudget;
	if (g_SectionDepth++ > 0)
		return;
	lua_stepstext = g_StepsText.c_str();
	lua_stoptext = g_StopText.c_str();
	Watchdog().Arm(TClock::now() + (what == TBoundsFor::Close ? g_RunDeadline / 10 : g_RunDeadline));
}

TRunBounds::~TRunBounds()
{
	if (--g_SectionDepth == 0)
		Watchdog().Disarm();
	lua_runsteps = m_OuterSteps;
}
