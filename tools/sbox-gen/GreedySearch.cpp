// For a target it looks for an existing node, then one gate over existing
// nodes, then either splits around an input variable or picks two existing
// nodes that fix the target on most inputs and builds the rest
// recursively; the don't-care inputs these steps leave are used. It keeps
// the smallest of many seeded random trials.
#include "tools/sbox-gen/GreedySearch.h"

#include "tools/sbox-gen/BinaryExpansion.h"

#include <algorithm>
#include <array>
#include <bit>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <vector>

namespace sboxgen {

namespace {

constexpr std::size_t kPairChecks = 6;

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
        if (care == 0)
            return 0;
        if (int n = Existing(f, care); n >= 0)
            return n;
        if (classes != nullptr) {
            if (int n = ExistingPerClass(f, *classes); n >= 0)
                return n;
        }
        if (set_ == GateSet::Binary) {
            if (int n = OneBinary(f, care); n >= 0)
                return n;
            if (int n = TwoBinary(f, care); n >= 0)
                return n;
            return SplitBinary(f, care);
        }
        if (int n = OneTernary(f, care); n >= 0)
            return n;

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
            if (cost_ <= afterPair.cost)
                return viaSplit;
            Restore(mark);
            for (const Gate& g : pairGates)
                Add(g);
            return viaPair;
        }
        if (rng_() & 1) {
            const Mark mark = Save();
            if (int n = ViaPair(f, care); n >= 0)
                return n;
            Restore(mark);
        }
        return SplitTernary(f, care);
    }

    const std::vector<Gate>& Gates() const { return gates_; }

    // Starts from an existing circuit's gates (numbered from kBase).
    void Seed(const std::vector<Gate>& gates)
    {
        for (const Gate& g : gates)
            Add(g);
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
        if (set_ == GateSet::Binary || pricing_ == Pricing::Ternary)
            return 1;
        return BinaryCost(g.op);
    }

    int Add(Gate g)
    {
        const Truth v = set_ == GateSet::Ternary ? EvalTernary(g.op, value_[g.a], value_[g.b], value_[g.c])
                                                 : EvalBinary(g.op, value_[g.a], value_[g.b]);
        gates_.push_back(g);
        value_.push_back(v);
        cost_ += Price(g);
        return int(value_.size()) - 1;
    }

    int Existing(Truth f, Truth care) const
    {
        for (int n = 0; n < int(value_.size()); ++n) {
            if (((value_[n] ^ f) & care) == 0)
                return n;
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
            if (fits)
                return n;
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
        for (Truth m : classes)
            care |= m;
        for (int pattern = 0; pattern < 8; ++pattern) { // class 0 never inverted
            Truth target = f;
            for (int c = 1; c < 4; ++c) {
                if ((pattern >> (c - 1)) & 1)
                    target ^= classes[c];
            }
            if (pattern && ((pattern & 1) && !classes[1]))
                continue;
            if (pattern && ((pattern & 2) && !classes[2]))
                continue;
            if (pattern && ((pattern & 4) && !classes[3]))
                continue;
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
            if ((f & m) && (~f & m))
                return -1;
            if (f & m)
                imm |= 1 << k;
            if (m == 0)
                free |= 1 << k;
        }
        if (free == 0)
            return imm;
        if (pricing_ == Pricing::Ternary)
            return imm | int(rng_() & unsigned(free));
        int best = imm;
        for (int sub = free;; sub = (sub - 1) & free) {
            if (BinaryCost(imm | sub) < BinaryCost(best))
                best = imm | sub;
            if (sub == 0)
                break;
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
                    if (imm < 0)
                        continue;
                    const Gate g{imm, i, j, k};
                    if (Price(g) < bestPrice) {
                        best = g;
                        bestPrice = Price(g);
                        if (bestPrice <= 1)
                            return Add(best);
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
                    if ((f & m) && (~f & m))
                        open |= m;
                }
                const int n = std::popcount(open);
                if (n <= limit)
                    pairs.push_back({n, i, j, open});
            }
        }
        if (pairs.empty())
            return -1;
        std::shuffle(pairs.begin(), pairs.end(), rng_);
        std::stable_sort(pairs.begin(), pairs.end(), [](const Pair& a, const Pair& b) { return a.open < b.open; });
        const std::size_t checks = std::min<std::size_t>(pairs.size(), kPairChecks);
        for (std::size_t c = 0; c < checks; ++c) {
            const Pair& p = pairs[c];
            const Classes classes = SplitBy(p.openCare, value_[p.i], value_[p.j]);
            Truth h = 0;
            if (FitsOneGate(f, classes, h)) {
                const int hn = Build(h, p.openCare);
                const int imm = TernaryFit(f, care, value_[p.i], value_[p.j], value_[hn]);
                if (imm >= 0)
                    return Add({imm, p.i, p.j, hn});
            }
        }
        const Pair& p = pairs.front();
        const Classes classes = SplitBy(p.openCare, value_[p.i], value_[p.j]);
        const int h = Build(f, p.openCare, &classes);
        const int imm = TernaryFit(f, care, value_[p.i], value_[p.j], value_[h]);
        if (imm < 0)
            return -1; // h is one of p, q
        return Add({imm, p.i, p.j, h});
    }

    // Mostly the first variable of this trial's order that splits care, so
    // the outputs decompose alike and share their parts.
    int RandomSplitVariable(Truth care)
    {
        int vars[6];
        int count = 0;
        for (int v : order_) {
            if ((care & value_[v]) && (care & ~value_[v]))
                vars[count++] = v;
        }
        if (int(rng_() % 100) < followOrder_)
            return vars[0];
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
                if ((care & value_[n]) && (care & ~value_[n]))
                    return n;
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
            if ((f & m) && (~f & m))
                gcare |= m;
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
                if (i == j)
                    continue;
                for (int op = And; op <= AndNot; ++op) {
                    if (op != AndNot && j < i)
                        continue;
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
                    if (f & ~va & care)
                        continue;
                    hcare = care & va;
                    break;
                case 1: // a | h
                    if (~f & va & care)
                        continue;
                    hcare = care & ~va;
                    break;
                case 2: // a ^ h
                    h = f ^ va;
                    break;
                case 3: // ~a & h
                    if (f & va & care)
                        continue;
                    hcare = care & ~va;
                    break;
                default: // ~h & a
                    if (f & ~va & care)
                        continue;
                    h = ~f;
                    hcare = care & va;
                    break;
                }
                for (int i = 0; i < count; ++i) {
                    for (int j = 0; j < count; ++j) {
                        if (i == j)
                            continue;
                        for (int hop = And; hop <= AndNot; ++hop) {
                            if (hop != AndNot && j < i)
                                continue;
                            if (((EvalBinary(hop, value_[i], value_[j]) ^ h) & hcare) == 0) {
                                const int hn = Add({hop, i, j, 0});
                                static const int kOps[] = {And, Or, Xor, AndNot};
                                return form == 4 ? Add({AndNot, hn, a, 0}) : Add({kOps[form], a, hn, 0});
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
        if ((v0 & ~f & rest) == 0)
            forms[count++] = 1;
        if ((~v0 & f & rest) == 0)
            forms[count++] = 2;
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
        if (form == 0)
            return Add({Xor, f0, masked, 0});
        if (form == 1)
            return Add({Or, f0, masked, 0});
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

Circuit Final(const Circuit& native, GateSet set, Pricing pricing)
{
    return (set == GateSet::Ternary && pricing == Pricing::BinaryExpansion) ? ExpandToBinary(native) : native;
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
    for (int bit : order)
        out[bit] = search.Build(SboxTruth(box, bit), kAll);
    return Prune(search.Gates(), out, set);
}

// Keeps the gates of two or three outputs and builds the others anew on
// them, in random order.
} // namespace

Circuit RebuildSome(const Circuit& c, int box, GateSet set, Pricing pricing, std::uint64_t trial)
{
    std::mt19937_64 pick(trial * 31 + 7);
    int order[4] = {0, 1, 2, 3};
    std::shuffle(order, order + 4, pick);
    const int rebuilt = (pick() % 3 == 0) ? 2 : 1;
    int kept[4];
    for (int i = 0; i < 4; ++i)
        kept[i] = c.out[order[rebuilt]]; // a kept output fills the gaps
    for (int i = rebuilt; i < 4; ++i)
        kept[order[i]] = c.out[order[i]];
    const Circuit base = Prune(c.gates, kept, set);
    Search search = MakeSearch(set, pricing, box, trial);
    search.Seed(base.gates);
    int out[4];
    for (int i = 0; i < 4; ++i)
        out[i] = base.out[i];
    for (int i = 0; i < rebuilt; ++i)
        out[order[i]] = search.Build(SboxTruth(box, order[i]), kAll);
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
        if (expanded.gates.size() < best.gates.size())
            best = expanded;
    }
    if (!Verify(best, box, set)) {
        std::fprintf(stderr, "internal error: S%d circuit is wrong\n", box + 1);
        std::exit(1);
    }
    return best;
}

} // namespace sboxgen
