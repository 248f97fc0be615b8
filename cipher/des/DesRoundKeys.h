#pragma once
// DES key schedule over a 64-bit key: the sixteen 48-bit round keys.

#include <array>
#include <cstdint>

namespace karsidan {

struct DesRoundKeys {
    // Round key K1..K16 in the low 48 bits, DES bit 1 most significant.
    std::array<std::uint64_t, 16> round{};
};

DesRoundKeys MakeDesRoundKeys(std::uint64_t key) noexcept;

// Applies a DES permutation table (entries count from 1 at the most
// significant of inputBits bits) to a value; the result has table-size bits.
// Shifts by table entries only: no address depends on the value.
template <std::size_t N>
constexpr std::uint64_t Permute(std::uint64_t value, int inputBits, const std::array<std::uint8_t, N>& table) noexcept
{
    std::uint64_t out = 0;
    for (std::size_t i = 0; i < N; ++i)
        out = (out << 1) | ((value >> (inputBits - table[i])) & 1u);
    return out;
}

} // namespace karsidan
