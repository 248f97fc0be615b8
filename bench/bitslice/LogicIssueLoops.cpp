// The loops of karsidan_logic_issue: straight runs of one vector
// instruction in a fixed pattern of registers, so the rate the processor
// sustains shows without any data or memory in the way. Compiled with
// -mavx512f and only called once the processor is known to run AVX-512.
#include "bench/bitslice/LogicIssueLoops.h"

#if defined(__x86_64__)

namespace karsidan::bench {

namespace {

#define KARSIDAN_CLOBBER_ZMM                                                                                           \
    "xmm0", "xmm1", "xmm2", "xmm3", "xmm4", "xmm5", "xmm6", "xmm7", "xmm8", "xmm9", "xmm10", "xmm11", "xmm12",         \
        "xmm13", "xmm14", "xmm15", "xmm16", "xmm17", "xmm18", "xmm19", "xmm20", "xmm21", "xmm22", "xmm23", "xmm24",    \
        "xmm25", "xmm26", "xmm27", "xmm28", "xmm29", "xmm30", "xmm31"

// Each loop body is 24 instructions; r0..r23 rotate, so instruction i
// writes register i mod 24 and the values it reads were written 13, 17
// and 24 instructions before: at 4 per cycle that is 3 cycles or more, so
// the latency (2 cycles here) never bounds the rate.
#define KARSIDAN_RUN(BODY)                                                                                             \
    __asm__ volatile("1:\n" BODY "dec %0\n jnz 1b\n" : "+r"(iterations) : : "memory", KARSIDAN_CLOBBER_ZMM)

// clang-format off
#define R24(OP)                                                                                    \
    OP(0, 11, 7) OP(1, 12, 8) OP(2, 13, 9) OP(3, 14, 10) OP(4, 15, 11) OP(5, 16, 12) \
    OP(6, 17, 13) OP(7, 18, 14) OP(8, 19, 15) OP(9, 20, 16) OP(10, 21, 17) OP(11, 22, 18) \
    OP(12, 23, 19) OP(13, 0, 20) OP(14, 1, 21) OP(15, 2, 22) OP(16, 3, 23) OP(17, 4, 0) \
    OP(18, 5, 1) OP(19, 6, 2) OP(20, 7, 3) OP(21, 8, 4) OP(22, 9, 5) OP(23, 10, 6)

// The same rotation with even operations of one kind and odd ones of another.
#define R24MIX(A, B)                                                                               \
    A(0, 11, 7) B(1, 12, 8) A(2, 13, 9) B(3, 14, 10) A(4, 15, 11) B(5, 16, 12) A(6, 17, 13)       \
    B(7, 18, 14) A(8, 19, 15) B(9, 20, 16) A(10, 21, 17) B(11, 22, 18) A(12, 23, 19) B(13, 0, 20) \
    A(14, 1, 21) B(15, 2, 22) A(16, 3, 23) B(17, 4, 0) A(18, 5, 1) B(19, 6, 2) A(20, 7, 3)        \
    B(21, 8, 4) A(22, 9, 5) B(23, 10, 6)

// Sixteen registers 0..15 written in rotation, each read as the
// destination 16 operations after it was written; the other two operands
// are among 24..31, which the loop never writes.
#define R24ONE(OP)                                                                                 \
    OP(0, 24, 29) OP(1, 25, 30) OP(2, 26, 31) OP(3, 27, 28) OP(4, 24, 29) OP(5, 25, 30)            \
    OP(6, 26, 31) OP(7, 27, 28) OP(8, 24, 29) OP(9, 25, 30) OP(10, 26, 31) OP(11, 27, 28)          \
    OP(12, 24, 29) OP(13, 25, 30) OP(14, 26, 31) OP(15, 27, 28) OP(0, 24, 29) OP(1, 25, 30)        \
    OP(2, 26, 31) OP(3, 27, 28) OP(4, 24, 29) OP(5, 25, 30) OP(6, 26, 31) OP(7, 27, 28)

// clang-format on
#define TERN_SAME(d, a, b) "vpternlogq $0x96, %%zmm30, %%zmm31, %%zmm" #d "\n"
#define TERN_THREE(d, a, b) "vpternlogq $0x96, %%zmm" #a ", %%zmm" #b ", %%zmm" #d "\n"
#define TERN_TWO(d, a, b) "vpternlogq $0x96, %%zmm" #a ", %%zmm31, %%zmm" #d "\n"
#define XOR_TWO(d, a, b) "vpxorq %%zmm" #a ", %%zmm" #b ", %%zmm" #d "\n"
#define TERN_ONE_FRESH(d, a, b) "vpternlogq $0x96, %%zmm" #a ", %%zmm" #b ", %%zmm" #d "\n"
#define TERN_CHAIN(d, a, b) "vpternlogq $0x96, %%zmm30, %%zmm31, %%zmm0\n"
#define XOR_CHAIN(d, a, b) "vpxorq %%zmm31, %%zmm0, %%zmm0\n"
#define YMM_TERN_THREE(d, a, b) "vpternlogq $0x96, %%ymm" #a ", %%ymm" #b ", %%ymm" #d "\n"

} // namespace

void RunLogicLoop(LogicLoop loop, long iterations)
{
    switch (loop) {
    case LogicLoop::TernarySameTwo: KARSIDAN_RUN(R24(TERN_SAME)); break;
    case LogicLoop::TernaryThree: KARSIDAN_RUN(R24(TERN_THREE)); break;
    case LogicLoop::TernaryTwo: KARSIDAN_RUN(R24(TERN_TWO)); break;
    case LogicLoop::XorTwo: KARSIDAN_RUN(R24(XOR_TWO)); break;
    case LogicLoop::YmmTernaryThree: KARSIDAN_RUN(R24(YMM_TERN_THREE)); break;
    case LogicLoop::TernaryOneFresh: KARSIDAN_RUN(R24ONE(TERN_ONE_FRESH)); break;
    case LogicLoop::TernaryXorMix: KARSIDAN_RUN(R24MIX(TERN_THREE, XOR_TWO)); break;
    case LogicLoop::TernaryChain: KARSIDAN_RUN(R24(TERN_CHAIN)); break;
    case LogicLoop::XorChain: KARSIDAN_RUN(R24(XOR_CHAIN)); break;
    }
}

} // namespace karsidan::bench

#endif
