// Whole-text Triple DES beside the table kernel it replaced for short texts
// and OpenSSL's des-ede3 ECB (key set up per call as well), on the same
// data. 40 bytes is a typed message, 504 the longest text of one 64-block
// batch. Bytes processed are plain-text bytes for every case.
#include "cipher/engine/TripleDesEngine.h"
#include "cipher/reference/DesKernel.h"
#include "cipher/reference/TableText.h"

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

const char* const kBox[3] = {"kunci1", "kunci2", "kunci3"};

karsidan::TripleDesKeys MakeKeys() { return karsidan::TripleDesKeys::FromCodePage(kBox[0], kBox[1], kBox[2]); }

// One command: the key object from the three boxes, then the text.
void EngineEncrypt(benchmark::State& state)
{
    const std::string text = Text(static_cast<std::size_t>(state.range(0)));
    for (auto _ : state) {
        const auto keys = MakeKeys();
        benchmark::DoNotOptimize(karsidan::TripleDesEngine().TripleDesEncrypt(text, keys));
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * state.range(0));
}

// The text alone, with the key object and its masks made beforehand.
void EngineEncryptKeysReady(benchmark::State& state)
{
    const std::string text = Text(static_cast<std::size_t>(state.range(0)));
    const auto keys = MakeKeys();
    keys.Masks(karsidan::PassOrder::Encryption);
    for (auto _ : state)
        benchmark::DoNotOptimize(karsidan::TripleDesEngine().TripleDesEncrypt(text, keys));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * state.range(0));
}

void EngineDecrypt(benchmark::State& state)
{
    const std::string cipher = karsidan::TripleDesEngine().TripleDesEncrypt(
        Text(static_cast<std::size_t>(state.range(0))), MakeKeys());
    for (auto _ : state) {
        const auto keys = MakeKeys();
        benchmark::DoNotOptimize(karsidan::TripleDesEngine().TripleDesDecrypt(cipher, keys));
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * state.range(0));
}

// The baseline: the table kernel the engine ran short texts on before, S-box
// loads indexed by key and text; key object and schedule per command.
void TablePathEncrypt(benchmark::State& state)
{
    const std::string text = Text(static_cast<std::size_t>(state.range(0)));
    for (auto _ : state)
        benchmark::DoNotOptimize(karsidan::TableEncryptText(text, MakeKeys()));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * state.range(0));
}

void TablePathDecrypt(benchmark::State& state)
{
    const std::string cipher = karsidan::TableEncryptText(Text(static_cast<std::size_t>(state.range(0))), MakeKeys());
    for (auto _ : state)
        benchmark::DoNotOptimize(karsidan::TableDecryptText(cipher, MakeKeys()));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * state.range(0));
}

// The key object alone: rules, effective keys, round keys, then the masks
// of one pass order.
void KeyObject(benchmark::State& state)
{
    for (auto _ : state) {
        const auto keys = MakeKeys();
        benchmark::DoNotOptimize(&keys.Masks(karsidan::PassOrder::Encryption));
    }
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
    const unsigned char key[24] = {'k', 'u', 'n',  'c',  'i', '1', 0xB7, 0xB7, 'k', 'u', 'n',  'c',
                                   'i', '2', 0xB7, 0xB7, 'k', 'u', 'n',  'c',  'i', '3', 0xB7, 0xB7};
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

BENCHMARK(EngineEncrypt)->Arg(40)->Arg(504)->Arg(kMiB)->Arg(16 * kMiB)->MinTime(0.5);
BENCHMARK(EngineEncryptKeysReady)->Arg(40)->Arg(504)->MinTime(0.5);
BENCHMARK(TablePathEncrypt)->Arg(40)->Arg(504)->Arg(kMiB)->MinTime(0.5);
BENCHMARK(OpenSslDesEde3Ecb)->Arg(40)->Arg(504)->Arg(kMiB)->Arg(16 * kMiB)->MinTime(0.5);
BENCHMARK(EngineDecrypt)->Arg(48)->Arg(504)->Arg(kMiB)->MinTime(0.5);
BENCHMARK(TablePathDecrypt)->Arg(48)->Arg(504)->Arg(kMiB)->MinTime(0.5);
BENCHMARK(KeyObject)->MinTime(0.5);
BENCHMARK(BlockLoop)->Arg(kMiB)->MinTime(0.5);

BENCHMARK_MAIN();
