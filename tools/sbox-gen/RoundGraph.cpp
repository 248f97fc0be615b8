#include "tools/sbox-gen/RoundGraph.h"

#include "cipher/bitslice/BitsliceTables.h"

namespace sboxgen {

namespace {

bool FirstReader(int j)
{
    using karsidan::bitslice::tables::kE;
    for (int i = 0; i < j; ++i) {
        if (kE[i] == kE[j])
            return false;
    }
    return true;
}

} // namespace

int ExpansionWord(int j) { return karsidan::bitslice::tables::kE[j] - 1; }

int OutputWord(int t)
{
    using karsidan::bitslice::tables::kP;
    for (int i = 0; i < 32; ++i) {
        if (kP[i] - 1 == t)
            return i;
    }
    return -1;
}

RoundGraph BuildRoundGraph(const Circuit (&binary)[8], bool fullKeys)
{
    RoundGraph g;
    g.fullKeys = fullKeys;
    for (int box = 0; box < 8; ++box) {
        const Circuit& c = binary[box];
        // Circuit node -> round node; the constant stays a constant.
        std::vector<int> node(kBase + c.gates.size(), kOnesOperand);
        for (int i = 0; i < 6; ++i) {
            const int j = 6 * box + i;
            RoundNode n;
            n.kind = fullKeys || !FirstReader(j) ? RoundNode::Keyed : RoundNode::Stored;
            n.box = box;
            n.word = j;
            node[i] = int(g.nodes.size());
            g.nodes.push_back(n);
        }
        for (std::size_t k = 0; k < c.gates.size(); ++k) {
            RoundNode n;
            n.kind = RoundNode::Gate;
            n.box = box;
            n.op = c.gates[k].op;
            n.a = node[c.gates[k].a];
            n.b = node[c.gates[k].b];
            node[kBase + k] = int(g.nodes.size());
            g.nodes.push_back(n);
        }
        for (int bit = 0; bit < 4; ++bit) {
            RoundNode n;
            n.kind = RoundNode::Output;
            n.box = box;
            n.a = node[c.out[bit]];
            n.word = OutputWord(4 * box + bit);
            g.nodes.push_back(n);
        }
    }
    return g;
}

std::vector<int> Operands(const RoundNode& n)
{
    std::vector<int> r;
    if (n.kind == RoundNode::Gate) {
        if (n.a != kOnesOperand)
            r.push_back(n.a);
        if (n.b != kOnesOperand)
            r.push_back(n.b);
    } else if (n.kind == RoundNode::Output) {
        r.push_back(n.a);
    }
    return r;
}

} // namespace sboxgen
