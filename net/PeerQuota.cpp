#include "net/PeerQuota.h"

namespace karsidan::net {

PeerQuota::PeerQuota(qint64 bytesPerHour)
    : bytesPerHour_(bytesPerHour), clock_([] { return std::chrono::steady_clock::now(); })
{ }

qint64 PeerQuota::StoredWithinHour(const QHostAddress& peer)
{
    const auto found = stored_.find(peer);
    if (found == stored_.end())
        return 0;
    const auto since = clock_() - kWindow;
    std::deque<Stored>& records = found.value();
    while (!records.empty() && records.front().at <= since)
        records.pop_front();
    if (records.empty()) {
        stored_.erase(found);
        return 0;
    }
    qint64 total = 0;
    for (const Stored& record : records)
        total += record.bytes;
    return total;
}

bool PeerQuota::Allows(const QHostAddress& peer, qint64 more) { return StoredWithinHour(peer) + more <= bytesPerHour_; }

void PeerQuota::Add(const QHostAddress& peer, qint64 bytes)
{
    // One record per minute at most, so many small messages take no more
    // memory than a few large ones.
    const auto now = clock_();
    std::deque<Stored>& records = stored_[peer];
    if (!records.empty() && now - records.back().at < std::chrono::minutes(1))
        records.back().bytes += bytes;
    else
        records.push_back({now, bytes});
}

} // namespace karsidan::net
