// karsidan --help, --version and a bad option, run as a user would from a
// terminal without a display: they answer in Indonesian and never need a
// platform plugin.
#include <QProcess>
#include <QProcessEnvironment>
#include <QRegularExpression>

#include <gtest/gtest.h>

namespace {

struct Outcome {
    QProcess::ExitStatus status;
    int code;
    QString out;
    QString err;
};

Outcome RunWithoutDisplay(const QStringList& arguments)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        environment.remove(QString::fromLatin1(name));
    QProcess process;
    process.setProcessEnvironment(environment);
    process.start(QStringLiteral(KARSIDAN_GUI_PROGRAM), arguments);
    EXPECT_TRUE(process.waitForFinished(30000));
    return {process.exitStatus(), process.exitCode(), QString::fromUtf8(process.readAllStandardOutput()),
            QString::fromUtf8(process.readAllStandardError())};
}

// Lines Qt prints on its own: its help, and its complaints about displays.
const QRegularExpression kEnglish(
    QStringLiteral("Usage:|Options:|Displays |commandline|qt\\.qpa|platform plugin|Could not|Aborted"));

TEST(HelpWithoutDisplay, HelpAndVersionAnswerOnStandardOutput)
{
    const Outcome help = RunWithoutDisplay({QStringLiteral("--help")});
    EXPECT_EQ(help.status, QProcess::NormalExit);
    EXPECT_EQ(help.code, 0);
    EXPECT_TRUE(help.out.startsWith("Pemakaian: karsidan")) << help.out.toStdString();
    for (const char* option : {"--folder", "--port", "--help", "--version"})
        EXPECT_TRUE(help.out.contains(QString::fromLatin1(option))) << option;
    EXPECT_FALSE(help.out.contains(kEnglish)) << help.out.toStdString();
    EXPECT_EQ(help.err.toStdString(), "");

    const Outcome version = RunWithoutDisplay({QStringLiteral("--version")});
    EXPECT_EQ(version.status, QProcess::NormalExit);
    EXPECT_EQ(version.code, 0);
    EXPECT_EQ(version.out, QStringLiteral("karsidan " KARSIDAN_VERSION "\n"));
    EXPECT_EQ(version.err.toStdString(), "");
}

TEST(HelpWithoutDisplay, BadOptionsAnswerOnStandardErrorWithExitCode2)
{
    const QStringList bad[] = {{"--port", "99999"}, {"--bogus"}, {"--port"}, {"stray"}};
    for (const QStringList& arguments : bad) {
        const Outcome outcome = RunWithoutDisplay(arguments);
        const std::string shown = arguments.join(' ').toStdString();
        EXPECT_EQ(outcome.status, QProcess::NormalExit) << shown;
        EXPECT_EQ(outcome.code, 2) << shown;
        EXPECT_EQ(outcome.out.toStdString(), "") << shown;
        EXPECT_TRUE(outcome.err.startsWith("karsidan: ")) << outcome.err.toStdString();
        EXPECT_TRUE(outcome.err.contains("karsidan --help")) << outcome.err.toStdString();
        EXPECT_FALSE(outcome.err.contains(kEnglish)) << outcome.err.toStdString();
    }
}

} // namespace
