// The bitsliced kernel on plain 64-bit words: 64 blocks per batch, any CPU.
#include "cipher/bitslice/BitsliceCore.h"
#include "cipher/bitslice/Kernels.h"

namespace {

struct PortableOps {
    using V = std::uint64_t;
    static constexpr int kLanes = 1;
    static constexpr bool kTernary = false;
    static constexpr bool kOffsetHalves = false;
    static constexpr int kBatchesInFlight = 1;
    static V Load(const unsigned char* p)
    {
        V v;
        __builtin_memcpy(&v, p, sizeof v);
        return v;
    }
    static void Store(unsigned char* p, V v) { __builtin_memcpy(p, &v, sizeof v); }
    static V Set1(std::uint64_t x) { return x; }
    static V Ones() { return ~V{0}; }
    static V And(V a, V b) { return a & b; }
    static V Or(V a, V b) { return a | b; }
    static V Xor(V a, V b) { return a ^ b; }
    static V AndNot(V a, V b) { return ~a & b; }
    template <int N>
    static V Shl(V a)
    {
        return a << N;
    }
    template <int N>
    static V Shr(V a)
    {
        return a >> N;
    }
};

} // namespace

namespace karsidan::bitslice::detail {

void EcbPortable(unsigned char* data, std::size_t batches, const RoundKeyMasks& keys, bool bytesLittleEndian)
{
    EcbBatches<PortableOps>(data, batches, keys, bytesLittleEndian);
}

} // namespace karsidan::bitslice::detail
