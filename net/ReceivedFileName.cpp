#include "net/ReceivedFileName.h"

#include "storage/AtomicFile.h"

#include <QStringList>

#include <algorithm>

namespace karsidan::net {

namespace {

// Refusing every hidden name keeps peers off our own files in the folder.
static_assert(storage::kTemporaryPrefix[0] == '.');

bool IsForbiddenCharacter(QChar c)
{
    if (c.category() == QChar::Other_Control)
        return true;
    switch (c.unicode()) {
    case '<':
    case '>':
    case ':':
    case '"':
    case '|':
    case '?':
    case '*': return true;
    default: return false;
    }
}

// Windows opens a device instead of a file for these, with any extension.
bool IsReservedDeviceName(const QString& name)
{
    static const QStringList kDevices = {
        QStringLiteral("CON"), QStringLiteral("PRN"),    QStringLiteral("AUX"),
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
    const qsizetype cut = std::max(received.lastIndexOf(QLatin1Char('\\')), received.lastIndexOf(QLatin1Char('/')));
    const QString name = received.mid(cut + 1);
    if (name.isEmpty() || name.startsWith(QLatin1Char('.')))
        return {};
    if (name.size() > kMaxFileNameLength)
        return {};
    for (QChar c : name)
        if (IsForbiddenCharacter(c))
            return {};
    if (name.endsWith(QLatin1Char('.')) || name.endsWith(QLatin1Char(' ')))
        return {};
    if (IsReservedDeviceName(name))
        return {};
    return name;
}

QString StoredFileName(const QString& received)
{
    const QString name = SafeFileName(received);
    return name.isEmpty() ? QString::fromLatin1(kFallbackFileName) : name;
}

QString NumberedFileName(const QString& name, int n)
{
    const QString number = QStringLiteral(" (%1)").arg(n);
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    if (dot <= 0)
        return name + number;
    return name.left(dot) + number + name.mid(dot);
}

} // namespace karsidan::net
