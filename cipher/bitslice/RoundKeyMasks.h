#pragma once
// The 48 round keys of three DES passes in the form the bitsliced kernels
// consume: one word per key bit, all ones or all zeros, in the order of the
// expansion E, so a kernel XORs word j into the j-th expanded bit.

#include "cipher/bitslice/BitsliceTables.h"
#include "cipher/bitslice/TripleDesBitslice.h"

#include <array>
#include <cstdint>

namespace karsidan::bitslice {

struct RoundKeyMasks {
    std::uint64_t bit[48][48]; // [round of all three passes][expanded bit]

    // For kernels whose half update is one three-input XOR (vpternlog):
    // each half word is stored XORed with a constant, chosen when the word
    // is written so that the next round's key bit is already in it. Then
    // only the 16 second uses of a bit by the expansion need a key XOR.
    // Rounds 0, 16 and 32 read a half not written by the round before and
    // XOR all 48 bits.
    std::uint64_t in[48][48]; // into expanded bit j (second uses only, outside full rounds)
    std::uint64_t out[48][32]; // into half word i, with the S-box output, when round r writes it
    std::uint64_t final[64]; // into state word k after the last round
};

// Rounds that XOR every expanded bit with the key.
constexpr bool IsFullKeyRound(int round) { return round % 16 == 0; }

// True for the first expanded bit that reads its half bit; false for the
// sixteen that repeat one.
constexpr bool IsFirstExpansionUse(int j)
{
    for (int i = 0; i < j; ++i) {
        if (tables::kE[i] == tables::kE[j])
            return false;
    }
    return true;
}

// Fills every field; the struct is 45 KiB, so callers keep it on the heap.
// rounds[p]: the sixteen round keys of pass p's key (MakeDesRoundKeys),
// round 1 first; encrypt[p] runs them forward, else backward.
void FillRoundKeyMasks(RoundKeyMasks& masks, const std::array<const std::array<std::uint64_t, 16>*, 3>& rounds,
                       const std::array<bool, 3>& encrypt);
// The same from the keys: schedules them first.
void FillRoundKeyMasks(RoundKeyMasks& masks, const std::array<DesPass, 3>& passes);

} // namespace karsidan::bitslice
