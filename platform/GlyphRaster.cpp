#include "platform/GlyphRaster.h"

#include "common/babel/babel.h"
#include "platform/PngFile.h"
#include "platform/SharedLibrary.h"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <cstdint>
#include <vector>

namespace
{
// The functions of fontconfig and FreeType that the rasteriser calls, from the libraries loaded the first
// time a sheet is rendered: a start that finds its sheets written never loads them.
struct TFontFunctions
{
	decltype(&FcInit) Init;
	decltype(&FcPatternCreate) PatternCreate;
	decltype(&FcPatternAddString) PatternAddString;
	decltype(&FcConfigSubstitute) ConfigSubstitute;
	decltype(&FcDefaultSubstitute) DefaultSubstitute;
	decltype(&FcFontMatch) FontMatch;
	decltype(&FcPatternDestroy) PatternDestroy;
	decltype(&FcPatternGetCharSet) PatternGetCharSet;
	decltype(&FcCharSetHasChar) CharSetHasChar;
	decltype(&FcPatternGetString) PatternGetString;
	decltype(&FcPatternGetInteger) PatternGetInteger;
	decltype(&FT_Init_FreeType) InitFreeType;
	decltype(&FT_New_Face) NewFace;
	decltype(&FT_Set_Pixel_Sizes) SetPixelSizes;
	decltype(&FT_Get_Char_Index) GetCharIndex;
	decltype(&FT_Load_Glyph) LoadGlyph;
	decltype(&FT_Done_FreeType) DoneFreeType;
};

// Loads both libraries and every function; false when one is missing.
bool LoadFontFunctions(TFontFunctions& f)
{
	TSharedLibrary fontconfig("libfontconfig.so.1");
	fontconfig.Find("FcInit", f.Init)
		.Find("FcPatternCreate", f.PatternCreate)
		.Find("FcPatternAddString", f.PatternAddString)
		.Find("FcConfigSubstitute", f.ConfigSubstitute)
		.Find("FcDefaultSubstitute", f.DefaultSubstitute)
		.Find("FcFontMatch", f.FontMatch)
		.Find("FcPatternDestroy", f.PatternDestroy)
		.Find("FcPatternGetCharSet", f.PatternGetCharSet)
		.Find("FcCharSetHasChar", f.CharSetHasChar)
		.Find("FcPatternGetString", f.PatternGetString)
		.Find("FcPatternGetInteger", f.PatternGetInteger);
	TSharedLibrary freetype("libfreetype.so.6");
	freetype.Find("FT_Init_FreeType", f.InitFreeType)
		.Find("FT_New_Face", f.NewFace)
		.Find("FT_Set_Pixel_Sizes", f.SetPixelSizes)
		.Find("FT_Get_Char_Index", f.GetCharIndex)
		.Find("FT_Load_Glyph", f.LoadGlyph)
		.Find("FT_Done_FreeType", f.DoneFreeType);
	return fontconfig.Error().empty() && freetype.Error().empty();
}

// The functions, loaded at the first call; null when a library or a function is missing.
const TFontFunctions* FontFunctions()
{
	static TFontFunctions functions;
	static const bool loaded = LoadFontFunctions(functions);
	return loaded ? &functions : nullptr;
}

// Japanese face used when the configured one is missing or has no kana (Debian fonts-ipafont-gothic).
const char* const FallbackFace = "IPAGothic";
// Hiragana "a": a face without it cannot draw the game's texts.
const FcChar32 KanaProbe = 0x3042;

// fontconfig's best match for a family with Japanese as the language; empty when it has no kana.
std::string MatchJapaneseFace(const TFontFunctions& fc, const std::string& familyUtf8, int* faceIndex)
{
	FcPattern* pattern = fc.PatternCreate();
	fc.PatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(familyUtf8.c_str()));
	fc.PatternAddString(pattern, FC_LANG, reinterpret_cast<const FcChar8*>("ja"));
	fc.ConfigSubstitute(nullptr, pattern, FcMatchPattern);
	fc.DefaultSubstitute(pattern);
	FcResult result = FcResultNoMatch;
	FcPattern* match = fc.FontMatch(nullptr, pattern, &result);
	fc.PatternDestroy(pattern);
	if (!match)
		return std::string();
	std::string file;
	FcCharSet* charset = nullptr;
	FcChar8* path = nullptr;
	if (fc.PatternGetCharSet(match, FC_CHARSET, 0, &charset) == FcResultMatch
		&& fc.CharSetHasChar(charset, KanaProbe)
		&& fc.PatternGetString(match, FC_FILE, 0, &path) == FcResultMatch) {
		file = reinterpret_cast<const char*>(path);
		int index = 0;
		fc.PatternGetInteger(match, FC_INDEX, 0, &index);
		*faceIndex = index;
	}
	fc.PatternDestroy(match);
	return file;
}

// The code point of a UTF-8 text that holds exactly one character; 0 otherwise.
FT_ULong DecodeSingleCharacter(const std::string& utf8)
{
	if (utf8.empty())
		return 0;
	const unsigned char lead = utf8[0];
	const std::size_t length = lead < 0x80 ? 1 : lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 0;
	if (length == 0 || utf8.size() != length)
		return 0;
	FT_ULong value = length == 1 ? lead : lead & (0x3F >> (length - 1));
	for (std::size_t i = 1; i < length; ++i)
		value = (value << 6) | (static_cast<unsigned char>(utf8[i]) & 0x3F);
	return value;
}

// Unicode of a character code (byte, or lead byte x 256 + trail byte); 0 when the code page has none.
FT_ULong CodeToUnicode(int code)
{
	if (code <= 0 || code > 0xFFFF)
		return 0;
	std::string sjis;
	if (code > 0xFF)
		sjis += static_cast<char>(code >> 8);
	sjis += static_cast<char>(code & 0xFF);
	const std::string utf8 = SjisToUtf8(sjis);
	// The conversion writes "?" for what it cannot map; only the code of "?" itself may give it.
	if (utf8 == "?" && sjis != "?")
		return 0;
	return DecodeSingleCharacter(utf8);
}

// A 24-bit RGB picture, black at first, top row first.
struct TSheetPixels
{
	TSheetPixels(int width, int height)
		: m_Width(width), m_Height(height), m_Bytes(std::size_t(width) * height * 3, 0) {}

	void Ink(int x, int y)
	{
		std::fill_n(&m_Bytes[(std::size_t(y) * m_Width + x) * 3], 3, 0xFF);
	}

	int m_Width;
	int m_Height;
	std::vector<std::uint8_t> m_Bytes;
};

// Opens a face and sizes it so that ascender plus descender fill the cell; false when that fails.
bool OpenFace(const TFontFunctions& ft, FT_Library library, const std::string& file, int index, int cell,
	FT_Face* face, int* baseline)
{
	if (ft.NewFace(library, file.c_str(), index, face) != 0)
		return false;
	const long ascender = (*face)->ascender;
	const long extent = ascender - (*face)->descender;
	if (!FT_IS_SCALABLE(*face) || extent <= 0) {
		*baseline = cell;
		return ft.SetPixelSizes(*face, 0, cell) == 0;
	}
	const long pixels = std::max(1L, (cell * long((*face)->units_per_EM) + extent / 2) / extent);
	*baseline = int((cell * ascender + extent / 2) / extent);
	return ft.SetPixelSizes(*face, 0, FT_UInt(pixels)) == 0;
}

// Whether a pixel of a rendered glyph bitmap is ink (one bit a pixel, or grey from an embedded strike).
bool IsInk(const FT_Bitmap& bitmap, unsigned row, unsigned column)
{
	const unsigned char* line = bitmap.buffer + long(row) * bitmap.pitch;
	if (bitmap.pixel_mode == FT_PIXEL_MODE_MONO)
		return (line[column / 8] & (0x80 >> (column % 8))) != 0;
	return bitmap.pixel_mode == FT_PIXEL_MODE_GRAY && line[column] >= 0x80;
}

// Renders one character in monochrome with the pen at the cell's top-left corner, clipped to the cell.
void DrawGlyph(const TFontFunctions& ft, FT_Face face, int code, int cellX, int cellY, int cell, int baseline,
	TSheetPixels& sheet)
{
	const FT_ULong unicode = CodeToUnicode(code);
	const FT_UInt glyph = unicode ? ft.GetCharIndex(face, unicode) : 0;
	if (glyph == 0 || ft.LoadGlyph(face, glyph, FT_LOAD_RENDER | FT_LOAD_TARGET_MONO) != 0)
		return;
	const FT_Bitmap& bitmap = face->glyph->bitmap;
	const int left = cellX + face->glyph->bitmap_left;
	const int top = cellY + baseline - face->glyph->bitmap_top;
	const int right = std::min(cellX + cell, sheet.m_Width);
	const int bottom = std::min(cellY + cell, sheet.m_Height);
	for (unsigned row = 0; row < bitmap.rows; ++row) {
		const int y = top + int(row);
		if (y < cellY || y >= bottom)
			continue;
		for (unsigned column = 0; column < bitmap.width; ++column) {
			const int x = left + int(column);
			if (x >= cellX && x < right && IsInk(bitmap, row, column))
				sheet.Ink(x, y);
		}
	}
}

// Writes the codes cell by cell: the pen moves right by a cell and starts a new row of cells when
// the next cell would pass the sheet's right edge.
void DrawGlyphs(const TFontFunctions& ft, FT_Face face, const int* codes, int count, int cell, int baseline,
	TSheetPixels& sheet)
{
	int x = 0;
	int y = 0;
	for (int i = 0; i < count && y + cell <= sheet.m_Height; ++i) {
		DrawGlyph(ft, face, codes[i], x, y, cell, baseline, sheet);
		x += cell;
		if (x + cell > sheet.m_Width) {
			x = 0;
			y += cell;
		}
	}
}
}

std::string FindGlyphFontFile(const std::string& faceName, int* faceIndex)
{
	const TFontFunctions* fc = FontFunctions();
	if (!fc || !fc->Init())
		return std::string();
	std::string file;
	if (!faceName.empty())
		file = MatchJapaneseFace(*fc, SjisToUtf8(faceName), faceIndex);
	if (file.empty())
		file = MatchJapaneseFace(*fc, FallbackFace, faceIndex);
	return file;
}

bool RasterizeGlyphSheet(const int* codes, int count, int width, int height, int cell,
	const std::string& faceName, std::vector<std::uint8_t>& rgb)
{
	if (width < 1 || height < 1 || cell < 1 || count < 0)
		return false;
	int faceIndex = 0;
	const std::string fontFile = FindGlyphFontFile(faceName, &faceIndex);
	if (fontFile.empty())
		return false;
	// A font file was found, so the libraries are loaded.
	const TFontFunctions& ft = *FontFunctions();
	FT_Library library = nullptr;
	if (ft.InitFreeType(&library) != 0)
		return false;
	FT_Face face = nullptr;
	int baseline = 0;
	const bool opened = OpenFace(ft, library, fontFile, faceIndex, cell, &face, &baseline);
	if (opened) {
		TSheetPixels sheet(width, height);
		DrawGlyphs(ft, face, codes, count, cell, baseline, sheet);
		rgb.swap(sheet.m_Bytes);
	}
	ft.DoneFreeType(library);
	return opened;
}

int RenderGlyphSheet(const int* codes, int count, int width, int height, int cell,
	const std::string& faceName, const std::string& path)
{
	std::vector<std::uint8_t> rgb;
	const bool drawn = RasterizeGlyphSheet(codes, count, width, height, cell, faceName, rgb);
	return drawn && WritePng(path, width, height, 3, rgb.data()) ? 0 : -1;
}
