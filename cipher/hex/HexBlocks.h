#pragma once
// Conversions between byte texts, 64-bit blocks (first byte most
// significant) and upper-case hex, table-driven and allocation-free.

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

namespace karsidan {

// Packs bytes into out[0 .. ceil(bytes / 8)); the last block is completed
// with `pad` bytes. out must have room for them.
void BytesToBlocks(std::string_view bytes, unsigned char pad, std::span<std::uint64_t> out) noexcept;

// Writes 8 bytes per block to out.
void BlocksToBytes(std::span<const std::uint64_t> blocks, char* out) noexcept;

// Writes 16 upper-case hex digits per block to out.
void BlocksToHex(std::span<const std::uint64_t> blocks, char* out) noexcept;

namespace detail {
constexpr std::array<std::int8_t, 256> MakeHexDigitTable()
{
    std::array<std::int8_t, 256> t{};
    for (auto& v : t)
        v = -1;
    for (int i = 0; i < 10; ++i)
        t['0' + i] = static_cast<std::int8_t>(i);
    for (int i = 0; i < 6; ++i)
        t['A' + i] = static_cast<std::int8_t>(10 + i);
    return t;
}
inline constexpr auto kHexDigitValue = MakeHexDigitTable();
} // namespace detail

// Value of an upper-case hex digit, or -1.
inline int HexDigitValue(char c) noexcept
{
    return detail::kHexDigitValue[static_cast<unsigned char>(c)];
}

// Number of valid digits ('0'-'9', 'A'-'F') in a text.
std::size_t CountHexDigits(std::string_view text) noexcept;

} // namespace karsidan
