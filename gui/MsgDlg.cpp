#include "gui/MsgDlg.h"

#include "app/GameConfig.h"
#include "app/Logger.h"
#include "common/babel/babel.h"
#include "gui/GuiContext.h"
#include "media/CharDrawer.h"

#include <algorithm>
#include <boost/shared_ptr.hpp>
#include <guichan/actionevent.hpp>
#include <guichan/focushandler.hpp>
#include <guichan/gui.hpp>
#include <guichan/widgets/container.hpp>
#include <vector>

TGcnMsgDlg* g_MsgDlg = nullptr;

namespace
{
const int BUTTON_COUNT = 4;
const char* const BUTTON_CAPTIONS[BUTTON_COUNT] = { "　OK　", "　はい　", "　いいえ　", "キャンセル" };
const unsigned ALL_BUTTONS = BUTTON_OK | BUTTON_YES | BUTTON_NO | BUTTON_CANCEL;
const int TEXT_FONT_SIZE = 16;
const int TEXT_X = 8;
const int TEXT_Y = 16;
const int MARGIN = 16;
const int BUTTON_ROW_SPACE = 32;

/// The buttons to show: a dialog with neither a button nor a time-out gets OK, so the player can always close it.
unsigned ShownButtons(unsigned mask, int timeout)
{
	return (mask & ALL_BUTTONS) == 0 && timeout == 0 ? static_cast<unsigned>(BUTTON_OK) : mask;
}

bool HasButton(unsigned mask, int index)
{
	return (mask & (1u << index)) != 0;
}

// The part of a text that the first lines hold, laid out as the pane draws it, wrapped to the width; its lines
// counted. Only its head is laid out: each line holds at most a byte per half cell and its line feed.
std::string FirstLines(const std::string& text, int width, int fontSize, int lineHeight, int maxLines, int& lines)
{
	const std::size_t lineBytes = std::size_t(std::max(1, width / std::max(1, fontSize / 2))) + 1;
	const std::string head = text.substr(0, SjisCutLength(text, lineBytes * std::size_t(maxLines)));
	std::vector<TGlyphPlacement> glyphs;
	LayoutWrappedString(head.c_str(), 0, 0, width, lineHeight - fontSize, fontSize, fontSize, glyphs);
	// Every line feed starts a line; every other character lies where the layout placed it.
	std::size_t end = 0;
	std::size_t glyph = 0;
	int line = 0;
	while (end < head.size() && head[end] != 0) {
		const bool newline = head[end] == '\n';
		if (!newline && glyph == glyphs.size())
			break;
		const int next = newline ? line + 1 : glyphs[glyph].y / lineHeight;
		if (next >= maxLines)
			break;
		line = next;
		glyph += newline ? 0 : 1;
		end += newline || !IsSJISLeadByte(static_cast<unsigned char>(head[end])) ? 1 : 2;
	}
	lines = line + 1;
	return head.substr(0, end);
}
}

TGcnMsgDlg::TGcnMsgDlg(const std::string& caption, const std::string& text, unsigned buttonMask, int timeout)
	: TGcnWindow(caption), m_TextPane(text, TEXT_FONT_SIZE), m_ButtonMask(ShownButtons(buttonMask, timeout)),
	  m_Selected(0), m_Count(0), m_Timeout(timeout)
{
	add(&m_TextPane);
	for (int i = 0; i < BUTTON_COUNT; ++i) {
		m_Buttons[i].setCaption(BUTTON_CAPTIONS[i]);
		m_Buttons[i].adjustSize();
		m_Buttons[i].addActionListener(this);
		add(&m_Buttons[i]);
	}
	Layout();
}

TGcnMsgDlg::~TGcnMsgDlg()
{
	if (g_MsgDlg == this)
		g_MsgDlg = nullptr;
}

void TGcnMsgDlg::Layout()
{
	m_TextPane.setPosition(TEXT_X, TEXT_Y);
	m_TextPane.MeasureText();
	FitTextToScreen();
	m_TextPane.setBackgroundColor(g_Config.m_MsgDlgColor);

	// Spread the shown buttons under the text with equal gaps at both ends and between them.
	int total = MARGIN;
	int buttonsWidth = 0;
	int shown = 0;
	for (int i = 0; i < BUTTON_COUNT; ++i) {
		if (!HasButton(m_ButtonMask, i))
			continue;
		total += m_Buttons[i].getWidth() + MARGIN;
		buttonsWidth += m_Buttons[i].getWidth();
		++shown;
	}
	total = std::max(total, m_TextPane.getWidth() + MARGIN);
	const int gap = (total - buttonsWidth) / (shown + 1);
	const int y = m_TextPane.getY() + m_TextPane.getHeight() + BUTTON_ROW_SPACE;
	int x = gap;
	int buttonHeight = 0;
	for (int i = 0; i < BUTTON_COUNT; ++i) {
		m_Buttons[i].setVisible(HasButton(m_ButtonMask, i));
		if (!HasButton(m_ButtonMask, i))
			continue;
		m_Buttons[i].setPosition(x, y);
		x += m_Buttons[i].getWidth() + gap;
		buttonHeight = m_Buttons[i].getHeight();
	}
	setWidth(x + MARGIN);
	setHeight(y + buttonHeight + BUTTON_ROW_SPACE);
	setBaseColor(g_Config.m_MsgDlgColor);
	m_Selected = 0;
}

void TGcnMsgDlg::FitTextToScreen()
{
	const gcn::Widget* top = g_GuiContext.m_Gui ? g_GuiContext.m_Gui->getTop() : nullptr;
	if (!top)
		return;
	// The dialog is the text's size and its margins: as wide as the text and a margin on each side, as high
	// as the text, the button row and the spaces above, between and below them.
	int buttonHeight = 0;
	for (int i = 0; i < BUTTON_COUNT; ++i)
		if (HasButton(m_ButtonMask, i))
			buttonHeight = std::max(buttonHeight, m_Buttons[i].getHeight());
	const int fontSize = m_TextPane.m_FontSize;
	const int lineHeight = std::max(1, fontSize + m_TextPane.m_LineSpacing);
	const int maxWidth = std::max(fontSize, top->getWidth() - 2 * MARGIN);
	const int maxLines = std::max(1, (top->getHeight() - TEXT_Y - 2 * BUTTON_ROW_SPACE - buttonHeight) / lineHeight);
	if (m_TextPane.getWidth() <= maxWidth && m_TextPane.getHeight() <= maxLines * lineHeight)
		return;
	const int width = std::min(m_TextPane.getWidth(), maxWidth);
	int lines = 0;
	const std::string shown = FirstLines(m_TextPane.m_Text, width, fontSize, lineHeight, maxLines, lines);
	if (shown.size() < m_TextPane.m_Text.size())
		LOG_WARNING("「%s」のメッセージは画面に収まらないため、%d 行目までを表示します。", getCaption(), lines);
	m_TextPane.SetText(shown);
	m_TextPane.setSize(width, lines * lineHeight);
}

void TGcnMsgDlg::ShowModal()
{
	// Centred on the whole difference of the sides, with the odd pixel on the right and below;
	// clamped at 0, so a large message keeps its title and buttons on screen.
	const gcn::Widget* top = g_GuiContext.m_Gui->getTop();
	setPosition(std::max(0, (top->getWidth() - getWidth()) / 2),
		std::max(0, (top->getHeight() - getHeight()) / 2));
	setVisible(true);
	const bool modal = RequestModalFocus();
	if (getParent())
		getParent()->moveToTop(this);
	if (modal)
		FocusFirstButton();
	m_Selected = 0;
}

bool TGcnMsgDlg::RequestModalFocus()
{
	// guichan throws when another widget holds the modal focus; a message shown
	// meanwhile (a timed notice while the settings window is open) must not end
	// the frame, so it waits its turn for input instead.
	gcn::FocusHandler* focusHandler = _getFocusHandler();
	if (!focusHandler) {
		LOG_WARNING("the dialog is not part of the GUI; shown without modal focus");
		return false;
	}
	const gcn::Widget* holder = focusHandler->getModalFocused();
	if (holder && holder != this) {
		LOG_WARNING("another widget holds the modal focus; shown without it");
		return false;
	}
	requestModalFocus();
	return true;
}

void TGcnMsgDlg::FocusFirstButton()
{
	if (m_Buttons[0].isVisible())
		m_Buttons[0].requestFocus();
	else if (m_Buttons[1].isVisible())
		m_Buttons[1].requestFocus();
}

void TGcnMsgDlg::Close()
{
	releaseModalFocus();
	setVisible(false);
}

void TGcnMsgDlg::logic()
{
	// The buttons need no logic pass of their own.
	if (!isVisible() || m_Timeout == 0)
		return;
	if (m_Count >= m_Timeout)
		Close();
	else
		++m_Count;
}

void TGcnMsgDlg::action(const gcn::ActionEvent& actionEvent)
{
	for (int i = 0; i < BUTTON_COUNT; ++i) {
		if (actionEvent.getSource() == &m_Buttons[i]) {
			m_Selected = 1u << i;
			Close();
			return;
		}
	}
}

void ShowMsgDlg(const std::string& caption, const std::string& text, unsigned buttonMask, int timeout)
{
	gcn::Container* top = g_GuiContext.m_Gui ? dynamic_cast<gcn::Container*>(g_GuiContext.m_Gui->getTop()) : nullptr;
	if (!top) {
		LOG_ERROR("no GUI to show the message in: %s", text);
		return;
	}
	if (!g_MsgDlg) {
		boost::shared_ptr<TGcnMsgDlg> dialog(new TGcnMsgDlg(caption, text, buttonMask, timeout));
		g_MsgDlg = dialog.get();
		g_GuiContext.AddWidget(dialog);
		top->add(g_MsgDlg);
	} else {
		g_MsgDlg->setCaption(caption);
		g_MsgDlg->m_TextPane.SetText(text);
		g_MsgDlg->m_ButtonMask = ShownButtons(buttonMask, timeout);
		g_MsgDlg->Layout();
		g_MsgDlg->m_Timeout = timeout;
		g_MsgDlg->m_Count = 0;
	}
	g_MsgDlg->ShowModal();
}

bool IsMsgDlgVisible()
{
	return g_MsgDlg && g_MsgDlg->isVisible();
}
