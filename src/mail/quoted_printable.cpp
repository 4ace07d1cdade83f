#include "mail/quoted_printable.h"

#include <QCoreApplication>
#include <stdexcept>

namespace mail {

namespace {

constexpr size_t PieceLength = 65;
constexpr size_t MaxEncodedWidth = 73;
// Long texts are coded between event-loop turns so the windows keep painting.
constexpr int BytesBetweenPumps = 256;
constexpr size_t LinesBetweenPumps = 64;
constexpr char EndOfFileMark = 26;

bool NeedsEscape(unsigned char c) {
  return c < 32 || c == '=' || c >= 128;
}

std::string EncodePiece(const std::string& piece, bool lastOfLine) {
  std::string out;
  for (size_t i = 0; i < piece.size(); ++i) {
    const auto c = static_cast<unsigned char>(piece[i]);
    const bool trailingBlank = c == ' ' && lastOfLine && i + 1 == piece.size();
    if (NeedsEscape(c) || trailingBlank) {
      out += HexEscaped(c, '=');
    } else {
      out += static_cast<char>(c);
    }
  }
  return out;
}

void DecodeLine(std::string_view line, QByteArray& out) {
  while (!line.empty() && (line.back() == ' ' || line.back() == '\t')) line.remove_suffix(1);
  const bool softBreak = !line.empty() && line.back() == '=';
  if (softBreak) line.remove_suffix(1);
  const std::string bytes = HexEscapesDecoded(line, '=');
  out.append(bytes.data(), static_cast<qsizetype>(bytes.size()));
  if (!softBreak && (line.empty() || line.back() != EndOfFileMark)) out.append("\r\n");
}

}  // namespace

int HexDigitValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

std::string HexEscaped(unsigned char c, char marker) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  return std::string{marker, kDigits[c >> 4], kDigits[c & 15]};
}

std::string HexEscapesDecoded(std::string_view text, char marker) {
  std::string bytes;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == marker && i + 2 < text.size() && HexDigitValue(text[i + 1]) >= 0 &&
        HexDigitValue(text[i + 2]) >= 0) {
      bytes += static_cast<char>(HexDigitValue(text[i + 1]) * 16 + HexDigitValue(text[i + 2]));
      i += 2;
    } else {
      bytes += text[i];
    }
  }
  return bytes;
}

bool TQuotedPrintable::ReadParagraph(std::string& paragraph) {
  paragraph.clear();
  char c = 0;
  int sincePump = 0;
  while (input_.getChar(&c)) {
    if (++sincePump == BytesBetweenPumps) {
      QCoreApplication::processEvents();
      sincePump = 0;
    }
    if (c == '\n') return true;
    if (c == '\r') {
      char next = 0;
      if (input_.getChar(&next) && next != '\n') input_.ungetChar(next);
      return true;
    }
    if (paragraph.size() >= static_cast<size_t>(MaxParagraph))
      throw std::runtime_error("Paragraph is too large");
    paragraph += c;
  }
  return false;
}

void TQuotedPrintable::AddEncodedPieces(const std::string& paragraph, bool lineBreak) {
  if (paragraph.empty()) {
    // Text that ends here without a line break (an empty file among them) ends with a soft break,
    // or it would come back with a line break it never had.
    output_.emplace_back(lineBreak ? "" : "=");
    return;
  }
  std::vector<std::string> pieces;
  size_t start = 0;
  for (;;) {
    // At most 65 characters, and no more than an encoded line of 76 holds (with its soft break
    // and a trailing blank written as "=20").
    size_t cut = start;
    for (size_t width = 0; cut < paragraph.size() && cut - start < PieceLength; ++cut) {
      width += NeedsEscape(static_cast<unsigned char>(paragraph[cut])) ? 3 : 1;
      if (width > MaxEncodedWidth) break;
    }
    if (cut == paragraph.size() && cut - start < PieceLength) {
      pieces.push_back(paragraph.substr(start));
      break;
    }
    if (cut == paragraph.size() || paragraph[cut] != ' ') {
      const size_t blank = paragraph.rfind(' ', cut - 1);
      if (blank != std::string::npos && blank > start) cut = blank;
    }
    pieces.push_back(paragraph.substr(start, cut - start));
    start = cut;
  }
  for (size_t i = 0; i < pieces.size(); ++i) {
    const bool last = i + 1 == pieces.size();
    output_.push_back(EncodePiece(pieces[i], last) + (last && lineBreak ? "" : "="));
  }
}

void TQuotedPrintable::Encode() {
  input_.seek(0);
  std::string paragraph;
  do {
    const bool lineBreak = ReadParagraph(paragraph);
    AddEncodedPieces(paragraph, lineBreak);
  } while (!input_.atEnd() && !Stop);
}

QByteArray TQuotedPrintable::Decode(const std::vector<std::string>& lines) {
  QByteArray out;
  for (size_t i = 0; i < lines.size(); ++i) {
    DecodeLine(lines[i], out);
    if (i % LinesBetweenPumps == LinesBetweenPumps - 1) QCoreApplication::processEvents();
  }
  return out;
}

}  // namespace mail
