#ifndef MORVALETH_MEDIA_FONTSJIS_H
#define MORVALETH_MEDIA_FONTSJIS_H

#include <string>
#include <guichan/font.hpp>

class TGcnCharDrawer;

/// The guichan font of every widget: measures and draws Shift-JIS text through one glyph drawer.
class TGuichanFontSJIS : public gcn::Font
{
public:
	TGuichanFontSJIS();

	/// Remembers the face for every later drawer and takes the drawer of the size; false when it cannot be made.
	bool Load(int size, const std::string& faceName);

	/// Half a cell per byte: double-byte characters advance a cell, single bytes half of one.
	virtual int getWidth(const std::string& text) const;
	/// The glyph height.
	virtual int getHeight() const;
	/// Draws the text in the graphics' current colour; an empty text draws nothing.
	virtual void drawString(gcn::Graphics* graphics, const std::string& text, int x, int y);

	/// The drawer of the loaded size (owned by the GUI context); null before a successful Load.
	TGcnCharDrawer* m_CharDrawer;
};

/// The one Shift-JIS font of the program.
extern TGuichanFontSJIS g_Font;

#endif
