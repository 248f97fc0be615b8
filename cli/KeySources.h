#pragma once
// Where the three keys of a crypt command come from, box by box: the
// option (-1, -2, -3), else the keys file (--keys-file, one key per line),
// else the environment (KARSIDAN_KEY1..3), else a question on the terminal
// without echo. The result is the three key texts in box order, as typed
// (UTF-8); checking them is the key rules' work, not this one's, except
// that a key holding a control character, which no key box could ever
// hold, is refused here.

#include <array>
#include <optional>
#include <stdexcept>
#include <string>

struct KeyArguments {
    std::array<std::optional<std::string>, 3> options; // -1, -2, -3
    std::optional<std::string> keysFile;
};

// A key source that gives no usable key (a keys file of the wrong shape, a
// control character, no key and no terminal): exit code 2. A keys file
// that cannot be opened or read is a CryptIoError, exit code 1.
class KeySourceError : public std::invalid_argument {
public:
    using std::invalid_argument::invalid_argument;
};

// Throws KeySourceError, or CryptIoError when the keys file cannot be read
// or the terminal fails midway.
std::array<std::string, 3> ReadKeyTexts(const KeyArguments& arguments);

// The keys of a keys file: three lines, LF or CR LF, a last line break or
// none, a UTF-8 byte-order mark at the start or none. Throws
// KeySourceError naming the file.
std::array<std::string, 3> ParseKeysFile(const std::string& content, const std::string& name);
