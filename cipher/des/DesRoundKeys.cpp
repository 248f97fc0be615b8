#include "cipher/des/DesRoundKeys.h"

#include "cipher/des/DesTables.h"

namespace karsidan {
namespace {

constexpr std::uint32_t kMask28 = (1u << 28) - 1;

std::uint32_t Rotate28(std::uint32_t half, int by) { return ((half << by) | (half >> (28 - by))) & kMask28; }

} // namespace

DesRoundKeys MakeDesRoundKeys(std::uint64_t key) noexcept
{
    const std::uint64_t cd = Permute(key, 64, des_tables::PC1);
    auto c = static_cast<std::uint32_t>(cd >> 28) & kMask28;
    auto d = static_cast<std::uint32_t>(cd) & kMask28;
    DesRoundKeys keys;
    for (std::size_t r = 0; r < 16; ++r) {
        c = Rotate28(c, des_tables::Shifts[r]);
        d = Rotate28(d, des_tables::Shifts[r]);
        keys.round[r] = Permute((std::uint64_t{c} << 28) | d, 56, des_tables::PC2);
    }
    return keys;
}

} // namespace karsidan
