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
		/// The character's area and its position there.
		int area;
		int slot;
		/// Top-left corner of its chip in the pane.
		int x;
		int y;
	};
	/// Where the army pane draws an area's name above its characters.
	struct TNameLine
	{
		/// The area named.
		int area;
		/// Top of the line in the pane.
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
	/// The area whose characters may be picked; -1 for none.
	int GetSource() const { return m_Source; }
	/// The area attacked; -1 before Setup.
	int GetTarget() const { return m_Target; }
	/// One flag per character of the source area, set for the chosen ones; null without a source.
	const std::vector<int>* GetSourceMarks() const;

	/// The army pane's chips: five to a row, each area's group on rows of its own.
	std::vector<TCell> GetCells() const;
	/// The army pane's area names, one above each group.
	std::vector<TNameLine> GetNameLines() const;
	/// The height the army pane needs; a fixed height for an empty army.
	int GetPaneHeight() const;

private:
	/// Lays the army out in groups of one area, calling back for every name line and chip; the pane's height.
	template <class NameFn, class CellFn> int Walk(NameFn name, CellFn cell) const;

	/// The game the army is gathered in; null before Setup.
	const TMorvalethGame* m_Game;
	/// The area attacked; -1 before Setup.
	int m_Target;
	/// The area whose characters may be picked; -1 for none.
	int m_Source;
	/// Per area, one flag per stationed character.
	std::vector<std::vector<int>> m_Chosen;
	/// The chosen (area, slot) pairs, kept sorted.
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

	/// Each group's area name in bold above its chips; only the ground without a game.
	virtual void draw(gcn::Graphics* graphics);
	/// Hands the press to the handler.
	virtual void mousePressed(gcn::MouseEvent& mouseEvent);

private:
	/// The army shown, the window's.
	const TWarArmy& m_Army;
	/// Hears the presses: the window's.
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
		/// Reports to the window it belongs to.
		explicit TPaneMouse(TWarCharaWindow& window) : m_Window(window) {}
		/// A press on the left picks a character, one on the right sends it back; consumed.
		virtual void mousePressed(gcn::MouseEvent& mouseEvent);
		/// Moves change nothing here.
		virtual void mouseMoved(gcn::MouseEvent&) {}

	private:
		/// The window whose army the presses change.
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

	/// The frame with "戦争", the source area's name above the left pane, "攻撃軍（<target>へ）" above the army
	/// and, above the buttons, how many more may join.
	virtual void draw(gcn::Graphics* graphics);
	/// "全て右へ" and "全て左へ".
	virtual void action(const gcn::ActionEvent& actionEvent);
	/// The army being chosen.
	TWarArmy m_Army;
	/// Hears the presses of both panes.
	TPaneMouse m_PaneMouse;
	/// The source area's characters, the chosen ones left empty.
	TCharaListPane m_SourcePane;
	/// The army, grouped by area.
	TWarCharaListPane m_ArmyPane;
	/// "全て右へ" and "全て左へ", heard by the window.
	gcn::Button m_AllRightButton;
	gcn::Button m_AllLeftButton;
	/// "確定" and "中止", reported to whoever listens to them.
	gcn::Button m_ConfirmButton;
	gcn::Button m_CancelButton;

private:
	/// Gives the left pane the source area's characters with their choice flags; nothing without a source.
	void RefreshSourcePane();
	/// Places the panes and skins them, the buttons and the window; once, at the first Setup.
	void Layout();
	/// Buttons below the taller pane, the window sized to them, "確定" usable with an army.
	void Relayout();

	/// The game of the war; null before Setup.
	const TMorvalethGame* m_Game;
	/// Layout has run.
	bool m_LaidOut;
};

#endif
