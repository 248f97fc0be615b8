#pragma once
// Prints circuits as the C++ templates of SboxCircuits.inc.

#include "tools/sbox-gen/Circuit.h"

namespace sboxgen {

void PrintHeader();
void Print(const Circuit& c, int box, GateSet set);

} // namespace sboxgen
