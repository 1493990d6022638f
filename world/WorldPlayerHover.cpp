// The pointer over the world map, as the map pane reports it.

#include "world/WorldMapLogic.h"

void TWorldMapLogic::HoverMap(int x, int y)
{
	// From the player's turn to the found heroes, the map answers the pointer; not while others act.
	if (m_LogicStatus < WORLD_PLAYER_IDLE || m_LogicStatus > WORLD_NEXT_HERO)
		return;
	UpdateHoverText(x, y, true);
	MarkHoverArea(GetAreaAt(x, y));
}

void TWorldMapLogic::LeaveMap()
{
	HoverOffMap();
	m_View.ClearMarks();
}

void TWorldMapLogic::HoverOffMap()
{
	UpdateHoverText(-1, 0, false);
}
