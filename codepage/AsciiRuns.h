#pragma once
// The wide steps of the streamed conversions: copying runs of plain ASCII
// and looking for control bytes, 16 or 32 bytes at a time. The callers
// handle everything else one character at a time.

#include <cstddef>

namespace karsidan {

enum class AsciiLevel { Scalar, Sse2, Avx2 };

// The widest level this processor runs.
AsciiLevel BestAsciiLevel() noexcept;

namespace detail {

// Copies the longest prefix of in[0, n) whose bytes are below 0x80 and
// differ from stopA and stopB into out; returns its length. May write up
// to kAsciiSlack bytes past that length, so out needs room for them.
using CopyPlainFn = std::size_t (*)(const char* in, std::size_t n, char* out, char stopA, char stopB);
inline constexpr std::size_t kAsciiSlack = 32;

// Index of the first byte of in[0, n) that is a control byte other than
// tab, CR and LF (0x00-0x1F, 0x7F, and the five C1 controls the code page
// keeps: 0x81, 0x8D, 0x8F, 0x90, 0x9D), or n.
using FindControlFn = std::size_t (*)(const char* in, std::size_t n);

CopyPlainFn CopyPlainFor(AsciiLevel level) noexcept;
FindControlFn FindControlFor(AsciiLevel level) noexcept;

bool IsControlByte(unsigned char byte) noexcept;

#if defined(__x86_64__)
std::size_t CopyPlainAvx2(const char* in, std::size_t n, char* out, char stopA, char stopB);
std::size_t FindControlAvx2(const char* in, std::size_t n);
#endif

} // namespace detail
} // namespace karsidan
