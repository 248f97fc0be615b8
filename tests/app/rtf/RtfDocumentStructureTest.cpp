// Symbol fonts, footnotes, text boxes, tables and list labels, case by case.
#include "app/rtf/RtfFootnotes.h"
#include "tests/app/rtf/RtfTestSupport.h"

#include <QTextCharFormat>

namespace karsidan::rtf::test {
namespace {

const QByteArray kFonts = "{\\fonttbl{\\f0 Arial;}{\\f1\\froman\\fcharset2 Symbol;}"
                          "{\\f2\\fnil\\fcharset2 Wingdings;}{\\f3\\fcharset2 Webdings;}"
                          "{\\f4\\fcharset0 Courier New{\\*\\falt Courier};}}";

QStringList Blocks(const QByteArray& body) { return BlockTexts(*Load("{\\rtf1\\ansi\\deff0" + kFonts + body + "}")); }

QString Text(const QByteArray& body) { return Blocks(body).join(QLatin1Char('\n')); }

TEST(RtfSymbolFonts, BytesInASymbolFontReadAsWhatTheyShow)
{
    // Symbol: Greek letters and signs; Word writes its bullet as \'b7 in it.
    EXPECT_EQ(Text("\\f1 a\\'b7 ABZ~\\'a0\\'fe\\f0  a\\'b7"),
              QString("\u03b1\u2022 \u0391\u0392\u0396\u223c\u20ac\u23ad a\u00b7"));
    // Wingdings: the bullets of Word's bullet library.
    EXPECT_EQ(Text("\\f2\\'a7\\'fc\\'d8vnl"), QString("\u25aa\u2714\u27a2\u2756\u25a0\u25cf"));
    // A glyph without an equivalent, or of a symbol font not known here,
    // stays the private-use character the font has for it.
    EXPECT_EQ(Text("\\f1\\'f0\\f2\\'b7\\f3\\'b7"), QString("\uf0f0\uf0b7\uf0b7"));
    // The family is known by its name too, even without \fcharset2.
    EXPECT_EQ(BlockTexts(*Load("{\\rtf1{\\fonttbl{\\f5 Symbol;}}\\f5 p}")), QStringList{"\u03c0"});
}

TEST(RtfSymbolFonts, PrivateUseCharactersFollowTheFontOrWordsBulletLibrary)
{
    EXPECT_EQ(Text("\\f1\\u61537?\\u61623?"), QString("\u03b1\u2022"));
    EXPECT_EQ(Text("\\f2\\u61607?\\u61623?"), QString("\u25aa\uf0b7")); // Wingdings B7 is a clock
    // Outside a symbol font (LibreOffice names none for its list labels)
    // only bullets are recognised; other codes and other private-use
    // characters stay as they are.
    EXPECT_EQ(Text("\\u61623?\\u61607?\\u61692?\\u61537?\\u57345?"), QString("\u2022\u25aa\u2714\uf061\ue001"));
    // A font number missing from the table is a text font.
    EXPECT_EQ(Text("\\f9\\u61623?\\'b7"), QString("\u2022\u00b7"));
    // Real Unicode in a symbol font is left alone.
    EXPECT_EQ(Text("\\f1\\u8226?\\u945?"), QString("\u2022\u03b1"));
}

TEST(RtfListLabels, LabelsLoseLeadingBlanksOnly)
{
    EXPECT_EQ(Blocks("{\\listtext\\pard\\plain  \\u61623\\'3f\\tab}Kopi\\par"
                     "{\\listtext\\f1\\'b7\\tab}Teh\\par{\\pntext  1. a\\tab}Satu\\par  Dua"),
              QStringList({"\u2022\tKopi", "\u2022\tTeh", "1. a\tSatu", " Dua"}));
}

TEST(RtfFootnotes, MarksKeepTheirNumberAndNotesFollowTheBody)
{
    const auto doc = Load("{\\rtf1 Satu{\\super\\chftn}{\\*\\footnote\\pard\\plain{\\super\\chftn}\\tab Catatan "
                          "\\b satu\\b0 .\\par Lanjut  di sini. \\par} dua{\\super\\chftn{\\*\\footnote\\chftn\\~"
                          "Kedua}} tiga.\\par Akhir\\par}");
    EXPECT_EQ(BlockTexts(*doc),
              QStringList({"Satu1 dua2 tiga.", "Akhir", "[1] Catatan satu. Lanjut  di sini.", "[2] Kedua"}));
    // The note keeps its formatting; its number is plain.
    EXPECT_EQ(FormatOf(*doc, "satu").fontWeight(), QFont::Bold);
    EXPECT_EQ(FormatOf(*doc, "Catatan").fontWeight(), QFont::Normal);
    EXPECT_EQ(FormatOf(*doc, "[1]").verticalAlignment(), QTextCharFormat::AlignNormal);
}

TEST(RtfFootnotes, EdgeCases)
{
    // A body without a final paragraph mark, and an empty body.
    EXPECT_EQ(Blocks("a\\chftn{\\*\\footnote x}b"), QStringList({"a1b", "[1] x"}));
    EXPECT_EQ(Blocks("{\\*\\footnote x}"), QStringList({"[1] x"}));
    // An empty note still has its line; hidden text stays hidden.
    EXPECT_EQ(Blocks("a{\\*\\footnote \\tab }{\\*\\footnote y{\\v hidden}z}"), QStringList({"a", "[1] ", "[2] yz"}));
    // Notes in a header, or in a note, are not text of the page.
    EXPECT_EQ(Blocks("{\\header h{\\*\\footnote no}}a{\\*\\footnote x{\\*\\footnote no}y}"),
              QStringList({"a", "[1] xy"}));
    // A table in a note still reads as one line.
    EXPECT_EQ(Blocks("a{\\*\\footnote \\intbl p\\cell q\\cell\\row}"), QStringList({"a", "[1] p q"}));
    // A note cut off by the end of the file keeps what it has.
    EXPECT_EQ(BlockTexts(*Load("{\\rtf1 a{\\*\\footnote cut")), QStringList({"a", "[1] cut"}));
}

TEST(RtfFootnotes, AHostileNumberOfNotesIsCapped)
{
    QByteArray body = "a";
    for (std::size_t i = 0; i <= RtfFootnotes::kMaxNotes; ++i)
        body += "\\chftn{\\*\\footnote n}";
    const QStringList blocks = Blocks(body);
    ASSERT_EQ(blocks.size(), qsizetype(RtfFootnotes::kMaxNotes) + 1);
    EXPECT_EQ(blocks.last(), QString("[%1] n").arg(RtfFootnotes::kMaxNotes));
    EXPECT_TRUE(blocks.first().endsWith(QString::number(RtfFootnotes::kMaxNotes + 1)));
}

TEST(RtfFootnotes, OtherStarredDestinationsAreStillSkipped)
{
    EXPECT_EQ(Text("a{\\*\\unknown x}{\\* y}{\\*{z}}{\\*\\shppict{\\pict 00}}b"), "ab");
}

TEST(RtfTextBoxes, TextStandsAsParagraphsWhereTheBoxIsAnchored)
{
    const QByteArray box = "{\\shp{\\*\\shpinst\\shpleft0{\\sp{\\sn shapeType}{\\sv 202}}"
                           "{\\shptxt \\pard Kotak\\par baris dua}}{\\shprslt{\\*\\do\\dptxbxtext lama} lama}}";
    EXPECT_EQ(Blocks("Awal\\par " + box + "Isi\\par"), QStringList({"Awal", "Kotak", "baris dua", "Isi"}));
    EXPECT_EQ(Blocks("kiri " + box + "kanan"), QStringList({"kiri ", "Kotak", "baris dua", "kanan"}));
    // Shapes without text leave nothing; \shptxt outside a shape is not read.
    EXPECT_EQ(Blocks("a{\\shp{\\*\\shpinst{\\sp{\\sn t}{\\sv x}}}}b{\\shptxt c}d"), QStringList({"abd"}));
    // A text box in a footnote joins the note's line.
    EXPECT_EQ(Blocks("a{\\*\\footnote n{\\shp{\\*\\shpinst{\\shptxt k\\par}}}m}"), QStringList({"a", "[1] n k m"}));
}

TEST(RtfTables, ARowIsOneLineWithOneTabBetweenCells)
{
    // Empty cells keep their column; nothing follows the last cell.
    EXPECT_EQ(Blocks("\\trowd\\cellx1\\cellx2\\cellx3\\pard\\intbl a\\cell\\cell c\\cell\\row"
                     "\\pard\\intbl\\cell b\\cell\\cell\\row\\pard\\intbl\\cell\\cell\\cell\\row\\pard Sesudah"),
              QStringList({"a\t\tc", "\tb\t", "\t\t", "Sesudah"}));
    // Paragraph marks and line breaks in a cell are spaces, never at its ends.
    EXPECT_EQ(Blocks("{\\pard\\intbl\\par satu\\par\\par dua\\line tiga\\par}\\cell{\\pard\\intbl x\\par}\\cell"
                     "\\intbl\\row"),
              QStringList({"satu dua tiga\tx"}));
    // A tab inside a cell is text of the cell.
    EXPECT_EQ(Blocks("\\intbl a\\tab b\\cell c\\cell\\row"), QStringList({"a\tb\tc"}));
    // A paragraph mark outside the table drops a cell's held tab.
    EXPECT_EQ(Blocks("a\\cell\\par b"), QStringList({"a", "b"}));
}

TEST(RtfTables, NestedTablesStayInTheirRow)
{
    // As Word writes them: the inner cells are words of the outer cell.
    EXPECT_EQ(Blocks("\\intbl a\\cell\\intbl p\\nestcell q\\nestcell{\\*\\nesttableprops\\trowd\\nestrow}"
                     "{\\nonesttables\\par}\\cell\\row"),
              QStringList({"a\tp q"}));
}

} // namespace
} // namespace karsidan::rtf::test
