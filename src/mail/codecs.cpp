#include "mail/codecs.h"

#include <algorithm>

namespace mail {

namespace {

constexpr char UUZero = '`';

int Base64Value(char c) {
  if (c >= 'A' && c <= 'Z') return c - 'A';
  if (c >= 'a' && c <= 'z') return c - 'a' + 26;
  if (c >= '0' && c <= '9') return c - '0' + 52;
  if (c == '+') return 62;
  if (c == '/') return 63;
  return -1;
}

bool IsWhite(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

int UUValue(char c) {
  if (c == UUZero || c == ' ') return 0;
  if (c > ' ' && c < UUZero) return c - ' ';
  throw EInOutError("Invalid Character");
}

char UUChar(int value) {
  return value == 0 ? UUZero : static_cast<char>(' ' + value);
}

bool StartsWithWord(std::string_view line, std::string_view word) {
  if (line.size() < word.size()) return false;
  for (size_t i = 0; i < word.size(); ++i) {
    if ((line[i] | 0x20) != word[i]) return false;
  }
  return true;
}

// Where the name of a begin line starts: after "begin", blanks, the octal mode and blanks; the
// line's end when it names no file (as written for an attachment without a name); npos when the
// line is no begin line.
size_t UUNameStart(std::string_view line) {
  if (!StartsWithWord(line, "begin")) return std::string_view::npos;
  size_t at = 5;
  const size_t blanks = at;
  while (at < line.size() && line[at] == ' ') ++at;
  if (at == blanks) return std::string_view::npos;
  const size_t digits = at;
  while (at < line.size() && line[at] >= '0' && line[at] <= '7') ++at;
  if (at == digits || at - digits > 4 || (at < line.size() && line[at] != ' ')) return std::string_view::npos;
  while (at < line.size() && line[at] == ' ') ++at;
  return at;
}

}  // namespace

QByteArray Base64Decode(std::string_view text) {
  QByteArray out;
  if (text.empty() || text == ".") return out;
  out.reserve(static_cast<qsizetype>(text.size() / 4 * 3 + 3));
  unsigned bits = 0;
  int count = 0;
  // A group cut short by fill characters (or by the end) gives the bytes its characters hold;
  // some writers encode line by line, so data may follow the fill.
  auto flushGroup = [&] {
    if (count == 1) throw EInOutError("Invalid Character");
    if (count == 2) out.append(static_cast<char>(bits >> 4));
    if (count == 3) out.append(static_cast<char>(bits >> 10)).append(static_cast<char>(bits >> 2));
    bits = 0;
    count = 0;
  };
  for (char c : text) {
    if (IsWhite(c)) continue;
    if (c == '=') {
      flushGroup();
      continue;
    }
    const int value = Base64Value(c);
    if (value < 0) throw EInOutError("Invalid Character");
    bits = (bits << 6) | static_cast<unsigned>(value);
    if (++count == 4) {
      out.append(static_cast<char>(bits >> 16));
      out.append(static_cast<char>(bits >> 8));
      out.append(static_cast<char>(bits));
      bits = 0;
      count = 0;
    }
  }
  flushGroup();
  return out;
}

std::string UUEncodeLine(std::string_view bytes) {
  const size_t n = std::min(bytes.size(), static_cast<size_t>(UULineBytes));
  std::string line(1, UUChar(static_cast<int>(n)));
  const size_t characters = n == UULineBytes ? 60 : n * 4 / 3 + 1;
  for (size_t i = 0; i < characters; ++i) {
    // Six bits from bit position i * 6 of the bytes, most significant first.
    const size_t bit = i * 6;
    const size_t byte = bit / 8;
    unsigned word = 0;
    for (size_t k = 0; k < 2; ++k) {
      word = (word << 8) | (byte + k < n ? static_cast<unsigned char>(bytes[byte + k]) : 0u);
    }
    line += UUChar(static_cast<int>((word >> (10 - bit % 8)) & 63));
  }
  return line;
}

QByteArray UUDecodeLine(std::string_view line) {
  QByteArray out;
  if (line.empty()) return out;
  const int n = UUValue(line[0]);
  // Four characters carry three bytes; missing characters (trimmed blanks) count as zero.
  const size_t characters = static_cast<size_t>((n + 2) / 3 * 4);
  unsigned bits = 0;
  int held = 0;
  for (size_t i = 1; i <= characters && out.size() < n; ++i) {
    const int value = i < line.size() ? UUValue(line[i]) : 0;
    bits = ((bits << 6) | static_cast<unsigned>(value)) & 0xFFFFu;
    held += 6;
    if (held >= 8) {
      held -= 8;
      out.append(static_cast<char>(bits >> held));
    }
  }
  return out;
}

bool IsUUBegin(std::string_view line) {
  return UUNameStart(line) != std::string_view::npos;
}

std::string UUFileName(std::string_view line) {
  const size_t start = UUNameStart(line);
  if (start == std::string_view::npos) return "";
  std::string_view name = line.substr(start);
  if (name.empty()) return "";
  if (name.front() == '"') {
    const size_t close = name.find('"', 1);
    return close == std::string_view::npos ? "" : std::string(name.substr(1, close - 1));
  }
  while (!name.empty() && (name.back() == ' ' || name.back() == '\t')) name.remove_suffix(1);
  return std::string(name);
}

}  // namespace mail
