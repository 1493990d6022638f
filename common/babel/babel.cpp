#include "common/babel/babel.h"

#include "common/babel/babel_engine.h"

#include <cassert>

namespace babel
{
namespace
{
/// A 16-bit code to 16-bit code map in three levels: high byte, bits 5-7, bits 0-4; 0 means unmapped.
struct bbl_sparse_table
{
	const std::uint16_t* level1;
	const std::uint16_t (*level2)[8];
	const std::uint16_t (*level3)[32];

	std::uint16_t lookup(std::uint16_t code) const
	{
		return level3[level2[level1[code >> 8]][(code >> 5) & 7]][code & 31];
	}
};

#include "common/babel/cp932_tables.inc"

bool IsTrailByte(unsigned char c)
{
	return c >= 0x40 && c <= 0xFC && c != 0x7F;
}

bool IsHalfWidthKatakana(unsigned char c)
{
	return c >= 0xA1 && c <= 0xDF;
}

bool IsHighSurrogate(char16_t u)
{
	return u >= 0xD800 && u <= 0xDBFF;
}

bool IsLowSurrogate(char16_t u)
{
	return u >= 0xDC00 && u <= 0xDFFF;
}

/// Length of a UTF-8 sequence by its first byte; 0 for a byte that cannot start one.
std::size_t Utf8SequenceLength(unsigned char c)
{
	if (c < 0x80)
		return 1;
	if (c < 0xC0)
		return 0;
	if (c < 0xE0)
		return 2;
	if (c < 0xF0)
		return 3;
	if (c < 0xF8)
		return 4;
	if (c < 0xFC)
		return 5;
	if (c < 0xFE)
		return 6;
	return 0;
}

/// The code point of a complete UTF-8 sequence; continuation bytes give their low six bits unchecked.
std::uint32_t DecodeUtf8Sequence(const std::string& in, std::size_t pos, std::size_t length)
{
	static const unsigned char firstByteMask[7] = { 0, 0x7F, 0x1F, 0x0F, 0x07, 0x03, 0x01 };
	std::uint32_t value = static_cast<unsigned char>(in[pos]) & firstByteMask[length];
	for (std::size_t k = 1; k < length; ++k)
		value = (value << 6) | (static_cast<unsigned char>(in[pos + k]) & 0x3F);
	return value;
}

void PutUtf8(bbl_output_block<std::string>& out, std::uint32_t c)
{
	if (c < 0x80) {
		out.put(static_cast<char>(c));
		return;
	}
	int continuationBytes;
	if (c < 0x800) {
		out.put(static_cast<char>(0xC0 | (c >> 6)));
		continuationBytes = 1;
	} else if (c < 0x10000) {
		out.put(static_cast<char>(0xE0 | (c >> 12)));
		continuationBytes = 2;
	} else {
		out.put(static_cast<char>(0xF0 | (c >> 18)));
		continuationBytes = 3;
	}
	for (int k = continuationBytes - 1; k >= 0; --k)
		out.put(static_cast<char>(0x80 | ((c >> (6 * k)) & 0x3F)));
}

template <typename Engine>
typename Engine::to_string TranslateAll(const typename Engine::from_string& input)
{
	Engine engine;
	engine.put(input);
	engine.translate();
	engine.flush();
	return engine.get();
}
}

bbl_smart_base::~bbl_smart_base()
{
	assert(0 == ref_count);
}

template <>
const std::string& bbl_replacement<std::string>()
{
	static const std::string token("?");
	return token;
}

template <>
const std::u16string& bbl_replacement<std::u16string>()
{
	static const std::u16string token(u"?");
	return token;
}

void sjis_cp932_to_unicode_engine::translate()
{
	bbl_output_block<std::u16string> out(translated);
	const std::string& in = untranslated;
	std::size_t pos = 0;
	while (pos < in.size()) {
		out.reserve();
		const unsigned char c = in[pos];
		if (IsSJISLeadByte(c)) {
			if (pos + 1 == in.size())
				break;
			const unsigned char trail = in[pos + 1];
			const std::uint16_t unit = IsTrailByte(trail) ? cp932_to_unicode.lookup((c << 8) | trail) : 0;
			if (unit == 0) {
				// The second byte is read again as a character of its own.
				out.put_replacement();
				++pos;
			} else {
				out.put(unit);
				pos += 2;
			}
		} else {
			out.put(IsHalfWidthKatakana(c) ? cp932_to_unicode.lookup(c) : c);
			++pos;
		}
	}
	out.flush();
	untranslated.erase(0, pos);
}

void unicode_to_sjis_cp932_engine::translate()
{
	bbl_output_block<std::string> out(translated);
	for (char16_t u : untranslated) {
		out.reserve();
		if (u < 0x80) {
			out.put(static_cast<char>(u));
			continue;
		}
		const std::uint16_t code = unicode_to_cp932.lookup(u);
		if (code == 0) {
			out.put_replacement();
		} else if (code < 0x100) {
			out.put(static_cast<char>(code));
		} else {
			out.put(static_cast<char>(code >> 8));
			out.put(static_cast<char>(code & 0xFF));
		}
	}
	out.flush();
	untranslated.clear();
}

void unicode_to_utf8_engine::translate()
{
	bbl_output_block<std::string> out(translated);
	const std::u16string& in = untranslated;
	std::size_t pos = 0;
	while (pos < in.size()) {
		out.reserve();
		const char16_t u = in[pos];
		if (IsHighSurrogate(u)) {
			if (pos + 1 == in.size())
				break;
			if (IsLowSurrogate(in[pos + 1])) {
				PutUtf8(out, 0x10000 + ((std::uint32_t(u) - 0xD800) << 10) + (in[pos + 1] - 0xDC00));
				pos += 2;
				continue;
			}
		}
		PutUtf8(out, u);
		++pos;
	}
	out.flush();
	untranslated.erase(0, pos);
}

void utf8_to_unicode_engine::translate()
{
	bbl_output_block<std::u16string> out(translated);
	const std::string& in = untranslated;
	std::size_t pos = 0;
	while (pos < in.size()) {
		out.reserve();
		const std::size_t length = Utf8SequenceLength(in[pos]);
		if (length == 0) {
			out.put_replacement();
			++pos;
			continue;
		}
		if (in.size() - pos < length)
			break;
		const std::uint32_t value = DecodeUtf8Sequence(in, pos, length);
		if (value == 0 && length > 1) {
			// An overlong NUL would cut the text short wherever it is used as a C string.
			out.put_replacement();
		} else if (value < 0x10000) {
			out.put(static_cast<char16_t>(value));
		} else if (value <= 0x10FFFF) {
			out.put(static_cast<char16_t>(0xD800 + ((value - 0x10000) >> 10)));
			out.put(static_cast<char16_t>(0xDC00 + ((value - 0x10000) & 0x3FF)));
		} else {
			out.put_replacement();
		}
		pos += length;
	}
	out.flush();
	untranslated.erase(0, pos);
}

void init_babel()
{
	// The tables are constant data, so there is nothing to prepare; the entry
	// stays so that start-up has one place to bring the library up.
}

std::u16string sjis_to_unicode(const std::string& sjis)
{
	return TranslateAll<sjis_cp932_to_unicode_engine>(sjis);
}

std::string unicode_to_sjis(const std::u16string& unicode)
{
	return TranslateAll<unicode_to_sjis_cp932_engine>(unicode);
}

std::string unicode_to_utf8(const std::u16string& unicode)
{
	return TranslateAll<unicode_to_utf8_engine>(unicode);
}

std::u16string utf8_to_unicode(const std::string& utf8)
{
	return TranslateAll<utf8_to_unicode_engine>(utf8);
}
}

std::string SjisToUtf8(const std::string& sjis)
{
	return babel::unicode_to_utf8(babel::sjis_to_unicode(sjis));
}

std::string Utf8ToSjis(const std::string& utf8)
{
	return babel::unicode_to_sjis(babel::utf8_to_unicode(utf8));
}

bool IsSJISLeadByte(unsigned char c)
{
	return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}

std::size_t SjisCutLength(const std::string& text, std::size_t bytes)
{
	std::size_t end = 0;
	while (end < text.size()) {
		const std::size_t next = end + (IsSJISLeadByte(static_cast<unsigned char>(text[end])) ? 2 : 1);
		if (next > bytes)
			break;
		end = next;
	}
	return end;
}
