// Searches small Boolean circuits for the eight DES S-boxes and prints them
// as C++ templates (SboxCircuits.inc). Two gate sets:
//   ternary: any three-input function (AVX-512 vpternlog), one op each;
//   binary:  AND, OR, XOR and ANDNOT (~a & b), as SSE/AVX2 and plain
//            64-bit integers offer them.
// A circuit is a list of gates over truth tables of the six S-box inputs
// (64 bits each). The search decomposes an output around one input
// variable, reuses any node built so far (so the four outputs share work),
// uses the don't-care halves the decomposition leaves, and keeps the
// smallest of many seeded random trials. Every circuit printed has been
// checked against the S-box table on all 64 inputs.
//
// Usage: karsidan_sbox_gen [seconds per S-box and gate set] > SboxCircuits.inc

#include "../DesTables.h"

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

namespace {

using Truth = std::uint64_t; // bit n: value at input n, x0 = bit 5 of n
constexpr Truth kAll = ~Truth{0};
constexpr int kBase = 7; // x0..x5 and the all-ones constant

enum class GateSet { Ternary, Binary };
enum BinaryOp { And, Or, Xor, AndNot };

struct Gate {
    int op; // ternary: the 8-bit truth table; binary: a BinaryOp
    int a, b, c;
};

Truth InputTruth(int var)
{
    Truth t = 0;
    for (int n = 0; n < 64; ++n) {
        if ((n >> (5 - var)) & 1) {
            t |= Truth{1} << n;
        }
    }
    return t;
}

Truth SboxTruth(int box, int bit)
{
    Truth t = 0;
    for (int n = 0; n < 64; ++n) {
        const int row = ((n >> 4) & 2) | (n & 1);
        const int column = (n >> 1) & 15;
        if ((karsidan::bitslice::tables::kSbox[box][row][column] >> (3 - bit)) & 1) {
            t |= Truth{1} << n;
        }
    }
    return t;
}

Truth Minterm(int k, Truth a, Truth b, Truth c)
{
    return ((k & 4) ? a : ~a) & ((k & 2) ? b : ~b) & ((k & 1) ? c : ~c);
}

Truth EvalTernary(int imm, Truth a, Truth b, Truth c)
{
    Truth r = 0;
    for (int k = 0; k < 8; ++k) {
        if ((imm >> k) & 1) {
            r |= Minterm(k, a, b, c);
        }
    }
    return r;
}

Truth EvalBinary(int op, Truth a, Truth b)
{
    switch (op) {
    case And: return a & b;
    case Or: return a | b;
    case Xor: return a ^ b;
    default: return ~a & b;
    }
}

class Search {
public:
    Search(GateSet set, std::uint64_t seed) : set_(set), rng_(seed)
    {
        for (int v = 0; v < 6; ++v) {
            value_.push_back(InputTruth(v));
        }
        value_.push_back(kAll); // a constant, so NOT is one XOR
    }

    int Build(Truth f, Truth care)
    {
        if (care == 0) {
            return 0;
        }
        if (int n = Existing(f, care); n >= 0) {
            return n;
        }
        if (int n = OneGate(f, care); n >= 0) {
            return n;
        }
        if (set_ == GateSet::Binary) {
            if (int n = TwoGates(f, care); n >= 0) {
                return n;
            }
        }
        return Split(f, care);
    }

    const std::vector<Gate>& Gates() const { return gates_; }
    const std::vector<Truth>& Values() const { return value_; }

private:
    int Add(Gate g)
    {
        const Truth v = set_ == GateSet::Ternary
                            ? EvalTernary(g.op, value_[g.a], value_[g.b], value_[g.c])
                            : EvalBinary(g.op, value_[g.a], value_[g.b]);
        gates_.push_back(g);
        value_.push_back(v);
        return int(value_.size()) - 1;
    }

    int Existing(Truth f, Truth care) const
    {
        for (int n = 0; n < int(value_.size()); ++n) {
            if (((value_[n] ^ f) & care) == 0) {
                return n;
            }
        }
        return -1;
    }

    // The truth table of a three-input gate giving f on care from a, b, c,
    // or -1. Unused entries get random values so trials differ.
    int TernaryFit(Truth f, Truth care, Truth a, Truth b, Truth c)
    {
        int imm = 0;
        for (int k = 0; k < 8; ++k) {
            const Truth m = Minterm(k, a, b, c) & care;
            if ((f & m) && (~f & m)) {
                return -1;
            }
            if ((f & m) || (m == 0 && (rng_() & 1))) {
                imm |= 1 << k;
            }
        }
        return imm;
    }

    int OneGate(Truth f, Truth care)
    {
        const int count = int(value_.size());
        if (set_ == GateSet::Ternary) {
            for (int i = 0; i < count; ++i) {
                for (int j = i + 1; j < count; ++j) {
                    for (int k = j + 1; k < count; ++k) {
                        const int imm = TernaryFit(f, care, value_[i], value_[j], value_[k]);
                        if (imm >= 0) {
                            return Add({imm, i, j, k});
                        }
                    }
                }
            }
            return -1;
        }
        for (int i = 0; i < count; ++i) {
            for (int j = 0; j < count; ++j) {
                if (i == j) {
                    continue;
                }
                for (int op = And; op <= AndNot; ++op) {
                    if (op != AndNot && j < i) {
                        continue;
                    }
                    if (((EvalBinary(op, value_[i], value_[j]) ^ f) & care) == 0) {
                        return Add({op, i, j, 0});
                    }
                }
            }
        }
        return -1;
    }

    // f = op(a, h) with h one gate over existing nodes.
    int TwoGates(Truth f, Truth care)
    {
        const int count = int(value_.size());
        for (int a = 0; a < count; ++a) {
            const Truth va = value_[a];
            for (int op = And; op <= AndNot + 1; ++op) {
                Truth h = f;
                Truth hcare = care;
                int gop = op;
                bool swap = false;
                switch (op) {
                case And: // where a is 0, f must be 0
                    if (f & ~va & care) continue;
                    hcare = care & va;
                    break;
                case Or:
                    if (~f & va & care) continue;
                    hcare = care & ~va;
                    break;
                case Xor:
                    h = f ^ va;
                    break;
                case AndNot: // ~a & h
                    if (f & va & care) continue;
                    hcare = care & ~va;
                    break;
                default: // a & ~h, written AndNot(h, a)
                    if (f & ~va & care) continue;
                    h = ~f;
                    hcare = care & va;
                    gop = AndNot;
                    swap = true;
                    break;
                }
                for (int i = 0; i < count; ++i) {
                    for (int j = 0; j < count; ++j) {
                        if (i == j) continue;
                        for (int hop = And; hop <= AndNot; ++hop) {
                            if (hop != AndNot && j < i) continue;
                            if (((EvalBinary(hop, value_[i], value_[j]) ^ h) & hcare) == 0) {
                                const int hn = Add({hop, i, j, 0});
                                return swap ? Add({gop, hn, a, 0}) : Add({gop, a, hn, 0});
                            }
                        }
                    }
                }
            }
        }
        return -1;
    }

    int Split(Truth f, Truth care)
    {
        std::vector<int> vars;
        for (int v = 0; v < 6; ++v) {
            const Truth s = value_[v];
            if ((care & s) && (care & ~s)) {
                vars.push_back(v);
            }
        }
        const int v = vars[rng_() % vars.size()];
        Truth s = value_[v];
        const bool firstHigh = rng_() & 1;
        const Truth firstHalf = firstHigh ? s : ~s;
        const int f0 = Build(f, care & firstHalf);
        const Truth v0 = value_[f0];
        const Truth rest = care & ~firstHalf;

        if (set_ == GateSet::Ternary) {
            // On the second half, wherever (s, f0) already fixes f the new
            // node is free.
            Truth gcare = 0;
            for (int k = 0; k < 4; ++k) {
                const Truth m = ((k & 2) ? ~firstHalf : firstHalf) & ((k & 1) ? v0 : ~v0) & care;
                if ((f & m) && (~f & m)) {
                    gcare |= m;
                }
            }
            const int g = Build(f, gcare);
            const int imm = TernaryFit(f, care, value_[v], v0, value_[g]);
            if (imm < 0) {
                std::fprintf(stderr, "internal error: split does not fit\n");
                std::exit(1);
            }
            return Add({imm, v, f0, g});
        }

        // Binary: f = f0 ^ (half & g), f0 | (half & g) or f0 & ~(half & g).
        std::vector<int> forms = {0};
        if ((v0 & ~f & rest) == 0) forms.push_back(1);
        if ((~v0 & f & rest) == 0) forms.push_back(2);
        const int form = forms[rng_() % forms.size()];
        Truth gtarget = f ^ v0;
        Truth gcare = rest;
        if (form == 1) {
            gtarget = f;
            gcare = rest & ~v0;
        } else if (form == 2) {
            gtarget = ~f;
            gcare = rest & v0;
        }
        const int g = Build(gtarget, gcare);
        // half & g: the second half is s itself or ~s.
        const int masked = firstHigh ? Add({AndNot, v, g, 0}) : Add({And, v, g, 0});
        if (form == 0) return Add({Xor, f0, masked, 0});
        if (form == 1) return Add({Or, f0, masked, 0});
        return Add({AndNot, masked, f0, 0});
    }

    GateSet set_;
    std::mt19937_64 rng_;
    std::vector<Truth> value_;
    std::vector<Gate> gates_;
};

struct Circuit {
    std::vector<Gate> gates;
    int out[4] = {};
};

// Drops gates no output depends on and renumbers the rest.
Circuit Prune(const std::vector<Gate>& gates, const int (&out)[4], GateSet set)
{
    const int nodes = kBase + int(gates.size());
    std::vector<bool> live(nodes, false);
    for (int o : out) live[o] = true;
    for (int n = nodes - 1; n >= kBase; --n) {
        if (!live[n]) continue;
        const Gate& g = gates[n - kBase];
        live[g.a] = live[g.b] = true;
        if (set == GateSet::Ternary) live[g.c] = true;
    }
    std::vector<int> renumber(nodes, -1);
    for (int v = 0; v < kBase; ++v) renumber[v] = v;
    Circuit c;
    for (int n = kBase; n < nodes; ++n) {
        if (!live[n]) continue;
        Gate g = gates[n - kBase];
        g.a = renumber[g.a];
        g.b = renumber[g.b];
        g.c = set == GateSet::Ternary ? renumber[g.c] : 0;
        renumber[n] = kBase + int(c.gates.size());
        c.gates.push_back(g);
    }
    for (int i = 0; i < 4; ++i) c.out[i] = renumber[out[i]];
    return c;
}

bool Verify(const Circuit& c, int box, GateSet set)
{
    std::vector<Truth> v;
    for (int i = 0; i < 6; ++i) v.push_back(InputTruth(i));
    v.push_back(kAll);
    for (const Gate& g : c.gates) {
        v.push_back(set == GateSet::Ternary ? EvalTernary(g.op, v[g.a], v[g.b], v[g.c])
                                            : EvalBinary(g.op, v[g.a], v[g.b]));
    }
    for (int bit = 0; bit < 4; ++bit) {
        if (v[c.out[bit]] != SboxTruth(box, bit)) return false;
    }
    return true;
}

Circuit Best(int box, GateSet set, double seconds)
{
    Circuit best;
    std::size_t bestSize = ~std::size_t{0};
    const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    for (std::uint64_t trial = 0; std::chrono::steady_clock::now() < end; ++trial) {
        Search search(set, trial * 1000003 + std::uint64_t(box) * 77 + (set == GateSet::Binary));
        int order[4] = {0, 1, 2, 3};
        std::mt19937_64 shuffle(trial);
        std::shuffle(order, order + 4, shuffle);
        int out[4];
        for (int bit : order) {
            out[bit] = search.Build(SboxTruth(box, bit), kAll);
        }
        Circuit c = Prune(search.Gates(), out, set);
        if (c.gates.size() < bestSize) {
            if (!Verify(c, box, set)) {
                std::fprintf(stderr, "internal error: S%d circuit is wrong\n", box + 1);
                std::exit(1);
            }
            bestSize = c.gates.size();
            best = c;
        }
    }
    return best;
}

std::string Name(int n)
{
    if (n == 6) return "ones";
    return n < 6 ? "x" + std::to_string(n) : "t" + std::to_string(n);
}

void Print(const Circuit& c, int box, GateSet set)
{
    const char* suffix = set == GateSet::Ternary ? "Ternary" : "Binary";
    std::printf("\n// S%d: %zu gates.\n", box + 1, c.gates.size());
    std::printf("template <class Ops, class V>\ninline void Sbox%d%s(V x0, V x1, V x2, V x3, V x4, V x5,\n"
                "                        V& y0, V& y1, V& y2, V& y3)\n{\n",
                box + 1, suffix);
    static const char* const kOps[] = {"And", "Or", "Xor", "AndNot"};
    bool usesOnes = false;
    for (const Gate& g : c.gates) {
        usesOnes = usesOnes || g.a == 6 || g.b == 6 || (set == GateSet::Ternary && g.c == 6);
    }
    if (usesOnes) {
        std::printf("    const V ones = Ops::Ones();\n");
    }
    for (std::size_t i = 0; i < c.gates.size(); ++i) {
        const Gate& g = c.gates[i];
        const std::string name = Name(kBase + int(i));
        if (set == GateSet::Ternary) {
            std::printf("    const V %s = Ops::template Ternary<0x%02X>(%s, %s, %s);\n", name.c_str(),
                        g.op, Name(g.a).c_str(), Name(g.b).c_str(), Name(g.c).c_str());
        } else {
            std::printf("    const V %s = Ops::%s(%s, %s);\n", name.c_str(), kOps[g.op],
                        Name(g.a).c_str(), Name(g.b).c_str());
        }
    }
    for (int bit = 0; bit < 4; ++bit) {
        std::printf("    y%d = %s;\n", bit, Name(c.out[bit]).c_str());
    }
    std::printf("}\n");
}

} // namespace

int main(int argc, char** argv)
{
    const double seconds = argc > 1 ? std::atof(argv[1]) : 2.0;
    std::printf("// Generated by cipher/bitslice/gen/SboxCircuitGen.cpp; do not edit.\n"
                "// DES S-box circuits. Inputs x0..x5 are the six S-box input bits, x0 the\n"
                "// first; outputs y0..y3 the four output bits, y0 the first.\n"
                "// Ternary<imm>(a, b, c) is bit (a << 2 | b << 1 | c) of imm, as vpternlog;\n"
                "// AndNot(a, b) is ~a & b.\n");
    int totals[2] = {0, 0};
    for (GateSet set : {GateSet::Ternary, GateSet::Binary}) {
        for (int box = 0; box < 8; ++box) {
            const Circuit c = Best(box, set, seconds);
            totals[set == GateSet::Binary] += int(c.gates.size());
            Print(c, box, set);
            std::fprintf(stderr, "S%d %s: %zu gates\n", box + 1,
                         set == GateSet::Ternary ? "ternary" : "binary", c.gates.size());
        }
    }
    std::fprintf(stderr, "total: ternary %d, binary %d\n", totals[0], totals[1]);
}
