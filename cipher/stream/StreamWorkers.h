#pragma once
// Threads that stay alive for the whole of a stream and run one job at a
// time, one share each: starting a thread per chunk would cost more than
// a small chunk's work, and while the workers run the caller is free to
// read the next chunk and write the last one.

#include <condition_variable>
#include <cstddef>
#include <exception>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace karsidan {

class StreamWorkers {
public:
    // Share job for one worker: share counts from 0 to shares() - 1.
    using Job = std::function<void(unsigned share)>;

    // threads == 0: one per hardware thread. When the system gives fewer
    // threads, fewer shares; with none at all, Start runs the job itself.
    explicit StreamWorkers(unsigned threads);
    // Waits for the running job, then ends the threads.
    ~StreamWorkers();
    StreamWorkers(const StreamWorkers&) = delete;
    StreamWorkers& operator=(const StreamWorkers&) = delete;

    unsigned shares() const noexcept;

    // First item and count of one share of `items`: every share but the
    // last a whole number of `unit`s (kernel batches), none empty but when
    // there are fewer units than shares.
    struct Range {
        std::size_t first;
        std::size_t count;
    };
    static Range ShareOf(std::size_t items, std::size_t unit, unsigned share, unsigned shares) noexcept;

    // Runs job once per share and returns at once; a job still running is
    // waited for first.
    void Start(Job job);
    // Waits for the job started last; rethrows the first exception one of
    // its shares threw. Returns at once when nothing runs.
    void Wait();

private:
    void Loop(unsigned share);

    std::mutex mutex_;
    std::condition_variable started_;
    std::condition_variable finished_;
    Job job_;
    std::size_t generation_ = 0;
    unsigned running_ = 0;
    bool stopping_ = false;
    std::exception_ptr error_;
    std::vector<std::thread> threads_;
};

} // namespace karsidan
