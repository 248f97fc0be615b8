#include "app/rtf/RtfColorTable.h"

#include <algorithm>

namespace karsidan::rtf {
namespace {
int Component(int value) { return std::clamp(value, 0, 255); }
} // namespace

void RtfColorTable::SetRed(int value)
{
    red_ = Component(value);
    specified_ = true;
}

void RtfColorTable::SetGreen(int value)
{
    green_ = Component(value);
    specified_ = true;
}

void RtfColorTable::SetBlue(int value)
{
    blue_ = Component(value);
    specified_ = true;
}

void RtfColorTable::FinishEntry()
{
    if (colors_.size() < kMaxColors) {
        if (specified_)
            colors_.append(QColor(red_, green_, blue_));
        else
            colors_.append(std::nullopt);
    }
    red_ = green_ = blue_ = 0;
    specified_ = false;
}

std::optional<QColor> RtfColorTable::Color(int index) const
{
    if (index < 0 || index >= colors_.size())
        return std::nullopt;
    return colors_[index];
}

} // namespace karsidan::rtf
