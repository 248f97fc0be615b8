// karsidan-cli encrypt --raw and decrypt, which stream their input chunk by
// chunk, run as processes over inputs of several chunks, from files and
// from pipes, against the engine's whole-text result; and their failures.
#include "cipher/hex/CipherTextCheck.h"
#include "codepage/CodePage.h"
#include "cipher/engine/TripleDesEngine.h"

#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <random>
#include <string>

#include <unistd.h>

namespace {

struct Outcome {
    int exitCode = -1;
    QProcess::ExitStatus status = QProcess::CrashExit;
    QByteArray out;
    QByteArray err;
};

const QStringList kKeys = {"-1", "kunci1", "-2", "kunci2", "-3", "kunci4"};

// Runs the command line with input on standard input (none when empty
// and a file is named) and standard output to a file when given.
Outcome Cli(const QStringList& args, const QByteArray& input = {}, const QString& stdoutFile = {})
{
    QProcess p;
    p.setChildProcessModifier([] { ::setsid(); });
    if (!stdoutFile.isEmpty())
        p.setStandardOutputFile(stdoutFile);
    p.start(QStringLiteral(KARSIDAN_CLI), args + kKeys);
    EXPECT_TRUE(p.waitForStarted());
    // Written while the process reads: a pipe, in pieces of its own size.
    p.write(input);
    p.closeWriteChannel();
    EXPECT_TRUE(p.waitForFinished(120000));
    return {p.exitCode(), p.exitStatus(), p.readAllStandardOutput(), p.readAllStandardError()};
}

QString WriteFile(const QTemporaryDir& dir, const QString& name, const QByteArray& bytes)
{
    const QString path = dir.filePath(name);
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::WriteOnly));
    EXPECT_EQ(f.write(bytes), bytes.size());
    return path;
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
    return Bytes(karsidan::TripleDesEngine().TripleDesEncrypt(View(text), karsidan::TripleDesKeys::FromCodePage("kunci1", "kunci2", "kunci4")));
}

} // namespace

TEST(CryptStreamCli, EncryptRawFromFileAndPipeIsTheEngineResultAndANewline)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    // Several default chunks, outer spaces, an odd tail; and the short ones.
    QByteArray big = "   " + RandomBytes((std::size_t{5} << 20) + 3, 71) + "     ";
    for (const QByteArray& text : {big, QByteArray(), QByteArray("   "), QByteArray(" 1234567 "), QByteArray("12345678")}) {
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
        for (const Outcome& r : {Cli({"decrypt", "--raw", path}), Cli({"decrypt", "--raw"}, c.input), Cli({"decrypt", path})}) {
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
                                    QStringList{"decrypt", "--raw", cipherPath}}) {
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
    p.start("bash", {"-c", "\"$0\" encrypt --raw -1 a -2 b -3 c \"$1\" | head -c 1 > /dev/null; exit ${PIPESTATUS[0]}",
                     QStringLiteral(KARSIDAN_CLI), path});
    ASSERT_TRUE(p.waitForFinished(60000));
    EXPECT_EQ(p.exitCode(), 1) << "a write error, not SIGPIPE (141)";
}
