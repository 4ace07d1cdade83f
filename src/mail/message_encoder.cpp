#include "mail/message_encoder.h"

#include <QBuffer>
#include <QByteArray>

#include "mail/header_words.h"
#include "mail/mail_utils.h"
#include "mail/quoted_printable.h"
#include "platform/text/clock.h"

namespace mail {

namespace {

constexpr size_t LongBodyLine = 256;
constexpr size_t LabelWidth = 10;

// Fields the encoder writes itself; the message's own lines of them are stale.
const char* const OwnFields[] = {
    "From",    "To",           "CC",           "BCC",        "Return-Receipt-To",        "X-Priority",
    "Subject", "Mime-Version", "Content-Type", "X-Encoding", "Content-Transfer-Encoding"};

bool BodyHasEightBit(const std::vector<std::string>& lines) {
  for (const std::string& line : lines) {
    if (HasEightBit(line)) return true;
  }
  return false;
}

// Characters a display name may hold outside quotes (RFC 5322 atext, blanks between words);
// bytes above 127 travel as encoded words or as they stand.
bool IsPhraseCharacter(unsigned char c) {
  static const std::string_view extra = " !#$%&'*+-/=?^_`{|}~";
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c >= 128 ||
         extra.find(static_cast<char>(c)) != std::string_view::npos;
}

// A display name in double quotes when it holds a special such as "." "," or a quote; quotes
// and backslashes inside are escaped.
std::string QuotedName(const std::string& name) {
  bool plain = true;
  for (unsigned char c : name) plain = plain && IsPhraseCharacter(c);
  if (plain) return name;
  std::string quoted = "\"";
  for (char c : name) {
    if (c == '"' || c == '\\') quoted += '\\';
    quoted += c;
  }
  return quoted + '"';
}

// Body lines that hold line breaks of their own become several lines.
std::vector<std::string> SplitAtLineBreaks(const std::vector<std::string>& lines) {
  std::vector<std::string> result;
  for (const std::string& line : lines) {
    for (std::string& piece : TextLines(line + "\r\n")) result.push_back(std::move(piece));
  }
  return result;
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

void TmsCustomEncoder::WriteLines(const std::vector<std::string>& lines) {
  for (const std::string& line : lines) WriteLine(line);
}

std::string TmsCustomEncoder::Base64(std::string_view text) {
  return QByteArray(text.data(), static_cast<qsizetype>(text.size())).toBase64().toStdString();
}

std::string TmsCustomEncoder::EncodeJISWord(const std::string& text) {
  if (text.empty() || text[0] != '\x1b') return text;
  return "=?ISO-2022-JP?B?" + Base64(text) + "?=";
}

std::string TmsCustomEncoder::HeaderName(const std::string& name) const {
  const std::string value = HeaderValue(name);
  if (message_.CharSet == csISO2022jp && message_.Encoding == meMIME) return EncodeJISWord(QuotedName(value));
  // An encoded word needs no quotes: its punctuation is encoded too.
  if (message_.Encoding == meMIME && HasEightBit(value)) return EncodeHeaderWords(value);
  return QuotedName(value);
}

std::string TmsCustomEncoder::HeaderText(const std::string& text) const {
  const std::string value = HeaderValue(text);
  if (message_.CharSet == csISO2022jp && message_.Encoding == meMIME) return EncodeJISWord(value);
  if (message_.Encoding == meMIME && HasEightBit(value)) return EncodeHeaderWords(value);
  return value;
}

std::vector<std::string> TmsCustomEncoder::ExtraHeaders(std::initializer_list<const char*> moreFields) const {
  TmsHeaders headers = message_.Headers;
  for (const char* field : OwnFields) headers.RemoveField(field);
  for (const char* field : moreFields) headers.RemoveField(field);
  std::vector<std::string> lines;
  for (const std::string& line : headers) lines.push_back(HeaderValue(line));
  return lines;
}

void TmsCustomEncoder::Encode(QIODevice& stream) {
  output_ = &stream;
  output_->seek(0);
  WriteHeaders();
  WriteBody();
}

void TmsCustomEncoder::WriteBody() {
  if (message_.Encoding == meUU) return WriteUUBody();
  const std::string type = message_.DeriveContentType();
  const int count = message_.Attachments().Count();
  if (type == "text/html" || type == "text/rtf") return WriteRichBody(type);
  // A type stored before the attachments went away describes nothing that is left.
  if (count == 0) return WritePlainBody();
  if (type == "multipart/mixed") return WriteMultipart(false);
  if (type == "multipart/alternative") return WriteMultipart(true);
  WriteSingleAttachment();
}

std::string TmsCustomEncoder::CharSetName(bool eightBit) const {
  // Text with letters above 127 is Windows-1252 and goes under that name.
  return message_.CharSet == csISO2022jp ? "iso-2022-jp"
         : message_.CharSet == csISO8859 ? "iso-8859-1"
         : eightBit                      ? MailCharSet
                                         : "us-ascii";
}

void TmsCustomEncoder::WritePlainBody() {
  const bool eightBit = message_.CharSet == csUSASCII && BodyHasEightBit(body_);
  const bool quoted = message_.CharSet == csISO8859 || quoted_printable_ || eightBit;
  WriteLine("Content-Type: text/plain; charset=\"" + CharSetName(eightBit) + "\"");
  WriteLine(quoted ? "Content-Transfer-Encoding: quoted-printable" : "Content-Transfer-Encoding: 7bit");
  WriteLine("");
  if (!quoted) return WriteLines(body_);
  WriteQuotedPrintable(LinesText(body_));
}

void TmsCustomEncoder::WriteQuotedPrintable(const QByteArray& bytes) {
  QByteArray copy = bytes;
  QBuffer input(&copy);
  input.open(QIODevice::ReadOnly);
  std::vector<std::string> encoded;
  TQuotedPrintable coder(input, encoded);
  coder.Encode();
  WriteLines(encoded);
}

void TmsMessageEncoder::WriteHeaders() {
  const TmsMailAddress& sender = message_.Sender();
  WriteLine("From:     " + HeaderName(sender.Name()) + " <" + HeaderValue(sender.Address()) + ">");
  WriteAddressList("To", message_.Recipients);
  WriteAddressList("CC", message_.CC);
  // Blind copies reach the server only in the envelope.
  if (message_.ReturnReceipt) WriteLine("Return-Receipt-To: <" + HeaderValue(sender.Address()) + ">");
  if (message_.Priority == ptLow) WriteLine("X-Priority: 5");
  if (message_.Priority == ptHigh) WriteLine("X-Priority: 1");
  // A message read in carries the date and id it was sent with; this one gets its own.
  WriteLines(ExtraHeaders({"Date", "Message-ID"}));
  if (!message_.Subject().empty()) WriteLine("Subject: " + HeaderText(message_.Subject()));
  WriteLine("Date: " + MailDate(platform::text::Now()));
  WriteLine("Message-ID: " + NewMessageId(sender.Address()));
  if (message_.Encoding == meMIME) WriteLine("Mime-Version: 1.0");
}

void TmsMessageEncoder::WriteAddressList(std::string label, const TmsAddressList& list) {
  if (list.Count() == 0) return;
  if (label.empty() || label.back() != ':') label += ':';
  label.resize(std::max(label.size(), LabelWidth), ' ');
  for (int i = 0; i < list.Count(); ++i) {
    const TmsMailAddress& address = list.Items(i);
    const std::string lead = i == 0 ? label : std::string(LabelWidth, ' ');
    WriteLine(lead + HeaderName(address.Name()) + " <" + HeaderValue(address.Address()) + ">" +
              (i + 1 < list.Count() ? "," : ""));
  }
}

}  // namespace mail
