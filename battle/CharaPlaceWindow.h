#ifndef MORVALETH_BATTLE_CHARAPLACEWINDOW_H
#define MORVALETH_BATTLE_CHARAPLACEWINDOW_H

#include "battle/CharaListPane.h"
#include "gui/GcnWindow.h"
#include "gui/MouseHandler.h"

/// What the placement window tells its owner.
class TCharaPlaceListener
{
public:
	/// The player picked entry i of the list, a character not yet placed; it is now the selected one.
	virtual void PlaceEntryChosen(int entry) = 0;

protected:
	/// Owners are never deleted through the listener.
	~TCharaPlaceListener() {}
};

/// The small window that lists the characters of the group being placed before a battle; the owner gives it the
/// group and its placed flags (a placed character leaves its cell empty) and places the selected character.
class TCharaPlaceWindow : public TGcnWindow
{
public:
	/// Not laid out, not opaque, no listener; the owner hides it after creating it.
	TCharaPlaceWindow();

	/// Lays the window out on first use; then selects the first entry and shows the window.
	void Show();
	/// Tells the listener (null: nobody) of the entries the player picks.
	void SetListener(TCharaPlaceListener* listener) { m_Listener = listener; }

	/// The list of the group: the owner sets its list and placed flags and may move the selection.
	TCharaListPane m_Pane;

private:
	/// Receives the pane's mouse events for the window.
	class TPaneMouse : public TMouseHandler
	{
	public:
		/// Hears the pane for the window.
		explicit TPaneMouse(TCharaPlaceWindow& window) : m_Window(window) {}
		/// A press on a shown entry selects it and reports it.
		virtual void mousePressed(gcn::MouseEvent& mouseEvent);
		/// Hovering means nothing here.
		virtual void mouseMoved(gcn::MouseEvent&) {}

	private:
		/// The window whose pane and listener it serves.
		TCharaPlaceWindow& m_Window;
	};

	/// Skin, dark pane, the pane added and the window sized to it.
	void Layout();

	/// Hears the pane's presses.
	TPaneMouse m_PaneMouse;
	/// Hears the entries picked; null for nobody.
	TCharaPlaceListener* m_Listener;
	/// The window was laid out (at its first showing).
	bool m_LaidOut;
};

#endif
