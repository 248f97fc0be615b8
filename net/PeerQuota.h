#pragma once
// How much each peer address has stored within the last hour, so that one
// peer cannot fill the disk however fast it sends.

#include <QHash>
#include <QHostAddress>

#include <chrono>
#include <deque>
#include <functional>

namespace karsidan::net {

class PeerQuota {
public:
    using Clock = std::function<std::chrono::steady_clock::time_point()>;
    static constexpr std::chrono::hours kWindow{1};

    explicit PeerQuota(qint64 bytesPerHour);

    void SetBytesPerHour(qint64 bytes) { bytesPerHour_ = bytes; }
    qint64 BytesPerHour() const { return bytesPerHour_; }
    void SetClock(Clock clock) { clock_ = std::move(clock); }

    // Bytes the peer stored within the last hour.
    qint64 StoredWithinHour(const QHostAddress& peer);
    // True when the peer may have so many more bytes on top of that.
    bool Allows(const QHostAddress& peer, qint64 more);
    void Add(const QHostAddress& peer, qint64 bytes);

private:
    struct Stored {
        std::chrono::steady_clock::time_point at;
        qint64 bytes;
    };
    QHash<QHostAddress, std::deque<Stored>> stored_;
    qint64 bytesPerHour_;
    Clock clock_;
};

} // namespace karsidan::net
