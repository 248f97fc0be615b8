#pragma once
// Threads that stay alive for the whole of a stream and run one job at a
// time: starting a thread per chunk would cost more than a small chunk's
// work, and while the workers run the caller is free to read the next
// chunk and write the last one.

#include <atomic>
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

    // Runs job once per share and returns at once; a job still running is
    // waited for first.
    void Start(Job job);

    // One step of a job in steps: items first to first + count - 1.
    using StepJob = std::function<void(std::size_t first, std::size_t count)>;
    // Runs body over items 0 to items - 1 in steps of `step` items (the
    // last may be shorter), which the workers take one at a time from a
    // shared counter, and so does the caller in Wait; returns at once. A
    // thread that runs late (its core busy with another program, or with
    // the caller's own work) just takes fewer steps: with fixed shares the
    // others waited for it. After a step throws, no further step starts.
    void StartSteps(std::size_t items, std::size_t step, StepJob body);

    // Takes the steps still left of the job in steps, then waits for the
    // job started last; rethrows the first exception it threw. Returns at
    // once when nothing runs.
    void Wait();

private:
    void Loop(unsigned share);
    void TakeSteps() noexcept;
    void Failed(std::exception_ptr error);

    std::mutex mutex_;
    std::condition_variable started_;
    std::condition_variable finished_;
    Job job_;
    std::size_t generation_ = 0;
    unsigned running_ = 0;
    bool stopping_ = false;
    std::exception_ptr error_;
    // The job in steps: set only while no job runs.
    StepJob steps_;
    std::size_t stepItems_ = 0;
    std::size_t step_ = 1;
    std::atomic<std::size_t> nextStep_{0};
    std::atomic<bool> stepFailed_{false};
    std::vector<std::thread> threads_;
};

} // namespace karsidan
