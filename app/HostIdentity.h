#pragma once
#include <QString>

namespace karsidan {

// Who this copy is on the network, as shown in the window title.
class HostIdentity {
public:
    static QString HostName();
    // First IPv4 address of an interface that is up and not loopback,
    // else 127.0.0.1.
    static QString LocalAddress();
    // "KARSIDAN (host : address)"
    static QString WindowTitle(const QString& host, const QString& address);
};

} // namespace karsidan
