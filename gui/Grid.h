#ifndef MORVALETH_GUI_GRID_H
#define MORVALETH_GUI_GRID_H

#include <string>
#include <vector>
#include <guichan/mouselistener.hpp>
#include <guichan/widget.hpp>

class TGcnCharDrawer;
class TMorvalethData;
class TMorvalethGame;

/// The rows of a read-only table and how its columns are titled, sized and sorted.
class TGcnGridModel
{
public:
	/// How a column is titled, sized and sorted.
	struct TColumn
	{
		/// Title (Shift-JIS).
		const char* title;
		int startWidth;
		int maxWidth;
		/// Data cells drawn right-aligned.
		bool rightAligned;
		/// Sorted by the cells' numbers; otherwise by their bytes.
		bool numeric;
	};

	virtual ~TGcnGridModel();

	/// Number of columns.
	virtual int GetColumnCount() const;
	/// Number of data rows plus 1 for the header.
	virtual int GetRowCount() const;
	/// Row 0 gives the column's title, row r > 0 data row r - 1; empty outside the table.
	virtual std::string GetCellText(int column, int row) const;
	/// Stable sort of the data rows by the column; the same column sorted again reverses the order.
	virtual void SortByColumn(int column);
	/// Width of the column in pixels.
	virtual int GetColumnWidth(int column) const;
	/// Height of every row in pixels.
	virtual int GetRowHeight() const;
	/// Whether the column's data cells are drawn right-aligned.
	virtual bool IsNumberColumn(int column) const;

	/// Rebuilds the rows from the game.
	void Refresh(const TMorvalethGame& game, const TMorvalethData& data);
	/// Drops every data row.
	void Clear();
	/// Every column at its start width, the leading columns widened to their longest cell, then capped.
	void UpdateColumnWidths();
	/// The width the grid needs: the columns and the last line.
	int GetTotalWidth() const;
	/// The next sort of every column runs ascending.
	void ResetSortFlags();

protected:
	/// A table of the columns (which must outlive the model); the first grownColumns widen to their text.
	TGcnGridModel(const TColumn* columns, int columnCount, int grownColumns);
	/// Appends one row per record of the game, each cell a Shift-JIS text.
	virtual void AddRows(const TMorvalethGame& game, const TMorvalethData& data) = 0;

	/// Data rows, one text per column.
	std::vector<std::vector<std::string>> m_Rows;

private:
	const TColumn* m_Columns;
	const int m_ColumnCount;
	/// Leading columns that widen to their longest cell.
	const int m_GrownColumns;
	/// Current width of each column.
	std::vector<int> m_Widths;
	/// Per column: the next sort runs descending.
	std::vector<bool> m_SortDescending;
};

/// A read-only table drawn with white grid lines in a 12-pixel font; a click on a title sorts by that column.
class TGcnGrid : public gcn::Widget, public gcn::MouseListener
{
public:
	/// No model; the owner sets the size and background colour.
	TGcnGrid();

	/// The model to show (not owned); null shows only the background.
	void SetModel(TGcnGridModel* model);
	/// The column whose title is under the point (widget coordinates); -1 when none.
	int HeaderColumnAt(int x, int y) const;

	/// Background, grid lines and cell texts.
	virtual void draw(gcn::Graphics* graphics);
	/// A press on a column title sorts the table by that column.
	virtual void mousePressed(gcn::MouseEvent& mouseEvent);

private:
	/// Draws one column's texts with its left edge at x.
	void DrawColumnTexts(gcn::Graphics* graphics, TGcnCharDrawer* drawer, int column, int x);

	TGcnGridModel* m_Model;
	/// Glyph size of the cell texts.
	int m_FontSize;
};

#endif
