#include "purchasing/po_manager.h"

#include <algorithm>

#include "documents/document_buffer.h"
#include "documents/document_view.h"
#include "documents/email_document.h"
#include "documents/mail_readiness.h"
#include "forms/batch_print_dialog.h"
#include "forms/form_instance.h"
#include "forms/printer_setup.h"
#include "forms/printout_notice.h"
#include "forms/progress_window.h"
#include "forms/record_find.h"
#include "forms/run_state.h"
#include "forms/unusable_file.h"
#include "platform/print/printer.h"
#include "platform/text/codepage.h"
#include "platform/text/key_text.h"
#include "platform/text/number_text.h"
#include "platform/ui/application.h"
#include "platform/ui/desktop.h"
#include "platform/ui/message_box.h"
#include "purchasing/po_add.h"
#include "purchasing/po_delete.h"
#include "purchasing/po_document.h"
#include "purchasing/po_edit.h"
#include "purchasing/po_texts.h"
#include "records/company_rec.h"
#include "records/memo_file.h"
#include "records/po_detail_file.h"
#include "records/po_header_file.h"
#include "records/product_file.h"
#include "records/record_file.h"
#include "records/vendor_file.h"

namespace purchasing {

using platform::text::ToQString;
using platform::text::TrimBlanks;
using platform::ui::MessageBox;
using platform::ui::MsgButtons;
using platform::ui::MsgIcon;
using records::CurrentCompany;
using records::POHeaderBuf;

int32_t POSortKey = 3;
std::string POFilterVendor;
TPOList1* POList1 = nullptr;

TPOList1& CreatePOList1() {
  return forms::FormInstance(POList1);
}

namespace {

QString Text(const std::string& ansi) {
  return ToQString(ansi);
}

constexpr const char* OrderCaptions[6] = {"By PO &Number", "By PO &Date",      "By &Vendor Number",
                                          "By &Key Code",  "By &Receive Date", "&By Required Date"};
constexpr int32_t OrderKeys[6] = {1, 3, 2, 4, 6, 7};

// The flags of one output action, back to 0 however it ends.
class POOutputFlags {
 public:
  explicit POOutputFlags(uint8_t batch) {
    POPrintMode = 1;
    POBatchRun = batch;
  }
  ~POOutputFlags() { POPrintMode = POBatchRun = 0; }
  POOutputFlags(const POOutputFlags&) = delete;
  POOutputFlags& operator=(const POOutputFlags&) = delete;
};

void QuitMail() {
  documents::CreateRtedit().msSMTP1->Quit();
}

}  // namespace

std::vector<std::string> UnprintedPONumbers() {
  std::vector<std::string> numbers;
  records::ForEachRecordInFileOrder<records::POHeaderRec>(
      records::POHeaderFile, [&numbers](const records::POHeaderRec& header) {
        if (header.Printed.Get() != "Y" && header.POStatus.Get() == "O")
          numbers.push_back(header.PONumber.Get());
      });
  return numbers;
}

TPOList1::TPOList1(QWidget* parent) : ManagerWindow(parent), CName(Label1), CFilter(new QLabel(this)) {
  SetCaption("Purchase Order Manager");
  SetHelpKeyword("POManager");
  resize(980, 560);
  BuildToolBar();
  BuildMenus();
  RecBrowser1->OnPerformFilter = [this](storage::TRecBrowser* sender, storage::RowRec& rr, bool& useIt) {
    return InvBrowser1PerformFilter(sender, rr, useIt);
  };
}

void TPOList1::BuildToolBar() {
  AddInvoice = AddToolButton("&New", &TPOList1::NewPOClicked);
  EditInvoice = AddToolButton("&Edit", &TPOList1::EditPOClicked);
  InvDelete = AddToolButton("Dele&te", &TPOList1::Delete1Click);
  SpeedButton1 = AddToolButton("&Find", &TPOList1::SpeedButton1Click);
  InvPrint = AddToolButton("&View", &TPOList1::InvPrintClick);
  ToPrinterButn = AddToolButton("P&rint", &TPOList1::ToPrinterButnClick);
  BatchPrinButn = AddToolButton("&Batch Print", &TPOList1::BatchPrinButnClick);
  SpeedButton2 = AddToolButton("F&ilter On/Off", &TPOList1::SpeedButton2Click);
  SpeedButton3 = AddCloseButton();
  SpeedButton4 = AddToolButton("He&lp", &TPOList1::SpeedButton4Click);
  ToolRow()->addStretch(1);
  ToolRow()->addWidget(CFilter);
}

void TPOList1::BuildMenus() {
  PO1 = MainMenu1->addMenu("&Purchase Order");
  Add1 = AddItem(PO1, "&New", &TPOList1::NewPOClicked);
  Edit1 = AddItem(PO1, "&Edit", &TPOList1::EditPOClicked);
  Delete1 = AddItem(PO1, "&Delete", &TPOList1::Delete1Click);
  Search1 = AddItem(PO1, "&Find", &TPOList1::SpeedButton1Click);
  PO1->addSeparator();
  View1 = AddItem(PO1, "&View", &TPOList1::InvPrintClick);
  Print1 = AddItem(PO1, "&Print", &TPOList1::ToPrinterButnClick);
  BatchPrint1 = AddItem(PO1, "&Batch Print", &TPOList1::BatchPrinButnClick);
  PrinterSetup1 = AddItem(PO1, "Printer &Setup", &TPOList1::PrinterSetup1Click);
  PO1->addSeparator();
  Close1 = AddCloseItem(PO1);

  Display1 = MainMenu1->addMenu("&Display");
  for (std::size_t item = 0; item < OrderItems.size(); ++item) {
    const int32_t keyNr = OrderKeys[item];
    OrderItems[item] = forms::AddMenuItem(Display1, OrderCaptions[item], [this, keyNr] { SwitchKey(keyNr); });
    OrderItems[item]->setCheckable(true);
  }
  Display1->addSeparator();
  PrintWindow1 = AddItem(Display1, "Print &Window", &TPOList1::PrintWindow1Click);

  Help1 = MainMenu1->addMenu("&Help");
  Overview1 = AddItem(Help1, "&Overview", &TPOList1::SpeedButton4Click);

  // The pop-up menu on the rows repeats the common items.
  PopupMenu1->addActions({Add1, Edit1, Delete1, Search1, View1, Print1});
  PopupMenu1->addSeparator();
  PopupMenu1->addAction(Close1);
}

void TPOList1::FormCreate() {
  POSortKey = 3;
  POPrintMode = POBatchRun = 0;
  POEntryMode = 0;
  for (std::size_t item = 0; item < OrderItems.size(); ++item)
    OrderItems[item]->setChecked(OrderKeys[item] == 3);
}

void TPOList1::ShowRecordCount() {
  if (!records::POHeaderFile) return;
  SetStatusText(0, "Records: " + QString::number(storage::IsamUsedKeys(records::POHeaderFile,
                                                                       RecBrowser1->BrowserKeyNumber())));
}

void TPOList1::FormShow() {
  forms::ShowCompanyTitle(*CName);
  SetStatusText(1, "Right-click mouse or select from menu bar.");
  RecBrowser1->SetHeader(Text(POBrowserHeader()));
  const bool opened = records::OpenPOFiles();
  if (!forms::OpenedOrHalt(*this, opened, forms::OpenFailureHeadline("Unable to open databases"))) return;
  // The files the postings touch besides the PO files, so that each posting does not open and
  // flush them anew.
  postingFiles_.Hold(records::VendorUnit());
  postingFiles_.Hold(records::ProductUnit());
  SetFilter(false);
  records::AttachPOBrowser(*RecBrowser1);
  if (!RecBrowser1->DataSource()) platform::ui::Beep();
  forms::ApplyCompanyBrowserFont(*RecBrowser1);
  RecBrowser1->BrowserSetKeyNumber(POSortKey);
  PositionOnStartPO();
  ShowRecordCount();
  RecBrowser1->setFocus();
}

// The list opens at the PO added last.
void TPOList1::PositionOnStartPO() {
  records::POHeaderRec wanted{};
  wanted.PONumber.Set(CurrentCompany.POManagerStartNumber.Get());
  storage::IsamRecRef ref = 0;
  // A search that failed is said, not taken for a start PO that is not on file.
  if (!forms::CheckReads(windowTitle(), [&] {
        return records::ReadIfOnFile(records::POHeaderUnit(), records::BuildPOHeaderKey(wanted, 1), 1,
                                     POHeaderBuf, ref);
      }))
    return;
  const records::POHeaderRec start = POHeaderBuf;
  RecBrowser1->BrowserGoToKey(records::BuildPOHeaderKey(start, RecBrowser1->BrowserKeyNumber()), ref);
}

void TPOList1::FormClose() {
  forms::CloseProgressWindow();
  RecBrowser1->SetFilterEnabled(false);
  RecBrowser1->Attach(nullptr);
  records::ClosingFiles closing;  // one message for every file that fails to close
  for (storage::IsamFileBlock* file : {&records::POHeaderFile, &records::PODetailFile, &records::POMemoFile})
    records::CloseDataFile(*file);
  postingFiles_.Release();
}

int32_t TPOList1::RecBrowser1BuildRow(storage::TRecBrowser*, storage::RowRec& rr) {
  if (rr.Status != 0) {
    rr.Text[0] = UnreadablePORow(rr.Key);
    return 0;
  }
  MarkDamagedPO(POHeaderBuf);
  rr.Text[0] = POBrowserRow(POHeaderBuf);
  return 0;
}

void TPOList1::RecBrowser1RowChanged(storage::TRecBrowser*) {
  ShowRecordCount();
}

int32_t TPOList1::InvBrowser1PerformFilter(storage::TRecBrowser* sender, storage::RowRec& rr, bool& useIt) {
  const int32_t result = sender->BrowserReadRecordOfRow(rr.Ref);
  if (result != 0) return result;
  useIt = TrimBlanks(POHeaderBuf.VendorNo.Get()) == POFilterVendor;
  return 0;
}

void TPOList1::SwitchKey(int32_t keyNr) {
  for (std::size_t item = 0; item < OrderItems.size(); ++item)
    OrderItems[item]->setChecked(OrderKeys[item] == keyNr);
  POSortKey = keyNr;
  forms::SwitchBrowserKey(*RecBrowser1, POHeaderBuf, keyNr, records::BuildPOHeaderKey);
  ShowRecordCount();
}

void TPOList1::NewPOClicked() {
  std::string status;
  bool print = false;
  if (!AddPO(&status, &print)) return;
  // The add made the new PO the company's start PO: the list moves to it.
  PositionOnStartPO();
  ShowRecordCount();
  forms::ShowCompanyTitle(*CName);
  SetStatusText(1, Text(status));
  if (!print) return;
  platform::ui::Application->ProcessMessages();
  ToPrinterButnClick();
}

void TPOList1::EditPOClicked() {
  if (!ReadHighlighted()) return;
  const storage::IsamRecRef ref = RecBrowser1->BrowserCurrentRef();
  std::string status;
  if (!EditPO(ref, &status)) return;
  const records::POHeaderRec edited = POHeaderBuf;
  RecBrowser1->BrowserGoToKey(records::BuildPOHeaderKey(edited, RecBrowser1->BrowserKeyNumber()), ref);
  forms::ShowCompanyTitle(*CName);
  SetStatusText(1, Text(status));
}

void TPOList1::ShowAfterDelete() {
  RecBrowser1->BrowserRefresh();
  ShowRecordCount();
  forms::ShowCompanyTitle(*CName);
}

void TPOList1::Delete1Click() {
  if (!ReadHighlighted()) return;
  std::optional<DeletedPO> deleted;
  try {
    deleted = DeletePO(RecBrowser1->BrowserCurrentRef());
  } catch (...) {
    ShowAfterDelete();  // what was deleted before the failure is gone from the list too
    throw;
  }
  if (!deleted) return;
  ShowAfterDelete();
  SetStatusText(1, Text(deleted->StatusText));
  if (deleted->ReceiversPresent) ReportReceiversBackedOut();
}

void TPOList1::SpeedButton1Click() {
  forms::FindPO(*RecBrowser1);
}

bool TPOList1::ShowHighlightedPO() {
  if (!ReadHighlighted()) return false;
  POToPrint = TrimBlanks(POHeaderBuf.PONumber.Get());
  return BuildPODocument();
}

void TPOList1::InvPrintClick() {
  ShowHighlightedPO();
}

void TPOList1::ReportEMailSent(const std::string& number) {
  if (CurrentCompany.EMailWithoutAddress.Get() != "Y" &&
      TrimBlanks(documents::DocHeader.EMailAddress).empty()) {
    SetStatusText(1, Text("PO " + number + " was not sent by e-mail."));
    QuitMail();
    MessageBox("This vendor has no e-mail address. PO not sent by e-mail.", "E-Mail PO", MsgButtons::Ok,
               MsgIcon::Information);
    return;
  }
  SetStatusText(1, Text("PO " + number + " sent by e-mail."));
  const int recipients = documents::CreateRtedit().msMessage1->Recipients.Count();
  QuitMail();
  MessageBox(Text(documents::SentByEMailText("PO " + number, recipients)), "E-Mail PO", MsgButtons::Ok,
             MsgIcon::Information);
}

void TPOList1::ToPrinterButnClick() {
  forms::CloseProgressWindow();
  if (!ReadHighlighted()) return;
  const std::string number = TrimBlanks(POHeaderBuf.PONumber.Get());
  const bool email = forms::EMailOutputChosen();
  if (email && !documents::EnsureMailOnline()) return;
  const platform::print::PrintRun run;
  bool built = false;
  {
    platform::ui::WaitCursor busy;
    POOutputFlags flags(0);
    built = ShowHighlightedPO();
  }
  if (!built) {
    if (email) QuitMail();
    return;
  }
  if (email)
    ReportEMailSent(number);
  else
    SetStatusText(1, run.Notice(Text("PO " + number), "sent to print queue"));
}

void TPOList1::BatchPrinButnClick() {
  forms::CloseProgressWindow();
  std::vector<std::string> numbers;
  if (!forms::ReadAll("Batch Print", [&] { numbers = UnprintedPONumbers(); })) return;
  if (numbers.empty()) {
    MessageBox("There are no POs to print.", "Batch Print", MsgButtons::Ok, MsgIcon::Information);
    return;
  }
  const bool email = forms::EMailOutputChosen();
  const int n = static_cast<int>(numbers.size());
  const QString count = QString::number(n);
  forms::TInvBatch& dialog = forms::CreateInvBatch();
  if (email)
    dialog.Prepare("PO Batch E-Mail", "There are " + count + " PO(s) to e-mail.", "* E-Mail Mode *",
                   "(No file copies are e-mailed.)", "&E-Mail", n);
  else
    dialog.Prepare("PO Batch Print", "There are " + count + " PO(s) to print.", " ",
                   CurrentCompany.POPrintFileCopies != 0 ? "File Copies will be printed."
                                                         : "File Copies are turned off.",
                   "&Print", n);
  if (dialog.ShowModal() != platform::ui::mrOk) return;
  if (email && !documents::EnsureMailOnline()) return;
  // A count that is no whole number raises the conversion error before anything is printed.
  const int typed = platform::text::StrToInt(TrimBlanks(platform::text::ToAnsi(dialog.BatchNum->text())));
  PrintBatch(numbers, std::clamp(typed, 0, n), email);
}

void TPOList1::PrintBatch(const std::vector<std::string>& numbers, int count, bool email) {
  {
    POOutputFlags flags(1);
    forms::RunDocumentBatch(numbers, count, email, "PO", [](const std::string& number) {
      POToPrint = number;
      BuildPODocument();
    });
  }
  forms::ReportDocumentBatch(
      count, email, "POs", "sent by e-mail", [this](const QString& text) { SetStatusText(1, text); },
      QuitMail);
}

QString TPOList1::SetFilter(bool on) {
  return forms::SwitchManagerFilter(*this, *CFilter, *RecBrowser1, on,
                                    "Filtering Vendor#: " + Text(POFilterVendor));
}

void TPOList1::SpeedButton2Click() {
  if (!ReadHighlighted()) return;
  POFilterVendor = TrimBlanks(POHeaderBuf.VendorNo.Get()).substr(0, 10);
  SetStatusText(1, SetFilter(!RecBrowser1->FilterEnabled()));
}

void TPOList1::PrinterSetup1Click() {
  forms::SetUpPrinter();
}

void TPOList1::PrintWindow1Click() {
  forms::PrintWindowShowingWhere(*this);
}

void TPOList1::SpeedButton4Click() {
  platform::ui::Application->HelpKeyword("POManager");
}

}  // namespace purchasing
