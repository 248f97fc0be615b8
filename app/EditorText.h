#pragma once
// Moving text between the editors and the code page. Inside the editors a
// line break is a paragraph or line separator; outside (engine, files) it
// is CR LF, as the rich-text boxes of the original platform report it, so
// a cipher text made here equals one made there for the same text.
#include <QString>

#include <string>
#include <string_view>

class QTextDocument;

namespace karsidan {

class EditorText {
public:
    // The document's text with CR LF between lines. Unlike
    // QTextDocument::toPlainText it keeps non-breaking spaces.
    static QString PlainText(const QTextDocument& document);

    // Text to code-page bytes; throws UnmappableCharacterError naming the
    // first character the code page cannot hold.
    static std::string ToCodePage(const QString& text);

    // Code-page bytes to text with CR LF, CR and LF all as "\n".
    static QString FromCodePage(std::string_view bytes);

    static QString NormalizeLineBreaks(const QString& text);
};

} // namespace karsidan
