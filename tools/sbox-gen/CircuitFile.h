#pragma once
// Reads the circuits of a generated SboxCircuits.inc back, so a search can
// go on from the committed circuits instead of starting over.

#include "tools/sbox-gen/Circuit.h"

#include <string>

namespace sboxgen {

struct CircuitFile {
    Circuit ternary[8];
    Circuit binary[8];
    bool ok = false;
};

CircuitFile ReadCircuitFile(const std::string& path);

} // namespace sboxgen
