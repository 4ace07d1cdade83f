#include "platform/text/key_text.h"

#include <algorithm>

namespace platform::text {
namespace {

// Puts fill in front until the text is at least width long, then keeps its first width
// characters.
std::string PadLeftAndCut(std::string text, char fill, std::size_t width) {
  if (text.size() < width) text.insert(0, width - text.size(), fill);
  text.resize(width);
  return text;
}

}  // namespace

std::string TrimBlanks(std::string_view text) {
  return std::string(TrimmedBlanks(text));
}

std::string StripCommas(std::string_view text) {
  std::string out(text);
  out.erase(std::remove(out.begin(), out.end(), ','), out.end());
  // Trimmed after the commas are gone, so that ", 5" gives "5" and blanks and commas alone give
  // the empty text.
  return TrimBlanks(out);
}

std::string PadRightWith(std::string_view text, char fill, std::size_t width) {
  std::string out(text);
  if (out.size() < width) out.append(width - out.size(), fill);
  return out;
}

std::string PadLeftWith(std::string_view text, char fill, std::size_t width) {
  std::string out(text);
  if (out.size() < width) out.insert(0, width - out.size(), fill);
  return out;
}

std::string PadLeftBlanks(std::string_view text, char /*unused*/, std::size_t width) {
  return PadLeftAndCut(TrimBlanks(text), ' ', width);
}

std::string ZeroPad9(std::string_view text) {
  return PadLeftAndCut(TrimBlanks(text), '0', 9);
}

}  // namespace platform::text
