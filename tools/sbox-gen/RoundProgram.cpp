#include "tools/sbox-gen/RoundProgram.h"

#include <initializer_list>
#include <stdexcept>

namespace sboxgen {

namespace {

constexpr int kNever = 1 << 30;

static_assert(int(Instruction::And) == And && int(Instruction::Or) == Or && int(Instruction::Xor) == Xor
              && int(Instruction::AndNot) == AndNot);

class Allocator {
public:
    Allocator(const RoundGraph& g, const std::vector<int>& order, int registers)
        : g_(g), order_(order), holder_(registers, -1), regOf_(g.nodes.size(), -1), home_(g.nodes.size()),
          slotOf_(g.nodes.size(), -1), uses_(g.nodes.size())
    {
        for (int step = 0; step < int(order.size()); ++step) {
            for (int x : Operands(g.nodes[order[step]]))
                uses_[x].push_back(step);
        }
    }

    RoundProgram Run()
    {
        for (int step = 0; step < int(order_.size()); ++step) {
            const int n = order_[step];
            const RoundNode& node = g_.nodes[n];
            switch (node.kind) {
            case RoundNode::Stored: home_[n] = {Operand::Src, ExpansionWord(node.word)}; break;
            case RoundNode::Keyed: Keyed(n, step); break;
            case RoundNode::Gate: Gate(n, step); break;
            case RoundNode::Output: Output(n, step); break;
            }
        }
        return program_;
    }

private:
    static Operand Reg(int r) { return {Operand::Register, r}; }

    void Emit(Instruction::Op op, Operand to, Operand a, Operand b) { program_.code.push_back({op, to, a, b}); }

    int NextUse(int v, int after) const
    {
        for (int u : uses_[v]) {
            if (u > after)
                return u;
        }
        return kNever;
    }

    bool LiveAfter(int v, int step) const { return NextUse(v, step) != kNever; }

    Operand Where(int v) const { return regOf_[v] >= 0 ? Reg(regOf_[v]) : home_[v]; }

    void Assign(int v, int r)
    {
        holder_[r] = v;
        regOf_[v] = r;
    }

    // A free register, else the one whose value is read again last (one
    // that needs no store first if there is such), never one in `keep`.
    int FreeRegister(int step, std::initializer_list<int> keep)
    {
        for (int r = 0; r < int(holder_.size()); ++r) {
            if (holder_[r] < 0)
                return r;
        }
        int victim = -1;
        long long latest = -1;
        for (int r = 0; r < int(holder_.size()); ++r) {
            const int v = holder_[r];
            bool kept = false;
            for (int k : keep)
                kept = kept || k == v;
            if (kept)
                continue;
            const long long key = NextUse(v, step - 1) + (home_[v].kind != Operand::None ? (1LL << 40) : 0);
            if (key > latest) {
                latest = key;
                victim = r;
            }
        }
        if (victim < 0)
            throw std::runtime_error("too few registers for one instruction");
        const int v = holder_[victim];
        if (home_[v].kind == Operand::None) {
            int slot;
            if (!freeSlots_.empty()) {
                slot = freeSlots_.back();
                freeSlots_.pop_back();
            } else {
                slot = program_.spillSlots++;
            }
            slotOf_[v] = slot;
            home_[v] = {Operand::Spill, slot};
            Emit(Instruction::Store, home_[v], Reg(victim), {});
            ++program_.spills;
        }
        regOf_[v] = -1;
        holder_[victim] = -1;
        return victim;
    }

    int InRegister(int v, int step, std::initializer_list<int> keep)
    {
        if (regOf_[v] >= 0)
            return regOf_[v];
        const int r = FreeRegister(step, keep);
        Emit(Instruction::Load, Reg(r), {}, home_[v]);
        ++program_.loads;
        Assign(v, r);
        return r;
    }

    // Frees what v holds once nothing reads it any more.
    void Drop(int v, int step)
    {
        if (LiveAfter(v, step))
            return;
        if (regOf_[v] >= 0) {
            holder_[regOf_[v]] = -1;
            regOf_[v] = -1;
        }
        if (slotOf_[v] >= 0) {
            freeSlots_.push_back(slotOf_[v]);
            slotOf_[v] = -1;
        }
        home_[v] = {};
    }

    void Keyed(int n, int step)
    {
        if (uses_[n].empty())
            return;
        const RoundNode& node = g_.nodes[n];
        const int r = FreeRegister(step, {});
        Emit(Instruction::Broadcast, Reg(r), {}, {Operand::In, node.word});
        Emit(Instruction::Xor, Reg(r), Reg(r), {Operand::Src, ExpansionWord(node.word)});
        Assign(n, r);
    }

    void Gate(int n, int step)
    {
        RoundNode node = g_.nodes[n];
        if (node.a == kOnesOperand && node.op != Instruction::AndNot)
            std::swap(node.a, node.b);
        Operand first, second;
        std::vector<int> sources;
        if (node.b == kOnesOperand) {
            if (node.a == kOnesOperand || (node.op != Instruction::AndNot && node.op != Instruction::Xor)) {
                throw std::runtime_error("a gate on the constant that is not a complement");
            }
            first = Reg(InRegister(node.a, step, {node.a}));
            second = {Operand::Ones, 0};
            sources = {node.a};
        } else if (node.a == kOnesOperand) {
            throw std::runtime_error("a gate on the constant that is not a complement");
        } else {
            const int a = node.a, b = node.b;
            sources = {a, b};
            if (regOf_[a] >= 0 && regOf_[b] >= 0) {
                first = Reg(regOf_[a]);
                second = Reg(regOf_[b]);
            } else if (node.op == Instruction::AndNot) {
                first = Reg(InRegister(a, step, {a, b}));
                second = Where(b);
            } else if (regOf_[a] >= 0) {
                first = Reg(regOf_[a]);
                second = Where(b);
            } else if (regOf_[b] >= 0) {
                first = Reg(regOf_[b]);
                second = Where(a);
            } else {
                // Both in memory: load the one read again sooner.
                const bool aSooner = NextUse(a, step) <= NextUse(b, step);
                const int load = aSooner ? a : b, other = aSooner ? b : a;
                first = Reg(InRegister(load, step, {a, b}));
                second = Where(other);
            }
        }
        // The result goes into an operand's register if that operand dies here.
        int to = -1;
        for (int v : sources) {
            if (regOf_[v] >= 0 && !LiveAfter(v, step))
                to = regOf_[v];
        }
        if (to < 0) {
            to = sources.size() == 1 ? FreeRegister(step, {sources[0]}) : FreeRegister(step, {sources[0], sources[1]});
        }
        Emit(Instruction::Op(node.op), Reg(to), first, second);
        for (int v : sources)
            Drop(v, step);
        if (!uses_[n].empty())
            Assign(n, to);
    }

    // half word ^= its next constant ^ the S-box output bit
    void Output(int n, int step)
    {
        const RoundNode& node = g_.nodes[n];
        const int y = node.a;
        const int r = FreeRegister(step, {y});
        Emit(Instruction::Broadcast, Reg(r), {}, {Operand::Out, node.word});
        Emit(Instruction::Xor, Reg(r), Reg(r), {Operand::Dst, node.word});
        Emit(Instruction::Xor, Reg(r), Reg(r), Where(y));
        Emit(Instruction::Store, {Operand::Dst, node.word}, Reg(r), {});
        Drop(y, step);
    }

    const RoundGraph& g_;
    const std::vector<int>& order_;
    std::vector<int> holder_; // per register: the node in it, or -1
    std::vector<int> regOf_; // per node: its register, or -1
    std::vector<Operand> home_; // per node: a copy in memory, if any
    std::vector<int> slotOf_; // per node: its spill slot, or -1
    std::vector<std::vector<int>> uses_; // per node: the steps that read it
    std::vector<int> freeSlots_;
    RoundProgram program_;
};

} // namespace

RoundProgram AllocateRegisters(const RoundGraph& g, const std::vector<int>& order, int registers)
{
    return Allocator(g, order, registers).Run();
}

} // namespace sboxgen
