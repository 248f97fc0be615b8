// What the desktop matches the window with: the Wayland app id is the
// desktop entry's name, the X11 class the program name (the install test
// checks the entry against both), and the per-user data folder stays where
// received files went before.

#include "app/AppIdentity.h"

#include <QGuiApplication>
#include <QStandardPaths>

#include <gtest/gtest.h>

namespace karsidan {
namespace {

TEST(AppIdentity, DesktopEntryNameAndClassAreSetBeforeTheWindow)
{
    SetApplicationIdentity();
    EXPECT_EQ(QGuiApplication::desktopFileName(), QStringLiteral(KARSIDAN_APP_ID));
    EXPECT_EQ(QGuiApplication::applicationName(), QStringLiteral("karsidan"));
    EXPECT_EQ(QGuiApplication::applicationVersion(), QStringLiteral(KARSIDAN_VERSION));
    EXPECT_TRUE(
        QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation).endsWith(QStringLiteral("/karsidan")));
}

} // namespace
} // namespace karsidan
