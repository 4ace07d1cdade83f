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

#include "mail/header_words.h"
#include "mail/mail_address.h"
#include "mail/quoted_printable.h"
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

// One "name=value" of a header value; the value without the double quotes around it and with
// the backslashes of its quoted pairs resolved.
struct HeaderParameter {
  std::string name;
  std::string value;
};

// The value as it stands after "=": blanks outside quotes around it dropped, quotes dropped, and
// inside quotes a backslash takes the next character as it is.
std::string UnquotedValue(std::string_view raw) {
  const std::string trimmed = Trim(raw);
  std::string value;
  bool quoted = false;
  for (size_t i = 0; i < trimmed.size(); ++i) {
    if (trimmed[i] == '"') {
      quoted = !quoted;
    } else if (quoted && trimmed[i] == '\\' && i + 1 < trimmed.size()) {
      value += trimmed[++i];
    } else {
      value += trimmed[i];
    }
  }
  return value;
}

// The parameters of a header value, parted by the ";" that stand outside double quotes.
std::vector<HeaderParameter> HeaderParameters(std::string_view value) {
  std::vector<HeaderParameter> parameters;
  size_t at = 0;
  while (at < value.size()) {
    size_t end = at;
    bool quoted = false;
    for (; end < value.size() && (quoted || value[end] != ';'); ++end) {
      if (value[end] == '"') {
        quoted = !quoted;
      } else if (quoted && value[end] == '\\') {
        ++end;  // a quoted pair: the next character neither closes the quotes nor ends the value
      }
    }
    end = std::min(end, value.size());
    const std::string_view text = value.substr(at, end - at);
    const size_t equals = text.find('=');
    if (equals != std::string_view::npos)
      parameters.push_back({Trim(text.substr(0, equals)), UnquotedValue(text.substr(equals + 1))});
    at = end + 1;
  }
  return parameters;
}

// The bytes of an extended value "charset'language'%XX..." (RFC 2231), its charset into
// `charset`; a value without the two apostrophes is all data.
std::string ExtendedValue(std::string_view value, std::string& charset) {
  const size_t first = value.find('\'');
  const size_t second = first == std::string_view::npos ? first : value.find('\'', first + 1);
  if (second == std::string_view::npos) return HexEscapesDecoded(value, '%');
  charset = std::string(value.substr(0, first));
  return HexEscapesDecoded(value.substr(second + 1), '%');
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
  for (const HeaderParameter& parameter : HeaderParameters(value)) {
    if (EqualIgnoringCase(parameter.name, name)) return parameter.value;
  }
  return "";
}

std::string GetExtendedParam(std::string_view name, std::string_view value) {
  const std::vector<HeaderParameter> parameters = HeaderParameters(value);
  auto find = [&parameters, name](const std::string& suffix) -> const HeaderParameter* {
    for (const HeaderParameter& parameter : parameters) {
      if (parameter.name.size() == name.size() + suffix.size() &&
          EqualIgnoringCase(std::string_view(parameter.name).substr(0, name.size()), name) &&
          parameter.name.compare(name.size(), std::string::npos, suffix) == 0)
        return &parameter;
    }
    return nullptr;
  };
  std::string charset;
  if (const HeaderParameter* whole = find("*")) {
    const std::string bytes = ExtendedValue(whole->value, charset);
    return FromCharSet(charset, bytes);
  }
  std::string text;
  int section = 0;
  for (;; ++section) {
    const std::string number = "*" + std::to_string(section);
    if (const HeaderParameter* extended = find(number + "*")) {
      text +=
          section == 0 ? ExtendedValue(extended->value, charset) : HexEscapesDecoded(extended->value, '%');
    } else if (const HeaderParameter* plain = find(number)) {
      text += plain->value;
    } else {
      break;
    }
  }
  return section == 0 ? GetParam(name, value) : FromCharSet(charset, text);
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
