#include "app/FileSystem.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <csignal>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace karsidan {
namespace {

class FileSystemTest : public ::testing::Test {
protected:
    QString Path(const char* name) const { return QDir(folder.path()).filePath(name); }
    QTemporaryDir folder;
    FileSystem files;
};

TEST_F(FileSystemTest, WriteReplacesAndReadReturnsTheSameBytes)
{
    const QString path = Path("a.bin");
    QByteArray bytes;
    for (int b = 0; b < 256; ++b)
        bytes += char(b);
    ASSERT_TRUE(files.WriteFileAtomically(path, "a much longer old content"));
    ASSERT_TRUE(files.WriteFileAtomically(path, bytes));
    QByteArray back;
    ASSERT_TRUE(files.ReadFile(path, back));
    EXPECT_EQ(back, bytes);
}

TEST_F(FileSystemTest, FailuresComeBackWithAReason)
{
    QString error;
    EXPECT_FALSE(files.WriteFileAtomically(Path("missing/dir/x"), "x", &error));
    EXPECT_FALSE(error.isEmpty());
    error.clear();
    QByteArray bytes;
    EXPECT_FALSE(files.ReadFile(Path("missing"), bytes, &error));
    EXPECT_FALSE(error.isEmpty());
    error.clear();
    EXPECT_FALSE(files.ReadFile(folder.path(), bytes, &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_FALSE(files.DeleteFile(Path("missing"), true, &error));
}

TEST_F(FileSystemTest, ExistsMeansAFileAndForceDeletesReadOnly)
{
    const QString path = Path("ro.txt");
    ASSERT_TRUE(files.WriteFileAtomically(path, "x"));
    EXPECT_TRUE(files.FileExists(path));
    EXPECT_FALSE(files.FileExists(folder.path()));
    EXPECT_FALSE(files.FileExists(QString()));
    QFile::setPermissions(path, QFileDevice::ReadOwner);
    EXPECT_TRUE(files.DeleteFile(path, true));
    EXPECT_FALSE(files.FileExists(path));
}

// Save writes through what the user named: a link to its file, a FIFO to
// its reader; one that nobody reads is refused at once, never a freeze.
TEST_F(FileSystemTest, SaveFollowsALinkAndNeverWaitsOnAnUnreadFifo)
{
    ASSERT_TRUE(files.WriteFileAtomically(Path("asli.txt"), "lama"));
    ASSERT_TRUE(QFile::link("asli.txt", Path("tautan")));
    ASSERT_TRUE(files.WriteFileAtomically(Path("tautan"), "baru"));
    EXPECT_EQ(QFileInfo(Path("tautan")).symLinkTarget(), Path("asli.txt"));
    QByteArray back;
    ASSERT_TRUE(files.ReadFile(Path("asli.txt"), back));
    EXPECT_EQ(back, "baru");

    const QByteArray fifo = QFile::encodeName(Path("pipa"));
    ASSERT_EQ(::mkfifo(fifo.constData(), 0600), 0);
    // Should the open wait after all, the alarm ends it with EINTR.
    struct sigaction wake { };
    wake.sa_handler = [](int) {};
    struct sigaction before { };
    ::sigaction(SIGALRM, &wake, &before);
    ::alarm(10);
    QString error;
    QElapsedTimer timer;
    timer.start();
    EXPECT_FALSE(files.WriteFileAtomically(Path("pipa"), "x", &error));
    ::alarm(0);
    ::sigaction(SIGALRM, &before, nullptr);
    EXPECT_LT(timer.elapsed(), 5000);
    EXPECT_EQ(error.toStdString(), "perangkat atau pembacanya tidak ada");
    struct stat info { };
    EXPECT_TRUE(::lstat(fifo.constData(), &info) == 0 && S_ISFIFO(info.st_mode)) << "the FIFO stays";

    // With a reader, the bytes reach it.
    const int reader = ::open(fifo.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    ASSERT_GE(reader, 0);
    EXPECT_TRUE(files.WriteFileAtomically(Path("pipa"), "sampai", &error)) << error.toStdString();
    char buffer[16];
    const ssize_t n = ::read(reader, buffer, sizeof buffer);
    ::close(reader);
    EXPECT_EQ(QByteArray(buffer, n > 0 ? int(n) : 0), "sampai");
}

} // namespace
} // namespace karsidan
