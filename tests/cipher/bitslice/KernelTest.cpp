// Every kernel this machine can run against the plain reference DES: random
// keys and blocks, counts on both sides of every batch width, all pass
// directions, the published vectors, and no write past the last block.
#include "cipher/bitslice/TripleDesBitslice.h"
#include "tests/cipher/bitslice/KnownAnswerVectors.h"
#include "tests/cipher/bitslice/ReferenceDes.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace karsidan::bitslice::test {
namespace {

constexpr std::size_t kCounts[] = {1,   2,   7,   63,  64,  65,  127,  128,  129,  255, 256,
                                   257, 319, 511, 512, 513, 767, 1023, 1024, 1025, 1537};
constexpr std::uint64_t kCanary = 0xC0FFEE00DEADBEEF;

class KernelTest : public ::testing::TestWithParam<Level> {
protected:
    void SetUp() override
    {
        if (!IsSupported(GetParam())) {
            GTEST_SKIP() << "this processor cannot run the " << LevelName(GetParam()) << " kernel";
        }
    }
};

std::vector<std::uint64_t> RandomBlocks(std::mt19937_64& rng, std::size_t n)
{
    std::vector<std::uint64_t> v(n);
    for (auto& b : v)
        b = rng();
    return v;
}

// Runs the kernel on a copy with canaries behind the last block.
std::vector<std::uint64_t> RunGuarded(const std::vector<std::uint64_t>& in, const std::array<DesPass, 3>& passes,
                                      Level level)
{
    std::vector<std::uint64_t> buffer(in);
    buffer.resize(in.size() + 8, kCanary);
    ThreePassEcb(buffer.data(), in.size(), passes, level);
    for (std::size_t i = in.size(); i < buffer.size(); ++i) {
        EXPECT_EQ(buffer[i], kCanary) << "wrote past block " << in.size();
    }
    buffer.resize(in.size());
    return buffer;
}

TEST_P(KernelTest, TripleDesMatchesReferenceAroundBatchBoundaries)
{
    std::mt19937_64 rng(static_cast<unsigned>(GetParam()) * 7919 + 1);
    for (std::size_t n : kCounts) {
        const std::uint64_t k1 = rng(), k2 = rng(), k3 = rng();
        const auto plain = RandomBlocks(rng, n);
        std::vector<std::uint64_t> cipher(plain);
        TripleDesEcb(cipher.data(), n, k1, k2, k3, true, GetParam());
        for (std::size_t i = 0; i < n; ++i) {
            ASSERT_EQ(cipher[i], ReferenceTripleDes(plain[i], k1, k2, k3, true)) << n << " blocks, block " << i;
        }
        std::vector<std::uint64_t> back(cipher);
        TripleDesEcb(back.data(), n, k1, k2, k3, false, GetParam());
        ASSERT_EQ(back, plain) << n << " blocks";
    }
}

TEST_P(KernelTest, AnyDirectionsPerPassMatchReference)
{
    std::mt19937_64 rng(42);
    for (int directions = 0; directions < 8; ++directions) {
        const std::array<DesPass, 3> passes = {
            {{rng(), (directions & 1) != 0}, {rng(), (directions & 2) != 0}, {rng(), (directions & 4) != 0}}};
        const std::size_t n = BatchBlocks(GetParam()) + 3 + std::size_t(directions);
        const auto in = RandomBlocks(rng, n);
        const auto out = RunGuarded(in, passes, GetParam());
        for (std::size_t i = 0; i < n; ++i) {
            std::uint64_t want = in[i];
            for (const DesPass& p : passes)
                want = ReferenceDes(want, p.key, p.encrypt);
            ASSERT_EQ(out[i], want) << "directions " << directions << ", block " << i;
        }
    }
}

TEST_P(KernelTest, NeverWritesPastTheLastBlock)
{
    std::mt19937_64 rng(7);
    const std::array<DesPass, 3> passes = {{{rng(), true}, {rng(), false}, {rng(), true}}};
    for (std::size_t n : kCounts) {
        const auto in = RandomBlocks(rng, n);
        const auto out = RunGuarded(in, passes, GetParam());
        ASSERT_EQ(out.size(), n);
        ASSERT_EQ(out[n - 1], ReferenceTripleDes(in[n - 1], passes[0].key, passes[1].key, passes[2].key, true));
    }
}

TEST_P(KernelTest, PublishedDesVectorsInEveryBatchPosition)
{
    // A single DES is three passes E_k D_k E_k; vectors cycle through a
    // batch and a half so each lands on many lanes and bit rows.
    const std::size_t n = BatchBlocks(GetParam()) * 3 / 2 + 5;
    constexpr std::size_t kCount = std::size(kDesVectors);
    for (std::size_t shift = 0; shift < kCount; ++shift) {
        const DesVector& v = kDesVectors[shift];
        std::vector<std::uint64_t> blocks(n, v.plain);
        ThreePassEcb(blocks.data(), n, {{{v.key, true}, {v.key, false}, {v.key, true}}}, GetParam());
        for (std::size_t i = 0; i < n; ++i)
            ASSERT_EQ(blocks[i], v.cipher) << i;
        ThreePassEcb(blocks.data(), n, {{{v.key, false}, {v.key, true}, {v.key, false}}}, GetParam());
        for (std::size_t i = 0; i < n; ++i)
            ASSERT_EQ(blocks[i], v.plain) << i;
    }
}

TEST_P(KernelTest, PublishedTripleDesVectors)
{
    const std::size_t n = BatchBlocks(GetParam()) + 1;
    std::vector<std::uint64_t> blocks(n);
    for (std::size_t i = 0; i < n; ++i)
        blocks[i] = kTripleDesVectors[i % 3].plain;
    const TripleDesVector& v = kTripleDesVectors[0];
    TripleDesEcb(blocks.data(), n, v.k1, v.k2, v.k3, true, GetParam());
    for (std::size_t i = 0; i < n; ++i)
        ASSERT_EQ(blocks[i], kTripleDesVectors[i % 3].cipher) << i;
    TripleDesEcb(blocks.data(), n, v.k1, v.k2, v.k3, false, GetParam());
    for (std::size_t i = 0; i < n; ++i)
        ASSERT_EQ(blocks[i], kTripleDesVectors[i % 3].plain) << i;
}

TEST_P(KernelTest, ByteStringsMatchReferenceOnTheirBigEndianValues)
{
    std::mt19937_64 rng(99);
    const std::array<DesPass, 3> passes = {{{rng(), true}, {rng(), false}, {rng(), true}}};
    for (std::size_t n : {std::size_t(1), BatchBlocks(GetParam()) - 1, BatchBlocks(GetParam()) + 9}) {
        // One spare byte in front, so the blocks are not 8-byte aligned.
        std::vector<unsigned char> bytes(n * 8 + 1);
        for (auto& b : bytes)
            b = static_cast<unsigned char>(rng());
        const std::vector<unsigned char> before(bytes);
        ThreePassEcbBytes(bytes.data() + 1, n, passes, GetParam());
        for (std::size_t i = 0; i < n; ++i) {
            std::uint64_t in = 0, out = 0;
            for (int k = 0; k < 8; ++k) {
                in = (in << 8) | before[1 + 8 * i + k];
                out = (out << 8) | bytes[1 + 8 * i + k];
            }
            ASSERT_EQ(out, ReferenceTripleDes(in, passes[0].key, passes[1].key, passes[2].key, true))
                << n << " blocks, block " << i;
        }
        ASSERT_EQ(bytes[0], before[0]);
    }
}

INSTANTIATE_TEST_SUITE_P(AllLevels, KernelTest, ::testing::Values(Level::Portable, Level::Avx2, Level::Avx512),
                         [](const auto& info) { return std::string(LevelName(info.param)); });

#if defined(__x86_64__) && defined(__GNUC__)
TEST(CpuLevel, AgreesWithTheCompilersOwnDetection)
{
    // libgcc checks cpuid and the operating system's register saving too.
    __builtin_cpu_init();
    const Level expected = __builtin_cpu_supports("avx512f") ? Level::Avx512
        : __builtin_cpu_supports("avx2")                     ? Level::Avx2
                                                             : Level::Portable;
    EXPECT_EQ(BestLevel(), expected);
}
#endif

TEST(CpuLevel, RefusesAKernelThisMachineCannotRun)
{
    if (BestLevel() == Level::Avx512) {
        GTEST_SKIP() << "this processor runs every kernel";
    }
    std::uint64_t block = 0;
    EXPECT_THROW(TripleDesEcb(&block, 1, 1, 2, 3, true, Level::Avx512), std::invalid_argument);
}

} // namespace
} // namespace karsidan::bitslice::test
