#include "tools/sbox-gen/RoundProgramCheck.h"

#include "cipher/bitslice/BitsliceTables.h"

#include <random>
#include <vector>

namespace sboxgen {

namespace {

using karsidan::bitslice::tables::kE;
using karsidan::bitslice::tables::kP;

struct Machine {
    std::uint64_t reg[16] = {};
    bool regSet[16] = {};
    std::uint64_t src[32] = {}, dst[32] = {}, in[48] = {}, out[32] = {};
    std::vector<std::uint64_t> spill;
    std::vector<bool> spillSet;
    std::string error;

    bool Fail(const std::string& what, std::size_t at)
    {
        error = what + " at instruction " + std::to_string(at);
        return false;
    }

    bool ReadRegister(const Operand& o, std::uint64_t& v, std::size_t at)
    {
        if (o.kind != Operand::Register || o.index < 0 || o.index >= 16)
            return Fail("not a register", at);
        if (!regSet[o.index])
            return Fail("register read before it was written", at);
        v = reg[o.index];
        return true;
    }

    // A 32-byte operand: a register or a vector in memory.
    bool ReadVector(const Operand& o, std::uint64_t& v, std::size_t at)
    {
        switch (o.kind) {
        case Operand::Register: return ReadRegister(o, v, at);
        case Operand::Src: v = src[o.index]; return o.index >= 0 && o.index < 32;
        case Operand::Dst: v = dst[o.index]; return o.index >= 0 && o.index < 32;
        case Operand::Ones: v = ~std::uint64_t{0}; return true;
        case Operand::Spill:
            if (o.index < 0 || o.index >= int(spill.size()))
                return Fail("no such spill slot", at);
            if (!spillSet[o.index])
                return Fail("spill slot read before it was written", at);
            v = spill[o.index];
            return true;
        default: return Fail("not a vector operand", at);
        }
    }

    bool WriteRegister(const Operand& o, std::uint64_t v, std::size_t at)
    {
        if (o.kind != Operand::Register || o.index < 0 || o.index >= 16)
            return Fail("result not in a register", at);
        reg[o.index] = v;
        regSet[o.index] = true;
        return true;
    }

    bool Run(const RoundProgram& p)
    {
        spill.assign(p.spillSlots, 0);
        spillSet.assign(p.spillSlots, false);
        for (std::size_t at = 0; at < p.code.size(); ++at) {
            const Instruction& i = p.code[at];
            std::uint64_t a = 0, b = 0;
            switch (i.op) {
            case Instruction::And:
            case Instruction::Or:
            case Instruction::Xor:
            case Instruction::AndNot:
                if (!ReadRegister(i.a, a, at) || !ReadVector(i.b, b, at))
                    return false;
                if (!WriteRegister(i.to, EvalBinary(int(i.op), a, b), at))
                    return false;
                break;
            case Instruction::Load:
                if (i.b.kind == Operand::Register || !ReadVector(i.b, b, at))
                    return Fail("bad load", at);
                if (!WriteRegister(i.to, b, at))
                    return false;
                break;
            case Instruction::Broadcast:
                if (i.b.kind == Operand::In && i.b.index >= 0 && i.b.index < 48) {
                    b = in[i.b.index];
                } else if (i.b.kind == Operand::Out && i.b.index >= 0 && i.b.index < 32) {
                    b = out[i.b.index];
                } else {
                    return Fail("broadcast of something but a key mask", at);
                }
                if (!WriteRegister(i.to, b, at))
                    return false;
                break;
            case Instruction::Store:
                if (!ReadRegister(i.a, a, at))
                    return false;
                if (i.to.kind == Operand::Dst && i.to.index >= 0 && i.to.index < 32) {
                    dst[i.to.index] = a;
                } else if (i.to.kind == Operand::Spill && i.to.index >= 0 && i.to.index < int(spill.size())) {
                    spill[i.to.index] = a;
                    spillSet[i.to.index] = true;
                } else {
                    return Fail("store to something but a spill slot or the half written", at);
                }
                break;
            default: return Fail("unknown instruction", at);
            }
        }
        return true;
    }
};

// dst ^= out ^ P(S(E(src) ^ masks)) from the circuits and tables.
void Reference(Machine& m, const Circuit (&binary)[8], bool fullKeys)
{
    for (int box = 0; box < 8; ++box) {
        std::vector<Truth> v;
        for (int i = 0; i < 6; ++i) {
            const int j = 6 * box + i;
            bool first = true;
            for (int k = 0; k < j; ++k)
                first = first && kE[k] != kE[j];
            v.push_back(m.src[kE[j] - 1] ^ (fullKeys || !first ? m.in[j] : 0));
        }
        v.push_back(kAll);
        for (const Gate& g : binary[box].gates)
            v.push_back(EvalBinary(g.op, v[g.a], v[g.b]));
        for (int bit = 0; bit < 4; ++bit) {
            // P moves S-box output bit t (1-based t + 1) to half word i where kP[i] == t + 1.
            for (int i = 0; i < 32; ++i) {
                if (kP[i] == 4 * box + bit + 1)
                    m.dst[i] ^= m.out[i] ^ v[binary[box].out[bit]];
            }
        }
    }
}

} // namespace

bool CheckRoundProgram(const RoundProgram& p, const Circuit (&binary)[8], bool fullKeys, std::uint64_t seed,
                       std::string* why)
{
    std::mt19937_64 rng(seed);
    for (int trial = 0; trial < 8; ++trial) {
        Machine run;
        for (auto& w : run.src)
            w = rng();
        for (auto& w : run.dst)
            w = rng();
        for (auto& w : run.in)
            w = rng();
        for (auto& w : run.out)
            w = rng();
        Machine want = run;
        if (!run.Run(p)) {
            if (why)
                *why = run.error;
            return false;
        }
        Reference(want, binary, fullKeys);
        for (int i = 0; i < 32; ++i) {
            if (run.dst[i] != want.dst[i] || run.src[i] != want.src[i]) {
                if (why)
                    *why = "half word " + std::to_string(i) + " differs from the circuits' round";
                return false;
            }
        }
    }
    return true;
}

} // namespace sboxgen
