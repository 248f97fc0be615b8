#include "cipher/reference/TableText.h"

#include "cipher/hex/HexDigit.h"
#include "cipher/padding/Padding.h"
#include "cipher/reference/DesKernel.h"

#include <stdexcept>
#include <vector>

namespace karsidan {
namespace {

TripleDesSchedule ScheduleOf(const TripleDesKeys& keys, PassOrder order)
{
    const auto passes = keys.Passes(order);
    return TripleDesSchedule(
        {MakeDesRoundKeys(passes[0].key), MakeDesRoundKeys(passes[1].key), MakeDesRoundKeys(passes[2].key)},
        {passes[0].encrypt, passes[1].encrypt, passes[2].encrypt});
}

} // namespace

std::string TableEncryptText(std::string_view text, const TripleDesKeys& keys)
{
    const std::string_view bytes = TrimSpaces(text);
    std::vector<std::uint64_t> blocks((bytes.size() + 7) / 8);
    for (std::size_t i = 0; i < 8 * blocks.size(); ++i) {
        const auto b = i < bytes.size() ? static_cast<unsigned char>(bytes[i]) : kPadByte;
        blocks[i / 8] = (blocks[i / 8] << 8) | b;
    }
    TripleDesBlocks(blocks, ScheduleOf(keys, PassOrder::Encryption));
    std::string hex;
    hex.reserve(16 * blocks.size());
    for (const std::uint64_t b : blocks)
        for (int shift = 60; shift >= 0; shift -= 4)
            hex += "0123456789ABCDEF"[(b >> shift) & 15];
    return hex;
}

std::string TableDecryptText(std::string_view cipher, const TripleDesKeys& keys)
{
    std::vector<std::uint64_t> blocks;
    std::uint64_t acc = 0;
    std::size_t digits = 0;
    for (const char c : cipher) {
        const int v = HexDigitValue(c);
        if (v < 0)
            continue;
        acc = (acc << 4) | static_cast<std::uint64_t>(v);
        if (++digits % 16 == 0) {
            blocks.push_back(acc);
            acc = 0;
        }
    }
    if (digits % 2 == 1)
        throw std::invalid_argument("Jumlah angka heksadesimal (" + std::to_string(digits) + ") ganjil");
    for (std::size_t tail = digits % 16; tail > 0 && tail < 16; tail += 2)
        acc = (acc << 8) | kPadByte;
    if (digits % 16 != 0)
        blocks.push_back(acc);
    TripleDesBlocks(blocks, ScheduleOf(keys, PassOrder::Decryption));
    std::string text;
    text.reserve(8 * blocks.size());
    for (const std::uint64_t b : blocks)
        for (int shift = 56; shift >= 0; shift -= 8)
            text += static_cast<char>(b >> shift);
    if (!text.empty())
        text.resize(text.size() - PaddingLength(reinterpret_cast<const unsigned char*>(text.data()) + text.size() - 8));
    return text;
}

} // namespace karsidan
