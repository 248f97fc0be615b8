#include "app/rtf/RtfFontTable.h"

namespace karsidan::rtf {

void RtfFontTable::BeginEntry(int number)
{
    FinishEntry();
    pendingNumber_ = number;
    pendingName_.clear();
    pendingCharset_ = 0;
    pending_ = true;
}

void RtfFontTable::SetCharset(int charset) { pendingCharset_ = charset; }

void RtfFontTable::AppendToName(QChar character)
{
    if (character == QLatin1Char(';')) {
        FinishEntry();
        return;
    }
    if (pending_ && pendingName_.size() < kMaxNameLength)
        pendingName_.append(character);
}

void RtfFontTable::FinishEntry()
{
    if (!pending_)
        return;
    pending_ = false;
    const QString name = pendingName_.trimmed();
    pendingName_.clear();
    if (name.isEmpty())
        return;
    if (fonts_.size() >= kMaxFonts && !fonts_.contains(pendingNumber_))
        return;
    fonts_.insert(pendingNumber_, name);
    const SymbolFont symbols = ClassifyFont(name, pendingCharset_);
    if (symbols == SymbolFont::None)
        symbols_.remove(pendingNumber_);
    else
        symbols_.insert(pendingNumber_, symbols);
}

} // namespace karsidan::rtf
