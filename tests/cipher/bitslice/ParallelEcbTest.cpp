// Splitting over threads changes nothing: the same bytes as one thread,
// for counts that leave every kind of tail, and progress that only grows.
#include "cipher/bitslice/ParallelEcb.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <stdexcept>
#include <thread>
#include <vector>

namespace karsidan::bitslice::test {
namespace {

TEST(ParallelEcb, SameBytesAsOneThreadForAnySplit)
{
    std::mt19937_64 rng(17);
    const std::array<DesPass, 3> passes = {{{rng(), false}, {rng(), true}, {rng(), false}}};
    const Level level = BestLevel();
    const std::size_t width = BatchBlocks(level);
    for (std::size_t n : {std::size_t(1), width - 1, width, 2 * width + 1, 7 * width + 13, std::size_t(300000)}) {
        std::vector<unsigned char> bytes(n * 8);
        for (auto& b : bytes)
            b = static_cast<unsigned char>(rng());
        std::vector<unsigned char> one(bytes);
        ThreePassEcbBytes(one.data(), n, passes, level);
        for (unsigned threads : {1u, 2u, 3u, 7u}) {
            std::vector<unsigned char> many(bytes);
            ThreePassEcbBytesParallel(many.data(), n, passes, level, threads);
            ASSERT_EQ(many, one) << n << " blocks on " << threads << " threads";
        }
    }
}

TEST(ParallelEcb, ProgressGrowsToTheBlockCountOnTheCallingThread)
{
    const std::size_t n = 600000; // several steps per thread
    std::vector<unsigned char> bytes(n * 8, 0x5A);
    std::vector<std::size_t> seen;
    const auto caller = std::this_thread::get_id();
    bool otherThread = false;
    ThreePassEcbBytesParallel(bytes.data(), n, {{{1, true}, {2, false}, {3, true}}}, BestLevel(), 2,
                              [&](std::size_t done) {
                                  seen.push_back(done);
                                  otherThread = otherThread || std::this_thread::get_id() != caller;
                              });
    ASSERT_FALSE(seen.empty());
    EXPECT_FALSE(otherThread);
    EXPECT_TRUE(std::is_sorted(seen.begin(), seen.end()));
    EXPECT_EQ(seen.back(), n);
}

// A progress that throws cancels: every thread stops after the step it is
// on, so most of a long text is left as it was, and the caller gets the
// exception.
TEST(ParallelEcb, ProgressThatThrowsStopsEveryThreadAfterItsStep)
{
    // 64 MiB, 64 steps: the other thread would need the caller held up for
    // the time of 32 steps to reach half of it, even on a busy machine.
    const std::size_t n = 8u << 20;
    std::vector<unsigned char> bytes(n * 8, 0);
    EXPECT_THROW(ThreePassEcbBytesParallel(bytes.data(), n, {{{1, true}, {2, false}, {3, true}}}, BestLevel(), 2,
                                           [](std::size_t) { throw std::runtime_error("cancelled"); }),
                 std::runtime_error);
    std::size_t touched = 0;
    for (std::size_t i = 0; i < n; ++i) {
        const auto* b = bytes.data() + 8 * i;
        touched += !std::all_of(b, b + 8, [](unsigned char c) { return c == 0; });
    }
    EXPECT_GT(touched, 0u);
    EXPECT_LE(touched, n / 2);
}

} // namespace
} // namespace karsidan::bitslice::test
