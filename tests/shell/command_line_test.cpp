// The "/C" job in the test process, worked through the UI seam on a company with its books.

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "books_fixture.h"
#include "forms/halt_program.h"
#include "forms/run_state.h"
#include "invoicing/invoice_entry.h"
#include "platform/files/path.h"
#include "platform/text/codepage.h"
#include "records/customer_file.h"
#include "records/detail_file.h"
#include "records/invoice_file.h"
#include "records/memo_file.h"
#include "records/product_file.h"
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
  QPlainTextEdit memo;
};

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
    forms::ResetProgramHalt();
    std::ofstream("FILE.TXT") << number << "\r\nAcme Tools\r\n";
    ui.ExpectMessage(
        "Customer number " + platform::text::ToQString(number) + " does not exist! Unable to continue.", "");
    shell::RunCreateInvoiceJob(memo);
    EXPECT_EQ(ReadText("CPWIN.TXT"), number + "\r\n***\r\n");
    EXPECT_TRUE(forms::ProgramHalted());
  }
  EXPECT_TRUE(ui.Done());
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

TEST_F(CommandLineTest, AMissingJobFileEndsTheProgramWithoutAnAnswer) {
  ui.ExpectMessage("Could not find required import file [FILE.TXT].", "");
  shell::RunCreateInvoiceJob(memo);
  EXPECT_FALSE(platform::files::Exists("CPWIN.TXT"));
  EXPECT_TRUE(forms::ProgramHalted());
}

}  // namespace
