#pragma once
// The instruction-set features the vector paths are chosen by. A feature
// counts only when the processor has it (cpuid) and the operating system
// saves the registers it uses on a context switch (XCR0, read by xgetbv):
// without that the first AVX instruction faults.

#include <cstdint>

namespace karsidan::cpu {

struct Features {
    bool avx2 = false; // with the YMM state saved
    // With the opmask and ZMM state saved.
    bool avx512f = false, avx512bw = false, avx512vbmi = false, avx512vbmi2 = false;
    bool bmi1 = false, bmi2 = false, popcnt = false;
};

// What cpuid and xgetbv answered, as far as the features need it.
struct CpuidWords {
    std::uint32_t maxLeaf = 0; // leaf 0, eax
    std::uint32_t leaf1Ecx = 0;
    std::uint32_t leaf7Ebx = 0; // subleaf 0
    std::uint32_t leaf7Ecx = 0;
    std::uint64_t xcr0 = 0; // only read when leaf 1 says OSXSAVE
};

// The features those words grant.
Features FeaturesOf(const CpuidWords& words) noexcept;

// This machine's, read once; all false on a processor other than x86-64.
const Features& Detected() noexcept;

} // namespace karsidan::cpu
