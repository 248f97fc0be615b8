#pragma once
// The first reading of a text file, before anything is written: only
// whether all of it converts to the code page. A large file is checked in
// pieces on every core at once, the pieces handed out one at a time, so a
// core that another program keeps busy just takes fewer.

#include "cli/CryptInput.h"

#include <span>

// Returns the bytes read. Throws std::invalid_argument for malformed UTF-8
// or a character the code page cannot hold, naming the first in the file
// as a reading in order does; CryptIoError when reading fails. buffer is
// the caller's to reuse; any size will do.
unsigned long long CheckTextFile(CryptInput& input, std::span<char> buffer);
