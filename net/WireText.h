#pragma once
// Text <-> bytes on the wire: the single-byte code page, one byte per
// character, the same on both ends.

#include <QByteArray>
#include <QString>

namespace karsidan::net {

// Throws karsidan::UnmappableCharacterError (std::invalid_argument) for a
// character the code page cannot carry; never substitutes "?".
QByteArray ToWireBytes(const QString& text);

// Every byte maps to a character, so this never fails.
QString FromWireBytes(const QByteArray& bytes);

} // namespace karsidan::net
