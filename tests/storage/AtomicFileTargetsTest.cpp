// What a name stands for. A user's name (-o, Save) is followed: a device
// or a FIFO is written as it stands, a link to the file it names, which is
// replaced while the link stays. A name in a folder the writer owns (the
// receiver) is only ever that entry. Rights survive a replacement. Devices
// are mknod copies in the test's own folder, never the system's.
#include "storage/AtomicFile.h"
#include "tests/storage/StorageTestSupport.h"

#include <gtest/gtest.h>

#include <chrono>
#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <thread>

using karsidan::storage::AtomicFile;
using karsidan::storage::WriteFileAtomically;
using namespace karsidan::storage::testing;

using AtomicFileTargetsTest = StorageFolderTest;

namespace {

std::string SaveAs(const fs::path& path, const std::string& bytes)
{
    return WriteFileAtomically(path.string(), bytes, AtomicFile::Mode::Replace, AtomicFile::Names::Followed);
}

struct stat Lstat(const fs::path& path)
{
    struct stat info { };
    ::lstat(path.c_str(), &info);
    return info;
}

// Everything a FIFO delivers until its writer closes, or until 10 s pass.
std::string ReadFifo(const fs::path& fifo, const std::function<void()>& writer)
{
    const int fd = ::open(fifo.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return "cannot open the FIFO";
    std::thread writing(writer);
    std::string got;
    bool seenWriter = false;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (std::chrono::steady_clock::now() < deadline) {
        pollfd watch{fd, POLLIN, 0};
        ::poll(&watch, 1, 200);
        char buffer[65536];
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n > 0) {
            got.append(buffer, std::size_t(n));
            seenWriter = true;
        } else if (n == 0 && seenWriter) {
            break;
        }
    }
    writing.join();
    ::close(fd);
    return got;
}

} // namespace

TEST_F(AtomicFileTargetsTest, ACharacterDeviceIsWrittenAsItStandsNotReplaced)
{
    const fs::path device = folder / "null";
    if (::mknod(device.c_str(), S_IFCHR | 0666, ::makedev(1, 3)) != 0)
        GTEST_SKIP() << "mknod needs root";
    EXPECT_EQ(SaveAs(device, Pattern(100000, 'd')), "");
    const struct stat after = Lstat(device);
    EXPECT_TRUE(S_ISCHR(after.st_mode));
    EXPECT_EQ(after.st_rdev, ::makedev(1, 3));
    EXPECT_TRUE(Others(folder, {"null"}).empty());

    // A link to it is followed to it as well.
    fs::create_symlink("null", folder / "ke-null");
    EXPECT_EQ(SaveAs(folder / "ke-null", "x"), "");
    EXPECT_TRUE(fs::is_symlink(folder / "ke-null"));
    EXPECT_TRUE(S_ISCHR(Lstat(device).st_mode));
}

TEST_F(AtomicFileTargetsTest, AFifoIsWrittenAsItStandsToItsReader)
{
    const fs::path fifo = folder / "pipa";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const std::string bytes = Pattern(300000, 'f'); // more than a pipe holds
    std::string error = "not run";
    const std::string got = ReadFifo(fifo, [&] { error = SaveAs(fifo, bytes); });
    EXPECT_EQ(error, "");
    EXPECT_EQ(got.size(), bytes.size());
    EXPECT_TRUE(got == bytes);
    EXPECT_TRUE(fs::is_fifo(fs::symlink_status(fifo)));
    EXPECT_TRUE(Others(folder, {"pipa"}).empty());
}

TEST_F(AtomicFileTargetsTest, AnOpenDescriptorIsWrittenAsItStands)
{
    // What /dev/stdout names: /proc/self/fd/N, here a pipe, and a link of
    // the user's own to it.
    int pipeFds[2];
    ASSERT_EQ(::pipe(pipeFds), 0);
    const fs::path descriptor = "/proc/self/fd/" + std::to_string(pipeFds[1]);
    fs::create_symlink(descriptor, folder / "keluar");
    EXPECT_EQ(SaveAs(descriptor, "satu "), "");
    EXPECT_EQ(SaveAs(folder / "keluar", "dua"), "");
    ::close(pipeFds[1]);
    std::string got;
    char buffer[64];
    for (ssize_t n; (n = ::read(pipeFds[0], buffer, sizeof buffer)) > 0;)
        got.append(buffer, std::size_t(n));
    ::close(pipeFds[0]);
    EXPECT_EQ(got, "satu dua");
    EXPECT_TRUE(fs::is_symlink(folder / "keluar"));

    // A descriptor open on a plain file (a shell's "> out") is appended to,
    // the same file, not a replacement of it.
    WriteRaw(target, "awal ");
    const int fd = ::open(target.c_str(), O_WRONLY | O_APPEND | O_CLOEXEC);
    ASSERT_GE(fd, 0);
    const ino_t inode = Lstat(target).st_ino;
    EXPECT_EQ(SaveAs("/proc/self/fd/" + std::to_string(fd), "akhir"), "");
    ::close(fd);
    EXPECT_EQ(ReadAll(target), "awal akhir");
    EXPECT_EQ(Lstat(target).st_ino, inode);
}

TEST_F(AtomicFileTargetsTest, ALinkIsFollowedAndItsFileReplacedWhileTheLinkStays)
{
    fs::create_directory(folder / "data");
    const fs::path real = folder / "data" / "asli.txt";
    WriteRaw(real, "lama");
    fs::permissions(real, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    fs::create_symlink("data/asli.txt", folder / "tautan");
    fs::create_symlink(folder / "tautan", folder / "tautan2"); // a chain, absolute then relative
    const ino_t oldInode = Lstat(real).st_ino;

    EXPECT_EQ(SaveAs(folder / "tautan2", "baru"), "");
    EXPECT_EQ(ReadAll(real), "baru");
    EXPECT_NE(Lstat(real).st_ino, oldInode) << "replaced, not written over";
    EXPECT_EQ(fs::read_symlink(folder / "tautan"), "data/asli.txt");
    EXPECT_EQ(fs::read_symlink(folder / "tautan2"), folder / "tautan");
    EXPECT_EQ(Lstat(real).st_mode & 07777, 0640u);
    EXPECT_TRUE(Others(folder, {"data", "tautan", "tautan2"}).empty());
    EXPECT_TRUE(Others(folder / "data", {"asli.txt"}).empty());

    // A link to a file not yet there makes it.
    fs::create_symlink("data/kelak.txt", folder / "janji");
    EXPECT_EQ(SaveAs(folder / "janji", "pertama"), "");
    EXPECT_EQ(ReadAll(folder / "data" / "kelak.txt"), "pertama");
    EXPECT_TRUE(fs::is_symlink(folder / "janji"));

    // A loop of links is refused, and both stay.
    fs::create_symlink("b", folder / "a");
    fs::create_symlink("a", folder / "b");
    EXPECT_EQ(SaveAs(folder / "a", "x"), "terlalu banyak tautan simbolik");
    EXPECT_TRUE(fs::is_symlink(folder / "a") && fs::is_symlink(folder / "b"));
}

TEST_F(AtomicFileTargetsTest, AnEntryIsNeverFollowedOutOfItsFolder)
{
    fs::create_directory(folder / "luar");
    fs::create_directory(folder / "terima");
    const fs::path secret = folder / "luar" / "rahasia.txt";
    WriteRaw(secret, "milik pengguna");
    fs::create_symlink("../luar/rahasia.txt", folder / "terima" / "catatan.txt");
    const fs::path fifo = folder / "terima" / "pipa.txt";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);

    EXPECT_EQ(WriteFileAtomically((folder / "terima" / "catatan.txt").string(), "pesan"), "");
    EXPECT_EQ(ReadAll(secret), "milik pengguna");
    EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(folder / "terima" / "catatan.txt")));
    EXPECT_EQ(ReadAll(folder / "terima" / "catatan.txt"), "pesan");

    // The receiver's way: bytes first, then the name tried; a link there is
    // replaced as an entry, never followed.
    fs::create_symlink("../luar/rahasia.txt", folder / "terima" / "surat.txt");
    AtomicFile spool((folder / "terima" / "x").string(), AtomicFile::Mode::NoReplace);
    ASSERT_TRUE(spool.Open() && spool.Write("pesan kedua"));
    EXPECT_EQ(spool.TryCommitAs((folder / "terima" / "surat.txt").string(), AtomicFile::Mode::NoReplace), EEXIST);
    EXPECT_EQ(spool.TryCommitAs((folder / "terima" / "surat.txt").string(), AtomicFile::Mode::Replace), 0);
    EXPECT_EQ(ReadAll(secret), "milik pengguna");
    EXPECT_EQ(ReadAll(folder / "terima" / "surat.txt"), "pesan kedua");
    EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(folder / "terima" / "surat.txt")));

    // Nor written through a FIFO, which would wait for a reader forever.
    EXPECT_EQ(WriteFileAtomically(fifo.string(), "pesan", AtomicFile::Mode::NoReplace),
              "berkas dengan nama itu sudah ada");
    EXPECT_TRUE(fs::is_fifo(fs::symlink_status(fifo)));
    EXPECT_TRUE(Others(folder / "terima", {"catatan.txt", "pipa.txt", "surat.txt"}).empty());
}

TEST_F(AtomicFileTargetsTest, ANewFileTakesTheUmaskAndAReplacedOneKeepsItsRights)
{
    const std::string report = InChild([this] {
        ::umask(027);
        std::string report;
        if (SaveAs(target, "baru") != "" || (Lstat(target).st_mode & 07777) != 0640)
            report += "new file not 0640; ";
        ::chmod(target.c_str(), 0604);
        if (SaveAs(target, "lagi") != "" || (Lstat(target).st_mode & 07777) != 0604)
            report += "replaced file lost 0604; ";
        if (ReadAll(target) != "lagi")
            report += "content wrong; ";
        return report;
    });
    EXPECT_EQ(report, "");
}

TEST_F(AtomicFileTargetsTest, AReplacedFileKeepsItsOwnerWhereTheWriterMaySetIt)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "only root may give a file to another user";
    WriteRaw(target, "lama");
    ASSERT_EQ(::chown(target.c_str(), 65534, 65534), 0);
    ASSERT_EQ(::chmod(target.c_str(), 0640), 0);
    EXPECT_EQ(SaveAs(target, "baru"), "");
    const struct stat after = Lstat(target);
    EXPECT_EQ(after.st_uid, 65534u);
    EXPECT_EQ(after.st_gid, 65534u);
    EXPECT_EQ(after.st_mode & 07777, 0640u);
    EXPECT_EQ(ReadAll(target), "baru");
}

TEST_F(AtomicFileTargetsTest, ABlockDeviceOrAFolderIsRefusedAndStays)
{
    fs::create_directory(folder / "map");
    fs::create_symlink("map", folder / "ke-map");
    EXPECT_EQ(SaveAs(folder / "ke-map", "x"), "ada folder dengan nama itu");
    EXPECT_TRUE(fs::is_symlink(folder / "ke-map"));

    const fs::path block = folder / "cakram";
    if (::mknod(block.c_str(), S_IFBLK | 0600, ::makedev(7, 200)) != 0)
        GTEST_SKIP() << "mknod needs root";
    EXPECT_EQ(SaveAs(block, "x"), "bukan berkas, perangkat karakter atau FIFO");
    EXPECT_TRUE(S_ISBLK(Lstat(block).st_mode));
    EXPECT_TRUE(Others(folder, {"map", "ke-map", "cakram"}).empty());
}

TEST_F(AtomicFileTargetsTest, AnEntryOfSomeoneElseLendsNeitherOwnerNorRights)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "only root may make a file of another user";
    // In a folder others may write: their file, open to all, replaced by
    // the writer's own, which must not become theirs or open to all.
    WriteRaw(target, "asing");
    ASSERT_EQ(::chown(target.c_str(), 65534, 65534), 0);
    ASSERT_EQ(::chmod(target.c_str(), 0666), 0);
    EXPECT_EQ(WriteFileAtomically(target.string(), "milik penulis"), "");
    const struct stat after = Lstat(target);
    EXPECT_EQ(after.st_uid, 0u);
    EXPECT_EQ(after.st_mode & 0077, 0u) << std::oct << (after.st_mode & 07777);
    EXPECT_EQ(ReadAll(target), "milik penulis");
}

TEST_F(AtomicFileTargetsTest, AModeSetIsTheModeWhateverTheUmaskOrTheOldFile)
{
    const std::string report = InChild([this] {
        ::umask(077);
        std::string report;
        const auto save = [](const fs::path& path, unsigned mode) {
            AtomicFile file(path.string());
            file.SetMode(mode);
            return file.Open() && file.Write("isi") && file.Commit();
        };
        if (!save(target, 0640) || (Lstat(target).st_mode & 07777) != 0640)
            report += "new file not 0640; ";
        ::chmod(target.c_str(), 0666);
        if (!save(target, 0600) || (Lstat(target).st_mode & 07777) != 0600)
            report += "replaced file not 0600; ";
        return report;
    });
    EXPECT_EQ(report, "");
}

TEST_F(AtomicFileTargetsTest, ANonBlockingDescriptorIsWaitedForNotFailed)
{
    // A descriptor inherited non-blocking (some shells and runners pass one)
    // fills up faster than its reader empties it.
    int pipeFds[2];
    ASSERT_EQ(::pipe2(pipeFds, O_NONBLOCK | O_CLOEXEC), 0);
    const std::string bytes = Pattern(1 << 20, 'w');
    std::string error = "not run";
    std::thread writing([&] {
        error = SaveAs("/proc/self/fd/" + std::to_string(pipeFds[1]), bytes);
        ::close(pipeFds[1]);
    });
    std::string got;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (std::chrono::steady_clock::now() < deadline) {
        pollfd watch{pipeFds[0], POLLIN, 0};
        ::poll(&watch, 1, 100);
        char buffer[4096];
        const ssize_t n = ::read(pipeFds[0], buffer, sizeof buffer);
        if (n == 0)
            break;
        if (n > 0)
            got.append(buffer, std::size_t(n));
    }
    writing.join();
    ::close(pipeFds[0]);
    EXPECT_EQ(error, "");
    EXPECT_EQ(got.size(), bytes.size());
}
