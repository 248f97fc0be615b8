#include "cipher/reference/mdlBox.h"

#include "cipher/padding/Padding.h"

#include "cipher/reference/mdlMath.h"

#include <algorithm>
#include <stdexcept>

namespace karsidan {
namespace {

template <std::size_t N>
std::string Lookup(const std::array<std::uint8_t, N>& table, std::string_view s, int k, bool emptyBeyondTable)
{
    if (k < 1)
        throw std::out_of_range("Posisi tabel di bawah 1");
    if (k > static_cast<int>(N)) {
        if (emptyBeyondTable)
            return {};
        throw std::out_of_range("Posisi tabel di luar tabel");
    }
    const std::size_t p = table[static_cast<std::size_t>(k - 1)];
    return p <= s.size() ? std::string(1, s[p - 1]) : std::string();
}

// Positions beyond the table give nothing, so the loop stops at its size:
// a long key costs no more than a short one.
template <std::size_t N, typename Bit>
std::string ApplyOver(const std::array<std::uint8_t, N>&, std::string_view s, Bit bit)
{
    const auto n = static_cast<int>(std::min(TrimSpaces(s).size(), N));
    std::string out;
    for (int k = 1; k <= n; ++k)
        out += bit(s, k);
    return out;
}

} // namespace

std::string IPBit(std::string_view s, int k) { return Lookup(des_tables::IP, s, k, true); }
std::string PC1Bit(std::string_view s, int k) { return Lookup(des_tables::PC1, s, k, true); }
std::string PC2Bit(std::string_view s, int k) { return Lookup(des_tables::PC2, s, k, true); }
std::string EBit(std::string_view s, int k) { return Lookup(des_tables::E, s, k, false); }
std::string PBit(std::string_view s, int k) { return Lookup(des_tables::P, s, k, true); }
std::string IPInverseBit(std::string_view s, int k) { return Lookup(des_tables::IPInverse, s, k, false); }

std::string ApplyIP(std::string_view block) { return ApplyOver(des_tables::IP, block, IPBit); }
std::string ApplyPC2(std::string_view cd) { return ApplyOver(des_tables::PC2, cd, PC2Bit); }
std::string ApplyPC1(std::string_view key) { return ApplyOver(des_tables::PC1, key, PC1Bit); }

int RoundShift(int round)
{
    if (round < 1 || round > 16)
        throw std::out_of_range("Nomor putaran di luar 1 sampai 16");
    return des_tables::Shifts[static_cast<std::size_t>(round - 1)];
}

std::string SBox(int box, int row, int column)
{
    if (box < 1 || box > 8 || row < 0 || row > 3 || column < 0 || column > 15)
        throw std::out_of_range("Indeks kotak S di luar jangkauan");
    const int cell = des_tables::S[static_cast<std::size_t>(box - 1)][static_cast<std::size_t>(row * 16 + column)];
    return DecimalToBits(std::to_string(cell), 4);
}

std::string SBox1(int row, int column) { return SBox(1, row, column); }
std::string SBox2(int row, int column) { return SBox(2, row, column); }
std::string SBox3(int row, int column) { return SBox(3, row, column); }
std::string SBox4(int row, int column) { return SBox(4, row, column); }
std::string SBox5(int row, int column) { return SBox(5, row, column); }
std::string SBox6(int row, int column) { return SBox(6, row, column); }
std::string SBox7(int row, int column) { return SBox(7, row, column); }
std::string SBox8(int row, int column) { return SBox(8, row, column); }

} // namespace karsidan
