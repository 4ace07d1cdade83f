// The windows that read the company's files to show, print or write what they find (a customer's
// statement, the statement batch, the label queue's load, a label run, the letter merge, the
// contact manager's export and the product list), each run as the user runs it with every file it
// reads failing: refused at its open, and failing with an I/O error at each of its reads in turn.
// Each must then say which file and the system's reason, and put nothing out; and never answer
// "nothing there". Readable empty files still give the honest empty answer.

#include <gtest/gtest.h>

#include <QRegularExpression>
#include <QStringList>
#include <filesystem>
#include <functional>

#include "documents/batch_statements.h"
#include "documents/customer_statement.h"
#include "exchange/contact_export.h"
#include "forms/list_window.h"
#include "forms/run_state.h"
#include "platform/files/fault_seam.h"
#include "platform/files/file.h"
#include "platform/files/path.h"
#include "platform/ui/application.h"
#include "platform/ui/form.h"
#include "platform/ui/support/ui_script.h"
#include "platform/ui/ui_driver.h"
#include "products/product_manager.h"
#include "records/company_file.h"
#include "records/customer_file.h"
#include "records/invoice_file.h"
#include "records/product_file.h"
#include "reports/form_letter_window.h"
#include "reports/label_layout.h"
#include "reports/label_queue.h"
#include "reports/label_wizard.h"
#include "shell/permissions_apply.h"
#include "storage/isam.h"
#include "support/recording_printer.h"
#include "support/scratch_company.h"
#include "support/stand_in_user.h"
#include "support/temp_dir.h"

namespace {

namespace fs = std::filesystem;
using platform::files::FaultAction;
using platform::files::FaultPlan;
using platform::ui::MessageRequest;
using platform::ui::TModalResult;

// What a run said, showed and put out.
struct Outcome {
  QStringList said;    // message boxes that are no question of the run's own
  QStringList shown;   // the windows of results: caption and the number of lines or rows
  QStringList status;  // the status lines the run left
  int printed = 0;     // print jobs
  bool exported = false;
  int queued = 0;
  int readsAtFirstStatus = -1;  // reads of the files when the first status line came
};

// Stands in for the user: answers the run's own questions as the table says and every other box
// with its default, confirms every modal form as it stands, and keeps what was said and shown.
class Watcher : public testing_support::StandInUser {
 public:
  Watcher(Outcome& outcome, QStringList questions) : outcome_(outcome), questions_(std::move(questions)) {}

  TModalResult ShowMessageBox(const MessageRequest& request) override {
    if (questions_.contains(request.text)) return platform::ui::mrYes;
    outcome_.said << request.text;
    return platform::ui::DefaultButtonOf(request);
  }
  TModalResult RunModal(platform::ui::Form& form) override {
    form.EnterModalState();
    form.Show();
    if (auto* list = dynamic_cast<forms::TListWindow*>(&form))
      outcome_.shown << form.Caption() + " " + QString::number(list->Lines().size());
    else if (form.Caption() == "Customer Statement")
      outcome_.shown << form.Caption() + " " + QString::number(documents::Statement.RecordCount());
    form.SetModalResult(platform::ui::mrOk);
    if (form.InModalState()) form.AbandonModal(platform::ui::mrOk);
    return form.ModalResult();
  }

 private:
  Outcome& outcome_;
  QStringList questions_;
};

// Where the reads of the company's files end in a run that fails none: the reads after it are of
// the run's own files (a list read back, the run's date kept in the company record).
enum class DataReads { All, BeforeFirstWrite, BeforeFirstStatus };

struct Case {
  const char* name;
  std::vector<const char*> files;  // the company's files the run reads, by file code
  // Reads of the run's own files before it reads the company's: the letter merge reads back the
  // letter it saved for the merge.
  int ownReadsFirst;
  DataReads dataReads;
  QStringList questions;  // answered Yes, not counted as said
  std::function<void(Outcome&)> run;
  // What the run put out: a statement or list shown, anything printed, written or queued.
  std::function<bool(const Outcome&)> putOut;
  // The honest answer over readable empty files, in what was said, shown or left in the status.
  QString emptyAnswer;
};

// Words that tell the user there is nothing there; never said of files that could not be read.
const QStringList kEmptyAnswers = {"no activity",           "was not found",        "no longer on file",
                                   "There are no",          "0 records were added", "0 label(s)",
                                   "No records were found", "0 records exported",   "complete"};

class ReadFailureTest : public ::testing::Test {
 protected:
  ReadFailureTest() {
    testing_support::EnsureGuiApplication();
    storage::IsamInitialize(0, 30);
    records::CompanyRec company = testing_support::BooksCompanyRecord();
    EXPECT_TRUE(testing_support::OpenScratchCompany(
        company, {testing_support::CompanyFile::Customers, testing_support::CompanyFile::Invoices,
                  testing_support::CompanyFile::Products}));
    CloseFiles();
    testing_support::UiScript guard;
    reports::Tlblwiz& wizard = reports::Createlblwiz();
    wizard.SetLayoutControls();
    for (auto [box, text] : {std::pair{wizard.TopMargin, "100"},
                             {wizard.LeftMargin, "50"},
                             {wizard.Columns, "2"},
                             {wizard.Rows, "2"},
                             {wizard.LabelWidth, "1000"},
                             {wizard.LabelHeight, "500"}})
      box->setText(text);
    reports::LabelLayout = wizard.LayoutFromControls();
    reports::CreateLetterWiz().FileNewClick();
    products::CreateEditProd();
  }
  ~ReadFailureTest() override {
    platform::files::RemoveFaultPlan();
    reports::LabelPrintQueue.Clear();
    CloseFiles();
    storage::IsamShutdown();
    storage::CurrentCompanyNumber = nullptr;
    records::CurrentCompany = records::CompanyRec{};
    platform::ui::Application->DestroyForms();
  }

  static void CloseFiles() {
    for (storage::IsamFileBlock* file :
         {&records::CustomerFile, &records::InvoiceFile, &records::ProductFile}) {
      if (*file) storage::IsamCloseFileBlock(*file);
      *file = nullptr;
    }
  }

  // Runs the case from the same start every time: the queue holding customer C1 but for the load,
  // no export file, every file closed.
  static Outcome Run(const Case& c, const FaultPlan& plan = {}) {
    reports::LabelPrintQueue.Clear();
    if (std::string(c.name) != "LabelLoadOfAllCustomers")
      reports::LabelPrintQueue.Append({"C1", "", "", "", "C"});
    const int queuedBefore = reports::LabelPrintQueue.Count();
    (void)platform::files::DeleteFile("CPCUST.TXT");
    reports::lblwiz->StatusLine->clear();
    Outcome outcome;
    {
      testing_support::ScopedRecordingPrinter printer;
      Watcher watcher(outcome, c.questions);
      platform::files::InstallFaultPlan(plan);
      c.run(outcome);
      outcome.printed = static_cast<int>(printer.Calls().filter("BeginDoc").size());
    }
    outcome.exported = platform::files::Exists("CPCUST.TXT");
    outcome.queued = reports::LabelPrintQueue.Count() - queuedBefore;
    EXPECT_EQ(records::CustomerFile, nullptr) << c.name << ": left open";
    CloseFiles();
    return outcome;
  }

  // No figures and no word of an empty answer after a failure.
  static void ExpectNothingPutOut(const Case& c, const Outcome& o, const std::string& point) {
    EXPECT_FALSE(c.putOut(o)) << c.name << ", " << point << ": " << o.shown.join("; ").toStdString();
    for (const QString& words : kEmptyAnswers) {
      for (const QStringList* texts : {&o.said, &o.status})
        EXPECT_FALSE(texts->join("\n").contains(words, Qt::CaseInsensitive))
            << c.name << ", " << point << ": " << texts->join("\n").toStdString();
    }
  }

  static std::vector<Case> Cases();

  testing_support::TempDir dir_;
};

std::vector<Case> ReadFailureTest::Cases() {
  auto statusOf = [](Outcome& o) {
    return [&o](const QString& text) {
      if (o.readsAtFirstStatus < 0) o.readsAtFirstStatus = platform::files::FaultReadsSoFar();
      o.status << text;
    };
  };
  auto wizardStatus = [](Outcome& o) { o.status << reports::lblwiz->StatusLine->text(); };
  return {
      {"StatementOfACustomer",
       {"C", "I"},
       0,
       DataReads::All,
       {},
       [](Outcome&) { documents::ShowCustomerStatement("C1", "Acme Tools"); },
       [](const Outcome& o) { return !o.shown.isEmpty(); },
       "Customer C1 was not found."},
      {"StatementBatch",
       {"C", "I"},
       0,
       DataReads::BeforeFirstStatus,
       {},
       [statusOf](Outcome& o) { documents::BatchPrintStatements(statusOf(o)); },
       [](const Outcome& o) { return o.printed > 0; },
       "There are no customers with a non-zero balance that meet your aging selection. There are no "
       "statements to print."},
      {"LabelLoadOfAllCustomers",
       {"C"},
       0,
       DataReads::All,
       {},
       [wizardStatus](Outcome& o) {
         reports::lblwiz->LoadAll(reports::LoadAllCustomers);
         wizardStatus(o);
       },
       [](const Outcome& o) { return o.queued > 0; },
       "0 records were added."},
      {"LabelRun",
       {"C"},
       0,
       DataReads::All,
       {},
       [wizardStatus](Outcome& o) {
         reports::lblwiz->PrnButnClick();
         wizardStatus(o);
       },
       [](const Outcome& o) { return o.printed > 0; },
       "1 queued record(s) are no longer on file."},
      {"LetterMerge",
       {"C"},
       1,
       DataReads::All,
       {},
       [](Outcome&) {
         reports::LetterWiz->RichEdit1->setPlainText("Dear PVCSTNAME,");
         reports::LetterWiz->RichEdit1->document()->setModified(false);
         reports::LetterWiz->PrintButtonClick();
       },
       [](const Outcome& o) { return o.printed > 0; },
       "1 customer(s) of the print queue are no longer on file; no letter was printed for them."},
      {"ContactExportOfCustomers",
       {"C"},
       0,
       DataReads::BeforeFirstWrite,
       {},
       [](Outcome&) { exchange::ContactManagerExportCustomers(); },
       [](const Outcome& o) { return o.exported; },
       "Export complete. There were 0 records exported."},
      {"ProductList",
       {"P"},
       0,
       DataReads::BeforeFirstWrite,
       {"The products will be sorted by description. Would you rather sort by product code?"},
       [](Outcome&) { products::EditProd->ProdListButnClick(); },
       [](const Outcome& o) { return !o.shown.isEmpty(); },
       "Product List by Code 3"},
  };
}

// The message for a file the run could not use: the file and the system's reason.
QRegularExpression FailureSaid(const Case& c, const QString& how, const QString& reason) {
  QStringList codes;
  for (const char* code : c.files) codes << QString("12") + code;
  return QRegularExpression("^The file (" + codes.join('|') + ")\\.(DAT|IX) cannot be " + how +
                            " now: " + QRegularExpression::escape(reason) + "\\.$");
}

TEST_F(ReadFailureTest, StatementLabelLetterExportAndListSayTheFileTheyCannotReadAndPutNothingOut) {
  for (const Case& c : Cases()) {
    // Readable and empty: the honest empty answer.
    const Outcome empty = Run(c);
    EXPECT_FALSE((empty.said + empty.shown + empty.status).filter(c.emptyAnswer).isEmpty())
        << c.name << ": " << (empty.said + empty.shown + empty.status).join("; ").toStdString();
  }
  testing_support::FileSmallBooks();
  for (const Case& c : Cases()) {
    // Readable: what the run is for, and no failure said.
    const Outcome whole = Run(c);
    const int reads = platform::files::FaultReadsSoFar();
    const int beforeWrite = platform::files::FaultReadsBeforeFirstWrite();
    platform::files::RemoveFaultPlan();
    EXPECT_TRUE(c.putOut(whole)) << c.name;
    EXPECT_TRUE(whole.said.filter("cannot").isEmpty())
        << c.name << ": " << whole.said.join("; ").toStdString();

    // Each file refused at its open.
    for (const char* code : c.files) {
      const std::string data = std::string("12") + code + ".DAT";
      const Outcome refused = testing_support::WithFileRefused(data, [&c] { return Run(c); });
      EXPECT_EQ(refused.said, QStringList{QString::fromStdString(
                                  "The file " + data + " cannot be opened now: Permission denied.")})
          << c.name;
      ExpectNothingPutOut(c, refused, data + " refused");
    }

    // Each read of the company's files failing with an I/O error.
    const int last = c.dataReads == DataReads::All                ? reads
                     : c.dataReads == DataReads::BeforeFirstWrite ? beforeWrite
                                                                  : whole.readsAtFirstStatus;
    ASSERT_GT(last, c.ownReadsFirst) << c.name;
    const QRegularExpression told = FailureSaid(c, "(opened|read)", "Input/output error");
    for (int read = c.ownReadsFirst + 1; read <= last; ++read) {
      const Outcome failed = Run(c, {.Errno = EIO, .OnRead = FaultAction::Fail, .ReadNumber = read});
      platform::files::RemoveFaultPlan();
      const std::string point = "read " + std::to_string(read) + " of " + std::to_string(last);
      EXPECT_EQ(failed.said.size(), 1)
          << c.name << ", " << point << ": " << failed.said.join("; ").toStdString();
      EXPECT_TRUE(told.match(failed.said.join("; ")).hasMatch())
          << c.name << ", " << point << ": " << failed.said.join("; ").toStdString();
      ExpectNothingPutOut(c, failed, point);
    }
  }
}

}  // namespace
