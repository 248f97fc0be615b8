#pragma once
// Writes the body text into a QTextDocument. Text of one format is gathered
// into a run and inserted in one piece. Paragraph breaks are held back until
// more content follows, so the \par that ends every file does not leave an
// empty last line behind (a file saved from one line reads back as one line).

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
    // Ends the current paragraph and gives it the paragraph properties.
    void EndParagraph(const ParagraphState& paragraph, const CharacterState& state);
    // Writes what is still gathered; the last paragraph gets its properties.
    void Finish(const ParagraphState& paragraph);

private:
    void Flush();
    void BreakIfPending();

    QTextCursor cursor_;
    const RtfFormatBuilder& formats_;
    QString run_;
    CharacterState runState_;
    int pendingBreaks_ = 0;
};

} // namespace karsidan::rtf
