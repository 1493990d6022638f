#ifndef MORVALETH_BATTLE_BATTLEMAPWINDOW_H
#define MORVALETH_BATTLE_BATTLEMAPWINDOW_H

#include "battle/BattleMapPanes.h"
#include "gui/GcnWindow.h"

#include <functional>
#include <string>
#include <guichan/mouselistener.hpp>
#include <guichan/widgets/scrollarea.hpp>

/// Hears the presses and moves over the map pane.
class TMouseHandler;

/// The battle screen: the map in a scroll area between the top and bottom panes. Its logic runs the
/// battle's frame (hidden or not); presses and moves over the map go to the owner's handler.
class TBattleMapWindow : public TGcnWindow
{
public:
	/// Panes added, not laid out, no frame step, no handler.
	TBattleMapWindow();

	/// The frame step the window's logic runs (empty: none).
	void SetFrameStep(std::function<void()> step) { m_FrameStep = std::move(step); }
	/// Receives presses and moves over the map pane, in pane coordinates (null: nobody).
	void SetMouseHandler(TMouseHandler* handler) { m_MouseHandler = handler; }
	/// Lays the window out for the map in a screen of that size, at the right edge, and shows it.
	void LayoutForBattle(int screenWidth, int screenHeight);
	/// Scrolls the map so that its pixel shows, as near the middle as the map allows.
	void ScrollTo(int px, int py);

	/// Runs the frame step, then the panes' logic.
	virtual void logic();
	/// The window, then the message over the map when there is one.
	virtual void draw(gcn::Graphics* graphics);

	/// Scrolls the map pane when the map is larger than the room the screen leaves.
	gcn::ScrollArea m_Scroll;
	/// The map itself, inside the scroll area.
	TBattleMapPane m_MapPane;
	/// The strip over the map: area, sides, turn and gauges.
	TBattleTopPane m_TopPane;
	/// The strip under the map, 48 pixels high: status line, chara and cell.
	TBattleBottomPane m_BottomPane;
	/// A text shown over the map (the special being used); empty for none.
	std::string m_Message;

private:
	/// Hands the map pane's presses (consumed) and moves to the owner's handler.
	class TMapMouse : public gcn::MouseListener
	{
	public:
		/// Listens for the window, whose handler it reads at each event.
		explicit TMapMouse(TBattleMapWindow& window) : m_Window(window) {}
		/// Consumes the press, so that nothing under the map hears it, and hands it on.
		virtual void mousePressed(gcn::MouseEvent& mouseEvent);
		/// Hands the move on.
		virtual void mouseMoved(gcn::MouseEvent& mouseEvent);

	private:
		/// The window whose handler hears the events.
		TBattleMapWindow& m_Window;
	};

	/// The battle's frame, run by the window's logic; empty for none.
	std::function<void()> m_FrameStep;
	/// Hears the map pane's presses and moves; null for nobody.
	TMouseHandler* m_MouseHandler;
	/// The listener on the map pane.
	TMapMouse m_MapMouse;
};

#endif
