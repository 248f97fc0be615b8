#include "TripleDesBitslice.h"

#include "Kernels.h"
#include "RoundKeyMasks.h"

#include <cstring>
#include <memory>
#include <stdexcept>
#include <string>

namespace karsidan::bitslice {

namespace {

void RunBatches(Level level, std::uint64_t* blocks, std::size_t batches, const RoundKeyMasks& keys)
{
    switch (level) {
#if defined(__x86_64__)
    case Level::Avx512: detail::EcbAvx512(blocks, batches, keys); return;
    case Level::Avx2: detail::EcbAvx2(blocks, batches, keys); return;
#endif
    default: detail::EcbPortable(blocks, batches, keys); return;
    }
}

Level Narrower(Level level)
{
    return level == Level::Avx512 ? Level::Avx2 : Level::Portable;
}

} // namespace

void ThreePassEcb(std::uint64_t* blocks, std::size_t n, const std::array<DesPass, 3>& passes,
                  Level level)
{
    if (!IsSupported(level)) {
        throw std::invalid_argument(std::string("this processor cannot run the ") + LevelName(level) +
                                    " kernel");
    }
    if (n == 0) {
        return;
    }
    // 18 KiB: on the heap, so worker threads with small stacks are safe.
    const auto keys = std::make_unique<RoundKeyMasks>(MakeRoundKeyMasks(passes));
    for (;;) {
        const std::size_t width = BatchBlocks(level);
        const std::size_t batches = n / width;
        RunBatches(level, blocks, batches, *keys);
        blocks += batches * width;
        n -= batches * width;
        if (n == 0) {
            return;
        }
        if (level == Level::Portable) {
            break;
        }
        level = Narrower(level);
    }
    // Fewer than 64 blocks left: one padded batch.
    std::uint64_t tail[64] = {};
    std::memcpy(tail, blocks, n * sizeof(std::uint64_t));
    detail::EcbPortable(tail, 1, *keys);
    std::memcpy(blocks, tail, n * sizeof(std::uint64_t));
}

void TripleDesEcb(std::uint64_t* blocks, std::size_t n, std::uint64_t k1, std::uint64_t k2,
                  std::uint64_t k3, bool encrypt, Level level)
{
    if (encrypt) {
        ThreePassEcb(blocks, n, {{{k1, true}, {k2, false}, {k3, true}}}, level);
    } else {
        ThreePassEcb(blocks, n, {{{k3, false}, {k2, true}, {k1, false}}}, level);
    }
}

} // namespace karsidan::bitslice
