// The streaming transforms without the process around them: 64 MiB through
// TripleDesEncryptStream from memory and from a file with read(2), by chunk
// size, beside the engine's whole-text transform; and decryption back.
// Wall time, both cores; bytes are plain-text bytes.
#include "cipher/engine/TripleDesEngine.h"
#include "cipher/stream/TripleDesDecryptStream.h"
#include "cipher/stream/TripleDesEncryptStream.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <random>
#include <stdexcept>
#include <string>

#include <fcntl.h>
#include <unistd.h>

namespace {

const karsidan::TripleDesKeys kKeys = karsidan::TripleDesKeys::FromCodePage("kunci1", "kunci2", "kunci3");

constexpr std::size_t kTextBytes = std::size_t{64} << 20;

const std::string& Text()
{
    static const std::string text = [] {
        std::mt19937_64 rng(42);
        std::string t(kTextBytes, '\0');
        for (std::size_t i = 0; i < t.size(); i += 8) {
            const std::uint64_t r = rng();
            for (int b = 0; b < 8; ++b)
                t[i + b] = static_cast<char>(r >> (8 * b));
        }
        t.front() = 'a';
        t.back() = 'z';
        return t;
    }();
    return text;
}

const std::string& Cipher()
{
    static const std::string cipher = karsidan::TripleDesEngine().TripleDesEncrypt(Text(), kKeys);
    return cipher;
}

std::string textFile; // made on first use, removed at the end

// The text as a file in the page cache, as the command line reads it.
const std::string& TextFile()
{
    if (textFile.empty()) {
        std::string p = "/tmp/karsidan_stream_bench_XXXXXX";
        const int fd = mkstemp(p.data());
        if (fd < 0 || write(fd, Text().data(), Text().size()) != static_cast<ssize_t>(Text().size()))
            throw std::runtime_error("cannot write " + p);
        close(fd);
        textFile = p;
    }
    return textFile;
}

void Finish(benchmark::State& state, std::size_t out, std::size_t expected)
{
    if (out != expected)
        state.SkipWithError("wrong output length");
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kTextBytes));
}

void EncryptFromMemory(benchmark::State& state)
{
    const karsidan::StreamOptions options{static_cast<std::size_t>(state.range(0)), 0};
    std::size_t out = 0;
    for (auto _ : state) {
        out = 0;
        karsidan::TripleDesEncryptStream stream(
            kKeys, [&](std::string_view d) { out += d.size(); }, options);
        stream.Write(Text());
        stream.Finish();
    }
    Finish(state, out, 2 * kTextBytes);
}

void EncryptFromFile(benchmark::State& state)
{
    const karsidan::StreamOptions options{static_cast<std::size_t>(state.range(0)), 0};
    const int fd = open(TextFile().c_str(), O_RDONLY);
    std::size_t out = 0;
    for (auto _ : state) {
        out = 0;
        lseek(fd, 0, SEEK_SET);
        karsidan::TripleDesEncryptStream stream(
            kKeys, [&](std::string_view d) { out += d.size(); }, options);
        for (;;) {
            const auto space = stream.Space();
            const ssize_t got = read(fd, space.data(), space.size());
            if (got <= 0)
                break;
            stream.Commit(static_cast<std::size_t>(got));
        }
        stream.Finish();
    }
    close(fd);
    Finish(state, out, 2 * kTextBytes);
}

void EngineWholeText(benchmark::State& state)
{
    std::size_t out = 0;
    for (auto _ : state)
        out = karsidan::TripleDesEngine().TripleDesEncrypt(Text(), kKeys).size();
    Finish(state, out, 2 * kTextBytes);
}

void DecryptFromMemory(benchmark::State& state)
{
    const karsidan::StreamOptions options{static_cast<std::size_t>(state.range(0)), 0};
    std::size_t out = 0;
    for (auto _ : state) {
        out = 0;
        karsidan::TripleDesDecryptStream stream(
            kKeys, [&](std::string_view d) { out += d.size(); }, options);
        stream.Write(Cipher());
        stream.Finish();
    }
    Finish(state, out, kTextBytes);
}

void Chunks(benchmark::internal::Benchmark* b)
{
    for (const long kib : {256, 1024, 2048, 4096})
        b->Arg(kib << 10);
    b->Unit(benchmark::kMillisecond)->UseRealTime();
}

} // namespace

BENCHMARK(EncryptFromMemory)->Apply(Chunks);
BENCHMARK(EncryptFromFile)->Apply(Chunks);
BENCHMARK(EngineWholeText)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(DecryptFromMemory)->Apply(Chunks);

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    if (!textFile.empty())
        std::remove(textFile.c_str());
    return 0;
}
