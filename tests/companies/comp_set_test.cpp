// The "Company Options" dialog, worked through the UI seam: the defaults a new company gets, the
// round trip of every field of an edited company, and the checks of Save.

#include "companies/comp_set.h"

#include <gtest/gtest.h>

#include <QImage>
#include <fstream>
#include <memory>

#include "forms/header_form.h"
#include "platform/ui/application.h"
#include "platform/ui/support/ui_script.h"
#include "records/company_file.h"
#include "support/temp_dir.h"

using namespace records;
using namespace forms;

namespace {

using companies::TCompSet;
using platform::ui::mrCancel;
using platform::ui::mrNone;
using platform::ui::mrOk;
using records::CompanyRec;
using testing_support::UiEvent;
using testing_support::UiScript;

// A company whose every setting differs from the built-in defaults, as a company set up by hand
// over the years would look.
CompanyRec SettledCompany() {
  CompanyRec r = records::DefaultCompanyRecord();
  r.CompanyName.Set("Harbour Supplies");
  r.CompanyNumber.Set("4");
  r.CompanyARBalance.Set("1234.56");
  r.CompanyAddr1.Set("12 Quay Street");
  r.CompanyAddr2.Set("Suite 3");
  r.CompanyAddr3.Set("Portsmouth");
  r.CompanyAddr4.Set("PO1 2AB");
  r.POShipTo1.Set("Dock 4");
  r.POShipTo2.Set("Gate B");
  r.POShipTo3.Set("Portsmouth");
  r.POShipTo4.Set("PO1 9ZZ");
  r.CompanyContact.Set("Mara Venn");
  r.DefaultTaxRate.Set("8.125");
  r.CalculateInvoiceTaxes = 1;
  r.CalculatePOTaxes = 0;
  r.TaxName.Set("VAT");
  r.BarCodeType.Set("U");
  r.BarCodesOnInvoices.Set("Y");
  r.BarCodesOnPOs.Set("N");
  r.BarCodeInvoiceNumbers.Set("Y");
  r.BarCodePONumbers.Set("N");
  r.BarCodesOnLabels.Set("Y");
  r.EnvelopeFont.Set("Liberation Serif", 14, 0x0000FF, records::FontStyleItalic);
  r.EnvelopeOrientation.Set("P");
  r.EnvelopeLineSpacing.Set("55");
  r.EnvelopeLeftMargin.Set("120");
  r.EnvelopeTopMargin.Set("130");
  r.EnvelopeSendAddressLeft.Set("900");
  r.EnvelopeAddressUsed.Set("S");
  r.PrintReturnAddress.Set("N");
  r.CompanyEMail.Set("office@harbour.example");
  r.SmtpHost.Set("mail.harbour.example");
  r.DefaultOutputEMail.Set("Y");
  r.EMailRuleLines.Set("N");
  r.EMailWithoutAddress.Set("Y");
  r.SmtpUserName.Set("office");
  r.SmtpPassword.Set("s3cret");
  r.VerticalLines = 0;
  r.HorizontalLines = 1;
  r.FormLineWidth.Set("2");
  r.BoxAroundStatements = 0;
  r.BoxAroundForm = 1;
  r.PrintCustomerAging = 0;
  r.UseShading = 1;
  r.LetterheadStyle = 1;
  r.PrintSalesMessage = 0;
  r.ProductCodesOnInvoices = 0;
  r.ProductCodesOnPOs = 1;
  r.MoveDownTotals = 1;
  r.BoxTop.Set("25");
  r.FormTopMargin.Set("40");
  r.FormLeftMargin.Set("45");
  r.PrintLogo = 1;
  r.LogoFile.Set("logo.bmp");
  r.MaxLines.Set("30");
  r.OmitCompanyAddress.Set("Y");
  r.AddressIndent.Set("15");
  r.ShadeLineSpacing.Set("12");
  r.ShadeLineStyle.Set("L");
  r.ReceiptPrinter.Set("Y");
  r.TotalQuantities = 1;
  r.DateOrder.Set("D");
  r.ShowButtonHints = 0;
  r.NextCustomerNumber.Set("1500");
  r.CopyBillingToShipping = 0;
  r.AuditTrail.Set("Y");
  r.BackupOnExit.Set("Y");
  r.NextVendorNumber.Set("700");
  r.CurrencySymbol.Set("$");
  r.NextInvoiceNumber.Set("20417");
  r.PrintDuplicateInvoice = 1;
  r.DefaultInvoiceQuantity.Set("2.00");
  r.DefaultInvoiceTerms.Set("Net 10 Days");
  r.InvoiceNumberPrefix.Set("Y");
  r.InvoicePrintFlagDefault = 1;
  r.DefaultInvoiceKind.Set("M");
  r.PrintPackingSlips = 1;
  r.PrintFileCopies = 1;
  r.NewInvoiceToLabelQueue.Set("Y");
  r.BatchCopyToLabelQueue.Set("Y");
  r.FileCopyCount.Set("3");
  r.AgingCaption1.Set("0-45:");
  r.AgingCaption2.Set("46-75:");
  r.AgingCaption3.Set("76-120:");
  r.AgingDays1.Set("45");
  r.AgingDays2.Set("75");
  r.AgingDays3.Set("120");
  r.HideCost = 1;
  r.NextPONumber.Set("50321");
  r.NextReceiverNumber.Set("90077");
  r.POSignature1.Set("Deliver between 8 and 4");
  r.POSignature2.Set("Buyer: ________");
  r.AutoReceivePOs = 1;
  r.POPrintFlagDefault = 1;
  r.PONumberPrefix.Set("Y");
  r.PrintDuplicatePO.Set("Y");
  r.NewPOToLabelQueue.Set("Y");
  r.POBatchCopyToLabelQueue.Set("Y");
  r.POPrintFileCopies = 1;
  r.POFileCopyCount.Set("2");
  r.DefaultPOTerms.Set("Net 60 Days");
  r.DefaultPOKind.Set("M");
  r.SalesMessage1.Set("Thank you");
  r.SalesMessage2.Set("for your order");
  r.SalesMessage3.Set("Returns within 30 days");
  r.SalesMessage4.Set("www.harbour.example");
  r.POMessage1.Set("Quote our PO number");
  r.POMessage2.Set("on every invoice");
  r.POMessage3.Set("and delivery note");
  r.POMessage4.Set("Thanks");
  r.BackgroundFlag = 0;
  r.BackgroundBitmap.Set("sea.bmp");
  r.EditorFontName.Set("Liberation Sans");
  r.EditorFontSize.Set(11);
  r.EditorFontColor.Set(0x008000);
  r.EditorFontStyle = records::FontStyleUnderline;
  r.BrowserFontName.Set("Liberation Mono");
  r.BrowserFontSize.Set(9);
  r.BrowserFontColor.Set(0x800000);
  r.BrowserFontStyle = records::FontStyleBold;
  r.InvoiceCaption.Set("TAX INVOICE");
  r.LastAgingDate.Set("03/12/2026");
  r.InvoiceManagerStartNumber.Set("20000");
  return r;
}

// The offset of the first byte where two records differ, -1 when they are equal.
int FirstDifference(const CompanyRec& a, const CompanyRec& b) {
  const auto* x = reinterpret_cast<const unsigned char*>(&a);
  const auto* y = reinterpret_cast<const unsigned char*>(&b);
  for (std::size_t i = 0; i < sizeof(CompanyRec); ++i)
    if (x[i] != y[i]) return static_cast<int>(i);
  return -1;
}

class CompSetTest : public ::testing::Test {
 protected:
  void SetUp() override {
    records::CurrentCompany = SettledCompany();
    records::CompanyWorkRec = records::CurrentCompany;
    records::CurrentCompanyEdited = false;
    dialog = platform::ui::CreateForm<TCompSet>();
  }

  // Shows the dialog and presses Save (after `edit` has worked the controls); the dialog's
  // modal result.
  platform::ui::TModalResult Save(const std::function<void(TCompSet&)>& edit = {}) {
    ui.OnModal<TCompSet>([&](TCompSet& d) {
      if (edit) edit(d);
      d.OKButtonClick();
    });
    return dialog->ShowModal();
  }

  // Saves an edit of `record` and returns what the dialog stored over it.
  CompanyRec EditAndStore(const CompanyRec& record, const std::function<void(TCompSet&)>& edit) {
    records::CompanyWorkRec = record;
    dialog->LoadFromRecord(record);
    EXPECT_EQ(Save(edit), mrOk);
    dialog->StoreToRecord(records::CompanyWorkRec);
    return records::CompanyWorkRec;
  }

  testing_support::TempDir dir;
  UiScript ui;
  std::unique_ptr<TCompSet> dialog;
};

TEST_F(CompSetTest, NewCompanyRecordHoldsTheDefaultsFieldByField) {
  records::PrepareNewCompanyRecord();
  dialog->LoadNewCompanyDefaults(records::CompanyWorkRec, 2);
  EXPECT_EQ(dialog->CoNumb->text(), "3");
  EXPECT_TRUE(dialog->CoNumb->isEnabled());
  // The open company's own terms must not show through: the new company starts on Net 30.
  EXPECT_EQ(dialog->DFTerms->currentText(), "Net 30 Days");
  std::ofstream("PVTERMS.DAT", std::ios::binary) << "Net 10 Days\r\nNet 30 Days\r\nCash\r\n";
  EXPECT_EQ(Save([](TCompSet& d) {
              // Showing the dialog fills the lists from the terms file and keeps the new company's terms.
              EXPECT_EQ(d.DFTerms->count(), 3);
              EXPECT_EQ(d.DPOTerms->count(), 3);
              EXPECT_EQ(d.DFTerms->currentText(), "Net 30 Days");
              d.CName->setText("Second Shop");
            }),
            mrOk);
  dialog->StoreToRecord(records::CompanyWorkRec);
  const CompanyRec& r = records::CompanyWorkRec;
  const CompanyRec& open = records::CurrentCompany;

  // Identity and "Address/Taxes".
  EXPECT_EQ(r.CompanyName.Get(), "Second Shop");
  EXPECT_EQ(r.CompanyNumber.Get(), "3");
  EXPECT_EQ(r.CompanyARBalance.Get(), "0.00");
  for (auto* field : {&r.CompanyAddr1, &r.CompanyAddr2, &r.CompanyAddr3, &r.CompanyAddr4, &r.CompanyContact,
                      &r.POShipTo1, &r.POShipTo2, &r.POShipTo3, &r.POShipTo4})
    EXPECT_EQ(field->Get(), "");
  EXPECT_EQ(r.DefaultTaxRate.Get(), "0.000");
  EXPECT_EQ(r.CalculateInvoiceTaxes, 1);
  EXPECT_EQ(r.CalculatePOTaxes, 1);
  EXPECT_EQ(r.TaxName.Get(), "VAT");  // inherited

  // "Bar Codes".
  EXPECT_EQ(r.BarCodeType.Get(), "3");
  for (auto* field : {&r.BarCodesOnInvoices, &r.BarCodesOnPOs, &r.BarCodeInvoiceNumbers, &r.BarCodePONumbers,
                      &r.BarCodesOnLabels})
    EXPECT_EQ(field->Get(), "N");

  // "Envelopes/E-Mail": layout inherited, mail settings fresh.
  EXPECT_EQ(r.EnvelopeFont.Name.Get(), "Liberation Serif");
  EXPECT_EQ(r.EnvelopeFont.Size.Get(), 14);
  EXPECT_EQ(r.EnvelopeFont.Color.Get(), 0x0000FF);
  EXPECT_EQ(r.EnvelopeFont.Style, records::FontStyleItalic);
  EXPECT_EQ(r.EnvelopeOrientation.Get(), "P");
  EXPECT_EQ(r.EnvelopeLineSpacing.Get(), "55");
  EXPECT_EQ(r.EnvelopeLeftMargin.Get(), "120");
  EXPECT_EQ(r.EnvelopeTopMargin.Get(), "130");
  EXPECT_EQ(r.EnvelopeSendAddressLeft.Get(), "900");
  EXPECT_EQ(r.EnvelopeAddressUsed.Get(), "S");
  EXPECT_EQ(r.PrintReturnAddress.Get(), "Y");
  EXPECT_EQ(r.CompanyEMail.Get(), "");
  EXPECT_EQ(r.SmtpHost.Get(), "");
  EXPECT_EQ(r.DefaultOutputEMail.Get(), "N");
  EXPECT_EQ(r.EMailRuleLines.Get(), "Y");
  EXPECT_EQ(r.EMailWithoutAddress.Get(), "N");
  EXPECT_EQ(r.SmtpUserName.Get(), "");
  EXPECT_EQ(r.SmtpPassword.Get(), "");

  // "Forms Setup/Headers/Fonts/ Colors".
  EXPECT_EQ(r.VerticalLines, open.VerticalLines);
  EXPECT_EQ(r.HorizontalLines, open.HorizontalLines);
  EXPECT_EQ(r.FormLineWidth.Get(), "2");
  EXPECT_EQ(r.UseShading, 1);
  EXPECT_EQ(r.LetterheadStyle, 1);
  EXPECT_EQ(r.ProductCodesOnPOs, 1);
  EXPECT_EQ(r.MoveDownTotals, 1);
  EXPECT_EQ(r.BoxTop.Get(), "25");
  EXPECT_EQ(r.FormTopMargin.Get(), "40");
  EXPECT_EQ(r.FormLeftMargin.Get(), "45");
  EXPECT_EQ(r.MaxLines.Get(), "30");
  EXPECT_EQ(r.PrintLogo, 0);
  EXPECT_EQ(r.LogoFile.Get(), "");
  EXPECT_EQ(r.OmitCompanyAddress.Get(), "N");
  EXPECT_EQ(r.AddressIndent.Get(), "0");
  EXPECT_EQ(r.ShadeLineSpacing.Get(), "8");
  EXPECT_EQ(r.ShadeLineStyle.Get(), "D");
  EXPECT_EQ(r.ReceiptPrinter.Get(), "N");
  EXPECT_EQ(r.TotalQuantities, 0);

  // "General Setup".
  EXPECT_EQ(r.DateOrder.Get(), "M");
  EXPECT_EQ(r.ShowButtonHints, 1);
  EXPECT_EQ(r.NextCustomerNumber.Get(), "1");
  EXPECT_EQ(r.CopyBillingToShipping, 1);
  EXPECT_EQ(r.AuditTrail.Get(), "N");
  EXPECT_EQ(r.BackupOnExit.Get(), "N");
  EXPECT_EQ(r.NextVendorNumber.Get(), "1");

  // "Invoices/Aging".
  EXPECT_EQ(r.NextInvoiceNumber.Get(), "10000");
  EXPECT_EQ(r.PrintDuplicateInvoice, 0);
  EXPECT_EQ(r.DefaultInvoiceQuantity.Get(), "1.00");
  EXPECT_EQ(r.DefaultInvoiceTerms.Get(), "Net 30 Days");
  EXPECT_EQ(r.InvoiceNumberPrefix.Get(), "N");
  EXPECT_EQ(r.DefaultInvoiceKind.Get(), "P");
  EXPECT_EQ(r.PrintPackingSlips, 0);
  EXPECT_EQ(r.PrintFileCopies, 0);
  EXPECT_EQ(r.FileCopyCount.Get(), "1");
  EXPECT_EQ(r.AgingCaption1.Get(), "Current:");
  EXPECT_EQ(r.AgingCaption2.Get(), "31-60:");
  EXPECT_EQ(r.AgingCaption3.Get(), "61-90:");
  EXPECT_EQ(r.AgingDays1.Get(), "30");
  EXPECT_EQ(r.AgingDays2.Get(), "60");
  EXPECT_EQ(r.AgingDays3.Get(), "90");

  // "PO/Receivers".
  EXPECT_EQ(r.NextPONumber.Get(), "50000");
  EXPECT_EQ(r.NextReceiverNumber.Get(), "90000");
  EXPECT_EQ(r.POSignature1.Get(), "This PO is issued according to the terms of our Operating Agreement");
  EXPECT_EQ(r.POSignature2.Get(), "Purchasing Agent Signature: ___________________________");
  EXPECT_EQ(r.PONumberPrefix.Get(), "N");
  EXPECT_EQ(r.PrintDuplicatePO.Get(), "N");
  EXPECT_EQ(r.POPrintFileCopies, 0);
  EXPECT_EQ(r.DefaultPOTerms.Get(), "Net 30 Days");
  EXPECT_EQ(r.DefaultPOKind.Get(), "P");

  // "Sales Messages".
  for (auto* field : {&r.SalesMessage1, &r.SalesMessage2, &r.SalesMessage3, &r.SalesMessage4, &r.POMessage1,
                      &r.POMessage2, &r.POMessage3, &r.POMessage4})
    EXPECT_EQ(field->Get(), "");

  // "System Graphics".
  EXPECT_EQ(r.BackgroundFlag, 1);
  EXPECT_EQ(r.BackgroundBitmap.Get(), "");  // the standard picture is not installed here
  EXPECT_EQ(r.EditorFontName.Get(), "Arial");
  EXPECT_EQ(r.EditorFontSize.Get(), 10);
  EXPECT_EQ(r.EditorFontColor.Get(), 0xFF0000);
  EXPECT_EQ(r.EditorFontStyle, records::FontStyleBold);
  EXPECT_EQ(r.BrowserFontName.Get(), "Courier New");
  EXPECT_EQ(r.BrowserFontSize.Get(), 10);
  EXPECT_EQ(r.BrowserFontColor.Get(), 0);
  EXPECT_EQ(r.BrowserFontStyle, 0);

  // The settings a new company leaves to its creator come from the open company, never from
  // whatever company the dialog showed before.
  EXPECT_EQ(r.CurrencySymbol.Get(), "$");
  EXPECT_EQ(r.InvoicePrintFlagDefault, 1);
  EXPECT_EQ(r.NewInvoiceToLabelQueue.Get(), "Y");
  EXPECT_EQ(r.POFileCopyCount.Get(), "2");
  EXPECT_EQ(r.InvoiceCaption.Get(), "TAX INVOICE");
  EXPECT_FALSE(records::CurrentCompanyEdited);
  EXPECT_TRUE(ui.Done());
}

TEST_F(CompSetTest, NewCompanyDefaultsDoNotDependOnTheCompanyShownBefore) {
  dialog->LoadFromRecord(SettledCompany());
  records::PrepareNewCompanyRecord();
  dialog->LoadNewCompanyDefaults(records::CompanyWorkRec, 0);
  EXPECT_EQ(dialog->CEMailAdd->text(), "");
  EXPECT_EQ(dialog->SM1->text(), "");
  EXPECT_TRUE(dialog->MMDDYY->isChecked());
  EXPECT_TRUE(dialog->BC1->isChecked());
  EXPECT_EQ(dialog->ComboBox1->currentText(), "dots");
  EXPECT_EQ(dialog->PicName->text(), "");
  // Where the standard background is installed, a new company starts with it.
  QImage(8, 8, QImage::Format_RGB32).save("ovt8.bmp", "BMP");
  dialog->LoadNewCompanyDefaults(records::CompanyWorkRec, 0);
  EXPECT_EQ(dialog->PicName->text(), "ovt8.bmp");
  EXPECT_TRUE(dialog->PictureShown());
  CompanyRec stored = records::CompanyWorkRec;
  dialog->StoreToRecord(stored);
  EXPECT_EQ(stored.BackgroundBitmap.Get(), "ovt8.bmp");
  EXPECT_EQ(dialog->CoNumb->text(), "1");
}

TEST_F(CompSetTest, EditRoundTripKeepsEveryField) {
  const CompanyRec settled = SettledCompany();
  CompanyRec stored = EditAndStore(settled, {});
  EXPECT_EQ(FirstDifference(stored, settled), -1);

  // The other side of every flag, Yes/No and code.
  CompanyRec other = records::DefaultCompanyRecord();
  other.CompanyName.Set("Other");
  other.CompanyNumber.Set("9");
  other.DateOrder.Set("M");
  other.DefaultTaxRate.Set("6.5");
  other.BarCodeType.Set("E");
  other.EnvelopeOrientation.Set("L");
  other.EnvelopeAddressUsed.Set("B");
  other.DefaultInvoiceKind.Set("P");
  other.DefaultPOKind.Set("P");
  other.ShadeLineStyle.Set("D");
  for (auto* yesNo : {&other.BarCodesOnPOs, &other.BarCodePONumbers, &other.PrintReturnAddress,
                      &other.EMailRuleLines, &other.DefaultOutputEMail})
    yesNo->Set("Y");
  other.CalculatePOTaxes = 1;
  other.VerticalLines = 1;
  other.BackgroundFlag = 1;
  other.PrintLogo = 1;
  other.LogoFile.Set("other.bmp");
  other.AgingDays1.Set("30");
  other.AgingDays2.Set("60");
  other.AgingDays3.Set("90");
  stored = EditAndStore(other, {});
  EXPECT_EQ(FirstDifference(stored, other), -1);
  EXPECT_TRUE(ui.Done());
}

TEST_F(CompSetTest, YearFirstDateOrderOfOlderDataIsKept) {
  CompanyRec record = SettledCompany();
  record.DateOrder.Set("Y");
  const CompanyRec stored = EditAndStore(record, [](TCompSet& d) {
    EXPECT_FALSE(d.MMDDYY->isChecked());
    EXPECT_FALSE(d.DDMMYY->isChecked());
  });
  EXPECT_EQ(stored.DateOrder.Get(), "Y");
}

TEST_F(CompSetTest, EditsOnEveryTabReachTheirFields) {
  const CompanyRec stored = EditAndStore(SettledCompany(), [](TCompSet& d) {
    EXPECT_FALSE(d.CoNumb->isEnabled());
    // Tab from the rate reaches the heading beside it before the check boxes under them.
    EXPECT_EQ(testing_support::WalkTabs(d.TaxCRate, 2),
              (std::vector<QWidget*>{d.TaxCRate, d.TaxName, d.CalcTaxes}));
    d.CAdd2->setText("Unit 7");
    d.TaxCRate->setText("");
    d.BCEan13->setChecked(true);
    d.LandSCB->setChecked(true);
    d.EMUser->setText("  clerk  ");
    d.UseBmpCB->setChecked(false);
    d.PushAddr->setText("  ");
    d.MaskEdit1->setText("");
    d.ComboBox1->setCurrentText("dots");
    d.MMDDYY->setChecked(true);
    d.NxtVenNo->setText(" 812 ");
    d.NumCpys->setText("7");
    d.DProd->setChecked(true);
    d.DFTerms->setEditText("Due on receipt");
    d.MENumPOCopy->setText("5");
    d.PMemo->setChecked(true);
    d.SM3->setText("Closed on Sundays");
    d.TCBitmaps->setChecked(true);
  });
  EXPECT_EQ(stored.CompanyNumber.Get(), "4");
  EXPECT_EQ(stored.CompanyAddr2.Get(), "Unit 7");
  EXPECT_EQ(stored.DefaultTaxRate.Get(), "0.000");
  EXPECT_EQ(stored.BarCodeType.Get(), "E");
  EXPECT_EQ(stored.EnvelopeOrientation.Get(), "L");
  EXPECT_EQ(stored.SmtpUserName.Get(), "clerk");
  EXPECT_EQ(stored.PrintLogo, 0);
  EXPECT_EQ(stored.LogoFile.Get(), "");  // an edited company without a logo forgets its path
  EXPECT_EQ(stored.AddressIndent.Get(), "0");
  EXPECT_EQ(stored.ShadeLineSpacing.Get(), "8");
  EXPECT_EQ(stored.ShadeLineStyle.Get(), "D");
  EXPECT_EQ(stored.DateOrder.Get(), "M");
  EXPECT_EQ(stored.NextVendorNumber.Get(), "812");
  EXPECT_EQ(stored.FileCopyCount.Get(), "1");
  EXPECT_EQ(stored.DefaultInvoiceKind.Get(), "P");
  EXPECT_EQ(stored.DefaultInvoiceTerms.Get(), "Due on receipt");
  EXPECT_EQ(stored.POFileCopyCount.Get(), "5");
  EXPECT_EQ(stored.DefaultPOKind.Get(), "M");
  EXPECT_EQ(stored.SalesMessage3.Get(), "Closed on Sundays");
  EXPECT_EQ(stored.BackgroundFlag, 1);
  // What the dialog does not carry stays as it was.
  EXPECT_EQ(stored.CompanyARBalance.Get(), "1234.56");
  EXPECT_EQ(stored.InvoiceCaption.Get(), "TAX INVOICE");
  EXPECT_EQ(stored.LastAgingDate.Get(), "03/12/2026");
  EXPECT_EQ(stored.BackgroundBitmap.Get(), "sea.bmp");
  // The open company itself was saved.
  EXPECT_TRUE(records::CurrentCompanyEdited);
  EXPECT_TRUE(ui.Done());
}

TEST_F(CompSetTest, SavingAnotherCompanyLeavesTheOpenOneUnmarked) {
  CompanyRec other = SettledCompany();
  other.CompanyNumber.Set("40");
  EditAndStore(other, {});
  EXPECT_FALSE(records::CurrentCompanyEdited);
}

// Every refusal keeps the dialog open (modal result none) with its message shown.
struct Refusal {
  const char* what;
  std::function<void(TCompSet&)> edit;
  std::vector<std::pair<QString, QString>> messages;  // text, title, in order
};

TEST_F(CompSetTest, SaveRefusesBadEntries) {
  const QString numeric = "The company number field is numeric and valid values are 1 to 32000.";
  const QString range = "The Company number must be between 0 and 32001.";
  const QString invalid = "Invalid Company Number";
  auto number = [](const char* typed) { return [typed](TCompSet& d) { d.CoNumb->setText(typed); }; };
  auto aging = [](const char* a, const char* b, const char* c) {
    return [=](TCompSet& d) {
      d.CAVal1->setText(a);
      d.CAVal2->setText(b);
      d.CAVal3->setText(c);
    };
  };
  const std::vector<Refusal> refusals = {
      {"mail without @",
       [](TCompSet& d) { d.CEMailAdd->setText("office.example"); },
       {{"Your company e-mail address does not have the @ sign included. Bad e-mail address.",
         "Company E-Mail Address"}}},
      {"blank name",
       [](TCompSet& d) { d.CName->setText("   "); },
       {{"A company name is required.", "Invalid Company Name"}}},
      {"letters in number", number("12a"), {{numeric, invalid}}},
      {"letters in number and bad aging",
       [](TCompSet& d) {
         d.CoNumb->setText("12a");
         d.CAVal1->setText("x");
       },
       {{numeric, invalid}}},
      {"comma in number", number("1,000"), {{numeric, invalid}}},
      {"negative number", number("-5"), {{range, invalid}}},
      {"zero", number("0"), {{range, invalid}}},
      {"empty number", number(""), {{range, invalid}}},
      {"too large", number("32001"), {{range, invalid}}},
      {"plus sign", number("+5"), {{numeric, invalid}}},
      {"taken",
       number("7"),
       {{"This Company number already exists. Enter another number.", "Company Number"}}},
      {"aging 2 too close",
       aging("30", "31", "90"),
       {{"The aging days for category 2 must be greater than category 1 by at least 2 days.",
         "Aging Category 2"}}},
      {"aging 3 too close",
       aging("30", "60", "61"),
       {{"The aging days for category 3 must be greater than category 2 by at least 2 days.",
         "Aging Category 3"}}},
      {"aging not a number",
       aging("30", "6O", "90"),
       {{"The aging days must be whole numbers of days.", "Aging Days"}}},
      {"range and aging both reported",
       [&](TCompSet& d) {
         number("0")(d);
         aging("30", "31", "90")(d);
       },
       {{range, invalid},
        {"The aging days for category 2 must be greater than category 1 by at least 2 days.",
         "Aging Category 2"}}},
      {"tax rate not a number",
       [](TCompSet& d) { d.TaxCRate->setText("8%"); },
       {{"The tax rate must be a number, such as 8.125.", "Tax Rate"}}},
  };
  for (const Refusal& refusal : refusals) {
    SCOPED_TRACE(refusal.what);
    UiScript script;
    records::PrepareNewCompanyRecord();
    dialog->LoadNewCompanyDefaults(records::CompanyWorkRec, 1);
    dialog->CompanyNumberOnFile = [](std::string_view n) { return n == "7"; };
    dialog->CName->setText("Trial");
    for (const auto& [text, title] : refusal.messages) script.ExpectMessage(text, title);
    script.OnModal<TCompSet>([&](TCompSet& d) {
      refusal.edit(d);
      d.OKButtonClick();
      EXPECT_EQ(d.ModalResult(), mrNone);
      d.CancelDiscarding();
    });
    EXPECT_EQ(dialog->ShowModal(), mrCancel);
    EXPECT_TRUE(script.Done());
  }
}

TEST_F(CompSetTest, SaveAcceptsAndCompletesBorderlineEntries) {
  const CompanyRec stored = EditAndStore(SettledCompany(), [](TCompSet& d) {
    d.CEMailAdd->setText("   ");  // a blank address is no bad address
    d.CAVal1->setText("30");
    d.CAVal2->setText("32");
    d.CAVal3->setText("34");
    d.CACap2->setText("");
    d.CACap3->setText(" ");
  });
  EXPECT_EQ(stored.AgingDays2.Get(), "32");
  EXPECT_EQ(stored.AgingDays3.Get(), "34");
  EXPECT_EQ(stored.AgingCaption1.Get(), "0-45:");
  EXPECT_EQ(stored.AgingCaption2.Get(), "Age2");
  EXPECT_EQ(stored.AgingCaption3.Get(), "Age3");
  EXPECT_TRUE(ui.Done());
}

TEST_F(CompSetTest, AnEditedCompanyNumberIsNotCheckedAgainstTheFile) {
  dialog->CompanyNumberOnFile = [](std::string_view) { return true; };
  EditAndStore(SettledCompany(), {});
  EXPECT_TRUE(ui.Done());
}

TEST_F(CompSetTest, PickersFillTheRecord) {
  dialog->LoadFromRecord(SettledCompany());
  ui.ExpectOpenFile()
      .Inspect([](const platform::ui::FileDialogRequest& r) { EXPECT_EQ(r.fileName, "sea.bmp"); })
      .Answer("/pictures/waves.bmp");
  ui.ExpectOpenFile().Answer("/pictures/letterhead.bmp");
  ui.ExpectOpenFile().Cancel();
  platform::ui::FontChoice serif{"Liberation Serif", 12, true, false, false, false, 0x00FF00};
  ui.ExpectFont().Answer(serif);
  ui.ExpectFont()
      .Inspect([](const platform::ui::FontRequest& r) {
        EXPECT_TRUE(r.fixedPitchOnly);
        EXPECT_EQ(r.font.name, "Liberation Mono");
      })
      .Cancel();
  dialog->Button1Click();
  dialog->BmpImgButnClick();
  dialog->BmpImgButnClick();  // cancelled: the logo stays
  dialog->EditorClrClick();
  dialog->BrowClrClick();  // cancelled: the managers font stays
  EXPECT_EQ(records::CompanyWorkRec.BackgroundBitmap.Get(), "/pictures/waves.bmp");
  EXPECT_EQ(dialog->PicName->text(), "/pictures/waves.bmp");
  EXPECT_EQ(records::CompanyWorkRec.LogoFile.Get(), "/pictures/letterhead.bmp");
  EXPECT_EQ(dialog->BmpNameText->text(), "/pictures/letterhead.bmp");
  CompanyRec stored = records::CompanyWorkRec;
  dialog->StoreToRecord(stored);
  EXPECT_EQ(stored.EditorFontName.Get(), "Liberation Serif");
  EXPECT_EQ(stored.EditorFontSize.Get(), 12);
  EXPECT_EQ(stored.EditorFontColor.Get(), 0x00FF00);
  EXPECT_EQ(stored.EditorFontStyle, records::FontStyleBold);
  EXPECT_EQ(stored.BrowserFontName.Get(), "Liberation Mono");
  EXPECT_TRUE(ui.Done());
}

TEST_F(CompSetTest, HeadersDialogEditsTheHeadingsOfTheCompanyBeingEdited) {
  CompanyRec other = SettledCompany();
  other.CompanyNumber.Set("9");
  other.POShipToCaption.Set("Deliver To:");
  records::CompanyWorkRec = other;
  dialog->LoadFromRecord(other);
  ui.OnModal<forms::THeaderForm>([](forms::THeaderForm& h) {
    EXPECT_EQ(h.InvCapData->text(), "TAX INVOICE");
    EXPECT_EQ(h.POShipHead->text(), "Deliver To:");
    h.InvCapData->setText("BILL");
    h.StmntNote->setText("Thank you for your business");
    h.OkButn2Click();
  });
  ui.OnModal<forms::THeaderForm>([](forms::THeaderForm& h) {
    h.InvCapData->setText("closed without OK");
    h.Close();
  });
  dialog->BitBtn1Click();
  EXPECT_EQ(records::CompanyWorkRec.InvoiceCaption.Get(), "BILL");
  EXPECT_EQ(records::CompanyWorkRec.StatementNote.Get(), "Thank you for your business");
  EXPECT_EQ(records::CompanyWorkRec.POShipToCaption.Get(), "Deliver To:");
  dialog->BitBtn1Click();
  // Closed without OK, the texts are kept as the fonts are.
  EXPECT_EQ(records::CompanyWorkRec.InvoiceCaption.Get(), "closed without OK");
  // The open company's own headings are not touched.
  EXPECT_EQ(records::CurrentCompany.InvoiceCaption.Get(), "TAX INVOICE");
  EXPECT_TRUE(ui.Done());
}

TEST_F(CompSetTest, HelpOpensTheTopicOfTheActiveTab) {
  std::ofstream("KESTRAVA.HLP") << "help";
  platform::ui::Application->HelpFile = "KESTRAVA.HLP";
  const std::pair<QWidget*, const char*> tabs[] = {
      {dialog->BCodes, "BarCodes"},        {dialog->PORecv, "PORecvoptions"},
      {dialog->SalesMessage, "SalesMsg"},  {dialog->Invoices, "invoptions"},
      {dialog->Address, "CompanyAddress"}, {dialog->EnvelopeTab, "prnenv"},
      {dialog->FormsSet, "formlayout"},    {dialog->General, "GeneralOpts"},
      {dialog->Graphics, "SysGraphics"}};
  for (auto [tab, topic] : tabs) {
    dialog->PageControl1->setCurrentWidget(tab);
    dialog->HelpButtonClick();
    ASSERT_FALSE(ui.Events().empty());
    EXPECT_EQ(ui.Events().back().kind, UiEvent::Kind::Help);
    EXPECT_EQ(ui.Events().back().detail, topic);
  }
  platform::ui::Application->HelpFile.clear();
  EXPECT_EQ(dialog->PageControl1->count(), 9);
  EXPECT_TRUE(ui.Done());
}

}  // namespace
