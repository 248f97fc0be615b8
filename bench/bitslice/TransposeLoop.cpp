// The two transpositions of an AVX-512 batch (into bit slices with the
// initial permutation, and back with the final one), timed alone: the part
// of the kernel's time that is not rounds. Compiled with -mavx512f and only
// called once the processor has AVX-512.
#include "bench/bitslice/LogicIssueLoops.h"

#if defined(__x86_64__)

#include "cipher/bitslice/Avx512Ops.h"
#include "cipher/bitslice/BitsliceCore.h"

namespace karsidan::bench {

void RunTranspositions(long batches, unsigned char* batch)
{
    using V = __m512i;
    V state[64];
    for (long i = 0; i < batches; ++i) {
        Transpose64<Avx512Ops>([batch](int k) { return Avx512Ops::Load(batch + k * 64); },
                               [&state](int c, V w) { state[kBytesLayout.ipPos[c]] = w; });
        __asm__ volatile("" : : : "memory");
        Transpose64<Avx512Ops>(
            [&state](int c) {
                const int s = kBytesLayout.fpSource[c];
                return Avx512Ops::Xor(state[s], Avx512Ops::Set1(std::uint64_t(s)));
            },
            [batch](int k, V w) { Avx512Ops::Store(batch + k * 64, w); });
    }
}

} // namespace karsidan::bench

#endif
