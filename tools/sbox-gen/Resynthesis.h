#pragma once
// Shrinks a correct circuit by local rewriting: a node whose fanout-free
// cone holds k gates is recomputed by fewer than k new gates over nodes it
// does not feed, where it only has to be right on the inputs at which it
// reaches an output (its observability care set). Moves that keep the size
// let the search walk across plateaus; the best circuit seen is kept.

#include "tools/sbox-gen/Circuit.h"

#include <random>
#include <unordered_set>

namespace sboxgen {

class Resynthesis {
public:
    Resynthesis(GateSet set, std::uint64_t seed);

    // Runs `steps` rounds of greedy shrinking and plateau moves.
    Circuit Optimise(const Circuit& start, int steps);

private:
    struct Replacement {
        std::vector<Gate> gates; // read existing nodes, or kNew + i for gate i here
        int node = -1; // the node that replaces the old one (kNew + i or existing)
        bool complemented = false;
    };

    bool TryNode(Circuit& c, int n, bool plateau);
    bool FindExisting(Truth f, Truth care, bool allowComplement, Replacement& r);
    bool FindOneGate(Truth f, Truth care, bool random, Replacement& r);
    bool FindTwoGates(Truth f, Truth care, Replacement& r);
    bool FindThreeBinary(Truth f, Truth care, Replacement& r);
    bool TernaryOneGate(Truth f, Truth care, bool random, Gate& g);
    bool BinaryOneGate(Truth f, Truth care, bool random, Gate& g);
    void Apply(Circuit& c, int n, const Replacement& r) const;
    Truth Value(int node) const;

    GateSet set_;
    std::mt19937_64 rng_;
    // Per node being rewritten: the nodes it may read and their values.
    std::vector<int> cand_;
    std::vector<Truth> candValue_;
    std::vector<Truth> value_; // of every node of the circuit being rewritten
    // Queries that found nothing: the same node with the same candidates
    // comes up again after every plateau move elsewhere.
    std::unordered_set<std::uint64_t> failed_;
};

// Sorts the gates so each reads only earlier nodes, dropping those no
// output needs. Gates may read nodes in any order before the call.
Circuit Normalise(const std::vector<Gate>& gates, const int (&out)[4], GateSet set);

} // namespace sboxgen
