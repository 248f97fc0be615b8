// Whole-text Triple DES beside OpenSSL's des-ede3 ECB on the same data.
// Bytes processed are plain-text bytes for every case.
#include "cipher/des/DesKernel.h"
#include "cipher/engine/TripleDesEngine.h"

#include <benchmark/benchmark.h>
#include <openssl/evp.h>

#include <random>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

std::string Text(std::size_t size)
{
    std::mt19937_64 rng(42);
    std::string text(size, '\0');
    for (auto& c : text)
        c = static_cast<char>('!' + rng() % 90);
    return text;
}

void EngineEncrypt(benchmark::State& state)
{
    const std::string text = Text(static_cast<std::size_t>(state.range(0)));
    for (auto _ : state) {
        karsidan::TripleDesEngine engine;
        benchmark::DoNotOptimize(engine.TripleDesEncrypt(text, "kunci1", "kunci2", "kunci3"));
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * state.range(0));
}

void EngineDecrypt(benchmark::State& state)
{
    const std::string cipher = karsidan::TripleDesEngine().TripleDesEncrypt(
        Text(static_cast<std::size_t>(state.range(0))), "kunci1", "kunci2", "kunci3");
    for (auto _ : state) {
        karsidan::TripleDesEngine engine;
        benchmark::DoNotOptimize(engine.TripleDesDecrypt(cipher, "kunci3", "kunci2", "kunci1"));
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * state.range(0));
}

// The block loop alone, without hex or byte conversions.
void BlockLoop(benchmark::State& state)
{
    std::vector<std::uint64_t> blocks(static_cast<std::size_t>(state.range(0)) / 8, 0x0123456789ABCDEFull);
    const auto schedule = karsidan::TripleDesSchedule::Encryption(1, 2, 3);
    for (auto _ : state) {
        karsidan::TripleDesBlocks(blocks, schedule);
        benchmark::DoNotOptimize(blocks.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * state.range(0));
}

void OpenSslDesEde3Ecb(benchmark::State& state)
{
    const std::string text = Text(static_cast<std::size_t>(state.range(0)));
    const unsigned char key[24] = {'k', 'u', 'n', 'c', 'i', '1', 0xB7, 0xB7, 'k', 'u', 'n', 'c',
                                   'i', '2', 0xB7, 0xB7, 'k', 'u', 'n', 'c', 'i', '3', 0xB7, 0xB7};
    std::vector<unsigned char> out(text.size() + 8);
    EVP_CIPHER_CTX* ctx = EVP_CIPHER_CTX_new();
    for (auto _ : state) {
        int n = 0;
        int total = 0;
        if (EVP_EncryptInit_ex(ctx, EVP_des_ede3_ecb(), nullptr, key, nullptr) != 1)
            throw std::runtime_error("EVP_EncryptInit_ex");
        EVP_CIPHER_CTX_set_padding(ctx, 0);
        EVP_EncryptUpdate(ctx, out.data(), &n, reinterpret_cast<const unsigned char*>(text.data()),
                          static_cast<int>(text.size()));
        total += n;
        EVP_EncryptFinal_ex(ctx, out.data() + total, &n);
        benchmark::DoNotOptimize(out.data());
    }
    EVP_CIPHER_CTX_free(ctx);
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * state.range(0));
}

constexpr std::int64_t kMiB = 1 << 20;

} // namespace

BENCHMARK(EngineEncrypt)->Arg(kMiB)->Arg(16 * kMiB)->Unit(benchmark::kMillisecond)->MinTime(0.5);
BENCHMARK(EngineDecrypt)->Arg(kMiB)->Arg(16 * kMiB)->Unit(benchmark::kMillisecond)->MinTime(0.5);
BENCHMARK(BlockLoop)->Arg(kMiB)->Arg(16 * kMiB)->Unit(benchmark::kMillisecond)->MinTime(0.5);
BENCHMARK(OpenSslDesEde3Ecb)->Arg(kMiB)->Arg(16 * kMiB)->Unit(benchmark::kMillisecond)->MinTime(0.5);

BENCHMARK_MAIN();
