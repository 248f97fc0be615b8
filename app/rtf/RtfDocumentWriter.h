#pragma once
// Writes the body text into a QTextDocument. Text of one format is gathered
// into a run and inserted in one piece. Paragraph breaks are held back until
// more content follows, so the \par that ends every file does not leave an
// empty last line behind (a file saved from one line reads back as one line).
//
// A table row becomes one line: cells are separated by one tab and the
// paragraph marks inside a cell by one space. Both are held back as well, so
// nothing trails the last cell of a row or the last word of a cell.

#include "app/rtf/RtfFormatBuilder.h"
#include "app/rtf/RtfGroupState.h"

#include <QString>
#include <QTextCursor>
#include <QTextDocument>

namespace karsidan::rtf {

class RtfDocumentWriter {
public:
    RtfDocumentWriter(QTextDocument& document, const RtfFormatBuilder& formats);

    void AppendCharacter(char32_t character, const CharacterState& state);
    void AppendText(const QString& text, const CharacterState& state);
    // Ends the current paragraph and gives it the paragraph properties.
    void EndParagraph(const ParagraphState& paragraph, const CharacterState& state);
    // Ends the current paragraph unless it is still empty: a text box's text
    // stands as paragraphs of its own where the box is anchored.
    void SeparateParagraph(const ParagraphState& paragraph, const CharacterState& state);
    // A paragraph mark or line break inside a table cell.
    void BreakInsideCell();
    void EndCell();
    void EndRow(const ParagraphState& paragraph, const CharacterState& state);
    // Writes what is still gathered; the last paragraph gets its properties.
    void Finish(const ParagraphState& paragraph);

private:
    void Append(char32_t character, const CharacterState& state);
    void Flush();
    void BreakIfPending();
    void DropHeldSeparators();

    QTextCursor cursor_;
    const RtfFormatBuilder& formats_;
    QString run_;
    CharacterState runState_;
    int pendingBreaks_ = 0;
    bool paragraphHasText_ = false;
    bool cellHasText_ = false;
    bool spaceHeld_ = false; // a paragraph mark inside a cell, before more of its text
    bool tabHeld_ = false; // a cell has ended; the tab is due if another follows
};

} // namespace karsidan::rtf
