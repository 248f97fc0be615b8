#include "net/TcpEnding.h"

#include "net/platform/TcpEnding.h"

namespace karsidan::net {

int WatchDescriptor(qintptr descriptor) { return static_cast<int>(platform::SecondHandle(descriptor)); }

bool PeerFinishedInOrder(int watch) { return platform::PeerFinishedInOrder(watch); }

void ResetOnClose(qintptr descriptor) { platform::ResetOnClose(descriptor); }

} // namespace karsidan::net
