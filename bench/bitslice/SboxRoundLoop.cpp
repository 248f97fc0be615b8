// The logic of one round of the AVX-512 kernel on registers alone: the
// eight S-box circuits and the 80 two-input XORs around them (key
// constants, 16 with a key of their own, and outputs into the halves), no
// loads but the constants, no stores, no transposition; the inputs in
// registers the loop never rewrites. Whatever the kernel does besides its
// gates can only add to the time this takes, so it bounds the AVX-512
// kernel from above. The operations are the kernel's own (Avx512Ops).
// Compiled with -mavx512f and only called once the processor has AVX-512.
#include "bench/bitslice/LogicIssueLoops.h"

#if defined(__x86_64__)

#include "cipher/bitslice/Avx512Ops.h"
#include "cipher/bitslice/BitsliceCore.h"

#include <cstdint>

namespace karsidan::bench {

void RunSboxRounds(long rounds, std::uint64_t seed[kSboxRoundWords])
{
    using V = __m512i;
    V x0 = _mm512_set1_epi64(static_cast<long long>(seed[0]));
    V x1 = _mm512_set1_epi64(static_cast<long long>(seed[1]));
    V x2 = _mm512_set1_epi64(static_cast<long long>(seed[2]));
    V x3 = _mm512_set1_epi64(static_cast<long long>(seed[3]));
    V x4 = _mm512_set1_epi64(static_cast<long long>(seed[4]));
    V x5 = _mm512_set1_epi64(static_cast<long long>(seed[5]));
    V a0 = x0, a1 = x1, a2 = x2, a3 = x3;
    for (long i = 0; i < rounds; ++i) {
        // Emits nothing: only keeps g++ from hoisting the circuits out of the loop.
        __asm__("" : "+v"(x0), "+v"(x1), "+v"(x2), "+v"(x3), "+v"(x4), "+v"(x5));
        V y0, y1, y2, y3;
#define KARSIDAN_SBOX(N)                                                                                               \
    Sbox##N##Ternary<Avx512Ops>(x0, x1, x2, x3, x4, x5, y0, y1, y2, y3);                                               \
    a0 = _mm512_xor_si512(Avx512Ops::XorBroadcast(Avx512Ops::XorBroadcast(a0, &seed[0]), &seed[4]), y0);               \
    a1 = _mm512_xor_si512(Avx512Ops::XorBroadcast(Avx512Ops::XorBroadcast(a1, &seed[1]), &seed[5]), y1);               \
    a2 = _mm512_xor_si512(Avx512Ops::XorBroadcast(a2, &seed[2]), y2);                                                  \
    a3 = _mm512_xor_si512(Avx512Ops::XorBroadcast(a3, &seed[3]), y3);
        KARSIDAN_SBOX(1)
        KARSIDAN_SBOX(2)
        KARSIDAN_SBOX(3) KARSIDAN_SBOX(4) KARSIDAN_SBOX(5) KARSIDAN_SBOX(6) KARSIDAN_SBOX(7) KARSIDAN_SBOX(8)
#undef KARSIDAN_SBOX
    }
    const V all = _mm512_xor_si512(_mm512_xor_si512(a0, a1), _mm512_xor_si512(a2, a3));
    alignas(64) std::uint64_t lanes[8];
    _mm512_store_si512(lanes, all);
    seed[0] = lanes[0] | lanes[7];
}

} // namespace karsidan::bench

#endif
