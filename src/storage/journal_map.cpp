#include "storage/journal_map.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>

namespace storage {
namespace {

constexpr size_t kFirstCapacity = size_t{1} << 20;

}  // namespace

bool JournalMap::Create(const std::string& path) {
  Close();
  fd_ = ::open(path.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  return fd_ >= 0;
}

bool JournalMap::Reserve(size_t size) {
  if (size <= capacity_) return true;
  size_t capacity = capacity_ == 0 ? kFirstCapacity : capacity_;
  while (capacity < size) capacity *= 2;
  if (::ftruncate(fd_, static_cast<off_t>(capacity)) != 0) return false;
  void* mapped = ::mmap(nullptr, capacity, PROT_READ | PROT_WRITE, MAP_SHARED, fd_, 0);
  if (mapped == MAP_FAILED) return false;
  Unmap();
  base_ = static_cast<uint8_t*>(mapped);
  capacity_ = capacity;
  return true;
}

void JournalMap::Unmap() {
  if (base_ != nullptr) ::munmap(base_, capacity_);
  base_ = nullptr;
  capacity_ = 0;
}

void JournalMap::Close() {
  Unmap();
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
}

}  // namespace storage
