// Searches small Boolean circuits for the eight DES S-boxes and prints them
// as C++ templates (SboxCircuits.inc). Two gate sets:
//   ternary: any three-input function (AVX-512 vpternlog), one op each;
//   binary:  AND, OR, XOR and ANDNOT (~a & b), as SSE/AVX2 and plain
//            64-bit integers offer them, plus a free all-ones constant.
// A circuit is a list of gates over truth tables of the six S-box inputs
// (64 bits each). Three steps, each in a file of its own:
//   GreedySearch     builds circuits from the tables, output by output;
//   Resynthesis      shrinks a circuit by rewriting one node at a time;
//   here, Neighbourhood alternates the two: rebuild an output, shrink.
// Binary circuits also come from ternary ones (BinaryExpansion). Every
// printed circuit has been checked against the S-box table on all inputs.
//
// Usage:
//   karsidan_sbox_gen SECONDS [ternary|binary] > SboxCircuits.inc
//       from the tables: SECONDS of greedy search per S-box and gate set,
//       then a neighbourhood search (deterministic for a given start);
//   karsidan_sbox_gen improve FILE ITERATIONS SEED [ternary|binary|both]
//       goes on from the circuits in FILE; the same arguments give the
//       same output;
//   karsidan_sbox_gen avx2 FILE [SPAN LIMIT WIDTH ORDER] > Avx2Rounds.inc
//       the AVX2 kernel's rounds from the binary circuits in FILE
//       (RoundSchedule.h explains the numbers; ORDER as S-box digits,
//       e.g. 78536421). Each round is run on random words against the
//       circuits before it is printed.

#include "tools/sbox-gen/Avx2RoundPrinter.h"
#include "tools/sbox-gen/BinaryExpansion.h"
#include "tools/sbox-gen/Circuit.h"
#include "tools/sbox-gen/CircuitFile.h"
#include "tools/sbox-gen/CircuitPrinter.h"
#include "tools/sbox-gen/GreedySearch.h"
#include "tools/sbox-gen/Resynthesis.h"
#include "tools/sbox-gen/RoundGraph.h"
#include "tools/sbox-gen/RoundProgram.h"
#include "tools/sbox-gen/RoundProgramCheck.h"
#include "tools/sbox-gen/RoundSchedule.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

using namespace sboxgen;

// Neighbourhood iterations after a search from the tables (binary ones are
// slower: their rewrites look three gates deep).
constexpr int kFreshTernaryIterations = 400;
constexpr int kFreshBinaryIterations = 40;

// A binary circuit as ternary gates (the third input unused), each of which
// expands back to its own binary gate.
Circuit AsTernary(const Circuit& binary)
{
    static const int kImm[] = {0xC0, 0xFC, 0x3C, 0x0C}; // And, Or, Xor, AndNot
    Circuit t = binary;
    for (Gate& g : t.gates)
        g = {kImm[g.op], g.a, g.b, 6};
    return t;
}

// Large-neighbourhood search from a circuit: one or two outputs are
// rebuilt by the greedy search on the gates of the others (for binary
// circuits a ternary search priced by binary expansion), then the whole is
// shrunk by resynthesis; no larger result replaces the best. Candidates
// that come out far larger are dropped after a short shrink. The distinct
// circuits of the best size met on the way are kept in `variants`.
Circuit Neighbourhood(const Circuit& start, int box, GateSet set, int iterations, std::uint64_t seed,
                      std::vector<Circuit>* variants)
{
    Resynthesis r(set, seed * 131 + std::uint64_t(box));
    Circuit best = r.Optimise(start, 20);
    for (int it = 0; it < iterations; ++it) {
        const std::uint64_t trial = seed * 100000 + std::uint64_t(it);
        Circuit c = set == GateSet::Ternary
            ? RebuildSome(best, box, set, Pricing::Ternary, trial)
            : ExpandToBinary(RebuildSome(AsTernary(best), box, GateSet::Ternary, Pricing::BinaryExpansion, trial));
        c = r.Optimise(c, 1);
        if (c.gates.size() > best.gates.size() + 2)
            continue;
        c = r.Optimise(c, 6);
        if (c.gates.size() > best.gates.size())
            continue;
        if (variants && c.gates.size() < best.gates.size())
            variants->clear();
        best = c;
        if (variants)
            variants->push_back(c);
    }
    if (variants && variants->empty())
        variants->push_back(best);
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
            std::fprintf(stderr, "S%d ternary: %zu -> %zu (%zu variants)\n", box + 1, file.ternary[box].gates.size(),
                         ternary[box].gates.size(), variants[box].size());
        }
        totals[0] += int(ternary[box].gates.size());
    }
    for (int box = 0; box < 8; ++box) {
        binary[box] = file.binary[box];
        if (which != "ternary") {
            binary[box] = Neighbourhood(file.binary[box], box, GateSet::Binary, iterations / 4, seed, nullptr);
            // The expansion of a ternary circuit rarely wins, but costs little to try.
            for (const Circuit& t : variants[box]) {
                const Circuit e = ExpandToBinary(t);
                if (e.gates.size() < binary[box].gates.size())
                    binary[box] = e;
            }
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
    for (int box = 0; box < 8; ++box)
        Print(ternary[box], box, GateSet::Ternary);
    for (int box = 0; box < 8; ++box)
        Print(binary[box], box, GateSet::Binary);
    std::fprintf(stderr, "total: ternary %d, binary %d\n", totals[0], totals[1]);
    return 0;
}

bool ParseOrder(const std::string& digits, int (&order)[8])
{
    bool seen[8] = {};
    if (digits.size() != 8)
        return false;
    for (int i = 0; i < 8; ++i) {
        const int box = digits[i] - '1';
        if (box < 0 || box > 7 || seen[box])
            return false;
        seen[box] = true;
        order[i] = box;
    }
    return true;
}

int Avx2Rounds(int argc, char** argv)
{
    const CircuitFile file = ReadCircuitFile(argv[2]);
    if (!file.ok) {
        std::fprintf(stderr, "cannot read correct circuits from %s\n", argv[2]);
        return 1;
    }
    ScheduleParams p = CommittedAvx2Schedule();
    if (argc > 3) {
        if (argc != 7 || !ParseOrder(argv[6], p.boxOrder)) {
            std::fprintf(stderr, "usage: karsidan_sbox_gen avx2 FILE [SPAN LIMIT WIDTH ORDER]\n");
            return 2;
        }
        p.span = std::atoi(argv[3]);
        p.limit = std::atoi(argv[4]);
        p.width = std::atoi(argv[5]);
        if (p.span < 1 || p.span > 8 || p.limit < 1 || p.width < 1) {
            std::fprintf(stderr, "SPAN is 1 to 8, LIMIT and WIDTH at least 1\n");
            return 2;
        }
    }
    RoundProgram programs[2];
    for (bool full : {false, true}) {
        const RoundGraph g = BuildRoundGraph(file.binary, full);
        programs[full] = AllocateRegisters(g, ScheduleRound(g, p));
        std::string why;
        if (!CheckRoundProgram(programs[full], file.binary, full, 1, &why)) {
            std::fprintf(stderr, "internal error: the %s round is wrong: %s\n", full ? "keyed" : "normal", why.c_str());
            return 1;
        }
        std::fprintf(stderr, "%s round: %zu instructions, %d spilled, %d loaded back\n", full ? "keyed" : "normal",
                     programs[full].code.size(), programs[full].spills, programs[full].loads);
    }
    std::string command = "karsidan_sbox_gen avx2 cipher/bitslice/SboxCircuits.inc";
    if (argc > 3) {
        for (int i = 3; i < argc; ++i)
            command += std::string(" ") + argv[i];
    }
    std::fputs(Avx2RoundsText(programs[0], programs[1], p, command).c_str(), stdout);
    if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
        std::fprintf(stderr, "cannot write the rounds to the standard output\n");
        return 1;
    }
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    const std::string command = argc > 1 ? argv[1] : "";
    // A command with its arguments missing must not fall through to a
    // search from the tables that reads "avx2" as zero seconds.
    if ((command == "avx2" && argc < 3) || (command == "improve" && argc < 4)) {
        std::fprintf(stderr,
                     "usage: karsidan_sbox_gen avx2 FILE [SPAN LIMIT WIDTH ORDER]\n"
                     "       karsidan_sbox_gen improve FILE ITERATIONS [SEED [ternary|binary|both]]\n"
                     "       karsidan_sbox_gen [SECONDS [ternary|binary]]\n");
        return 2;
    }
    if (command == "avx2")
        return Avx2Rounds(argc, argv);
    if (command == "improve") {
        return Improve(argv[2], std::atoi(argv[3]), argc > 4 ? std::strtoull(argv[4], nullptr, 10) : 1,
                       argc > 5 ? argv[5] : "both");
    }
    const double seconds = argc > 1 ? std::atof(argv[1]) : 2.0;
    // Optional: "ternary" or "binary" searches only that set (for trying
    // out the search; the file the build uses needs both).
    const std::string only = argc > 2 ? argv[2] : "";
    PrintHeader();
    int totals[2] = {0, 0};
    for (GateSet set : {GateSet::Ternary, GateSet::Binary}) {
        if (!only.empty() && only != (set == GateSet::Ternary ? "ternary" : "binary"))
            continue;
        for (int box = 0; box < 8; ++box) {
            const int iterations = set == GateSet::Ternary ? kFreshTernaryIterations : kFreshBinaryIterations;
            const Circuit c = Neighbourhood(Best(box, set, seconds), box, set, iterations, 1, nullptr);
            if (!Verify(c, box, set)) {
                std::fprintf(stderr, "internal error: S%d circuit is wrong\n", box + 1);
                return 1;
            }
            totals[set == GateSet::Binary] += int(c.gates.size());
            Print(c, box, set);
            std::fprintf(stderr, "S%d %s: %zu gates\n", box + 1, set == GateSet::Ternary ? "ternary" : "binary",
                         c.gates.size());
        }
    }
    std::fprintf(stderr, "total: ternary %d, binary %d\n", totals[0], totals[1]);
}
