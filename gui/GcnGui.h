#ifndef MORVALETH_GUI_GCNGUI_H
#define MORVALETH_GUI_GCNGUI_H

#include <guichan/gui.hpp>

/// The GUI root: guichan's, except that when windows move, show or hide while the mouse stands still, it
/// looks again at what lies under the pointer, as a mouse move by 0 would. guichan itself only does so when
/// the mouse moves, so a button that came under a still pointer would never see the mouse enter and would
/// take no click until the mouse moved.
class TGcnGui : public gcn::Gui
{
public:
	/// guichan's pass over input and widgets, then the look under the pointer.
	void logic() override;
	/// Whether the mouse move being handled is that look under a still pointer, not a move of the mouse.
	bool IsLookingAgain() const { return m_LookingAgain; }

protected:
	/// The look under the pointer first, so that the widgets under the press have the mouse.
	void handleMousePressed(const gcn::MouseInput& mouseInput) override;
	/// guichan's, noting whether the pointer is over the GUI.
	void handleMouseMoved(const gcn::MouseInput& mouseInput) override;

private:
	/// Sends the exits and entries a mouse move by 0 would, when the pointer is over the GUI, nothing is
	/// dragged, no widget holds the mouse input and the widgets that have the mouse are not those under it.
	void RecheckPointer();
	/// Whether a mouse move by 0 would make a widget exit or enter.
	bool IsHoverStale();

	/// The pointer has come over the GUI and has not left the program's window since. (guichan's list of the
	/// widgets that have the mouse cannot tell: a widget taking the modal focus empties it too.)
	bool m_PointerOver = false;
	/// The mouse move being handled is the look under the still pointer.
	bool m_LookingAgain = false;
};

#endif
