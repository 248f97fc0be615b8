// Searches small Boolean circuits for the eight DES S-boxes and prints them
// as C++ templates (SboxCircuits.inc). Two gate sets:
//   ternary: any three-input function (AVX-512 vpternlog), one op each;
//   binary:  AND, OR, XOR and ANDNOT (~a & b), as SSE/AVX2 and plain
//            64-bit integers offer them, plus a free all-ones constant.
// A circuit is a list of gates over truth tables of the six S-box inputs
// (64 bits each). The search builds one output after the other, reusing
// every node built so far, so the four outputs share work. For a target it
// looks for an existing node, then one gate over existing nodes, then
// either splits around an input variable or picks two existing nodes that
// fix the target on most inputs and builds the rest recursively; the
// don't-care inputs these steps leave are used. It keeps the smallest of
// many seeded random trials. Binary circuits come from two searches: one
// in binary gates directly, one in ternary gates priced and then expanded
// by the smallest binary program of each three-input function. Every
// printed circuit has been checked against the S-box table on all inputs.
//
// Usage: karsidan_sbox_gen [seconds per S-box and gate set] > SboxCircuits.inc

#include "Circuit.h"
#include "CircuitFile.h"
#include "Resynthesis.h"

#include <algorithm>
#include <array>
#include <bit>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <random>
#include <string>
#include <tuple>
#include <vector>

namespace {

using namespace sboxgen;

constexpr std::size_t kPairChecks = 6;
constexpr std::size_t kBinaryStarts = 12; // expanded ternary circuits shrunk per S-box

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
        if (depth == 0) return;
        const int count = int(values.size());
        for (int i = 0; i < count; ++i) {
            for (int j = 0; j < count; ++j) {
                if (i == j) continue;
                for (int op = And; op <= AndNot; ++op) {
                    if (op != AndNot && j < i) continue;
                    const int v = int(EvalBinary(op, Truth(values[i]), Truth(values[j])) & 0xFF);
                    if (std::find(values.begin(), values.end(), v) != values.end()) continue;
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
        p.gates.push_back({Xor, n0, n1, 0});         // base
        p.gates.push_back({And, 0, base, 0});        // base + 1
        p.gates.push_back({Xor, n0, base + 1, 0});   // base + 2
        p.out = base + 2;
        return p;
    }

    static int Append(BinaryProgram& p, const BinaryProgram& sub)
    {
        if (sub.out < 4) return sub.out;
        const int offset = int(p.gates.size());
        for (Gate g : sub.gates) {
            if (g.a >= 4) g.a += offset;
            if (g.b >= 4) g.b += offset;
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

// Gates as the target instruction set counts them.
enum class Pricing { Ternary, BinaryExpansion };

class Search {
public:
    Search(GateSet set, Pricing pricing, std::uint64_t seed, int tryBothAbove)
        : set_(set), pricing_(pricing), rng_(seed), tryBothAbove_(tryBothAbove)
    {
        std::shuffle(order_, order_ + 6, rng_);
        followOrder_ = int(rng_() % 101);
        splitOnNode_ = int(rng_() % 3) * 15; // 0, 15 or 30 percent
        for (int v = 0; v < 6; ++v) {
            value_.push_back(InputTruth(v));
        }
        value_.push_back(kAll);
    }

    using Classes = std::array<Truth, 4>;

    // A node equal to f on care. When the caller feeds it into a ternary
    // gate together with nodes that split care into classes, the node may
    // equal ~f on any class instead, since the gate can invert per class.
    int Build(Truth f, Truth care, const Classes* classes = nullptr)
    {
        if (care == 0) return 0;
        if (int n = Existing(f, care); n >= 0) return n;
        if (classes != nullptr) {
            if (int n = ExistingPerClass(f, *classes); n >= 0) return n;
        }
        if (set_ == GateSet::Binary) {
            if (int n = OneBinary(f, care); n >= 0) return n;
            if (int n = TwoBinary(f, care); n >= 0) return n;
            return SplitBinary(f, care);
        }
        if (int n = OneTernary(f, care); n >= 0) return n;

        if (std::popcount(care) > tryBothAbove_) {
            // Try both ways and keep the cheaper.
            const Mark mark = Save();
            const int viaPair = ViaPair(f, care);
            if (viaPair < 0) {
                Restore(mark);
                return SplitTernary(f, care);
            }
            const Mark afterPair = Save();
            std::vector<Gate> pairGates(gates_.begin() + long(mark.gates), gates_.end());
            Restore(mark);
            const int viaSplit = SplitTernary(f, care);
            if (cost_ <= afterPair.cost) return viaSplit;
            Restore(mark);
            for (const Gate& g : pairGates) Add(g);
            return viaPair;
        }
        if (rng_() & 1) {
            const Mark mark = Save();
            if (int n = ViaPair(f, care); n >= 0) return n;
            Restore(mark);
        }
        return SplitTernary(f, care);
    }

    const std::vector<Gate>& Gates() const { return gates_; }

    // Starts from an existing circuit's gates (numbered from kBase).
    void Seed(const std::vector<Gate>& gates)
    {
        for (const Gate& g : gates) Add(g);
    }

private:
    struct Mark {
        std::size_t gates;
        int cost;
    };
    Mark Save() const { return {gates_.size(), cost_}; }
    void Restore(Mark m)
    {
        gates_.resize(m.gates);
        value_.resize(kBase + m.gates);
        cost_ = m.cost;
    }

    int Price(const Gate& g) const
    {
        if (set_ == GateSet::Binary || pricing_ == Pricing::Ternary) return 1;
        return Programs().Cost(g.op);
    }

    int Add(Gate g)
    {
        const Truth v = set_ == GateSet::Ternary
                            ? EvalTernary(g.op, value_[g.a], value_[g.b], value_[g.c])
                            : EvalBinary(g.op, value_[g.a], value_[g.b]);
        gates_.push_back(g);
        value_.push_back(v);
        cost_ += Price(g);
        return int(value_.size()) - 1;
    }

    int Existing(Truth f, Truth care) const
    {
        for (int n = 0; n < int(value_.size()); ++n) {
            if (((value_[n] ^ f) & care) == 0) return n;
        }
        return -1;
    }

    int ExistingPerClass(Truth f, const Classes& classes) const
    {
        for (int n = 0; n < int(value_.size()); ++n) {
            bool fits = true;
            for (Truth m : classes) {
                const Truth d = (value_[n] ^ f) & m;
                fits = fits && (d == 0 || d == m);
            }
            if (fits) return n;
        }
        return -1;
    }

    static Classes SplitBy(Truth care, Truth p, Truth q)
    {
        return {care & ~p & ~q, care & ~p & q, care & p & ~q, care & p & q};
    }

    // Some gate over existing nodes that gives f on the classes, up to a
    // complement per class: sets h to what it gives and returns true.
    bool FitsOneGate(Truth f, const Classes& classes, Truth& h)
    {
        const int count = int(value_.size());
        Truth care = 0;
        for (Truth m : classes) care |= m;
        for (int pattern = 0; pattern < 8; ++pattern) { // class 0 never inverted
            Truth target = f;
            for (int c = 1; c < 4; ++c) {
                if ((pattern >> (c - 1)) & 1) target ^= classes[c];
            }
            if (pattern && ((pattern & 1) && !classes[1])) continue;
            if (pattern && ((pattern & 2) && !classes[2])) continue;
            if (pattern && ((pattern & 4) && !classes[3])) continue;
            for (int i = 0; i < count; ++i) {
                for (int j = i + 1; j < count; ++j) {
                    for (int k = j + 1; k < count; ++k) {
                        bool fits = true;
                        for (int t = 0; t < 8 && fits; ++t) {
                            const Truth m = Minterm(t, value_[i], value_[j], value_[k]) & care;
                            fits = !((target & m) && (~target & m));
                        }
                        if (fits) {
                            h = target;
                            return true;
                        }
                    }
                }
            }
        }
        return false;
    }

    // A three-input gate giving f on care from a, b, c, or -1. Free entries
    // are filled at random, or for the cheapest binary expansion.
    int TernaryFit(Truth f, Truth care, Truth a, Truth b, Truth c)
    {
        int imm = 0;
        int free = 0;
        for (int k = 0; k < 8; ++k) {
            const Truth m = Minterm(k, a, b, c) & care;
            if ((f & m) && (~f & m)) return -1;
            if (f & m) imm |= 1 << k;
            if (m == 0) free |= 1 << k;
        }
        if (free == 0) return imm;
        if (pricing_ == Pricing::Ternary) return imm | int(rng_() & unsigned(free));
        int best = imm;
        for (int sub = free;; sub = (sub - 1) & free) {
            if (Programs().Cost(imm | sub) < Programs().Cost(best)) best = imm | sub;
            if (sub == 0) break;
        }
        return best;
    }

    int OneTernary(Truth f, Truth care)
    {
        const int count = int(value_.size());
        Gate best{-1, 0, 0, 0};
        int bestPrice = 1 << 20;
        for (int i = 0; i < count; ++i) {
            for (int j = i + 1; j < count; ++j) {
                for (int k = j + 1; k < count; ++k) {
                    const int imm = TernaryFit(f, care, value_[i], value_[j], value_[k]);
                    if (imm < 0) continue;
                    const Gate g{imm, i, j, k};
                    if (Price(g) < bestPrice) {
                        best = g;
                        bestPrice = Price(g);
                        if (bestPrice <= 1) return Add(best);
                    }
                }
            }
        }
        return best.op < 0 ? -1 : Add(best);
    }

    // f = L(p, q, h): p, q existing nodes that fix f on most inputs, h
    // built for the rest. The best few pairs are checked for an h that is
    // one more gate; otherwise h is built recursively for the best pair.
    int ViaPair(Truth f, Truth care)
    {
        struct Pair {
            int open, i, j;
            Truth openCare;
        };
        std::vector<Pair> pairs;
        const int count = int(value_.size());
        const int limit = std::popcount(care) / 2;
        for (int i = 0; i < count; ++i) {
            for (int j = i + 1; j < count; ++j) {
                Truth open = 0;
                for (Truth m : SplitBy(care, value_[i], value_[j])) {
                    if ((f & m) && (~f & m)) open |= m;
                }
                const int n = std::popcount(open);
                if (n <= limit) pairs.push_back({n, i, j, open});
            }
        }
        if (pairs.empty()) return -1;
        std::shuffle(pairs.begin(), pairs.end(), rng_);
        std::stable_sort(pairs.begin(), pairs.end(),
                         [](const Pair& a, const Pair& b) { return a.open < b.open; });
        const std::size_t checks = std::min<std::size_t>(pairs.size(), kPairChecks);
        for (std::size_t c = 0; c < checks; ++c) {
            const Pair& p = pairs[c];
            const Classes classes = SplitBy(p.openCare, value_[p.i], value_[p.j]);
            Truth h = 0;
            if (FitsOneGate(f, classes, h)) {
                const int hn = Build(h, p.openCare);
                const int imm = TernaryFit(f, care, value_[p.i], value_[p.j], value_[hn]);
                if (imm >= 0) return Add({imm, p.i, p.j, hn});
            }
        }
        const Pair& p = pairs.front();
        const Classes classes = SplitBy(p.openCare, value_[p.i], value_[p.j]);
        const int h = Build(f, p.openCare, &classes);
        const int imm = TernaryFit(f, care, value_[p.i], value_[p.j], value_[h]);
        if (imm < 0) return -1; // h is one of p, q
        return Add({imm, p.i, p.j, h});
    }

    // Mostly the first variable of this trial's order that splits care, so
    // the outputs decompose alike and share their parts.
    int RandomSplitVariable(Truth care)
    {
        int vars[6];
        int count = 0;
        for (int v : order_) {
            if ((care & value_[v]) && (care & ~value_[v])) vars[count++] = v;
        }
        if (int(rng_() % 100) < followOrder_) return vars[0];
        return vars[rng_() % unsigned(count)];
    }

    // Now and then an existing node that cuts care in two, so a split can
    // reuse a function the other outputs already built.
    int RandomSplitNode(Truth care)
    {
        const int count = int(value_.size());
        if (count > kBase && int(rng_() % 100) < splitOnNode_) {
            for (int tries = 0; tries < 8; ++tries) {
                const int n = kBase + int(rng_() % unsigned(count - kBase));
                if ((care & value_[n]) && (care & ~value_[n])) return n;
            }
        }
        return RandomSplitVariable(care);
    }

    int SplitTernary(Truth f, Truth care)
    {
        const int v = RandomSplitNode(care);
        const Truth firstHalf = (rng_() & 1) ? value_[v] : ~value_[v];
        const Classes half = {care & firstHalf, 0, 0, 0};
        const int f0 = Build(f, care & firstHalf, &half);
        const Truth v0 = value_[f0];
        // On the second half, wherever (x, f0) already fixes f the new node
        // is free.
        Truth gcare = 0;
        for (int k = 0; k < 4; ++k) {
            const Truth m = ((k & 2) ? ~firstHalf : firstHalf) & ((k & 1) ? v0 : ~v0) & care;
            if ((f & m) && (~f & m)) gcare |= m;
        }
        const Classes classes = SplitBy(gcare, ~firstHalf, v0);
        const int g = Build(f, gcare, &classes);
        const int imm = TernaryFit(f, care, value_[v], v0, value_[g]);
        if (imm < 0) {
            std::fprintf(stderr, "internal error: split does not fit\n");
            std::exit(1);
        }
        return Add({imm, v, f0, g});
    }

    int OneBinary(Truth f, Truth care)
    {
        const int count = int(value_.size());
        for (int i = 0; i < count; ++i) {
            for (int j = 0; j < count; ++j) {
                if (i == j) continue;
                for (int op = And; op <= AndNot; ++op) {
                    if (op != AndNot && j < i) continue;
                    if (((EvalBinary(op, value_[i], value_[j]) ^ f) & care) == 0) {
                        return Add({op, i, j, 0});
                    }
                }
            }
        }
        return -1;
    }

    // f = op(a, h) with h one gate over existing nodes.
    int TwoBinary(Truth f, Truth care)
    {
        const int count = int(value_.size());
        for (int a = 0; a < count; ++a) {
            const Truth va = value_[a];
            for (int form = 0; form < 5; ++form) {
                Truth h = f;
                Truth hcare = care;
                switch (form) {
                case 0: // a & h: where a is 0, f must be 0
                    if (f & ~va & care) continue;
                    hcare = care & va;
                    break;
                case 1: // a | h
                    if (~f & va & care) continue;
                    hcare = care & ~va;
                    break;
                case 2: // a ^ h
                    h = f ^ va;
                    break;
                case 3: // ~a & h
                    if (f & va & care) continue;
                    hcare = care & ~va;
                    break;
                default: // ~h & a
                    if (f & ~va & care) continue;
                    h = ~f;
                    hcare = care & va;
                    break;
                }
                for (int i = 0; i < count; ++i) {
                    for (int j = 0; j < count; ++j) {
                        if (i == j) continue;
                        for (int hop = And; hop <= AndNot; ++hop) {
                            if (hop != AndNot && j < i) continue;
                            if (((EvalBinary(hop, value_[i], value_[j]) ^ h) & hcare) == 0) {
                                const int hn = Add({hop, i, j, 0});
                                static const int kOps[] = {And, Or, Xor, AndNot};
                                return form == 4 ? Add({AndNot, hn, a, 0})
                                                 : Add({kOps[form], a, hn, 0});
                            }
                        }
                    }
                }
            }
        }
        return -1;
    }

    // f = f0 ^ (half & g), f0 | (half & g) or f0 & ~(half & g).
    int SplitBinary(Truth f, Truth care)
    {
        const int v = RandomSplitVariable(care);
        const bool firstHigh = rng_() & 1;
        const Truth firstHalf = firstHigh ? value_[v] : ~value_[v];
        const int f0 = Build(f, care & firstHalf);
        const Truth v0 = value_[f0];
        const Truth rest = care & ~firstHalf;
        int forms[3] = {0};
        int count = 1;
        if ((v0 & ~f & rest) == 0) forms[count++] = 1;
        if ((~v0 & f & rest) == 0) forms[count++] = 2;
        const int form = forms[rng_() % unsigned(count)];
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
        const int masked = firstHigh ? Add({AndNot, v, g, 0}) : Add({And, v, g, 0});
        if (form == 0) return Add({Xor, f0, masked, 0});
        if (form == 1) return Add({Or, f0, masked, 0});
        return Add({AndNot, masked, f0, 0});
    }

    GateSet set_;
    Pricing pricing_;
    std::mt19937_64 rng_;
    int tryBothAbove_;
    int order_[6] = {0, 1, 2, 3, 4, 5};
    int followOrder_ = 0; // percent
    int splitOnNode_ = 0; // percent
    std::vector<Truth> value_;
    std::vector<Gate> gates_;
    int cost_ = 0;
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

// Replaces each ternary gate by its shortest binary program, merging
// gates that compute the same thing from the same operands.
Circuit ExpandToBinary(const Circuit& ternary)
{
    std::vector<Gate> gates;
    std::map<std::tuple<int, int, int>, int> seen;
    auto emit = [&](int op, int a, int b) {
        if (op != AndNot && a > b) std::swap(a, b);
        const auto key = std::make_tuple(op, a, b);
        if (auto it = seen.find(key); it != seen.end()) return it->second;
        gates.push_back({op, a, b, 0});
        const int node = kBase + int(gates.size()) - 1;
        seen[key] = node;
        return node;
    };
    std::vector<int> node(kBase);
    for (int v = 0; v < kBase; ++v) node[v] = v;
    for (const Gate& g : ternary.gates) {
        const BinaryProgram& p = Programs().For(g.op);
        std::vector<int> local = {node[g.a], node[g.b], node[g.c], 6};
        for (const Gate& pg : p.gates) local.push_back(emit(pg.op, local[pg.a], local[pg.b]));
        node.push_back(local[p.out]);
    }
    int out[4];
    for (int i = 0; i < 4; ++i) out[i] = node[ternary.out[i]];
    return Prune(gates, out, GateSet::Binary);
}

Circuit Final(const Circuit& native, GateSet set, Pricing pricing)
{
    return (set == GateSet::Ternary && pricing == Pricing::BinaryExpansion) ? ExpandToBinary(native)
                                                                            : native;
}

Search MakeSearch(GateSet set, Pricing pricing, int box, std::uint64_t trial)
{
    static const int kTryBoth[] = {64, 40, 24};
    return Search(set, pricing, trial * 1000003 + std::uint64_t(box) * 77, kTryBoth[trial % 3]);
}

// A circuit in the search's own gate set, built from nothing.
Circuit FreshTrial(int box, GateSet set, Pricing pricing, std::uint64_t trial)
{
    Search search = MakeSearch(set, pricing, box, trial);
    int order[4] = {0, 1, 2, 3};
    std::mt19937_64 shuffle(trial);
    std::shuffle(order, order + 4, shuffle);
    int out[4];
    for (int bit : order) out[bit] = search.Build(SboxTruth(box, bit), kAll);
    return Prune(search.Gates(), out, set);
}

// Keeps the gates of two or three outputs and builds the others anew on
// them, in random order.
Circuit RebuildSome(const Circuit& c, int box, GateSet set, Pricing pricing, std::uint64_t trial)
{
    std::mt19937_64 pick(trial * 31 + 7);
    int order[4] = {0, 1, 2, 3};
    std::shuffle(order, order + 4, pick);
    const int rebuilt = (pick() % 3 == 0) ? 2 : 1;
    int kept[4];
    for (int i = 0; i < 4; ++i) kept[i] = c.out[order[rebuilt]]; // a kept output fills the gaps
    for (int i = rebuilt; i < 4; ++i) kept[order[i]] = c.out[order[i]];
    const Circuit base = Prune(c.gates, kept, set);
    Search search = MakeSearch(set, pricing, box, trial);
    search.Seed(base.gates);
    int out[4];
    for (int i = 0; i < 4; ++i) out[i] = base.out[i];
    for (int i = 0; i < rebuilt; ++i) out[order[i]] = search.Build(SboxTruth(box, order[i]), kAll);
    return Prune(search.Gates(), out, set);
}

// Random fresh trials for a third of the time, then repeated rebuilding of
// one or two outputs of the best circuit, keeping any change no larger.
Circuit BestOf(int box, GateSet set, Pricing pricing, double seconds)
{
    using Clock = std::chrono::steady_clock;
    const auto start = Clock::now();
    const auto freshEnd = start + std::chrono::duration<double>(seconds / 3);
    const auto end = start + std::chrono::duration<double>(seconds);
    Circuit best;
    std::size_t bestSize = ~std::size_t{0};
    std::uint64_t trial = 0;
    for (; Clock::now() < freshEnd || bestSize == ~std::size_t{0}; ++trial) {
        const Circuit c = FreshTrial(box, set, pricing, trial);
        const std::size_t size = Final(c, set, pricing).gates.size();
        if (size < bestSize) {
            best = c;
            bestSize = size;
        }
    }
    for (; Clock::now() < end; ++trial) {
        const Circuit c = RebuildSome(best, box, set, pricing, trial);
        const std::size_t size = Final(c, set, pricing).gates.size();
        if (size <= bestSize) {
            best = c;
            bestSize = size;
        }
    }
    return Final(best, set, pricing);
}

Circuit Best(int box, GateSet set, double seconds)
{
    Circuit best;
    if (set == GateSet::Ternary) {
        best = BestOf(box, GateSet::Ternary, Pricing::Ternary, seconds);
    } else {
        best = BestOf(box, GateSet::Binary, Pricing::Ternary, seconds / 2);
        const Circuit expanded = BestOf(box, GateSet::Ternary, Pricing::BinaryExpansion, seconds / 2);
        if (expanded.gates.size() < best.gates.size()) best = expanded;
    }
    if (!Verify(best, box, set)) {
        std::fprintf(stderr, "internal error: S%d circuit is wrong\n", box + 1);
        std::exit(1);
    }
    return best;
}

// The truth table of Ternary(b, a, c) given that of Ternary(a, b, c).
int SwapFirstTwo(int imm)
{
    int r = 0;
    for (int k = 0; k < 8; ++k) {
        const int a = (k >> 2) & 1, b = (k >> 1) & 1, c = k & 1;
        if ((imm >> (a << 2 | b << 1 | c)) & 1) r |= 1 << (b << 2 | a << 1 | c);
    }
    return r;
}

// The truth table of Ternary(c, a, b) given that of Ternary(a, b, c).
int RotateLastToFirst(int imm)
{
    int r = 0;
    for (int k = 0; k < 8; ++k) {
        const int a = (k >> 2) & 1, b = (k >> 1) & 1, c = k & 1;
        if ((imm >> (a << 2 | b << 1 | c)) & 1) r |= 1 << (c << 2 | a << 1 | b);
    }
    return r;
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
    // vpternlog overwrites its first operand: put there one this gate reads
    // for the last time, so the compiler need not copy a live value.
    std::vector<int> lastUse(kBase + c.gates.size(), -1);
    for (std::size_t i = 0; i < c.gates.size(); ++i) {
        lastUse[c.gates[i].a] = lastUse[c.gates[i].b] = int(i);
        if (set == GateSet::Ternary) lastUse[c.gates[i].c] = int(i);
    }
    for (int o : c.out) lastUse[o] = int(c.gates.size());
    for (std::size_t i = 0; i < c.gates.size(); ++i) {
        Gate g = c.gates[i];
        if (set == GateSet::Ternary && lastUse[g.a] != int(i)) {
            if (lastUse[g.b] == int(i)) {
                g = {SwapFirstTwo(g.op), g.b, g.a, g.c};
            } else if (lastUse[g.c] == int(i)) {
                g = {RotateLastToFirst(g.op), g.c, g.a, g.b};
            }
        }
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

void PrintHeader()
{
    std::printf("// Generated by cipher/bitslice/gen/SboxCircuitGen.cpp; do not edit.\n"
                "// DES S-box circuits. Inputs x0..x5 are the six S-box input bits, x0 the\n"
                "// first; outputs y0..y3 the four output bits, y0 the first.\n"
                "// Ternary<imm>(a, b, c) is bit (a << 2 | b << 1 | c) of imm, as vpternlog;\n"
                "// AndNot(a, b) is ~a & b.\n");
}

// Large-neighbourhood search from a circuit: one or two outputs are
// rebuilt by the greedy search on the gates of the others, then the whole is
// shrunk by resynthesis; no larger result replaces the best. Candidates
// that come out far larger are dropped after a short shrink. The distinct
// circuits of the best size met on the way are kept in `variants`.
Circuit Neighbourhood(const Circuit& start, int box, GateSet set, int iterations, std::uint64_t seed,
                      std::vector<Circuit>* variants)
{
    Resynthesis r(set, seed * 131 + std::uint64_t(box));
    Circuit best = r.Optimise(start, 20);
    for (int it = 0; it < iterations; ++it) {
        Circuit c = RebuildSome(best, box, set, Pricing::Ternary, seed * 100000 + std::uint64_t(it));
        c = r.Optimise(c, 1);
        if (c.gates.size() > best.gates.size() + 2) continue;
        c = r.Optimise(c, 6);
        if (c.gates.size() > best.gates.size()) continue;
        if (variants && c.gates.size() < best.gates.size()) variants->clear();
        best = c;
        if (variants) variants->push_back(c);
    }
    if (variants && variants->empty()) variants->push_back(best);
    return best;
}

// Goes on from the circuits of an existing file. `which` is "ternary",
// "binary" or "both"; a set not searched is copied from the file. Binary
// circuits start from their own and from the expansion of every ternary
// variant found.
int Improve(const std::string& path, int iterations, std::uint64_t seed, const std::string& which)
{
    const CircuitFile file = ReadCircuitFile(path);
    if (!file.ok) {
        std::fprintf(stderr, "cannot read correct circuits from %s\n", path.c_str());
        return 1;
    }
    Circuit ternary[8], binary[8];
    std::vector<Circuit> variants[8];
    int totals[2] = {0, 0};
    for (int box = 0; box < 8; ++box) {
        ternary[box] = file.ternary[box];
        variants[box] = {file.ternary[box]};
        if (which != "binary") {
            ternary[box] = Neighbourhood(file.ternary[box], box, GateSet::Ternary, iterations, seed, &variants[box]);
            std::fprintf(stderr, "S%d ternary: %zu -> %zu (%zu variants)\n", box + 1,
                         file.ternary[box].gates.size(), ternary[box].gates.size(), variants[box].size());
        }
        totals[0] += int(ternary[box].gates.size());
    }
    for (int box = 0; box < 8; ++box) {
        binary[box] = file.binary[box];
        if (which != "ternary") {
            Resynthesis r(GateSet::Binary, seed * 131 + std::uint64_t(box));
            Circuit best = r.Optimise(file.binary[box], 10);
            // The variants whose plain expansion is smallest are shrunk.
            std::vector<Circuit> expanded = {ExpandToBinary(file.ternary[box])};
            for (const Circuit& t : variants[box]) expanded.push_back(ExpandToBinary(t));
            std::stable_sort(expanded.begin(), expanded.end(), [](const Circuit& a, const Circuit& b) {
                return a.gates.size() < b.gates.size();
            });
            if (expanded.size() > kBinaryStarts) expanded.resize(kBinaryStarts);
            for (const Circuit& e : expanded) {
                const Circuit c = r.Optimise(e, 10);
                if (c.gates.size() < best.gates.size()) best = c;
            }
            binary[box] = r.Optimise(best, 30);
            std::fprintf(stderr, "S%d binary: %zu -> %zu\n", box + 1, file.binary[box].gates.size(),
                         binary[box].gates.size());
        }
        totals[1] += int(binary[box].gates.size());
    }
    for (int box = 0; box < 8; ++box) {
        if (!Verify(ternary[box], box, GateSet::Ternary) || !Verify(binary[box], box, GateSet::Binary)) {
            std::fprintf(stderr, "internal error: S%d circuit is wrong\n", box + 1);
            return 1;
        }
    }
    PrintHeader();
    for (int box = 0; box < 8; ++box) Print(ternary[box], box, GateSet::Ternary);
    for (int box = 0; box < 8; ++box) Print(binary[box], box, GateSet::Binary);
    std::fprintf(stderr, "total: ternary %d, binary %d\n", totals[0], totals[1]);
    return 0;
}

int main(int argc, char** argv)
{
    if (argc > 3 && std::string(argv[1]) == "improve") {
        return Improve(argv[2], std::atoi(argv[3]), argc > 4 ? std::strtoull(argv[4], nullptr, 10) : 1,
                       argc > 5 ? argv[5] : "both");
    }
    const double seconds = argc > 1 ? std::atof(argv[1]) : 2.0;
    // Optional: "ternary" or "binary" searches only that set (for trying
    // out the search; the file the build uses needs both).
    const std::string only = argc > 2 ? argv[2] : "";
    std::printf("// Generated by cipher/bitslice/gen/SboxCircuitGen.cpp; do not edit.\n"
                "// DES S-box circuits. Inputs x0..x5 are the six S-box input bits, x0 the\n"
                "// first; outputs y0..y3 the four output bits, y0 the first.\n"
                "// Ternary<imm>(a, b, c) is bit (a << 2 | b << 1 | c) of imm, as vpternlog;\n"
                "// AndNot(a, b) is ~a & b.\n");
    int totals[2] = {0, 0};
    for (GateSet set : {GateSet::Ternary, GateSet::Binary}) {
        if (!only.empty() && only != (set == GateSet::Ternary ? "ternary" : "binary")) continue;
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
