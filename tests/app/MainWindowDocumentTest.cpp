// New, Open and Save from the menu and the toolbar, through the fake dialog.
#include "app/EditorText.h"
#include "app/dialogs/QtFileDialog.h"
#include "tests/app/MainWindowFixture.h"

#include <QTextCursor>

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFileInfo>

#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>

namespace karsidan::test {
namespace {

using MainWindowDocuments = MainWindowFixture;

TEST_F(MainWindowDocuments, DialogIsPreparedOnceWithFolderAndFilter)
{
    EXPECT_EQ(dialog.InitialFolder(), folder.path());
    // The program's own filter stays first and unchanged; rich text follows.
    EXPECT_EQ(dialog.Filter(), "Text File |*.txt;*.rtb|Rich Text |*.rtf|");
    EXPECT_EQ(QtFileDialog::ToNameFilters(dialog.Filter()),
              QStringList({"Text File (*.txt *.rtb)", "Rich Text (*.rtf)"}));
}

TEST_F(MainWindowDocuments, NewEmptiesEverythingInOneStep)
{
    for (const char* command : {"mnuNew", "tlbNew"}) {
        Source()->setPlainText("source");
        Target()->setPlainText("target");
        SetKeys("a", "b", "c");
        mdlGlobal::SavedFileName = "x.txt";
        Trigger(command);
        EXPECT_TRUE(Source()->toPlainText().isEmpty()) << command;
        EXPECT_TRUE(Target()->toPlainText().isEmpty()) << command;
        for (int i = 0; i < 3; ++i)
            EXPECT_TRUE(Key(i)->text().isEmpty()) << command;
        EXPECT_TRUE(mdlGlobal::SavedFileName.isEmpty()) << command;
    }
}

TEST_F(MainWindowDocuments, SaveWritesTargetInCodePageWithCrLfAndNothingAdded)
{
    for (const char* command : {"mnuSave", "tlbSave"}) {
        const QString path = PathOf(QString("out-%1.txt").arg(command));
        Target()->setPlainText(QString::fromUtf8("caf\xc3\xa9 \xe2\x82\xac\nbaris 2"));
        dialog.answers.push_back(path);
        Trigger(command);
        EXPECT_EQ(ReadBytes(path), QByteArray("caf\xe9 \x80\r\nbaris 2")) << command;
        EXPECT_EQ(mdlGlobal::SavedFileName, path) << command;
        EXPECT_EQ(dialog.requests.back().form, FileDialog::Form::Save);
    }
    EXPECT_TRUE(messages.warnings.empty());
}

TEST_F(MainWindowDocuments, SaveOfEmptyTargetEmptiesTheFile)
{
    const QString path = PathOf("empty.txt");
    WriteBytes(path, "old content");
    dialog.answers.push_back(path);
    Trigger("mnuSave");
    EXPECT_EQ(ReadBytes(path), QByteArray());
    EXPECT_EQ(mdlGlobal::SavedFileName, path);
}

// Save writes through a link and a FIFO as the user named them; one that
// cannot be written is said in a message box and leaves the name as it was.
TEST_F(MainWindowDocuments, SaveThroughALinkAndAnUnreadFifo)
{
    const QString real = PathOf("asli.txt");
    WriteBytes(real, "lama");
    ASSERT_TRUE(QFile::link(real, PathOf("tautan.txt")));
    Target()->setPlainText("0A1B");
    dialog.answers.push_back(PathOf("tautan.txt"));
    Trigger("mnuSave");
    EXPECT_EQ(ReadBytes(real), QByteArray("0A1B"));
    EXPECT_TRUE(QFileInfo(PathOf("tautan.txt")).isSymLink());
    EXPECT_EQ(mdlGlobal::SavedFileName, PathOf("tautan.txt"));

    const QString fifo = PathOf("pipa.txt");
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    dialog.answers.push_back(fifo);
    Trigger("tlbSave");
    ASSERT_EQ(messages.warnings.size(), 1u);
    EXPECT_EQ(messages.warnings[0].text,
              QString("Berkas \"%1\" tidak dapat disimpan.\nperangkat atau pembacanya tidak ada").arg(fifo));
    EXPECT_EQ(mdlGlobal::SavedFileName, PathOf("tautan.txt"));
}

TEST_F(MainWindowDocuments, SecondDialogProposesTheLastName)
{
    const QString first = PathOf("first.txt");
    dialog.answers.push_back(first);
    Trigger("mnuSave");
    dialog.answers.push_back(QString());
    Trigger("mnuOpen");
    ASSERT_EQ(dialog.requests.size(), 2u);
    EXPECT_EQ(dialog.requests[0].proposedName, "");
    EXPECT_EQ(dialog.requests[1].proposedName, first);
    EXPECT_EQ(dialog.requests[1].form, FileDialog::Form::Open);
}

TEST_F(MainWindowDocuments, CancelAndBlankNamesChangeNothingButOpenForgetsTheName)
{
    Source()->setPlainText("source");
    Target()->setPlainText("target");
    mdlGlobal::SavedFileName = PathOf("kept.txt");

    dialog.answers.push_back(QString());
    Trigger("tlbSave");
    dialog.answers.push_back(QString("   "));
    Trigger("mnuSave");
    EXPECT_EQ(mdlGlobal::SavedFileName, PathOf("kept.txt"));
    EXPECT_FALSE(QFile::exists(PathOf("kept.txt")));

    dialog.answers.push_back(QString());
    Trigger("tlbOpen");
    EXPECT_TRUE(mdlGlobal::SavedFileName.isEmpty());
    EXPECT_EQ(Source()->toPlainText(), "source");
    EXPECT_EQ(Target()->toPlainText(), "target");
    EXPECT_TRUE(messages.warnings.empty());
}

TEST_F(MainWindowDocuments, OpenReadsUtf8AndCodePageText)
{
    struct Case {
        const char* name;
        QByteArray bytes;
        QString shown;
    };
    const Case cases[] = {
        {"utf8.txt", "caf\xc3\xa9\r\n\xe6\xbc\xa2", QString::fromUtf8("caf\xc3\xa9\n\xe6\xbc\xa2")},
        {"bom.txt",
         "\xef\xbb\xbf"
         "caf\xc3\xa9",
         QString::fromUtf8("caf\xc3\xa9")},
        {"cp.txt", "caf\xe9\r\n\x80 \x93x\x94",
         QString::fromUtf8("caf\xc3\xa9\n\xe2\x82\xac \xe2\x80\x9cx\xe2\x80\x9d")},
    };
    Target()->setPlainText("target");
    SetKeys("a", "b", "c");
    for (const Case& c : cases) {
        const QString path = PathOf(c.name);
        WriteBytes(path, c.bytes);
        mdlGlobal::SavedFileName = "something";
        dialog.answers.push_back(path);
        Trigger("mnuOpen");
        EXPECT_EQ(Source()->toPlainText(), c.shown) << c.name;
        EXPECT_TRUE(mdlGlobal::SavedFileName.isEmpty());
    }
    EXPECT_EQ(Target()->toPlainText(), "target");
    EXPECT_EQ(Key(2)->text(), "c");
}

TEST_F(MainWindowDocuments, OpenReadsRichTextWithItsFormatting)
{
    const QString path = PathOf("surat.rtf");
    WriteBytes(path,
               "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0\\fs24 Halo \\b tebal\\b0  caf\\'e9\\par "
               "baris\\tab dua{\\*\\unknown rahasia}}");
    Source()->setPlainText("old");
    dialog.answers.push_back(path);
    Trigger("mnuOpen");
    EXPECT_EQ(Source()->toPlainText(), QString::fromUtf8("Halo tebal caf\xc3\xa9\nbaris\tdua"));
    QTextCursor cursor(Source()->document());
    cursor.setPosition(7); // inside "tebal"
    EXPECT_EQ(cursor.charFormat().fontWeight(), QFont::Bold);
    cursor.setPosition(2); // inside "Halo"
    EXPECT_NE(cursor.charFormat().fontWeight(), QFont::Bold);
    // The text reaches the engine as plain text with CR LF.
    SetKeys("1", "2", "3");
    Click("cmdEncrypt");
    ASSERT_TRUE(WaitIdle());
    EXPECT_EQ(cipher.Requests().at(0).text, "Halo tebal caf\xe9\r\nbaris\tdua");
}

TEST_F(MainWindowDocuments, MalformedRichTextStillOpens)
{
    const QByteArray samples[] = {"{\\rtf", "{\\rtf1{{{{{{\\'zz\\u", "{\\rtf1\\bin99999999 x}}}}",
                                  "{\\rtf1\\uc5\\u-1?\\'\\"};
    int index = 0;
    for (const QByteArray& bytes : samples) {
        const QString path = PathOf(QString("bad%1.rtf").arg(index++));
        WriteBytes(path, bytes);
        dialog.answers.push_back(path);
        Trigger("mnuOpen");
        EXPECT_FALSE(Source()->toPlainText().contains("rtf1")) << bytes.constData();
    }
    EXPECT_TRUE(messages.warnings.empty());
}

TEST_F(MainWindowDocuments, SavedCipherTextOpensBackIdentically)
{
    Source()->setPlainText("Rahasia\nnegara");
    SetKeys("1", "2", "3");
    Click("cmdEncrypt");
    ASSERT_TRUE(WaitIdle());
    const QString digits = Target()->toPlainText();
    ASSERT_FALSE(digits.isEmpty());

    const QString path = PathOf("cipher.txt");
    dialog.answers.push_back(path);
    Trigger("tlbSave");
    EXPECT_EQ(ReadBytes(path).size(), digits.size());
    dialog.answers.push_back(path);
    Trigger("tlbOpen");
    EXPECT_EQ(Source()->toPlainText(), digits);
}

TEST_F(MainWindowDocuments, LongCipherTextSurvivesSaveAndOpenByteForByte)
{
    QByteArray digits;
    for (int i = 0; i < 3 * EditorText::kLongLine + 5; ++i)
        digits += "0123456789ABCDEF"[(i * 7) % 16];
    const QString path = PathOf("long.txt");
    WriteBytes(path, digits);
    dialog.answers.push_back(path);
    Trigger("mnuOpen");
    EXPECT_GT(Source()->document()->blockCount(), 1); // shown in rows
    SetKeys("1", "2", "3");
    Click("cmdDecrypt");
    ASSERT_TRUE(WaitIdle());
    ASSERT_EQ(cipher.Requests().size(), 1u);
    EXPECT_EQ(cipher.Requests()[0].text, digits.toStdString());

    Source()->setPlainText(QString::fromLatin1(digits));
    Click("cmdEncrypt");
    ASSERT_TRUE(WaitIdle());
    EXPECT_EQ(window->TargetText().toStdString(), ScriptedCipher::ToHex(digits.toStdString()));
    const QString saved = PathOf("long-out.txt");
    dialog.answers.push_back(saved);
    Trigger("mnuSave");
    EXPECT_EQ(ReadBytes(saved), QByteArray::fromStdString(ScriptedCipher::ToHex(digits.toStdString())));
}

TEST_F(MainWindowDocuments, PastedLongCipherTextIsShownInRowsAndReadBackWhole)
{
    QString digits;
    for (int i = 0; i < 2 * EditorText::kLongLine + 3; ++i)
        digits += QChar("0123456789ABCDEF"[(i * 5) % 16]);
    QApplication::clipboard()->setText(digits + "\r\nakhir");
    Source()->paste();
    EXPECT_GT(Source()->document()->blockCount(), 3);
    EXPECT_EQ(EditorText::PlainText(*Source()->document()), digits + "\r\nakhir");

    // Into text already there, a paste is an ordinary paste.
    Source()->setPlainText("awal ");
    Source()->moveCursor(QTextCursor::End);
    QApplication::clipboard()->setText(digits);
    Source()->paste();
    EXPECT_EQ(Source()->document()->blockCount(), 1);
    EXPECT_EQ(EditorText::PlainText(*Source()->document()), "awal " + digits);
}

TEST_F(MainWindowDocuments, FailedOpenTellsTheUserAndKeepsTheSource)
{
    Source()->setPlainText("source");
    for (const QString& path : {PathOf("missing.txt"), folder.path()}) {
        messages.warnings.clear();
        dialog.answers.push_back(path);
        Trigger("mnuOpen");
        ASSERT_EQ(messages.warnings.size(), 1u) << path.toStdString();
        EXPECT_TRUE(messages.warnings[0].text.contains("tidak dapat dibuka"));
        EXPECT_EQ(messages.warnings[0].title, window->windowTitle());
        EXPECT_EQ(Source()->toPlainText(), "source");
    }
}

TEST_F(MainWindowDocuments, FailedSaveTellsTheUserAndKeepsNameAndFile)
{
    mdlGlobal::SavedFileName = "before.txt";
    Target()->setPlainText("hasil");

    // Into a folder that does not exist, and onto a folder.
    for (const QString& path : {PathOf("no/such/folder/out.txt"), folder.path()}) {
        messages.warnings.clear();
        dialog.answers.push_back(path);
        Trigger("mnuSave");
        ASSERT_EQ(messages.warnings.size(), 1u) << path.toStdString();
        EXPECT_TRUE(messages.warnings[0].text.contains("tidak dapat disimpan"));
        EXPECT_EQ(mdlGlobal::SavedFileName, "before.txt");
    }

    // A character the code page cannot hold: the old file stays whole.
    const QString path = PathOf("old.txt");
    WriteBytes(path, "old content");
    Target()->setPlainText(QString::fromUtf8("hasil\nbaru \xe2\x9c\x93"));
    messages.warnings.clear();
    dialog.answers.push_back(path);
    Trigger("mnuSave");
    ASSERT_EQ(messages.warnings.size(), 1u);
    EXPECT_TRUE(messages.warnings[0].text.contains("(U+2713) pada posisi 12 "))
        << messages.warnings[0].text.toStdString();
    EXPECT_EQ(ReadBytes(path), QByteArray("old content"));
    EXPECT_EQ(mdlGlobal::SavedFileName, "before.txt");
}

TEST_F(MainWindowDocuments, AWriteThatFailsMidwayKeepsTheOldFileByteForByte)
{
    // 12,000 bytes over an old file while only 8 KiB may be written: the
    // write fails inside the file, after the old one was opened for
    // replacing. The soft limit alone is lowered, so it can be restored.
    const QString path = PathOf("old.txt");
    const QByteArray old(5000, 'o');
    WriteBytes(path, old);
    mdlGlobal::SavedFileName = "before.txt";
    Target()->setPlainText(QString(12000, QLatin1Char('7')));

    const auto previous = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limit{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &limit), 0);
    const rlimit saved = limit;
    limit.rlim_cur = 8192;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &limit), 0);
    dialog.answers.push_back(path);
    Trigger("mnuSave");
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previous);

    ASSERT_EQ(messages.warnings.size(), 1u);
    EXPECT_TRUE(messages.warnings[0].text.contains("tidak dapat disimpan")) << messages.warnings[0].text.toStdString();
    EXPECT_TRUE(messages.warnings[0].text.contains("berkas melebihi batas ukuran"));
    EXPECT_EQ(ReadBytes(path), old);
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"old.txt"})
        << "no temporary file is left";
    EXPECT_EQ(mdlGlobal::SavedFileName, "before.txt");
}

TEST_F(MainWindowDocuments, PublicSaveReportsItsOutcome)
{
    Target()->setPlainText("0A1B");
    dialog.answers.push_back(PathOf("c.txt"));
    EXPECT_TRUE(window->SaveFile());
    EXPECT_FALSE(window->SaveFile()); // cancelled
    EXPECT_EQ(mdlGlobal::SavedFileName, PathOf("c.txt"));
}

TEST_F(MainWindowDocuments, WordProcessorDocumentsReachTheEngineAsTheyRead)
{
    // pandoc: a list, a table and footnotes; every character fits the code page.
    dialog.answers.push_back(QStringLiteral(KARSIDAN_RTF_TEST_DATA "/pandoc-report.rtf"));
    Trigger("mnuOpen");
    SetKeys("1", "2", "3");
    Click("cmdEncrypt");
    ASSERT_TRUE(WaitIdle());
    ASSERT_TRUE(messages.warnings.empty()) << messages.warnings[0].text.toStdString();
    ASSERT_EQ(cipher.Requests().size(), 1u);
    EXPECT_EQ(cipher.Requests()[0].text,
              "Laporan \x93Kas\x94 \x97 Mei\r\nPengeluaran bulan ini naik1 karena harga kopi.\r\n"
              "\x95\tKopi\r\n\x96\tArabika\r\n\x95\tTeh\r\nBarang\tJumlah\tHarga\r\nKopi\t2\t5 \x80\r\n"
              "Teh\t\t3 \x80\r\n\r\nHari\tRencana\r\nSenin\tRapat pagi. Kirim laporan.\r\nSelasa\tLibur\r\n\r\n"
              "Catatan akhir.2\r\n[1] Dibandingkan dengan April.\r\n"
              "[2] Disusun oleh bagian keuangan. Paragraf kedua catatan.");

    // LibreOffice from a Word document: the first-level bullets are plain
    // bullets now; the third level's small square is named where it stands.
    dialog.answers.push_back(QStringLiteral(KARSIDAN_RTF_TEST_DATA "/libreoffice-bullets.rtf"));
    Trigger("mnuOpen");
    const QString text = Source()->toPlainText();
    EXPECT_TRUE(text.contains(QString::fromUtf8("\xe2\x80\xa2\tKopi Toraja"))) << text.toStdString();
    EXPECT_FALSE(text.contains(QChar(0xF0B7)));
    Click("cmdEncrypt");
    ASSERT_EQ(messages.warnings.size(), 1u);
    const qsizetype square = text.indexOf(QChar(0x25AA)) + 1;
    EXPECT_TRUE(messages.warnings[0].text.contains(QString("(U+25AA) pada posisi %1 ").arg(square)))
        << messages.warnings[0].text.toStdString();
    EXPECT_EQ(cipher.Requests().size(), 1u);
}

} // namespace
} // namespace karsidan::test
