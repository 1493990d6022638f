#ifndef MORVALETH_GUI_MOUSEHANDLER_H
#define MORVALETH_GUI_MOUSEHANDLER_H

namespace gcn
{
class MouseEvent;
}

/// What a pane calls on its owner window when the mouse is pressed or moved over it.
class TMouseHandler
{
public:
	/// A button went down over the pane.
	virtual void mousePressed(gcn::MouseEvent& mouseEvent) = 0;
	/// The mouse moved over the pane.
	virtual void mouseMoved(gcn::MouseEvent& mouseEvent) = 0;

protected:
	/// Owners are never deleted through the handler.
	~TMouseHandler() {}
};

#endif
