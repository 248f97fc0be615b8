#include "net/ReceivedFileName.h"

#include <QStringList>

#include <algorithm>

namespace karsidan::net {

namespace {

constexpr qsizetype kMaxNameLength = 255;

bool IsForbiddenCharacter(QChar c)
{
    if (c.category() == QChar::Other_Control)
        return true;
    switch (c.unicode()) {
    case '<': case '>': case ':': case '"': case '|': case '?': case '*':
        return true;
    default:
        return false;
    }
}

// Windows opens a device instead of a file for these, with any extension.
bool IsReservedDeviceName(const QString& name)
{
    static const QStringList kDevices = {
        QStringLiteral("CON"), QStringLiteral("PRN"), QStringLiteral("AUX"),
        QStringLiteral("NUL"), QStringLiteral("CONIN$"), QStringLiteral("CONOUT$"),
    };
    const QString stem = name.section(QLatin1Char('.'), 0, 0).trimmed().toUpper();
    if (kDevices.contains(stem))
        return true;
    if (stem.size() == 4 && (stem.startsWith(QLatin1String("COM")) || stem.startsWith(QLatin1String("LPT"))))
        return stem.at(3) >= QLatin1Char('1') && stem.at(3) <= QLatin1Char('9');
    return false;
}

} // namespace

QString SafeFileName(const QString& received)
{
    const qsizetype cut = std::max(received.lastIndexOf(QLatin1Char('\\')),
                                   received.lastIndexOf(QLatin1Char('/')));
    const QString name = received.mid(cut + 1);
    if (name.isEmpty() || name == QLatin1String(".") || name == QLatin1String(".."))
        return {};
    if (name.size() > kMaxNameLength)
        return {};
    for (QChar c : name)
        if (IsForbiddenCharacter(c))
            return {};
    if (name.endsWith(QLatin1Char('.')) || name.endsWith(QLatin1Char(' ')))
        return {};
    if (IsReservedDeviceName(name))
        return {};
    // Our own temporary files: a peer must not replace one in flight.
    if (name.startsWith(QLatin1String(kTemporaryPrefix)))
        return {};
    return name;
}

QString StoredFileName(const QString& received)
{
    const QString name = SafeFileName(received);
    return name.isEmpty() ? QString::fromLatin1(kFallbackFileName) : name;
}

} // namespace karsidan::net
