// The features against libgcc's own detection on this machine, and what
// the operating system's register saving takes away from what cpuid says.
#include "cpu/CpuFeatures.h"

#include <gtest/gtest.h>

namespace karsidan::cpu {
namespace {

// A processor with everything the vector paths use, on an operating system
// that saves every register.
CpuidWords Everything()
{
    CpuidWords w;
    w.maxLeaf = 13;
    w.leaf1Ecx = (1u << 23) | (1u << 27) | (1u << 28); // POPCNT, OSXSAVE, AVX
    w.leaf7Ebx = (1u << 3) | (1u << 5) | (1u << 8) | (1u << 16) | (1u << 30); // BMI1, AVX2, BMI2, F, BW
    w.leaf7Ecx = (1u << 1) | (1u << 6); // VBMI, VBMI2
    w.xcr0 = 0xE7;
    return w;
}

TEST(CpuFeatures, EverythingWhenTheProcessorHasItAndTheRegistersAreSaved)
{
    const Features f = FeaturesOf(Everything());
    EXPECT_TRUE(f.avx2);
    EXPECT_TRUE(f.avx512f);
    EXPECT_TRUE(f.avx512bw);
    EXPECT_TRUE(f.avx512vbmi);
    EXPECT_TRUE(f.avx512vbmi2);
    EXPECT_TRUE(f.bmi1);
    EXPECT_TRUE(f.bmi2);
    EXPECT_TRUE(f.popcnt);
}

TEST(CpuFeatures, NoAvx512WhenTheZmmStateIsNotSaved)
{
    for (const std::uint64_t xcr0 : {0x07u, 0x27u, 0x67u, 0xA7u, 0xC7u}) {
        CpuidWords w = Everything();
        w.xcr0 = xcr0;
        const Features f = FeaturesOf(w);
        EXPECT_TRUE(f.avx2) << std::hex << xcr0;
        EXPECT_FALSE(f.avx512f || f.avx512bw || f.avx512vbmi || f.avx512vbmi2) << std::hex << xcr0;
        EXPECT_TRUE(f.bmi2) << "not a register feature";
    }
}

TEST(CpuFeatures, NoAvxAtAllWithoutTheYmmStateOrOsxsave)
{
    CpuidWords noYmm = Everything();
    noYmm.xcr0 = 0x3; // x87 and SSE only
    CpuidWords noOsxsave = Everything();
    noOsxsave.leaf1Ecx &= ~(1u << 27);
    CpuidWords noAvx = Everything();
    noAvx.leaf1Ecx &= ~(1u << 28);
    for (const CpuidWords& w : {noYmm, noOsxsave, noAvx}) {
        const Features f = FeaturesOf(w);
        EXPECT_FALSE(f.avx2 || f.avx512f || f.avx512bw || f.avx512vbmi || f.avx512vbmi2);
        EXPECT_TRUE(f.popcnt && f.bmi1 && f.bmi2);
    }
}

TEST(CpuFeatures, LeafSevenIsReadOnlyWhereItExists)
{
    CpuidWords w = Everything();
    w.maxLeaf = 6;
    const Features f = FeaturesOf(w);
    EXPECT_FALSE(f.avx2 || f.avx512f || f.bmi1 || f.bmi2);
    EXPECT_TRUE(f.popcnt);
}

#if defined(__x86_64__) && defined(__GNUC__)
TEST(CpuFeatures, AgreesWithTheCompilersOwnDetection)
{
    // libgcc checks cpuid and the operating system's register saving too.
    __builtin_cpu_init();
    const Features& f = Detected();
    EXPECT_EQ(f.avx2, bool(__builtin_cpu_supports("avx2")));
    EXPECT_EQ(f.avx512f, bool(__builtin_cpu_supports("avx512f")));
    EXPECT_EQ(f.avx512bw, bool(__builtin_cpu_supports("avx512bw")));
    EXPECT_EQ(f.avx512vbmi, bool(__builtin_cpu_supports("avx512vbmi")));
    EXPECT_EQ(f.avx512vbmi2, bool(__builtin_cpu_supports("avx512vbmi2")));
    EXPECT_EQ(f.bmi1, bool(__builtin_cpu_supports("bmi")));
    EXPECT_EQ(f.bmi2, bool(__builtin_cpu_supports("bmi2")));
    EXPECT_EQ(f.popcnt, bool(__builtin_cpu_supports("popcnt")));
}
#endif

} // namespace
} // namespace karsidan::cpu
