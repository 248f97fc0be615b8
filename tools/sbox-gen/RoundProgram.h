#pragma once
// A round as AVX2 instructions over 16 ymm registers: the scheduled nodes
// with registers assigned. A value evicted for lack of registers goes to a
// spill slot, unless it is still in memory anyway (a stored input word);
// the one to go is the value read again last. A value in memory is read
// as the memory operand of a logic instruction where the form allows
// (the second operand, or either of AND, OR, XOR), else loaded.

#include "tools/sbox-gen/RoundGraph.h"

#include <vector>

namespace sboxgen {

struct Operand {
    // Src, Dst: half word; In, Out: 64-bit key mask; Spill: 32-byte slot.
    enum Kind { None, Register, Src, Dst, In, Out, Spill, Ones };
    Kind kind = None;
    int index = 0;
    bool operator==(const Operand&) const = default;
};

struct Instruction {
    // to = a op b; AndNot is ~a & b. Load and Broadcast read b, Store
    // writes a to `to`. Only b may be in memory in a logic instruction.
    enum Op { And, Or, Xor, AndNot, Load, Store, Broadcast };
    Op op = Xor;
    Operand to, a, b;
};

struct RoundProgram {
    std::vector<Instruction> code;
    int spillSlots = 0;
    int spills = 0; // values stored to a slot
    int loads = 0; // values loaded back into a register
};

// `registers` below 16 only for tests of the spilling.
RoundProgram AllocateRegisters(const RoundGraph& g, const std::vector<int>& order, int registers = 16);

} // namespace sboxgen
