#include "front/ConfigWidgets.h"

#include "app/GameConfig.h"
#include "app/GameMaster.h"
#include "app/Logger.h"
#include "gui/SkinManager.h"

#include <algorithm>
#include <guichan/graphics.hpp>
#include <guichan/mouseevent.hpp>
#include <guichan/widgets/button.hpp>
#include <guichan/widgets/container.hpp>

namespace
{
const char* const COMMAND_NAMES[SHORTCUT_COUNT] = { "待機", "移動", "攻撃", "突撃", "特技", "魔法", "逃走" };

/// A run of key codes named by a table, in code order.
struct TKeyNameRun
{
	int first;
	int last;
	const char* const* names;
};

const char* const KEYPAD_SIGNS[] = { "KP .", "KP /", "KP *", "KP -", "KP +", "KP ENTER", "KP =" };
const char* const CURSOR_KEYS[] = { "UP", "DOWN", "RIGHT", "LEFT", "INSERT", "HOME", "END", "PAGE UP", "PAGE DOWN" };
const char* const MODIFIER_KEYS[] = { "RSHIFT", "LSHIFT", "RCTRL", "LCTRL", "RALT", "LALT" };
const TKeyNameRun NAMED_RUNS[] = {
	{ 266, 272, KEYPAD_SIGNS },
	{ 273, 281, CURSOR_KEYS },
	{ 303, 308, MODIFIER_KEYS },
};

/// Single keys with names of their own.
struct TKeyName
{
	int key;
	const char* name;
};

const TKeyName NAMED_KEYS[] = {
	{ 0, "設定無し" }, { 8, "BS" }, { 9, "TAB" }, { 12, "CLEAR" }, { 13, "ENTER" }, { 19, "PAUSE" }, { 27, "ESC" },
	{ 32, "SPACE" }, { 127, "DEL" },
};

// Printable punctuation shows as itself; "%" does not.
bool IsPunctuationKey(int key)
{
	return key != '%' && ((key >= 33 && key <= 47) || (key >= 58 && key <= 64) || (key >= 91 && key <= 96));
}

const int TEXT_HEIGHT = 16;
}

std::string KeyName(int key)
{
	for (const TKeyName& named : NAMED_KEYS)
		if (named.key == key)
			return named.name;
	for (const TKeyNameRun& run : NAMED_RUNS)
		if (key >= run.first && key <= run.last)
			return run.names[key - run.first];
	if (key >= 'a' && key <= 'z')
		return std::string(1, static_cast<char>(key - 'a' + 'A'));
	if ((key >= '0' && key <= '9') || IsPunctuationKey(key))
		return std::string(1, static_cast<char>(key));
	if (key >= 256 && key <= 265)
		return FormatText("KP %d", key - 256);
	if (key >= 282 && key <= 296)
		return FormatText("F%d", key - 281);
	return FormatText("keysym=%d", key);
}

void Place(gcn::Container& container, gcn::Widget& widget, int x, int y, int width, int height)
{
	widget.setSize(width, height);
	container.add(&widget, x, y);
}

int ScrollbarWidth()
{
	return std::max(1, g_Config.GetIntValue(CONFIG_SCROLLBAR_WIDTH));
}

void SkinButton(gcn::Button& button, bool enabled)
{
	if (!g_GameMaster.m_Skin)
		button.setEnabled(enabled);
	else if (enabled)
		g_GameMaster.m_Skin->SetupButton(&button);
	else
		g_GameMaster.m_Skin->SetupDisabledButton(&button);
}

TSelectPane::TSelectPane(const std::vector<std::string>& items)
	: m_Items(items), m_Selected(-1)
{
	addMouseListener(this);
}

int TSelectPane::CellWidth() const
{
	return m_Items.empty() ? 0 : getWidth() / static_cast<int>(m_Items.size());
}

int TSelectPane::CellAt(int x) const
{
	const int width = CellWidth();
	// A pane narrower than its cells has cells of no width: nothing lies under the mouse.
	if (width <= 0 || x < 0)
		return -1;
	const int cell = x / width;
	return cell < static_cast<int>(m_Items.size()) ? cell : -1;
}

void TSelectPane::mousePressed(gcn::MouseEvent& mouseEvent)
{
	if (mouseEvent.getButton() != gcn::MouseEvent::LEFT)
		return;
	const int cell = CellAt(mouseEvent.getX());
	if (cell >= 0)
		m_Selected = cell;
}

void TSelectPane::draw(gcn::Graphics* graphics)
{
	const int width = CellWidth();
	graphics->setColor(getBackgroundColor());
	graphics->fillRectangle(gcn::Rectangle(0, 0, getWidth() - 1, getHeight()));
	if (m_Selected >= 0 && m_Selected < static_cast<int>(m_Items.size())) {
		graphics->setColor(m_SelectionColor);
		graphics->fillRectangle(gcn::Rectangle(m_Selected * width, 0, width - 1, getHeight()));
	}
	graphics->setColor(getForegroundColor());
	g_DrawRectangleSlide.DrawRectangle(graphics, gcn::Rectangle(0, 0, getWidth(), getHeight()));
	graphics->setFont(getFont());
	for (std::size_t i = 0; i < m_Items.size(); ++i)
		graphics->drawText(m_Items[i], static_cast<int>(i) * width + width / 2, (getHeight() - TEXT_HEIGHT) / 2,
			gcn::Graphics::CENTER);
}

void TColorPane::draw(gcn::Graphics* graphics)
{
	graphics->setColor(getForegroundColor());
	graphics->fillRectangle(gcn::Rectangle(0, 0, getWidth(), getHeight()));
}

int TShortcutListModel::getNumberOfElements()
{
	return SHORTCUT_COUNT;
}

std::string TShortcutListModel::getElementAt(int i)
{
	return i >= 0 && i < SHORTCUT_COUNT ? COMMAND_NAMES[i] : "";
}
