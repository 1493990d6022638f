#include "world/WorldWindowLayout.h"

#include "app/GameMaster.h"
#include "gui/SkinManager.h"

#include <algorithm>
#include <guichan/widgets/button.hpp>

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

gcn::Rectangle PlaceBesideMap(int pointScreenX, int width, int height, int screenWidth, int screenHeight,
	const std::vector<gcn::Rectangle>& keepClear)
{
	const bool left = pointScreenX < screenWidth / 2;
	const int away = left ? screenWidth / 2 + BESIDE_MAP_GAP : screenWidth / 2 - width - BESIDE_MAP_GAP;
	const int near = left ? screenWidth / 2 - width - BESIDE_MAP_GAP : screenWidth / 2 + BESIDE_MAP_GAP;
	const int centred = (screenHeight - height) / 2;
	const struct {
		int x;
		int y;
	} candidates[] = { { away, centred }, { away, screenHeight - height }, { away, 0 }, { near, screenHeight - height },
		{ near, 0 } };
	for (const auto& candidate : candidates) {
		const gcn::Rectangle place =
			KeepOnScreen(gcn::Rectangle(candidate.x, candidate.y, width, height), screenWidth, screenHeight);
		if (std::none_of(keepClear.begin(), keepClear.end(),
				[&place](const gcn::Rectangle& clear) { return place.isIntersecting(clear); }))
			return place;
	}
	return KeepOnScreen(gcn::Rectangle(away, centred, width, height), screenWidth, screenHeight);
}

gcn::Rectangle AreaMarker(int screenX, int screenY)
{
	return gcn::Rectangle(screenX - 17, screenY + 7, 47, 47);
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

void PlacePlayerWindows(gcn::Rectangle& areaWindow, gcn::Rectangle& masterWindow, int screenWidth,
	int screenHeight)
{
	areaWindow.x = AREA_WINDOW_X;
	areaWindow.y = AREA_WINDOW_Y;
	masterWindow.x = AREA_WINDOW_X;
	masterWindow.y = AREA_WINDOW_Y + areaWindow.height + MASTER_WINDOW_GAP;
	masterWindow = KeepOnScreen(masterWindow, screenWidth, screenHeight);
	const gcn::Rectangle menu(0, screenHeight - SYSTEM_MENU_HEIGHT, SYSTEM_MENU_WIDTH, SYSTEM_MENU_HEIGHT);
	if (masterWindow.isIntersecting(menu))
		masterWindow.x = SYSTEM_MENU_WIDTH + AREA_WINDOW_X;
	masterWindow = KeepOnScreen(masterWindow, screenWidth, screenHeight);
	const int clearY = masterWindow.y - MASTER_WINDOW_GAP - areaWindow.height;
	areaWindow.y = std::max(AREA_WINDOW_MIN_Y, std::min(AREA_WINDOW_Y, clearY));
}

bool TDoubleClick::Click(int frame, int row, int limit)
{
	const bool second = m_Frame >= 0 && frame <= m_Frame + limit && row == m_Row && row >= 0;
	m_Frame = second ? -1 : frame;
	m_Row = second ? -1 : row;
	return second;
}

void SetButtonUsable(gcn::Button& button, bool usable)
{
	const TGcnSkinManager* skin = g_GameMaster.m_Skin.get();
	if (!skin)
		button.setEnabled(usable);
	else if (usable)
		skin->SetupButton(&button);
	else
		skin->SetupDisabledButton(&button);
}
