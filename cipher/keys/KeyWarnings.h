#pragma once
// What the command line and the window both tell the user about keys,
// without changing the outcome: keys that weaken Triple DES, and a
// decrypted result that does not look like text.
//
// Equal neighbours (first = second, or second = third) cancel two of the
// three passes and leave single DES; first = third leaves two-key Triple
// DES. Keys are compared as DES uses them: the effective keys without the
// parity bit of each byte, which DES ignores.

#include "cipher/keys/TripleDesKeys.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace karsidan {

// From the three effective keys in box order; each text starts with
// "kunci" (callers put "peringatan: " or the like in front).
std::vector<std::string> WeakKeyWarnings(const std::array<std::uint64_t, 3>& effectiveKeys);
std::vector<std::string> WeakKeyWarnings(const TripleDesKeys& keys);

// The hint for a decrypted result with control bytes.
std::string_view NotTextWarning() noexcept;

// True when decrypted bytes hold a control byte other than tab, CR and LF,
// which a wrong key almost always leaves.
bool LooksLikeWrongKeys(std::string_view decrypted) noexcept;

} // namespace karsidan
