#include "mail/mail_utils.h"

#include <QFileInfo>
#include <QMimeDatabase>
#include <cstdlib>
#include <stdexcept>

#include "mail/mail_address.h"
#include "platform/text/codepage.h"
#include "platform/os/time_zone.h"

namespace mail {

namespace {

bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

char Upper(char c) {
  return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

size_t FindIgnoringCase(std::string_view text, std::string_view what) {
  if (what.empty() || what.size() > text.size()) return std::string_view::npos;
  for (size_t i = 0; i + what.size() <= text.size(); ++i) {
    size_t k = 0;
    while (k < what.size() && Upper(text[i + k]) == Upper(what[k])) ++k;
    if (k == what.size()) return i;
  }
  return std::string_view::npos;
}

}  // namespace

std::string Cut255(std::string_view text) {
  return std::string(text.substr(0, MaxShortText));
}

std::string Trim(std::string_view text) {
  size_t begin = 0;
  size_t end = text.size();
  while (begin < end && static_cast<unsigned char>(text[begin]) <= ' ') ++begin;
  while (end > begin && static_cast<unsigned char>(text[end - 1]) <= ' ') --end;
  return std::string(text.substr(begin, end - begin));
}

std::string StripQuotes(std::string_view text) {
  std::string result = Trim(text);
  size_t begin = 0;
  while (begin < result.size() && result[begin] == '"') ++begin;
  size_t end = result.size();
  while (end > begin && result[end - 1] == '"') --end;
  return result.substr(begin, end - begin);
}

void ParseAddress(const std::string& text, TmsMailAddress& address) {
  const size_t open = text.find('<');
  if (open != std::string::npos) {
    const size_t close = text.find('>', open + 1);
    if (close == std::string::npos) throw std::runtime_error("Unable to parse email address");
    address.SetAddress(StripQuotes(std::string_view(text).substr(open + 1, close - open - 1)));
    address.SetName(StripQuotes(text.substr(0, open) + text.substr(close + 1)));
    return;
  }
  const size_t paren = text.find('(');
  if (paren != std::string::npos) {
    address.SetAddress(StripQuotes(std::string_view(text).substr(0, paren)));
    std::string_view after = std::string_view(text).substr(paren + 1);
    if (!after.empty()) after.remove_suffix(1);  // the closing parenthesis
    address.SetName(StripQuotes(after));
    return;
  }
  address.SetAddress(text);
  address.SetName("");
}

std::string GetParam(std::string_view name, std::string_view value) {
  const size_t at = FindIgnoringCase(value, name);
  if (at == std::string_view::npos) return "";
  std::string rest = Trim(value.substr(at + name.size()));
  if (!rest.empty() && rest[0] == '=') rest = Trim(std::string_view(rest).substr(1));
  std::string result;
  if (!rest.empty() && rest[0] == '"') {
    const size_t close = rest.find('"', 1);
    result = rest.substr(1, close == std::string::npos ? std::string::npos : close - 1);
  } else {
    size_t end = 0;
    while (end < rest.size() && !IsBlank(rest[end])) ++end;
    result = rest.substr(0, end);
  }
  if (!result.empty() && result.back() == ';') result.pop_back();
  return Trim(result);
}

std::string ExtractToken(std::string_view value) {
  size_t end = 0;
  while (end < value.size() && value[end] != ' ' && value[end] != ';') ++end;
  return Trim(value.substr(0, end));
}

std::string MimeTypeOf(const std::string& fileName) {
  static const std::string fallback = "application/octet-stream";
  const QString name = platform::text::ToQString(fileName);
  if (QFileInfo(name).suffix().isEmpty()) return fallback;
  const QMimeDatabase database;
  const QMimeType type = database.mimeTypeForFile(name, QMimeDatabase::MatchExtension);
  if (!type.isValid() || type.isDefault()) return fallback;
  return type.name().toStdString();
}

std::string ZoneSuffix(int minutesEast) {
  const int magnitude = std::abs(minutesEast);
  char text[16];
  std::snprintf(text, sizeof text, "%c%02d%02d", minutesEast >= 0 ? '+' : '-', magnitude / 60,
                magnitude % 60);
  return text;
}

const std::string& LocalZone() {
  static const std::string zone = [] {
    const std::optional<int> offset = platform::os::LocalUtcOffsetMinutes();
    return offset ? ZoneSuffix(*offset) : std::string("GMT");
  }();
  return zone;
}

}  // namespace mail
