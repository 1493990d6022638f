#ifndef MORVALETH_BATTLE_CHARAMOVEWINDOW_H
#define MORVALETH_BATTLE_CHARAMOVEWINDOW_H

#include "battle/CharaListPane.h"
#include "gui/GcnWindow.h"
#include "gui/MouseHandler.h"
#include "model/GameRecords.h"

#include <vector>
#include <guichan/actionlistener.hpp>
#include <guichan/widgets/button.hpp>

/// The four lists of the move window, column by column from the left, each top to bottom: stationed in A,
/// arriving in A, arriving in B, stationed in B.
enum
{
	/// A's stationed characters, top left; a click marks one to leave for B.
	MOVE_PANE_STATIONED_A = 0,
	/// The characters coming from B, under A's; a click sends one back.
	MOVE_PANE_ARRIVING_A,
	/// The characters coming from A, top right; a click sends one back.
	MOVE_PANE_ARRIVING_B,
	/// B's stationed characters, under B's arrivals; a click marks one to leave for A.
	MOVE_PANE_STATIONED_B,
	/// Number of lists.
	MOVE_PANE_COUNT
};

/// One of the two areas of a move: its characters, which of them leave, and who arrives from the other area.
struct TCharaMoveSide
{
	/// Area index; -1 for none.
	int Area = -1;
	/// The area's stationed characters, in roster order.
	std::vector<TCharaInstance> Stationed;
	/// One per stationed character: 1 when it is marked to leave for the other area.
	std::vector<int> Marks;
	/// Copies of the other area's marked characters, in the order they were marked.
	std::vector<TCharaInstance> Arriving;
	/// For each arriving character, its position in the other area's stationed list.
	std::vector<int> ArrivingFrom;
};

/// The characters marked to move between two neighbouring areas, and the rules for marking them:
/// a character that has acted stays, and no area may end up holding more than its limit.
class TCharaMoveSelection
{
public:
	/// Both areas -1 and empty; nothing hovered.
	TCharaMoveSelection();

	/// Starts a move between the two areas with copies of their characters, nothing marked or hovered.
	void Setup(int areaA, const std::vector<TCharaInstance>& charasA, int areaB,
		const std::vector<TCharaInstance>& charasB);
	/// A click on entry i of a list (MOVE_PANE_*): a stationed character is marked to leave, an arriving one
	/// sent back; false, with nothing changed, when the rules refuse.
	bool Click(int pane, int i);
	/// Cancels every move out of the area (0 = A, 1 = B), then marks the other area's characters, in roster
	/// order, to come to it until it is full.
	void SendAll(int towards);
	/// The entry the mouse rests on in a list becomes the hovered character; an entry beyond the list changes nothing.
	void Hover(int pane, int i);

	/// Positions, ascending, of the characters of the area (0 = A, 1 = B) marked to leave it.
	void GetMoveIndices(int side, std::vector<int>& out) const;
	/// The character the mouse last rested on; null before any since Setup.
	const TCharaInstance* GetHovered() const { return m_HasHovered ? &m_Hovered : nullptr; }
	/// Area 0 (A) or 1 (B).
	const TCharaMoveSide& GetSide(int side) const { return m_Sides[side]; }
	/// The characters a list shows.
	const std::vector<TCharaInstance>& GetPaneList(int pane) const;
	/// The marks of a list of stationed characters; null for a list of arriving ones.
	const std::vector<int>* GetPaneMarks(int pane) const;

private:
	/// Marks the character at position i of from to go to to; false when it has acted, is marked, or to is full.
	bool Mark(TCharaMoveSide& from, TCharaMoveSide& to, int i);
	/// Sends arriving character i of to back to from; false when there is none.
	bool Cancel(TCharaMoveSide& to, TCharaMoveSide& from, int i);
	/// Whether to holds as many characters, staying and arriving, as an area may.
	static bool IsFull(const TCharaMoveSide& to);

	/// Area A (0) and area B (1).
	TCharaMoveSide m_Sides[2];
	/// A copy of the character the mouse last rested on.
	TCharaInstance m_Hovered;
	/// The mouse has rested on a character since Setup.
	bool m_HasHovered;
};

/// What the move window tells its owner.
class TCharaMoveListener
{
public:
	/// "確定": the owner reads the two index lists and moves the characters.
	virtual void MoveConfirmed() = 0;
	/// "中止": nothing moves.
	virtual void MoveCancelled() = 0;

protected:
	/// Owners are never deleted through the listener.
	~TCharaMoveListener() {}
};

/// The world map's window for moving characters between two neighbouring areas in one go: four chip lists,
/// two buttons that mark all, and the confirm and cancel buttons reported to the owner. It changes no game state.
class TCharaMoveWindow : public TGcnWindow, public gcn::ActionListener
{
public:
	/// Four empty lists and the buttons, not laid out, no listener.
	TCharaMoveWindow();

	/// Opens the window for a move between the two areas with their stationed characters; lays it out on first use.
	void Setup(int areaA, const std::vector<TCharaInstance>& charasA, int areaB,
		const std::vector<TCharaInstance>& charasB);
	/// Positions, ascending, of the characters of area A marked to go to B.
	void GetMoveIndices1(std::vector<int>& out) const;
	/// Positions, ascending, of the characters of area B marked to go to A.
	void GetMoveIndices2(std::vector<int>& out) const;
	/// The character the mouse last rested on, for the status window; null before any.
	const TCharaInstance* GetHoveredChara() const { return m_Selection.GetHovered(); }
	/// Tells the listener (null: nobody) of "確定" and "中止".
	void SetListener(TCharaMoveListener* listener) { m_Listener = listener; }

	/// The frame, the title and the two area names.
	virtual void draw(gcn::Graphics* graphics);
	/// The four buttons.
	virtual void action(const gcn::ActionEvent& actionEvent);

	/// The lists, in MOVE_PANE_* order.
	TCharaListPane m_Panes[MOVE_PANE_COUNT];
	/// "全て右へ": everyone who can goes from A to B.
	gcn::Button m_AllRightButton;
	/// "全て左へ": everyone who can goes from B to A.
	gcn::Button m_AllLeftButton;
	/// "確定", reported to the listener.
	gcn::Button m_ConfirmButton;
	/// "中止", reported to the listener.
	gcn::Button m_CancelButton;
	/// The marks and the rules.
	TCharaMoveSelection m_Selection;

private:
	/// Receives the panes' mouse events for the window.
	class TPaneMouse : public TMouseHandler
	{
	public:
		/// Hears the panes for the window.
		explicit TPaneMouse(TCharaMoveWindow& window) : m_Window(window) {}
		/// A press on an entry is a click of the selection; consumed.
		virtual void mousePressed(gcn::MouseEvent& mouseEvent);
		/// The pane's hovered entry becomes the hovered character.
		virtual void mouseMoved(gcn::MouseEvent& mouseEvent);

	private:
		/// The window whose panes and selection it serves.
		TCharaMoveWindow& m_Window;
	};

	/// The list of the pane that sent the event; -1 for another widget.
	int PaneOf(const gcn::MouseEvent& mouseEvent) const;
	/// Gives every pane its list and marks, which clears their hover.
	void GiveListsToPanes();
	/// Places the panes and buttons, then skins and sizes the window.
	void Layout();
	/// An area's name, bold, in the strip above a pane; nothing for area -1.
	void DrawAreaName(gcn::Graphics* graphics, int area, const TCharaListPane& pane);

	/// Hears the four panes.
	TPaneMouse m_PaneMouse;
	/// Hears "確定" and "中止"; null for nobody.
	TCharaMoveListener* m_Listener;
	/// The window was laid out (at its first Setup).
	bool m_LaidOut;
};

#endif
