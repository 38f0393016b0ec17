#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace results {

// Numbers in a data file are read leniently: a damaged or hand-edited file still loads.
// Both readers skip leading blanks (spaces and tabs), then take the longest prefix that is a
// valid decimal number and ignore whatever follows it. Text without such a prefix gives 0;
// a value beyond the type's range gives the nearest limit. No input is an error.

// Optional sign, then decimal digits. "12abc" gives 12, "0x1F" gives 0.
std::int32_t TextToInt(std::string_view text);

// Optional sign, digits with an optional '.' and fraction (at least one digit in all, so
// "5." and ".5" count), then an optional exponent 'e' or 'E' with optional sign and at least
// one digit; an 'e' without digits is not part of the number. Only '.' is a decimal point.
// The words "nan" and "inf" are no decimal numbers and give 0, so the result is always
// finite. Too large a magnitude gives the largest finite double of that sign; too small a
// one gives 0.
double TextToReal(std::string_view text);

// Plain decimal without leading zeros, as the data file stores numbers.
std::string IntToText(std::int32_t value);
std::string UnsignedToText(std::uint32_t value);

// The decimal integer of value truncated toward zero, in as many digits as it has (a speed
// above the range of int is still written whole). NaN is written as 0; an infinity as the
// largest finite double of its sign, so that the text reads back as a finite number.
std::string TruncToText(double value);

}  // namespace results
