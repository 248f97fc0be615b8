#include "cipher/keys/KeyWarnings.h"

#include "codepage/ControlBytes.h"

namespace karsidan {

namespace {

constexpr std::uint64_t kWithoutParity = 0xFEFEFEFEFEFEFEFEull;

} // namespace

std::vector<std::string> WeakKeyWarnings(const std::array<std::uint64_t, 3>& effectiveKeys)
{
    const auto same = [&](int a, int b) {
        return (effectiveKeys[a] & kWithoutParity) == (effectiveKeys[b] & kWithoutParity);
    };
    // Keys that differ only in those bits surprise: say why they count as equal.
    const auto why = [&](int a, int b) {
        return effectiveKeys[a] == effectiveKeys[b] ? std::string()
                                                    : std::string(" (DES mengabaikan bit terendah setiap byte kunci)");
    };
    std::vector<std::string> warnings;
    if (same(0, 1) || same(1, 2)) {
        const bool first = same(0, 1);
        warnings.push_back(std::string("kunci ") + (first ? "pertama dan kedua" : "kedua dan ketiga") + " sama"
                           + (first ? why(0, 1) : why(1, 2)) + "; Triple DES menjadi DES tunggal (56 bit)");
    } else if (same(0, 2)) {
        warnings.push_back("kunci pertama dan ketiga sama" + why(0, 2) + "; Triple DES dua kunci (112 bit)");
    }
    return warnings;
}

std::vector<std::string> WeakKeyWarnings(const TripleDesKeys& keys)
{
    return WeakKeyWarnings({keys.Effective(1), keys.Effective(2), keys.Effective(3)});
}

std::string_view NotTextWarning() noexcept
{
    return "hasil tidak tampak seperti teks (ada byte kendali); kunci salah?";
}

bool LooksLikeWrongKeys(std::string_view decrypted) noexcept { return FindControlByte(decrypted) != decrypted.size(); }

} // namespace karsidan
