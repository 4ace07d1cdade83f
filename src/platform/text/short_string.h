#pragma once
// The short text field of the record layouts: one length byte followed by room for N
// characters, N + 1 bytes in all, at a fixed offset of its record.
//
//   offset 0      length L (0..N)
//   offset 1..N   the L characters of the text (Windows-1252), then zeros
//
// Records are read from files that may be damaged or written by other versions, so reading
// trusts nothing: a length byte above N reads as N and never reaches past the field. Writing
// cuts the text to N characters and zero-fills the rest, so equal texts give equal bytes (an
// edit compares the stored record with its copy byte for byte).

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace platform::text {

// field points at the length byte of a field of the given capacity (N).
std::string ReadShortString(const void* field, std::size_t capacity);
void WriteShortString(void* field, std::size_t capacity, std::string_view text);

// The same field as a member of a record struct; byte-aligned, so it sits at any offset.
template <std::size_t N>
struct ShortString {
  static_assert(N >= 1 && N <= 255, "a short text field holds 1 to 255 characters");

  uint8_t Length = 0;
  char Chars[N] = {};

  std::string Get() const { return ReadShortString(this, N); }
  // The same text in place, valid while the record lives.
  std::string_view View() const { return {Chars, Length < N ? Length : N}; }
  void Set(std::string_view text) { WriteShortString(this, N, text); }
  static constexpr std::size_t Capacity() { return N; }
};

}  // namespace platform::text
