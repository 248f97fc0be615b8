#pragma once
// Bitsliced Triple DES in ECB mode: 64, 256 or 512 blocks at a time, each
// bit of a block in its own machine word, the S-boxes as gate circuits.
// No table lookup and no branch depends on a key or on the data.
//
// Blocks are 8 bytes packed big-endian into a uint64_t (byte 0 most
// significant). Keys are the 8 key bytes packed the same way; parity bits
// are ignored as DES ignores them.

#include <array>
#include <cstddef>
#include <cstdint>

namespace karsidan::bitslice {

enum class Level { Portable, Avx2, Avx512 };

// The widest kernel this processor and its operating system can run.
Level BestLevel();

// True when the processor and operating system can run that kernel.
bool IsSupported(Level level);

// "portable", "avx2" or "avx512".
const char* LevelName(Level level);

// Blocks one kernel call transforms together: 64, 256 or 512.
std::size_t BatchBlocks(Level level);

// The three passes' round keys as the kernels take them (RoundKeyMasks.h).
struct RoundKeyMasks;

// One DES pass over every block: the key and the direction.
struct DesPass {
    std::uint64_t key;
    bool encrypt;
};

// Three DES passes over n blocks in place, in the order given; the data
// stays bitsliced between passes. A tail shorter than one batch runs as a
// batch padded with zeros. Throws std::invalid_argument for a level this
// machine cannot run.
void ThreePassEcb(std::uint64_t* blocks, std::size_t n, const std::array<DesPass, 3>& passes, Level level);

// The same over n blocks of 8 bytes each, in text order, in place.
void ThreePassEcbBytes(unsigned char* data, std::size_t n, const std::array<DesPass, 3>& passes, Level level);
// The same with masks made once beforehand (TripleDesKeys::Masks).
void ThreePassEcbBytes(unsigned char* data, std::size_t n, const RoundKeyMasks& masks, Level level);

// Three-key EDE. encrypt: C = E_k3(D_k2(E_k1(P)));
// decrypt: P = D_k1(E_k2(D_k3(C))).
void TripleDesEcb(std::uint64_t* blocks, std::size_t n, std::uint64_t k1, std::uint64_t k2, std::uint64_t k3,
                  bool encrypt, Level level);

} // namespace karsidan::bitslice
