// The windows that look a record up while the user types or picks (a product code typed on an
// invoice or a PO line, a customer's open items in the payment wizard) and the aging of the
// receivables, each run with every file it reads refused at its open and failing with an I/O error
// at each of its reads in turn. Each must then say which file and the system's reason, once; keep
// what was typed; post nothing; never end the program; and never answer "not found" or "none".
// A code truly not on file, or an empty file, still gives the honest answer.

#include <gtest/gtest.h>

#include <QRegularExpression>
#include <QStringList>
#include <functional>

#include "customers/customer_manager.h"
#include "forms/halt_program.h"
#include "invoicing/invoice_entry.h"
#include "invoicing/partial_payment_dialog.h"
#include "invoicing/payment_wizard.h"
#include "platform/files/fault_seam.h"
#include "platform/text/clock.h"
#include "platform/ui/application.h"
#include "platform/ui/form.h"
#include "platform/ui/support/ui_script.h"
#include "platform/ui/ui_driver.h"
#include "products/product_manager.h"
#include "purchasing/po_entry.h"
#include "records/company_file.h"
#include "records/customer_file.h"
#include "records/invoice_file.h"
#include "records/product_file.h"
#include "shell/aging.h"
#include "shell/permissions_apply.h"
#include "storage/isam.h"
#include "support/scratch_company.h"
#include "support/stand_in_user.h"
#include "support/temp_dir.h"

namespace {

using platform::files::FaultAction;
using platform::files::FaultPlan;
using platform::ui::TModalResult;

// What a run said and what it left.
struct Outcome {
  QStringList said;     // every message box, questions included
  QString typedLine;    // the line the user typed before the look-up
  QString lookedUp;     // what the look-up put on its line
  int listed = -1;      // open items listed
  bool done = false;    // the payment posted, the aging run
  bool picked = false;  // the Product Manager shown to pick from
};

// Stands in for the user: answers No to every question, picks customer C1 in the Customer
// Manager, takes a deposit of 25.00, and keeps every message.
class Watcher : public testing_support::StandInUser {
 public:
  explicit Watcher(Outcome& outcome) : outcome_(outcome) {}

  TModalResult ShowMessageBox(const platform::ui::MessageRequest& request) override {
    outcome_.said << request.text;
    return request.buttons == platform::ui::MsgButtons::YesNo ? platform::ui::mrNo
                                                              : platform::ui::DefaultButtonOf(request);
  }
  TModalResult RunModal(platform::ui::Form& form) override {
    if (dynamic_cast<customers::TDemoForm*>(&form)) {
      records::SelectedCustomer = Customer();
      return platform::ui::mrOk;
    }
    if (auto* deposit = dynamic_cast<invoicing::TPPmtDialog*>(&form)) {
      deposit->PAmount->setText("25.00");
      return platform::ui::mrOk;
    }
    if (dynamic_cast<products::TEditProd*>(&form)) {
      outcome_.picked = true;
      return platform::ui::mrCancel;
    }
    ADD_FAILURE() << "unexpected window " << form.Caption().toStdString();
    return platform::ui::mrCancel;
  }

  static records::CustomerRec Customer() {
    records::CustomerRec c{};
    c.CustomerNo.Set("C1");
    c.CustomerName.Set("Acme Tools");
    c.CustBalance.Set("100.00");
    c.CustAging1.Set("100.00");
    return c;
  }

 private:
  Outcome& outcome_;
};

struct Case {
  const char* name;
  std::vector<const char*> files;  // the company's files the run reads, by file code
  bool readsBeforeFirstWrite;      // reads after the first write are the run's own work
  std::function<void(Outcome&)> run;
  // What the run did over readable files, and what it answers over empty ones.
  std::function<bool(const Outcome&)> found;
  QString emptyAnswer;
};

class LookupFailureTest : public ::testing::Test {
 protected:
  LookupFailureTest() {
    testing_support::EnsureGuiApplication();
    storage::IsamInitialize(0, 30);
    records::CompanyRec company = testing_support::BooksCompanyRecord();
    company.CompanyARBalance.Set("100.00");
    EXPECT_TRUE(testing_support::OpenScratchCompany(
        company, {testing_support::CompanyFile::Customers, testing_support::CompanyFile::Invoices,
                  testing_support::CompanyFile::Products}));
    CloseFiles();
  }
  ~LookupFailureTest() override {
    platform::files::RemoveFaultPlan();
    CloseFiles();
    storage::IsamShutdown();
    storage::CurrentCompanyNumber = nullptr;
    records::CurrentCompany = records::CompanyRec{};
    forms::ResetProgramHalt();
    platform::ui::Application->DestroyForms();
    invoicing::ProdInv = nullptr;
    invoicing::PayBox = nullptr;
    purchasing::POEdit1 = nullptr;
  }

  static void CloseFiles() {
    for (storage::IsamFileBlock* file :
         {&records::CustomerFile, &records::InvoiceFile, &records::ProductFile, &records::CompanyFile}) {
      if (*file) storage::IsamCloseFileBlock(*file);
      *file = nullptr;
    }
  }

  // The small books, kept aside for PutBooksBack.
  static void FileBooks() {
    testing_support::FileSmallBooks();
    CloseFiles();
    testing_support::KeepBooksAside();
  }

  static Outcome Run(const Case& c, const FaultPlan& plan = {}) {
    Outcome outcome;
    {
      Watcher watcher(outcome);
      platform::files::InstallFaultPlan(plan);
      c.run(outcome);
    }
    platform::files::RemoveFaultPlan();
    EXPECT_FALSE(forms::ProgramHalted()) << c.name;
    CloseFiles();
    return outcome;
  }

  static std::vector<Case> Cases();

  testing_support::TempDir dir_;
  platform::text::FixedClock clock_{QDateTime(QDate(2026, 12, 7), QTime(10, 0))};
};

// A code typed on line 2 under a line typed by hand.
template <class Form>
void LookUpTypedCode(Outcome& o, Form& form, int codeColumn, int descriptionColumn) {
  form.Lines->Put(1, descriptionColumn, "Typed by hand");
  form.Lines->Put(2, descriptionColumn, QString());
  form.Lines->Put(2, codeColumn, "P1");
  form.StringGrid1CodeEntered(2);
  o.typedLine = form.Lines->Cell(1, descriptionColumn);
  o.lookedUp = form.Lines->Cell(2, descriptionColumn);
}

std::vector<Case> LookupFailureTest::Cases() {
  const QString notFound = "That product code was not found. Would you like to add it now?";
  auto widgetPlaced = [](const Outcome& o) {
    return o.lookedUp == "Widget" && o.typedLine == "Typed by hand";
  };
  return {
      {"InvoiceEntryProductCode",
       {"P"},
       false,
       [](Outcome& o) {
         LookUpTypedCode(o, invoicing::CreateProdInv(), invoicing::kColCode, invoicing::kColDescription);
       },
       widgetPlaced,
       notFound},
      {"POEntryProductCode",
       {"P"},
       false,
       [](Outcome& o) {
         LookUpTypedCode(o, purchasing::CreatePOEdit1(), purchasing::kPOColCode,
                         purchasing::kPOColDescription);
       },
       widgetPlaced,
       notFound},
      // The items are read with the fault in place; the deposit is posted after it has gone, so
      // that only the wizard's own memory of the failure can refuse it. A customer file the
      // picker cannot open is said before the picker shows, and then nothing is picked or listed.
      {"PaymentWizardOpenItems",
       {"C", "I"},
       false,
       [](Outcome& o) {
         invoicing::TPayBox& wizard = invoicing::CreatePayBox();
         wizard.FormShow();
         wizard.BitBtn3Click();
         if (wizard.CustNo->text().isEmpty()) return;
         o.listed = wizard.SrcList->count();
         platform::files::RemoveFaultPlan();
         wizard.PAmt->setText("25.00");
         wizard.PAmtChange();
         wizard.AccountDepClick();
         wizard.SetModalResult(platform::ui::mrNone);
         wizard.OKBtnClick();
         o.done = wizard.ModalResult() == platform::ui::mrOk;
       },
       [](const Outcome& o) { return o.listed == 1 && o.done; },
       ""},
      // An empty code opens the picker; a product file it cannot open is said before it shows.
      {"InvoiceEntryProductPicker",
       {"P"},
       false,
       [](Outcome& o) {
         invoicing::TProdInv& form = invoicing::CreateProdInv();
         form.Lines->Put(1, invoicing::kColDescription, "Typed by hand");
         form.Lines->Put(2, invoicing::kColCode, QString());
         form.StringGrid1CodeEntered(2);
         o.typedLine = form.Lines->Cell(1, invoicing::kColDescription);
       },
       [](const Outcome& o) { return o.picked && o.typedLine == "Typed by hand"; },
       ""},
      {"AgingOfReceivables",
       {"C", "I"},
       true,
       [](Outcome& o) { o.done = shell::RecalculateAging().Ran; },
       [](const Outcome& o) { return o.done; },
       ""},
  };
}

TEST_F(LookupFailureTest, ALookUpOrListThatCannotReadSaysTheFileKeepsTheTypingAndPostsNothing) {
  for (const Case& c : Cases()) {
    // Readable and empty: the honest answer, and nothing said of a file.
    const Outcome empty = Run(c);
    EXPECT_TRUE(empty.said.filter("cannot").isEmpty())
        << c.name << ": " << empty.said.join("; ").toStdString();
    if (!c.emptyAnswer.isEmpty()) {
      EXPECT_FALSE(empty.said.filter(c.emptyAnswer).isEmpty())
          << c.name << ": " << empty.said.join("; ").toStdString();
    }
    if (empty.listed >= 0) {
      EXPECT_EQ(empty.listed, 0) << c.name;
    }
  }
  FileBooks();
  for (const Case& c : Cases()) {
    // Readable: what the run is for, and no failure said.
    const Outcome whole = Run(c);
    EXPECT_TRUE(c.found(whole)) << c.name << ": " << whole.said.join("; ").toStdString();
    EXPECT_TRUE(whole.said.filter("cannot").isEmpty())
        << c.name << ": " << whole.said.join("; ").toStdString();
    // The run may have changed the books; the next starts from the same ones.
    testing_support::PutBooksBack();
    int reads = 0;
    {
      Outcome counted;
      Watcher watcher(counted);
      platform::files::InstallFaultPlan({});
      c.run(counted);
      reads = c.readsBeforeFirstWrite ? platform::files::FaultReadsBeforeFirstWrite()
                                      : platform::files::FaultReadsSoFar();
      platform::files::RemoveFaultPlan();
      CloseFiles();
    }
    testing_support::PutBooksBack();

    auto expectRefused = [&c](const Outcome& o, const QString& how, const QString& reason,
                              const std::string& point) {
      QStringList codes;
      for (const char* code : c.files) codes << QString("12") + code;
      const QRegularExpression told("The file (" + codes.join('|') + ")\\.(DAT|IX) cannot be " + how +
                                    " now: " + QRegularExpression::escape(reason) + "\\.");
      const QString said = o.said.join("; ");
      // The wizard says it when it lists nothing, and again when the Post is refused.
      EXPECT_EQ(o.said.filter(told).size(), o.listed >= 0 ? 2 : 1)
          << c.name << ", " << point << ": " << said.toStdString();
      EXPECT_FALSE(said.contains("not found") || said.contains("balance due"))
          << c.name << ", " << point << ": " << said.toStdString();
      EXPECT_FALSE(c.found(o)) << c.name << ", " << point;
      if (!o.typedLine.isNull()) {
        EXPECT_EQ(o.typedLine, "Typed by hand") << c.name << ", " << point;
      }
      EXPECT_FALSE(o.done) << c.name << ", " << point;
      if (o.listed >= 0) {
        EXPECT_EQ(o.listed, 0) << c.name << ", " << point;
      }
    };

    // Each file refused at its open.
    for (const char* code : c.files) {
      const std::string data = std::string("12") + code + ".DAT";
      const Outcome refused = testing_support::WithFileRefused(data, [&c] { return Run(c); });
      expectRefused(refused, "opened", "Permission denied", data + " refused");
    }

    // Each read failing with an I/O error.
    ASSERT_GT(reads, 0) << c.name;
    for (int read = 1; read <= reads; ++read) {
      const Outcome failed = Run(c, {.Errno = EIO, .OnRead = FaultAction::Fail, .ReadNumber = read});
      expectRefused(failed, "(opened|read)", "Input/output error",
                    "read " + std::to_string(read) + " of " + std::to_string(reads));
      testing_support::PutBooksBack();
    }
  }
}

}  // namespace
