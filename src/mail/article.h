#pragma once
// A newsgroup article: the mail library's second kind of message. It is written and read by the
// same encoder and decoder as an e-mail, with a header block of its own (From, Newsgroups,
// Subject) and no recipients.

#include <string>

#include "mail/message.h"
#include "mail/message_decoder.h"
#include "mail/message_encoder.h"

namespace mail {

class TmsArticle : public TmsCustomMessage {
 public:
  std::string NewsGroups;
  std::string MessageId;  // of an article read
  std::string Path;       // of an article read

  void Assign(const TmsCustomMessage& other) override;
  // Keeps the message id and path.
  void Clear() override;
  // Also requires the newsgroups and the subject.
  void CheckValid() const override;
  // Sender, path, newsgroups, message id and subject from the header lines.
  void ReadHeaderFields(const TmsHeaders& headers) override;

  void EncodeToStream(QIODevice& stream) override;
  void DecodeFromStream(QIODevice& stream) override;
};

class TmsArticleEncoder : public TmsCustomEncoder {
 public:
  explicit TmsArticleEncoder(TmsArticle& article) : TmsCustomEncoder(article), article_(article) {}

 protected:
  void WriteHeaders() override;

 private:
  TmsArticle& article_;
};

class TmsArticleDecoder : public TmsCustomDecoder {
 public:
  TmsArticleDecoder(QIODevice& input, TmsArticle& article) : TmsCustomDecoder(input, article) {}
};

}  // namespace mail
