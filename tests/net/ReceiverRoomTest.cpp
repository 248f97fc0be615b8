// What the receiver leaves of the folder's file system: inodes for the
// user's own saves, and no temporary files of a writer that was killed.
#include "tests/net/NetTestSupport.h"

#include "net/FreeSpaceFloor.h"
#include "storage/AtomicFile.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

using namespace karsidan::net;
using namespace karsidan::net::test;

namespace {

void Touch(const QString& path, const QByteArray& bytes, time_t modified)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size()) << path.toStdString();
    file.close();
    const timespec times[2] = {{modified, 0}, {modified, 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, QFile::encodeName(path).constData(), times, AT_SYMLINK_NOFOLLOW), 0);
}

TEST(ReceiverRoom, TemporaryFilesOfAKilledWriterGoWhenTheReceiverStarts)
{
    QTemporaryDir root;
    ASSERT_TRUE(root.isValid());
    const QDir folder(root.path());
    const time_t hourAgo = ::time(nullptr) - 3600;
    ASSERT_NO_FATAL_FAILURE(Touch(folder.filePath(".karsidan-a1b2c3d4e5.part"), "sisa", hourAgo));
    ASSERT_NO_FATAL_FAILURE(Touch(folder.filePath(".karsidan-kosong.part"), "", hourAgo));
    // Not ours by name, still being written, or not a plain file.
    ASSERT_NO_FATAL_FAILURE(Touch(folder.filePath("catatan.part"), "milik", hourAgo));
    ASSERT_NO_FATAL_FAILURE(Touch(folder.filePath(".karsidan-diterima"), "", hourAgo));
    ASSERT_NO_FATAL_FAILURE(Touch(folder.filePath(".karsidan-baru.part"), "ditulis", ::time(nullptr) + 60));
    ASSERT_NO_FATAL_FAILURE(Touch(root.filePath("luar.txt"), "di luar", hourAgo));
    ASSERT_EQ(::symlink("luar.txt", QFile::encodeName(folder.filePath(".karsidan-tautan.part")).constData()), 0);
    const timespec times[2] = {{hourAgo, 0}, {hourAgo, 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, QFile::encodeName(folder.filePath(".karsidan-tautan.part")).constData(), times,
                          AT_SYMLINK_NOFOLLOW),
              0);
    const passwd* nobody = ::getpwnam("nobody");
    const bool root0 = ::geteuid() == 0 && nobody;
    if (root0) {
        ASSERT_NO_FATAL_FAILURE(Touch(folder.filePath(".karsidan-orang-lain.part"), "lain", hourAgo));
        ASSERT_EQ(::chown(QFile::encodeName(folder.filePath(".karsidan-orang-lain.part")).constData(), nobody->pw_uid,
                          nobody->pw_gid),
                  0);
    }

    Receiver receiver(root.path());
    ASSERT_EQ(receiver.StartListening(0, QHostAddress::LocalHost), QString());
    QStringList expected{".karsidan-baru.part", ".karsidan-diterima", ".karsidan-tautan.part", "catatan.part",
                         "luar.txt"};
    if (root0)
        expected.insert(2, ".karsidan-orang-lain.part");
    EXPECT_EQ(folder.entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name),
              expected);
    EXPECT_EQ(ReadFile(root.filePath("luar.txt")), "di luar");
}

TEST(ReceiverRoom, TheInodeFloorIsOnePercentAndAtLeastAThousand)
{
    EXPECT_EQ(InodeFloor(600), 1000);
    EXPECT_EQ(InodeFloor(100'000), 1000);
    EXPECT_EQ(InodeFloor(100'100), 1001);
    EXPECT_EQ(InodeFloor(6'553'600), 65'536);
}

// A file system with few inodes and bytes to spare: messages stop while
// the floor is still free, and the user's own save still succeeds.
TEST(ReceiverRoom, MessagesLeaveTheInodeFloorFree)
{
    QTemporaryDir mountPoint;
    ASSERT_TRUE(mountPoint.isValid());
    const QByteArray where = QFile::encodeName(mountPoint.path());
    // 1,030 inodes: the floor is 1,000, the folder itself takes one.
    if (::mount("tmpfs", where.constData(), "tmpfs", 0, "size=8m,nr_inodes=1030,mode=0700") != 0)
        GTEST_SKIP() << "cannot mount a tmpfs here: " << std::strerror(errno);
    struct Unmount {
        QByteArray where;
        ~Unmount() { ::umount2(where.constData(), MNT_DETACH); }
    } unmount{where};

    int stored = 0;
    int refused = 0;
    {
        Receiver receiver(mountPoint.path());
        // The bytes are plenty for these messages; only inodes run short.
        receiver.SetFreeSpaceSource([](const QString&) { return qint64(1) << 40; });
        QSignalSpy storedSpy(&receiver, &Receiver::FileStored);
        QSignalSpy failedSpy(&receiver, &Receiver::ReceiveFailed);
        ASSERT_EQ(receiver.StartListening(0, QHostAddress::LocalHost), QString());
        for (int i = 0; i < 60; ++i) {
            const int before = int(storedSpy.size() + failedSpy.size());
            SendRaw(receiver.LocalPort(), ComposeMessage("m" + QByteArray::number(i) + ".txt", "0123456789ABCDEF0"));
            ASSERT_TRUE(QTest::qWaitFor([&] { return storedSpy.size() + failedSpy.size() > before; }, kWaitMs)) << i;
        }
        stored = int(storedSpy.size());
        refused = int(failedSpy.size());
        ASSERT_GT(refused, 0);
        EXPECT_TRUE(failedSpy.last().at(0).toString().contains("inode"))
            << failedSpy.last().at(0).toString().toStdString();
    }
    EXPECT_GT(stored, 10);
    struct statvfs info { };
    ASSERT_EQ(::statvfs(where.constData(), &info), 0);
    EXPECT_GE(qint64(info.f_favail), 1000) << stored << " stored";
    EXPECT_EQ(karsidan::storage::WriteFileAtomically(where.toStdString() + "/simpan.txt", "0A1B"), "")
        << "the user's save";
}

} // namespace
