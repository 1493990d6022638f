#include "world/WorldWindowLayout.h"

#include <algorithm>

namespace
{
/// How far from the centre line a window beside the map stays.
const int BESIDE_MAP_GAP = 64;
/// How far below an area's point its hint shows.
const int HINT_DROP = 40;
}

int CenteredScroll(int point, int view, int maxScroll)
{
	return std::min(std::max(point - view / 2, 0), std::max(maxScroll, 0));
}

gcn::Rectangle KeepOnScreen(gcn::Rectangle window, int screenWidth, int screenHeight)
{
	window.x = std::max(0, std::min(window.x, screenWidth - window.width));
	window.y = std::max(0, std::min(window.y, screenHeight - window.height));
	return window;
}

gcn::Rectangle PlaceBesideMap(int pointScreenX, int width, int height, int screenWidth, int screenHeight)
{
	const bool left = pointScreenX < screenWidth / 2;
	const int x = left ? screenWidth / 2 + BESIDE_MAP_GAP : screenWidth / 2 - width - BESIDE_MAP_GAP;
	return KeepOnScreen(gcn::Rectangle(x, (screenHeight - height) / 2, width, height), screenWidth, screenHeight);
}

gcn::Rectangle PlaceHint(int pointX, int pointY, int width, int height, int screenWidth, int screenHeight)
{
	gcn::Rectangle hint(pointX, pointY + HINT_DROP, width, height);
	if (hint.x + width > screenWidth)
		hint.x -= width;
	if (hint.y + height > screenHeight)
		hint.y -= height + HINT_DROP;
	return hint;
}

gcn::Rectangle PlaceMasterWindow(const gcn::Rectangle& areaWindow, int width, int height, int screenWidth,
	int screenHeight)
{
	gcn::Rectangle master(areaWindow.x, areaWindow.y + areaWindow.height + MASTER_WINDOW_GAP, width, height);
	master = KeepOnScreen(master, screenWidth, screenHeight);
	const gcn::Rectangle menu(0, screenHeight - SYSTEM_MENU_HEIGHT, SYSTEM_MENU_WIDTH, SYSTEM_MENU_HEIGHT);
	if (master.isIntersecting(menu))
		master.x = SYSTEM_MENU_WIDTH + AREA_WINDOW_X;
	return KeepOnScreen(master, screenWidth, screenHeight);
}

bool TDoubleClick::Click(int frame, int row, int limit)
{
	const bool second = m_Frame >= 0 && frame <= m_Frame + limit && row == m_Row && row >= 0;
	m_Frame = second ? -1 : frame;
	m_Row = second ? -1 : row;
	return second;
}
