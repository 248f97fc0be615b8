#pragma once

namespace karsidan::net {

// Callers only ever ask "closed or not"; the other states are for showing.
enum class SocketState {
    Closed,
    Listening,
    Connecting,
    Connected,
};

} // namespace karsidan::net
