#include "cipher/bitslice/ParallelEcb.h"

#include "cipher/bitslice/RoundKeyMasks.h"

#include <algorithm>
#include <memory>
#include <atomic>
#include <exception>
#include <stdexcept>
#include <string>
#include <system_error>
#include <thread>
#include <vector>

namespace karsidan::bitslice {

namespace {

// Blocks per step of one thread: about 1 MiB, so progress moves often
// enough and the step costs far more than reporting it.
constexpr std::size_t kStepBlocks = 128 * 1024;

struct Shared {
    std::atomic<std::size_t> done{0};
    std::atomic<bool> stop{false}; // set when a share fails, e.g. progress cancels
};

void RunShare(unsigned char* data, std::size_t n, const RoundKeyMasks& masks, Level level,
              Shared& shared, const BlocksDone* progress)
{
    for (std::size_t start = 0; start < n && !shared.stop; start += kStepBlocks) {
        const std::size_t count = std::min(kStepBlocks, n - start);
        ThreePassEcbBytes(data + start * 8, count, masks, level);
        const std::size_t total = shared.done.fetch_add(count) + count;
        if (progress != nullptr && *progress) (*progress)(total);
    }
}

} // namespace

void ThreePassEcbBytesParallel(unsigned char* data, std::size_t n,
                               const std::array<DesPass, 3>& passes, Level level, unsigned threads,
                               const BlocksDone& progress)
{
    const auto masks = std::make_unique_for_overwrite<RoundKeyMasks>();
    FillRoundKeyMasks(*masks, passes);
    ThreePassEcbBytesParallel(data, n, *masks, level, threads, progress);
}

void ThreePassEcbBytesParallel(unsigned char* data, std::size_t n, const RoundKeyMasks& masks,
                               Level level, unsigned threads, const BlocksDone& progress)
{
    if (!IsSupported(level)) {
        throw std::invalid_argument(std::string("this processor cannot run the ") + LevelName(level) +
                                    " kernel");
    }
    if (threads == 0) threads = std::max(1u, std::thread::hardware_concurrency());
    const std::size_t width = BatchBlocks(level);
    const std::size_t batches = (n + width - 1) / width;
    // Never more threads than batches; every share but the last is whole
    // batches, so only the last one has a tail.
    threads = unsigned(std::min<std::size_t>(threads, std::max<std::size_t>(batches, 1)));
    const std::size_t share = (batches + threads - 1) / threads * width;

    Shared shared;
    std::vector<std::thread> workers;
    std::vector<std::exception_ptr> errors(threads);
    std::vector<unsigned> ownShares = {0};
    // Nothing below may throw while a worker runs but the work itself.
    workers.reserve(threads);
    ownShares.reserve(threads);
    for (unsigned t = 1; t < threads; ++t) {
        const std::size_t start = std::min(n, t * share);
        const std::size_t count = std::min(n - start, share);
        try {
            workers.emplace_back([&, t, start, count] {
                try {
                    RunShare(data + start * 8, count, masks, level, shared, nullptr);
                } catch (...) {
                    errors[t] = std::current_exception();
                    shared.stop = true;
                }
            });
        } catch (const std::system_error&) {
            ownShares.push_back(t); // no thread to be had: this one does it
        }
    }
    for (unsigned t : ownShares) {
        const std::size_t start = std::min(n, t * share);
        try {
            RunShare(data + start * 8, std::min(n - start, share), masks, level, shared, &progress);
        } catch (...) {
            errors[t] = std::current_exception();
            shared.stop = true;
        }
    }
    for (auto& w : workers) w.join();
    for (const auto& e : errors) {
        if (e) std::rethrow_exception(e);
    }
    if (progress) progress(n);
}

} // namespace karsidan::bitslice
