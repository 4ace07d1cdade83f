#pragma once
// Writes a message as the text sent after DATA: the header block, the MIME body headers, an
// empty line and the body. Every line ends with CR LF. Lines are written as they are; making
// lines that begin with "." safe for the SMTP dialogue is the client's job, not ours, so the
// text stays the message itself.

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

 protected:
  virtual void WriteHeaders() = 0;
  // A name or subject as it stands in the header: without line breaks, in double quotes when it
  // holds one of the specials, JIS or Windows-1252 text as encoded words.
  std::string HeaderPhrase(const std::string& text, const char* specials) const;
  void WritePlainBody();

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
