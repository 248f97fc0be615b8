#include "tools/sbox-gen/RoundSchedule.h"

#include <algorithm>
#include <tuple>

namespace sboxgen {

namespace {

// A value that needs a register: a stored input is read from memory and
// an output goes to memory.
bool InRegister(const RoundNode& n) { return n.kind == RoundNode::Keyed || n.kind == RoundNode::Gate; }

} // namespace

ScheduleParams CommittedAvx2Schedule()
{
    ScheduleParams p;
    p.span = 2;
    p.limit = 14;
    p.width = 3;
    const int order[8] = {6, 7, 4, 2, 5, 3, 1, 0};
    for (int i = 0; i < 8; ++i)
        p.boxOrder[i] = order[i];
    return p;
}

std::vector<int> ScheduleRound(const RoundGraph& g, const ScheduleParams& p)
{
    const int count = int(g.nodes.size());
    std::vector<std::vector<int>> readers(count);
    std::vector<int> waiting(count, 0);
    for (int n = 0; n < count; ++n) {
        for (int x : Operands(g.nodes[n])) {
            readers[x].push_back(n);
            ++waiting[n];
        }
    }
    // Longest path to the end of the round; reading stored words costs nothing.
    std::vector<int> height(count, 0);
    for (int n = count - 1; n >= 0; --n) {
        int below = 0;
        for (int r : readers[n])
            below = std::max(below, height[r]);
        height[n] = below + (g.nodes[n].kind == RoundNode::Stored ? 0 : 1);
    }
    int position[8] = {};
    for (int i = 0; i < 8; ++i)
        position[p.boxOrder[i]] = i;
    std::vector<int> usesLeft(count);
    for (int n = 0; n < count; ++n)
        usesLeft[n] = int(readers[n].size());
    int left[8] = {};
    for (const RoundNode& n : g.nodes)
        ++left[n.box];

    std::vector<int> readyAt(count, 0);
    std::vector<bool> available(count, false), live(count, false);
    for (int n = 0; n < count; ++n)
        available[n] = waiting[n] == 0;
    int liveCount = 0;
    std::vector<int> order;
    for (int cycle = 0; int(order.size()) < count; ++cycle) {
        bool open[8] = {};
        for (int i = 0, opened = 0; i < 8 && opened < p.span; ++i) {
            if (left[p.boxOrder[i]] > 0) {
                open[p.boxOrder[i]] = true;
                ++opened;
            }
        }
        std::vector<int> candidates;
        for (int n = 0; n < count; ++n) {
            if (available[n] && open[g.nodes[n].box] && readyAt[n] <= cycle)
                candidates.push_back(n);
        }
        // Registers a node takes (its value) less those it frees (operands read for the last time).
        auto growth = [&](int n) {
            int d = InRegister(g.nodes[n]) && usesLeft[n] > 0 ? 1 : 0;
            for (int x : Operands(g.nodes[n])) {
                if (live[x] && usesLeft[x] == 1)
                    --d;
            }
            return d;
        };
        for (int issued = 0; !candidates.empty() && issued < p.width; ++issued) {
            const bool tight = liveCount >= p.limit;
            const auto best = std::min_element(candidates.begin(), candidates.end(), [&](int x, int y) {
                const int bx = position[g.nodes[x].box], by = position[g.nodes[y].box];
                if (tight) {
                    return std::make_tuple(growth(x), bx, -height[x], x)
                        < std::make_tuple(growth(y), by, -height[y], y);
                }
                return std::make_tuple(-height[x], bx, x) < std::make_tuple(-height[y], by, y);
            });
            const int n = *best;
            candidates.erase(best);
            if (tight && growth(n) > 0 && issued > 0)
                break;
            order.push_back(n);
            available[n] = false;
            --left[g.nodes[n].box];
            for (int x : Operands(g.nodes[n])) {
                if (--usesLeft[x] == 0 && live[x]) {
                    live[x] = false;
                    --liveCount;
                }
            }
            if (InRegister(g.nodes[n]) && usesLeft[n] > 0) {
                live[n] = true;
                ++liveCount;
            }
            // The key mask's broadcast load comes before the XOR.
            const int latency = g.nodes[n].kind == RoundNode::Keyed ? 2 : 1;
            for (int r : readers[n]) {
                readyAt[r] = std::max(readyAt[r], cycle + latency);
                if (--waiting[r] == 0)
                    available[r] = true;
            }
        }
    }
    return order;
}

} // namespace sboxgen
