#include "app/FileSystem.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

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
}

} // namespace
} // namespace karsidan
