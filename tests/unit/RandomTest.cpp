#include "app/Random.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>
#include <vector>

TEST(Random, DrawOfOneIsAlwaysZero)
{
	EXPECT_EQ(0, ScaleDraw(0, 1));
	EXPECT_EQ(0, ScaleDraw(65535, 1));
}

TEST(Random, DrawOfTwoSplitsAtTheMiddle)
{
	EXPECT_EQ(0, ScaleDraw(32767, 2));
	EXPECT_EQ(1, ScaleDraw(32768, 2));
	EXPECT_EQ(1, ScaleDraw(65535, 2));
}

TEST(Random, DrawOfThreeGivesThreeBands)
{
	EXPECT_EQ(0, ScaleDraw(21845, 3));
	EXPECT_EQ(1, ScaleDraw(21846, 3));
	EXPECT_EQ(1, ScaleDraw(43691, 3));
	EXPECT_EQ(2, ScaleDraw(43692, 3));
	EXPECT_EQ(2, ScaleDraw(65535, 3));
}

TEST(Random, WideRangesReturnTheRawDraw)
{
	EXPECT_EQ(12345, ScaleDraw(12345, 65536));
	EXPECT_EQ(65535, ScaleDraw(65535, 1000000));
}

TEST(Random, EmptyRangeIsRefusedWithAnError)
{
	TCapturedLog log;
	EXPECT_EQ(0, mtrand_n(0));
	EXPECT_EQ(0, mtrand_n(-5));
	EXPECT_EQ(2, log.CountLines(" Error mtrand_n:"));
}

TEST(Random, SameSeedReplaysTheSameDraws)
{
	auto draws = [](unsigned seed) {
		SeedRandom(seed);
		std::vector<int> values;
		for (int i = 0; i < 50; ++i)
			values.push_back(mtrand_n(1000));
		return values;
	};
	const std::vector<int> first = draws(42);
	EXPECT_EQ(first, draws(42));
	EXPECT_NE(first, draws(43));
	for (int value : first) {
		EXPECT_GE(value, 0);
		EXPECT_LT(value, 1000);
	}
}

TEST(Random, DrawsCoverTheWholeSixteenBitRange)
{
	SeedRandom(7);
	int low = 0;
	int high = 0;
	for (int i = 0; i < 2000; ++i) {
		const int value = mtrand_n(65536);
		ASSERT_GE(value, 0);
		ASSERT_LE(value, 65535);
		(value < 32768 ? low : high)++;
	}
	EXPECT_GT(low, 800);
	EXPECT_GT(high, 800);
}
