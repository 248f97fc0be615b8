#pragma once
// How a window tells the user something: the main window, its commands and
// the send dialog all go through one hook. The Qt implementation shows a
// modal box; tests record the texts instead.
#include <QString>

class QWidget;

namespace karsidan {

class MessageBoxHook {
public:
    virtual ~MessageBoxHook() = default;
    // Exclamation icon, one OK button, titled with the parent window's title.
    virtual void Warn(QWidget* parent, const QString& text) = 0;
    virtual void About(QWidget* parent, const QString& title, const QString& text) = 0;
};

class QtMessageBoxHook : public MessageBoxHook {
public:
    void Warn(QWidget* parent, const QString& text) override;
    void About(QWidget* parent, const QString& title, const QString& text) override;
};

} // namespace karsidan
