#include "net/AtomicFileWriter.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using karsidan::net::WriteFileAtomically;

namespace {

QByteArray ReadAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

QStringList Entries(const QString& folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
}

TEST(WriteFileAtomically, WritesExactlyTheBytesAndReplacesAnOldFile)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QByteArray bytes;
    for (int i = 0; i < 256; ++i)
        bytes.append(char(i));
    ASSERT_EQ(WriteFileAtomically(dir.path(), "b.txt", "a much longer old content"), "");
    ASSERT_EQ(WriteFileAtomically(dir.path(), "b.txt", bytes), "");
    EXPECT_EQ(ReadAll(dir.filePath("b.txt")), bytes);
    EXPECT_EQ(Entries(dir.path()), QStringList{"b.txt"}) << "no temporary file left";

    ASSERT_EQ(WriteFileAtomically(dir.path(), "empty.txt", QByteArray()), "");
    EXPECT_EQ(QFileInfo(dir.filePath("empty.txt")).size(), 0);
}

TEST(WriteFileAtomically, FailureLeavesTargetAndFolderAsTheyWere)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    ASSERT_TRUE(QDir(dir.path()).mkdir("taken"));
    QFile inside(dir.filePath("taken/keep.txt"));
    ASSERT_TRUE(inside.open(QIODevice::WriteOnly));
    inside.write("keep");
    inside.close();

    // A folder of that name cannot be replaced by a file.
    EXPECT_NE(WriteFileAtomically(dir.path(), "taken", "new"), "");
    EXPECT_EQ(ReadAll(dir.filePath("taken/keep.txt")), "keep");
    EXPECT_EQ(Entries(dir.path()), QStringList{"taken"});

    EXPECT_NE(WriteFileAtomically(dir.filePath("missing"), "a.txt", "x"), "");
    EXPECT_FALSE(QFileInfo::exists(dir.filePath("missing")));
}

TEST(WriteFileAtomically, ReplacesASymbolicLinkInsteadOfWritingThroughIt)
{
    QTemporaryDir dir;
    QTemporaryDir outside;
    ASSERT_TRUE(dir.isValid() && outside.isValid());
    const QString target = outside.filePath("victim.txt");
    QFile victim(target);
    ASSERT_TRUE(victim.open(QIODevice::WriteOnly));
    victim.write("untouched");
    victim.close();
    if (!QFile::link(target, dir.filePath("link.txt")))
        GTEST_SKIP() << "no symbolic links here";

    ASSERT_EQ(WriteFileAtomically(dir.path(), "link.txt", "0A1B"), "");
    EXPECT_EQ(ReadAll(target), "untouched");
    EXPECT_FALSE(QFileInfo(dir.filePath("link.txt")).isSymLink());
    EXPECT_EQ(ReadAll(dir.filePath("link.txt")), "0A1B");
}

} // namespace
