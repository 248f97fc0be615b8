#pragma once
#include <QFont>

namespace karsidan {

// Arial, or the nearest sans-serif face installed.
QFont ArialFont(qreal pointSize);
// Courier New, or the nearest fixed-pitch face installed.
QFont CourierNewFont(qreal pointSize);

} // namespace karsidan
