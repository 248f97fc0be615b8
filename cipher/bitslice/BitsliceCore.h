#pragma once
// The bitsliced DES network, written once over a vector type and included
// by each kernel file, which compiles it for its own instruction set.
// Everything here has internal linkage on purpose: an inline function
// compiled with AVX-512 must never be the copy the linker picks for the
// portable kernel. For the same reason nothing here calls into the
// standard library.
//
// An Ops type supplies V (a vector of kLanes 64-bit lanes), Load, Store,
// Set1, Ones, And, Or, Xor, AndNot (~a & b), Shl<n>, Shr<n>, and for
// kTernary also Ternary<imm>(a, b, c).
//
// Layout: a batch is 64 rows of kLanes consecutive blocks. After the
// transposition, word c holds bit c (0 = least significant) of every block
// of the batch, lane l from blocks row * kLanes + l. The initial and final
// permutations and the swaps of halves are only a choice of which word to
// read; between the three passes IP and IP^-1 cancel.

#include "DesTables.h"
#include "RoundKeyMasks.h"

#include <cstddef>
#include <cstdint>

namespace {

#include "SboxCircuits.inc"

struct NetworkIndices {
    int e[48];      // expanded bit j reads half word e[j]
    int pInv[32];   // S-box output bit t lands in half word pInv[t]
    int ipWord[64]; // after IP, bit k is transposed word ipWord[k]
    int fpSource[64]; // transposed output word c is preoutput bit fpSource[c]
};

constexpr NetworkIndices MakeNetworkIndices()
{
    using namespace karsidan::bitslice::tables;
    NetworkIndices n{};
    for (int j = 0; j < 48; ++j) n.e[j] = kE[j] - 1;
    for (int i = 0; i < 32; ++i) n.pInv[kP[i] - 1] = i;
    for (int k = 0; k < 64; ++k) n.ipWord[k] = 64 - kIP[k];
    for (int c = 0; c < 64; ++c) n.fpSource[c] = kFP[63 - c] - 1;
    return n;
}

constexpr NetworkIndices kIdx = MakeNetworkIndices();

// Swaps the off-diagonal J x J blocks of every 2J x 2J block of the 64 x 64
// bit matrix, in each lane; six stages transpose it.
template <class Ops, int J>
inline void TransposeStage(typename Ops::V* a)
{
    constexpr std::uint64_t kMasks[] = {0x5555555555555555, 0x3333333333333333,
                                        0x0F0F0F0F0F0F0F0F, 0x00FF00FF00FF00FF,
                                        0x0000FFFF0000FFFF, 0x00000000FFFFFFFF};
    constexpr int kStage = J == 1 ? 0 : J == 2 ? 1 : J == 4 ? 2 : J == 8 ? 3 : J == 16 ? 4 : 5;
    const typename Ops::V m = Ops::Set1(kMasks[kStage]);
    for (int k = 0; k < 64; k += 2 * J) {
        for (int i = k; i < k + J; ++i) {
            const typename Ops::V t =
                Ops::And(Ops::Xor(Ops::template Shr<J>(a[i]), a[i + J]), m);
            a[i + J] = Ops::Xor(a[i + J], t);
            a[i] = Ops::Xor(a[i], Ops::template Shl<J>(t));
        }
    }
}

template <class Ops>
inline void Transpose64(typename Ops::V* a)
{
    TransposeStage<Ops, 32>(a);
    TransposeStage<Ops, 16>(a);
    TransposeStage<Ops, 8>(a);
    TransposeStage<Ops, 4>(a);
    TransposeStage<Ops, 2>(a);
    TransposeStage<Ops, 1>(a);
}

template <class Ops, int G>
inline void Sbox(typename Ops::V x0, typename Ops::V x1, typename Ops::V x2, typename Ops::V x3,
                 typename Ops::V x4, typename Ops::V x5, typename Ops::V& y0,
                 typename Ops::V& y1, typename Ops::V& y2, typename Ops::V& y3)
{
    using V = typename Ops::V;
    if constexpr (Ops::kTernary) {
        if constexpr (G == 0) Sbox1Ternary<Ops, V>(x0, x1, x2, x3, x4, x5, y0, y1, y2, y3);
        if constexpr (G == 1) Sbox2Ternary<Ops, V>(x0, x1, x2, x3, x4, x5, y0, y1, y2, y3);
        if constexpr (G == 2) Sbox3Ternary<Ops, V>(x0, x1, x2, x3, x4, x5, y0, y1, y2, y3);
        if constexpr (G == 3) Sbox4Ternary<Ops, V>(x0, x1, x2, x3, x4, x5, y0, y1, y2, y3);
        if constexpr (G == 4) Sbox5Ternary<Ops, V>(x0, x1, x2, x3, x4, x5, y0, y1, y2, y3);
        if constexpr (G == 5) Sbox6Ternary<Ops, V>(x0, x1, x2, x3, x4, x5, y0, y1, y2, y3);
        if constexpr (G == 6) Sbox7Ternary<Ops, V>(x0, x1, x2, x3, x4, x5, y0, y1, y2, y3);
        if constexpr (G == 7) Sbox8Ternary<Ops, V>(x0, x1, x2, x3, x4, x5, y0, y1, y2, y3);
    } else {
        if constexpr (G == 0) Sbox1Binary<Ops, V>(x0, x1, x2, x3, x4, x5, y0, y1, y2, y3);
        if constexpr (G == 1) Sbox2Binary<Ops, V>(x0, x1, x2, x3, x4, x5, y0, y1, y2, y3);
        if constexpr (G == 2) Sbox3Binary<Ops, V>(x0, x1, x2, x3, x4, x5, y0, y1, y2, y3);
        if constexpr (G == 3) Sbox4Binary<Ops, V>(x0, x1, x2, x3, x4, x5, y0, y1, y2, y3);
        if constexpr (G == 4) Sbox5Binary<Ops, V>(x0, x1, x2, x3, x4, x5, y0, y1, y2, y3);
        if constexpr (G == 5) Sbox6Binary<Ops, V>(x0, x1, x2, x3, x4, x5, y0, y1, y2, y3);
        if constexpr (G == 6) Sbox7Binary<Ops, V>(x0, x1, x2, x3, x4, x5, y0, y1, y2, y3);
        if constexpr (G == 7) Sbox8Binary<Ops, V>(x0, x1, x2, x3, x4, x5, y0, y1, y2, y3);
    }
}

// dst ^= P(S_G(E(src) ^ key)) for the six expanded bits of S-box G.
template <class Ops, int G>
inline void SboxStep(typename Ops::V* dst, const typename Ops::V* src, const std::uint64_t* key)
{
    using V = typename Ops::V;
    const V x0 = Ops::Xor(src[kIdx.e[6 * G + 0]], Ops::Set1(key[6 * G + 0]));
    const V x1 = Ops::Xor(src[kIdx.e[6 * G + 1]], Ops::Set1(key[6 * G + 1]));
    const V x2 = Ops::Xor(src[kIdx.e[6 * G + 2]], Ops::Set1(key[6 * G + 2]));
    const V x3 = Ops::Xor(src[kIdx.e[6 * G + 3]], Ops::Set1(key[6 * G + 3]));
    const V x4 = Ops::Xor(src[kIdx.e[6 * G + 4]], Ops::Set1(key[6 * G + 4]));
    const V x5 = Ops::Xor(src[kIdx.e[6 * G + 5]], Ops::Set1(key[6 * G + 5]));
    V y0, y1, y2, y3;
    Sbox<Ops, G>(x0, x1, x2, x3, x4, x5, y0, y1, y2, y3);
    dst[kIdx.pInv[4 * G + 0]] = Ops::Xor(dst[kIdx.pInv[4 * G + 0]], y0);
    dst[kIdx.pInv[4 * G + 1]] = Ops::Xor(dst[kIdx.pInv[4 * G + 1]], y1);
    dst[kIdx.pInv[4 * G + 2]] = Ops::Xor(dst[kIdx.pInv[4 * G + 2]], y2);
    dst[kIdx.pInv[4 * G + 3]] = Ops::Xor(dst[kIdx.pInv[4 * G + 3]], y3);
}

template <class Ops>
inline void Round(typename Ops::V* dst, const typename Ops::V* src, const std::uint64_t* key)
{
    SboxStep<Ops, 0>(dst, src, key);
    SboxStep<Ops, 1>(dst, src, key);
    SboxStep<Ops, 2>(dst, src, key);
    SboxStep<Ops, 3>(dst, src, key);
    SboxStep<Ops, 4>(dst, src, key);
    SboxStep<Ops, 5>(dst, src, key);
    SboxStep<Ops, 6>(dst, src, key);
    SboxStep<Ops, 7>(dst, src, key);
}

template <class Ops>
void EcbBatches(std::uint64_t* blocks, std::size_t batches,
                const karsidan::bitslice::RoundKeyMasks& keys)
{
    using V = typename Ops::V;
    constexpr int kLanes = Ops::kLanes;
    V words[64];
    V state[64]; // halves: state[0..31] and state[32..63]
    for (std::size_t b = 0; b < batches; ++b) {
        std::uint64_t* p = blocks + b * 64 * kLanes;
        for (int i = 0; i < 64; ++i) words[i] = Ops::Load(p + i * kLanes);
        Transpose64<Ops>(words);
        for (int k = 0; k < 64; ++k) state[k] = words[kIdx.ipWord[k]];

        // Each round XORs f of one half into the other; the halves trade
        // roles after every round except the last of a pass, because
        // IP^-1 and the next IP cancel and only undo that swap.
        V* half[2] = {state, state + 32};
        int cur = 0;
        for (int r = 0; r < 48; ++r) {
            Round<Ops>(half[cur], half[1 - cur], keys.bit[r]);
            if (r % 16 != 15) cur ^= 1;
        }
        // Preoutput R16 L16: the half written last comes first.
        const V* first = half[cur];
        const V* second = half[1 - cur];
        for (int c = 0; c < 64; ++c) {
            const int s = kIdx.fpSource[c];
            words[c] = s < 32 ? first[s] : second[s - 32];
        }
        Transpose64<Ops>(words);
        for (int i = 0; i < 64; ++i) Ops::Store(p + i * kLanes, words[i]);
    }
}

} // namespace
