#include "app/Application.h"
#include "platform/Desktop.h"

#include <cstdlib>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace
{
// A clock that moves only when asked: every reading costs a millisecond (as a
// spinning loop does) and a sleep adds its length plus an optional oversleep.
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
	EXPECT_EQ(16, FramePeriod(60));
	EXPECT_EQ(33, FramePeriod(30));
	EXPECT_EQ(20, FramePeriod(50));
	EXPECT_EQ(13, FramePeriod(75));
	EXPECT_EQ(10, FramePeriod(100));
	EXPECT_EQ(8, FramePeriod(120));
	EXPECT_EQ(6, FramePeriod(144));
	EXPECT_EQ(1000, FramePeriod(1));
}

TEST_F(FrameLimiter, LateFrameIsNotDelayedAndRestartsTheClock)
{
	Uint32 frameTick = 1000;
	EXPECT_EQ(1020u, Limit(60, frameTick, 1020));
	EXPECT_EQ(1020u, frameTick);
	EXPECT_TRUE(g_Sleeps.empty());
	EXPECT_EQ(1016u, Limit(60, frameTick = 1000, 1016));
	EXPECT_TRUE(g_Sleeps.empty());
}

TEST_F(FrameLimiter, EarlyFrameSleepsWithThreeMillisecondMarginThenSpins)
{
	Uint32 frameTick = 1000;
	EXPECT_EQ(1016u, Limit(60, frameTick, 1010));
	EXPECT_EQ(std::vector<Uint32>{3}, g_Sleeps);
	EXPECT_EQ(1016u, frameTick);
	EXPECT_GE(g_Now, 1016u);
}

TEST_F(FrameLimiter, ShortRemainderOnlySpins)
{
	Uint32 frameTick = 1000;
	EXPECT_EQ(1016u, Limit(60, frameTick, 1014));
	EXPECT_TRUE(g_Sleeps.empty());
	EXPECT_EQ(1016u, Limit(60, frameTick = 1000, 1012));
	EXPECT_EQ(std::vector<Uint32>{1}, g_Sleeps);
}

TEST_F(FrameLimiter, FramesOnTimeKeepAFixedCadenceEvenAfterOversleeping)
{
	g_Oversleep = 4;
	Uint32 frameTick = 1000;
	EXPECT_EQ(1016u, Limit(60, frameTick, 1005));
	EXPECT_EQ(1032u, Limit(60, frameTick, g_Now + 5));
	EXPECT_EQ(1048u, Limit(60, frameTick, g_Now + 5));
}

TEST_F(FrameLimiter, TickCounterWrapAroundIsNotALateFrame)
{
	Uint32 frameTick = 0xFFFFFFF8u;
	EXPECT_EQ(8u, Limit(60, frameTick, 2));
	EXPECT_EQ(std::vector<Uint32>{3}, g_Sleeps);
}

TEST(DesktopFit, OversizedWindowIsClampedToTheDesktopLimits)
{
	int width = 1920;
	int height = 1200;
	EXPECT_TRUE(FitWindowToDesktop(1920, 1080, width, height));
	EXPECT_EQ(1904, width);
	EXPECT_EQ(1016, height);
}

TEST(DesktopFit, WindowWithinTheLimitsIsKept)
{
	int width = 800;
	int height = 600;
	EXPECT_FALSE(FitWindowToDesktop(1920, 1080, width, height));
	EXPECT_EQ(800, width);
	EXPECT_EQ(600, height);
	width = 1904;
	height = 1016;
	EXPECT_FALSE(FitWindowToDesktop(1920, 1080, width, height));
	EXPECT_EQ(1904, width);
	EXPECT_EQ(1016, height);
}

TEST(DesktopFit, OnlyTheOversizedSideChanges)
{
	int width = 1904;
	int height = 1200;
	EXPECT_TRUE(FitWindowToDesktop(1920, 1080, width, height));
	EXPECT_EQ(1904, width);
	EXPECT_EQ(1016, height);
	width = 1000;
	height = 1100;
	EXPECT_TRUE(FitWindowToDesktop(1920, 1080, width, height));
	EXPECT_EQ(1000, width);
	EXPECT_EQ(1016, height);
	width = 2500;
	height = 700;
	EXPECT_TRUE(FitWindowToDesktop(1920, 1080, width, height));
	EXPECT_EQ(1904, width);
	EXPECT_EQ(700, height);
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
