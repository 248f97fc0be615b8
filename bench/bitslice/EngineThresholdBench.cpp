// Where the engine should switch from the table path to the bitsliced
// kernels: the whole-text entry on short texts, both ways.
#include "cipher/engine/TripleDesEngine.h"

#include <benchmark/benchmark.h>

#include <limits>
#include <string>

namespace {

void EngineEncryptShort(benchmark::State& state, bool bitsliced)
{
    const std::string text(std::size_t(state.range(0)), 'a');
    karsidan::TripleDesEngine engine;
    engine.bitsliceMinBlocks = bitsliced ? 0 : std::numeric_limits<std::size_t>::max();
    for (auto _ : state) {
        benchmark::DoNotOptimize(engine.TripleDesEncrypt(text, "kunci1", "kunci2", "kunci3"));
    }
    state.SetBytesProcessed(std::int64_t(state.iterations()) * state.range(0));
}

BENCHMARK_CAPTURE(EngineEncryptShort, table, false)->RangeMultiplier(2)->Range(64, 8192);
BENCHMARK_CAPTURE(EngineEncryptShort, bitsliced, true)->RangeMultiplier(2)->Range(64, 8192);

} // namespace

namespace {

// A long text end to end through the engine, on all cores: bytes to hex
// digits and back, as the window and the command line call it.
void EngineWholeText(benchmark::State& state, bool encrypt)
{
    std::string text(std::size_t(state.range(0)), '\0');
    unsigned x = 1;
    for (auto& c : text) c = static_cast<char>('!' + (x = x * 1103515245 + 12345) % 90);
    const std::string cipher = karsidan::TripleDesEngine().TripleDesEncrypt(text, "kunci1", "kunci2", "kunci3");
    for (auto _ : state) {
        karsidan::TripleDesEngine engine;
        if (encrypt) {
            benchmark::DoNotOptimize(engine.TripleDesEncrypt(text, "kunci1", "kunci2", "kunci3"));
        } else {
            benchmark::DoNotOptimize(engine.TripleDesDecrypt(cipher, "kunci3", "kunci2", "kunci1"));
        }
    }
    state.SetBytesProcessed(std::int64_t(state.iterations()) * state.range(0));
}

BENCHMARK_CAPTURE(EngineWholeText, encrypt, true)->Arg(64 << 20)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(EngineWholeText, decrypt, false)->Arg(64 << 20)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
