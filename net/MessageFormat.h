#pragma once
// One message per connection: name, " | ", body. No length prefix and no
// terminator; the message ends where the connection's data ends. Works on
// code-page bytes, one byte per character, so the rules below hold for the
// characters as well.

#include <QByteArray>
#include <QByteArrayView>

namespace karsidan::net {

// Where every copy listens unless told otherwise.
inline constexpr int kDefaultPort = 45660;

inline constexpr char kMessageSeparator[] = " | ";

struct ParsedMessage {
    bool hasName = false;
    QByteArray name; // empty when hasName is false
    QByteArray content; // the whole data when hasName is false
};

// The same split without copying; the views point into data.
struct MessageView {
    bool hasName = false;
    QByteArrayView name;
    QByteArrayView content;
};
MessageView ParseMessageView(QByteArrayView data);

// name + " | " + body, nothing trimmed or escaped.
QByteArray ComposeMessage(const QByteArray& name, const QByteArray& body);

// A name only when the separator occurs exactly once; otherwise the whole
// data is the content, unchanged.
ParsedMessage ParseMessage(const QByteArray& data);

} // namespace karsidan::net
