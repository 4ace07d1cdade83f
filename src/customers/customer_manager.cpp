#include "customers/customer_manager.h"

#include "documents/batch_statements.h"
#include "forms/manager_window.h"
#include "forms/picker_windows.h"
#include "records/record_file.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QVBoxLayout>
#include <algorithm>
#include <stdexcept>
#include <vector>

#include "customers/customer_actions.h"
#include "customers/customer_printouts.h"
#include "customers/customer_texts.h"
#include "customers/edit_dlg.h"
#include "exchange/customer_import_window.h"
#include "forms/browser_font.h"
#include "forms/font_choice.h"
#include "forms/form_instance.h"
#include "forms/halt_program.h"
#include "forms/list_window.h"
#include "forms/record_find.h"
#include "forms/report_font.h"
#include "forms/run_state.h"
#include "platform/print/colors.h"
#include "platform/print/print_window.h"
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
#include "storage/stat_form.h"

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

std::array<QLineEdit*, 4> BillingEdits(const TEditDlg& d) {
  return {d.CAdd1Edit, d.CAdd2Edit, d.CAdd3Edit, d.CAdd4Edit};
}

std::array<QLineEdit*, 4> ShippingEdits(const TEditDlg& d) {
  return {d.CShip1, d.CShip2, d.CShip3, d.CShip4};
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

TDemoForm::TDemoForm(QWidget* parent)
    : Form(parent),
      Label1(new QLabel(this)),
      RecBrowser1(new storage::TRecBrowser(this)),
      StatusBar1(new QStatusBar(this)),
      MainMenu1(new QMenuBar(this)),
      PopupMenu1(new QMenu(this)) {
  SetCaption("Customer Manager");
  SetHelpKeyword("CustomerManager");
  resize(900, 520);

  BuildToolBar(LayOutManagerWindow(*this, MainMenu1, Label1, RecBrowser1, StatusBar1));
  BuildMenus();

  for (std::size_t panel = 0; panel < statusPanels_.size(); ++panel) {
    statusPanels_[panel] = new QLabel(StatusBar1);
    StatusBar1->addWidget(statusPanels_[panel], panel == 0 ? 0 : 1);
  }
  statusPanels_[0]->setMinimumWidth(160);
  StatusBar1->setSizeGripEnabled(false);

  RecBrowser1->SetPopupMenu(PopupMenu1);
  RecBrowser1->OnBuildRow = [this](storage::TRecBrowser* sender, storage::RowRec& rr) {
    return RecBrowser1BuildRow(sender, rr);
  };
  RecBrowser1->OnRowChanged = [this](storage::TRecBrowser* sender) { RecBrowser1RowChanged(sender); };
  RecBrowser1->OnDblClick = [this](storage::TRecBrowser*) { EditClick(); };
}

QToolButton* TDemoForm::AddToolButton(QBoxLayout* layout, const char* caption, void (TDemoForm::*handler)()) {
  return forms::AddToolButton(*this, layout, caption, HandlerOf(this, handler));
}

void TDemoForm::BuildToolBar(QBoxLayout* layout) {
  NewCustButn = AddToolButton(layout, "New", &TDemoForm::NewCustButnClick);
  EditCustButn = AddToolButton(layout, "Edit", &TDemoForm::EditCustButnClick);
  DeleteCustButn = AddToolButton(layout, "Delete", &TDemoForm::DeleteCustButnClick);
  FinCustButn = AddToolButton(layout, "Find", &TDemoForm::FinCustButnClick);
  CustBookButn = AddToolButton(layout, "Customer List", &TDemoForm::CustBookButnClick);
  PrinCust = AddToolButton(layout, "Print", &TDemoForm::PrinCustClick);
  PrintEnvButn = AddToolButton(layout, "Print Envelope", &TDemoForm::PrintEnvButnClick);
  StmtPrin = AddToolButton(layout, "View/Print Statement", &TDemoForm::StmtPrinClick);
  BatchPrinButn = AddToolButton(layout, "Batch Print Statements", &TDemoForm::BatchPrinButnClick);
  SpeedButton3 = AddToolButton(layout, "Help", &TDemoForm::SpeedButton3Click);
  SpeedButton2 = AddToolButton(layout, "Close", nullptr);
  QObject::connect(SpeedButton2, &QToolButton::clicked, [this] { Close(); });
  layout->addStretch(1);
}

QAction* TDemoForm::AddItem(QMenu* menu, const char* caption, void (TDemoForm::*handler)()) {
  return AddMenuItem(menu, caption, HandlerOf(this, handler));
}

// An item whose window is not part of the program yet: present, and disabled.
QAction* TDemoForm::AddUnavailableItem(QMenu* menu, const char* caption) {
  QAction* item = AddMenuItem(menu, caption, {});
  item->setEnabled(false);
  return item;
}

void TDemoForm::BuildMenus() {
  Customer1 = MainMenu1->addMenu("&Customer");
  New1 = AddItem(Customer1, "&New", &TDemoForm::AddCustomer);
  Edit1 = AddItem(Customer1, "&Edit", &TDemoForm::EditCustomer);
  Delete1 = AddItem(Customer1, "&Delete", &TDemoForm::DeleteCustomer);
  Print1 = AddItem(Customer1, "&Print", &TDemoForm::PrinCustClick);
  Find1 = AddItem(Customer1, "&Find", &TDemoForm::FindCustomer);
  CustomerList1 = AddItem(Customer1, "Customer &List", &TDemoForm::CustBookButnClick);
  AddtoLabelQueue1 = AddUnavailableItem(Customer1, "&Add to Label Queue");
  PrintEnvelope1 = AddItem(Customer1, "Print En&velope", &TDemoForm::PrintEnvButnClick);
  CopytoClipboard1 = AddItem(Customer1, "Cop&y to Clipboard", &TDemoForm::CopytoClipboard1Click);
  ExporttoTextFile1 = AddUnavailableItem(Customer1, "E&xport to Text File");
  ExporttoContactManager1 = AddUnavailableItem(Customer1, "Export to Co&ntact Manager");
  ImportfromTextFile1 = AddItem(Customer1, "&Import from Text File", &TDemoForm::ImportfromTextFile1Click);
  Customer1->addSeparator();
  Close1 = Customer1->addAction("&Close");
  QObject::connect(Close1, &QAction::triggered, [this] { Close(); });

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
  AddtoLabelQueue2 = AddUnavailableItem(PopupMenu1, "Add to Label &Queue");
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

QString TDemoForm::StatusText(int panel) const {
  return statusPanels_.at(panel)->text();
}

void TDemoForm::SetStatusText(int panel, const QString& text) {
  statusPanels_.at(panel)->setText(text);
}

void TDemoForm::FormShow() {
  Label1->setFont(CompanyEditorFont(CurrentCompany, font()));
  QPalette palette = Label1->palette();
  palette.setColor(QPalette::WindowText, CompanyEditorColor(CurrentCompany));
  Label1->setPalette(palette);
  Label1->setText(Text(CurrentCompany.CompanyName.Get() + " - #" + CurrentCompany.CompanyNumber.Get()));
  RecBrowser1->SetHeader(Text(CustomerBrowserHeader()));

  if (!OpenCustomerFile()) {
    MessageBox("Unable to open database", Caption(), MsgButtons::Ok, MsgIcon::Error);
    HaltProgram(1);
    QMetaObject::invokeMethod(
        this, [this] { Close(); }, Qt::QueuedConnection);
    return;
  }
  // Attaching reads rows into CustRec: the customer highlighted last time is taken first.
  const storage::IsamKeyStr lastKey = BuildCustomerKey(CustRec, CustomerKeyNumber);
  AttachCustomerBrowser(*RecBrowser1, CustRec);
  const FontChoice font = CompanyBrowserFont(CurrentCompany);
  RecBrowser1->setFont(ToQFont(font));
  RecBrowser1->SetFontColor(platform::print::ColorToQColor(font.color));
  RecBrowser1->BrowserSetKeyNumber(CustomerKeyNumber);
  RecBrowser1->BrowserGoToKey(lastKey, 0);

  if (CustomerPickMode == 1) {
    storage::IsamKeyStr key = BuildCustomerKey(SelectedCustomer, CustomerKeyNumber);
    if (!TrimBlanks(key).empty()) {
      storage::IsamRecRef ref = 0;
      // Nothing at or after the key is no failure: the browser then shows the last customers.
      if (!SearchCustomerKey(key, ref, CustomerKeyNumber) && storage::IsamErrorClass() > 1)
        throw std::runtime_error("Customer Search operation failed");
      RecBrowser1->BrowserGoToKey(key, ref);
    }
  }
  RecBrowser1->setFocus();
}

void TDemoForm::FormClose() {
  RecBrowser1->Attach(nullptr);
  storage::IsamCloseFileBlock(CustomerFile);
  // An import appended customers without their keys: every file of the company is rebuilt.
  if (RebuildNeeded) {
    RebuildCompanyDataFiles();
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

void TDemoForm::RecBrowser1RowChanged(storage::TRecBrowser* sender) {
  SetStatusText(
      0, "Customers: " + QString::number(storage::IsamUsedKeys(CustomerFile, sender->BrowserKeyNumber())));
}

void TDemoForm::keyPressEvent(QKeyEvent* event) {
  switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
      EditClick();
      return;
    case Qt::Key_Delete:
      DeleteCustomer();
      return;
    default:
      Form::keyPressEvent(event);
  }
}

bool TDemoForm::ReadHighlighted() {
  if (RecBrowser1->BrowserCurrentRef() < 1) return false;
  int32_t status = 0;
  return RecBrowser1->BrowserReadCurrent(status) == 0 && status == 0;
}

void TDemoForm::PositionOnCustomer(storage::IsamRecRef ref) {
  RecBrowser1->BrowserGoToKey(BuildCustomerKey(CustRec, RecBrowser1->BrowserKeyNumber()), ref);
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
  for (QLineEdit* edit : BillingEdits(d)) edit->clear();
  for (QLineEdit* edit : ShippingEdits(d)) edit->clear();
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
    BillingEdits(d)[line]->setText(Text(billing[line]));
    ShippingEdits(d)[line]->setText(Text(shipping[line]));
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
    BillingFields(c)[line]->Set(Ansi(BillingEdits(d)[line]));
    ShippingFields(c)[line]->Set(Ansi(ShippingEdits(d)[line]));
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
  if (!AddCustomerRecord(added, ref)) throw std::runtime_error("Add operation failed");
  CustRec = added;
  PositionOnCustomer(ref);
  AdvanceNextCustomerNumber(added.CustomerNo.Get());
}

void TDemoForm::EditCustomer() {
  if (!ReadHighlighted()) return;
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
  if (!UpdateCustomerRecord(changed, beforeImage, ref)) throw std::runtime_error("Modify operation failed");
  CustRec = changed;
  PositionOnCustomer(ref);

  const std::string entered = ComparableText(changed.CustomerNo.Get());
  if (entered == reference) return;
  const int count = RenumberCustomerInvoices(reference, changed.CustomerNo.Get());
  if (count > 0)
    MessageBox("This customer has " + QString::number(count) +
                   " invoice record(s) on file. All have been changed to reflect the new customer number.",
               "Customer Number Changed", MsgButtons::Ok, MsgIcon::Information);
}

void TDemoForm::DeleteCustomer() {
  if (!ReadHighlighted()) return;
  const storage::IsamRecRef ref = RecBrowser1->BrowserCurrentRef();
  switch (CheckCustomerDelete(CustRec)) {
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
    case CustomerDeleteCheck::InvoicesUnknown:
      return;  // the invoice file's own prompts have said why it could not be opened
    case CustomerDeleteCheck::Allowed:
      break;
  }
  if (MessageBox("Are you sure you want to delete this customer?",
                 "Delete Customer#: " + Text(CustRec.CustomerNo.Get()), MsgButtons::YesNo,
                 MsgIcon::Question) != mrYes)
    return;
  if (!DeleteCustomerRecord(ref)) throw std::runtime_error("Delete customer failed");
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
  if (!RecBrowser1->DataSource()) return;
  const bool highlighted = ReadHighlighted();
  const storage::IsamRecRef ref = RecBrowser1->BrowserCurrentRef();
  const CustomerRec current = CustRec;
  RecBrowser1->BrowserSetKeyNumber(keyNr);
  if (!highlighted) return;
  CustRec = current;
  PositionOnCustomer(ref);
}

void TDemoForm::CustBookButnClick() {
  const TModalResult addresses = MessageBox("Do you want to include the customer addresses on this list?",
                                            "Customer List", MsgButtons::YesNoCancel, MsgIcon::Question);
  if (addresses == mrCancel) return;
  const bool byNumber =
      MessageBox("Customers will be sorted by name. Would you rather sort by customer number?",
                 "Customer Sort", MsgButtons::YesNo, MsgIcon::Question, mrNo) == mrYes;

  storage::TStatForm& progress = storage::EnsureStatForm();
  progress.SetCaption("Customer List");
  progress.ClearStatusLines();
  progress.Label1->setText("Preparing list...");
  progress.Show();
  TListWindow& list = CreateListWindow();
  list.SetCaption(byNumber ? "Customer List by Number" : "Customer List by Name");
  ListWindowFileName = "Customer";

  std::vector<std::string> lines =
      CustomerListHeading(CurrentCompany.CompanyName.Get(), platform::text::Now());
  ForEachRecordByKey<CustomerRec>(CustomerFile, byNumber ? 2 : 1, [&](const CustomerRec& customer) {
    if (TrimBlanks(customer.CustomerNo.Get()).empty()) return;
    std::vector<std::string> entry = CustomerListEntry(customer, addresses == mrYes);
    lines.insert(lines.end(), entry.begin(), entry.end());
  });
  const bool loaded = LoadListReport(lines);
  progress.Close();
  if (loaded) ShowLoadedListReport();
}

void TDemoForm::PrinCustClick() {
  if (!ReadHighlighted()) return;
  PrintCustomerSheet(CustRec, CurrentCompany, LoadReportFont(), platform::text::Now());
  SetStatusText(1, "Customer: " + Text(CustRec.CustomerName.Get()) + " sent to printer.");
}

void TDemoForm::PrintEnvButnClick() {
  if (!ReadHighlighted()) return;
  PrintCustomerEnvelope(CustomerEnvelopeAddress(CustRec, CurrentCompany), CurrentCompany);
  SetStatusText(1, "Envelope for " + Text(CustRec.CustomerName.Get()) + " sent to printer.");
}

void TDemoForm::CopytoClipboard1Click() {
  if (!ReadHighlighted()) return;
  std::string text = CustRec.CustomerName.Get();
  for (const std::string& line : BillingLines(CustRec)) text += "\n" + line;
  SetClipboardText(Text(text));
  SetStatusText(1, "Customer: " + Text(TrimBlanks(CustRec.CustomerName.Get())) + " copied to clipboard.");
}

void TDemoForm::PrintWindow1Click() {
  platform::print::PrintWindowImage(*this);
}

void TDemoForm::SpeedButton3Click() {
  Application->HelpKeyword("CustomerManager");
}

}  // namespace customers
