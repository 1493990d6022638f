#include "gui/Grid.h"

#include "gui/GuiContext.h"
#include "media/CharDrawer.h"

#include <algorithm>
#include <cstdlib>
#include <guichan/graphics.hpp>
#include <guichan/mouseevent.hpp>

namespace
{
const int ROW_HEIGHT = 14;
const int GRID_FONT_SIZE = 12;
// Pixels a byte of text takes when the leading columns widen to it, and the margin around it.
const int WIDTH_PER_BYTE = 6;
const int WIDTH_MARGIN = 4;
// Texts start 2 pixels below their row's line and 2 pixels inside their column.
const int TEXT_TOP = 2;
const int TEXT_INSET = 2;
const gcn::Color WHITE(255, 255, 255, 255);
}

TGcnGridModel::TGcnGridModel(const TColumn* columns, int columnCount, int grownColumns)
	: m_Columns(columns), m_ColumnCount(columnCount), m_GrownColumns(grownColumns),
	  m_SortDescending(columnCount, false)
{
	for (int c = 0; c < columnCount; ++c)
		m_Widths.push_back(columns[c].startWidth);
}

TGcnGridModel::~TGcnGridModel()
{
}

int TGcnGridModel::GetColumnCount() const
{
	return m_ColumnCount;
}

int TGcnGridModel::GetRowCount() const
{
	return static_cast<int>(m_Rows.size()) + 1;
}

std::string TGcnGridModel::GetCellText(int column, int row) const
{
	if (column < 0 || column >= m_ColumnCount || row < 0 || row >= GetRowCount())
		return std::string();
	return row == 0 ? m_Columns[column].title : m_Rows[row - 1][column];
}

void TGcnGridModel::SortByColumn(int column)
{
	if (column < 0 || column >= m_ColumnCount)
		return;
	const bool descending = m_SortDescending[column];
	const bool numeric = m_Columns[column].numeric;
	// Text compares byte by byte as unsigned values (std::string's order); numbers as 32-bit integers.
	auto less = [column, numeric](const std::vector<std::string>& a, const std::vector<std::string>& b) {
		if (numeric)
			return std::atoi(a[column].c_str()) < std::atoi(b[column].c_str());
		return a[column] < b[column];
	};
	// "Greater" rather than a reversed "less", so that equal cells keep their order in both directions.
	if (descending)
		std::stable_sort(m_Rows.begin(), m_Rows.end(),
			[&less](const std::vector<std::string>& a, const std::vector<std::string>& b) { return less(b, a); });
	else
		std::stable_sort(m_Rows.begin(), m_Rows.end(), less);
	ResetSortFlags();
	m_SortDescending[column] = !descending;
}

int TGcnGridModel::GetColumnWidth(int column) const
{
	return column >= 0 && column < m_ColumnCount ? m_Widths[column] : 0;
}

int TGcnGridModel::GetRowHeight() const
{
	return ROW_HEIGHT;
}

bool TGcnGridModel::IsNumberColumn(int column) const
{
	return column >= 0 && column < m_ColumnCount && m_Columns[column].rightAligned;
}

void TGcnGridModel::Refresh(const TMorvalethGame& game, const TMorvalethData& data)
{
	m_Rows.clear();
	AddRows(game, data);
}

void TGcnGridModel::Clear()
{
	m_Rows.clear();
}

void TGcnGridModel::UpdateColumnWidths()
{
	for (int c = 0; c < m_ColumnCount; ++c) {
		int width = m_Columns[c].startWidth;
		if (c < m_GrownColumns)
			for (const std::vector<std::string>& row : m_Rows)
				width = std::max(width, WIDTH_PER_BYTE * static_cast<int>(row[c].size()) + WIDTH_MARGIN);
		m_Widths[c] = std::min(width, m_Columns[c].maxWidth);
	}
}

int TGcnGridModel::GetTotalWidth() const
{
	int width = 1;
	for (int c = 0; c < m_ColumnCount; ++c)
		width += m_Widths[c];
	return width;
}

void TGcnGridModel::ResetSortFlags()
{
	m_SortDescending.assign(m_ColumnCount, false);
}

TGcnGrid::TGcnGrid()
	: m_Model(nullptr), m_FontSize(GRID_FONT_SIZE)
{
	addMouseListener(this);
}

void TGcnGrid::SetModel(TGcnGridModel* model)
{
	m_Model = model;
}

int TGcnGrid::HeaderColumnAt(int x, int y) const
{
	// The header row includes its lower line (y equal to the row height).
	if (!m_Model || y > m_Model->GetRowHeight())
		return -1;
	int right = 0;
	for (int c = 0; c < m_Model->GetColumnCount(); ++c) {
		right += m_Model->GetColumnWidth(c);
		if (right > x)
			return c;
	}
	return -1;
}

void TGcnGrid::mousePressed(gcn::MouseEvent& mouseEvent)
{
	const int column = HeaderColumnAt(mouseEvent.getX(), mouseEvent.getY());
	if (column >= 0)
		m_Model->SortByColumn(column);
}

void TGcnGrid::draw(gcn::Graphics* graphics)
{
	graphics->setColor(getBackgroundColor());
	graphics->fillRectangle(gcn::Rectangle(0, 0, getWidth(), getHeight()));
	if (!m_Model)
		return;
	const int rows = m_Model->GetRowCount();
	const int rowHeight = m_Model->GetRowHeight();
	const int tableHeight = rowHeight * rows;
	// The drawer is taken when first needed; a size that cannot be loaded leaves the lines alone.
	TGcnCharDrawer* drawer = g_GuiContext.GetCharDrawer(m_FontSize);
	graphics->setColor(WHITE);
	int x = 0;
	for (int c = 0; c < m_Model->GetColumnCount(); ++c) {
		graphics->drawLine(x, 0, x, tableHeight);
		if (drawer)
			DrawColumnTexts(graphics, drawer, c, x);
		x += m_Model->GetColumnWidth(c);
	}
	graphics->drawLine(x, 0, x, tableHeight);
	for (int k = 0; k <= rows; ++k)
		graphics->drawLine(0, k * rowHeight, x, k * rowHeight);
}

void TGcnGrid::DrawColumnTexts(gcn::Graphics* graphics, TGcnCharDrawer* drawer, int column, int x)
{
	const int width = m_Model->GetColumnWidth(column);
	const bool rightAligned = m_Model->IsNumberColumn(column);
	for (int r = 0, y = TEXT_TOP; r < m_Model->GetRowCount(); ++r, y += m_Model->GetRowHeight()) {
		const std::string text = m_Model->GetCellText(column, r);
		// Each byte counts half a glyph, so a double-byte character counts a whole one.
		const int textX = rightAligned && r > 0
			? x + width - drawer->m_GlyphWidth * static_cast<int>(text.size()) / 2 - TEXT_INSET
			: x + TEXT_INSET;
		drawer->DrawString(graphics, textX, y, text.c_str(), WHITE);
	}
}
