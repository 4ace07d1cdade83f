#include "customers/customer_manager.h"

#include "documents/batch_statements.h"
#include "forms/manager_window.h"
#include "forms/picker_windows.h"
#include "forms/printout_notice.h"
#include "forms/unusable_file.h"
#include "records/record_file.h"

#include <stdexcept>
#include <vector>

#include "customers/customer_actions.h"
#include "customers/customer_printouts.h"
#include "customers/customer_texts.h"
#include "customers/edit_dlg.h"
#include "exchange/contact_export.h"
#include "exchange/customer_import_window.h"
#include "exchange/record_export_dialog.h"
#include "forms/address_list_report.h"
#include "forms/address_printouts.h"
#include "forms/form_instance.h"
#include "forms/record_find.h"
#include "forms/report_font.h"
#include "forms/run_state.h"
#include "platform/print/printer.h"
#include "platform/text/clock.h"
#include "platform/text/codepage.h"
#include "platform/text/key_text.h"
#include "platform/text/upper_case.h"
#include "platform/ui/application.h"
#include "platform/ui/desktop.h"
#include "platform/ui/message_box.h"
#include "records/company_data_files.h"
#include "records/customer_file.h"
#include "records/stored_amount.h"
#include "reports/label_queue.h"
#include "storage/posting_journal.h"

namespace customers {

using namespace records;
using namespace forms;

using platform::text::StripCommas;
using platform::text::ToAnsi;
using platform::text::ToQString;
using platform::text::TrimBlanks;
using platform::text::UpperCase;
using namespace platform::ui;

int32_t CustomerKeyNumber = 1;
int32_t CustomerPickMode = 0;
TDemoForm* DemoForm = nullptr;

TDemoForm& CreateDemoForm() {
  return FormInstance(DemoForm);
}

namespace {

PickerWindows& CustomerPickers() {
  static PickerWindows pickers;
  return pickers;
}

QString Text(const std::string& ansi) {
  return ToQString(ansi);
}

std::string Ansi(const QLineEdit* edit) {
  return ToAnsi(edit->text());
}

std::string YesNo(const QCheckBox* box) {
  return box->isChecked() ? "Y" : "N";
}

std::array<ShortString<35>*, 4> BillingFields(CustomerRec& c) {
  return {&c.CustBillTo1, &c.CustBillTo2, &c.CustBillTo3, &c.CustBillTo4};
}

std::array<ShortString<35>*, 4> ShippingFields(CustomerRec& c) {
  return {&c.ShipTo1, &c.ShipTo2, &c.ShipTo3, &c.ShipTo4};
}

}  // namespace

void AddCustomerPicker(const QWidget* window) {
  CustomerPickers().Add(window);
}

void RemoveCustomerPicker(const QWidget* window) {
  CustomerPickers().Remove(window);
}

bool CustomerPickerVisible() {
  return CustomerPickers().AnyVisible();
}

TDemoForm::TDemoForm(QWidget* parent) : ManagerWindow(parent) {
  SetCaption("Customer Manager");
  SetHelpKeyword("CustomerManager");
  resize(900, 520);
  BuildToolBar();
  BuildMenus();
}

void TDemoForm::BuildToolBar() {
  NewCustButn = AddToolButton("&New", &TDemoForm::NewCustButnClick);
  EditCustButn = AddToolButton("&Edit", &TDemoForm::EditCustButnClick);
  DeleteCustButn = AddToolButton("Dele&te", &TDemoForm::DeleteCustButnClick);
  FinCustButn = AddToolButton("&Find", &TDemoForm::FinCustButnClick);
  CustBookButn = AddToolButton("C&ustomer List", &TDemoForm::CustBookButnClick);
  PrinCust = AddToolButton("&Print", &TDemoForm::PrinCustClick);
  PrintEnvButn = AddToolButton("Print En&velope", &TDemoForm::PrintEnvButnClick);
  StmtPrin = AddToolButton("V&iew/Print Statement", &TDemoForm::StmtPrinClick);
  BatchPrinButn = AddToolButton("&Batch Print Statements", &TDemoForm::BatchPrinButnClick);
  SpeedButton3 = AddToolButton("He&lp", &TDemoForm::SpeedButton3Click);
  SpeedButton2 = AddCloseButton();
  ToolRow()->addStretch(1);
}

void TDemoForm::BuildMenus() {
  Customer1 = MainMenu1->addMenu("&Customer");
  New1 = AddItem(Customer1, "&New", &TDemoForm::AddCustomer);
  Edit1 = AddItem(Customer1, "&Edit", &TDemoForm::EditCustomer);
  Delete1 = AddItem(Customer1, "&Delete", &TDemoForm::DeleteCustomer);
  Print1 = AddItem(Customer1, "&Print", &TDemoForm::PrinCustClick);
  Find1 = AddItem(Customer1, "&Find", &TDemoForm::FindCustomer);
  CustomerList1 = AddItem(Customer1, "Customer &List", &TDemoForm::CustBookButnClick);
  AddtoLabelQueue1 = AddItem(Customer1, "&Add to Label Queue", &TDemoForm::AddtoLabelQueue1Click);
  PrintEnvelope1 = AddItem(Customer1, "Print En&velope", &TDemoForm::PrintEnvButnClick);
  CopytoClipboard1 = AddItem(Customer1, "Cop&y to Clipboard", &TDemoForm::CopytoClipboard1Click);
  ExporttoTextFile1 =
      Customer1->addAction("E&xport to Text File", [] { exchange::CreateCustExp().ShowModal(); });
  ExporttoContactManager1 =
      Customer1->addAction("Export to Co&ntact Manager", [] { exchange::ContactManagerExportCustomers(); });
  ImportfromTextFile1 = AddItem(Customer1, "&Import from Text File", &TDemoForm::ImportfromTextFile1Click);
  Customer1->addSeparator();
  Close1 = AddCloseItem(Customer1);

  Statements1 = MainMenu1->addMenu("&Statements");
  View2 = AddItem(Statements1, "&View / Print", &TDemoForm::StmtPrinClick);
  BatchPrint1 = AddItem(Statements1, "&Batch Print", &TDemoForm::BatchPrinButnClick);

  Display1 = MainMenu1->addMenu("&Display");
  ByName1 = AddItem(Display1, "By &Name", &TDemoForm::ByName1Click);
  ByNumber1 = AddItem(Display1, "By N&umber", &TDemoForm::ByNumber1Click);
  ByName1->setCheckable(true);
  ByNumber1->setCheckable(true);
  PrintWindow1 = AddItem(Display1, "Print &Window", &TDemoForm::PrintWindow1Click);

  Help1 = MainMenu1->addMenu("&Help");
  Overview1 = AddItem(Help1, "&Overview", &TDemoForm::SpeedButton3Click);

  // The pop-up menu on the rows repeats the menu's items; where the captions agree they are the
  // same items.
  AddtoLabelQueue2 = AddItem(PopupMenu1, "Add to Label &Queue", &TDemoForm::AddtoLabelQueue1Click);
  PopupMenu1->addActions({PrintEnvelope1, CopytoClipboard1});
  Statement1 = AddItem(PopupMenu1, "&Statement", &TDemoForm::StmtPrinClick);
  PopupMenu1->addSeparator();
  PopupMenu1->addActions({New1, Edit1, Delete1, Print1, Find1, CustomerList1});
  PopupMenu1->addSeparator();
  PopupMenu1->addAction(Close1);
}

void TDemoForm::FormCreate() {
  ByName1->setChecked(true);
  ByNumber1->setChecked(false);
  CustomerKeyNumber = 1;
  CustomerPickMode = 0;
}

void TDemoForm::FormShow() {
  if (!ShowFileInBrowser(Text(CustomerBrowserHeader()), CustomerFile, OpenCustomerFile, CustRec,
                         CustomerKeyNumber, BuildCustomerKey))
    return;
  if (CustomerPickMode == 1)
    PositionOnPickStart(CustomerUnit(), SelectedCustomer, CustomerKeyNumber, BuildCustomerKey,
                        "Customer Search operation failed");
  RecBrowser1->setFocus();
}

void TDemoForm::FormClose() {
  CloseShownFile();
  // An import appended customers without their keys: every file of the company is rebuilt.
  if (RebuildNeeded) {
    // Each file that cannot be rebuilt says why, and stays marked for its next open to rebuild.
    (void)RebuildCompanyDataFiles();
    RebuildNeeded = 0;
  }
}

void TDemoForm::ImportfromTextFile1Click() {
  RebuildNeeded = 0;
  exchange::TCustImp& window = exchange::CreateCustImp();
  window.CloseOpener = [this] { Close(); };
  window.ShowModal();
}

int32_t TDemoForm::RecBrowser1BuildRow(storage::TRecBrowser*, storage::RowRec& rr) {
  rr.Text[0] = CustomerBrowserRow(CustRec);
  return 0;
}

void TDemoForm::RecBrowser1RowChanged(storage::TRecBrowser*) {
  ShowEntryCount("Customers", CustomerFile);
}

void TDemoForm::EditClick() {
  if (!ReadHighlighted()) return;
  if (CustomerPickerVisible()) {
    SelectedCustomer = CustRec;
    SetModalResult(mrOk);
    return;
  }
  // Outside picking, a double-click shows the customer's statement.
  documents::ShowCustomerStatement(CustRec.CustomerNo.Get(), CustRec.CustomerName.Get());
}

void TDemoForm::StmtPrinClick() {
  if (!ReadHighlighted()) return;
  documents::ShowCustomerStatement(CustRec.CustomerNo.Get(), CustRec.CustomerName.Get());
}

void TDemoForm::BatchPrinButnClick() {
  documents::BatchPrintStatements([this](const QString& text) { SetStatusText(1, text); });
}

void TDemoForm::PrepareDialogForAdd(TEditDlg& d) const {
  d.SetCaption("Add Customer");
  d.CBal->setText("0.00");
  d.CNo->setText(Text(CurrentCompany.NextCustomerNumber.Get()));
  d.CTE->setText("N");
  d.CLimit->setText("0.00");
  d.CTerms->setEditText(Text(CurrentCompany.DefaultInvoiceTerms.Get()));
  d.CstNote->clear();
  d.ShortName->clear();
  d.MListCode->clear();
  for (QCheckBox* box : {d.CRHold, d.NotesOnInv, d.NotesOnStmnt}) box->setChecked(false);
  // The command-line job has filled these from its file.
  if (ExternalInvoiceMode) return;
  for (QLineEdit* edit : {d.CName, d.CPhone1, d.CPhone2, d.EMAdd}) edit->clear();
  for (QLineEdit* edit : d.BillingEdits()) edit->clear();
  for (QLineEdit* edit : d.ShippingEdits()) edit->clear();
}

void TDemoForm::FillDialog(TEditDlg& d) const {
  const CustomerRec& c = CustRec;
  d.SetCaption("Edit Customer");
  d.CBal->setText(Text(FormatStoredAmount(c.CustBalance.Get())));
  d.CNo->setText(Text(c.CustomerNo.Get()));
  d.CName->setText(Text(c.CustomerName.Get()));
  d.CustType->setText(Text(c.CustomerType.Get()));
  d.CTE->setText(Text(c.TaxExempt.Get()));
  d.CLimit->setText(c.CreditLimit.Get().empty() ? "0.00" : Text(c.CreditLimit.Get()));
  d.CTerms->setEditText(Text(c.PaymentTerms.Get()));
  const std::array<std::string, 4> billing = BillingLines(c);
  const std::array<std::string, 4> shipping = ShippingLines(c);
  // Each shipping line is set after its billing line, which auto-copy may have copied over it.
  for (int line = 0; line < 4; ++line) {
    d.BillingEdits()[line]->setText(Text(billing[line]));
    d.ShippingEdits()[line]->setText(Text(shipping[line]));
  }
  d.CstNote->setPlainText(Text(c.CustNotes.Get()));
  d.CPhone1->setText(Text(c.Phone1.Get()));
  d.CPhone2->setText(Text(c.Phone2.Get()));
  d.ShortName->setText(Text(c.ShortName.Get()));
  d.MListCode->setText(Text(c.MailSortCode.Get()));
  d.EMAdd->setText(Text(c.CustEMail.Get()));
  d.CRHold->setChecked(c.CreditHold.Get() == "Y");
  d.NotesOnInv->setChecked(c.NotesOnInvoice.Get() == "Y");
  d.NotesOnStmnt->setChecked(c.NotesOnStatement.Get() == "Y");
}

void TDemoForm::FillFromDialog(const TEditDlg& d) {
  CustomerRec& c = CustRec;
  c.CustomerNo.Set(Ansi(d.CNo));
  c.CustomerName.Set(Ansi(d.CName));
  c.CustomerType.Set(Ansi(d.CustType));
  c.TaxExempt.Set(UpperCase(Ansi(d.CTE)));
  const std::string limit = StripCommas(Ansi(d.CLimit));
  c.CreditLimit.Set(limit.empty() ? "0.00" : limit);
  c.PaymentTerms.Set(ToAnsi(d.CTerms->currentText()));
  for (int line = 0; line < 4; ++line) {
    BillingFields(c)[line]->Set(Ansi(d.BillingEdits()[line]));
    ShippingFields(c)[line]->Set(Ansi(d.ShippingEdits()[line]));
  }
  c.CustNotes.Set(d.NotesText());
  c.Phone1.Set(Ansi(d.CPhone1));
  c.Phone2.Set(Ansi(d.CPhone2));
  c.ShortName.Set(Ansi(d.ShortName));
  c.CreditHold.Set(YesNo(d.CRHold));
  c.NotesOnInvoice.Set(YesNo(d.NotesOnInv));
  c.NotesOnStatement.Set(YesNo(d.NotesOnStmnt));
  c.MailSortCode.Set(Ansi(d.MListCode));
  c.CustEMail.Set(Ansi(d.EMAdd));
}

void TDemoForm::AddCustomer() {
  if (forms::RefuseEntryWhilePostingWaits(CustomerUnit(), "A new customer", "added", "Add Customer")) return;
  CustRec = CustomerRec{};
  TEditDlg& dialog = CreateEditDlg();
  dialog.DialogMode = "0";
  dialog.ReferenceNo = "0";
  PrepareDialogForAdd(dialog);
  if (dialog.ShowModal() != mrOk) return;

  FillFromDialog(dialog);
  for (ShortString<10>* bucket :
       {&CustRec.CustAging1, &CustRec.CustAging2, &CustRec.CustAging3, &CustRec.CustAging4})
    bucket->Set("0.00");
  CustRec.CustBalance.Set("0.00");
  const CustomerRec added = CustRec;
  storage::IsamRecRef ref = 0;
  records::RequireDone(AddCustomerRecord(added, ref), "Add operation failed");
  CustRec = added;
  PositionOn(CustRec, ref, BuildCustomerKey);
  AdvanceNextCustomerNumber(added.CustomerNo.Get());
}

void TDemoForm::EditCustomer() {
  if (!ReadHighlighted()) return;
  if (forms::RefuseEntryWhilePostingWaits(CustomerUnit(), forms::RecordSubject(CustomerUnit(), CustRec),
                                          "changed", "Edit Customer"))
    return;
  const storage::IsamRecRef ref = RecBrowser1->BrowserCurrentRef();
  const CustomerRec beforeImage = CustRec;
  const std::string reference = ComparableText(CustRec.CustomerNo.Get()).substr(0, 9);
  TEditDlg& dialog = CreateEditDlg();
  dialog.DialogMode = "1";
  dialog.ReferenceNo = reference;
  FillDialog(dialog);
  if (dialog.ShowModal() != mrOk) return;

  FillFromDialog(dialog);
  const CustomerRec changed = CustRec;
  // The customer and its invoices under a new number are one posting.
  const int count = storage::RunPosting(
      "the change of customer " + reference,
      [&] {
        records::RequireDone(UpdateCustomerRecord(changed, beforeImage, ref), "Modify operation failed");
        const std::string entered = ComparableText(changed.CustomerNo.Get());
        return entered == reference ? 0 : RenumberCustomerInvoices(reference, changed.CustomerNo.Get());
      },
      {"Customer " + TrimBlanks(beforeImage.CustomerNo.Get()), "changed"});
  CustRec = changed;
  PositionOn(CustRec, ref, BuildCustomerKey);
  if (count > 0)
    MessageBox("This customer has " + QString::number(count) +
                   " invoice record(s) on file. All have been changed to reflect the new customer number.",
               "Customer Number Changed", MsgButtons::Ok, MsgIcon::Information);
}

void TDemoForm::DeleteCustomer() {
  if (!ReadHighlighted()) return;
  // Refused before anything is asked: the deletion could not be kept while a posting waits.
  if (forms::RefuseEntryWhilePostingWaits(CustomerUnit(), forms::RecordSubject(CustomerUnit(), CustRec),
                                          "deleted", "Delete Customer"))
    return;
  const storage::IsamRecRef ref = RecBrowser1->BrowserCurrentRef();
  CustomerDeleteCheck check = CustomerDeleteCheck::Allowed;
  if (!forms::ReadAll("Delete Customer", [&] { check = CheckCustomerDelete(CustRec); })) return;
  switch (check) {
    case CustomerDeleteCheck::HasBalance:
      MessageBox("This customer has a balance due. Unable to delete.", "Delete Customer", MsgButtons::Ok,
                 MsgIcon::Warning);
      return;
    case CustomerDeleteCheck::HasInvoices:
      MessageBox(
          "This customer has invoices on file and may not be deleted. You can mark this customer as "
          "inactive, otherwise, wait until you remove their paid invoices, then delete.",
          "Delete Customer");
      return;
    case CustomerDeleteCheck::Allowed:
      break;
  }
  if (MessageBox("Are you sure you want to delete this customer?",
                 "Delete Customer#: " + Text(CustRec.CustomerNo.Get()), MsgButtons::YesNo,
                 MsgIcon::Question) != mrYes)
    return;
  records::RequireDone(DeleteCustomerRecord(ref), "Delete customer failed");
  RecBrowser1->BrowserRefresh();
}

void TDemoForm::FindCustomer() {
  forms::FindCustomer(*RecBrowser1, CustRec);
}

void TDemoForm::ByName1Click() {
  SwitchKey(1);
}

void TDemoForm::ByNumber1Click() {
  SwitchKey(2);
}

// Changes the order of the list and keeps the highlighted customer highlighted.
void TDemoForm::SwitchKey(int32_t keyNr) {
  ByName1->setChecked(keyNr == 1);
  ByNumber1->setChecked(keyNr == 2);
  CustomerKeyNumber = keyNr;
  SwitchBrowserKey(*RecBrowser1, CustRec, keyNr, BuildCustomerKey);
}

void TDemoForm::CustBookButnClick() {
  const std::optional<AddressListChoice> choice = AskAddressListChoice("customer");
  if (!choice) return;
  RunAddressListReport("customer", choice->ByNumber, [&] {
    std::vector<std::string> lines =
        CustomerListHeading(CurrentCompany.CompanyName.Get(), platform::text::Now());
    ForEachRecordByKey<CustomerRec>(CustomerFile, choice->ByNumber ? 2 : 1, [&](const CustomerRec& customer) {
      if (TrimBlanks(customer.CustomerNo.Get()).empty()) return;
      std::vector<std::string> entry = CustomerListEntry(customer, choice->WithAddresses);
      lines.insert(lines.end(), entry.begin(), entry.end());
    });
    return lines;
  });
}

void TDemoForm::PrinCustClick() {
  if (!ReadHighlighted()) return;
  PrintCustomerSheet(CustRec, CurrentCompany, LoadReportFont(), platform::text::Now());
  SetStatusText(1, platform::print::PrintedNotice("Customer: " + Text(CustRec.CustomerName.Get())));
}

void TDemoForm::PrintEnvButnClick() {
  if (!ReadHighlighted()) return;
  PrintEnvelope(CustomerEnvelopeAddress(CustRec, CurrentCompany), CurrentCompany);
  SetStatusText(1, platform::print::PrintedNotice("Envelope for " + Text(CustRec.CustomerName.Get())));
}

void TDemoForm::CopytoClipboard1Click() {
  if (!ReadHighlighted()) return;
  SetClipboardText(AddressClipboardText(CustRec.CustomerName.Get(), BillingLines(CustRec)));
  SetStatusText(1, "Customer: " + Text(TrimBlanks(CustRec.CustomerName.Get())) + " copied to clipboard.");
}

void TDemoForm::AddtoLabelQueue1Click() {
  if (ReadHighlighted()) SetStatusText(1, Text(reports::QueueCustomer(CustRec)));
}

void TDemoForm::PrintWindow1Click() {
  forms::PrintWindowShowingWhere(*this);
}

void TDemoForm::SpeedButton3Click() {
  Application->HelpKeyword("CustomerManager");
}

}  // namespace customers
