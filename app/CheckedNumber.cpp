#include "app/CheckedNumber.h"

#include <climits>
#include <cstring>

namespace
{
// The blanks the scan conversions skip in the "C" locale; the process-wide locale is left alone.
const char* const BLANKS = " \t\n\v\f\r";

bool IsDecimalDigit(char c)
{
	return c >= '0' && c <= '9';
}

/// Value of a hexadecimal digit, or -1.
int HexDigit(char c)
{
	if (IsDecimalDigit(c))
		return c - '0';
	if (c >= 'a' && c <= 'f')
		return c - 'a' + 10;
	if (c >= 'A' && c <= 'F')
		return c - 'A' + 10;
	return -1;
}

/// Skips the blanks and reads an optional sign; true for a minus.
bool SkipToDigits(const char*& p)
{
	p += std::strspn(p, BLANKS);
	const bool negative = *p == '-';
	if (*p == '-' || *p == '+')
		++p;
	return negative;
}

/// Reads blanks, a sign and decimal digits; a number far beyond the 32-bit range stays just beyond it. Null when no digit follows.
const char* ScanDecimal(const char* text, long long& number)
{
	if (!text)
		return nullptr;
	const char* p = text;
	const bool negative = SkipToDigits(p);
	if (!IsDecimalDigit(*p))
		return nullptr;
	// The magnitude stops growing past the range: the digits after that change nothing.
	const long long limit = static_cast<long long>(INT_MAX) + 2;
	long long magnitude = 0;
	for (; IsDecimalDigit(*p); ++p)
		magnitude = magnitude > limit ? magnitude : magnitude * 10 + (*p - '0');
	number = negative ? -magnitude : magnitude;
	return p;
}
}

const char* ScanInt(const char* text, int& value)
{
	long long number = 0;
	const char* end = ScanDecimal(text, number);
	if (end)
		value = ClampToInt(number);
	return end;
}

bool ReadInt(const char* text, int& value)
{
	return ScanInt(text, value) != nullptr;
}

bool ReadHex(const char* text, unsigned& value)
{
	if (!text)
		return false;
	const char* p = text;
	const bool negative = SkipToDigits(p);
	if (HexDigit(*p) < 0)
		return false;
	// "0x" is a prefix only when a digit follows; otherwise the number is the "0".
	if (p[0] == '0' && (p[1] == 'x' || p[1] == 'X') && HexDigit(p[2]) >= 0)
		p += 2;
	const unsigned long long limit = UINT_MAX;
	unsigned long long magnitude = 0;
	for (; HexDigit(*p) >= 0; ++p)
		magnitude = magnitude > limit ? magnitude : magnitude * 16 + HexDigit(*p);
	if (magnitude > limit)
		value = UINT_MAX;
	else
		value = negative ? 0u - static_cast<unsigned>(magnitude) : static_cast<unsigned>(magnitude);
	return true;
}

bool ParseWholeInt(const std::string& text, int& value)
{
	const std::size_t sign = !text.empty() && (text[0] == '-' || text[0] == '+') ? 1 : 0;
	if (text.size() == sign || text.find_first_not_of("0123456789", sign) != std::string::npos)
		return false;
	long long number = 0;
	ScanDecimal(text.c_str(), number);
	if (number < INT_MIN || number > INT_MAX)
		return false;
	value = static_cast<int>(number);
	return true;
}

int ClampToInt(long long value)
{
	return value > INT_MAX ? INT_MAX : value < INT_MIN ? INT_MIN : static_cast<int>(value);
}

int AddSaturated(int a, int b)
{
	return ClampToInt(static_cast<long long>(a) + b);
}

int SubtractSaturated(int a, int b)
{
	return ClampToInt(static_cast<long long>(a) - b);
}

int MultiplySaturated(int a, int b)
{
	return ClampToInt(static_cast<long long>(a) * b);
}

int ScalePercent(int value, int percent)
{
	return ClampToInt(static_cast<long long>(value) * percent / 100);
}
