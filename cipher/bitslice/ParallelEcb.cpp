#include "cipher/bitslice/ParallelEcb.h"

#include "cipher/bitslice/RoundKeyMasks.h"

#include <algorithm>
#include <atomic>
#include <exception>
#include <memory>
#include <stdexcept>
#include <string>
#include <system_error>
#include <thread>
#include <vector>

namespace karsidan::bitslice {

namespace {

// Blocks per step of one thread: at most about 1 MiB, so progress moves
// often enough; at least 256 KiB, so a step costs far more than its key
// setup (a few microseconds). Both are whole batches of every kernel.
constexpr std::size_t kStepBlocks = 128 * 1024;
constexpr std::size_t kMinStepBlocks = 32 * 1024;

struct Shared {
    std::atomic<std::size_t> next{0}; // first block of the next step to take
    std::atomic<std::size_t> done{0};
    std::atomic<bool> stop{false}; // set when a step fails, e.g. progress cancels
};

// Takes steps from the shared counter until none is left. A thread that
// starts late (its core busy with another program, or slow to create)
// just takes fewer: fixed halves made the caller wait for it, and on a
// loaded machine 16 MiB on two threads took as long as on one.
void RunSteps(unsigned char* data, std::size_t n, std::size_t step, const RoundKeyMasks& masks, Level level,
              Shared& shared, const BlocksDone* progress)
{
    while (!shared.stop) {
        const std::size_t start = shared.next.fetch_add(step);
        if (start >= n)
            break;
        const std::size_t count = std::min(step, n - start);
        ThreePassEcbBytes(data + start * 8, count, masks, level);
        const std::size_t total = shared.done.fetch_add(count) + count;
        if (progress != nullptr && *progress) {
            try {
                (*progress)(total);
            } catch (...) {
                shared.stop = true; // before the exception travels: the others stop sooner
                throw;
            }
        }
    }
}

} // namespace

void ThreePassEcbBytesParallel(unsigned char* data, std::size_t n, const std::array<DesPass, 3>& passes, Level level,
                               unsigned threads, const BlocksDone& progress)
{
    const auto masks = std::make_unique_for_overwrite<RoundKeyMasks>();
    FillRoundKeyMasks(*masks, passes);
    ThreePassEcbBytesParallel(data, n, *masks, level, threads, progress);
}

void ThreePassEcbBytesParallel(unsigned char* data, std::size_t n, const RoundKeyMasks& masks, Level level,
                               unsigned threads, const BlocksDone& progress)
{
    if (!IsSupported(level)) {
        throw std::invalid_argument(std::string("this processor cannot run the ") + LevelName(level) + " kernel");
    }
    if (threads == 0)
        threads = std::max(1u, std::thread::hardware_concurrency());
    // About eight steps per thread, so a late thread costs little; every
    // step but the last is whole batches, so only the last has a tail.
    const std::size_t width = BatchBlocks(level);
    const std::size_t perThread = (n / (std::size_t(threads) * 8) + width - 1) / width * width;
    const std::size_t step = std::clamp(perThread, kMinStepBlocks, kStepBlocks);
    const std::size_t steps = (n + step - 1) / step;
    threads = unsigned(std::min<std::size_t>(threads, std::max<std::size_t>(steps, 1)));

    Shared shared;
    std::vector<std::thread> workers;
    std::vector<std::exception_ptr> errors(threads);
    // Nothing below may throw while a worker runs but the work itself.
    workers.reserve(threads);
    for (unsigned t = 1; t < threads; ++t) {
        try {
            workers.emplace_back([&, t] {
                try {
                    RunSteps(data, n, step, masks, level, shared, nullptr);
                } catch (...) {
                    errors[t] = std::current_exception();
                    shared.stop = true;
                }
            });
        } catch (const std::system_error&) {
            break; // no thread to be had: the others take its steps
        }
    }
    try {
        RunSteps(data, n, step, masks, level, shared, &progress);
    } catch (...) {
        errors[0] = std::current_exception();
        shared.stop = true;
    }
    for (auto& w : workers)
        w.join();
    for (const auto& e : errors) {
        if (e)
            std::rethrow_exception(e);
    }
    if (progress)
        progress(n);
}

} // namespace karsidan::bitslice
