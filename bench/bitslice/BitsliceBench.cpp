// Throughput of each bitsliced kernel on one core, beside OpenSSL's
// des-ede3 ECB on the same data in the same run.
#include "bench/bitslice/ProcessorInfo.h"
#include "cipher/bitslice/ParallelEcb.h"
#include "cipher/bitslice/TripleDesBitslice.h"
#include "cipher/hex/HexCodec.h"

#include <benchmark/benchmark.h>
#include <openssl/evp.h>

#include <cstdint>
#include <random>
#include <vector>

namespace {

using karsidan::bitslice::Level;

constexpr std::uint64_t kK1 = 0x0123456789ABCDEF;
constexpr std::uint64_t kK2 = 0x23456789ABCDEF01;
constexpr std::uint64_t kK3 = 0x456789ABCDEF0123;

std::vector<std::uint64_t> RandomBlocks(std::size_t bytes)
{
    std::mt19937_64 rng(1);
    std::vector<std::uint64_t> v(bytes / 8);
    for (auto& b : v)
        b = rng();
    return v;
}

void BM_Bitslice(benchmark::State& state, Level level)
{
    if (!karsidan::bitslice::IsSupported(level)) {
        state.SkipWithError("this processor cannot run this kernel");
        return;
    }
    auto blocks = RandomBlocks(std::size_t(state.range(0)));
    for (auto _ : state) {
        karsidan::bitslice::TripleDesEcb(blocks.data(), blocks.size(), kK1, kK2, kK3, true, level);
        benchmark::DoNotOptimize(blocks.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(std::int64_t(state.iterations()) * state.range(0));
}

void BM_OpenSslDesEde3Ecb(benchmark::State& state)
{
    auto blocks = RandomBlocks(std::size_t(state.range(0)));
    std::vector<unsigned char> out(blocks.size() * 8 + 16);
    unsigned char key[24];
    for (int i = 0; i < 8; ++i) {
        key[i] = static_cast<unsigned char>(kK1 >> (56 - 8 * i));
        key[8 + i] = static_cast<unsigned char>(kK2 >> (56 - 8 * i));
        key[16 + i] = static_cast<unsigned char>(kK3 >> (56 - 8 * i));
    }
    EVP_CIPHER_CTX* ctx = EVP_CIPHER_CTX_new();
    for (auto _ : state) {
        int len = 0;
        EVP_EncryptInit_ex(ctx, EVP_des_ede3_ecb(), nullptr, key, nullptr);
        EVP_CIPHER_CTX_set_padding(ctx, 0);
        EVP_EncryptUpdate(ctx, out.data(), &len, reinterpret_cast<const unsigned char*>(blocks.data()),
                          int(blocks.size() * 8));
        benchmark::DoNotOptimize(out.data());
    }
    EVP_CIPHER_CTX_free(ctx);
    state.SetBytesProcessed(std::int64_t(state.iterations()) * state.range(0));
}

// Both cores (or all the machine has), on the best kernel; beside it the
// same call on one thread, so the ratio of the two comes from one run.
void BM_BitsliceThreads(benchmark::State& state, unsigned threads)
{
    auto blocks = RandomBlocks(std::size_t(state.range(0)));
    auto* bytes = reinterpret_cast<unsigned char*>(blocks.data());
    for (auto _ : state) {
        karsidan::bitslice::ThreePassEcbBytesParallel(bytes, blocks.size(), {{{kK1, true}, {kK2, false}, {kK3, true}}},
                                                      karsidan::bitslice::BestLevel(), threads);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(std::int64_t(state.iterations()) * state.range(0));
}

void BM_HexEncode(benchmark::State& state, Level level)
{
    auto blocks = RandomBlocks(std::size_t(state.range(0)));
    std::string out(blocks.size() * 16, '\0');
    for (auto _ : state) {
        karsidan::bitslice::EncodeHex(reinterpret_cast<const unsigned char*>(blocks.data()), blocks.size() * 8,
                                      out.data(), level);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(std::int64_t(state.iterations()) * state.range(0));
}

void BM_HexDecode(benchmark::State& state, Level level)
{
    auto blocks = RandomBlocks(std::size_t(state.range(0)));
    std::string text(blocks.size() * 16, '\0');
    karsidan::bitslice::EncodeHex(reinterpret_cast<const unsigned char*>(blocks.data()), blocks.size() * 8, text.data(),
                                  Level::Portable);
    for (auto _ : state) {
        benchmark::DoNotOptimize(
            karsidan::bitslice::DecodeHex(text, reinterpret_cast<unsigned char*>(blocks.data()), level));
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(std::int64_t(state.iterations()) * state.range(0));
}

constexpr std::int64_t kMiB = 1 << 20;

// Bytes processed count the binary side: 1 MiB of bytes is 2 MiB of digits.
BENCHMARK_CAPTURE(BM_HexEncode, portable, Level::Portable)->Arg(kMiB)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_HexEncode, avx2, Level::Avx2)->Arg(kMiB)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_HexDecode, portable, Level::Portable)->Arg(kMiB)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_HexDecode, avx2, Level::Avx2)->Arg(kMiB)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_BitsliceThreads, one_thread, 1u)->Arg(16 * kMiB)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(BM_BitsliceThreads, all_cores, 0u)->Arg(16 * kMiB)->Unit(benchmark::kMillisecond)->UseRealTime();

BENCHMARK(BM_OpenSslDesEde3Ecb)->Arg(kMiB)->Unit(benchmark::kMillisecond);
// One block: the fixed cost of a call (key masks and one padded batch).
BENCHMARK_CAPTURE(BM_Bitslice, portable, Level::Portable)->Arg(8)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_Bitslice, avx2, Level::Avx2)->Arg(8)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_Bitslice, avx512, Level::Avx512)->Arg(8)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_Bitslice, portable, Level::Portable)->Arg(kMiB)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Bitslice, avx2, Level::Avx2)->Arg(kMiB)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Bitslice, avx512, Level::Avx512)->Arg(kMiB)->Arg(16 * kMiB)->Unit(benchmark::kMillisecond);

} // namespace

// Every run names the processor and the kernel the dispatch picks on it,
// so a figure is never read as another machine's.
int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::AddCustomContext("processor", karsidan::bench::ProcessorFamily());
    benchmark::AddCustomContext("kernel picked", karsidan::bitslice::LevelName(karsidan::bitslice::BestLevel()));
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
