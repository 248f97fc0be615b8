#pragma once
// Standard output of karsidan-cli and the failures the commands report
// (exit code 1). Plain C++: the encrypt and decrypt commands load no Qt.

#include <stdexcept>
#include <string>
#include <string_view>

// An input or output failure; what() is the message for the user.
class CryptIoError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Writes all bytes to standard output, piece by piece as the
// streams hand them out. Throws CryptIoError ("Gagal menulis keluaran: ...")
// for a closed descriptor, a reader that has gone or a full disk.
void WriteCryptOutput(std::string_view bytes);
