#pragma once
// Whether decrypted bytes look like text: a text has no control bytes
// other than tab, CR and LF, while bytes decrypted with a wrong key almost
// always do.

#include "codepage/AsciiRuns.h"

#include <cstddef>
#include <string_view>

namespace karsidan {

// Index of the first control byte other than tab, CR and LF (0x00-0x1F,
// 0x7F and the C1 controls 0x81, 0x8D, 0x8F, 0x90, 0x9D), or bytes.size().
std::size_t FindControlByte(std::string_view bytes, AsciiLevel level = BestAsciiLevel()) noexcept;

} // namespace karsidan
