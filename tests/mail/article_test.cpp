#include "mail/article.h"

#include <gtest/gtest.h>

#include <QBuffer>
#include <QJsonArray>

#include "mail_peers.h"
#include "platform/net/expect_error.h"

namespace mail {
namespace {

using testing_support::CrLfLines;
using testing_support::DecodeInto;
using testing_support::Encoded;

TEST(Article, HasItsOwnHeaderBlock) {
  TmsArticle article;
  article.Sender().SetAddress("shop@example.com");
  article.Sender().SetName("J. Smith");
  article.NewsGroups = "comp.misc,alt.test";
  article.SetSubject("Opening hours");
  article.Headers = {"Newsgroups: stale.group", "Organization: Corner Shop", "Subject: stale"};
  article.Body = {"We open at nine."};
  EXPECT_EQ(CrLfLines(Encoded(article)), (std::vector<std::string>{
                                             "From:     \"J. Smith\" <shop@example.com>",
                                             "Newsgroups: comp.misc,alt.test",
                                             "Organization: Corner Shop",
                                             "Subject:  Opening hours",
                                             "Mime-Version: 1.0",
                                             "Content-Type: text/plain; charset=\"us-ascii\"",
                                             "Content-Transfer-Encoding: 7bit",
                                             "",
                                             "We open at nine.",
                                         }));
  const QJsonObject parsed = testing_support::ParsedByPython(Encoded(article));
  EXPECT_EQ(parsed["defects"].toArray().size(), 0);
  EXPECT_EQ(parsed["from"].toArray()[0].toArray()[0].toString(), "J. Smith");
  EXPECT_EQ(parsed["subject"].toString(), "Opening hours");
}

TEST(Article, NeedsSenderNewsgroupsAndSubject) {
  TmsArticle article;
  testing_support::ExpectError<EMessageError>([&] { article.CheckValid(); },
                                              "The address of sender is required");
  article.Sender().SetAddress("shop@example.com");
  testing_support::ExpectError<EMessageError>([&] { article.CheckValid(); }, "Newsgroup header is required");
  article.NewsGroups = "comp.misc";
  testing_support::ExpectError<EMessageError>([&] { article.CheckValid(); }, "Subject header is required");
  article.SetSubject("Hello");
  EXPECT_NO_THROW(article.CheckValid());
}

TEST(Article, IsReadBackWithPathAndMessageId) {
  TmsArticle article;
  DecodeInto(
      "Path: news.example.com!not-for-mail\r\nFrom: Corner Shop <shop@example.com>\r\n"
      "Newsgroups: comp.misc\r\nMessage-ID: <1@example.com>\r\nSubject: Opening hours\r\n"
      "MIME-Version: 1.0\r\nContent-Type: text/plain\r\n\r\nWe open at nine.\r\n",
      article);
  EXPECT_EQ(article.Path, "news.example.com!not-for-mail");
  EXPECT_EQ(article.MessageId, "<1@example.com>");
  EXPECT_EQ(article.NewsGroups, "comp.misc");
  EXPECT_EQ(article.Subject(), "Opening hours");
  EXPECT_EQ(article.Sender().Address(), "shop@example.com");
  EXPECT_EQ(article.Body, (std::vector<std::string>{"We open at nine."}));

  // Posted again, the article names its groups once.
  const std::vector<std::string> lines = CrLfLines(Encoded(article));
  EXPECT_EQ(std::count_if(lines.begin(), lines.end(),
                          [](const std::string& line) { return line.rfind("Newsgroups:", 0) == 0; }),
            1);

  TmsArticle copy;
  copy.Assign(article);
  EXPECT_EQ(copy.NewsGroups, "comp.misc");
  EXPECT_EQ(copy.Body, article.Body);
  article.Clear();
  EXPECT_TRUE(article.NewsGroups.empty());
  EXPECT_TRUE(article.Body.empty());
  EXPECT_EQ(article.MessageId, "<1@example.com>");  // what was read stays
}

}  // namespace
}  // namespace mail
