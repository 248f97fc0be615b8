#include "app/RichTextBox.h"

#include "app/EditorText.h"

#include <QMimeData>
#include <QTextCursor>

namespace karsidan {

namespace {

bool HasLongLine(const QString& text)
{
    qsizetype run = 0;
    for (QChar c : text) {
        run = (c == u'\n' || c == u'\r') ? 0 : run + 1;
        if (run > EditorText::kLongLine)
            return true;
    }
    return false;
}

} // namespace

void RichTextBox::insertFromMimeData(const QMimeData* source)
{
    const QTextCursor cursor = textCursor();
    const bool replacesAll = document()->isEmpty()
        || (cursor.selectionStart() == 0 && cursor.selectionEnd() >= document()->characterCount() - 1);
    if (!isReadOnly() && replacesAll && source->hasText() && !source->hasHtml()) {
        const QString text = source->text();
        if (HasLongLine(text)) {
            EditorText::SetPlainText(*this, EditorText::NormalizeLineBreaks(text));
            moveCursor(QTextCursor::End);
            return;
        }
    }
    QTextEdit::insertFromMimeData(source);
}

} // namespace karsidan
