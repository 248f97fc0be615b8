// karsidan-cli started with a standard descriptor closed, with standard
// output on a pipe nobody reads and on a full disk: a failure every time,
// with exit code 1 and a message, never 0 and never death by SIGPIPE.
#include "tests/support/ProcessRunner.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <csignal>
#include <functional>

#include <unistd.h>

namespace {

using Outcome = karsidan::test::ProcessResult;

// Runs in the child just before the program starts. The default SIGPIPE
// action first, so that only the program itself can turn it off.
Outcome Cli(const QStringList& args, std::function<void()> childSetup, const QString& stdoutFile = {})
{
    return karsidan::test::RunProcess({.program = QStringLiteral(KARSIDAN_CLI),
                                       .args = args,
                                       .childSetup =
                                           [childSetup] {
                                               std::signal(SIGPIPE, SIG_DFL);
                                               if (childSetup)
                                                   childSetup();
                                           },
                                       .stdoutFile = stdoutFile});
}

void CloseStandardOutput() { ::close(STDOUT_FILENO); }

// Standard output is a pipe whose only reader is already gone.
void ReaderGone()
{
    int ends[2];
    if (::pipe(ends) == 0) {
        ::dup2(ends[1], STDOUT_FILENO);
        ::close(ends[0]);
        ::close(ends[1]);
    }
}

struct Files {
    QTemporaryDir dir;
    QString text;
    QString cipher;

    Files()
    {
        EXPECT_TRUE(dir.isValid());
        text = dir.filePath("teks.txt");
        cipher = dir.filePath("sandi.txt");
        QFile t(text);
        EXPECT_TRUE(t.open(QIODevice::WriteOnly));
        // Larger than a pipe holds, so the writes go on after the first.
        t.write(QByteArray(1 << 20, 'x'));
        t.close();
        QFile c(cipher);
        EXPECT_TRUE(c.open(QIODevice::WriteOnly));
        c.write("0123456789ABCDEF\n");
    }

    std::vector<QStringList> Commands() const
    {
        return {
            {"encrypt", "-1", "a", "-2", "b", "-3", "c", text},
            {"encrypt", "--raw", "-1", "a", "-2", "b", "-3", "c", text},
            {"decrypt", "-1", "a", "-2", "b", "-3", "c", cipher},
            {"--help"},
            {"--version"},
            {"encrypt", "--help"},
            {"decrypt", "--version"},
            {"send", "--help"},
            {"receive", "--help"},
        };
    }
};

void ExpectWriteFailure(const Outcome& r, const QStringList& args, const char* says)
{
    const std::string command = args.join(' ').toStdString();
    ASSERT_EQ(r.status, QProcess::NormalExit) << command << ": killed by a signal";
    EXPECT_EQ(r.exitCode, 1) << command;
    EXPECT_TRUE(r.err.contains("Gagal menulis keluaran: ")) << command << ": " << r.err.constData();
    EXPECT_TRUE(r.err.contains(says)) << command << ": " << r.err.constData();
}

TEST(StandardStreamsCli, AClosedStandardOutputIsAWriteError)
{
    Files files;
    for (const QStringList& args : files.Commands())
        ExpectWriteFailure(Cli(args, CloseStandardOutput), args, "keluaran standar tertutup");
}

TEST(StandardStreamsCli, AReaderThatIsGoneIsAWriteErrorNotSigpipe)
{
    Files files;
    for (const QStringList& args : files.Commands())
        ExpectWriteFailure(Cli(args, ReaderGone), args, "pembaca sudah menutup pipa");
}

TEST(StandardStreamsCli, AFullDiskIsSaidAsSuch)
{
    if (!QFile::exists("/dev/full"))
        GTEST_SKIP() << "no /dev/full";
    Files files;
    for (const QStringList& args : files.Commands())
        ExpectWriteFailure(Cli(args, {}, "/dev/full"), args, "disk penuh");
}

TEST(StandardStreamsCli, AClosedStandardInputIsAReadErrorNotAnEmptyText)
{
    const QStringList encrypt{"encrypt", "-1", "a", "-2", "b", "-3", "c"};
    const Outcome r = Cli(encrypt, [] { ::close(STDIN_FILENO); });
    ASSERT_EQ(r.status, QProcess::NormalExit);
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.err.contains("Gagal membaca masukan standar")) << r.err.constData();

    // Nothing is sent: the read fails before any connection is made.
    const Outcome send = Cli({"send", "--to", "127.0.0.1", "--port", "9", "--name", "a.txt"},
                             [] { ::close(STDIN_FILENO); });
    ASSERT_EQ(send.status, QProcess::NormalExit);
    EXPECT_EQ(send.exitCode, 1);
    EXPECT_TRUE(send.err.contains("masukan standar tidak dapat dibaca")) << send.err.constData();
}

TEST(StandardStreamsCli, AllThreeClosedStillEndsInFailureNotSuccess)
{
    Files files;
    const QStringList decrypt{"decrypt", "-1", "a", "-2", "b", "-3", "c", files.cipher};
    const Outcome r = Cli(decrypt, [] {
        ::close(STDIN_FILENO);
        ::close(STDOUT_FILENO);
        ::close(STDERR_FILENO);
    });
    ASSERT_EQ(r.status, QProcess::NormalExit);
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.err.isEmpty()) << "standard error was closed too";
}

} // namespace
