#include "gui/TextPane.h"

#include "gui/GuiContext.h"
#include "media/CharDrawer.h"

#include <algorithm>
#include <guichan/graphics.hpp>

namespace
{
const int DEFAULT_FONT_SIZE = 16;
}

TGcnTextPane::TGcnTextPane()
	: TGcnTextPane(std::string(), DEFAULT_FONT_SIZE)
{
}

TGcnTextPane::TGcnTextPane(const std::string& text, int fontSize)
	: m_Text(text), m_FontSize(fontSize), m_LineSpacing(0),
	  m_CharDrawer(g_GuiContext.GetCharDrawer(fontSize))
{
}

void TGcnTextPane::SetText(const std::string& text)
{
	m_Text = text;
}

void TGcnTextPane::SetFontSize(int fontSize)
{
	m_FontSize = fontSize;
	m_CharDrawer = g_GuiContext.GetCharDrawer(fontSize);
}

void TGcnTextPane::MeasureText()
{
	int longest = 0, lines = 0;
	MeasureLines(m_Text, longest, lines);
	setSize(m_FontSize * longest / 2, m_FontSize * lines);
}

void TGcnTextPane::draw(gcn::Graphics* graphics)
{
	graphics->setColor(getBackgroundColor());
	graphics->fillRectangle(gcn::Rectangle(0, 0, getWidth(), getHeight()));
	// Without glyphs of its size the pane still shows as a plain rectangle.
	if (m_CharDrawer)
		m_CharDrawer->DrawWrappedString(graphics, 0, 0, getDimension(), m_LineSpacing, m_Text.c_str(),
			getForegroundColor());
}

void MeasureLines(const std::string& text, int& longestBytes, int& lines)
{
	lines = 1;
	std::size_t longest = 0;
	std::size_t current = 0;
	for (char c : text) {
		if (c == '\n') {
			++lines;
			current = 0;
		} else {
			longest = std::max(longest, ++current);
		}
	}
	longestBytes = int(longest);
}
