#ifndef MORVALETH_APP_HEXGRID_H
#define MORVALETH_APP_HEXGRID_H

#include <vector>

/// A cell or an offset on the hexagonal map: column x, row y.
struct point_t
{
	int x = 0;
	int y = 0;

	bool operator==(const point_t& other) const { return x == other.x && y == other.y; }
	bool operator!=(const point_t& other) const { return !(*this == other); }
};

/// Largest distance the neighbour table reaches.
const int NEIGHBOR_RING_MAX = 32;
/// Cells within NEIGHBOR_RING_MAX of a centre, the centre included.
const int NEIGHBOR_TABLE_SIZE = 3169;

/// Parity of a row: 0 for even rows, 1 for odd ones, negative rows included.
int RowParity(int y);

/// Fills the neighbour table for both row parities; called once at start-up.
void BuildNeighborTable();

/// Index of the first cell of ring r (clamped to 0..33; entry 33 is the table size) in either offset table.
int GetNeighborRingStart(int r);

/// Offset from a centre on a row of the given parity of table entry index (0..3168); (0, 0) outside.
const point_t& GetNeighborOffset(int parity, int index);

/// Appends the cells of a width x height map within distance r (clamped to 0..32; none for r < 0) of (x, y), nearest ring first.
void GetNeighborCells(int x, int y, int width, int height, int r, std::vector<point_t>& out);

#endif
