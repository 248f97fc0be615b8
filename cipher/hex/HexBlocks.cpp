#include "cipher/hex/HexBlocks.h"

#include <array>
#include <cstring>

namespace karsidan {
namespace {

// Two digits per byte value, in memory order.
constexpr std::array<std::array<char, 2>, 256> MakePairTable()
{
    constexpr char digits[] = "0123456789ABCDEF";
    std::array<std::array<char, 2>, 256> t{};
    for (int i = 0; i < 256; ++i)
        t[i] = {digits[i >> 4], digits[i & 15]};
    return t;
}

constexpr auto kPairs = MakePairTable();

inline std::uint64_t LoadBigEndian(const char* p) noexcept
{
    std::uint64_t v = 0;
    for (int i = 0; i < 8; ++i)
        v = (v << 8) | static_cast<unsigned char>(p[i]);
    return v;
}

} // namespace

void BytesToBlocks(std::string_view bytes, unsigned char pad, std::span<std::uint64_t> out) noexcept
{
    const std::size_t whole = bytes.size() / 8;
    for (std::size_t i = 0; i < whole; ++i)
        out[i] = LoadBigEndian(bytes.data() + 8 * i);
    if (8 * whole < bytes.size()) {
        char last[8];
        std::memset(last, pad, sizeof last);
        std::memcpy(last, bytes.data() + 8 * whole, bytes.size() - 8 * whole);
        out[whole] = LoadBigEndian(last);
    }
}

void BlocksToBytes(std::span<const std::uint64_t> blocks, char* out) noexcept
{
    for (const std::uint64_t b : blocks)
        for (int shift = 56; shift >= 0; shift -= 8)
            *out++ = static_cast<char>(b >> shift);
}

void BlocksToHex(std::span<const std::uint64_t> blocks, char* out) noexcept
{
    for (const std::uint64_t b : blocks) {
        for (int shift = 56; shift >= 0; shift -= 8) {
            std::memcpy(out, kPairs[(b >> shift) & 0xFF].data(), 2);
            out += 2;
        }
    }
}

std::size_t CountHexDigits(std::string_view text) noexcept
{
    std::size_t n = 0;
    for (const char c : text)
        n += HexDigitValue(c) >= 0;
    return n;
}

} // namespace karsidan
