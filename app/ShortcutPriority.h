#pragma once
// Editors claim some keys for themselves (Ctrl+E moves to the line's end,
// Ctrl+D deletes, in the desktop key bindings). Installed on an editor,
// this gives the window's command shortcuts precedence over those.
#include <QKeySequence>
#include <QList>
#include <QObject>

namespace karsidan {

class ShortcutPriority : public QObject {
    Q_OBJECT
public:
    ShortcutPriority(QList<QKeySequence> shortcuts, QObject* parent);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QList<QKeySequence> shortcuts_;
};

} // namespace karsidan
