// The bitsliced kernel on plain 64-bit words: 64 blocks per batch, any CPU.
#include "BitsliceCore.h"
#include "Kernels.h"

namespace {

struct PortableOps {
    using V = std::uint64_t;
    static constexpr int kLanes = 1;
    static constexpr bool kTernary = false;
    static V Load(const std::uint64_t* p) { return *p; }
    static void Store(std::uint64_t* p, V v) { *p = v; }
    static V Set1(std::uint64_t x) { return x; }
    static V Ones() { return ~V{0}; }
    static V And(V a, V b) { return a & b; }
    static V Or(V a, V b) { return a | b; }
    static V Xor(V a, V b) { return a ^ b; }
    static V AndNot(V a, V b) { return ~a & b; }
    template <int N> static V Shl(V a) { return a << N; }
    template <int N> static V Shr(V a) { return a >> N; }
};

} // namespace

namespace karsidan::bitslice::detail {

void EcbPortable(std::uint64_t* blocks, std::size_t batches, const RoundKeyMasks& keys)
{
    EcbBatches<PortableOps>(blocks, batches, keys);
}

} // namespace karsidan::bitslice::detail
