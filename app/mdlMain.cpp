#include "app/mdlMain.h"

#include "app/AppIdentity.h"
#include "app/EngineCipher.h"
#include "app/StartupOptions.h"
#include "app/dialogs/MessageBoxHook.h"
#include "app/dialogs/QtFileDialog.h"
#include "app/frmMain.h"
#include "app/mdlGlobal.h"

#include <QApplication>
#include <QMessageBox>

#include <csignal>
#include <cstdio>

namespace karsidan {

int Main(int argc, char** argv)
{
    // Past a file-size limit a write should fail with a reason for the
    // user, not end the program.
    std::signal(SIGXFSZ, SIG_IGN);
    QApplication app(argc, argv);
    SetApplicationIdentity();

    QString error;
    const auto options = StartupOptions::Parse(QApplication::arguments(), error);
    if (!options) {
        std::fprintf(stderr, "karsidan: %s\n", qPrintable(error));
        QMessageBox::warning(nullptr, QStringLiteral("KARSIDAN"), error);
        return 2;
    }

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
