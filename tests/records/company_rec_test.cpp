#include "records/company_rec.h"

#include <gtest/gtest.h>

#include <cstring>

#include "platform/text/key_text.h"
#include "platform/text/number_text.h"

namespace records {
namespace {

using platform::text::TrimBlanks;
using platform::text::TryStrToInt;

TEST(CompanyRecTest, FieldsKeepTheirBytesThroughACopyOfTheRecord) {
  CompanyRec company;
  company.CompanyNumber.Set("12");
  company.FormLineWidth.Set("12");  // one digit wide: the second is cut
  company.CurrencySymbol.Set("$$");
  company.EditorFontSize.Set(10);
  company.EditorFontColor.Set(-2);
  company.PrintDuplicatePO.Set("Y");
  company.SalesMsgFont.Set("Times New Roman", 11, 0x00FF00, FontStyleItalic | FontStyleUnderline);
  company.AgingCaption3.Set("61-90 days and more");

  unsigned char bytes[sizeof(CompanyRec)];
  std::memcpy(bytes, &company, sizeof bytes);
  EXPECT_EQ(bytes[40], 2);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(&bytes[41]), 2), "12");
  EXPECT_EQ(bytes[1151], 1);
  EXPECT_EQ(bytes[1152], '1');
  EXPECT_EQ(bytes[1153], 0) << "the next option must stay untouched";
  EXPECT_EQ(bytes[2656], 1);
  EXPECT_EQ(bytes[2658], 0);
  const unsigned char size10[4] = {10, 0, 0, 0}, minus2[4] = {0xFE, 0xFF, 0xFF, 0xFF};
  EXPECT_EQ(std::memcmp(&bytes[416], size10, 4), 0);
  EXPECT_EQ(std::memcmp(&bytes[420], minus2, 4), 0);
  EXPECT_EQ(bytes[3075], 1);
  EXPECT_EQ(bytes[3076], 'Y');
  EXPECT_EQ(bytes[1968], 15);
  EXPECT_EQ(bytes[1968 + 36], 11);
  EXPECT_EQ(bytes[1968 + 41], 0xFF);  // colour 0x00BBGGRR, little-endian: green is the second byte
  EXPECT_EQ(bytes[1968 + 44], FontStyleItalic | FontStyleUnderline);
  EXPECT_EQ(bytes[3589], 10);

  CompanyRec copy;
  std::memcpy(&copy, bytes, sizeof copy);
  EXPECT_EQ(copy.CompanyNumber.Get(), "12");
  EXPECT_EQ(copy.FormLineWidth.Get(), "1");
  EXPECT_EQ(copy.EditorFontColor.Get(), -2);
  EXPECT_EQ(copy.SalesMsgFont.Name.Get(), "Times New Roman");
  EXPECT_EQ(copy.SalesMsgFont.Color.Get(), 0x00FF00);
  EXPECT_EQ(copy.AgingCaption3.Get(), "61-90 days");
}

TEST(CompanyRecTest, KeysAreTrimmedPaddedUpperCasedAndCut) {
  CompanyRec company;
  company.CompanyNumber.Set(" 7 ");
  company.CompanyName.Set("  Harbor Supply & Tackle Company of the North ");
  EXPECT_EQ(BuildCompanyKey(company, 1), "7    ");
  EXPECT_EQ(BuildCompanyKey(company, 2), "HARBOR SUPPLY & TACKLE COMPANY");
  company.CompanyName.Set("Ace");
  EXPECT_EQ(BuildCompanyKey(company, 2), "ACE" + std::string(27, ' '));
  company.CompanyNumber.Set("12345");
  EXPECT_EQ(BuildCompanyKey(company, 1), "12345");
  EXPECT_EQ(BuildCompanyKey(company, 0), "");
  EXPECT_EQ(BuildCompanyKey(company, 3), "");
}

TEST(CompanyRecTest, CompanyNumbersThatWouldMakeUnsafeOrCollidingFileNamesAreRefused) {
  for (const char* good : {"1", "7", "32000", "12345", " 42 ", "A1", "b22"})
    EXPECT_TRUE(IsValidCompanyNumber(good)) << good;
  for (const char* bad : {"",
                          "   ",
                          ".",
                          "..",
                          "../1",
                          "1/2",
                          "1\\2",
                          "/",
                          "\\",
                          "1 2",
                          "1.5",
                          "-5",
                          "+5",
                          "123456",
                          "1P",
                          "12d",
                          "1*",
                          "\t",
                          "1\x7F",
                          "\xE9"
                          "1"})
    EXPECT_FALSE(IsValidCompanyNumber(bad)) << bad;
}

TEST(CompanyRecTest, DataFileBaseNamesAreTheNumberAndTheFileCode) {
  std::vector<std::string> names;
  for (std::string_view code :
       {FileCodeProducts, FileCodeCustomers, FileCodeInvoices, FileCodeInvoiceLines, FileCodeInvoiceMemos,
        FileCodePurchaseOrders, FileCodePOLines, FileCodePOMemos, FileCodeVendors})
    names.push_back(DataFileBaseName("12345", code).value_or("refused"));
  EXPECT_EQ(names, (std::vector<std::string>{"12345P", "12345C", "12345I", "12345D", "12345M", "12345O",
                                             "12345PD", "12345PM", "12345V"}));
  EXPECT_EQ(DataFileBaseName(" 12 ", FileCodeInvoices), "12I");
  EXPECT_EQ(DataFileBaseName("..", FileCodeCustomers), std::nullopt);
  EXPECT_EQ(DataFileBaseName("", FileCodeCustomers), std::nullopt);
  EXPECT_EQ(DataFileBaseName("1/x", FileCodeCustomers), std::nullopt);
}

// Texts that the printed forms convert with StrToInt(Trim(...)) must convert.
void ExpectWholeNumber(const std::string& text, const char* what) {
  EXPECT_TRUE(TryStrToInt(TrimBlanks(text)).has_value()) << what << " = \"" << text << "\"";
}

void ExpectUsableFont(const FontRec& font, const char* what) {
  EXPECT_FALSE(TrimBlanks(font.Name.Get()).empty()) << what;
  EXPECT_GE(font.Size.Get(), 6) << what;
  EXPECT_LE(font.Size.Get(), 72) << what;
}

TEST(CompanyRecTest, ANewCompanyWithNoCompanyOpenStartsFromUsableSettings) {
  CompanyRec none;  // the program runs with an empty record until a company is set up
  none.CompanyName.Set("Please Setup Your Company.");
  ASSERT_FALSE(IsCompanyOpen(none));

  CompanyRec fresh = NewCompanyRecord(none);
  ExpectUsableFont(fresh.InvBodyFont, "body text font");
  ExpectUsableFont(fresh.CapHeadFont, "captions font");
  ExpectUsableFont(fresh.CompHeadFont, "company address font");
  ExpectUsableFont(fresh.CustHeadFont, "customer address font");
  ExpectUsableFont(fresh.ColHeadFont, "aging font");
  ExpectUsableFont(fresh.SalesMsgFont, "sales message font");
  ExpectUsableFont(fresh.EnvelopeFont, "envelope font");
  EXPECT_EQ(fresh.EditorFontName.Get(), "Arial");
  EXPECT_EQ(fresh.EditorFontSize.Get(), 10);
  EXPECT_EQ(fresh.BrowserFontName.Get(), "Courier New");
  EXPECT_EQ(fresh.BrowserFontSize.Get(), 10);

  EXPECT_EQ(fresh.InvoiceCaption.Get(), "INVOICE");
  EXPECT_EQ(fresh.StatementCaption.Get(), "STATEMENT");
  EXPECT_EQ(fresh.PackingSlipCaption.Get(), "Packing Slip");
  EXPECT_EQ(fresh.FileCopyCaption.Get(), "File Copy");
  EXPECT_EQ(fresh.POCaption.Get(), "Purchase Order");
  EXPECT_EQ(fresh.POCopyCaption.Get(), "PO Copy");
  for (const auto* heading :
       {&fresh.ProductCodeHeader, &fresh.QuantityHeader, &fresh.UnitPriceHeader, &fresh.ExtensionHeader})
    EXPECT_FALSE(TrimBlanks(heading->Get()).empty());
  EXPECT_FALSE(TrimBlanks(fresh.DescriptionHeader.Get()).empty());

  ExpectWholeNumber(fresh.FormLineWidth.Get(), "line width");
  ExpectWholeNumber(fresh.BoxTop.Get(), "box top");
  ExpectWholeNumber(fresh.FormTopMargin.Get(), "top margin");
  ExpectWholeNumber(fresh.FormLeftMargin.Get(), "left margin");
  ExpectWholeNumber(fresh.MaxLines.Get(), "maximum lines");
  ExpectWholeNumber(fresh.AddressIndent.Get(), "address indent");
  ExpectWholeNumber(fresh.ShadeLineSpacing.Get(), "line spacing");
  ExpectWholeNumber(fresh.FileCopyCount.Get(), "invoice copies");
  ExpectWholeNumber(fresh.POFileCopyCount.Get(), "PO copies");
  ExpectWholeNumber(fresh.EnvelopeLineSpacing.Get(), "envelope line spacing");
  ExpectWholeNumber(fresh.EnvelopeLeftMargin.Get(), "envelope left margin");
  ExpectWholeNumber(fresh.EnvelopeTopMargin.Get(), "envelope top margin");
  ExpectWholeNumber(fresh.EnvelopeSendAddressLeft.Get(), "envelope address left");
  ExpectWholeNumber(fresh.AgingDays1.Get(), "aging days 1");
  ExpectWholeNumber(fresh.AgingDays3.Get(), "aging days 3");
  EXPECT_EQ(fresh.DateOrder.Get(), "M");
  EXPECT_EQ(fresh.BarCodeType.Get(), "3");

  // The new-company steps still apply on top of the built-in settings.
  EXPECT_EQ(fresh.CompanyARBalance.Get(), "0.00");
  EXPECT_EQ(fresh.CompanyName.Get(), "");
  EXPECT_EQ(fresh.POSignature1.Get(), "This PO is issued according to the terms of our Operating Agreement");
}

TEST(CompanyRecTest, ANewCompanyInheritsTheOpenCompanysSettingsWithItsRunDataReset) {
  CompanyRec open = DefaultCompanyRecord();
  open.CompanyNumber.Set("3");
  open.CompanyName.Set("Harbor Supply");
  open.CompanyARBalance.Set("1234.56");
  open.InvoiceCaption.Set("BILL");
  open.TaxName.Set("GST");
  open.CapHeadFont.Set("Times New Roman", 18, 0x0000FF, FontStyleBold);
  open.EnvelopeOrientation.Set("P");
  open.PrintLogo = 1;
  open.LogoFile.Set("logo.bmp");
  open.LastAgingDate.Set("12/01/2026");
  open.LastInterestInvoicesDate.Set("11/30/2026");
  open.LastBatchRun.Set("11/29/2026");
  open.NextDepositNumber.Set("17");
  open.StatementNote.Set("Thank you");
  open.POSignature1.Set("Signed");
  open.Unused3172[0] = 0x5A;  // bytes without meaning are carried over as they are
  ASSERT_TRUE(IsCompanyOpen(open));

  CurrentCompany = open;
  PrepareNewCompanyRecord();
  const CompanyRec& fresh = CompanyWorkRec;
  EXPECT_EQ(fresh.CompanyName.Get(), "Harbor Supply");  // the dialog replaces identity fields
  EXPECT_EQ(fresh.InvoiceCaption.Get(), "BILL");
  EXPECT_EQ(fresh.TaxName.Get(), "GST");
  EXPECT_EQ(fresh.CapHeadFont.Name.Get(), "Times New Roman");
  EXPECT_EQ(fresh.CapHeadFont.Size.Get(), 18);
  EXPECT_EQ(fresh.EnvelopeOrientation.Get(), "P");
  EXPECT_EQ(fresh.Unused3172[0], 0x5A);

  EXPECT_EQ(fresh.CompanyARBalance.Get(), "0.00");
  EXPECT_EQ(fresh.PrintLogo, 0);
  EXPECT_EQ(fresh.LogoFile.Get(), "");
  for (const auto* blank :
       {&fresh.LastAgingDate, &fresh.LastInterestInvoicesDate, &fresh.LastBatchRun, &fresh.NextDepositNumber})
    EXPECT_EQ(blank->Get(), " ");
  EXPECT_EQ(fresh.StatementNote.Get(), " ");
  EXPECT_EQ(fresh.POSignature1.Get(), "This PO is issued according to the terms of our Operating Agreement");
  EXPECT_EQ(fresh.POSignature2.Get(), "Purchasing Agent Signature: ___________________________");

  EXPECT_EQ(std::memcmp(&InvoiceHeaderFonts[1], &fresh.CapHeadFont, sizeof(FontRec)), 0);
  EXPECT_EQ(std::memcmp(&InvoiceHeaderFonts[5], &fresh.SalesMsgFont, sizeof(FontRec)), 0);
  EXPECT_EQ(InvoiceHeaderFonts[0].Name.Get(), "Arial");
  CurrentCompany = CompanyRec{};
  CompanyWorkRec = CompanyRec{};
}

}  // namespace
}  // namespace records
