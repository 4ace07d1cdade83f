#include "exchange/comma_text.h"

#include <QFile>
#include <QStringConverter>
#include <QStringDecoder>
#include <algorithm>

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

bool HasNonAscii(const QByteArray& bytes) {
  return std::any_of(bytes.begin(), bytes.end(),
                     [](char c) { return static_cast<unsigned char>(c) >= 0x80; });
}

// The file's text when it is in a Unicode encoding (see ReadTextLines); nothing for
// Windows-1252.
std::optional<QString> UnicodeText(const QByteArray& bytes) {
  if (const std::optional<QStringConverter::Encoding> marked = QStringConverter::encodingForData(bytes)) {
    QStringDecoder decode(*marked, QStringDecoder::Flag::Stateless);
    QString text = decode(bytes);
    if (text.startsWith(QChar(0xFEFF))) text.remove(0, 1);
    return text;
  }
  if (!HasNonAscii(bytes)) return std::nullopt;
  QStringDecoder decode(QStringConverter::Utf8, QStringDecoder::Flag::Stateless);
  QString text = decode(bytes);
  if (decode.hasError()) return std::nullopt;
  return text;
}

// The characters of one line that Windows-1252 cannot hold.
void FindUnheld(const QString& line, int lineNumber, std::vector<UnheldCharacter>& unheld) {
  int column = 0;
  for (qsizetype i = 0; i < line.size(); ++i) {
    ++column;
    const qsizetype width = line[i].isHighSurrogate() && i + 1 < line.size() ? 2 : 1;
    const QString character = line.mid(i, width);
    if (!platform::text::CharactersOutsideCodepage(character).isEmpty())
      unheld.push_back({lineNumber, column, character});
    i += width - 1;
  }
}

template <class Text>
std::vector<Text> SplitLines(const Text& text) {
  std::vector<Text> lines;
  qsizetype start = 0;
  const auto size = static_cast<qsizetype>(text.size());
  while (start < size) {
    qsizetype end = start;
    while (end < size && text[end] != '\r' && text[end] != '\n') ++end;
    lines.push_back(text.substr(start, end - start));
    if (end + 1 < size && text[end] == '\r' && text[end + 1] == '\n') ++end;
    start = end + 1;
  }
  return lines;
}

}  // namespace

std::optional<TextFileLines> ReadTextLines(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return std::nullopt;
  const QByteArray bytes = file.readAll();
  if (file.error() != QFileDevice::NoError) return std::nullopt;
  TextFileLines read;
  const std::optional<QString> unicode = UnicodeText(bytes);
  if (!unicode) {
    read.Lines = SplitLines(bytes.toStdString());
    return read;
  }
  const std::vector<std::u16string> lines = SplitLines(unicode->toStdU16String());
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const QString line = QString::fromStdU16String(lines[i]);
    FindUnheld(line, static_cast<int>(i) + 1, read.Unheld);
    read.Lines.push_back(platform::text::ToAnsi(line));
  }
  return read;
}

}  // namespace exchange
