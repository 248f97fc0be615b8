#pragma once
// The name field of an outgoing message. Only the last part of the saved
// path goes out, so the sender's folders and user name stay here, and the
// receiver gets a plain file name it can store.

#include <QByteArray>
#include <QString>

namespace karsidan::net {

// The part after the last "/" or "\" in code-page bytes. A character the
// code page cannot hold becomes "_", so a send never fails for its name;
// so does "|", which next to a space would read as a second separator and
// turn the name into part of the text.
QByteArray OutgoingFileName(const QString& savedFileName);

} // namespace karsidan::net
