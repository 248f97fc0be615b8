#include "app/rtf/RtfGroupStack.h"

namespace karsidan::rtf {

RtfGroupStack::RtfGroupStack()
{
    stack_.emplace_back();
    skipping_.destination = Destination::Skipped;
}

GroupState& RtfGroupStack::Current()
{
    if (overflow_ > 0) {
        skipping_ = GroupState{};
        skipping_.destination = Destination::Skipped;
        return skipping_;
    }
    return stack_.back();
}

void RtfGroupStack::Push()
{
    if (overflow_ > 0 || stack_.size() > kMaxDepth) {
        ++overflow_;
        return;
    }
    stack_.push_back(stack_.back());
}

bool RtfGroupStack::Pop()
{
    if (overflow_ > 0) {
        --overflow_;
        return true;
    }
    if (stack_.size() <= 1)
        return false;
    stack_.pop_back();
    return true;
}

} // namespace karsidan::rtf
