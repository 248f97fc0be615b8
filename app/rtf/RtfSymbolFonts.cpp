#include "app/rtf/RtfSymbolFonts.h"

#include <array>

namespace karsidan::rtf {
namespace {

constexpr char32_t kPrivateUseBase = 0xF000;
constexpr char32_t kNone = 0;

// The Symbol font from 0x20 to 0xFF; 0 where its glyph has no equivalent
// (0x7F to 0x9F are empty, 0x60 and 0xBD/0xBE are pieces of larger signs).
// clang-format off
constexpr std::array<char32_t, 224> kSymbol = {
    // 0x20
    U' ', U'!', U'\u2200', U'#', U'\u2203', U'%', U'&', U'\u220B',
    U'(', U')', U'\u2217', U'+', U',', U'\u2212', U'.', U'/',
    // 0x30
    U'0', U'1', U'2', U'3', U'4', U'5', U'6', U'7',
    U'8', U'9', U':', U';', U'<', U'=', U'>', U'?',
    // 0x40
    U'\u2245', U'\u0391', U'\u0392', U'\u03A7', U'\u0394', U'\u0395', U'\u03A6', U'\u0393',
    U'\u0397', U'\u0399', U'\u03D1', U'\u039A', U'\u039B', U'\u039C', U'\u039D', U'\u039F',
    // 0x50
    U'\u03A0', U'\u0398', U'\u03A1', U'\u03A3', U'\u03A4', U'\u03A5', U'\u03C2', U'\u03A9',
    U'\u039E', U'\u03A8', U'\u0396', U'[', U'\u2234', U']', U'\u22A5', U'_',
    // 0x60
    kNone, U'\u03B1', U'\u03B2', U'\u03C7', U'\u03B4', U'\u03B5', U'\u03C6', U'\u03B3',
    U'\u03B7', U'\u03B9', U'\u03D5', U'\u03BA', U'\u03BB', U'\u03BC', U'\u03BD', U'\u03BF',
    // 0x70
    U'\u03C0', U'\u03B8', U'\u03C1', U'\u03C3', U'\u03C4', U'\u03C5', U'\u03D6', U'\u03C9',
    U'\u03BE', U'\u03C8', U'\u03B6', U'{', U'|', U'}', U'\u223C', kNone,
    // 0x80, 0x90
    kNone, kNone, kNone, kNone, kNone, kNone, kNone, kNone,
    kNone, kNone, kNone, kNone, kNone, kNone, kNone, kNone,
    kNone, kNone, kNone, kNone, kNone, kNone, kNone, kNone,
    kNone, kNone, kNone, kNone, kNone, kNone, kNone, kNone,
    // 0xA0
    U'\u20AC', U'\u03D2', U'\u2032', U'\u2264', U'\u2044', U'\u221E', U'\u0192', U'\u2663',
    U'\u2666', U'\u2665', U'\u2660', U'\u2194', U'\u2190', U'\u2191', U'\u2192', U'\u2193',
    // 0xB0
    U'\u00B0', U'\u00B1', U'\u2033', U'\u2265', U'\u00D7', U'\u221D', U'\u2202', U'\u2022',
    U'\u00F7', U'\u2260', U'\u2261', U'\u2248', U'\u2026', kNone, kNone, U'\u21B5',
    // 0xC0
    U'\u2135', U'\u2111', U'\u211C', U'\u2118', U'\u2297', U'\u2295', U'\u2205', U'\u2229',
    U'\u222A', U'\u2283', U'\u2287', U'\u2284', U'\u2282', U'\u2286', U'\u2208', U'\u2209',
    // 0xD0
    U'\u2220', U'\u2207', U'\u00AE', U'\u00A9', U'\u2122', U'\u220F', U'\u221A', U'\u22C5',
    U'\u00AC', U'\u2227', U'\u2228', U'\u21D4', U'\u21D0', U'\u21D1', U'\u21D2', U'\u21D3',
    // 0xE0
    U'\u25CA', U'\u2329', U'\u00AE', U'\u00A9', U'\u2122', U'\u2211', U'\u239B', U'\u239C',
    U'\u239D', U'\u23A1', U'\u23A2', U'\u23A3', U'\u23A7', U'\u23A8', U'\u23A9', U'\u23AA',
    // 0xF0
    kNone, U'\u232A', U'\u222B', U'\u2320', U'\u23AE', U'\u2321', U'\u239E', U'\u239F',
    U'\u23A0', U'\u23A4', U'\u23A5', U'\u23A6', U'\u23AB', U'\u23AC', U'\u23AD', kNone,
};

struct Glyph {
    unsigned char code;
    char32_t character;
};

// The Wingdings glyphs that documents use as bullets, check marks, arrows
// and numbers; the many pictograms beyond them are left alone.
constexpr Glyph kWingdings[] = {
    {0x20, U' '}, {0x22, U'\u2702'}, {0x29, U'\u2706'}, {0x36, U'\u231B'}, {0x3F, U'\u270D'},
    {0x41, U'\u270C'}, {0x45, U'\u261C'}, {0x46, U'\u261E'}, {0x47, U'\u261D'}, {0x48, U'\u261F'},
    {0x4A, U'\u263A'}, {0x4C, U'\u2639'}, {0x4E, U'\u2620'}, {0x51, U'\u2708'}, {0x54, U'\u2744'},
    {0x58, U'\u2720'}, {0x59, U'\u2721'}, {0x5A, U'\u262A'}, {0x5B, U'\u262F'}, {0x5D, U'\u2638'},
    {0x5E, U'\u2648'}, {0x5F, U'\u2649'}, {0x60, U'\u264A'}, {0x61, U'\u264B'}, {0x62, U'\u264C'},
    {0x63, U'\u264D'}, {0x64, U'\u264E'}, {0x65, U'\u264F'}, {0x66, U'\u2650'}, {0x67, U'\u2651'},
    {0x68, U'\u2652'}, {0x69, U'\u2653'}, {0x6C, U'\u25CF'}, {0x6E, U'\u25A0'}, {0x6F, U'\u25A1'},
    {0x71, U'\u2751'}, {0x72, U'\u2752'}, {0x75, U'\u25C6'}, {0x76, U'\u2756'}, {0x77, U'\u2B25'},
    {0x78, U'\u2327'}, {0x7A, U'\u2318'}, {0x80, U'\u24EA'}, {0x81, U'\u2460'}, {0x82, U'\u2461'},
    {0x83, U'\u2462'}, {0x84, U'\u2463'}, {0x85, U'\u2464'}, {0x86, U'\u2465'}, {0x87, U'\u2466'},
    {0x88, U'\u2467'}, {0x89, U'\u2468'}, {0x8A, U'\u2469'}, {0x8B, U'\u24FF'}, {0x8C, U'\u2776'},
    {0x8D, U'\u2777'}, {0x8E, U'\u2778'}, {0x8F, U'\u2779'}, {0x90, U'\u277A'}, {0x91, U'\u277B'},
    {0x92, U'\u277C'}, {0x93, U'\u277D'}, {0x94, U'\u277E'}, {0x95, U'\u277F'}, {0x9E, U'\u00B7'},
    {0x9F, U'\u2022'}, {0xA4, U'\u25C9'}, {0xA5, U'\u25CE'}, {0xA7, U'\u25AA'}, {0xA8, U'\u25FB'},
    {0xAA, U'\u2726'}, {0xAB, U'\u2605'}, {0xB5, U'\u272A'}, {0xD8, U'\u27A2'}, {0xEF, U'\u21E6'},
    {0xF0, U'\u21E8'}, {0xF1, U'\u21E7'}, {0xF2, U'\u21E9'}, {0xFC, U'\u2714'},
};

// Word's bullet library: Symbol's bullet and the Wingdings shapes beside it.
constexpr Glyph kBullets[] = {
    {0x20, U' '}, {0xB7, U'\u2022'}, {0xA7, U'\u25AA'}, {0xD8, U'\u27A2'}, {0xFC, U'\u2714'},
    {0x76, U'\u2756'}, {0x6E, U'\u25A0'}, {0x6C, U'\u25CF'}, {0x71, U'\u2751'}, {0xA8, U'\u25FB'},
    {0x75, U'\u25C6'},
};
// clang-format on

template <std::size_t N>
char32_t Find(const Glyph (&table)[N], unsigned char code)
{
    for (const Glyph& glyph : table)
        if (glyph.code == code)
            return glyph.character;
    return kNone;
}

char32_t Lookup(SymbolFont font, unsigned char code)
{
    switch (font) {
    case SymbolFont::Symbol: return code >= 0x20 ? kSymbol[code - 0x20] : kNone;
    case SymbolFont::Wingdings: return Find(kWingdings, code);
    case SymbolFont::None: return Find(kBullets, code);
    case SymbolFont::Other: return kNone;
    }
    return kNone;
}

} // namespace

SymbolFont ClassifyFont(const QString& family, int charset)
{
    constexpr int kSymbolCharset = 2;
    if (family.compare(QLatin1String("Symbol"), Qt::CaseInsensitive) == 0)
        return SymbolFont::Symbol;
    if (family.compare(QLatin1String("Wingdings"), Qt::CaseInsensitive) == 0)
        return SymbolFont::Wingdings;
    return charset == kSymbolCharset ? SymbolFont::Other : SymbolFont::None;
}

char32_t SymbolFontCharacter(SymbolFont font, unsigned char code)
{
    const char32_t found = font == SymbolFont::None ? kNone : Lookup(font, code);
    return found != kNone ? found : kPrivateUseBase + code;
}

char32_t MapPrivateUse(SymbolFont font, char32_t character)
{
    if (character < kPrivateUseBase + 0x20 || character > kPrivateUseBase + 0xFF)
        return character;
    const char32_t found = Lookup(font, static_cast<unsigned char>(character - kPrivateUseBase));
    return found != kNone ? found : character;
}

} // namespace karsidan::rtf
