#pragma once
// What one RTF group carries: where its text goes and how it is formatted.
// Each '{' starts with a copy of the enclosing group's state.

namespace karsidan::rtf {

enum class Destination {
    Text, // the document body
    TextBox, // \shptxt: a text box's text, a paragraph of the body
    Footnote, // \footnote: gathered and written after the body
    FontTable, // \fonttbl
    ColorTable, // \colortbl
    Shape, // \shp: drawing properties, whose only text is a \shptxt
    Skipped, // pictures, headers, {\*\...} and the like
};

enum class Alignment { Left, Right, Center, Justify };

struct CharacterState {
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;
    bool hidden = false; // \v: text not meant to be shown
    int verticalShift = 0; // -1 subscript, 0 none, 1 superscript
    int halfPoints = 24; // \fsN; 12 pt unless told otherwise
    int font = -1; // \fN; -1: the default font (\deffN)
    int foreground = 0; // \cfN; 0: automatic
    int background = 0; // \highlightN / \cbN; 0: none

    bool operator==(const CharacterState&) const = default;
};

struct ParagraphState {
    Alignment alignment = Alignment::Left;
    int leftIndentTwips = 0;
    int rightIndentTwips = 0;
    int firstLineIndentTwips = 0;
    int spaceBeforeTwips = 0;
    int spaceAfterTwips = 0;
    bool inTable = false; // \intbl: a paragraph mark only separates words of a cell

    bool operator==(const ParagraphState&) const = default;
};

struct GroupState {
    Destination destination = Destination::Text;
    int unicodeFallbackLength = 1; // \ucN
    bool inFootnote = false; // a text box here belongs to the footnote
    bool inListLabel = false; // \listtext: a list item's bullet or number
    CharacterState character;
    ParagraphState paragraph;
};

} // namespace karsidan::rtf
