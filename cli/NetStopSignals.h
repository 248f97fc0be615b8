#pragma once
// Turns stop requests (SIGINT and SIGTERM; Ctrl-C and the like on Windows)
// into a Qt signal on the event loop, so a long-running command can finish
// its work and exit cleanly. The system's part is cli/platform/StopSignals.

#include <QObject>

class NetStopSignals : public QObject {
    Q_OBJECT
public:
    // One instance per process.
    explicit NetStopSignals(QObject* parent = nullptr);
    ~NetStopSignals() override;

signals:
    void StopRequested(int signalNumber);

private:
    // From the watch's thread to this object's.
    static void Post(int signalNumber, void* self);
};
