#include "purchasing/po_edit.h"

#include <QApplication>
#include <algorithm>

#include "forms/entry_parts.h"
#include "forms/line_amounts.h"
#include "forms/manager_window.h"
#include "forms/shipping_address_dialog.h"
#include "platform/text/amount.h"
#include "platform/text/codepage.h"
#include "platform/text/key_text.h"
#include "platform/text/upper_case.h"
#include "platform/ui/application.h"
#include "platform/ui/message_box.h"
#include "purchasing/po_entry.h"
#include "purchasing/po_posting.h"
#include "records/company_rec.h"
#include "records/po_header_file.h"
#include "records/product_file.h"
#include "records/record_file.h"
#include "records/vendor_file.h"
#include "storage/posting_journal.h"

namespace purchasing {

using namespace platform::ui;
using platform::text::StripCommas;
using platform::text::ToQString;
using platform::text::TrimBlanks;
using platform::text::UpperCase;
using records::CurrentCompany;
using records::PODetailRec;
using storage::IsamRecRef;

namespace {

// A stored "YYYY/MM/DD" date as the company's date order shows it; other texts as they stand.
std::string DisplayDate(const std::string& stored) {
  const std::string order = CurrentCompany.DateOrder.Get();
  if (stored.size() < 10 || (order != "M" && order != "D")) return stored;
  const std::string year = stored.substr(0, 4), month = stored.substr(5, 2), day = stored.substr(8, 2);
  return order == "M" ? month + "/" + day + "/" + year : day + "/" + month + "/" + year;
}

std::string PODateShown(const records::POHeaderRec& h) {
  const std::string order = CurrentCompany.DateOrder.Get();
  if (order == "M") return h.Month.Get() + "/" + h.Day.Get() + "/" + h.Year.Get();
  if (order == "D") return h.Day.Get() + "/" + h.Month.Get() + "/" + h.Year.Get();
  return h.SortDate.Get();
}

std::string Column(const PODetailRec& d, size_t from, size_t width) {
  const std::string text = d.LineText.Get();
  return from < text.size() ? TrimBlanks(text.substr(from, width)) : "";
}

bool IsLine(const PODetailRec& d) {
  return d.RecordKind.Get() == "P";
}

bool Refuse(const char* text, const char* caption) {
  MessageBox(text, caption, MsgButtons::Ok, MsgIcon::Information);
  return false;
}

// The guards before the form is shown; false when the edit is refused.
bool EditAllowed(const StoredPO& stored) {
  if (TrimBlanks(CurrentCompany.AuditTrail.Get()) == "Y")
    return Refuse("The audit trail feature is turned on. Unable to modify record.", "Audit Trail");
  if (TrimBlanks(stored.Header.ReceivedDate.Get()).size() > 5)
    return Refuse("This PO has been received. Unable to edit PO. You can use the view option to view the PO.",
                  "PO Received");
  if (stored.Header.Printed.Get() == "Y" &&
      MessageBox("This PO has been printed. Are you sure you want to edit this record?",
                 "Printed Purchase Order", MsgButtons::YesNo, MsgIcon::Question) != mrYes)
    return false;
  return true;
}

// Receipts made against the PO leave its lines as they are.
bool NothingReceived(const StoredPO& stored) {
  if (stored.ReceiptRecords() > 0)
    return Refuse(
        "This PO has partial receivers. Unable to edit. Use Receiving Report to view receipts OR delete this "
        "PO to "
        "remove all receivers OR do a new PO for new items or adjustments to stock. You can also backout "
        "receivers using the Receiving Wizard.",
        "Partial Receivers");
  if (stored.ReceivedLines() > 0)
    return Refuse(
        "This PO has receivers posted. Unable to edit PO. Use the view option to view the PO, or you can run "
        "the "
        "Receiving Report to see the receivers. Delete the PO to remove all receivers and PO data.",
        "PO Received");
  return true;
}

void LoadHeader(TPOEdit1& form, const records::POHeaderRec& h) {
  auto text = [](const std::string& ansi) { return ToQString(ansi); };
  form.INum->setText(text(TrimBlanks(h.PONumber.Get())));
  form.ARecDate->setText(text(DisplayDate(h.ReceivedDate.Get())));
  form.MEDateReq->setText(text(DisplayDate(h.DateRequired.Get())));
  form.IDate->setText(text(PODateShown(h)));
  form.INVNOTES->setText(text(h.Notes.Get()));
  form.ITerms->setEditText(text(h.Terms.Get()));
  form.ICustNo->setText(text(h.VendorNo.Get()));
  form.POSName->setText(text(h.ShortName.Get()));
  form.KeyCode->setText(text(h.KeyCode.Get()));
  forms::TPOShipWin& shipTo = forms::CreatePOShipWin();
  shipTo.Edit1->setText(text(h.ShipTo1.Get()));
  shipTo.Edit2->setText(text(h.ShipTo2.Get()));
  shipTo.Edit3->setText(text(h.ShipTo3.Get()));
  shipTo.Edit4->setText(text(h.ShipTo4.Get()));
  const bool received = h.EnteredReceived.Get() == "Y";
  form.MarkRecd->setChecked(received);
  form.ARecDate->setEnabled(received);
  form.ARecCal->setEnabled(received);
  form.Sig1->setText(text(h.Signature1.Get()));
  form.Sig2->setText(text(h.Signature2.Get()));
  form.INet->setText(text(h.NetAmount.Get()));
  form.ITax->setText(text(h.TaxAmount.Get()));
  form.ITotal->setText(text(platform::text::FormatAmount(forms::LenientAmount(h.POTotal.Get()))));
  const std::string rate = TrimBlanks(h.TaxRate.Get());
  form.POTaxRate->setText(text(rate.empty() ? TrimBlanks(CurrentCompany.DefaultTaxRate.Get()) : rate));
}

void LoadVendor(TPOEdit1& form, const std::string& number) {
  records::FileForAction file(records::VendorFile, records::OpenVendorFile);
  records::VendorRec wanted{};
  wanted.VendorNo.Set(number);
  IsamRecRef ref = 0;
  records::VendorBuf = records::VendorRec{};
  // A vendor no longer on file shows no name; a vendor file that cannot be read is no such vendor.
  if (records::ThereToRead(file, records::VendorUnit()) &&
      !records::ReadIfOnFile(records::VendorUnit(), records::BuildVendorKey(wanted, 2), 2, records::VendorBuf,
                             ref))
    records::VendorBuf = records::VendorRec{};
  form.ICustName->setText(ToQString(records::VendorBuf.VendorName.Get()));
}

void LoadLines(TPOEdit1& form, const StoredPO& stored) {
  records::FileForAction products(records::ProductFile, records::OpenProductFile);
  int row = 1;
  for (const StoredPODetail& detail : stored.Details) {
    const PODetailRec& d = detail.Record;
    if (!IsLine(d) || row > kPOLines) continue;
    const std::string code = TrimBlanks(d.Product.Get());
    const std::string quantity = Column(d, 0, records::kLineQuantityWidth);
    const std::array<std::string, 6> cells{
        code, quantity, Column(d, 10, 32), Column(d, 42, 10), Column(d, 52, 1), Column(d, 53, 10)};
    for (int column = kPOColCode; column <= kPOColExtension; ++column)
      form.Lines->Put(row, column, ToQString(cells[static_cast<size_t>(column - kPOColCode)]));
    form.OldLineQuantity(row) = quantity;
    form.OldLineProduct(row) = code;
    records::ProductRec product{};
    IsamRecRef ref = 0;
    if (records::ThereToRead(products, records::ProductUnit()) && ReadProduct(code, product, ref)) {
      form.OldLineStock(row) = product.OnHand.Get();
      form.OldLineStockKind(row) = product.NonDepleting ? "Z" : product.NonStock ? "Y" : "S";
    } else {
      form.OldLineStock(row) = "0";
      form.OldLineStockKind(row) = "T";
    }
    ++row;
  }
}

void LoadMemo(TPOEdit1& form, const StoredPO& stored) {
  form.MemoPDesc->setText(form.Lines->Cell(1, kPOColDescription));
  form.MemoQuan->setText(form.Lines->Cell(1, kPOColQuantity));
  form.StkName->setText(form.Lines->Cell(1, kPOColCode));
  if (!stored.MemoFound) ShowMessage("Error reading memo data.");
  QStringList lines;
  for (int line = 0; line < records::kMemoLines; ++line) lines << ToQString(stored.Memo.Lines[line].Get());
  while (!lines.isEmpty() && lines.last().trimmed().isEmpty()) lines.removeLast();
  form.Memo1->setPlainText(lines.join('\n'));
  form.Memo1->setLineWrapMode(QPlainTextEdit::WidgetWidth);
}

void LoadForm(TPOEdit1& form, const StoredPO& stored) {
  POEntryMode = 1;
  StoredPONumber = UpperCase(TrimBlanks(stored.Header.PONumber.Get()));
  StoredPOTotal = StripCommas(stored.Header.POTotal.Get());
  records::POHeaderBuf = stored.Header;
  POMemoMode = stored.Header.POKind.Get() == "M" ? 1 : 0;
  form.SetCaption("Edit PO");
  form.ClearPOLines();
  // The layout first: the amounts of a memo PO are its own, not the totals of the grid.
  (POMemoMode == 1 ? form.RadioButton2 : form.RadioButton1)->setChecked(true);
  LoadHeader(form, stored.Header);
  LoadVendor(form, stored.Header.VendorNo.Get());
  LoadLines(form, stored);
  if (POMemoMode == 1) LoadMemo(form, stored);
  form.Label9->setText(QStringLiteral("Lines Received: %1").arg(stored.ReceivedLines()));
}

// The rows an edit writes in row order: every grid row of a line PO, or a memo PO's one line.
std::vector<EnteredPOLine> RowsOf(EnteredPO edited) {
  if (!edited.Memo) return edited.Lines;
  if (TrimBlanks(edited.MemoProduct.Quantity).empty()) edited.MemoProduct.Quantity = "1";
  if (TrimBlanks(edited.MemoProduct.Description).empty()) edited.MemoProduct.Description = "Memo PO";
  return LinesToWrite(edited);
}

void RewriteLines(const StoredPO& old, const records::POHeaderRec& header, const EnteredPO& edited,
                  const std::vector<EnteredPOLine>& rows) {
  std::vector<StoredPODetail> existing;
  for (const StoredPODetail& detail : old.Details)
    if (IsLine(detail.Record)) existing.push_back(detail);
  for (size_t r = 0; r < rows.size() || r < existing.size(); ++r) {
    const bool empty = r >= rows.size() || !rows[r].Kept();
    if (r < existing.size() && empty) {
      records::RequireDone(records::DeletePODetailRecord(existing[r].Ref), "Detail delete operation failed.");
    } else if (r < existing.size()) {
      records::PODetailBuf = PODetailRecordOf(header, edited.Number, rows[r]);
      records::RequireDone(records::UpdatePODetailRecord(existing[r].Ref), "Modify PO detail failed.");
    } else if (!empty) {
      records::PODetailBuf = PODetailRecordOf(header, edited.Number, rows[r]);
      IsamRecRef ref = 0;
      records::RequireDone(records::AddPODetailRecord(ref), "PO detail add failed.");
    }
  }
}

void ReplaceMemo(const StoredPO& old, const EnteredPO& edited) {
  records::POMemoBuf = MemoRecordOf(edited);
  if (old.MemoFound) {
    records::RequireDone(records::UpdatePOMemoRecord(old.MemoRef), "memo replace operation failed");
    return;
  }
  // The memo was missing: it is stored anew rather than lost.
  QApplication::beep();
  IsamRecRef ref = 0;
  records::RequireDone(records::AddPOMemoRecord(ref), "memo replace operation failed");
}

// The edited PO whose goods come in: a memo PO's product is its one row.
EnteredPO ReceivedPO(const EnteredPO& edited, const std::vector<EnteredPOLine>& rows) {
  EnteredPO received = edited;
  if (received.Memo) received.MemoProduct = rows.front();
  return received;
}

}  // namespace

int StoredPO::ReceiptRecords() const {
  return static_cast<int>(std::count_if(Details.begin(), Details.end(), [](const StoredPODetail& d) {
    return d.Record.RecordKind.Get() == "L";
  }));
}

int StoredPO::ReceivedLines() const {
  return static_cast<int>(std::count_if(Details.begin(), Details.end(), [](const StoredPODetail& d) {
    return IsLine(d.Record) && d.Record.Received.Get() == "Y";
  }));
}

bool ReadStoredPO(IsamRecRef ref, StoredPO& stored) {
  stored = StoredPO{};
  stored.Ref = ref;
  records::ReadRecordAt(records::POHeaderFile, ref, stored.Header);
  if (stored.Header.Status.Get() != 0) return false;
  const std::string number = UpperCase(TrimBlanks(stored.Header.PONumber.Get()));
  PODetailRec wanted{};
  wanted.PONumber.Set(TrimBlanks(stored.Header.PONumber.Get()));
  stored.Details = records::ReadRecordsWithKey<PODetailRec>(records::PODetailFile, 2,
                                                            records::BuildPODetailKey(wanted, 2));
  std::erase_if(stored.Details, [&](const StoredPODetail& detail) {
    return UpperCase(TrimBlanks(detail.Record.PONumber.Get())) != number;
  });
  // In line order, each line before the receipts made against it.
  std::stable_sort(stored.Details.begin(), stored.Details.end(),
                   [](const StoredPODetail& a, const StoredPODetail& b) {
                     const int lineA = std::atoi(a.Record.LineNumber.Get().c_str()),
                               lineB = std::atoi(b.Record.LineNumber.Get().c_str());
                     if (lineA != lineB) return lineA < lineB;
                     return IsLine(a.Record) && !IsLine(b.Record);
                   });
  records::POMemoRec memo{};
  memo.Number.Set(TrimBlanks(stored.Header.PONumber.Get()));
  stored.MemoFound = records::ReadIfOnFile(records::POMemoUnit(), records::BuildPOMemoKey(memo, 1), 1,
                                           stored.Memo, stored.MemoRef);
  return true;
}

records::POHeaderRec EditedPOHeader(const records::POHeaderRec& old, const EnteredPO& edited) {
  records::POHeaderRec h = NewPOHeader(edited);
  h.Status = old.Status;
  h.POStatus = old.POStatus;
  h.CompanyNumber = old.CompanyNumber;
  h.Printed = old.Printed;
  h.EMailedDate = old.EMailedDate;
  h.POKind = old.POKind;
  return h;
}

namespace {

std::string PostEditedPOSteps(const StoredPO& old, const EnteredPO& edited) {
  const records::POHeaderRec header = EditedPOHeader(old.Header, edited);
  const std::vector<EnteredPOLine> rows = RowsOf(edited);
  std::vector<EnteredPOLine> written;
  std::copy_if(rows.begin(), rows.end(), std::back_inserter(written),
               [](const EnteredPOLine& line) { return line.Kept(); });
  RequireWritableLines(written);
  if (edited.MarkReceived)
    records::RequireStockFits(ReceivedStock(ReceivedPO(edited, rows), written), records::StockMove::Receipt);
  // A header changed since it was read, or one that cannot be read or written now (then with the
  // system's reason): nothing is written yet.
  records::RequireDone(records::UpdatePOHeaderRecord(header, old.Header, old.Ref), "Modify operation failed");
  records::POHeaderBuf = header;
  RewriteLines(old, header, edited, rows);
  if (edited.MarkReceived) RaiseStockOfReceivedPO(ReceivedPO(edited, rows), written);
  if (edited.Memo) ReplaceMemo(old, edited);
  return "Editing PO " + TrimBlanks(edited.Number) + " completed.";
}

}  // namespace

std::string PostEditedPO(const StoredPO& old, const EnteredPO& edited) {
  return storage::RunPosting("PO " + platform::text::TrimBlanks(old.Header.PONumber.Get()),
                             [&] { return PostEditedPOSteps(old, edited); },
                             {"PO " + platform::text::TrimBlanks(old.Header.PONumber.Get()), "changed"});
}

bool EditPO(IsamRecRef ref, std::string* statusText) {
  records::FileForAction headers(records::POHeaderFile, records::OpenPOHeaderFile);
  records::FileForAction details(records::PODetailFile, records::OpenPODetailFile);
  records::FileForAction memos(records::POMemoFile, records::OpenPOMemoFile);
  POMemoMode = 0;
  StoredPO stored;
  if (!headers.Open() || !details.Open() || !memos.Open() || !ReadStoredPO(ref, stored)) return false;
  if (forms::RefuseEntryWhilePostingWaits(
          records::POHeaderUnit(), "PO " + TrimBlanks(stored.Header.PONumber.Get()), "changed", "Edit PO"))
    return false;
  if (!EditAllowed(stored)) return false;
  TPOEdit1& form = CreatePOEdit1();
  LoadForm(form, stored);
  if (!NothingReceived(stored)) {
    POEntryMode = 0;
    return false;
  }
  Application->ProcessMessages();
  bool written = false;
  const PostingHook hook(form, [&](const EnteredPO& edited) {
    written = forms::PostedWhileFormIsUp([&] {
      const std::string status = PostEditedPO(stored, edited);
      if (statusText) *statusText = status;
    });
    return written;
  });
  const TModalResult result = form.ShowModal();
  POEntryMode = 0;
  return result == mrOk && written;
}

}  // namespace purchasing
