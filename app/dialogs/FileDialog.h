#pragma once
// The one file dialog that Open and Save share. It remembers the name
// chosen last, in either form, and proposes it next time. Subclasses only
// ask the user; tests answer without a modal window.
#include <QString>

#include <optional>

class QWidget;

namespace karsidan {

class FileDialog {
public:
    enum class Form { Open, Save };

    struct Request {
        Form form;
        QString initialFolder;
        QString filter; // "Description |patterns|" pairs
        QString proposedName; // the name chosen last, or empty
    };

    virtual ~FileDialog() = default;

    void SetInitialFolder(const QString& folder) { initialFolder_ = folder; }
    void SetFilter(const QString& filter) { filter_ = filter; }
    QString InitialFolder() const { return initialFolder_; }
    QString Filter() const { return filter_; }
    QString FileName() const { return fileName_; }

    // The chosen name, or nothing when the user cancelled.
    std::optional<QString> ShowOpen(QWidget* parent) { return Show(parent, Form::Open); }
    std::optional<QString> ShowSave(QWidget* parent) { return Show(parent, Form::Save); }

protected:
    virtual std::optional<QString> Ask(QWidget* parent, const Request& request) = 0;

private:
    std::optional<QString> Show(QWidget* parent, Form form)
    {
        auto chosen = Ask(parent, {form, initialFolder_, filter_, fileName_});
        if (chosen)
            fileName_ = *chosen;
        return chosen;
    }

    QString initialFolder_;
    QString filter_;
    QString fileName_;
};

} // namespace karsidan
