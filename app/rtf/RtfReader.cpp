#include "app/rtf/RtfReader.h"

#include "app/rtf/RtfParser.h"
#include "codepage/CodePage.h"

#include <QString>
#include <exception>
#include <string_view>

namespace karsidan {
namespace {

// Data that is not rich text is read as plain text in the code page.
void ReadPlainText(const QByteArray& data, QTextDocument& document)
{
    QString text;
    text.reserve(data.size());
    for (qsizetype i = 0; i < data.size(); ++i) {
        const auto byte = static_cast<unsigned char>(data[i]);
        if (byte == '\r') {
            text.append(QLatin1Char('\n'));
            if (i + 1 < data.size() && data[i + 1] == '\n')
                ++i;
            continue;
        }
        text.append(QChar(static_cast<char16_t>(ByteToUnicode(byte))));
    }
    document.setPlainText(text);
}

} // namespace

bool RtfReader::IsRichText(const QByteArray& data) { return data.startsWith("{\\rtf"); }

void RtfReader::Read(const QByteArray& data, QTextDocument& document)
{
    // Loading is not an edit the user could undo; this also keeps it fast.
    const bool undo = document.isUndoRedoEnabled();
    document.setUndoRedoEnabled(false);
    try {
        document.clear();
        if (IsRichText(data)) {
            rtf::RtfParser parser(std::string_view(data.constData(), static_cast<std::size_t>(data.size())), document);
            parser.Run();
        } else {
            ReadPlainText(data, document);
        }
    } catch (const std::exception&) {
        // Out of memory on a giant file: keep what was read.
    }
    document.setUndoRedoEnabled(undo);
}

} // namespace karsidan
