#include "net/OutgoingFileName.h"

#include "codepage/CodePage.h"

#include <QList>

#include <algorithm>

namespace karsidan::net {

QByteArray OutgoingFileName(const QString& savedFileName)
{
    const qsizetype cut = std::max(savedFileName.lastIndexOf(QLatin1Char('/')),
                                   savedFileName.lastIndexOf(QLatin1Char('\\')));
    // By code point: a character outside the basic plane is one "_", not two.
    const QList<uint> characters = QStringView(savedFileName).sliced(cut + 1).toUcs4();
    QByteArray name;
    name.reserve(characters.size());
    for (const uint character : characters) {
        const auto byte = UnicodeToByte(static_cast<char32_t>(character));
        name.append(byte && *byte != '|' ? static_cast<char>(*byte) : '_');
    }
    return name;
}

} // namespace karsidan::net
