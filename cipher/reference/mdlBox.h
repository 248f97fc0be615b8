#pragma once
// The DES tables (FIPS 46-3) and their character-per-bit application.
// Positions count from 1 at the left, as in the standard's tables.
// A position below 1, or an S-box row/column out of range, throws
// std::out_of_range.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "cipher/des/DesTables.h"

namespace karsidan {

// One output position of a table: the input character the table puts at
// position k, or "" when s is too short or (IP, PC-1, PC-2, P) k is beyond
// the table.
std::string IPBit(std::string_view s, int k);
std::string PC1Bit(std::string_view s, int k);
std::string PC2Bit(std::string_view s, int k);
std::string EBit(std::string_view s, int k);
std::string PBit(std::string_view s, int k);
std::string IPInverseBit(std::string_view s, int k);

// Whole-string applications; never longer than the table.
std::string ApplyIP(std::string_view block);
std::string ApplyPC2(std::string_view cd);
std::string ApplyPC1(std::string_view key);

// Left rotation of the key halves before round 1 to 16.
int RoundShift(int round);

// Four bits of the cell at row 0-3, column 0-15.
std::string SBox1(int row, int column);
std::string SBox2(int row, int column);
std::string SBox3(int row, int column);
std::string SBox4(int row, int column);
std::string SBox5(int row, int column);
std::string SBox6(int row, int column);
std::string SBox7(int row, int column);
std::string SBox8(int row, int column);
// Box 1 to 8, for callers that loop over the boxes.
std::string SBox(int box, int row, int column);

} // namespace karsidan
