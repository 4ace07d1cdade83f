#pragma once
// The in-memory form of an e-mail: sender, recipient lists, subject, body lines, extra header
// lines and attachments. Text is Windows-1252 bytes throughout.

#include <QIODevice>
#include <QObject>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "mail/address_list.h"
#include "mail/attachment.h"
#include "mail/headers.h"
#include "mail/mail_address.h"

namespace mail {

enum TmsMsgEncoding { meMIME, meUU };
enum TmsCharSet { csUSASCII, csISO8859, csISO2022jp };
enum TmsPriority { ptLow, ptNormal, ptHigh };

class EMessageError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class TmsCustomMessage : public QObject {
 public:
  TmsCustomMessage();
  ~TmsCustomMessage() override;

  std::string Version() const { return "2.1"; }

  TmsMailAddress& Sender() { return sender_; }
  const TmsMailAddress& Sender() const { return sender_; }
  const std::string& Subject() const { return subject_; }
  void SetSubject(std::string_view subject);
  TmsMsgEncoding Encoding = meMIME;
  TmsCharSet CharSet = csUSASCII;
  TmsHeaders Headers;
  std::vector<std::string> Body;
  TmsAttList& Attachments() { return attachments_; }
  const TmsAttList& Attachments() const { return attachments_; }
  // Takes the items over; the message becomes plain text without them, mixed with them.
  void SetAttachments(std::vector<std::unique_ptr<TmsAttItem>> items);
  void SetBody(const std::vector<std::string>& lines) { Body = lines; }

  // The MIME type the message is written as, worked out from its body and attachments; the
  // answer is stored, as a type set by hand is.
  std::string ContentType();
  // The same without storing it.
  std::string DeriveContentType() const;
  void SetContentType(std::string_view type);  // kept in lower case

  // Files deleted when the message is destroyed.
  std::vector<std::string> TempFiles;

  virtual void Assign(const TmsCustomMessage& other);
  // Raises EMessageError when the message lacks what sending needs.
  virtual void CheckValid() const;
  virtual void EncodeToStream(QIODevice& stream) = 0;
  // Fills the message from the text of a received message (see message_decoder.h).
  virtual void DecodeFromStream(QIODevice& stream) = 0;
  virtual void Clear();
  virtual void ReadHeaderFields(const TmsHeaders& headers) = 0;

 private:
  TmsMailAddress sender_;
  std::string subject_;
  TmsAttList attachments_;
  std::string stored_content_type_ = "text/plain";
};

class TmsMessage : public TmsCustomMessage {
 public:
  TmsAddressList Recipients;
  TmsAddressList CC;
  TmsAddressList BCC;
  bool ReturnReceipt = false;
  TmsPriority Priority = ptNormal;

  void Assign(const TmsCustomMessage& other) override;
  void CheckValid() const override;
  void EncodeToStream(QIODevice& stream) override;
  void DecodeFromStream(QIODevice& stream) override;
  void Clear() override;
  // Sender, recipients, subject, priority and receipt from the header lines (the address lists
  // are filled afresh), and the lines themselves as Headers.
  void ReadHeaderFields(const TmsHeaders& headers) override;
};

}  // namespace mail
