// karsidan-cli encrypt --raw and decrypt, which stream their input chunk by
// chunk, run as processes over inputs of several chunks, from files and
// from pipes, against the engine's whole-text result; and their failures.
#include "cipher/engine/TripleDesEngine.h"
#include "cipher/hex/CipherTextCheck.h"
#include "codepage/CodePage.h"
#include "tests/support/ProcessRunner.h"
#include "tests/support/TestFiles.h"

#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstring>
#include <iterator>
#include <random>
#include <string>
#include <utility>

namespace {

using karsidan::test::WriteFile;

using Outcome = karsidan::test::ProcessResult;

const QStringList kKeys = {"-1", "kunci1", "-2", "kunci2", "-3", "kunci4"};

// Runs the command line with input on standard input (none when empty
// and a file is named) and standard output to a file when given.
Outcome Cli(const QStringList& args, const QByteArray& input = {}, const QString& stdoutFile = {})
{
    return karsidan::test::RunProcess({.program = QStringLiteral(KARSIDAN_CLI),
                                       .args = args + kKeys,
                                       .input = input,
                                       .childSetup = karsidan::test::LeaveTerminal,
                                       .stdoutFile = stdoutFile,
                                       .timeoutMs = 120000});
}

std::string View(const QByteArray& b) { return {b.constData(), static_cast<std::size_t>(b.size())}; }
QByteArray Bytes(const std::string& s) { return QByteArray(s.data(), static_cast<qsizetype>(s.size())); }

QByteArray RandomBytes(std::size_t n, unsigned seed)
{
    std::mt19937 rng(seed);
    QByteArray b(static_cast<qsizetype>(n), '\0');
    for (auto& c : b)
        c = static_cast<char>(rng() >> 8);
    return b;
}

QByteArray EngineCipher(const QByteArray& text)
{
    return Bytes(karsidan::TripleDesEngine().TripleDesEncrypt(
        View(text), karsidan::TripleDesKeys::FromCodePage("kunci1", "kunci2", "kunci4")));
}

// Code-page text without a control byte: words, letters of the upper half,
// tabs and line breaks of every kind.
QByteArray TextBytes(std::size_t n, unsigned seed)
{
    static const char* const kWords[] = {"kata ",
                                         "caf\xE9 ",
                                         "\x80"
                                         "5 ",
                                         "na\xEFve ",
                                         "\x99\t",
                                         "\r\n",
                                         "\n",
                                         "\r",
                                         "\xC0\xFF\xA0",
                                         "baris "};
    std::mt19937 rng(seed);
    QByteArray b;
    while (static_cast<std::size_t>(b.size()) < n)
        b += kWords[rng() % std::size(kWords)];
    b.truncate(static_cast<qsizetype>(n));
    return b;
}

// What decrypt prints for code-page text: UTF-8, CR LF as LF.
QByteArray Printed(const QByteArray& text)
{
    return Bytes(karsidan::CodePageToUtf8(View(QByteArray(text).replace("\r\n", "\n"))));
}

// Where the streamed decrypt cuts the text: its pieces of 256 KiB, the
// chunks of 2 MiB and the block each chunk holds back.
constexpr qsizetype kPiece = 256 << 10;
constexpr qsizetype kChunk = 2 << 20;

} // namespace

TEST(CryptStreamCli, EncryptRawFromFileAndPipeIsTheEngineResultAndANewline)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    // Several default chunks, outer spaces, an odd tail; and the short ones.
    QByteArray big = "   " + RandomBytes((std::size_t{5} << 20) + 3, 71) + "     ";
    for (const QByteArray& text :
         {big, QByteArray(), QByteArray("   "), QByteArray(" 1234567 "), QByteArray("12345678")}) {
        const QByteArray expected = EngineCipher(text) + "\n";
        const QString path = WriteFile(dir, "teks.bin", text);
        const Outcome fromFile = Cli({"encrypt", "--raw", path});
        ASSERT_EQ(fromFile.exitCode, 0) << fromFile.err.toStdString();
        EXPECT_TRUE(fromFile.out == expected) << "file, length " << text.size();
        const Outcome fromPipe = Cli({"encrypt", "--raw"}, text);
        ASSERT_EQ(fromPipe.exitCode, 0) << fromPipe.err.toStdString();
        EXPECT_TRUE(fromPipe.out == expected) << "pipe, length " << text.size();
    }
}

TEST(CryptStreamCli, DecryptFromFileAndPipeGivesTheTextBack)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QByteArray text = RandomBytes((std::size_t{3} << 20) + 21, 72);
    text.front() = 'a';
    text.back() = 'z';
    QByteArray cipher = EngineCipher(text) + "\n";
    // Lower case and line breaks are part of what a cipher text may be.
    cipher.replace(cipher.size() / 2, 64, cipher.mid(cipher.size() / 2, 64).toLower() + "\r\n ");
    const QString path = WriteFile(dir, "sandi.txt", cipher);
    for (const Outcome& r : {Cli({"decrypt", "--raw", path}), Cli({"decrypt", "--raw"}, cipher)}) {
        ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
        EXPECT_TRUE(r.out == text);
    }
    // Without --raw the text comes out as UTF-8, CR LF as LF.
    const QByteArray utf8 = Bytes(karsidan::CodePageToUtf8(View(text))).replace("\r\n", "\n");
    for (const Outcome& r : {Cli({"decrypt", path}), Cli({"decrypt"}, cipher)}) {
        ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
        EXPECT_TRUE(r.out == utf8);
    }
}

TEST(CryptStreamCli, ACipherTextWithAFaultLateInIsRefusedBeforeAnythingIsWritten)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QByteArray cipher = EngineCipher(RandomBytes(std::size_t{3} << 20, 73));
    struct Case {
        QByteArray input;
        const char* message;
    };
    QByteArray foreign = cipher;
    foreign[foreign.size() - 5] = 'x';
    const Case cases[] = {
        {foreign, "karakter \"x\" pada posisi"},
        {cipher + "0", "bukan kelipatan 16"},
        {cipher.left(cipher.size() - 1), "bukan kelipatan 16"},
    };
    for (const auto& c : cases) {
        std::string expected;
        try {
            karsidan::CheckCipherText(View(c.input));
        } catch (const std::invalid_argument& e) {
            expected = e.what();
        }
        ASSERT_NE(expected.find(c.message), std::string::npos) << expected;
        const QString path = WriteFile(dir, "rusak.txt", c.input);
        for (const Outcome& r :
             {Cli({"decrypt", "--raw", path}), Cli({"decrypt", "--raw"}, c.input), Cli({"decrypt", path})}) {
            EXPECT_EQ(r.exitCode, 2) << c.message;
            EXPECT_TRUE(r.out.isEmpty()) << c.message;
            EXPECT_EQ(r.err.toStdString(), "decrypt: " + expected + "\n");
        }
    }
}

TEST(CryptStreamCli, AFailedWriteIsAFailure)
{
    if (!QFile::exists("/dev/full"))
        GTEST_SKIP() << "no /dev/full";
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QByteArray text = RandomBytes(std::size_t{5} << 20, 74);
    const QString textPath = WriteFile(dir, "teks.bin", text);
    const QString cipherPath = WriteFile(dir, "sandi.txt", EngineCipher(text));
    for (const QStringList& args : {QStringList{"encrypt", "--raw", textPath}, QStringList{"encrypt", "--raw", "-"},
                                    QStringList{"decrypt", "--raw", cipherPath}, QStringList{"decrypt", cipherPath}}) {
        const Outcome r = Cli(args, args.last() == "-" ? text : QByteArray(), "/dev/full");
        EXPECT_EQ(r.status, QProcess::NormalExit) << args.join(' ').toStdString();
        EXPECT_EQ(r.exitCode, 1) << args.join(' ').toStdString();
        EXPECT_TRUE(r.err.contains("Gagal menulis keluaran: ")) << r.err.toStdString();
    }
}

TEST(CryptStreamCli, AReaderThatGoesAwayIsNoSuccess)
{
    if (QStandardPaths::findExecutable("bash").isEmpty())
        GTEST_SKIP() << "no bash";
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = WriteFile(dir, "teks.bin", RandomBytes(std::size_t{8} << 20, 75));
    // head takes one byte and closes the pipe; the command's own status counts.
    QProcess p;
    p.start("bash",
            {"-c", "\"$0\" encrypt --raw -1 a -2 b -3 c \"$1\" | head -c 1 > /dev/null; exit ${PIPESTATUS[0]}",
             QStringLiteral(KARSIDAN_CLI), path});
    ASSERT_TRUE(p.waitForFinished(60000));
    EXPECT_EQ(p.exitCode(), 1) << "a write error, not SIGPIPE (141)";
}

TEST(CryptStreamCli, LineBreaksCutByPiecesAndChunksComeOutWhole)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QByteArray text = TextBytes(kChunk + 3 * kPiece + 11, 76);
    // A CR as the last byte of a piece, of the part of a chunk before the
    // block held back, and of a chunk; followed by LF, by nothing, by CR LF.
    const std::pair<qsizetype, const char*> breaks[] = {
        {kPiece - 1, "\r\n"}, {2 * kPiece - 1, "\rx"},       {3 * kPiece - 2, "\r\r\n"},        {kChunk - 9, "\r\n"},
        {kChunk - 1, "\r\n"}, {kChunk + kPiece - 1, "\r\r"}, {kChunk + 2 * kPiece - 64, "\r\n"}};
    for (const auto& [at, br] : breaks)
        text.replace(at, static_cast<qsizetype>(std::strlen(br)), br);
    text.back() = '\r'; // a lone CR at the very end stays
    const QString path = WriteFile(dir, "sandi.txt", EngineCipher(text));
    const QByteArray expected = Printed(text);
    for (const Outcome& r : {Cli({"decrypt", path}), Cli({"decrypt"}, EngineCipher(text))}) {
        ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
        EXPECT_TRUE(r.out == expected) << r.out.size() << " bytes against " << expected.size();
        EXPECT_TRUE(r.err.isEmpty()) << r.err.toStdString();
    }
}

TEST(CryptStreamCli, AStreamedResultWithAControlByteAnywhereIsNoText)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QByteArray clean = TextBytes(kChunk + kPiece + 13, 77);
    const QString cleanPath = WriteFile(dir, "sandi.txt", EngineCipher(clean));
    const Outcome sound = Cli({"decrypt", cleanPath});
    EXPECT_EQ(sound.exitCode, 0);
    EXPECT_TRUE(sound.err.isEmpty()) << sound.err.toStdString();
    EXPECT_TRUE(sound.out == Printed(clean));

    // At the start, in a block, at a piece's end, in the block a chunk
    // holds back, at a chunk's end and as the very last byte.
    for (const qsizetype at : {qsizetype{0}, qsizetype{100}, kPiece - 1, kChunk - 5, kChunk - 1, clean.size() - 1}) {
        for (const char control : {'\x01', '\x9D'}) {
            QByteArray text = clean;
            text[at] = control;
            const QString path = WriteFile(dir, "kendali.txt", EngineCipher(text));
            const Outcome r = Cli({"decrypt", path});
            EXPECT_EQ(r.exitCode, 0) << at;
            EXPECT_TRUE(r.err.contains("kunci salah?")) << at << " " << int(control) << " " << r.err.toStdString();
            EXPECT_TRUE(r.out == Printed(text)) << at;
            // --raw output is bytes and is not judged.
            EXPECT_TRUE(Cli({"decrypt", "--raw", path}).err.isEmpty()) << at;
        }
    }
}
