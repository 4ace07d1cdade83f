#include "mail/message_decoder.h"

#include <QCoreApplication>

#include "mail/codecs.h"
#include "mail/header_words.h"
#include "mail/mail_utils.h"
#include "mail/quoted_printable.h"

namespace mail {

namespace {

std::string Lower(const std::string& text) {
  return QByteArray::fromStdString(text).toLower().toStdString();
}

bool Contains(const std::string& text, const char* what) {
  return text.find(what) != std::string::npos;
}

std::string TrimRight(const std::string& text) {
  size_t end = text.size();
  while (end > 0 && (text[end - 1] == ' ' || text[end - 1] == '\t')) --end;
  return text.substr(0, end);
}

std::string AttachmentName(const char* prefix, int count) {
  return prefix + std::to_string(count);
}

// A made-up name says nothing about the part's type and encoding.
void NameKeepingType(TmsAttItem& item, const std::string& name) {
  const std::string type = item.ContentType;
  const uint8_t encoding = item.Encoding;
  item.SetFileName(name);
  item.ContentType = type;
  item.Encoding = encoding;
}

}  // namespace

TmsCustomDecoder::TmsCustomDecoder(QIODevice& input, TmsCustomMessage& message)
    : lines_([&input] {
        input.seek(0);
        return input.readAll();
      }()),
      message_(message) {}

void TmsCustomDecoder::ReadHeaderBlock(TmsHeaders& list) {
  list.clear();
  std::string line;
  while (lines_.ReadLine(line) && !line.empty()) list.push_back(line);
}

void TmsCustomDecoder::Decode() {
  // Nothing at all to read is no message; the caller hears so.
  if (lines_.AtEnd()) throw EMessageParserError("Unable to retrieve headers");
  ReadHeaderBlock(message_headers_);
  ReadHeaderFields();
  try {
    if (Contains(message_headers_.GetFieldValue("MIME-VERSION"), "1.0")) {
      DecodeMime();
    } else {
      DecodeUUEncoded();
    }
  } catch (const EMessageParserError& error) {
    Recover(error);
  }
  if (!message_.Body.empty() && message_.Body.back() == ".") message_.Body.pop_back();
}

void TmsCustomDecoder::Recover(const EMessageParserError& error) {
  message_.Body = {"The following error has been occured while processing the message:", error.what(),
                   "The original message will be stored as an attachment"};
  auto item = std::make_unique<TmsAttItem>();
  item->SetFileName("original.eml");
  item->ContentType = "message/rfc822";
  item->Encoding = 0;
  item->Stream = lines_.Text();
  message_.Attachments().Add(std::move(item));
}

void TmsCustomDecoder::DecodeMime() {
  // This mailer wrote a Content-Type that does not describe its messages.
  if (message_headers_.GetFieldValue("X-Mailer") == "V Mailsystem R #0001")
    message_headers_.RemoveField("Content-Type");
  const std::string contentType = message_headers_.GetFieldValue("Content-type");
  const std::string type = Lower(contentType);
  if (Contains(type, "multipart/alternative")) {
    alternative_message_ = true;
    DecodeMultipart();
  } else if (Contains(type, "multipart")) {
    DecodeMultipart();
  } else if (!type.empty() && !Contains(type, "text/")) {
    DecodeSingleAttachment();
  } else if (const std::string name = GetExtendedParam("name", contentType);
             !name.empty() && name != "cc:Mail") {
    DecodeSingleAttachment();
  } else {
    DecodeText();
  }
}

void TmsCustomDecoder::SetBody(const std::vector<std::string>& lines, uint8_t encoding,
                               const std::string& charset) {
  const QByteArray bytes = DecodeLines(lines, encoding, false);
  message_.Body = TextLines(FromCharSet(charset, bytes.toStdString()));
}

void TmsCustomDecoder::DecodeText() {
  const std::string contentType = message_headers_.GetFieldValue("Content-type");
  const std::string token = Lower(ExtractToken(contentType));
  if (token == "text/html" || token == "text/rtf") message_.SetContentType(token);
  message_.Body.clear();
  const std::string encoding = Lower(message_headers_.GetFieldValue("Content-Transfer-Encoding"));
  const bool quoted = encoding == "quoted-printable" ||
                      Contains(message_headers_.GetFieldValue("X-MIME-Autoconverted"), "quoted-printable");
  const bool base64 = encoding == "base64";
  const std::string charset = GetParam("charset", contentType);
  if (Lower(charset) == "iso-2022-jp") message_.CharSet = csISO2022jp;
  if (quoted) message_.CharSet = csISO8859;
  std::string line;
  std::vector<std::string> lines;
  while (lines_.ReadLine(line)) {
    if (base64 && line.empty()) continue;
    if (!base64 && IsUUBegin(line)) {
      // A uuencoded file in a message that calls itself MIME: read it as the older form.
      lines_.Reset();
      message_.Body.clear();
      ReadHeaderBlock(message_headers_);
      ReadHeaderFields();
      for (const char* field : {"MIME-VERSION", "CONTENT-TYPE", "CONTENT-TRANSFER-ENCODING"}) {
        message_headers_.RemoveField(field);
        message_.Headers.RemoveField(field);
      }
      return DecodeUUEncoded();
    }
    lines.push_back(line);
  }
  SetBody(lines, base64 ? 1 : quoted ? 2 : 0, charset);
}

bool TmsCustomDecoder::IsBoundary(const std::string& line, const std::string& boundary) const {
  return line.size() >= boundary.size() && line.compare(0, boundary.size(), boundary) == 0 &&
         TrimRight(line).size() == boundary.size();
}

bool TmsCustomDecoder::SkipTo(const std::string& boundary, bool& closing) {
  std::string line;
  while (lines_.ReadLine(line)) {
    if (IsBoundary(line, boundary)) {
      closing = false;
      return true;
    }
    if (IsBoundary(line, boundary + "--")) {
      closing = true;
      return true;
    }
  }
  return false;
}

TmsCustomDecoder::PartEnd TmsCustomDecoder::ReadPart(std::vector<std::string>& lines, bool stopAtDot) {
  lines.clear();
  std::string line;
  const std::string closing = boundary_ + "--";
  while (lines_.ReadLine(line)) {
    const bool next = !boundary_.empty() && IsBoundary(line, boundary_);
    const bool last = !boundary_.empty() && IsBoundary(line, closing);
    if (next || last) {
      if (!lines.empty() && lines.back().empty()) lines.pop_back();
      return last ? PartEnd::Closing : PartEnd::Boundary;
    }
    if (stopAtDot && line == ".") break;
    lines.push_back(line);
  }
  return PartEnd::EndOfText;
}

void TmsCustomDecoder::DecodeMultipart() {
  boundary_ = "--" + GetParam("Boundary", message_headers_.GetFieldValue("Content-Type"));
  bool closing = false;
  if (boundary_.size() == 2 || !SkipTo(boundary_, closing) || closing)
    throw EMessageParserError("Cannot find boundary");
  bool headersRead = false;
  if (DecodeFirstPart(headersRead)) DecodeAttachments(headersRead);
}

bool TmsCustomDecoder::DecodeFirstPart(bool& headersRead) {
  ReadHeaderBlock(part_headers_);
  // An attachment first: the loop of attachments takes the headers just read.
  if (Contains(Lower(part_headers_.GetFieldValue("Content-Disposition")), "attachment")) {
    headersRead = true;
    return true;
  }
  std::string partType = part_headers_.GetFieldValue("Content-Type");
  if (Lower(GetParam("CharSet", partType)) == "iso-2022-jp") message_.CharSet = csISO2022jp;
  if (Contains(Lower(partType), "multipart/alternative")) {
    inner_alternative_ = true;
    outer_boundary_ = boundary_;
    boundary_ = "--" + GetParam("boundary", partType);
    bool closing = false;
    if (boundary_.size() == 2 || boundary_ == outer_boundary_ || !SkipTo(boundary_, closing) || closing)
      throw EMessageParserError("Cannot find boundary");
    ReadHeaderBlock(part_headers_);
    partType = part_headers_.GetFieldValue("Content-Type");
  }
  const std::string encoding = Lower(part_headers_.GetFieldValue("Content-Transfer-Encoding"));
  if (encoding == "base64" && message_.CharSet != csISO2022jp) {
    headersRead = true;
    return true;
  }
  message_.Body.clear();
  const bool quoted = encoding == "quoted-printable";
  if (quoted) message_.CharSet = csISO8859;
  std::vector<std::string> lines;
  const PartEnd end = ReadPart(lines);
  SetBody(lines, encoding == "base64" ? 1 : quoted ? 2 : 0, GetParam("charset", partType));
  if (message_.Body.empty()) message_.Body.emplace_back();
  if (end == PartEnd::EndOfText) throw EMessageParserError("Cannot find boundary");
  if (end == PartEnd::Closing) {
    if (inner_alternative_) return ReturnToOuterBoundary();
    message_.SetContentType(ExtractToken(partType));
    return false;
  }
  return true;
}

// After the last part of an alternative part inside a mixed message, the mixed message goes on.
bool TmsCustomDecoder::ReturnToOuterBoundary() {
  inner_alternative_ = false;
  boundary_ = outer_boundary_;
  bool closing = false;
  if (!SkipTo(boundary_, closing)) throw EMessageParserError("Cannot find closing boundary");
  return !closing;
}

std::unique_ptr<TmsAttItem> TmsCustomDecoder::NewItem(const TmsHeaders& headers, bool& uuencoded) {
  auto item = std::make_unique<TmsAttItem>();
  const std::string contentType = headers.GetFieldValue("Content-type");
  const std::string token = Lower(ExtractToken(contentType));
  std::string name = GetExtendedParam("name", contentType);
  if (name.empty()) name = GetExtendedParam("filename", headers.GetFieldValue("Content-Disposition"));
  item->SetFileName(name);
  // The type the part declares is the truth; the extension only guesses.
  item->ContentType = Cut255(token.empty() ? (name.empty() ? "text/plain" : item->ContentType) : token);
  const std::string encoding = Lower(headers.GetFieldValue("Content-Transfer-Encoding"));
  uuencoded = encoding.rfind("x-uue", 0) == 0;
  item->Encoding = encoding == "base64" || uuencoded ? 1 : encoding == "quoted-printable" ? 2 : 0;
  return item;
}

QByteArray TmsCustomDecoder::DecodeLines(const std::vector<std::string>& lines, uint8_t encoding,
                                         bool uuencoded) const {
  if (encoding == 2) return TQuotedPrintable::Decode(lines);
  if (encoding != 1) return LinesText(lines);
  QByteArray bytes;
  if (uuencoded) {
    for (const std::string& line : lines) {
      if (IsUUBegin(line) || line == "`" || line == "end" || line.empty()) continue;
      bytes.append(UUDecodeLine(line));
    }
    return bytes;
  }
  std::string text;
  for (const std::string& line : lines) text += line;
  return Base64Decode(text);
}

void TmsCustomDecoder::DecodeAttachments(bool headersRead) {
  std::vector<std::string> lines;
  while (!lines_.AtEnd()) {
    QCoreApplication::processEvents();
    if (!headersRead) ReadHeaderBlock(part_headers_);
    headersRead = false;
    bool uuencoded = false;
    std::unique_ptr<TmsAttItem> item = NewItem(part_headers_, uuencoded);
    if (item->FileName().empty()) {
      const bool alternative = inner_alternative_ || alternative_message_;
      NameKeepingType(*item, AttachmentName(alternative ? "_alt." : "att.", message_.Attachments().Count()));
    }
    const PartEnd end = ReadPart(lines);
    item->Stream = DecodeLines(lines, item->Encoding, uuencoded);
    message_.Attachments().Add(std::move(item));
    if (end == PartEnd::Boundary) continue;
    if (!inner_alternative_ || !ReturnToOuterBoundary()) break;
  }
}

void TmsCustomDecoder::DecodeSingleAttachment() {
  if (message_headers_.GetFieldValue("Content-type").empty())
    throw EMessageParserError("Missing required field: Content-Type");
  bool uuencoded = false;
  std::unique_ptr<TmsAttItem> item = NewItem(message_headers_, uuencoded);
  if (item->FileName().empty())
    NameKeepingType(*item, AttachmentName("att.", message_.Attachments().Count()));
  boundary_.clear();
  std::vector<std::string> lines;
  ReadPart(lines, item->Encoding == 1);
  item->Stream = DecodeLines(lines, item->Encoding, uuencoded);
  message_.Attachments().Add(std::move(item));
}

void TmsCustomDecoder::DecodeUUEncoded() {
  std::string line;
  while (lines_.ReadLine(line)) {
    if (IsUUBegin(line)) {
      message_.Encoding = meUU;
      return DecodeUUFiles(line);
    }
    message_.Body.push_back(line);
  }
}

void TmsCustomDecoder::DecodeUUFiles(std::string beginLine) {
  // Text between and after the files is not part of the body.
  for (;;) {
    auto item = std::make_unique<TmsAttItem>();
    const std::string name = UUFileName(beginLine);
    item->SetFileName(name.empty() ? AttachmentName("att.", message_.Attachments().Count()) : name);
    std::string line;
    while (lines_.ReadLine(line) && line != "`" && Lower(line) != "end")
      item->Stream.append(UUDecodeLine(line));
    message_.Attachments().Add(std::move(item));
    while (lines_.ReadLine(line) && !IsUUBegin(line)) {
    }
    if (lines_.EndFlag()) return;
    beginLine = line;
  }
}

}  // namespace mail
