#include "net/platform/TcpEnding.h"

#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <unistd.h>

namespace karsidan::net::platform {

namespace {

bool StateOf(SocketHandle socket, int* state)
{
    if (socket < 0)
        return false;
    tcp_info info{};
    socklen_t length = sizeof info;
    if (::getsockopt(static_cast<int>(socket), IPPROTO_TCP, TCP_INFO, &info, &length) != 0)
        return false;
    *state = info.tcpi_state;
    return true;
}

} // namespace

SocketHandle SecondHandle(SocketHandle socket)
{
    return socket < 0 ? kNoSocket : ::fcntl(static_cast<int>(socket), F_DUPFD_CLOEXEC, 0);
}

void CloseSocketHandle(SocketHandle socket)
{
    if (socket >= 0)
        ::close(static_cast<int>(socket));
}

bool TcpStateReadable(SocketHandle socket)
{
    int state = 0;
    return StateOf(socket, &state);
}

bool PeerFinishedInOrder(SocketHandle socket)
{
    int state = 0;
    return StateOf(socket, &state) && (state == TCP_CLOSE_WAIT || state == TCP_LAST_ACK);
}

void ResetOnClose(SocketHandle socket)
{
    if (socket < 0)
        return;
    const linger reset{1, 0};
    ::setsockopt(static_cast<int>(socket), SOL_SOCKET, SO_LINGER, &reset, sizeof reset);
}

} // namespace karsidan::net::platform
