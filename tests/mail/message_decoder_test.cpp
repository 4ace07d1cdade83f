// The message decoder: messages that Python's email package writes, our own messages of every
// shape read back, the recoveries from broken text, and a fuzz run over mutilated messages.

#include "mail/message_decoder.h"

#include <gtest/gtest.h>

#include <QBuffer>
#include <QFile>
#include <QJsonArray>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include "mail/codecs.h"
#include "mail/header_words.h"
#include "mail/mail_utils.h"
#include "mail_peers.h"

namespace mail {
namespace {

using testing_support::DecodeInto;
using testing_support::Encoded;

std::unique_ptr<TmsMessage> Decoded(const std::string& text) {
  auto message = std::make_unique<TmsMessage>();
  DecodeInto(text, *message);
  return message;
}

std::string Latin1(const QJsonValue& value) {
  return value.toString().toLatin1().toStdString();
}

std::vector<std::string> Strings(const QJsonValue& value) {
  std::vector<std::string> strings;
  for (const QJsonValue& item : value.toArray()) strings.push_back(Latin1(item));
  return strings;
}

TEST(MessageDecoder, ReadsWhatPythonWrites) {
  QTemporaryDir folder;
  const QJsonArray cases = testing_support::PythonOutput("write_messages.py", {folder.path()}).array();
  ASSERT_GE(cases.size(), 8);
  for (const QJsonValue& value : cases) {
    const QJsonObject expected = value.toObject();
    SCOPED_TRACE(expected["file"].toString().toStdString());
    QFile file(folder.filePath(expected["file"].toString()));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const auto message = Decoded(file.readAll().toStdString());
    EXPECT_EQ(message->Subject(), Latin1(expected["subject"]));
    EXPECT_EQ(message->Sender().Name(), Latin1(expected["sender"].toArray()[0]));
    EXPECT_EQ(message->Sender().Address(), Latin1(expected["sender"].toArray()[1]));
    ASSERT_EQ(message->Recipients.Count(), 2);
    EXPECT_EQ(message->Recipients.Items(0).Name(), "John Smith");
    EXPECT_EQ(message->Recipients.Items(1).Address(), "mary@example.com");
    EXPECT_EQ(message->Body, Strings(expected["body"]));
    const QJsonArray attachments = expected["attachments"].toArray();
    ASSERT_EQ(message->Attachments().Count(), attachments.size());
    for (int i = 0; i < message->Attachments().Count(); ++i) {
      const TmsAttItem& item = message->Attachments().Items(i);
      const QJsonArray want = attachments[i].toArray();
      EXPECT_EQ(item.FileName(), Latin1(want[0]));
      EXPECT_EQ(item.ContentType, Latin1(want[1]));
      EXPECT_EQ(item.Stream, QByteArray::fromBase64(want[2].toString().toLatin1()));
    }
  }
}

// One random message of one of the shapes the encoder writes.
struct RandomMessage {
  explicit RandomMessage(quint32 seed) : random(seed) {}

  std::string Text(int length, bool eightBit) {
    std::string text;
    for (int i = 0; i < length; ++i) {
      const int c = eightBit && random.bounded(8) == 0 ? 128 + random.bounded(128) : 32 + random.bounded(95);
      text += static_cast<char>(c);
    }
    return text;
  }
  QByteArray Bytes(int length) {
    QByteArray bytes(length, '\0');
    for (char& c : bytes) c = static_cast<char>(random.bounded(256));
    return bytes;
  }
  // Text of lines with CR LF after each: quoted-printable and 7bit attachments carry text.
  QByteArray TextLines(bool eightBit) {
    QByteArray bytes;
    for (int n = random.bounded(1, 6); n > 0; --n) {
      bytes += QByteArray::fromStdString(Text(random.bounded(0, 150), eightBit)) + "\r\n";
    }
    return bytes;
  }
  void Attach(TmsMessage& message, const std::string& name, int kind) {
    auto item = std::make_unique<TmsAttItem>();
    item->SetFileName(name);
    item->Encoding = static_cast<uint8_t>(kind);
    item->Stream = kind == 1 ? Bytes(random.bounded(0, 400)) : TextLines(kind == 2);
    message.Attachments().Add(std::move(item));
  }
  void Fill(TmsMessage& message) {
    testing_support::AddressShopToJohn(message);
    message.Recipients.Add("mary@example.com", "Jones, Mary");
    message.SetSubject("Invoice " + Text(random.bounded(1, 30), true));
    const int lines = random.bounded(1, 8);
    for (int i = 0; i < lines; ++i) {
      message.Body.push_back(random.bounded(10) == 0 ? ""
                                                     : Text(random.bounded(1, 300), random.bounded(2) == 0));
    }
    const char* extensions[] = {".pdf", ".png", ".txt", ".csv", ".bin"};
    const int shape = random.bounded(4);
    if (shape == 1) {  // alternatives of the text, perhaps with ordinary attachments after them
      Attach(message, "_alt.htm", 2);
      if (random.bounded(2)) Attach(message, "_alt.rtf", random.bounded(3));
    }
    if (shape == 3) message.Encoding = meUU;
    for (int n = shape == 0 ? 0 : random.bounded(0, 4); n > 0; --n) {
      if (message.Encoding == meUU && random.bounded(4) == 0) {
        Attach(message, "", 1);  // a file without a name still travels
        continue;
      }
      Attach(message, "file" + std::to_string(n) + extensions[random.bounded(5)],
             message.Encoding == meUU ? 1 : random.bounded(3));
    }
  }

  QRandomGenerator random;
};

TEST(MessageDecoder, ReadsBackEveryShapeOfMessageWeWrite) {
  for (quint32 seed = 1; seed <= 300; ++seed) {
    SCOPED_TRACE(seed);
    RandomMessage random(seed);
    TmsMessage message;
    random.Fill(message);
    const auto read = Decoded(Encoded(message));
    EXPECT_EQ(read->Sender().Name(), "Corner Shop");
    ASSERT_EQ(read->Recipients.Count(), 2);
    EXPECT_EQ(read->Recipients.Items(1).Name(), "Jones, Mary");
    EXPECT_EQ(Trim(read->Subject()), Trim(message.Subject()));  // blanks around a header value go
    std::vector<std::string> body = message.Body;
    if (message.Encoding == meUU && message.Attachments().Count() > 0) body.emplace_back();  // before "begin"
    EXPECT_EQ(read->Body, body);
    ASSERT_EQ(read->Attachments().Count(), message.Attachments().Count());
    for (int i = 0; i < message.Attachments().Count(); ++i) {
      const TmsAttItem& want = message.Attachments().Items(i);
      const TmsAttItem& got = read->Attachments().Items(i);
      EXPECT_EQ(got.Stream, want.Stream) << want.FileName();
      if (message.Encoding == meUU) continue;  // names alone travel with uuencoded files
      EXPECT_EQ(got.Encoding, want.Encoding);
      // Alternatives travel without their names, so the reader numbers them.
      if (want.FileName().rfind("_alt.", 0) == 0) {
        EXPECT_EQ(got.FileName(), "_alt." + std::to_string(i));
      } else {
        EXPECT_EQ(got.FileName(), want.FileName());
        EXPECT_EQ(got.ContentType, want.ContentType);
      }
    }
  }
}

TEST(MessageDecoder, TheFormOfTheMessageDecidesHowItIsRead) {
  const std::string head =
      "From: a@example.com\r\nTo: b@example.com\r\nSubject: =?iso-8859-1?Q?Caf=E9_au_lait?=\r\n";
  auto message = Decoded(head + "\r\nline one\r\n.\r\n");
  EXPECT_EQ(message->Subject(), "Caf\xe9 au lait");
  EXPECT_EQ(message->Body, (std::vector<std::string>{"line one"}));  // a last "." is dropped

  const std::string mime = head + "MIME-Version: 1.0\r\n";
  message = Decoded(mime + "Content-Type: text/html\r\n\r\n<p>x</p>\r\n");
  EXPECT_EQ(message->ContentType(), "text/html");
  EXPECT_EQ(message->Body, (std::vector<std::string>{"<p>x</p>"}));

  message = Decoded(mime +
                    "Content-Type: text/plain\r\nContent-Transfer-Encoding: quoted-printable\r\n\r\n"
                    "soft=\r\n break =3D here=20\r\n");
  EXPECT_EQ(message->Body, (std::vector<std::string>{"soft break = here "}));
  EXPECT_EQ(message->CharSet, csISO8859);

  // A text part with no lines leaves one empty body line; the first unnamed part is "att.0".
  message = Decoded(mime +
                    "Content-Type: multipart/mixed; boundary=\"xyz\"\r\n\r\npreamble\r\n--xyz\r\n"
                    "Content-Type: text/plain\r\n\r\n--xyz\r\nContent-Type: application/octet-stream\r\n"
                    "Content-Transfer-Encoding: base64\r\n\r\nAAEC\r\nAw==\r\n--xyz--\r\nepilogue\r\n");
  EXPECT_EQ(message->Body, (std::vector<std::string>{""}));
  ASSERT_EQ(message->Attachments().Count(), 1);
  EXPECT_EQ(message->Attachments().Items(0).FileName(), "att.0");
  EXPECT_EQ(message->Attachments().Items(0).Stream, QByteArray("\x00\x01\x02\x03", 4));

  // A mixed message that holds only its text part takes the part's type.
  message = Decoded(mime +
                    "Content-Type: multipart/mixed; boundary=b\r\n\r\n--b\r\nContent-Type: text/html\r\n\r\n"
                    "<b>x</b>\r\n--b--\r\n");
  EXPECT_EQ(message->Body, (std::vector<std::string>{"<b>x</b>"}));
  EXPECT_EQ(message->ContentType(), "text/html");

  message =
      Decoded(mime +
              "Content-Type: application/pdf; name=\"a.pdf\"\r\nContent-Transfer-Encoding: base64\r\n\r\n"
              "JVBE\r\nRg==\r\n.\r\nignored\r\n");
  ASSERT_EQ(message->Attachments().Count(), 1);
  EXPECT_EQ(message->Attachments().Items(0).FileName(), "a.pdf");
  EXPECT_EQ(message->Attachments().Items(0).Stream, "%PDF");
  EXPECT_TRUE(message->Body.empty());
}

TEST(MessageDecoder, ParseErrorsKeepTheOriginalAsAnAttachment) {
  const std::string head = "From: a@example.com\r\nMIME-Version: 1.0\r\n";
  const std::vector<std::pair<std::string, std::string>> broken = {
      {head + "Content-Type: multipart/mixed; boundary=\"b\"\r\n\r\n--b\r\n\r\ntext without an end\r\n",
       "Cannot find boundary"},
      {head + "Content-Type: multipart/mixed; boundary=\"b\"\r\n\r\nno boundary at all\r\n",
       "Cannot find boundary"},
      {head + "Content-Type: multipart/mixed; boundary=\"o\"\r\n\r\n--o\r\n"
              "Content-Type: multipart/alternative; boundary=\"i\"\r\n\r\n--i\r\n\r\ntext\r\n--i\r\n"
              "Content-Type: text/html\r\n\r\n<p>x</p>\r\n--i--\r\nno outer boundary\r\n",
       "Cannot find closing boundary"},
      {head + "Content-Disposition: attachment\r\n\r\ntext\r\n", ""},
  };
  for (const auto& [text, error] : broken) {
    SCOPED_TRACE(text);
    const auto message = Decoded(text);
    if (error.empty()) continue;
    EXPECT_EQ(message->Body, (std::vector<std::string>{
                                 "The following error has been occured while processing the message:", error,
                                 "The original message will be stored as an attachment"}));
    const TmsAttList& attachments = message->Attachments();
    ASSERT_GE(attachments.Count(), 1);
    const TmsAttItem& original = attachments.Items(attachments.Count() - 1);
    EXPECT_EQ(original.FileName(), "original.eml");
    EXPECT_EQ(original.ContentType, "message/rfc822");
    EXPECT_EQ(original.Encoding, 0);
    EXPECT_EQ(original.Stream.toStdString(), text);
  }
  auto message = Decoded("MIME-Version: 1.0\r\nContent-Type: application/pdf\r\n\r\nx\r\n");
  EXPECT_EQ(message->Attachments().Items(0).FileName(), "att.0");
  EXPECT_THROW(Decoded(""), EMessageParserError);
}

TEST(MessageDecoder, LongLinesNulBytesAndUuencodeAreReadSafely) {
  const std::string longLine(100000, 'L');
  const std::string nul("a\0b", 3);
  auto message = Decoded("Subject: x\r\n\r\n" + longLine + "\r\n" + nul + "\r\nlast\r\n");
  EXPECT_EQ(message->Body, (std::vector<std::string>{longLine, nul, "last"}));

  // Only a real begin line (mode and name) starts a file; the short line reads as zero bits.
  message = Decoded(
      "To: b@example.com\r\n\r\nbegin the meeting at 10\r\nbegin 644 "
      "data.bin\r\n#86)C\r\n$86)C\r\n`\r\nend\r\n"
      "text after\r\nBEGIN 600 \"two.bin\"\r\n!80``\r\nEND\r\n");
  EXPECT_EQ(message->Encoding, meUU);
  EXPECT_EQ(message->Body, (std::vector<std::string>{"begin the meeting at 10"}));
  ASSERT_EQ(message->Attachments().Count(), 2);
  EXPECT_EQ(message->Attachments().Items(0).FileName(), "data.bin");
  EXPECT_EQ(message->Attachments().Items(0).Stream, QByteArray("abcabc\0", 7));
  EXPECT_EQ(message->Attachments().Items(1).FileName(), "two.bin");
  EXPECT_EQ(message->Attachments().Items(1).Stream, "a");

  // A uuencoded file in a MIME text body: the headers are read again, the recipients once.
  message = Decoded(
      "To: b@example.com, c@example.com\r\nMIME-Version: 1.0\r\nContent-Type: text/plain\r\n\r\n"
      "see below\r\nbegin 644 x.txt\r\n#86)C\r\n`\r\nend\r\n");
  EXPECT_EQ(message->Recipients.Count(), 2);
  EXPECT_EQ(message->Body, (std::vector<std::string>{"see below"}));
  ASSERT_EQ(message->Attachments().Count(), 1);
  EXPECT_EQ(message->Attachments().Items(0).Stream, "abc");
  EXPECT_TRUE(message->Headers.GetFieldValue("Content-Type").empty());
}

// Bytes flipped, lines cut, dropped, doubled and stretched, boundaries and begin lines thrown in:
// the decoder ends every time with a message or with one of the failures it is allowed.
TEST(MessageDecoder, FuzzedMessagesNeverBreakIt) {
  RandomMessage source(99);
  std::vector<std::string> seeds;
  for (int i = 0; i < 12; ++i) {
    TmsMessage message;
    source.Fill(message);
    seeds.push_back(Encoded(message));
  }
  QRandomGenerator random(12345);
  const std::string insertions[] = {"\r\n--",
                                    "\r\nbegin 644 x\r\n",
                                    "=?utf-8?B?",
                                    "?=",
                                    "\r\n\r\n",
                                    "=\r\n",
                                    "\"",
                                    "<",
                                    std::string(1, '\0'),
                                    "\r",
                                    "\n",
                                    "=",
                                    ";",
                                    "`\r\n",
                                    "Mime-Version: 1.0\r\n"};
  int decoded = 0;
  for (int round = 0; round < 3000; ++round) {
    std::string text = seeds[random.bounded(static_cast<int>(seeds.size()))];
    for (int n = random.bounded(1, 8); n > 0 && !text.empty(); --n) {
      const size_t at = random.bounded(static_cast<quint32>(text.size()));
      const size_t boundary = text.find("boundary=\"");
      switch (random.bounded(6)) {
        case 5:  // a boundary line of the message where none belongs
          if (boundary != std::string::npos && boundary + 18 < text.size()) {
            text.insert(at,
                        "\r\n--" + text.substr(boundary + 10, 8) + (random.bounded(2) ? "--" : "") + "\r\n");
          }
          break;
        case 0:
          text[at] = static_cast<char>(random.bounded(256));
          break;
        case 1:
          text.resize(at);
          break;
        case 2:
          text.insert(at, insertions[random.bounded(static_cast<int>(std::size(insertions)))]);
          break;
        case 3:
          text.insert(at, text.substr(at, random.bounded(200)));
          break;
        default:
          text.insert(at, std::string(random.bounded(20000), 'Z'));
      }
    }
    try {
      Decoded(text);
      ++decoded;
    } catch (const EInOutError& error) {
      EXPECT_STREQ(error.what(), "Invalid Character");
    } catch (const EMessageParserError& error) {
      EXPECT_STREQ(error.what(), "Unable to retrieve headers");
    } catch (const std::runtime_error& error) {
      EXPECT_STREQ(error.what(), "Unable to parse email address");
    }
  }
  EXPECT_GT(decoded, 1000);
}

}  // namespace
}  // namespace mail
