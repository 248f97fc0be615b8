// Key slots of the reference and the 64-bit key schedule behind the fast path.
#include "cipher/des/DesRoundKeys.h"
#include "cipher/keys/TripleDesKeys.h"
#include "cipher/padding/Padding.h"
#include "cipher/reference/mdlMath.h"
#include "cipher/reference/mdlTripleDes.h"
#include "tests/cipher/StringPathReference.h"

#include <gtest/gtest.h>

#include <random>
#include <stdexcept>

using namespace karsidan;

namespace {

ReferenceTripleDes::Slot Loaded(std::string_view key)
{
    ReferenceTripleDes engine;
    engine.LoadKey2(key);
    return engine.Subkeys2();
}

std::uint64_t EffectiveKey(std::string_view key) { return TripleDesKeys::FromCodePage(key, "x", "x").Effective(1); }

const std::string kDot(1, static_cast<char>(0xB7));

} // namespace

TEST(PadBits, WholeBytesOfPaddingOnly)
{
    EXPECT_EQ(PadBits(0), "");
    EXPECT_EQ(PadBits(7), "");
    EXPECT_EQ(PadBits(-8), "");
    EXPECT_EQ(PadBits(8), "10110111");
    EXPECT_EQ(PadBits(64), TextToBits(std::string(8, static_cast<char>(0xB7))));
    EXPECT_EQ(PadBits(60).size(), 56u);
}

TEST(KeySlots, EffectiveKeyRules)
{
    EXPECT_EQ(Loaded("abc"), Loaded("abc" + kDot + kDot + kDot + kDot + kDot));
    EXPECT_EQ(Loaded("abcdefgh"), Loaded("abcdefghXYZ"));
    EXPECT_EQ(Loaded("  abc  "), Loaded("abc"));
    EXPECT_NE(Loaded("a bc"), Loaded("abc"));
    // 'a' (0x61) and '`' (0x60) differ only in the parity bit PC-1 drops.
    EXPECT_EQ(Loaded("abcdefga"), Loaded("`bcdefg`"));
    EXPECT_NE(Loaded("abcdefgh"), Loaded("abcdefgj"));
    for (const auto& roundKey : Loaded("k"))
        EXPECT_EQ(roundKey.size(), 48u);
}

TEST(KeySlots, LoadsTouchOnlyTheirSlot)
{
    ReferenceTripleDes engine;
    engine.LoadKey1("one");
    engine.LoadKey3("three");
    const auto slot1 = engine.Subkeys1();
    const auto slot3 = engine.Subkeys3();
    engine.LoadKey2("two");
    EXPECT_EQ(engine.Subkeys1(), slot1);
    EXPECT_EQ(engine.Subkeys3(), slot3);
    EXPECT_EQ(engine.Subkeys2(), Loaded("two"));
    engine.LoadKey2("two");
    EXPECT_EQ(engine.Subkeys2(), Loaded("two"));
    engine.BuildSubkeys(std::string(56, '1'), 4);
    EXPECT_EQ(engine.Subkeys1(), slot1) << "an unknown slot stores nothing";
}

TEST(KeySlots, BlankKeyLeavesSlotUnusable)
{
    ReferenceTripleDes engine;
    engine.LoadKey1("   ");
    for (const auto& roundKey : engine.Subkeys1())
        EXPECT_TRUE(roundKey.empty());
    EXPECT_THROW(engine.DesBlock(std::string(64, '0'), 1, -1), std::invalid_argument);
    ReferenceTripleDes fresh;
    EXPECT_THROW(fresh.DesBlock(std::string(64, '0'), 3, 0), std::invalid_argument);
}

TEST(KeySlots, FastScheduleMatchesSlotsForRandomKeys)
{
    std::mt19937_64 rng(11);
    for (int n = 0; n < 100; ++n) {
        std::string key;
        const int length = 1 + static_cast<int>(rng() % 8);
        for (int i = 0; i < length; ++i)
            key += static_cast<char>(rng() & 0xFF);
        if (TrimSpaces(key).empty())
            continue;
        const auto slot = Loaded(key);
        const DesRoundKeys fast = MakeDesRoundKeys(EffectiveKey(key));
        for (std::size_t r = 0; r < 16; ++r)
            ASSERT_EQ(BitsToHex(slot[r]), test::ToHex64(fast.round[r]).substr(4)) << "key #" << n << " round " << r + 1;
    }
}

TEST(KeySlots, EffectiveKeyBytes)
{
    EXPECT_EQ(EffectiveKey("abc"), 0x616263B7B7B7B7B7ull);
    EXPECT_EQ(EffectiveKey("  abc "), 0x616263B7B7B7B7B7ull);
    EXPECT_EQ(EffectiveKey("abcdefgh"), 0x6162636465666768ull);
    EXPECT_EQ(EffectiveKey("a b"), 0x612062B7B7B7B7B7ull);
}
