#include "exchange/comma_text.h"

#include <QFile>
#include <QStringConverter>
#include <QStringDecoder>

#include "platform/text/codepage.h"

namespace exchange {

namespace {

bool IsSeparatorCharacter(char c) {
  const auto code = static_cast<unsigned char>(c);
  return code >= 1 && code <= 32;
}

// A quoted item from the opening quote at `pos`; pos ends after the closing quote (or at the end
// of the line when the quote is never closed).
std::string QuotedItem(std::string_view line, std::size_t& pos) {
  std::string item;
  ++pos;
  while (pos < line.size()) {
    const char c = line[pos++];
    if (c != '"') {
      item += c;
      continue;
    }
    if (pos < line.size() && line[pos] == '"') {
      item += '"';
      ++pos;
      continue;
    }
    break;
  }
  return item;
}

std::string PlainItem(std::string_view line, std::size_t& pos) {
  const std::size_t start = pos;
  while (pos < line.size() && line[pos] != ',' && !IsSeparatorCharacter(line[pos])) ++pos;
  return std::string(line.substr(start, pos - start));
}

void SkipSeparators(std::string_view line, std::size_t& pos) {
  while (pos < line.size() && IsSeparatorCharacter(line[pos])) ++pos;
}

}  // namespace

std::vector<std::string> SplitCommaText(std::string_view line) {
  // The old lists read the line as a zero-ended string: a NUL ends it.
  line = line.substr(0, line.find('\0'));
  std::vector<std::string> items;
  std::size_t pos = 0;
  SkipSeparators(line, pos);
  while (pos < line.size()) {
    // At a comma the plain item is empty: that is the empty item between two commas.
    items.push_back(line[pos] == '"' ? QuotedItem(line, pos) : PlainItem(line, pos));
    SkipSeparators(line, pos);
    if (pos < line.size() && line[pos] == ',') {
      ++pos;
      SkipSeparators(line, pos);
    }
  }
  return items;
}

namespace {

std::string AnsiText(const QByteArray& bytes) {
  const std::optional<QStringConverter::Encoding> encoding = QStringConverter::encodingForData(bytes);
  if (!encoding) return bytes.toStdString();
  QStringDecoder decode(*encoding, QStringDecoder::Flag::Stateless);
  QString text = decode(bytes);
  if (text.startsWith(QChar(0xFEFF))) text.remove(0, 1);
  return platform::text::ToAnsi(text);
}

}  // namespace

std::optional<std::vector<std::string>> ReadTextLines(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return std::nullopt;
  const QByteArray bytes = file.readAll();
  if (file.error() != QFileDevice::NoError) return std::nullopt;
  const std::string text = AnsiText(bytes);
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find_first_of("\r\n", start);
    if (end == std::string::npos) end = text.size();
    lines.push_back(text.substr(start, end - start));
    if (end < text.size() && text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n') ++end;
    start = end + 1;
  }
  return lines;
}

}  // namespace exchange
