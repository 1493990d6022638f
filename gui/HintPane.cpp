#include "gui/HintPane.h"

#include "gui/GuiContext.h"
#include "gui/SkinManager.h"
#include "media/CharDrawer.h"

#include <algorithm>
#include <guichan/graphics.hpp>

namespace
{
const int HINT_FONT_SIZE = 12;
const int FADE_STEP = 64;
const int OPAQUE = 255;
const int WIDTH_PER_BYTE = 6;
const int LINE_HEIGHT = 14;
const int PADDING_WIDTH = 10;
const int PADDING_HEIGHT = 22;
const int TEXT_INSET = 4;
const int LINE_SPACING = 2;
}

TGcnHintPane::TGcnHintPane()
	: m_Alpha(0), m_Step(0), m_FontSize(HINT_FONT_SIZE)
{
	setBaseColor(gcn::Color(255, 255, 225, 255));
}

gcn::Rectangle TGcnHintPane::MeasureText(const std::string& text)
{
	int longest = 0;
	int line = 0;
	int newlines = 0;
	for (char c : text) {
		if (c == '\n') {
			++newlines;
			line = 0;
		} else
			longest = std::max(longest, ++line);
	}
	return gcn::Rectangle(0, 0, PADDING_WIDTH + WIDTH_PER_BYTE * longest, PADDING_HEIGHT + LINE_HEIGHT * newlines);
}

void TGcnHintPane::SetText(const std::string& text)
{
	m_Text = text;
	const gcn::Rectangle size = MeasureText(text);
	setSize(size.width, size.height);
}

void TGcnHintPane::FadeIn()
{
	setVisible(true);
	m_Step = FADE_STEP;
}

void TGcnHintPane::FadeOut()
{
	m_Step = -FADE_STEP;
}

void TGcnHintPane::logic()
{
	if (m_Step == 0)
		return;
	m_Alpha += m_Step;
	if (m_Alpha <= 0) {
		m_Alpha = 0;
		m_Step = 0;
		setVisible(false);
		return;
	}
	if (m_Alpha >= OPAQUE) {
		m_Alpha = OPAQUE;
		m_Step = 0;
	}
	const gcn::Color base = getBaseColor();
	setBackgroundColor(gcn::Color(base.r, base.g, base.b, m_Alpha));
	setForegroundColor(gcn::Color(0, 0, 0, m_Alpha));
}

void TGcnHintPane::draw(gcn::Graphics* graphics)
{
	graphics->setColor(getForegroundColor());
	g_DrawRectangleSlide.DrawRectangle(graphics, gcn::Rectangle(0, 0, getWidth(), getHeight()));
	graphics->setColor(getBackgroundColor());
	graphics->fillRectangle(gcn::Rectangle(1, 1, getWidth() - 2, getHeight() - 2));
	// The glyphs take their opacity from the graphics' colour, which is the text's from here on.
	graphics->setColor(getForegroundColor());
	if (TGcnCharDrawer* drawer = g_GuiContext.GetCharDrawer(m_FontSize))
		drawer->DrawWrappedString(graphics, TEXT_INSET, TEXT_INSET, getDimension(), LINE_SPACING, m_Text.c_str(),
			getForegroundColor());
}
