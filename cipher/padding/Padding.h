#pragma once
// How a text becomes whole blocks: its outer spaces are dropped and bytes
// 0xB7 (a middle dot in the code page) complete the last block;
// decryption removes them again.

#include <cstddef>
#include <string_view>

namespace karsidan {

inline constexpr unsigned char kPadByte = 0xB7;

// How many padding bytes end the last block: the run of 0xB7 at its very
// end, at most 7 (a block of eight is the user's own text). Reads all
// eight bytes and branches on none; only the count leaves, as the text's
// length does.
std::size_t PaddingLength(const unsigned char* lastBlock) noexcept;

// Leading and trailing spaces (code 32 only) removed. Whether a byte is a
// space is all that steers the scan.
std::string_view TrimSpaces(std::string_view text) noexcept;

} // namespace karsidan
