#pragma once
// Encrypt and decrypt chunk by chunk, in memory of a few chunks whatever
// the input's length, with the same output as the engine over the whole
// input.

#include "cli/CryptInput.h"
#include "cli/CryptOptions.h"
#include "cli/CryptOutput.h"

// Raw bytes, as they are.
void EncryptStreamed(const CryptOptions& options, CryptInput& input, CryptOutput& output);

struct DecryptOutcome {
    bool controlBytes = false; // the text holds control bytes: a wrong key?
};

// A file is counted in a first reading and decrypted in a second, so that
// nothing is written for a text that is not a cipher text; standard input
// is held in memory for that. What is not a cipher text is refused with
// a message naming its first bad character. Without --raw the text goes out as UTF-8 with LF line
// breaks. Throws CryptIoError also when a file changes between the two
// readings.
DecryptOutcome DecryptStreamed(const CryptOptions& options, CryptInput& input, CryptOutput& output);
