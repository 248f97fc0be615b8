#include "HexCodec.h"

#include <array>
#include <cstring>

namespace karsidan {
namespace {

constexpr std::array<std::int8_t, 256> MakeDigitTable()
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

// Two digits per byte value, in memory order.
constexpr std::array<std::array<char, 2>, 256> MakePairTable()
{
    constexpr char digits[] = "0123456789ABCDEF";
    std::array<std::array<char, 2>, 256> t{};
    for (int i = 0; i < 256; ++i)
        t[i] = {digits[i >> 4], digits[i & 15]};
    return t;
}

constexpr auto kDigitValue = MakeDigitTable();
constexpr auto kPairs = MakePairTable();

inline std::uint64_t LoadBigEndian(const char* p) noexcept
{
    std::uint64_t v = 0;
    for (int i = 0; i < 8; ++i)
        v = (v << 8) | static_cast<unsigned char>(p[i]);
    return v;
}

} // namespace

int HexDigitValue(char c) noexcept
{
    return kDigitValue[static_cast<unsigned char>(c)];
}

std::vector<std::uint64_t> BytesToBlocks(std::string_view bytes, unsigned char pad)
{
    std::vector<std::uint64_t> blocks((bytes.size() + 7) / 8);
    const std::size_t whole = bytes.size() / 8;
    for (std::size_t i = 0; i < whole; ++i)
        blocks[i] = LoadBigEndian(bytes.data() + 8 * i);
    if (whole < blocks.size()) {
        char last[8];
        std::memset(last, pad, sizeof last);
        std::memcpy(last, bytes.data() + 8 * whole, bytes.size() - 8 * whole);
        blocks[whole] = LoadBigEndian(last);
    }
    return blocks;
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

HexBlocks HexToBlocks(std::string_view text)
{
    HexBlocks result;
    result.blocks.reserve(text.size() / 16);
    const char* p = text.data();
    const char* const end = p + text.size();
    std::uint64_t acc = 0;
    int digits = 0;
    while (p != end) {
        // Clean cipher texts take this branch: sixteen digits in a row.
        if (digits == 0 && end - p >= 16) {
            std::uint64_t v = 0;
            int bad = 0;
            for (int i = 0; i < 16; ++i) {
                const int d = kDigitValue[static_cast<unsigned char>(p[i])];
                bad |= d;
                v = (v << 4) | static_cast<std::uint64_t>(d & 15);
            }
            if (bad >= 0) {
                result.blocks.push_back(v);
                p += 16;
                continue;
            }
        }
        const int d = kDigitValue[static_cast<unsigned char>(*p++)];
        if (d < 0)
            continue;
        acc = (acc << 4) | static_cast<std::uint64_t>(d);
        if (++digits == 16) {
            result.blocks.push_back(acc);
            acc = 0;
            digits = 0;
        }
    }
    result.tail = acc;
    result.tailDigits = digits;
    return result;
}

} // namespace karsidan
