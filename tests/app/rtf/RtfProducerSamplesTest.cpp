// Files as WordPad, Word, the old rich-text box and TextEdit write them.
#include "tests/app/rtf/RtfTestSupport.h"

#include <QFont>
#include <QRegularExpression>
#include <QTextBlockFormat>

namespace karsidan::rtf::test {
namespace {

QStringList Families(const QTextCharFormat& format) { return format.fontFamilies().toStringList(); }

TEST(RtfProducerSamples, WordPadDocument)
{
    const QByteArray data = ReadDataFile("wordpad.rtf");
    ASSERT_TRUE(RtfReader::IsRichText(data));
    const auto doc = Load(data);
    EXPECT_EQ(BlockTexts(*doc),
              QStringList({"Halo dunia, ini WordPad.", "Teks merah bergaris", "9F3A00B7C41E22D0\tbiru",
                           "Judul \u00e9t\u00e9 \u20ac", "Akhir"}));

    EXPECT_EQ(FormatOf(*doc, "dunia").fontWeight(), QFont::Bold);
    EXPECT_EQ(FormatOf(*doc, "Halo").fontWeight(), QFont::Normal);
    EXPECT_TRUE(FormatOf(*doc, "WordPad").fontItalic());
    EXPECT_EQ(Families(FormatOf(*doc, "Halo")), QStringList{"Calibri"});
    EXPECT_DOUBLE_EQ(FormatOf(*doc, "Halo").fontPointSize(), 11.0);

    const QTextCharFormat red = FormatOf(*doc, "Teks merah bergaris");
    EXPECT_EQ(red.foreground().color(), QColor(255, 0, 0));
    EXPECT_TRUE(red.fontUnderline());

    const QTextCharFormat code = FormatOf(*doc, "9F3A00B7C41E22D0");
    EXPECT_EQ(Families(code), QStringList{"Courier New"});
    EXPECT_DOUBLE_EQ(code.fontPointSize(), 10.0);
    EXPECT_FALSE(code.hasProperty(QTextFormat::ForegroundBrush));
    EXPECT_EQ(FormatOf(*doc, "biru").foreground().color(), QColor(0, 77, 187));

    const QTextBlock title = doc->findBlockByNumber(3);
    EXPECT_EQ(title.blockFormat().alignment(), Qt::AlignHCenter);
    EXPECT_DOUBLE_EQ(FormatOf(*doc, "Judul").fontPointSize(), 14.0);
    EXPECT_EQ(doc->findBlockByNumber(4).blockFormat().alignment(), Qt::AlignLeft);
}

TEST(RtfProducerSamples, CipherTextSavedByARichTextBoxReadsBackExactly)
{
    // Decrypting needs exactly the digits: no trailing line, no stray characters.
    const auto doc = Load(ReadDataFile("richedit-ciphertext.rtf"));
    EXPECT_EQ(doc->toPlainText(), "0123456789ABCDEFB7B7B7B7A1B2C3D4");
    EXPECT_EQ(doc->blockCount(), 1);
}

TEST(RtfProducerSamples, WordDocumentWithTablesFieldsAndPictures)
{
    const auto doc = Load(ReadDataFile("word.rtf"));
    const QStringList expected{"Laporan Rahasia", "Harga: \u20ac 12, kode \u0627\u0644 dan tautan.",
                               QString("Baris dua") + QChar(QChar::LineSeparator) + "lanjut\tx"};
    EXPECT_EQ(BlockTexts(*doc), expected);

    const QTextCharFormat title = FormatOf(*doc, "Laporan Rahasia");
    EXPECT_EQ(title.fontWeight(), QFont::Bold);
    EXPECT_DOUBLE_EQ(title.fontPointSize(), 16.0);
    EXPECT_EQ(Families(title), QStringList{"Calibri"});
    EXPECT_EQ(doc->begin().blockFormat().alignment(), Qt::AlignHCenter);

    EXPECT_EQ(FormatOf(*doc, "kode").foreground().color(), QColor(255, 0, 0));
    const QTextCharFormat link = FormatOf(*doc, "tautan");
    EXPECT_TRUE(link.fontUnderline());
    EXPECT_EQ(link.foreground().color(), QColor(0, 0, 255));
    EXPECT_EQ(FormatOf(*doc, "dan").fontWeight(), QFont::Normal);
    EXPECT_EQ(doc->findBlockByNumber(1).blockFormat().alignment(), Qt::AlignLeft);
}

TEST(RtfProducerSamples, TextEditDocumentWithEscapedLineEnds)
{
    const auto doc = Load(ReadDataFile("textedit.rtf"));
    EXPECT_EQ(BlockTexts(*doc), QStringList({"Baris satu", "Baris dua", "\u00e0 la ligne"}));
    EXPECT_EQ(Families(FormatOf(*doc, "Baris satu")), QStringList{"Helvetica"});
    EXPECT_TRUE(FormatOf(*doc, "Baris dua").fontItalic());
    const QTextCharFormat last = FormatOf(*doc, "la ligne");
    EXPECT_FALSE(last.fontItalic());
    EXPECT_EQ(Families(last), QStringList{"Menlo-Regular"});
}

TEST(RtfProducerSamples, EveryTruncationOfASampleReadsAPrefixOfItsText)
{
    // Cutting a file anywhere must neither crash nor invent text.
    const QByteArray data = ReadDataFile("wordpad.rtf");
    const QString full = Load(data)->toPlainText();
    // A cut inside the digits of \uN leaves another, smaller number.
    const QRegularExpression insideUnicode(QStringLiteral("\\\\u-?\\d+$"));
    for (qsizetype cut = 5; cut <= data.size(); ++cut) {
        if (insideUnicode.match(QString::fromLatin1(data.left(cut))).hasMatch())
            continue;
        const QString text = Load(data.left(cut))->toPlainText();
        ASSERT_TRUE(full.startsWith(text.trimmed())) << "cut at " << cut << ": " << text.toStdString();
    }
}

} // namespace
} // namespace karsidan::rtf::test
