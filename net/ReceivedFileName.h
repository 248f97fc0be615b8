#pragma once
// Turns the name a peer sent into a plain file name inside the receiving
// folder. The peer sends whatever it holds (often a full path of its own
// machine), and nothing it sends may reach outside the folder.

#include <QString>

namespace karsidan::net {

// Temporary files in the receiving folder start with this; no received
// name may.
inline constexpr char kTemporaryPrefix[] = ".karsidan-";

// Used when the peer's name gives no usable file name.
inline constexpr char kFallbackFileName[] = "pesan.txt";

// The last part after every "\" and "/", or an empty string when that part
// is unusable: empty, "." or "..", a control character, a character
// Windows forbids in file names, a trailing dot or space, a reserved device
// name (CON, NUL, COM1, ...), one of our temporary names, or longer than
// 255 characters.
QString SafeFileName(const QString& received);

// SafeFileName, or kFallbackFileName when that gives nothing.
QString StoredFileName(const QString& received);

} // namespace karsidan::net
