#ifndef MORVALETH_TESTS_E2E_BATTLE_H
#define MORVALETH_TESTS_E2E_BATTLE_H

// The battle screen of the sample's windy hill in an 800 x 600 window, as a person finds it: the
// whole 16 x 12 map at the right with the status line under it, the command bar over the map's
// bottom, the magic window in the middle and the name of a special over the map's top.

#include "e2e/PlayDriver.h"

#include <algorithm>
#include <vector>

namespace battle
{
/// A cell of the battle map.
struct TCell
{
	int X, Y;
	bool operator==(const TCell& other) const { return X == other.X && Y == other.Y; }
};

const int MAP_WIDTH = 16;
const int MAP_HEIGHT = 12;
const int CELL = 32;
/// Where the map pane's top-left stands on the screen: the hill's map shows whole, unscrolled.
const int MAP_LEFT = 302;
const int MAP_TOP = 119;
const TRect MAP = {MAP_LEFT, MAP_TOP, CELL * MAP_WIDTH - CELL / 2, CELL * MAP_HEIGHT};
const TColour DARK_PANE = 0x000020;

/// Odd rows lie half a cell to the right of even ones; the half cells at the ends are no cells.
inline bool OnMap(const TCell& cell)
{
	if (cell.Y < 0 || cell.Y >= MAP_HEIGHT)
		return false;
	return cell.Y % 2 == 0 ? cell.X >= 1 && cell.X <= MAP_WIDTH - 1 : cell.X >= 0 && cell.X <= MAP_WIDTH - 2;
}
/// The screen point at the middle of a cell.
inline int CellX(const TCell& cell)
{
	return MAP_LEFT + CELL * cell.X + CELL / 2 * (cell.Y % 2);
}
inline int CellY(const TCell& cell)
{
	return MAP_TOP + CELL * cell.Y + CELL / 2;
}
/// The cell's square on the screen, without its outer pixel.
inline TRect CellRect(const TCell& cell)
{
	return {CellX(cell) - CELL / 2 + 1, CellY(cell) - CELL / 2 + 1, CELL - 2, CELL - 2};
}
/// Every cell of the map, row by row.
inline std::vector<TCell> Cells()
{
	std::vector<TCell> cells;
	for (int y = 0; y < MAP_HEIGHT; ++y)
		for (int x = 0; x < MAP_WIDTH; ++x)
			if (OnMap({x, y}))
				cells.push_back({x, y});
	return cells;
}
/// Screen distance between two cells' middles, squared.
inline int Distance2(const TCell& a, const TCell& b)
{
	const int dx = CellX(a) - CellX(b);
	const int dy = CellY(a) - CellY(b);
	return dx * dx + dy * dy;
}
inline bool Adjacent(const TCell& a, const TCell& b)
{
	return Distance2(a, b) <= CELL * CELL + CELL * CELL / 4 && !(a == b);
}

/// Garm's red cloak, which nobody else wears, in the open and under the shade.
const TColour GARM_CLOAK = 0xD03030;
const TColour SHADED_GARM_CLOAK = 0x681818;
/// The cell where garm stands, found by his cloak; {-1, -1} when unseen.
inline TCell FindGarm(const TShot& shot)
{
	TCell garm = {-1, -1};
	double most = 0.05;
	for (const TCell& cell : Cells()) {
		const double share =
			std::max(shot.ShareOf(CellRect(cell), GARM_CLOAK, 6), shot.ShareOf(CellRect(cell), SHADED_GARM_CLOAK, 6));
		if (share > most) {
			most = share;
			garm = cell;
		}
	}
	return garm;
}

/// A start point of the placement wears a white frame inside its edge.
inline bool StartPoint(const TShot& shot, const TCell& cell)
{
	const TRect rect = CellRect(cell);
	return shot.ShareOf({rect.X + 4, rect.Y + 1, rect.W - 8, 1}, 0xFFFFFF, 8) > 0.9;
}
/// A cell is shaded when the map darkens it, half as bright as it was before.
inline bool Shaded(const TShot& shot, const TShot& before, const TCell& cell)
{
	const TRect rect = CellRect(cell);
	long now = 0;
	long then = 0;
	for (int y = rect.Y; y < rect.Y + rect.H; y += 3)
		for (int x = rect.X; x < rect.X + rect.W; x += 3) {
			const TColour a = shot.Pixel(x, y);
			const TColour b = before.Pixel(x, y);
			now += (a >> 16) + ((a >> 8) & 0xFF) + (a & 0xFF);
			then += (b >> 16) + ((b >> 8) & 0xFF) + (b & 0xFF);
		}
	return now * 10 < then * 7;
}

// The command bar: nine 32-pixel buttons over a dark strip, centred over the map's bottom.
const int COMMAND_LEFT = 406;
const int COMMAND_TOP = 439;
enum { WAIT, MOVE, ATTACK, MAGIC, SPECIAL };
inline int CommandX(int command)
{
	return COMMAND_LEFT + 32 * command + 16;
}
const int COMMAND_Y = COMMAND_TOP + 16;
const TRect COMMAND_STRIP = {COMMAND_LEFT + 8, COMMAND_TOP + 36, 270, 16};
inline bool CommandBar(const TShot& shot)
{
	return shot.ShareOf(COMMAND_STRIP, DARK_PANE, 8) > 0.9;
}
/// A disabled command's button is darkened: its brightest pixels stay dim.
inline bool Enabled(const TShot& shot, int command)
{
	int bright = 0;
	for (int y = COMMAND_TOP + 2; y < COMMAND_TOP + 30; ++y)
		for (int x = CommandX(command) - 14; x < CommandX(command) + 14; ++x) {
			const TColour c = shot.Pixel(x, y);
			bright += (c >> 16) + ((c >> 8) & 0xFF) + (c & 0xFF) > 3 * 150;
		}
	return bright > 10;
}

/// The status line under the map ("<name>に命令を") stands in a black box as wide as its text: its
/// width tells whose turn it is.
inline int StatusLineWidth(const TShot& shot)
{
	int width = 0;
	for (int x = MAP_LEFT; x < MAP_LEFT + 330; ++x)
		width += shot.Pixel(x, MAP_TOP + MAP.H + 5) == 0x000000;
	return width;
}
/// Status-line widths of leon's ("レオンに命令を") and of any other name.
const int LEON_LINE = 8 * 14 + 32;

/// The hovered cell's ground, at the left of the status line; a wait or a move clears it.
const TRect HOVERED_GROUND = {MAP_LEFT + 8, MAP_TOP + MAP.H + 6, 32, 32};
inline bool GroundShown(const TShot& shot)
{
	return shot.ShareOf(HOVERED_GROUND, DARK_PANE, 8) < 0.5;
}
/// A cell of the map's top-left that no window covers, for the pointer to rest on.
const TCell RESTING_CELL = {2, 1};

/// The acting character, or the one under the pointer, at the right of the status line: gone once an
/// attack starts.
const TRect ACTOR_BOX = {MAP_LEFT + MAP.W - 150, MAP_TOP + MAP.H + 5, 140, 40};
inline bool ActorShown(const TShot& shot)
{
	return shot.ShareOf(ACTOR_BOX, 0x000000, 4) > 0.3;
}

/// A message box in the middle of the screen, between its text and its OK button.
const TRect MESSAGE = {330, 306, 140, 6};
inline bool Message(const TShot& shot)
{
	return shot.ShareOf(MESSAGE, 0xA0A0A0, 16) > 0.9;
}

/// The magic window over the screen's middle, and the first cell of its third pane (ヒール of the
/// holy magic).
const TRect MAGIC_BODY = {60, 300, 200, 100};
const int HEAL[] = {657, 209};
inline bool MagicWindow(const TShot& shot)
{
	return shot.ShareOf(MAGIC_BODY, 0x181880, 8) > 0.9;
}

/// Cells that a shade darkened, or left lit, since the shot before; those under the command bar
/// in that shot are left out.
inline std::vector<TCell> CellsShaded(const TShot& shot, const TShot& before, bool shaded)
{
	std::vector<TCell> found;
	for (const TCell& cell : Cells()) {
		const bool underBar = CellY(cell) + CELL / 2 > COMMAND_TOP && CellX(cell) + CELL / 2 > COMMAND_LEFT
			&& CellX(cell) - CELL / 2 < COMMAND_LEFT + 9 * CELL + 2;
		if (!underBar && Shaded(shot, before, cell) == shaded)
			found.push_back(cell);
	}
	return found;
}

/// The name of a special being used stands in a dark box over the map's top.
const TRect SPECIAL_NAME = {MAP_LEFT + 212, MAP_TOP + 10, 72, 18};
inline bool SpecialNameShown(const TShot& shot)
{
	return shot.ShareOf(SPECIAL_NAME, 0x000000, 60) > 0.6;
}
}

#endif
