#ifndef MORVALETH_WORLD_WORLDMAPWINDOW_H
#define MORVALETH_WORLD_WORLDMAPWINDOW_H

#include "gui/GcnWindow.h"
#include "gui/ImagePane.h"

#include <string>
#include <utility>
#include <vector>
#include <guichan/widgets/button.hpp>
#include <guichan/widgets/container.hpp>
#include <guichan/widgets/scrollarea.hpp>

/// Where an area's routes and rings are anchored, relative to its point on the map.
const int AREA_ANCHOR_X = 6;
const int AREA_ANCHOR_Y = 30;

/// The world map: the field map in tiles, the routes between neighbours, every area's flag and name,
/// the rings of highlighted and marked areas, and the chips of an army on the march.
class TWorldMapPane : public TGcnImagePaneLarge
{
public:
	/// A marching chip: a character (definition) drawn with its chip at a point of the map.
	struct TChip
	{
		int x;
		int y;
		int chara;
	};

	/// No areas, routes or chips.
	TWorldMapPane();

	/// One empty highlight and mark per area.
	void InitAreaLists(int areaCount);
	void ClearHighlights();
	void ClearMarks();
	/// Rings the area in the colour (AARRGGBB; 0 removes it) and restarts the pulse.
	void SetHighlight(int area, unsigned colour);
	void SetHoverMark(int area, unsigned colour);
	/// Lets the route between the two areas pulse, both ways, and restarts the pulse.
	void AddRoute(int area1, int area2);
	void ClearRoutes();
	void AddChip(int x, int y, int chara);
	void SetChipPosition(int chip, int x, int y);
	void ClearChips();
	/// Whether the route from one area to the other pulses.
	bool IsRoute(int area1, int area2) const;

	/// Raises the flag and pulse counters.
	virtual void logic();
	virtual void draw(gcn::Graphics* graphics);

	std::vector<unsigned> m_Highlights;
	std::vector<unsigned> m_Marks;
	std::vector<TChip> m_Chips;
	int m_Frame;
	int m_Pulse;

private:
	/// Every neighbour line of the shown areas, the pulsing ones lighter.
	void DrawRoutes(gcn::Graphics* graphics, int ox, int oy) const;
	/// Every shown area's flag and name.
	void DrawFlags(gcn::Graphics* graphics) const;
	/// Rings of that radius at the areas whose colour is set.
	void DrawRings(gcn::Graphics* graphics, const std::vector<unsigned>& colours, int radius, int ox, int oy) const;

	std::vector<std::pair<int, int>> m_Routes;
};

/// The map window at the right of the screen: the scrolled map under a caption line with the master's
/// name, the turn and the guide text.
class TWorldMapWindow : public TGcnWindow
{
public:
	/// Title bar 24 pixels, not opaque.
	TWorldMapWindow();
	/// Shows the field map, sizes the view to the screen and moves the window to its right edge.
	void Layout(int screenWidth, int screenHeight);
	/// Scrolls so that the map point lies in the middle of the view, as far as the map allows.
	void CenterOn(int x, int y);
	void SetGuideText(const std::string& text) { m_GuideText = text; }
	/// Where the map point shows on the screen.
	void MapToScreen(int x, int y, int& screenX, int& screenY) const;

	virtual void draw(gcn::Graphics* graphics);

	gcn::ScrollArea m_ScrollArea;
	TWorldMapPane m_Pane;
	std::string m_GuideText;
};

/// The small window shown while the player watches a battle of computer masters: "観戦中止".
class TWorldMenuWindow : public TGcnWindow
{
public:
	TWorldMenuWindow();

	gcn::Container m_Pane;
	/// Reported to whoever listens to it.
	gcn::Button m_StopButton;
};

#endif
