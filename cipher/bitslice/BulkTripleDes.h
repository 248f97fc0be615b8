#pragma once
// Whole texts through the bitsliced kernels on all cores: byte text to hex
// digits and hex digits back to whole blocks, with at most the text and its
// digits in memory at once.

#include "cipher/bitslice/ParallelEcb.h"
#include "cipher/bitslice/RoundKeyMasks.h"
#include "cipher/bitslice/TripleDesBitslice.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace karsidan::bitslice {

// bytes completed with `pad` to whole blocks, three passes on the best
// kernel, 16 upper-case digits per block. The blocks are transformed in
// the upper half of the result and spread into digits in place.
std::string EncryptBytesToHex(std::string_view bytes, unsigned char pad, const RoundKeyMasks& masks,
                              const BlocksDone& progress = {});

// The digits '0'-'9' and 'A'-'F' of a cipher text, every other character
// skipped, as whole blocks of 8 bytes plus the digits left over.
struct HexBlocks {
    std::string bytes; // 8 per whole block; room for 8 more is reserved
    std::size_t blocks = 0;
    std::uint64_t tail = 0; // the digits after the last whole block, right-aligned
    int tailDigits = 0; // 0 to 15
};
HexBlocks DecodeHexBlocks(std::string_view cipher);

// Three passes over n blocks of 8 bytes in place, on the best kernel and as
// many cores as the work is worth.
void TransformBlocks(unsigned char* data, std::size_t n, const RoundKeyMasks& masks, const BlocksDone& progress = {});

} // namespace karsidan::bitslice
