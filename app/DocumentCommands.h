#pragma once
// New, Open and Save. Files are opened into the source editor and saved
// from the result editor; SavedFileName follows every command.
#include <QString>

#include <array>

class QLineEdit;
class QTextEdit;
class QWidget;

namespace karsidan {

class FileDialog;
class MessageBoxHook;

class DocumentCommands {
public:
    struct Controls {
        QWidget* window = nullptr; // parent and title of dialogs and messages
        QTextEdit* source = nullptr;
        QTextEdit* target = nullptr;
        std::array<QLineEdit*, 3> keys{};
    };

    DocumentCommands(Controls controls, FileDialog& dialog, MessageBoxHook& messages);

    // Empties both editors, the keys and SavedFileName; asks nothing.
    void NewDocument();
    // True when a file was loaded into the source editor.
    bool OpenFile();
    // True when the result editor was written to a file.
    bool SaveFile();

private:
    static bool IsBlank(const QString& name) { return name.trimmed().isEmpty(); }

    Controls controls_;
    FileDialog& dialog_;
    MessageBoxHook& messages_;
};

} // namespace karsidan
