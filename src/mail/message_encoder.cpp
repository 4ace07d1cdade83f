#include "mail/message_encoder.h"

#include <QBuffer>
#include <QByteArray>

#include "mail/header_words.h"
#include "mail/quoted_printable.h"

namespace mail {

namespace {

constexpr size_t LongBodyLine = 256;
constexpr size_t LabelWidth = 10;

std::vector<std::string> SplitAtLineBreaks(const std::vector<std::string>& lines) {
  std::vector<std::string> result;
  for (const std::string& line : lines) {
    size_t start = 0;
    for (;;) {
      const size_t end = line.find_first_of("\r\n", start);
      if (end == std::string::npos) {
        result.push_back(line.substr(start));
        break;
      }
      result.push_back(line.substr(start, end - start));
      start = end + ((line[end] == '\r' && end + 1 < line.size() && line[end + 1] == '\n') ? 2 : 1);
    }
  }
  return result;
}

bool BodyHasEightBit(const std::vector<std::string>& lines) {
  for (const std::string& line : lines) {
    if (HasEightBit(line)) return true;
  }
  return false;
}

// A display name in double quotes where its punctuation would otherwise be read as structure.
std::string QuotedName(const std::string& name, const char* specials) {
  if (name.find('"') == std::string::npos && name.find_first_of(specials) != std::string::npos) {
    return '"' + name + '"';
  }
  return name;
}

}  // namespace

std::string HeaderValue(std::string_view text) {
  std::string value(text);
  for (char& c : value) {
    if (c == '\r' || c == '\n') c = ' ';
  }
  return value;
}

TmsCustomEncoder::TmsCustomEncoder(TmsCustomMessage& message) : message_(message) {
  body_ = SplitAtLineBreaks(message.Body);
  for (const std::string& line : body_) {
    if (line.size() >= LongBodyLine) {
      quoted_printable_ = true;
      break;
    }
  }
}

void TmsCustomEncoder::WriteLine(std::string_view text) {
  output_->write(text.data(), static_cast<qint64>(text.size()));
  output_->write("\r\n", 2);
}

std::string TmsCustomEncoder::Base64(std::string_view text) {
  return QByteArray(text.data(), static_cast<qsizetype>(text.size())).toBase64().toStdString();
}

std::string TmsCustomEncoder::EncodeJISWord(const std::string& text) {
  if (text.empty() || text[0] != '\x1b') return text;
  return "=?ISO-2022-JP?B?" + Base64(text) + "?=";
}

std::string TmsCustomEncoder::HeaderPhrase(const std::string& text, const char* specials) const {
  const std::string value = HeaderValue(text);
  if (message_.CharSet == csISO2022jp && message_.Encoding == meMIME) {
    return EncodeJISWord(QuotedName(value, specials));
  }
  // An encoded word needs no quotes: its punctuation is encoded too.
  if (message_.Encoding == meMIME && HasEightBit(value)) return EncodeHeaderWords(value);
  return QuotedName(value, specials);
}

void TmsCustomEncoder::Encode(QIODevice& stream) {
  output_ = &stream;
  output_->seek(0);
  if (message_.Encoding == meUU) {
    throw EMessageError("Uuencoded messages cannot be written yet; send the text as MIME");
  }
  const std::string type = message_.ContentType();
  if (type != "text/plain" || message_.Attachments().Count() > 0) {
    throw EMessageError("Messages of type " + type + " and messages with attachments cannot be written yet");
  }
  WriteHeaders();
  WritePlainBody();
}

void TmsCustomEncoder::WritePlainBody() {
  // Text with letters above 127 is Windows-1252 and goes quoted-printable under that name.
  const bool eightBit = message_.CharSet == csUSASCII && BodyHasEightBit(body_);
  const char* charset = message_.CharSet == csISO2022jp ? "iso-2022-jp"
                        : message_.CharSet == csISO8859 ? "iso-8859-1"
                        : eightBit                      ? MailCharSet
                                                        : "us-ascii";
  const bool quoted = message_.CharSet == csISO8859 || quoted_printable_ || eightBit;
  WriteLine(std::string("Content-Type: text/plain; charset=\"") + charset + "\"");
  WriteLine(quoted ? "Content-Transfer-Encoding: quoted-printable" : "Content-Transfer-Encoding: 7bit");
  WriteLine("");
  if (!quoted) {
    for (const std::string& line : body_) WriteLine(line);
    return;
  }
  QByteArray text;
  for (const std::string& line : body_)
    text.append(line.data(), static_cast<qsizetype>(line.size())).append("\r\n");
  QBuffer input(&text);
  input.open(QIODevice::ReadOnly);
  std::vector<std::string> encoded;
  TQuotedPrintable coder(input, encoded);
  coder.Encode();
  for (const std::string& line : encoded) WriteLine(line);
}

void TmsMessageEncoder::WriteHeaders() {
  const TmsMailAddress& sender = message_.Sender();
  WriteLine("From:     " + HeaderPhrase(sender.Name(), ".") + " <" + HeaderValue(sender.Address()) + ">");
  WriteAddressList("To", message_.Recipients);
  WriteAddressList("CC", message_.CC);
  // Blind copies reach the server only in the envelope.
  if (message_.ReturnReceipt) WriteLine("Return-Receipt-To: <" + HeaderValue(sender.Address()) + ">");
  if (message_.Priority == ptLow) WriteLine("X-Priority: 5");
  if (message_.Priority == ptHigh) WriteLine("X-Priority: 1");
  for (const char* field : {"From", "To", "CC", "BCC", "Return-Receipt-To", "X-Priority", "Subject",
                            "Mime-Version", "Content-Type", "X-Encoding", "Content-Transfer-Encoding"}) {
    message_.Headers.RemoveField(field);
  }
  for (const std::string& line : message_.Headers) WriteLine(HeaderValue(line));
  if (!message_.Subject().empty()) WriteLine("Subject: " + HeaderPhrase(message_.Subject(), ""));
  if (message_.Encoding == meMIME) WriteLine("Mime-Version: 1.0");
}

void TmsMessageEncoder::WriteAddressList(std::string label, const TmsAddressList& list) {
  if (list.Count() == 0) return;
  if (label.empty() || label.back() != ':') label += ':';
  label.resize(std::max(label.size(), LabelWidth), ' ');
  for (int i = 0; i < list.Count(); ++i) {
    const TmsMailAddress& address = list.Items(i);
    const std::string lead = i == 0 ? label : std::string(LabelWidth, ' ');
    WriteLine(lead + HeaderPhrase(address.Name(), ".,") + " <" + HeaderValue(address.Address()) + ">" +
              (i + 1 < list.Count() ? "," : ""));
  }
}

}  // namespace mail
