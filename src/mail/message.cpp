#include "mail/message.h"

#include <QByteArray>
#include <QFile>
#include <algorithm>

#include "mail/mail_utils.h"
#include "mail/message_decoder.h"
#include "mail/message_encoder.h"

namespace mail {

namespace {

void ParseInto(TmsAddressList& list, const std::vector<std::string>& texts) {
  for (const std::string& text : texts) {
    auto address = std::make_unique<TmsMailAddress>();
    ParseAddress(text, *address);
    list.AddItem(std::move(address));
  }
}

}  // namespace

TmsCustomMessage::TmsCustomMessage() = default;

TmsCustomMessage::~TmsCustomMessage() {
  for (const std::string& file : TempFiles) QFile::remove(QString::fromStdString(file));
}

void TmsCustomMessage::SetSubject(std::string_view subject) {
  subject_ = Cut255(subject);
}

void TmsCustomMessage::SetAttachments(std::vector<std::unique_ptr<TmsAttItem>> items) {
  attachments_.Clear();
  for (auto& item : items) attachments_.Add(std::move(item));
  stored_content_type_ = attachments_.Count() == 0 ? "text/plain" : "multipart/mixed";
}

void TmsCustomMessage::SetContentType(std::string_view type) {
  stored_content_type_ = QByteArray(type.data(), static_cast<qsizetype>(type.size())).toLower().toStdString();
  stored_content_type_ = Cut255(stored_content_type_);
}

std::string TmsCustomMessage::ContentType() {
  // Storing the derived type changes nothing where the stored type itself is the answer.
  stored_content_type_ = DeriveContentType();
  return stored_content_type_;
}

std::string TmsCustomMessage::DeriveContentType() const {
  const int count = attachments_.Count();
  const bool hasBody = !Body.empty();
  if (Encoding == meUU) return "";
  bool allAlternatives = count > 0;
  for (int i = 0; i < count; ++i) {
    if (LowerNamePart(attachments_.Items(i).FileName()).rfind("_alt.", 0) != 0) allAlternatives = false;
  }
  if (allAlternatives) return "multipart/alternative";
  if (count == 1 && !hasBody) {
    const std::string name = LowerNamePart(attachments_.Items(0).FileName());
    if (name == "_rtfbody.rtf") return "text/rtf";
    if (name == "_htmbody.htm") return "text/html";
    return attachments_.Items(0).ContentType;
  }
  if (hasBody && count == 0 && !stored_content_type_.empty()) return stored_content_type_;
  if ((hasBody && count > 0) || (!hasBody && count >= 2)) return "multipart/mixed";
  return "text/plain";
}

void TmsCustomMessage::Assign(const TmsCustomMessage& other) {
  if (&other == this) return;
  sender_.Assign(other.sender_);
  subject_ = other.subject_;
  Encoding = other.Encoding;
  CharSet = other.CharSet;
  Headers = other.Headers;
  Body = other.Body;
  attachments_.Assign(other.attachments_);
  stored_content_type_ = other.DeriveContentType();
}

void TmsCustomMessage::CheckValid() const {
  if (sender_.Address().empty()) throw EMessageError("The address of sender is required");
}

void TmsCustomMessage::Clear() {
  Body.clear();
  attachments_.Clear();
  sender_.Clear();
  Headers.clear();
  subject_.clear();
  Encoding = meMIME;
  CharSet = csUSASCII;
  stored_content_type_.clear();
}

void TmsMessage::Assign(const TmsCustomMessage& other) {
  TmsCustomMessage::Assign(other);
  if (const auto* message = dynamic_cast<const TmsMessage*>(&other); message && message != this) {
    Recipients.Assign(message->Recipients);
    CC.Assign(message->CC);
    BCC.Assign(message->BCC);
    Priority = message->Priority;
    ReturnReceipt = message->ReturnReceipt;
  }
}

void TmsMessage::CheckValid() const {
  TmsCustomMessage::CheckValid();
  for (const TmsAddressList* list : {&Recipients, &CC, &BCC}) {
    for (int i = 0; i < list->Count(); ++i) {
      if (!list->Items(i).Address().empty()) return;
    }
  }
  throw EMessageError("At least one Recipient, CC or BCC must be entered");
}

void TmsMessage::EncodeToStream(QIODevice& stream) {
  TmsMessageEncoder encoder(*this);
  encoder.Encode(stream);
}

void TmsMessage::DecodeFromStream(QIODevice& stream) {
  TmsMessageDecoder decoder(stream, *this);
  decoder.Decode();
}

void TmsMessage::Clear() {
  TmsCustomMessage::Clear();
  CC.Clear();
  BCC.Clear();
  Recipients.Clear();
}

void TmsMessage::ReadHeaderFields(const TmsHeaders& headers) {
  const std::string from = headers.GetFieldValue("FROM");
  ParseAddress(from, Sender());
  Recipients.Clear();
  CC.Clear();
  BCC.Clear();
  ParseInto(Recipients, headers.GetAddressList("TO"));
  ParseInto(CC, headers.GetAddressList("CC"));
  ParseInto(BCC, headers.GetAddressList("BCC"));
  const std::string subject = headers.GetFieldValue("Subject");
  if (!subject.empty()) SetSubject(subject);
  const std::string priority = headers.GetFieldValue("X-Priority");
  Priority = priority == "1" ? ptHigh : priority == "5" ? ptLow : ptNormal;
  if (!headers.GetFieldValue("Return-receipt-to").empty()) ReturnReceipt = true;
  Headers = headers;
}

}  // namespace mail
