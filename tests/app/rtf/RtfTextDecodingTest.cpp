#include "tests/app/rtf/RtfTestSupport.h"

namespace karsidan::rtf::test {
namespace {

QString Text(const QByteArray& rtf) { return Load(rtf)->toRawText(); }

TEST(RtfTextDecoding, HexEscapesAreWindows1252Bytes)
{
    EXPECT_EQ(Text("{\\rtf1 caf\\'e9 \\'80 \\'93q\\'94 \\'B7}"), QString("caf\u00e9 \u20ac \u201cq\u201d \u00b7"));
    // The five unassigned bytes map to the C1 control of the same value.
    EXPECT_EQ(Text("{\\rtf1 \\'81\\'8d}"), QString("\u0081\u008d"));
}

TEST(RtfTextDecoding, LiteralHighBytesAreWindows1252Too)
{
    EXPECT_EQ(Text("{\\rtf1 na\xefve \x80}"), QString("na\u00efve \u20ac"));
}

TEST(RtfTextDecoding, UnicodeWithDefaultFallbackOfOneByte)
{
    EXPECT_EQ(Text("{\\rtf1 \\u8364?x \\u8364\\'80y}"), QString("\u20acx \u20acy"));
}

TEST(RtfTextDecoding, NegativeUnicodeNumbersWrapTo16Bits)
{
    EXPECT_EQ(Text("{\\rtf1 \\u-4000?}"), QString(QChar(0xF060)));
    EXPECT_EQ(Text("{\\rtf1 \\u-257?}"), QString(QChar(0xFEFF)));
}

TEST(RtfTextDecoding, FallbackLengthIsScopedPerGroup)
{
    // \uc2 skips two fallback units; \'hh counts as one unit, as a control word does.
    EXPECT_EQ(Text("{\\rtf1{\\uc2\\u915\\'c7\\'e1A}\\u916?B}"), QString("\u0393A\u0394B"));
    EXPECT_EQ(Text("{\\rtf1\\uc0\\u915 A}"), QString("\u0393A"));
    EXPECT_EQ(Text("{\\rtf1\\uc1\\u915\\par B}"), QString("\u0393B"));
    // A brace ends the fallback early.
    EXPECT_EQ(Text("{\\rtf1\\uc3\\u915 a{b}c}"), QString("\u0393bc"));
}

TEST(RtfTextDecoding, SurrogatePairsAreJoined)
{
    const QString text = Text("{\\rtf1 \\u-10179?\\u-8704? ok}");
    EXPECT_EQ(text, QString::fromUcs4(U"\U0001F600 ok"));
    // Half a pair becomes the replacement character, never a lone surrogate.
    EXPECT_EQ(Text("{\\rtf1 \\u-10179?x}"), QString("\uFFFDx"));
    EXPECT_EQ(Text("{\\rtf1 \\u-8704?x}"), QString("\uFFFDx"));
    EXPECT_EQ(Text("{\\rtf1 \\u-10179?\\u-10179?\\u-8704?}"), QString::fromUcs4(U"\uFFFD\U0001F600"));
}

TEST(RtfTextDecoding, OutOfRangeUnicodeIsReplaced)
{
    EXPECT_EQ(Text("{\\rtf1 \\u99999999999?a}"), QString("\uFFFDa"));
    EXPECT_EQ(Text("{\\rtf1 \\u-99999?a}"), QString("\uFFFDa"));
    EXPECT_EQ(Text("{\\rtf1 \\u128512?a}"), QString::fromUcs4(U"\U0001F600a"));
    EXPECT_EQ(Text("{\\rtf1 \\u0?a}"), QString("a"));
}

TEST(RtfTextDecoding, UnicodeControlsAndDocumentMarkersAreNotInserted)
{
    // Noncharacters include the markers QTextDocument keeps for its own frames.
    EXPECT_EQ(Text("{\\rtf1 a\\u1?\\u13?\\u9?b\\u64976?\\u-1?\\u65532?c}"), QString("a\tb\uFFFD\uFFFD\uFFFDc"));
    const auto doc = Load("{\\rtf1 one\\u8233?two}");
    EXPECT_EQ(BlockTexts(*doc), QStringList({"one", "two"}));
}

TEST(RtfTextDecoding, EscapedAndSpecialCharacters)
{
    EXPECT_EQ(Text("{\\rtf1 \\\\ \\{x\\} a\\~b co\\-op non\\_stop}"),
              QString("\\ {x} a\u00a0b co\u00adop non\u2011stop"));
    EXPECT_EQ(Text("{\\rtf1 \\lquote a\\rquote  \\ldblquote b\\rdblquote  \\emdash\\endash\\bullet}"),
              QString("\u2018a\u2019 \u201cb\u201d \u2014\u2013\u2022"));
}

TEST(RtfTextDecoding, SourceLineBreaksAndControlBytesAreNotText)
{
    EXPECT_EQ(Text("{\\rtf1 hel\r\nlo\n wor\rld}"), QString("hello world"));
    static const char withControls[] = "{\\rtf1 a\0b\x01\\'00\\'1fc\td}";
    EXPECT_EQ(Text(QByteArray(withControls, sizeof withControls - 1)), QString("abc\td"));
}

TEST(RtfTextDecoding, ControlWordDelimiters)
{
    // One space ends the word; further spaces are text; digits and other
    // characters end it without being consumed.
    EXPECT_EQ(Text("{\\rtf1\\b  two\\b0;x\\fs20!y}"), QString(" two;x!y"));
    EXPECT_EQ(Text("{\\rtf1 a\\unknownword12 b\\unknown c}"), QString("abc"));
}

TEST(RtfTextDecoding, SkippedDestinationsLeaveNoText)
{
    const QByteArray rtf = "{\\rtf1{\\*\\generator Msftedit 5.41;}{\\info{\\title Judul}{\\author Ani}}"
                           "{\\stylesheet{\\s0 Normal;}}{\\header Kop}{\\footer Kaki}"
                           "{\\pict\\wmetafile8\\picw100 0123456789abcdef}"
                           "{\\object\\objemb{\\*\\objdata 0105}{\\result ignored}}"
                           "{\\*\\unknowndest {nested} text}"
                           "{\\field{\\*\\fldinst HYPERLINK \"x\"}{\\fldrslt link}}"
                           "{\\pict\\bin6 {}}\\x}}"
                           "body}";
    EXPECT_EQ(Text(rtf), QString("linkbody"));
}

} // namespace
} // namespace karsidan::rtf::test
