#include "support/ScriptBounds.h"

#include <cerrno>
#include <csignal>
#include <ctime>
#include <lauxlib.h>
#include <lua.h>
#include <unistd.h>

namespace
{
int UnderStop(lua_State* L)
{
	lua_runstop.store(1, std::memory_order_relaxed);
	lua_call(L, lua_gettop(L) - 1, 0);
	lua_runstop.store(0, std::memory_order_relaxed);
	lua_pushstring(L, "finished");
	return 1;
}

int Sleep(lua_State* L)
{
	std::this_thread::sleep_for(std::chrono::milliseconds(luaL_checkinteger(L, 1)));
	return 0;
}

std::chrono::nanoseconds ThreadCpuTime()
{
	timespec now{};
	clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
	return std::chrono::seconds(now.tv_sec) + std::chrono::nanoseconds(now.tv_nsec);
}

// The child's whole life once asked: the hold, then the answer; its exit status.
int HoldFromChild(pid_t parent, int ask, int over, std::chrono::milliseconds hold)
{
	char byte = 0;
	if (::read(ask, &byte, 1) != 1)
		return 1;
	::kill(parent, SIGSTOP);
	timespec left = {static_cast<time_t>(hold.count() / 1000), static_cast<long>(hold.count() % 1000 * 1000000)};
	while (::nanosleep(&left, &left) != 0 && errno == EINTR) {
	}
	::kill(parent, SIGCONT);
	return ::write(over, &byte, 1) == 1 ? 0 : 1;
}
}

void RegisterUnderStop(lua_State* L)
{
	lua_register(L, "under_stop", UnderStop);
}

void RegisterSleep(lua_State* L)
{
	lua_register(L, "sleep_ms", Sleep);
}

void SpendCpuTime(std::chrono::milliseconds cpu)
{
	const std::chrono::nanoseconds until = ThreadCpuTime() + cpu;
	while (ThreadCpuTime() < until) {
	}
}

TProcessHold::TProcessHold(std::chrono::milliseconds hold)
	: m_Ask(-1), m_Over(-1)
{
	int ask[2], over[2];
	if (::pipe(ask) != 0)
		return;
	if (::pipe(over) != 0) {
		::close(ask[0]);
		::close(ask[1]);
		return;
	}
	const pid_t parent = ::getpid();
	m_Child.Fork([&] { return HoldFromChild(parent, ask[0], over[1], hold); });
	::close(ask[0]);
	::close(over[1]);
	m_Ask = ask[1];
	m_Over = over[0];
}

TProcessHold::~TProcessHold()
{
	::close(m_Ask);
	::close(m_Over);
	m_Child.Kill();
	::kill(::getpid(), SIGCONT);
}

void TProcessHold::Ask()
{
	const char byte = 1;
	while (::write(m_Ask, &byte, 1) < 0 && errno == EINTR) {
	}
}

bool TProcessHold::WaitOver()
{
	char byte = 0;
	ssize_t got;
	while ((got = ::read(m_Over, &byte, 1)) < 0 && errno == EINTR) {
	}
	return got == 1;
}
