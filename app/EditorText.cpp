#include "EditorText.h"

#include <CodePage.h>

#include <QTextDocument>

namespace karsidan {

namespace {

constexpr char16_t kBeginningOfFrame = 0xFDD0;
constexpr char16_t kEndOfFrame = 0xFDD1;

} // namespace

QString EditorText::PlainText(const QTextDocument& document)
{
    const QString raw = document.toRawText();
    QString text;
    text.reserve(raw.size() + raw.size() / 32);
    for (QChar c : raw) {
        switch (c.unicode()) {
        case QChar::ParagraphSeparator:
        case QChar::LineSeparator:
        case u'\n':
        case kBeginningOfFrame:
        case kEndOfFrame:
            text += QLatin1String("\r\n");
            break;
        default:
            text += c;
        }
    }
    return text;
}

std::string EditorText::ToCodePage(const QString& text)
{
    return Utf16ToCodePage(
        std::u16string_view(reinterpret_cast<const char16_t*>(text.utf16()),
                            static_cast<std::size_t>(text.size())));
}

QString EditorText::FromCodePage(std::string_view bytes)
{
    const std::u16string text = CodePageToUtf16(bytes);
    return NormalizeLineBreaks(QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size())));
}

QString EditorText::NormalizeLineBreaks(const QString& text)
{
    if (!text.contains(QLatin1Char('\r')))
        return text;
    QString result;
    result.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == QLatin1Char('\r')) {
            result += QLatin1Char('\n');
            if (i + 1 < text.size() && text[i + 1] == QLatin1Char('\n'))
                ++i;
        } else {
            result += text[i];
        }
    }
    return result;
}

} // namespace karsidan
