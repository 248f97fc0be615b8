#pragma once
// The order of a round's nodes for a machine with 16 vector registers.
// Taken one S-box after the other, each circuit is a chain of about 27
// gates for about 60 operations, too little parallel work for the
// processor's window; taking every S-box at once, like a compiler's
// scheduler, needs far more values than there are registers. In between:
// a list schedule over a few S-boxes at a time, longest path to the end
// first, that turns to the nodes which free registers once `limit`
// values are live.

#include "tools/sbox-gen/RoundGraph.h"

#include <vector>

namespace sboxgen {

struct ScheduleParams {
    int span = 2; // S-boxes open at a time, in boxOrder
    int limit = 14; // live values from which the schedule saves registers
    int width = 3; // nodes taken per modelled cycle
    int boxOrder[8] = {0, 1, 2, 3, 4, 5, 6, 7};
};

// The schedule the committed Avx2Rounds.inc was printed with: the fastest
// of those timed on the machine the README describes.
ScheduleParams CommittedAvx2Schedule();

// Every node once, each after the nodes it reads.
std::vector<int> ScheduleRound(const RoundGraph& g, const ScheduleParams& p);

} // namespace sboxgen
