// The generator of the AVX2 kernel's rounds: its schedules and register
// allocation under every setting, with few registers too, checked by
// running the programs; that the check refuses broken programs; and that
// the committed Avx2Rounds.inc is what the generator prints.
#include "tools/sbox-gen/Avx2RoundPrinter.h"
#include "tools/sbox-gen/CircuitFile.h"
#include "tools/sbox-gen/RoundGraph.h"
#include "tools/sbox-gen/RoundProgram.h"
#include "tools/sbox-gen/RoundProgramCheck.h"
#include "tools/sbox-gen/RoundSchedule.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

namespace {

using namespace sboxgen;

const CircuitFile& Circuits()
{
    static const CircuitFile file = ReadCircuitFile(KARSIDAN_SOURCE_DIR "/cipher/bitslice/SboxCircuits.inc");
    return file;
}

RoundProgram Program(bool allKeyed, const ScheduleParams& p, int registers = 16)
{
    const RoundGraph g = BuildRoundGraph(Circuits().binary, allKeyed);
    return AllocateRegisters(g, ScheduleRound(g, p), registers);
}

TEST(Avx2RoundProgram, CircuitsAreRead) { ASSERT_TRUE(Circuits().ok); }

TEST(Avx2RoundProgram, ScheduleTakesEveryNodeOnceAfterItsOperands)
{
    ASSERT_TRUE(Circuits().ok);
    for (bool allKeyed : {false, true}) {
        const RoundGraph g = BuildRoundGraph(Circuits().binary, allKeyed);
        for (int span : {1, 2, 8}) {
            ScheduleParams p = CommittedAvx2Schedule();
            p.span = span;
            const std::vector<int> order = ScheduleRound(g, p);
            ASSERT_EQ(order.size(), g.nodes.size());
            std::vector<int> at(g.nodes.size(), -1);
            for (int i = 0; i < int(order.size()); ++i) {
                ASSERT_EQ(at[order[i]], -1) << "node " << order[i] << " twice";
                at[order[i]] = i;
            }
            for (int n = 0; n < int(g.nodes.size()); ++n) {
                for (int x : Operands(g.nodes[n]))
                    EXPECT_LT(at[x], at[n]) << "span " << span;
            }
        }
    }
}

TEST(Avx2RoundProgram, EveryScheduleAndRegisterCountComputesTheRound)
{
    ASSERT_TRUE(Circuits().ok);
    for (bool allKeyed : {false, true}) {
        for (int span : {1, 2, 3, 8}) {
            for (int limit : {2, 14, 40}) {
                for (int width : {1, 3, 6}) {
                    for (int registers : {3, 5, 8, 16}) {
                        ScheduleParams p = CommittedAvx2Schedule();
                        p.span = span;
                        p.limit = limit;
                        p.width = width;
                        const RoundProgram prog = Program(allKeyed, p, registers);
                        std::string why;
                        ASSERT_TRUE(CheckRoundProgram(prog, Circuits().binary, allKeyed, 7, &why))
                            << why << " (span " << span << ", limit " << limit << ", width " << width << ", "
                            << registers << " registers)";
                        if (registers < 8) {
                            EXPECT_GT(prog.spills, 0);
                        }
                    }
                }
            }
        }
    }
}

TEST(Avx2RoundProgram, CheckRefusesBrokenPrograms)
{
    ASSERT_TRUE(Circuits().ok);
    // Few registers, so there are spills to break as well.
    const RoundProgram good = Program(false, CommittedAvx2Schedule(), 6);
    ASSERT_TRUE(CheckRoundProgram(good, Circuits().binary, false, 3, nullptr));
    ASSERT_FALSE(CheckRoundProgram(good, Circuits().binary, true, 3, nullptr)) << "keyed bits not told apart";

    auto expectRefused = [&](const char* what, auto change) {
        RoundProgram bad = good;
        ASSERT_TRUE(change(bad)) << what << ": nothing to change";
        std::string why;
        EXPECT_FALSE(CheckRoundProgram(bad, Circuits().binary, false, 3, &why)) << what;
    };
    expectRefused("an AND turned into an OR", [](RoundProgram& p) {
        for (Instruction& i : p.code) {
            if (i.op == Instruction::And) {
                i.op = Instruction::Or;
                return true;
            }
        }
        return false;
    });
    expectRefused("a stored word read from the wrong place", [](RoundProgram& p) {
        for (Instruction& i : p.code) {
            if (i.b.kind == Operand::Src) {
                i.b.index = (i.b.index + 1) % 32;
                return true;
            }
        }
        return false;
    });
    expectRefused("an output never stored", [](RoundProgram& p) {
        for (std::size_t k = 0; k < p.code.size(); ++k) {
            if (p.code[k].op == Instruction::Store && p.code[k].to.kind == Operand::Dst) {
                p.code.erase(p.code.begin() + long(k));
                return true;
            }
        }
        return false;
    });
    expectRefused("a spill never written", [](RoundProgram& p) {
        for (std::size_t k = 0; k < p.code.size(); ++k) {
            if (p.code[k].op == Instruction::Store && p.code[k].to.kind == Operand::Spill) {
                p.code.erase(p.code.begin() + long(k));
                return true;
            }
        }
        return false;
    });
    expectRefused("a register read before it is written", [](RoundProgram& p) {
        p.code.erase(p.code.begin()); // the first instruction writes a register read later
        return true;
    });
    expectRefused("a store into the half being read", [](RoundProgram& p) {
        for (Instruction& i : p.code) {
            if (i.op == Instruction::Store && i.to.kind == Operand::Dst) {
                i.to.kind = Operand::Src;
                return true;
            }
        }
        return false;
    });
    expectRefused("a key mask as a 32-byte operand", [](RoundProgram& p) {
        for (Instruction& i : p.code) {
            if (i.op == Instruction::Xor && i.b.kind == Operand::Src) {
                i.b = {Operand::Out, 0};
                return true;
            }
        }
        return false;
    });
}

TEST(Avx2RoundProgram, CommittedRoundsAreWhatTheGeneratorPrints)
{
    ASSERT_TRUE(Circuits().ok);
    const ScheduleParams p = CommittedAvx2Schedule();
    const std::string text = Avx2RoundsText(Program(false, p), Program(true, p), p,
                                            "karsidan_sbox_gen avx2 cipher/bitslice/SboxCircuits.inc");
    std::ifstream in(KARSIDAN_SOURCE_DIR "/cipher/bitslice/Avx2Rounds.inc");
    ASSERT_TRUE(in) << "Avx2Rounds.inc not found";
    std::stringstream committed;
    committed << in.rdbuf();
    EXPECT_EQ(committed.str(), text) << "regenerate Avx2Rounds.inc (cipher/bitslice/README.md)";
}

} // namespace
