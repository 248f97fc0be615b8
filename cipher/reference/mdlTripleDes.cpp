#include "cipher/reference/mdlTripleDes.h"

#include "cipher/reference/mdlBox.h"
#include "cipher/reference/mdlMath.h"

#include <stdexcept>

namespace karsidan {

std::string PadBits(int count)
{
    static const std::string padding = CharToBits(static_cast<char>(kPadByte));
    std::string out;
    for (int i = 0; i < count / 8; ++i)
        out += padding;
    return out;
}

namespace {

std::string PaddedKeyBits(std::string_view key)
{
    std::string bits = TextToBits(key);
    const auto r = static_cast<int>(bits.size() % 64);
    if (r > 0)
        bits += PadBits(64 - r);
    return bits;
}

} // namespace

void ReferenceTripleDes::LoadKey1(std::string_view key) { BuildSubkeys(ApplyPC1(PaddedKeyBits(key)), 1); }
void ReferenceTripleDes::LoadKey2(std::string_view key) { BuildSubkeys(ApplyPC1(PaddedKeyBits(key)), 2); }
void ReferenceTripleDes::LoadKey3(std::string_view key) { BuildSubkeys(ApplyPC1(PaddedKeyBits(key)), 3); }

ReferenceTripleDes::Slot& ReferenceTripleDes::SlotFor(int slot)
{
    switch (slot) {
    case 1: return subkeys1_;
    case 2: return subkeys2_;
    case 3: return subkeys3_;
    default: throw std::out_of_range("Nomor slot kunci di luar 1 sampai 3");
    }
}

void ReferenceTripleDes::BuildSubkeys(std::string_view cd, int slot)
{
    const std::size_t half = cd.size() / 2;
    std::string c(cd.substr(0, half));
    std::string d(cd.substr(cd.size() - half));
    for (int round = 1; round <= 16; ++round) {
        const auto s = static_cast<std::size_t>(RoundShift(round));
        if (c.size() >= s) {
            c = c.substr(s) + c.substr(0, s);
            d = d.substr(s) + d.substr(0, s);
        }
        if (slot >= 1 && slot <= 3)
            SlotFor(slot)[static_cast<std::size_t>(round - 1)] = ApplyPC2(c + d);
    }
}

void ReferenceTripleDes::SplitBlock(std::string_view bits)
{
    leftHalf_ = std::string(bits.substr(0, 32));
    rightHalf_ = std::string(bits.size() >= 32 ? bits.substr(bits.size() - 32) : bits);
}

std::string ReferenceTripleDes::RoundFunction(std::string_view right, int round, int slot) const
{
    std::string e;
    for (int j = 1; j <= 48; ++j)
        e += EBit(right, j);
    const Slot& keys = slot == 1 ? subkeys1_
        : slot == 2              ? subkeys2_
        : slot == 3              ? subkeys3_
                                 : throw std::out_of_range("Nomor slot kunci di luar 1 sampai 3");
    const std::string x = XorBits(e, keys.at(static_cast<std::size_t>(round - 1)));
    std::string s;
    for (int g = 0; g < 8; ++g) {
        const std::string group = x.substr(static_cast<std::size_t>(6 * g), 6);
        const int row = std::stoi(BitsToDecimal(group.substr(0, 1) + group.substr(5, 1)));
        const int column = std::stoi(BitsToDecimal(group.substr(1, 4)));
        s += SBox(g + 1, row, column);
    }
    std::string f;
    for (int j = 1; j <= static_cast<int>(s.size()); ++j)
        f += PBit(s, j);
    return f;
}

std::string ReferenceTripleDes::DesBlock(std::string_view block, int slot, int flag)
{
    SplitBlock(ApplyIP(block));
    for (int n = 0; n < 16; ++n) {
        const int round = flag != 0 ? n + 1 : 16 - n;
        std::string t = rightHalf_;
        rightHalf_ = XorBits(leftHalf_, RoundFunction(rightHalf_, round, slot));
        leftHalf_ = std::move(t);
    }
    const std::string pre = rightHalf_ + leftHalf_;
    std::string out;
    for (int j = 1; j <= static_cast<int>(pre.size()); ++j)
        out += IPInverseBit(pre, j);
    return BitsToHex(out);
}

} // namespace karsidan
