#pragma once
// Reads rich-text (RTF) files into a QTextDocument: the text, paragraphs and
// the common character formatting, as a reader sees the page: symbol-font
// bullets as bullets, text boxes where they are anchored, table rows as lines
// of tab-separated cells, footnotes after the body. Anything it does not
// understand is skipped, never fatal.

#include <QByteArray>
#include <QTextDocument>

namespace karsidan {

class RtfReader {
public:
    // True when the data begins with "{\rtf".
    static bool IsRichText(const QByteArray& data);
    // Replaces the document's content with the text and formatting read from data.
    // Never throws and never crashes, whatever the bytes.
    static void Read(const QByteArray& data, QTextDocument& document);
};

} // namespace karsidan
