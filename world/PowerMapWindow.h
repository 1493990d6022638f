#ifndef MORVALETH_WORLD_POWERMAPWINDOW_H
#define MORVALETH_WORLD_POWERMAPWINDOW_H

#include "gui/GcnWindow.h"
#include "gui/ImagePane.h"

#include <vector>
#include <guichan/widgets/container.hpp>

/// Width of the legend for names of those lengths (bytes) in glyphs of that width: the widest line, at most 256.
int PowerMapLegendWidth(const std::vector<int>& nameLengths, int glyphWidth);

/// The power map: every owned area in its master's colour, and a legend of the masters in play.
class TPowerMapPane : public gcn::Container
{
public:
	/// The map image pane at the top left; not opaque.
	TPowerMapPane();
	/// Paints the map from the running game and sizes the pane to the map and the legend.
	void Refresh();
	/// The legend's ground and lines, then the map.
	virtual void draw(gcn::Graphics* graphics);

	/// The painted map at the top left, the legend to its right.
	TGcnImagePane m_Image;
};

/// The power map's window; a press on the map or the legend closes it.
class TPowerMapWindow : public TGcnWindow
{
public:
	/// Not opaque, holding the pane; hears presses on the pane and on the map.
	TPowerMapWindow();
	/// Refreshes the map and shows the window on top in the middle of the screen.
	void Show();
	/// A press below the title bar hides the window; the title bar drags it.
	virtual void mousePressed(gcn::MouseEvent& mouseEvent);

	/// The map and its legend.
	TPowerMapPane m_Pane;
};

#endif
