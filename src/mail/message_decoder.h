#pragma once
// Fills a message from the text of a received e-mail or article: the header block, then, by the
// MIME headers, a plain, quoted-printable or Base64 text body; a multipart body whose first
// part is the text and whose further parts are attachments (a multipart/alternative part inside
// a mixed message included, its alternatives named "_alt." and a number); a message that is one
// attachment; or the older uuencoded form without MIME. A parse error loses nothing: the body
// then says what went wrong and the received text is attached in full as "original.eml".
// Invalid Base64 or uuencode characters (EInOutError), unparsable addresses and an empty text
// ("Unable to retrieve headers") reach the caller.

#include <QIODevice>
#include <stdexcept>
#include <string>
#include <vector>

#include "mail/headers.h"
#include "mail/line_stream.h"
#include "mail/message.h"

namespace mail {

class EMessageParserError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class TmsCustomDecoder {
 public:
  // Takes a copy of the stream's text from its start.
  TmsCustomDecoder(QIODevice& input, TmsCustomMessage& message);
  virtual ~TmsCustomDecoder() = default;

  void Decode();

 protected:
  virtual void ReadHeaderFields() { message_.ReadHeaderFields(message_headers_); }

  TmsHeaders message_headers_;

 private:
  enum class PartEnd { Boundary, Closing, EndOfText };

  void ReadHeaderBlock(TmsHeaders& list);
  void DecodeMime();
  void DecodeText();
  void DecodeMultipart();
  // The text part; false when the message ends with it.
  bool DecodeFirstPart(bool& headersRead);
  void DecodeAttachments(bool headersRead);
  bool ReturnToOuterBoundary();
  void DecodeSingleAttachment();
  void DecodeUUEncoded();
  void DecodeUUFiles(std::string beginLine);
  void Recover(const EMessageParserError& error);

  // Lines up to the current boundary line or the end of the text; the line break before a
  // boundary belongs to the boundary, so the empty line it leaves is not part of the content.
  PartEnd ReadPart(std::vector<std::string>& lines, bool stopAtDot = false);
  bool IsBoundary(const std::string& line, const std::string& boundary) const;
  // Skips lines up to the boundary line; false when the text ends first.
  bool SkipTo(const std::string& boundary, bool& closing);
  // The body from the lines of a text in an encoding (0 none, 1 Base64, 2 quoted-printable) and a
  // character set.
  void SetBody(const std::vector<std::string>& lines, uint8_t encoding, const std::string& charset);
  std::unique_ptr<TmsAttItem> NewItem(const TmsHeaders& headers, bool& uuencoded);
  QByteArray DecodeLines(const std::vector<std::string>& lines, uint8_t encoding, bool uuencoded) const;

  TLineStream lines_;
  TmsHeaders part_headers_;
  TmsCustomMessage& message_;
  std::string boundary_;
  bool inner_alternative_ = false;
  std::string outer_boundary_;
  bool alternative_message_ = false;
};

class TmsMessageDecoder : public TmsCustomDecoder {
 public:
  TmsMessageDecoder(QIODevice& input, TmsMessage& message) : TmsCustomDecoder(input, message) {}
};

}  // namespace mail
