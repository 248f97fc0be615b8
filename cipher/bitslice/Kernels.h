#pragma once
// The three builds of the bitsliced kernel, each compiled for its own
// instruction set. Callers go through TripleDesBitslice.h, which checks
// that the processor can run the one it picks.

#include "cipher/bitslice/RoundKeyMasks.h"

#include <cstddef>
#include <cstdint>

namespace karsidan::bitslice::detail {

// Transforms batches * BatchBlocks(level) blocks of 8 bytes in place.
// bytesLittleEndian: each block is a byte string and this machine is
// little-endian; otherwise each block is a native uint64_t whose most
// significant bit is the first DES bit.
void EcbPortable(unsigned char* data, std::size_t batches, const RoundKeyMasks& keys, bool bytesLittleEndian);
#if defined(__x86_64__)
void EcbAvx2(unsigned char* data, std::size_t batches, const RoundKeyMasks& keys, bool bytesLittleEndian);
void EcbAvx512(unsigned char* data, std::size_t batches, const RoundKeyMasks& keys, bool bytesLittleEndian);
#endif

} // namespace karsidan::bitslice::detail
