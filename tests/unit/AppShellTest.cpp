#include "unit/ScriptFixture.h"

#include "app/Application.h"
#include "platform/Desktop.h"
#include "script/LuaManager.h"

#include <cstdlib>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace
{
// A clock that moves only when asked: every reading costs a millisecond and a
// sleep adds its length plus an optional oversleep.
Uint32 g_Now = 0;
Uint32 g_Oversleep = 0;
std::vector<Uint32> g_Sleeps;

Uint32 FakeTicks()
{
	return g_Now++;
}

void FakeDelay(Uint32 ms)
{
	g_Sleeps.push_back(ms);
	g_Now += ms + g_Oversleep;
}

const TFrameClock FAKE_CLOCK = {FakeTicks, FakeDelay};

class FrameLimiter : public ::testing::Test
{
protected:
	void SetUp() override
	{
		g_Now = 0;
		g_Oversleep = 0;
		g_Sleeps.clear();
	}

	// Runs the limiter for a frame that started at frameTick and ends at now.
	Uint32 Limit(int fps, Uint32& frameTick, Uint32 now)
	{
		g_Now = now;
		Uint32 tick = 0;
		LimitFrameRate(fps, tick, frameTick, FAKE_CLOCK);
		return tick;
	}
};
}

TEST(FramePeriod, IsThousandOverFpsTruncated)
{
	const int cases[][2] = {{60, 16}, {30, 33}, {50, 20}, {75, 13}, {100, 10}, {120, 8}, {144, 6}, {1, 1000}};
	for (const auto& c : cases)
		EXPECT_EQ(c[1], FramePeriod(c[0])) << c[0];
}

TEST_F(FrameLimiter, EarlyFramesSleepWithAThreeMillisecondMarginThenAMillisecondAtATimeAndLateOnesRestartTheClock)
{
	struct TCase
	{
		Uint32 frameTick;
		Uint32 now;
		Uint32 tick;
		std::vector<Uint32> sleeps;
	};
	const TCase cases[] = {
		{1000, 1020, 1020, {}},
		{1000, 1016, 1016, {}},
		{1000, 1010, 1016, {3, 1}},
		// A short remainder is slept a millisecond at a time, never spun: a spin keeps a core busy.
		{1000, 1014, 1016, {1}},
		{1000, 1012, 1016, {1, 1}},
		// The tick counter wrapping around is no late frame.
		{0xFFFFFFF8u, 2, 8, {3, 1}},
	};
	for (const TCase& c : cases) {
		SCOPED_TRACE(c.now);
		g_Sleeps.clear();
		Uint32 frameTick = c.frameTick;
		EXPECT_EQ(c.tick, Limit(60, frameTick, c.now));
		EXPECT_EQ(c.tick, frameTick);
		EXPECT_EQ(c.sleeps, g_Sleeps);
		EXPECT_GE(g_Now, c.tick);
	}
}

TEST_F(FrameLimiter, FramesOnTimeKeepAFixedCadenceEvenAfterOversleeping)
{
	g_Oversleep = 4;
	Uint32 frameTick = 1000;
	EXPECT_EQ(1016u, Limit(60, frameTick, 1005));
	EXPECT_EQ(1032u, Limit(60, frameTick, g_Now + 5));
	EXPECT_EQ(1048u, Limit(60, frameTick, g_Now + 5));
}

TEST(DesktopFit, OnlyAnOversizedSideIsClampedToTheDesktopLimits)
{
	// Window width and height, whether it changes, and the size it gets on a 1920 x 1080 desktop.
	const int cases[][5] = {{1920, 1200, 1, 1904, 1016}, {800, 600, 0, 800, 600}, {1904, 1016, 0, 1904, 1016},
		{1904, 1200, 1, 1904, 1016}, {1000, 1100, 1, 1000, 1016}, {2500, 700, 1, 1904, 700}};
	for (const auto& c : cases) {
		int width = c[0];
		int height = c[1];
		EXPECT_EQ(c[2] != 0, FitWindowToDesktop(1920, 1080, width, height)) << c[0] << " x " << c[1];
		EXPECT_EQ(std::make_pair(c[3], c[4]), std::make_pair(width, height)) << c[0] << " x " << c[1];
	}
}

TEST(DesktopFit, DesktopSizeIsUnknownWhenTheVideoDriverCannotTell)
{
	// SDL's dummy video driver reports no desktop mode; a size of 0 x 0 would
	// shrink any window to a negative size. SDL reads the driver name only while
	// starting, so the environment is restored at once.
	const char* const previous = std::getenv("SDL_VIDEODRIVER");
	const std::string saved = previous ? previous : "";
	setenv("SDL_VIDEODRIVER", "dummy", 1);
	const int started = SDL_InitSubSystem(SDL_INIT_VIDEO);
	if (previous)
		setenv("SDL_VIDEODRIVER", saved.c_str(), 1);
	else
		unsetenv("SDL_VIDEODRIVER");
	ASSERT_EQ(0, started) << SDL_GetError();
	int width = -1;
	int height = -1;
	EXPECT_FALSE(GetDesktopSize(width, height));
	SDL_QuitSubSystem(SDL_INIT_VIDEO);
}

namespace
{
class BrokenPipe : public ScriptTest
{
};
}

// With broken pipes ignored, as the program starts, a script's write to a command that has ended fails with
// Lua's error, and so does the run that asserts it; a handle kept with a byte in its buffer is closed with its
// script. The megabyte written fills the pipe, so the write waits until the command has ended, and fails then.
TEST_F(BrokenPipe, AScriptsWriteToACommandThatHasEndedFailsTheRunWithLuasError)
{
	IgnoreBrokenPipes();
	{
		TMorvalethLuaManager manager;
		ASSERT_TRUE(manager.LoadLua(WriteScript("pipe.lua",
			"function asserts() assert(io.popen('true', 'w'):write(string.rep('x', 2^20))) end\n"
			"function keeps()\n"
			"  kept = io.popen('true', 'w')\n"
			"  local written, reason = kept:write(string.rep('x', 2^20))\n"
			"  kept:write('x')\n"
			"  return reason == 'Broken pipe'\n"
			"end\n").c_str()));
		EXPECT_FALSE(manager.CallFunction("asserts"));
		EXPECT_EQ(1, m_Log.CountLines("の関数 asserts が失敗しました：")) << m_Log.Text();
		EXPECT_EQ(1, m_Log.CountLines("pipe.lua:1: Broken pipe")) << m_Log.Text();
		ASSERT_TRUE(manager.CallFunction("keeps"));
		EXPECT_TRUE(manager.GetResult());
	}
	const std::vector<std::string> lines = ScriptLog();
	ASSERT_EQ(1u, lines.size());
	EXPECT_NE(std::string::npos, lines[0].find("pipe.lua:1: Broken pipe (Line ")) << lines[0];
}
