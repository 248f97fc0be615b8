#pragma once
// Prints the AVX2 kernel's rounds (Avx2Rounds.inc) as inline assembly, so
// the compiler keeps the schedule and the registers as they were chosen.

#include "tools/sbox-gen/RoundProgram.h"
#include "tools/sbox-gen/RoundSchedule.h"

#include <string>

namespace sboxgen {

// The text of Avx2Rounds.inc. normal: the round with stored first
// readers; allKeyed: every bit keyed. `command` is the generator's command
// line, printed for reproduction.
std::string Avx2RoundsText(const RoundProgram& normal, const RoundProgram& allKeyed, const ScheduleParams& p,
                           const std::string& command);

} // namespace sboxgen
