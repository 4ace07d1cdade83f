#include "invoicing/invoice_manager.h"

#include "forms/printout_notice.h"
#include "invoicing/invoice_edit.h"

#include <QKeyEvent>
#include <algorithm>
#include <optional>
#include <stdexcept>

#include "customers/customer_quick_view.h"
#include "documents/document_buffer.h"
#include "documents/document_view.h"
#include "documents/email_document.h"
#include "documents/invoice_printing.h"
#include "documents/mail_readiness.h"
#include "forms/batch_print_dialog.h"
#include "forms/browser_font.h"
#include "forms/font_choice.h"
#include "forms/form_instance.h"
#include "forms/halt_program.h"
#include "forms/manager_window.h"
#include "forms/printer_setup.h"
#include "forms/progress_window.h"
#include "forms/record_find.h"
#include "forms/run_state.h"
#include "forms/unusable_file.h"
#include "invoicing/invoice_add.h"
#include "invoicing/invoice_document.h"
#include "invoicing/invoice_texts.h"
#include "platform/print/colors.h"
#include "platform/print/printer.h"
#include "platform/text/codepage.h"
#include "platform/text/key_text.h"
#include "platform/text/number_text.h"
#include "platform/text/upper_case.h"
#include "platform/ui/application.h"
#include "platform/ui/common_dialogs.h"
#include "platform/ui/desktop.h"
#include "platform/ui/message_box.h"
#include "records/company_file.h"
#include "records/customer_file.h"
#include "records/detail_file.h"
#include "records/invoice_file.h"
#include "records/memo_file.h"
#include "records/record_file.h"
#include "records/stored_amount.h"
#include "storage/posting_journal.h"
#include "storage/stat_form.h"

namespace invoicing {

using platform::text::ToQString;
using platform::text::TrimBlanks;
using platform::ui::MessageBox;
using platform::ui::MsgButtons;
using platform::ui::MsgIcon;
using records::CurrentCompany;
using records::InvoiceBuf;

int32_t InvoiceDisplayKey = 3;
std::string CustomerFilterNo;
uint8_t CustomerDataMode = 0;
TInvEdit1* InvEdit1 = nullptr;

TInvEdit1& CreateInvEdit1() {
  return forms::FormInstance(InvEdit1);
}

namespace {

QString Text(const std::string& ansi) {
  return ToQString(ansi);
}

QString Amount(const std::string& stored) {
  return Text(records::FormatStoredAmount(TrimBlanks(stored)));
}

constexpr const char* OrderCaptions[6] = {"By Invoice &Number", "By &Customer Number",
                                          "By Invoice &Date",   "By &Key Code",
                                          "By &Type",           "By Date &Paid"};

// The flags of one output action, back to 0 however it ends.
class OutputFlags {
 public:
  OutputFlags(uint8_t packingSlip, uint8_t batch) {
    InvoicePrintDirect = 1;
    PackingSlipOnly = packingSlip;
    BatchPrintActive = batch;
  }
  ~OutputFlags() { InvoicePrintDirect = PackingSlipOnly = BatchPrintActive = 0; }
  OutputFlags(const OutputFlags&) = delete;
  OutputFlags& operator=(const OutputFlags&) = delete;
};

// The repeat-billing date with its next due date, in the company's date order.
std::string RepeatDueDate(const std::string& stored) {
  if (CurrentCompany.DateOrder.Get() != "D" || stored.size() < 10) return stored;
  return stored.substr(3, 2) + "/" + stored.substr(0, 2) + "/" + stored.substr(6, 4);
}

void FillQuickView(customers::TQView& view, const records::InvoiceRec& r, const records::CustomerRec& c) {
  view.DataType->setText(Text(RecordTypeText(r)));
  view.IvNum->setText(Text(DocumentKindText(r)));
  const bool repeat = r.TransactionType.Get() == "R";
  view.IvDate->setText(Text(repeat
                                ? r.InvoiceDate.Get() + "\n - Next Due: " + RepeatDueDate(r.NextDueDate.Get())
                                : r.InvoiceDate.Get()));
  view.Label18->setVisible(repeat);
  view.InvTot->setText(Amount(r.InvTotal.Get()));
  std::string paid = r.InvPaid.Get();
  if (r.TransactionType.Get() == "Z")
    paid = platform::text::AmountText(documents::StoredAmountCents(r.InvTotal.Get()) -
                                      documents::StoredAmountCents(r.AmountDue.Get()));
  view.PdAmount->setText(Amount(paid));
  view.IBalDue->setText(Amount(r.AmountDue.Get()));
  view.PIFlag->setVisible(r.PrintedMark.Get() == "Y");
  view.CustName->setText(Text(c.CustomerName.Get()));
  view.CustNo->setText(Text(c.CustomerNo.Get()));
  view.CustBal->setText(Amount(c.CustBalance.Get()));
  view.Pnum->setText(Text(c.Phone1.Get()));
  view.LstPmt->setText(Text(c.LastPayment.Get()));
  view.LstInv->setText(Text(c.LastInvoice.Get()));
  view.a0to30->setText(Amount(c.CustAging1.Get()));
  view.a3160->setText(Amount(c.CustAging2.Get()));
  view.A6190->setText(Amount(c.CustAging3.Get()));
  view.AO90->setText(Amount(c.CustAging4.Get()));
}

records::CustomerRec CustomerOfRecord(const records::InvoiceRec& r) {
  records::CustomerRec wanted{};
  wanted.CustomerNo.Set(r.InvCustomerNo.Get());
  return records::ReadFromFileByKey<records::CustomerRec>(records::CustomerFile, records::OpenCustomerFile,
                                                          records::CustomerUnit(),
                                                          records::BuildCustomerKey(wanted, 2), 2);
}

}  // namespace

std::vector<std::string> UnprintedInvoiceNumbers() {
  std::vector<std::string> numbers;
  records::ForEachRecordInFileOrder<records::InvoiceRec>(
      records::InvoiceFile, [&numbers](const records::InvoiceRec& record) {
        const std::string type = record.TransactionType.Get();
        if (record.PrintedMark.Get() != "Y" && (type == "G" || type == "I" || type == "M" || type == "Z"))
          numbers.push_back(record.InvoiceNo.Get());
      });
  return numbers;
}

TInvEdit1::TInvEdit1(QWidget* parent)
    : Form(parent),
      CName(new QLabel(this)),
      Label1(new QLabel("A/R:", this)),
      ARBal(new QLabel(this)),
      CFilter(new QLabel("Filter Closed", this)),
      InvBrowser1(new storage::TRecBrowser(this)),
      StatusBar1(new QStatusBar(this)),
      MainMenu1(new QMenuBar(this)),
      PopupMenu1(new QMenu(this)) {
  SetCaption("Invoice Manager");
  SetHelpKeyword("InvoiceManager");
  resize(980, 560);

  BuildToolBar(forms::LayOutManagerWindow(*this, MainMenu1, CName, InvBrowser1, StatusBar1));
  BuildMenus();

  statusPanels_ = forms::AddStatusPanels(*StatusBar1);

  InvBrowser1->SetPopupMenu(PopupMenu1);
  InvBrowser1->OnBuildRow = [this](storage::TRecBrowser* sender, storage::RowRec& rr) {
    return InvBrowser1BuildRow(sender, rr);
  };
  InvBrowser1->OnPerformFilter = [this](storage::TRecBrowser* sender, storage::RowRec& rr, bool& useIt) {
    return InvBrowser1PerformFilter(sender, rr, useIt);
  };
  InvBrowser1->OnRowChanged = [this](storage::TRecBrowser*) { ShowRecordCount(); };
  InvBrowser1->OnDblClick = [this](storage::TRecBrowser*) { InvBrowser1DblClick(); };
}

void TInvEdit1::BuildToolBar(QBoxLayout* row) {
  auto button = [this, row](const char* caption, void (TInvEdit1::*handler)()) {
    return forms::AddToolButton(*this, row, caption, forms::HandlerOf(this, handler));
  };
  AddInvoiceButn = button("&New", &TInvEdit1::AddInvoiceClick);
  EditInvoice = button("&Edit", &TInvEdit1::EditInvoiceClick);
  InvDelete = button("Dele&te", &TInvEdit1::InvDeleteClick);
  SpeedButton1 = button("&Find", &TInvEdit1::SpeedButton1Click);
  InvPrint = button("&View", &TInvEdit1::InvPrintClick);
  CustDataButn = button("C&ustomer Data", &TInvEdit1::CustDataButnClick);
  ToPrinterButn = button("&Print", &TInvEdit1::ToPrinterButnClick);
  BatchPrinButn = button("&Batch Print", &TInvEdit1::BatchPrinButnClick);
  SpeedButton2 = button("Filte&r On/Off", &TInvEdit1::SpeedButton2Click);
  SpeedButton4 = button("He&lp", &TInvEdit1::SpeedButton4Click);
  SpeedButton3 = button("Cl&ose", nullptr);
  QObject::connect(SpeedButton3, &QToolButton::clicked, [this] { Close(); });
  row->addStretch(1);
  row->addWidget(CFilter);
  row->addSpacing(16);
  row->addWidget(Label1);
  row->addWidget(ARBal);
  ARBal->setMinimumWidth(ARBal->fontMetrics().horizontalAdvance("9,999,999,999.99"));
}

QAction* TInvEdit1::AddItem(QMenu* menu, const char* caption, void (TInvEdit1::*handler)()) {
  return forms::AddMenuItem(menu, caption, forms::HandlerOf(this, handler));
}

void TInvEdit1::BuildMenus() {
  Invoice1 = MainMenu1->addMenu("&Invoice");
  Add1 = AddItem(Invoice1, "&New", &TInvEdit1::AddInvoiceClick);
  Edit1 = AddItem(Invoice1, "&Edit", &TInvEdit1::EditInvoiceClick);
  Delete1 = AddItem(Invoice1, "&Delete", &TInvEdit1::InvDeleteClick);
  Search1 = AddItem(Invoice1, "&Find", &TInvEdit1::SpeedButton1Click);
  Invoice1->addSeparator();
  PreViewSaveAs1 = AddItem(Invoice1, "&View", &TInvEdit1::InvPrintClick);
  CustomerData1 = AddItem(Invoice1, "C&ustomer Data", &TInvEdit1::CustDataButnClick);
  Print1 = AddItem(Invoice1, "&Print", &TInvEdit1::ToPrinterButnClick);
  PrintPackingSlip1 = AddItem(Invoice1, "Print Pac&king Slip", &TInvEdit1::PrintPackingSlip1Click);
  BatchPrint1 = AddItem(Invoice1, "&Batch Print", &TInvEdit1::BatchPrinButnClick);
  PrinterSetup1 = AddItem(Invoice1, "Printer &Setup", &TInvEdit1::PrinterSetup1Click);
  Invoice1->addSeparator();
  Close1 = Invoice1->addAction("&Close");
  QObject::connect(Close1, &QAction::triggered, [this] { Close(); });

  Display1 = MainMenu1->addMenu("&Display");
  void (TInvEdit1::*const orders[6])() = {
      &TInvEdit1::ByInvoiceNumber1Click, &TInvEdit1::ByCustomerNumber1Click, &TInvEdit1::ByInvoiceDate1Click,
      &TInvEdit1::ByKeyCode1Click,       &TInvEdit1::ByType1Click,           &TInvEdit1::byDatePaid1Click};
  for (std::size_t key = 0; key < OrderItems.size(); ++key) {
    OrderItems[key] = AddItem(Display1, OrderCaptions[key], orders[key]);
    OrderItems[key]->setCheckable(true);
  }
  Display1->addSeparator();
  PrintWindow1 = AddItem(Display1, "Print &Window", &TInvEdit1::PrintWindow1Click);

  Help1 = MainMenu1->addMenu("&Help");
  CreatingInvoices1 = AddItem(Help1, "&Overview", &TInvEdit1::SpeedButton4Click);

  Add2 = AddItem(PopupMenu1, "&New", &TInvEdit1::AddInvoiceClick);
  Edit2 = AddItem(PopupMenu1, "&Edit", &TInvEdit1::EditInvoiceClick);
  Delete2 = AddItem(PopupMenu1, "&Delete", &TInvEdit1::InvDeleteClick);
  Search2 = AddItem(PopupMenu1, "&Find", &TInvEdit1::SpeedButton1Click);
  View2 = AddItem(PopupMenu1, "&View", &TInvEdit1::InvPrintClick);
  Print2 = AddItem(PopupMenu1, "&Print", &TInvEdit1::ToPrinterButnClick);
  PopupMenu1->addSeparator();
  PopupMenu1->addAction(Close1);
  Close2 = Close1;
}

void TInvEdit1::FormCreate() {
  InvoicePrintDirect = PackingSlipOnly = BatchPrintActive = CustomerDataMode = 0;
  InvoiceDisplayKey = 3;
  for (std::size_t key = 0; key < OrderItems.size(); ++key) OrderItems[key]->setChecked(key + 1 == 3);
  InvoiceFormMode = 0;
}

QString TInvEdit1::StatusText(int panel) const {
  return statusPanels_.at(panel)->text();
}

void TInvEdit1::SetStatusText(int panel, const QString& text) {
  statusPanels_.at(panel)->setText(text);
}

void TInvEdit1::ShowCompanyTotals() {
  CName->setText(Text(CurrentCompany.CompanyName.Get() + " - #" + CurrentCompany.CompanyNumber.Get()));
  ARBal->setText(Amount(CurrentCompany.CompanyARBalance.Get()));
}

void TInvEdit1::ShowRecordCount() {
  if (!records::InvoiceFile) return;
  SetStatusText(0, "Records: " + QString::number(storage::IsamUsedKeys(records::InvoiceFile,
                                                                       InvBrowser1->BrowserKeyNumber())));
}

// The invoice, detail and memo files for the browser and the transactions, and the company list,
// customer and product files the postings touch, so that each posting does not open and flush
// them anew.
bool TInvEdit1::OpenFiles() {
  const bool opened = records::OpenInvoiceFiles();
  if (!forms::OpenedOrHalt(*this, opened, forms::OpenFailureHeadline("Unable to open databases")))
    return false;
  HoldInvoicePostingFiles(postingFiles_);
  return true;
}

void TInvEdit1::FormShow() {
  for (QLabel* label : {CName, Label1, ARBal}) {
    label->setFont(forms::CompanyEditorFont(CurrentCompany, font()));
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, forms::CompanyEditorColor(CurrentCompany));
    label->setPalette(palette);
  }
  ShowCompanyTotals();
  SetStatusText(1, "Right-click mouse or select from menu bar.");
  InvBrowser1->SetHeader(Text(InvoiceBrowserHeader()));
  if (!OpenFiles()) return;

  SetFilter(false);
  records::AttachInvoiceBrowser(*InvBrowser1);
  if (!InvBrowser1->DataSource()) platform::ui::Beep();
  const platform::ui::FontChoice browserFont = forms::CompanyBrowserFont(CurrentCompany);
  InvBrowser1->setFont(platform::ui::ToQFont(browserFont));
  InvBrowser1->SetFontColor(platform::print::ColorToQColor(browserFont.color));
  InvBrowser1->BrowserSetKeyNumber(InvoiceDisplayKey);
  PositionOnLastInvoice();
  ShowRecordCount();

  // Filtered on the command-line job's customer exactly as by the filter button.
  if (forms::InvoiceFilterOnShow) {
    forms::InvoiceFilterOnShow = 0;
    SetStatusText(1, SetFilter(true));
  }
  InvBrowser1->setFocus();
}

// The list opens at the invoice added last.
void TInvEdit1::PositionOnLastInvoice() {
  InvoiceBuf = records::InvoiceRec{};
  InvoiceBuf.InvoiceNo.Set(CurrentCompany.InvoiceManagerStartNumber.Get());
  storage::IsamKeyStr key = records::BuildInvoiceKey(InvoiceBuf, 1);
  storage::IsamRecRef ref = 0;
  // No invoice at or after the start number leaves the list at its top; a search or read that
  // failed is said, not taken for that.
  const bool found = forms::CheckReads(windowTitle(), [&] {
    if (!records::InvoiceUnit().SearchKey(key, ref, 1)) {
      if (!records::IsEndOfWalk()) records::ThrowFileUnusable(records::InvoiceUnit());
      return false;
    }
    records::ReadRecordAt(records::InvoiceFile, ref, InvoiceBuf);
    return true;
  });
  if (!found) return;
  InvBrowser1->BrowserGoToKey(records::BuildInvoiceKey(InvoiceBuf, InvBrowser1->BrowserKeyNumber()), ref);
}

void TInvEdit1::FormClose() {
  forms::CloseProgressWindow();
  InvBrowser1->SetFilterEnabled(false);
  InvBrowser1->Attach(nullptr);
  records::ClosingFiles closing;  // one message for every file that fails to close
  for (storage::IsamFileBlock* file : {&records::InvoiceFile, &records::DetailFile, &records::MemoFile})
    records::CloseDataFile(*file);
  postingFiles_.Release();
}

int32_t TInvEdit1::InvBrowser1BuildRow(storage::TRecBrowser*, storage::RowRec& rr) {
  if (rr.Status != 0) {
    rr.Text[0] = UnreadableInvoiceRow(rr.Key);
    return 0;
  }
  MarkDamagedInvoice(InvoiceBuf);
  rr.Text[0] = InvoiceBrowserRow(InvoiceBuf);
  return 0;
}

int32_t TInvEdit1::InvBrowser1PerformFilter(storage::TRecBrowser* sender, storage::RowRec& rr, bool& useIt) {
  const int32_t result = sender->BrowserReadRecordOfRow(rr.Ref);
  if (result != 0) return result;
  useIt = TrimBlanks(InvoiceBuf.InvCustomerNo.Get()) == CustomerFilterNo;
  return 0;
}

void TInvEdit1::keyPressEvent(QKeyEvent* event) {
  switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
      InvBrowser1DblClick();
      return;
    case Qt::Key_Delete:
      InvDeleteClick();
      return;
    default:
      Form::keyPressEvent(event);
  }
}

bool TInvEdit1::ReadHighlighted() {
  return forms::ReadHighlightedRow(*InvBrowser1);
}

// Changes the order of the list and keeps the highlighted record highlighted.
void TInvEdit1::SwitchKey(int32_t keyNr) {
  for (std::size_t key = 0; key < OrderItems.size(); ++key)
    OrderItems[key]->setChecked(static_cast<int32_t>(key) + 1 == keyNr);
  InvoiceDisplayKey = keyNr;
  if (!InvBrowser1->DataSource()) return;
  const bool highlighted = ReadHighlighted();
  const storage::IsamRecRef ref = InvBrowser1->BrowserCurrentRef();
  const records::InvoiceRec current = InvoiceBuf;
  InvBrowser1->BrowserSetKeyNumber(keyNr);
  if (highlighted) InvBrowser1->BrowserGoToKey(records::BuildInvoiceKey(current, keyNr), ref);
  ShowRecordCount();
}

// Runs the edit or delete transaction on the highlighted record, then shows the list, the count,
// the company's totals and the transaction's status text afresh.
void TInvEdit1::RunTransaction(bool (*transaction)(storage::IsamRecRef, std::string&)) {
  if (!ReadHighlighted()) return;
  const storage::IsamRecRef ref = InvBrowser1->BrowserCurrentRef();
  std::string status;
  const bool changed = transaction(ref, status);
  if (changed) InvBrowser1->BrowserRefresh();
  ShowRecordCount();
  ShowCompanyTotals();
  if (!status.empty()) SetStatusText(1, Text(status));
}

void TInvEdit1::EditInvoiceClick() {
  RunTransaction(invoicing::EditInvoice);
}

void TInvEdit1::InvDeleteClick() {
  RunTransaction(invoicing::DeleteInvoice);
}

void TInvEdit1::SpeedButton1Click() {
  forms::FindInvoice(*InvBrowser1);
}

bool TInvEdit1::AddInvoice() {
  if (forms::RefuseEntryWhilePostingWaits(records::InvoiceUnit(), "A new invoice", "added", "Add Invoice"))
    return false;
  TProdInv& form = CreateProdInv();
  PrepareInvoiceFormForAdd(form);
  std::optional<AddedInvoice> added = EnterNewInvoice(form);
  if (!added) return false;
  ShowAddedInvoice(*added);
  return true;
}

void TInvEdit1::ShowAddedInvoice(const AddedInvoice& added) {
  InvoiceBuf = added.Record;
  InvBrowser1->BrowserGoToKey(records::BuildInvoiceKey(added.Record, InvBrowser1->BrowserKeyNumber()),
                              added.Posted.Ref);
  ShowRecordCount();
  ShowCompanyTotals();
  SetStatusText(1, Text(added.Posted.StatusText));
  if (!added.PrintRequested) return;
  platform::ui::Application->ProcessMessages();
  ToPrinterButnClick();
}

void TInvEdit1::InvPrintClick() {
  if (!ReadHighlighted()) return;
  PrintInvoiceNo = TrimBlanks(InvoiceBuf.InvoiceNo.Get());
  const std::string status = BuildInvoiceDocument();
  if (!status.empty()) SetStatusText(1, Text(status));
}

void TInvEdit1::InvBrowser1DblClick() {
  if (CustomerDataMode == 1)
    CustDataButnClick();
  else
    InvPrintClick();
}

void TInvEdit1::CustDataButnClick() {
  if (!ReadHighlighted()) return;
  const records::InvoiceRec record = InvoiceBuf;
  if (!forms::ReadAll("Customer Data", [&] { records::SelectedCustomer = CustomerOfRecord(record); })) return;
  customers::TQView& view = customers::CreateQView();
  FillQuickView(view, record, records::SelectedCustomer);
  view.ShowModal();
}

void TInvEdit1::ReportEMailSent(const std::string& number) {
  if (CurrentCompany.EMailWithoutAddress.Get() != "Y" &&
      TrimBlanks(documents::DocHeader.EMailAddress).empty()) {
    SetStatusText(1, Text("Invoice " + number + " was not sent by e-mail."));
    MessageBox("This customer has no e-mail address. Invoice not sent by e-mail.", "E-Mail Invoice",
               MsgButtons::Ok, MsgIcon::Information);
    return;
  }
  documents::Trtedit& window = documents::CreateRtedit();
  const QString text =
      Text(documents::SentByEMailText("Invoice " + number, window.msMessage1->Recipients.Count()));
  SetStatusText(1, text);
  window.msSMTP1->Quit();
  MessageBox(text, "E-Mail Invoice", MsgButtons::Ok, MsgIcon::Information);
}

void TInvEdit1::ToPrinterButnClick() {
  forms::CloseProgressWindow();
  const bool email = EMailOutputMode();
  if (email && !documents::EnsureMailOnline()) return;
  if (!ReadHighlighted()) return;
  const std::string number = TrimBlanks(InvoiceBuf.InvoiceNo.Get());
  const platform::print::PrintRun run;
  {
    platform::ui::WaitCursor busy;
    OutputFlags flags(0, 0);
    InvPrintClick();
  }
  if (email)
    ReportEMailSent(number);
  else
    SetStatusText(1, run.Notice(Text("Invoice " + number), "sent to print queue"));
}

void TInvEdit1::PrintPackingSlip1Click() {
  if (!ReadHighlighted()) return;
  const std::string number = TrimBlanks(InvoiceBuf.InvoiceNo.Get());
  platform::ui::WaitCursor busy;
  OutputFlags flags(1, 0);
  PrintInvoiceNo = number;
  bool found = false;
  if (!forms::ReadAll("Packing Slip", [&] { found = FillInvoiceDocument(number); }) || !found) return;
  documents::DocMode = "PSL";
  documents::PrintInvoice();
  SetStatusText(1, "\n" + platform::print::PrintedNotice(Text("Packing Slip " + number)));
}

void TInvEdit1::BatchPrinButnClick() {
  forms::CloseProgressWindow();
  std::vector<std::string> numbers;
  if (!forms::ReadAll("Batch Print", [&] { numbers = UnprintedInvoiceNumbers(); })) return;
  if (numbers.empty()) {
    MessageBox("There are no invoices to print.", "Batch Print", MsgButtons::Ok, MsgIcon::Information);
    return;
  }
  const bool email = EMailOutputMode();
  const QString count = QString::number(numbers.size());
  forms::TInvBatch& dialog = forms::CreateInvBatch();
  if (email)
    dialog.Prepare("Batch Print Invoices", "There are " + count + " invoice(s) to e-mail.", "* E-Mail Mode *",
                   "(No packing slips or copies.)", "&E-Mail", static_cast<int>(numbers.size()));
  else
    dialog.Prepare(
        "Batch Print Invoices", "There are " + count + " invoice(s) to print.",
        CurrentCompany.PrintPackingSlips != 0 ? "Packing Slips will be printed."
                                              : "Packing Slips are turned off.",
        CurrentCompany.PrintFileCopies != 0 ? "File Copies will be printed." : "File Copies are turned off.",
        "&Print", static_cast<int>(numbers.size()));
  if (dialog.ShowModal() != platform::ui::mrOk) return;
  if (email && !documents::EnsureMailOnline()) return;
  const int typed =
      platform::text::TryStrToInt(TrimBlanks(platform::text::ToAnsi(dialog.BatchNum->text()))).value_or(0);
  PrintBatch(numbers, std::clamp(typed, 0, static_cast<int>(numbers.size())), email);
}

void TInvEdit1::PrintBatch(const std::vector<std::string>& numbers, int count, bool email) {
  {
    OutputFlags flags(0, 1);
    forms::RunDocumentBatch(numbers, count, email, "Invoice", [](const std::string& number) {
      PrintInvoiceNo = number;
      BuildInvoiceDocument();
    });
  }
  forms::ReportDocumentBatch(
      count, email, "invoices", "sent to e-mail", [this](const QString& text) { SetStatusText(1, text); },
      [] { documents::CreateRtedit().msSMTP1->Quit(); });
}

QString TInvEdit1::SetFilter(bool on) {
  return forms::SwitchManagerFilter(*this, *CFilter, *InvBrowser1, on,
                                    "Filtering Customer#: " + Text(CustomerFilterNo));
}

void TInvEdit1::SpeedButton2Click() {
  if (!ReadHighlighted()) return;
  CustomerFilterNo = TrimBlanks(InvoiceBuf.InvCustomerNo.Get()).substr(0, 10);
  SetStatusText(1, SetFilter(!InvBrowser1->FilterEnabled()));
}

void TInvEdit1::PrintWindow1Click() {
  forms::PrintWindowShowingWhere(*this);
}

void TInvEdit1::PrinterSetup1Click() {
  forms::SetUpPrinter();
}

void TInvEdit1::SpeedButton4Click() {
  platform::ui::Application->HelpKeyword("InvoiceManager");
}

}  // namespace invoicing
