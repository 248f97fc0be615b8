#pragma once
// Helpers for code whose branches and memory addresses must not depend on
// key or text bytes: masks instead of comparisons, and Declassify for the
// few values the design lets out (a character's class, a rule's outcome,
// the length of a text).
//
// Declassify tells valgrind's memcheck that a value derived from secret
// bytes may steer a branch: the constant-time test marks keys and texts
// undefined, so every other use of them in a branch or an address is
// reported. Outside valgrind the request is a handful of no-op
// instructions.

#if KARSIDAN_HAVE_VALGRIND
#include <valgrind/memcheck.h>
#endif

#include <cstdint>

namespace karsidan::ct {

template <typename T>
inline T Declassify(T value) noexcept
{
#if KARSIDAN_HAVE_VALGRIND
    (void)VALGRIND_MAKE_MEM_DEFINED(&value, sizeof value);
#endif
    return value;
}

// All ones when x is zero, else zero.
inline std::uint32_t IsZero(std::uint32_t x) noexcept { return 0u - ((~x & (x - 1)) >> 31); }

// All ones when a == b, else zero.
inline std::uint32_t Equal(std::uint32_t a, std::uint32_t b) noexcept { return IsZero(a ^ b); }

// All ones when a < b, else zero; both below 2^31.
inline std::uint32_t Less(std::uint32_t a, std::uint32_t b) noexcept { return 0u - ((a - b) >> 31); }

// All ones when bit 0 of x is set, else zero.
inline std::uint64_t Spread(std::uint64_t bit) noexcept { return 0 - (bit & 1); }

} // namespace karsidan::ct
