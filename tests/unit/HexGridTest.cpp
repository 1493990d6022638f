#include "app/HexGrid.h"

#include <gtest/gtest.h>
#include <algorithm>
#include <cstdlib>
#include <vector>

namespace
{
class HexGrid : public ::testing::Test
{
protected:
	static void SetUpTestSuite() { BuildNeighborTable(); }
};

std::vector<point_t> Ring(int parity, int r)
{
	std::vector<point_t> ring;
	for (int i = GetNeighborRingStart(r); i < GetNeighborRingStart(r + 1); ++i)
		ring.push_back(GetNeighborOffset(parity, i));
	return ring;
}

// Distance between two cells of a map whose odd rows are shifted right,
// through cube coordinates.
int HexDistance(point_t a, point_t b)
{
	const int ax = a.x - (a.y - RowParity(a.y)) / 2;
	const int bx = b.x - (b.y - RowParity(b.y)) / 2;
	const int dx = ax - bx;
	const int dz = a.y - b.y;
	return (std::abs(dx) + std::abs(dz) + std::abs(dx + dz)) / 2;
}

std::vector<point_t> Cells(int x, int y, int width, int height, int r)
{
	std::vector<point_t> cells;
	GetNeighborCells(x, y, width, height, r, cells);
	return cells;
}
}

TEST_F(HexGrid, RingStartsGrowBySixCellsPerRingAndRowParityIsZeroOrOneForNegativeRowsToo)
{
	const int starts[][2] = {{0, 0}, {1, 1}, {2, 7}, {3, 19}, {4, 37}, {5, 61}, {32, 2977}, {33, 3169}};
	for (const auto& start : starts)
		EXPECT_EQ(start[1], GetNeighborRingStart(start[0])) << "ring " << start[0];
	for (int r = 1; r <= 32; ++r)
		EXPECT_EQ(6 * r, GetNeighborRingStart(r + 1) - GetNeighborRingStart(r)) << "ring " << r;
	const int parities[][2] = {{0, 0}, {7, 1}, {-1, 1}, {-2, 0}, {-3, 1}};
	for (const auto& row : parities)
		EXPECT_EQ(row[1], RowParity(row[0])) << "row " << row[0];
}

TEST_F(HexGrid, RingOneRunsClockwiseFromUpperLeft)
{
	const std::vector<point_t> even = {{-1, -1}, {0, -1}, {1, 0}, {0, 1}, {-1, 1}, {-1, 0}};
	const std::vector<point_t> odd = {{0, -1}, {1, -1}, {1, 0}, {1, 1}, {0, 1}, {-1, 0}};
	EXPECT_EQ(even, Ring(0, 1));
	EXPECT_EQ(odd, Ring(1, 1));
}

TEST_F(HexGrid, EveryTableEntryIsADistinctCellOfItsRing)
{
	for (int parity = 0; parity < 2; ++parity) {
		const point_t centre = {0, parity};
		EXPECT_EQ(point_t(), GetNeighborOffset(parity, 0));
		std::vector<std::pair<int, int>> seen;
		for (int r = 0; r <= NEIGHBOR_RING_MAX; ++r) {
			for (const point_t& offset : Ring(parity, r)) {
				const point_t cell = {offset.x, parity + offset.y};
				ASSERT_EQ(r, HexDistance(centre, cell)) << "parity " << parity << " (" << offset.x << "," << offset.y << ")";
				seen.push_back({offset.x, offset.y});
			}
		}
		std::sort(seen.begin(), seen.end());
		EXPECT_EQ(seen.end(), std::adjacent_find(seen.begin(), seen.end())) << "parity " << parity;
		EXPECT_EQ(static_cast<std::size_t>(NEIGHBOR_TABLE_SIZE), seen.size());
	}
}

TEST_F(HexGrid, CellsOffTheMapAreLeftOutAndTheRadiusIsClamped)
{
	struct TCase
	{
		int x, y, width, height, r;
		std::vector<point_t> cells;
	};
	const TCase cases[] = {
		{0, 0, 10, 10, 1, {{0, 0}, {1, 0}, {0, 1}}},
		{0, 9, 10, 10, 1, {{0, 9}, {0, 8}, {1, 8}, {1, 9}}},
		// Radius zero gives the centre alone when it is on the map.
		{3, 4, 10, 10, 0, {{3, 4}}},
		{-1, 4, 10, 10, 0, {}},
		{3, 10, 10, 10, 0, {}},
		{5, 5, 10, 10, -1, {}},
		// A negative odd row uses the odd row's offsets.
		{2, -1, 5, 5, 1, {{3, 0}, {2, 0}}},
	};
	for (const TCase& c : cases)
		EXPECT_EQ(c.cells, Cells(c.x, c.y, c.width, c.height, c.r)) << c.x << "," << c.y << " r " << c.r;
	EXPECT_EQ(static_cast<std::size_t>(NEIGHBOR_TABLE_SIZE), Cells(50, 50, 101, 101, 40).size());
	EXPECT_EQ(Cells(50, 51, 101, 101, 32), Cells(50, 51, 101, 101, 1000));
}

TEST_F(HexGrid, CellsAreAppendedNotReplaced)
{
	std::vector<point_t> cells = {{-7, -7}};
	GetNeighborCells(1, 1, 3, 3, 1, cells);
	ASSERT_EQ(8u, cells.size());
	EXPECT_EQ((point_t{-7, -7}), cells[0]);
	EXPECT_EQ((point_t{1, 1}), cells[1]);
}

TEST(HexGridUnbuilt, ReadersWorkBeforeStartUpAndOutsideTheTable)
{
	// Run alone (as ctest does), this reads the table before anything built it.
	std::vector<point_t> cells;
	GetNeighborCells(5, 5, 10, 10, 1, cells);
	EXPECT_EQ(7u, cells.size());
	EXPECT_EQ(NEIGHBOR_TABLE_SIZE, GetNeighborRingStart(99));
	EXPECT_EQ(0, GetNeighborRingStart(-1));
	EXPECT_EQ(point_t(), GetNeighborOffset(0, NEIGHBOR_TABLE_SIZE));
	EXPECT_EQ(point_t(), GetNeighborOffset(1, -1));
}
