#include "net/WireText.h"

#include "codepage/CodePage.h"

#include <string>

namespace karsidan::net {

QByteArray ToWireBytes(const QString& text)
{
    const std::u16string_view utf16(reinterpret_cast<const char16_t*>(text.utf16()),
                                    static_cast<std::size_t>(text.size()));
    const std::string bytes = Utf16ToCodePage(utf16);
    return QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

QString FromWireBytes(const QByteArray& bytes)
{
    const std::u16string text = CodePageToUtf16(
        std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
    return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

} // namespace karsidan::net
