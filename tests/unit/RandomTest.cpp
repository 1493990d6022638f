#include "app/Random.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>
#include <vector>

TEST(Random, ScaledDrawsSplitTheSixteenBitRangeIntoEqualBandsAndWideRangesKeepTheRawDraw)
{
	// Raw draw, range, and the scaled draw.
	const int cases[][3] = {{0, 1, 0}, {65535, 1, 0}, {32767, 2, 0}, {32768, 2, 1}, {65535, 2, 1}, {21845, 3, 0},
		{21846, 3, 1}, {43691, 3, 1}, {43692, 3, 2}, {65535, 3, 2}, {12345, 65536, 12345}, {65535, 1000000, 65535}};
	for (const auto& c : cases)
		EXPECT_EQ(c[2], ScaleDraw(c[0], c[1])) << c[0] << " of " << c[1];

	TCapturedLog log;
	EXPECT_EQ(0, mtrand_n(0));
	EXPECT_EQ(0, mtrand_n(-5));
	EXPECT_EQ(2, log.CountLines(" Error mtrand_n:")) << "an empty range is refused";
}

TEST(Random, TheSameSeedReplaysTheSameDrawsAcrossTheWholeRange)
{
	auto draws = [](unsigned seed, int range, int count) {
		SeedRandom(seed);
		std::vector<int> values;
		for (int i = 0; i < count; ++i)
			values.push_back(mtrand_n(range));
		return values;
	};
	const std::vector<int> first = draws(42, 1000, 50);
	EXPECT_EQ(first, draws(42, 1000, 50));
	EXPECT_NE(first, draws(43, 1000, 50));
	int low = 0;
	int high = 0;
	for (int value : draws(7, 65536, 2000)) {
		ASSERT_GE(value, 0);
		ASSERT_LE(value, 65535);
		(value < 32768 ? low : high)++;
	}
	EXPECT_GT(low, 800);
	EXPECT_GT(high, 800);
	for (int value : first) {
		EXPECT_GE(value, 0);
		EXPECT_LT(value, 1000);
	}
}
