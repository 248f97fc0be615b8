#pragma once
// Runs a round program as the processor would, on random words (64 trials
// at once, one per bit), and compares every half word with the round
// computed straight from the circuits and the DES tables. Also refuses a
// read of a register or spill slot not written before, a write anywhere
// but a register, a spill slot or the half being written, and a memory
// operand where the instruction cannot take one.

#include "tools/sbox-gen/Circuit.h"
#include "tools/sbox-gen/RoundProgram.h"

#include <cstdint>
#include <string>

namespace sboxgen {

// fullKeys: every expanded bit XORs its key mask (see RoundGraph.h).
// On failure, `why` says what went wrong.
bool CheckRoundProgram(const RoundProgram& p, const Circuit (&binary)[8], bool fullKeys, std::uint64_t seed,
                       std::string* why);

} // namespace sboxgen
