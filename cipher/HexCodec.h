#pragma once
// Conversions between byte texts, 64-bit blocks (first byte most
// significant) and upper-case hex, table-driven and allocation-free per block.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

namespace karsidan {

// Packs bytes into blocks; the last block is completed with `pad` bytes.
// Returns ceil(bytes / 8) blocks.
std::vector<std::uint64_t> BytesToBlocks(std::string_view bytes, unsigned char pad);

// Writes 8 bytes per block to out (room for 8 * blocks.size() bytes).
void BlocksToBytes(std::span<const std::uint64_t> blocks, char* out) noexcept;

// Writes 16 upper-case hex digits per block to out.
void BlocksToHex(std::span<const std::uint64_t> blocks, char* out) noexcept;

// Reads the valid digits ('0'-'9', 'A'-'F') of a text, skipping every other
// character, sixteen digits to a block.
struct HexBlocks {
    std::vector<std::uint64_t> blocks; // whole blocks of 16 digits
    std::uint64_t tail = 0;            // leftover digits, right-aligned
    int tailDigits = 0;                // 0 to 15
};
HexBlocks HexToBlocks(std::string_view text);

// Value of an upper-case hex digit, or -1.
int HexDigitValue(char c) noexcept;

} // namespace karsidan
