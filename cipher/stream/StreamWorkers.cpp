#include "cipher/stream/StreamWorkers.h"

#include <algorithm>
#include <system_error>
#include <utility>

namespace karsidan {

StreamWorkers::StreamWorkers(unsigned threads)
{
    if (threads == 0)
        threads = std::max(1u, std::thread::hardware_concurrency());
    threads_.reserve(threads);
    for (unsigned share = 0; share < threads; ++share) {
        try {
            threads_.emplace_back([this, share] { Loop(share); });
        } catch (const std::system_error&) {
            break; // no more threads to be had: fewer shares
        }
    }
}

StreamWorkers::~StreamWorkers()
{
    {
        std::unique_lock lock(mutex_);
        finished_.wait(lock, [this] { return running_ == 0; });
        stopping_ = true;
    }
    started_.notify_all();
    for (auto& t : threads_)
        t.join();
}

unsigned StreamWorkers::shares() const noexcept
{
    return std::max<unsigned>(1, static_cast<unsigned>(threads_.size()));
}

void StreamWorkers::Start(Job job)
{
    if (threads_.empty()) {
        job(0);
        return;
    }
    {
        std::unique_lock lock(mutex_);
        // The workers read job_ while they run: never replace it under them.
        finished_.wait(lock, [this] { return running_ == 0; });
        job_ = std::move(job);
        running_ = static_cast<unsigned>(threads_.size());
        ++generation_;
    }
    started_.notify_all();
}

void StreamWorkers::StartSteps(std::size_t items, std::size_t step, StepJob body)
{
    {
        std::unique_lock lock(mutex_);
        finished_.wait(lock, [this] { return running_ == 0; });
    }
    steps_ = std::move(body);
    stepItems_ = items;
    step_ = std::max<std::size_t>(1, step);
    nextStep_ = 0;
    stepFailed_ = false;
    Start([this](unsigned) { TakeSteps(); });
}

void StreamWorkers::TakeSteps() noexcept
{
    while (!stepFailed_.load(std::memory_order_relaxed)) {
        const std::size_t first = nextStep_.fetch_add(step_);
        if (first >= stepItems_)
            return;
        try {
            steps_(first, std::min(step_, stepItems_ - first));
        } catch (...) {
            stepFailed_ = true;
            Failed(std::current_exception());
            return;
        }
    }
}

void StreamWorkers::Failed(std::exception_ptr error)
{
    std::lock_guard lock(mutex_);
    if (!error_)
        error_ = std::move(error);
}

void StreamWorkers::Wait()
{
    TakeSteps();
    std::unique_lock lock(mutex_);
    finished_.wait(lock, [this] { return running_ == 0; });
    if (error_)
        std::rethrow_exception(std::exchange(error_, nullptr));
}

void StreamWorkers::Loop(unsigned share)
{
    std::size_t seen = 0;
    for (;;) {
        Job* job = nullptr;
        {
            std::unique_lock lock(mutex_);
            started_.wait(lock, [&] { return stopping_ || generation_ != seen; });
            if (stopping_)
                return;
            seen = generation_;
            job = &job_;
        }
        std::exception_ptr error;
        try {
            (*job)(share);
        } catch (...) {
            error = std::current_exception();
        }
        std::lock_guard lock(mutex_);
        if (error && !error_)
            error_ = error;
        if (--running_ == 0)
            finished_.notify_all();
    }
}

} // namespace karsidan
