#ifndef MORVALETH_APP_CHECKEDNUMBER_H
#define MORVALETH_APP_CHECKEDNUMBER_H

#include <string>

// Numbers from files and scripts. Every number the engine reads from text goes
// through these readers: a number beyond the 32-bit range becomes the nearest
// limit, never a wrapped value. Arithmetic on such numbers saturates the same
// way, so that no accepted value can overflow a sum, a product or a counter;
// for values whose result fits, the result is the plain one.

/// Reads a decimal integer as the "%d" scan does (blanks skipped, an optional sign, at least one digit, the rest ignored); returns the position after the digits, or null with the value untouched when no number starts the text.
const char* ScanInt(const char* text, int& value);
/// ScanInt as a yes or no; a null text holds no number.
bool ReadInt(const char* text, int& value);
/// Reads a hexadecimal number as the "%x" scan does (blanks, an optional sign, an optional "0x"); beyond 32 bits it is 0xFFFFFFFF; false with the value untouched when there is none.
bool ReadHex(const char* text, unsigned& value);
/// Reads a whole token as a 32-bit decimal (optional sign, digits only, in range); false leaves the value untouched.
bool ParseWholeInt(const std::string& text, int& value);

/// The value, or the 32-bit limit nearest to it.
int ClampToInt(long long value);
/// a + b, held at the 32-bit limits.
int AddSaturated(int a, int b);
/// a - b, held at the 32-bit limits.
int SubtractSaturated(int a, int b);
/// a * b, held at the 32-bit limits.
int MultiplySaturated(int a, int b);
/// percent % of the value, truncated toward zero, held at the 32-bit limits.
int ScalePercent(int value, int percent);

#endif
