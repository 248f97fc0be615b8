#pragma once
// Encrypt and decrypt over the whole input at once, through the engine:
// for text converted from UTF-8, which has to be checked whole before the
// first byte is written, and for cipher texts the check refuses, whose
// message names the first bad character.

#include "cli/CryptOptions.h"

#include <string>

// Prints the cipher text and a newline. Throws std::invalid_argument for
// text the code page cannot hold, CryptIoError when writing fails.
void EncryptWhole(const CryptOptions& options, std::string input);

// Prints the text. Throws std::invalid_argument for what is not a cipher
// text, CryptIoError when writing fails.
void DecryptWhole(const CryptOptions& options, std::string input);
