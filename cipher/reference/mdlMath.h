#pragma once
// Character-per-bit codec: bits carried as strings of '0' and '1', most
// significant first, and hex strings of upper-case digits. This is the
// readable reference form of the cipher; the whole-text transform uses the
// 64-bit block path and is checked against this one.
//
// Errors: std::invalid_argument where a value has the wrong shape,
// std::overflow_error where a number does not fit.
// Texts are code-page byte strings (see CodePage.h).

#include <cstdint>
#include <string>
#include <string_view>

namespace karsidan {

// One hex digit ('0'-'9', 'A'-'F' only) to four bits; anything else gives "".
std::string HexDigitToBits(std::string_view digit);
// Exactly four '0'/'1' characters to one upper-case digit; anything else "".
std::string BitsToHexDigit(std::string_view group);

// Trims spaces, then four bits per valid digit; foreign characters are skipped.
std::string HexToBits(std::string_view hex);
// Trims spaces, then one digit per whole group of four bits; a short last
// group and groups holding other characters are skipped.
std::string BitsToHex(std::string_view bits);

// Character-wise XOR; the result is as long as a. Throws
// std::invalid_argument when b is shorter than a or a compared character
// is not a decimal digit.
std::string XorBits(std::string_view a, std::string_view b);

// "1" gives 2^place, anything else 0.
std::int32_t BitWeight(std::string_view c, int place);
// Unsigned value as decimal text; characters other than '0'/'1' count as 0.
// Throws std::overflow_error when the value needs more than 31 bits.
std::string BitsToDecimal(std::string_view bits);
// Decimal text to bits, left-padded with '0' to width (never cut).
// Throws std::invalid_argument when the text is not a number.
std::string DecimalToBits(std::string_view decimal, int width);

// Eight bits of the character's code.
std::string CharToBits(char c);
// Eight bits per character of the text with its outer spaces trimmed.
std::string TextToBits(std::string_view text);
// One character per group of eight bits, spaces dropped.
std::string BitsToText(std::string_view bits);
// One character per pair of digits; the pair "20" gives a space.
std::string HexToText(std::string_view hex);

} // namespace karsidan
