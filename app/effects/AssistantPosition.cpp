#include "app/effects/AssistantPosition.h"

#include <cmath>
#include <cstdint>
#include <limits>

double RoundHalfEven(double value)
{
    const double floor = std::floor(value);
    const double fraction = value - floor;
    if (fraction > 0.5)
        return floor + 1.0;
    if (fraction < 0.5)
        return floor;
    return std::fmod(floor, 2.0) == 0.0 ? floor : floor + 1.0;
}

namespace {

std::optional<int> ToPixel(double twips, double twipsPerPixel)
{
    if (!(twipsPerPixel > 0.0) || !std::isfinite(twips) || !std::isfinite(twipsPerPixel))
        return std::nullopt;
    const double pixel = RoundHalfEven(twips / twipsPerPixel);
    if (pixel < std::numeric_limits<std::int16_t>::min() || pixel > std::numeric_limits<std::int16_t>::max())
        return std::nullopt;
    return static_cast<int>(pixel);
}

} // namespace

std::optional<QPoint> AssistantPosition(double windowLeftTwips, double windowTopTwips, double windowOuterWidthTwips,
                                        double twipsPerPixelX, double twipsPerPixelY)
{
    const auto left = ToPixel(windowLeftTwips + windowOuterWidthTwips, twipsPerPixelX);
    const auto top = ToPixel(windowTopTwips, twipsPerPixelY);
    if (!left || !top)
        return std::nullopt;
    return QPoint(*left, *top);
}
