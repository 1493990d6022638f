#include "common/babel/babel.h"
#include "common/babel/babel_engine.h"

#include <gtest/gtest.h>

namespace
{
std::string SjisOf(char16_t unit)
{
	return babel::unicode_to_sjis(std::u16string(1, unit));
}

std::u16string UnicodeOf(const std::string& sjis)
{
	return babel::sjis_to_unicode(sjis);
}

std::string DoubleByte(int lead, int trail)
{
	return std::string{ static_cast<char>(lead), static_cast<char>(trail) };
}

bool IsDuplicateRow(unsigned char lead)
{
	return lead == 0x87 || lead == 0xED || lead == 0xEE || lead >= 0xFA;
}
}

TEST(Babel, AsciiPassesThroughBothWays)
{
	std::string ascii;
	for (int c = 1; c < 0x80; ++c)
		ascii += static_cast<char>(c);
	EXPECT_EQ(ascii, SjisToUtf8(ascii));
	EXPECT_EQ(ascii, Utf8ToSjis(ascii));
}

TEST(Babel, LiteralsAreCompiledAsShiftJis)
{
	EXPECT_EQ(std::string("\x83\x66\x81\x5B\x83\x5E\x82\xC8\x82\xB5"), std::string("データなし"));
}

TEST(Babel, TextsConvertBothWaysAndWhatCannotBeConvertedBecomesQuestionMarks)
{
	struct TPair
	{
		std::string from;
		std::string to;
	};
	// Hiragana, half-width katakana and the full-width tilde, both ways.
	const TPair bothWays[] = {{"\x82\xA0", "\xE3\x81\x82"}, {"\xB1", "\xEF\xBD\xB1"}, {"\x81\x60", "\xEF\xBD\x9E"}};
	for (const TPair& p : bothWays) {
		EXPECT_EQ(p.to, SjisToUtf8(p.from));
		EXPECT_EQ(p.from, Utf8ToSjis(p.to));
	}
	// A lone lead byte at the end; an invalid trail byte read again as a character of its own; the user-defined
	// area and the empty rows, which map nothing.
	const TPair brokenSjis[] = {{"ab\x82", "ab?"}, {"\x81\x7F", "?\x7F"}, {"\xF0\x40", "?@"}, {"\x85\x40", "?@"},
		{"\xEB\x41", "?A"}};
	for (const TPair& p : brokenSjis)
		EXPECT_EQ(p.to, SjisToUtf8(p.from)) << p.from;
	// WAVE DASH and YEN SIGN lie outside code page 932; broken UTF-8 gives one mark per byte kept, and an
	// overlong NUL is refused.
	const TPair outside[] = {{"\xE3\x80\x9C", "?"}, {"\xC2\xA5", "?"}, {"\xF0\x9F\x98\x80", "??"}, {"\x80", "?"},
		{"\xFE" "a\xFF", "?a?"}, {"\xE3\x81", "??"}, {std::string("a\xC0\x80" "b"), "a?b"}};
	for (const TPair& p : outside)
		EXPECT_EQ(p.to, Utf8ToSjis(p.from)) << p.from;
	// Duplicate codes convert back to the choice Windows makes; EM DASH (0x815C is U+2015) and the user-defined
	// area have no code.
	const std::pair<char16_t, std::string> toSjis[] = {{0x2252, "\x81\xE0"}, {0x2170, "\xFA\x40"},
		{0x2160, "\x87\x54"}, {0xFFE2, "\x81\xCA"}, {0x7E8A, "\xFA\x5C"}, {0x2014, "?"}, {0xE000, "?"}};
	for (const auto& p : toSjis)
		EXPECT_EQ(p.second, SjisOf(p.first)) << std::hex << int(p.first);
	EXPECT_EQ(u"\u2252", UnicodeOf("\x87\x90"));
	EXPECT_EQ(u"\u3042", UnicodeOf("\x82\xA0"));
	EXPECT_EQ(u"\uFF5E", UnicodeOf("\x81\x60"));

	const std::string bytes("\x80\xA0\xFD\xFE\xFF", 5);
	EXPECT_EQ(u"\u0080\u00A0\u00FD\u00FE\u00FF", UnicodeOf(bytes)) << "bytes outside the table";
	EXPECT_EQ(bytes, Utf8ToSjis(SjisToUtf8(bytes)));
}

TEST(Babel, EveryShiftJisCodeRoundTrips)
{
	int mapped = 0;
	for (int lead = 0x81; lead <= 0xFC; ++lead) {
		if (!IsSJISLeadByte(lead))
			continue;
		for (int trail = 0x40; trail <= 0xFC; ++trail) {
			if (trail == 0x7F)
				continue;
			const std::string code = DoubleByte(lead, trail);
			const std::u16string unit = UnicodeOf(code);
			if (unit.size() != 1)
				continue;
			++mapped;
			const std::string back = babel::unicode_to_sjis(unit);
			if (back != code) {
				EXPECT_TRUE(IsDuplicateRow(lead)) << std::hex << lead << ' ' << trail;
				EXPECT_EQ(unit, UnicodeOf(back));
			}
			EXPECT_EQ(back, Utf8ToSjis(SjisToUtf8(code)));
		}
	}
	EXPECT_EQ(7724, mapped);
	for (int byte = 0; byte < 0x100; ++byte) {
		if (IsSJISLeadByte(byte))
			continue;
		const std::string code(1, static_cast<char>(byte));
		EXPECT_EQ(code, Utf8ToSjis(SjisToUtf8(code))) << byte;
	}
}

TEST(Babel, EveryMappedUnicodeCharacterRoundTrips)
{
	int mapped = 0;
	for (char32_t c = 0x80; c < 0x10000; ++c) {
		const std::u16string unit(1, static_cast<char16_t>(c));
		const std::string code = babel::unicode_to_sjis(unit);
		if (code == "?")
			continue;
		++mapped;
		EXPECT_EQ(unit, UnicodeOf(code)) << std::hex << c;
	}
	// 7326 double-byte characters, 63 half-width katakana and 5 pass-through bytes.
	EXPECT_EQ(7394, mapped);
}

TEST(Babel, Utf8UsesTheShortestFormAndReadsOverlongFormsButNotBrokenOnes)
{
	const std::pair<std::u16string, std::string> encoded[] = {{u"\u007F", "\x7F"}, {u"\u0080", "\xC2\x80"},
		{u"\u07FF", "\xDF\xBF"}, {u"\u0800", "\xE0\xA0\x80"}, {u"\uFFFF", "\xEF\xBF\xBF"},
		{u"\U00010000", "\xF0\x90\x80\x80"}, {u"\U0010FFFF", "\xF4\x8F\xBF\xBF"},
		// Lone surrogates are encoded as themselves, but not one cut off at the end.
		{std::u16string(1, 0xDC00), "\xED\xB0\x80"}, {std::u16string{0xD800, u'A'}, "\xED\xA0\x80" "A"},
		{std::u16string{u'A', 0xD800}, "A?"}};
	for (const auto& p : encoded)
		EXPECT_EQ(p.second, babel::unicode_to_utf8(p.first));
	for (char32_t c = 1; c < 0x10000; ++c) {
		const std::u16string unit(1, static_cast<char16_t>(c));
		if (c < 0xD800 || c > 0xDFFF) {
			ASSERT_EQ(unit, babel::utf8_to_unicode(babel::unicode_to_utf8(unit))) << std::hex << c;
		}
	}
	// Five- and six-byte forms beyond U+10FFFF are broken; overlong forms are read, but not an overlong NUL.
	const std::pair<std::string, std::u16string> decoded[] = {{"\xF0\x9F\x98\x80", u"\U0001F600"},
		{"\xF8\x88\x80\x80\x80", u"?"}, {"\xFC\x84\x80\x80\x80\x80", u"?"}, {"\xC1\x81", u"A"},
		{"\xC3\x41", u"\u00C1"}, {"\xE0\x80\x80", u"?"}};
	for (const auto& p : decoded)
		EXPECT_EQ(p.second, babel::utf8_to_unicode(p.first)) << p.first;
}

TEST(Babel, LongTextsCrossOutputBlocksIntact)
{
	std::string sjis;
	std::string utf8;
	for (int i = 0; i < 2500; ++i) {
		sjis += "\x82\xA0" "x";
		utf8 += "\xE3\x81\x82" "x";
	}
	sjis += "\x82";
	EXPECT_EQ(utf8 + "?", SjisToUtf8(sjis));
	EXPECT_EQ(sjis.substr(0, sjis.size() - 1), Utf8ToSjis(utf8));
	EXPECT_EQ(std::string(3001, '?'), Utf8ToSjis(std::string(3001, '\x80')));
}

TEST(Babel, EngineKeepsAnIncompleteTailForTheNextPiece)
{
	babel::utf8_to_unicode_engine utf8;
	utf8.put("a\xE3\x81");
	utf8.translate();
	EXPECT_EQ(u"a", utf8.get());
	utf8.put("\x82");
	utf8.translate();
	EXPECT_EQ(u"a\u3042", utf8.get());
	utf8.clear();
	EXPECT_EQ(u"", utf8.get());

	babel::sjis_cp932_to_unicode_engine sjis;
	sjis.put("\x82");
	sjis.translate();
	EXPECT_EQ(u"", sjis.get());
	sjis.put("\xA0");
	sjis.translate();
	sjis.flush();
	EXPECT_EQ(u"\u3042", sjis.get());
}

TEST(Babel, LeadByteRangesEndWhereShiftJisSaysSo)
{
	const std::pair<int, bool> bytes[] = {{0x80, false}, {0x81, true}, {0x9F, true}, {0xA0, false}, {0xDF, false},
		{0xE0, true}, {0xFC, true}, {0xFD, false}};
	for (const auto& b : bytes)
		EXPECT_EQ(b.second, IsSJISLeadByte(b.first)) << std::hex << b.first;
}
