#include "exchange/email_notice_window.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QVBoxLayout>
#include <optional>

#include "documents/mail_readiness.h"
#include "exchange/email_notice.h"
#include "forms/browser_font.h"
#include "forms/form_instance.h"
#include "forms/run_state.h"
#include "platform/text/codepage.h"
#include "platform/text/key_text.h"
#include "platform/ui/application.h"
#include "platform/ui/desktop.h"
#include "platform/ui/message_box.h"
#include "platform/ui/text_entry.h"
#include "records/company_rec.h"
#include "reports/label_queue.h"
#include "storage/stat_form.h"

namespace exchange {

using namespace platform::ui;
using platform::text::ToAnsi;
using platform::text::ToQString;
using platform::text::TrimBlanks;
using records::CurrentCompany;

TEMMemo* EMMemo = nullptr;

TEMMemo& CreateEMMemo() {
  return forms::FormInstance(EMMemo);
}

TEMMemo::TEMMemo(QWidget* parent)
    : Form(parent),
      Label1(new QLabel("Return E-Mail:", this)),
      EMRetAdd(new QLineEdit(this)),
      Label2(new QLabel("&Subject:", this)),
      EMSubject(new QLineEdit(this)),
      Label3(new QLabel("Enter in the e-mail message below:", this)),
      EMBody(new QPlainTextEdit(this)),
      Label4(new QLabel(this)),
      OKButton(new QPushButton("&E-Mail", this)),
      Button1(new QPushButton("&Queue", this)),
      SpeedButton14(new QToolButton(this)),
      SpeedButton16(new QToolButton(this)),
      StatusBar1(new QLabel(this)) {
  SetCaption("Send E-Mail Message");
  SetHelpKeyword("EMNote");
  Label2->setBuddy(EMSubject);
  EMBody->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  EMBody->setMinimumSize(440, 200);
  // Enter in the address and subject boxes must not start a mailing to the whole queue.
  OKButton->setAutoDefault(false);
  Button1->setAutoDefault(false);
  OKButton->setToolTip("Send the message to every customer and vendor in the print queue");
  Button1->setToolTip("Count the records in the print queue again");
  SpeedButton14->setText("Help");
  SpeedButton14->setToolTip("Help");
  SpeedButton16->setText("Close");
  SpeedButton16->setToolTip("Close");
  StatusBar1->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  StatusBar1->setMinimumHeight(StatusBar1->fontMetrics().height() + 6);
  connect(OKButton, &QPushButton::clicked, this, [this] { OKButtonClick(); });
  connect(Button1, &QPushButton::clicked, this, [this] { Button1Click(); });
  connect(SpeedButton14, &QToolButton::clicked, this, [this] { SpeedButton14Click(); });
  connect(SpeedButton16, &QToolButton::clicked, this, [this] { SpeedButton16Click(); });
  LayOut();
  SetTabOrder({EMRetAdd, EMSubject, EMBody, OKButton, Button1});
  // Tool bar buttons, as in any tool bar: not Tab stops (Help is F1, Close is Esc).
  for (QToolButton* button : {SpeedButton14, SpeedButton16}) button->setFocusPolicy(Qt::NoFocus);
}

void TEMMemo::LayOut() {
  auto* speedButtons = new QHBoxLayout;
  speedButtons->addWidget(SpeedButton14);
  speedButtons->addWidget(SpeedButton16);
  speedButtons->addStretch(1);
  auto* fields = new QGridLayout;
  fields->addWidget(Label1, 0, 0);
  fields->addWidget(EMRetAdd, 0, 1);
  fields->addWidget(Label2, 1, 0);
  fields->addWidget(EMSubject, 1, 1);
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(Label4, 1);
  buttons->addWidget(OKButton);
  buttons->addWidget(Button1);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(speedButtons);
  layout->addLayout(fields);
  layout->addWidget(Label3);
  layout->addWidget(EMBody, 1);
  layout->addLayout(buttons);
  layout->addWidget(StatusBar1);
}

void TEMMemo::FormShow() {
  busy_ = false;
  EnableControls(true);
  StatusBar1->clear();
  const QFont font = ToQFont(forms::CompanyBrowserFont(CurrentCompany));
  for (QWidget* box : std::initializer_list<QWidget*>{EMRetAdd, EMSubject, EMBody}) box->setFont(font);
  EMRetAdd->setText(ToQString(TrimBlanks(CurrentCompany.CompanyEMail.Get())));
  ShowQueueCount();
}

void TEMMemo::FormCloseQuery(bool& canClose) {
  // Not while the queue is being mailed: the run ends by itself.
  canClose = !busy_;
}

void TEMMemo::FormClose() {
  if (storage::StatForm && storage::StatForm->isVisible()) storage::StatForm->Close();
}

void TEMMemo::ShowQueueCount() {
  Label4->setText("Records in Queue: " + QString::number(reports::LabelPrintQueue.Count()));
}

void TEMMemo::EnableControls(bool enabled) {
  for (QWidget* control : std::initializer_list<QWidget*>{EMRetAdd, EMSubject, EMBody, OKButton, Button1,
                                                          SpeedButton14, SpeedButton16})
    control->setEnabled(enabled);
}

std::vector<std::string> TEMMemo::MessageLines() const {
  const QString text = EMBody->toPlainText();
  if (text.isEmpty()) return {};
  QStringList lines = text.split('\n');
  // A line break at the very end closes the last line; it does not begin another one.
  if (text.endsWith('\n')) lines.removeLast();
  std::vector<std::string> result;
  for (const QString& line : lines) result.push_back(ToAnsi(line));
  return result;
}

bool TEMMemo::InputComplete() {
  if (EMSubject->text().trimmed().isEmpty()) {
    MessageBox("You need an e-mail subject line.", "E-Mail Subject", MsgButtons::Ok, MsgIcon::Information);
    EMSubject->setFocus();
    return false;
  }
  const QString returnAddress = EMRetAdd->text().trimmed();
  if (returnAddress.isEmpty()) {
    MessageBox("You need a return e-mail address.", "E-Mail Address", MsgButtons::Ok, MsgIcon::Information);
    EMRetAdd->setFocus();
    return false;
  }
  if (!returnAddress.contains('@')) {
    MessageBox("The return e-mail address does not have the @ sign included. Bad e-mail address.",
               "Return E-Mail Address", MsgButtons::Ok, MsgIcon::Warning);
    EMRetAdd->setFocus();
    return false;
  }
  if (MessageLines().empty()) {
    MessageBox("You have not entered a message to send.", "Message Text", MsgButtons::Ok,
               MsgIcon::Information);
    EMBody->setFocus();
    return false;
  }
  if (reports::LabelPrintQueue.Empty()) {
    MessageBox(
        "You do not have any customers selected (listed) in the print queue. Select the Queue button to add "
        "customers to the queue.",
        "Print Queue", MsgButtons::Ok, MsgIcon::Information);
    return false;
  }
  return true;
}

void TEMMemo::OKButtonClick() {
  if (busy_ || !InputComplete()) return;
  platform::ui::SayLeftOutCharacters(*this);
  std::optional<NoticeRunResult> result;
  {
    // Connecting and sending let events through while they wait for the server: nothing here
    // may start another run or close the window meanwhile, whatever way the run ends.
    struct Busy {
      TEMMemo& window;
      explicit Busy(TEMMemo& w) : window(w) {
        window.busy_ = true;
        window.EnableControls(false);
      }
      ~Busy() {
        window.busy_ = false;
        window.EnableControls(true);
      }
    } busy(*this);
    WaitCursor hourglass;
    if (documents::EnsureMailOnline()) result = RunNotice();
  }
  if (result) ReportRun(*result);
  SetModalResult(mrOk);
}

NoticeRunResult TEMMemo::RunNotice() {
  const NoticeText text{ToAnsi(EMSubject->text()), ToAnsi(EMRetAdd->text()), MessageLines()};
  // The run walks its own copy: events run while it waits, and the queue is theirs to change.
  const std::vector<reports::LabelQueueRow> rows = reports::LabelPrintQueue.Rows();
  return SendNoticeToQueue(text, rows, [this](const std::string& name) {
    StatusBar1->setText("Sending: " + ToQString(name));
    Application->ProcessMessages();
  });
}

void TEMMemo::ReportRun(const NoticeRunResult& result) {
  if (result.EmptyAddresses > 0)
    MessageBox("There were " + QString::number(result.EmptyAddresses) +
                   " empty customer e-mail addresses. The customers were not sent your message.",
               "E-Mail Addresses", MsgButtons::Ok, MsgIcon::Information);
  // The queue has served its purpose only when every row was handled.
  if (result.Completed) forms::LabelsQueued = 0;
  QString sent = "There were " + QString::number(result.Sent) + " e-mail messages sent.";
  if (result.Missing > 0)
    sent += QString(" %1 queued record(s) are no longer on file and were left out.").arg(result.Missing);
  if (result.Refused > 0)
    sent +=
        QString(" The server refused the address(es) of %1 customer(s) or vendor(s).").arg(result.Refused);
  MessageBox(sent, "E-Mail Sent", MsgButtons::Ok, MsgIcon::Information);
}

void TEMMemo::Button1Click() {
  ShowQueueCount();
}

void TEMMemo::SpeedButton14Click() {
  Application->HelpKeyword(HelpKeyword());
}

void TEMMemo::SpeedButton16Click() {
  Close();
}

}  // namespace exchange
