#include "gui/GridWindows.h"

#include "app/GameConfig.h"
#include "app/GameMaster.h"
#include "gui/GuiContext.h"
#include "gui/SkinManager.h"

#include <algorithm>
#include <guichan/gui.hpp>

namespace
{
const int CLOSE_WIDTH = 56;
const int CLOSE_HEIGHT = 24;
// The close button sits in the top right corner above the table.
const int CLOSE_RIGHT = 64;
const int CLOSE_TOP = 4;
const int TABLE_TOP = 32;
const int MAX_VISIBLE_HEIGHT = 512;
}

TGcnGridWindow::TGcnGridWindow()
	: m_CloseButton("閉じる"), m_Model(nullptr)
{
	m_CloseButton.setSize(CLOSE_WIDTH, CLOSE_HEIGHT);
	if (g_GameMaster.m_Skin)
		g_GameMaster.m_Skin->SetupButton(&m_CloseButton);
	add(&m_CloseButton);

	m_Grid.setPosition(0, 0);
	m_Grid.setBackgroundColor(g_Config.GetGuiColor(GUICOLOR_DARK_PANE));
	m_ScrollArea.setScrollbarWidth(g_Config.GetIntValue(CONFIG_SCROLLBAR_WIDTH));
	m_ScrollArea.setVerticalScrollPolicy(gcn::ScrollArea::SHOW_ALWAYS);
	m_ScrollArea.setContent(&m_Grid);
	m_ScrollArea.setBackgroundColor(m_Grid.getBackgroundColor());
	add(&m_ScrollArea, 0, TABLE_TOP);

	if (g_GameMaster.m_Skin)
		g_GameMaster.m_Skin->SetupWindow(this);
	resizeToContent();
}

void TGcnGridWindow::UseModel(TGcnGridModel* model)
{
	m_Model = model;
	m_Grid.SetModel(model);
}

void TGcnGridWindow::Open()
{
	m_Model->ResetSortFlags();
	if (g_GameMaster.m_Game && g_GameMaster.m_Data)
		m_Model->Refresh(*g_GameMaster.m_Game, *g_GameMaster.m_Data);
	else
		m_Model->Clear();
	m_Model->UpdateColumnWidths();
	m_Model->SortByColumn(0);

	// The header, the rows and the bottom line.
	const int width = m_Model->GetTotalWidth();
	const int height = m_Model->GetRowHeight() * m_Model->GetRowCount() + 1;
	const int scrollbar = m_ScrollArea.getScrollbarWidth();
	m_Grid.setSize(width, height);
	m_ScrollArea.setSize(width + scrollbar, std::min(height, MAX_VISIBLE_HEIGHT));
	m_CloseButton.setPosition(width + scrollbar - CLOSE_RIGHT, CLOSE_TOP);

	resizeToContent();
	setVisible(true);
	if (getParent())
		getParent()->moveToTop(this);
	g_GuiContext.CenterWidget(this);
}

TAreaGridWindow::TAreaGridWindow()
{
	UseModel(&m_Model);
}

TMasterGridWindow::TMasterGridWindow()
{
	UseModel(&m_Model);
}

THeroGridWindow::THeroGridWindow()
{
	UseModel(&m_Model);
}
