#include "app/AppIdentity.h"

#include <QGuiApplication>

namespace karsidan {

void SetApplicationIdentity()
{
    // Changing the name would move the per-user data folder away from
    // files received before.
    QGuiApplication::setApplicationName(QStringLiteral("karsidan"));
    QGuiApplication::setApplicationVersion(QStringLiteral(KARSIDAN_VERSION));
    QGuiApplication::setDesktopFileName(QStringLiteral(KARSIDAN_APP_ID));
}

} // namespace karsidan
