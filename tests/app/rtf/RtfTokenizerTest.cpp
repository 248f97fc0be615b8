#include "app/rtf/RtfTokenizer.h"

#include <gtest/gtest.h>
#include <limits>
#include <string>
#include <vector>

namespace karsidan::rtf {
namespace {

std::vector<Token> Tokens(std::string_view data)
{
    RtfTokenizer tokenizer(data);
    std::vector<Token> tokens;
    for (Token t = tokenizer.Next(); t.kind != TokenKind::End; t = tokenizer.Next())
        tokens.push_back(t);
    return tokens;
}

TEST(RtfTokenizer, ControlWordTakesLettersSignedNumberAndOneSpace)
{
    const auto tokens = Tokens("\\fs-24  x\\b0\\par\\ul y");
    ASSERT_EQ(tokens.size(), 6u);
    EXPECT_EQ(tokens[0].kind, TokenKind::ControlWord);
    EXPECT_EQ(tokens[0].text, "fs");
    EXPECT_TRUE(tokens[0].hasParameter);
    EXPECT_EQ(tokens[0].parameter, -24);
    EXPECT_EQ(tokens[1].kind, TokenKind::Text);
    EXPECT_EQ(tokens[1].text, " x"); // only the first space is the delimiter
    EXPECT_EQ(tokens[2].text, "b");
    EXPECT_EQ(tokens[2].parameter, 0);
    EXPECT_TRUE(tokens[2].hasParameter);
    EXPECT_EQ(tokens[3].text, "par");
    EXPECT_FALSE(tokens[3].hasParameter);
    EXPECT_EQ(tokens[4].text, "ul");
    EXPECT_EQ(tokens[5].text, "y");
}

TEST(RtfTokenizer, HyphenWithoutDigitsIsNotAParameter)
{
    const auto tokens = Tokens("\\b-x");
    ASSERT_EQ(tokens.size(), 2u);
    EXPECT_FALSE(tokens[0].hasParameter);
    EXPECT_EQ(tokens[1].text, "-x");
}

TEST(RtfTokenizer, HugeNumbersSaturateInsteadOfOverflowing)
{
    const auto tokens = Tokens("\\fs99999999999999999999\\li-99999999999 z");
    ASSERT_EQ(tokens.size(), 3u);
    EXPECT_EQ(tokens[0].parameter, std::numeric_limits<std::int32_t>::max());
    EXPECT_EQ(tokens[1].parameter, -std::numeric_limits<std::int32_t>::max());
    EXPECT_EQ(tokens[2].text, "z");
}

TEST(RtfTokenizer, SymbolsAndHexEscapes)
{
    const auto tokens = Tokens("\\{\\'e9\\'4\\~\\\r\n");
    ASSERT_EQ(tokens.size(), 5u);
    EXPECT_EQ(tokens[0].kind, TokenKind::ControlSymbol);
    EXPECT_EQ(tokens[0].byte, '{');
    EXPECT_EQ(tokens[1].kind, TokenKind::HexByte);
    EXPECT_EQ(tokens[1].byte, 0xE9);
    EXPECT_EQ(tokens[2].kind, TokenKind::HexByte); // one digit left before the next escape
    EXPECT_EQ(tokens[2].byte, 0x4);
    EXPECT_EQ(tokens[3].byte, '~');
    EXPECT_EQ(tokens[4].byte, '\n'); // escaped CR LF: a paragraph
}

TEST(RtfTokenizer, BinarySkipsRawBytesIncludingBraces)
{
    const auto tokens = Tokens(std::string_view("\\bin4 {}\\\0x}", 12));
    ASSERT_EQ(tokens.size(), 3u);
    EXPECT_EQ(tokens[0].kind, TokenKind::Binary);
    EXPECT_EQ(tokens[0].text, std::string_view("{}\\\0", 4));
    EXPECT_EQ(tokens[1].text, "x");
    EXPECT_EQ(tokens[2].kind, TokenKind::GroupEnd);
}

TEST(RtfTokenizer, BinaryLengthIsBoundedByTheData)
{
    for (const char* data : {"\\bin2147483647 abc", "\\bin99999999999999 abc", "\\bin-5 abc"}) {
        const auto tokens = Tokens(data);
        ASSERT_FALSE(tokens.empty()) << data;
        EXPECT_EQ(tokens[0].kind, TokenKind::Binary) << data;
        EXPECT_LE(tokens[0].text.size(), 3u) << data;
    }
    const auto negative = Tokens("\\bin-5 abc");
    ASSERT_EQ(negative.size(), 2u);
    EXPECT_EQ(negative[1].text, "abc");
}

TEST(RtfTokenizer, TruncatedInputEndsCleanly)
{
    for (const char* data : {"\\", "\\'", "\\'a", "\\fs", "\\fs-", "\\u-", "\\bin", "\\bin5"}) {
        RtfTokenizer tokenizer(data);
        int count = 0;
        while (tokenizer.Next().kind != TokenKind::End)
            ASSERT_LT(++count, 10) << data;
        EXPECT_TRUE(tokenizer.AtEnd()) << data;
    }
}

} // namespace
} // namespace karsidan::rtf
