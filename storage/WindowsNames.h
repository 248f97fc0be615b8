#pragma once
// Windows' rules for file names, as plain string work so that they are
// tested on every system. The Windows build applies them to -o and the
// keys file before any system call sees the name: there "hasil." would
// quietly become "hasil", and "nul.txt" would swallow the output of a
// command that then reports success.

#include <string_view>

namespace karsidan::storage {

enum class WindowsName {
    Ordinary,
    Device, // CON, NUL, COM1, ...: a device, as /dev/null is on Linux
    Invalid, // a name Windows cannot hold, or holds under another name
};

// Every part of the path is looked at: characters Windows refuses
// (<>:"|?* and control characters), a trailing dot or space, a device
// name with an extension ("nul.txt", "con .log"). A drive ("C:") and the
// verbatim prefixes "\\?\" and "\\.\", which a user types only on purpose,
// pass.
WindowsName ClassifyWindowsPath(std::string_view path);

} // namespace karsidan::storage
