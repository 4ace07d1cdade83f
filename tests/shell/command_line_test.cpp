// The "/C" job in the test process, worked through the UI seam on a company with its books.

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <fstream>
#include <iterator>

#include "books_fixture.h"
#include "forms/halt_program.h"
#include "forms/run_state.h"
#include "invoicing/invoice_entry.h"
#include "permissions_apply.h"
#include "platform/files/path.h"
#include "platform/text/codepage.h"
#include "records/company_rec.h"
#include "records/customer_file.h"
#include "records/detail_file.h"
#include "records/invoice_file.h"
#include "records/memo_file.h"
#include "records/payment_terms.h"
#include "records/product_file.h"
#include "records/record_file.h"
#include "shell/command_line.h"
#include "storage/isam.h"

namespace {

using test_fixtures::BooksTest;

std::string ReadText(const char* name) {
  std::ifstream in(name, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

class CommandLineTest : public BooksTest {
 protected:
  ~CommandLineTest() override {
    forms::ResetProgramHalt();
    forms::ExternalInvoiceMode = 0;
  }
  // The job runs from the main window, where no file of the company is open.
  static void CloseCompanyFiles() {
    for (storage::IsamFileBlock* file : {&records::CustomerFile, &records::ProductFile, &records::InvoiceFile,
                                         &records::DetailFile, &records::MemoFile}) {
      storage::IsamCloseFileBlock(*file);
      *file = nullptr;
    }
  }
  // Runs "/C" for the customer, with the user working invoice entry by `enter`; afterwards the
  // company's files are open again for the checks.
  void RunJobFor(const std::string& number, const std::string& name,
                 const std::function<void(invoicing::TProdInv&)>& enter) {
    ASSERT_TRUE(records::SavePaymentTerms({"Net 30 Days"}));
    std::ofstream("FILE.TXT") << number << "\r\n" << name << "\r\n";
    CloseCompanyFiles();
    ui.OnModal<invoicing::TProdInv>(enter);
    shell::RunCreateInvoiceJob(memo);
    EXPECT_TRUE(ui.Done());
    StartAgainAfterHalt();
  }
  // The halt shut the engine down with every file: the engine started again, the company's files
  // open again for the checks.
  static void StartAgainAfterHalt() {
    EXPECT_TRUE(forms::ProgramHalted());
    forms::ResetProgramHalt();
    for (storage::IsamFileBlock* file : {&records::CustomerFile, &records::ProductFile, &records::InvoiceFile,
                                         &records::DetailFile, &records::MemoFile})
      *file = nullptr;
    storage::IsamInitialize(0, 30);
    EXPECT_TRUE(records::OpenCustomerFile() && records::OpenProductFile() && records::OpenInvoiceFile() &&
                records::OpenDetailFile() && records::OpenMemoFile());
  }
  // Rewrites a stored customer with `change` made.
  static void ChangeCustomer(const std::string& number,
                             const std::function<void(records::CustomerRec&)>& change) {
    records::FileForAction file(records::CustomerFile, records::OpenCustomerFile);
    const records::CustomerRec before = Customer(number);
    records::CustomerRec after = before;
    change(after);
    const auto refs = records::RecordsWithKey(records::CustomerFile, 2, records::BuildCustomerKey(before, 2));
    ASSERT_TRUE(records::UpdateCustomerRecord(after, before, refs.front()));
  }
  // Three taxable widgets at 12.50, without printing.
  static void SellWidgets(invoicing::TProdInv& f) {
    const std::pair<int, QString> cells[] = {{invoicing::kColCode, "WIDGET"},
                                             {invoicing::kColDescription, "Widget"},
                                             {invoicing::kColQuantity, "3"},
                                             {invoicing::kColPrice, "12.50"},
                                             {invoicing::kColTaxable, "Y"}};
    for (const auto& [column, text] : cells) {
      f.StringGrid1->SetCursor(1, column);
      EXPECT_TRUE(f.Lines->Enter(1, column, text));
    }
    f.PrintFlag->setChecked(false);
    f.OKButtonClick();
  }
  QPlainTextEdit memo;
};

// The layout step of invoice entry must not undo the exemption of the job's customer.
TEST_F(CommandLineTest, TheJobsCustomerDecidesTheTaxBox) {
  FileProduct("WIDGET", "10");
  FileCustomer("C100", "Taxed Ltd");
  FileCustomer("C200", "Exempt Ltd");
  ChangeCustomer("C200", [](records::CustomerRec& c) { c.TaxExempt.Set("Y"); });
  struct Case {
    const char *number, *name, *caption;
    bool taxed;
    const char* total;
  } cases[] = {{"C100", "Taxed Ltd", "Calc. Tax", true, "40.59"},
               {"C200", "Exempt Ltd", "Tax Exempt", false, "37.50"}};
  for (const Case& c : cases) {
    records::CurrentCompany.CalculateInvoiceTaxes = 1;
    records::CurrentCompany.DefaultTaxRate.Set("8.25");
    RunJobFor(c.number, c.name, [&](invoicing::TProdInv& f) {
      EXPECT_EQ(f.CheckBox2->text(), c.caption);
      EXPECT_EQ(f.CheckBox2->isChecked(), c.taxed);
      EXPECT_EQ(f.CheckBox2->isEnabled(), c.taxed);
      SellWidgets(f);
    });
    EXPECT_EQ(Customer(c.number).CustBalance.Get(), c.total) << c.name;
  }
  stock["WIDGET"] = 10;
  ExpectBooksBalance();
}

// What the job says is what was posted; an answer file that can be neither deleted nor written
// (a folder in its place) is said each time and never taken for the outcome: the invoice whose
// answer cannot be written is not posted, as the answer belongs to its posting.
TEST_F(CommandLineTest, TheOutcomeIsThePostingsAndAFailedAnswerIsSaid) {
  FileProduct("WIDGET", "10");
  FileCustomer("C100", "Acme Tools");
  std::filesystem::create_directory("CPWIN.TXT");
  for (bool posts : {false, true}) {
    ui.ExpectMessage("The answer file CPWIN.TXT of an earlier run could not be deleted.", "");
    RunJobFor("C100", "Acme Tools", [&](invoicing::TProdInv& f) {
      if (posts) {
        ui.ExpectMessage(
            "The posting (invoice 1001) could not be completed: The answer file CPWIN.TXT could not be "
            "written.\n\nNothing of it was kept.",
            "");
        SellWidgets(f);
        ui.ExpectMessage("Discard this invoice?", f.Caption()).Answer(platform::ui::mrYes);
      }
      ui.ExpectMessage("The answer file CPWIN.TXT could not be written.", "");
      ui.ExpectMessage("You did not create the invoice. Invoice not added.", "");
      f.InvCloseClick();
    });
  }
  EXPECT_EQ(Customer("C100").CustBalance.Get(), "0.00");
  stock["WIDGET"] = 10;
  ExpectBooksBalance();
}

TEST_F(CommandLineTest, ACustomerNumberMustMatchWholeNotAsTheStartOfAnother) {
  FileCustomer("50", "Fifty Ltd");
  FileCustomer("C100", "Acme Tools");
  EXPECT_FALSE(shell::ReadCustomerByNumber("5"));
  EXPECT_FALSE(shell::ReadCustomerByNumber(""));
  ASSERT_TRUE(shell::ReadCustomerByNumber(" c100 "));
  EXPECT_EQ(shell::ReadCustomerByNumber("50")->CustomerName.Get(), "Fifty Ltd");

  std::ofstream("FILE.TXT") << "5\r\nFive\r\n";
  ui.ExpectMessage("Customer number 5 does not exist! Unable to continue.", "");
  shell::RunCreateInvoiceJob(memo);
  EXPECT_EQ(ReadText("CPWIN.TXT"), "5\r\n***\r\n");
  EXPECT_TRUE(forms::ProgramHalted());
}

// Line 0 is compared whole: trailing text, a number longer than the field, or a no-break space
// alone is a number no customer has, refused with the "***" answer.
TEST_F(CommandLineTest, LineZeroIsTheWholeCustomerNumber) {
  FileCustomer("C100", "Acme Tools");
  for (const std::string number : {"C100     X", "C1000000000", "\xA0", "C100\xA0"}) {
    std::ofstream("FILE.TXT") << number << "\r\nAcme Tools\r\n";
    ui.ExpectMessage(
        "Customer number " + platform::text::ToQString(number) + " does not exist! Unable to continue.", "");
    CloseCompanyFiles();
    shell::RunCreateInvoiceJob(memo);
    EXPECT_EQ(ReadText("CPWIN.TXT"), number + "\r\n***\r\n");
    StartAgainAfterHalt();
  }
  EXPECT_TRUE(ui.Done());
}

// A customer file that cannot be read is said, naming it and the reason, never taken for a
// customer that does not exist; the answer refuses the job and the program ends.
TEST_F(CommandLineTest, ACustomerFileThatCannotBeReadIsSaidNotTakenForAMissingCustomer) {
  FileCustomer("C100", "Acme Tools");
  std::ofstream("FILE.TXT") << "C100\r\nAcme Tools\r\n";
  CloseCompanyFiles();
  ui.ExpectMessage("The file 12C.DAT cannot be opened now: Permission denied.", "Customer File")
      .Icon(platform::ui::MsgIcon::Error);
  testing_support::WithFileRefused("12C.DAT", [&] {
    shell::RunCreateInvoiceJob(memo);
    return 0;
  });
  EXPECT_TRUE(ui.Done());
  EXPECT_EQ(ReadText("CPWIN.TXT"), "C100\r\n***\r\n");
  EXPECT_TRUE(forms::ProgramHalted());
}

TEST_F(CommandLineTest, AnInvoiceNotEnteredAnswersWithStarsAndEndsTheProgram) {
  FileCustomer("C100", "Acme Tools");
  std::ofstream("FILE.TXT") << " C100 \r\n Acme Tools \r\n";
  std::ofstream("CPWIN.TXT") << "stale\r\n";
  CloseCompanyFiles();
  ui.OnModal<invoicing::TProdInv>([](invoicing::TProdInv& f) {
    EXPECT_EQ(f.ICustNo->text(), "C100");
    f.InvCloseClick();
  });
  ui.ExpectMessage("You did not create the invoice. Invoice not added.", "");
  shell::RunCreateInvoiceJob(memo);
  EXPECT_EQ(ReadText("CPWIN.TXT"), "C100\r\n***\r\n");
  EXPECT_TRUE(forms::ProgramHalted());
}

// The job warns of its customer's credit limit with the exclamation icon, as a warning; a pick in
// invoice entry tells it with the information icon.
TEST_F(CommandLineTest, TheJobWarnsOfACustomerOverTheLimitWithTheExclamationIcon) {
  FileCustomer("C100", "Acme Tools");
  PostInvoice("1001", "C100", "12/01/2026", "500.00", "0.00");
  ChangeCustomer("C100", [](records::CustomerRec& c) { c.CreditLimit.Set("100.00"); });
  std::ofstream("FILE.TXT") << "C100\r\nAcme Tools\r\n";
  CloseCompanyFiles();
  ui.ExpectMessage("This customer is over their credit limit.", "Warning")
      .Icon(platform::ui::MsgIcon::Warning);
  ui.OnModal<invoicing::TProdInv>([](invoicing::TProdInv& f) { f.InvCloseClick(); });
  ui.ExpectMessage("You did not create the invoice. Invoice not added.", "");
  shell::RunCreateInvoiceJob(memo);
  EXPECT_TRUE(forms::ProgramHalted());
  StartAgainAfterHalt();
  ExpectBooksBalance();
}

TEST_F(CommandLineTest, AMissingJobFileEndsTheProgramWithoutAnAnswer) {
  ui.ExpectMessage("Could not find required import file [FILE.TXT].", "");
  shell::RunCreateInvoiceJob(memo);
  EXPECT_FALSE(platform::files::Exists("CPWIN.TXT"));
  EXPECT_TRUE(forms::ProgramHalted());
}

}  // namespace
