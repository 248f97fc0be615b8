#pragma once
// The control words the reader acts on. Everything else is ignored, as the
// format asks of readers that meet words they do not know.

#include <optional>
#include <string_view>

namespace karsidan::rtf {

enum class Keyword {
    Unknown,
    // destinations
    FontTable,
    ColorTable,
    SkippedDestination,
    Footnote,
    Shape,
    ShapeInstructions,
    ShapeText,
    // tables and document defaults
    DefaultFont,
    FontCharset,
    Red,
    Green,
    Blue,
    // character formatting
    Plain,
    Bold,
    Italic,
    Underline,
    UnderlineNone,
    StrikeOut,
    Hidden,
    Superscript,
    Subscript,
    NoSuperSub,
    FontSize,
    Font,
    Foreground,
    Background,
    // paragraphs and breaks
    Paragraph,
    ParagraphDefault,
    AlignLeft,
    AlignRight,
    AlignCenter,
    AlignJustify,
    LeftIndent,
    RightIndent,
    FirstLineIndent,
    SpaceBefore,
    SpaceAfter,
    Tab,
    LineBreak,
    FootnoteMark,
    ListLabel,
    // tables
    InTable,
    CellEnd,
    RowEnd,
    NestedTableEnd,
    // Unicode
    UnicodeCharacter,
    UnicodeFallbackLength,
};

Keyword LookupKeyword(std::string_view word);
// Words that stand for a single character (\emdash, \bullet, ...).
std::optional<char32_t> KeywordCharacter(std::string_view word);

} // namespace karsidan::rtf
