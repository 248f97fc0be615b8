#pragma once
// The AVX-512 operations of the bitsliced network, shared by the kernel and
// the benchmarks that time its parts, so that both run the same
// instructions. Include only in files compiled with -mavx512f, after
// BitsliceCore.h; internal linkage for the same reason as BitsliceCore.h.
#include "cipher/bitslice/BitsliceCore.h"

#include <immintrin.h>

namespace {

struct Avx512Ops {
    using V = __m512i;
    static constexpr int kLanes = 8;
    static constexpr bool kTernary = true;
    static V Load(const unsigned char* p) { return _mm512_loadu_si512(p); }
    static void Store(unsigned char* p, V v) { _mm512_storeu_si512(p, v); }
    static V Set1(std::uint64_t x) { return _mm512_set1_epi64(static_cast<long long>(x)); }
    static V Ones() { return _mm512_set1_epi64(-1); }
    static V And(V a, V b) { return _mm512_and_si512(a, b); }
    static V Or(V a, V b) { return _mm512_or_si512(a, b); }
    static V Xor(V a, V b) { return _mm512_xor_si512(a, b); }
    static V AndNot(V a, V b) { return _mm512_andnot_si512(a, b); }
    // The masked forms: GCC 12's plain ones trip -Wuninitialized in its
    // own header. With every lane selected they are the same instruction.
    template <int N>
    static V Shl(V a)
    {
        return _mm512_maskz_slli_epi64(0xFF, a, N);
    }
    template <int N>
    static V Shr(V a)
    {
        return _mm512_maskz_srli_epi64(0xFF, a, N);
    }
    // a ^ broadcast(*c), in assembly: g++ would fold it and the XOR that
    // follows into one three-input operation, and those issue at half the
    // rate of two-input ones on this kind of processor.
    static V XorBroadcast(V a, const std::uint64_t* c)
    {
        V r;
        __asm__("vpxorq %[c]%{1to8%}, %[a], %[r]" : [r] "=v"(r) : [a] "v"(a), [c] "m"(*c));
        return r;
    }
    template <int Imm>
    static V Ternary(V a, V b, V c)
    {
        return _mm512_ternarylogic_epi64(a, b, c, Imm);
    }
    static constexpr bool kOffsetHalves = true;
    static constexpr int kBatchesInFlight = 2;
    template <bool AllKeyed>
    static void RoundWithOffsets(V* dst, const V* src, const std::uint64_t* in, const std::uint64_t* out)
    {
        OffsetRound<Avx512Ops, AllKeyed>(dst, src, in, out);
    }
};

} // namespace
