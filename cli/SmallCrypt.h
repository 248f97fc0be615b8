#pragma once
// Short inputs, a few kilobytes as a script encrypts them one by one, go
// through the whole-text engine: the streams' buffers and threads cost more
// to set up than such a text takes to encrypt.

#include "cli/CryptOptions.h"
#include "cli/CryptOutput.h"

#include <cstddef>
#include <string_view>

// Up to this many bytes an input counts as short.
inline constexpr std::size_t kShortInput = std::size_t{64} << 10;

// The input whole: UTF-8 text (with window line breaks) or, with --raw,
// bytes. Throws std::invalid_argument before writing anything.
void EncryptShort(const CryptOptions& options, std::string_view input, CryptOutput& output);

// Returns true when the text holds control bytes (not judged with --raw).
bool DecryptShort(const CryptOptions& options, std::string_view input, CryptOutput& output);
