#pragma once
// Binary circuits from ternary ones: each three-input gate becomes the
// shortest program of AND, OR, XOR and ANDNOT (~a & b) that computes it.

#include "tools/sbox-gen/Circuit.h"

namespace sboxgen {

// Gates of the cheapest binary program of the three-input function imm.
int BinaryCost(int imm);

// Each ternary gate replaced by its shortest binary program, after its
// unobservable table entries are chosen to make that program shortest.
Circuit ExpandToBinary(const Circuit& ternary);

} // namespace sboxgen
