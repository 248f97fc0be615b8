#pragma once
// Encryption of UTF-8 text: converted to the code page with the window's
// line breaks (CR LF) and encrypted chunk by chunk. Nothing is written
// before the whole text is known to convert: a file is read twice, first
// only to check it; standard input is held in memory for that. Output to
// a file that appears only when all is written (-o) needs neither: a file
// is read once.

#include "cli/CryptInput.h"
#include "cli/CryptOptions.h"
#include "cli/CryptOutput.h"

// Throws std::invalid_argument for malformed UTF-8 or a character the code
// page cannot hold (before any output), CryptIoError when reading or
// writing fails or the file changes between the two readings.
void EncryptText(const CryptOptions& options, CryptInput& input, CryptOutput& output);
