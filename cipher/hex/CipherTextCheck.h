#pragma once
#include <string>
#include <string_view>

namespace karsidan {

// Checks that a text is a cipher text before it is decrypted: only hex
// digits (either case) and white space, and the digits number a multiple
// of 16. Returns the digits upper-cased with the white space removed.
// Throws std::invalid_argument with a message saying what is wrong.
std::string CheckCipherText(std::string_view text);

} // namespace karsidan
