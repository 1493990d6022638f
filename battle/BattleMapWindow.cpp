#include "battle/BattleMapWindow.h"

#include "app/GameConfig.h"
#include "app/GameMaster.h"
#include "gui/GuiContext.h"
#include "gui/MouseHandler.h"
#include "gui/SkinManager.h"
#include "media/CharDrawer.h"

#include <algorithm>
#include <guichan/graphics.hpp>
#include <guichan/mouseevent.hpp>

namespace
{
const int BOTTOM_HEIGHT = 48;
/// Room the screen keeps beside and around the map window for the other windows.
const int SIDE_ROOM = 128;
const int VERTICAL_ROOM = 32;
const int MESSAGE_FONT = 16;
}

TBattleMapWindow::TBattleMapWindow()
	: m_MouseHandler(nullptr), m_MapMouse(*this)
{
	setOpaque(false);
	m_Scroll.setContent(&m_MapPane);
	m_MapPane.addMouseListener(&m_MapMouse);
	add(&m_Scroll);
	add(&m_TopPane);
	add(&m_BottomPane);
}

void TBattleMapWindow::LayoutForBattle(int screenWidth, int screenHeight)
{
	if (g_GameMaster.m_Skin)
		g_GameMaster.m_Skin->SetupScrollArea(&m_Scroll);
	m_Scroll.setScrollbarWidth(g_Config.GetIntValue(CONFIG_SCROLLBAR_WIDTH));
	m_MapPane.SizeToMap();
	const int width = std::min(screenWidth - SIDE_ROOM, m_MapPane.getWidth());
	const int top = LayOutTopPane(width).height;
	const int height = std::min(screenHeight - VERTICAL_ROOM - top - BOTTOM_HEIGHT, m_MapPane.getHeight());
	m_Scroll.setDimension(gcn::Rectangle(0, top, width, height));
	m_TopPane.setDimension(gcn::Rectangle(0, 0, width, top));
	m_BottomPane.setDimension(gcn::Rectangle(0, height + top, width, BOTTOM_HEIGHT));
	resizeToContent();
	setPosition(screenWidth - getWidth(), (screenHeight - getHeight()) / 2);
	setVisible(true);
}

void TBattleMapWindow::ScrollTo(int px, int py)
{
	TScrollView view;
	view.x = m_Scroll.getHorizontalScrollAmount();
	view.y = m_Scroll.getVerticalScrollAmount();
	view.width = m_Scroll.getChildrenArea().width;
	view.height = m_Scroll.getChildrenArea().height;
	view.maxX = m_Scroll.getHorizontalMaxScroll();
	view.maxY = m_Scroll.getVerticalMaxScroll();
	if (ScrollToPoint(view, px, py))
		m_Scroll.setScrollAmount(view.x, view.y);
}

void TBattleMapWindow::logic()
{
	if (m_FrameStep)
		m_FrameStep();
	TGcnWindow::logic();
}

void TBattleMapWindow::draw(gcn::Graphics* graphics)
{
	TGcnWindow::draw(graphics);
	TGcnCharDrawer* drawer = g_GuiContext.GetCharDrawer(MESSAGE_FONT);
	if (m_Message.empty() || !drawer)
		return;
	const gcn::Rectangle area = getChildrenArea();
	const int width = 8 * static_cast<int>(m_Message.size()) + 32;
	const int x = area.x + (m_Scroll.getWidth() - width) / 2;
	const int y = area.y + m_TopPane.getHeight() + 8;
	graphics->setColor(gcn::Color(0, 0, 0, 192));
	graphics->fillRectangle(gcn::Rectangle(x, y, width, 24));
	drawer->DrawString(graphics, x + 16, y + 4, m_Message.c_str(), gcn::Color(255, 255, 255, 255));
}

void TBattleMapWindow::TMapMouse::mousePressed(gcn::MouseEvent& mouseEvent)
{
	mouseEvent.consume();
	if (m_Window.m_MouseHandler)
		m_Window.m_MouseHandler->mousePressed(mouseEvent);
}

void TBattleMapWindow::TMapMouse::mouseMoved(gcn::MouseEvent& mouseEvent)
{
	if (m_Window.m_MouseHandler)
		m_Window.m_MouseHandler->mouseMoved(mouseEvent);
}
