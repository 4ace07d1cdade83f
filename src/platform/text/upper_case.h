#pragma once
// The program's one rule for capital letters in Windows-1252 text. Key builders, the record
// browser's typed keys and Find all use it, so that a key typed or searched for matches the
// key that was stored whatever the letters' case.
//
// Capitalised: a-z; the accented small letters 0xE0-0xFE except the division sign 0xF7;
// s, o-e and z with caron 0x9A, 0x9C, 0x9E (to 0x8A, 0x8C, 0x8E); y with diaeresis 0xFF (to
// 0x9F). Everything else, sharp s 0xDF and micro sign 0xB5 included, stays as it is, so the
// length of a text never changes.

#include <array>
#include <string>
#include <string_view>

namespace platform::text {

namespace upper_case_detail {

constexpr unsigned char UpperOf(unsigned char u) {
  if ((u >= 'a' && u <= 'z') || (u >= 0xE0 && u <= 0xFE && u != 0xF7))
    return static_cast<unsigned char>(u - 0x20);
  if (u == 0x9A || u == 0x9C || u == 0x9E) return static_cast<unsigned char>(u - 0x10);
  return u == 0xFF ? 0x9F : u;
}

// Every byte's capital, looked up instead of worked out: the key builders capitalise every
// character of every key of every record a reindex reads.
constexpr std::array<unsigned char, 256> UpperTable() {
  std::array<unsigned char, 256> table{};
  for (int u = 0; u < 256; ++u) table[static_cast<size_t>(u)] = UpperOf(static_cast<unsigned char>(u));
  return table;
}

inline constexpr std::array<unsigned char, 256> kUpper = UpperTable();

}  // namespace upper_case_detail

inline char UpperChar(char c) {
  return static_cast<char>(upper_case_detail::kUpper[static_cast<unsigned char>(c)]);
}
std::string UpperCase(std::string_view text);

}  // namespace platform::text
