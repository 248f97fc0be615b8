// The bitsliced kernel on AVX2: 256 blocks per batch. Compiled with -mavx2;
// only called once the processor is known to support it. Its rounds are
// generated assembly (Avx2Rounds.inc): with 16 registers, the compiler's
// own allocation of the circuits spilled and waited on long gate chains.
#if defined(__x86_64__)

#include "cipher/bitslice/BitsliceCore.h"
#include "cipher/bitslice/Kernels.h"

#include <immintrin.h>

namespace {

#include "cipher/bitslice/Avx2Rounds.inc"

struct Avx2Ops {
    using V = __m256i;
    static constexpr int kLanes = 4;
    static constexpr bool kTernary = false;
    static V Load(const unsigned char* p) { return _mm256_loadu_si256(reinterpret_cast<const V*>(p)); }
    static void Store(unsigned char* p, V v) { _mm256_storeu_si256(reinterpret_cast<V*>(p), v); }
    static V Set1(std::uint64_t x) { return _mm256_set1_epi64x(static_cast<long long>(x)); }
    static V Ones() { return _mm256_set1_epi64x(-1); }
    static V And(V a, V b) { return _mm256_and_si256(a, b); }
    static V Or(V a, V b) { return _mm256_or_si256(a, b); }
    static V Xor(V a, V b) { return _mm256_xor_si256(a, b); }
    static V AndNot(V a, V b) { return _mm256_andnot_si256(a, b); }
    template <int N>
    static V Shl(V a)
    {
        return _mm256_slli_epi64(a, N);
    }
    template <int N>
    static V Shr(V a)
    {
        return _mm256_srli_epi64(a, N);
    }
    // The first three stages of the transposition move whole bytes: in each
    // lane, byte m of row k trades places with byte k of row m. Four rounds
    // of unpacks do that in 32 instructions instead of 72.
    static void TransposeBytes(V* r)
    {
        V b[8], w[8], d[8];
        for (int k = 0; k < 4; ++k) { // lanes 0 and 2 (lo), 1 and 3 (hi)
            b[k] = _mm256_unpacklo_epi8(r[2 * k], r[2 * k + 1]);
            b[4 + k] = _mm256_unpackhi_epi8(r[2 * k], r[2 * k + 1]);
        }
        for (int h = 0; h < 8; h += 4) {
            w[h + 0] = _mm256_unpacklo_epi16(b[h + 0], b[h + 1]); // rows 0-3, bytes 0-3
            w[h + 1] = _mm256_unpackhi_epi16(b[h + 0], b[h + 1]); // rows 0-3, bytes 4-7
            w[h + 2] = _mm256_unpacklo_epi16(b[h + 2], b[h + 3]); // rows 4-7, bytes 0-3
            w[h + 3] = _mm256_unpackhi_epi16(b[h + 2], b[h + 3]);
            d[h + 0] = _mm256_unpacklo_epi32(w[h + 0], w[h + 2]); // bytes 0, 1 of rows 0-7
            d[h + 1] = _mm256_unpackhi_epi32(w[h + 0], w[h + 2]); // bytes 2, 3
            d[h + 2] = _mm256_unpacklo_epi32(w[h + 1], w[h + 3]); // bytes 4, 5
            d[h + 3] = _mm256_unpackhi_epi32(w[h + 1], w[h + 3]); // bytes 6, 7
        }
        for (int k = 0; k < 4; ++k) {
            r[2 * k] = _mm256_unpacklo_epi64(d[k], d[4 + k]);
            r[2 * k + 1] = _mm256_unpackhi_epi64(d[k], d[4 + k]);
        }
    }
    static constexpr bool kOffsetHalves = true;
    static constexpr int kBatchesInFlight = 2;
    template <bool AllKeyed>
    static void RoundWithOffsets(V* dst, const V* src, const std::uint64_t* in, const std::uint64_t* out)
    {
        if constexpr (AllKeyed) {
            Avx2RoundAllKeyed(dst, src, in, out);
        } else {
            Avx2Round(dst, src, in, out);
        }
    }
};

} // namespace

namespace karsidan::bitslice::detail {

void EcbAvx2(unsigned char* data, std::size_t batches, const RoundKeyMasks& keys, bool bytesLittleEndian)
{
    EcbBatches<Avx2Ops>(data, batches, keys, bytesLittleEndian);
}

} // namespace karsidan::bitslice::detail

#endif
