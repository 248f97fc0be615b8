#include "app/AppFonts.h"

#include <QStringList>

namespace karsidan {

namespace {

QFont MakeFont(const QStringList& families, QFont::StyleHint hint, qreal pointSize)
{
    QFont font(families.first());
    font.setFamilies(families);
    font.setStyleHint(hint);
    font.setPointSizeF(pointSize);
    return font;
}

} // namespace

QFont ArialFont(qreal pointSize)
{
    // Metric-compatible faces first, so captions fit their boxes as designed.
    return MakeFont({"Arial", "Liberation Sans", "Arimo", "Helvetica", "DejaVu Sans"}, QFont::SansSerif, pointSize);
}

QFont CourierNewFont(qreal pointSize)
{
    return MakeFont({"Courier New", "Liberation Mono", "Cousine", "DejaVu Sans Mono"}, QFont::TypeWriter, pointSize);
}

} // namespace karsidan
