#include "mdlMain.h"

#include "AppIdentity.h"
#include "EngineCipher.h"
#include "MessageBoxHook.h"
#include "QtFileDialog.h"
#include "StartupOptions.h"
#include "frmMain.h"
#include "mdlGlobal.h"

#include <QApplication>
#include <QMessageBox>

#include <cstdio>

namespace karsidan {

int Main(int argc, char** argv)
{
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
    mdlGlobal::AppFolder =
        StartupOptions::ResolveAppFolder(options->folder, QApplication::applicationDirPath());
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
