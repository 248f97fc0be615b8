// karsidan-cli at the edges users reach: -o naming a device, a FIFO, a
// link or /dev/stdout, for root and for a normal user; exit codes as the
// help states them; keys files as editors and shells hand them over (a
// byte-order mark, a pipe from <(...)), and keys no key box could hold.
// Devices are mknod copies in a test folder; the system's own /dev/null
// and /dev/stdout are written only by a normal user, who cannot replace
// them.
#include "tests/support/ProcessRunner.h"
#include "tests/support/TestFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <atomic>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <thread>
#include <unistd.h>

namespace {

using karsidan::test::ReadFile;
using karsidan::test::WriteFile;

struct Outcome {
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

Outcome RunProgram(const QString& program, const QStringList& args, const QByteArray& input = {})
{
    const auto r = karsidan::test::RunProcess({.program = program,
                                               .args = args,
                                               .input = input,
                                               .environment = karsidan::test::WithoutKeys(),
                                               .childSetup = karsidan::test::LeaveTerminal});
    return {r.status == QProcess::NormalExit ? r.exitCode : -1, r.out, r.err};
}

Outcome Cli(const QStringList& args, const QByteArray& input = {})
{
    return RunProgram(QStringLiteral(KARSIDAN_CLI), args, input);
}

// As a normal user: this one, or nobody when running as root; or a reason
// to skip.
Outcome AsNormalUser(const QStringList& args, const QByteArray& input, QString* skip)
{
    if (::geteuid() != 0)
        return Cli(args, input);
    const QString setpriv = QStandardPaths::findExecutable("setpriv");
    if (setpriv.isEmpty()) {
        *skip = "no setpriv to run as a normal user";
        return {};
    }
    const QStringList prefix{"--reuid=nobody", "--regid=nogroup", "--clear-groups", KARSIDAN_CLI};
    if (RunProgram(setpriv, prefix + QStringList{"--version"}).exitCode != 0) {
        *skip = "user nobody cannot run " KARSIDAN_CLI;
        return {};
    }
    return RunProgram(setpriv, prefix + args, input);
}

const QStringList kKeys = {"-1", "satu", "-2", "dua", "-3", "tiga"};

QStringList Names(const QTemporaryDir& dir)
{
    return QDir(dir.path())
        .entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
}

struct stat Lstat(const QString& path)
{
    struct stat info { };
    ::lstat(QFile::encodeName(path).constData(), &info);
    return info;
}

} // namespace

TEST(CliDetails, OutputToADeviceIsWrittenThroughNotReplaced)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString device = dir.filePath("null");
    if (::mknod(QFile::encodeName(device).constData(), S_IFCHR | 0666, ::makedev(1, 3)) != 0)
        GTEST_SKIP() << "mknod needs root";
    const Outcome r = Cli(QStringList{"encrypt", "-o", device} + kKeys, "teks");
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(S_ISCHR(Lstat(device).st_mode)) << "the device became a file";
    EXPECT_EQ(Lstat(device).st_rdev, ::makedev(1, 3));

    // A device that fails the write (a copy of /dev/full) says so and stays.
    const QString full = dir.filePath("full");
    ASSERT_EQ(::mknod(QFile::encodeName(full).constData(), S_IFCHR | 0666, ::makedev(1, 7)), 0);
    const Outcome failed = Cli(QStringList{"encrypt", "-o", full} + kKeys, "teks");
    EXPECT_EQ(failed.exitCode, 1);
    EXPECT_TRUE(failed.err.contains("disk penuh")) << failed.err.toStdString();
    EXPECT_TRUE(S_ISCHR(Lstat(full).st_mode));
    EXPECT_EQ(Names(dir), (QStringList{"full", "null"}));
}

TEST(CliDetails, OutputToAFifoReachesItsReader)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString fifo = dir.filePath("pipa");
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const QByteArray expected = Cli(QStringList{"encrypt"} + kKeys, "teks").out;
    // The reader opens without waiting, so a writer that replaces the FIFO
    // instead leaves it with nothing.
    const int reader = ::open(QFile::encodeName(fifo).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    ASSERT_GE(reader, 0);
    const Outcome r = Cli(QStringList{"encrypt", "-o", fifo} + kKeys, "teks");
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    char buffer[256];
    const ssize_t n = ::read(reader, buffer, sizeof buffer);
    ::close(reader);
    EXPECT_EQ(QByteArray(buffer, n > 0 ? n : 0), expected);
    EXPECT_TRUE(S_ISFIFO(Lstat(fifo).st_mode));
    EXPECT_EQ(Names(dir), QStringList{"pipa"});
}

TEST(CliDetails, AFifoSeesNothingOfAnInputRefusedLateIn)
{
    // Bytes written to a FIFO are gone to its reader: a fault at the end of
    // a long text must be found before the first of them, as for standard
    // output.
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString text = WriteFile(dir, "teks.txt", QByteArray(6 << 20, 'a') + "\xC3");
    const QString fifo = dir.filePath("pipa");
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const int reader = ::open(QFile::encodeName(fifo).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    ASSERT_GE(reader, 0);
    std::atomic<bool> done{false};
    std::atomic<long long> received{0};
    std::thread draining([&] {
        char buffer[65536];
        while (!done)
            if (const ssize_t n = ::read(reader, buffer, sizeof buffer); n > 0)
                received += n;
            else
                ::usleep(1000);
    });
    const Outcome r = Cli(QStringList{"encrypt", "-o", fifo, text} + kKeys);
    done = true;
    draining.join();
    ::close(reader);
    EXPECT_EQ(r.exitCode, 2) << r.err.toStdString();
    EXPECT_EQ(received, 0);
    EXPECT_TRUE(S_ISFIFO(Lstat(fifo).st_mode));
}

TEST(CliDetails, OutputThroughALinkReplacesItsFileAndKeepsTheLink)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    ASSERT_TRUE(QDir(dir.path()).mkdir("arsip"));
    const QString real = WriteFile(dir, "arsip/sandi.txt", "lama");
    ASSERT_EQ(::chmod(QFile::encodeName(real).constData(), 0640), 0);
    ASSERT_TRUE(QFile::link("arsip/sandi.txt", dir.filePath("terbaru")));
    const Outcome r = Cli(QStringList{"encrypt", "-o", dir.filePath("terbaru")} + kKeys, "teks");
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(QFileInfo(dir.filePath("terbaru")).symLinkTarget(), real);
    EXPECT_TRUE(S_ISLNK(Lstat(dir.filePath("terbaru")).st_mode));
    EXPECT_EQ(ReadFile(real), Cli(QStringList{"encrypt"} + kKeys, "teks").out);
    EXPECT_EQ(Lstat(real).st_mode & 07777, 0640u);
    EXPECT_EQ(QDir(dir.filePath("arsip")).entryList(QDir::Files | QDir::Hidden), QStringList{"sandi.txt"});
}

TEST(CliDetails, DevNullAndDevStdoutWorkForANormalUser)
{
    const QByteArray expected = Cli(QStringList{"encrypt"} + kKeys, "teks").out;
    QString skip;
    const Outcome toNull = AsNormalUser(QStringList{"encrypt", "-o", "/dev/null"} + kKeys, "teks", &skip);
    if (!skip.isEmpty())
        GTEST_SKIP() << skip.toStdString();
    EXPECT_EQ(toNull.exitCode, 0) << toNull.err.toStdString();
    EXPECT_TRUE(toNull.out.isEmpty());
    const Outcome toStdout = AsNormalUser(QStringList{"encrypt", "-o", "/dev/stdout"} + kKeys, "teks", &skip);
    EXPECT_EQ(toStdout.exitCode, 0) << toStdout.err.toStdString();
    EXPECT_EQ(toStdout.out, expected);
    EXPECT_TRUE(S_ISCHR(Lstat("/dev/null").st_mode));
    EXPECT_TRUE(S_ISLNK(Lstat("/dev/stdout").st_mode));
}

TEST(CliDetails, ExitCodesAreTheOnesTheHelpStates)
{
    const Outcome unknown = Cli({"entah"});
    EXPECT_EQ(unknown.exitCode, 2);
    EXPECT_TRUE(unknown.err.contains("perintah tidak dikenal: entah")) << unknown.err.toStdString();
    EXPECT_TRUE(unknown.out.isEmpty());
    EXPECT_EQ(Cli({}).exitCode, 2);
    const Outcome help = Cli({"--help"});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_TRUE(help.out.contains("1 kegagalan masukan/keluaran")) << help.out.toStdString();

    // A keys file that cannot be read is a read failure: 1, as for the text.
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    for (const QString& keys : {dir.filePath("tidak-ada"), dir.path()}) {
        const Outcome r = Cli({"encrypt", "--keys-file", keys}, "teks");
        EXPECT_EQ(r.exitCode, 1) << r.err.toStdString();
        EXPECT_TRUE(r.err.contains("Berkas kunci")) << r.err.toStdString();
        EXPECT_TRUE(r.out.isEmpty());
    }
}

TEST(CliDetails, AKeysFileWithAByteOrderMarkOrFromAPipe)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QByteArray expected = Cli(QStringList{"encrypt"} + kKeys, "teks").out;
    const Outcome marked = Cli(
        {"encrypt", "--keys-file", WriteFile(dir, "kunci.txt", "\xEF\xBB\xBFsatu\r\ndua\r\ntiga\r\n")}, "teks");
    EXPECT_EQ(marked.exitCode, 0) << marked.err.toStdString();
    EXPECT_EQ(marked.out, expected);
    // Only at the start: elsewhere it is a character like any other.
    const Outcome inside = Cli({"encrypt", "--keys-file",
                                WriteFile(dir, "kunci.txt",
                                          "satu\n\xEF\xBB\xBF"
                                          "dua\ntiga\n")},
                               "teks");
    EXPECT_EQ(inside.exitCode, 2);
    EXPECT_TRUE(inside.err.contains("U+FEFF")) << inside.err.toStdString();

    // A shell's <(...) and a named FIFO.
    const QString bash = QStandardPaths::findExecutable("bash");
    if (!bash.isEmpty()) {
        const Outcome piped = RunProgram(
            bash, {"-c", "\"$0\" encrypt --keys-file <(printf 'satu\\ndua\\ntiga\\n')", KARSIDAN_CLI}, "teks");
        EXPECT_EQ(piped.exitCode, 0) << piped.err.toStdString();
        EXPECT_EQ(piped.out, expected);
    }
    const QString fifo = dir.filePath("kunci.fifo");
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    std::thread writer([fifo] {
        QFile f(fifo);
        if (f.open(QIODevice::WriteOnly))
            f.write("satu\ndua\ntiga\n");
    });
    const Outcome named = Cli({"encrypt", "--keys-file", fifo}, "teks");
    writer.join();
    EXPECT_EQ(named.exitCode, 0) << named.err.toStdString();
    EXPECT_EQ(named.out, expected);
}

TEST(CliDetails, KeysWithControlCharactersAreRefused)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    struct Case {
        QByteArray fileContent; // empty: the key is given as -2
        QByteArray key;
        const char* message;
    };
    const Case cases[] = {
        {QByteArray("satu\nd\0ua\ntiga\n", 15), {}, "U+0000 pada posisi 2"},
        {"satu\n\x01\ntiga\n", {}, "U+0001 pada posisi 1"},
        {"satu\ndua\ntiga\r\r\n", {}, "Kunci 3 tidak dapat dipakai. Karakter kendali U+000D"},
        {{}, "d\x01ua", "U+0001"},
        {{}, "du\ta", "U+0009"},
        {{}, "dua\x7F", "U+007F"},
        {{}, "\xC3\xA9\xC2\x85", "U+0085 pada posisi 2"},
    };
    for (const auto& c : cases) {
        const QStringList args = c.fileContent.isEmpty()
            ? QStringList{"encrypt", "-1", "satu", "-2", QString::fromUtf8(c.key), "-3", "tiga"}
            : QStringList{"encrypt", "--keys-file", WriteFile(dir, "kunci.txt", c.fileContent)};
        const Outcome r = Cli(args, "teks");
        EXPECT_EQ(r.exitCode, 2) << c.message << " / " << r.err.toStdString();
        EXPECT_TRUE(r.out.isEmpty());
        EXPECT_TRUE(r.err.contains(c.message)) << c.message << " / " << r.err.toStdString();
    }
    // Printable characters of the code page stay keys.
    const Outcome accented = Cli({"encrypt", "-1", "satu", "-2", "d\xC3\xA9", "-3", "tiga"}, "teks");
    EXPECT_EQ(accented.exitCode, 0) << accented.err.toStdString();
}
