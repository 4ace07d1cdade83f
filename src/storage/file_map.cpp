#include "storage/file_map.h"

#include <sys/mman.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstring>

#include "platform/files/fault_seam.h"

namespace storage {
namespace {

constexpr size_t kMinReserve = size_t{1} << 20;

}  // namespace

void IsamFileMap::Unmap() {
  if (base_) munmap(const_cast<uint8_t*>(base_), reserved_);
  base_ = nullptr;
  reserved_ = 0;
  valid_ = 0;
}

void IsamFileMap::Truncated(int64_t size) {
  valid_ = std::min(valid_, size);
}

// Maps (again) when the file has grown beyond the address space reserved: twice its size, so
// that a growing file is mapped anew only now and then.
// A mapping belongs to the handle it was made through: one closed or replaced goes with it (the
// mapping would otherwise keep the old file, and its lock, alive).
bool IsamFileMap::Reach(const platform::files::File& file, int64_t end) {
  if (base_ && file.fd() != fd_) Unmap();
  if (base_ && end <= valid_) return true;
  struct stat st;
  if (!file.IsOpen() || fstat(file.fd(), &st) != 0 || !S_ISREG(st.st_mode) || end > st.st_size) return false;
  if (!base_ || static_cast<size_t>(st.st_size) > reserved_) {
    Unmap();
    const size_t reserve = std::max(kMinReserve, static_cast<size_t>(st.st_size) * 2);
    void* base = mmap(nullptr, reserve, PROT_READ, MAP_SHARED, file.fd(), 0);
    if (base == MAP_FAILED) return false;
    base_ = static_cast<const uint8_t*>(base);
    reserved_ = reserve;
    fd_ = file.fd();
  }
  valid_ = st.st_size;
  return true;
}

bool IsamFileMap::Read(const platform::files::File& file, int64_t pos, void* out, size_t length) {
  // A test that fails a read of the file layer must meet every read the engine makes.
  if (platform::files::seam::ReadsFault()) return false;
  const int64_t end = pos + static_cast<int64_t>(length);
  if (pos < 0 || !Reach(file, end)) return false;
  std::memcpy(out, base_ + pos, length);
  return true;
}

}  // namespace storage
