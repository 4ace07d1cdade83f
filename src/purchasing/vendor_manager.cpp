#include "purchasing/vendor_manager.h"

#include <stdexcept>
#include <vector>

#include "exchange/contact_export.h"
#include "exchange/record_export_dialog.h"
#include "exchange/vendor_import_window.h"
#include "forms/address_entry.h"
#include "forms/address_list_report.h"
#include "forms/address_printouts.h"
#include "forms/form_instance.h"
#include "forms/manager_window.h"
#include "forms/picker_windows.h"
#include "forms/printout_notice.h"
#include "forms/record_find.h"
#include "forms/report_font.h"
#include "forms/run_state.h"
#include "forms/unusable_file.h"
#include "platform/print/printer.h"
#include "platform/text/clock.h"
#include "platform/text/codepage.h"
#include "platform/text/key_text.h"
#include "platform/text/upper_case.h"
#include "platform/ui/application.h"
#include "platform/ui/desktop.h"
#include "platform/ui/message_box.h"
#include "purchasing/vendor_actions.h"
#include "purchasing/vendor_dialog.h"
#include "purchasing/vendor_printouts.h"
#include "purchasing/vendor_texts.h"
#include "records/company_data_files.h"
#include "records/company_rec.h"
#include "records/record_file.h"
#include "records/vendor_file.h"
#include "reports/label_queue.h"
#include "storage/posting_journal.h"

namespace purchasing {

using namespace records;
using namespace forms;

using platform::text::ToAnsi;
using platform::text::ToQString;
using platform::text::TrimBlanks;
using platform::text::UpperCase;
using namespace platform::ui;

int32_t VendorSortKey = 1;
int32_t VendorPickMode = 0;
TVenList* VenList = nullptr;

TVenList& CreateVenList() {
  return FormInstance(VenList);
}

forms::PickerWindows VendorPickers;

namespace {

std::string Ansi(const QLineEdit* edit) {
  return ToAnsi(edit->text());
}

std::string YesNo(const QCheckBox* box) {
  return box->isChecked() ? "Y" : "N";
}

}  // namespace

TVenList::TVenList(QWidget* parent) : ManagerWindow(parent) {
  SetCaption("Vendor Manager");
  SetHelpKeyword("vendorManager");
  resize(760, 520);
  BuildToolBar();
  BuildMenus();
}

void TVenList::BuildToolBar() {
  NewCustButn = AddToolButton("&New", &TVenList::NewCustButnClick);
  EditCustButn = AddToolButton("&Edit", &TVenList::EditCustButnClick);
  DeleteCustButn = AddToolButton("Dele&te", &TVenList::DeleteCustButnClick);
  FinCustButn = AddToolButton("&Find", &TVenList::FinCustButnClick);
  CustBookButn = AddToolButton("Vendor Li&st", &TVenList::CustBookButnClick);
  PrintEnvButn = AddToolButton("Pr&int Envelope", &TVenList::PrintEnvButnClick);
  PrinCust = AddToolButton("&Print", &TVenList::PrinCustClick);
  SpeedButton2 = AddCloseButton();
  SpeedButton3 = AddToolButton("He&lp", &TVenList::SpeedButton3Click);
  ToolRow()->addStretch(1);
}

void TVenList::BuildMenus() {
  Vendor1 = MainMenu1->addMenu("&Vendor");
  New1 = AddItem(Vendor1, "&New", &TVenList::AddVendor);
  Edit1 = AddItem(Vendor1, "&Edit", &TVenList::EditVendor);
  Delete1 = AddItem(Vendor1, "&Delete", &TVenList::DeleteVendor);
  Print1 = AddItem(Vendor1, "&Print", &TVenList::PrinCustClick);
  Find1 = AddItem(Vendor1, "&Find", &TVenList::FindVendor);
  VendorList1 = AddItem(Vendor1, "Vendor &List", &TVenList::CustBookButnClick);
  AddtoLabelQueue1 = AddItem(Vendor1, "&Add to Label Queue", &TVenList::AddtoLabelQueue1Click);
  PrintEnvelope1 = AddItem(Vendor1, "Print En&velope", &TVenList::PrintEnvButnClick);
  CopytoClipboard1 = AddItem(Vendor1, "Cop&y to Clipboard", &TVenList::CopytoClipboard1Click);
  ExporttoTextFile1 =
      Vendor1->addAction("E&xport to Text File", [] { exchange::CreateVenExport().ShowModal(); });
  ExporttoContactManager1 =
      Vendor1->addAction("Export to Contact Manager", [] { exchange::ContactManagerExportVendors(); });
  ImportfromTextFile1 = AddItem(Vendor1, "&Import from Text File", &TVenList::ImportfromTextFile1Click);
  Vendor1->addSeparator();
  Close1 = AddCloseItem(Vendor1);

  Display1 = MainMenu1->addMenu("&Display");
  ByName1 = AddItem(Display1, "By &Name", &TVenList::ByName1Click);
  ByNumber1 = AddItem(Display1, "By N&umber", &TVenList::ByNumber1Click);
  ByName1->setCheckable(true);
  ByNumber1->setCheckable(true);
  PrintWindow1 = AddItem(Display1, "Print &Window", &TVenList::PrintWindow1Click);

  Help1 = MainMenu1->addMenu("&Help");
  Overview1 = AddItem(Help1, "&Overview", &TVenList::SpeedButton3Click);

  // The pop-up menu on the rows repeats the common items.
  AddtoLabelQueue2 = AddItem(PopupMenu1, "Add to Label &Queue", &TVenList::AddtoLabelQueue1Click);
  PopupMenu1->addActions({PrintEnvelope1, CopytoClipboard1});
  PopupMenu1->addSeparator();
  PopupMenu1->addActions({New1, Edit1, Delete1, Print1, Find1, VendorList1});
  PopupMenu1->addSeparator();
  PopupMenu1->addAction(Close1);
}

void TVenList::FormCreate() {
  ByName1->setChecked(true);
  ByNumber1->setChecked(false);
  VendorSortKey = 1;
  VendorPickMode = 0;
}

void TVenList::FormShow() {
  if (!ShowFileInBrowser(ToQString(VendorBrowserHeader()), VendorFile, OpenVendorFile, VendRec, VendorSortKey,
                         BuildVendorKey))
    return;
  // PO entry put the PO's vendor in VendorBuf: the list opens on it.
  if (VendorPickMode == 1)
    PositionOnPickStart(VendorUnit(), VendorBuf, VendorSortKey, BuildVendorKey,
                        "Vendor Search operation failed");
  RecBrowser1->setFocus();
}

void TVenList::FormClose() {
  CloseShownFile();
  // An import appended vendors without their keys: every file of the company is rebuilt.
  if (forms::RebuildNeeded) {
    // Each file that cannot be rebuilt says why, and stays marked for its next open to rebuild.
    (void)RebuildCompanyDataFiles();
    forms::RebuildNeeded = 0;
  }
}

void TVenList::ImportfromTextFile1Click() {
  exchange::TVendImp& window = exchange::CreateVendImp();
  window.CloseOpener = [this] { Close(); };
  window.ShowModal();
}

int32_t TVenList::RecBrowser1BuildRow(storage::TRecBrowser*, storage::RowRec& rr) {
  // A row whose record could not be read shows its key, marked.
  rr.Text[0] = rr.Status == 0 ? VendorBrowserRow(VendRec) : "****  " + rr.Key;
  return 0;
}

void TVenList::RecBrowser1RowChanged(storage::TRecBrowser*) {
  ShowEntryCount("Vendors", VendorFile);
}

void TVenList::RecBrowser1DblClick() {
  if (!VendorPickers.AnyVisible()) {
    EditVendor();
    return;
  }
  if (!ReadHighlighted()) return;
  VendorBuf = VendRec;
  SetModalResult(mrOk);
}

void TVenList::PrepareDialogForAdd(TVendEdit& d) const {
  d.SetCaption("Add Vendor");
  d.CNo->setText(ToQString(TrimBlanks(CurrentCompany.NextVendorNumber.Get())));
  d.CTE->setText("N");
  d.CTerms->setEditText(ToQString(CurrentCompany.DefaultInvoiceTerms.Get()));
  for (QLineEdit* edit : {d.CName, d.CustType, d.CPhone1, d.CPhone2, d.ShortName, d.MListCode, d.VenEMAdd})
    edit->clear();
  ClearAddressLines(d.BillingEdits());
  ClearAddressLines(d.ShippingEdits());
  d.CstNote->clear();
  d.CRHold->setChecked(false);
  d.NotesOnInv->setChecked(false);
}

void TVenList::FillDialog(TVendEdit& d) const {
  const VendorRec& v = VendRec;
  d.SetCaption("Edit Vendor");
  d.CNo->setText(ToQString(v.VendorNo.Get()));
  d.CName->setText(ToQString(v.VendorName.Get()));
  d.CustType->setText(ToQString(v.VendorType.Get()));
  d.CTE->setText(ToQString(v.TaxExempt.Get()));
  d.CTerms->setEditText(ToQString(v.POTerms.Get()));
  const std::array<std::string, 4> order = OrderAddressLines(v);
  const std::array<std::string, 4> shipping = ShippingAddressLines(v);
  // Each shipping line is set after its order line, which auto-copy may have copied over it.
  for (int line = 0; line < 4; ++line) {
    d.BillingEdits()[line]->setText(ToQString(order[line]));
    d.ShippingEdits()[line]->setText(ToQString(shipping[line]));
  }
  d.CPhone1->setText(ToQString(v.Phone1.Get()));
  d.CPhone2->setText(ToQString(v.Phone2.Get()));
  d.CstNote->setPlainText(ToQString(v.VendNotes.Get()));
  d.ShortName->setText(ToQString(v.ShortName.Get()));
  d.MListCode->setText(ToQString(v.MailSortCode.Get()));
  d.VenEMAdd->setText(ToQString(v.VendEMail.Get()));
  d.CRHold->setChecked(v.Hold.Get() == "Y");
  d.NotesOnInv->setChecked(v.NotesOnPO.Get() == "Y");
}

void TVenList::FillFromDialog(const TVendEdit& d) {
  VendorRec& v = VendRec;
  v.VendorNo.Set(TrimBlanks(Ansi(d.CNo)));
  v.VendorName.Set(Ansi(d.CName));
  v.VendorType.Set(Ansi(d.CustType));
  v.TaxExempt.Set(UpperCase(Ansi(d.CTE)));
  v.POTerms.Set(ToAnsi(d.CTerms->currentText()));
  for (int line = 0; line < 4; ++line) {
    OrderAddressFields(v)[line]->Set(Ansi(d.BillingEdits()[line]));
    ShippingAddressFields(v)[line]->Set(Ansi(d.ShippingEdits()[line]));
  }
  v.Phone1.Set(Ansi(d.CPhone1));
  v.Phone2.Set(Ansi(d.CPhone2));
  v.VendNotes.Set(d.NotesText());
  v.ShortName.Set(Ansi(d.ShortName));
  v.MailSortCode.Set(Ansi(d.MListCode));
  v.VendEMail.Set(Ansi(d.VenEMAdd));
  v.Hold.Set(YesNo(d.CRHold));
  v.NotesOnPO.Set(YesNo(d.NotesOnInv));
  v.SecondNotesFlag.Set("N");
}

void TVenList::AddVendor() {
  if (forms::RefuseEntryWhilePostingWaits(VendorUnit(), "A new vendor", "added", "Add Vendor")) return;
  VendRec = VendorRec{};
  VendorDialogMode = "0";
  StoredVendorNumber = "0";
  TVendEdit& dialog = CreateVendEdit();
  PrepareDialogForAdd(dialog);
  if (dialog.ShowModal() != mrOk) return;

  FillFromDialog(dialog);
  for (ShortString<10>* amount : {&VendRec.Amount1, &VendRec.Amount2, &VendRec.Amount3, &VendRec.Amount4})
    amount->Set("0.00");
  VendRec.Balance.Set("0.00");
  const VendorRec added = VendRec;
  storage::IsamRecRef ref = 0;
  records::RequireDone(AddVendorRecord(added, ref), "Add operation failed");
  VendRec = added;
  PositionOn(VendRec, ref, BuildVendorKey);
  AdvanceNextVendorNumber(added.VendorNo.Get());
}

void TVenList::EditVendor() {
  if (!ReadHighlighted()) return;
  if (forms::RefuseEntryWhilePostingWaits(VendorUnit(), forms::RecordSubject(VendorUnit(), VendRec),
                                          "changed", "Edit Vendor"))
    return;
  const storage::IsamRecRef ref = RecBrowser1->BrowserCurrentRef();
  const VendorRec beforeImage = VendRec;
  VendorDialogMode = "1";
  StoredVendorNumber = ComparableText(VendRec.VendorNo.Get()).substr(0, 9);
  const std::string stored = StoredVendorNumber;
  TVendEdit& dialog = CreateVendEdit();
  FillDialog(dialog);
  if (dialog.ShowModal() != mrOk) return;

  FillFromDialog(dialog);
  const VendorRec changed = VendRec;
  // The vendor and its POs under a new number are one posting.
  const int count = storage::RunPosting("the change of vendor " + stored,
                                        [&] {
                                          records::RequireDone(UpdateVendorRecord(changed, beforeImage, ref),
                                                               "Modify operation failed");
                                          return ComparableText(changed.VendorNo.Get()) == stored
                                                     ? 0
                                                     : RenumberVendorPOs(stored, changed.VendorNo.Get());
                                        },
                                        {"Vendor " + TrimBlanks(beforeImage.VendorNo.Get()), "changed"});
  VendRec = changed;
  PositionOn(VendRec, ref, BuildVendorKey);
  ReportRenumberedPOs(count);
}

void TVenList::ReportRenumberedPOs(int count) {
  if (count == 0) return;
  MessageBox("This vendor has " + QString::number(count) +
                 " record(s) on file. All have been changed to reflect the new vendor number.",
             "Vendor Number Changed", MsgButtons::Ok, MsgIcon::Information);
}

void TVenList::DeleteVendor() {
  if (!ReadHighlighted()) return;
  // Refused before anything is asked: the deletion could not be kept while a posting waits.
  if (forms::RefuseEntryWhilePostingWaits(VendorUnit(), forms::RecordSubject(VendorUnit(), VendRec),
                                          "deleted", "Delete Vendor"))
    return;
  const storage::IsamRecRef ref = RecBrowser1->BrowserCurrentRef();
  VendorDeleteCheck check = VendorDeleteCheck::Allowed;
  if (!forms::ReadAll("Delete Vendor", [&] { check = CheckVendorDelete(VendRec); })) return;
  switch (check) {
    case VendorDeleteCheck::HasPOs:
      MessageBox(
          "This vendor has Purchase Orders on file and may not be deleted. You can mark this vendor as "
          "inactive, "
          "otherwise, wait until you remove their old Purchase Orders, then delete.",
          "Delete Vendor");
      return;
    case VendorDeleteCheck::Allowed:
      break;
  }
  if (MessageBox("Are you sure you want to delete this vendor?",
                 "Delete Vendor#: " + ToQString(VendRec.VendorNo.Get()), MsgButtons::YesNo,
                 MsgIcon::Question) != mrYes)
    return;
  records::RequireDone(DeleteVendorRecord(ref), "Delete vendor failed");
  RecBrowser1->BrowserRefresh();
}

void TVenList::FindVendor() {
  forms::FindVendor(*RecBrowser1, VendRec);
}

void TVenList::ByName1Click() {
  SwitchKey(1);
}

void TVenList::ByNumber1Click() {
  SwitchKey(2);
}

void TVenList::SwitchKey(int32_t keyNr) {
  ByName1->setChecked(keyNr == 1);
  ByNumber1->setChecked(keyNr == 2);
  VendorSortKey = keyNr;
  SwitchBrowserKey(*RecBrowser1, VendRec, keyNr, BuildVendorKey);
}

void TVenList::CustBookButnClick() {
  const std::optional<AddressListChoice> choice = AskAddressListChoice("vendor");
  if (!choice) return;
  RunAddressListReport("vendor", choice->ByNumber, [&] {
    std::vector<std::string> lines =
        VendorListHeading(CurrentCompany.CompanyName.Get(), platform::text::Now());
    ForEachRecordByKey<VendorRec>(VendorFile, choice->ByNumber ? 2 : 1, [&](const VendorRec& vendor) {
      if (TrimBlanks(vendor.VendorNo.Get()).empty()) return;
      std::vector<std::string> entry = VendorListEntry(vendor, choice->WithAddresses);
      lines.insert(lines.end(), entry.begin(), entry.end());
    });
    return lines;
  });
}

void TVenList::AddtoLabelQueue1Click() {
  if (ReadHighlighted()) SetStatusText(1, ToQString(reports::QueueVendor(VendRec)));
}

void TVenList::PrinCustClick() {
  if (!ReadHighlighted()) return;
  {
    WaitCursor hourglass;
    PrintVendorCard(VendRec, CurrentCompany, LoadReportFont(), platform::text::Now());
  }
  SetStatusText(1,
                platform::print::PrintedNotice("Vendor: " + ToQString(TrimBlanks(VendRec.VendorName.Get()))));
}

void TVenList::PrintEnvButnClick() {
  if (!ReadHighlighted()) return;
  PrintEnvelope(VendorEnvelopeAddress(VendRec, CurrentCompany), CurrentCompany);
  SetStatusText(
      1, platform::print::PrintedNotice("Envelope for " + ToQString(TrimBlanks(VendRec.VendorName.Get()))));
}

void TVenList::CopytoClipboard1Click() {
  if (!ReadHighlighted()) return;
  SetClipboardText(AddressClipboardText(VendRec.VendorName.Get(), OrderAddressLines(VendRec)));
  SetStatusText(1, "Vendor: " + ToQString(TrimBlanks(VendRec.VendorName.Get())) + " copied to clipboard.");
}

void TVenList::PrintWindow1Click() {
  forms::PrintWindowShowingWhere(*this);
}

void TVenList::SpeedButton3Click() {
  Application->HelpKeyword("vendorManager");
}

}  // namespace purchasing
