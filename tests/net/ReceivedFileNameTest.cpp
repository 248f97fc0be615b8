#include "net/ReceivedFileName.h"

#include <gtest/gtest.h>

using karsidan::net::SafeFileName;
using karsidan::net::StoredFileName;

namespace {

TEST(SafeFileName, KeepsOnlyTheLastPartOfAnyPath)
{
    EXPECT_EQ(SafeFileName("a.txt"), "a.txt");
    EXPECT_EQ(SafeFileName("C:\\x\\c.txt"), "c.txt");
    EXPECT_EQ(SafeFileName("..\\..\\x"), "x");
    EXPECT_EQ(SafeFileName("/etc/x"), "x");
    EXPECT_EQ(SafeFileName("a/b\\c/d.txt"), "d.txt");
    EXPECT_EQ(SafeFileName("\\\\server\\share\\e.txt"), "e.txt");
}

TEST(SafeFileName, RefusesNamesThatAreNoFile)
{
    for (const char* name : {"", ".", "..", "x/", "x\\", "/..", "a\\..", "C:\\x\\", "/"})
        EXPECT_EQ(SafeFileName(QString::fromLatin1(name)), QString()) << name;
}

TEST(SafeFileName, RefusesControlAndWindowsForbiddenCharacters)
{
    for (const char* name :
         {"a\tb", "a\nb", "a\rb", "nul\x01", "a<b", "a>b", "C:c.txt", "a\"b", "a|b", "a?b", "a*b", "a\x7F"})
        EXPECT_EQ(SafeFileName(QString::fromLatin1(name)), QString()) << name;
    EXPECT_EQ(SafeFileName(QString(QChar(0)) + "x"), QString());
    EXPECT_EQ(SafeFileName(QString(QChar(0x9D))), QString()) << "C1 control";
}

TEST(SafeFileName, RefusesWhatWindowsCannotStore)
{
    for (const char* name : {"CON", "con.txt", "Nul", "aux.log", "COM1", "lpt9.txt", "name.", "name ", "   "})
        EXPECT_EQ(SafeFileName(QString::fromLatin1(name)), QString()) << name;
    EXPECT_EQ(SafeFileName(QString(256, QLatin1Char('a'))), QString());
    EXPECT_EQ(SafeFileName(".karsidan-Ab12Cd.part"), QString()) << "a spool file in flight";
    // Near misses are ordinary names.
    for (const char* name : {"COM10", "CONSOLE.txt", "com0", "lpt", "nul-x.txt"})
        EXPECT_EQ(SafeFileName(QString::fromLatin1(name)), QString::fromLatin1(name)) << name;
    EXPECT_EQ(SafeFileName(QString(255, QLatin1Char('a'))).size(), 255);
}

TEST(SafeFileName, KeepsCodePageCharactersAndInnerSpaces)
{
    const QString name = QStringLiteral("pesan rahasia \u00B7\u20AC\u00E9.txt");
    EXPECT_EQ(SafeFileName(name), name);
    EXPECT_EQ(SafeFileName("a.b.c"), "a.b.c");
}

TEST(SafeFileName, RefusesHiddenNames)
{
    for (const char* name : {".bashrc", "/home/ana/.profile", "C:\\x\\.hidden", ".karsidan-diterima", ". x"})
        EXPECT_EQ(SafeFileName(QString::fromLatin1(name)), QString()) << name;
}

TEST(NumberedFileName, PutsTheNumberBeforeTheExtension)
{
    EXPECT_EQ(karsidan::net::NumberedFileName("laporan.txt", 2), "laporan (2).txt");
    EXPECT_EQ(karsidan::net::NumberedFileName("arsip.tar.gz", 3), "arsip.tar (3).gz");
    EXPECT_EQ(karsidan::net::NumberedFileName("karsidan", 2), "karsidan (2)");
}

TEST(StoredFileName, FallsBackToPesanTxt)
{
    EXPECT_EQ(StoredFileName(""), "pesan.txt");
    EXPECT_EQ(StoredFileName(".."), "pesan.txt");
    EXPECT_EQ(StoredFileName("C:\\x\\"), "pesan.txt");
    EXPECT_EQ(StoredFileName("a*b"), "pesan.txt");
    EXPECT_EQ(StoredFileName("C:\\x\\c.txt"), "c.txt");
}

} // namespace
