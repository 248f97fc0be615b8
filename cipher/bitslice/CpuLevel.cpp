// Which kernel this machine runs: the widest whose instructions the
// processor has and whose registers the operating system saves.
#include "cipher/bitslice/TripleDesBitslice.h"

#include "cpu/CpuFeatures.h"

namespace karsidan::bitslice {

namespace {

Level DetectLevel()
{
    const cpu::Features& cpu = cpu::Detected();
    if (cpu.avx512f)
        return Level::Avx512;
    return cpu.avx2 ? Level::Avx2 : Level::Portable;
}

} // namespace

Level BestLevel()
{
    static const Level level = DetectLevel();
    return level;
}

bool IsSupported(Level level) { return static_cast<int>(level) <= static_cast<int>(BestLevel()); }

const char* LevelName(Level level)
{
    switch (level) {
    case Level::Avx512: return "avx512";
    case Level::Avx2: return "avx2";
    default: return "portable";
    }
}

std::size_t BatchBlocks(Level level)
{
    switch (level) {
    case Level::Avx512: return 512;
    case Level::Avx2: return 256;
    default: return 64;
    }
}

} // namespace karsidan::bitslice
