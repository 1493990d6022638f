#include "media/CharDrawer.h"

#include "app/Logger.h"
#include "common/babel/babel.h"
#include "gui/GlQuad.h"
#include "platform/FileSystem.h"
#include "platform/GlyphRaster.h"
#include "platform/PngFile.h"

#include <GL/gl.h>
#include <guichan/exception.hpp>
#include <guichan/graphics.hpp>
#include <guichan/opengl/openglimage.hpp>
#include <guichan/rectangle.hpp>

#include <algorithm>
#include <cstring>
#include <new>

namespace
{
// Number of character codes; also the most codes a character list holds.
const int CodeCount = 65536;
// Glyph cells per row of a sheet file.
const int SheetColumns = 64;
// Texture pages never exceed this side, whatever the driver allows: larger pages only cost memory.
const int MaxPageSide = 2048;
// Side of the pages glyphs are uploaded into as they are first drawn (1,024 glyphs of 16 pixels).
const int UsualPageSide = 512;
// Line buffer of the character list reader, terminating zero included.
const int ListLineBuffer = 32;
// Page texel of a glyph's ink; pages hold only opacity.
const std::uint8_t OpaqueInk = 0xFF;

// Reads one character at p: its code and its length in bytes; false at the end of the text,
// including a lead byte directly before the terminating zero.
bool ReadCharacter(const unsigned char* p, int& code, int& length)
{
	if (*p == 0)
		return false;
	if (!IsSJISLeadByte(*p)) {
		code = *p;
		length = 1;
		return true;
	}
	if (p[1] == 0)
		return false;
	code = p[0] * 256 + p[1];
	length = 2;
	return true;
}

// Horizontal advance of a character of the given length: a full cell for double-byte, half for single-byte.
int Advance(int length, int glyphWidth)
{
	return length == 2 ? glyphWidth : glyphWidth / 2;
}

// Sets the texture environment colour; a drawn text leaves it white for whatever draws through the
// environment next.
void SetTintColor(float r, float g, float b, float a)
{
	const GLfloat color[4] = {r, g, b, a};
	glTexEnvfv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_COLOR, color);
}

// The largest page side: half the largest texture OpenGL allows, capped.
int MaxTextureSide()
{
	GLint maxSize = 0;
	glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxSize);
	return std::min(int(maxSize) / 2, MaxPageSide);
}

// The smallest power of two that holds the pixels: textures are padded to powers of two anyway.
int PowerOfTwoAbove(int pixels)
{
	int side = 1;
	while (side < pixels)
		side *= 2;
	return side;
}

// Rows of glyph cells a sheet needs for n codes.
int SheetRows(int count)
{
	return (count + SheetColumns - 1) / SheetColumns;
}

// How glyph quads are drawn, from construction to destruction: they take their colour from the tint and
// their opacity from the graphics' current colour times the page's ink. (Pages hold opacity only, which
// the texture environment multiplies into the vertex colour's opacity and leaves its colour alone; the
// pixels drawn are those of a white page tinted through the environment, at a quarter of the texture
// memory.)
class TGlyphState
{
public:
	TGlyphState(gcn::Graphics* graphics, TPackedColor tint)
		: m_Graphics(graphics), m_Clip(graphics->getCurrentClipArea()),
		  // The graphics switches blending on itself only for translucent colours; glyphs always need it.
		  m_EnabledBlend(graphics->getColor().a == 255),
		  m_Color{(tint & 0xFF) / 255.0f, ((tint >> 8) & 0xFF) / 255.0f, ((tint >> 16) & 0xFF) / 255.0f,
			  graphics->getColor().a / 255.0f}
	{
		m_Style.blend = m_EnabledBlend || GlQuadBatch().Blend();
	}

	~TGlyphState()
	{
		if (m_EnabledBlend)
			GlQuadBatch().SetBlend(false);
		FlushUnlessBatching(m_Graphics);
	}

	// Adds one glyph quad, its destination moved by the clip area's offset.
	void Quad(const gcn::OpenGLImage* image, int srcX, int srcY, int dstX, int dstY, int width, int height)
	{
		m_Style.texture = image->getTextureHandle();
		AddTexturedQuad(m_Style, image, m_Clip, srcX, srcY, width, height, dstX, dstY, width, height, m_Color);
	}

private:
	gcn::Graphics* const m_Graphics;
	const gcn::ClipRectangle m_Clip;
	const bool m_EnabledBlend;
	const GLfloat m_Color[4];
	TQuadStyle m_Style;
};

// A new OpenGL image (texture uploaded) from packed pixels; null when it cannot be made.
gcn::OpenGLImage* NewTextureImage(const std::vector<TPackedColor>& pixels, int width, int height)
{
	try {
		GlQuadBatch().NoteNewTexture();
		return new gcn::OpenGLImage(pixels.data(), width, height, true);
	} catch (const gcn::Exception&) {
		return nullptr;
	} catch (const std::bad_alloc&) {
		return nullptr;
	}
}

// A new OpenGL image of an opacity-only texture (one byte a texel, power-of-two sides) whose texels are
// yet to be given; null when OpenGL cannot hold it. Left without texels, the texture's memory is taken
// only as glyphs are written to it: a glyph's quad samples its own cell alone, which the glyph fills whole.
gcn::OpenGLImage* NewOpacityImage(int width, int height)
{
	while (glGetError() != GL_NO_ERROR) {
	}
	GlQuadBatch().NoteNewTexture();
	GLuint texture = 0;
	glGenTextures(1, &texture);
	glBindTexture(GL_TEXTURE_2D, texture);
	glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
	glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
	glTexImage2D(GL_TEXTURE_2D, 0, GL_ALPHA8, width, height, 0, GL_ALPHA, GL_UNSIGNED_BYTE, nullptr);
	if (glGetError() != GL_NO_ERROR) {
		glDeleteTextures(1, &texture);
		return nullptr;
	}
	return new gcn::OpenGLImage(texture, width, height, true);
}
}

TPackedColor PackColor(const gcn::Color& color)
{
	return ((TPackedColor(color.a) * 256 + TPackedColor(color.b)) * 256 + TPackedColor(color.g)) * 256
		+ TPackedColor(color.r);
}

bool ReadCharacterList(const std::string& path, std::vector<int>& codes)
{
	// Each piece of a line that the line buffer holds counts as a line, so a line longer than the buffer gives
	// several codes; a list is read no further than its last code can stand.
	const std::size_t pieceBytes = ListLineBuffer - 1;
	std::string bytes;
	bool whole = false;
	if (ReadFileHead(path, std::size_t(CodeCount + 1) * pieceBytes, bytes, whole) != TFileRead::READ)
		return false;
	codes.clear();
	for (std::size_t start = 0; start < bytes.size();) {
		if (int(codes.size()) == CodeCount) {
			LOG_WARNING("%s has more than %d lines; the rest is ignored.", path, CodeCount);
			break;
		}
		const std::size_t feed = bytes.find('\n', start);
		const std::size_t end = std::min(feed == std::string::npos ? bytes.size() : feed + 1, start + pieceBytes);
		const unsigned char first = bytes[start];
		const unsigned char second = end - start > 1 ? bytes[start + 1] : 0;
		codes.push_back(IsSJISLeadByte(first) ? first * 256 + second : first);
		start = end;
	}
	return true;
}

std::vector<int> EssentialCharacterCodes()
{
	std::vector<int> codes;
	for (int c = 32; c <= 126; ++c)
		codes.push_back(c);
	for (int c = 0x829F; c <= 0x82F1; ++c)
		codes.push_back(c);
	for (int c = 0x8340; c <= 0x8396; ++c)
		if (c != 0x837F)
			codes.push_back(c);
	return codes;
}

std::vector<int> DefaultCharacterList()
{
	std::vector<int> codes;
	for (int c = 32; c <= 126; ++c)
		codes.push_back(c);
	for (int c = 161; c <= 223; ++c)
		codes.push_back(c);
	for (int lead = 0x81; lead <= 0xFC; ++lead) {
		if (!IsSJISLeadByte(static_cast<unsigned char>(lead)))
			continue;
		for (int trail = 0x40; trail <= 0xFC; ++trail)
			if (trail != 0x7F)
				codes.push_back(lead * 256 + trail);
	}
	return codes;
}

std::vector<int> CharacterListOrDefault(const std::string& path, const std::vector<int>& neededCodes)
{
	std::vector<int> codes;
	if (!ReadCharacterList(path, codes)) {
		if (PathExists(path))
			LOG_WARNING("%s cannot be read as a character list; the built-in list is used.", path);
		return DefaultCharacterList();
	}
	// A damaged list (binary garbage, an empty file) would leave every text without glyphs.
	std::vector<int> sorted = codes;
	std::sort(sorted.begin(), sorted.end());
	for (const int code : neededCodes)
		if (!std::binary_search(sorted.begin(), sorted.end(), code)) {
			LOG_WARNING("%s lacks the character %04X that the game draws; the built-in list is used.", path, code);
			return DefaultCharacterList();
		}
	return codes;
}

std::vector<TGlyphEntry> MakeGlyphIndex(const std::vector<int>& codes)
{
	// A list holds at most CodeCount codes, so every position fits an entry.
	std::vector<TGlyphEntry> index;
	for (std::size_t i = 0; i < codes.size() && i < std::size_t(CodeCount); ++i)
		if (codes[i] >= 0 && codes[i] < CodeCount)
			index.push_back({std::uint16_t(codes[i]), std::uint16_t(i)});
	// Of a code listed twice, the last position counts: it comes first once sorted.
	std::sort(index.begin(), index.end(),
		[](const TGlyphEntry& a, const TGlyphEntry& b) { return a.code < b.code || (a.code == b.code && a.glyph > b.glyph); });
	index.erase(std::unique(index.begin(), index.end(),
		[](const TGlyphEntry& a, const TGlyphEntry& b) { return a.code == b.code; }), index.end());
	return index;
}

int FindGlyph(const std::vector<TGlyphEntry>& index, int code)
{
	const auto found = std::lower_bound(index.begin(), index.end(), code,
		[](const TGlyphEntry& entry, int wanted) { return entry.code < wanted; });
	return found != index.end() && found->code == code ? found->glyph : -1;
}

void LayoutString(const char* text, int x, int y, int glyphWidth, bool stopAtNewline,
	std::vector<TGlyphPlacement>& out)
{
	const unsigned char* p = reinterpret_cast<const unsigned char*>(text);
	int code = 0;
	int length = 0;
	while (!(stopAtNewline && *p == '\n') && ReadCharacter(p, code, length)) {
		out.push_back({code, x, y});
		x += Advance(length, glyphWidth);
		p += length;
	}
}

void LayoutWrappedString(const char* text, int x, int y, int boxWidth, int lineSpacing,
	int glyphWidth, int glyphHeight, std::vector<TGlyphPlacement>& out)
{
	const unsigned char* p = reinterpret_cast<const unsigned char*>(text);
	const int limit = x + boxWidth;
	int penX = x;
	int lineY = y;
	bool lineEmpty = true;
	int code = 0;
	int length = 0;
	while (*p != 0) {
		const bool newline = *p == '\n';
		if (!newline && !ReadCharacter(p, code, length))
			break;
		// A character wider than the box goes on a line of its own rather than never being placed.
		if (newline || (penX + Advance(length, glyphWidth) > limit && !lineEmpty)) {
			p += newline ? 1 : 0;
			penX = x;
			lineY += glyphHeight + lineSpacing;
			lineEmpty = true;
			continue;
		}
		out.push_back({code, penX, lineY});
		penX += Advance(length, glyphWidth);
		p += length;
		lineEmpty = false;
	}
}

void DrawGlyphQuad(gcn::Graphics* graphics, const gcn::OpenGLImage* image, int srcX, int srcY,
	int dstX, int dstY, int width, int height, TPackedColor color)
{
	TGlyphState state(graphics, color);
	state.Quad(image, srcX, srcY, dstX, dstY, width, height);
}

TGcnCharDrawer::TGcnCharDrawer()
	: m_GlyphWidth(0), m_GlyphHeight(0),
	  m_SheetGlyphsPerRow(0), m_GlyphsPerTexture(0), m_TexGlyphsPerRow(0), m_PageSide(0), m_SlotCount(0)
{
}

TGcnCharDrawer::~TGcnCharDrawer()
{
	Release();
}

void TGcnCharDrawer::Release()
{
	for (gcn::OpenGLImage* page : m_Textures)
		delete page;
	m_Textures.clear();
	std::vector<std::uint8_t>().swap(m_Ink);
	m_GlyphSlots.clear();
	m_SlotCount = 0;
}

bool TGcnCharDrawer::Load(const char* listFile, const char* sheetFile, int glyphWidth, int glyphHeight,
	const char* faceName, const std::vector<int>& neededCodes)
{
	if (IsLoaded()) {
		m_LastError = "already loaded.";
		return false;
	}
	if (glyphWidth < 1 || glyphHeight < 1) {
		m_LastError = "invalid glyph size.";
		return false;
	}
	const std::string sheetPath = sheetFile ? sheetFile : FormatText("char%d.png", glyphHeight);

	const std::vector<int> codes = CharacterListOrDefault(listFile ? listFile : "", neededCodes);
	m_GlyphIndex = MakeGlyphIndex(codes);

	m_GlyphWidth = glyphWidth;
	m_GlyphHeight = glyphHeight;
	m_SheetGlyphsPerRow = SheetColumns;
	if (!LoadSheet(sheetPath, codes, faceName ? faceName : ""))
		return false;
	if (!PlanPages(int(codes.size()))) {
		Release();
		return false;
	}
	return true;
}

bool TGcnCharDrawer::LoadSheet(const std::string& path, const std::vector<int>& codes, const std::string& faceName)
{
	const int count = int(codes.size());
	const int width = SheetColumns * m_GlyphWidth;
	const int height = SheetRows(count) * m_GlyphHeight;
	if (ReadSheetInk(path, count, width, height))
		return true;
	std::vector<std::uint8_t> rgb;
	if (!RasterizeGlyphSheet(codes.data(), count, width, height, m_GlyphHeight, faceName, rgb)) {
		m_LastError = "failed to generate font image file(png).";
		return false;
	}
	std::vector<std::uint8_t> ink = EmptyInk(count);
	for (int y = 0; y < height; ++y)
		TakeInkRow(y, &rgb[std::size_t(y) * width * 3], count, ink);
	m_Ink.swap(ink);
	// The file only spares the next start the rendering: a sheet that cannot be kept (a read-only folder, a
	// full disk, a folder under its name) is used from memory.
	if (!WritePng(path, width, height, 3, rgb.data()))
		LOG_WARNING("%s cannot be written; the glyph sheet is used from memory and made again at the next start.",
			path);
	return true;
}

std::vector<std::uint8_t> TGcnCharDrawer::EmptyInk(int glyphCount) const
{
	// Only the ink is kept, a bit a pixel, glyph after glyph: the sheet itself would take 24 times the memory.
	return std::vector<std::uint8_t>((std::size_t(glyphCount) * m_GlyphWidth * m_GlyphHeight + 7) / 8, 0);
}

void TGcnCharDrawer::TakeInkRow(int y, const std::uint8_t* rgb, int glyphCount, std::vector<std::uint8_t>& ink) const
{
	const int firstGlyph = (y / m_GlyphHeight) * SheetColumns;
	const int cells = std::min(SheetColumns, glyphCount - firstGlyph);
	for (int cell = 0; cell < cells; ++cell) {
		std::size_t bit = (std::size_t(firstGlyph + cell) * m_GlyphHeight + y % m_GlyphHeight) * m_GlyphWidth;
		const std::uint8_t* pixel = rgb + 3 * cell * m_GlyphWidth;
		// A pixel is ink when its first byte (red) is not zero.
		for (int column = 0; column < m_GlyphWidth; ++column, ++bit, pixel += 3)
			ink[bit / 8] |= std::uint8_t((*pixel != 0) << (bit % 8));
	}
}

bool TGcnCharDrawer::ReadSheetInk(const std::string& path, int glyphCount, int width, int height)
{
	std::vector<std::uint8_t> ink = EmptyInk(glyphCount);
	const bool read = ReadPngRows(path,
		[&](int w, int h) { return w == width && h == height; },
		[&](int y, const std::uint8_t* rgb) { TakeInkRow(y, rgb, glyphCount, ink); });
	if (read)
		m_Ink.swap(ink);
	return read;
}

bool TGcnCharDrawer::PlanPages(int glyphCount)
{
	// Glyphs reach the pages only when first drawn, in that order, so a screen that shows a few
	// hundred characters holds a page or two instead of every glyph of the list.
	m_PageSide = std::min(MaxTextureSide(), std::max(UsualPageSide, PowerOfTwoAbove(std::max(m_GlyphWidth,
		m_GlyphHeight))));
	m_TexGlyphsPerRow = m_PageSide / m_GlyphWidth;
	m_GlyphsPerTexture = (m_PageSide / m_GlyphHeight) * m_TexGlyphsPerRow;
	if (m_GlyphsPerTexture < 1) {
		m_LastError = "failed to new gcn::OpenGLImage";
		return false;
	}
	m_GlyphSlots.assign(glyphCount, -1);
	m_SlotCount = 0;
	return true;
}

bool TGcnCharDrawer::UploadGlyph(int glyph)
{
	const int slot = m_SlotCount;
	const int page = slot / m_GlyphsPerTexture;
	if (page == int(m_Textures.size())) {
		gcn::OpenGLImage* image = NewOpacityImage(m_PageSide, m_PageSide);
		if (!image) {
			m_LastError = "failed to new gcn::OpenGLImage";
			return false;
		}
		m_Textures.push_back(image);
	}
	std::vector<std::uint8_t> texels(std::size_t(m_GlyphWidth) * m_GlyphHeight);
	for (int row = 0; row < m_GlyphHeight; ++row)
		for (int column = 0; column < m_GlyphWidth; ++column)
			texels[row * m_GlyphWidth + column] = IsSheetInk(glyph, row, column) ? OpaqueInk : 0;
	const int cell = slot % m_GlyphsPerTexture;
	glBindTexture(GL_TEXTURE_2D, m_Textures[page]->getTextureHandle());
	glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
	glTexSubImage2D(GL_TEXTURE_2D, 0, (cell % m_TexGlyphsPerRow) * m_GlyphWidth,
		(cell / m_TexGlyphsPerRow) * m_GlyphHeight, m_GlyphWidth, m_GlyphHeight, GL_ALPHA, GL_UNSIGNED_BYTE,
		texels.data());
	glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
	m_GlyphSlots[glyph] = slot;
	++m_SlotCount;
	return true;
}

bool TGcnCharDrawer::IsSheetInk(int glyph, int row, int column) const
{
	const std::size_t bit = (std::size_t(glyph) * m_GlyphHeight + row) * m_GlyphWidth + column;
	return (m_Ink[bit / 8] >> (bit % 8)) & 1;
}

int TGcnCharDrawer::GlyphIndex(int code) const
{
	return FindGlyph(m_GlyphIndex, code);
}

void TGcnCharDrawer::PlaceGlyph(int code)
{
	const int glyph = GlyphIndex(code);
	if (IsLoaded() && glyph >= 0 && m_GlyphSlots[glyph] < 0)
		UploadGlyph(glyph);
}

bool TGcnCharDrawer::GlyphSource(int code, int& page, int& srcX, int& srcY) const
{
	const int glyph = GlyphIndex(code);
	if (!IsLoaded() || glyph < 0 || m_GlyphSlots[glyph] < 0)
		return false;
	page = m_GlyphSlots[glyph] / m_GlyphsPerTexture;
	const int cell = m_GlyphSlots[glyph] % m_GlyphsPerTexture;
	srcX = (cell % m_TexGlyphsPerRow) * m_GlyphWidth;
	srcY = (cell / m_TexGlyphsPerRow) * m_GlyphHeight;
	return true;
}

void TGcnCharDrawer::DrawCharPacked(gcn::Graphics* graphics, int x, int y, int code, TPackedColor color)
{
	int page = 0;
	int srcX = 0;
	int srcY = 0;
	PlaceGlyph(code);
	if (GlyphSource(code, page, srcX, srcY))
		DrawGlyphQuad(graphics, m_Textures[page], srcX, srcY, x, y, m_GlyphWidth, m_GlyphHeight, color);
}

void TGcnCharDrawer::DrawGlyphs(gcn::Graphics* graphics, const std::vector<TGlyphPlacement>& glyphs,
	TPackedColor color)
{
	// Drawn as DrawCharPacked draws each glyph, with the state set once for the whole text.
	if (glyphs.empty())
		return;
	// Uploads happen before any quad is added.
	for (const TGlyphPlacement& glyph : glyphs)
		PlaceGlyph(glyph.code);
	TGlyphState state(graphics, color);
	for (const TGlyphPlacement& glyph : glyphs) {
		int page = 0;
		int srcX = 0;
		int srcY = 0;
		if (GlyphSource(glyph.code, page, srcX, srcY))
			state.Quad(m_Textures[page], srcX, srcY, glyph.x, glyph.y, m_GlyphWidth, m_GlyphHeight);
	}
}

void TGcnCharDrawer::DrawChar(gcn::Graphics* graphics, int x, int y, int code, const gcn::Color& color)
{
	DrawCharPacked(graphics, x, y, code, PackColor(color));
}

bool TGcnCharDrawer::DrawStringPacked(gcn::Graphics* graphics, int x, int y, const char* text, TPackedColor color)
{
	if (!IsLoaded() || !text || *text == 0)
		return true;
	std::vector<TGlyphPlacement> glyphs;
	LayoutString(text, x, y, m_GlyphWidth, false, glyphs);
	DrawGlyphs(graphics, glyphs, color);
	SetTintColor(1, 1, 1, 1);
	return true;
}

bool TGcnCharDrawer::DrawString(gcn::Graphics* graphics, int x, int y, const char* text, const gcn::Color& color)
{
	return DrawStringPacked(graphics, x, y, text, PackColor(color));
}

void TGcnCharDrawer::DrawWrappedStringPacked(gcn::Graphics* graphics, int x, int y, const gcn::Rectangle& box,
	int lineSpacing, const char* text, TPackedColor color)
{
	if (!IsLoaded() || !text)
		return;
	std::vector<TGlyphPlacement> glyphs;
	LayoutWrappedString(text, x, y, box.width, lineSpacing, m_GlyphWidth, m_GlyphHeight, glyphs);
	DrawGlyphs(graphics, glyphs, color);
	if (!glyphs.empty())
		SetTintColor(1, 1, 1, 1);
}

void TGcnCharDrawer::DrawWrappedString(gcn::Graphics* graphics, int x, int y, const gcn::Rectangle& box,
	int lineSpacing, const char* text, const gcn::Color& color)
{
	DrawWrappedStringPacked(graphics, x, y, box, lineSpacing, text, PackColor(color));
}

std::vector<TPackedColor> TGcnCharDrawer::RenderTextPixels(const char* text, int boldWidth, int boldHeight,
	TPackedColor color, int outlineWidth, int outlineHeight, TPackedColor outlineColor, int& width, int& height) const
{
	width = 0;
	height = 0;
	if (!IsLoaded() || !text || *text == 0 || boldWidth < 0 || boldHeight < 0 || outlineWidth < 0 || outlineHeight < 0)
		return std::vector<TPackedColor>();
	width = (m_GlyphWidth + 2 * outlineWidth + boldWidth) * int(std::strlen(text));
	height = m_GlyphHeight + 2 * outlineHeight + boldHeight;
	std::vector<TPackedColor> pixels(std::size_t(width) * height, 0);
	std::vector<TGlyphPlacement> glyphs;
	LayoutString(text, 0, 0, m_GlyphWidth, true, glyphs);
	// Outline copies left and right, then above and below, then the bold strokes on top of them.
	for (const TGlyphPlacement& glyph : glyphs) {
		TPackedColor* buffer = pixels.data();
		for (int i = 0; i < outlineWidth; ++i) {
			BlitGlyph(glyph.code, buffer, glyph.x + i, outlineHeight, width, outlineColor);
			BlitGlyph(glyph.code, buffer, glyph.x + boldWidth + outlineWidth + i, outlineHeight, width, outlineColor);
		}
		for (int i = 0; i < outlineHeight; ++i) {
			BlitGlyph(glyph.code, buffer, glyph.x + outlineWidth, i, width, outlineColor);
			BlitGlyph(glyph.code, buffer, glyph.x + outlineWidth, boldHeight + outlineHeight + i, width, outlineColor);
		}
		for (int i = 0; i < boldWidth; ++i)
			BlitGlyph(glyph.code, buffer, glyph.x + outlineWidth + i, outlineHeight, width, color);
	}
	return pixels;
}

gcn::Image* TGcnCharDrawer::MakeTextImage(const char* text, int boldWidth, int boldHeight, TPackedColor color,
	int outlineWidth, int outlineHeight, TPackedColor outlineColor)
{
	int width = 0;
	int height = 0;
	const std::vector<TPackedColor> pixels = RenderTextPixels(text, boldWidth, boldHeight, color,
		outlineWidth, outlineHeight, outlineColor, width, height);
	if (pixels.empty())
		return nullptr;
	return NewTextureImage(pixels, width, height);
}

void TGcnCharDrawer::BlitGlyph(int code, TPackedColor* buffer, int x, int y, int pitch, TPackedColor color) const
{
	const int glyph = GlyphIndex(code);
	if (glyph < 0)
		return;
	for (int row = 0; row < m_GlyphHeight; ++row)
		for (int column = 0; column < m_GlyphWidth; ++column)
			if (IsSheetInk(glyph, row, column))
				buffer[(y + row) * pitch + x + column] = color;
}
