#include "media/FontSJIS.h"

#include "gui/GuiContext.h"
#include "media/CharDrawer.h"

#include <cstring>
#include <guichan/graphics.hpp>

TGuichanFontSJIS g_Font;

TGuichanFontSJIS::TGuichanFontSJIS()
	: m_CharDrawer(nullptr)
{
}

bool TGuichanFontSJIS::Load(int size, const std::string& faceName)
{
	g_GuiContext.m_FontName = faceName;
	m_CharDrawer = g_GuiContext.GetCharDrawer(size);
	return m_CharDrawer != nullptr;
}

int TGuichanFontSJIS::getWidth(const std::string& text) const
{
	if (!m_CharDrawer)
		return 0;
	const unsigned bytes = static_cast<unsigned>(std::strlen(text.c_str()));
	return static_cast<int>(static_cast<unsigned>(m_CharDrawer->m_GlyphWidth) * bytes / 2);
}

int TGuichanFontSJIS::getHeight() const
{
	return m_CharDrawer ? m_CharDrawer->m_GlyphHeight : 0;
}

void TGuichanFontSJIS::drawString(gcn::Graphics* graphics, const std::string& text, int x, int y)
{
	if (m_CharDrawer && !text.empty())
		m_CharDrawer->DrawString(graphics, x, y, text.c_str(), graphics->getColor());
}
