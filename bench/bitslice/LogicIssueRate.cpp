// How many vector logic operations a core of this machine issues per
// cycle, in the patterns that bound the bitsliced kernels: the yardstick
// for "how far is the kernel from the processor's limit".
//
// A vpternlogq reads three registers. Reading the same two registers in
// every operation (as a loop of independent operations on constants does)
// is not what an S-box circuit does: its gates read three different values
// computed shortly before. This prints both, and the rest in between.
//
// Usage: karsidan_logic_issue   (pin it to one core: taskset -c 1)
#include "bench/bitslice/LogicIssueLoops.h"
#include "bench/bitslice/ProcessorInfo.h"
#include "cipher/bitslice/TripleDesBitslice.h"

#include <algorithm>
#include <cstdio>
#include <ctime>

namespace {

using karsidan::bench::LogicLoop;

double ThreadSeconds()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) * 1e-9;
}

// Thread CPU seconds of the fastest of nine runs (the machine is shared).
template <class Run>
double BestSeconds(Run run)
{
    double best = 1e9;
    for (int rep = 0; rep < 9; ++rep) {
        const double t0 = ThreadSeconds();
        run();
        best = std::min(best, ThreadSeconds() - t0);
    }
    return best;
}

// Operations per second.
double Rate(LogicLoop loop)
{
    constexpr long kIterations = 4'000'000;
    const double s = BestSeconds([loop] { karsidan::bench::RunLogicLoop(loop, kIterations); });
    return double(kIterations) * karsidan::bench::kLogicLoopOps / s;
}

// Seconds for one round's logic.
double SboxRoundSeconds()
{
    constexpr long kRounds = 200'000;
    std::uint64_t seed[karsidan::bench::kSboxRoundWords] = {1, 2, 3, 4, 5, 6};
    const double s = BestSeconds([&seed] { karsidan::bench::RunSboxRounds(kRounds, seed); });
    if (seed[0] == 42)
        std::printf(" "); // keeps the result alive
    return s / kRounds;
}

// Seconds for the two transpositions of one batch.
double TranspositionSeconds()
{
    constexpr long kBatches = 50'000;
    alignas(64) static unsigned char batch[4096];
    for (int i = 0; i < 4096; ++i)
        batch[i] = static_cast<unsigned char>(i * 131);
    return BestSeconds([] { karsidan::bench::RunTranspositions(kBatches, batch); }) / kBatches;
}

} // namespace

int main()
{
    using karsidan::bitslice::Level;
    std::printf("processor: %s; kernel the dispatch picks: %s\n", karsidan::bench::ProcessorFamily().c_str(),
                karsidan::bitslice::LevelName(karsidan::bitslice::BestLevel()));
    const double hz = karsidan::bench::MeasuredClockHz();
    std::printf("clock (dependent scalar additions): %.2f GHz\n", hz / 1e9);
    if (!karsidan::bitslice::IsSupported(Level::Avx512)) {
        std::printf("no AVX-512 here: nothing more to measure\n");
        return 0;
    }
    const struct {
        LogicLoop loop;
        const char* name;
    } kLoops[] = {
        {LogicLoop::TernarySameTwo, "vpternlogq zmm, two operands the same two registers throughout"},
        {LogicLoop::TernaryThree, "vpternlogq zmm, three registers each written 13-24 ops before"},
        {LogicLoop::TernaryTwo, "vpternlogq zmm, two such registers and one fixed register"},
        {LogicLoop::XorTwo, "vpxorq zmm, two such registers"},
        {LogicLoop::YmmTernaryThree, "vpternlogq ymm, three such registers"},
        {LogicLoop::TernaryOneFresh, "vpternlogq zmm, one such register, two not written in the loop"},
        {LogicLoop::TernaryXorMix, "vpternlogq and vpxorq alternating, registers as above"},
        {LogicLoop::TernaryChain, "vpternlogq zmm, each reading the last (1 / latency)"},
        {LogicLoop::XorChain, "vpxorq zmm, each reading the last (1 / latency)"},
    };
    for (const auto& l : kLoops) {
        const double rate = Rate(l.loop);
        std::printf("%-66s %5.2f G/s  %4.2f per cycle\n", l.name, rate / 1e9, rate / hz);
    }

    // A batch of 512 blocks (4 KiB) takes 48 rounds and two transpositions.
    const double roundCycles = SboxRoundSeconds() * hz;
    const double transposeCycles = TranspositionSeconds() * hz;
    const double batchCycles = 48.0 * roundCycles + transposeCycles;
    std::printf("logic of one round (S-boxes and XORs) on registers alone: %.1f cycles; 48 rounds: %.2f GB/s\n",
                roundCycles, 4096.0 / (48.0 * roundCycles / hz) / 1e9);
    std::printf("the two transpositions of a 4 KiB batch: %.0f cycles\n", transposeCycles);
    std::printf("AVX-512 kernel at most (48 rounds and the transpositions, no load or store of "
                "the halves): %.0f cycles a batch, %.2f GB/s\n",
                batchCycles, 4096.0 / (batchCycles / hz) / 1e9);
    return 0;
}
