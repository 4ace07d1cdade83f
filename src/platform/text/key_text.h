#pragma once
// The text routines behind fixed-width record texts, amount texts, keys and printed columns.
// Every subsystem pads, trims and strips with these, so the same text always gives the same
// key and the same column. Widths are those of the records' short texts: 0 to 255.

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

namespace platform::text {

// The text without the blanks and control characters (codes up to 32) at either end.
std::string TrimBlanks(std::string_view text);
// The same, as a view into `text` (inline: the reports trim every cell of long tables, most of
// them padded with blanks, which are dropped eight at a time).
inline std::string_view TrimmedBlanks(std::string_view text) {
  const auto blank = [](char c) { return static_cast<unsigned char>(c) <= 32; };
  constexpr uint64_t eightBlanks = 0x2020202020202020u;
  uint64_t last = 0;
  while (text.size() >= 8 && (std::memcpy(&last, text.data() + text.size() - 8, 8), last == eightBlanks))
    text.remove_suffix(8);
  while (!text.empty() && blank(text.back())) text.remove_suffix(1);
  while (!text.empty() && blank(text.front())) text.remove_prefix(1);
  return text;
}

// The text with every "," removed (the one thousands separator that amounts may be typed with),
// then trimmed as TrimBlanks does. Digits, ".", "-", letters and inner blanks are kept, so a bad
// amount stays bad for the parser to see.
std::string StripCommas(std::string_view text);

// Appends fill until the text is width long; a text already that long comes back whole, so an
// over-long part of a fixed-width line pushes what follows to the right instead of being cut.
std::string PadRightWith(std::string_view text, char fill, std::size_t width);
// The same on the left: the text right-aligned in width, a longer one whole (an amount column
// that must not lose digits).
std::string PadLeftWith(std::string_view text, char fill, std::size_t width);

// Right-aligns TrimBlanks(text) in width characters: blanks in front, and a longer text keeps
// its first width characters. The second argument is not used; callers pass a blank.
std::string PadLeftBlanks(std::string_view text, char /*unused*/, std::size_t width);

// TrimBlanks(text) right-aligned in nine characters with leading zeros, so that document
// numbers of different lengths sort in numeric order; a longer text keeps its first nine.
std::string ZeroPad9(std::string_view text);

}  // namespace platform::text
