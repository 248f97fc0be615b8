#include "cli/NetStopSignals.h"

#include "cli/platform/StopSignals.h"

NetStopSignals::NetStopSignals(QObject* parent) : QObject(parent) { platform::WatchStopSignals(&Post, this); }

NetStopSignals::~NetStopSignals() { platform::StopWatchingStopSignals(); }

void NetStopSignals::Post(int signalNumber, void* self)
{
    auto* watcher = static_cast<NetStopSignals*>(self);
    QMetaObject::invokeMethod(
        watcher, [watcher, signalNumber] { emit watcher->StopRequested(signalNumber); }, Qt::QueuedConnection);
}
