#include "app/rtf/RtfDocumentWriter.h"

#include <QTextBlock>

namespace karsidan::rtf {

RtfDocumentWriter::RtfDocumentWriter(QTextDocument& document, const RtfFormatBuilder& formats)
    : cursor_(&document), formats_(formats)
{ }

void RtfDocumentWriter::AppendCharacter(char32_t character, const CharacterState& state)
{
    BreakIfPending();
    if (tabHeld_) {
        tabHeld_ = false;
        Append(U'\t', state);
    }
    if (spaceHeld_) {
        spaceHeld_ = false;
        Append(U' ', state);
    }
    Append(character, state);
    paragraphHasText_ = true;
    cellHasText_ = true;
}

void RtfDocumentWriter::AppendText(const QString& text, const CharacterState& state)
{
    for (const char32_t character : text.toUcs4())
        AppendCharacter(character, state);
}

void RtfDocumentWriter::Append(char32_t character, const CharacterState& state)
{
    if (!run_.isEmpty() && !(state == runState_))
        Flush();
    runState_ = state;
    if (character > 0xFFFF) {
        const char32_t offset = character - 0x10000;
        run_.append(QChar(static_cast<char16_t>(0xD800 + (offset >> 10))));
        run_.append(QChar(static_cast<char16_t>(0xDC00 + (offset & 0x3FF))));
    } else {
        run_.append(QChar(static_cast<char16_t>(character)));
    }
}

void RtfDocumentWriter::EndParagraph(const ParagraphState& paragraph, const CharacterState& state)
{
    BreakIfPending();
    DropHeldSeparators();
    Flush();
    cursor_.setBlockFormat(RtfFormatBuilder::BlockFormat(paragraph));
    if (cursor_.block().length() <= 1) // an empty line still has a height
        cursor_.setBlockCharFormat(formats_.CharFormat(state));
    ++pendingBreaks_;
    paragraphHasText_ = false;
}

void RtfDocumentWriter::SeparateParagraph(const ParagraphState& paragraph, const CharacterState& state)
{
    if (paragraphHasText_)
        EndParagraph(paragraph, state);
}

void RtfDocumentWriter::BreakInsideCell()
{
    if (cellHasText_ && !tabHeld_)
        spaceHeld_ = true;
}

void RtfDocumentWriter::EndCell()
{
    spaceHeld_ = false;
    if (tabHeld_) {
        // The cell that ends now was empty; it still takes its column.
        BreakIfPending();
        Append(U'\t', runState_);
        paragraphHasText_ = true;
    }
    tabHeld_ = true;
    cellHasText_ = false;
}

void RtfDocumentWriter::EndRow(const ParagraphState& paragraph, const CharacterState& state)
{
    EndParagraph(paragraph, state);
}

void RtfDocumentWriter::Finish(const ParagraphState& paragraph)
{
    DropHeldSeparators();
    // The last break closes the final paragraph; only those before it count.
    if (pendingBreaks_ > 0) {
        --pendingBreaks_;
        BreakIfPending();
        return;
    }
    Flush();
    cursor_.setBlockFormat(RtfFormatBuilder::BlockFormat(paragraph));
}

void RtfDocumentWriter::DropHeldSeparators()
{
    spaceHeld_ = false;
    tabHeld_ = false;
    cellHasText_ = false;
}

void RtfDocumentWriter::Flush()
{
    if (run_.isEmpty())
        return;
    cursor_.insertText(run_, formats_.CharFormat(runState_));
    run_.clear();
}

void RtfDocumentWriter::BreakIfPending()
{
    for (; pendingBreaks_ > 0; --pendingBreaks_)
        cursor_.insertBlock();
}

} // namespace karsidan::rtf
