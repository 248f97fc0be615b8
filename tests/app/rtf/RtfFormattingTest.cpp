#include "tests/app/rtf/RtfTestSupport.h"

#include <QBrush>
#include <QFont>
#include <QTextBlockFormat>

namespace karsidan::rtf::test {
namespace {

TEST(RtfFormatting, ParagraphsAndTheFinalParagraphMark)
{
    EXPECT_EQ(BlockTexts(*Load("{\\rtf1 one\\par two\\par}")), QStringList({"one", "two"}));
    EXPECT_EQ(BlockTexts(*Load("{\\rtf1 one\\par two}")), QStringList({"one", "two"}));
    // Only the last mark is absorbed; a blank line before it stays.
    EXPECT_EQ(BlockTexts(*Load("{\\rtf1 one\\par\\par}")), QStringList({"one", ""}));
    EXPECT_EQ(BlockTexts(*Load("{\\rtf1 \\par\\par x}")), QStringList({"", "", "x"}));
    EXPECT_EQ(Load("{\\rtf1 ABCDEF\\par\r\n}")->toPlainText(), "ABCDEF");
}

TEST(RtfFormatting, BoldRunsAndGroupScope)
{
    const auto doc = Load("{\\rtf1 plain \\b bold\\b0  after {\\b inner} outer\\b1 on}");
    EXPECT_EQ(doc->toPlainText(), "plain bold after inner outeron");
    EXPECT_EQ(FormatOf(*doc, "plain").fontWeight(), QFont::Normal);
    EXPECT_EQ(FormatOf(*doc, "bold").fontWeight(), QFont::Bold);
    EXPECT_EQ(FormatOf(*doc, "after").fontWeight(), QFont::Normal);
    EXPECT_EQ(FormatOf(*doc, "inner").fontWeight(), QFont::Bold);
    EXPECT_EQ(FormatOf(*doc, "outer").fontWeight(), QFont::Normal);
    EXPECT_EQ(FormatOf(*doc, "on").fontWeight(), QFont::Bold);
}

TEST(RtfFormatting, ItalicUnderlineStrikeAndShifts)
{
    const auto doc = Load("{\\rtf1 \\i it\\i0  \\ul ul\\ulnone  \\uldb dbl\\ul0  \\strike st\\strike0 "
                          " \\super sup\\nosupersub  \\sub sb\\nosupersub  \\ulc5 none}");
    EXPECT_TRUE(FormatOf(*doc, "it").fontItalic());
    EXPECT_TRUE(FormatOf(*doc, "ul").fontUnderline());
    EXPECT_TRUE(FormatOf(*doc, "dbl").fontUnderline());
    EXPECT_TRUE(FormatOf(*doc, "st").fontStrikeOut());
    EXPECT_EQ(FormatOf(*doc, "sup").verticalAlignment(), QTextCharFormat::AlignSuperScript);
    EXPECT_EQ(FormatOf(*doc, "sb").verticalAlignment(), QTextCharFormat::AlignSubScript);
    const QTextCharFormat none = FormatOf(*doc, "none");
    EXPECT_FALSE(none.fontItalic());
    EXPECT_FALSE(none.fontUnderline()); // \ulc is the underline colour, not underline
    EXPECT_FALSE(none.fontStrikeOut());
    EXPECT_EQ(none.verticalAlignment(), QTextCharFormat::AlignNormal);
}

TEST(RtfFormatting, HiddenTextIsNotShown)
{
    EXPECT_EQ(Load("{\\rtf1 a{\\v hidden}b\\v c\\tab\\v0 d\\v1 e\\plain f}")->toPlainText(), "abdf");
}

TEST(RtfFormatting, FontSizesInHalfPoints)
{
    const auto doc = Load("{\\rtf1 dflt \\fs36 big {\\fs17 odd} \\fs back}");
    EXPECT_DOUBLE_EQ(FormatOf(*doc, "dflt").fontPointSize(), 12.0);
    EXPECT_DOUBLE_EQ(FormatOf(*doc, "big").fontPointSize(), 18.0);
    EXPECT_DOUBLE_EQ(FormatOf(*doc, "odd").fontPointSize(), 8.5);
    EXPECT_DOUBLE_EQ(FormatOf(*doc, "back").fontPointSize(), 12.0);
}

TEST(RtfFormatting, ColoursFromTheColourTable)
{
    const auto doc = Load("{\\rtf1{\\colortbl;\\red255\\green0\\blue0;\\red0\\green128\\blue255;}"
                          "auto \\cf1 red \\cf2 blue \\cf0 reset \\cf9 missing \\highlight1 marked}");
    EXPECT_FALSE(FormatOf(*doc, "auto").hasProperty(QTextFormat::ForegroundBrush));
    EXPECT_EQ(FormatOf(*doc, "red").foreground().color(), QColor(255, 0, 0));
    EXPECT_EQ(FormatOf(*doc, "blue").foreground().color(), QColor(0, 128, 255));
    EXPECT_FALSE(FormatOf(*doc, "reset").hasProperty(QTextFormat::ForegroundBrush));
    EXPECT_FALSE(FormatOf(*doc, "missing").hasProperty(QTextFormat::ForegroundBrush));
    EXPECT_EQ(FormatOf(*doc, "marked").background().color(), QColor(255, 0, 0));
}

TEST(RtfFormatting, ColourComponentsAreClamped)
{
    const auto doc = Load("{\\rtf1{\\colortbl\\red999\\green-4\\blue128;}\\cf0 x}");
    EXPECT_EQ(FormatOf(*doc, "x").foreground().color(), QColor(255, 0, 128));
}

TEST(RtfFormatting, FontFamiliesAndDefaultFont)
{
    const auto doc = Load("{\\rtf1\\deff1{\\fonttbl{\\f0\\froman\\fcharset0 Times New Roman;}"
                          "{\\f1\\fswiss{\\*\\panose 020b0604020202020204}Arial;}}"
                          "dflt \\f0 times {\\f1 arial} \\plain again}");
    EXPECT_EQ(FormatOf(*doc, "dflt").fontFamilies().toStringList(), QStringList{"Arial"});
    EXPECT_EQ(FormatOf(*doc, "times").fontFamilies().toStringList(), QStringList{"Times New Roman"});
    EXPECT_EQ(FormatOf(*doc, "arial").fontFamilies().toStringList(), QStringList{"Arial"});
    EXPECT_EQ(FormatOf(*doc, "again").fontFamilies().toStringList(), QStringList{"Arial"});
}

TEST(RtfFormatting, FontTableWithoutInnerGroups)
{
    const auto doc = Load("{\\rtf1{\\fonttbl\\f0\\fnil Courier New;\\f3\\fnil Caf\\'e9;}\\f3 x\\f0 y}");
    EXPECT_EQ(FormatOf(*doc, "x").fontFamilies().toStringList(), QStringList{"Caf\u00e9"});
    EXPECT_EQ(FormatOf(*doc, "y").fontFamilies().toStringList(), QStringList{"Courier New"});
}

TEST(RtfFormatting, PlainResetsCharacterButNotParagraph)
{
    const auto doc = Load("{\\rtf1\\qc\\b\\i\\fs40\\ul a\\plain b\\par}");
    const QTextCharFormat b = FormatOf(*doc, "b");
    EXPECT_EQ(b.fontWeight(), QFont::Normal);
    EXPECT_FALSE(b.fontItalic());
    EXPECT_FALSE(b.fontUnderline());
    EXPECT_DOUBLE_EQ(b.fontPointSize(), 12.0);
    EXPECT_EQ(doc->begin().blockFormat().alignment(), Qt::AlignHCenter);
}

TEST(RtfFormatting, AlignmentIndentsAndPard)
{
    const auto doc = Load("{\\rtf1\\qc centre\\par\\pard\\qr right\\par\\pard\\li720\\fi-360\\sa200 "
                          "indented\\par\\pard plain\\par\\qj justified}");
    const QStringList texts = BlockTexts(*doc);
    ASSERT_EQ(texts, QStringList({"centre", "right", "indented", "plain", "justified"}));
    QTextBlock block = doc->begin();
    EXPECT_EQ(block.blockFormat().alignment(), Qt::AlignHCenter);
    block = block.next();
    EXPECT_EQ(block.blockFormat().alignment(), Qt::AlignRight);
    block = block.next();
    EXPECT_EQ(block.blockFormat().alignment(), Qt::AlignLeft);
    EXPECT_DOUBLE_EQ(block.blockFormat().leftMargin(), 48.0);
    EXPECT_DOUBLE_EQ(block.blockFormat().textIndent(), -24.0);
    EXPECT_GT(block.blockFormat().bottomMargin(), 13.0);
    block = block.next();
    EXPECT_DOUBLE_EQ(block.blockFormat().leftMargin(), 0.0);
    block = block.next();
    EXPECT_EQ(block.blockFormat().alignment(), Qt::AlignJustify);
}

TEST(RtfFormatting, TabsLineBreaksAndTableCells)
{
    const auto doc = Load("{\\rtf1 a\\tab b\\line c\\par x\\cell y\\cell\\row z}");
    const QStringList texts = BlockTexts(*doc);
    ASSERT_EQ(texts.size(), 3);
    EXPECT_EQ(texts[0], QString("a\tb") + QChar(QChar::LineSeparator) + "c");
    EXPECT_EQ(texts[1], "x\ty");
    EXPECT_EQ(texts[2], "z");
}

TEST(RtfFormatting, EmptyLineKeepsItsCharacterFormat)
{
    const auto doc = Load("{\\rtf1 a\\par\\fs48\\par b}");
    const QTextBlock empty = doc->begin().next();
    ASSERT_TRUE(empty.isValid());
    EXPECT_TRUE(empty.text().isEmpty());
    EXPECT_DOUBLE_EQ(empty.charFormat().fontPointSize(), 24.0);
}

TEST(RtfFormatting, ReadReplacesContentAndKeepsUndoSetting)
{
    QTextDocument document;
    document.setPlainText("old text");
    ASSERT_TRUE(document.isUndoRedoEnabled());
    RtfReader::Read("{\\rtf1 new}", document);
    EXPECT_EQ(document.toPlainText(), "new");
    EXPECT_TRUE(document.isUndoRedoEnabled());
    EXPECT_FALSE(document.isUndoAvailable()); // loading is not an edit to undo

    document.setUndoRedoEnabled(false);
    RtfReader::Read("{\\rtf1 newer}", document);
    EXPECT_FALSE(document.isUndoRedoEnabled());
}

TEST(RtfFormatting, RecognisesRichText)
{
    EXPECT_TRUE(RtfReader::IsRichText("{\\rtf1\\ansi x}"));
    EXPECT_TRUE(RtfReader::IsRichText("{\\rtf"));
    EXPECT_FALSE(RtfReader::IsRichText(""));
    EXPECT_FALSE(RtfReader::IsRichText("{\\rt"));
    EXPECT_FALSE(RtfReader::IsRichText(" {\\rtf1}"));
    EXPECT_FALSE(RtfReader::IsRichText("0123ABCD"));
}

TEST(RtfFormatting, NonRichTextIsReadAsPlainCodePageText)
{
    const auto doc = Load("0123ABCD\r\nline \xe9\x80\rlast\n");
    EXPECT_EQ(BlockTexts(*doc), QStringList({"0123ABCD", "line \u00e9\u20ac", "last", ""}));
    const auto braces = Load("{not rtf} \\par");
    EXPECT_EQ(braces->toPlainText(), "{not rtf} \\par");
}

} // namespace
} // namespace karsidan::rtf::test
