// The atomic writer over each system's own calls, through the same file on
// Linux and, cross-built, on Windows under Wine: a failed write or sync
// keeps the old file, no-replace refuses a taken name, names in UTF-8
// arrive whole, and the same faults give the same words.
#include "storage/AtomicFile.h"
#include "storage/WindowsNames.h"
#include "tests/storage/FailingFileOps.h"
#include "tests/support/PortableSystem.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <fstream>
#include <sstream>

namespace fs = std::filesystem;
using karsidan::storage::AtomicFile;
using karsidan::storage::ClassifyWindowsPath;
using karsidan::storage::FailingFileOps;
using karsidan::storage::WindowsName;
using karsidan::storage::WriteFileAtomically;
using Call = FailingFileOps::Call;

namespace {

using portable::ReadFile;
using portable::WriteFile;

std::size_t Entries(const fs::path& folder)
{
    std::size_t n = 0;
    for ([[maybe_unused]] const auto& entry : fs::directory_iterator(folder))
        ++n;
    return n;
}

class AtomicFilePlatformTest : public ::testing::Test {
protected:
    portable::TemporaryFolder folder{"karsidan-atomic"};
    fs::path target = folder.path() / "hasil.txt";
    std::string name = portable::Utf8Of(target);
};

// Through ops, with the names a user gives (-o, Save).
std::string Save(FailingFileOps& ops, const std::string& path, const std::string& bytes)
{
    AtomicFile file(path, AtomicFile::Mode::Replace, AtomicFile::Names::Followed, ops);
    if (file.Open() && file.Write(bytes) && file.Commit())
        return {};
    return file.Error();
}

} // namespace

TEST_F(AtomicFilePlatformTest, ReplacesAnExistingFileWhole)
{
    WriteFile(target, "isi lama yang lebih panjang");
    EXPECT_EQ(WriteFileAtomically(name, "baru\r\n\x1A", AtomicFile::Mode::Replace, AtomicFile::Names::Followed), "");
    EXPECT_EQ(ReadFile(target), "baru\r\n\x1A");
    EXPECT_EQ(WriteFileAtomically(name, "lagi"), "");
    EXPECT_EQ(ReadFile(target), "lagi");
    EXPECT_EQ(Entries(folder.path()), 1u);
}

TEST_F(AtomicFilePlatformTest, AFailedWriteOrSyncKeepsTheOldFile)
{
    WriteFile(target, "lama");
    for (const auto& [call, code, reason] : {std::tuple{Call::Write, ENOSPC, "disk penuh"},
                                             std::tuple{Call::Sync, EIO, "kesalahan baca/tulis pada perangkat"}}) {
        FailingFileOps ops;
        ops.Fail(call, code);
        EXPECT_EQ(Save(ops, name, std::string(100000, 'n')), reason);
        EXPECT_EQ(ReadFile(target), "lama");
        EXPECT_EQ(Entries(folder.path()), 1u) << "a temporary file was left";
    }
    // The same ops with nothing failed do write: the failures above were
    // the injected ones.
    FailingFileOps ops;
    EXPECT_EQ(Save(ops, name, "baru"), "");
    EXPECT_EQ(ReadFile(target), "baru");
}

TEST_F(AtomicFilePlatformTest, NoReplaceRefusesATakenNameAndKeepsTheBytesForTheNext)
{
    WriteFile(target, "lama");
    EXPECT_EQ(WriteFileAtomically(name, "baru", AtomicFile::Mode::NoReplace), "berkas dengan nama itu sudah ada");
    EXPECT_EQ(ReadFile(target), "lama");
    EXPECT_EQ(Entries(folder.path()), 1u);

    AtomicFile file(portable::Utf8Of(folder.path() / "sementara"), AtomicFile::Mode::NoReplace);
    ASSERT_TRUE(file.Open());
    ASSERT_TRUE(file.Write("pesan"));
    EXPECT_EQ(file.TryCommitAs(name, AtomicFile::Mode::NoReplace), EEXIST);
    EXPECT_EQ(ReadFile(target), "lama");
    const fs::path other = folder.path() / "hasil (1).txt";
    EXPECT_EQ(file.TryCommitAs(portable::Utf8Of(other), AtomicFile::Mode::NoReplace), 0);
    EXPECT_EQ(ReadFile(other), "pesan");
    EXPECT_EQ(Entries(folder.path()), 2u);
}

TEST_F(AtomicFilePlatformTest, Utf8NamesArriveWhole)
{
    const std::string utf8 = portable::Utf8Of(folder.path()) + "/hasil-caf\xC3\xA9-\xE2\x82\xAC-\xC3\xB1.txt";
    EXPECT_EQ(WriteFileAtomically(utf8, "isi"), "");
    EXPECT_EQ(ReadFile(portable::Utf8Path(utf8)), "isi");
    EXPECT_EQ(WriteFileAtomically(utf8, "lain", AtomicFile::Mode::NoReplace), "berkas dengan nama itu sudah ada");
    EXPECT_EQ(Entries(folder.path()), 1u);
}

TEST_F(AtomicFilePlatformTest, FoldersInTheWayAreTheSameWords)
{
    const fs::path sub = folder.path() / "map";
    fs::create_directory(sub);
    EXPECT_EQ(WriteFileAtomically(portable::Utf8Of(sub), "x", AtomicFile::Mode::Replace, AtomicFile::Names::Followed),
              "ada folder dengan nama itu");
    EXPECT_EQ(WriteFileAtomically(portable::Utf8Of(sub), "x"), "ada folder dengan nama itu");
    EXPECT_EQ(WriteFileAtomically(portable::Utf8Of(folder.path() / "tidak-ada" / "x.txt"), "x"), "folder tidak ada");
    EXPECT_EQ(Entries(folder.path()), 1u);
}

TEST(WindowsNames, DevicesAndNamesWindowsCannotHold)
{
    EXPECT_EQ(ClassifyWindowsPath("hasil.txt"), WindowsName::Ordinary);
    EXPECT_EQ(ClassifyWindowsPath("C:\\Users\\ani\\hasil.txt"), WindowsName::Ordinary);
    EXPECT_EQ(ClassifyWindowsPath("..\\a/b\\caf\xC3\xA9.txt"), WindowsName::Ordinary);
    EXPECT_EQ(ClassifyWindowsPath("console.txt"), WindowsName::Ordinary);
    EXPECT_EQ(ClassifyWindowsPath("COM0"), WindowsName::Ordinary);
    EXPECT_EQ(ClassifyWindowsPath("\\\\?\\C:\\nul."), WindowsName::Ordinary);
    for (const char* device :
         {"NUL", "nul", "CON", "prn", "aux", "COM1", "lpt9", "CONIN$", "C:\\temp\\NUL", "COM\xC2\xB9"})
        EXPECT_EQ(ClassifyWindowsPath(device), WindowsName::Device) << device;
    for (const char* invalid : {"", "hasil.", "hasil ", "ab:c", "tanya?", "bintang*", "pipa|x", "kutip\"", "<x>",
                                "tab\tx", "nul.txt", "con .log", "NUL\\x", "folder.\\x", "COM1.tar.gz"})
        EXPECT_EQ(ClassifyWindowsPath(invalid), WindowsName::Invalid) << invalid;
}

#ifdef _WIN32
TEST_F(AtomicFilePlatformTest, WindowsNamesAreRefusedOrWrittenThroughAsDevices)
{
    // "hasil." would be created as "hasil".
    const std::string dotted = portable::Utf8Of(folder.path()) + "\\hasil.";
    EXPECT_EQ(WriteFileAtomically(dotted, "x", AtomicFile::Mode::Replace, AtomicFile::Names::Followed),
              "nama tidak sah di sistem berkas ini");
    EXPECT_EQ(WriteFileAtomically(portable::Utf8Of(folder.path()) + "\\nul.txt", "x", AtomicFile::Mode::Replace,
                                  AtomicFile::Names::Followed),
              "nama tidak sah di sistem berkas ini");
    EXPECT_EQ(Entries(folder.path()), 0u);
    // NUL is Windows' /dev/null: written as it stands.
    AtomicFile nul("NUL", AtomicFile::Mode::Replace, AtomicFile::Names::Followed);
    ASSERT_TRUE(nul.Open()) << nul.Error();
    EXPECT_TRUE(nul.WritesInPlace());
    EXPECT_TRUE(nul.Write("dibuang"));
    EXPECT_TRUE(nul.Commit()) << nul.Error();
    EXPECT_EQ(WriteFileAtomically("CON", "x", AtomicFile::Mode::NoReplace), "berkas dengan nama itu sudah ada");
}
#endif
