#ifndef MORVALETH_GUI_TEXTPANE_H
#define MORVALETH_GUI_TEXTPANE_H

#include <string>
#include <guichan/widget.hpp>

class TGcnCharDrawer;

/// A rectangle in its background colour holding a Shift-JIS text wrapped to its width.
class TGcnTextPane : public gcn::Widget
{
public:
	/// Empty text, glyph size 16.
	TGcnTextPane();
	/// The text, drawn with the glyphs of that size.
	TGcnTextPane(const std::string& text, int fontSize);

	/// Replaces the text; the pane keeps its size.
	void SetText(const std::string& text);
	/// Draws with the glyphs of another size from now on.
	void SetFontSize(int fontSize);
	/// Sizes the pane to the text: half a cell per byte of the longest line, one cell per line.
	void MeasureText();

	/// Fills the background and draws the text in the foreground colour.
	virtual void draw(gcn::Graphics* graphics);

	/// The text (Shift-JIS); a newline starts a new line.
	std::string m_Text;
	/// Glyph size of the drawer.
	int m_FontSize;
	/// Extra pixels between lines.
	int m_LineSpacing;
	/// The drawer of m_FontSize (owned by the GUI context); null when that size cannot be loaded.
	TGcnCharDrawer* m_CharDrawer;
};

/// Bytes of a text's longest line and its number of lines; each line feed starts a line.
void MeasureLines(const std::string& text, int& longestBytes, int& lines);

#endif
