#include "storage/WindowsNames.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <string>

namespace karsidan::storage {

namespace {

std::string Upper(std::string_view text)
{
    std::string upper(text);
    for (char& c : upper)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return upper;
}

bool IsDeviceBase(std::string_view base)
{
    static constexpr std::array<std::string_view, 6> kNames = {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$"};
    const std::string upper = Upper(base);
    if (std::find(kNames.begin(), kNames.end(), upper) != kNames.end())
        return true;
    // COM1..COM9 and LPT1..LPT9, also with the superscript digits ¹²³.
    if (upper.rfind("COM", 0) != 0 && upper.rfind("LPT", 0) != 0)
        return false;
    const std::string_view digit = std::string_view(upper).substr(3);
    return (digit.size() == 1 && digit[0] >= '1' && digit[0] <= '9') || digit == "\xC2\xB9" || digit == "\xC2\xB2"
        || digit == "\xC2\xB3";
}

WindowsName ClassifyPart(std::string_view part)
{
    if (part.empty() || part == "." || part == "..")
        return WindowsName::Ordinary;
    for (const char c : part)
        if (static_cast<unsigned char>(c) < 0x20 || std::string_view("<>:\"|?*").find(c) != std::string_view::npos)
            return WindowsName::Invalid;
    if (part.back() == '.' || part.back() == ' ')
        return WindowsName::Invalid;
    // The device is the part before its first dot, trailing spaces aside.
    std::string_view base = part.substr(0, part.find('.'));
    while (!base.empty() && base.back() == ' ')
        base.remove_suffix(1);
    if (!IsDeviceBase(base))
        return WindowsName::Ordinary;
    return base.size() == part.size() ? WindowsName::Device : WindowsName::Invalid;
}

} // namespace

WindowsName ClassifyWindowsPath(std::string_view path)
{
    if (path.empty())
        return WindowsName::Invalid;
    if (path.rfind("\\\\?\\", 0) == 0 || path.rfind("\\\\.\\", 0) == 0)
        return WindowsName::Ordinary;
    if (path.size() >= 2 && path[1] == ':' && std::isalpha(static_cast<unsigned char>(path[0])))
        path.remove_prefix(2);
    WindowsName verdict = WindowsName::Ordinary;
    while (true) {
        const std::size_t cut = path.find_first_of("/\\");
        const std::string_view part = path.substr(0, cut);
        const WindowsName name = ClassifyPart(part);
        if (name == WindowsName::Invalid)
            return name;
        // A device in the middle of a path is no folder.
        if (name == WindowsName::Device && cut != std::string_view::npos)
            return WindowsName::Invalid;
        verdict = name;
        if (cut == std::string_view::npos)
            return verdict;
        path.remove_prefix(cut + 1);
    }
}

} // namespace karsidan::storage
