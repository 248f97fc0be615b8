// The list of received files: only one its user alone could have written
// counts, and a file counts only while nobody has touched it since.
#include "tests/net/NetTestSupport.h"

#include "net/ReceivedFileLedger.h"

#include <QProcess>
#include <QStandardPaths>

#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace karsidan::net;
using namespace karsidan::net::test;

namespace {

struct stat StatOf(const QString& path)
{
    struct stat info { };
    EXPECT_EQ(::lstat(QFile::encodeName(path).constData(), &info), 0) << path.toStdString();
    return info;
}

long long Ns(const timespec& time) { return static_cast<long long>(time.tv_sec) * 1'000'000'000 + time.tv_nsec; }

QByteArray LineFor(const QString& name, unsigned long long inode, long long size, long long timeNs)
{
    return QByteArray::number(inode) + ' ' + QByteArray::number(size) + ' ' + QByteArray::number(timeNs) + ' '
        + name.toUtf8() + '\n';
}

void WriteList(const QString& folder, const QByteArray& text)
{
    const QString path = QDir(folder).filePath(ReceivedFileLedger::kFileName);
    QFile::remove(path);
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write(text) == text.size());
    file.close();
    ASSERT_EQ(::chmod(QFile::encodeName(path).constData(), 0600), 0);
}

// Collects what the code under test says on standard error.
class Warnings {
public:
    Warnings() { previous_ = qInstallMessageHandler(&Warnings::Collect); }
    ~Warnings()
    {
        qInstallMessageHandler(previous_);
        lines_.clear();
    }
    static int Containing(const QString& text)
    {
        return int(std::count_if(lines_.cbegin(), lines_.cend(), [&](const QString& l) { return l.contains(text); }));
    }

private:
    static void Collect(QtMsgType, const QMessageLogContext&, const QString& message) { lines_.append(message); }
    static inline QStringList lines_;
    QtMessageHandler previous_ = nullptr;
};

// Stops a test that hangs (on a FIFO, say) instead of waiting for ctest.
struct TimeLimit {
    explicit TimeLimit(unsigned seconds) { ::alarm(seconds); }
    ~TimeLimit() { ::alarm(0); }
};

TEST(ReceivedFileLedger, KnowsAFileByItsInodeSizeAndCtime)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath("x.txt");
    ASSERT_NO_FATAL_FAILURE(WriteUserFile(path, "0A1B"));
    // An old modification time, as touch -r or cp -p leave; the change
    // time is now.
    const timespec times[2] = {{978'307'200, 0}, {978'307'200, 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, QFile::encodeName(path).constData(), times, 0), 0);
    const struct stat info = StatOf(path);
    ASSERT_NE(Ns(info.st_mtim), Ns(info.st_ctim));

    const struct {
        const char* what;
        QByteArray line;
        bool ours;
    } cases[] = {
        {"all three", LineFor("x.txt", info.st_ino, info.st_size, Ns(info.st_ctim)), true},
        {"another inode", LineFor("x.txt", info.st_ino + 1, info.st_size, Ns(info.st_ctim)), false},
        {"another size", LineFor("x.txt", info.st_ino, info.st_size + 1, Ns(info.st_ctim)), false},
        {"another ctime", LineFor("x.txt", info.st_ino, info.st_size, Ns(info.st_ctim) + 1), false},
        {"the mtime", LineFor("x.txt", info.st_ino, info.st_size, Ns(info.st_mtim)), false},
        {"another name", LineFor("y.txt", info.st_ino, info.st_size, Ns(info.st_ctim)), false},
    };
    for (const auto& c : cases) {
        ASSERT_NO_FATAL_FAILURE(WriteList(dir.path(), c.line));
        ReceivedFileLedger ledger(dir.path());
        EXPECT_EQ(ledger.IsOurs("x.txt"), c.ours) << c.what;
    }
}

// touch -r after an edit of the same size, chmod, chown, a new file on the
// inode of a deleted one with its times copied (cp -p), a link in its
// place: each makes the file the user's, and a message of that name gets a
// name of its own.
TEST(ReceivedFileLedger, AnyChangeMakesAReceivedFileTheUsers)
{
    ReceivingCopy copy;
    for (const char* name : {"edit.txt", "mode.txt", "owner.txt", "inode.txt", "tautan.txt", "asli.txt"})
        ASSERT_EQ(Deliver(copy, name, "0A1B"), name);
    // Past the clock tick of the stores, on file systems with coarse times.
    QTest::qWait(30);

    {
        const struct stat before = StatOf(copy.PathOf("edit.txt"));
        QFile edited(copy.PathOf("edit.txt"));
        ASSERT_TRUE(edited.open(QIODevice::ReadWrite) && edited.write("FFFF") == 4);
        edited.close();
        const timespec times[2] = {before.st_atim, before.st_mtim};
        ASSERT_EQ(::utimensat(AT_FDCWD, QFile::encodeName(copy.PathOf("edit.txt")).constData(), times, 0), 0);
    }
    ASSERT_EQ(::chmod(QFile::encodeName(copy.PathOf("mode.txt")).constData(), 0600), 0);
    const bool root = ::geteuid() == 0;
    if (root) {
        ASSERT_EQ(::chown(QFile::encodeName(copy.PathOf("owner.txt")).constData(), 65534, 65534), 0);
    }
    // Made a link to a file outside the folder: the rename must not follow it.
    ASSERT_NO_FATAL_FAILURE(WriteUserFile(copy.root.filePath("luar.txt"), "di luar folder"));
    ASSERT_TRUE(QFile::remove(copy.PathOf("tautan.txt")));
    ASSERT_TRUE(QFile::link(copy.root.filePath("luar.txt"), copy.PathOf("tautan.txt")));
    bool inodeReused = false;
    {
        const struct stat old = StatOf(copy.PathOf("inode.txt"));
        ASSERT_TRUE(QFile::remove(copy.PathOf("inode.txt")));
        for (int attempt = 0; attempt < 20 && !inodeReused; ++attempt) {
            const QString candidate = copy.PathOf(QStringLiteral("baru-%1").arg(attempt));
            ASSERT_NO_FATAL_FAILURE(WriteUserFile(candidate, "9999"));
            inodeReused = StatOf(candidate).st_ino == old.st_ino && QFile::rename(candidate, copy.PathOf("inode.txt"));
        }
        if (inodeReused) {
            const timespec times[2] = {old.st_atim, old.st_mtim};
            ASSERT_EQ(::utimensat(AT_FDCWD, QFile::encodeName(copy.PathOf("inode.txt")).constData(), times, 0), 0);
        }
    }

    EXPECT_EQ(Deliver(copy, "edit.txt", "0B"), "edit (2).txt");
    EXPECT_EQ(ReadFile(copy.PathOf("edit.txt")), "FFFF");
    EXPECT_EQ(Deliver(copy, "mode.txt", "0B"), "mode (2).txt");
    EXPECT_EQ(StatOf(copy.PathOf("mode.txt")).st_mode & 0777, 0600u);
    if (root) {
        EXPECT_EQ(Deliver(copy, "owner.txt", "0B"), "owner (2).txt");
        EXPECT_EQ(StatOf(copy.PathOf("owner.txt")).st_uid, 65534u);
    }
    if (inodeReused) {
        EXPECT_EQ(Deliver(copy, "inode.txt", "0B"), "inode (2).txt");
        EXPECT_EQ(ReadFile(copy.PathOf("inode.txt")), "9999");
    }
    EXPECT_EQ(Deliver(copy, "tautan.txt", "0B"), "tautan (2).txt");
    EXPECT_TRUE(QFileInfo(copy.PathOf("tautan.txt")).isSymLink());
    EXPECT_EQ(ReadFile(copy.root.filePath("luar.txt")), "di luar folder");
    EXPECT_EQ(Deliver(copy, "asli.txt", "0B"), "asli.txt") << "an untouched received file is still replaced";
}

// The forgery of a second local user: in a folder all may write (mode 1777,
// like /tmp), a list naming the victim's file with its identity read from
// stat, both by mtime and by ctime.
TEST(ReceivedFileLedger, AListWrittenByAnotherUserCountsForNothing)
{
    const passwd* nobody = ::getpwnam("nobody");
    if (::geteuid() != 0 || !nobody || QStandardPaths::findExecutable("setpriv").isEmpty())
        GTEST_SKIP() << "needs root, the user nobody and setpriv to act as a second user";
    ReceivingCopy copy;
    ASSERT_EQ(::chmod(QFile::encodeName(copy.root.path()).constData(), 0755), 0);
    ASSERT_EQ(::chmod(QFile::encodeName(copy.folder).constData(), 01777), 0);
    ASSERT_NO_FATAL_FAILURE(WriteUserFile(copy.PathOf("notes.txt"), "catatan pengguna"));
    const struct stat victim = StatOf(copy.PathOf("notes.txt"));
    const QByteArray forged = LineFor("notes.txt", victim.st_ino, victim.st_size, Ns(victim.st_mtim))
        + LineFor("notes.txt", victim.st_ino, victim.st_size, Ns(victim.st_ctim));

    QProcess writer;
    writer.start(QStringLiteral("setpriv"),
                 {QStringLiteral("--reuid=nobody"), QStringLiteral("--regid=%1").arg(nobody->pw_gid),
                  QStringLiteral("--clear-groups"), QStringLiteral("sh"), QStringLiteral("-c"),
                  QStringLiteral("umask 077; cat > \"$1\""), QStringLiteral("sh"),
                  copy.PathOf(ReceivedFileLedger::kFileName)});
    ASSERT_TRUE(writer.waitForStarted(kWaitMs));
    writer.write(forged);
    writer.closeWriteChannel();
    ASSERT_TRUE(writer.waitForFinished(kWaitMs));
    ASSERT_EQ(writer.exitCode(), 0) << writer.readAllStandardError().toStdString();
    const struct stat list = StatOf(copy.PathOf(ReceivedFileLedger::kFileName));
    ASSERT_EQ(list.st_uid, nobody->pw_uid);
    ASSERT_EQ(list.st_mode & 0777, 0600u) << "writable by its owner alone, and still not the user's";

    Warnings warnings;
    EXPECT_EQ(Deliver(copy, "notes.txt", "0A1B"), "notes (2).txt");
    EXPECT_EQ(ReadFile(copy.PathOf("notes.txt")), "catatan pengguna");
    EXPECT_EQ(Warnings::Containing(ReceivedFileLedger::kFileName), 1);
    EXPECT_EQ(Warnings::Containing("pengguna lain"), 1);
}

// A link (to a list that would count), a FIFO, a list others may write and
// one too large to read: each is ignored with one line, and the received
// file is kept as the user's. The FIFO must not hold the receiver.
TEST(ReceivedFileLedger, OnlyAPlainListOfTheUsersOwnCounts)
{
    const TimeLimit limit(60);
    for (const QString& what : QStringList{"tautan", "fifo", "grup", "besar"}) {
        ReceivingCopy copy;
        ASSERT_EQ(Deliver(copy, "a.txt", "0A"), "a.txt");
        const QString list = copy.PathOf(ReceivedFileLedger::kFileName);
        const QByteArray valid = ReadFile(list);
        const QByteArray listPath = QFile::encodeName(list);
        if (what == "tautan") {
            const QString outside = copy.root.filePath("daftar");
            ASSERT_TRUE(QFile::rename(list, outside));
            ASSERT_EQ(::symlink("../daftar", listPath.constData()), 0);
        } else if (what == "fifo") {
            ASSERT_TRUE(QFile::remove(list));
            ASSERT_EQ(::mkfifo(listPath.constData(), 0600), 0);
        } else if (what == "grup") {
            ASSERT_EQ(::chmod(listPath.constData(), 0660), 0);
        } else {
            QByteArray large = valid;
            for (int i = 0; large.size() <= ReceivedFileLedger::kMaxBytes; ++i)
                large += LineFor(QStringLiteral("lain-%1.txt").arg(i), 1, 1, 1);
            large += valid; // the file's own line last, too
            ASSERT_NO_FATAL_FAILURE(WriteList(copy.folder, large));
        }

        Warnings warnings;
        EXPECT_EQ(Deliver(copy, "a.txt", "0B"), "a (2).txt") << what.toStdString();
        EXPECT_EQ(ReadFile(copy.PathOf("a.txt")), "0A") << what.toStdString();
        EXPECT_EQ(Warnings::Containing(ReceivedFileLedger::kFileName), 1) << what.toStdString();
        if (what == "tautan") {
            EXPECT_EQ(ReadFile(copy.root.filePath("daftar")), valid) << "the link's target is left alone";
        }
        // The list was written anew, for the user alone.
        EXPECT_EQ(StatOf(list).st_mode & 07777, 0600u) << what.toStdString();
        EXPECT_TRUE(S_ISREG(StatOf(list).st_mode)) << what.toStdString();
    }
}

// Mode 0600 whatever the umask; a restart and a folder where the user
// deleted files leave only files that exist; replacing one file again and
// again keeps the list short.
TEST(ReceivedFileLedger, TheListIsTheUsersAloneAndHoldsOnlyFilesThatExist)
{
    ReceivingCopy copy;
    {
        struct OpenUmask {
            mode_t old = ::umask(0);
            ~OpenUmask() { ::umask(old); }
        } open;
        for (const char* name : {"satu.txt", "dua.txt", "tiga.txt", "empat.txt"})
            ASSERT_EQ(Deliver(copy, name, "0A"), name);
    }
    const QString list = copy.PathOf(ReceivedFileLedger::kFileName);
    EXPECT_EQ(StatOf(list).st_mode & 0777, 0600u);

    ASSERT_TRUE(QFile::remove(copy.PathOf("dua.txt")));
    ASSERT_TRUE(QFile::remove(copy.PathOf("empat.txt")));
    copy.receiver = std::make_unique<Receiver>(copy.folder);
    copy.stored = std::make_unique<QSignalSpy>(copy.receiver.get(), &Receiver::FileStored);
    copy.failed = std::make_unique<QSignalSpy>(copy.receiver.get(), &Receiver::ReceiveFailed);
    ASSERT_EQ(copy.receiver->StartListening(0, QHostAddress::LocalHost), QString());
    ASSERT_EQ(Deliver(copy, "lima.txt", "0A"), "lima.txt");
    const auto names = [&list] {
        QStringList found;
        for (const QByteArray& line : ReadFile(list).split('\n'))
            if (!line.isEmpty())
                found.append(QString::fromUtf8(line.split(' ').value(3)));
        found.sort();
        return found;
    };
    EXPECT_EQ(names(), (QStringList{"lima.txt", "satu.txt", "tiga.txt"}));

    for (int i = 0; i < 150; ++i)
        ASSERT_EQ(Deliver(copy, "satu.txt", QByteArray::number(i)), "satu.txt") << i;
    const QStringList after = names();
    EXPECT_LT(after.size(), 80);
    EXPECT_EQ(QSet<QString>(after.cbegin(), after.cend()).size(), 3);
    EXPECT_EQ(Deliver(copy, "tiga.txt", "0B"), "tiga.txt") << "still known after many lines";
}

// A list near its limit: a store keeps it readable at the next start,
// rather than append past the limit and have the whole list ignored.
TEST(ReceivedFileLedger, AStoreNeverTakesTheListPastItsLimit)
{
    ReceivingCopy copy;
    QByteArray text;
    const auto add = [&](const QString& name) {
        QFile file(copy.PathOf(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write("0A") == 2);
        file.close();
        const struct stat info = StatOf(copy.PathOf(name));
        text += LineFor(name, info.st_ino, info.st_size, Ns(info.st_ctim));
    };
    for (int i = 0; text.size() < ReceivedFileLedger::kMaxBytes - 600; ++i)
        ASSERT_NO_FATAL_FAILURE(add(QStringLiteral("%1-").arg(i, 5, 10, QLatin1Char('0')) + QString(240, 'x')));
    // Two more, the last one sized to end ten bytes short of the limit.
    ASSERT_NO_FATAL_FAILURE(add(QStringLiteral("hampir-") + QString(240, 'x')));
    const qsizetype bare = LineFor(QString(), 1'000'000, 2, 1'000'000'000'000'000'000).size();
    const qsizetype left = ReceivedFileLedger::kMaxBytes - 10 - text.size() - bare;
    ASSERT_GT(left, 0);
    ASSERT_LE(left, 255);
    ASSERT_NO_FATAL_FAILURE(add(QString(left, 'z')));
    ASSERT_GE(text.size(), ReceivedFileLedger::kMaxBytes - 20);
    ASSERT_LE(text.size(), ReceivedFileLedger::kMaxBytes);
    ASSERT_NO_FATAL_FAILURE(WriteList(copy.folder, text));

    ASSERT_EQ(Deliver(copy, "baru.txt", "0A"), "baru.txt");
    const QString list = copy.PathOf(ReceivedFileLedger::kFileName);
    EXPECT_LE(QFileInfo(list).size(), ReceivedFileLedger::kMaxBytes);
    copy.receiver = std::make_unique<Receiver>(copy.folder);
    copy.stored = std::make_unique<QSignalSpy>(copy.receiver.get(), &Receiver::FileStored);
    copy.failed = std::make_unique<QSignalSpy>(copy.receiver.get(), &Receiver::ReceiveFailed);
    ASSERT_EQ(copy.receiver->StartListening(0, QHostAddress::LocalHost), QString());
    Warnings warnings;
    EXPECT_EQ(Deliver(copy, "baru.txt", "0B"), "baru.txt") << "still known after a restart";
    EXPECT_EQ(Warnings::Containing(ReceivedFileLedger::kFileName), 0);
}

} // namespace
