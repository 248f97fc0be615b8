#pragma once
// Turns the name a peer sent into a plain file name inside the receiving
// folder. The peer sends whatever it holds (often a full path of its own
// machine), and nothing it sends may reach outside the folder.

#include <QString>

namespace karsidan::net {

// Used when the peer's name gives no usable file name, or the file system
// refuses the name it gives.
inline constexpr char kFallbackFileName[] = "pesan.txt";

// Characters in the longest file name SafeFileName accepts.
inline constexpr qsizetype kMaxFileNameLength = 255;

// The last part after every "\" and "/", or an empty string when that part
// is unusable: empty, beginning with "." (hidden files such as .bashrc, our
// temporary files and the list of received files), a control character, a
// character Windows forbids in file names, a trailing dot or space, a
// reserved device name (CON, NUL, COM1, ...), or longer than 255
// characters.
QString SafeFileName(const QString& received);

// SafeFileName, or kFallbackFileName when that gives nothing.
QString StoredFileName(const QString& received);

// The n-th free-name variant of a file name: "laporan (2).txt" for n = 2,
// "catatan (3)" for a name without an extension.
QString NumberedFileName(const QString& name, int n);

} // namespace karsidan::net
