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
// kTernary also Ternary<imm>(a, b, c) and XorBroadcast(a, &word). With
// kOffsetHalves its half words carry constants (RoundKeyMasks) and
// RoundWithOffsets<AllKeyed>(dst, src, in, out) runs a round: OffsetRound
// below, or a kernel's own.
// kBatchesInFlight batches run their rounds in turn (BatchGroup).
//
// Layout: a batch is 64 rows of kLanes consecutive blocks. After the
// transposition, word c holds bit c (0 = least significant) of every block
// of the batch, lane l from blocks row * kLanes + l. The initial and final
// permutations and the swaps of halves are only a choice of which word to
// read; between the three passes IP and IP^-1 cancel.

#include "cipher/bitslice/BitsliceTables.h"
#include "cipher/bitslice/RoundKeyMasks.h"

#include <cstddef>
#include <cstdint>

namespace {

#include "cipher/bitslice/SboxCircuits.inc"

struct NetworkIndices {
    int e[48]; // expanded bit j reads half word e[j]
    int pInv[32]; // S-box output bit t lands in half word pInv[t]
};

constexpr NetworkIndices MakeNetworkIndices()
{
    using namespace karsidan::bitslice::tables;
    NetworkIndices n{};
    for (int j = 0; j < 48; ++j)
        n.e[j] = kE[j] - 1;
    for (int i = 0; i < 32; ++i)
        n.pInv[kP[i] - 1] = i;
    return n;
}

constexpr NetworkIndices kIdx = MakeNetworkIndices();

// Where DES bit b (1 = first) of a block sits in its 64-bit load: the
// transposed word index. Packed blocks hold bit 1 in bit 63; a block of
// bytes loaded little-endian holds byte 0 in bits 0..7, its first bit in 7.
struct BlockLayout {
    int ipPos[64]; // transposed word c is bit ipPos[c] after IP
    int fpSource[64]; // transposed output word c is preoutput bit fpSource[c]
};

constexpr int PackedWord(int b) { return 64 - b; }

constexpr int BytesWord(int b) { return 8 * ((b - 1) / 8) + 7 - (b - 1) % 8; }

template <bool Bytes>
constexpr BlockLayout MakeBlockLayout()
{
    using namespace karsidan::bitslice::tables;
    BlockLayout l{};
    for (int k = 0; k < 64; ++k)
        l.ipPos[Bytes ? BytesWord(kIP[k]) : PackedWord(kIP[k])] = k;
    for (int i = 1; i <= 64; ++i) {
        l.fpSource[Bytes ? BytesWord(i) : PackedWord(i)] = kFP[i - 1] - 1;
    }
    return l;
}

constexpr BlockLayout kPackedLayout = MakeBlockLayout<false>();
constexpr BlockLayout kBytesLayout = MakeBlockLayout<true>();

struct FirstUses {
    bool v[48];
    constexpr bool operator[](int j) const { return v[j]; }
};

constexpr FirstUses MakeFirstUses()
{
    FirstUses f{};
    for (int j = 0; j < 48; ++j)
        f.v[j] = karsidan::bitslice::IsFirstExpansionUse(j);
    return f;
}

constexpr FirstUses kFirstUse = MakeFirstUses();

// Read at run time, so a table of this file's own rather than a call to a
// function another file may compile differently.
struct FullRounds {
    bool v[48];
};

constexpr FullRounds MakeFullRounds()
{
    FullRounds f{};
    for (int r = 0; r < 48; ++r)
        f.v[r] = karsidan::bitslice::IsFullKeyRound(r);
    return f;
}

constexpr FullRounds kFullRound = MakeFullRounds();

// One swap-move of the 64 x 64 bit transposition, in each lane: the bits of
// row a at columns J..2J-1 of every 2J block trade places with those of
// row b (J rows further down) at columns 0..J-1.
template <class Ops, int J>
inline void SwapMove(typename Ops::V& a, typename Ops::V& b)
{
    constexpr std::uint64_t kMask = J == 1 ? 0x5555555555555555
        : J == 2                           ? 0x3333333333333333
        : J == 4                           ? 0x0F0F0F0F0F0F0F0F
        : J == 8                           ? 0x00FF00FF00FF00FF
        : J == 16                          ? 0x0000FFFF0000FFFF
                                           : 0x00000000FFFFFFFF;
    const typename Ops::V m = Ops::Set1(kMask);
    typename Ops::V t;
    if constexpr (Ops::kTernary) {
        t = Ops::template Ternary<0x28>(Ops::template Shr<J>(a), b, m); // (x ^ y) & m
    } else {
        t = Ops::And(Ops::Xor(Ops::template Shr<J>(a), b), m);
    }
    b = Ops::Xor(b, t);
    a = Ops::Xor(a, Ops::template Shl<J>(t));
}

// Strides 4J, 2J and J among eight rows r[0..7] that lie J rows apart.
template <class Ops, int J>
inline void ThreeStages(typename Ops::V* r)
{
    SwapMove<Ops, 4 * J>(r[0], r[4]);
    SwapMove<Ops, 4 * J>(r[1], r[5]);
    SwapMove<Ops, 4 * J>(r[2], r[6]);
    SwapMove<Ops, 4 * J>(r[3], r[7]);
    SwapMove<Ops, 2 * J>(r[0], r[2]);
    SwapMove<Ops, 2 * J>(r[1], r[3]);
    SwapMove<Ops, 2 * J>(r[4], r[6]);
    SwapMove<Ops, 2 * J>(r[5], r[7]);
    SwapMove<Ops, J>(r[0], r[1]);
    SwapMove<Ops, J>(r[2], r[3]);
    SwapMove<Ops, J>(r[4], r[5]);
    SwapMove<Ops, J>(r[6], r[7]);
}

// Transposes the 64 x 64 bit matrix of every lane: row i comes from
// load(i), column c goes to store(c, word). Two passes of eight rows held in
// registers (strides 32, 16, 8, then 4, 2, 1) instead of six over memory;
// the loads and stores are the caller's, so the permutations around the
// transposition cost no pass of their own.
template <class Ops, class Load, class Store>
inline void Transpose64(Load load, Store store)
{
    using V = typename Ops::V;
    V scratch[64];
    for (int i = 0; i < 8; ++i) {
        V r[8];
        for (int k = 0; k < 8; ++k)
            r[k] = load(i + 8 * k);
        if constexpr (requires { Ops::TransposeBytes(r); }) {
            Ops::TransposeBytes(r);
        } else {
            ThreeStages<Ops, 8>(r);
        }
        for (int k = 0; k < 8; ++k)
            scratch[i + 8 * k] = r[k];
    }
    for (int g = 0; g < 8; ++g) {
        V r[8];
        for (int k = 0; k < 8; ++k)
            r[k] = scratch[8 * g + k];
        ThreeStages<Ops, 1>(r);
        for (int k = 0; k < 8; ++k)
            store(8 * g + k, r[k]);
    }
}

template <class Ops, int G>
inline void Sbox(typename Ops::V x0, typename Ops::V x1, typename Ops::V x2, typename Ops::V x3, typename Ops::V x4,
                 typename Ops::V x5, typename Ops::V& y0, typename Ops::V& y1, typename Ops::V& y2, typename Ops::V& y3)
{
    using V = typename Ops::V;
    if constexpr (Ops::kTernary) {
        if constexpr (G == 0)
            Sbox1Ternary<Ops, V>(x0, x1, x2, x3, x4, x5, y0, y1, y2, y3);
        if constexpr (G == 1)
            Sbox2Ternary<Ops, V>(x0, x1, x2, x3, x4, x5, y0, y1, y2, y3);
        if constexpr (G == 2)
            Sbox3Ternary<Ops, V>(x0, x1, x2, x3, x4, x5, y0, y1, y2, y3);
        if constexpr (G == 3)
            Sbox4Ternary<Ops, V>(x0, x1, x2, x3, x4, x5, y0, y1, y2, y3);
        if constexpr (G == 4)
            Sbox5Ternary<Ops, V>(x0, x1, x2, x3, x4, x5, y0, y1, y2, y3);
        if constexpr (G == 5)
            Sbox6Ternary<Ops, V>(x0, x1, x2, x3, x4, x5, y0, y1, y2, y3);
        if constexpr (G == 6)
            Sbox7Ternary<Ops, V>(x0, x1, x2, x3, x4, x5, y0, y1, y2, y3);
        if constexpr (G == 7)
            Sbox8Ternary<Ops, V>(x0, x1, x2, x3, x4, x5, y0, y1, y2, y3);
    } else {
        if constexpr (G == 0)
            Sbox1Binary<Ops, V>(x0, x1, x2, x3, x4, x5, y0, y1, y2, y3);
        if constexpr (G == 1)
            Sbox2Binary<Ops, V>(x0, x1, x2, x3, x4, x5, y0, y1, y2, y3);
        if constexpr (G == 2)
            Sbox3Binary<Ops, V>(x0, x1, x2, x3, x4, x5, y0, y1, y2, y3);
        if constexpr (G == 3)
            Sbox4Binary<Ops, V>(x0, x1, x2, x3, x4, x5, y0, y1, y2, y3);
        if constexpr (G == 4)
            Sbox5Binary<Ops, V>(x0, x1, x2, x3, x4, x5, y0, y1, y2, y3);
        if constexpr (G == 5)
            Sbox6Binary<Ops, V>(x0, x1, x2, x3, x4, x5, y0, y1, y2, y3);
        if constexpr (G == 6)
            Sbox7Binary<Ops, V>(x0, x1, x2, x3, x4, x5, y0, y1, y2, y3);
        if constexpr (G == 7)
            Sbox8Binary<Ops, V>(x0, x1, x2, x3, x4, x5, y0, y1, y2, y3);
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

template <class Ops, int J, bool Full>
inline typename Ops::V OffsetInput(const typename Ops::V* src, const std::uint64_t* in)
{
    if constexpr (Full || !kFirstUse[J]) {
        return Ops::Xor(src[kIdx.e[J]], Ops::Set1(in[J]));
    } else {
        return src[kIdx.e[J]];
    }
}

// The same step with the half words kept offset by constants (see
// RoundKeyMasks): first uses of a bit read it as stored, and the update is
// one three-input XOR that also moves the word to its next constant.
template <class Ops, int G, bool Full>
inline void OffsetSboxStep(typename Ops::V* dst, const typename Ops::V* src, const std::uint64_t* in,
                           const std::uint64_t* out)
{
    using V = typename Ops::V;
    const V x0 = OffsetInput<Ops, 6 * G + 0, Full>(src, in);
    const V x1 = OffsetInput<Ops, 6 * G + 1, Full>(src, in);
    const V x2 = OffsetInput<Ops, 6 * G + 2, Full>(src, in);
    const V x3 = OffsetInput<Ops, 6 * G + 3, Full>(src, in);
    const V x4 = OffsetInput<Ops, 6 * G + 4, Full>(src, in);
    const V x5 = OffsetInput<Ops, 6 * G + 5, Full>(src, in);
    V y0, y1, y2, y3;
    Sbox<Ops, G>(x0, x1, x2, x3, x4, x5, y0, y1, y2, y3);
    constexpr int p0 = kIdx.pInv[4 * G + 0], p1 = kIdx.pInv[4 * G + 1];
    constexpr int p2 = kIdx.pInv[4 * G + 2], p3 = kIdx.pInv[4 * G + 3];
    dst[p0] = Ops::Xor(Ops::XorBroadcast(dst[p0], &out[p0]), y0);
    dst[p1] = Ops::Xor(Ops::XorBroadcast(dst[p1], &out[p1]), y1);
    dst[p2] = Ops::Xor(Ops::XorBroadcast(dst[p2], &out[p2]), y2);
    dst[p3] = Ops::Xor(Ops::XorBroadcast(dst[p3], &out[p3]), y3);
}

template <class Ops, bool Full>
inline void OffsetRound(typename Ops::V* dst, const typename Ops::V* src, const std::uint64_t* in,
                        const std::uint64_t* out)
{
    OffsetSboxStep<Ops, 0, Full>(dst, src, in, out);
    OffsetSboxStep<Ops, 1, Full>(dst, src, in, out);
    OffsetSboxStep<Ops, 2, Full>(dst, src, in, out);
    OffsetSboxStep<Ops, 3, Full>(dst, src, in, out);
    OffsetSboxStep<Ops, 4, Full>(dst, src, in, out);
    OffsetSboxStep<Ops, 5, Full>(dst, src, in, out);
    OffsetSboxStep<Ops, 6, Full>(dst, src, in, out);
    OffsetSboxStep<Ops, 7, Full>(dst, src, in, out);
}

// K consecutive batches from p, their rounds taken in turn: the next
// round of one batch needs the last S-boxes of its round before, and the
// other batch's round fills that wait.
template <class Ops, int K>
inline void BatchGroup(unsigned char* p, const karsidan::bitslice::RoundKeyMasks& keys, const BlockLayout& layout)
{
    using V = typename Ops::V;
    constexpr int kLanes = Ops::kLanes;
    constexpr std::size_t kBatchBytes = 64 * 8 * kLanes;
    V state[K][64]; // per batch, halves: [0..31] and [32..63]
    for (int k = 0; k < K; ++k) {
        unsigned char* q = p + k * kBatchBytes;
        V* words = state[k];
        Transpose64<Ops>([q](int i) { return Ops::Load(q + i * 8 * kLanes); },
                         [words, &layout](int c, V w) { words[layout.ipPos[c]] = w; });
    }
    // Each round XORs f of one half into the other; the halves trade
    // roles after every round except the last of a pass, because
    // IP^-1 and the next IP cancel and only undo that swap.
    int cur = 0;
    for (int r = 0; r < 48; ++r) {
        for (int k = 0; k < K; ++k) {
            V* dst = state[k] + 32 * cur;
            const V* src = state[k] + 32 * (1 - cur);
            if constexpr (Ops::kOffsetHalves) {
                if (kFullRound.v[r]) {
                    Ops::template RoundWithOffsets<true>(dst, src, keys.in[r], keys.out[r]);
                } else {
                    Ops::template RoundWithOffsets<false>(dst, src, keys.in[r], keys.out[r]);
                }
            } else {
                Round<Ops>(dst, src, keys.bit[r]);
            }
        }
        if (r % 16 != 15)
            cur ^= 1;
    }
    // Preoutput R16 L16: the half written last comes first. Kernels
    // that keep constants in the words take them out on the way.
    const int first = 32 * cur;
    const int second = 32 * (1 - cur);
    for (int k = 0; k < K; ++k) {
        unsigned char* q = p + k * kBatchBytes;
        const V* words = state[k];
        Transpose64<Ops>(
            [&](int c) {
                const int s = layout.fpSource[c];
                const int w = s < 32 ? first + s : second + s - 32;
                if constexpr (Ops::kOffsetHalves) {
                    return Ops::Xor(words[w], Ops::Set1(keys.final[w]));
                } else {
                    return words[w];
                }
            },
            [q](int i, V w) { Ops::Store(q + i * 8 * kLanes, w); });
    }
}

// bytesLittleEndian: blocks are byte strings loaded on a little-endian
// machine; otherwise 64-bit values with the first bit most significant.
// Ops::kBatchesInFlight batches at a time where there are that many.
template <class Ops>
void EcbBatches(unsigned char* data, std::size_t batches, const karsidan::bitslice::RoundKeyMasks& keys,
                bool bytesLittleEndian)
{
    const BlockLayout& layout = bytesLittleEndian ? kBytesLayout : kPackedLayout;
    constexpr std::size_t kBatchBytes = 64 * 8 * Ops::kLanes;
    constexpr int kInFlight = Ops::kBatchesInFlight;
    std::size_t b = 0;
    for (; b + kInFlight <= batches; b += kInFlight) {
        BatchGroup<Ops, kInFlight>(data + b * kBatchBytes, keys, layout);
    }
    for (; b < batches; ++b)
        BatchGroup<Ops, 1>(data + b * kBatchBytes, keys, layout);
}

} // namespace
