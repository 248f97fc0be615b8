// The same file gives the same cipher text in the window and on the
// command line: the window's way (the file read into the source editor,
// its text with CR LF, the engine) against karsidan-cli encrypt FILE; and
// the command line decrypts the window's cipher text into the file's text
// with LF line breaks.
#include "app/CipherRequest.h"
#include "app/DocumentReader.h"
#include "app/EditorText.h"
#include "app/EngineCipher.h"
#include "tests/support/ProcessRunner.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTextEdit>

#include <gtest/gtest.h>

namespace {

QByteArray Cli(const QStringList& args)
{
    const auto r = karsidan::test::RunProcess({.program = QStringLiteral(KARSIDAN_CLI),
                                               .args = args + QStringList{"-1", "satu", "-2", "dua", "-3", "tiga"},
                                               .childSetup = karsidan::test::LeaveTerminal});
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    return r.out;
}

QByteArray Window(const QByteArray& file)
{
    QTextEdit source;
    karsidan::DocumentReader::Read(file, source);
    karsidan::CipherRequest request;
    request.text = karsidan::EditorText::ToCodePage(karsidan::EditorText::PlainText(*source.document()));
    request.keys = karsidan::TripleDesKeys::FromCodePage("satu", "dua", "tiga");
    const std::string cipher = karsidan::RunTripleDes(request, {});
    return QByteArray(cipher.data(), static_cast<qsizetype>(cipher.size()));
}

} // namespace

TEST(CliWindow, SameFileSameCipherText)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QByteArray files[] = {
        "Baris pertama\nBaris kedua\n",
        "Baris pertama\r\nBaris kedua",
        "Pertemuan jam 10 di caf\xC3\xA9 \xE2\x82\xAC"
        "5\n\nakhir\n",
        "\xEF\xBB\xBF"
        "dengan tanda urutan byte\n",
        "mac\rlama\r",
        "  spasi di luar  \n",
        "tanpa baris baru",
    };
    for (const QByteArray& bytes : files) {
        const QString path = dir.filePath("teks.txt");
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(bytes);
        f.close();
        const QByteArray window = Window(bytes);
        ASSERT_FALSE(window.isEmpty());
        EXPECT_EQ(Cli({"encrypt", path}), window + "\n") << bytes.toStdString();

        // Back on the command line: the text with LF line breaks.
        QFile c(dir.filePath("sandi.txt"));
        ASSERT_TRUE(c.open(QIODevice::WriteOnly | QIODevice::Truncate));
        c.write(window);
        c.close();
        QByteArray expected = bytes;
        if (expected.startsWith("\xEF\xBB\xBF"))
            expected.remove(0, 3);
        expected.replace("\r\n", "\n").replace('\r', '\n');
        while (expected.startsWith(' ')) // outer spaces are not encrypted; these texts end in a line break
            expected.remove(0, 1);
        EXPECT_EQ(Cli({"decrypt", dir.filePath("sandi.txt")}), expected) << bytes.toStdString();
    }
}
