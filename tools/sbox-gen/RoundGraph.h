#pragma once
// One DES round over the eight binary S-box circuits, as the graph the AVX2
// round program is scheduled from. The half words carry constants
// (RoundKeyMasks): the first expanded bit that reads a word takes it as
// stored, a second reader XORs its key mask in first, and each S-box output
// goes into its half word together with the word's next constant. In a
// round that reads a half the round before did not write, every expanded
// bit XORs its mask.

#include "tools/sbox-gen/Circuit.h"

#include <vector>

namespace sboxgen {

constexpr int kOnesOperand = -1; // the all-ones constant, not a node

struct RoundNode {
    enum Kind { Stored, Keyed, Gate, Output };
    Kind kind = Gate;
    int box = 0;
    int op = 0; // Gate: a BinaryOp
    int a = -1, b = -1; // Gate: operand nodes or kOnesOperand; Output: a is the value
    int word = 0; // Stored, Keyed: expanded bit 0..47; Output: half word 0..31
};

struct RoundGraph {
    std::vector<RoundNode> nodes; // each reads only nodes before it
    bool fullKeys = false;
};

// Per S-box: its six inputs, its gates in circuit order, its four outputs.
RoundGraph BuildRoundGraph(const Circuit (&binary)[8], bool fullKeys);

// The nodes n reads (none for the constant).
std::vector<int> Operands(const RoundNode& n);

// The half word expanded bit j reads, and the half word S-box output bit t
// (0..31, four per S-box) is XORed into.
int ExpansionWord(int j);
int OutputWord(int t);

} // namespace sboxgen
