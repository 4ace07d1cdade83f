// Base64, uuencode and quoted-printable against Python's base64, binascii and quopri, and the
// small parsers of header text.

#include "mail/codecs.h"

#include <gtest/gtest.h>

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include "mail/header_words.h"
#include "mail/mail_utils.h"
#include "mail/quoted_printable.h"
#include "mail_peers.h"

namespace mail {
namespace {

void WriteFile(const QString& path, const QByteArray& bytes) {
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write(bytes);
}

std::vector<std::string> OurQuotedPrintable(QByteArray bytes) {
  QBuffer input(&bytes);
  input.open(QIODevice::ReadOnly);
  std::vector<std::string> lines;
  TQuotedPrintable(input, lines).Encode();
  return lines;
}

QByteArray Joined(const std::vector<std::string>& lines, const char* end) {
  QByteArray text;
  for (const std::string& line : lines) text += QByteArray::fromStdString(line) + end;
  return text;
}

// Text of every byte but CR, in lines ended by LF: quoted-printable carries line breaks as
// breaks, so both sides agree on text of this kind byte for byte.
QByteArray RandomText(QRandomGenerator& random, int size) {
  QByteArray text;
  while (text.size() < size) {
    const int c = random.bounded(random.bounded(4) == 0 ? 256 : 128);
    if (c != '\r') text += static_cast<char>(c);
  }
  return text + "\n";
}

TEST(Codecs, AgreeWithPythonBothWays) {
  QRandomGenerator random(2024);
  for (int round = 0; round < 6; ++round) {
    SCOPED_TRACE(round);
    const QByteArray data = RandomText(random, round * 700 + random.bounded(60));
    QTemporaryDir folder;
    WriteFile(folder.filePath("data.bin"), data);
    const std::vector<std::string> qp = OurQuotedPrintable(data);
    WriteFile(folder.filePath("ours.qp"), Joined(qp, "\n"));
    WriteFile(folder.filePath("ours.b64"), data.toBase64());
    std::vector<std::string> uu;
    for (qsizetype at = 0; at < data.size(); at += UULineBytes) {
      const QByteArray piece = data.mid(at, UULineBytes);
      uu.push_back(UUEncodeLine(std::string_view(piece.constData(), static_cast<size_t>(piece.size()))));
    }
    WriteFile(folder.filePath("ours.uu"), Joined(uu, "\n"));
    const QJsonObject python = testing_support::PythonOutput("codec_peer.py", {folder.path()}).object();

    // Python reads ours, which keeps to the line length of RFC 2045.
    for (const std::string& line : qp) EXPECT_LE(line.size(), 76u) << line;
    EXPECT_EQ(QByteArray::fromBase64(python["ours_qp"].toString().toLatin1()), data);
    EXPECT_EQ(QByteArray::fromBase64(python["ours_b64"].toString().toLatin1()), data);
    EXPECT_EQ(QByteArray::fromBase64(python["ours_uu"].toString().toLatin1()), data);

    // We read Python's; quoted-printable lines come back ended by CR LF.
    EXPECT_EQ(Base64Decode(python["b64"].toString().toStdString()), data);
    QByteArray fromUU;
    for (const QJsonValue& line : python["uu"].toArray())
      fromUU += UUDecodeLine(line.toString().toStdString());
    EXPECT_EQ(fromUU, data);
    const std::vector<std::string> pythonQP = TextLines(python["qp"].toString().toStdString());
    QByteArray expected = data;
    expected.replace("\n", "\r\n");
    EXPECT_EQ(TQuotedPrintable::Decode(pythonQP), expected);
  }
}

// Encoded and decoded again, text comes back byte for byte (line breaks as CR LF): the empty text
// and text that ends without a line break among it.
TEST(Codecs, QuotedPrintableGivesBackWhatItWasGiven) {
  for (const QByteArray& text :
       {QByteArray(), QByteArray("a"), QByteArray("\r\n"), QByteArray("a\r\n\r\n"), QByteArray("="),
        QByteArray("blank at the end "), QByteArray("\x1a"), QByteArray(200, '\xe9') + "\r\nlast"})
    EXPECT_EQ(TQuotedPrintable::Decode(OurQuotedPrintable(text)), text) << text.toStdString();
}

TEST(Codecs, Base64SkipsWhitespaceAndRefusesStrangers) {
  EXPECT_EQ(Base64Decode(" SGVs\r\n bG8g\td29y\nbGQ= "), "Hello world");
  EXPECT_EQ(Base64Decode("."), "");
  EXPECT_EQ(Base64Decode("YQ==Yg=="), "ab");  // written line by line, each with its fill
  const std::string big = QByteArray(100000, 'x').toBase64().toStdString();
  EXPECT_EQ(Base64Decode(big), QByteArray(100000, 'x'));
  for (const char* bad : {"SGVs*G8=", "S", "SGVsb"}) {
    EXPECT_THROW(Base64Decode(bad), EInOutError) << bad;
  }
}

TEST(Codecs, UuencodeLinesAndBeginLines) {
  EXPECT_EQ(UUEncodeLine("abc"), "#86)C`");  // the length and five characters
  EXPECT_EQ(UUEncodeLine(std::string(45, '\0')), "M" + std::string(60, '`'));
  EXPECT_EQ(UUDecodeLine("#86)C"), "abc");
  EXPECT_EQ(UUDecodeLine("#86)"), "ab@");  // a short line: the missing character reads as zero bits
  EXPECT_EQ(UUDecodeLine("M"), QByteArray(45, '\0'));
  EXPECT_EQ(UUDecodeLine(""), "");
  EXPECT_THROW(UUDecodeLine("#86)\x7f"), EInOutError);

  const std::vector<std::tuple<std::string, bool, std::string>> lines = {
      {"begin 644 data.bin", true, "data.bin"},
      {"BEGIN 600 \"two words.txt\"", true, "two words.txt"},
      {"begin 0644 x", true, "x"},
      {"begin 644 trailing  ", true, "trailing"},
      {"begin the meeting at 10", false, ""},
      {"begin 644", true, ""},
      {"begin 644 ", true, ""},  // a file without a name, as the encoder writes it
      {"begin 999 x.txt", false, ""},
      {"beginning 644 x", false, ""},
      {"begin", false, ""},
  };
  for (const auto& [line, begins, name] : lines) {
    EXPECT_EQ(IsUUBegin(line), begins) << line;
    EXPECT_EQ(UUFileName(line), name) << line;
  }
}

TEST(HeaderText, ParametersAndEncodedWords) {
  const std::string type = "multipart/mixed; xboundary=wrong; Boundary=\"a;b c\"; charset=utf-8 ;name=x.pdf";
  EXPECT_EQ(GetParam("boundary", type), "a;b c");
  EXPECT_EQ(GetParam("charset", type), "utf-8");
  EXPECT_EQ(GetParam("name", type), "x.pdf");
  EXPECT_EQ(GetParam("filename", "attachment; filename=\"say \\\"hi\\\".txt\""), "say \"hi\".txt");
  EXPECT_EQ(GetParam("bound", type), "");
  EXPECT_EQ(GetParam("name", "text/plain"), "");
  // Sections of RFC 2231 as other mailers write them: plain and extended, in any order.
  EXPECT_EQ(
      GetExtendedParam("name", "text/plain; name*1*=%E9t%E9; name*0*=iso-8859-1'fr'caf; name*2=\".txt\""),
      "caf\xe9t\xe9.txt");

  const std::vector<std::pair<std::string, std::string>> words = {
      {"=?ISO-8859-1?Q?a?=", "a"},
      {"=?ISO-8859-1?Q?a?= b", "a b"},
      {"=?ISO-8859-1?Q?a?= =?ISO-8859-1?Q?b?=", "ab"},
      {"=?ISO-8859-1?Q?a?=  \t =?ISO-8859-1?Q?b?=", "ab"},
      {"=?ISO-8859-1?Q?a_b?=", "a b"},
      {"under_score =?us-ascii?Q?x?=", "under_score x"},  // "_" counts only inside a word
      {"=?utf-8?B?4oKsIDEw?=", "\x80 10"},
      {"=?utf-8*en?Q?caf=C3=A9?=", "caf\xe9"},
      {"=?x?Q?broken", "=?x?Q?broken"},
      {"=?x?B?***?= stays", "=?x?B?***?= stays"},
      {"=?=?=?", "=?=?=?"},
      {"=?iso-8859-1?q?this=20is=20some=20text?=", "this is some text"},
  };
  for (const auto& [text, decoded] : words) EXPECT_EQ(DecodeHeaderWords(text), decoded) << text;
}

}  // namespace
}  // namespace mail
