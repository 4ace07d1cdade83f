// Interest charges: the scan against the minimum and the periods, the run that writes the
// interest invoices, the wizard worked as a user works it, and the report on the recording
// printer. Every run ends with the books read back from the files.
#include <memory>

#include "books_fixture.h"
#include "invoicing/interest_charges.h"
#include "invoicing/interest_report.h"
#include "invoicing/interest_wizard.h"
#include "platform/print/printer.h"
#include "platform/print/recording_print_backend.h"
#include "records/company_file.h"
#include "records/customer_file.h"
#include "records/detail_file.h"
#include "records/invoice_file.h"
#include "records/record_file.h"

namespace invoicing {
namespace {

using platform::print::RecordingPrintBackend;
using platform::ui::mrOk;
using platform::ui::mrYes;

class InterestTest : public test_fixtures::BooksTest {
 protected:
  InterestTest() {
    auto backend = std::make_unique<RecordingPrintBackend>();
    printed_ = backend.get();
    printer_ = std::make_unique<platform::print::ScopedPrintBackend>(std::move(backend));
  }
  ~InterestTest() override { ShowMainStatusText = nullptr; }

  // Baker owes 600.00 in the second bucket, Carter 200.00 in the third, Dawson 80,000.00 in
  // the fourth; the next invoice number is 150.
  void FileOverdueCustomers() {
    FileCustomer("C1", "Baker");
    FileCustomer("C2", "Carter");
    FileCustomer("C3", "Dawson");
    PostInvoice("1001", "C1", "10/28/2026", "600.00", "0.00");    // 40 days
    PostInvoice("1002", "C2", "09/28/2026", "200.00", "0.00");    // 70 days
    PostInvoice("1003", "C3", "08/29/2026", "80000.00", "0.00");  // 100 days
    ASSERT_TRUE(
        records::UpdateCurrentCompanyRecord([](records::CompanyRec& c) { c.NextInvoiceNumber.Set("150"); }));
  }
  static InterestSettings Percent(char period, const char* rate, const char* minimum) {
    InterestSettings s;
    s.Period = period;
    s.Rate = rate;
    s.Minimum = minimum;
    s.Date = "12/07/2026";
    s.Notes = s.StatementNote = "Interest Charges";
    s.Terms = "Due on receipt";
    return s;
  }
  static std::vector<std::string> Listed(const std::vector<InterestRow>& rows) {
    std::vector<std::string> listed;
    for (const InterestRow& r : rows)
      listed.push_back(r.CustomerNo + " " + platform::text::AmountText(r.Overdue) + " " +
                       platform::text::AmountText(r.Charge));
    return listed;
  }
  QStringList Printed() const {
    QStringList texts;
    for (const QString& line : printed_->Log())
      if (line.startsWith("TextOut") || line.startsWith("NewPage")) texts << line.section(" font(", 0, 0);
    return texts;
  }

  RecordingPrintBackend* printed_;
  std::unique_ptr<platform::print::ScopedPrintBackend> printer_;
};

TEST_F(InterestTest, TheChargeIsRoundedToCentsBeforeTheMinimum) {
  FileCustomer("C1", "Baker");
  PostInvoice("1001", "C1", "10/28/2026", "6.00", "0.00");  // 40 days: second bucket
  EXPECT_TRUE(ScanInterestCharges(Percent('3', "1.50", ".10")).empty());
  EXPECT_EQ(Listed(ScanInterestCharges(Percent('3', "1.50", "0.09"))),
            (std::vector<std::string>{"C1 6.00 0.09"}));
  EXPECT_EQ(Listed(ScanInterestCharges(Percent('3', "1.50", ".09"))),
            (std::vector<std::string>{"C1 6.00 0.09"}));
  // 1.333 % of 6.00 is 0.07998: it rounds to 0.08 and meets a minimum of 0.08.
  EXPECT_EQ(Listed(ScanInterestCharges(Percent('3', "1.333", ".08"))),
            (std::vector<std::string>{"C1 6.00 0.08"}));
}

TEST_F(InterestTest, EachPeriodCountsItsBucketsAndAFlatFeeChargesEveryoneOverdue) {
  FileOverdueCustomers();
  EXPECT_EQ(Listed(ScanInterestCharges(Percent('3', "1.500", ".10"))),
            (std::vector<std::string>{"C1 600.00 9.00", "C2 200.00 3.00", "C3 80000.00 1200.00"}));
  EXPECT_EQ(Listed(ScanInterestCharges(Percent('6', "1.500", ".10"))),
            (std::vector<std::string>{"C2 200.00 3.00", "C3 80000.00 1200.00"}));
  EXPECT_EQ(Listed(ScanInterestCharges(Percent('9', "1.500", ".10"))),
            (std::vector<std::string>{"C3 80000.00 1200.00"}));
  InterestSettings flat = Percent('6', "", ".10");
  flat.FlatFee = true;
  flat.Fee = "5";
  EXPECT_EQ(Listed(ScanInterestCharges(flat)),
            (std::vector<std::string>{"C2 200.00 5.00", "C3 80000.00 5.00"}));
  flat.Minimum = "5.01";
  EXPECT_TRUE(ScanInterestCharges(flat).empty());
  const std::pair<const char*, char> stored[] = {{"3", '3'}, {"6", '6'}, {"9", '9'}, {"", '3'}, {"x", '3'}};
  for (auto [text, period] : stored) EXPECT_EQ(InterestPeriodOf(text), period) << text;
}

TEST_F(InterestTest, TheRunWritesNumberedInvoicesAndChargesTheCustomers) {
  FileOverdueCustomers();
  InterestSettings settings = Percent('3', "1.500", ".10");
  settings.MarkPrinted = true;
  std::vector<InterestRow> rows = ScanInterestCharges(settings);
  GeneratedInterest generated = GenerateInterestInvoices(rows, settings);
  EXPECT_EQ(generated.Invoices, 3);
  EXPECT_EQ(generated.Total, 121200);
  EXPECT_EQ(rows[0].InvoiceNo + rows[1].InvoiceNo + rows[2].InvoiceNo, "150I151I152I");

  records::CompanyRec company = StoredCompany();
  EXPECT_EQ(company.NextInvoiceNumber.Get(), "153");
  EXPECT_EQ(company.InvoiceManagerStartNumber.Get(), "152");
  EXPECT_EQ(company.CompanyARBalance.Get(), "82012.00");
  EXPECT_EQ(company.InterestOverdueDays.Get() + " " + company.InterestMonthlyRate.Get() + " " +
                company.InterestMinimumCharge.Get() + " " + company.LastInterestInvoicesDate.Get(),
            "3 1.500 .10 12/07/2026");
  EXPECT_EQ(company.InterestMarkPrinted, 1);
  EXPECT_EQ(company.InterestPaymentTerms.Get(), "Due on receipt");

  records::CustomerRec baker = Customer("C1");
  EXPECT_EQ(baker.CustBalance.Get(), "609.00");
  EXPECT_EQ(Buckets(baker), (std::vector<std::string>{"9.00", "600.00", "0.00", "0.00"}));
  EXPECT_EQ(baker.LastInvoice.Get(), "150I");
  EXPECT_EQ(Buckets(Customer("C3")), (std::vector<std::string>{"1200.00", "0.00", "0.00", "80000.00"}));

  records::InvoiceRec large = Records("152I").at(0);
  EXPECT_EQ(large.TransactionType.Get() + large.KeyCode.Get() + large.PrintedMark.Get() + large.Body.Get(),
            "IInterestYP");
  EXPECT_EQ(large.InvTotal.Get() + " " + large.AmountDue.Get() + " " + large.InvPaid.Get(),
            "1200.00 1200.00 0.00");
  EXPECT_EQ(large.InvCustomerNo.Get() + " " + large.SortDate.Get() + " " + large.Terms.Get(),
            "C3 2026/12/07 Due on receipt");

  records::DetailRec line{};
  records::ForEachRecordByKey<records::DetailRec>(records::DetailFile, 3, [&](const records::DetailRec& d) {
    if (d.InvoiceNumber.Get() == "150I") line = d;
  });
  EXPECT_EQ(line.LineKey.Get(), "00000150I01");
  EXPECT_EQ(line.DocumentKind.Get() + line.SourceFlag.Get() + line.LineNumber.Get() + line.Product.Get(),
            "IP01Interest");
  EXPECT_EQ(line.LineText.Get(), records::LineText("1", "Interest Charges", "9.00", "N", "9.00"));
  ExpectBooksBalance();
}

TEST_F(InterestTest, AnInvoiceThatCannotBeAddedChargesNothing) {
  FileOverdueCustomers();
  InterestSettings settings = Percent('9', "1.500", ".10");
  std::vector<InterestRow> rows = ScanInterestCharges(settings);
  // The invoice file open for reading only: the add is refused, and the user gives up.
  storage::IsamCloseFileBlock(records::InvoiceFile);
  storage::IsamOpenFileBlock(records::InvoiceFile, records::InvoiceUnit().FileName(), true, false, false,
                             false);
  ASSERT_TRUE(storage::IsamOK);
  ui.ExpectMessage("Cannot get a lock.  Abort?", "Invoices").Answer(mrYes);
  EXPECT_THROW(GenerateInterestInvoices(rows, settings), std::runtime_error);
  EXPECT_EQ(Customer("C3").CustBalance.Get(), "80000.00");
  records::CompanyRec company = StoredCompany();
  EXPECT_EQ(company.CompanyARBalance.Get(), "80800.00");
  EXPECT_EQ(company.NextInvoiceNumber.Get(), "150");
  ExpectBooksBalance();
}

TEST_F(InterestTest, TheWizardScansGeneratesAndPrintsTheReport) {
  FileOverdueCustomers();
  QString status;
  ShowMainStatusText = [&status](const QString& text) { status = text; };
  storage::IsamCloseFileBlock(records::CustomerFile);
  ui.OnModal<TInterestWiz>([&](TInterestWiz& w) {
    EXPECT_EQ(w.days30->text(), "Over 30 Days");
    EXPECT_TRUE(w.days30->isChecked());
    EXPECT_EQ(w.IPct->text() + " " + w.MinChg->text() + " " + w.IDate->text(), "1.50 .10 12/07/2026");
    EXPECT_FALSE(w.GenInv->isEnabled());
    EXPECT_EQ(w.StatusLabel->text(), "Enter above options then select scan button...");

    w.FlatCB->setChecked(true);
    w.FlatCBClick();
    EXPECT_FALSE(w.IPct->isEnabled());
    ui.ExpectMessage("No flat rate is specified.", "Flat Rate Fee");
    w.Button1Click();
    ui.ExpectMessage("You should not enter a negative number in the flat rate box.", "Flat Rate Amount");
    w.FlatRate->setText("-5");
    w.FlatRateChange();
    w.FlatCB->setChecked(false);
    w.FlatCBClick();

    w.days90->setChecked(true);
    w.MinChg->setText("2000");
    ui.ExpectMessage("No records were found.", "Interest Wizard");
    w.Button1Click();
    EXPECT_EQ(w.StatusLabel->text(), "No records found.");

    w.days30->setChecked(true);
    w.MinChg->setText(".10");
    w.Button1Click();
    EXPECT_EQ(w.StatusLabel->text(), "3 found. Complete data below then select generate button...");
    EXPECT_EQ(w.CustGrid->rowCount(), 4);
    EXPECT_EQ(w.CustGrid->item(3, 0)->text(), "Totals:");
    EXPECT_EQ(w.CustGrid->item(3, 3)->text(), "1,212.00");
    EXPECT_TRUE(w.GenInv->isEnabled());
    ui.ExpectMessage("3 invoices were created. Would you like to send a report to the printer?",
                     "Operation Complete")
        .Answer(mrYes);
    w.GenInvClick();
    EXPECT_EQ(w.CustGrid->item(2, 4)->text(), "152I");
  });
  EXPECT_EQ(CreateInterestWiz().ShowModal(), mrOk);
  EXPECT_EQ(status, "Interest Report sent to print queue.");
  QStringList printed = Printed();
  EXPECT_TRUE(printed.contains("TextOut(60, 60, \"Acme Supply\")")) << printed.join("\n").toStdString();
  for (const char* text :
       {"Interest Charges Report", "Page 1", "Date: Monday, December 7, 2026, 10:00 AM",
        "Created Invoices Dated: 12/07/2026 and charged 1.50 percent interest.", "Over 30 Days", "Dawson",
        "1,200.00", "152I", "Totals:", "1,212.00", "Report Complete. 3 records printed."})
    EXPECT_EQ(printed.filter("\"" + QString(text) + "\"").size(), 1) << text;
  EXPECT_EQ(printed_->Log().first(), "BeginDoc(\"Interest Charges\", portrait, 2400x3150)");
  // The charge, right-aligned, ends before the invoice number begins (the recording printer's
  // characters are 25 pixels wide at 10 points).
  auto x = [&printed](const char* text) {
    return printed.filter("\"" + QString(text) + "\"").value(0).section("(", 1).section(",", 0, 0).toInt();
  };
  EXPECT_LT(x("1,200.00") + 8 * 25, x("152I"));
  EXPECT_LT(x("80,000.00") + 9 * 25, x("1,200.00"));
  EXPECT_EQ(Customer("C2").CustBalance.Get(), "203.00");
  ExpectBooksBalance();
}

TEST_F(InterestTest, ALongReportGoesOnOverPages) {
  std::vector<InterestRow> rows;
  for (int i = 0; i < 120; ++i)
    rows.push_back({"Customer " + std::to_string(i), std::to_string(i), 10000, 150, ""});
  InterestSettings flat = Percent('3', "", "");
  flat.FlatFee = true;
  flat.Fee = "1.50";
  records::CompanyRec company = records::CurrentCompany;
  PrintInterestReport(rows, flat, "Over 30 Days", company, platform::text::Now(), platform::print::Printer());
  QStringList printed = Printed();
  EXPECT_EQ(printed.filter("NewPage").size(), 2);
  EXPECT_EQ(printed.filter("\"Continued on page 2 ...\"").size(), 1);
  EXPECT_EQ(printed.filter("\"Continued on page 3 ...\"").size(), 1);
  EXPECT_EQ(printed.filter("\"Page 3\"").size(), 1);
  EXPECT_EQ(printed.filter("charged a flat rate of 1.50 as fee.").size(), 3);
  EXPECT_EQ(printed.filter("\"Customer Name\"").size(), 3);
  EXPECT_EQ(printed.filter("\"Report Complete. 120 records printed.\"").size(), 1);
  // No row runs into the 200 pixels kept free at the bottom of the page.
  for (const QString& line : printed) {
    if (!line.startsWith("TextOut") || line.contains("Continued")) continue;
    EXPECT_LE(line.section(", ", 1, 1).toInt() + 50, 3150 - 200) << line.toStdString();
  }
}

}  // namespace
}  // namespace invoicing
