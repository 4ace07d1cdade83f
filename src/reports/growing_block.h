#pragma once
// A run of plain values (characters, spans) in one block of memory that keeps growing: the report
// table's text and cells. Where a std::vector moves to a new block at every doubling, copying
// what it holds and touching twice the memory it ends with, this block grows with realloc, which
// moves a large block by remapping its pages instead. The block is given back whole when the run
// is destroyed.

#include <algorithm>
#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <new>
#include <type_traits>
#include <utility>

namespace reports {

template <class T>
class GrowingBlock {
  static_assert(std::is_trivially_copyable_v<T>);

 public:
  GrowingBlock() = default;
  GrowingBlock(const GrowingBlock& other) { Append(other.data_, other.size_); }
  GrowingBlock(GrowingBlock&& other) noexcept { Swap(other); }
  GrowingBlock& operator=(GrowingBlock other) noexcept {
    Swap(other);
    return *this;
  }
  ~GrowingBlock() { std::free(data_); }

  void Swap(GrowingBlock& other) noexcept {
    std::swap(data_, other.data_);
    std::swap(size_, other.size_);
    std::swap(capacity_, other.capacity_);
  }

  std::size_t size() const { return size_; }
  bool empty() const { return size_ == 0; }
  T* data() { return data_; }
  const T* data() const { return data_; }
  T& operator[](std::size_t at) { return data_[at]; }
  const T& operator[](std::size_t at) const { return data_[at]; }
  T& back() { return data_[size_ - 1]; }

  void Append(const T* values, std::size_t count) {
    if (count == 0) return;
    Reserve(size_ + count);
    std::memcpy(static_cast<void*>(data_ + size_), values, count * sizeof(T));
    size_ += count;
  }
  void push_back(const T& value) {
    Reserve(size_ + 1);
    data_[size_++] = value;
  }
  // Cuts the run to `count` values, or fills it up to `count` with `fill`.
  void resize(std::size_t count, const T& fill = T()) {
    Reserve(count);
    for (std::size_t at = size_; at < count; ++at) data_[at] = fill;
    size_ = count;
  }

 private:
  void Reserve(std::size_t count) {
    if (count <= capacity_) return;
    const std::size_t capacity = std::max(count, capacity_ * 2 + 64);
    void* grown = std::realloc(static_cast<void*>(data_), capacity * sizeof(T));
    if (!grown) throw std::bad_alloc();
    data_ = static_cast<T*>(grown);
    capacity_ = capacity;
  }

  T* data_ = nullptr;
  std::size_t size_ = 0;
  std::size_t capacity_ = 0;
};

}  // namespace reports
