#include "app/ValueLayer.h"
#include "app/HexGrid.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>
#include <vector>

TEST(ValueLayer, NewLayerHoldsZerosRowByRow)
{
	TValueLayer<int> layer(4, 3);
	EXPECT_EQ(4, layer.Width());
	EXPECT_EQ(3, layer.Height());
	for (int y = 0; y < 3; ++y)
		for (int x = 0; x < 4; ++x)
			EXPECT_EQ(0, layer.At(x, y));

	TValueLayer<point_t> points(2, 2);
	EXPECT_EQ(point_t(), points.At(1, 1));
	TValueLayer<int> negative(-2, 4);
	EXPECT_EQ(0, negative.Width());
	EXPECT_EQ(0, negative.Height());
}

TEST(ValueLayer, RowsAndCellsAddressTheSameValues)
{
	TValueLayer<int> layer(3, 2);
	ASSERT_TRUE(layer.SetRow(1, {7, 8, 9, 10}));
	EXPECT_EQ(8, layer.At(1, 1));
	EXPECT_EQ(0, layer.At(1, 0));
	layer.At(2, 0) = 5;
	std::vector<int> row;
	ASSERT_TRUE(layer.GetRow(0, row));
	EXPECT_EQ((std::vector<int>{0, 0, 5}), row);
	ASSERT_TRUE(layer.GetRow(1, row));
	EXPECT_EQ((std::vector<int>{7, 8, 9}), row);
}

// A column or row outside the layer must not wrap into a neighbouring row.
TEST(ValueLayer, CellsOutsideTheLayerAreRefusedWithoutWrapping)
{
	TCapturedLog log;
	TValueLayer<int> layer(3, 3);
	layer.At(-1, 1) = 4;
	layer.At(3, 0) = 4;
	layer.At(0, 3) = 4;
	layer.At(0, -1) = 4;
	for (int y = 0; y < 3; ++y)
		for (int x = 0; x < 3; ++x)
			EXPECT_EQ(0, layer.At(x, y)) << x << "," << y;
	EXPECT_EQ(0, layer.At(-1, 1));
	const TValueLayer<int>& constant = layer;
	EXPECT_EQ(0, constant.At(5, 5));
	EXPECT_EQ(6, log.CountLines("outside the 3 x 3 layer"));
	EXPECT_FALSE(layer.Contains(-1, 0));
	EXPECT_TRUE(layer.Contains(2, 2));
}

TEST(ValueLayer, BadRowsAreRefusedAndLeaveTheLayerUnchanged)
{
	TCapturedLog log;
	TValueLayer<int> layer(3, 2);
	std::vector<int> row;
	EXPECT_FALSE(layer.GetRow(2, row));
	EXPECT_FALSE(layer.SetRow(-1, {1, 2, 3}));
	EXPECT_FALSE(layer.SetRow(0, {1, 2}));
	EXPECT_EQ(0, layer.At(0, 0));
	EXPECT_EQ(3, log.CountLines("Error"));
}

TEST(ValueLayer, CopiesAreIndependentAndTakeTheSourceSize)
{
	TValueLayer<int> source(2, 2);
	source.At(1, 1) = 3;
	TValueLayer<int> copy(5, 5);
	copy = source;
	EXPECT_EQ(2, copy.Width());
	EXPECT_EQ(2, copy.Height());
	EXPECT_EQ(3, copy.At(1, 1));
	copy.At(1, 1) = 9;
	EXPECT_EQ(3, source.At(1, 1));
}
