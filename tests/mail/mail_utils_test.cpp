#include "mail/mail_utils.h"

#include <gtest/gtest.h>

#include <QFile>

#include "mail/mail_address.h"
#include "platform/net/expect_error.h"
#include "platform/net/scripted_peer.h"

namespace mail {
namespace {

TmsMailAddress Parsed(const std::string& text) {
  TmsMailAddress address;
  ParseAddress(text, address);
  return address;
}

TEST(ParseAddress, ReadsTheThreeFormsOfAnAddress) {
  TmsMailAddress quoted = Parsed("\"Smith, John\" <john@example.com>");
  EXPECT_EQ(quoted.Name(), "Smith, John");
  EXPECT_EQ(quoted.Address(), "john@example.com");
  TmsMailAddress commented = Parsed("mary@example.com (Mary Jones)");
  EXPECT_EQ(commented.Address(), "mary@example.com");
  EXPECT_EQ(commented.Name(), "Mary Jones");
  TmsMailAddress bare = Parsed("  bare@example.com");
  EXPECT_EQ(bare.Address(), "  bare@example.com");
  EXPECT_EQ(bare.Name(), "");
  testing_support::ExpectError<std::runtime_error>([] { Parsed("Bob <bob@example.com"); },
                                                   "Unable to parse email address");
}

TEST(ParseAddress, CutsNamesAndAddressesAt255Characters) {
  TmsMailAddress address = Parsed(std::string(300, 'n') + " <" + std::string(300, 'a') + ">");
  EXPECT_EQ(address.Name(), std::string(255, 'n'));
  EXPECT_EQ(address.Address(), std::string(255, 'a'));
}

TEST(HeaderParameters, StripQuotesGetParamAndExtractToken) {
  EXPECT_EQ(StripQuotes("  \"\"quoted\"  "), "quoted");
  const std::string type = "multipart/mixed; boundary=\"12345678 x\"; charset=us-ascii;";
  EXPECT_EQ(GetParam("BOUNDARY", type), "12345678 x");
  EXPECT_EQ(GetParam("charset", type), "us-ascii");
  EXPECT_EQ(GetParam("name", type), "");
  EXPECT_EQ(ExtractToken(type), "multipart/mixed");
  EXPECT_EQ(ExtractToken("text/plain"), "text/plain");
}

TEST(ContentTypes, ComeFromTheFileExtension) {
  EXPECT_EQ(MimeTypeOf("INVOICE.PDF"), "application/pdf");
  EXPECT_EQ(MimeTypeOf("c:\\letters\\note.txt"), "text/plain");
  EXPECT_EQ(MimeTypeOf("data.qqqzzz"), "application/octet-stream");
  EXPECT_EQ(MimeTypeOf("README"), "application/octet-stream");
}

TEST(TimeZone, ZoneSuffixAndTheLocalZone) {
  EXPECT_EQ(ZoneSuffix(-300), "-0500");
  EXPECT_EQ(ZoneSuffix(60), "+0100");
  EXPECT_EQ(ZoneSuffix(-330), "-0530");
  EXPECT_EQ(ZoneSuffix(0), "+0000");
  const std::string zone = LocalZone();
  const bool numeric = zone.size() == 5 && (zone[0] == '+' || zone[0] == '-') &&
                       zone.find_first_not_of("0123456789", 1) == std::string::npos;
  EXPECT_TRUE(zone == "GMT" || numeric) << zone;
}

TEST(TempFileStream, IsANewFileInTheTemporaryFolderGoneAfterwards) {
  QString name;
  {
    TmsTempFileStream first;
    TmsTempFileStream second;
    name = first.fileName();
    EXPECT_NE(name, second.fileName());
    EXPECT_TRUE(name.section('/', -1).startsWith("ms"));
    EXPECT_EQ(first.write("abc"), 3);
    first.flush();
    EXPECT_EQ(QFile(name).size(), 3);
  }
  EXPECT_FALSE(QFile::exists(name));
}

}  // namespace
}  // namespace mail
