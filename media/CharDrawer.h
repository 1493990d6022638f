#ifndef MORVALETH_MEDIA_CHARDRAWER_H
#define MORVALETH_MEDIA_CHARDRAWER_H

#include <cstdint>
#include <string>
#include <vector>

namespace gcn
{
class Color;
class Graphics;
class Image;
class OpenGLImage;
class Rectangle;
}

/// Packed colour word: red in bits 0-7, green 8-15, blue 16-23, alpha 24-31.
typedef std::uint32_t TPackedColor;

/// Packs a guichan colour into a packed colour word.
TPackedColor PackColor(const gcn::Color& color);

/// One glyph of a laid-out text: its character code and the top-left corner of its cell.
struct TGlyphPlacement
{
	int code;
	int x;
	int y;
};

/// Reads the codes of a character list file (one per line); false when it is missing or no regular file.
bool ReadCharacterList(const std::string& path, std::vector<int>& codes);
/// The list used when no character list file can be opened (11,438 codes).
std::vector<int> DefaultCharacterList();
/// The characters every text of the game is written with: printable ASCII, hiragana and katakana.
std::vector<int> EssentialCharacterCodes();
/// The codes of the list file, or the default list when it is missing, cannot be read (with a Warning) or lacks
/// one of the needed codes (with a Warning naming it).
std::vector<int> CharacterListOrDefault(const std::string& path, const std::vector<int>& neededCodes);
/// A code of the character list and its glyph: the code's last position in the list.
struct TGlyphEntry
{
	std::uint16_t code;
	std::uint16_t glyph;
};
/// The glyph index of a character list: an entry for each code in it, in code order.
std::vector<TGlyphEntry> MakeGlyphIndex(const std::vector<int>& codes);
/// The glyph of a code in a glyph index; -1 when the code is not in it.
int FindGlyph(const std::vector<TGlyphEntry>& index, int code);

/// Lays out a text on one line from (x, y); with stopAtNewline the text also ends at the first newline.
void LayoutString(const char* text, int x, int y, int glyphWidth, bool stopAtNewline,
	std::vector<TGlyphPlacement>& out);
/// Lays out a text wrapped at character boundaries to the box width, lines glyphHeight + lineSpacing apart.
void LayoutWrappedString(const char* text, int x, int y, int boxWidth, int lineSpacing,
	int glyphWidth, int glyphHeight, std::vector<TGlyphPlacement>& out);

/// Draws part of a glyph page as one quad: the colour where the page has ink, at the graphics' opacity.
void DrawGlyphQuad(gcn::Graphics* graphics, const gcn::OpenGLImage* image, int srcX, int srcY,
	int dstX, int dstY, int width, int height, TPackedColor color);

/// Draws Shift-JIS text of one glyph size from a glyph sheet cut into OpenGL textures.
class TGcnCharDrawer
{
public:
	TGcnCharDrawer();
	~TGcnCharDrawer();
	TGcnCharDrawer(const TGcnCharDrawer&) = delete;
	TGcnCharDrawer& operator=(const TGcnCharDrawer&) = delete;

	/// Reads the character list (the default one when it lacks a needed code), loads the glyph sheet or renders
	/// it (kept in memory when it cannot be written) and plans the texture pages; false with m_LastError set when
	/// no sheet can be had.
	bool Load(const char* listFile, const char* sheetFile, int glyphWidth, int glyphHeight, const char* faceName,
		const std::vector<int>& neededCodes = std::vector<int>());

	/// Draws one glyph with its top-left corner at (x, y).
	void DrawCharPacked(gcn::Graphics* graphics, int x, int y, int code, TPackedColor color);
	/// Draws a zero-terminated Shift-JIS text on one line; always true.
	bool DrawStringPacked(gcn::Graphics* graphics, int x, int y, const char* text, TPackedColor color);
	/// Draws one glyph in a guichan colour.
	void DrawChar(gcn::Graphics* graphics, int x, int y, int code, const gcn::Color& color);
	/// Draws a text on one line in a guichan colour; always true.
	bool DrawString(gcn::Graphics* graphics, int x, int y, const char* text, const gcn::Color& color);
	/// Draws a text wrapped to the width of the box (only its width is used).
	void DrawWrappedStringPacked(gcn::Graphics* graphics, int x, int y, const gcn::Rectangle& box,
		int lineSpacing, const char* text, TPackedColor color);
	/// Draws a wrapped text in a guichan colour.
	void DrawWrappedString(gcn::Graphics* graphics, int x, int y, const gcn::Rectangle& box,
		int lineSpacing, const char* text, const gcn::Color& color);

	/// Renders a bold, outlined text into a new image owned by the caller; null without a sheet or for an empty text.
	gcn::Image* MakeTextImage(const char* text, int boldWidth, int boldHeight, TPackedColor color,
		int outlineWidth, int outlineHeight, TPackedColor outlineColor);
	/// The pixel buffer (row by row, width x height packed words) that MakeTextImage uploads; empty when it would return null.
	std::vector<TPackedColor> RenderTextPixels(const char* text, int boldWidth, int boldHeight, TPackedColor color,
		int outlineWidth, int outlineHeight, TPackedColor outlineColor, int& width, int& height) const;

	/// Glyph index of a code; -1 for codes outside the character list.
	int GlyphIndex(int code) const;
	/// True once a sheet has been loaded.
	bool IsLoaded() const { return !m_Ink.empty(); }

	/// Texture pages (owned), holding opacity only; glyphs are uploaded into them as they are first drawn.
	std::vector<gcn::OpenGLImage*> m_Textures;
	/// Ink of the loaded sheet's glyphs, one bit a pixel, glyph after glyph and row by row; empty before a load.
	std::vector<std::uint8_t> m_Ink;
	/// Glyph index of the codes in the list.
	std::vector<TGlyphEntry> m_GlyphIndex;
	/// Cell width in pixels; the advance of a double-byte character.
	int m_GlyphWidth;
	/// Cell height in pixels; the size by which drawers are found.
	int m_GlyphHeight;
	/// Glyph cells per row of the sheet.
	int m_SheetGlyphsPerRow;
	/// Glyph cells per texture page.
	int m_GlyphsPerTexture;
	/// Glyph cells per row of a texture page.
	int m_TexGlyphsPerRow;
	/// Side of the square texture pages, in pixels.
	int m_PageSide;
	/// Page cell of each glyph (page = cell / m_GlyphsPerTexture), -1 while it has not been drawn.
	std::vector<int> m_GlyphSlots;
	/// Page cells taken so far.
	int m_SlotCount;
	/// Why the last Load failed.
	std::string m_LastError;

private:
	/// Loads the sheet, rendering it (and writing it when it can) when it is missing, unreadable or of the wrong
	/// size; false with m_LastError set when it can be neither read nor rendered.
	bool LoadSheet(const std::string& path, const std::vector<int>& codes, const std::string& faceName);
	/// Reads the ink of the glyphs from a sheet file of the given size; false when it cannot be read or differs.
	bool ReadSheetInk(const std::string& path, int glyphCount, int width, int height);
	/// Ink bits for that many glyphs, none set.
	std::vector<std::uint8_t> EmptyInk(int glyphCount) const;
	/// Takes the ink of one row of sheet pixels (8-bit RGB) into the ink bits.
	void TakeInkRow(int y, const std::uint8_t* rgb, int glyphCount, std::vector<std::uint8_t>& ink) const;
	/// Sizes the texture pages for the glyph size, with no glyph on them yet; false with m_LastError set.
	bool PlanPages(int glyphCount);
	/// Puts a glyph into the next free page cell, making a new page when the last is full; false when OpenGL
	/// cannot hold another page.
	bool UploadGlyph(int glyph);
	/// Uploads a code's glyph when it is not on a page yet; nothing for codes without a glyph.
	void PlaceGlyph(int code);
	/// Page and page position of a code's glyph; false when it has none or it is not on a page.
	bool GlyphSource(int code, int& page, int& srcX, int& srcY) const;
	/// Draws laid-out glyphs in one colour.
	void DrawGlyphs(gcn::Graphics* graphics, const std::vector<TGlyphPlacement>& glyphs, TPackedColor color);
	/// Frees the texture pages and the sheet.
	void Release();
	/// Whether a pixel of a glyph's sheet cell is ink (its first byte is not zero).
	bool IsSheetInk(int glyph, int row, int column) const;
	/// Copies one glyph from the sheet into a pixel buffer of the given pitch (in pixels) in one colour.
	void BlitGlyph(int code, TPackedColor* buffer, int x, int y, int pitch, TPackedColor color) const;
};

#endif
