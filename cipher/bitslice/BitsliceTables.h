#pragma once
// The bitsliced kernels' names for the engine's DES tables (1-based
// positions, bit 1 the most significant). Shared by the kernels, their key
// schedule and the circuit generator.

#include "cipher/des/DesTables.h"

#include <cstdint>

namespace karsidan::bitslice::tables {

inline constexpr const auto& kIP = des_tables::IP;
inline constexpr const auto& kFP = des_tables::IPInverse;
inline constexpr const auto& kE = des_tables::E;
inline constexpr const auto& kP = des_tables::P;
inline constexpr const auto& kPC1 = des_tables::PC1;
inline constexpr const auto& kPC2 = des_tables::PC2;
inline constexpr const auto& kShifts = des_tables::Shifts;

// S-box g (0 to 7) at a row from the outer two input bits and a column from
// the inner four.
constexpr std::uint8_t Sbox(int g, int row, int column)
{
    return des_tables::S[std::size_t(g)][std::size_t(row * 16 + column)];
}

} // namespace karsidan::bitslice::tables
