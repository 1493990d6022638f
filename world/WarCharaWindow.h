#ifndef MORVALETH_WORLD_WARCHARAWINDOW_H
#define MORVALETH_WORLD_WARCHARAWINDOW_H

#include "battle/CharaListPane.h"
#include "gui/GcnWindow.h"
#include "gui/MouseHandler.h"

#include <utility>
#include <vector>
#include <guichan/actionlistener.hpp>
#include <guichan/mouselistener.hpp>
#include <guichan/widget.hpp>
#include <guichan/widgets/button.hpp>

class TMorvalethGame;

/// The army gathered for a war, and its rules: characters of the source areas join at most once, those
/// that have acted never, and no more than an area may hold march.
class TWarArmy
{
public:
	/// Where the army pane draws one chosen character.
	struct TCell
	{
		int area;
		int slot;
		int x;
		int y;
	};
	/// Where the army pane draws an area's name above its characters.
	struct TNameLine
	{
		int area;
		int y;
	};

	/// No game, no target, nothing chosen.
	TWarArmy();

	/// Starts a choice against the target with nothing chosen and no source area.
	void Setup(const TMorvalethGame& game, int target);
	/// The area whose characters may be picked now; -1 for none.
	void SetSource(int area);
	/// Picks the source area's character at the slot; false, with nothing changed, when the rules refuse.
	bool Add(int slot);
	/// Picks every character of the source area that may still join, in slot order, until the army is full.
	void AddAll();
	/// Sends the chosen character back; false when it is not in the army.
	bool Remove(int area, int slot);
	/// Sends everyone back, from every area.
	void Clear();

	/// The chosen (area, slot) pairs, by area, then slot.
	const std::vector<std::pair<int, int>>& GetArmy() const { return m_Army; }
	/// How many more may join.
	int GetRemaining() const;
	int GetSource() const { return m_Source; }
	int GetTarget() const { return m_Target; }
	/// One flag per character of the source area, set for the chosen ones; null without a source.
	const std::vector<int>* GetSourceMarks() const;

	/// The army pane's chips and area names, and its height.
	std::vector<TCell> GetCells() const;
	std::vector<TNameLine> GetNameLines() const;
	int GetPaneHeight() const;

private:
	/// Lays the army out in groups of one area, calling back for every name line and chip.
	template <class NameFn, class CellFn> int Walk(NameFn name, CellFn cell) const;

	const TMorvalethGame* m_Game;
	int m_Target;
	int m_Source;
	/// Per area, one flag per stationed character.
	std::vector<std::vector<int>> m_Chosen;
	std::vector<std::pair<int, int>> m_Army;
};

/// The right pane of the war window: the army, grouped by area, each group under its area's name.
class TWarCharaListPane : public gcn::Widget, public gcn::MouseListener
{
public:
	/// Shows the army; presses go to the handler.
	TWarCharaListPane(const TWarArmy& army, TMouseHandler& handler);
	/// The (area, slot) whose chip holds the point; (-1, -1) for none.
	std::pair<int, int> GetChosenAt(int x, int y) const;
	/// Takes the height the army needs.
	void Resize();

	virtual void draw(gcn::Graphics* graphics);
	virtual void mousePressed(gcn::MouseEvent& mouseEvent);

private:
	const TWarArmy& m_Army;
	TMouseHandler& m_Handler;
};

/// The sortie window of a war: the source area's characters on the left, the army on the right, and the
/// buttons to move all, to confirm and to cancel. "確定" and "中止" go to whoever listens to them.
class TWarCharaWindow : public TGcnWindow, public gcn::ActionListener
{
	/// Receives the presses of both panes for the window.
	class TPaneMouse : public TMouseHandler
	{
	public:
		explicit TPaneMouse(TWarCharaWindow& window) : m_Window(window) {}
		/// A press on the left picks a character, one on the right sends it back; consumed.
		virtual void mousePressed(gcn::MouseEvent& mouseEvent);
		virtual void mouseMoved(gcn::MouseEvent&) {}

	private:
		TWarCharaWindow& m_Window;
	};

public:
	/// Empty, not laid out.
	TWarCharaWindow();

	/// Opens the window for a war on the target with an empty army; lays it out on first use.
	void Setup(const TMorvalethGame& game, int target);
	/// Shows the area's characters on the left, where they may be picked.
	void SetSourceArea(int area);
	/// The chosen (area, slot) pairs, by area, then slot.
	const std::vector<std::pair<int, int>>& GetArmy() const { return m_Army.GetArmy(); }
	/// How many have been chosen.
	int GetArmyCount() const { return static_cast<int>(m_Army.GetArmy().size()); }
	/// Empties both panes and hides the window.
	void Close();

	virtual void draw(gcn::Graphics* graphics);
	/// "全て右へ" and "全て左へ".
	virtual void action(const gcn::ActionEvent& actionEvent);
	TWarArmy m_Army;
	TPaneMouse m_PaneMouse;
	TCharaListPane m_SourcePane;
	TWarCharaListPane m_ArmyPane;
	gcn::Button m_AllRightButton;
	gcn::Button m_AllLeftButton;
	gcn::Button m_ConfirmButton;
	gcn::Button m_CancelButton;

private:
	/// Gives the left pane the source area's characters with their choice flags; nothing without a source.
	void RefreshSourcePane();
	void Layout();
	/// Buttons below the taller pane, the window sized to them, "確定" usable with an army.
	void Relayout();

	const TMorvalethGame* m_Game;
	bool m_LaidOut;
};

#endif
