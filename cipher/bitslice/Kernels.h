#pragma once
// The three builds of the bitsliced kernel, each compiled for its own
// instruction set. Callers go through TripleDesBitslice.h, which checks
// that the processor can run the one it picks.

#include "RoundKeyMasks.h"

#include <cstddef>
#include <cstdint>

namespace karsidan::bitslice::detail {

// Transforms batches * BatchBlocks(level) blocks in place.
void EcbPortable(std::uint64_t* blocks, std::size_t batches, const RoundKeyMasks& keys);
#if defined(__x86_64__)
void EcbAvx2(std::uint64_t* blocks, std::size_t batches, const RoundKeyMasks& keys);
void EcbAvx512(std::uint64_t* blocks, std::size_t batches, const RoundKeyMasks& keys);
#endif

} // namespace karsidan::bitslice::detail
