#pragma once
// Runs one transform at a time on a worker thread and reports back on the
// thread that owns this object, so the window never freezes.
#include "app/CipherRequest.h"

#include <QByteArray>
#include <QObject>
#include <QString>

#include <atomic>
#include <thread>

namespace karsidan {

class CipherCommand : public QObject {
    Q_OBJECT
public:
    explicit CipherCommand(CipherFunction function, QObject* parent = nullptr);
    ~CipherCommand() override; // waits for a running transform

    bool IsBusy() const { return busy_; }

    // False (and nothing started) while another transform runs.
    bool Start(CipherRequest request);

signals:
    void ProgressChanged(int percent);
    void Finished(const QByteArray& result);
    void Failed(const QString& message);

private:
    void Run(const CipherRequest& request);
    void Report(int percent);
    void Complete();

    CipherFunction function_;
    std::thread worker_;
    bool busy_ = false;
    std::atomic<int> lastPercent_{-1};
};

} // namespace karsidan
