#ifndef MORVALETH_BATTLE_HEXGEOMETRY_H
#define MORVALETH_BATTLE_HEXGEOMETRY_H

#include "app/HexGrid.h"

// Cells of a battle map are 32 x 32 pixels; odd rows lie half a cell to the
// right of even rows, so every cell has six neighbours, numbered clockwise:
// 0 up-left, 1 up-right, 2 right, 3 down-right, 4 down-left, 5 left.

/// Side of a cell in pixels.
const int HEX_CELL_SIZE = 32;
/// Number of neighbours of a cell.
const int HEX_NEIGHBOR_COUNT = 6;

/// Neighbour k (0..5) of (x, y), which may lie off the map; needs the neighbour table built. Another k gives (x, y) with an Error.
point_t GetAdjacentCell(int x, int y, int k);

/// (x1, y1) is one of the six neighbours of (x0, y0).
bool IsAdjacentCell(int x0, int y0, int x1, int y1);

/// The cell under map pane pixel (px, py), clamped into a width x height map.
point_t CellFromPixel(int px, int py, int width, int height);

/// Map pane pixel at the centre of cell (x, y).
point_t CellCenterPixel(int x, int y);

/// True for a whole cell of a width x height map; the half cells cut off at the left and right edges are outside.
bool IsInsideMap(int x, int y, int width, int height);

/// Distance in pixels between the centres of two cells, rows counted 32 pixels apart, truncated.
int HexPixelDistance(int x0, int y0, int x1, int y1);

/// Which of the six neighbour directions (0..5) points from the first cell towards the second; 5 for the cell itself.
int HexDirection6(int x0, int y0, int x1, int y1);

/// Eight-way direction from the first cell towards the second: 0 up, then clockwise to 7 up-left; 5 for the cell itself.
int HexDirection8(int x0, int y0, int x1, int y1);

#endif
