#include "cpu/CpuFeatures.h"

#if defined(__x86_64__)
#include <cpuid.h>
#endif

namespace karsidan::cpu {
namespace {

constexpr bool Bit(std::uint32_t word, unsigned bit) { return (word >> bit) & 1u; }

// XCR0: SSE and AVX (YMM) state; opmask, ZMM upper halves and ZMM16-31.
constexpr std::uint64_t kYmmState = 0x6;
constexpr std::uint64_t kZmmState = 0xE6;

#if defined(__x86_64__)
// xgetbv as an instruction: its intrinsic would need -mxsave on this file.
std::uint64_t ReadXcr0()
{
    std::uint32_t eax = 0;
    std::uint32_t edx = 0;
    __asm__ volatile("xgetbv" : "=a"(eax), "=d"(edx) : "c"(0));
    return (std::uint64_t(edx) << 32) | eax;
}

Features Read()
{
    CpuidWords words;
    unsigned eax = 0, ebx = 0, ecx = 0, edx = 0;
    words.maxLeaf = __get_cpuid_max(0, nullptr);
    if (words.maxLeaf < 1 || !__get_cpuid(1, &eax, &ebx, &ecx, &edx))
        return {};
    words.leaf1Ecx = ecx;
    if (words.maxLeaf >= 7 && __get_cpuid_count(7, 0, &eax, &ebx, &ecx, &edx)) {
        words.leaf7Ebx = ebx;
        words.leaf7Ecx = ecx;
    }
    // xgetbv faults unless the operating system has turned it on.
    if (Bit(words.leaf1Ecx, 27))
        words.xcr0 = ReadXcr0();
    return FeaturesOf(words);
}
#else
Features Read() { return {}; }
#endif

} // namespace

Features FeaturesOf(const CpuidWords& words) noexcept
{
    Features f;
    if (words.maxLeaf < 1)
        return f;
    f.popcnt = Bit(words.leaf1Ecx, 23);
    if (words.maxLeaf < 7)
        return f;
    f.bmi1 = Bit(words.leaf7Ebx, 3);
    f.bmi2 = Bit(words.leaf7Ebx, 8);
    const bool osxsave = Bit(words.leaf1Ecx, 27);
    const bool avx = Bit(words.leaf1Ecx, 28);
    if (!osxsave || !avx || (words.xcr0 & kYmmState) != kYmmState)
        return f;
    f.avx2 = Bit(words.leaf7Ebx, 5);
    if ((words.xcr0 & kZmmState) != kZmmState)
        return f;
    f.avx512f = Bit(words.leaf7Ebx, 16);
    f.avx512bw = Bit(words.leaf7Ebx, 30);
    f.avx512vbmi = Bit(words.leaf7Ecx, 1);
    f.avx512vbmi2 = Bit(words.leaf7Ecx, 6);
    return f;
}

const Features& Detected() noexcept
{
    static const Features features = Read();
    return features;
}

} // namespace karsidan::cpu
