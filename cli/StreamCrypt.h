#pragma once
// Encrypt and decrypt chunk by chunk, in memory of a few chunks whatever
// the input's length, with the same output as EncryptWhole and
// DecryptWhole.

#include "cli/CryptInput.h"
#include "cli/CryptOptions.h"

// Raw bytes only: UTF-8 input must be checked whole first (EncryptWhole).
void EncryptStreamed(const CryptOptions& options, CryptInput& input);

// A file is counted in a first reading and decrypted in a second, so that
// nothing is written for a text that is not a cipher text; standard input
// is held in memory for that. What the count refuses goes to DecryptWhole,
// for its message. Throws CryptIoError also when a file changes between the
// two readings.
void DecryptStreamed(const CryptOptions& options, CryptInput& input);
