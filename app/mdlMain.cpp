#include "app/mdlMain.h"

#include "app/AppIdentity.h"
#include "app/EngineCipher.h"
#include "app/QtTextsIndonesian.h"
#include "app/StartupOptions.h"
#include "app/dialogs/MessageBoxHook.h"
#include "app/dialogs/QtFileDialog.h"
#include "app/frmMain.h"
#include "app/mdlGlobal.h"

#include <QApplication>

#include <csignal>
#include <cstdio>

namespace karsidan {

int Main(int argc, char** argv)
{
    // Past a file-size limit a write should fail with a reason for the
    // user, not end the program.
    std::signal(SIGXFSZ, SIG_IGN);

    // Before QApplication: help, version and a bad option need no display,
    // and Qt would load a platform plugin (and abort without one).
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    QString error;
    const auto options = StartupOptions::Parse(arguments, error);
    if (!options) {
        std::fprintf(stderr, "karsidan: %s\n%s", qPrintable(error), qPrintable(StartupOptions::TryHelpText()));
        return 2;
    }
    if (options->action != StartupOptions::Action::Run) {
        const QString text = options->action == StartupOptions::Action::Help ? StartupOptions::HelpText()
                                                                             : StartupOptions::VersionText();
        std::fputs(text.toLocal8Bit().constData(), stdout);
        return std::fflush(stdout) == 0 ? 0 : 1;
    }

    QApplication app(argc, argv);
    SetApplicationIdentity();
    InstallIndonesianQtTexts(app);

    mdlGlobal::FileSystemObj = std::make_unique<FileSystem>();
    mdlGlobal::AppFolder = StartupOptions::ResolveAppFolder(options->folder, QApplication::applicationDirPath());
    mdlGlobal::CurrentPort = options->port;

    QtFileDialog fileDialog;
    QtMessageBoxHook messages;
    int exitCode = 0;
    {
        frmMain window(MainServices{RunTripleDes, &fileDialog, &messages});
        window.show();
        exitCode = QApplication::exec();
    }
    mdlGlobal::FileSystemObj.reset();
    return exitCode;
}

} // namespace karsidan
