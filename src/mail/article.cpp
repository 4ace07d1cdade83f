#include "mail/article.h"

#include "mail/mail_utils.h"

namespace mail {

void TmsArticle::Assign(const TmsCustomMessage& other) {
  if (const auto* article = dynamic_cast<const TmsArticle*>(&other)) NewsGroups = article->NewsGroups;
  TmsCustomMessage::Assign(other);
}

void TmsArticle::CheckValid() const {
  TmsCustomMessage::CheckValid();
  if (NewsGroups.empty()) throw EMessageError("Newsgroup header is required");
  if (Subject().empty()) throw EMessageError("Subject header is required");
}

void TmsArticle::EncodeToStream(QIODevice& stream) {
  TmsArticleEncoder encoder(*this);
  encoder.Encode(stream);
}

void TmsArticle::DecodeFromStream(QIODevice& stream) {
  TmsArticleDecoder decoder(stream, *this);
  decoder.Decode();
}

void TmsArticle::Clear() {
  NewsGroups.clear();
  TmsCustomMessage::Clear();
}

void TmsArticle::ReadHeaderFields(const TmsHeaders& headers) {
  ParseAddress(headers.GetFieldValue("FROM"), Sender());
  Path = headers.GetFieldValue("PATH");
  NewsGroups = headers.GetFieldValue("NEWSGROUPS");
  MessageId = headers.GetFieldValue("MESSAGE-ID");
  const std::string subject = headers.GetFieldValue("Subject");
  if (!subject.empty()) SetSubject(subject);
  Headers = headers;
}

void TmsArticleEncoder::WriteHeaders() {
  const TmsMailAddress& sender = article_.Sender();
  WriteLine("From:     " + HeaderName(sender.Name()) + " <" + HeaderValue(sender.Address()) + ">");
  WriteLine("Newsgroups: " + HeaderValue(article_.NewsGroups));
  // A read article's own Newsgroups line would stand twice.
  WriteLines(ExtraHeaders({"Newsgroups"}));
  if (!article_.Subject().empty()) WriteLine("Subject:  " + HeaderText(article_.Subject()));
  if (article_.Encoding == meMIME) WriteLine("Mime-Version: 1.0");
}

}  // namespace mail
