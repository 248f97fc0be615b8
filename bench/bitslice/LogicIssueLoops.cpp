// The loops of karsidan_logic_issue: straight runs of one vector
// instruction in a fixed pattern of registers, so the rate the processor
// sustains shows without any data or memory in the way. Compiled with
// -mavx512f and only called once the processor is known to run AVX-512.
#include "bench/bitslice/LogicIssueLoops.h"

#if defined(__x86_64__)

namespace karsidan::bench {

namespace {

#define KARSIDAN_CLOBBER_ZMM                                                                       \
    "xmm0", "xmm1", "xmm2", "xmm3", "xmm4", "xmm5", "xmm6", "xmm7", "xmm8", "xmm9", "xmm10",         \
        "xmm11", "xmm12", "xmm13", "xmm14", "xmm15", "xmm16", "xmm17", "xmm18", "xmm19", "xmm20",  \
        "xmm21", "xmm22", "xmm23", "xmm24", "xmm25", "xmm26", "xmm27", "xmm28", "xmm29", "xmm30",  \
        "xmm31"

// Each loop body is 24 instructions; r0..r23 rotate, so instruction i
// writes register i mod 24 and the values it reads were written 13, 17
// and 24 instructions before: at 4 per cycle that is 3 cycles or more, so
// the latency (2 cycles here) never bounds the rate.
#define KARSIDAN_RUN(BODY)                                                                         \
    __asm__ volatile("1:\n" BODY "dec %0\n jnz 1b\n" : "+r"(iterations) : : "memory",           \
                     KARSIDAN_CLOBBER_ZMM)

#define R24(OP)                                                                                    \
    OP(0, 11, 7) OP(1, 12, 8) OP(2, 13, 9) OP(3, 14, 10) OP(4, 15, 11) OP(5, 16, 12) \
    OP(6, 17, 13) OP(7, 18, 14) OP(8, 19, 15) OP(9, 20, 16) OP(10, 21, 17) OP(11, 22, 18) \
    OP(12, 23, 19) OP(13, 0, 20) OP(14, 1, 21) OP(15, 2, 22) OP(16, 3, 23) OP(17, 4, 0) \
    OP(18, 5, 1) OP(19, 6, 2) OP(20, 7, 3) OP(21, 8, 4) OP(22, 9, 5) OP(23, 10, 6)

#define TERN_SAME(d, a, b) "vpternlogq $0x96, %%zmm30, %%zmm31, %%zmm" #d "\n"
#define TERN_THREE(d, a, b) "vpternlogq $0x96, %%zmm" #a ", %%zmm" #b ", %%zmm" #d "\n"
#define TERN_TWO(d, a, b) "vpternlogq $0x96, %%zmm" #a ", %%zmm31, %%zmm" #d "\n"
#define XOR_TWO(d, a, b) "vpxorq %%zmm" #a ", %%zmm" #b ", %%zmm" #d "\n"
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
    }
}

} // namespace karsidan::bench

#endif
