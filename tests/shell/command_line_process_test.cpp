// "/C" and "/V" end to end: a company with its books in a scratch directory, the job file written
// as the calling program writes it, and the program run in a process of its own with a scripted
// user (command_line_job). What the caller sees afterwards is checked from the files alone: the
// answer file, the company's files closed sound, and books that still balance.

#include <gtest/gtest.h>

#include <QProcess>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "books_fixture.h"
#include "platform/text/key_text.h"
#include "records/customer_file.h"
#include "records/detail_file.h"
#include "records/invoice_file.h"
#include "records/last_company.h"
#include "records/memo_file.h"
#include "records/product_file.h"
#include "records/record_file.h"
#include "storage/isam.h"
#include "storage/posting_journal.h"

namespace {

using test_fixtures::BooksTest;

std::string ReadText(const char* name) {
  std::ifstream in(name, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  for (std::size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2)
    lines.push_back(text.substr(start, end - start));
  return lines;
}

class CommandLineProcessTest : public BooksTest {
 protected:
  CommandLineProcessTest() {
    FileCustomer("C100", "Acme Tools");
    FileProduct("WIDGET", "10");
    stock["WIDGET"] = 10;
    PostInvoice("1001", "C100", "12/01/2026", "20.00", "0.00", {{"WIDGET", "2", "10.00"}});
    records::CurrentCompany = StoredCompany();
    EXPECT_TRUE(records::SaveCurrentCompany());
  }

  // Runs the program with `jobSwitch` on `jobFile` while this process holds none of its files;
  // the child's exit code is its verdict on what it was asked.
  int RunJob(const char* jobSwitch, const char* scenario, const std::string& jobFile) {
    std::ofstream("FILE.TXT", std::ios::binary) << jobFile;
    for (storage::IsamFileBlock* file : {&records::CustomerFile, &records::ProductFile, &records::InvoiceFile,
                                         &records::DetailFile, &records::MemoFile}) {
      storage::IsamCloseFileBlock(*file);
      *file = nullptr;
    }
    storage::ClosePostingJournal();  // held between postings, and locked: one program per journal
    QProcess job;
    job.setProgram(KESTRAVA_JOB_PROGRAM);
    job.setArguments({jobSwitch, scenario});
    job.setWorkingDirectory(QString::fromStdString(std::filesystem::current_path().string()));
    job.setProcessChannelMode(QProcess::ForwardedChannels);
    job.start();
    EXPECT_TRUE(job.waitForFinished(120000));
    EXPECT_EQ(job.exitStatus(), QProcess::NormalExit);
    EXPECT_TRUE(records::OpenCustomerFile() && records::OpenProductFile() && records::OpenInvoiceFile() &&
                records::OpenDetailFile() && records::OpenMemoFile());
    return job.exitCode();
  }

  // Every data file the job touched was closed sound (its index not left dirty).
  static void ExpectFilesClosedSound() {
    for (const auto& entry : std::filesystem::directory_iterator(".")) {
      std::filesystem::path index = entry.path();
      if (entry.path().extension() != ".DAT" || !std::filesystem::exists(index.replace_extension(".IX")))
        continue;
      QProcess check;
      check.start("python3", {QString(KESTRAVA_SOURCE_DIR) + "/tests/oracles/dat_checker.py",
                              QString::fromStdString(entry.path().string()), "--clean"});
      ASSERT_TRUE(check.waitForFinished(30000));
      EXPECT_EQ(check.exitCode(), 0) << entry.path() << check.readAll().toStdString();
    }
  }
};

TEST_F(CommandLineProcessTest, AnExistingCustomerGetsTheInvoiceAndTheAnswerNamesIt) {
  std::ofstream("CPWIN.TXT") << "stale answer\r\n";
  ASSERT_EQ(RunJob("/C", "existing", " C100 \r\nAcme Tool Co\r\n"), 0);
  const std::vector<std::string> answer = Lines(ReadText("CPWIN.TXT"));
  ASSERT_GE(answer.size(), 5u) << ReadText("CPWIN.TXT");
  EXPECT_EQ(platform::text::TrimBlanks(answer[0]), "C100");
  const std::string invoiceNumber = platform::text::TrimBlanks(answer[1]);
  const std::vector<records::InvoiceRec> added = Records(invoiceNumber);
  ASSERT_FALSE(added.empty()) << invoiceNumber;
  EXPECT_EQ(added[0].InvCustomerNo.Get(), "C100");
  EXPECT_EQ(answer[2], added[0].InvTotal.Get());
  EXPECT_NE(answer[4].find("WIDGET"), std::string::npos) << answer[4];
  EXPECT_EQ(Customer("C100").CustBalance.Get(), "57.50");  // 20.00 before, 3 x 12.50 now
  EXPECT_EQ(OnHand("WIDGET"), "5");
  ExpectBooksBalance();
  ExpectFilesClosedSound();
}

TEST_F(CommandLineProcessTest, ABlankNumberAddsTheCustomerFromTheJobFileFirst) {
  ASSERT_EQ(RunJob("/C", "new",
                   "\r\nBrand New Ltd\r\n1 High Street\r\nSpringfield\r\n\r\n\r\nbuyer@brandnew.example\r\n"
                   "555-0101\r\n555-0102\r\n"),
            0);
  const std::vector<std::string> answer = Lines(ReadText("CPWIN.TXT"));
  ASSERT_GE(answer.size(), 5u);
  EXPECT_EQ(platform::text::TrimBlanks(answer[0]), "N77");
  const records::CustomerRec added = Customer("N77");
  EXPECT_EQ(added.CustomerName.Get(), "Brand New Ltd");
  EXPECT_EQ(added.CustBalance.Get(), "37.50");
  EXPECT_EQ(OnHand("WIDGET"), "5");
  ExpectBooksBalance();
  ExpectFilesClosedSound();
}

TEST_F(CommandLineProcessTest, RefusedJobsAnswerWithStarsOrNothingAndChangeNoBooks) {
  ASSERT_EQ(RunJob("/C", "unknown", "Z9\r\nNobody\r\n"), 0);
  EXPECT_EQ(ReadText("CPWIN.TXT"), "Z9\r\n***\r\n");

  std::filesystem::remove("CPWIN.TXT");
  ASSERT_EQ(RunJob("/C", "cancelled", "\r\nBrand New Ltd\r\n"), 0);
  EXPECT_FALSE(std::filesystem::exists("CPWIN.TXT"));

  ASSERT_EQ(RunJob("/V", "view", "C100\r\nAcme Tools\r\n"), 0);
  EXPECT_FALSE(std::filesystem::exists("CPWIN.TXT"));
  EXPECT_EQ(Customer("C100").CustBalance.Get(), "20.00");
  EXPECT_EQ(OnHand("WIDGET"), "8");
  ExpectBooksBalance();
  ExpectFilesClosedSound();
}

}  // namespace
