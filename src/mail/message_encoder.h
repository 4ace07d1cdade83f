#pragma once
// Writes a message as the text sent after DATA: the header block, the MIME body headers, an
// empty line and the body: plain text, HTML or RTF, multipart (mixed or alternative, with an
// alternative part nested in a mixed one), a message that is one attachment, or the older
// uuencoded form. An e-mail's header block carries the date of the program's clock and an id of
// its own, new each time it is written. Every line ends with CR LF. Lines are written as they
// are; making lines that begin with "." safe for the SMTP dialogue is the client's job, not ours,
// so the text stays the message itself. Writing never changes the message: the encoder works on
// copies of what it has to rework (body, extra headers, an attachment's encoding).

#include <QByteArray>
#include <QIODevice>
#include <string>
#include <string_view>
#include <vector>

#include "mail/message.h"

namespace mail {

class TmsCustomEncoder {
 public:
  explicit TmsCustomEncoder(TmsCustomMessage& message);
  virtual ~TmsCustomEncoder() = default;

  // The whole message into the stream, from its start.
  void Encode(QIODevice& stream);
  void WriteLine(std::string_view text);

  static std::string Base64(std::string_view text);
  // Text that begins with ESC (an ISO-2022-JP sequence) as a Base64 encoded word.
  static std::string EncodeJISWord(const std::string& text);
  // Eight random digits 0 to 8.
  static std::string MakeBoundary();

 protected:
  virtual void WriteHeaders() = 0;
  // A display name as it stands before an address: without line breaks, a quoted string where
  // RFC 5322 wants one, JIS or Windows-1252 text as encoded words.
  std::string HeaderName(const std::string& name) const;
  // A subject or other unstructured value: without line breaks, 8-bit text as encoded words.
  std::string HeaderText(const std::string& text) const;
  // The extra header lines of the message, less the fields the encoder writes itself.
  std::vector<std::string> ExtraHeaders(std::initializer_list<const char*> moreFields = {}) const;
  void WriteLines(const std::vector<std::string>& lines);

 private:
  void WriteBody();
  void WritePlainBody();
  void WriteQuotedPrintable(const QByteArray& bytes);
  std::string CharSetName(bool eightBit) const;

  // Bodies with attachments.
  void WriteMultipart(bool alternative);
  void WriteAttachmentPart(const TmsAttItem& item, bool plainAttachment);
  void WriteSingleAttachment();
  void WriteRichBody(const std::string& type);
  void WriteUUBody();
  void WriteAttachmentBody(const TmsAttItem& item, uint8_t encoding);

  TmsCustomMessage& message_;
  QIODevice* output_ = nullptr;
  std::vector<std::string> body_;  // the body lines, split at any line break they hold
  bool quoted_printable_ = false;  // some body line is 256 characters or longer
};

class TmsMessageEncoder : public TmsCustomEncoder {
 public:
  explicit TmsMessageEncoder(TmsMessage& message) : TmsCustomEncoder(message), message_(message) {}

 protected:
  void WriteHeaders() override;
  void WriteAddressList(std::string label, const TmsAddressList& list);

 private:
  TmsMessage& message_;
};

// A header value with every CR and LF replaced by a blank, so no value can start a line.
std::string HeaderValue(std::string_view text);

}  // namespace mail
