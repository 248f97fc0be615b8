#pragma once
// Output of the crypt commands and the failures they report (exit code 1).

#include <stdexcept>
#include <string>
#include <string_view>

// An input or output failure; what() is the message for the user.
class CryptIoError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Writes all bytes to standard output with write(2), piece by piece as the
// streams hand them out. Throws CryptIoError ("Gagal menulis keluaran: ...").
void WriteCryptOutput(std::string_view bytes);
