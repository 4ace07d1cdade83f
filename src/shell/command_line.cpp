#include "shell/command_line.h"

#include <QStringList>
#include <QTextDocument>

#include "customers/customer_manager.h"
#include "customers/edit_dlg.h"
#include "forms/halt_program.h"
#include "forms/run_state.h"
#include "forms/unusable_file.h"
#include "invoicing/invoice_entry.h"
#include "invoicing/invoice_manager.h"
#include "invoicing/invoice_posting.h"
#include "platform/files/file.h"
#include "platform/files/path.h"
#include "platform/text/codepage.h"
#include "platform/text/key_text.h"
#include "platform/text/upper_case.h"
#include "platform/ui/application.h"
#include "platform/ui/message_box.h"
#include "records/company_rec.h"
#include "records/customer_file.h"
#include "records/record_file.h"
#include "shell/main_form.h"

namespace shell {

using platform::text::ToAnsi;
using platform::text::ToQString;
using platform::text::TrimBlanks;
using platform::ui::ShowMessage;

namespace {

std::string Comparable(std::string_view text) {
  return platform::text::UpperCase(TrimBlanks(text));
}

void HideChartForJob() {
  if (MainForm) MainForm->HideChart();
  platform::ui::Application->ProcessMessages();
}

// Every file block is closed by the halt before the program ends.
void EndProgram() {
  forms::HaltProgram(0);
}

bool LoadJobFileOrEnd(QPlainTextEdit& memo) {
  if (LoadJobFile(memo)) return true;
  ShowMessage(ToQString(std::string("Could not find required import file [") + JobFileName + "]."));
  EndProgram();
  return false;
}

// Fills the customer dialog from the job file: the name (fixed for the add), the billing lines
// and the same lines as the shipping address, the e-mail address and the phones.
void PrefillCustomerDialog(const QPlainTextEdit& memo, customers::TEditDlg& dialog) {
  dialog.CName->setText(ToQString(JobLine(memo, 1)));
  dialog.CName->setEnabled(false);
  const auto billing = dialog.BillingEdits();
  const auto shipping = dialog.ShippingEdits();
  for (int i = 0; i < 4; ++i) {
    billing[i]->setText(ToQString(JobLine(memo, 2 + i)));
    shipping[i]->setText(billing[i]->text());
  }
  dialog.EMAdd->setText(ToQString(JobLine(memo, 6)));
  dialog.CPhone1->setText(ToQString(JobLine(memo, 7)));
  dialog.CPhone2->setText(ToQString(JobLine(memo, 8)));
}

// Adds the customer of the job file through the Customer Manager; the number given in the
// dialog, or none when the user did not add the customer.
std::optional<std::string> AddJobCustomer(const QPlainTextEdit& memo) {
  customers::TEditDlg& dialog = customers::CreateEditDlg();
  PrefillCustomerDialog(memo, dialog);
  customers::TDemoForm& manager = customers::CreateDemoForm();
  manager.Show();
  manager.AddCustomer();
  dialog.CName->setEnabled(true);
  const bool added = dialog.ModalResult() == platform::ui::mrOk;
  // The manager holds the customer file; invoice entry needs it next.
  if (manager.Visible()) manager.Close();
  if (!added) return std::nullopt;
  return TrimBlanks(ToAnsi(dialog.CNo->text())).substr(0, 9);
}

void PrepareInvoiceEntry(const records::CustomerRec& customer) {
  records::SelectedCustomer = customer;
  if (TrimBlanks(customer.CreditLimit.Get()).empty()) records::SelectedCustomer.CreditLimit.Set("0");
  invoicing::TProdInv& entry = invoicing::CreateProdInv();
  entry.ApplyCustomer(records::SelectedCustomer, platform::ui::MsgIcon::Warning);
  platform::ui::Application->ProcessMessages();
}

void WarnOfOtherName(const std::string& passedName, const records::CustomerRec& customer) {
  if (TrimBlanks(customer.CustomerName.Get()) == passedName) return;
  ShowMessage(ToQString("Customer name passed: " + passedName + " does not match this customers name of " +
                        customer.CustomerName.Get() + " in this system."));
}

}  // namespace

bool LoadJobFile(QPlainTextEdit& memo) {
  std::string bytes;
  if (!platform::files::Exists(JobFileName) || !platform::files::ReadWholeFile(JobFileName, &bytes))
    return false;
  QStringList lines;
  for (const QString& line : ToQString(bytes).split('\n'))
    lines << ToQString(TrimBlanks(ToAnsi(QString(line).remove('\r'))));
  memo.setPlainText(lines.join('\n'));
  return true;
}

std::string JobLine(const QPlainTextEdit& memo, int index) {
  const QStringList lines = memo.toPlainText().split('\n');
  return index < lines.size() ? TrimBlanks(ToAnsi(lines[index])) : std::string();
}

std::string JobCustomerNumber(const QPlainTextEdit& memo) {
  // The plain text would turn a no-break space into a blank; the raw text keeps it.
  const QString line = memo.document()->toRawText().section(QChar::ParagraphSeparator, 0, 0);
  return TrimBlanks(ToAnsi(line));
}

std::optional<records::CustomerRec> ReadCustomerByNumber(std::string_view number) {
  if (!records::IsCompanyOpen(records::CurrentCompany) || TrimBlanks(number).empty()) return std::nullopt;
  records::FileForAction file(records::CustomerFile, records::OpenCustomerFile);
  if (!records::ThereToRead(file, records::CustomerUnit())) return std::nullopt;
  records::CustomerRec wanted{}, found{};
  wanted.CustomerNo.Set(TrimBlanks(number).substr(0, 8));
  storage::IsamRecRef ref = 0;
  if (!records::ReadIfOnFile(records::CustomerUnit(), records::BuildCustomerKey(wanted, 2), 2, found, ref))
    return std::nullopt;
  // The key holds the number as stored; the whole number must be the one asked for.
  if (Comparable(found.CustomerNo.Get()) != Comparable(number)) return std::nullopt;
  return found;
}

// The job's customer into `customer` (none when no customer has the number); false, after saying
// the file and the reason, when the customer file cannot be read: that is no "does not exist".
bool ReadJobCustomer(std::string_view number, std::optional<records::CustomerRec>& customer) {
  return forms::ReadAll("Customer File", [&] { customer = ReadCustomerByNumber(number); });
}

void WriteRefusalAnswer(const std::string& customerNumber) {
  invoicing::WriteAnswerFile({customerNumber, "***"});
}

void RunCreateInvoiceJob(QPlainTextEdit& memo) {
  forms::ExternalInvoiceMode = 1;
  // An answer left by an earlier run would read as this run's.
  if (platform::files::Exists(AnswerFileName) && !platform::files::DeleteFile(AnswerFileName))
    ShowMessage(QString("The answer file %1 of an earlier run could not be deleted.").arg(AnswerFileName));
  HideChartForJob();
  if (!LoadJobFileOrEnd(memo)) return;
  const std::string passedNumber = JobCustomerNumber(memo);
  std::string number = passedNumber;
  if (passedNumber.empty()) {
    const std::optional<std::string> added = AddJobCustomer(memo);
    if (!added) {
      ShowMessage("You did not add the customer. Transaction cancelled.");
      EndProgram();
      return;
    }
    number = *added;
  }
  std::optional<records::CustomerRec> customer;
  if (!ReadJobCustomer(number, customer)) {
    WriteRefusalAnswer(number);
    EndProgram();
    return;
  }
  if (!customer) {
    WriteRefusalAnswer(number);
    ShowMessage(ToQString("Customer number " + number + " does not exist! Unable to continue."));
    EndProgram();
    return;
  }
  WarnOfOtherName(JobLine(memo, 1), *customer);
  PrepareInvoiceEntry(*customer);
  invoicing::TInvEdit1& manager = invoicing::CreateInvEdit1();
  manager.Show();
  // Invoice entry writes the answer when it adds the invoice.
  const bool added = manager.AddInvoice();
  if (!added) WriteRefusalAnswer(TrimBlanks(customer->CustomerNo.Get()));
  if (manager.Visible()) manager.Close();
  if (!added) ShowMessage("You did not create the invoice. Invoice not added.");
  EndProgram();
}

void RunViewInvoicesJob(QPlainTextEdit& memo) {
  if (!CheckProductFileForInvoices()) return;
  HideChartForJob();
  if (!LoadJobFileOrEnd(memo)) return;
  const std::string number = JobCustomerNumber(memo);
  if (number.empty()) {
    ShowMessage("Customer number passed is blank in FILE.TXT.");
    EndProgram();
    return;
  }
  std::optional<records::CustomerRec> customer;
  if (!ReadJobCustomer(number, customer)) {
    EndProgram();
    return;
  }
  if (!customer) {
    ShowMessage(ToQString("Customer number passed: " + number +
                          " does not exist in this system! Unable to continue."));
    EndProgram();
    return;
  }
  if (TrimBlanks(customer->CustomerName.Get()) != JobLine(memo, 1))
    ShowMessage(ToQString("Customer name passed: " + JobLine(memo, 1) +
                          " does not match this customers name in this system!"));
  invoicing::TInvEdit1& manager = invoicing::CreateInvEdit1();
  manager.AddInvoiceButn->setEnabled(false);
  manager.Add1->setEnabled(false);
  manager.Add2->setEnabled(false);
  forms::InvoiceFilterOnShow = 1;
  invoicing::CustomerFilterNo = TrimBlanks(customer->CustomerNo.Get()).substr(0, 10);
  manager.ShowModal();
  EndProgram();
}

void TMainForm::Button1Click() {
  RunCreateInvoiceJob(*CPMemo);
}

void TMainForm::Button2Click() {
  RunViewInvoicesJob(*CPMemo);
}

}  // namespace shell
