#include "mail/message_encoder.h"

#include <gtest/gtest.h>

#include <QBuffer>
#include <QJsonArray>
#include <QJsonDocument>

#include "mail/quoted_printable.h"
#include "mail_peers.h"
#include "platform/net/expect_error.h"

namespace mail {
namespace {

using testing_support::Encoded;
const auto Lines = testing_support::CrLfLines;
using testing_support::ParsedByPython;

std::vector<std::string> QuotedPrintable(const std::string& input) {
  QByteArray bytes = QByteArray::fromStdString(input);
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::ReadOnly);
  std::vector<std::string> output;
  TQuotedPrintable coder(buffer, output);
  coder.Encode();
  return output;
}

class EncoderTest : public ::testing::Test {
 protected:
  void SetUp() override { testing_support::AddressShopToJohn(message); }
  TmsMessage message;
};

// The lines with the values of Date and Message-ID left out: they change from run to run.
std::vector<std::string> LinesLessDateAndId(const std::string& text) {
  std::vector<std::string> lines = Lines(text);
  for (std::string& line : lines) {
    for (const std::string field : {"Date: ", "Message-ID: "}) {
      if (line.rfind(field, 0) == 0) line = field + "...";
    }
  }
  return lines;
}

TEST_F(EncoderTest, APlainMessageHasExactlyTheseLines) {
  message.Body = {"Dear John,", "", "Thank you."};
  EXPECT_EQ(LinesLessDateAndId(Encoded(message)), (std::vector<std::string>{
                                                      "From:     Corner Shop <shop@example.com>",
                                                      "To:       John Smith <john@example.com>",
                                                      "Subject: Invoice 1001",
                                                      "Date: ...",
                                                      "Message-ID: ...",
                                                      "Mime-Version: 1.0",
                                                      "Content-Type: text/plain; charset=\"us-ascii\"",
                                                      "Content-Transfer-Encoding: 7bit",
                                                      "",
                                                      "Dear John,",
                                                      "",
                                                      "Thank you.",
                                                  }));
}

TEST_F(EncoderTest, NamesAreQuotedWhereTheirPunctuationNeedsIt) {
  message.Sender().SetName("J. Smith, Inc");
  message.Recipients.Clear();
  message.Recipients.Add("a@example.com", "Smith, Anne");
  message.Recipients.Add("b@example.com", "B. Brown");
  message.Recipients.Add("c@example.com", "\"Carol\" C.");
  message.CC.Add("d@example.com", "Dan");
  message.BCC.Add("hidden@example.com", "Hidden");
  message.ReturnReceipt = true;
  message.Priority = ptHigh;
  message.Headers = {"X-Mailer: ours", "Subject: stale", "\tcontinued", "Organization: Corner Shop"};
  message.Body = {"x"};
  const std::vector<std::string> lines = Lines(Encoded(message));
  const std::vector<std::string> head(lines.begin(), lines.begin() + 10);
  EXPECT_EQ(head, (std::vector<std::string>{
                      "From:     \"J. Smith, Inc\" <shop@example.com>",
                      "To:       \"Smith, Anne\" <a@example.com>,",
                      "          \"B. Brown\" <b@example.com>,",
                      "          \"\\\"Carol\\\" C.\" <c@example.com>",
                      "CC:       Dan <d@example.com>",
                      "Return-Receipt-To: <shop@example.com>",
                      "X-Priority: 1",
                      "X-Mailer: ours",
                      "Organization: Corner Shop",
                      "Subject: Invoice 1001",
                  }));
  EXPECT_EQ(message.Headers.size(), 4u);  // writing leaves the message alone
  message.Sender().SetName("Plain, Name");
  EXPECT_EQ(Lines(Encoded(message))[0], "From:     \"Plain, Name\" <shop@example.com>");
  message.Sender().SetName("Anne O'Neil-Smith");
  EXPECT_EQ(Lines(Encoded(message))[0], "From:     Anne O'Neil-Smith <shop@example.com>");
}

TEST_F(EncoderTest, DotLinesAreWrittenAsTheyStand) {
  message.Body = {".", "..", ".hidden", "end"};
  const std::vector<std::string> lines = Lines(Encoded(message));
  const std::vector<std::string> body(lines.end() - 4, lines.end());
  EXPECT_EQ(body, message.Body);
  EXPECT_EQ(message.Body[0], ".");  // the message is left alone
}

TEST_F(EncoderTest, LongLinesSwitchTheBodyToQuotedPrintable) {
  message.Body = {std::string(255, 'a')};
  std::vector<std::string> lines = Lines(Encoded(message));
  EXPECT_EQ(lines[7], "Content-Transfer-Encoding: 7bit");
  EXPECT_EQ(lines.back(), std::string(255, 'a'));
  message.Body = {std::string(256, 'a'), "b=c"};
  lines = Lines(Encoded(message));
  EXPECT_EQ(lines[7], "Content-Transfer-Encoding: quoted-printable");
  EXPECT_EQ(lines[9], std::string(65, 'a') + "=");
  EXPECT_EQ(lines.back(), "b=3Dc");
}

TEST(QuotedPrintableCoder, CutsParagraphsAt65CharactersPreferablyBeforeABlank) {
  EXPECT_EQ(QuotedPrintable(std::string(70, 'x') + "\r\n"),
            (std::vector<std::string>{std::string(65, 'x') + "=", std::string(5, 'x')}));
  EXPECT_EQ(QuotedPrintable(std::string(65, 'x') + "\r\n"),
            (std::vector<std::string>{std::string(65, 'x') + "=", ""}));
  const std::string words = std::string(60, 'w') + " " + std::string(10, 'v');
  EXPECT_EQ(QuotedPrintable(words + "\r\n"),
            (std::vector<std::string>{std::string(60, 'w') + "=", " " + std::string(10, 'v')}));
  EXPECT_EQ(QuotedPrintable("a\tb=\xe9\r\n\r\nc\r\n"), (std::vector<std::string>{"a=09b=3D=E9", "", "c"}));
  EXPECT_EQ(QuotedPrintable(""), (std::vector<std::string>{"="}));  // nothing, not a line break
  // CR LF, a lone CR and a lone LF each end one line; text without a final break ends softly.
  EXPECT_EQ(QuotedPrintable("tail\n"), (std::vector<std::string>{"tail"}));
  EXPECT_EQ(QuotedPrintable("a\n\nb\r\rc\n\rd\r\n\r\ne"),
            (std::vector<std::string>{"a", "", "b", "", "c", "", "d", "", "e="}));
  EXPECT_EQ(QuotedPrintable("trailing \r\ntab\t\r\n"), (std::vector<std::string>{"trailing=20", "tab=09"}));
  EXPECT_EQ(QuotedPrintable(std::string(TQuotedPrintable::MaxParagraph, 'p')).size(), 379u);
  testing_support::ExpectError<std::runtime_error>(
      [] { QuotedPrintable(std::string(TQuotedPrintable::MaxParagraph + 1, 'p')); },
      "Paragraph is too large");
}

TEST_F(EncoderTest, Iso8859BodiesAreAlwaysQuotedPrintable) {
  message.CharSet = csISO8859;
  const std::vector<std::string> lines = Lines(Encoded(message));
  const std::vector<std::string> tail(lines.end() - 4, lines.end());
  EXPECT_EQ(tail, (std::vector<std::string>{"Content-Type: text/plain; charset=\"iso-8859-1\"",
                                            "Content-Transfer-Encoding: quoted-printable", "", "="}));
}

TEST_F(EncoderTest, LineBreaksInHeaderValuesBecomeBlanks) {
  message.SetSubject("Invoice\r\nBcc: victim@example.com");
  message.Recipients.Add("x@example.com\nBcc: other@example.com", "Evil\rName");
  message.Headers = {"X-Note: one\ntwo"};
  message.Body = {"first\nsecond\rthird\r\nfourth"};
  const std::string text = Encoded(message);
  const std::vector<std::string> lines = Lines(text);
  EXPECT_NE(std::find(lines.begin(), lines.end(), "Subject: Invoice  Bcc: victim@example.com"), lines.end());
  EXPECT_NE(
      std::find(lines.begin(), lines.end(), "          Evil Name <x@example.com Bcc: other@example.com>"),
      lines.end());
  EXPECT_NE(std::find(lines.begin(), lines.end(), "X-Note: one two"), lines.end());
  const std::vector<std::string> body(lines.end() - 4, lines.end());
  EXPECT_EQ(body, (std::vector<std::string>{"first", "second", "third", "fourth"}));
  for (const std::string& line : lines) EXPECT_NE(line.rfind("Bcc:", 0), 0u) << line;
}

TEST_F(EncoderTest, PythonReadsAPlainMessageWithoutDefects) {
  message.Recipients.Add("mary@example.com", "Jones, Mary");
  message.Body = {"Invoice 1001", ".", "..two dots", "Total:   1,234.56"};
  const QJsonObject parsed = ParsedByPython(Encoded(message));
  EXPECT_EQ(parsed["defects"].toArray().size(), 0) << QJsonDocument(parsed).toJson().toStdString();
  EXPECT_EQ(parsed["subject"].toString(), "Invoice 1001");
  EXPECT_EQ(parsed["from"].toArray()[0].toArray()[1].toString(), "shop@example.com");
  const QJsonArray to = parsed["to"].toArray();
  ASSERT_EQ(to.size(), 2);
  EXPECT_EQ(to[1].toArray()[0].toString(), "Jones, Mary");
  EXPECT_EQ(parsed["charset"].toString(), "us-ascii");
  EXPECT_EQ(parsed["body"].toString(), "Invoice 1001\n.\n..two dots\nTotal:   1,234.56\n");
}

TEST_F(EncoderTest, Windows1252TextTravelsQuotedPrintableAndAsEncodedWords) {
  message.SetSubject("Rechnung f\xfcr M\xfcller \x80 100 " + std::string(40, 'x'));
  message.Recipients.Clear();
  message.Recipients.Add("mueller@example.com", "M\xfcller, J\xfcrgen");
  message.Body = {
      "Gr\xfc\xdf"
      "e aus K\xf6ln",
      std::string(70, '\xe9'), "Preis: 5 \x80"};
  const std::string text = Encoded(message);
  for (unsigned char c : text) ASSERT_LT(c, 128) << "8-bit byte on the wire";
  const QJsonObject parsed = ParsedByPython(text);
  EXPECT_EQ(parsed["defects"].toArray().size(), 0) << QJsonDocument(parsed).toJson().toStdString();
  EXPECT_EQ(parsed["charset"].toString(), "windows-1252");
  EXPECT_EQ(parsed["cte"].toString(), "quoted-printable");
  EXPECT_EQ(parsed["subject"].toString(),
            QString::fromUtf8("Rechnung f\xc3\xbcr M\xc3\xbcller \xe2\x82\xac 100 ") + QString(40, 'x'));
  EXPECT_EQ(parsed["to"].toArray()[0].toArray()[0].toString(),
            QString::fromUtf8("M\xc3\xbcller, J\xc3\xbcrgen"));
  EXPECT_EQ(parsed["body"].toString(), QString::fromUtf8("Gr\xc3\xbc\xc3\x9f"
                                                         "e aus K\xc3\xb6ln\n") +
                                           QString(70, QChar(0xe9)) +
                                           QString::fromUtf8("\nPreis: 5 \xe2\x82\xac\n"));
}

TEST(EncoderHelpers, Base64AndJisWords) {
  EXPECT_EQ(TmsCustomEncoder::Base64("user@example.com"), "dXNlckBleGFtcGxlLmNvbQ==");
  EXPECT_EQ(TmsCustomEncoder::Base64("ab"), "YWI=");
  EXPECT_EQ(TmsCustomEncoder::EncodeJISWord("\x1b$B"), "=?ISO-2022-JP?B?GyRC?=");
  EXPECT_EQ(TmsCustomEncoder::EncodeJISWord("plain"), "plain");
}

}  // namespace
}  // namespace mail
