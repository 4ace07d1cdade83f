#pragma once
// Little-endian fields of the engine's files. The files are little-endian by definition and the
// program runs on little-endian machines only, so a field is a plain copy of its bytes.

#include <bit>
#include <cstdint>
#include <cstring>

namespace storage {

static_assert(std::endian::native == std::endian::little, "the engine's file layouts are little-endian");

template <typename T>
T IsamLoad(const uint8_t* at) {
  T v;
  std::memcpy(&v, at, sizeof v);
  return v;
}

template <typename T>
void IsamStore(uint8_t* at, T v) {
  std::memcpy(at, &v, sizeof v);
}

inline int32_t IsamLoadInt32(const uint8_t* at) {
  return IsamLoad<int32_t>(at);
}
inline void IsamStoreInt32(uint8_t* at, int32_t v) {
  IsamStore(at, v);
}
inline uint16_t IsamLoadUInt16(const uint8_t* at) {
  return IsamLoad<uint16_t>(at);
}
inline void IsamStoreUInt16(uint8_t* at, uint16_t v) {
  IsamStore(at, v);
}

// Copies a few bytes (a key, an index entry), eight at a time. A plain memcpy of a length the
// compiler cannot see may become a string move instruction, whose start alone costs more than a
// whole key step.
inline void IsamCopyFew(void* to, const void* from, size_t n) {
  auto* d = static_cast<char*>(to);
  const auto* s = static_cast<const char*>(from);
  for (; n >= 8; n -= 8, d += 8, s += 8) std::memcpy(d, s, 8);
  for (; n > 0; --n) *d++ = *s++;
}

}  // namespace storage
