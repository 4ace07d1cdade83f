#include "mail/mail_utils.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QLocale>
#include <QMimeDatabase>
#include <QRandomGenerator>
#include <QSysInfo>
#include <atomic>
#include <cstdlib>
#include <stdexcept>

#include "mail/mail_address.h"
#include "platform/os/time_zone.h"
#include "platform/text/clock.h"
#include "platform/text/codepage.h"

namespace mail {

namespace {

char Upper(char c) {
  return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

bool EqualIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (Upper(a[i]) != Upper(b[i])) return false;
  }
  return true;
}

// Letters, digits and hyphens in labels parted by single dots: a domain that may stand after the
// "@" of a message id as it is.
bool IsPlainDomain(std::string_view domain) {
  if (domain.empty() || domain.front() == '.' || domain.back() == '.') return false;
  for (size_t i = 0; i < domain.size(); ++i) {
    const char c = domain[i];
    const bool allowed = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                         c == '-' || (c == '.' && domain[i - 1] != '.');
    if (!allowed) return false;
  }
  return true;
}

std::string MessageIdDomain(std::string_view senderAddress) {
  const size_t at = senderAddress.rfind('@');
  const std::string domain =
      at == std::string_view::npos ? std::string() : Trim(senderAddress.substr(at + 1));
  if (IsPlainDomain(domain)) return domain;
  const std::string host = QSysInfo::machineHostName().toStdString();
  return IsPlainDomain(host) ? host : "localhost";
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

std::vector<std::string> TextLines(std::string_view text) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < text.size()) {
    const size_t end = text.find_first_of("\r\n", start);
    if (end == std::string_view::npos) {
      lines.emplace_back(text.substr(start));
      break;
    }
    lines.emplace_back(text.substr(start, end - start));
    start = end + ((text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n') ? 2 : 1);
  }
  return lines;
}

QByteArray LinesText(const std::vector<std::string>& lines) {
  QByteArray text;
  for (const std::string& line : lines)
    text.append(line.data(), static_cast<qsizetype>(line.size())).append("\r\n");
  return text;
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
  // Parameters stand after ";" as name=value, the value a token or a quoted string in which a
  // backslash takes the next character as it is; a ";" inside quotes belongs to the value.
  size_t at = 0;
  while (at < value.size()) {
    size_t end = at;
    std::string text;
    bool quoted = false;
    for (; end < value.size() && (quoted || value[end] != ';'); ++end) {
      if (value[end] == '"') {
        quoted = !quoted;
      } else if (quoted && value[end] == '\\' && end + 1 < value.size()) {
        text += value[++end];
        continue;
      }
      text += value[end];
    }
    const size_t equals = text.find('=');
    if (equals != std::string::npos &&
        EqualIgnoringCase(Trim(std::string_view(text).substr(0, equals)), name)) {
      return StripQuotes(std::string_view(text).substr(equals + 1));
    }
    at = end + 1;
  }
  return "";
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

std::string MailDate(const QDateTime& moment) {
  const QDateTime local = moment.toLocalTime();
  return QLocale::c().toString(local, QStringLiteral("ddd, dd MMM yyyy hh:mm:ss")).toStdString() + ' ' +
         ZoneSuffix(local.offsetFromUtc() / 60);
}

std::string NewMessageId(std::string_view senderAddress) {
  static std::atomic<unsigned> count{0};
  const QString moment = platform::text::Now().toUTC().toString(QStringLiteral("yyyyMMddhhmmsszzz"));
  const QString unique = QStringLiteral("%1.%2.%3.%4")
                             .arg(moment)
                             .arg(QCoreApplication::applicationPid())
                             .arg(++count)
                             .arg(QRandomGenerator::system()->generate(), 8, 16, QLatin1Char('0'));
  return '<' + unique.toStdString() + '@' + MessageIdDomain(senderAddress) + '>';
}

}  // namespace mail
