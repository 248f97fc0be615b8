#pragma once
// Loads the bytes of a file into an editor's document: rich text with its
// formatting, anything else as plain text.
#include <QByteArray>
#include <QString>

class QTextEdit;

namespace karsidan {

class DocumentReader {
public:
    static void Read(const QByteArray& data, QTextEdit& editor);

    // Valid UTF-8 (with or without BOM) as UTF-8, anything else in the code
    // page; line breaks become "\n".
    static QString DecodePlainText(const QByteArray& data);
};

} // namespace karsidan
