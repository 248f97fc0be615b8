#pragma once
// The whole-text transform done entirely in character-per-bit form, step by
// step as the engine's reference: the yardstick for the 64-bit block path.

#include "cipher/reference/mdlTripleDes.h"

#include <string>
#include <string_view>

namespace karsidan::test {

std::string StringPathEncrypt(ReferenceTripleDes& engine, std::string_view text, std::string_view k1,
                              std::string_view k2, std::string_view k3);

// Returns the decrypted bytes with the padding still on.
std::string StringPathDecryptRaw(ReferenceTripleDes& engine, std::string_view cipher, std::string_view kA,
                                 std::string_view kB, std::string_view kC);

// 16 hex digits / 64-bit value helpers.
std::string ToHex64(unsigned long long value);
unsigned long long FromHex(std::string_view hex);
std::string HexToBytes(std::string_view hex);

} // namespace karsidan::test
