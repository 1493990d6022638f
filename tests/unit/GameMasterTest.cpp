#include "app/GameMaster.h"
#include "gui/WidgetSet.h"

#include <gtest/gtest.h>
#include <vector>

namespace
{
std::vector<int> Drain(TDremoGameMaster& master)
{
	std::vector<int> keys;
	int key = 0;
	while (master.PeekKey(key)) {
		keys.push_back(key);
		master.PopKey();
	}
	return keys;
}

std::vector<int> Range(int first, int last)
{
	std::vector<int> keys;
	for (int key = first; key <= last; ++key)
		keys.push_back(key);
	return keys;
}
}

TEST(GameMasterKeys, TheQueueHoldsSixteenKeysDropsTheSeventeenthAndTakesKeysAgainOncePoppedOrCleared)
{
	TDremoGameMaster master;
	int key = -3;
	master.PopKey();
	EXPECT_FALSE(master.PeekKey(key)) << "an empty queue ignores a pop";
	EXPECT_EQ(-3, key) << "and leaves the out value";

	for (int k : Range(1, 17))
		master.PushKey(k);
	ASSERT_TRUE(master.PeekKey(key));
	ASSERT_TRUE(master.PeekKey(key));
	EXPECT_EQ(1, key) << "a peek keeps the oldest key queued";
	master.PopKey();
	master.PushKey(50);
	std::vector<int> expected = Range(2, 16);
	expected.push_back(50);
	EXPECT_EQ(expected, Drain(master));

	for (int k : Range(1, 16))
		master.PushKey(k);
	master.ClearKeys();
	EXPECT_FALSE(master.PeekKey(key));
	master.PushKey(7);
	EXPECT_EQ(std::vector<int>{7}, Drain(master));
}

TEST(GameMasterRelease, ReleasingTwiceKeepsTheRunState)
{
	TDremoGameMaster master;
	master.m_WidgetSet.reset(new TGcnWidgetSet());
	master.m_ScenarioName = "Default";
	master.m_ScenarioDir = "./Scenario/Default";
	master.m_GameRunning = true;
	master.PushKey(5);
	master.ReleaseGame();
	EXPECT_FALSE(master.m_WidgetSet);
	master.ReleaseGame();
	EXPECT_FALSE(master.m_WidgetSet);
	EXPECT_EQ("Default", master.m_ScenarioName);
	EXPECT_EQ("./Scenario/Default", master.m_ScenarioDir);
	EXPECT_TRUE(master.m_GameRunning);
	EXPECT_EQ(std::vector<int>{5}, Drain(master));
}
