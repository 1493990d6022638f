#include "media/CharDrawer.h"
#include "platform/GlyphRaster.h"

#include "support/TestSupport.h"

#include <SDL/SDL_image.h>
#include <guichan/color.hpp>
#include <guichan/rectangle.hpp>
#include <gtest/gtest.h>

#include <boost/filesystem.hpp>
#include <functional>
#include <string>
#include <sys/stat.h>
#include <utility>
#include <vector>

namespace
{
typedef std::vector<std::pair<int, int>> TPositions;

std::vector<int> ListOf(const std::string& content)
{
	TTempDir dir;
	WriteFile(dir / "sjis.txt", content);
	std::vector<int> codes;
	EXPECT_TRUE(ReadCharacterList(dir / "sjis.txt", codes));
	return codes;
}

TPositions Positions(const std::vector<TGlyphPlacement>& glyphs)
{
	TPositions positions;
	for (const TGlyphPlacement& glyph : glyphs)
		positions.emplace_back(glyph.x, glyph.y);
	return positions;
}

std::vector<int> Codes(const std::vector<TGlyphPlacement>& glyphs)
{
	std::vector<int> codes;
	for (const TGlyphPlacement& glyph : glyphs)
		codes.push_back(glyph.code);
	return codes;
}

std::vector<TGlyphPlacement> Line(const char* text, int x = 0, int y = 0, bool stopAtNewline = false)
{
	std::vector<TGlyphPlacement> glyphs;
	LayoutString(text, x, y, 16, stopAtNewline, glyphs);
	return glyphs;
}

std::vector<TGlyphPlacement> Wrapped(const char* text, int boxWidth, int x = 0, int y = 0)
{
	std::vector<TGlyphPlacement> glyphs;
	LayoutWrappedString(text, x, y, boxWidth, 2, 16, 16, glyphs);
	return glyphs;
}

// Hiragana "a" and "i" in Shift-JIS.
const char* const KanaA = "\x82\xa0";
const int KanaACode = 0x82A0;
}

TEST(CharDrawerList, EachLineGivesTheCodeOfItsFirstCharacter)
{
	// 39 letters: the 32-byte line buffer reads them as two lines.
	const std::string longLine = "abcdefghijklmnopqrstuvwxyz0123456789XYZ\n";
	const std::vector<int> codes = ListOf(std::string("A\n") + KanaA + "\n\n\xb1\xb2\n" + longLine + "Z");
	EXPECT_EQ((std::vector<int>{65, 33440, 10, 177, 'a', '5', 'Z'}), codes);
}

TEST(CharDrawerList, AMissingFileIsReported)
{
	TTempDir dir;
	std::vector<int> codes;
	EXPECT_FALSE(ReadCharacterList(dir / "sjis.txt", codes));
	EXPECT_FALSE(ReadCharacterList("", codes));
}

// A list that is missing gives the default list silently; one that cannot be read, or lacks a character the
// game's texts are written with, is taken for damaged: the default list, with a Warning naming the file.
TEST(CharDrawerList, ADamagedListGivesWayToTheDefaultList)
{
	std::string essential;
	for (int code : EssentialCharacterCodes())
		essential += (code > 0xFF ? std::string(1, char(code >> 8)) : "") + char(code & 0xFF) + "\n";
	std::string garbage;
	for (int i = 0; i < 4096; ++i)
		garbage += char((i * 131 + 7) % 256);
	const std::vector<int> defaults = DefaultCharacterList();
	const struct
	{
		const char* what;
		std::function<void(const std::string&)> make;
		const char* warning;
	} cases[] = {
		{ "missing", [](const std::string&) {}, nullptr },
		{ "empty", [](const std::string& path) { WriteFile(path, ""); }, "lacks the character 0020" },
		{ "binary garbage", [&](const std::string& path) { WriteFile(path, garbage); }, "lacks the character" },
		{ "without the last katakana", [&](const std::string& path) {
			WriteFile(path, essential.substr(0, essential.size() - 3));
		}, "lacks the character 8396 that the game draws" },
		{ "a folder", [](const std::string& path) { boost::filesystem::create_directories(path); },
			"cannot be read as a character list" },
		{ "a pipe", [](const std::string& path) { ASSERT_EQ(0, ::mkfifo(path.c_str(), 0600)); },
			"cannot be read as a character list" },
		{ "a link to /dev/zero", [](const std::string& path) { boost::filesystem::create_symlink("/dev/zero", path); },
			"cannot be read as a character list" },
	};
	const std::vector<int> needed = EssentialCharacterCodes();
	for (const auto& c : cases) {
		SCOPED_TRACE(c.what);
		TTempDir dir;
		c.make(dir / "sjis.txt");
		TCapturedLog log;
		EXPECT_EQ(defaults, CharacterListOrDefault(dir / "sjis.txt", needed));
		EXPECT_EQ(c.warning ? 1 : 0, log.CountLines(" Warning ")) << log.Text();
		if (c.warning) {
			EXPECT_EQ(1, log.CountLines(dir / "sjis.txt " + c.warning)) << log.Text();
		}
	}
	// A list holding them all is taken as it is, and without needed codes any list is.
	TTempDir dir;
	WriteFile(dir / "sjis.txt", "Z\n" + essential);
	EXPECT_EQ(needed.size() + 1, CharacterListOrDefault(dir / "sjis.txt", needed).size());
	WriteFile(dir / "sjis.txt", "A\n");
	EXPECT_EQ(std::vector<int>{'A'}, CharacterListOrDefault(dir / "sjis.txt", std::vector<int>()));
}

TEST(CharDrawerList, LinesBeyond65536AreIgnoredWithOneWarning)
{
	TCapturedLog log;
	const std::vector<int> codes = ListOf(std::string(65536, '\n') + "A\nB\n");
	EXPECT_EQ(65536u, codes.size());
	EXPECT_EQ(10, codes.back());
	EXPECT_EQ(1, log.CountLines("the rest is ignored"));
}

TEST(CharDrawerList, DefaultListHoldsPrintableAsciiKatakanaAndEveryDoubleByteCode)
{
	const std::vector<int> codes = DefaultCharacterList();
	ASSERT_EQ(11438u, codes.size());
	EXPECT_EQ(32, codes[0]);
	EXPECT_EQ(126, codes[94]);
	EXPECT_EQ(161, codes[95]);
	EXPECT_EQ(223, codes[157]);
	EXPECT_EQ(0x8140, codes[158]);
	EXPECT_EQ(0x8180, codes[158 + 63]);
	EXPECT_EQ(0xE040, codes[158 + 5828]);
	EXPECT_EQ(0xFCFC, codes.back());
}

TEST(CharDrawerList, TheCommittedListIsTheDefaultList)
{
	std::vector<int> codes;
	ASSERT_TRUE(ReadCharacterList(std::string(MORVALETH_SOURCE_DIR) + "/data/sjis.txt", codes));
	EXPECT_EQ(DefaultCharacterList(), codes);
}

TEST(CharDrawerList, GlyphIndexIsTheLastPositionAndMinusOneForMissingCodes)
{
	const std::vector<TGlyphEntry> index = MakeGlyphIndex({65, KanaACode, 66, 65, -1, 65536, 65535});
	ASSERT_EQ(4u, index.size());
	EXPECT_EQ(3, FindGlyph(index, 65));
	EXPECT_EQ(1, FindGlyph(index, KanaACode));
	EXPECT_EQ(2, FindGlyph(index, 66));
	EXPECT_EQ(6, FindGlyph(index, 65535));
	EXPECT_EQ(-1, FindGlyph(index, 67));
	EXPECT_EQ(-1, FindGlyph(index, 0));
	EXPECT_EQ(-1, FindGlyph(index, 65536));

	TGcnCharDrawer drawer;
	EXPECT_EQ(-1, drawer.GlyphIndex('A'));
	EXPECT_EQ(-1, drawer.GlyphIndex(-5));
	EXPECT_EQ(-1, drawer.GlyphIndex(70000));
}

TEST(CharDrawerLayout, SingleBytesAdvanceHalfACellAndDoubleBytesAFullCell)
{
	EXPECT_EQ((TPositions{{10, 5}, {18, 5}, {26, 5}}), Positions(Line("ABC", 10, 5)));
	const std::vector<TGlyphPlacement> mixed = Line("\x82\xa0" "A", 10);
	EXPECT_EQ((std::vector<int>{KanaACode, 'A'}), Codes(mixed));
	EXPECT_EQ((TPositions{{10, 0}, {26, 0}}), Positions(mixed));
	EXPECT_TRUE(Line("").empty());
}

TEST(CharDrawerLayout, ALeadByteAtTheEndEndsTheText)
{
	EXPECT_EQ((std::vector<int>{'A', 'B'}), Codes(Line("AB\x82")));
	EXPECT_EQ((std::vector<int>{'A'}), Codes(Wrapped("A\x82", 100)));
	EXPECT_EQ((std::vector<int>{'A'}), Codes(Wrapped("A\x82", 4)));
}

TEST(CharDrawerLayout, TheOneLineDrawerDrawsNewlinesButTextImagesStopThere)
{
	EXPECT_EQ((std::vector<int>{'A', 10, 'B'}), Codes(Line("A\nB")));
	EXPECT_EQ((std::vector<int>{'A'}), Codes(Line("A\nB", 0, 0, true)));
}

TEST(CharDrawerLayout, WrappingBreaksAtCharactersWhenTheNextOneWouldPassTheBox)
{
	const std::string three = std::string(KanaA) + KanaA + KanaA;
	EXPECT_EQ((TPositions{{5, 7}, {21, 7}, {5, 25}}), Positions(Wrapped(three.c_str(), 40, 5, 7)));
	// No word wrapping: a long word is cut where the box ends (five half cells make 40 pixels).
	EXPECT_EQ((TPositions{{0, 0}, {8, 0}, {16, 0}, {24, 0}, {32, 0}, {0, 18}, {8, 18}, {16, 18}}),
		Positions(Wrapped("ABCDEFGH", 40)));
	// A double-byte character that no longer fits after a letter moves on.
	EXPECT_EQ((TPositions{{0, 0}, {8, 0}, {0, 18}}), Positions(Wrapped("AB\x82\xa0", 30)));
}

TEST(CharDrawerLayout, NewlinesEndTheLineEvenWhenItIsEmpty)
{
	EXPECT_EQ((TPositions{{0, 0}, {0, 36}}), Positions(Wrapped("A\n\nB", 100)));
	EXPECT_EQ((std::vector<int>{'A', 'B'}), Codes(Wrapped("A\n\nB", 100)));
	EXPECT_TRUE(Wrapped("\n\n", 100).empty());
}

TEST(CharDrawerLayout, ACharacterWiderThanTheBoxGetsALineOfItsOwn)
{
	const std::string text = std::string(KanaA) + "A" + KanaA;
	EXPECT_EQ((TPositions{{0, 0}, {0, 18}, {0, 36}}), Positions(Wrapped(text.c_str(), 10)));
	EXPECT_EQ((TPositions{{0, 0}, {0, 18}}), Positions(Wrapped("AB", 0)));
	EXPECT_EQ((TPositions{{0, 0}, {0, 18}}), Positions(Wrapped("AB", -20)));
}

TEST(CharDrawerColor, GuichanColoursPackRedInTheLowByte)
{
	EXPECT_EQ(0x44332211u, PackColor(gcn::Color(0x11, 0x22, 0x33, 0x44)));
	EXPECT_EQ(0xFFFFFFFFu, PackColor(gcn::Color(255, 255, 255)));
}

TEST(CharDrawerUnloaded, DrawsNothingAndMakesNoImage)
{
	TGcnCharDrawer drawer;
	EXPECT_TRUE(drawer.DrawString(nullptr, 0, 0, "A", gcn::Color(255, 255, 255)));
	drawer.DrawCharPacked(nullptr, 0, 0, 'A', 0xFFFFFFFF);
	drawer.DrawWrappedString(nullptr, 0, 0, gcn::Rectangle(0, 0, 100, 100), 2, "A", gcn::Color(255, 255, 255));
	EXPECT_EQ(nullptr, drawer.MakeTextImage("A", 2, 1, 0xFFFFFFFF, 1, 1, 0xFF000000));
	int width = -1;
	int height = -1;
	EXPECT_TRUE(drawer.RenderTextPixels("A", 2, 1, 0xFFFFFFFF, 1, 1, 0xFF000000, width, height).empty());
	EXPECT_EQ(0, width);
	EXPECT_EQ(0, height);
}

namespace
{
// Sheet pixels rendered by RenderGlyphSheet, read back the way the drawer reads them.
class TRenderedSheet
{
public:
	TRenderedSheet(const std::vector<int>& codes, int cell, const std::string& face = "")
		: m_Cell(cell), m_Surface(nullptr)
	{
		const int width = 4 * cell;
		const int height = int((codes.size() + 3) / 4) * cell;
		m_Result = RenderGlyphSheet(codes.data(), int(codes.size()), width, height, cell, face, m_Dir / "sheet.png");
		if (m_Result == 0)
			m_Surface = IMG_Load((m_Dir / "sheet.png").c_str());
	}
	~TRenderedSheet()
	{
		if (m_Surface)
			SDL_FreeSurface(m_Surface);
	}

	// Ink pixels in the part [x0, x1) x [0, cell) of cell i.
	int Ink(int i, int x0, int x1) const
	{
		int count = 0;
		for (int y = 0; y < m_Cell; ++y)
			for (int x = x0; x < x1; ++x) {
				const int px = (i % 4) * m_Cell + x;
				const int py = (i / 4) * m_Cell + y;
				const Uint8* pixel = static_cast<const Uint8*>(m_Surface->pixels) + py * m_Surface->pitch
					+ px * m_Surface->format->BytesPerPixel;
				count += pixel[0] != 0;
			}
		return count;
	}
	int Ink(int i) const { return Ink(i, 0, m_Cell); }

	TTempDir m_Dir;
	int m_Cell;
	int m_Result;
	SDL_Surface* m_Surface;
};

bool HasJapaneseFont()
{
	int index = 0;
	return !FindGlyphFontFile("", &index).empty();
}
}

TEST(GlyphRaster, DrawsKanaAndLettersInTheirCellsAndLeavesBlanksAndUnmappedCodesEmpty)
{
	if (!HasJapaneseFont())
		GTEST_SKIP() << "needs a Japanese font (Debian fonts-ipafont-gothic)";
	// Space, "A", hiragana "a", an empty Shift-JIS row, the user-defined area, a line feed, "I", full-width "A".
	TRenderedSheet sheet({' ', 'A', KanaACode, 0x8540, 0xF040, 10, 'I', 0x8260}, 16);
	ASSERT_EQ(0, sheet.m_Result);
	ASSERT_NE(nullptr, sheet.m_Surface);
	EXPECT_EQ(64, sheet.m_Surface->w);
	EXPECT_EQ(32, sheet.m_Surface->h);
	EXPECT_EQ(0, sheet.Ink(0));
	EXPECT_GT(sheet.Ink(1, 0, 8), 10);
	EXPECT_EQ(0, sheet.Ink(1, 9, 16)) << "a half-width letter stays in the left half of its cell";
	EXPECT_GT(sheet.Ink(2), 20);
	EXPECT_EQ(0, sheet.Ink(3));
	EXPECT_EQ(0, sheet.Ink(4));
	EXPECT_EQ(0, sheet.Ink(5));
	EXPECT_GT(sheet.Ink(6), 5);
	EXPECT_GT(sheet.Ink(7, 8, 16), 5) << "a full-width letter reaches the right half";
}

TEST(GlyphRaster, PixelsAreOnlyBlackOrWhite)
{
	if (!HasJapaneseFont())
		GTEST_SKIP() << "needs a Japanese font (Debian fonts-ipafont-gothic)";
	TRenderedSheet sheet({KanaACode, 0x8ABF, 'g', 'W'}, 12);
	ASSERT_NE(nullptr, sheet.m_Surface);
	ASSERT_EQ(3, sheet.m_Surface->format->BytesPerPixel);
	for (int y = 0; y < sheet.m_Surface->h; ++y)
		for (int x = 0; x < sheet.m_Surface->w; ++x) {
			const Uint8* p = static_cast<const Uint8*>(sheet.m_Surface->pixels) + y * sheet.m_Surface->pitch + x * 3;
			ASSERT_TRUE((p[0] == 0 && p[1] == 0 && p[2] == 0) || (p[0] == 255 && p[1] == 255 && p[2] == 255))
				<< "pixel " << x << "," << y;
		}
}

TEST(GlyphRaster, AnUnknownFaceFallsBackToAJapaneseFace)
{
	if (!HasJapaneseFont())
		GTEST_SKIP() << "needs a Japanese font (Debian fonts-ipafont-gothic)";
	int index = 0;
	EXPECT_FALSE(FindGlyphFontFile("No Such Face 12345", &index).empty());
	// "ＭＳ ゴシック" in Shift-JIS: a Windows face name that Linux lacks.
	TRenderedSheet sheet({KanaACode}, 16, "\x82\x6c\x82\x72 \x83\x53\x83\x56\x83\x62\x83\x4e");
	ASSERT_NE(nullptr, sheet.m_Surface);
	EXPECT_GT(sheet.Ink(0), 20);
}

TEST(GlyphRaster, RefusesBadSizesAndUnwritablePaths)
{
	TTempDir dir;
	const int codes[] = {'A'};
	EXPECT_EQ(-1, RenderGlyphSheet(codes, 1, 0, 16, 16, "", dir / "a.png"));
	EXPECT_EQ(-1, RenderGlyphSheet(codes, 1, 16, 16, 0, "", dir / "a.png"));
	EXPECT_EQ(-1, RenderGlyphSheet(codes, 1, 16, 16, 16, "", dir / "no/such/folder/a.png"));
	EXPECT_FALSE(FileExists(dir / "a.png"));
}
