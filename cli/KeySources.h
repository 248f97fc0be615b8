#pragma once
// Where the three keys of a crypt command come from, box by box: the
// option (-1, -2, -3), else the keys file (--keys-file, one key per line),
// else the environment (KARSIDAN_KEY1..3), else a question on the terminal
// without echo. The result is the three key texts in box order, as typed
// (UTF-8); checking them is the key rules' work, not this one's.

#include <array>
#include <optional>
#include <stdexcept>
#include <string>

struct KeyArguments {
    std::array<std::optional<std::string>, 3> options; // -1, -2, -3
    std::optional<std::string> keysFile;
};

// A key source that failed (an unreadable keys file, no key and no
// terminal): exit code 2.
class KeySourceError : public std::invalid_argument {
public:
    using std::invalid_argument::invalid_argument;
};

// Throws KeySourceError, or CryptIoError when the terminal fails midway.
std::array<std::string, 3> ReadKeyTexts(const KeyArguments& arguments);

// The keys of a keys file: three lines, LF or CR LF, a last line break or
// none. Throws KeySourceError naming the file.
std::array<std::string, 3> ParseKeysFile(const std::string& content, const std::string& name);
