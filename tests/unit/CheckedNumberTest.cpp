#include "app/CheckedNumber.h"

#include <climits>
#include <gtest/gtest.h>

// Numbers in range read as the scan conversions read them; beyond the range they
// stop at the nearest limit instead of wrapping.
TEST(CheckedNumber, DecimalsReadAsTheScanDoesAndSaturate)
{
	const struct
	{
		const char* text;
		bool read;
		int value;
	} cases[] = {
		{"42", true, 42},
		{"  -7xyz", true, -7},
		{"+5", true, 5},
		{"\t\n12 34", true, 12},
		{"2147483647", true, INT_MAX},
		{"-2147483648", true, INT_MIN},
		{"2147483648", true, INT_MAX},
		{"99999999999", true, INT_MAX},
		{"-99999999999999999999999999", true, INT_MIN},
		{"000000000000000000000000012", true, 12},
		{"0x10", true, 0},
		{"1e9", true, 1},
		{"", false, 0},
		{"-", false, 0},
		{"+ 5", false, 0},
		{"abc", false, 0},
		{nullptr, false, 0},
	};
	for (const auto& c : cases) {
		int value = 12345;
		EXPECT_EQ(c.read, ReadInt(c.text, value)) << (c.text ? c.text : "null");
		EXPECT_EQ(c.read ? c.value : 12345, value) << (c.text ? c.text : "null");
	}
	int value = 0;
	const char* text = "17,-3";
	EXPECT_EQ(text + 2, ScanInt(text, value));
}

TEST(CheckedNumber, HexadecimalsReadAsTheScanDoesAndSaturate)
{
	const struct
	{
		const char* text;
		bool read;
		unsigned value;
	} cases[] = {
		{"FF102030", true, 0xFF102030u},
		{"0xff", true, 0xFFu},
		{" 0X1f", true, 0x1Fu},
		{"0x", true, 0},
		{"0xg", true, 0},
		{"-1", true, 0xFFFFFFFFu},
		{"ffffffffff", true, 0xFFFFFFFFu},
		{"99999999999", true, 0xFFFFFFFFu},
		{"x1", false, 0},
		{"", false, 0},
	};
	for (const auto& c : cases) {
		unsigned value = 12345;
		EXPECT_EQ(c.read, ReadHex(c.text, value)) << c.text;
		EXPECT_EQ(c.read ? c.value : 12345u, value) << c.text;
	}
}

TEST(CheckedNumber, ArithmeticStopsAtTheLimits)
{
	EXPECT_EQ(5, AddSaturated(2, 3));
	EXPECT_EQ(INT_MAX, AddSaturated(INT_MAX, 1));
	EXPECT_EQ(INT_MIN, AddSaturated(INT_MIN, -1));
	EXPECT_EQ(INT_MIN, SubtractSaturated(INT_MIN, 1));
	EXPECT_EQ(INT_MAX, SubtractSaturated(0, INT_MIN));
	EXPECT_EQ(-6, MultiplySaturated(2, -3));
	EXPECT_EQ(INT_MAX, MultiplySaturated(INT_MAX, 1000));
	EXPECT_EQ(INT_MIN, MultiplySaturated(INT_MIN, 2));
	// Percentages truncate toward zero as the integer formula does.
	EXPECT_EQ(25, ScalePercent(24, 108));
	EXPECT_EQ(-25, ScalePercent(-24, 108));
	EXPECT_EQ(INT_MAX, ScalePercent(INT_MAX, 166));
	EXPECT_EQ(INT_MAX, ClampToInt(1LL << 40));
	EXPECT_EQ(INT_MIN, ClampToInt(-(1LL << 40)));
}
