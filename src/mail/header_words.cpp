#include "mail/header_words.h"

#include <QByteArray>
#include <cctype>
#include <stdexcept>

namespace mail {

namespace {

constexpr size_t MaxEncodedWord = 75;

// Characters that may stand for themselves in a Q-form word anywhere in a header, phrases
// included.
bool IsPlainInWord(unsigned char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '!' || c == '*' ||
         c == '+' || c == '-' || c == '/';
}

std::string EncodeWordByte(unsigned char c) {
  if (c == ' ') return "_";
  if (IsPlainInWord(c)) return std::string(1, static_cast<char>(c));
  static const char hex[] = "0123456789ABCDEF";
  return std::string{'=', hex[c >> 4], hex[c & 15]};
}

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

std::string DecodeQ(std::string_view data) {
  std::string out;
  for (size_t i = 0; i < data.size(); ++i) {
    if (data[i] == '_') {
      out += ' ';
    } else if (data[i] == '=' && i + 2 < data.size() && HexValue(data[i + 1]) >= 0 &&
               HexValue(data[i + 2]) >= 0) {
      out += static_cast<char>(HexValue(data[i + 1]) * 16 + HexValue(data[i + 2]));
      i += 2;
    } else {
      out += data[i];
    }
  }
  return out;
}

std::string DecodeB(std::string_view data) {
  if (data.empty() || data == ".") return "";
  const auto result = QByteArray::fromBase64Encoding(
      QByteArray(data.data(), static_cast<qsizetype>(data.size())), QByteArray::AbortOnBase64DecodingErrors);
  if (!result) throw std::runtime_error("Invalid Character");
  return result.decoded.toStdString();
}

bool StartsWithEncodedWord(std::string_view text) {
  return text.substr(0, 2) == "=?";
}

}  // namespace

bool HasEightBit(std::string_view text) {
  for (unsigned char c : text) {
    if (c > 127) return true;
  }
  return false;
}

std::string EncodeHeaderWords(std::string_view text) {
  const std::string prefix = std::string("=?") + MailCharSet + "?Q?";
  const std::string suffix = "?=";
  std::string result;
  std::string word;
  for (unsigned char c : text) {
    const std::string piece = EncodeWordByte(c);
    if (!word.empty() && prefix.size() + word.size() + piece.size() + suffix.size() > MaxEncodedWord) {
      result += (result.empty() ? "" : "\r\n ") + prefix + word + suffix;
      word.clear();
    }
    word += piece;
  }
  result += (result.empty() ? "" : "\r\n ") + prefix + word + suffix;
  return result;
}

std::string DecodeHeaderWords(std::string_view input) {
  std::string text(input);
  size_t from = 0;
  for (;;) {
    const size_t start = text.find("=?", from);
    if (start == std::string::npos) break;
    const size_t charsetEnd = text.find('?', start + 2);
    if (charsetEnd == std::string::npos || charsetEnd + 2 >= text.size() || text[charsetEnd + 2] != '?')
      break;
    const char form = static_cast<char>(std::toupper(static_cast<unsigned char>(text[charsetEnd + 1])));
    const size_t dataStart = charsetEnd + 3;
    const size_t end = text.find("?=", dataStart);
    if (end == std::string::npos || (form != 'B' && form != 'Q')) break;
    const std::string_view data = std::string_view(text).substr(dataStart, end - dataStart);
    const std::string decoded = form == 'B' ? DecodeB(data) : DecodeQ(data);
    std::string after = text.substr(end + 2);
    // Blanks between two encoded words belong to neither.
    size_t blanks = 0;
    while (blanks < after.size() && (after[blanks] == ' ' || after[blanks] == '\t')) ++blanks;
    if (StartsWithEncodedWord(std::string_view(after).substr(blanks))) after.erase(0, blanks);
    text = text.substr(0, start) + decoded + after;
    from = start + decoded.size();
  }
  return text;
}

}  // namespace mail
