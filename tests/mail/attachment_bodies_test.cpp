// Messages with attachments, alternative parts, HTML and RTF bodies and uuencoded files, as the
// encoder writes them; Python's email package (and binascii for uuencode) reads them back.

#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QRandomGenerator>

#include "mail/codecs.h"
#include "mail/message_encoder.h"
#include "mail_peers.h"
#include "platform/text/codepage.h"

namespace mail {
namespace {

using testing_support::CrLfLines;
using testing_support::Encoded;
using testing_support::ParsedByPython;

QByteArray RandomBytes(int size, quint32 seed) {
  QRandomGenerator random(seed);
  QByteArray bytes(size, '\0');
  for (char& c : bytes) c = static_cast<char>(random.bounded(256));
  return bytes;
}

std::unique_ptr<TmsAttItem> Item(const std::string& name, const QByteArray& bytes) {
  auto item = std::make_unique<TmsAttItem>();
  item->SetFileName(name);
  item->Stream = bytes;
  return item;
}

// The lines after the header block with every boundary replaced by "B1", "B2" in order of
// appearance.
std::vector<std::string> BodyWithNamedBoundaries(const std::string& text) {
  std::string body = text.substr(text.find("Mime-Version: 1.0\r\n") + 19);
  const std::string parameter = "boundary=\"";
  int n = 0;
  for (size_t at = body.find(parameter); at != std::string::npos; at = body.find(parameter, at + 1)) {
    const std::string digits = body.substr(at + parameter.size(), 8);
    if (digits.size() != 8 || digits.find_first_not_of("012345678") != std::string::npos) continue;
    const std::string name = "B" + std::to_string(++n);
    for (size_t d = body.find(digits); d != std::string::npos; d = body.find(digits))
      body.replace(d, 8, name);
  }
  return CrLfLines(body);
}

class AttachmentBodies : public ::testing::Test {
 protected:
  void SetUp() override { testing_support::AddressShopToJohn(message); }
  void Attach(const std::string& name, const QByteArray& bytes) {
    message.Attachments().Add(Item(name, bytes));
  }

  // What Python finds: no defects, and the leaf parts' types, file names and bytes in order.
  void ExpectPythonParts(const std::vector<std::tuple<std::string, std::string, QByteArray>>& expected,
                         const std::string& topType) {
    const QJsonObject parsed = ParsedByPython(Encoded(message));
    EXPECT_EQ(parsed["defects"].toArray().size(), 0) << QJsonDocument(parsed).toJson().toStdString();
    EXPECT_EQ(parsed["content_type"].toString().toStdString(), topType);
    std::vector<std::tuple<std::string, std::string, QByteArray>> leaves;
    for (const QJsonValue& value : parsed["parts"].toArray()) {
      const QJsonObject part = value.toObject();
      const std::string type = part["content_type"].toString().toStdString();
      if (type.rfind("multipart/", 0) == 0) continue;
      leaves.emplace_back(type, part["filename"].toString().toStdString(),
                          QByteArray::fromBase64(part["bytes"].toString().toLatin1()));
    }
    EXPECT_EQ(leaves, expected);
  }

  TmsMessage message;
};

TEST_F(AttachmentBodies, AMixedMessageHasTheTextPartThenTheAttachment) {
  message.Body = {"Hello"};
  Attach("C:\\Docs\\notes.pdf", "abc");
  EXPECT_EQ(
      BodyWithNamedBoundaries(Encoded(message)),
      (std::vector<std::string>{
          "Content-Type: multipart/mixed; boundary=\"B1\"", "", "This is a multipart message in MIME format",
          "", "--B1", "Content-Type: text/plain; charset=\"us-ascii\"", "Content-Transfer-Encoding: 7bit", "",
          "Hello", "", "--B1", "Content-Type: application/pdf; name=\"notes.pdf\"",
          "Content-Transfer-Encoding: Base64", "Content-Disposition: attachment; filename=\"notes.pdf\"", "",
          "YWJj", "", "--B1--"}));
}

TEST_F(AttachmentBodies, AlternativesOfTheTextNestInsideAMixedMessage) {
  message.Body = {"Plain text"};
  Attach("_alt.htm", "<p>Plain text</p>\r\n");
  Attach("invoice.pdf", "%PDF");
  const std::vector<std::string> lines = BodyWithNamedBoundaries(Encoded(message));
  const std::vector<std::string> head(lines.begin(), lines.begin() + 9);
  EXPECT_EQ(head, (std::vector<std::string>{"Content-Type: multipart/mixed; boundary=\"B1\"", "",
                                            "This is a multipart message in MIME format", "", "--B1",
                                            "Content-Type:  multipart/alternative; boundary=\"B2\"",
                                            "Content-Transfer-Encoding: 7bit", "", "--B2"}));
  // The inner part closes before the ordinary attachment, the outer one at the end.
  const auto innerClose = std::find(lines.begin(), lines.end(), "--B2--");
  ASSERT_NE(innerClose, lines.end());
  EXPECT_EQ(*(innerClose + 2), "--B1");
  EXPECT_EQ(*(innerClose + 3), "Content-Type: application/pdf; name=\"invoice.pdf\"");
  EXPECT_EQ(lines.back(), "--B1--");
  ExpectPythonParts({{"text/plain", "", "Plain text\r\n"},
                     {"text/html", "", "<p>Plain text</p>\r\n"},
                     {"application/pdf", "invoice.pdf", "%PDF"}},
                    "multipart/mixed");
}

TEST_F(AttachmentBodies, PythonReadsEveryKindOfBodyWithoutDefects) {
  const QByteArray binary = RandomBytes(57 * 3, 7);  // an exact multiple of a Base64 line
  const QByteArray odd = RandomBytes(100, 8);
  const QByteArray text = "Line one \r\nsecond\tline\rthird\nlast without break =\xe9";
  const QByteArray canonical = "Line one \r\nsecond\tline\r\nthird\r\nlast without break =\xe9";
  message.Body = {"See the files."};
  Attach("invoice.pdf", binary);
  Attach("photo.png", odd);
  Attach("notes.txt", text);
  Attach("forwarded.eml", "From: a@example.com\r\nSubject: old\r\n\r\nold text\r\n");
  ExpectPythonParts({{"text/plain", "", "See the files.\r\n"},
                     {"application/pdf", "invoice.pdf", binary},
                     {"image/png", "photo.png", odd},
                     {"text/plain", "notes.txt", canonical},
                     {"message/rfc822", "forwarded.eml", ""},
                     {"text/plain", "", "old text\r\n"}},
                    "multipart/mixed");

  message.Body.clear();
  message.Attachments().Clear();
  Attach("invoice.pdf", binary);
  ExpectPythonParts({{"application/pdf", "invoice.pdf", binary}}, "application/pdf");

  message.Attachments().Clear();
  message.Body = {"Text"};
  Attach("_alt.htm", "<b>Text</b>");
  Attach("_alt.rtf", "{\\rtf1 Text}");
  ExpectPythonParts({{"text/plain", "", "Text\r\n"},
                     {"text/html", "", "<b>Text</b>"},
                     {"application/rtf", "", "{\\rtf1 Text}"}},
                    "multipart/alternative");

  message.Attachments().Clear();
  message.Body = {
      "<html><body>Gr\xfc\xdf"
      "e</body></html>"};
  message.SetContentType("text/html");
  ExpectPythonParts({{"text/html", "",
                      "<html><body>Gr\xfc\xdf"
                      "e</body></html>\r\n"}},
                    "text/html");

  // A lone body attachment is the body: its bytes are written.
  message.Body.clear();
  Attach("_HTMBODY.HTM", "<p>Only HTML</p>");
  ExpectPythonParts({{"text/html", "", "<p>Only HTML</p>"}}, "text/html");

  Attach("logo.png", odd);  // now the HTML is the first part of a mixed message, without a name
  ExpectPythonParts({{"text/html", "", "<p>Only HTML</p>"}, {"image/png", "logo.png", odd}},
                    "multipart/mixed");
}

// File names come back whole, in both the name of the part's type and its file name, to Python's
// email package and to our own decoder: quotes, semicolons and percent signs, letters outside
// ASCII, names too long for a header line. Folders never travel, and a line break in a name is a
// blank, so no name can start a header line of its own.
TEST_F(AttachmentBodies, FileNamesAreReadBackWhole) {
  const std::string longPlain = "Statement of account " + std::string(180, 'x') + ".pdf";
  const std::string longLetters = std::string(120, '\xe9') + " \x80.txt";
  const std::vector<std::pair<std::string, std::string>> names = {
      {"Invoice 1001.pdf", "Invoice 1001.pdf"},
      {"q\"uote;d.txt", "q\"uote;d.txt"},
      {"\"Best\" offer.pdf", "\"Best\" offer.pdf"},
      {"C:\\Offers\\back\\slash.pdf", "slash.pdf"},
      {"Gr\xfc\xdf"
       "e M\xe4rz \x80.pdf",
       "Gr\xfc\xdf"
       "e M\xe4rz \x80.pdf"},
      {"100% d'\xe9t\xe9*.txt", "100% d'\xe9t\xe9*.txt"},
      {"A name long enough to need a line of its own.pdf",
       "A name long enough to need a line of its own.pdf"},
      {longPlain, longPlain},
      {longLetters, longLetters},
      {"two\r\n\r\nlines.txt", "two    lines.txt"},  // an empty line would end the header block
      {"\xe9\n\xe9.txt", "\xe9 \xe9.txt"},
  };
  auto expectReadBack = [](const std::string& text, const std::vector<std::string>& expected) {
    for (const std::string& line : CrLfLines(text)) EXPECT_LE(line.size(), 78u) << line;
    const QJsonObject parsed = ParsedByPython(text);
    EXPECT_EQ(parsed["defects"].toArray().size(), 0) << QJsonDocument(parsed).toJson().toStdString();
    std::vector<QString> fileNames, typeNames;
    for (const QJsonValue& value : parsed["parts"].toArray()) {
      if (value["disposition"].toString() != "attachment") continue;
      fileNames.push_back(value["filename"].toString());
      typeNames.push_back(value["type_name"].toString());
    }
    std::vector<QString> wanted;
    for (const std::string& name : expected) wanted.push_back(platform::text::ToQString(name));
    EXPECT_EQ(fileNames, wanted);
    EXPECT_EQ(typeNames, wanted);
    TmsMessage read;
    testing_support::DecodeInto(text, read);
    std::vector<std::string> decoded;
    for (int i = 0; i < read.Attachments().Count(); ++i)
      decoded.push_back(read.Attachments().Items(i).FileName());
    EXPECT_EQ(decoded, expected);
  };

  message.Body = {"See the files."};
  std::vector<std::string> expected;
  for (const auto& [given, read] : names) {
    Attach(given, "x");
    expected.push_back(read);
  }
  expectReadBack(Encoded(message), expected);

  message.Body.clear();  // a message that is one attachment names it in its own header block
  for (const auto& [given, read] : names) {
    SCOPED_TRACE(given);
    message.Attachments().Clear();
    Attach(given, "x");
    expectReadBack(Encoded(message), {read});
  }
}

TEST_F(AttachmentBodies, UuencodedFilesFollowTheBody) {
  message.Encoding = meUU;
  message.Body = {"Two files follow."};
  const QByteArray full = RandomBytes(90, 3);  // two full lines, then an empty one
  const QByteArray odd = RandomBytes(50, 4);
  Attach("a.bin", full);
  Attach("b.bin", odd);
  const std::string text = Encoded(message);
  EXPECT_EQ(text.find("Mime-Version"), std::string::npos);
  const QJsonObject parsed = ParsedByPython(text);
  const QJsonArray files = parsed["uu"].toArray();
  ASSERT_EQ(files.size(), 2);
  EXPECT_EQ(files[0].toArray()[0].toString(), "a.bin");
  EXPECT_EQ(QByteArray::fromBase64(files[0].toArray()[1].toString().toLatin1()), full);
  EXPECT_EQ(files[1].toArray()[0].toString(), "b.bin");
  EXPECT_EQ(QByteArray::fromBase64(files[1].toArray()[1].toString().toLatin1()), odd);
}

TEST_F(AttachmentBodies, WritingLeavesTheMessageAlone) {
  message.Body = {".", "a line of text that is longer than it should be " + std::string(250, 'x')};
  message.Headers = {"Content-Type: text/html", "X-Note: kept"};
  Attach("data.edi", "UNA:+.? '");
  message.Attachments().Items(0).SetFileName("_edifact");
  message.Attachments().Items(0).Encoding = 1;
  const std::vector<std::string> body = message.Body;
  const TmsHeaders headers = message.Headers;
  Encoded(message);
  message.Body.clear();
  const std::string single = Encoded(message);
  EXPECT_NE(single.find("Content-Type: application/edifact\r\nContent-Transfer-Encoding: Quoted-Printable"),
            std::string::npos);
  message.Body = {"<p>x</p>"};
  message.Attachments().Clear();
  message.SetContentType("text/html");
  Encoded(message);
  EXPECT_EQ(message.Body, (std::vector<std::string>{"<p>x</p>"}));
  EXPECT_EQ(message.Headers, headers);
  message.Body = body;
  EXPECT_EQ(message.Body, body);
  Attach("x.pdf", "x");
  Encoded(message);
  EXPECT_EQ(message.Attachments().Items(0).Encoding, 1);
}

TEST_F(AttachmentBodies, AStaleTypeWithoutAttachmentsWritesThePlainText) {
  message.Body = {"Only text now"};
  Attach("x.pdf", "x");
  EXPECT_EQ(message.ContentType(), "multipart/mixed");  // stored by the getter
  message.Attachments().Clear();
  const QJsonObject parsed = ParsedByPython(Encoded(message));
  EXPECT_EQ(parsed["defects"].toArray().size(), 0);
  EXPECT_EQ(parsed["content_type"].toString(), "text/plain");
  EXPECT_EQ(parsed["body"].toString(), "Only text now\n");
}

TEST(Boundaries, AreEightDigitsWithoutANine) {
  for (int i = 0; i < 500; ++i) {
    const std::string boundary = TmsCustomEncoder::MakeBoundary();
    ASSERT_EQ(boundary.size(), 8u);
    ASSERT_EQ(boundary.find_first_not_of("012345678"), std::string::npos) << boundary;
  }
}

}  // namespace
}  // namespace mail
