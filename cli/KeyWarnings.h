#pragma once
// Keys that weaken Triple DES, told on standard error without changing the
// outcome: equal neighbours (first = second, or second = third) cancel two
// of the three passes and leave single DES; first = third leaves two-key
// Triple DES. Keys are compared as DES uses them: the effective keys,
// without the parity bit of each byte, which DES ignores.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// From the three effective keys in box order.
std::vector<std::string> WeakKeyWarnings(const std::array<std::uint64_t, 3>& effectiveKeys);
