#pragma once
// Fast DES and three-key EDE Triple DES over 64-bit blocks (first byte most
// significant). Combined S-box+P tables, round keys pre-split for the eight
// S-boxes, IP/FP by swap-moves; no allocation. The table loads are indexed
// by key and data bits, so production runs the bitsliced kernels instead;
// this kernel is the tests' second implementation and the benchmarks'
// baseline (TableText.h).

#include "cipher/des/DesRoundKeys.h"

#include <array>
#include <cstdint>
#include <span>

namespace karsidan {

// A round key split for the S-boxes: the six-bit groups of S1, S3, S5, S7
// (even groups counting from 0) in `even`, those of S2, S4, S6, S8 in `odd`,
// each at the bit position where the rotated half word exposes its input.
struct SplitRoundKey {
    std::uint32_t even;
    std::uint32_t odd;
};

// Three DES passes, 48 round keys in the order they are applied.
class TripleDesSchedule {
public:
    // Pass i uses keys[i], forward (encryption) when encrypt[i] is true.
    TripleDesSchedule(const std::array<DesRoundKeys, 3>& keys, const std::array<bool, 3>& encrypt) noexcept;

    // C = E_k3(D_k2(E_k1(P))).
    static TripleDesSchedule Encryption(std::uint64_t k1, std::uint64_t k2, std::uint64_t k3) noexcept;
    // Pass 1 decrypts with kA, pass 2 encrypts with kB, pass 3 decrypts with
    // kC; with the keys given third, second, first this undoes Encryption.
    static TripleDesSchedule Decryption(std::uint64_t kA, std::uint64_t kB, std::uint64_t kC) noexcept;

    const std::array<SplitRoundKey, 48>& rounds() const noexcept { return rounds_; }

private:
    std::array<SplitRoundKey, 48> rounds_{};
};

SplitRoundKey SplitForSBoxes(std::uint64_t roundKey48) noexcept;

// One DES block, encryption or decryption.
std::uint64_t DesCryptBlock(std::uint64_t block, const DesRoundKeys& keys, bool encrypt) noexcept;

// The whole-text block loop: every block through the three passes, in place.
void TripleDesBlocks(std::span<std::uint64_t> blocks, const TripleDesSchedule& schedule) noexcept;

} // namespace karsidan
