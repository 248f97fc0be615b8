// The hexadecimal codec on AVX2: 16 bytes become 32 digits in one step and
// back. Compiled with -mavx2; called only once the processor is known to
// support it.
#if defined(__x86_64__)

#include "cipher/hex/HexKernels.h"

#include <immintrin.h>

namespace karsidan::bitslice::detail {

void EncodeHexAvx2(const unsigned char* bytes, std::size_t n, char* out)
{
    const __m256i digits = _mm256_setr_epi8('0', '1', '2', '3', '4', '5', '6', '7', '8', '9', 'A', 'B', 'C', 'D', 'E',
                                            'F', '0', '1', '2', '3', '4', '5', '6', '7', '8', '9', 'A', 'B', 'C', 'D',
                                            'E', 'F');
    const __m256i low = _mm256_set1_epi16(0x0F);
    std::size_t i = 0;
    for (; i + 16 <= n; i += 16) {
        // One byte per 16-bit lane; high nibble to the lane's first byte.
        const __m256i v = _mm256_cvtepu8_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes + i)));
        const __m256i nibbles = _mm256_or_si256(_mm256_srli_epi16(v, 4),
                                                _mm256_slli_epi16(_mm256_and_si256(v, low), 8));
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + 2 * i), _mm256_shuffle_epi8(digits, nibbles));
    }
    EncodeHexScalar(bytes + i, n - i, out + 2 * i);
}

std::size_t DecodeHexAvx2(const char* text, std::size_t size, unsigned char* out)
{
    const __m256i zero = _mm256_set1_epi8('0');
    const __m256i upperA = _mm256_set1_epi8('A');
    const __m256i nine = _mm256_set1_epi8(9);
    const __m256i five = _mm256_set1_epi8(5);
    const __m256i ten = _mm256_set1_epi8(10);
    const __m256i pairWeights = _mm256_set1_epi16(0x0110); // first digit * 16 + second
    HexDecodeState state;
    std::size_t i = 0;
    while (i + 32 <= size) {
        // Whole chunks of valid digits at an even digit count go in one
        // step; anything else one character at a time.
        if (state.digits % 2 == 0) {
            const __m256i c = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(text + i));
            const __m256i d = _mm256_sub_epi8(c, zero);
            const __m256i l = _mm256_sub_epi8(c, upperA);
            const __m256i isDigit = _mm256_cmpeq_epi8(_mm256_min_epu8(d, nine), d);
            const __m256i isLetter = _mm256_cmpeq_epi8(_mm256_min_epu8(l, five), l);
            if (_mm256_movemask_epi8(_mm256_or_si256(isDigit, isLetter)) == -1) {
                const __m256i nibbles = _mm256_blendv_epi8(_mm256_add_epi8(l, ten), d, isDigit);
                const __m256i pairs = _mm256_maddubs_epi16(nibbles, pairWeights);
                const __m256i packed = _mm256_permute4x64_epi64(_mm256_packus_epi16(pairs, pairs), 0x08);
                _mm_storeu_si128(reinterpret_cast<__m128i*>(out + state.digits / 2), _mm256_castsi256_si128(packed));
                state.digits += 32;
                i += 32;
                continue;
            }
        }
        // Up to the next 32-byte step.
        state = DecodeHexScalar(text + i, 32, out, state);
        i += 32;
    }
    return DecodeHexScalar(text + i, size - i, out, state).digits;
}

} // namespace karsidan::bitslice::detail

#endif
