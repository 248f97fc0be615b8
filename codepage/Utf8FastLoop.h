#pragma once
// The common case of the streamed conversions, one vector at a time with
// the usual special bytes handled in line: ASCII, line breaks, the two-byte
// letters of Latin-1 and, back, the upper half of the code page. Anything
// else (and the last vector's worth of a piece) is left to the caller's
// careful path, which also words the errors. Included by the SSE2 and the
// AVX2 build with a vector type V of their own.

#include "codepage/AsciiRuns.h"

#include <cstddef>
#include <cstring>

namespace karsidan::detail {

// V provides: static constexpr std::size_t kWidth; static unsigned
// Specials(const char* in, char* out, char stopA, char stopB), which copies
// kWidth bytes to out and returns the mask of bytes that are 0x80 or above
// or equal to stopA or stopB.
template <class V>
std::size_t Utf8ToCodePageLoop(const char* in, std::size_t n, char* out, std::size_t& produced, FastState& state,
                               const unsigned char* byteOf)
{
    const char stop = state.windowText ? '\n' : '\x80';
    const char stopCr = state.windowText ? '\r' : '\x80';
    std::size_t i = 0;
    std::size_t o = 0;
    while (i + V::kWidth <= n) {
        const unsigned mask = V::Specials(in + i, out + o, stop, stopCr);
        if (mask == 0) {
            i += V::kWidth;
            o += V::kWidth;
            state.afterCr = false;
            continue;
        }
        const unsigned at = static_cast<unsigned>(__builtin_ctz(mask));
        if (at > 0) {
            i += at;
            o += at;
            state.afterCr = false;
        }
        const auto b = static_cast<unsigned char>(in[i]);
        if (b == '\n' || b == '\r') {
            if (b == '\n' && state.afterCr) {
                state.afterCr = false;
            } else {
                out[o] = '\r';
                out[o + 1] = '\n';
                o += 2;
                state.afterCr = b == '\r';
            }
            ++i;
            continue;
        }
        // A character of the code page in two or three bytes, well formed
        // (no overlong form, no surrogate); byteOf says 0 for the others.
        if (b >= 0xC2 && b <= 0xDF && i + 1 < n) {
            const auto c1 = static_cast<unsigned char>(in[i + 1]);
            const unsigned c = ((b & 0x1Fu) << 6) | (c1 & 0x3Fu);
            if ((c1 & 0xC0) == 0x80 && byteOf[c] != 0) {
                out[o++] = static_cast<char>(byteOf[c]);
                i += 2;
                state.extraBytes += 1;
                state.afterCr = false;
                continue;
            }
        } else if ((b & 0xF0) == 0xE0 && i + 2 < n) {
            const auto c1 = static_cast<unsigned char>(in[i + 1]);
            const auto c2 = static_cast<unsigned char>(in[i + 2]);
            const unsigned c = ((b & 0x0Fu) << 12) | ((c1 & 0x3Fu) << 6) | (c2 & 0x3Fu);
            if ((c1 & 0xC0) == 0x80 && (c2 & 0xC0) == 0x80 && c >= 0x800 && byteOf[c] != 0) {
                out[o++] = static_cast<char>(byteOf[c]);
                i += 3;
                state.extraBytes += 2;
                state.afterCr = false;
                continue;
            }
        }
        break;
    }
    produced = o;
    return i;
}

// Only whether the text converts, without writing it: line breaks need no
// look, and a vector's characters are checked without loading it again.
// V::High(in) returns the mask of bytes of 0x80 and above.
template <class V>
std::size_t Utf8CheckLoop(const char* in, std::size_t n, FastState& state, const unsigned char* byteOf)
{
    std::size_t i = 0;
    while (i + V::kWidth <= n) {
        unsigned mask = V::High(in + i);
        std::size_t next = i + V::kWidth;
        while (mask != 0) {
            const std::size_t at = i + static_cast<unsigned>(__builtin_ctz(mask));
            const auto b = static_cast<unsigned char>(in[at]);
            std::size_t length = 0;
            if (b >= 0xC2 && b <= 0xDF && at + 1 < n) {
                const auto c1 = static_cast<unsigned char>(in[at + 1]);
                if ((c1 & 0xC0) == 0x80 && byteOf[((b & 0x1Fu) << 6) | (c1 & 0x3Fu)] != 0)
                    length = 2;
            } else if ((b & 0xF0) == 0xE0 && at + 2 < n) {
                const auto c1 = static_cast<unsigned char>(in[at + 1]);
                const auto c2 = static_cast<unsigned char>(in[at + 2]);
                const unsigned c = ((b & 0x0Fu) << 12) | ((c1 & 0x3Fu) << 6) | (c2 & 0x3Fu);
                if ((c1 & 0xC0) == 0x80 && (c2 & 0xC0) == 0x80 && c >= 0x800 && byteOf[c] != 0)
                    length = 3;
            }
            if (length == 0)
                return at; // the careful path words what is wrong
            state.extraBytes += length - 1;
            const std::size_t end = at + length - i;
            if (end >= V::kWidth) {
                next = i + end;
                break;
            }
            mask &= ~((1u << end) - 1);
        }
        i = next;
    }
    return i;
}

// Back: V::Specials as above.
template <class V>
std::size_t CodePageToUtf8Loop(const char* in, std::size_t n, char* out, std::size_t& produced, bool windowText,
                               const Utf8Bytes* high)
{
    const char stop = windowText ? '\r' : '\x80';
    std::size_t i = 0;
    std::size_t o = 0;
    while (i + V::kWidth <= n) {
        const unsigned mask = V::Specials(in + i, out + o, stop, stop);
        if (mask == 0) {
            i += V::kWidth;
            o += V::kWidth;
            continue;
        }
        const unsigned at = static_cast<unsigned>(__builtin_ctz(mask));
        i += at;
        o += at;
        const auto b = static_cast<unsigned char>(in[i]);
        if (b == '\r') {
            // Within the vector, so the next byte is there.
            if (i + 1 >= n)
                break;
            if (in[i + 1] != '\n')
                out[o++] = '\r';
            ++i;
            continue;
        }
        const Utf8Bytes& e = high[b - 0x80];
        std::memcpy(out + o, e.bytes, 4);
        o += e.length;
        ++i;
    }
    produced = o;
    return i;
}

} // namespace karsidan::detail
