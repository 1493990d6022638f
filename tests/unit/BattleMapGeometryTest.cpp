#include "battle/HexGeometry.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

namespace
{
class BattleMapGeometry : public ::testing::Test
{
protected:
	static void SetUpTestSuite() { BuildNeighborTable(); }
};

point_t P(int x, int y)
{
	return {x, y};
}
}

TEST_F(BattleMapGeometry, PixelsFallInTheCellAroundThem)
{
	EXPECT_EQ(P(0, 0), CellFromPixel(0, 0, 10, 8));
	EXPECT_EQ(P(0, 0), CellFromPixel(15, 0, 10, 8));
	EXPECT_EQ(P(1, 0), CellFromPixel(16, 0, 10, 8));
	EXPECT_EQ(P(0, 1), CellFromPixel(16, 32, 10, 8));
	EXPECT_EQ(P(1, 1), CellFromPixel(32, 40, 10, 8));
}

TEST_F(BattleMapGeometry, PixelsBeyondTheEdgesClampToTheLastCell)
{
	EXPECT_EQ(P(9, 7), CellFromPixel(5000, 5000, 10, 8));
	EXPECT_EQ(P(0, 0), CellFromPixel(-40, -40, 10, 8));
}

TEST_F(BattleMapGeometry, EveryCellCentreLiesInItsOwnCell)
{
	for (int y = 0; y < 8; ++y) {
		for (int x = 0; x < 10; ++x) {
			const point_t centre = CellCenterPixel(x, y);
			EXPECT_EQ(P(x, y), CellFromPixel(centre.x, centre.y, 10, 8)) << x << "," << y;
		}
	}
	EXPECT_EQ(P(0, 16), CellCenterPixel(0, 0));
	EXPECT_EQ(P(80, 48), CellCenterPixel(2, 1));
}

TEST_F(BattleMapGeometry, HalfCellsAtTheSideEdgesAreOutsideTheMap)
{
	EXPECT_FALSE(IsInsideMap(0, 0, 10, 8));
	EXPECT_TRUE(IsInsideMap(9, 0, 10, 8));
	EXPECT_TRUE(IsInsideMap(0, 1, 10, 8));
	EXPECT_FALSE(IsInsideMap(9, 1, 10, 8));
	EXPECT_FALSE(IsInsideMap(4, 8, 10, 8));
	EXPECT_FALSE(IsInsideMap(4, -1, 10, 8));
}

TEST_F(BattleMapGeometry, NeighboursInTheNextRowAreFartherThanInTheSameRow)
{
	EXPECT_EQ(35, HexPixelDistance(0, 0, 0, 1));
	EXPECT_EQ(35, HexPixelDistance(0, 1, 0, 0));
	EXPECT_EQ(32, HexPixelDistance(3, 2, 4, 2));
	EXPECT_EQ(0, HexPixelDistance(3, 3, 3, 3));
	EXPECT_EQ(64, HexPixelDistance(2, 0, 2, 2));
}

TEST_F(BattleMapGeometry, AdjacentCellsFollowTheRowParity)
{
	const point_t even[6] = {{1, 1}, {2, 1}, {3, 2}, {2, 3}, {1, 3}, {1, 2}};
	const point_t odd[6] = {{2, 2}, {3, 2}, {3, 3}, {3, 4}, {2, 4}, {1, 3}};
	for (int k = 0; k < 6; ++k) {
		EXPECT_EQ(even[k], GetAdjacentCell(2, 2, k)) << k;
		EXPECT_EQ(odd[k], GetAdjacentCell(2, 3, k)) << k;
	}
	TCapturedLog log;
	EXPECT_EQ(P(2, 2), GetAdjacentCell(2, 2, 6));
	EXPECT_EQ(1, log.CountLines("no neighbour 6"));
}

TEST_F(BattleMapGeometry, SixWayDirections)
{
	EXPECT_EQ(5, HexDirection6(3, 3, 3, 3));
	EXPECT_EQ(2, HexDirection6(3, 3, 6, 3));
	EXPECT_EQ(5, HexDirection6(3, 3, 0, 3));
	EXPECT_EQ(3, HexDirection6(3, 3, 4, 5));
	EXPECT_EQ(4, HexDirection6(3, 3, 3, 4));
	EXPECT_EQ(1, HexDirection6(3, 3, 4, 2));
	EXPECT_EQ(0, HexDirection6(3, 3, 3, 2));
	// From an odd row every neighbour lies in its own direction.
	for (int k = 0; k < 6; ++k) {
		const point_t cell = GetAdjacentCell(3, 3, k);
		EXPECT_EQ(k, HexDirection6(3, 3, cell.x, cell.y)) << k;
	}
}

TEST_F(BattleMapGeometry, EightWayDirections)
{
	EXPECT_EQ(5, HexDirection8(4, 4, 4, 4));
	EXPECT_EQ(0, HexDirection8(4, 4, 4, 0));
	EXPECT_EQ(1, HexDirection8(4, 4, 6, 2));
	EXPECT_EQ(2, HexDirection8(4, 4, 7, 4));
	EXPECT_EQ(3, HexDirection8(4, 4, 6, 6));
	EXPECT_EQ(4, HexDirection8(4, 4, 4, 9));
	EXPECT_EQ(5, HexDirection8(4, 4, 2, 6));
	EXPECT_EQ(6, HexDirection8(4, 4, 0, 4));
	EXPECT_EQ(7, HexDirection8(4, 4, 2, 2));
	EXPECT_EQ(2, HexDirection8(4, 4, 9, 3));
	EXPECT_EQ(6, HexDirection8(4, 4, 0, 5));
}
