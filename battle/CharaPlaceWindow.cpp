#include "battle/CharaPlaceWindow.h"

#include "app/GameConfig.h"
#include "app/GameMaster.h"
#include "gui/SkinManager.h"

#include <guichan/mouseevent.hpp>

TCharaPlaceWindow::TCharaPlaceWindow()
	: m_PaneMouse(*this), m_Listener(nullptr), m_LaidOut(false)
{
	setOpaque(false);
	m_Pane.SetMouseHandler(&m_PaneMouse);
}

void TCharaPlaceWindow::Show()
{
	if (!m_LaidOut)
		Layout();
	m_Pane.m_Selected = 0;
	setVisible(true);
}

void TCharaPlaceWindow::Layout()
{
	m_LaidOut = true;
	if (g_GameMaster.m_Skin)
		g_GameMaster.m_Skin->SetupWindow(this);
	m_Pane.setBaseColor(g_Config.GetGuiColor(GUICOLOR_DARK_PANE));
	add(&m_Pane);
	resizeToContent();
}

void TCharaPlaceWindow::TPaneMouse::mousePressed(gcn::MouseEvent& mouseEvent)
{
	mouseEvent.consume();
	const int entry = m_Window.m_Pane.GetShownEntryAt(mouseEvent.getX(), mouseEvent.getY());
	if (entry == -1)
		return;
	m_Window.m_Pane.m_Selected = entry;
	if (m_Window.m_Listener)
		m_Window.m_Listener->PlaceEntryChosen(entry);
}
