#pragma once
// The footnotes of a document. Their text is gathered while the body is
// read and written after it, one line per note as "[1] text", so that what
// a reader sees on the page is also what gets encrypted. A note's paragraph
// marks become spaces; the mark and the blanks a writer puts before its text
// are dropped, as the line starts with its number, and so are trailing blanks.

#include "app/rtf/RtfGroupState.h"

#include <QString>
#include <cstddef>
#include <utility>
#include <vector>

namespace karsidan::rtf {

class RtfDocumentWriter;

class RtfFootnotes {
public:
    // The number the next note will get, as its mark in the body shows it.
    int NextNumber() const { return static_cast<int>(notes_.size()) + 1; }

    void Begin();
    void AppendCharacter(char32_t character, const CharacterState& state);
    void BreakParagraph();

    bool IsEmpty() const { return notes_.empty(); }
    // Writes every note as a paragraph of its own, after what the writer
    // holds; state formats the numbers.
    void WriteTo(RtfDocumentWriter& writer, const CharacterState& state) const;

    // A document of millions of notes is hostile; later ones are dropped.
    static constexpr std::size_t kMaxNotes = 10000;

private:
    using Run = std::pair<QString, CharacterState>;
    struct Note {
        std::vector<Run> runs;
        QString heldBlanks; // written only when more text follows
    };

    std::vector<Note> notes_;
    bool accepting_ = false;
};

} // namespace karsidan::rtf
