#pragma once
// Whole-input reading and output writing for the crypt commands, with the
// failures they report (exit code 1).

#include <QString>

#include <stdexcept>
#include <string>
#include <string_view>

// An input or output failure; what() is the message for the user.
class CryptIoError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// All of FILE, or of standard input when file is empty.
std::string ReadCryptInput(const QString& file);

// Writes all bytes to standard output and flushes.
void WriteCryptOutput(std::string_view bytes);
