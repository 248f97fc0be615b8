// Broken and hostile files: read what can be read, never crash or hang.
#include "app/rtf/RtfGroupStack.h"
#include "tests/app/rtf/RtfTestSupport.h"

#include <QFont>

namespace karsidan::rtf::test {
namespace {

TEST(RtfMalformedInput, UnclosedGroupsKeepTheirText)
{
    const auto doc = Load("{\\rtf1 a{\\b bold{\\i both");
    EXPECT_EQ(doc->toPlainText(), "aboldboth");
    EXPECT_EQ(FormatOf(*doc, "bold").fontWeight(), QFont::Bold);
    EXPECT_TRUE(FormatOf(*doc, "both").fontItalic());
}

TEST(RtfMalformedInput, ReadingStopsAtTheDocumentsClosingBrace)
{
    EXPECT_EQ(Load("{\\rtf1 a}}} b{")->toPlainText(), "a");
    EXPECT_EQ(Load("{\\rtf1 a} trailing garbage \\par x")->toPlainText(), "a");
}

TEST(RtfMalformedInput, TruncatedEscapesAtTheEnd)
{
    for (const char* data :
         {"{\\rtf1 ok\\", "{\\rtf1 ok\\'", "{\\rtf1 ok\\u", "{\\rtf1 ok\\uc", "{\\rtf1 ok\\bin", "{\\rtf1 ok\\bin99",
          "{\\rtf1 ok{\\*", "{\\rtf1 ok{\\fonttbl{\\f0 Ar", "{\\rtf1 ok{\\colortbl\\red9"}) {
        EXPECT_EQ(Load(data)->toPlainText(), "ok") << data;
    }
}

TEST(RtfMalformedInput, HugeNumbersAreClamped)
{
    const auto doc = Load("{\\rtf1\\fs99999999999 big\\fs-40 neg\\fs0 zero"
                          "\\li99999999999\\fi-99999999999 \\cf99999999999 \\f-3 \\uc99999999 x}");
    EXPECT_DOUBLE_EQ(FormatOf(*doc, "big").fontPointSize(), 1638.0);
    EXPECT_DOUBLE_EQ(FormatOf(*doc, "neg").fontPointSize(), 12.0);
    EXPECT_DOUBLE_EQ(FormatOf(*doc, "zero").fontPointSize(), 12.0);
    EXPECT_LE(doc->lastBlock().blockFormat().leftMargin(), 31680 / 15.0);
    EXPECT_GE(doc->lastBlock().blockFormat().textIndent(), -31680 / 15.0);
    EXPECT_TRUE(doc->toPlainText().endsWith("x"));
}

TEST(RtfMalformedInput, HugeFallbackLengthSwallowsOnlyBoundedText)
{
    const auto doc = Load("{\\rtf1\\uc99999999\\u65 0123456789abcdefVISIBLE}");
    EXPECT_EQ(doc->toPlainText(), "AVISIBLE");
}

TEST(RtfMalformedInput, DeepNestingWithinTheCapKeepsText)
{
    const int depth = 4000;
    QByteArray data = "{\\rtf1 ";
    data += QByteArray(depth, '{') + "\\b deep" + QByteArray(depth, '}') + " out}";
    const auto doc = Load(data);
    EXPECT_EQ(doc->toPlainText(), "deep out");
    EXPECT_EQ(FormatOf(*doc, "deep").fontWeight(), QFont::Bold);
    EXPECT_EQ(FormatOf(*doc, "out").fontWeight(), QFont::Normal);
}

TEST(RtfMalformedInput, NestingBeyondTheCapIsSkippedAndRecovers)
{
    const int depth = 200000;
    QByteArray data = "{\\rtf1 before";
    data += QByteArray(depth, '{') + "lost" + QByteArray(depth, '}') + " after}";
    EXPECT_EQ(Load(data)->toPlainText(), "before after");
    // Unclosed, too.
    EXPECT_EQ(Load("{\\rtf1 x" + QByteArray(depth, '{') + "y")->toPlainText(), "x");
}

TEST(RtfMalformedInput, GroupStackCountsGroupsBeyondTheCap)
{
    RtfGroupStack stack;
    stack.Current().character.bold = true;
    for (std::size_t i = 0; i < RtfGroupStack::kMaxDepth + 10; ++i)
        stack.Push();
    EXPECT_EQ(stack.Depth(), RtfGroupStack::kMaxDepth + 10);
    EXPECT_EQ(stack.Current().destination, Destination::Skipped);
    for (std::size_t i = 0; i < RtfGroupStack::kMaxDepth + 10; ++i)
        EXPECT_TRUE(stack.Pop());
    EXPECT_FALSE(stack.Pop());
    EXPECT_EQ(stack.Current().destination, Destination::Text);
    EXPECT_TRUE(stack.Current().character.bold);
}

TEST(RtfMalformedInput, AbsurdBinaryLengthSkipsToTheEnd)
{
    EXPECT_EQ(Load("{\\rtf1 a{\\bin2147483647 b}c}")->toPlainText(), "a");
    EXPECT_EQ(Load("{\\rtf1 a{\\bin99999999999999999999 b}c}")->toPlainText(), "a");
    EXPECT_EQ(Load("{\\rtf1 a{\\bin-7 b}c}")->toPlainText(), "abc");
    // Raw bytes inside body text are never shown.
    EXPECT_EQ(Load("{\\rtf1 a\\bin3 xyzb}")->toPlainText(), "ab");
}

TEST(RtfMalformedInput, BrokenHexEscapes)
{
    EXPECT_EQ(Load("{\\rtf1 a\\'zzb\\'g1c\\'\\'q}")->toPlainText(), "azzbg1cq");
}

TEST(RtfMalformedInput, OverlongWordsAndNamesAreHarmless)
{
    const QByteArray word(100000, 'b');
    EXPECT_EQ(Load("{\\rtf1 x\\" + word + " y}")->toPlainText(), "xy");
    const QByteArray name(100000, 'N');
    const auto doc = Load("{\\rtf1{\\fonttbl{\\f0 " + name + ";}}\\f0 z}");
    EXPECT_EQ(doc->toPlainText(), "z");
    EXPECT_LE(FormatOf(*doc, "z").fontFamilies().toStringList().value(0).size(), 256);
}

TEST(RtfMalformedInput, HostileTablesAreBounded)
{
    QByteArray fonts = "{\\rtf1{\\fonttbl";
    QByteArray colors = "{\\colortbl";
    for (int i = 0; i < 20000; ++i) {
        fonts += "\\f" + QByteArray::number(i) + " F;";
        colors += "\\red1;";
    }
    const auto doc = Load(fonts + "}" + colors + "}\\f19999\\cf19999 t}");
    EXPECT_EQ(doc->toPlainText(), "t");
    EXPECT_FALSE(FormatOf(*doc, "t").hasProperty(QTextFormat::ForegroundBrush));
}

TEST(RtfMalformedInput, NulBytesAndBinaryGarbage)
{
    QByteArray data("{\\rtf1 ", 7);
    for (int i = 0; i < 256; ++i)
        if (i != '{' && i != '}' && i != '\\')
            data += char(i);
    data += '}';
    const QString text = Load(data)->toRawText();
    EXPECT_EQ(text.size(), 256 - 3 - 32 + 1); // printable bytes plus the tab
    for (const QChar c : text)
        EXPECT_TRUE(c == u'\t' || c.unicode() >= 0x20);
}

} // namespace
} // namespace karsidan::rtf::test
