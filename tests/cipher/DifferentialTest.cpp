// The 64-bit block path against the character-per-bit path: random blocks,
// keys, slots and directions, then whole texts and lenient cipher texts.
#include "cipher/des/DesRoundKeys.h"
#include "cipher/engine/TripleDesEngine.h"
#include "cipher/keys/TripleDesKeys.h"
#include "cipher/padding/Padding.h"
#include "cipher/reference/DesKernel.h"
#include "cipher/reference/mdlMath.h"
#include "cipher/reference/mdlTripleDes.h"
#include "tests/cipher/StringPathReference.h"

#include <gtest/gtest.h>

#include <random>

using namespace karsidan;
using test::ToHex64;

namespace {

std::string RandomBytes(std::mt19937_64& rng, std::size_t length, std::string_view alphabet = {})
{
    std::string s;
    for (std::size_t i = 0; i < length; ++i)
        s += alphabet.empty() ? static_cast<char>(rng() & 0xFF) : alphabet[rng() % alphabet.size()];
    return s;
}

std::string RandomKey(std::mt19937_64& rng)
{
    // Spaces and padding dots are common on purpose: trimming and padding.
    static const std::string kTricky = std::string("  ab\xB7\xB7") + "\x01\xFF";
    std::string key;
    do {
        key = rng() % 2 ? RandomBytes(rng, 1 + rng() % 11) : RandomBytes(rng, 1 + rng() % 11, kTricky);
    } while (TrimSpaces(key).empty() || TrimSpaces(key).size() > TripleDesKeys::kMaxCharacters);
    return key;
}

std::string StripPadding(std::string text)
{
    int removed = 0;
    while (!text.empty() && removed < 7 && static_cast<unsigned char>(text.back()) == 0xB7) {
        text.pop_back();
        ++removed;
    }
    return text;
}

} // namespace

TEST(Differential, DesBlockOverRandomBlocksKeysSlotsAndDirections)
{
    std::mt19937_64 rng(2024);
    for (int n = 0; n < 300; ++n) {
        const std::string key = RandomKey(rng);
        const int slot = 1 + static_cast<int>(rng() % 3);
        const int flag = static_cast<int>(rng() % 3) - 1; // -1, 0, 1
        const std::uint64_t block = rng();
        ReferenceTripleDes engine;
        if (slot == 1)
            engine.LoadKey1(key);
        if (slot == 2)
            engine.LoadKey2(key);
        if (slot == 3)
            engine.LoadKey3(key);
        const std::string slow = engine.DesBlock(HexToBits(ToHex64(block)), slot, flag);
        const std::uint64_t effective = TripleDesKeys::FromCodePage(key, "x", "x").Effective(1);
        const std::uint64_t fast = DesCryptBlock(block, MakeDesRoundKeys(effective), flag != 0);
        ASSERT_EQ(slow, ToHex64(fast)) << "case " << n << " slot " << slot << " flag " << flag;
    }
}

TEST(Differential, TripleDesBlocksEqualThreeSingleDesPasses)
{
    std::mt19937_64 rng(5);
    std::vector<std::uint64_t> blocks(257);
    for (auto& b : blocks)
        b = rng();
    const std::uint64_t k1 = rng(), k2 = rng(), k3 = rng();
    auto expected = blocks;
    for (auto& b : expected)
        b = DesCryptBlock(DesCryptBlock(DesCryptBlock(b, MakeDesRoundKeys(k1), true), MakeDesRoundKeys(k2), false),
                          MakeDesRoundKeys(k3), true);
    TripleDesBlocks(blocks, TripleDesSchedule::Encryption(k1, k2, k3));
    EXPECT_EQ(blocks, expected);
}

TEST(Differential, WholeTextEncryptAndDecrypt)
{
    std::mt19937_64 rng(99);
    for (int n = 0; n < 40; ++n) {
        const std::string k1 = RandomKey(rng), k2 = RandomKey(rng), k3 = RandomKey(rng);
        const std::string text = RandomBytes(rng, rng() % 40, n % 2 ? std::string_view{} : " a\xB7z\r\n");
        const auto keys = TripleDesKeys::FromCodePage(k1, k2, k3);
        TripleDesEngine fast;
        ReferenceTripleDes slow;
        const std::string cipher = fast.TripleDesEncrypt(text, keys);
        ASSERT_EQ(cipher, test::StringPathEncrypt(slow, text, k1, k2, k3)) << "case " << n;
        ASSERT_EQ(fast.TripleDesDecrypt(cipher, keys),
                  StripPadding(test::StringPathDecryptRaw(slow, cipher, k3, k2, k1)))
            << "case " << n;
    }
}

TEST(Differential, LenientCipherTextsWithShortDigitCounts)
{
    // Foreign characters, lower-case digits and even digit counts that are
    // not a multiple of 16. An odd count is refused: half a byte is left.
    std::mt19937_64 rng(314);
    for (int n = 0; n < 48; ++n) {
        const std::string k1 = RandomKey(rng), k2 = RandomKey(rng), k3 = RandomKey(rng);
        const std::size_t digits = 2 * (n < 8 ? static_cast<std::size_t>(n) + 8 : rng() % 25);
        std::string cipher;
        for (std::size_t i = 0; i < digits; ++i) {
            if (rng() % 4 == 0)
                cipher += RandomBytes(rng, 1, " \r\nxa-");
            cipher += "0123456789ABCDEF"[rng() % 16];
        }
        TripleDesEngine fast;
        ReferenceTripleDes slow;
        ASSERT_EQ(fast.TripleDesDecrypt(cipher, TripleDesKeys::FromCodePage(k3, k2, k1)),
                  StripPadding(test::StringPathDecryptRaw(slow, cipher, k1, k2, k3)))
            << "case " << n << " cipher " << cipher;
    }
}

TEST(Differential, OddDigitCountIsRefused)
{
    const auto keys = TripleDesKeys::FromCodePage("a", "b", "c");
    EXPECT_THROW(TripleDesEngine().TripleDesDecrypt("0123456789ABCDEF012", keys), std::invalid_argument);
    EXPECT_THROW(TripleDesEngine().TripleDesDecrypt("1", keys), std::invalid_argument);
}
