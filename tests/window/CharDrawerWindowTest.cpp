#include "media/CharDrawer.h"
#include "platform/PngFile.h"

#include "support/GlWindow.h"
#include "support/TestSupport.h"

#include <GL/gl.h>
#include <SDL/SDL.h>
#include <SDL/SDL_image.h>
#include <guichan/color.hpp>
#include <guichan/opengl/openglgraphics.hpp>
#include <guichan/opengl/openglimage.hpp>
#include <guichan/rectangle.hpp>
#include <gtest/gtest.h>

#include <boost/filesystem.hpp>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <sys/stat.h>
#include <vector>

namespace
{
// "日本語のテキスト" and hiragana "a" in Shift-JIS.
const char* const JapaneseText = "\x93\xfa\x96\x7b\x8c\xea\x82\xcc\x83\x65\x83\x4c\x83\x58\x83\x67";
const int KanaACode = 0x82A0;

// A list file holding every character of the test texts.
const std::string SmallList = std::string(" \nA\nB\nC\n\x82\xa0\n") + "\x93\xfa\n\x96\x7b\n\x8c\xea\n\x82\xcc\n"
	"\x83\x65\n\x83\x4c\n\x83\x58\n\x83\x67\n";

struct TRect
{
	int x;
	int y;
	int w;
	int h;
};

// Pixels of a glyph sheet file whose first byte is not zero, inside one cell.
int SheetCellInk(const std::string& path, int glyph, int cell)
{
	SDL_Surface* sheet = IMG_Load(path.c_str());
	if (!sheet)
		return -1;
	const int perRow = sheet->w / cell;
	int ink = 0;
	for (int y = 0; y < cell; ++y)
		for (int x = 0; x < cell; ++x) {
			const int px = (glyph % perRow) * cell + x;
			const int py = (glyph / perRow) * cell + y;
			ink += static_cast<const Uint8*>(sheet->pixels)[py * sheet->pitch + px * sheet->format->BytesPerPixel] != 0;
		}
	SDL_FreeSurface(sheet);
	return ink;
}

// Width and height of an image file; (0, 0) when it cannot be loaded.
std::pair<int, int> ImageSize(const std::string& path)
{
	SDL_Surface* image = IMG_Load(path.c_str());
	if (!image)
		return {0, 0};
	const std::pair<int, int> size(image->w, image->h);
	SDL_FreeSurface(image);
	return size;
}

class CharDrawerWindow : public ::testing::Test
{
protected:
	void SetUp() override
	{
		SKIP_WITHOUT_DISPLAY();
		m_Window.reset(new TGlWindow(640, 480));
		ASSERT_TRUE(m_Window->IsOpen()) << SDL_GetError();
		m_Graphics = &m_Window->Graphics();
	}

	// Loads a drawer of the size in the folder, where "sjis.txt" is looked for and the sheet is kept.
	std::unique_ptr<TGcnCharDrawer> LoadIn(const TTempDir& dir, int size)
	{
		TScopedCwd cwd(dir.Path());
		std::unique_ptr<TGcnCharDrawer> drawer(new TGcnCharDrawer());
		EXPECT_TRUE(drawer->Load("sjis.txt", nullptr, size, size, "")) << drawer->m_LastError;
		return drawer;
	}

	std::unique_ptr<TGcnCharDrawer> LoadSmall(int size = 16)
	{
		WriteFile(m_Dir / "sjis.txt", SmallList);
		return LoadIn(m_Dir, size);
	}

	// Back-buffer pixels (0xRRGGBB) of a rectangle, row by row from the top.
	std::vector<std::uint32_t> Read(const TRect& r) const
	{
		std::vector<std::uint8_t> rgb(std::size_t(r.w) * r.h * 3);
		glReadBuffer(GL_BACK);
		glPixelStorei(GL_PACK_ALIGNMENT, 1);
		glReadPixels(r.x, 480 - r.y - r.h, r.w, r.h, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
		std::vector<std::uint32_t> pixels(std::size_t(r.w) * r.h);
		for (int y = 0; y < r.h; ++y)
			for (int x = 0; x < r.w; ++x) {
				const std::uint8_t* p = &rgb[(std::size_t(r.h - 1 - y) * r.w + x) * 3];
				pixels[std::size_t(y) * r.w + x] = (p[0] << 16) | (p[1] << 8) | p[2];
			}
		return pixels;
	}

	// Non-black pixels inside the area, and outside the box but inside the area.
	void CountInk(const TRect& area, const TRect& box, int& inside, int& outside) const
	{
		const std::vector<std::uint32_t> pixels = Read(area);
		inside = 0;
		outside = 0;
		for (int y = 0; y < area.h; ++y)
			for (int x = 0; x < area.w; ++x) {
				if (pixels[std::size_t(y) * area.w + x] == 0)
					continue;
				const int px = area.x + x;
				const int py = area.y + y;
				const bool inBox = px >= box.x && px < box.x + box.w && py >= box.y && py < box.y + box.h;
				++(inBox ? inside : outside);
			}
	}

	int InkIn(const TRect& r) const
	{
		int inside = 0;
		int outside = 0;
		CountInk(r, r, inside, outside);
		return inside;
	}

	TTempDir m_Dir;
	std::unique_ptr<TGlWindow> m_Window;
	gcn::OpenGLGraphics* m_Graphics = nullptr;
};
}

TEST_F(CharDrawerWindow, GeneratesMissingSheetsFromTheDefaultListAndCutsThemIntoPages)
{
	// No "sjis.txt" and no sheets in the working folder.
	std::unique_ptr<TGcnCharDrawer> drawer16 = LoadIn(m_Dir, 16);
	std::unique_ptr<TGcnCharDrawer> drawer12 = LoadIn(m_Dir, 12);
	EXPECT_EQ(std::make_pair(1024, 2864), ImageSize(m_Dir / "char16.png"));
	EXPECT_EQ(std::make_pair(768, 2148), ImageSize(m_Dir / "char12.png"));

	for (TGcnCharDrawer* drawer : {drawer16.get(), drawer12.get()}) {
		const int size = drawer->m_GlyphHeight;
		const std::string sheet = m_Dir / ("char" + std::to_string(size) + ".png");
		EXPECT_GT(SheetCellInk(sheet, drawer->GlyphIndex(KanaACode), size), 10) << size;
		EXPECT_EQ(0, SheetCellInk(sheet, drawer->GlyphIndex(' '), size)) << size;
		EXPECT_EQ(64, drawer->m_SheetGlyphsPerRow);
		EXPECT_TRUE(drawer->m_Textures.empty()) << "no glyph reaches a page before it is drawn";
	}

	TScopedCwd cwd(m_Dir.Path());
	EXPECT_FALSE(drawer16->Load("sjis.txt", nullptr, 16, 16, ""));
	EXPECT_EQ("already loaded.", drawer16->m_LastError);
}

TEST_F(CharDrawerWindow, GlyphsReachPagesAsTheyAreFirstDrawnAndDrawTheSameFromAnyPage)
{
	std::unique_ptr<TGcnCharDrawer> drawer = LoadIn(m_Dir, 16);
	const std::vector<int> codes = DefaultCharacterList();
	const std::string kanaA = "\x82\xa0";
	// Hiragana "a" alone, then every glyph of the list once, then all of them again.
	const std::vector<std::size_t> pagesAfter = {1, (codes.size() + drawer->m_GlyphsPerTexture - 1)
		/ drawer->m_GlyphsPerTexture, 0};
	auto drawAll = [&] {
		for (int code : codes)
			drawer->DrawCharPacked(m_Graphics, 0, 0, code, 0xFFFFFFFF);
	};
	int inkOfKanaA[3] = {0, 0, 0};
	for (int pass = 0; pass < 3; ++pass) {
		m_Window->BeginFrame();
		m_Graphics->setColor(gcn::Color(255, 255, 255));
		if (pass > 0)
			drawAll();
		m_Window->EndFrame();
		m_Window->BeginFrame();
		drawer->DrawString(m_Graphics, 100, 100, kanaA.c_str(), gcn::Color(255, 255, 255));
		m_Window->EndFrame();
		inkOfKanaA[pass] = InkIn({100, 100, 16, 16});
		if (pass < 2) {
			EXPECT_EQ(pagesAfter[pass], drawer->m_Textures.size()) << "pass " << pass;
		}
	}
	EXPECT_EQ(pagesAfter[1], drawer->m_Textures.size()) << "a glyph drawn again takes no new cell";
	EXPECT_GT(pagesAfter[1], 1u) << "the list spans several pages";
	for (gcn::OpenGLImage* page : drawer->m_Textures)
		EXPECT_EQ(512, page->getWidth());
	EXPECT_GT(inkOfKanaA[0], 10);
	EXPECT_EQ(inkOfKanaA[0], inkOfKanaA[2]);

	// The last kanji of the list sits on one of the last pages and draws as the sheet holds it.
	const int lastKanji = 0xFC4B;
	m_Window->BeginFrame();
	m_Graphics->setColor(gcn::Color(255, 255, 255));
	drawer->DrawCharPacked(m_Graphics, 200, 100, lastKanji, 0xFFFFFFFF);
	m_Window->EndFrame();
	const int sheetInk = SheetCellInk(m_Dir / "char16.png", drawer->GlyphIndex(lastKanji), 16);
	EXPECT_GT(sheetInk, 10);
	EXPECT_EQ(sheetInk, InkIn({200, 100, 16, 16}));
}

TEST_F(CharDrawerWindow, ReusesASheetOfTheRightSizeAndRegeneratesOneOfAnotherSize)
{
	// A hand-made sheet: the cell of "A" all white, the cell of hiragana "a" black.
	WriteFile(m_Dir / "sjis.txt", "A\n\x82\xa0\n");
	std::vector<std::uint8_t> marker(1024 * 16 * 3, 0);
	for (int y = 0; y < 16; ++y)
		std::fill_n(&marker[y * 1024 * 3], 16 * 3, 0xFF);
	ASSERT_TRUE(WritePng(m_Dir / "char16.png", 1024, 16, 3, marker.data()));
	const std::string before = ReadFile(m_Dir / "char16.png");

	std::unique_ptr<TGcnCharDrawer> drawer = LoadIn(m_Dir, 16);
	EXPECT_EQ(before, ReadFile(m_Dir / "char16.png")) << "a sheet of the right size is not regenerated";
	m_Window->BeginFrame();
	m_Graphics->setColor(gcn::Color(255, 255, 255));
	drawer->DrawChar(m_Graphics, 40, 30, 'A', gcn::Color(255, 255, 255));
	drawer->DrawChar(m_Graphics, 80, 30, KanaACode, gcn::Color(255, 255, 255));
	m_Window->EndFrame();
	int inside = 0;
	int outside = 0;
	CountInk({20, 10, 100, 60}, {40, 30, 16, 16}, inside, outside);
	EXPECT_EQ(256, inside) << "the whole cell of the sheet is drawn";
	EXPECT_EQ(0, outside);

	// One row too many, or a file cut short: the sheet is made anew from the font.
	std::vector<std::uint8_t> black(1024 * 32 * 3, 0);
	for (bool cut : { false, true }) {
		TTempDir other;
		WriteFile(other / "sjis.txt", "A\n\x82\xa0\n");
		ASSERT_TRUE(WritePng(other / "char16.png", 1024, cut ? 16 : 32, 3, black.data()));
		if (cut)
			WriteFile(other / "char16.png", ReadFile(other / "char16.png").substr(0, 60));
		std::unique_ptr<TGcnCharDrawer> regenerated = LoadIn(other, 16);
		EXPECT_EQ(std::make_pair(1024, 16), ImageSize(other / "char16.png")) << cut;
		EXPECT_GT(SheetCellInk(other / "char16.png", 1, 16), 10) << cut;
	}
}

TEST_F(CharDrawerWindow, DrawStringInksItsBoxOnlyAndResetsTheTint)
{
	std::unique_ptr<TGcnCharDrawer> drawer = LoadSmall();
	const std::string text = std::string(JapaneseText) + "ABC";
	// Eight double-byte characters of 16 pixels and three letters of 8.
	const TRect box = {100, 50, 8 * 16 + 3 * 8, 16};
	m_Window->BeginFrame();
	m_Graphics->setColor(gcn::Color(255, 255, 255));
	EXPECT_TRUE(drawer->DrawString(m_Graphics, box.x, box.y, text.c_str(), gcn::Color(255, 255, 255)));
	GLfloat tint[4] = {0, 0, 0, 0};
	glGetTexEnvfv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_COLOR, tint);
	m_Window->EndFrame();

	int inside = 0;
	int outside = 0;
	CountInk({60, 20, 240, 80}, box, inside, outside);
	EXPECT_GT(inside, 300);
	EXPECT_EQ(0, outside);
	for (int i = 0; i < 8; ++i)
		EXPECT_GT(InkIn({box.x + i * 16, box.y, 16, 16}), 10) << "character " << i;
	EXPECT_EQ((std::vector<float>{1, 1, 1, 1}), std::vector<float>(tint, tint + 4));
	m_Window->Screenshot("char_drawer_string");
}

TEST_F(CharDrawerWindow, TextTakesTheDrawersColourAndMissingCodesDrawNothing)
{
	std::unique_ptr<TGcnCharDrawer> drawer = LoadSmall(12);
	m_Window->BeginFrame();
	m_Graphics->setColor(gcn::Color(255, 255, 255));
	drawer->DrawStringPacked(m_Graphics, 20, 20, JapaneseText, 0xFF0000FF);
	// "Z" and "x" are not in the list.
	drawer->DrawString(m_Graphics, 20, 60, "ZxZx", gcn::Color(255, 255, 255));
	m_Window->EndFrame();

	const std::vector<std::uint32_t> pixels = Read({20, 20, 8 * 12, 12});
	int red = 0;
	for (std::uint32_t pixel : pixels) {
		EXPECT_TRUE(pixel == 0 || pixel == 0xFF0000) << std::hex << pixel;
		red += pixel == 0xFF0000;
	}
	EXPECT_GT(red, 100);
	EXPECT_EQ(0, InkIn({0, 50, 200, 40}));
}

TEST_F(CharDrawerWindow, WrappedTextContinuesBelowWithTheLineSpacing)
{
	std::unique_ptr<TGcnCharDrawer> drawer = LoadSmall();
	const std::string text = std::string("\x93\xfa\x96\x7b\x8c\xea");
	m_Window->BeginFrame();
	m_Graphics->setColor(gcn::Color(255, 255, 255));
	drawer->DrawWrappedString(m_Graphics, 30, 40, gcn::Rectangle(0, 0, 40, 100), 2, text.c_str(),
		gcn::Color(255, 255, 255));
	m_Window->EndFrame();

	EXPECT_GT(InkIn({30, 40, 16, 16}), 10);
	EXPECT_GT(InkIn({46, 40, 16, 16}), 10);
	EXPECT_EQ(0, InkIn({62, 40, 40, 16}));
	EXPECT_GT(InkIn({30, 58, 16, 16}), 10) << "the third character starts the second line";
	EXPECT_EQ(0, InkIn({46, 58, 40, 16}));
}

TEST_F(CharDrawerWindow, TextImagesAreBoldWithAnOutline)
{
	std::unique_ptr<TGcnCharDrawer> drawer = LoadSmall();
	EXPECT_EQ(nullptr, drawer->MakeTextImage("", 2, 1, 0xFFFFFFFF, 1, 1, 0xFF000000));
	std::unique_ptr<gcn::Image> image(drawer->MakeTextImage("AB", 2, 1, 0xFFFFFFFF, 1, 1, 0xFF000000));
	ASSERT_NE(nullptr, image);
	EXPECT_EQ(40, image->getWidth());
	EXPECT_EQ(19, image->getHeight());

	int width = 0;
	int height = 0;
	const std::vector<TPackedColor> pixels = drawer->RenderTextPixels(JapaneseText, 2, 1, 0xFFFFFFFF, 1, 1,
		0xFF000000, width, height);
	ASSERT_EQ(std::size_t(width) * height, pixels.size());
	int white = 0;
	int outline = 0;
	for (int y = 0; y < height; ++y)
		for (int x = 0; x < width; ++x) {
			const TPackedColor pixel = pixels[std::size_t(y) * width + x];
			white += pixel == 0xFFFFFFFF;
			outline += pixel == 0xFF000000;
			// Every white pixel of the bold strokes has outline or white on its left.
			if (pixel == 0xFFFFFFFF) {
				ASSERT_NE(0u, pixels[std::size_t(y) * width + x - 1]) << x << "," << y;
			}
		}
	EXPECT_GT(white, 100);
	EXPECT_GT(outline, 100);

	m_Window->BeginFrame();
	m_Graphics->drawImage(image.get(), 10, 10);
	m_Window->EndFrame();
	EXPECT_GT(InkIn({10, 10, 40, 19}), 20);
	EXPECT_EQ(0, InkIn({50, 10, 40, 19}));
}

// A sheet that cannot be kept on disk is used from memory, with a Warning naming it, and the text draws all the
// same. What stood under its name is replaced where it can be (a pipe, a link), never read or written through; a
// sheet cut short by a full disk is not left behind.
TEST_F(CharDrawerWindow, ASheetThatCannotBeWrittenIsUsedFromMemory)
{
	enum TKept { WRITTEN, WARNED, FULL_DISK };
	const struct
	{
		const char* what;
		std::function<void(const std::string&)> make;
		const char* sheet;
		TKept kept;
	} cases[] = {
		{ "in a folder that does not exist", [](const std::string&) {}, "missing/char16.png", WARNED },
		{ "a folder with a file under its name",
			[](const std::string& sheet) { boost::filesystem::create_directories(sheet + "/keep"); }, "char16.png",
			WARNED },
		{ "a pipe under its name", [](const std::string& sheet) { ASSERT_EQ(0, ::mkfifo(sheet.c_str(), 0600)); },
			"char16.png", WRITTEN },
		{ "a link to /dev/zero under its name",
			[](const std::string& sheet) { boost::filesystem::create_symlink("/dev/zero", sheet); }, "char16.png",
			WRITTEN },
		// The log cannot be written either.
		{ "on a full disk", [](const std::string&) {}, "char16.png", FULL_DISK },
	};
	for (const auto& c : cases) {
		SCOPED_TRACE(c.what);
		TTempDir dir;
		WriteFile(dir / "sjis.txt", SmallList);
		const std::string sheet = dir / c.sheet;
		c.make(sheet);
		TCapturedLog log;
		TGcnCharDrawer drawer;
		{
			std::unique_ptr<TFullDisk> full(c.kept == FULL_DISK ? new TFullDisk(64) : nullptr);
			ASSERT_TRUE(drawer.Load((dir / "sjis.txt").c_str(), sheet.c_str(), 16, 16, "")) << drawer.m_LastError;
		}
		if (c.kept == WRITTEN) {
			EXPECT_EQ(std::make_pair(1024, 16), ImageSize(sheet));
		} else {
			EXPECT_FALSE(boost::filesystem::is_regular_file(sheet));
		}
		if (c.kept != FULL_DISK) {
			const std::string warning = " cannot be written; the glyph sheet is used from memory and made again";
			EXPECT_EQ(c.kept == WARNED ? 1 : 0, log.CountLines(sheet + warning)) << log.Text();
		}
		m_Window->BeginFrame();
		m_Graphics->setColor(gcn::Color(255, 255, 255));
		drawer.DrawChar(m_Graphics, 40, 30, KanaACode, gcn::Color(255, 255, 255));
		m_Window->EndFrame();
		EXPECT_GT(InkIn({40, 30, 16, 16}), 10);
	}
}
