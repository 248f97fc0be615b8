#include "app/rtf/RtfFootnotes.h"

#include "app/rtf/RtfDocumentWriter.h"

#include <QChar>

namespace karsidan::rtf {
namespace {

bool IsBlank(char32_t character) { return character <= 0xFFFF && QChar(static_cast<char16_t>(character)).isSpace(); }

} // namespace

void RtfFootnotes::Begin()
{
    accepting_ = notes_.size() < kMaxNotes;
    if (accepting_)
        notes_.emplace_back();
}

void RtfFootnotes::AppendCharacter(char32_t character, const CharacterState& state)
{
    if (!accepting_)
        return;
    Note& note = notes_.back();
    const QString text = QString::fromUcs4(&character, 1);
    if (IsBlank(character)) {
        if (!note.runs.empty())
            note.heldBlanks += text;
        return;
    }
    if (note.runs.empty() || !(note.runs.back().second == state))
        note.runs.emplace_back(QString(), state);
    note.runs.back().first += note.heldBlanks + text;
    note.heldBlanks.clear();
}

void RtfFootnotes::BreakParagraph()
{
    if (accepting_ && !notes_.back().runs.empty() && notes_.back().heldBlanks.isEmpty())
        notes_.back().heldBlanks = QStringLiteral(" ");
}

void RtfFootnotes::WriteTo(RtfDocumentWriter& writer, const CharacterState& state) const
{
    const ParagraphState paragraph;
    for (std::size_t i = 0; i < notes_.size(); ++i) {
        writer.AppendText(QStringLiteral("[%1] ").arg(i + 1), state);
        for (const auto& [text, format] : notes_[i].runs)
            writer.AppendText(text, format);
        writer.EndParagraph(paragraph, state);
    }
}

} // namespace karsidan::rtf
