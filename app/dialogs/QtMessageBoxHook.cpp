#include "app/dialogs/MessageBoxHook.h"

#include <QMessageBox>
#include <QWidget>

namespace karsidan {

void QtMessageBoxHook::Warn(QWidget* parent, const QString& text)
{
    const QString title = parent ? parent->window()->windowTitle() : QString();
    QMessageBox box(QMessageBox::Warning, title, text, QMessageBox::Ok, parent);
    box.setObjectName(QStringLiteral("msgWarning"));
    box.exec();
}

void QtMessageBoxHook::About(QWidget* parent, const QString& title, const QString& text)
{
    QMessageBox::about(parent, title, text);
}

} // namespace karsidan
