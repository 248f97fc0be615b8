#include "cipher/stream/StreamBuffer.h"

#include <cstdint>
#include <new>
#include <utility>

#if defined(__linux__)
#include <sys/mman.h>
#endif

namespace karsidan {

namespace {
constexpr std::size_t kHugePage = std::size_t{2} << 20;
constexpr std::size_t kCacheLine = 64;
} // namespace

StreamBuffer::StreamBuffer(std::size_t size) : size_(size)
{
#if defined(__linux__) && defined(MADV_HUGEPAGE)
    if (size >= kHugePage) {
        // Map one huge page more, so the buffer can start on a huge-page
        // boundary; the hint is only a hint, the buffer works without it.
        const std::size_t length = (size + 2 * kHugePage - 1) & ~(kHugePage - 1);
        void* p = mmap(nullptr, length, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (p == MAP_FAILED)
            throw std::bad_alloc();
        mapping_ = static_cast<char*>(p);
        mapped_ = length;
        const auto start = reinterpret_cast<std::uintptr_t>(p);
        data_ = mapping_ + (((start + kHugePage - 1) & ~(kHugePage - 1)) - start);
        madvise(data_, (size + kHugePage - 1) & ~(kHugePage - 1), MADV_HUGEPAGE);
        return;
    }
#endif
    data_ = static_cast<char*>(::operator new(size == 0 ? 1 : size, std::align_val_t(kCacheLine)));
}

StreamBuffer::~StreamBuffer() { Release(); }

StreamBuffer::StreamBuffer(StreamBuffer&& other) noexcept
    : data_(std::exchange(other.data_, nullptr)), size_(std::exchange(other.size_, 0)),
      mapped_(std::exchange(other.mapped_, 0)), mapping_(std::exchange(other.mapping_, nullptr))
{ }

StreamBuffer& StreamBuffer::operator=(StreamBuffer&& other) noexcept
{
    if (this != &other) {
        Release();
        data_ = std::exchange(other.data_, nullptr);
        size_ = std::exchange(other.size_, 0);
        mapped_ = std::exchange(other.mapped_, 0);
        mapping_ = std::exchange(other.mapping_, nullptr);
    }
    return *this;
}

void StreamBuffer::Release() noexcept
{
#if defined(__linux__)
    if (mapping_ != nullptr) {
        munmap(mapping_, mapped_);
        mapping_ = nullptr;
        data_ = nullptr;
        return;
    }
#endif
    if (data_ != nullptr)
        ::operator delete(data_, std::align_val_t(kCacheLine));
    data_ = nullptr;
}

} // namespace karsidan
