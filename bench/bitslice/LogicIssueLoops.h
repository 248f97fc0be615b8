#pragma once
// Straight runs of one AVX-512 logic instruction, 24 per loop iteration
// (see LogicIssueLoops.cpp). x86-64 with AVX-512 only.

#include <cstdint>

namespace karsidan::bench {

enum class LogicLoop {
    TernarySameTwo, // vpternlogq, two operands the same two registers every time
    TernaryThree, // vpternlogq, three distinct registers, each written shortly before
    TernaryTwo, // vpternlogq, two distinct registers and one fixed one
    XorTwo, // vpxorq, two distinct registers
    YmmTernaryThree, // as TernaryThree on 256-bit registers
    TernaryOneFresh, // vpternlogq, one register written shortly before, two never written in the loop
    TernaryXorMix, // TernaryThree and XorTwo alternating
    TernaryChain, // vpternlogq, each reading the one before: latency
    XorChain, // vpxorq, each reading the one before: latency
};

constexpr int kLogicLoopOps = 24;

void RunLogicLoop(LogicLoop loop, long iterations);

// The eight ternary S-box circuits and the round's 80 two-input XORs,
// `rounds` times over registers (SboxRoundLoop.cpp); the result goes to
// seed[0].
constexpr int kSboxRoundWords = 6;
void RunSboxRounds(long rounds, std::uint64_t seed[kSboxRoundWords]);

// Both transpositions of one 4 KiB batch, `batches` times in place
// (TransposeLoop.cpp).
void RunTranspositions(long batches, unsigned char* batch);

} // namespace karsidan::bench
