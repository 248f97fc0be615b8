#pragma once
// The stack of open groups. Lives on the heap and is capped, so hostile
// nesting costs neither the call stack nor unbounded memory: groups past the
// cap are counted and their content is skipped.

#include "app/rtf/RtfGroupState.h"

#include <cstddef>
#include <vector>

namespace karsidan::rtf {

class RtfGroupStack {
public:
    static constexpr std::size_t kMaxDepth = 4096;

    RtfGroupStack();

    // The innermost group's state (a skipping state beyond the cap).
    GroupState& Current();
    // Enters a group with a copy of the current state.
    void Push();
    // Leaves the innermost group; returns false when no group was open.
    bool Pop();
    // Groups open now, counting those beyond the cap; the outermost is 1.
    std::size_t Depth() const { return stack_.size() - 1 + overflow_; }

private:
    std::vector<GroupState> stack_; // [0] is the state outside every group
    std::size_t overflow_ = 0;
    GroupState skipping_;
};

} // namespace karsidan::rtf
