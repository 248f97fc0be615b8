#include "cipher/hex/HexBlockReader.h"

#include "cipher/hex/HexBlocks.h"

namespace karsidan {

std::size_t HexBlockReader::Read(std::span<std::uint64_t> out) noexcept
{
    std::size_t filled = 0;
    const char* p = rest_.data();
    const char* const end = p + rest_.size();
    while (p != end && filled < out.size()) {
        // Clean cipher texts take this branch: sixteen digits in a row.
        if (digits_ == 0 && end - p >= 16) {
            std::uint64_t v = 0;
            int bad = 0;
            for (int i = 0; i < 16; ++i) {
                const int d = HexDigitValue(p[i]);
                bad |= d;
                v = (v << 4) | static_cast<std::uint64_t>(d & 15);
            }
            if (bad >= 0) {
                out[filled++] = v;
                p += 16;
                continue;
            }
        }
        const int d = HexDigitValue(*p++);
        if (d < 0)
            continue;
        acc_ = (acc_ << 4) | static_cast<std::uint64_t>(d);
        if (++digits_ == 16) {
            out[filled++] = acc_;
            acc_ = 0;
            digits_ = 0;
        }
    }
    rest_ = std::string_view(p, static_cast<std::size_t>(end - p));
    return filled;
}

} // namespace karsidan
