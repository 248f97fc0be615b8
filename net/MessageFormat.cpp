#include "net/MessageFormat.h"

namespace karsidan::net {

namespace {
constexpr qsizetype kSeparatorLength = sizeof(kMessageSeparator) - 1;
} // namespace

QByteArray ComposeMessage(const QByteArray& name, const QByteArray& body)
{
    QByteArray message;
    message.reserve(name.size() + kSeparatorLength + body.size());
    message.append(name).append(kMessageSeparator, kSeparatorLength).append(body);
    return message;
}

MessageView ParseMessageView(QByteArrayView data)
{
    const QByteArrayView separator(kMessageSeparator, kSeparatorLength);
    const qsizetype first = data.indexOf(separator);
    MessageView result;
    // Pieces are cut left to right without overlap, so in "a | | b" the
    // separator occurs once: look for a second one after the first.
    if (first < 0 || data.indexOf(separator, first + kSeparatorLength) >= 0) {
        result.content = data;
        return result;
    }
    result.hasName = true;
    result.name = data.first(first);
    result.content = data.sliced(first + kSeparatorLength);
    return result;
}

ParsedMessage ParseMessage(const QByteArray& data)
{
    const MessageView view = ParseMessageView(data);
    if (!view.hasName)
        return {false, {}, data};
    return {true, view.name.toByteArray(), view.content.toByteArray()};
}

} // namespace karsidan::net
