#include "tools/sbox-gen/Resynthesis.h"

#include <algorithm>
#include <bit>
#include <functional>

namespace sboxgen {

namespace {

constexpr int kNew = 1 << 20; // Replacement gates read kNew + i for their own gate i
constexpr std::size_t kPairLimit = 64; // pairs tried for a two-gate ternary rewrite

int Inputs(GateSet set) { return set == GateSet::Ternary ? 3 : 2; }

int& Input(Gate& g, int i) { return i == 0 ? g.a : i == 1 ? g.b : g.c; }

// The gate's truth table when the inputs at the positions in mask
// (a = 4, b = 2, c = 1) arrive complemented.
int FlipInputs(int imm, int mask)
{
    int r = 0;
    for (int k = 0; k < 8; ++k) {
        if ((imm >> (k ^ mask)) & 1)
            r |= 1 << k;
    }
    return r;
}

// The ways f = op(a, w) can hold: the target and care set w must meet.
struct Side {
    int form; // 0: a & w, 1: a | w, 2: a ^ w, 3: ~a & w, 4: ~w & a
    Truth target, care;
};

int Sides(Truth f, Truth care, Truth a, Side* out)
{
    int n = 0;
    if (!(f & ~a & care))
        out[n++] = {0, f, care & a};
    if (!(~f & a & care))
        out[n++] = {1, f, care & ~a};
    out[n++] = {2, f ^ a, care};
    if (!(f & a & care))
        out[n++] = {3, f, care & ~a};
    if (!(f & ~a & care))
        out[n++] = {4, ~f, care & a};
    return n;
}

Gate Outer(int form, int a, int w)
{
    static const int kOps[] = {And, Or, Xor, AndNot};
    return form == 4 ? Gate{AndNot, w, a, 0} : Gate{kOps[form], a, w, 0};
}

} // namespace

Circuit Normalise(const std::vector<Gate>& gates, const int (&out)[4], GateSet set)
{
    const int nodes = kBase + int(gates.size());
    std::vector<int> renumber(nodes, -1);
    for (int v = 0; v < kBase; ++v)
        renumber[v] = v;
    Circuit c;
    // Depth-first from the outputs: a gate is placed after all it reads.
    std::function<int(int)> place = [&](int n) {
        if (renumber[n] >= 0)
            return renumber[n];
        Gate g = gates[n - kBase];
        for (int i = 0; i < Inputs(set); ++i)
            Input(g, i) = place(Input(g, i));
        if (set == GateSet::Binary)
            g.c = 0;
        renumber[n] = kBase + int(c.gates.size());
        c.gates.push_back(g);
        return renumber[n];
    };
    for (int i = 0; i < 4; ++i)
        c.out[i] = place(out[i]);
    return c;
}

Resynthesis::Resynthesis(GateSet set, std::uint64_t seed) : set_(set), rng_(seed) { }

bool Resynthesis::FindExisting(Truth f, Truth care, bool allowComplement, Replacement& r)
{
    for (std::size_t i = 0; i < cand_.size(); ++i) {
        const Truth d = (candValue_[i] ^ f) & care;
        if (d == 0 || (allowComplement && d == care)) {
            r.gates.clear();
            r.node = cand_[i];
            r.complemented = d != 0;
            return true;
        }
    }
    return false;
}

bool Resynthesis::TernaryOneGate(Truth f, Truth care, bool random, Gate& g)
{
    const int n = int(cand_.size());
    for (int i = 0; i < n; ++i) {
        for (int j = i + 1; j < n; ++j) {
            const Truth a = candValue_[i], b = candValue_[j];
            // The four classes of (a, b) that f does not already split.
            const Truth ab[4] = {~a & ~b & care, ~a & b & care, a & ~b & care, a & b & care};
            for (int k = j + 1; k < n; ++k) {
                const Truth c = candValue_[k];
                int imm = 0, free = 0;
                bool fits = true;
                for (int t = 0; t < 8 && fits; ++t) {
                    const Truth m = ab[t >> 1] & ((t & 1) ? c : ~c);
                    const bool one = f & m, zero = ~f & m;
                    fits = !(one && zero);
                    if (one)
                        imm |= 1 << t;
                    if (m == 0)
                        free |= 1 << t;
                }
                if (!fits)
                    continue;
                if (random)
                    imm |= int(rng_() & unsigned(free));
                g = {imm, cand_[i], cand_[j], cand_[k]};
                return true;
            }
        }
    }
    return false;
}

bool Resynthesis::BinaryOneGate(Truth f, Truth care, bool, Gate& g)
{
    const int n = int(cand_.size());
    for (int i = 0; i < n; ++i) {
        for (int j = 0; j < n; ++j) {
            if (i == j)
                continue;
            const Truth a = candValue_[i], b = candValue_[j];
            for (int op = And; op <= AndNot; ++op) {
                if (op != AndNot && j < i)
                    continue;
                if (((EvalBinary(op, a, b) ^ f) & care) == 0) {
                    g = {op, cand_[i], cand_[j], 0};
                    return true;
                }
            }
        }
    }
    return false;
}

bool Resynthesis::FindOneGate(Truth f, Truth care, bool random, Replacement& r)
{
    Gate g{};
    const bool found = set_ == GateSet::Ternary ? TernaryOneGate(f, care, random, g)
                                                : BinaryOneGate(f, care, random, g);
    if (!found)
        return false;
    r.gates = {g};
    r.node = kNew;
    r.complemented = false;
    return true;
}

bool Resynthesis::FindTwoGates(Truth f, Truth care, Replacement& r)
{
    const int n = int(cand_.size());
    Gate inner{};
    if (set_ == GateSet::Ternary) {
        // f = T(a, b, h), h one gate: on each class of (a, b) that f does
        // not fix, h must be f or ~f there. The pairs that leave h the
        // fewest inputs to get right come first; only so many are tried.
        struct Pair {
            int open, i, j;
        };
        std::vector<Pair> pairs;
        for (int i = 0; i < n; ++i) {
            for (int j = i + 1; j < n; ++j) {
                const Truth a = candValue_[i], b = candValue_[j];
                int open = 0;
                for (Truth q : {~a & ~b & care, ~a & b & care, a & ~b & care, a & b & care}) {
                    if ((f & q) && (~f & q))
                        open += std::popcount(q);
                }
                if (open > 0)
                    pairs.push_back({open, i, j});
            }
        }
        std::stable_sort(pairs.begin(), pairs.end(), [](const Pair& x, const Pair& y) { return x.open < y.open; });
        if (pairs.size() > kPairLimit)
            pairs.resize(kPairLimit);
        for (const Pair& pair : pairs) {
            const int i = pair.i, j = pair.j;
            const Truth a = candValue_[i], b = candValue_[j];
            const Truth cls[4] = {~a & ~b & care, ~a & b & care, a & ~b & care, a & b & care};
            Truth open[4];
            int count = 0;
            for (Truth q : cls) {
                if ((f & q) && (~f & q))
                    open[count++] = q;
            }
            Truth hcare = 0;
            for (int k = 0; k < count; ++k)
                hcare |= open[k];
            for (int p = 0; p < (1 << (count - 1)); ++p) {
                Truth h = f;
                for (int k = 1; k < count; ++k) {
                    if ((p >> (k - 1)) & 1)
                        h ^= open[k];
                }
                if (!TernaryOneGate(h, hcare, true, inner))
                    continue;
                const Truth vh = EvalTernary(inner.op, Value(inner.a), Value(inner.b), Value(inner.c));
                int imm = 0;
                for (int t = 0; t < 8; ++t) {
                    if (f & Minterm(t, a, b, vh) & care)
                        imm |= 1 << t;
                }
                r.gates = {inner, {imm, cand_[i], cand_[j], kNew}};
                r.node = kNew + 1;
                r.complemented = false;
                return true;
            }
        }
        return false;
    }
    // f = op(a, h), h one gate.
    Side sides[5];
    for (int i = 0; i < n; ++i) {
        const int count = Sides(f, care, candValue_[i], sides);
        for (int k = 0; k < count; ++k) {
            if (!BinaryOneGate(sides[k].target, sides[k].care, true, inner))
                continue;
            r.gates = {inner, Outer(sides[k].form, cand_[i], kNew)};
            r.node = kNew + 1;
            r.complemented = false;
            return true;
        }
    }
    return false;
}

// f = op(u, w) with u and w one gate each, or op(a, op(b, h)) with h one
// gate: the three-gate forms a two-gate search cannot reach.
bool Resynthesis::FindThreeBinary(Truth f, Truth care, Replacement& r)
{
    struct One {
        Gate g;
        Truth v;
    };
    std::vector<One> ones;
    const int n = int(cand_.size());
    for (int i = 0; i < n; ++i) {
        for (int j = 0; j < n; ++j) {
            if (i == j)
                continue;
            for (int op = And; op <= AndNot; ++op) {
                if (op != AndNot && j < i)
                    continue;
                ones.push_back({{op, cand_[i], cand_[j], 0}, EvalBinary(op, candValue_[i], candValue_[j])});
            }
        }
    }
    Side sides[5];
    for (const One& u : ones) {
        const int count = Sides(f, care, u.v, sides);
        for (int s = 0; s < count; ++s) {
            for (const One& w : ones) {
                if ((w.v ^ sides[s].target) & sides[s].care)
                    continue;
                r.gates = {u.g, w.g, Outer(sides[s].form, kNew, kNew + 1)};
                r.node = kNew + 2;
                r.complemented = false;
                return true;
            }
        }
    }
    Side inner[5];
    Gate h{};
    for (int i = 0; i < n; ++i) {
        const int count = Sides(f, care, candValue_[i], sides);
        for (int s = 0; s < count; ++s) {
            for (int j = 0; j < n; ++j) {
                if (j == i)
                    continue;
                const int count2 = Sides(sides[s].target, sides[s].care, candValue_[j], inner);
                for (int t = 0; t < count2; ++t) {
                    if (!BinaryOneGate(inner[t].target, inner[t].care, true, h))
                        continue;
                    r.gates = {h, Outer(inner[t].form, cand_[j], kNew), Outer(sides[s].form, cand_[i], kNew + 1)};
                    r.node = kNew + 2;
                    r.complemented = false;
                    return true;
                }
            }
        }
    }
    return false;
}

Truth Resynthesis::Value(int node) const { return value_[node]; }

void Resynthesis::Apply(Circuit& c, int n, const Replacement& r) const
{
    const int total = kBase + int(c.gates.size());
    auto map = [total](int x) { return x >= kNew ? total + (x - kNew) : x; };
    const int replacement = map(r.node);
    std::vector<Gate> gates = c.gates;
    for (Gate& g : gates) {
        int mask = 0;
        for (int i = 0; i < Inputs(set_); ++i) {
            if (Input(g, i) == n) {
                Input(g, i) = replacement;
                mask |= 4 >> i;
            }
        }
        if (r.complemented && mask)
            g.op = FlipInputs(g.op, mask);
    }
    for (Gate g : r.gates) {
        for (int i = 0; i < Inputs(set_); ++i)
            Input(g, i) = map(Input(g, i));
        gates.push_back(g);
    }
    int out[4];
    for (int i = 0; i < 4; ++i)
        out[i] = c.out[i] == n ? replacement : c.out[i];
    c = Normalise(gates, out, set_);
}

bool Resynthesis::TryNode(Circuit& c, int n, bool plateau)
{
    const int total = kBase + int(c.gates.size());
    value_ = Simulate(c, set_);
    const int arity = Inputs(set_);

    // The nodes n feeds, and where a change of n reaches an output.
    std::vector<char> feeds(total, 0);
    feeds[n] = 1;
    std::vector<Truth> flipped = value_;
    flipped[n] = ~value_[n];
    for (int i = n + 1; i < total; ++i) {
        Gate g = c.gates[i - kBase];
        for (int k = 0; k < arity; ++k)
            feeds[i] |= feeds[Input(g, k)];
        if (feeds[i])
            flipped[i] = EvalGate(g, flipped, set_);
    }
    Truth care = 0;
    bool isOutput = false;
    for (int o : c.out) {
        care |= value_[o] ^ flipped[o];
        isOutput = isOutput || o == n;
    }

    // The gates that die with n: its maximum fanout-free cone.
    std::vector<int> refs(total, 0);
    for (Gate g : c.gates) {
        for (int k = 0; k < arity; ++k)
            ++refs[Input(g, k)];
    }
    for (int o : c.out)
        ++refs[o];
    std::vector<char> dies(total, 0);
    dies[n] = 1;
    int cone = 1;
    std::vector<int> stack = {n};
    while (!stack.empty()) {
        Gate g = c.gates[stack.back() - kBase];
        stack.pop_back();
        for (int k = 0; k < arity; ++k) {
            const int in = Input(g, k);
            if (in >= kBase && --refs[in] == 0 && !dies[in]) {
                dies[in] = 1;
                ++cone;
                stack.push_back(in);
            }
        }
    }

    cand_.clear();
    for (int m = 0; m < total; ++m) {
        if (!feeds[m] && !dies[m])
            cand_.push_back(m);
    }
    std::shuffle(cand_.begin(), cand_.end(), rng_);
    candValue_.clear();
    for (int m : cand_)
        candValue_.push_back(value_[m]);

    const Truth f = value_[n];
    Replacement r;
    const bool complementFree = set_ == GateSet::Ternary && !isOutput;
    // One new gate gains when the cone has two or more; with one it is a
    // plateau move to a different gate. Two new gates likewise.
    // A query is the node's function, care set, cone size and candidates.
    std::uint64_t key = f * 0x9E3779B97F4A7C15ull ^ (care + 0x632BE59BD9B4E019ull) * 0xC2B2AE3D27D4EB4Full;
    key ^= std::uint64_t(cone) << 56 ^ std::uint64_t(plateau) << 63 ^ std::uint64_t(complementFree) << 62;
    {
        std::vector<Truth> sorted = candValue_;
        std::sort(sorted.begin(), sorted.end());
        for (Truth t : sorted)
            key = (key ^ t) * 0x100000001B3ull + (key >> 29);
    }
    if (failed_.count(key))
        return false;
    bool found = FindExisting(f, care, complementFree, r);
    if (!found && (cone >= 2 || plateau))
        found = FindOneGate(f, care, true, r);
    if (!found && (cone >= 3 || (plateau && cone == 2)))
        found = FindTwoGates(f, care, r);
    if (!found && set_ == GateSet::Binary && cone >= 4) { // too slow for plateau moves
        found = FindThreeBinary(f, care, r);
    }
    if (!found) {
        failed_.insert(key);
        return false;
    }
    const int added = int(r.gates.size());
    if (added > cone || (!plateau && added == cone))
        return false;
    Apply(c, n, r);
    return true;
}

Circuit Resynthesis::Optimise(const Circuit& start, int steps)
{
    Circuit cur = Normalise(start.gates, start.out, set_);
    Circuit best = cur;
    for (int step = 0; step < steps; ++step) {
        for (bool improved = true; improved;) {
            improved = false;
            std::vector<int> order;
            for (int n = kBase; n < kBase + int(cur.gates.size()); ++n)
                order.push_back(n);
            std::shuffle(order.begin(), order.end(), rng_);
            for (int n : order) {
                if (TryNode(cur, n, false)) {
                    improved = true;
                    break;
                }
            }
        }
        if (cur.gates.size() < best.gates.size())
            best = cur;
        if (cur.gates.size() > best.gates.size())
            cur = best;
        for (int k = 0; k < 3 && !cur.gates.empty(); ++k) {
            const int n = kBase + int(rng_() % cur.gates.size());
            TryNode(cur, n, true);
        }
    }
    return best;
}

} // namespace sboxgen
