#pragma once
// Bitsliced Triple DES over all cores: the threads take steps of whole
// batches (the last may have a tail) from a shared counter until none is
// left, so a thread that starts late does less.

#include "cipher/bitslice/TripleDesBitslice.h"

#include <cstddef>
#include <functional>

namespace karsidan::bitslice {

// Called on the calling thread now and then with the blocks done so far.
// It may throw to cancel: the other threads stop after their current step
// and the exception passes to the caller; the data is then partly done.
using BlocksDone = std::function<void(std::size_t done)>;

// threads == 0: one per hardware thread. Same result as ThreePassEcbBytes.
void ThreePassEcbBytesParallel(unsigned char* data, std::size_t n, const std::array<DesPass, 3>& passes, Level level,
                               unsigned threads = 0, const BlocksDone& progress = {});

// The same with masks made beforehand (TripleDesKeys::Masks).
void ThreePassEcbBytesParallel(unsigned char* data, std::size_t n, const RoundKeyMasks& masks, Level level,
                               unsigned threads = 0, const BlocksDone& progress = {});

} // namespace karsidan::bitslice
