#include "mail/headers.h"

#include <QByteArray>

#include "mail/header_words.h"
#include "mail/mail_utils.h"

namespace mail {

namespace {

std::string WithColon(std::string_view name) {
  std::string result(name);
  if (result.empty() || result.back() != ':') result += ':';
  return result;
}

bool StartsWithIgnoringCase(const std::string& line, const std::string& prefix) {
  return line.size() >= prefix.size() && QByteArray::fromStdString(line.substr(0, prefix.size()))
                                                 .compare(prefix.c_str(), Qt::CaseInsensitive) == 0;
}

bool IsContinuation(const std::string& line) {
  return !line.empty() && (line[0] == ' ' || line[0] == '\t');
}

// The text after the colon and the blank or tab that normally follows it.
std::string_view ValueAfterColon(const std::string& line) {
  size_t start = std::min(line.size(), line.find(':') + 1);
  if (start < line.size() && (line[start] == ' ' || line[start] == '\t')) ++start;
  return std::string_view(line).substr(start);
}

std::vector<std::string> SplitOutsideQuotes(const std::string& text) {
  std::vector<std::string> pieces;
  std::string piece;
  bool quoted = false;
  for (char c : text) {
    if (c == '"') quoted = !quoted;
    if (c == ',' && !quoted) {
      pieces.push_back(piece);
      piece.clear();
    } else {
      piece += c;
    }
  }
  pieces.push_back(piece);
  return pieces;
}

}  // namespace

int TmsHeaders::FindField(const std::string& name, size_t from) const {
  for (size_t i = from; i < size(); ++i) {
    if (StartsWithIgnoringCase((*this)[i], name)) return static_cast<int>(i);
  }
  return -1;
}

std::string TmsHeaders::GetFieldValue(std::string_view name) const {
  const std::string field = WithColon(name);
  const int line = FindField(field);
  if (line < 0) return "";
  // Unfolded first, so that encoded words on two lines join without a blank between them.
  std::string value = Trim(ValueAfterColon((*this)[static_cast<size_t>(line)]));
  for (size_t i = static_cast<size_t>(line) + 1; i < size() && IsContinuation((*this)[i]); ++i) {
    value += ' ' + Trim((*this)[i]);
  }
  const bool decode =
      !StartsWithIgnoringCase(field, "Content-Type:") && !StartsWithIgnoringCase(field, "X-UIDL:");
  return decode ? DecodeHeaderWords(value) : value;
}

std::vector<std::string> TmsHeaders::GetAddressList(std::string_view name) const {
  const std::string field = WithColon(name);
  std::vector<std::string> addresses;
  for (int line = FindField(field); line >= 0; line = FindField(field, static_cast<size_t>(line) + 1)) {
    std::string text(ValueAfterColon((*this)[static_cast<size_t>(line)]));
    for (size_t i = static_cast<size_t>(line) + 1; i < size() && (*this)[i].find(':') == std::string::npos;
         ++i) {
      text += ' ' + Trim((*this)[i]);
    }
    for (const std::string& piece : SplitOutsideQuotes(text)) {
      const std::string address = DecodeHeaderWords(Trim(piece));
      if (!address.empty()) addresses.push_back(address);
    }
  }
  return addresses;
}

void TmsHeaders::RemoveField(std::string_view name) {
  const int line = FindField(WithColon(name));
  if (line < 0) return;
  auto first = begin() + line;
  auto last = first + 1;
  while (last != end() && IsContinuation(*last)) ++last;
  erase(first, last);
}

}  // namespace mail
