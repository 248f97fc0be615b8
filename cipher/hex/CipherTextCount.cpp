#include "cipher/hex/CipherTextCount.h"

#include "cpu/CpuFeatures.h"

#include <algorithm>

#if defined(__x86_64__)
#include <immintrin.h>
#endif

namespace karsidan {

namespace {

void CountScalar(const char* p, std::size_t n, CipherTextCount& count) noexcept
{
    for (std::size_t i = 0; i < n; ++i) {
        const auto c = static_cast<unsigned char>(p[i]);
        if ((c >= '0' && c <= '9') || (c >= 'A' && c <= 'F')) {
            ++count.digits;
        } else if (c >= 'a' && c <= 'f') {
            ++count.digits;
            count.lowerCase = true;
        } else if (!(c == ' ' || (c >= '\t' && c <= '\r'))) {
            count.foreign = true;
        }
    }
}

#if defined(__SSE2__)
// 0xFF in each byte of x that lies in [lo, hi].
inline __m128i InRange(__m128i x, char lo, char hi) noexcept
{
    const __m128i shifted = _mm_sub_epi8(x, _mm_set1_epi8(lo));
    return _mm_cmpeq_epi8(_mm_subs_epu8(shifted, _mm_set1_epi8(static_cast<char>(hi - lo))), _mm_setzero_si128());
}
#endif

#if defined(__x86_64__)
// The same 32 characters per step, for processors that have AVX2.
__attribute__((target("avx2"))) inline __m256i InRange256(__m256i x, char lo, char hi) noexcept
{
    const __m256i shifted = _mm256_sub_epi8(x, _mm256_set1_epi8(lo));
    return _mm256_cmpeq_epi8(_mm256_subs_epu8(shifted, _mm256_set1_epi8(static_cast<char>(hi - lo))),
                             _mm256_setzero_si256());
}

__attribute__((target("avx2"))) std::size_t CountAvx2(const char* p, std::size_t n, CipherTextCount& count) noexcept
{
    const std::size_t done = n / 32 * 32;
    __m256i lower = _mm256_setzero_si256();
    __m256i bad = _mm256_setzero_si256();
    while (n >= 32) {
        const std::size_t steps = std::min<std::size_t>(n / 32, 255);
        __m256i lanes = _mm256_setzero_si256();
        for (std::size_t s = 0; s < steps; ++s, p += 32) {
            const __m256i x = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
            const __m256i upper = _mm256_or_si256(InRange256(x, '0', '9'), InRange256(x, 'A', 'F'));
            const __m256i small = InRange256(x, 'a', 'f');
            const __m256i space = _mm256_or_si256(InRange256(x, '\t', '\r'),
                                                  _mm256_cmpeq_epi8(x, _mm256_set1_epi8(' ')));
            const __m256i digit = _mm256_or_si256(upper, small);
            lanes = _mm256_sub_epi8(lanes, digit);
            lower = _mm256_or_si256(lower, small);
            bad = _mm256_or_si256(bad, _mm256_andnot_si256(_mm256_or_si256(digit, space), _mm256_set1_epi8(-1)));
        }
        const __m256i sums = _mm256_sad_epu8(lanes, _mm256_setzero_si256());
        count.digits += static_cast<std::size_t>(_mm256_extract_epi64(sums, 0) + _mm256_extract_epi64(sums, 1)
                                                 + _mm256_extract_epi64(sums, 2) + _mm256_extract_epi64(sums, 3));
        n -= 32 * steps;
    }
    count.lowerCase = count.lowerCase || _mm256_movemask_epi8(lower) != 0;
    count.foreign = count.foreign || _mm256_movemask_epi8(bad) != 0;
    return done;
}
#endif

} // namespace

void CountCipherText(std::string_view text, CipherTextCount& count) noexcept
{
    const char* p = text.data();
    std::size_t n = text.size();
#if defined(__x86_64__)
    if (cpu::Detected().avx2) {
        const std::size_t done = CountAvx2(p, n, count);
        p += done;
        n -= done;
    }
#endif
#if defined(__SSE2__)
    __m128i lower = _mm_setzero_si128();
    __m128i bad = _mm_setzero_si128();
    while (n >= 16) {
        // Digits per byte lane, summed before a lane can overflow.
        const std::size_t steps = std::min<std::size_t>(n / 16, 255);
        __m128i lanes = _mm_setzero_si128();
        for (std::size_t s = 0; s < steps; ++s, p += 16) {
            const __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
            const __m128i upper = _mm_or_si128(InRange(x, '0', '9'), InRange(x, 'A', 'F'));
            const __m128i small = InRange(x, 'a', 'f');
            const __m128i space = _mm_or_si128(InRange(x, '\t', '\r'), _mm_cmpeq_epi8(x, _mm_set1_epi8(' ')));
            const __m128i digit = _mm_or_si128(upper, small);
            lanes = _mm_sub_epi8(lanes, digit);
            lower = _mm_or_si128(lower, small);
            bad = _mm_or_si128(bad, _mm_andnot_si128(_mm_or_si128(digit, space), _mm_set1_epi8(-1)));
        }
        const __m128i sums = _mm_sad_epu8(lanes, _mm_setzero_si128());
        count.digits += static_cast<std::size_t>(_mm_cvtsi128_si32(sums))
            + static_cast<std::size_t>(_mm_extract_epi16(sums, 4));
        n -= 16 * steps;
    }
    count.lowerCase = count.lowerCase || _mm_movemask_epi8(lower) != 0;
    count.foreign = count.foreign || _mm_movemask_epi8(bad) != 0;
#endif
    CountScalar(p, n, count);
}

} // namespace karsidan
