#include "cipher/bitslice/RoundKeyMasks.h"

#include "cipher/bitslice/BitsliceTables.h"
#include "cipher/consttime/ConstantTime.h"
#include "cipher/des/DesRoundKeys.h"

namespace karsidan::bitslice {

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

void FillRoundKeyMasks(RoundKeyMasks& masks,
                       const std::array<const std::array<std::uint64_t, 16>*, 3>& rounds,
                       const std::array<bool, 3>& encrypt)
{
    for (int p = 0; p < 3; ++p) {
        for (int i = 0; i < 16; ++i) {
            // Decryption is the same network with the round keys reversed.
            const std::uint64_t k = (*rounds[p])[encrypt[p] ? i : 15 - i];
            for (int j = 0; j < 48; ++j)
                masks.bit[16 * p + i][j] = ct::Spread(k >> (47 - j));
        }
    }
    AddOffsetMasks(masks);
}

void FillRoundKeyMasks(RoundKeyMasks& masks, const std::array<DesPass, 3>& passes)
{
    std::array<DesRoundKeys, 3> keys;
    for (int p = 0; p < 3; ++p)
        keys[p] = MakeDesRoundKeys(passes[p].key);
    FillRoundKeyMasks(masks, {&keys[0].round, &keys[1].round, &keys[2].round},
                      {passes[0].encrypt, passes[1].encrypt, passes[2].encrypt});
}

} // namespace karsidan::bitslice
