#ifndef MORVALETH_COMMON_BABEL_BABEL_H
#define MORVALETH_COMMON_BABEL_BABEL_H

#include <string>

namespace babel
{
/// One-time start-up of the conversion library; safe to call more than once.
void init_babel();

/// Shift-JIS (code page 932) bytes to UTF-16; what cannot be converted becomes "?".
std::u16string sjis_to_unicode(const std::string& sjis);
/// UTF-16 to Shift-JIS (code page 932) bytes; what cannot be converted becomes "?".
std::string unicode_to_sjis(const std::u16string& unicode);
/// UTF-16 to UTF-8 bytes; a lone high surrogate at the end becomes "?".
std::string unicode_to_utf8(const std::u16string& unicode);
/// UTF-8 bytes to UTF-16; what cannot be decoded becomes "?".
std::u16string utf8_to_unicode(const std::string& utf8);
}

/// Shift-JIS (code page 932) text to UTF-8; what cannot be converted becomes "?".
std::string SjisToUtf8(const std::string& sjis);
/// UTF-8 text to Shift-JIS (code page 932); what cannot be converted becomes "?".
std::string Utf8ToSjis(const std::string& utf8);
/// True for the bytes that start a two-byte Shift-JIS character (0x81-0x9F, 0xE0-0xFC).
bool IsSJISLeadByte(unsigned char c);
/// The length of the text's first whole characters that fit in the bytes: a cut there splits no two-byte character.
std::size_t SjisCutLength(const std::string& text, std::size_t bytes);

#endif
