#include "cipher/bitslice/TripleDesBitslice.h"

#include "cipher/bitslice/Kernels.h"
#include "cipher/bitslice/RoundKeyMasks.h"

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

void Run(unsigned char* data, std::size_t n, const RoundKeyMasks& keys, Level level, bool bytesLittleEndian)
{
    if (!IsSupported(level)) {
        throw std::invalid_argument(std::string("this processor cannot run the ") + LevelName(level) + " kernel");
    }
    if (n == 0) {
        return;
    }
    const std::size_t width = BatchBlocks(level);
    const std::size_t batches = n / width;
    RunBatches(level, data, batches, keys, bytesLittleEndian);
    const std::size_t rest = n - batches * width;
    if (rest == 0) {
        return;
    }
    // The tail in one padded batch: a batch of any width costs about the
    // same few microseconds, so a narrower kernel would gain nothing.
    alignas(64) unsigned char tail[512 * 8] = {};
    unsigned char* last = data + batches * width * 8;
    std::memcpy(tail, last, rest * 8);
    RunBatches(level, tail, 1, keys, bytesLittleEndian);
    std::memcpy(last, tail, rest * 8);
}

void Run(unsigned char* data, std::size_t n, const std::array<DesPass, 3>& passes, Level level, bool bytesLittleEndian)
{
    // 45 KiB: on the heap, so worker threads with small stacks are safe.
    const auto keys = std::make_unique_for_overwrite<RoundKeyMasks>();
    FillRoundKeyMasks(*keys, passes);
    Run(data, n, *keys, level, bytesLittleEndian);
}

} // namespace

void ThreePassEcb(std::uint64_t* blocks, std::size_t n, const std::array<DesPass, 3>& passes, Level level)
{
    Run(reinterpret_cast<unsigned char*>(blocks), n, passes, level, false);
}

void ThreePassEcbBytes(unsigned char* data, std::size_t n, const std::array<DesPass, 3>& passes, Level level)
{
    // On a big-endian machine a native load of 8 bytes is the packed value.
    Run(data, n, passes, level, std::endian::native == std::endian::little);
}

void ThreePassEcbBytes(unsigned char* data, std::size_t n, const RoundKeyMasks& masks, Level level)
{
    Run(data, n, masks, level, std::endian::native == std::endian::little);
}

void TripleDesEcb(std::uint64_t* blocks, std::size_t n, std::uint64_t k1, std::uint64_t k2, std::uint64_t k3,
                  bool encrypt, Level level)
{
    if (encrypt) {
        ThreePassEcb(blocks, n, {{{k1, true}, {k2, false}, {k3, true}}}, level);
    } else {
        ThreePassEcb(blocks, n, {{{k3, false}, {k2, true}, {k1, false}}}, level);
    }
}

} // namespace karsidan::bitslice
