#pragma once
// Moving text between the editors and the code page. Inside the editors a
// line break is a block boundary or a line separator; outside (engine,
// files) it is CR LF, as the rich-text boxes of the original platform
// report it, so a cipher text made here equals one made there.
//
// Qt lays out a paragraph in one piece, which takes seconds for a cipher
// text of megabytes on one line. Such lines are therefore shown as several
// blocks, each marked as continuing the line before; the text read back
// joins them without a break.
#include <QString>

#include <string>
#include <string_view>
#include <vector>

class QTextDocument;
class QTextEdit;

namespace karsidan {

class UnmappableCharacterError;

class EditorText {
public:
    // Lines up to this length stay one block.
    static constexpr qsizetype kLongLine = 4096;
    // Block user state marking "joined to the block before, no line break".
    static constexpr int kContinuation = 0x4B53;

    // The document's text with CR LF between lines. Unlike
    // QTextDocument::toPlainText it keeps non-breaking spaces.
    static QString PlainText(const QTextDocument& document);

    // Replaces the editor's content with text ("\n" between lines), long
    // lines split into continuation blocks of one visual row each.
    static void SetPlainText(QTextEdit& editor, const QString& text);
    static void SetPlainText(QTextDocument& document, const QString& text, qsizetype rowLength);

    // The rows SetPlainText shows text as: each line one row, a long line
    // cut into rows of rowLength, all but the first continuing it.
    struct Row {
        qsizetype from;
        qsizetype length;
        bool continues;
    };
    static std::vector<Row> SplitRows(const QString& text, qsizetype rowLength);

    // Characters that fit one visual row of the editor (at least 16).
    static qsizetype RowLength(const QTextEdit& editor);

    // Text to code-page bytes; throws UnmappableCharacterError naming the
    // first character the code page cannot hold.
    static std::string ToCodePage(const QString& text);

    // Why text (as given to ToCodePage) cannot be carried: the character,
    // described in words when it shows no glyph of its own, and its position
    // counted as the editor counts, a line break being one character.
    static QString UnmappableMessage(const QString& text, const UnmappableCharacterError& error);

    // Code-page bytes to text with CR LF, CR and LF all as "\n".
    static QString FromCodePage(std::string_view bytes);

    static QString NormalizeLineBreaks(const QString& text);

    // A character for a message: itself in quotes with its code, or in
    // words when the user would see only a blank or a box.
    static QString DescribeCharacter(char32_t character);
};

} // namespace karsidan
