#pragma once
// Whole texts on the 64-bit table kernel (DesKernel.h), as the engine ran
// short texts before it went table-free. Its S-box loads are indexed by key
// and text bits, so nothing in production calls it: it stays as a second
// implementation the tests hold the engine to and as the benchmarks'
// baseline. Same bytes as TripleDesEngine.

#include "cipher/keys/TripleDesKeys.h"

#include <string>
#include <string_view>

namespace karsidan {

std::string TableEncryptText(std::string_view text, const TripleDesKeys& keys);

// Lenient as TripleDesDecrypt: foreign characters skipped, whole bytes
// short of a block padded, an odd digit count refused, the padding removed.
std::string TableDecryptText(std::string_view cipher, const TripleDesKeys& keys);

} // namespace karsidan
