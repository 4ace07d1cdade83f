#include "mail/header_words.h"

#include <QByteArray>
#include <QStringDecoder>
#include <algorithm>
#include <cctype>
#include <stdexcept>

#include "mail/codecs.h"
#include "mail/quoted_printable.h"
#include "platform/text/codepage.h"

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
  return HexEscaped(c, '=');
}

std::string DecodeQ(std::string_view data) {
  // An underscore stands for a blank; "=5F" for an underscore, so blanks come first.
  std::string text(data);
  std::replace(text.begin(), text.end(), '_', ' ');
  return HexEscapesDecoded(text, '=');
}

// An encoded word "=?charset?X?data?=" at the start of the text: its length and decoded
// bytes; zero length when the text holds no well-formed word there (RFC 2047: no blanks and
// no "?" inside the data, form B or Q, a language after "*" in the charset ignored).
size_t ParseEncodedWord(std::string_view text, std::string& decoded) {
  if (text.substr(0, 2) != "=?") return 0;
  const size_t charsetEnd = text.find('?', 2);
  if (charsetEnd == std::string_view::npos || charsetEnd + 2 >= text.size() || text[charsetEnd + 2] != '?')
    return 0;
  const char form = static_cast<char>(std::toupper(static_cast<unsigned char>(text[charsetEnd + 1])));
  if (form != 'B' && form != 'Q') return 0;
  const size_t dataStart = charsetEnd + 3;
  const size_t dataEnd = text.find('?', dataStart);
  if (dataEnd == std::string_view::npos || dataEnd + 1 >= text.size() || text[dataEnd + 1] != '=') return 0;
  const std::string_view data = text.substr(dataStart, dataEnd - dataStart);
  if (data.find_first_of(" \t\r\n") != std::string_view::npos) return 0;
  std::string_view charset = text.substr(2, charsetEnd - 2);
  charset = charset.substr(0, charset.find('*'));
  if (form == 'B') {
    try {
      decoded = Base64Decode(data).toStdString();
    } catch (const EInOutError&) {
      return 0;  // left as it stands, as a reader that cannot decode a word does
    }
  } else {
    decoded = DecodeQ(data);
  }
  decoded = FromCharSet(charset, decoded);
  return dataEnd + 2;
}

}  // namespace

std::string FromCharSet(std::string_view charset, const std::string& bytes) {
  const QByteArray name =
      QByteArray(charset.data(), static_cast<qsizetype>(charset.size())).trimmed().toLower();
  if (name.isEmpty() || name == "us-ascii" || name == "iso-8859-1" || name == "windows-1252" ||
      name == "iso-2022-jp")
    return bytes;
  QStringDecoder decoder(name.constData());
  if (!decoder.isValid()) return bytes;
  const QString text = decoder.decode(QByteArray::fromStdString(bytes));
  return decoder.hasError() ? bytes : platform::text::ToAnsi(text);
}

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
  std::string text;
  bool afterWord = false;  // blanks between two encoded words belong to neither
  size_t at = 0;
  while (at < input.size()) {
    std::string decoded;
    const size_t length = input[at] == '=' ? ParseEncodedWord(input.substr(at), decoded) : 0;
    if (length > 0) {
      text += decoded;
      at += length;
      afterWord = true;
      continue;
    }
    size_t blanks = at;
    while (blanks < input.size() && (input[blanks] == ' ' || input[blanks] == '\t')) ++blanks;
    if (afterWord && blanks > at && blanks < input.size() &&
        ParseEncodedWord(input.substr(blanks), decoded) > 0) {
      at = blanks;
      continue;
    }
    afterWord = false;
    const size_t next = std::max(blanks, at + 1);
    text.append(input.substr(at, next - at));
    at = next;
  }
  return text;
}

}  // namespace mail
