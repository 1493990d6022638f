#include "battle/HexGeometry.h"

#include "app/Logger.h"

#include <algorithm>
#include <cmath>

point_t GetAdjacentCell(int x, int y, int k)
{
	if (k < 0 || k >= HEX_NEIGHBOR_COUNT) {
		g_Logger.Error(FormatText("GetAdjacentCell: no neighbour %d", k));
		return {x, y};
	}
	// Ring 1 of the shared table runs clockwise from the upper left, the order of the neighbour numbers.
	const point_t& d = GetNeighborOffset(RowParity(y), GetNeighborRingStart(1) + k);
	return {x + d.x, y + d.y};
}

point_t CellFromPixel(int px, int py, int width, int height)
{
	const int y = py / HEX_CELL_SIZE;
	// Even rows start half a cell to the left of odd ones.
	const int x = RowParity(y) == 0 ? (px + HEX_CELL_SIZE / 2) / HEX_CELL_SIZE : px / HEX_CELL_SIZE;
	return {std::max(0, std::min(x, width - 1)), std::max(0, std::min(y, height - 1))};
}

point_t CellCenterPixel(int x, int y)
{
	return {HEX_CELL_SIZE * x + HEX_CELL_SIZE / 2 * RowParity(y), HEX_CELL_SIZE * y + HEX_CELL_SIZE / 2};
}

bool IsInsideMap(int x, int y, int width, int height)
{
	if (y < 0 || y >= height)
		return false;
	return RowParity(y) == 0 ? x >= 1 && x <= width - 1 : x >= 0 && x <= width - 2;
}

int HexPixelDistance(int x0, int y0, int x1, int y1)
{
	const double dx = 16.0 * (2 * (x0 - x1) - RowParity(y1) + RowParity(y0));
	const double dy = 32.0 * (y0 - y1);
	return static_cast<int>(std::sqrt(dx * dx + dy * dy));
}

int HexDirection6(int x0, int y0, int x1, int y1)
{
	const bool leftward = x1 <= x0;
	if (y1 == y0)
		return leftward ? 5 : 2;
	if (y1 > y0)
		return leftward ? 4 : 3;
	return leftward ? 0 : 1;
}

namespace
{
// The four quadrants of the eight-way direction, with u counted upwards and
// half = dx / 2 truncated towards zero.
int LeftDownward(int dx, int u, int half)
{
	if (u < 2 * dx)
		return 4;
	return u > half ? 6 : 5;
}

int LeftUpward(int dx, int u, int half)
{
	if (u <= -2 * dx)
		return u < -half ? 6 : 7;
	return 0;
}

int RightDownward(int dx, int u, int half)
{
	if (u > -half)
		return 2;
	return u < -2 * dx ? 4 : 3;
}

int RightUpward(int dx, int u, int half)
{
	if (u <= 2 * dx)
		return u < half ? 2 : 1;
	return 0;
}
}

int HexDirection8(int x0, int y0, int x1, int y1)
{
	const int dx = x1 - x0;
	const int u = y0 - y1;
	const int half = dx / 2;
	if (dx <= 0)
		return u <= 0 ? LeftDownward(dx, u, half) : LeftUpward(dx, u, half);
	return u <= 0 ? RightDownward(dx, u, half) : RightUpward(dx, u, half);
}

bool IsAdjacentCell(int x0, int y0, int x1, int y1)
{
	for (int k = 0; k < HEX_NEIGHBOR_COUNT; ++k)
		if (GetAdjacentCell(x0, y0, k) == point_t{x1, y1})
			return true;
	return false;
}
