#include "cli/HeldInput.h"

#include <algorithm>
#include <new>
#include <utility>

HeldInput::HeldInput(HeldInput&& other) noexcept
    : data_(std::exchange(other.data_, nullptr)), size_(std::exchange(other.size_, 0)),
      capacity_(std::exchange(other.capacity_, 0))
{ }

HeldInput& HeldInput::operator=(HeldInput&& other) noexcept
{
    if (this != &other) {
        std::free(data_);
        data_ = std::exchange(other.data_, nullptr);
        size_ = std::exchange(other.size_, 0);
        capacity_ = std::exchange(other.capacity_, 0);
    }
    return *this;
}

void HeldInput::Reserve(std::size_t bytes)
{
    if (bytes <= capacity_)
        return;
    // realloc moves without touching what it does not copy.
    void* grown = std::realloc(data_, bytes);
    if (!grown)
        throw std::bad_alloc();
    data_ = static_cast<char*>(grown);
    capacity_ = bytes;
}

std::span<char> HeldInput::Room()
{
    constexpr std::size_t kStep = std::size_t{1} << 20;
    if (capacity_ - size_ < kStep)
        Reserve(size_ + std::max(kStep, size_ / 2));
    return {data_ + size_, capacity_ - size_};
}
