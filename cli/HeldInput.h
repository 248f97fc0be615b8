#pragma once
// A whole input held in memory (standard input, which cannot be read
// twice): grown without filling the new space with zeros first.

#include <cstddef>
#include <cstdlib>
#include <span>
#include <string_view>

class HeldInput {
public:
    HeldInput() = default;
    HeldInput(HeldInput&& other) noexcept;
    HeldInput& operator=(HeldInput&& other) noexcept;
    ~HeldInput() { std::free(data_); }

    // At least `bytes` of capacity in all. Throws std::bad_alloc.
    void Reserve(std::size_t bytes);
    // Free space after the bytes held, at least 1 MiB (more as it grows).
    std::span<char> Room();
    // The first n bytes of Room() now hold input.
    void Grow(std::size_t n) noexcept { size_ += n; }

    std::string_view View() const noexcept { return {data_, size_}; }

private:
    char* data_ = nullptr;
    std::size_t size_ = 0;
    std::size_t capacity_ = 0;
};
