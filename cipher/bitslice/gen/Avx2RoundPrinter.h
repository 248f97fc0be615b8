#pragma once
// Prints the AVX2 kernel's rounds (Avx2Rounds.inc) as inline assembly, so
// the compiler keeps the schedule and the registers as they were chosen.

#include "cipher/bitslice/gen/RoundProgram.h"
#include "cipher/bitslice/gen/RoundSchedule.h"

#include <string>

namespace sboxgen {

// normal: the round with stored first readers; full: every bit keyed.
// `command` is the generator's command line, printed for reproduction.
void PrintAvx2Rounds(const RoundProgram& normal, const RoundProgram& full, const ScheduleParams& p,
                     const std::string& command);

} // namespace sboxgen
