#ifndef MORVALETH_COMMON_BABEL_BABEL_H
#define MORVALETH_COMMON_BABEL_BABEL_H

#include <string>

namespace babel
{
/// One-time start-up of the conversion library; safe to call more than once.
void init_babel();
}

/// Shift-JIS (code page 932) text to UTF-8; what cannot be converted becomes "?".
std::string SjisToUtf8(const std::string& sjis);
/// UTF-8 text to Shift-JIS (code page 932); what cannot be converted becomes "?".
std::string Utf8ToSjis(const std::string& utf8);
/// True for the bytes that start a two-byte Shift-JIS character (0x81-0x9F, 0xE0-0xFC).
bool IsSJISLeadByte(unsigned char c);

#endif
