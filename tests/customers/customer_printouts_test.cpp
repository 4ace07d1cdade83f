#include "customers/customer_printouts.h"

#include <gtest/gtest.h>

#include <QDateTime>
#include <QDir>
#include <QProcess>
#include <QRegularExpression>

#include "customers/customer_texts.h"
#include "forms/address_printouts.h"
#include "forms/browser_font.h"
#include "forms/list_window.h"
#include "forms/report_font.h"
#include "platform/files/file.h"
#include "platform/print/printer.h"
#include "platform/print/qt_print_backend.h"
#include "platform/print/recording_print_backend.h"
#include "platform/text/clock.h"
#include "platform/text/codepage.h"
#include "platform/ui/application.h"
#include "platform/ui/support/ui_script.h"
#include "records/company_rec.h"
#include "support/temp_dir.h"

namespace customers {

using namespace records;
using namespace forms;
namespace {

using platform::print::RecordingPrintBackend;

const QDateTime Moment(QDate(2026, 3, 5), QTime(14, 7));

CustomerRec Baker() {
  CustomerRec c;
  c.CustomerNo.Set("500");
  c.CustomerName.Set("Baker");
  c.CustBalance.Set("1234.5");
  c.ShortName.Set("BAKER");
  c.CustomerType.Set("Retail");
  c.LastPayment.Set("03/01/2026");
  c.LastInvoice.Set("1007");
  c.TaxExempt.Set("Y");
  c.Phone1.Set("555-0100");
  c.Phone2.Set("555-0101");
  c.PaymentTerms.Set("Net 30 Days");
  c.CustBillTo1.Set("1 Main Street");
  c.CustBillTo2.Set("Springfield");
  c.ShipTo1.Set("Dock 4");
  for (auto* amount : {&c.CustAging1, &c.CustAging2, &c.CustAging3, &c.CustAging4}) amount->Set("0.00");
  c.CustAging2.Set("1234.50");
  return c;
}

class CustomerPrintoutsTest : public ::testing::Test {
 protected:
  CustomerPrintoutsTest() {
    testing_support::EnsureGuiApplication();
    CurrentCompany = DefaultCompanyRecord();
    CurrentCompany.CompanyName.Set("Acme Supply");
    auto backend = std::make_unique<RecordingPrintBackend>();
    log_ = backend.get();
    scoped_ = std::make_unique<platform::print::ScopedPrintBackend>(std::move(backend));
  }
  // The calls of the printed job, without the fonts and pens in force.
  QStringList Calls() const {
    QStringList calls;
    for (const QString& line : log_->Log()) calls << line.section(" font(", 0, 0);
    return calls;
  }

  ~CustomerPrintoutsTest() override { CurrentCompany = CompanyRec{}; }

  testing_support::TempDir dir_;
  RecordingPrintBackend* log_;
  std::unique_ptr<platform::print::ScopedPrintBackend> scoped_;
  platform::text::FixedClock clock_{Moment};
};

TEST_F(CustomerPrintoutsTest, BrowserRowsAndHeaderAreColumnsOfFixedWidth) {
  auto pad = [](std::string text, std::size_t width) { return text + std::string(width - text.size(), ' '); };
  EXPECT_EQ(CustomerBrowserRow(Baker()),
            pad(pad("Baker", 35) + " " + pad("500", 8) + " " + "    1,234.50" + " " + "03/01/2026" + " " +
                    pad("1007", 9) + " " + pad("555-0100", 25),
                128));
  EXPECT_EQ(CustomerBrowserHeader(),
            pad(pad("Name", 35) + " " + pad("Number", 8) + " " + "     Balance" + " " + pad("Last Pmt.", 10) +
                    " " + pad("Last Inv.", 9) + " " + pad("Phone Number(s)", 25),
                128));
  CustomerRec longName = Baker();
  longName.CustomerName.Set(std::string(35, 'N'));
  longName.CustBalance.Set("not an amount");
  EXPECT_EQ(CustomerBrowserRow(longName).substr(0, 58), std::string(35, 'N') + " 500      not an amoun ");
}

TEST_F(CustomerPrintoutsTest, ListReportWithAndWithoutAddresses) {
  CustomerRec carter;
  carter.CustomerNo.Set("501");
  carter.CustomerName.Set("Carter");
  carter.CustBalance.Set("0.00");
  const std::vector<std::string> with = CustomerListEntry(Baker(), true);
  const std::vector<std::string> without = CustomerListEntry(carter, false);
  const std::string rule(80, '-');
  auto pad = [](std::string text, std::size_t width) { return text + std::string(width - text.size(), ' '); };
  EXPECT_EQ(
      with,
      (std::vector<std::string>{
          pad("Baker", 35) + "     Number: 500         Balance: 1,234.50",
          pad("Short Name: BAKER", 22) + "    Type: " + pad("Retail", 25) + "   Last Pmt: 03/01/2026",
          "Credit Limit: " + pad("0.00", 12) + "    Last Invoice: " + pad("1007", 10) + "   Tax Exempt: Y",
          "Phone1: " + pad("555-0100", 25) + "     Phone2: 555-0101", "Payment Terms: Net 30 Days",
          pad("Billing Address:", 35) + "     Shipping Address:", pad("1 Main Street", 35) + "     Dock 4",
          pad("Springfield", 35) + "     ", pad("", 40), pad("", 40), rule}));
  EXPECT_EQ(without,
            (std::vector<std::string>{
                pad("Carter", 35) + "     Number: 501         Balance: 0.00",
                pad("Short Name: ", 22) + "    Type: " + pad("", 25) + "   Last Pmt: ",
                "Credit Limit: " + pad("0.00", 12) + "    Last Invoice: " + pad("", 10) + "   Tax Exempt: ",
                "Phone1: " + pad("", 25) + "     Phone2: ", "Payment Terms: ", rule}));
  EXPECT_EQ(CustomerListHeading("Acme Supply", Moment),
            (std::vector<std::string>{"Customer List for Acme Supply",
                                      "Date: Thursday, March 5, 2026, 02:07 PM", rule}));
}

TEST_F(CustomerPrintoutsTest, SheetPrintsEveryBlockInTheReportFont) {
  CurrentCompany.FormLeftMargin.Set("60");
  CurrentCompany.FormTopMargin.Set("60");
  CustomerRec c = Baker();
  c.CustNotes.Set("Deliveries before noon only");
  PrintCustomerSheet(c, CurrentCompany, LoadReportFont(), Moment);
  const QStringList calls = Calls();
  ASSERT_GE(calls.size(), 3);
  EXPECT_EQ(calls.front(), "BeginDoc(\"Print: Baker\", portrait, 2400x3150)");
  // Report font Arial 10 bold: lines 50 high, the title 100, gaps 25; left 60 x 2, top 60 x 4.
  EXPECT_TRUE(log_->Log()[1].startsWith("TextOut(120, 240, \"Customer: Baker\") font(Arial, 20, B,"));
  EXPECT_EQ(calls[2], "TextOut(120, 365, \"Customer Number: 500\")");
  EXPECT_TRUE(calls.contains("TextOut(120, 715, \"Tax Exempt: Yes\")"));
  EXPECT_TRUE(calls.contains("TextOut(120, 790, \"Account Balance: 1234.5\")"));
  EXPECT_TRUE(calls.contains("TextOut(120, 890, \"31-60: 1234.50\")"));
  EXPECT_TRUE(calls.contains("TextOut(120, 990, \"Over 90: 0.00\")"));
  EXPECT_TRUE(calls.contains("TextOut(120, 1640, \"Phone 2: 555-0101\")"));
  EXPECT_TRUE(calls.contains("TextOut(120, 1715, \"Notes / Comments:\")"));
  EXPECT_TRUE(calls.contains("TextOut(120, 1765, \"Deliveries before noon only\")"));
  EXPECT_EQ(calls[calls.size() - 2], "TextOut(120, 1840, \"Printed: Thursday, March 5, 2026, 02:07 PM\")");
  EXPECT_EQ(calls.back(), "EndDoc");
}

// A report font file from elsewhere (or damaged) may hold any size: only the sizes a font dialog
// gives are taken, and the sheet's title at twice the size stays within range.
TEST_F(CustomerPrintoutsTest, ReportFontFileOfAnySizePrintsTheSheet) {
  const struct {
    int32_t stored;
    int32_t used;
  } cases[] = {{12, 12}, {1638, 1638}, {1639, 10},      {1 << 30, 10},
               {0, 10},  {-7, 10},     {INT32_MAX, 10}, {INT32_MIN, 10}};
  for (const auto& c : cases) {
    FontRec stored{};
    stored.Set("Courier New", c.stored, 0, FontStyleItalic);
    ASSERT_TRUE(platform::files::WriteWholeFile(
        std::string(ReportFontFileName), std::string(reinterpret_cast<const char*>(&stored), sizeof stored)));
    const FontRec font = LoadReportFont();
    EXPECT_EQ(font.Size.Get(), c.used) << c.stored;
    EXPECT_EQ(font.Name.Get(), c.used == c.stored ? "Courier New" : "Arial") << c.stored;
    log_->ClearLog();
    PrintCustomerSheet(Baker(), CurrentCompany, font, Moment);
    ASSERT_GE(log_->Log().size(), 2);
    EXPECT_TRUE(log_->Log()[1].contains(QString(", %1, ").arg(2 * c.used))) << log_->Log()[1].toStdString();
  }
}

TEST_F(CustomerPrintoutsTest, EnvelopeWithReturnAddressPrintsLandscapeAtTheCompanysPositions) {
  CurrentCompany.PrintReturnAddress.Set("Y");
  CurrentCompany.CompanyAddr1.Set("9 Harbour Road");
  CurrentCompany.EnvelopeAddressUsed.Set("S");
  PrintEnvelope(CustomerEnvelopeAddress(Baker(), CurrentCompany), CurrentCompany);
  EXPECT_EQ(
      Calls(),
      (QStringList{"BeginDoc(\"Envelope\", landscape, 3150x2400)", "TextOut(100, 100, \"Acme Supply\")",
                   "TextOut(100, 160, \"9 Harbour Road\")", "TextOut(100, 220, \"\")",
                   "TextOut(100, 280, \"\")", "TextOut(100, 340, \"\")", "TextOut(1200, 580, \"Baker\")",
                   "TextOut(1200, 640, \"Dock 4\")", "TextOut(1200, 700, \"\")", "TextOut(1200, 760, \"\")",
                   "TextOut(1200, 820, \"\")", "EndDoc"}));
  EXPECT_TRUE(log_->Log()[1].contains("font(Arial, 12, -,"));
  EXPECT_EQ(platform::print::Printer().Orientation(), platform::print::TPrinterOrientation::poPortrait);
}

// The text lines of a PDF as pdftotext lays them out, blank lines and page breaks left out, runs
// of blanks made one.
std::vector<std::string> PrintedLines(const QString& pdf) {
  QProcess pdftotext;
  pdftotext.start("pdftotext", {"-layout", pdf, "-"});
  if (!pdftotext.waitForFinished(60000) || pdftotext.exitCode() != 0) return {"pdftotext failed"};
  std::vector<std::string> lines;
  for (QString line :
       QString::fromUtf8(pdftotext.readAllStandardOutput()).split(QRegularExpression("[\n\f]"))) {
    line = line.simplified();
    if (!line.isEmpty()) lines.push_back(line.toStdString());
  }
  return lines;
}

// A list of 30 customers with every field as wide as it goes prints each of its lines on one
// printed line, read back from the PDF the printer made.
TEST(CustomerListPrintTest, EveryLineOfTheListPrintsOnOneLineOfThePage) {
  testing_support::EnsureGuiApplication();
  testing_support::TempDir dir;
  platform::text::FixedClock clock(Moment);
  CurrentCompany = DefaultCompanyRecord();
  CurrentCompany.CompanyName.Set("Acme Supply");
  std::vector<std::string> lines = CustomerListHeading("Acme Supply", Moment);
  for (int n = 1; n <= 30; ++n) {
    CustomerRec c = Baker();
    c.CustomerName.Set("Wholesale Hardware & Building No " + std::to_string(n));
    c.CustomerNo.Set("C" + std::to_string(1000000 + n));
    c.CustBalance.Set("-1234567.89");
    c.CustomerType.Set(std::string(25, 'T'));
    c.CreditLimit.Set("9999999.99");
    c.LastInvoice.Set("123456789");
    c.Phone1.Set(std::string(25, '5'));
    c.Phone2.Set(std::string(25, '6'));
    c.CustBillTo1.Set(std::string(35, 'B'));
    c.ShipTo1.Set(std::string(35, 'S'));
    for (const std::string& line : CustomerListEntry(c, true)) lines.push_back(line);
  }
  std::vector<std::string> expected;
  for (const std::string& line : lines) {
    const QString simple = platform::text::ToQString(line).simplified();
    if (!simple.isEmpty()) expected.push_back(simple.toStdString());
  }
  testing_support::UiScript ui;
  ASSERT_TRUE(forms::LoadListReport(lines));
  ListWindow->SetCaption("Customer List by Name");
  // In the company's managers font, and in one the user chose too large for the page.
  for (int size : {10, 16}) {
    SCOPED_TRACE(size);
    auto backend = std::make_unique<platform::print::QtPrintBackend>();
    backend->SetPrintToFile(true);
    platform::print::QtPrintBackend* printer = backend.get();
    platform::print::ScopedPrintBackend scoped(std::move(backend));
    platform::ui::FontChoice font = CompanyBrowserFont(CurrentCompany);
    font.size = size;
    ListWindow->SetTextFont(font);
    // The file is named after the list and the time; the window says where it is.
    const QString pdf = QDir::current().absoluteFilePath(
        QString("Printouts/Customer List by Name 2026-03-05 140700%1.pdf").arg(size == 10 ? "" : " (2)"));
    ui.ExpectMessage("Customer List by Name saved as " + pdf + ".", "Customer List by Name");
    ListWindow->PrintButnClick();
    ASSERT_EQ(printer->OutputFile(), pdf);
    EXPECT_EQ(PrintedLines(printer->OutputFile()), expected);
  }
  EXPECT_TRUE(ui.Done());
  platform::ui::Application->DestroyForms();
  ListWindow = nullptr;
  CurrentCompany = CompanyRec{};
}

}  // namespace
}  // namespace customers
