#include "cipher/bitslice/RoundKeyMasks.h"

#include "cipher/bitslice/BitsliceTables.h"

namespace karsidan::bitslice {

std::array<std::uint64_t, 16> DesRoundKeys(std::uint64_t key)
{
    using namespace tables;
    std::uint32_t c = 0;
    std::uint32_t d = 0;
    for (int i = 0; i < 28; ++i) {
        c = (c << 1) | std::uint32_t((key >> (64 - kPC1[i])) & 1);
        d = (d << 1) | std::uint32_t((key >> (64 - kPC1[28 + i])) & 1);
    }
    std::array<std::uint64_t, 16> rounds{};
    for (int r = 0; r < 16; ++r) {
        for (int s = 0; s < kShifts[r]; ++s) {
            c = ((c << 1) | (c >> 27)) & 0x0FFFFFFF;
            d = ((d << 1) | (d >> 27)) & 0x0FFFFFFF;
        }
        const std::uint64_t cd = (std::uint64_t(c) << 28) | d;
        std::uint64_t k = 0;
        for (int j = 0; j < 48; ++j) {
            k = (k << 1) | ((cd >> (56 - kPC2[j])) & 1);
        }
        rounds[r] = k;
    }
    return rounds;
}

namespace {

constexpr std::array<bool, 48> kFirstUse = [] {
    std::array<bool, 48> f{};
    for (int j = 0; j < 48; ++j) f[j] = IsFirstExpansionUse(j);
    return f;
}();

// Walks the rounds as the kernels do, tracking each state word's constant.
void AddOffsetMasks(RoundKeyMasks& m)
{
    std::uint64_t offset[64] = {};
    int firstUse[32]; // expanded bit that first reads half bit i
    for (int j = 47; j >= 0; --j) firstUse[tables::kE[j] - 1] = j;
    int cur = 0;
    for (int r = 0; r < 48; ++r) {
        const int dst = 32 * cur;
        const int src = 32 * (1 - cur);
        for (int j = 0; j < 48; ++j) {
            const std::uint64_t need = offset[src + tables::kE[j] - 1] ^ m.bit[r][j];
            // Outside full rounds a first use has its key bit already.
            m.in[r][j] = (IsFullKeyRound(r) || !kFirstUse[j]) ? need : 0;
        }
        const bool toggles = r % 16 != 15;
        const bool nextReadsThis = toggles && r + 1 < 48 && !IsFullKeyRound(r + 1);
        for (int i = 0; i < 32; ++i) {
            const std::uint64_t wanted = nextReadsThis ? m.bit[r + 1][firstUse[i]] : 0;
            m.out[r][i] = offset[dst + i] ^ wanted;
            offset[dst + i] = wanted;
        }
        if (toggles) cur ^= 1;
    }
    for (int k = 0; k < 64; ++k) m.final[k] = offset[k];
}

} // namespace

void FillRoundKeyMasks(RoundKeyMasks& masks, const std::array<DesPass, 3>& passes)
{
    for (int p = 0; p < 3; ++p) {
        const auto rounds = DesRoundKeys(passes[p].key);
        for (int i = 0; i < 16; ++i) {
            // Decryption is the same network with the round keys reversed.
            const std::uint64_t k = rounds[passes[p].encrypt ? i : 15 - i];
            for (int j = 0; j < 48; ++j) {
                masks.bit[16 * p + i][j] = ((k >> (47 - j)) & 1) ? ~std::uint64_t{0} : 0;
            }
        }
    }
    AddOffsetMasks(masks);
}

} // namespace karsidan::bitslice
