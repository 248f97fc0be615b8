#pragma once
// The constructive search: builds the four outputs one after the other over
// every node built so far (see GreedySearch.cpp).

#include "tools/sbox-gen/Circuit.h"

#include <cstdint>

namespace sboxgen {

// Gates as the target instruction set counts them: a ternary search can be
// priced by the length of each gate's binary program.
enum class Pricing { Ternary, BinaryExpansion };

// Keeps the gates of two or three outputs and builds the others anew on
// them; the trial number seeds every random choice.
Circuit RebuildSome(const Circuit& c, int box, GateSet set, Pricing pricing, std::uint64_t trial);

// The smallest circuit found in about `seconds` of random trials and
// rebuilding (binary: also ternary circuits priced and expanded).
Circuit Best(int box, GateSet set, double seconds);

} // namespace sboxgen
