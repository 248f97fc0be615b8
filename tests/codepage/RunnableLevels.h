#pragma once
// Every conversion level this processor runs, scalar first: the tests run
// each one against the scalar conversion.
#include "codepage/AsciiRuns.h"

#include <vector>

namespace karsidan::test {

inline std::vector<AsciiLevel> RunnableLevels()
{
    std::vector<AsciiLevel> levels{AsciiLevel::Scalar};
#if defined(__x86_64__)
    levels.push_back(AsciiLevel::Sse2);
    if (BestAsciiLevel() >= AsciiLevel::Avx2)
        levels.push_back(AsciiLevel::Avx2);
    if (BestAsciiLevel() == AsciiLevel::Avx512)
        levels.push_back(AsciiLevel::Avx512);
#endif
    return levels;
}

} // namespace karsidan::test
