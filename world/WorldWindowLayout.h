#ifndef MORVALETH_WORLD_WORLDWINDOWLAYOUT_H
#define MORVALETH_WORLD_WORLDWINDOWLAYOUT_H

#include <vector>
#include <guichan/rectangle.hpp>

// Where the world map's windows go on screens of every size, as plain arithmetic the windows and the tests
// share, and the small helpers the windows have in common.

namespace gcn
{
class Button;
}

/// Width of the screen's left column that the map window leaves free, and the height it leaves.
const int MAP_WINDOW_LEFT_MARGIN = 128;
const int MAP_WINDOW_TOP_MARGIN = 32;
/// Top-left corner of the area window.
const int AREA_WINDOW_X = 4;
const int AREA_WINDOW_Y = 48;
/// Pixels from the area window's bottom to the master window's top.
const int MASTER_WINDOW_GAP = 8;
/// The highest the area window goes on a short screen: just below the map window's caption line.
const int AREA_WINDOW_MIN_Y = 28;
/// The system menu's corner at the bottom left of the screen, which the master window keeps clear of.
const int SYSTEM_MENU_WIDTH = 80;
const int SYSTEM_MENU_HEIGHT = 118;

/// The scroll of a view that puts the point in its middle, held between 0 and the largest scroll.
int CenteredScroll(int point, int view, int maxScroll);

/// Place of a window of that size beside the map: vertically centred, on the half of the screen away from
/// the point (screen x), and moved back onto the screen where it would leave it. Where that covers one of
/// the rectangles the player must still click, the bottom or the top of that side, then of the other side,
/// is taken if it keeps them clear.
gcn::Rectangle PlaceBesideMap(int pointScreenX, int width, int height, int screenWidth, int screenHeight,
	const std::vector<gcn::Rectangle>& keepClear = std::vector<gcn::Rectangle>());

/// The marker of an area on the screen, from its point on the screen: what a click must hit.
gcn::Rectangle AreaMarker(int screenX, int screenY);

/// Place of the hover hint of that size 40 pixels below the point (screen), moved left by its width past
/// the right edge and up by its height and 40 past the bottom edge.
gcn::Rectangle PlaceHint(int pointX, int pointY, int width, int height, int screenWidth, int screenHeight);

/// Places of the area window and, below it, the master window on the screen: the master window is raised so
/// that it ends on the screen and moved right of the system menu where it would lie under it; the area
/// window then moves up as far as the map's caption line allows to keep clear of it.
void PlacePlayerWindows(gcn::Rectangle& areaWindow, gcn::Rectangle& masterWindow, int screenWidth,
	int screenHeight);

/// The rectangle moved (not resized) so that as much of it as fits lies on the screen, its top-left first.
gcn::Rectangle KeepOnScreen(gcn::Rectangle window, int screenWidth, int screenHeight);

/// Skins the button as usable or not (only enables it without a skin).
void SetButtonUsable(gcn::Button& button, bool usable);

/// Tells a first click from a second one on the same row within a number of frames.
class TDoubleClick
{
public:
	/// No click yet.
	TDoubleClick() : m_Frame(-1), m_Row(-1) {}
	/// A click on the row at the frame; true when it is the second click of a double click (which then
	/// starts the detection anew).
	bool Click(int frame, int row, int limit);

private:
	/// Frame and row of a first click that waits for its second; -1 when none waits.
	int m_Frame;
	int m_Row;
};

#endif
