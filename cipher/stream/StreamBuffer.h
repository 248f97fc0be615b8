#pragma once
// A byte buffer that a stream allocates once and reuses for every chunk.
// Uninitialised: its pages are first touched by the first chunk written
// into it, and on Linux it asks for huge pages, so a few faults map it
// instead of one per 4 KiB page.

#include <cstddef>

namespace karsidan {

class StreamBuffer {
public:
    StreamBuffer() = default;
    explicit StreamBuffer(std::size_t size); // throws std::bad_alloc
    ~StreamBuffer();
    StreamBuffer(StreamBuffer&& other) noexcept;
    StreamBuffer& operator=(StreamBuffer&& other) noexcept;
    StreamBuffer(const StreamBuffer&) = delete;
    StreamBuffer& operator=(const StreamBuffer&) = delete;

    char* data() const noexcept { return data_; }
    unsigned char* bytes() const noexcept { return reinterpret_cast<unsigned char*>(data_); }
    std::size_t size() const noexcept { return size_; }

private:
    void Release() noexcept;

    char* data_ = nullptr;
    std::size_t size_ = 0;
    std::size_t mapped_ = 0; // bytes mapped, 0 when allocated with new
    char* mapping_ = nullptr;
};

} // namespace karsidan
