#include "app/CipherCommand.h"

#include <algorithm>
#include <exception>

namespace karsidan {

CipherCommand::CipherCommand(CipherFunction function, QObject* parent) : QObject(parent), function_(std::move(function))
{ }

CipherCommand::~CipherCommand()
{
    if (worker_.joinable())
        worker_.join();
}

bool CipherCommand::Start(CipherRequest request)
{
    if (busy_)
        return false;
    busy_ = true;
    lastPercent_ = -1;
    if (worker_.joinable())
        worker_.join();
    worker_ = std::thread([this, request = std::move(request)] { Run(request); });
    return true;
}

void CipherCommand::Run(const CipherRequest& request)
{
    // Progress is throttled to whole percents so the event loop is not flooded.
    const CipherProgress progress = [this](std::size_t done, std::size_t total) {
        if (total == 0)
            return;
        const int percent = static_cast<int>(std::min<std::size_t>(done, total) * 100 / total);
        if (lastPercent_.exchange(percent) != percent)
            QMetaObject::invokeMethod(
                this, [this, percent] { Report(percent); }, Qt::QueuedConnection);
    };

    QByteArray result;
    QString error;
    bool ok = false;
    try {
        const std::string bytes = function_(request, progress);
        result = QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size()));
        ok = true;
    } catch (const std::exception& e) {
        error = QString::fromUtf8(e.what());
    } catch (...) {
        error = QStringLiteral("Terjadi kesalahan yang tidak diketahui.");
    }
    QMetaObject::invokeMethod(
        this,
        [this, ok, result = std::move(result), error = std::move(error)] {
            Complete();
            if (ok)
                emit Finished(result);
            else
                emit Failed(error);
        },
        Qt::QueuedConnection);
}

void CipherCommand::Report(int percent)
{
    if (busy_)
        emit ProgressChanged(percent);
}

void CipherCommand::Complete()
{
    if (worker_.joinable())
        worker_.join();
    busy_ = false;
}

} // namespace karsidan
