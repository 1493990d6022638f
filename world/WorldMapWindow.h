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
		/// Map point the chip is drawn at.
		int x;
		int y;
		/// The character definition whose chip is drawn.
		int chara;
	};

	/// No areas, routes or chips.
	TWorldMapPane();

	/// One empty highlight and mark per area.
	void InitAreaLists(int areaCount);
	/// Removes every area's ring.
	void ClearHighlights();
	/// Removes every area's mark.
	void ClearMarks();
	/// Rings the area in the colour (AARRGGBB; 0 removes it) and restarts the pulse; an area out of range
	/// gets no ring.
	void SetHighlight(int area, unsigned colour);
	/// Marks the area in the colour (AARRGGBB; 0 removes it); an area out of range is ignored.
	void SetHoverMark(int area, unsigned colour);
	/// Lets the route between the two areas pulse, both ways, and restarts the pulse.
	void AddRoute(int area1, int area2);
	/// No route pulses any more.
	void ClearRoutes();
	/// Adds a marching chip of the character definition at the map point.
	void AddChip(int x, int y, int chara);
	/// Moves chip i (in the order they were added); an unknown chip is ignored.
	void SetChipPosition(int chip, int x, int y);
	/// Removes every marching chip.
	void ClearChips();
	/// Whether the route from one area to the other pulses.
	bool IsRoute(int area1, int area2) const;

	/// Raises the flag and pulse counters.
	virtual void logic();
	/// The field map, then the routes, the flags and names, the pulsing rings, the hover marks and the
	/// marching chips; the field map alone without a game.
	virtual void draw(gcn::Graphics* graphics);

	/// One ring colour per area (AARRGGBB, 0 for none); the rings' radius pulses.
	std::vector<unsigned> m_Highlights;
	/// One hover mark colour per area (AARRGGBB, 0 for none), drawn at a fixed radius.
	std::vector<unsigned> m_Marks;
	/// The marching chips, in the order they were added.
	std::vector<TChip> m_Chips;
	/// Frames since the pane was made, for the flags' animation.
	int m_Frame;
	/// Frames since a ring or a route was last set, for their pulse.
	int m_Pulse;

private:
	/// Every neighbour line of the shown areas, the pulsing ones lighter.
	void DrawRoutes(gcn::Graphics* graphics, int ox, int oy) const;
	/// Every shown area's flag and name.
	void DrawFlags(gcn::Graphics* graphics) const;
	/// Rings of that radius at the areas whose colour is set.
	void DrawRings(gcn::Graphics* graphics, const std::vector<unsigned>& colours, int radius, int ox, int oy) const;

	/// The pulsing routes as (from, to) pairs, each route both ways.
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
	/// The line that tells the player what to click next; empty for none.
	void SetGuideText(const std::string& text) { m_GuideText = text; }
	/// Where the map point shows on the screen.
	void MapToScreen(int x, int y, int& screenX, int& screenY) const;

	/// The frame, the current master's name, the turn (none before the first) and the guide text in the middle
	/// of the caption line.
	virtual void draw(gcn::Graphics* graphics);

	/// Scrolls the map; sized to the screen less its left column and top margin.
	gcn::ScrollArea m_ScrollArea;
	/// The map itself, as large as the field map.
	TWorldMapPane m_Pane;
	/// The guide text shown; empty for none.
	std::string m_GuideText;
};

/// The small window shown while the player watches a battle of computer masters: "観戦中止".
class TWorldMenuWindow : public TGcnWindow
{
public:
	/// The button in a small pane, skinned when there is a skin.
	TWorldMenuWindow();

	/// Holds the button.
	gcn::Container m_Pane;
	/// Reported to whoever listens to it.
	gcn::Button m_StopButton;
};

#endif
