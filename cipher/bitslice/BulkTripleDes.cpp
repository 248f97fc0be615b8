#include "BulkTripleDes.h"

#include "HexCodec.h"

#include <algorithm>
#include <cstring>
#include <thread>

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

} // namespace

void TransformBlocks(unsigned char* data, std::size_t n, const std::array<DesPass, 3>& passes,
                     const BlocksDone& progress)
{
    ThreePassEcbBytesParallel(data, n, passes, BestLevel(), ThreadsFor(n), progress);
}

std::string EncryptBytesToHex(std::string_view bytes, unsigned char pad,
                              const std::array<DesPass, 3>& passes, const BlocksDone& progress)
{
    const std::size_t blocks = (bytes.size() + 7) / 8;
    std::string hex(16 * blocks, '\0');
    auto* work = reinterpret_cast<unsigned char*>(hex.data()) + 8 * blocks;
    if (!bytes.empty()) std::memcpy(work, bytes.data(), bytes.size());
    std::memset(work + bytes.size(), pad, 8 * blocks - bytes.size());
    TransformBlocks(work, blocks, passes, progress);
    EncodeHex(work, 8 * blocks, hex.data());
    return hex;
}

HexBlocks DecodeHexBlocks(std::string_view cipher)
{
    HexBlocks out;
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
