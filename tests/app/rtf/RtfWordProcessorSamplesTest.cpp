// Documents as LibreOffice and pandoc write them: lists, footnotes, text
// boxes and tables, checked by the text that reaches the editor.
#include "tests/app/rtf/RtfTestSupport.h"

#include <QFont>
#include <QRegularExpression>
#include <QTextCharFormat>

namespace karsidan::rtf::test {
namespace {

const QString kTab = QStringLiteral("\t");

TEST(RtfWordProcessorSamples, WordDocumentFromLibreOfficeWithBulletsAndATextBox)
{
    // Word's bullet library: Symbol U+F0B7, Courier New "o", Wingdings U+F0A7;
    // then a list of plain bullets, and a text box anchored in the last line.
    const auto doc = Load(ReadDataFile("libreoffice-bullets.rtf"));
    EXPECT_EQ(BlockTexts(*doc),
              QStringList({"Belanja \u201cpekan ini\u201d \u2014 12 \u20ac", "\u2022\tKopi Toraja", "o\tArabika",
                           "\u25aa\tBiji utuh", "\u2022\tTeh melati", "Daftar biasa:", "\u2022\tSatu", "\u2022\tDua",
                           "Catatan di kotak", "Selesai."}));
}

TEST(RtfWordProcessorSamples, LibreOfficeReportWithFootnotesListAndTables)
{
    const auto doc = Load(ReadDataFile("libreoffice-report.rtf"));
    EXPECT_EQ(BlockTexts(*doc),
              QStringList({"Laporan \u201cKas\u201d \u2014 Mei", "Pengeluaran bulan ini naik1 karena harga kopi.",
                           "\u2022\tKopi", "\u25e6\tArabika", "\u2022\tTeh", "Barang\tJumlah\tHarga",
                           "Kopi\t2\t5 \u20ac", "Teh\t\t3 \u20ac", "Hari\tRencana", "Senin\tRapat pagi. Kirim laporan.",
                           "Selasa\tLibur", "Catatan akhir.2", "[1] Dibandingkan dengan April.",
                           "[2] Disusun oleh bagian keuangan. Paragraf kedua catatan."}));
    // The mark keeps its superscript; the note lines are plain paragraphs.
    EXPECT_EQ(FormatOf(*doc, "naik").verticalAlignment(), QTextCharFormat::AlignNormal);
    QTextCursor mark(doc.get());
    mark.setPosition(doc->findBlockByNumber(1).position() + QString("Pengeluaran bulan ini naik1").size());
    EXPECT_EQ(mark.charFormat().verticalAlignment(), QTextCharFormat::AlignSuperScript);
}

TEST(RtfWordProcessorSamples, PandocReportWithFootnotesListAndTables)
{
    const auto doc = Load(ReadDataFile("pandoc-report.rtf"));
    EXPECT_EQ(
        BlockTexts(*doc),
        QStringList({"Laporan \u201cKas\u201d \u2014 Mei", "Pengeluaran bulan ini naik1 karena harga kopi.",
                     "\u2022\tKopi", "\u2013\tArabika", "\u2022\tTeh", "Barang\tJumlah\tHarga", "Kopi\t2\t5 \u20ac",
                     "Teh\t\t3 \u20ac", "", "Hari\tRencana", "Senin\tRapat pagi. Kirim laporan.", "Selasa\tLibur", "",
                     "Catatan akhir.2", "[1] Dibandingkan dengan April.",
                     "[2] Disusun oleh bagian keuangan. Paragraf kedua catatan."}));
}

TEST(RtfWordProcessorSamples, TextBoxFromLibreOfficeStandsWhereItIsAnchored)
{
    const auto doc = Load(ReadDataFile("libreoffice-textbox.rtf"));
    EXPECT_EQ(BlockTexts(*doc),
              QStringList({"Surat untuk Pak Budi.", "Kotak: rapat Senin.", "Bawa laporan.",
                           "Isi surat dimulai di sini.", "Salam."}));
}

TEST(RtfWordProcessorSamples, EveryTruncationReadsAPrefixOfTheText)
{
    // Held-back tabs, spaces and breaks must never show up early or be invented
    // when a file is cut short (notes are left out: they follow the body).
    // A cut inside the digits of \\uN leaves another number, and one right
    // after the sign of a parameter leaves the sign as text.
    const QRegularExpression insideNumber(QStringLiteral("\\\\(u-?\\d+|[a-z]+-)$"));
    for (const char* name : {"libreoffice-textbox.rtf", "libreoffice-bullets.rtf"}) {
        const QByteArray data = ReadDataFile(name);
        const QString full = Load(data)->toPlainText();
        for (qsizetype cut = 5; cut <= data.size(); ++cut) {
            if (insideNumber.match(QString::fromLatin1(data.left(cut))).hasMatch())
                continue;
            const QString text = Load(data.left(cut))->toPlainText();
            ASSERT_TRUE(full.startsWith(text)) << name << " cut at " << cut << ": " << text.toStdString();
        }
    }
}

} // namespace
} // namespace karsidan::rtf::test
