// Where the engine should switch from the table path to the bitsliced
// kernels: the whole-text entry on short texts, both ways.
#include "TripleDesEngine.h"

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
