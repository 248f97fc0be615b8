#include "app/HostIdentity.h"

#include <QHostInfo>
#include <QNetworkInterface>

namespace karsidan {

QString HostIdentity::HostName() { return QHostInfo::localHostName(); }

QString HostIdentity::LocalAddress()
{
    const auto interfaces = QNetworkInterface::allInterfaces();
    for (const QNetworkInterface& iface : interfaces) {
        const auto flags = iface.flags();
        if (!flags.testFlag(QNetworkInterface::IsUp) || flags.testFlag(QNetworkInterface::IsLoopBack))
            continue;
        const auto entries = iface.addressEntries();
        for (const QNetworkAddressEntry& entry : entries) {
            const QHostAddress ip = entry.ip();
            if (ip.protocol() == QAbstractSocket::IPv4Protocol && !ip.isLoopback())
                return ip.toString();
        }
    }
    return QStringLiteral("127.0.0.1");
}

QString HostIdentity::WindowTitle(const QString& host, const QString& address)
{
    return QStringLiteral("KARSIDAN (%1 : %2)").arg(host, address);
}

} // namespace karsidan
