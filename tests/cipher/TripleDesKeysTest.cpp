// The key object: its rules in box order with the messages users see, the
// same keys from every text form, the pass order, and masks made once.
#include "cipher/keys/TripleDesKeys.h"
#include "cipher/bitslice/RoundKeyMasks.h"
#include "cipher/keys/KeyError.h"
#include "codepage/CodePage.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <thread>

using namespace karsidan;

namespace {

struct Refusal {
    int box = 0;
    KeyRule rule = KeyRule::Blank;
    std::string message;
};

Refusal RefusalOf(const std::function<void()>& make)
{
    try {
        make();
    } catch (const KeyError& e) {
        return {e.box(), e.rule(), e.what()};
    }
    ADD_FAILURE() << "no KeyError";
    return {};
}

} // namespace

TEST(TripleDesKeys, BlankBoxesComeFirstInBoxOrder)
{
    auto r = RefusalOf([] { TripleDesKeys::FromCodePage("a", "   ", ""); });
    EXPECT_EQ(r.box, 2);
    EXPECT_EQ(r.rule, KeyRule::Blank);
    EXPECT_EQ(r.message, "Kunci 2 kosong");
    // A blank third box is named before a too long first one.
    r = RefusalOf([] { TripleDesKeys::FromCodePage("123456789", "b", " "); });
    EXPECT_EQ(r.message, "Kunci 3 kosong");
    r = RefusalOf([] { TripleDesKeys::FromUtf16(u"", u"b", u"c"); });
    EXPECT_EQ(r.message, "Kunci 1 kosong");
    r = RefusalOf([] { TripleDesKeys::FromUtf8("a", "b", "  "); });
    EXPECT_EQ(r.message, "Kunci 3 kosong");
    // A tab is a key character, not a blank.
    EXPECT_NO_THROW(TripleDesKeys::FromUtf16(u"\t", u"b", u"c"));
}

TEST(TripleDesKeys, MoreThanEightCharactersAfterTrimmingIsRefused)
{
    EXPECT_NO_THROW(TripleDesKeys::FromCodePage("  12345678  ", "b", "c"));
    const auto r = RefusalOf([] { TripleDesKeys::FromCodePage("a", "b", "123456789"); });
    EXPECT_EQ(r.box, 3);
    EXPECT_EQ(r.rule, KeyRule::TooLong);
    EXPECT_EQ(r.message, "Kunci 3 lebih dari 8 karakter");
    // Characters, not bytes: eight two-byte UTF-8 characters are fine.
    EXPECT_NO_THROW(
        TripleDesKeys::FromUtf8("\xc3\xa9\xc3\xa9\xc3\xa9\xc3\xa9\xc3\xa9\xc3\xa9\xc3\xa9\xc3\xa9", "b", "c"));
    EXPECT_EQ(RefusalOf([] {
                  TripleDesKeys::FromUtf16(u"a", u"\u00e9\u00e9\u00e9\u00e9\u00e9\u00e9\u00e9\u00e9\u00e9", u"c");
              }).rule,
              KeyRule::TooLong);
}

TEST(TripleDesKeys, CharactersTheCodePageCannotHoldAreNamed)
{
    auto r = RefusalOf([] { TripleDesKeys::FromUtf16(u"a", u"k\u0416", u"c"); });
    EXPECT_EQ(r.box, 2);
    EXPECT_EQ(r.rule, KeyRule::Unmappable);
    EXPECT_EQ(r.message.rfind("Kunci 2 tidak dapat dipakai. Karakter", 0), 0u) << r.message;
    EXPECT_NE(r.message.find("U+0416"), std::string::npos) << r.message;
    // Outside the basic plane, as a surrogate pair or as UTF-8.
    EXPECT_EQ(RefusalOf([] { TripleDesKeys::FromUtf16(u"\U0001F600", u"b", u"c"); }).rule, KeyRule::Unmappable);
    EXPECT_EQ(RefusalOf([] { TripleDesKeys::FromUtf8("\xf0\x9f\x98\x80", "b", "c"); }).rule, KeyRule::Unmappable);
    // A lone surrogate and malformed UTF-8: overlong, truncated, a stray
    // continuation byte.
    const std::u16string lone(1, char16_t(0xD800));
    EXPECT_EQ(RefusalOf([&] { TripleDesKeys::FromUtf16(u"a", lone, u"c"); }).box, 2);
    for (const char* bad : {"\xc0\xa0", "ab\xc3",
                            "\x80"
                            "a",
                            "\xed\xa0\x80", "\xf4\x90\x80\x80"}) {
        r = RefusalOf([&] { TripleDesKeys::FromUtf8("a", "b", bad); });
        EXPECT_EQ(r.box, 3) << bad;
        EXPECT_EQ(r.rule, KeyRule::Unmappable) << bad;
        EXPECT_EQ(r.message.rfind("Kunci 3 tidak dapat dipakai. ", 0), 0u) << r.message;
    }
}

TEST(TripleDesKeys, EveryTextFormGivesTheSameEffectiveKeys)
{
    // Trimmed, padded with 0xB7; U+00E9 is 0xE9 and U+20AC (euro) is 0x80.
    const auto bytes = TripleDesKeys::FromCodePage(" kunci\xe9 ",
                                                   "k\x80"
                                                   "2",
                                                   "tiga3333");
    const auto wide = TripleDesKeys::FromUtf16(u" kunci\u00e9 ", u"k\u20ac2", u"tiga3333");
    const auto utf8 = TripleDesKeys::FromUtf8(" kunci\xc3\xa9 ",
                                              "k\xe2\x82\xac"
                                              "2",
                                              "tiga3333");
    EXPECT_EQ(bytes.Effective(1), 0x6B756E6369E9B7B7ull);
    EXPECT_EQ(bytes.Effective(2), 0x6B8032B7B7B7B7B7ull);
    EXPECT_EQ(bytes.Effective(3), 0x7469676133333333ull);
    for (int box = 1; box <= 3; ++box) {
        EXPECT_EQ(wide.Effective(box), bytes.Effective(box)) << box;
        EXPECT_EQ(utf8.Effective(box), bytes.Effective(box)) << box;
        EXPECT_EQ(bytes.RoundKeys(box).round, MakeDesRoundKeys(bytes.Effective(box)).round) << box;
    }
    // Every byte of the 0x80-0x9F range the code page maps round-trips.
    for (unsigned b = 0x80; b < 0xA0; ++b) {
        const std::u16string key(1, static_cast<char16_t>(ByteToUnicode(static_cast<unsigned char>(b))));
        const std::string byte(1, static_cast<char>(b));
        EXPECT_EQ(TripleDesKeys::FromUtf16(key, u"b", u"c").Effective(1),
                  TripleDesKeys::FromCodePage(byte, "b", "c").Effective(1))
            << b;
    }
}

TEST(TripleDesKeys, KnowsThePassOrderAndMakesEachOrdersMasksOnce)
{
    const auto keys = TripleDesKeys::FromCodePage("satu", "dua", "tiga");
    const auto enc = keys.Passes(PassOrder::Encryption);
    const auto dec = keys.Passes(PassOrder::Decryption);
    EXPECT_EQ(enc[0].key, keys.Effective(1));
    EXPECT_TRUE(enc[0].encrypt && !enc[1].encrypt && enc[2].encrypt);
    EXPECT_EQ(enc[2].key, keys.Effective(3));
    EXPECT_EQ(dec[0].key, keys.Effective(3));
    EXPECT_TRUE(!dec[0].encrypt && dec[1].encrypt && !dec[2].encrypt);
    EXPECT_EQ(dec[2].key, keys.Effective(1));

    for (const PassOrder order : {PassOrder::Encryption, PassOrder::Decryption}) {
        auto expected = std::make_unique<bitslice::RoundKeyMasks>();
        bitslice::FillRoundKeyMasks(*expected, keys.Passes(order));
        const bitslice::RoundKeyMasks* seen[2] = {};
        std::thread other([&] { seen[0] = &keys.Masks(order); });
        seen[1] = &keys.Masks(order);
        other.join();
        EXPECT_EQ(seen[0], seen[1]) << "made once, whichever thread asks first";
        EXPECT_EQ(std::memcmp(seen[0], expected.get(), sizeof *expected), 0);
        const TripleDesKeys copy = keys;
        EXPECT_EQ(&copy.Masks(order), seen[0]) << "copies share them";
    }
    EXPECT_NE(&keys.Masks(PassOrder::Encryption), &keys.Masks(PassOrder::Decryption));
}
