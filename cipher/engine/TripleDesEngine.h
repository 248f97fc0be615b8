#pragma once
// Whole-text Triple DES (three keys, EDE, ECB) over code-page bytes.
// Texts are byte strings in the code page of CodePage.h; the keys come as
// one TripleDesKeys, made once per command.
//
// Every text, short or long, runs on the bitsliced kernels
// (cipher/bitslice): no table lookup and no branch depends on a key or on
// the text. Short texts take one batch on one core, long ones all cores.
// The character-per-bit form of the same cipher lives in
// cipher/reference, as the readable yardstick the tests hold this to.
//
// The engine keeps no state between calls; one object may run one
// transform at a time, and objects share nothing.

#include "cipher/keys/TripleDesKeys.h"

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

namespace karsidan {

class TripleDesEngine {
public:
    // Called now and then with blocks done so far and blocks in all passes.
    // It may throw to cancel: the exception passes to the caller and the
    // transform returns nothing.
    using Progress = std::function<void(std::size_t done, std::size_t total)>;

    // Outer spaces of the text are dropped; the last block is completed
    // with 0xB7. 16 upper-case digits per block.
    std::string TripleDesEncrypt(std::string_view text, const TripleDesKeys& keys, const Progress& progress = {});

    // Lenient: characters other than '0'-'9' and 'A'-'F' are skipped (check
    // with CheckCipherText first); digits short of a whole block are
    // completed with padding. Throws std::invalid_argument for an odd
    // number of digits, which leaves half a byte. Removes the padding: the
    // run of 0xB7 bytes at the very end, at most 7.
    std::string TripleDesDecrypt(std::string_view cipher, const TripleDesKeys& keys, const Progress& progress = {});
};

} // namespace karsidan
