#pragma once
// A key box whose text cannot be a key. The message names the box as the
// user counts them ("Kunci 2 kosong").

#include <stdexcept>
#include <string>

namespace karsidan {

enum class KeyRule {
    Blank, // nothing but spaces
    Unmappable, // a character the code page cannot hold
    TooLong, // more than 8 characters after trimming
};

class KeyError : public std::invalid_argument {
public:
    KeyError(int box, KeyRule rule, const std::string& message) : std::invalid_argument(message), box_(box), rule_(rule)
    { }
    int box() const noexcept { return box_; } // 1, 2 or 3
    KeyRule rule() const noexcept { return rule_; }

private:
    int box_;
    KeyRule rule_;
};

} // namespace karsidan
