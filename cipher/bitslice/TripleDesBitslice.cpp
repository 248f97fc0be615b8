#include "TripleDesBitslice.h"

#include "Kernels.h"
#include "RoundKeyMasks.h"

#include <bit>
#include <cstring>
#include <memory>
#include <stdexcept>
#include <string>

namespace karsidan::bitslice {

namespace {

void RunBatches(Level level, unsigned char* data, std::size_t batches, const RoundKeyMasks& keys,
                bool bytesLittleEndian)
{
    switch (level) {
#if defined(__x86_64__)
    case Level::Avx512: detail::EcbAvx512(data, batches, keys, bytesLittleEndian); return;
    case Level::Avx2: detail::EcbAvx2(data, batches, keys, bytesLittleEndian); return;
#endif
    default: detail::EcbPortable(data, batches, keys, bytesLittleEndian); return;
    }
}

Level Narrower(Level level)
{
    return level == Level::Avx512 ? Level::Avx2 : Level::Portable;
}

void Run(unsigned char* data, std::size_t n, const std::array<DesPass, 3>& passes, Level level,
         bool bytesLittleEndian)
{
    if (!IsSupported(level)) {
        throw std::invalid_argument(std::string("this processor cannot run the ") + LevelName(level) +
                                    " kernel");
    }
    if (n == 0) {
        return;
    }
    // 45 KiB: on the heap, so worker threads with small stacks are safe.
    const auto keys = std::make_unique<RoundKeyMasks>(MakeRoundKeyMasks(passes));
    for (;;) {
        const std::size_t width = BatchBlocks(level);
        const std::size_t batches = n / width;
        RunBatches(level, data, batches, *keys, bytesLittleEndian);
        data += batches * width * 8;
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
    unsigned char tail[64 * 8] = {};
    std::memcpy(tail, data, n * 8);
    detail::EcbPortable(tail, 1, *keys, bytesLittleEndian);
    std::memcpy(data, tail, n * 8);
}

} // namespace

void ThreePassEcb(std::uint64_t* blocks, std::size_t n, const std::array<DesPass, 3>& passes,
                  Level level)
{
    Run(reinterpret_cast<unsigned char*>(blocks), n, passes, level, false);
}

void ThreePassEcbBytes(unsigned char* data, std::size_t n, const std::array<DesPass, 3>& passes,
                       Level level)
{
    // On a big-endian machine a native load of 8 bytes is the packed value.
    Run(data, n, passes, level, std::endian::native == std::endian::little);
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
