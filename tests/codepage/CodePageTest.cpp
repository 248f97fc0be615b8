// Windows-1252 conversions shared by window, network and command line.
#include "codepage/CodePage.h"

#include <gtest/gtest.h>

#include <set>

using namespace karsidan;

TEST(CodePage, AllBytesMapToDistinctCharactersAndBack)
{
    std::set<char32_t> seen;
    std::string all;
    for (int b = 0; b < 256; ++b) {
        const char32_t c = ByteToUnicode(static_cast<unsigned char>(b));
        EXPECT_TRUE(seen.insert(c).second) << b;
        ASSERT_TRUE(UnicodeToByte(c).has_value()) << b;
        EXPECT_EQ(*UnicodeToByte(c), b);
        all += static_cast<char>(b);
    }
    EXPECT_EQ(Utf8ToCodePage(CodePageToUtf8(all)), all);
    EXPECT_EQ(Utf16ToCodePage(CodePageToUtf16(all)), all);
    EXPECT_TRUE(IsValidUtf8(CodePageToUtf8(all)));
}

TEST(CodePage, KnownMappings)
{
    EXPECT_EQ(ByteToUnicode(0x80), U'\u20AC');
    EXPECT_EQ(ByteToUnicode(0x9F), U'\u0178');
    EXPECT_EQ(ByteToUnicode(0xB7), U'\u00B7');
    EXPECT_EQ(ByteToUnicode(0x81), U'\u0081');
    EXPECT_EQ(ByteToUnicode(0x8D), U'\u008D');
    EXPECT_EQ(ByteToUnicode(0xFF), U'\u00FF');
    EXPECT_EQ(Utf8ToCodePage("a\xC2\xB7\xE2\x82\xAC"), "a\xB7\x80");
    EXPECT_EQ(CodePageToUtf8("\x93kutip\x94"), "\xE2\x80\x9Ckutip\xE2\x80\x9D");
    EXPECT_FALSE(UnicodeToByte(U'\u0080').has_value()) << "0x80 is the euro sign";
    EXPECT_FALSE(UnicodeToByte(U'\u0100').has_value());
}

TEST(CodePage, UnmappableCharacterIsNamedNeverReplaced)
{
    try {
        Utf8ToCodePage("ab\xC4\x80z"); // U+0100
        FAIL() << "no error";
    } catch (const UnmappableCharacterError& e) {
        EXPECT_EQ(e.character(), U'\u0100');
        EXPECT_EQ(e.position(), 2u);
        EXPECT_NE(std::string(e.what()).find("U+0100"), std::string::npos) << e.what();
        EXPECT_NE(std::string(e.what()).find("posisi 3"), std::string::npos) << e.what();
    }
    try {
        Utf16ToCodePage(u"x\U0001F600y");
        FAIL() << "no error";
    } catch (const UnmappableCharacterError& e) {
        EXPECT_EQ(e.character(), U'\U0001F600');
        EXPECT_EQ(e.position(), 1u);
    }
}

TEST(CodePage, MalformedUtf8IsRefused)
{
    const char* const bad[] = {
        "\xC0\x80", // overlong NUL
        "\xC1\x81", // overlong 'A'
        "\xE0\x80\xAF", // overlong '/'
        "\xED\xA0\x80", // surrogate
        "\xF4\x90\x80\x80", // beyond U+10FFFF
        "\xF8\x88\x80\x80\x80",
        "\x80", // lone continuation
        "\xC3", // truncated
        "\xE2\x82", // truncated
        "\xC3\x28", // bad continuation
    };
    for (const char* b : bad) {
        EXPECT_FALSE(IsValidUtf8(b)) << b;
        EXPECT_THROW(Utf8ToCodePage(b), std::invalid_argument) << b;
    }
    EXPECT_TRUE(IsValidUtf8("plain \xC3\xA9 \xE2\x82\xAC \xF0\x9F\x98\x80"));
    EXPECT_TRUE(IsValidUtf8(""));
}

TEST(CodePage, LoneSurrogatesInUtf16AreMalformed)
{
    for (const std::u16string& bad :
         {std::u16string(u"a") + char16_t(0xD800), std::u16string(1, char16_t(0xDC00)) + u"b",
          std::u16string(1, char16_t(0xD800)) + u"b"}) {
        try {
            Utf16ToCodePage(bad);
            FAIL() << "no error";
        } catch (const UnmappableCharacterError&) {
            FAIL() << "a malformed text is not an unmappable character";
        } catch (const std::invalid_argument& e) {
            EXPECT_NE(std::string(e.what()).find("UTF-16"), std::string::npos);
        }
    }
}
