#include "app/DocumentReader.h"

#include "app/EditorText.h"
#include "app/rtf/RtfReader.h"

#include "codepage/CodePage.h"

#include <QTextEdit>

namespace karsidan {

void DocumentReader::Read(const QByteArray& data, QTextEdit& editor)
{
    if (RtfReader::IsRichText(data))
        RtfReader::Read(data, *editor.document());
    else
        EditorText::SetPlainText(editor, DecodePlainText(data));
}

QString DocumentReader::DecodePlainText(const QByteArray& data)
{
    std::string_view bytes(data.constData(), static_cast<std::size_t>(data.size()));
    static constexpr std::string_view kBom = "\xEF\xBB\xBF";
    const bool hasBom = bytes.substr(0, kBom.size()) == kBom;
    if (hasBom)
        bytes.remove_prefix(kBom.size());
    if (IsValidUtf8(bytes))
        return EditorText::NormalizeLineBreaks(QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size())));
    return EditorText::FromCodePage(hasBom ? std::string_view(data.constData(), static_cast<std::size_t>(data.size()))
                                           : bytes);
}

} // namespace karsidan
