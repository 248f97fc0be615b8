#pragma once
// Key schedule, block transform and the two whole-text entries. The key
// slots and block halves are members of TripleDesEngine.

#include "cipher/engine/TripleDesEngine.h"

#include <string>

namespace karsidan {

// Padding character of keys and texts (a middle dot in the code page).
inline constexpr unsigned char kPadByte = 0xB7;

// (count / 8, rounded toward zero) copies of the padding byte's 8 bits.
std::string PadBits(int count);

} // namespace karsidan
