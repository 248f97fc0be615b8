#include "tests/cipher/StringPathReference.h"

#include "cipher/reference/mdlMath.h"
#include "cipher/reference/mdlTripleDes.h"

#include <cstdio>

namespace karsidan::test {
namespace {

std::string Pass(ReferenceTripleDes& engine, std::string w, int slot, int flag)
{
    const auto r = static_cast<int>(w.size() % 64);
    if (r > 0)
        w += PadBits(64 - r);
    std::string acc;
    for (std::size_t offset = 0; offset < w.size(); offset += 64)
        acc += engine.DesBlock(std::string_view(w).substr(offset, 64), slot, flag);
    return acc;
}

} // namespace

std::string StringPathEncrypt(ReferenceTripleDes& engine, std::string_view text, std::string_view k1,
                              std::string_view k2, std::string_view k3)
{
    engine.LoadKey1(k1);
    engine.LoadKey2(k2);
    engine.LoadKey3(k3);
    std::string w = Pass(engine, TextToBits(text), 1, -1);
    w = Pass(engine, HexToBits(w), 2, 0);
    return Pass(engine, HexToBits(w), 3, -1);
}

std::string StringPathDecryptRaw(ReferenceTripleDes& engine, std::string_view cipher, std::string_view kA,
                                 std::string_view kB, std::string_view kC)
{
    engine.LoadKey1(kA);
    engine.LoadKey2(kB);
    engine.LoadKey3(kC);
    std::string w = Pass(engine, HexToBits(cipher), 1, 0);
    w = Pass(engine, HexToBits(w), 2, -1);
    w = Pass(engine, HexToBits(w), 3, 0);
    return HexToText(w);
}

std::string ToHex64(unsigned long long value)
{
    char buffer[17];
    std::snprintf(buffer, sizeof buffer, "%016llX", value);
    return buffer;
}

unsigned long long FromHex(std::string_view hex) { return std::stoull(std::string(hex), nullptr, 16); }

std::string HexToBytes(std::string_view hex)
{
    std::string out;
    for (std::size_t i = 0; i + 1 < hex.size(); i += 2)
        out += static_cast<char>(std::stoi(std::string(hex.substr(i, 2)), nullptr, 16));
    return out;
}

} // namespace karsidan::test
