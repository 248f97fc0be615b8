// DES tables and their position-by-position application.
#include "cipher/reference/mdlBox.h"
#include "cipher/reference/mdlMath.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <stdexcept>

using namespace karsidan;

TEST(DesTables, PermutationsAreWellFormed)
{
    // IP and IP-1 are inverse permutations of 1..64.
    for (int k = 1; k <= 64; ++k)
        EXPECT_EQ(des_tables::IPInverse[des_tables::IP[k - 1] - 1], k);
    std::set<int> p(des_tables::P.begin(), des_tables::P.end());
    EXPECT_EQ(p.size(), 32u);
    std::set<int> pc1(des_tables::PC1.begin(), des_tables::PC1.end());
    EXPECT_EQ(pc1.size(), 56u);
    for (int parity = 8; parity <= 64; parity += 8)
        EXPECT_EQ(pc1.count(parity), 0u) << parity;
    std::set<int> pc2(des_tables::PC2.begin(), des_tables::PC2.end());
    EXPECT_EQ(pc2.size(), 48u);
    for (int left : {9, 18, 22, 25, 35, 38, 43, 54})
        EXPECT_EQ(pc2.count(left), 0u) << left;
    int shifts = 0;
    for (int r = 1; r <= 16; ++r)
        shifts += RoundShift(r);
    EXPECT_EQ(shifts, 28);
    EXPECT_THROW(RoundShift(0), std::out_of_range);
    EXPECT_THROW(RoundShift(17), std::out_of_range);
}

TEST(DesTables, InitialPermutationOfStandardBlock)
{
    const std::string ip = ApplyIP(HexToBits("0123456789ABCDEF"));
    EXPECT_EQ(BitsToHex(ip), "CC00CCFFF0AAF0AA");
    std::string back;
    for (int k = 1; k <= 64; ++k)
        back += IPInverseBit(ip, k);
    EXPECT_EQ(BitsToHex(back), "0123456789ABCDEF");
}

TEST(DesTables, ExpansionOfStandardHalf)
{
    const std::string r = HexToBits("F0AAF0AA");
    std::string e;
    for (int k = 1; k <= 48; ++k)
        e += EBit(r, k);
    EXPECT_EQ(BitsToHex(e), "7A15557A1555");
    const std::string marked = "1" + std::string(30, '0') + "x";
    EXPECT_EQ(EBit(marked, 1), "x");
    EXPECT_EQ(EBit(marked, 48), "1");
}

TEST(DesTables, LookupsBeyondTableOrString)
{
    const std::string block(64, '1');
    EXPECT_EQ(IPBit(block, 65), "");
    EXPECT_EQ(PC1Bit(block, 57), "");
    EXPECT_EQ(PC2Bit(block, 49), "");
    EXPECT_EQ(PBit(block, 33), "");
    EXPECT_THROW(IPBit(block, 0), std::out_of_range);
    EXPECT_THROW(PBit(block, -1), std::out_of_range);
    EXPECT_EQ(IPBit("1", 1), "") << "IP(1) = 58 lies beyond a one-character string";
    // A 60-character block loses the four positions whose entries exceed 60.
    EXPECT_EQ(ApplyIP(std::string(60, '1')).size(), 56u);
    std::string s64;
    for (int i = 0; i < 64; ++i)
        s64 += static_cast<char>('0' + (i * 7 % 3 == 0));
    EXPECT_EQ(ApplyPC2(s64), ApplyPC2(s64.substr(0, 56)));
    EXPECT_EQ(ApplyPC2(s64).size(), 48u);
    EXPECT_EQ(ApplyPC1(s64).size(), 56u);
}

TEST(DesTables, SBoxCells)
{
    EXPECT_EQ(SBox1(0, 0), "1110");
    EXPECT_EQ(SBox1(3, 15), "1101");
    EXPECT_EQ(SBox8(3, 15), "1011");
    EXPECT_EQ(SBox5(1, 0), "1110");
    EXPECT_EQ(SBox2(0, 0), "1111");
    EXPECT_EQ(SBox3(0, 0), "1010");
    EXPECT_EQ(SBox4(0, 0), "0111");
    EXPECT_EQ(SBox6(0, 0), "1100");
    EXPECT_EQ(SBox7(0, 0), "0100");
    EXPECT_THROW(SBox1(4, 0), std::out_of_range);
    EXPECT_THROW(SBox1(0, 16), std::out_of_range);
    EXPECT_THROW(SBox1(-1, 0), std::out_of_range);
    for (int box = 1; box <= 8; ++box) {
        for (int row = 0; row < 4; ++row) {
            std::set<std::string> values;
            for (int column = 0; column < 16; ++column)
                values.insert(SBox(box, row, column));
            EXPECT_EQ(values.size(), 16u) << "box " << box << " row " << row;
        }
    }
}
