#pragma once
// Hexadecimal text of byte strings, fast enough to vanish next to the
// cipher: 32 digits per step with AVX2, a table elsewhere.

#include "cipher/bitslice/TripleDesBitslice.h"

#include <cstddef>
#include <string_view>

namespace karsidan::bitslice {

// Writes 2n upper-case digits, high nibble first. The digits may overlap
// the bytes when out + n == bytes: each step reads its bytes before
// writing their digits, so the bytes spread into digits in place.
void EncodeHex(const unsigned char* bytes, std::size_t n, char* out);
void EncodeHex(const unsigned char* bytes, std::size_t n, char* out, Level level);

// Reads the digits "0"-"9" and "A"-"F" of text in order and skips every
// other character, lower-case digits included. Writes one byte per two
// digits; after an odd count the last digit is the high nibble of one
// more byte, whose low nibble is zero. out needs (text.size() + 1) / 2
// bytes. Returns the number of digits read.
std::size_t DecodeHex(std::string_view text, unsigned char* out);
std::size_t DecodeHex(std::string_view text, unsigned char* out, Level level);

} // namespace karsidan::bitslice
