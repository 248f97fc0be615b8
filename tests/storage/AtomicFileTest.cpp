// The one atomic writer: whatever fails, the old file stays byte for byte
// and no temporary file is left behind. Full disks and read-only file
// systems are made for real in a child process (a small tmpfs in a private
// mount namespace when running as root, RLIMIT_FSIZE everywhere).
#include "storage/AtomicFile.h"
#include "tests/storage/StorageTestSupport.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>
#include <sys/resource.h>

using karsidan::storage::AtomicFile;
using karsidan::storage::WriteFileAtomically;
using namespace karsidan::storage::testing;

using AtomicFileTest = StorageFolderTest;

TEST_F(AtomicFileTest, WritesNewAndReplacedFilesWholeAndKeepsTheOldRights)
{
    EXPECT_EQ(WriteFileAtomically(target, "pertama"), "");
    EXPECT_EQ(ReadAll(target), "pertama");

    fs::permissions(target, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    const std::string big = Pattern(3 << 20, 'A');
    EXPECT_EQ(WriteFileAtomically(target, big), "");
    EXPECT_EQ(ReadAll(target), big);
    EXPECT_EQ(fs::status(target).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    EXPECT_TRUE(Others(folder, {"hasil.txt"}).empty());

    EXPECT_EQ(WriteFileAtomically(target, ""), "") << "an empty result is a file too";
    EXPECT_TRUE(fs::exists(target));
    EXPECT_EQ(fs::file_size(target), 0u);
}

TEST_F(AtomicFileTest, StreamedPiecesAndALateNameArriveAsOneFile)
{
    AtomicFile file((folder / "sementara").string(), AtomicFile::Mode::NoReplace);
    ASSERT_TRUE(file.Open());
    EXPECT_EQ(fs::path(file.TemporaryPath()).parent_path(), folder);
    EXPECT_EQ(fs::path(file.TemporaryPath()).filename().string().rfind(karsidan::storage::kTemporaryPrefix, 0), 0u);
    for (int i = 0; i < 50; ++i)
        ASSERT_TRUE(file.Write(Pattern(1000, char('a' + i % 20))));
    ASSERT_TRUE(file.CommitAs(target.string()));
    EXPECT_EQ(fs::file_size(target), 50000u);
    EXPECT_TRUE(Others(folder, {"hasil.txt"}).empty());
}

TEST_F(AtomicFileTest, ATakenOrRefusedNameKeepsTheBytesForTheNextName)
{
    WriteRaw(target, "milik pengguna");
    fs::create_directory(folder / "folder");
    AtomicFile file((folder / "sementara").string(), AtomicFile::Mode::NoReplace);
    ASSERT_TRUE(file.Open());
    ASSERT_TRUE(file.Write("pesan"));
    EXPECT_EQ(file.TryCommitAs(target.string(), AtomicFile::Mode::NoReplace), EEXIST);
    EXPECT_EQ(file.TryCommitAs((folder / "folder").string(), AtomicFile::Mode::NoReplace), EEXIST);
    EXPECT_EQ(file.TryCommitAs((folder / "folder").string(), AtomicFile::Mode::Replace), EISDIR);
    EXPECT_EQ(file.TryCommitAs((folder / std::string(300, 'n')).string(), AtomicFile::Mode::NoReplace), ENAMETOOLONG);
    EXPECT_FALSE(file.Failed());
    ASSERT_EQ(file.TryCommitAs((folder / "bebas.txt").string(), AtomicFile::Mode::NoReplace), 0);
    EXPECT_EQ(ReadAll(folder / "bebas.txt"), "pesan");
    EXPECT_EQ(ReadAll(target), "milik pengguna");
    EXPECT_TRUE(fs::is_directory(folder / "folder"));
    EXPECT_TRUE(Others(folder, {"hasil.txt", "folder", "bebas.txt"}).empty());

    // Replacing is the caller's choice, for a file it knows is its own.
    AtomicFile again((folder / "sementara").string(), AtomicFile::Mode::NoReplace);
    ASSERT_TRUE(again.Open() && again.Write("pesan baru"));
    ASSERT_EQ(again.TryCommitAs((folder / "bebas.txt").string(), AtomicFile::Mode::Replace), 0);
    EXPECT_EQ(ReadAll(folder / "bebas.txt"), "pesan baru");
    EXPECT_TRUE(Others(folder, {"hasil.txt", "folder", "bebas.txt"}).empty());
}

TEST_F(AtomicFileTest, NothingIsLeftWhenTheWriterIsDroppedUncommitted)
{
    WriteRaw(target, "lama");
    {
        AtomicFile file(target.string());
        ASSERT_TRUE(file.Open());
        ASSERT_TRUE(file.Write("baru"));
    }
    EXPECT_EQ(ReadAll(target), "lama");
    EXPECT_TRUE(Others(folder, {"hasil.txt"}).empty());
}

TEST_F(AtomicFileTest, RefusalsNameTheirReasonAndLeaveEverythingAsItWas)
{
    WriteRaw(target, "milik pengguna");
    EXPECT_EQ(WriteFileAtomically(target, "asing", AtomicFile::Mode::NoReplace), "berkas dengan nama itu sudah ada");
    EXPECT_EQ(ReadAll(target), "milik pengguna");

    fs::create_directory(folder / "folder");
    EXPECT_EQ(WriteFileAtomically(folder / "folder", "x"), "ada folder dengan nama itu");
    EXPECT_TRUE(fs::is_directory(folder / "folder"));

    EXPECT_EQ(WriteFileAtomically(folder / "tidak-ada" / "x.txt", "x"), "folder tidak ada");
    EXPECT_EQ(WriteFileAtomically(folder / (std::string(300, 'n') + ".txt"), "x"), "nama terlalu panjang");
    EXPECT_TRUE(Others(folder, {"hasil.txt", "folder"}).empty());
}

TEST_F(AtomicFileTest, AFileSizeLimitFailsTheWriteAndKeepsTheOldFile)
{
    const std::string old = Pattern(5000, 'k');
    WriteRaw(target, old);
    const std::string report = InChild([this] {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{8192, 8192};
        if (::setrlimit(RLIMIT_FSIZE, &limit) != 0)
            return std::string("setrlimit failed");
        return WriteFileAtomically(target, Pattern(12000, 'n'));
    });
    EXPECT_EQ(report, "berkas melebihi batas ukuran");
    EXPECT_EQ(ReadAll(target), old);
    EXPECT_TRUE(Others(folder, {"hasil.txt"}).empty());
}

TEST_F(AtomicFileTest, AFullDiskIsSaidAsSuchAndTheOldFileStaysByteForByte)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "a small tmpfs needs root; the file-size limit test covers the rest";
    const std::string report = InChild([this] {
        if (std::string skip = MountSmallTmpfs(folder, "size=64k"); !skip.empty())
            return skip;
        const std::string old = Pattern(12000, 'o');
        WriteRaw(target, old);
        // Leave 8 KiB free, then try to replace the file with 12,000 bytes.
        std::string filler(64 * 1024 - 12 * 1024 - 8 * 1024, 'f');
        WriteRaw(folder / "isi", filler);
        const std::string error = WriteFileAtomically(target, Pattern(12000, 'n'));
        std::string report = error;
        if (ReadAll(target) != old)
            report += " | old file changed";
        if (!Others(folder, {"hasil.txt", "isi"}).empty())
            report += " | temporary file left";
        return report;
    });
    if (report.rfind("SKIP", 0) == 0)
        GTEST_SKIP() << report;
    EXPECT_EQ(report, "disk penuh");
}

TEST_F(AtomicFileTest, AReadOnlyFolderRefusesAndKeepsTheOldFile)
{
    const std::string report = InChild([this] {
        if (::geteuid() == 0) {
            // Root passes permission bits: make the file system read-only.
            if (std::string skip = MountSmallTmpfs(folder, "size=64k"); !skip.empty())
                return skip;
            WriteRaw(target, "lama");
            if (::mount(nullptr, folder.c_str(), nullptr, MS_REMOUNT | MS_RDONLY, nullptr) != 0)
                return std::string("SKIP remount");
        } else {
            WriteRaw(target, "lama");
            fs::permissions(folder, fs::perms::owner_read | fs::perms::owner_exec);
        }
        std::string report = WriteFileAtomically(target, "baru");
        if (ReadAll(target) != "lama")
            report += " | old file changed";
        return report;
    });
    if (report.rfind("SKIP", 0) == 0)
        GTEST_SKIP() << report;
    EXPECT_TRUE(report == "sistem berkas hanya-baca" || report == "izin ditolak") << report;
}
