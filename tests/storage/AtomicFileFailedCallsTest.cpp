// Failures a real disk shows rarely and never on demand: a sync that
// reports EIO (the data may never reach the disk), a rename or a close that
// fails. Each must leave the old file byte for byte, no temporary file, and
// the reason said.
#include "storage/AtomicFile.h"
#include "tests/storage/FailingFileOps.h"
#include "tests/storage/StorageTestSupport.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <sys/stat.h>
#include <sys/sysmacros.h>

using karsidan::storage::AtomicFile;
using karsidan::storage::FailingFileOps;
using namespace karsidan::storage::testing;
using Call = FailingFileOps::Call;

using AtomicFileFailedCallsTest = StorageFolderTest;

namespace {

// Writes bytes over target through ops; returns the reason ("" for done).
std::string Save(FailingFileOps& ops, const fs::path& target, const std::string& bytes,
                 AtomicFile::Names names = AtomicFile::Names::Followed)
{
    AtomicFile file(target.string(), AtomicFile::Mode::Replace, names, ops);
    if (file.Open() && file.Write(bytes) && file.Commit())
        return {};
    return file.Error();
}

} // namespace

TEST_F(AtomicFileFailedCallsTest, ASyncThatFailsKeepsTheOldFileAndSaysWhy)
{
    const std::string old = Pattern(70000, 'o');
    WriteRaw(target, old);
    for (const auto names : {AtomicFile::Names::Followed, AtomicFile::Names::Entry}) {
        FailingFileOps ops;
        ops.Fail(Call::Sync, EIO);
        EXPECT_EQ(Save(ops, target, Pattern(90000, 'n'), names), "kesalahan baca/tulis pada perangkat");
        EXPECT_EQ(ops.Calls(Call::Sync), 1);
        EXPECT_EQ(ops.Calls(Call::Rename), 0) << "renamed into place with the data unsure";
        EXPECT_EQ(ReadAll(target), old);
        EXPECT_TRUE(Others(folder, {"hasil.txt"}).empty());
    }

    // A new file is not made at all.
    FailingFileOps ops;
    ops.Fail(Call::Sync, ENOSPC);
    EXPECT_EQ(Save(ops, folder / "baru.txt", "isi"), "disk penuh");
    EXPECT_TRUE(Others(folder, {"hasil.txt"}).empty());
}

TEST_F(AtomicFileFailedCallsTest, ASyncThatFailsEndsEveryTryOfANameAtOnce)
{
    FailingFileOps ops;
    ops.Fail(Call::Sync, EIO);
    AtomicFile file((folder / "sementara").string(), AtomicFile::Mode::NoReplace, AtomicFile::Names::Entry, ops);
    ASSERT_TRUE(file.Open());
    ASSERT_TRUE(file.Write("pesan"));
    EXPECT_EQ(file.TryCommitAs(target.string(), AtomicFile::Mode::NoReplace), EIO);
    EXPECT_TRUE(file.Failed());
    EXPECT_EQ(file.TryCommitAs((folder / "lain.txt").string(), AtomicFile::Mode::NoReplace), EIO);
    EXPECT_EQ(ops.Calls(Call::RenameNoReplace), 0);
    EXPECT_TRUE(Others(folder, {}).empty());
}

TEST_F(AtomicFileFailedCallsTest, ARefusedRenameOrWriteLeavesNoTemporary)
{
    WriteRaw(target, "lama");
    {
        FailingFileOps ops;
        ops.Fail(Call::Rename, EXDEV);
        EXPECT_EQ(Save(ops, target, "baru"), "kesalahan sistem nomor " + std::to_string(EXDEV));
    }
    {
        FailingFileOps ops;
        ops.Fail(Call::Write, EIO);
        EXPECT_EQ(Save(ops, target, "baru"), "kesalahan baca/tulis pada perangkat");
    }
    {
        FailingFileOps ops;
        ops.Fail(Call::CreateNew, EMFILE);
        EXPECT_EQ(Save(ops, target, "baru"), "terlalu banyak berkas terbuka");
    }
    EXPECT_EQ(ReadAll(target), "lama");
    EXPECT_TRUE(Others(folder, {"hasil.txt"}).empty());
}

TEST_F(AtomicFileFailedCallsTest, AFailedCloseOfADeviceIsReported)
{
    // A character device written in place has no temporary to fall back on:
    // its close is the last word. A copy of /dev/null, never the system's.
    const fs::path device = folder / "null";
    if (::mknod(device.c_str(), S_IFCHR | 0666, ::makedev(1, 3)) != 0)
        GTEST_SKIP() << "mknod needs root";
    FailingFileOps ops;
    ops.Fail(Call::Close, EIO);
    AtomicFile file(device.string(), AtomicFile::Mode::Replace, AtomicFile::Names::Followed, ops);
    ASSERT_TRUE(file.Open());
    EXPECT_TRUE(file.WritesInPlace());
    ASSERT_TRUE(file.Write("x"));
    EXPECT_FALSE(file.Commit());
    EXPECT_EQ(file.Error(), "kesalahan baca/tulis pada perangkat");
    EXPECT_TRUE(fs::is_character_file(fs::symlink_status(device)));
}

TEST_F(AtomicFileFailedCallsTest, AFifoSwappedForAFileBeforeTheOpenIsNotAppendedTo)
{
    // What was a FIFO when looked at is a plain file when opened: writing
    // on would append to someone's file, so the writer stops.
    class SwappedOps : public FailingFileOps {
    public:
        int Inspect(const std::string& path, karsidan::storage::FileInfo* info) override
        {
            const int code = FailingFileOps::Inspect(path, info);
            info->kind = karsidan::storage::FileKind::Fifo;
            return code;
        }
    } ops;
    WriteRaw(target, "milik pengguna");
    AtomicFile file(target.string(), AtomicFile::Mode::Replace, AtomicFile::Names::Followed, ops);
    EXPECT_FALSE(file.Open());
    EXPECT_EQ(file.Error(), "berkas berubah saat dibuka");
    EXPECT_FALSE(file.Write("tambahan"));
    EXPECT_EQ(ReadAll(target), "milik pengguna");
    EXPECT_TRUE(Others(folder, {"hasil.txt"}).empty());
}
