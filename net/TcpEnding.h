#pragma once
// How a TCP connection ended, for Qt's sockets (net/platform/TcpEnding.h
// does the system calls). Qt reads a reset as the end of the data, so both
// sides keep a second descriptor of the socket to tell a peer that finished
// in order (FIN) from one that reset the connection (RST).

#include <QtGlobal>

namespace karsidan::net {

// A second descriptor of the socket, or -1.
int WatchDescriptor(qintptr descriptor);
// The peer's FIN has arrived and no reset came after it, while this end
// has not closed its own side yet.
bool PeerFinishedInOrder(int watch);
// The next close of the socket sends a reset instead of a FIN.
void ResetOnClose(qintptr descriptor);

} // namespace karsidan::net
