#include "app/rtf/RtfFontTable.h"

namespace karsidan::rtf {

void RtfFontTable::BeginEntry(int number)
{
    FinishEntry();
    pendingNumber_ = number;
    pendingName_.clear();
    pending_ = true;
}

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
}

} // namespace karsidan::rtf
