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
}

TEST(GameMasterKeys, SeventeenthKeyIsDroppedAndTheOldestStays)
{
	TDremoGameMaster master;
	std::vector<int> expected;
	for (int key = 1; key <= 17; ++key) {
		master.PushKey(key);
		if (key <= 16)
			expected.push_back(key);
	}
	int first = 0;
	ASSERT_TRUE(master.PeekKey(first));
	EXPECT_EQ(1, first);
	EXPECT_EQ(expected, Drain(master));
}

TEST(GameMasterKeys, PeekKeepsTheKeyQueued)
{
	TDremoGameMaster master;
	master.PushKey(97);
	master.PushKey(98);
	int key = 0;
	ASSERT_TRUE(master.PeekKey(key));
	ASSERT_TRUE(master.PeekKey(key));
	EXPECT_EQ(97, key);
	master.PopKey();
	ASSERT_TRUE(master.PeekKey(key));
	EXPECT_EQ(98, key);
}

TEST(GameMasterKeys, EmptyQueueLeavesTheOutValueAndIgnoresPop)
{
	TDremoGameMaster master;
	int key = -3;
	master.PopKey();
	EXPECT_FALSE(master.PeekKey(key));
	EXPECT_EQ(-3, key);
}

TEST(GameMasterKeys, FullQueueTakesKeysAgainOncePoppedOrCleared)
{
	TDremoGameMaster master;
	for (int key = 1; key <= 16; ++key)
		master.PushKey(key);
	master.PopKey();
	master.PushKey(50);
	EXPECT_EQ(50, Drain(master).back());
	for (int key = 1; key <= 16; ++key)
		master.PushKey(key);
	master.ClearKeys();
	int key = 0;
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
