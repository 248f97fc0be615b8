#pragma once
// Gate circuits over the truth tables of the six S-box inputs, shared by the
// searches, the optimiser and the printer of the generator.

#include "cipher/bitslice/BitsliceTables.h"

#include <cstdint>
#include <vector>

namespace sboxgen {

using Truth = std::uint64_t; // bit n: value at input n, x0 = bit 5 of n
constexpr Truth kAll = ~Truth{0};
constexpr int kBase = 7; // nodes x0..x5 and the all-ones constant

enum class GateSet { Ternary, Binary };
enum BinaryOp { And, Or, Xor, AndNot };

struct Gate {
    int op; // ternary: the 8-bit truth table; binary: a BinaryOp
    int a, b, c;
};

// Nodes 0..5 are the inputs, 6 the all-ones constant, kBase + i gate i.
// Gates only read nodes before them.
struct Circuit {
    std::vector<Gate> gates;
    int out[4] = {};
};

inline Truth InputTruth(int var)
{
    Truth t = 0;
    for (int n = 0; n < 64; ++n) {
        if ((n >> (5 - var)) & 1)
            t |= Truth{1} << n;
    }
    return t;
}

inline Truth SboxTruth(int box, int bit)
{
    Truth t = 0;
    for (int n = 0; n < 64; ++n) {
        const int row = ((n >> 4) & 2) | (n & 1);
        const int column = (n >> 1) & 15;
        if ((karsidan::bitslice::tables::Sbox(box, row, column) >> (3 - bit)) & 1) {
            t |= Truth{1} << n;
        }
    }
    return t;
}

// Drops gates no output depends on and renumbers the rest.
inline Circuit Prune(const std::vector<Gate>& gates, const int (&out)[4], GateSet set)
{
    const int nodes = kBase + int(gates.size());
    std::vector<bool> live(nodes, false);
    for (int o : out)
        live[o] = true;
    for (int n = nodes - 1; n >= kBase; --n) {
        if (!live[n])
            continue;
        const Gate& g = gates[n - kBase];
        live[g.a] = live[g.b] = true;
        if (set == GateSet::Ternary)
            live[g.c] = true;
    }
    std::vector<int> renumber(nodes, -1);
    for (int v = 0; v < kBase; ++v)
        renumber[v] = v;
    Circuit c;
    for (int n = kBase; n < nodes; ++n) {
        if (!live[n])
            continue;
        Gate g = gates[n - kBase];
        g.a = renumber[g.a];
        g.b = renumber[g.b];
        g.c = set == GateSet::Ternary ? renumber[g.c] : 0;
        renumber[n] = kBase + int(c.gates.size());
        c.gates.push_back(g);
    }
    for (int i = 0; i < 4; ++i)
        c.out[i] = renumber[out[i]];
    return c;
}

inline Truth Minterm(int k, Truth a, Truth b, Truth c)
{
    return ((k & 4) ? a : ~a) & ((k & 2) ? b : ~b) & ((k & 1) ? c : ~c);
}

inline Truth EvalTernary(int imm, Truth a, Truth b, Truth c)
{
    Truth r = 0;
    for (int k = 0; k < 8; ++k) {
        if ((imm >> k) & 1)
            r |= Minterm(k, a, b, c);
    }
    return r;
}

inline Truth EvalBinary(int op, Truth a, Truth b)
{
    switch (op) {
    case And: return a & b;
    case Or: return a | b;
    case Xor: return a ^ b;
    default: return ~a & b;
    }
}

inline Truth EvalGate(const Gate& g, const std::vector<Truth>& v, GateSet set)
{
    return set == GateSet::Ternary ? EvalTernary(g.op, v[g.a], v[g.b], v[g.c]) : EvalBinary(g.op, v[g.a], v[g.b]);
}

// The value of every node, inputs first.
inline std::vector<Truth> Simulate(const Circuit& c, GateSet set)
{
    std::vector<Truth> v;
    v.reserve(kBase + c.gates.size());
    for (int i = 0; i < 6; ++i)
        v.push_back(InputTruth(i));
    v.push_back(kAll);
    for (const Gate& g : c.gates)
        v.push_back(EvalGate(g, v, set));
    return v;
}

// The inputs at which a change of `node` reaches an output (values from
// Simulate).
inline Truth ObservableCare(const Circuit& c, GateSet set, const std::vector<Truth>& values, int node)
{
    std::vector<Truth> flipped = values;
    flipped[node] = ~values[node];
    for (int n = node + 1; n < kBase + int(c.gates.size()); ++n) {
        flipped[n] = EvalGate(c.gates[n - kBase], flipped, set);
    }
    Truth care = 0;
    for (int o : c.out)
        care |= values[o] ^ flipped[o];
    return care;
}

inline bool Verify(const Circuit& c, int box, GateSet set)
{
    for (const Gate& g : c.gates) {
        const int self = kBase + int(&g - c.gates.data());
        if (g.a >= self || g.b >= self || (set == GateSet::Ternary && g.c >= self))
            return false;
    }
    const std::vector<Truth> v = Simulate(c, set);
    for (int bit = 0; bit < 4; ++bit) {
        if (v[c.out[bit]] != SboxTruth(box, bit))
            return false;
    }
    return true;
}

} // namespace sboxgen
