#include "net/TcpEnding.h"

#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>

namespace karsidan::net {

int WatchDescriptor(qintptr descriptor)
{
    return descriptor < 0 ? -1 : ::fcntl(static_cast<int>(descriptor), F_DUPFD_CLOEXEC, 0);
}

bool PeerFinishedInOrder(int watch)
{
    if (watch < 0)
        return false;
    tcp_info info{};
    socklen_t length = sizeof info;
    if (::getsockopt(watch, IPPROTO_TCP, TCP_INFO, &info, &length) != 0)
        return false;
    return info.tcpi_state == TCP_CLOSE_WAIT || info.tcpi_state == TCP_LAST_ACK;
}

void ResetOnClose(qintptr descriptor)
{
    if (descriptor < 0)
        return;
    const linger reset{1, 0};
    ::setsockopt(static_cast<int>(descriptor), SOL_SOCKET, SO_LINGER, &reset, sizeof reset);
}

} // namespace karsidan::net
