#ifndef MORVALETH_BATTLE_CHARALISTPANE_H
#define MORVALETH_BATTLE_CHARALISTPANE_H

#include "model/GameRecords.h"

#include <vector>
#include <guichan/mouselistener.hpp>
#include <guichan/widget.hpp>

/// Hears the presses and moves over the pane.
class TMouseHandler;

/// A grid of character chips, one 40 x 40 cell per list entry in list order, from which the player picks
/// characters; marked entries leave their cell empty, acted ones carry "End", the selected one a frame.
class TCharaListPane : public gcn::Widget, public gcn::MouseListener
{
public:
	/// Cells of a row.
	static const int COLUMNS = 5;
	/// Rows of the grid.
	static const int ROWS = 4;
	/// Width and height of a cell in pixels.
	static const int CELL = 40;

	/// 5 x 4 cells, no list, nothing hovered or selected, no handler; listens to its own mouse events.
	TCharaListPane();

	/// Shows the list (null: nothing) with its marks (null: none; one per entry, non-zero: not shown); clears the hover.
	void SetList(const std::vector<TCharaInstance>* list, const std::vector<int>* marks);
	/// Sends presses and moves over the pane on to the handler (null: nobody).
	void SetMouseHandler(TMouseHandler* handler) { m_MouseHandler = handler; }
	/// The list index whose cell holds the point; it may lie beyond the list.
	int GetIndexAt(int x, int y) const;
	/// The entry shown in the cell under the point; -1 for an empty cell or one beyond the list.
	int GetShownEntryAt(int x, int y) const;
	/// Number of entries in the list; 0 without a list.
	int GetListSize() const;

	/// Base colour, every shown entry's chip with its "End" label, then the selection frame.
	virtual void draw(gcn::Graphics* graphics);
	/// Hands the press to the handler; the pane itself changes nothing.
	virtual void mousePressed(gcn::MouseEvent& mouseEvent);
	/// The entry under the mouse becomes the hovered one (an empty cell beyond the list keeps it), then the handler.
	virtual void mouseMoved(gcn::MouseEvent& mouseEvent);

	/// Entry under the mouse last time it was over one; -1 for none.
	int m_Hovered;
	/// Entry drawn with the selection frame; -1 for none.
	int m_Selected;

private:
	/// Whether entry i is in the list and not marked.
	bool IsShown(int i) const;
	/// The chip of entry i at its cell, with "End" when it has acted.
	void DrawEntry(gcn::Graphics* graphics, int i) const;
	/// Four nested outlines in the selection colour at the selected cell.
	void DrawSelectionFrame(gcn::Graphics* graphics) const;

	/// The owner's list; null for none.
	const std::vector<TCharaInstance>* m_List;
	/// The owner's marks, one per entry (non-zero: not shown); null for none.
	const std::vector<int>* m_Marks;
	/// Hears the presses and moves; null for nobody.
	TMouseHandler* m_MouseHandler;
};

#endif
