#include "bench/bitslice/ProcessorInfo.h"

#include <cstdint>
#include <cstring>
#include <ctime>

#if defined(__x86_64__)
#include <cpuid.h>
#endif

namespace karsidan::bench {

namespace {

double ThreadSeconds()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) * 1e-9;
}

const char* AmdFamilyName(unsigned family)
{
    switch (family) {
    case 23: return " (Zen, Zen 2)";
    case 25: return " (Zen 3, Zen 4)";
    case 26: return " (Zen 5)";
    default: return "";
    }
}

} // namespace

std::string ProcessorFamily()
{
#if defined(__x86_64__)
    unsigned eax = 0, ebx = 0, ecx = 0, edx = 0;
    if (!__get_cpuid(0, &eax, &ebx, &ecx, &edx))
        return "unknown";
    char vendor[13] = {};
    std::memcpy(vendor, &ebx, 4);
    std::memcpy(vendor + 4, &edx, 4);
    std::memcpy(vendor + 8, &ecx, 4);
    __get_cpuid(1, &eax, &ebx, &ecx, &edx);
    unsigned family = (eax >> 8) & 0xF;
    unsigned model = (eax >> 4) & 0xF;
    if (family == 0xF)
        family += (eax >> 20) & 0xFF;
    if (family >= 6)
        model |= ((eax >> 16) & 0xF) << 4;
    std::string name = std::string(vendor) + " family " + std::to_string(family);
    if (std::strcmp(vendor, "AuthenticAMD") == 0)
        name += AmdFamilyName(family);
    return name + " model " + std::to_string(model);
#else
    return "unknown";
#endif
}

double MeasuredClockHz()
{
#if defined(__x86_64__)
    constexpr long kIterations = 20'000'000; // 32 dependent additions each
    double best = 1e9;
    for (int rep = 0; rep < 5; ++rep) {
        long n = kIterations;
        std::uint64_t x = 0;
        const double t0 = ThreadSeconds();
        __asm__ volatile("1:\n"
                         ".rept 32\n add $1, %1\n .endr\n"
                         "dec %0\n jnz 1b\n"
                         : "+r"(n), "+r"(x));
        const double t = ThreadSeconds() - t0;
        if (t < best)
            best = t;
    }
    return 32.0 * double(kIterations) / best;
#else
    return 0;
#endif
}

} // namespace karsidan::bench
