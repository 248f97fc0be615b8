#pragma once
// How a TCP connection ended, read from the system's own state, for sockets
// whose reads cannot tell a peer that finished in order (FIN) from one that
// reset the connection (RST). Plain C++ for the Windows build too: POSIX in
// TcpEndingPosix.cpp (TCP_INFO), Windows in TcpEndingWin.cpp (SIO_TCP_INFO).

#include <cstdint>

namespace karsidan::net::platform {

// A socket descriptor (POSIX) or SOCKET (Windows); -1 for none.
using SocketHandle = std::intptr_t;
inline constexpr SocketHandle kNoSocket = -1;

// A second handle of the same connection, which stays usable after the first
// is closed; kNoSocket when it cannot be made.
SocketHandle SecondHandle(SocketHandle socket);
void CloseSocketHandle(SocketHandle socket);

// Whether the system tells this connection's TCP state at all (Windows 10
// 1703 and later do; Wine may not).
bool TcpStateReadable(SocketHandle socket);
// The peer's FIN has arrived and no reset came after it, while this end has
// not closed its own side yet. False when the state cannot be read.
bool PeerFinishedInOrder(SocketHandle socket);
// The next close of the connection sends a reset instead of a FIN.
void ResetOnClose(SocketHandle socket);

} // namespace karsidan::net::platform
