#include "cipher/bitslice/BulkTripleDes.h"

#include "cipher/hex/HexCodec.h"

#include <algorithm>
#include <cstdint>
#include <thread>

#if defined(__linux__)
#include <sys/mman.h>
#endif

namespace karsidan::bitslice {

namespace {

// A thread costs tens of microseconds to start; give each at least about
// 128 KiB, a few hundred microseconds of work.
constexpr std::size_t kMinBlocksPerThread = 16384;

unsigned ThreadsFor(std::size_t blocks)
{
    // Asking the system costs a file read; the answer does not change.
    static const std::size_t cores = std::max(1u, std::thread::hardware_concurrency());
    return unsigned(std::clamp<std::size_t>(blocks / kMinBlocksPerThread, 1, cores));
}

// An empty string with room for `size` bytes of a whole text. Every first
// touch of a 4 KiB page is a fault, and for hundreds of megabytes the
// faults take longer than the cipher; where the system hands out huge
// pages on request, ask for them before the buffer is first written.
std::string LargeBuffer(std::size_t size)
{
    std::string s;
    s.reserve(size);
#if defined(__linux__) && defined(MADV_HUGEPAGE)
    constexpr std::uintptr_t kHuge = std::uintptr_t{2} << 20;
    if (size >= 2 * kHuge) {
        const auto start = reinterpret_cast<std::uintptr_t>(s.data());
        const std::uintptr_t begin = (start + kHuge - 1) & ~(kHuge - 1);
        const std::uintptr_t end = (start + size) & ~(kHuge - 1);
        if (end > begin) {
            // Only a hint: without huge pages the buffer works all the same.
            madvise(reinterpret_cast<void*>(begin), end - begin, MADV_HUGEPAGE);
        }
    }
#endif
    return s;
}

} // namespace

void TransformBlocks(unsigned char* data, std::size_t n, const RoundKeyMasks& masks, const BlocksDone& progress)
{
    ThreePassEcbBytesParallel(data, n, masks, BestLevel(), ThreadsFor(n), progress);
}

std::string EncryptBytesToHex(std::string_view bytes, unsigned char pad, const RoundKeyMasks& masks,
                              const BlocksDone& progress)
{
    const std::size_t blocks = (bytes.size() + 7) / 8;
    // The blocks go in the upper half: written once, not zeroed first.
    std::string hex = LargeBuffer(16 * blocks);
    hex.append(8 * blocks, '\0');
    hex.append(bytes);
    hex.append(8 * blocks - bytes.size(), static_cast<char>(pad));
    auto* work = reinterpret_cast<unsigned char*>(hex.data()) + 8 * blocks;
    TransformBlocks(work, blocks, masks, progress);
    EncodeHex(work, 8 * blocks, hex.data());
    return hex;
}

HexBlocks DecodeHexBlocks(std::string_view cipher)
{
    HexBlocks out;
    out.bytes = LargeBuffer((cipher.size() + 1) / 2 + 8);
    out.bytes.resize((cipher.size() + 1) / 2 + 8);
    auto* data = reinterpret_cast<unsigned char*>(out.bytes.data());
    const std::size_t digits = DecodeHex(cipher, data);
    out.blocks = digits / 16;
    out.tailDigits = int(digits % 16);
    const unsigned char* tail = data + 8 * out.blocks;
    for (int d = 0; d < out.tailDigits; ++d) {
        const unsigned nibble = (d % 2 == 0) ? tail[d / 2] >> 4 : tail[d / 2] & 15u;
        out.tail = (out.tail << 4) | nibble;
    }
    out.bytes.resize(8 * out.blocks);
    return out;
}

} // namespace karsidan::bitslice
