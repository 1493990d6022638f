#include "battle/BattleCommandWindow.h"

#include "app/GameConfig.h"
#include "app/GameMaster.h"
#include "app/Logger.h"
#include "gui/GuiContext.h"
#include "gui/SkinManager.h"
#include "media/CharDrawer.h"
#include "media/MorvalethImage.h"

#include <guichan/graphics.hpp>
#include <guichan/mouseevent.hpp>

namespace
{
const int LABEL_FONT = 16;
const int LABEL_GLYPH = 8;
const gcn::Color SHADE(0, 0, 0, 128);
const gcn::Color WHITE(255, 255, 255, 255);
}

TBattleCommandWindow::TBattleCommandWindow()
	: m_Hovered(-1), m_HasLabels(false), m_HoverListener(*this), m_LaidOut(false)
{
	setTitleBarHeight(0);
	setPadding(0);
	setMovable(false);
	for (int i = 0; i < COMMAND_COUNT; ++i) {
		m_Buttons[i].setDimension(gcn::Rectangle(BUTTON_SIZE * i, 0, BUTTON_SIZE, BUTTON_SIZE));
		m_Buttons[i].setActionEventId(FormatText("%d", i));
		m_Buttons[i].setFocusable(false);
		add(&m_Buttons[i]);
	}
	addMouseListener(&m_HoverListener);
}

void TBattleCommandWindow::SetActionListener(gcn::ActionListener* listener)
{
	for (TCommandButton& button : m_Buttons)
		button.addActionListener(listener);
}

void TBattleCommandWindow::Layout()
{
	m_LaidOut = true;
	if (g_GameMaster.m_Skin)
		g_GameMaster.m_Skin->SetupWindow(this);
	setTitleBarHeight(0);
	setPadding(0);
	for (int i = 0; i < COMMAND_COUNT; ++i)
		m_Buttons[i].m_Image = g_GameMaster.m_Image ? g_GameMaster.m_Image->GetCommandImage(i) : nullptr;
	setSize(BUTTON_SIZE * COMMAND_COUNT + 2 * getFrameSize(), BUTTON_SIZE + STRIP_HEIGHT + 2 * getFrameSize());
}

void TBattleCommandWindow::Show(const TCommandMenu& menu)
{
	if (!m_LaidOut)
		Layout();
	m_Menu = menu;
	m_HasLabels = true;
	for (int i = 0; i < COMMAND_COUNT; ++i) {
		if (!g_GameMaster.m_Skin)
			m_Buttons[i].setEnabled(menu.enabled[i]);
		else if (menu.enabled[i])
			g_GameMaster.m_Skin->SetupButton(&m_Buttons[i]);
		else
			g_GameMaster.m_Skin->SetupDisabledButton(&m_Buttons[i]);
	}
	setVisible(true);
}

int TBattleCommandWindow::CommandOf(const gcn::Widget* widget) const
{
	for (int i = 0; i < COMMAND_COUNT; ++i)
		if (widget == &m_Buttons[i])
			return i;
	return -1;
}

int TBattleCommandWindow::CommandAt(int x, int y)
{
	if (x < 0 || x >= BUTTON_SIZE * COMMAND_COUNT || y < 0 || y >= BUTTON_SIZE)
		return -1;
	return x / BUTTON_SIZE;
}

void TBattleCommandWindow::draw(gcn::Graphics* graphics)
{
	TGcnWindow::draw(graphics);
	const gcn::Rectangle area = getChildrenArea();
	graphics->pushClipArea(area);
	graphics->setColor(SHADE);
	for (int i = 0; i < COMMAND_COUNT; ++i)
		if (!m_Menu.enabled[i])
			graphics->fillRectangle(m_Buttons[i].getDimension());
	graphics->setColor(g_Config.GetGuiColor(GUICOLOR_DARK_PANE));
	graphics->fillRectangle(gcn::Rectangle(0, BUTTON_SIZE, area.width, area.height - BUTTON_SIZE));
	TGcnCharDrawer* drawer = g_GuiContext.GetCharDrawer(LABEL_FONT);
	if (m_Hovered != -1 && m_HasLabels && drawer) {
		const std::string& label = m_Menu.labels[m_Hovered];
		const int x = (area.width - LABEL_GLYPH * static_cast<int>(label.size())) / 2;
		drawer->DrawString(graphics, x, BUTTON_SIZE + 4, label.c_str(), WHITE);
	}
	graphics->popClipArea();
}

void TBattleCommandWindow::TCommandButton::draw(gcn::Graphics* graphics)
{
	graphics->setColor(getBaseColor());
	graphics->fillRectangle(gcn::Rectangle(0, 0, getWidth(), getHeight()));
	if (m_Image)
		graphics->drawImage(m_Image, 0, 0);
}

// Moves over a button reach the window with the button as their source.
void TBattleCommandWindow::THoverListener::mouseMoved(gcn::MouseEvent& mouseEvent)
{
	const int command = m_Window.CommandOf(mouseEvent.getSource());
	if (command != -1 || mouseEvent.getSource() != &m_Window) {
		m_Window.m_Hovered = command;
		return;
	}
	const gcn::Rectangle area = m_Window.getChildrenArea();
	m_Window.m_Hovered = CommandAt(mouseEvent.getX() - area.x, mouseEvent.getY() - area.y);
}

void TBattleCommandWindow::THoverListener::mouseExited(gcn::MouseEvent&)
{
	m_Window.m_Hovered = -1;
}
