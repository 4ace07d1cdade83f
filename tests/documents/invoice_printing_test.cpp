// The invoice, its packing slip and file copies on the recording printer (a 4800 x 5600 page,
// every font 50 x 100 pixels), and the printed marks they leave in the invoice file.

#include "documents/invoice_printing.h"

#include <gtest/gtest.h>

#include "documents/document_buffer.h"
#include "documents/printing_fixture.h"
#include "platform/files/fault_seam.h"
#include "platform/text/number_text.h"
#include "platform/ui/support/ui_script.h"
#include "records/company_rec.h"
#include "records/detail_file.h"

namespace documents {
namespace {

using namespace testing_printing;
using records::CurrentCompany;

class InvoicePrintingTest : public PrinterTest {
 protected:
  InvoicePrintingTest() : PrinterTest(QSize(4800, 5600)) {}
  void SetUp() override { FillInvoiceBuffer(3); }
  std::vector<Placed> PrintAs(const char* mode) {
    DocMode = mode;
    recorder_->ClearLog();
    PrintInvoice(*printer_);
    return Texts();
  }
};

// x of a text centred in the right half of the page by the width of `widthText`.
int RightHalfCentre(const QString& widthText) {
  return 2400 + (2400 - 50 * static_cast<int>(widthText.size())) / 2;
}

TEST_F(InvoicePrintingTest, EachDocumentHasItsJobTitleAndHeading) {
  CurrentCompany.InvoiceCaption.Set("  INVOICE  ");  // drawn as stored, centred by its trimmed text
  struct Case {
    const char *mode, *balance, *type, *job, *title;
  } cases[] = {
      {"INV", "100.00", "I", "Invoice - 1001", "  INVOICE  "},
      {"INV", "-5.00", "I", "Invoice - 1001", "C  R  E  D  I  T"},
      {"INV", "-5.00", "R", "Invoice - 1001", "C  R  E  D  I  T"},
      {"INV", "100.00", "R", "Invoice - 1001", "REPEAT MASTER SETUP"},
      {"PSL", "-5.00", "R", "Packing Slip - 1001", "PACKING SLIP"},
      {"FCP", "-5.00", "I", "File Copy - 1001", "FILE COPY"},
  };
  for (const Case& c : cases) {
    DocHeader.BalanceDue = c.balance;
    DocHeader.DocType = c.type;
    const std::vector<Placed> t = PrintAs(c.mode);
    ASSERT_FALSE(Log().isEmpty());
    EXPECT_TRUE(Log().first().startsWith(QString("BeginDoc(\"%1\"").arg(c.job)))
        << Log().first().toStdString();
    const Placed title = Find(t, c.title);
    EXPECT_EQ(title.y, 450) << c.title;
    EXPECT_EQ(title.x, RightHalfCentre(QString(c.title).trimmed())) << c.title;
    if (QString(c.title) != "  INVOICE  ") {
      EXPECT_EQ(Find(t, "  INVOICE  ").page, 0) << c.mode;
    }
  }
}

TEST_F(InvoicePrintingTest, TheNumberBarCodeStartsWhereTheInvoiceCaptionWould) {
  CurrentCompany.BarCodeInvoiceNumbers.Set("Y");
  DocHeader.BalanceDue = "-5.00";
  PrintAs("INV");
  const QString start = QString("FillRect(%1, 1000, ").arg(RightHalfCentre("INVOICE"));
  EXPECT_TRUE(HasLine(Log(), start));
}

TEST_F(InvoicePrintingTest, TheDuplicateMarkerIsOnAReprintedInvoiceOnly) {
  CurrentCompany.PrintDuplicateInvoice = 1;
  DocHeader.PrintedFlag = "Y";
  const Placed marker = Find(PrintAs("INV"), "** Duplicate Invoice **");
  EXPECT_EQ(marker.page, 1);
  EXPECT_EQ(marker.y, 250);
  EXPECT_EQ(marker.x, RightHalfCentre("** Duplicate Invoice **"));
  EXPECT_EQ(Find(PrintAs("PSL"), "** Duplicate Invoice **").page, 0);
  EXPECT_EQ(Find(PrintAs("FCP"), "** Duplicate Invoice **").page, 0);
  DocHeader.PrintedFlag = "N";
  EXPECT_EQ(Find(PrintAs("INV"), "** Duplicate Invoice **").page, 0);
  CurrentCompany.PrintDuplicateInvoice = 0;
  DocHeader.PrintedFlag = "Y";
  EXPECT_EQ(Find(PrintAs("INV"), "** Duplicate Invoice **").page, 0);
}

TEST_F(InvoicePrintingTest, APackingSlipHidesPricesAndTotals) {
  CurrentCompany.PrintCustomerAging = 1;
  CurrentCompany.TotalQuantities = 1;
  const std::vector<Placed> t = PrintAs("PSL");
  const QStringList texts = TextsOnPage(t, 1);
  EXPECT_EQ(texts.count("xxxxxxxxxx"), 6);
  for (const char* shown : {"1", "2", "3", "Item 2", "Total Qty: 6"})
    EXPECT_TRUE(texts.contains(shown)) << shown;
  for (const char* hidden :
       {"1.50", "Total:", "Grand Total:", "Balance Due:", "$108.00", "Total Account Balance: 1,250.00"})
    EXPECT_FALSE(texts.contains(hidden)) << hidden;
  const Placed sentence = Find(t, "This is a packing slip. Please pay from invoice.");
  EXPECT_EQ(sentence.x, Find(t, "Total Qty: 6").x);
  EXPECT_EQ(sentence.y, Find(t, "Total Qty: 6").y + 200);
}

TEST_F(InvoicePrintingTest, AMemoInvoiceTotalsTheQuantityOfItsMemo) {
  CurrentCompany.TotalQuantities = 1;
  FillInvoiceBuffer(0);
  DocHeader.BodyKind = "M";
  DocMemoItem = {"1,250", "WORK"};
  for (const char* mode : {"INV", "PSL"}) EXPECT_NE(Find(PrintAs(mode), "Total Qty: 1250").page, 0) << mode;
}

TEST_F(InvoicePrintingTest, TheTotalsRowsFollowTaxAndPayment) {
  CurrentCompany.PrintCustomerAging = 1;
  std::vector<Placed> t = PrintAs("INV");
  const int total = Find(t, "Total:").y;
  EXPECT_EQ(Find(t, "Tax").y, total + 100);
  EXPECT_EQ(Find(t, "Grand Total:").y, total + 200);
  EXPECT_FALSE(TextsOnPage(t, 1).join('|').contains("Paid Date"));  // "/ " is no date
  EXPECT_TRUE(TextsOnPage(t, 1).contains("Total Account Balance: 1,250.00"));

  CurrentCompany.TaxName.Set("   ");
  DocHeader.TaxAmount = DocMoneyText(0);
  DocHeader.PaidDate = "12/01/2026";
  t = PrintAs("INV");
  EXPECT_EQ(Find(t, "Grand Total:").y, Find(t, "Total:").y + 100);
  EXPECT_EQ(Find(t, "Paid Date: 12/01/2026").y, Find(t, "Grand Total:").y);
  EXPECT_EQ(Find(t, "$0.00").page, 0);

  DocHeader.TaxAmount = DocMoneyText(125000);  // no tax name, but a tax: the row stays
  t = PrintAs("FCP");
  EXPECT_EQ(Find(t, "$1,250.00").y, Find(t, "Total:").y + 100);
}

TEST_F(InvoicePrintingTest, PrintingMarksTheInvoiceRecordsButNotPaymentsOrOtherNumbers) {
  InvoiceFileScope file;
  const storage::IsamRecRef invoice = file.Add("1001", "Z");
  const storage::IsamRecRef payment = file.Add("1001", "X");
  const storage::IsamRecRef master = file.Add("1001", "R");
  const storage::IsamRecRef longer = file.Add("10010", "I");
  const storage::IsamRecRef before = file.Add("1000", "G");

  PrintAs("PSL");
  EXPECT_EQ(file.Read(invoice).PrintedMark.Get(), "N");
  PrintAs("INV");
  EXPECT_EQ(file.Read(invoice).PrintedMark.Get(), "Y");
  for (storage::IsamRecRef other : {payment, master, longer, before})
    EXPECT_EQ(file.Read(other).PrintedMark.Get(), "N");

  // Every type an invoice can carry is marked: I, G, M and Z.
  for (const char* type : {"I", "G", "M"}) {
    const storage::IsamRecRef ref = file.Add("2002", type);
    DocHeader.DocNumber = " 2002 ";
    PrintAs("FCP");
    EXPECT_EQ(file.Read(ref).PrintedMark.Get(), "Y") << type;
  }
}

TEST_F(InvoicePrintingTest, AReprintLeavesTheRecordsAsTheyAre) {
  InvoiceFileScope file;
  const storage::IsamRecRef invoice = file.Add("1001", "I", "");
  DocHeader.PrintedFlag = "Y";
  PrintAs("INV");
  EXPECT_EQ(file.Read(invoice).PrintedMark.Get(), "");
}

// A mark that cannot be read or written is said, naming the file, and the printout stands; no
// more marks are made after the failure. Every read and write of the marking fails in turn, on a
// file just opened so that the marking reads it from the disk.
TEST_F(InvoicePrintingTest, AMarkThatCannotBeMadeIsSaidAndThePrintoutStands) {
  using platform::files::FaultAction;
  using platform::files::FaultPlan;
  InvoiceFileScope file;
  int number = 5000;
  for (const bool read : {true, false}) {
    int failed = 0;
    for (int n = 1;; ++n) {
      SCOPED_TRACE((read ? "read " : "write ") + std::to_string(n));
      DocHeader.DocNumber = std::to_string(++number);
      const storage::IsamRecRef first = file.Add(DocHeader.DocNumber.c_str(), "Z");
      const storage::IsamRecRef second = file.Add(DocHeader.DocNumber.c_str(), "I");
      file.Reopen();
      testing_support::UiScript ui;
      ui.ExpectMessage("Invoice " + QString::fromStdString(DocHeader.DocNumber) +
                           " went out, but it could not be marked printed.  The file 12I.DAT " +
                           (read ? "cannot be read now" : "could not be written") + ": Input/output error.",
                       "Mark Printed");
      platform::files::InstallFaultPlan(read ? FaultPlan{.OnRead = FaultAction::Fail, .ReadNumber = n}
                                             : FaultPlan{.OnWrite = FaultAction::Fail, .WriteNumber = n});
      PrintAs("INV");
      const int calls = read ? platform::files::FaultReadsSoFar() : platform::files::FaultWritesSoFar();
      platform::files::RemoveFaultPlan();
      if (calls < n) break;  // the marking made fewer calls: nothing failed, and nothing was said
      ++failed;
      EXPECT_TRUE(ui.Done());
      EXPECT_FALSE(Log().isEmpty());
      EXPECT_NE(file.Read(first).PrintedMark.Get() + file.Read(second).PrintedMark.Get(), "YY");
    }
    EXPECT_GT(failed, 0) << (read ? "reads" : "writes");
  }
}

// A printer that fails when the second page begins.
class FailingOnNewPage : public platform::print::RecordingPrintBackend {
 public:
  void NewPage(int page) override {
    RecordingPrintBackend::NewPage(page);
    throw platform::print::EPrinter("The printer is out of paper.");
  }
};

TEST_F(InvoicePrintingTest, AFailedJobIsAbortedAndMarksNothing) {
  InvoiceFileScope file;
  const storage::IsamRecRef invoice = file.Add("1001", "I");
  platform::print::TPrinter failing(std::make_unique<FailingOnNewPage>());
  failing.SetOrientation(platform::print::TPrinterOrientation::poLandscape);
  FillInvoiceBuffer(60);
  EXPECT_THROW(PrintInvoice(failing), platform::print::EPrinter);
  EXPECT_TRUE(failing.Aborted());
  EXPECT_FALSE(failing.Printing());
  EXPECT_EQ(failing.Orientation(), platform::print::TPrinterOrientation::poLandscape);
  EXPECT_EQ(file.Read(invoice).PrintedMark.Get(), "N");

  // An amount that is not a number stops the invoice before the printer is touched.
  FillInvoiceBuffer(2);
  DocLines[2] = DocLineEntry("P2", records::LineText("2", "Item 2", "1.50", "Y", "3.0O"));
  EXPECT_THROW(PrintAs("INV"), platform::text::ConvertError);
  EXPECT_TRUE(Log().isEmpty());
  DocLines[2].clear();
  DocHeader.BalanceDue = "12,5x";
  EXPECT_THROW(PrintAs("INV"), platform::text::ConvertError);
  EXPECT_TRUE(Log().isEmpty());
  EXPECT_EQ(file.Read(invoice).PrintedMark.Get(), "N");
}

}  // namespace
}  // namespace documents
