#include "MessageFormat.h"

namespace karsidan::net {

namespace {
constexpr qsizetype kSeparatorLength = sizeof(kMessageSeparator) - 1;
}

QByteArray ComposeMessage(const QByteArray& name, const QByteArray& body)
{
    QByteArray message;
    message.reserve(name.size() + kSeparatorLength + body.size());
    message.append(name).append(kMessageSeparator, kSeparatorLength).append(body);
    return message;
}

ParsedMessage ParseMessage(const QByteArray& data)
{
    const QByteArrayView separator(kMessageSeparator, kSeparatorLength);
    const qsizetype first = data.indexOf(separator);
    ParsedMessage result;
    // Pieces are cut left to right without overlap, so in "a | | b" the
    // separator occurs once: look for a second one after the first.
    if (first < 0 || data.indexOf(separator, first + kSeparatorLength) >= 0) {
        result.content = data;
        return result;
    }
    result.hasName = true;
    result.name = data.left(first);
    result.content = data.mid(first + kSeparatorLength);
    return result;
}

} // namespace karsidan::net
