#pragma once
// Symbol fonts (\fcharset2) draw their own glyphs for byte codes, and Word
// and LibreOffice write those codes as private-use characters U+F020 to
// U+F0FF. The editor shows neither font, so the characters are turned into
// what they look like, where Unicode has it.

#include <QString>

namespace karsidan::rtf {

enum class SymbolFont {
    None, // a text font: bytes are code-page text
    Symbol, // Greek letters and mathematical signs
    Wingdings, // pictograms and list bullets
    Other, // another symbol font, whose glyphs are not known here
};

SymbolFont ClassifyFont(const QString& family, int charset);

// The character a byte stands for in a symbol font; U+F000 plus the byte
// when the font's glyph has no Unicode equivalent (or the font is unknown).
char32_t SymbolFontCharacter(SymbolFont font, unsigned char code);

// A private-use character written in the given font. Outside a symbol font
// (LibreOffice writes list bullets without naming one) only the bullets of
// Word's bullet library are recognised. Other characters come back as they are.
char32_t MapPrivateUse(SymbolFont font, char32_t character);

} // namespace karsidan::rtf
