// Which kernels this machine can run: the processor must have the
// instructions (cpuid) and the operating system must save the wider
// registers on a context switch (xgetbv), or AVX code faults.
#include "cipher/bitslice/TripleDesBitslice.h"

#if defined(__x86_64__)
#include <cpuid.h>
#endif

namespace karsidan::bitslice {

namespace {

#if defined(__x86_64__)
std::uint64_t ReadXcr0()
{
    std::uint32_t eax = 0;
    std::uint32_t edx = 0;
    __asm__ volatile("xgetbv" : "=a"(eax), "=d"(edx) : "c"(0));
    return (std::uint64_t(edx) << 32) | eax;
}

Level DetectLevel()
{
    unsigned eax = 0, ebx = 0, ecx = 0, edx = 0;
    if (!__get_cpuid(1, &eax, &ebx, &ecx, &edx)) {
        return Level::Portable;
    }
    const bool osxsave = ecx & (1u << 27);
    const bool avx = ecx & (1u << 28);
    if (!osxsave || !avx) {
        return Level::Portable;
    }
    const std::uint64_t xcr0 = ReadXcr0();
    const bool ymmSaved = (xcr0 & 0x6) == 0x6; // SSE and AVX state
    const bool zmmSaved = (xcr0 & 0xE6) == 0xE6; // plus opmask and ZMM state
    if (!ymmSaved || __get_cpuid_max(0, nullptr) < 7) {
        return Level::Portable;
    }
    __cpuid_count(7, 0, eax, ebx, ecx, edx);
    const bool avx2 = ebx & (1u << 5);
    const bool avx512f = ebx & (1u << 16);
    if (avx512f && zmmSaved) {
        return Level::Avx512;
    }
    return avx2 ? Level::Avx2 : Level::Portable;
}
#else
Level DetectLevel() { return Level::Portable; }
#endif

} // namespace

Level BestLevel()
{
    static const Level level = DetectLevel();
    return level;
}

bool IsSupported(Level level) { return static_cast<int>(level) <= static_cast<int>(BestLevel()); }

const char* LevelName(Level level)
{
    switch (level) {
    case Level::Avx512: return "avx512";
    case Level::Avx2: return "avx2";
    default: return "portable";
    }
}

std::size_t BatchBlocks(Level level)
{
    switch (level) {
    case Level::Avx512: return 512;
    case Level::Avx2: return 256;
    default: return 64;
    }
}

} // namespace karsidan::bitslice
