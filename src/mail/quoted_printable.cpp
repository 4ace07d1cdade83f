#include "mail/quoted_printable.h"

#include <QCoreApplication>
#include <stdexcept>

namespace mail {

namespace {

constexpr size_t PieceLength = 65;
// Long bodies are encoded between event-loop turns so the windows keep painting.
constexpr int BytesBetweenPumps = 256;

std::string EncodePiece(const std::string& piece) {
  static const char hex[] = "0123456789ABCDEF";
  std::string out;
  for (unsigned char c : piece) {
    if (c < 32 || c == '=' || c >= 128) {
      out += '=';
      out += hex[c >> 4];
      out += hex[c & 15];
    } else {
      out += static_cast<char>(c);
    }
  }
  return out;
}

bool IsLineEnd(char c) {
  return c == '\r' || c == '\n';
}

}  // namespace

std::string TQuotedPrintable::ReadParagraph() {
  std::string paragraph;
  char c = 0;
  int sincePump = 0;
  while (input_.getChar(&c)) {
    if (++sincePump == BytesBetweenPumps) {
      QCoreApplication::processEvents();
      sincePump = 0;
    }
    // The last byte of the input belongs to the paragraph, whatever it is.
    if (IsLineEnd(c) && !input_.atEnd()) {
      char next = 0;
      if (input_.getChar(&next) && !IsLineEnd(next)) input_.ungetChar(next);
      break;
    }
    if (paragraph.size() >= static_cast<size_t>(MaxParagraph))
      throw std::runtime_error("Paragraph is too large");
    paragraph += c;
  }
  return paragraph;
}

void TQuotedPrintable::AddEncodedPieces(const std::string& paragraph) {
  if (paragraph.empty()) {
    output_.emplace_back();
    return;
  }
  std::vector<std::string> pieces;
  size_t start = 0;
  for (;;) {
    size_t cut = start + PieceLength;
    if (cut > paragraph.size()) {
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
    output_.push_back(EncodePiece(pieces[i]) + (i + 1 < pieces.size() ? "=" : ""));
  }
}

void TQuotedPrintable::Encode() {
  input_.seek(0);
  do {
    AddEncodedPieces(ReadParagraph());
  } while (!input_.atEnd() && !Stop);
}

}  // namespace mail
