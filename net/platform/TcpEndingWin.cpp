#include "net/platform/TcpEnding.h"

#include <winsock2.h>

#include <mstcpip.h>
#include <windows.h>

namespace karsidan::net::platform {

namespace {

// MinGW declares these only for Windows 10 1703 and later; the call itself
// fails cleanly on older systems.
#ifdef SIO_TCP_INFO
using TcpInfo = TCP_INFO_v0;
constexpr ULONG kCloseWait = TCPSTATE_CLOSE_WAIT;
constexpr ULONG kLastAck = TCPSTATE_LAST_ACK;
constexpr DWORD kTcpInfoCode = SIO_TCP_INFO;
#else
struct TcpInfo {
    ULONG State;
    ULONG Mss;
    ULONG64 ConnectionTimeMs;
    BOOLEAN TimestampsEnabled;
    ULONG RttUs;
    ULONG MinRttUs;
    ULONG BytesInFlight;
    ULONG Cwnd;
    ULONG SndWnd;
    ULONG RcvWnd;
    ULONG RcvBuf;
    ULONG64 BytesOut;
    ULONG64 BytesIn;
    ULONG BytesReordered;
    ULONG BytesRetrans;
    ULONG FastRetrans;
    ULONG DupAcksIn;
    ULONG TimeoutEpisodes;
    UCHAR SynRetrans;
};
constexpr ULONG kCloseWait = 7;
constexpr ULONG kLastAck = 9;
constexpr DWORD kTcpInfoCode = _WSAIORW(IOC_VENDOR, 39);
#endif

SOCKET AsSocket(SocketHandle socket) { return static_cast<SOCKET>(socket); }

bool StateOf(SocketHandle socket, ULONG* state)
{
    if (socket == kNoSocket)
        return false;
    DWORD version = 0;
    TcpInfo info{};
    DWORD length = 0;
    if (::WSAIoctl(AsSocket(socket), kTcpInfoCode, &version, sizeof version, &info, sizeof info, &length, nullptr,
                   nullptr)
        != 0)
        return false;
    *state = static_cast<ULONG>(info.State);
    return true;
}

} // namespace

SocketHandle SecondHandle(SocketHandle socket)
{
    if (socket == kNoSocket)
        return kNoSocket;
    WSAPROTOCOL_INFOW info{};
    if (::WSADuplicateSocketW(AsSocket(socket), ::GetCurrentProcessId(), &info) != 0)
        return kNoSocket;
    SOCKET second = ::WSASocketW(FROM_PROTOCOL_INFO, FROM_PROTOCOL_INFO, FROM_PROTOCOL_INFO, &info, 0,
                                 WSA_FLAG_OVERLAPPED | WSA_FLAG_NO_HANDLE_INHERIT);
    // Windows 7 without SP1 refuses the flag; the handle is then inheritable,
    // as the first one is.
    if (second == INVALID_SOCKET && ::WSAGetLastError() == WSAEINVAL)
        second = ::WSASocketW(FROM_PROTOCOL_INFO, FROM_PROTOCOL_INFO, FROM_PROTOCOL_INFO, &info, 0,
                              WSA_FLAG_OVERLAPPED);
    return second == INVALID_SOCKET ? kNoSocket : static_cast<SocketHandle>(second);
}

void CloseSocketHandle(SocketHandle socket)
{
    if (socket != kNoSocket)
        ::closesocket(AsSocket(socket));
}

bool TcpStateReadable(SocketHandle socket)
{
    ULONG state = 0;
    return StateOf(socket, &state);
}

bool PeerFinishedInOrder(SocketHandle socket)
{
    ULONG state = 0;
    return StateOf(socket, &state) && (state == kCloseWait || state == kLastAck);
}

void ResetOnClose(SocketHandle socket)
{
    if (socket == kNoSocket)
        return;
    const linger reset{1, 0};
    ::setsockopt(AsSocket(socket), SOL_SOCKET, SO_LINGER, reinterpret_cast<const char*>(&reset), sizeof reset);
}

} // namespace karsidan::net::platform
