#pragma once
// The editors of the main window. A QTextEdit that pastes a very long line
// (a cipher text of megabytes) into an empty box as rows, the way files
// are loaded, instead of one paragraph that takes seconds to lay out.
#include <QTextEdit>

namespace karsidan {

class RichTextBox : public QTextEdit {
    Q_OBJECT
public:
    using QTextEdit::QTextEdit;

protected:
    void insertFromMimeData(const QMimeData* source) override;
};

} // namespace karsidan
