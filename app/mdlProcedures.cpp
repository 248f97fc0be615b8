#include "app/mdlProcedures.h"

#include "app/dialogs/FileDialog.h"
#include "app/mdlGlobal.h"

#include <QDir>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include <cmath>

namespace karsidan {

const FileSystem& FileSystemObject()
{
    static const FileSystem fallback;
    return mdlGlobal::FileSystemObj ? *mdlGlobal::FileSystemObj : fallback;
}

void CenterForm(QWidget* form, bool atTop)
{
    if (!form)
        return;
    QScreen* screen = form->screen() ? form->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect area = screen->geometry();
    // Inner (client) size, as the frame is placed by move().
    const float left = (float(area.width()) - float(form->width())) / 2.0f;
    const float top = (float(area.height()) - float(form->height())) / 2.0f;
    const int x = area.x() + int(std::lround(left));
    form->move(x, area.y() + int(std::lround(top)));
    if (atTop)
        form->move(x, area.y());
}

void PrepareFileDialog(FileDialog& dialog, const QString& filter)
{
    QString folder = mdlGlobal::AppFolder;
    if (folder.size() > 1 && (folder.endsWith(QLatin1Char('/')) || folder.endsWith(QLatin1Char('\\'))))
        folder.chop(1);
    dialog.SetInitialFolder(folder.isEmpty() ? QDir::currentPath() : folder);
    dialog.SetFilter(filter);
}

} // namespace karsidan
