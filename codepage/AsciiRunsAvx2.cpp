// The ASCII steps on AVX2, 32 bytes at a time. Compiled with -mavx2; called
// only once the processor is known to support it.
#if defined(__x86_64__)

#include "codepage/AsciiRuns.h"

#include "codepage/Utf8FastLoop.h"

#include <immintrin.h>
#include <initializer_list>

namespace karsidan::detail {

std::size_t CopyPlainAvx2(const char* in, std::size_t n, char* out, char stopA, char stopB)
{
    const __m256i a = _mm256_set1_epi8(stopA);
    const __m256i b = _mm256_set1_epi8(stopB);
    std::size_t i = 0;
    for (; i + 32 <= n; i += 32) {
        const __m256i v = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(in + i));
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + i), v);
        const __m256i stop = _mm256_or_si256(v, _mm256_or_si256(_mm256_cmpeq_epi8(v, a), _mm256_cmpeq_epi8(v, b)));
        if (const unsigned mask = static_cast<unsigned>(_mm256_movemask_epi8(stop)))
            return i + static_cast<std::size_t>(__builtin_ctz(mask));
    }
    for (; i < n; ++i) {
        const char c = in[i];
        if (static_cast<unsigned char>(c) >= 0x80 || c == stopA || c == stopB)
            break;
        out[i] = c;
    }
    return i;
}

namespace {

struct Avx2 {
    static constexpr std::size_t kWidth = 32;
    static unsigned High(const char* in)
    {
        return static_cast<unsigned>(_mm256_movemask_epi8(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(in))));
    }
    static unsigned Specials(const char* in, char* out, char stopA, char stopB)
    {
        const __m256i v = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(in));
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(out), v);
        const __m256i stop = _mm256_or_si256(v,
                                             _mm256_or_si256(_mm256_cmpeq_epi8(v, _mm256_set1_epi8(stopA)),
                                                             _mm256_cmpeq_epi8(v, _mm256_set1_epi8(stopB))));
        return static_cast<unsigned>(_mm256_movemask_epi8(stop));
    }
};

} // namespace

std::size_t Utf8ToCodePageAvx2(const char* in, std::size_t n, char* out, std::size_t& produced, FastState& state,
                               const unsigned char* byteOf)
{
    return Utf8ToCodePageLoop<Avx2>(in, n, out, produced, state, byteOf);
}

std::size_t Utf8CheckAvx2(const char* in, std::size_t n, FastState& state, const unsigned char* byteOf)
{
    return Utf8CheckLoop<Avx2>(in, n, state, byteOf);
}

std::size_t CodePageToUtf8Avx2(const char* in, std::size_t n, char* out, std::size_t& produced, bool windowText,
                               const Utf8Bytes* high)
{
    return CodePageToUtf8Loop<Avx2>(in, n, out, produced, windowText, high);
}

std::size_t FindControlAvx2(const char* in, std::size_t n)
{
    const __m256i bias = _mm256_set1_epi8(static_cast<char>(0x80));
    const __m256i below20 = _mm256_set1_epi8(static_cast<char>(0x20 ^ 0x80));
    const __m256i tab = _mm256_set1_epi8('\t');
    const __m256i lf = _mm256_set1_epi8('\n');
    const __m256i cr = _mm256_set1_epi8('\r');
    const __m256i del = _mm256_set1_epi8(0x7F);
    std::size_t i = 0;
    for (; i + 32 <= n; i += 32) {
        const __m256i v = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(in + i));
        const __m256i low = _mm256_cmpgt_epi8(below20, _mm256_xor_si256(v, bias));
        const __m256i allowed = _mm256_or_si256(_mm256_cmpeq_epi8(v, tab),
                                                _mm256_or_si256(_mm256_cmpeq_epi8(v, lf), _mm256_cmpeq_epi8(v, cr)));
        __m256i control = _mm256_or_si256(_mm256_andnot_si256(allowed, low), _mm256_cmpeq_epi8(v, del));
        // The five C1 controls the code page keeps.
        for (const char c1 : {'\x81', '\x8D', '\x8F', '\x90', '\x9D'})
            control = _mm256_or_si256(control, _mm256_cmpeq_epi8(v, _mm256_set1_epi8(c1)));
        if (const unsigned mask = static_cast<unsigned>(_mm256_movemask_epi8(control)))
            return i + static_cast<std::size_t>(__builtin_ctz(mask));
    }
    for (; i < n; ++i)
        if (IsControlByte(static_cast<unsigned char>(in[i])))
            return i;
    return n;
}

} // namespace karsidan::detail

#endif
