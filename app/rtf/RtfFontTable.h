#pragma once
// The fonts declared in \fonttbl: number to family name. Entries are built
// from the words and text inside the table and end at ';' or at the close
// of the entry's group.

#include "app/rtf/RtfSymbolFonts.h"

#include <QHash>
#include <QString>

namespace karsidan::rtf {

class RtfFontTable {
public:
    void BeginEntry(int number);
    void AppendToName(QChar character);
    // \fcharsetN of the pending entry; 2 marks a symbol font.
    void SetCharset(int charset);
    // Stores the pending entry, if it has a name.
    void FinishEntry();

    // Empty when the number names no font.
    QString Family(int number) const { return fonts_.value(number); }
    int Count() const { return static_cast<int>(fonts_.size()); }
    // How the font's bytes read; a number that names no font is a text font.
    SymbolFont Symbols(int number) const { return symbols_.value(number, SymbolFont::None); }

    // Names longer than this are cut; no real family comes near it.
    static constexpr int kMaxNameLength = 256;
    // A table larger than this is hostile; later entries are dropped.
    static constexpr int kMaxFonts = 4096;

private:
    QHash<int, QString> fonts_;
    QHash<int, SymbolFont> symbols_; // only the symbol fonts
    QString pendingName_;
    int pendingNumber_ = 0;
    int pendingCharset_ = 0;
    bool pending_ = false;
};

} // namespace karsidan::rtf
