#include "documents/batch_statements.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QIntValidator>
#include <QVBoxLayout>
#include <vector>

#include "documents/customer_statement.h"
#include "documents/document_refusal.h"
#include "documents/document_view.h"
#include "documents/mail_readiness.h"
#include "documents/statement_window.h"
#include "forms/form_instance.h"
#include "forms/run_state.h"
#include "forms/unusable_file.h"
#include "platform/print/printer.h"
#include "platform/text/amount.h"
#include "platform/text/clock.h"
#include "platform/text/codepage.h"
#include "platform/text/date_text.h"
#include "platform/text/key_text.h"
#include "platform/text/number_text.h"
#include "platform/ui/application.h"
#include "platform/ui/desktop.h"
#include "platform/ui/message_box.h"
#include "records/company_file.h"
#include "records/customer_file.h"
#include "records/record_file.h"
#include "reports/label_queue.h"
#include "reports/report_walk.h"
#include "storage/stat_form.h"

namespace documents {

using platform::text::ToQString;
using platform::text::TrimBlanks;
using platform::ui::MessageBox;
using platform::ui::MsgButtons;
using platform::ui::MsgIcon;
using records::CurrentCompany;

namespace {
const QString kBatchTitle = QStringLiteral("Batch Print - Statements");
}  // namespace

TSelStmnt* SelStmnt = nullptr;
TBatchStWin* BatchStWin = nullptr;

TSelStmnt& CreateSelStmnt() {
  return forms::FormInstance(SelStmnt);
}

TBatchStWin& CreateBatchStWin() {
  return forms::FormInstance(BatchStWin);
}

TSelStmnt::TSelStmnt(QWidget* parent)
    : Form(parent),
      Label1(new QLabel(this)),
      RBAll(new QRadioButton("All non-zero balances")),
      RBover30(new QRadioButton),
      RBover60(new QRadioButton),
      RBover90(new QRadioButton),
      RBActAll(new QRadioButton("All activity (paid and unpaid)")),
      RBActUnPd(new QRadioButton("Only Unpaid Transactions")),
      ExcludeEmail(new QCheckBox(this)),
      OKButton(new QPushButton("&Ok", this)),
      CanButn(new QPushButton("&Cancel", this)),
      Button1(new QPushButton("&Help", this)) {
  SetCaption("Statement Selection");
  auto* balances = new QGroupBox(" Account Balance Selection: ", this);
  auto* balanceRows = new QVBoxLayout(balances);
  for (QRadioButton* button : {RBAll, RBover30, RBover60, RBover90}) balanceRows->addWidget(button);
  auto* detail = new QGroupBox(" Statement Detail: ", this);
  auto* detailRows = new QVBoxLayout(detail);
  for (QRadioButton* button : {RBActAll, RBActUnPd}) detailRows->addWidget(button);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  for (QPushButton* button : {OKButton, CanButn, Button1}) buttons->addWidget(button);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(Label1);
  layout->addWidget(balances);
  layout->addWidget(detail);
  layout->addWidget(ExcludeEmail);
  layout->addLayout(buttons);
  OKButton->setDefault(true);
  BindModalResult(OKButton, platform::ui::mrOk);
  BindModalResult(CanButn, platform::ui::mrCancel);
  QObject::connect(Button1, &QPushButton::clicked,
                   [] { platform::ui::Application->HelpKeyword("GetStatement"); });
}

void TSelStmnt::FormCreate() {
  RBAll->setChecked(true);
  RBActUnPd->setChecked(true);
  ExcludeEmail->setChecked(true);
}

void TSelStmnt::FormShow() {
  bool byEMail = forms::EMailOutputChosen();
  Label1->setText(byEMail ? "E-Mail Mode" : "Printer Mode");
  ExcludeEmail->setText(byEMail ? "Bypass customers without an e-mail address"
                                : "Bypass customers with an e-mail address");
}

TBatchStWin::TBatchStWin(QWidget* parent)
    : Form(parent),
      Label1(new QLabel(this)),
      Label2(new QLabel(this)),
      StmntBatch(new QLabel("Print in &batches of:", this)),
      EMBNum(new QLineEdit(this)),
      OKButton(new QPushButton("&Print", this)),
      CanButn(new QPushButton("&Cancel", this)),
      HlpBtn(new QPushButton("Help", this)) {
  SetCaption("Batch Print Statements");
  EMBNum->setMaxLength(4);
  EMBNum->setValidator(new QIntValidator(0, 9999, EMBNum));
  StmntBatch->setBuddy(EMBNum);
  HlpBtn->setToolTip("Help");
  auto* size = new QHBoxLayout;
  size->addWidget(StmntBatch);
  size->addWidget(EMBNum);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  for (QPushButton* button : {OKButton, CanButn, HlpBtn}) buttons->addWidget(button);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(Label1);
  layout->addWidget(Label2);
  layout->addLayout(size);
  layout->addLayout(buttons);
  OKButton->setDefault(true);
  QObject::connect(OKButton, &QPushButton::clicked, [this] { OKButtonClick(); });
  QObject::connect(CanButn, &QPushButton::clicked, [this] { CanButnClick(); });
  QObject::connect(HlpBtn, &QPushButton::clicked,
                   [] { platform::ui::Application->HelpKeyword("ViewStatement"); });
}

void TBatchStWin::FormShow() {
  OKButton->setFocus();
}

void TBatchStWin::OKButtonClick() {
  if (EMBNum->text().trimmed().isEmpty()) {
    MessageBox("You must enter the number of statements to print in this batch.", "Number to Batch Print",
               MsgButtons::Ok, MsgIcon::Information);
    EMBNum->setFocus();
    return;
  }
  SetModalResult(platform::ui::mrOk);
}

void TBatchStWin::CanButnClick() {
  SetModalResult(platform::ui::mrCancel);
  Close();
}

bool RefuseWhileBatchRuns() {
  if (!BatchStatementActive) return false;
  MessageBox("A batch of statements is being printed or e-mailed. Please wait until it has finished.",
             "Statements", MsgButtons::Ok, MsgIcon::Information);
  return true;
}

void ShowCustomerStatement(const std::string& customerNo, const std::string& customerName) {
  if (RefuseWhileBatchRuns()) return;
  StmtCustomerNo = customerNo;
  QString caption = ToQString(("Customer: " + customerName).substr(0, 45));
  StmtUnpaidOnly = false;
  bool found = false;
  if (!forms::ReadAll(caption, [&found] { found = BuildCustomerStatement(); })) return;
  if (!found) {
    MessageBox("Customer " + ToQString(TrimBlanks(customerNo)) + " was not found.", caption, MsgButtons::Ok,
               MsgIcon::Warning);
    return;
  }
  if (Statement.RecordCount() == 0) {
    MessageBox("There is no activity for this customer.", caption, MsgButtons::Ok, MsgIcon::Information);
    return;
  }
  CreateStment().ShowModal();
}

namespace {

bool NonZero(const std::string& amount) {
  return platform::text::ParseAmount(platform::text::StripCommas(amount)).value_or(0) != 0;
}

// The customers of the run, in name order.
std::vector<std::string> SelectCustomers(const TSelStmnt& selection, bool byEMail) {
  std::vector<std::string> numbers;
  records::FileForAction action(records::CustomerFile, records::OpenCustomerFile);
  if (!records::ThereToRead(action, records::CustomerUnit())) return numbers;
  platform::ui::WaitCursor hourglass;
  reports::ReportFile file(records::CustomerUnit());
  records::CustomerRec blank{};
  reports::WalkKey<records::CustomerRec>(
      file, 1, records::BuildCustomerKey(blank, 1), [](const storage::IsamKeyStr&) { return true; },
      [&](const records::CustomerRec& c) {
        std::string email = TrimBlanks(c.CustEMail.Get());
        bool bypassed = selection.ExcludeEmail->isChecked() && (byEMail ? email.empty() : email.size() > 1);
        bool selected =
            selection.RBAll->isChecked() ? NonZero(c.CustBalance.Get())
            : selection.RBover30->isChecked()
                ? NonZero(c.CustAging2.Get()) || NonZero(c.CustAging3.Get()) || NonZero(c.CustAging4.Get())
            : selection.RBover60->isChecked() ? NonZero(c.CustAging3.Get()) || NonZero(c.CustAging4.Get())
                                              : NonZero(c.CustAging4.Get());
        if (!bypassed && selected) numbers.push_back(c.CustomerNo.Get());
      });
  return numbers;
}

// Every statement of the run is built once before any goes out, so that a file that cannot be
// read stops the run before anything is printed or sent. Each is built again as it goes out, from
// the files as they are then: the run lets the user work between its batches.
void CheckStatementsReadable(const std::vector<std::string>& customers) {
  platform::ui::WaitCursor hourglass;
  for (const std::string& customer : customers) {
    StmtCustomerNo = TrimBlanks(customer).substr(0, 8);
    (void)BuildCustomerStatement();
  }
  Statement = TStatementData{};
}

void SetAgingCaptions(TSelStmnt& selection) {
  const records::CompanyRec& c = CurrentCompany;
  auto captionOr = [](const std::string& caption, const std::string& days) {
    return ToQString(TrimBlanks(caption).empty() ? TrimBlanks(days) : TrimBlanks(caption));
  };
  selection.RBover30->setText(captionOr(c.AgingCaption2.Get(), c.AgingDays2.Get()));
  selection.RBover60->setText(captionOr(c.AgingCaption3.Get(), c.AgingDays3.Get()));
  selection.RBover90->setText("Over " + ToQString(TrimBlanks(c.AgingDays3.Get())));
}

// Clears the batch flag however the run ends, so a later single statement never queues labels.
struct BatchActive {
  BatchActive() { BatchStatementActive = true; }
  ~BatchActive() { BatchStatementActive = false; }
};

// The progress window for the length of the run, closed however the run ends.
class BatchProgress {
 public:
  explicit BatchProgress(bool byEMail) : form_(storage::EnsureStatForm()) {
    form_.ClearStatusLines();
    form_.Label2->setText("Working...");
    form_.SetCaption(byEMail ? "E-Mail Mode" : "Printer Mode");
    form_.Show();
  }
  ~BatchProgress() { form_.Close(); }
  BatchProgress(const BatchProgress&) = delete;
  BatchProgress& operator=(const BatchProgress&) = delete;

  storage::TStatForm& Form() { return form_; }

 private:
  storage::TStatForm& form_;
};

}  // namespace

void BatchPrintStatements(const std::function<void(const QString&)>& status) {
  if (RefuseWhileBatchRuns()) return;
  // Before the selection, so that nothing of the run (the label queue) is touched.
  RefuseWhilePostingWaits("The statements", forms::EMailOutputChosen() ? kEMailed : kPrinted);
  if (storage::StatForm && storage::StatForm->isVisible()) storage::StatForm->Close();
  TSelStmnt& selection = CreateSelStmnt();
  SetAgingCaptions(selection);
  if (selection.ShowModal() != platform::ui::mrOk) return;
  const bool byEMail = forms::EMailOutputChosen();
  std::vector<std::string> customers;
  if (!forms::ReadAll(kBatchTitle, [&] { customers = SelectCustomers(selection, byEMail); })) return;
  const int n = static_cast<int>(customers.size());
  if (n == 0) {
    MessageBox(
        "There are no customers with a non-zero balance that meet your aging selection. There are no "
        "statements "
        "to print.",
        kBatchTitle, MsgButtons::Ok, MsgIcon::Information);
    return;
  }
  StmtUnpaidOnly = selection.RBActUnPd->isChecked();

  TBatchStWin& batch = CreateBatchStWin();
  batch.Label2->setText(("Last Batch Run: " + ToQString(CurrentCompany.LastBatchRun.Get())).left(26));
  batch.Label1->setText("There are " + QString::number(n) +
                        (byEMail ? " statements to be e-mailed." : " statements to be printed."));
  batch.OKButton->setText(byEMail ? "&E-Mail" : "&Print");
  batch.EMBNum->setText(QString::number(n));
  if (batch.ShowModal() != platform::ui::mrOk) return;
  int size = std::clamp(
      platform::text::TryStrToInt(TrimBlanks(platform::text::ToAnsi(batch.EMBNum->text()))).value_or(1), 1,
      n);
  if (!forms::ReadAll(kBatchTitle, [&] { CheckStatementsReadable(customers); })) return;
  if (byEMail && !EnsureMailOnline()) return;

  bool cancelled = false;
  bool unreadable = false;
  int sent = 0;
  {
    platform::ui::WaitCursor hourglass;
    BatchActive active;
    BatchProgress progress(byEMail);
    int processed = 0;
    for (int i = 1; i <= n && !cancelled; ++i) {
      StmtCustomerNo = TrimBlanks(customers[static_cast<std::size_t>(i - 1)]).substr(0, 8);
      bool found = false;
      if (!forms::ReadAll(kBatchTitle, [&found] { found = BuildCustomerStatement(); })) {
        unreadable = true;  // what went out before stays out; the run is not recorded as done
        break;
      }
      if (!found) continue;  // gone since the scan: never another customer's statement
      if (CurrentCompany.BatchCopyToLabelQueue.Get() == "Y") reports::QueueCustomer(Statement.Customer);
      QString number = QString::number(i);
      progress.Form().Label2->setText((byEMail ? "E-Mailing Statement " : "Printing Statement ") + number +
                                      " ...");
      PutOutStatement(byEMail);
      ++sent;
      platform::ui::Application->ProcessMessages();
      ++processed;
      status("Processing " + ToQString(TrimBlanks(Statement.Account[0])) + " (" + number + " of " +
             QString::number(n) + " [batches of " + QString::number(size) + "]) ...");
      platform::ui::Application->ProcessMessages();
      if (processed >= size && n - i > 0) {
        progress.Form().Close();
        status("Pausing batch job. Select Yes when ready to continue...");
        platform::ui::Application->ProcessMessages();
        bool goOn =
            MessageBox(QString::number(size) + " statements processed during this cycle. There are " +
                           QString::number(n - i) + " statements remaining. Do you want to continue?",
                       "Batch Job Pause...", MsgButtons::YesNo, MsgIcon::Information) == platform::ui::mrYes;
        processed = 0;
        progress.Form().Show();
        cancelled = !goOn;
      }
    }
  }
  if (unreadable) return;
  if (cancelled) {
    status("Batch job canceled.");
    return;
  }
  // The statements went out whatever becomes of the date; a date that cannot be kept is told there.
  (void)records::UpdateCurrentCompanyRecord([](records::CompanyRec& company) {
    company.LastBatchRun.Set(platform::text::DateToStr(platform::text::Today()).substr(0, 10));
  });
  platform::ui::Application->ProcessMessages();
  if (!byEMail) {
    status("Batch Print complete. " + QString::number(sent) + " statements " +
           platform::print::WhereRunWent("sent to spooler") + ".");
    return;
  }
  status("Batch complete. " + QString::number(sent) + " statements sent by e-mail.");
  CreateRtedit().msSMTP1->Quit();
  MessageBox("E-mail operation complete.", "Batch E-Mail", MsgButtons::Ok, MsgIcon::Information);
}

}  // namespace documents
