#include "cipher/bitslice/RoundKeyMasks.h"

#include "cipher/bitslice/BitsliceTables.h"
#include "cipher/consttime/ConstantTime.h"
#include "cipher/des/DesRoundKeys.h"

namespace karsidan::bitslice {

namespace {

constexpr std::array<bool, 48> kFirstUse = [] {
    std::array<bool, 48> f{};
    for (int j = 0; j < 48; ++j)
        f[j] = IsFirstExpansionUse(j);
    return f;
}();

// Expanded bit j of a round reads half bit kE[j] - 1.
constexpr std::array<int, 48> kHalfBit = [] {
    std::array<int, 48> h{};
    for (int j = 0; j < 48; ++j)
        h[j] = tables::kE[j] - 1;
    return h;
}();

// The expanded bit that first reads half bit i.
constexpr std::array<int, 32> kFirstReader = [] {
    std::array<int, 32> f{};
    for (int j = 47; j >= 0; --j)
        f[tables::kE[j] - 1] = j;
    return f;
}();

// All ones for the expanded bits that need their key XOR outside full
// rounds: the second uses.
constexpr std::array<std::uint64_t, 48> kSecondUse = [] {
    std::array<std::uint64_t, 48> s{};
    for (int j = 0; j < 48; ++j)
        s[j] = kFirstUse[j] ? 0 : ~std::uint64_t{0};
    return s;
}();

// Walks the rounds as the kernels do, tracking each state word's constant.
// Branch-free inner loops over fixed index tables: this runs once per
// command, on the short texts' critical path.
void AddOffsetMasks(RoundKeyMasks& m)
{
    std::uint64_t offset[64] = {};
    int cur = 0;
    for (int r = 0; r < 48; ++r) {
        const std::uint64_t* src = offset + 32 * (1 - cur);
        std::uint64_t* dst = offset + 32 * cur;
        const std::uint64_t* keep = IsFullKeyRound(r) ? nullptr : kSecondUse.data();
        for (int j = 0; j < 48; ++j) {
            const std::uint64_t need = src[kHalfBit[j]] ^ m.bit[r][j];
            m.in[r][j] = keep ? need & keep[j] : need;
        }
        const bool toggles = r % 16 != 15;
        const bool nextReadsThis = toggles && r + 1 < 48 && !IsFullKeyRound(r + 1);
        const std::uint64_t next = nextReadsThis ? ~std::uint64_t{0} : 0;
        const std::uint64_t* nextBits = m.bit[r + 1 < 48 ? r + 1 : r];
        for (int i = 0; i < 32; ++i) {
            const std::uint64_t wanted = nextBits[kFirstReader[i]] & next;
            m.out[r][i] = dst[i] ^ wanted;
            dst[i] = wanted;
        }
        if (toggles)
            cur ^= 1;
    }
    for (int k = 0; k < 64; ++k)
        m.final[k] = offset[k];
}

} // namespace

void FillRoundKeyMasks(RoundKeyMasks& masks, const std::array<const std::array<std::uint64_t, 16>*, 3>& rounds,
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
