// The one rule the command line and the window both tell: keys that weaken
// Triple DES, and decrypted bytes that are no text.
#include "cipher/keys/KeyWarnings.h"

#include <gtest/gtest.h>

namespace karsidan {
namespace {

std::vector<std::string> Warnings(const char* k1, const char* k2, const char* k3)
{
    return WeakKeyWarnings(TripleDesKeys::FromCodePage(k1, k2, k3));
}

TEST(KeyWarnings, KeysEqualInTheBitsDesUsesAreNamed)
{
    // "2" (0x32) and "3" (0x33) differ only in the bit DES ignores.
    EXPECT_EQ(Warnings("kunci1", "kunci2", "kunci3"),
              std::vector<std::string>{"kunci kedua dan ketiga sama (DES mengabaikan bit terendah setiap byte kunci); "
                                       "Triple DES menjadi DES tunggal (56 bit)"});
    EXPECT_EQ(Warnings("sama", "sama", "lain"),
              std::vector<std::string>{"kunci pertama dan kedua sama; Triple DES menjadi DES tunggal (56 bit)"});
    EXPECT_EQ(Warnings("satu", "dua", "satu"),
              std::vector<std::string>{"kunci pertama dan ketiga sama; Triple DES dua kunci (112 bit)"});
    // All three equal: single DES, said once.
    EXPECT_EQ(Warnings("abc", "abc", "abc").size(), 1u);
    // Trimmed keys are the keys DES gets.
    EXPECT_EQ(Warnings(" kunci ", "kunci", "lain").size(), 1u);
}

TEST(KeyWarnings, DistinctKeysSayNothing)
{
    EXPECT_TRUE(Warnings("satu", "dua", "tiga").empty());
    EXPECT_TRUE(Warnings("kunci1", "kunci3", "kunci5").empty());
    // Effective keys that differ in a bit DES uses, even by one character.
    EXPECT_TRUE(WeakKeyWarnings({0x0100000000000000ull, 0x0200000000000000ull, 0x0400000000000000ull}).empty());
}

TEST(KeyWarnings, ControlBytesAskWhetherTheKeysAreWrong)
{
    EXPECT_TRUE(LooksLikeWrongKeys(std::string_view("Hi\x01", 3)));
    EXPECT_TRUE(LooksLikeWrongKeys(std::string_view("a\0b", 3)));
    EXPECT_TRUE(LooksLikeWrongKeys("\x7F"));
    EXPECT_FALSE(LooksLikeWrongKeys("Rapat jam 9\r\n\tdi ruang \xB7 B"));
    EXPECT_FALSE(LooksLikeWrongKeys(""));
    EXPECT_NE(std::string(NotTextWarning()).find("kunci salah?"), std::string::npos);
}

} // namespace
} // namespace karsidan
