#include "app/HexGrid.h"

#include "app/Logger.h"

#include <algorithm>

/// Offsets of the cells around a centre ring by ring, one table per parity of the centre's row.
std::vector<point_t> g_NeighborOffsets[2];
/// Index of the first cell of each ring in either offset table; the last entry is the table size.
std::vector<int> g_NeighborRingStart;

int RowParity(int y)
{
	return ((y % 2) + 2) % 2;
}

namespace
{
// The six neighbours clockwise from the upper left; odd rows are shifted right
// by half a cell, so the offsets depend on the parity of the row.
const point_t NEIGHBOR_DIRECTIONS[2][6] = {
	{{-1, -1}, {0, -1}, {1, 0}, {0, 1}, {-1, 1}, {-1, 0}},
	{{0, -1}, {1, -1}, {1, 0}, {1, 1}, {0, 1}, {-1, 0}},
};

// A plain scan: it runs for every neighbour of every cell while the game starts.
bool Contains(const std::vector<point_t>& table, int from, int to, const point_t& cell)
{
	const point_t* entries = table.data();
	for (int i = from; i < to; ++i)
		if (entries[i].x == cell.x && entries[i].y == cell.y)
			return true;
	return false;
}

// Appends the unseen neighbours of every cell of ring r; a neighbour of a ring-r
// cell lies in ring r-1, r or r+1, so only those are searched for duplicates.
// A full table stops the ring in progress.
void AppendNextRing(std::vector<point_t>& table, int r, int& count)
{
	int searchFrom = r == 0 ? 0 : g_NeighborRingStart[r - 1];
	for (int i = g_NeighborRingStart[r]; i < g_NeighborRingStart[r + 1]; ++i) {
		const point_t cell = table[i];
		for (const point_t& d : NEIGHBOR_DIRECTIONS[RowParity(cell.y)]) {
			const point_t neighbor = {cell.x + d.x, cell.y + d.y};
			if (Contains(table, searchFrom, count, neighbor))
				continue;
			if (count >= static_cast<int>(table.size())) {
				g_Logger.Error("近傍座標算出でオーバーフローが起こりました。");
				return;
			}
			table[count++] = neighbor;
		}
	}
}

// The centre sits on a row of the given parity so that every cell's own row
// parity picks the right offsets.
void BuildParity(int parity)
{
	std::vector<point_t>& table = g_NeighborOffsets[parity];
	table.assign(NEIGHBOR_TABLE_SIZE, point_t());
	g_NeighborRingStart.assign(NEIGHBOR_RING_MAX + 2, 0);
	table[0] = {0, parity};
	g_NeighborRingStart[1] = 1;
	int count = 1;
	for (int r = 0; r < NEIGHBOR_RING_MAX; ++r) {
		AppendNextRing(table, r, count);
		g_NeighborRingStart[r + 2] = count;
	}
}
}

void BuildNeighborTable()
{
	BuildParity(0);
	BuildParity(1);
	for (point_t& offset : g_NeighborOffsets[1])
		offset.y -= 1;
}

namespace
{
// Readers of the table work even before start-up has built it (tests, tools):
// the table is built on first use instead of being read empty.
void EnsureNeighborTable()
{
	if (g_NeighborRingStart.empty())
		BuildNeighborTable();
}
}

int GetNeighborRingStart(int r)
{
	EnsureNeighborTable();
	return g_NeighborRingStart[std::clamp(r, 0, NEIGHBOR_RING_MAX + 1)];
}

const point_t& GetNeighborOffset(int parity, int index)
{
	static const point_t CENTRE;
	EnsureNeighborTable();
	if (index < 0 || index >= NEIGHBOR_TABLE_SIZE)
		return CENTRE;
	return g_NeighborOffsets[RowParity(parity)][index];
}

void GetNeighborCells(int x, int y, int width, int height, int r, std::vector<point_t>& out)
{
	if (r < 0)
		return;
	r = std::min(r, NEIGHBOR_RING_MAX);
	EnsureNeighborTable();
	out.reserve(out.size() + 3 * r * (r + 1) + 1);
	const std::vector<point_t>& table = g_NeighborOffsets[RowParity(y)];
	const int n = g_NeighborRingStart[r + 1];
	for (int i = 0; i < n; ++i) {
		const point_t cell = {x + table[i].x, y + table[i].y};
		if (cell.x >= 0 && cell.x <= width - 1 && cell.y >= 0 && cell.y <= height - 1)
			out.push_back(cell);
	}
}
