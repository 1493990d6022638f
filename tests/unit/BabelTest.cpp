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

TEST(Babel, HiraganaAndHalfWidthKatakanaConvertBothWays)
{
	EXPECT_EQ("\xE3\x81\x82", SjisToUtf8("\x82\xA0"));
	EXPECT_EQ("\x82\xA0", Utf8ToSjis("\xE3\x81\x82"));
	EXPECT_EQ(u"\u3042", UnicodeOf("\x82\xA0"));
	EXPECT_EQ("\xEF\xBD\xB1", SjisToUtf8("\xB1"));
	EXPECT_EQ("\xB1", Utf8ToSjis("\xEF\xBD\xB1"));
}

TEST(Babel, BrokenShiftJisBecomesQuestionMarks)
{
	// A lone lead byte at the end.
	EXPECT_EQ("ab?", SjisToUtf8("ab\x82"));
	// An invalid trail byte is read again as a character of its own.
	EXPECT_EQ("?\x7F", SjisToUtf8("\x81\x7F"));
	// The user-defined area and the empty rows map nothing.
	EXPECT_EQ("?@", SjisToUtf8("\xF0\x40"));
	EXPECT_EQ("?@", SjisToUtf8("\x85\x40"));
	EXPECT_EQ("?A", SjisToUtf8("\xEB\x41"));
}

TEST(Babel, BytesOutsideTheTableRoundTrip)
{
	const std::string bytes("\x80\xA0\xFD\xFE\xFF", 5);
	EXPECT_EQ(u"\u0080\u00A0\u00FD\u00FE\u00FF", UnicodeOf(bytes));
	EXPECT_EQ(bytes, Utf8ToSjis(SjisToUtf8(bytes)));
}

TEST(Babel, DuplicateCodesConvertBackToWindowsChoice)
{
	EXPECT_EQ(u"\u2252", UnicodeOf("\x87\x90"));
	EXPECT_EQ("\x81\xE0", SjisOf(0x2252));
	EXPECT_EQ("\xFA\x40", SjisOf(0x2170));
	EXPECT_EQ("\x87\x54", SjisOf(0x2160));
	EXPECT_EQ("\x81\xCA", SjisOf(0xFFE2));
	EXPECT_EQ("\xFA\x5C", SjisOf(0x7E8A));
}

TEST(Babel, CharactersOutsideCodePage932BecomeQuestionMarks)
{
	EXPECT_EQ(u"\uFF5E", UnicodeOf("\x81\x60"));
	EXPECT_EQ("\x81\x60", Utf8ToSjis("\xEF\xBD\x9E"));
	EXPECT_EQ("?", Utf8ToSjis("\xE3\x80\x9C"));  // WAVE DASH
	EXPECT_EQ("?", Utf8ToSjis("\xC2\xA5"));      // YEN SIGN
	EXPECT_EQ("?", SjisOf(0x2014));               // EM DASH; 0x815C is U+2015
	EXPECT_EQ("?", SjisOf(0xE000));               // user-defined area
	EXPECT_EQ("??", Utf8ToSjis("\xF0\x9F\x98\x80"));
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

TEST(Babel, Utf8UsesTheShortestForm)
{
	EXPECT_EQ("\x7F", babel::unicode_to_utf8(u"\u007F"));
	EXPECT_EQ("\xC2\x80", babel::unicode_to_utf8(u"\u0080"));
	EXPECT_EQ("\xDF\xBF", babel::unicode_to_utf8(u"\u07FF"));
	EXPECT_EQ("\xE0\xA0\x80", babel::unicode_to_utf8(u"\u0800"));
	EXPECT_EQ("\xEF\xBF\xBF", babel::unicode_to_utf8(u"\uFFFF"));
	EXPECT_EQ("\xF0\x90\x80\x80", babel::unicode_to_utf8(u"\U00010000"));
	EXPECT_EQ("\xF4\x8F\xBF\xBF", babel::unicode_to_utf8(u"\U0010FFFF"));
	for (char32_t c = 1; c < 0x10000; ++c) {
		const std::u16string unit(1, static_cast<char16_t>(c));
		if (c < 0xD800 || c > 0xDFFF) {
			ASSERT_EQ(unit, babel::utf8_to_unicode(babel::unicode_to_utf8(unit))) << std::hex << c;
		}
	}
	EXPECT_EQ(u"\U0001F600", babel::utf8_to_unicode("\xF0\x9F\x98\x80"));
}

TEST(Babel, LoneSurrogatesAreEncodedAsThemselves)
{
	EXPECT_EQ("\xED\xB0\x80", babel::unicode_to_utf8(std::u16string(1, 0xDC00)));
	EXPECT_EQ("\xED\xA0\x80" "A", babel::unicode_to_utf8(std::u16string{ 0xD800, u'A' }));
	EXPECT_EQ("A?", babel::unicode_to_utf8(std::u16string{ u'A', 0xD800 }));
}

TEST(Babel, BrokenUtf8BecomesQuestionMarks)
{
	EXPECT_EQ("?", Utf8ToSjis("\x80"));
	EXPECT_EQ("?a?", Utf8ToSjis("\xFE" "a\xFF"));
	// A sequence cut short gives one mark per byte kept.
	EXPECT_EQ("??", Utf8ToSjis("\xE3\x81"));
	// Five- and six-byte forms beyond U+10FFFF.
	EXPECT_EQ(u"?", babel::utf8_to_unicode("\xF8\x88\x80\x80\x80"));
	EXPECT_EQ(u"?", babel::utf8_to_unicode("\xFC\x84\x80\x80\x80\x80"));
}

TEST(Babel, OverlongFormsAreAcceptedExceptForNul)
{
	EXPECT_EQ(u"A", babel::utf8_to_unicode("\xC1\x81"));
	EXPECT_EQ(u"\u00C1", babel::utf8_to_unicode("\xC3\x41"));
	EXPECT_EQ("a?b", Utf8ToSjis("a\xC0\x80" "b"));
	EXPECT_EQ(u"?", babel::utf8_to_unicode("\xE0\x80\x80"));
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
	EXPECT_FALSE(IsSJISLeadByte(0x80));
	EXPECT_TRUE(IsSJISLeadByte(0x81));
	EXPECT_TRUE(IsSJISLeadByte(0x9F));
	EXPECT_FALSE(IsSJISLeadByte(0xA0));
	EXPECT_FALSE(IsSJISLeadByte(0xDF));
	EXPECT_TRUE(IsSJISLeadByte(0xE0));
	EXPECT_TRUE(IsSJISLeadByte(0xFC));
	EXPECT_FALSE(IsSJISLeadByte(0xFD));
}
