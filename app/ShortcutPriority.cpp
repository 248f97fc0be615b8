#include "app/ShortcutPriority.h"

#include <QKeyEvent>

namespace karsidan {

ShortcutPriority::ShortcutPriority(QList<QKeySequence> shortcuts, QObject* parent)
    : QObject(parent), shortcuts_(std::move(shortcuts))
{ }

bool ShortcutPriority::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::ShortcutOverride) {
        const auto* key = static_cast<QKeyEvent*>(event);
        const QKeySequence pressed(key->keyCombination());
        // Left unaccepted, the override lets the shortcut fire.
        if (shortcuts_.contains(pressed))
            return true;
    }
    return QObject::eventFilter(watched, event);
}

} // namespace karsidan
