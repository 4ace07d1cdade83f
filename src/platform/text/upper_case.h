#pragma once
// The program's one rule for capital letters in Windows-1252 text. Key builders, the record
// browser's typed keys and Find all use it, so that a key typed or searched for matches the
// key that was stored whatever the letters' case.
//
// Capitalised: a-z; the accented small letters 0xE0-0xFE except the division sign 0xF7;
// s, o-e and z with caron 0x9A, 0x9C, 0x9E (to 0x8A, 0x8C, 0x8E); y with diaeresis 0xFF (to
// 0x9F). Everything else, sharp s 0xDF and micro sign 0xB5 included, stays as it is, so the
// length of a text never changes.

#include <string>
#include <string_view>

namespace platform::text {

char UpperChar(char c);
std::string UpperCase(std::string_view text);

}  // namespace platform::text
