// Every kind of printout to a file, on a disk that cannot take the file and on one that can: the
// file the printout writes is whole or not there at all, and nothing is reported saved (or
// marked printed) that was not written.

#include <gtest/gtest.h>

#include <QDir>
#include <QTextDocument>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <functional>

#include "documents/document_buffer.h"
#include "documents/invoice_printing.h"
#include "documents/printing_fixture.h"
#include "platform/files/fault_seam.h"
#include "platform/print/print_document.h"
#include "platform/print/print_test_support.h"
#include "platform/print/qt_print_backend.h"
#include "platform/ui/application.h"
#include "records/company_rec.h"
#include "reports/label_printing.h"
#include "reports/report_printout.h"

namespace documents {
namespace {

using namespace testing_printing;
using platform::files::FaultAction;
using platform::print::TPrinter;

struct Printout {
  const char* kind;
  std::function<void(TPrinter&)> print;
  const char* shows;  // a text the PDF must hold
};

void PrintTo(const Printout& printout, std::ostream* out) {
  *out << printout.kind;
}

reports::ReportTable SmallRegister() {
  reports::ReportTable table;
  table.AddRow({"Invoice#", "Customer#", "Grand Total"});
  table.LastTextColumn = 1;
  table.LastNumericColumn = 2;
  table.AddRow({"1001", "C100", "108.00"});
  return table;
}

void PrintLetter(TPrinter& printer) {
  QTextDocument letter;
  letter.setHtml("<p>Dear Customer,</p><p>Our spring prices are enclosed.</p>");
  platform::print::PrintTextDocument(letter, "Form Letter", printer);
}

const Printout kPrintouts[] = {
    {"invoice", [](TPrinter& printer) { PrintInvoice(printer); }, "Acme Tools"},
    {"report",
     [](TPrinter& printer) {
       const reports::ReportTable table = SmallRegister();
       reports::PrintReport(
           {table, "Invoice Register", "Invoice Register", "All invoices", {"Arial", 10, 0, 0}}, printer);
     },
     "C100"},
    {"label ruler", [](TPrinter& printer) { reports::PrintCalibrationRuler(printer); }, "400"},
    {"letter", PrintLetter, "Dear Customer,"},
};

class PrintoutFileTest : public testing::TestWithParam<Printout> {
 protected:
  PrintoutFileTest() {
    SetUpPrintingCompany();
    FillInvoiceBuffer(2);
    invoice_ = file_.Add("1001", "I");
    auto backend = std::make_unique<platform::print::QtPrintBackend>();
    backend->SetPrintToFile(true);
    printer_ = std::make_unique<TPrinter>(std::move(backend));
  }
  ~PrintoutFileTest() override {
    platform::files::RemoveFaultPlan();
    platform::ui::Application->DestroyForms();
  }

  // Prints with the fault plan in place; what the printout raised, "" when it went through.
  std::string PrintMeeting(const platform::files::FaultPlan& plan) {
    platform::files::InstallFaultPlan(plan);
    std::string failure;
    try {
      GetParam().print(*printer_);
    } catch (const platform::print::EPrinter& error) {
      failure = error.what();
    }
    platform::files::RemoveFaultPlan();
    return failure;
  }
  static QStringList Printouts() { return QDir("Printouts").entryList(QDir::Files | QDir::Hidden); }

  InvoiceFileScope file_;
  storage::IsamRecRef invoice_ = 0;
  std::unique_ptr<TPrinter> printer_;
};

TEST_P(PrintoutFileTest, AFullDiskIsSaidWithItsReasonAndLeavesNoFileASoundOneAWholeFile) {
  {
    // The disk takes the file's name but not its bytes: the first write after the create.
    const platform::print::PrintRun run(*printer_);
    const std::string failure =
        PrintMeeting({.OnWrite = FaultAction::Fail, .WriteNumber = 2, .Errno = ENOSPC});
    EXPECT_NE(failure.find("could not be written"), std::string::npos) << failure;
    EXPECT_NE(failure.find(std::strerror(ENOSPC)), std::string::npos) << failure;
    EXPECT_EQ(Printouts(), QStringList());
    EXPECT_EQ(run.Files(), QStringList());
    EXPECT_EQ(run.Notice("Invoice 1001"), "Invoice 1001 sent to printer.");  // no file claimed
    EXPECT_EQ(platform::print::LastJobFile(*printer_), "");
    EXPECT_EQ(file_.Read(invoice_).PrintedMark.Get(), "N");
  }
  const platform::print::PrintRun run(*printer_);
  EXPECT_EQ(PrintMeeting({}), "");
  const QStringList files = run.Files();
  ASSERT_EQ(files.size(), 1);
  EXPECT_EQ(run.Notice("It"), "It saved as " + files.first() + '.');
  EXPECT_EQ(Printouts(), QStringList{QFileInfo(files.first()).fileName()});
  EXPECT_TRUE(print_testing::PdfText(files.first()).contains(GetParam().shows));
  const bool invoice = std::string(GetParam().kind) == "invoice";
  EXPECT_EQ(file_.Read(invoice_).PrintedMark.Get(), invoice ? "Y" : "N");
}

INSTANTIATE_TEST_SUITE_P(EveryKind, PrintoutFileTest, testing::ValuesIn(kPrintouts),
                         [](const testing::TestParamInfo<Printout>& info) {
                           std::string name = info.param.kind;
                           std::replace(name.begin(), name.end(), ' ', '_');
                           return name;
                         });

}  // namespace
}  // namespace documents
