#include "tools/sbox-gen/BinaryExpansion.h"

#include <algorithm>
#include <map>
#include <tuple>

namespace sboxgen {

namespace {

// The shortest binary program for each three-input function, found by
// enumerating all programs of up to four gates. Nodes 0, 1, 2 are the
// inputs a, b, c and 3 the all-ones constant.
struct BinaryProgram {
    std::vector<Gate> gates;
    int out = -1;
};

class BinaryPrograms {
public:
    BinaryPrograms()
    {
        std::vector<int> values = {0xF0, 0xCC, 0xAA, 0xFF};
        std::vector<Gate> gates;
        for (int v = 0; v < 3; ++v) {
            best_[values[v]] = {{}, v};
        }
        Extend(values, gates, 4);
        for (int f = 0; f < 256; ++f) {
            if (best_[f].out < 0) {
                best_[f] = Mux(f);
            }
        }
    }

    const BinaryProgram& For(int imm) const { return best_[imm]; }
    int Cost(int imm) const { return int(best_[imm].gates.size()); }

private:
    void Extend(std::vector<int>& values, std::vector<Gate>& gates, int depth)
    {
        if (depth == 0)
            return;
        const int count = int(values.size());
        for (int i = 0; i < count; ++i) {
            for (int j = 0; j < count; ++j) {
                if (i == j)
                    continue;
                for (int op = And; op <= AndNot; ++op) {
                    if (op != AndNot && j < i)
                        continue;
                    const int v = int(EvalBinary(op, Truth(values[i]), Truth(values[j])) & 0xFF);
                    if (std::find(values.begin(), values.end(), v) != values.end())
                        continue;
                    gates.push_back({op, i, j, 0});
                    values.push_back(v);
                    BinaryProgram& b = best_[v];
                    if (b.out < 0 || b.gates.size() > gates.size()) {
                        b = {gates, count};
                    }
                    Extend(values, gates, depth - 1);
                    gates.pop_back();
                    values.pop_back();
                }
            }
        }
    }

    // f = a ? f1(b, c) : f0(b, c), for the few functions longer than four.
    BinaryProgram Mux(int f) const
    {
        const int f1 = (f & 0xF0) | (f >> 4);
        const int f0 = (f & 0x0F) | ((f & 0x0F) << 4);
        BinaryProgram p;
        const int n0 = Append(p, best_[f0]);
        const int n1 = Append(p, best_[f1]);
        const int base = 4 + int(p.gates.size());
        p.gates.push_back({Xor, n0, n1, 0}); // base
        p.gates.push_back({And, 0, base, 0}); // base + 1
        p.gates.push_back({Xor, n0, base + 1, 0}); // base + 2
        p.out = base + 2;
        return p;
    }

    static int Append(BinaryProgram& p, const BinaryProgram& sub)
    {
        if (sub.out < 4)
            return sub.out;
        const int offset = int(p.gates.size());
        for (Gate g : sub.gates) {
            if (g.a >= 4)
                g.a += offset;
            if (g.b >= 4)
                g.b += offset;
            p.gates.push_back(g);
        }
        return sub.out + offset;
    }

    BinaryProgram best_[256];
};

const BinaryPrograms& Programs()
{
    static const BinaryPrograms programs;
    return programs;
}

// Sets the entries of each gate's table that never reach an output, one
// gate after the other, so that its binary program is shortest.
Circuit Cheapen(Circuit c)
{
    std::vector<Truth> v = Simulate(c, GateSet::Ternary);
    for (int n = kBase; n < kBase + int(c.gates.size()); ++n) {
        Gate& g = c.gates[n - kBase];
        const Truth care = ObservableCare(c, GateSet::Ternary, v, n);
        int fixed = 0;
        for (int k = 0; k < 8; ++k) {
            if (Minterm(k, v[g.a], v[g.b], v[g.c]) & care)
                fixed |= 1 << k;
        }
        const int free = ~fixed & 0xFF;
        int best = g.op;
        for (int sub = free;; sub = (sub - 1) & free) {
            const int imm = (g.op & fixed) | sub;
            if (Programs().Cost(imm) < Programs().Cost(best))
                best = imm;
            if (sub == 0)
                break;
        }
        g.op = best;
        v = Simulate(c, GateSet::Ternary);
    }
    return c;
}

// Replaces each ternary gate by its shortest binary program, merging
// gates that compute the same thing from the same operands.
} // namespace

Circuit ExpandToBinary(const Circuit& unreduced)
{
    const Circuit ternary = Cheapen(unreduced);
    std::vector<Gate> gates;
    std::map<std::tuple<int, int, int>, int> seen;
    auto emit = [&](int op, int a, int b) {
        if (op != AndNot && a > b)
            std::swap(a, b);
        const auto key = std::make_tuple(op, a, b);
        if (auto it = seen.find(key); it != seen.end())
            return it->second;
        gates.push_back({op, a, b, 0});
        const int node = kBase + int(gates.size()) - 1;
        seen[key] = node;
        return node;
    };
    std::vector<int> node(kBase);
    for (int v = 0; v < kBase; ++v)
        node[v] = v;
    for (const Gate& g : ternary.gates) {
        const BinaryProgram& p = Programs().For(g.op);
        std::vector<int> local = {node[g.a], node[g.b], node[g.c], 6};
        for (const Gate& pg : p.gates)
            local.push_back(emit(pg.op, local[pg.a], local[pg.b]));
        node.push_back(local[p.out]);
    }
    int out[4];
    for (int i = 0; i < 4; ++i)
        out[i] = node[ternary.out[i]];
    return Prune(gates, out, GateSet::Binary);
}

int BinaryCost(int imm) { return Programs().Cost(imm); }

} // namespace sboxgen
