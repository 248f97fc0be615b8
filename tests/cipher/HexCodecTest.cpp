// The hexadecimal codec at every level this machine runs, against a naive
// reading: clean digits, digits broken by foreign characters at every
// offset of a 32-byte step, odd counts, and bytes above 0x7F.
#include "cipher/hex/HexCodec.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace karsidan::bitslice::test {
namespace {

class HexCodecTest : public ::testing::TestWithParam<Level> {
protected:
    void SetUp() override
    {
        if (!IsSupported(GetParam())) {
            GTEST_SKIP() << "this processor cannot run the " << LevelName(GetParam()) << " codec";
        }
    }
};

std::string NaiveEncode(const std::vector<unsigned char>& bytes)
{
    static const char* digits = "0123456789ABCDEF";
    std::string s;
    for (unsigned char b : bytes) {
        s += digits[b >> 4];
        s += digits[b & 15];
    }
    return s;
}

// Digits only, then pairs; an odd last digit becomes a high nibble.
std::vector<unsigned char> NaiveDecode(const std::string& text, std::size_t& digits)
{
    std::string kept;
    for (char c : text) {
        if ((c >= '0' && c <= '9') || (c >= 'A' && c <= 'F'))
            kept += c;
    }
    digits = kept.size();
    if (kept.size() % 2)
        kept += '0';
    std::vector<unsigned char> out;
    for (std::size_t i = 0; i < kept.size(); i += 2) {
        out.push_back(static_cast<unsigned char>(std::stoi(kept.substr(i, 2), nullptr, 16)));
    }
    return out;
}

std::vector<unsigned char> Decode(const std::string& text, Level level, std::size_t& digits)
{
    std::vector<unsigned char> out((text.size() + 1) / 2 + 1, 0xEE);
    digits = DecodeHex(text, out.data(), level);
    EXPECT_EQ(out.back(), 0xEE) << "wrote past the bytes it may use";
    out.resize((digits + 1) / 2);
    return out;
}

TEST_P(HexCodecTest, EncodesLikeTheNaiveCodecAtEveryLength)
{
    std::mt19937_64 rng(3);
    for (std::size_t n = 0; n < 100; ++n) {
        std::vector<unsigned char> bytes(n);
        for (auto& b : bytes)
            b = static_cast<unsigned char>(rng());
        std::string out(2 * n + 1, '#');
        EncodeHex(bytes.data(), n, out.data(), GetParam());
        ASSERT_EQ(out.back(), '#') << n;
        out.pop_back();
        ASSERT_EQ(out, NaiveEncode(bytes)) << n;
    }
}

TEST_P(HexCodecTest, SpreadsBytesIntoDigitsInPlace)
{
    std::mt19937_64 rng(4);
    for (std::size_t n : {1, 15, 16, 17, 100, 4099}) {
        std::vector<unsigned char> bytes(n);
        for (auto& b : bytes)
            b = static_cast<unsigned char>(rng());
        std::string buffer(2 * n, '\0');
        std::copy(bytes.begin(), bytes.end(), buffer.begin() + long(n)); // the upper half
        EncodeHex(reinterpret_cast<const unsigned char*>(buffer.data()) + n, n, buffer.data(), GetParam());
        ASSERT_EQ(buffer, NaiveEncode(bytes)) << n;
    }
}

TEST_P(HexCodecTest, DecodesCleanDigitsAndTheirRoundTrip)
{
    std::mt19937_64 rng(5);
    for (std::size_t n : {0, 1, 15, 16, 17, 31, 32, 33, 64, 1000}) {
        std::vector<unsigned char> bytes(n);
        for (auto& b : bytes)
            b = static_cast<unsigned char>(rng());
        const std::string text = NaiveEncode(bytes);
        std::size_t digits = 0;
        ASSERT_EQ(Decode(text, GetParam(), digits), bytes) << n;
        ASSERT_EQ(digits, 2 * n);
    }
}

TEST_P(HexCodecTest, SkipsForeignCharactersWherever)
{
    std::mt19937_64 rng(11);
    const std::string foreign = " \r\n\tabcdefxyzG#\x80\xB7\xFF/:@`";
    for (int round = 0; round < 400; ++round) {
        const std::size_t n = rng() % 300;
        std::vector<unsigned char> bytes(n);
        for (auto& b : bytes)
            b = static_cast<unsigned char>(rng());
        std::string text = NaiveEncode(bytes);
        // From none to many foreign characters, at random offsets.
        const std::size_t insertions = round % 4 == 0 ? 0 : rng() % (round % 40 + 1);
        for (std::size_t k = 0; k < insertions; ++k) {
            text.insert(text.begin() + long(rng() % (text.size() + 1)), foreign[rng() % foreign.size()]);
        }
        if (round % 3 == 0)
            text += "7"; // odd count of digits
        std::size_t want = 0;
        const auto expected = NaiveDecode(text, want);
        std::size_t got = 0;
        ASSERT_EQ(Decode(text, GetParam(), got), expected) << text;
        ASSERT_EQ(got, want) << text;
    }
}

TEST_P(HexCodecTest, LowerCaseDigitsAreForeign)
{
    std::size_t digits = 0;
    const std::string text(64, 'a');
    Decode(text, GetParam(), digits);
    EXPECT_EQ(digits, 0u);
}

INSTANTIATE_TEST_SUITE_P(AllLevels, HexCodecTest, ::testing::Values(Level::Portable, Level::Avx2),
                         [](const auto& info) { return std::string(LevelName(info.param)); });

} // namespace
} // namespace karsidan::bitslice::test
