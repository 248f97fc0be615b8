#include "app/StartupOptions.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace karsidan {
namespace {

std::optional<StartupOptions> Parse(QStringList arguments, QString& error)
{
    arguments.prepend("karsidan");
    return StartupOptions::Parse(arguments, error);
}

TEST(StartupOptions, DefaultsAndOverrides)
{
    QString error;
    auto options = Parse({}, error);
    ASSERT_TRUE(options);
    EXPECT_EQ(options->port, 45660);
    EXPECT_TRUE(options->folder.isEmpty());

    options = Parse({"--port", "45661", "--folder", "/tmp/copy2"}, error);
    ASSERT_TRUE(options);
    EXPECT_EQ(options->port, 45661);
    EXPECT_EQ(options->folder, "/tmp/copy2");

    options = Parse({"--port=1"}, error);
    ASSERT_TRUE(options);
    EXPECT_EQ(options->port, 1);
}

TEST(StartupOptions, BadArgumentsAreRefusedWithAReason)
{
    const QStringList bad[] = {{"--port", "0"}, {"--port", "65536"}, {"--port", "abc"}, {"--port", "-5"},
                               {"--port"},      {"--bogus"},         {"stray"},         {"--folder", ""}};
    for (const QStringList& arguments : bad) {
        QString error;
        EXPECT_FALSE(Parse(arguments, error)) << arguments.join(' ').toStdString();
        EXPECT_FALSE(error.isEmpty()) << arguments.join(' ').toStdString();
    }
}

TEST(StartupOptions, FolderEndsInExactlyOneSeparator)
{
    EXPECT_EQ(StartupOptions::WithTrailingSeparator("/"), "/");
    EXPECT_EQ(StartupOptions::WithTrailingSeparator("/opt/karsidan"), "/opt/karsidan/");
    EXPECT_EQ(StartupOptions::WithTrailingSeparator("/opt/karsidan/"), "/opt/karsidan/");
}

TEST(StartupOptions, AppFolderRule)
{
    QTemporaryDir program;
    // A writable program folder is used as it is.
    EXPECT_EQ(StartupOptions::ResolveAppFolder({}, program.path()), program.path() + "/");

    // A requested folder wins and is created.
    const QString requested = QDir(program.path()).filePath("copy2/inbox");
    EXPECT_EQ(StartupOptions::ResolveAppFolder(requested, program.path()), requested + "/");
    EXPECT_TRUE(QDir(requested).exists());

    // A program folder we cannot write into gives the per-user data folder.
    QStandardPaths::setTestModeEnabled(true);
    const QString unusable = QDir(program.path()).filePath("not-a-folder");
    QFile file(unusable);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    const QString data = StartupOptions::ResolveAppFolder({}, unusable);
    EXPECT_EQ(
        data,
        StartupOptions::WithTrailingSeparator(QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation)));
    EXPECT_TRUE(QDir(data).exists());
    QStandardPaths::setTestModeEnabled(false);
}

TEST(StartupOptions, InstalledCopyKeepsReceivedFilesPerUser)
{
    // bin/ is writable here, as /usr/bin is for root; an installed copy
    // must still not write received files beside the programs.
    QTemporaryDir prefix;
    const QString bin = QDir(prefix.path()).filePath("bin");
    ASSERT_TRUE(QDir().mkpath(bin));
    EXPECT_EQ(StartupOptions::ResolveAppFolder({}, bin), bin + "/");

    const QString applications = QDir(prefix.path()).filePath("share/applications");
    ASSERT_TRUE(QDir().mkpath(applications));
    QFile entry(QDir(applications).filePath(KARSIDAN_APP_ID ".desktop"));
    ASSERT_TRUE(entry.open(QIODevice::WriteOnly));
    entry.close();
    QStandardPaths::setTestModeEnabled(true);
    const QString data = StartupOptions::ResolveAppFolder({}, bin);
    EXPECT_EQ(data, StartupOptions::WithTrailingSeparator(StartupOptions::UserDataFolder()));
    EXPECT_NE(data, bin + "/");
    // An explicit folder still wins.
    EXPECT_EQ(StartupOptions::ResolveAppFolder(bin, bin), bin + "/");
    QStandardPaths::setTestModeEnabled(false);
}

} // namespace
} // namespace karsidan
