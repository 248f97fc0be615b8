#pragma once
// Turns SIGINT and SIGTERM into a Qt signal on the event loop, so a
// long-running command can finish its work and exit cleanly.

#include <QObject>

class QSocketNotifier;

class NetStopSignals : public QObject {
    Q_OBJECT
public:
    // One instance per process.
    explicit NetStopSignals(QObject* parent = nullptr);
    ~NetStopSignals() override;

signals:
    void StopRequested(int signalNumber);

private:
    QSocketNotifier* notifier_ = nullptr;
};
