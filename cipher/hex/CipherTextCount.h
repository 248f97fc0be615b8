#pragma once
// A fast count over a piece of cipher text, so that a whole file can be
// checked before the first byte of its decryption is written: the same
// verdict as CheckCipherText (digits of either case and white space only,
// the digits a multiple of 16), 16 characters per step.

#include <cstddef>
#include <string_view>

namespace karsidan {

struct CipherTextCount {
    std::size_t digits = 0; // '0'-'9', 'A'-'F' and 'a'-'f'
    bool lowerCase = false; // some of them 'a'-'f'
    bool foreign = false; // a character that is neither a digit nor white space

    // What CheckCipherText accepts.
    bool Acceptable() const noexcept { return !foreign && digits % 16 == 0; }
};

// Adds the characters of text to count.
void CountCipherText(std::string_view text, CipherTextCount& count) noexcept;

} // namespace karsidan
