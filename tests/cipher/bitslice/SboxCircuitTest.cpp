// Every generated S-box circuit against the S-box table on all 64 inputs.
// Evaluating on truth tables does all 64 inputs in one pass: word v of
// input i holds bit i of every input value.
#include "cipher/bitslice/BitsliceTables.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace {

#include "cipher/bitslice/SboxCircuits.inc"

struct TruthOps {
    using V = std::uint64_t;
    static V Ones() { return ~V{0}; }
    static V And(V a, V b) { return a & b; }
    static V Or(V a, V b) { return a | b; }
    static V Xor(V a, V b) { return a ^ b; }
    static V AndNot(V a, V b) { return ~a & b; }
    template <int Imm>
    static V Ternary(V a, V b, V c)
    {
        V r = 0;
        for (int k = 0; k < 8; ++k) {
            if ((Imm >> k) & 1) {
                r |= ((k & 4) ? a : ~a) & ((k & 2) ? b : ~b) & ((k & 1) ? c : ~c);
            }
        }
        return r;
    }
};

using Circuit = void (*)(std::uint64_t, std::uint64_t, std::uint64_t, std::uint64_t, std::uint64_t, std::uint64_t,
                         std::uint64_t&, std::uint64_t&, std::uint64_t&, std::uint64_t&);

void ExpectMatchesTable(int box, Circuit circuit)
{
    std::uint64_t x[6] = {};
    for (int n = 0; n < 64; ++n) {
        for (int i = 0; i < 6; ++i) {
            x[i] |= std::uint64_t((n >> (5 - i)) & 1) << n;
        }
    }
    std::uint64_t y[4] = {};
    circuit(x[0], x[1], x[2], x[3], x[4], x[5], y[0], y[1], y[2], y[3]);
    for (int n = 0; n < 64; ++n) {
        const int row = ((n >> 4) & 2) | (n & 1);
        const int column = (n >> 1) & 15;
        int got = 0;
        for (int bit = 0; bit < 4; ++bit) {
            got = (got << 1) | int((y[bit] >> n) & 1);
        }
        ASSERT_EQ(got, karsidan::bitslice::tables::Sbox(box, row, column)) << "S" << box + 1 << " input " << n;
    }
}

TEST(SboxCircuits, TernaryCircuitsMatchTablesOnAllInputs)
{
    const Circuit circuits[8] = {Sbox1Ternary<TruthOps, std::uint64_t>, Sbox2Ternary<TruthOps, std::uint64_t>,
                                 Sbox3Ternary<TruthOps, std::uint64_t>, Sbox4Ternary<TruthOps, std::uint64_t>,
                                 Sbox5Ternary<TruthOps, std::uint64_t>, Sbox6Ternary<TruthOps, std::uint64_t>,
                                 Sbox7Ternary<TruthOps, std::uint64_t>, Sbox8Ternary<TruthOps, std::uint64_t>};
    for (int box = 0; box < 8; ++box) {
        ExpectMatchesTable(box, circuits[box]);
    }
}

TEST(SboxCircuits, BinaryCircuitsMatchTablesOnAllInputs)
{
    const Circuit circuits[8] = {Sbox1Binary<TruthOps, std::uint64_t>, Sbox2Binary<TruthOps, std::uint64_t>,
                                 Sbox3Binary<TruthOps, std::uint64_t>, Sbox4Binary<TruthOps, std::uint64_t>,
                                 Sbox5Binary<TruthOps, std::uint64_t>, Sbox6Binary<TruthOps, std::uint64_t>,
                                 Sbox7Binary<TruthOps, std::uint64_t>, Sbox8Binary<TruthOps, std::uint64_t>};
    for (int box = 0; box < 8; ++box) {
        ExpectMatchesTable(box, circuits[box]);
    }
}

} // namespace
