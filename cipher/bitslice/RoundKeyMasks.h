#pragma once
// The 48 round keys of three DES passes in the form the bitsliced kernels
// consume: one word per key bit, all ones or all zeros, in the order of the
// expansion E, so a kernel XORs word j into the j-th expanded bit.

#include "TripleDesBitslice.h"

#include <array>
#include <cstdint>

namespace karsidan::bitslice {

struct RoundKeyMasks {
    std::uint64_t bit[48][48]; // [round of all three passes][expanded bit]
};

// The sixteen 48-bit round keys of one DES key, round 1 first, bit 1 of
// each round key in bit 47.
std::array<std::uint64_t, 16> DesRoundKeys(std::uint64_t key);

RoundKeyMasks MakeRoundKeyMasks(const std::array<DesPass, 3>& passes);

} // namespace karsidan::bitslice
