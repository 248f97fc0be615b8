#pragma once
// The wide steps of the streamed conversions: copying runs of plain ASCII
// and looking for control bytes, 16 or 32 bytes at a time. The callers
// handle everything else one character at a time.

#include <cstddef>

namespace karsidan {

// Avx512 is AVX2 for the ASCII steps, with conversions both ways of its
// own (AVX-512 BW, VBMI and VBMI2).
enum class AsciiLevel { Scalar, Sse2, Avx2, Avx512 };

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

// The in-line loops of Utf8FastLoop.h. Each converts from the start of in
// while the bytes are of the common kinds and at least a vector's worth
// remains; returns the bytes consumed and sets produced. out needs room
// for 2 bytes per byte of input (3 back) and kAsciiSlack more.
struct FastState {
    bool windowText = false;
    bool afterCr = false; // the last character was a CR
    unsigned long long extraBytes = 0; // continuation bytes so far
};
struct Utf8Bytes {
    char bytes[4];
    unsigned length;
};
// byteOf: the code-page byte of every character below U+10000, 0 for those
// it lacks (and for the ASCII ones, which never get there).
using Utf8ToCodePageFastFn = std::size_t (*)(const char* in, std::size_t n, char* out, std::size_t& produced,
                                             FastState& state, const unsigned char* byteOf);
using Utf8CheckFastFn = std::size_t (*)(const char* in, std::size_t n, FastState& state, const unsigned char* byteOf);
const unsigned char* CodePageByteTable();
Utf8CheckFastFn Utf8CheckFastFor(AsciiLevel level) noexcept;
using CodePageToUtf8FastFn = std::size_t (*)(const char* in, std::size_t n, char* out, std::size_t& produced,
                                             bool windowText, const Utf8Bytes* high);

// The way back in 64-byte blocks, every byte value at once, CR LF to LF
// with windowText, while a byte beyond the block remains; sets control
// when a block held a control byte (as FindControlFn has them). Writes no
// further than 3 bytes per byte of input. Null below the Avx512 level.
using CodePageToUtf8BlocksFn = std::size_t (*)(const char* in, std::size_t n, char* out, std::size_t& produced,
                                               bool windowText, bool& control, const Utf8Bytes* high);
CodePageToUtf8BlocksFn CodePageToUtf8BlocksFor(AsciiLevel level) noexcept;

// Null for the scalar level, which takes the careful path throughout.
Utf8ToCodePageFastFn Utf8ToCodePageFastFor(AsciiLevel level) noexcept;
CodePageToUtf8FastFn CodePageToUtf8FastFor(AsciiLevel level) noexcept;

CopyPlainFn CopyPlainFor(AsciiLevel level) noexcept;
FindControlFn FindControlFor(AsciiLevel level) noexcept;

bool IsControlByte(unsigned char byte) noexcept;

#if defined(__x86_64__)
std::size_t CopyPlainAvx2(const char* in, std::size_t n, char* out, char stopA, char stopB);
std::size_t FindControlAvx2(const char* in, std::size_t n);
std::size_t Utf8ToCodePageAvx2(const char* in, std::size_t n, char* out, std::size_t& produced, FastState& state,
                               const unsigned char* byteOf);
std::size_t Utf8CheckAvx2(const char* in, std::size_t n, FastState& state, const unsigned char* byteOf);
std::size_t Utf8ToCodePageAvx512(const char* in, std::size_t n, char* out, std::size_t& produced, FastState& state,
                                 const unsigned char* byteOf);
std::size_t Utf8CheckAvx512(const char* in, std::size_t n, FastState& state, const unsigned char* byteOf);
std::size_t CodePageToUtf8Avx2(const char* in, std::size_t n, char* out, std::size_t& produced, bool windowText,
                               const Utf8Bytes* high);
std::size_t CodePageToUtf8Avx512(const char* in, std::size_t n, char* out, std::size_t& produced, bool windowText,
                                 bool& control, const Utf8Bytes* high);
#endif

} // namespace detail
} // namespace karsidan
