// The two transpositions of an AVX-512 batch (into bit slices with the
// initial permutation, and back with the final one), timed alone: the part
// of the kernel's time that is not rounds. Compiled with -mavx512f and only
// called once the processor has AVX-512.
#include "bench/bitslice/LogicIssueLoops.h"

#if defined(__x86_64__)

#include "cipher/bitslice/BitsliceCore.h"

#include <immintrin.h>

namespace {

struct TransposeOps {
    using V = __m512i;
    static constexpr bool kTernary = true;
    static V Load(const unsigned char* p) { return _mm512_loadu_si512(p); }
    static void Store(unsigned char* p, V v) { _mm512_storeu_si512(p, v); }
    static V Set1(std::uint64_t x) { return _mm512_set1_epi64(static_cast<long long>(x)); }
    static V Xor(V a, V b) { return _mm512_xor_si512(a, b); }
    template <int N> static V Shl(V a) { return _mm512_maskz_slli_epi64(0xFF, a, N); }
    template <int N> static V Shr(V a) { return _mm512_maskz_srli_epi64(0xFF, a, N); }
    template <int Imm> static V Ternary(V a, V b, V c) { return _mm512_ternarylogic_epi64(a, b, c, Imm); }
};

} // namespace

namespace karsidan::bench {

void RunTranspositions(long batches, unsigned char* batch)
{
    using V = __m512i;
    V state[64];
    for (long i = 0; i < batches; ++i) {
        Transpose64<TransposeOps>([batch](int k) { return TransposeOps::Load(batch + k * 64); },
                                  [&state](int c, V w) { state[kBytesLayout.ipPos[c]] = w; });
        __asm__ volatile("" : : : "memory");
        Transpose64<TransposeOps>(
            [&state](int c) {
                const int s = kBytesLayout.fpSource[c];
                return TransposeOps::Xor(state[s], TransposeOps::Set1(std::uint64_t(s)));
            },
            [batch](int k, V w) { TransposeOps::Store(batch + k * 64, w); });
    }
}

} // namespace karsidan::bench

#endif
