// A long text end to end through the engine.
#include "cipher/engine/TripleDesEngine.h"

#include <benchmark/benchmark.h>

#include <string>

namespace {

const karsidan::TripleDesKeys kKeys = karsidan::TripleDesKeys::FromCodePage("kunci1", "kunci2", "kunci3");

// A long text end to end through the engine, on all cores: bytes to hex
// digits and back, as the window and the command line call it.
void EngineWholeText(benchmark::State& state, bool encrypt)
{
    std::string text(std::size_t(state.range(0)), '\0');
    unsigned x = 1;
    for (auto& c : text)
        c = static_cast<char>('!' + (x = x * 1103515245 + 12345) % 90);
    const std::string cipher = karsidan::TripleDesEngine().TripleDesEncrypt(text, kKeys);
    for (auto _ : state) {
        karsidan::TripleDesEngine engine;
        if (encrypt) {
            benchmark::DoNotOptimize(engine.TripleDesEncrypt(text, kKeys));
        } else {
            benchmark::DoNotOptimize(engine.TripleDesDecrypt(cipher, kKeys));
        }
    }
    state.SetBytesProcessed(std::int64_t(state.iterations()) * state.range(0));
}

BENCHMARK_CAPTURE(EngineWholeText, encrypt, true)->Arg(64 << 20)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(EngineWholeText, decrypt, false)->Arg(64 << 20)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
