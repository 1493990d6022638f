#ifndef MORVALETH_GUI_GRIDWINDOWS_H
#define MORVALETH_GUI_GRIDWINDOWS_H

#include "gui/GcnWindow.h"
#include "gui/Grid.h"
#include "gui/GridModels.h"

#include <guichan/widgets/button.hpp>
#include <guichan/widgets/scrollarea.hpp>

/// A table of the running game in a window: a close button over a scrolled grid. The close button's
/// action goes to whoever listens to it.
class TGcnGridWindow : public TGcnWindow
{
public:
	/// Rebuilds the table from the game master's game, sorted by its first column, sizes the window to it,
	/// and shows it in the middle of the screen on top of its siblings.
	void Open();

	/// "閉じる"; the owner registers as its action listener.
	gcn::Button m_CloseButton;
	/// Shows at most 512 pixels of the table's height; the rest scrolls.
	gcn::ScrollArea m_ScrollArea;
	/// The table.
	TGcnGrid m_Grid;

protected:
	/// Builds the button and the scrolled grid; the derived window then hands over its model.
	TGcnGridWindow();
	/// The model of the grid (a member of the derived window).
	void UseModel(TGcnGridModel* model);

private:
	TGcnGridModel* m_Model;
};

/// The table of every area.
class TAreaGridWindow : public TGcnGridWindow
{
public:
	TAreaGridWindow();
	TAreaGridModel m_Model;
};

/// The table of the masters in play.
class TMasterGridWindow : public TGcnGridWindow
{
public:
	TMasterGridWindow();
	TMasterGridModel m_Model;
};

/// The table of heroes, masters and the dead.
class THeroGridWindow : public TGcnGridWindow
{
public:
	THeroGridWindow();
	THeroGridModel m_Model;
};

#endif
