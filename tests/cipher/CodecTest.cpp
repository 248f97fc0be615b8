// Character-per-bit codec: the conversions everything else is built on.
#include "cipher/reference/mdlMath.h"

#include <gtest/gtest.h>

#include <random>
#include <stdexcept>

using namespace karsidan;

TEST(HexDigitCodec, MapsOnlyUpperCaseDigits)
{
    EXPECT_EQ(HexDigitToBits("A"), "1010");
    EXPECT_EQ(HexDigitToBits("0"), "0000");
    EXPECT_EQ(HexDigitToBits("F"), "1111");
    EXPECT_EQ(HexDigitToBits("a"), "");
    EXPECT_EQ(HexDigitToBits("G"), "");
    EXPECT_EQ(HexDigitToBits(""), "");
    EXPECT_EQ(HexDigitToBits("12"), "");
    EXPECT_EQ(BitsToHexDigit("1011"), "B");
    EXPECT_EQ(BitsToHexDigit("101"), "");
    EXPECT_EQ(BitsToHexDigit("10110"), "");
    EXPECT_EQ(BitsToHexDigit("10x1"), "");
    for (int v = 0; v < 16; ++v) {
        const std::string digit(1, "0123456789ABCDEF"[v]);
        EXPECT_EQ(BitsToHexDigit(HexDigitToBits(digit)), digit);
    }
}

TEST(HexCodec, SkipsForeignCharactersAndTrims)
{
    EXPECT_EQ(HexToBits("1F"), "00011111");
    EXPECT_EQ(HexToBits("  1F "), "00011111");
    EXPECT_EQ(HexToBits("1g"), "0001");
    EXPECT_EQ(HexToBits("1\r\nf F"), "00011111");
    EXPECT_EQ(BitsToHex("00011111"), "1F");
    EXPECT_EQ(BitsToHex("0001111"), "1");
    EXPECT_EQ(BitsToHex(""), "");
    EXPECT_EQ(BitsToHex("0001x1111111"), "1F") << "the group x111 gives nothing";
}

TEST(HexCodec, BitsSurviveRoundTrip)
{
    std::mt19937 rng(7);
    for (int n = 0; n < 50; ++n) {
        std::string bits;
        const int len = 4 * static_cast<int>(rng() % 40);
        for (int i = 0; i < len; ++i)
            bits += static_cast<char>('0' + (rng() & 1));
        EXPECT_EQ(HexToBits(BitsToHex(bits)), bits);
    }
}

TEST(XorBits, CombinesAndRefusesShortOrForeignOperands)
{
    EXPECT_EQ(XorBits("0110", "0101"), "0011");
    EXPECT_EQ(XorBits("01", "0110"), "00");
    EXPECT_EQ(XorBits("", ""), "");
    EXPECT_THROW(XorBits("0110", "01"), std::invalid_argument);
    EXPECT_THROW(XorBits("01x0", "0110"), std::invalid_argument);
    EXPECT_THROW(XorBits("0110", "01 0"), std::invalid_argument);
}

TEST(Numbers, DecimalConversions)
{
    EXPECT_EQ(BitsToDecimal("10110111"), "183");
    EXPECT_EQ(BitsToDecimal("0101"), "5");
    EXPECT_EQ(BitsToDecimal(""), "0");
    EXPECT_EQ(BitsToDecimal("1x1"), "5");
    EXPECT_EQ(BitsToDecimal("1" + std::string(30, '0')), "1073741824");
    EXPECT_THROW(BitsToDecimal("1" + std::string(31, '0')), std::overflow_error);
    EXPECT_EQ(BitsToDecimal(std::string(40, '0') + "11"), "3");
    EXPECT_EQ(BitWeight("1", 3), 8);
    EXPECT_EQ(BitWeight("0", 3), 0);
    EXPECT_EQ(BitWeight("x", 3), 0);
    EXPECT_EQ(DecimalToBits("5", 4), "0101");
    EXPECT_EQ(DecimalToBits("0", 4), "0000");
    EXPECT_EQ(DecimalToBits("18", 4), "10010");
    EXPECT_THROW(DecimalToBits("1a", 4), std::invalid_argument);
    EXPECT_THROW(DecimalToBits("", 4), std::invalid_argument);
}

TEST(TextCodec, CharactersAndTrimming)
{
    EXPECT_EQ(CharToBits('\t'), "00001001");
    EXPECT_EQ(CharToBits('\r'), "00001101");
    EXPECT_EQ(CharToBits('A'), "01000001");
    EXPECT_EQ(CharToBits(static_cast<char>(0xB7)), "10110111");
    EXPECT_EQ(CharToBits(static_cast<char>(0xFF)), "11111111");
    EXPECT_EQ(TextToBits("  ab "), TextToBits("ab"));
    EXPECT_EQ(TextToBits("   "), "");
    EXPECT_EQ(TextToBits("a b"), "011000010010000001100010");
    EXPECT_EQ(TextToBits("a\r\nb").size(), 32u);
    EXPECT_EQ(TextToBits("\tx\t").size(), 24u) << "only spaces are trimmed";
    EXPECT_EQ(BitsToText("0100100001101001"), "Hi");
    EXPECT_EQ(BitsToText("00100000"), "");
    EXPECT_EQ(HexToText("48692021"), "Hi !");
    EXPECT_EQ(HexToText("B7"), std::string(1, static_cast<char>(0xB7)));
}

TEST(TextCodec, AllBytesRoundTripThroughHex)
{
    std::string all;
    for (int c = 0; c < 256; ++c)
        all += static_cast<char>(c);
    const std::string inner = "x" + all + "x"; // outer spaces are trimmed by design
    EXPECT_EQ(HexToText(BitsToHex(TextToBits(inner))), inner);
}

TEST(TextCodec, LongInputsHaveNoLengthLimit)
{
    // Formerly capped near 32,766 characters; any length must work now.
    const std::string hex(70000, 'A');
    const std::string text = HexToText(hex);
    EXPECT_EQ(text.size(), 35000u);
    EXPECT_EQ(static_cast<unsigned char>(text.back()), 0xAA);
    EXPECT_EQ(HexToBits(hex).size(), 280000u);
    EXPECT_EQ(XorBits(std::string(40000, '1'), std::string(40000, '1')), std::string(40000, '0'));
}
