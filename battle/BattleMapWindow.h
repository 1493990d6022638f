#ifndef MORVALETH_BATTLE_BATTLEMAPWINDOW_H
#define MORVALETH_BATTLE_BATTLEMAPWINDOW_H

#include "battle/BattleMapPanes.h"
#include "gui/GcnWindow.h"

#include <functional>
#include <string>
#include <guichan/mouselistener.hpp>
#include <guichan/widgets/scrollarea.hpp>

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

	gcn::ScrollArea m_Scroll;
	TBattleMapPane m_MapPane;
	TBattleTopPane m_TopPane;
	TBattleBottomPane m_BottomPane;
	/// A text shown over the map (the special being used); empty for none.
	std::string m_Message;

private:
	/// Hands the map pane's presses (consumed) and moves to the owner's handler.
	class TMapMouse : public gcn::MouseListener
	{
	public:
		explicit TMapMouse(TBattleMapWindow& window) : m_Window(window) {}
		virtual void mousePressed(gcn::MouseEvent& mouseEvent);
		virtual void mouseMoved(gcn::MouseEvent& mouseEvent);

	private:
		TBattleMapWindow& m_Window;
	};

	std::function<void()> m_FrameStep;
	TMouseHandler* m_MouseHandler;
	TMapMouse m_MapMouse;
};

#endif
