#include "invoicing/invoice_edit.h"

#include <QPlainTextEdit>
#include <QSignalBlocker>
#include <algorithm>
#include <cmath>
#include <functional>
#include <optional>
#include <stdexcept>
#include <utility>

#include "forms/entry_parts.h"
#include "forms/manager_window.h"
#include "forms/shipping_address_dialog.h"
#include "invoicing/invoice_entry.h"
#include "invoicing/invoice_posting.h"
#include "invoicing/posting_steps.h"
#include "platform/text/amount.h"
#include "platform/text/clock.h"
#include "platform/text/codepage.h"
#include "platform/text/date_text.h"
#include "platform/text/key_text.h"
#include "platform/text/upper_case.h"
#include "platform/ui/application.h"
#include "platform/ui/desktop.h"
#include "platform/ui/message_box.h"
#include "records/company_file.h"
#include "records/customer_file.h"
#include "records/invoice_file.h"
#include "records/memo_file.h"
#include "records/product_file.h"
#include "records/record_file.h"
#include "records/system_reason.h"
#include "storage/posting_journal.h"

namespace invoicing {

using platform::text::FormatAmount;
using platform::text::StripCommas;
using platform::text::TrimBlanks;
using platform::text::UpperCase;
using platform::ui::MessageBox;
using platform::ui::MsgButtons;
using platform::ui::MsgIcon;
using records::CurrentCompany;
using records::InvoiceRec;

namespace {

QString Text(const std::string& ansi) {
  return platform::text::ToQString(ansi);
}

bool OfType(const InvoiceRec& record, std::string_view types) {
  const std::string type = TrimBlanks(record.TransactionType.Get());
  return type.size() == 1 && types.find(type[0]) != std::string_view::npos;
}

// A repeat-billing master is never an open item: no balance holds its amount.
bool InBalances(const InvoiceRec& record) {
  return !OfType(record, "R");
}

bool AuditTrailOn() {
  return TrimBlanks(CurrentCompany.AuditTrail.Get()) == "Y";
}

// What the record adds to its customer's balance: its amount due as stored, the figure the
// balances and the receivables are the sum of.
Cents DueOf(const InvoiceRec& record) {
  return StoredCents(record.AmountDue.Get());
}

// The date the record ages from; a record without a readable date ages from today.
QDate AgingDateOf(const InvoiceRec& record) {
  if (std::optional<QDate> date = platform::text::ParseSortableDate(record.SortDate.Get())) return *date;
  return ReadTypedDate(record.InvoiceDate.Get()).value_or(platform::text::Today());
}

std::string Part(const std::string& text, size_t from, size_t length) {
  return from < text.size() ? text.substr(from, length) : std::string();
}

struct LineCells {
  std::string Code, Quantity, Description, Price, Taxable, Extension, Cost;
};

LineCells CellsOf(const records::DetailRec& detail) {
  const std::string text = detail.LineText.Get();
  return {TrimBlanks(detail.Product.Get()),
          TrimBlanks(Part(text, 0, 10)),
          TrimBlanks(Part(text, 10, 32)),
          TrimBlanks(Part(text, 42, 10)),
          Part(text, 52, 1),
          TrimBlanks(Part(text, 53, 10)),
          TrimBlanks(detail.UnitCost.Get())};
}

std::vector<StoredLine> StoredLinesOf(const std::string& number) {
  records::DetailRec wanted{};
  wanted.InvoiceNumber.Set(number);
  std::vector<StoredLine> lines = records::ReadRecordsWithKey<records::DetailRec>(
      records::DetailFile, 2, records::BuildDetailKey(wanted, 2));
  std::stable_sort(lines.begin(), lines.end(), [](const StoredLine& a, const StoredLine& b) {
    return a.Record.LineKey.Get() < b.Record.LineKey.Get();
  });
  return lines;
}

// ---- Posting ----------------------------------------------------------------------------------

// Walks the stored lines beside the grid rows: row n rewrites or deletes the n-th stored line,
// rows past the stored ones are added. The references were collected before anything is
// rewritten, so a changed invoice number never moves the walk.
void RewriteDetailLines(const std::vector<StoredLine>& stored, const InvoiceRec& header,
                        const EnteredInvoice& edited) {
  InvoiceRec lineHeader = header;
  lineHeader.CompanyNumber.Set(CurrentCompany.CompanyNumber.Get());
  std::vector<EnteredLine> kept;
  const std::vector<EnteredLine>& lines = LinesToWrite(edited, kept);
  const int rows = std::max(kInvoiceLines, static_cast<int>(stored.size()));
  for (int row = 1; row <= rows; ++row) {
    auto line =
        std::find_if(lines.begin(), lines.end(), [row](const EnteredLine& l) { return l.Row == row; });
    const bool filled = line != lines.end();
    if (filled) records::DetailBuf = DetailRecordOf(lineHeader, *line, edited.Memo);
    if (row <= static_cast<int>(stored.size())) {
      const storage::IsamRecRef ref = stored[static_cast<size_t>(row - 1)].Ref;
      if (!filled) records::RequireDone(records::DeleteDetailRecord(ref), "Detail delete operation failed.");
      if (filled) records::RequireDone(records::UpdateDetailRecord(ref), "Modify operation failed");
    } else if (filled) {
      storage::IsamRecRef ref = 0;
      records::RequireDone(records::AddDetailRecord(ref), "detail add failed.");
    }
  }
}

// Reads the customer, lets `change` work on it and writes it back. The customer file must be open.
void ChangeCustomer(const std::string& number, const std::function<void(records::CustomerRec&)>& change) {
  records::CustomerRec customer{};
  storage::IsamRecRef ref = 0;
  RequireInvoiceCustomer(true, number, customer, ref);
  const records::CustomerRec before = customer;
  change(customer);
  records::RequireDone(records::UpdateCustomerRecord(customer, before, ref),
                       "The customer could not be updated.");
  records::SelectedCustomer = customer;
}

// The last payment date moves forward to the invoice date, never back.
void NoteLastPayment(records::CustomerRec& customer, const std::string& invoiceDate) {
  const std::string last = TrimBlanks(customer.LastPayment.Get());
  const std::optional<QDate> lastDate = ReadTypedDate(last);
  const std::optional<QDate> date = ReadTypedDate(invoiceDate);
  if (last.empty() || !lastDate || (date && *lastDate < *date)) customer.LastPayment.Set(invoiceDate);
}

// The old due out of the old customer's bucket of the old date, the new due into the new
// customer's bucket of the new date.
void RepostToCustomers(const InvoiceRec& old, const InvoiceRec& edited) {
  records::FileForAction file(records::CustomerFile, records::OpenCustomerFile);
  records::RequireDone(file.Open(), "The customer file could not be opened.");
  ChangeCustomer(old.InvCustomerNo.Get(),
                 [&](records::CustomerRec& c) { AddToCustomerBalance(c, -DueOf(old), AgingDateOf(old)); });
  ChangeCustomer(edited.InvCustomerNo.Get(), [&](records::CustomerRec& c) {
    AddToCustomerBalance(c, DueOf(edited), AgingDateOf(edited));
    if (StoredCents(edited.InvPaid.Get()) > 0) NoteLastPayment(c, edited.InvoiceDate.Get());
  });
}

void ChangeReceivables(Cents change) {
  records::RequireDone(records::UpdateCurrentCompanyRecord([change](records::CompanyRec& company) {
                         company.CompanyARBalance.Set(platform::text::AmountText(
                             StoredCents(company.CompanyARBalance.Get()) + change));
                       }),
                       "The company record could not be updated.");
}

bool FindMemo(const std::string& number, storage::IsamRecRef& ref) {
  records::MemoRec wanted{};
  wanted.Number.Set(number);
  records::MemoRec found{};
  return records::ReadIfOnFile(records::MemoUnit(), records::BuildMemoKey(wanted, 1), 1, found, ref);
}

// Rewrites the memo of the old number under the new one. An invoice whose memo is missing gets
// it added, so the text typed is not lost.
void ReplaceMemo(const std::string& oldNumber, const std::string& newNumber,
                 const std::vector<std::string>& lines) {
  storage::IsamRecRef ref = 0;
  const bool found = FindMemo(oldNumber, ref);
  records::MemoBuf = MemoRecordOf(newNumber, lines);
  if (found) {
    records::RequireDone(records::UpdateMemoRecord(ref), "memo replace operation failed");
    return;
  }
  platform::ui::Beep();
  records::RequireDone(records::AddMemoRecord(ref), "memo add operation failed");
}

// The stored lines' quantities given back to the stock of their products.
records::StockChanges ReturnedStock(const std::vector<StoredLine>& lines) {
  records::StockChanges changes;
  for (const StoredLine& line : lines)
    AddLineStock(changes, line.Record.Product.Get(), Part(line.Record.LineText.Get(), 0, 10), true);
  return changes;
}

// Deletes the lines; the count of lines deleted.
int DeleteDetailLines(const std::vector<StoredLine>& lines) {
  int deleted = 0;
  for (const StoredLine& line : lines) {
    records::RequireDone(records::DeleteDetailRecord(line.Ref), "Delete detail recs failed");
    ++deleted;
  }
  return deleted;
}

void DeleteMemo(const std::string& number) {
  storage::IsamRecRef ref = 0;
  if (!FindMemo(number, ref)) {
    platform::ui::Beep();
    return;
  }
  records::RequireDone(records::DeleteMemoRecord(ref), "Memo record deletion failed");
}

// ---- The guards -------------------------------------------------------------------------------

bool Refuse(const char* text, const char* title) {
  MessageBox(text, title, MsgButtons::Ok, MsgIcon::Warning);
  return false;
}

bool Confirmed(const QString& text, const QString& title) {
  return MessageBox(text, title, MsgButtons::YesNo, MsgIcon::Question) == platform::ui::mrYes;
}

bool EditAllowed(const InvoiceRec& r) {
  const Cents paid = StoredCents(r.InvPaid.Get());
  if (AuditTrailOn())
    return Refuse("The audit trail feature is turned on. Unable to modify record.", "Audit Trail");
  if (OfType(r, "ZX"))
    return Refuse("This record is part of a partial-payment record and may not be edited.",
                  "Partial Payments");
  if (paid != StoredCents(r.InvTotal.Get()) && r.SettledFlag.Get() == "P" && paid > 0)
    return Refuse(
        "This record has been paid. You may not edit this record. You can use the Invoice-View menu option "
        "to "
        "look at this invoice.",
        "Paid Item");
  if (OfType(r, "D"))
    return Refuse("This record is a deposit. You may not edit this record, however, you can delete it.",
                  "Deposit on Account");
  if (OfType(r, "T"))
    return Refuse(
        "This record is a deposit which has been previously offset (taken). Unable to edit this record.",
        "Deposit Taken");
  if (r.PrintedMark.Get() == "Y")
    return Confirmed("This invoice has been printed. Are you sure you want to edit this record?",
                     "Printed Invoice");
  return true;
}

bool DeleteConfirmed(const InvoiceRec& r) {
  if (AuditTrailOn())
    return Refuse("The audit trail feature is turned on. Unable to delete record.", "Audit Trail");
  if (OfType(r, "ZX"))
    return Refuse(
        "This record is associated with a partial payment (type X or Z). Unable to delete this item.",
        "Partial Payment Item");
  if (StoredCents(r.InvPaid.Get()) != 0)
    MessageBox(
        "This record has payment activity. If you delete this record the payment data will also be removed.",
        "Please Note", MsgButtons::Ok, MsgIcon::Information);
  if (OfType(r, "D") &&
      !Confirmed("You are about to delete a payment you posted as a Deposit on Account. Are you sure?",
                 "Please Confirm"))
    return false;
  return Confirmed("Are you sure you want to delete this record?",
                   Text("Delete Invoice#: " + TrimBlanks(r.InvoiceNo.Get())));
}

// ---- Loading the entry form -------------------------------------------------------------------

std::string DateAsTyped(const InvoiceRec& r) {
  const std::string order = CurrentCompany.DateOrder.Get();
  const std::string m = r.Month.Get(), d = r.Day.Get(), y = r.Year.Get();
  if (order == "Y") return y + "/" + m + "/" + d;
  if (order == "D") return d + "/" + m + "/" + y;
  return m + "/" + d + "/" + y;
}

void LoadHeader(TProdInv& f, const InvoiceRec& r) {
  f.SetCaption("Edit Invoice");
  f.Button1->setEnabled(true);
  MemoInvoiceFlag = r.Body.Get() == "M" ? 1 : 0;
  {
    // The layout first, so that the grid being filled does not recompute a memo's amounts.
    const QSignalBlocker quiet1(f.RadioButton1);
    const QSignalBlocker quiet2(f.RadioButton2);
    (MemoInvoiceFlag ? f.RadioButton2 : f.RadioButton1)->setChecked(true);
  }
  f.ClearInvoiceLines();
  f.INum->setText(Text(r.InvoiceNo.Get()));
  InitialInvoiceNumber = UpperCase(TrimBlanks(r.InvoiceNo.Get())).substr(0, 9);
  f.IDate->setText(Text(DateAsTyped(r)));
  f.INVNOTES->setText(Text(r.Notes.Get()));
  f.ITerms->setEditText(Text(r.Terms.Get()));
  f.IStmntNote->setText(Text(r.StatementComment.Get()));
  f.ICustNo->setText(Text(r.InvCustomerNo.Get()));
  f.EBSName->setText(Text(r.ShortName.Get()));
  f.KeyCode->setText(Text(r.KeyCode.Get()));
  f.IPaid->setText(Text(r.InvPaid.Get()));
  f.INet->setText(Text(r.NetAmount.Get()));
  f.ITax->setText(Text(r.TaxAmount.Get()));
  f.ITotal->setText(Text(FormatAmount(StoredCents(r.InvTotal.Get()))));
  f.BalDue->setText(Text(FormatAmount(StoredCents(r.AmountDue.Get()))));
  // What the invoice still owes is in the customer's balance; its paid part is not.
  InitialAmountDue = StripCommas(r.AmountDue.Get());
  const std::string rate = TrimBlanks(r.TaxRate.Get());
  f.EBTaxRate->setText(Text(rate.empty() ? TrimBlanks(CurrentCompany.DefaultTaxRate.Get()) : rate));
  forms::TPOShipWin& shipTo = forms::CreatePOShipWin();
  shipTo.Edit1->setText(Text(r.ShipTo1.Get()));
  shipTo.Edit2->setText(Text(r.ShipTo2.Get()));
  shipTo.Edit3->setText(Text(r.ShipTo3.Get()));
  shipTo.Edit4->setText(Text(r.ShipTo4.Get()));
}

void LoadCustomer(TProdInv& f, const std::string& number) {
  records::FileForAction file(records::CustomerFile, records::OpenCustomerFile);
  records::CustomerRec c{};
  storage::IsamRecRef ref = 0;
  if (!file.Open() || !ReadInvoiceCustomer(number, c, ref)) return;
  records::SelectedCustomer = c;
  f.ICustName->setText(Text(c.CustomerName.Get()));
  f.ICredLimit->setText(Text(FormatAmount(StoredCents(c.CreditLimit.Get()))));
  f.CBal->setText(Text(FormatAmount(StoredCents(c.CustBalance.Get()))));
  f.Acur->setText(Text(FormatAmount(StoredCents(c.CustAging1.Get()))));
  f.A30->setText(Text(FormatAmount(StoredCents(c.CustAging2.Get()))));
  f.A60->setText(Text(FormatAmount(StoredCents(c.CustAging3.Get()))));
  f.A90->setText(Text(FormatAmount(StoredCents(c.CustAging4.Get()))));
}

// The row's stock display: the product's stock and kind, "T" with nothing on hand when it is not
// on file (or the company has no product file).
void ShowRowStock(TProdInv& f, int row, const std::string& code, bool productsThere) {
  if (code.empty()) return;
  records::ProductRec product{};
  storage::IsamRecRef ref = 0;
  if (!productsThere || !records::ReadProductByCode(code, product, ref)) {
    f.LineOnHand(row) = "0";
    f.LineStockState(row) = "T";
    return;
  }
  f.LineOnHand(row) = TrimBlanks(product.OnHand.Get());
  f.LineStockState(row) = product.NonDepleting ? "Z" : product.NonStock ? "Y" : "S";
}

void LoadLines(TProdInv& f, const std::vector<StoredLine>& lines) {
  records::FileForAction products(records::ProductFile, records::OpenProductFile);
  // A product file that cannot be opened is no product off file: the edit does not begin.
  const bool productsThere = records::ThereToRead(products, records::ProductUnit());
  const int count = std::min(kInvoiceLines, static_cast<int>(lines.size()));
  for (int row = 1; row <= count; ++row) {
    const LineCells cells = CellsOf(lines[static_cast<size_t>(row - 1)].Record);
    const std::string shown[] = {cells.Code,  cells.Quantity, cells.Description,
                                 cells.Price, cells.Taxable,  cells.Extension};
    for (int column = kColCode; column <= kColExtension; ++column)
      f.Lines->Put(row, column, Text(shown[column - kColCode]));
    f.OldLineQuantities(row) = cells.Quantity;
    f.OldLineProducts(row) = cells.Code;
    f.LineCosts(row) = cells.Cost;
    ShowRowStock(f, row, cells.Code, productsThere);
  }
}

void LoadMemo(TProdInv& f, const StoredInvoice& stored) {
  if (!stored.Lines.empty()) {
    const LineCells cells = CellsOf(stored.Lines.front().Record);
    f.CurCost->setText(Text(cells.Cost));
    f.MemoPDesc->setText(Text(cells.Description));
    f.MemoQuan->setText(Text(cells.Quantity));
    f.StkName->setText(Text(cells.Code));
  }
  f.Memo1->setLineWrapMode(QPlainTextEdit::WidgetWidth);
  f.Memo1->clear();
  records::MemoRec memo{};
  records::MemoRec wanted{};
  wanted.Number.Set(stored.Record.InvoiceNo.Get());
  storage::IsamRecRef ref = 0;
  if (!records::ReadIfOnFile(records::MemoUnit(), records::BuildMemoKey(wanted, 1), 1, memo, ref)) {
    platform::ui::ShowMessage("Error reading memo data.");
    return;
  }
  QStringList text;
  for (const auto& line : memo.Lines) text << Text(line.Get());
  f.Memo1->setPlainText(text.join('\n'));
}

// The entry form in edit mode for one showing: its OK hands what it gathered to `post` instead of
// to the posting of new invoices, and both go back as they were afterwards.
class EditSession {
 public:
  explicit EditSession(std::function<bool(const EnteredInvoice&)> post) : hook_(std::move(post)) {
    InvoiceFormMode = 1;
  }
  ~EditSession() { InvoiceFormMode = 0; }
  EditSession(const EditSession&) = delete;
  EditSession& operator=(const EditSession&) = delete;

 private:
  PostingHookScope hook_;
};

// Shows the form loaded from the stored invoice; its OK posts the edit through `post` while the
// form is still up. True when the form closed by OK.
bool EditOnForm(const StoredInvoice& stored, std::function<bool(const EnteredInvoice&)> post) {
  TProdInv& form = CreateProdInv();
  const EditSession session(std::move(post));
  LoadHeader(form, stored.Record);
  LoadCustomer(form, stored.Record.InvCustomerNo.Get());
  LoadLines(form, stored.Lines);
  if (MemoInvoiceFlag) LoadMemo(form, stored);
  platform::ui::Application->ProcessMessages();
  return form.ShowModal() == platform::ui::mrOk;
}

}  // namespace

bool ReadStoredInvoice(storage::IsamRecRef ref, StoredInvoice& stored) {
  if (ref <= 0 || !records::InvoiceFile) return false;
  stored = StoredInvoice{};
  stored.Ref = ref;
  records::ReadRecordAt(records::InvoiceFile, ref, stored.Record);
  if (stored.Record.Status.Get() != 0) return false;
  stored.Lines = StoredLinesOf(stored.Record.InvoiceNo.Get());
  return true;
}

InvoiceRec EditedInvoiceRecord(const InvoiceRec& old, const EnteredInvoice& edited) {
  const InvoiceRec typed = NewInvoiceRecord(edited);
  InvoiceRec r = old;
  r.InvoiceNo = typed.InvoiceNo;
  r.InvoiceDate = typed.InvoiceDate;
  r.Month = typed.Month;
  r.Day = typed.Day;
  r.Year = typed.Year;
  r.SortDate = typed.SortDate;
  r.Notes = typed.Notes;
  r.Terms = typed.Terms;
  r.StatementComment = typed.StatementComment;
  r.InvCustomerNo = typed.InvCustomerNo;
  r.ShortName = typed.ShortName;
  r.KeyCode = typed.KeyCode;
  r.NetAmount = typed.NetAmount;
  r.TaxAmount = typed.TaxAmount;
  r.InvTotal = typed.InvTotal;
  r.InvPaid = typed.InvPaid;
  r.TaxRate = typed.TaxRate;
  r.ShipTo1 = typed.ShipTo1;
  r.ShipTo2 = typed.ShipTo2;
  r.ShipTo3 = typed.ShipTo3;
  r.ShipTo4 = typed.ShipTo4;
  r.AmountDue = typed.AmountDue;
  if (typed.AmountDue.Get() != "0.00") {
    r.SettledFlag.Set(" ");
    r.DatePaid.Set(" ");
  } else {
    r.SettledFlag.Set("P");
    if (r.DatePaid.Get().size() < 9) r.DatePaid = typed.SortDate;
  }
  return r;
}

EnteredInvoice WithMemoDefaults(EnteredInvoice edited) {
  if (!edited.Memo) return edited;
  if (TrimBlanks(edited.MemoProduct.Quantity).empty()) edited.MemoProduct.Quantity = "1";
  if (TrimBlanks(edited.MemoProduct.Description).empty()) edited.MemoProduct.Description = "Memo Invoice";
  return edited;
}

records::StockChanges StockChanges(const std::vector<StoredLine>& oldLines, const EnteredInvoice& edited) {
  records::StockChanges changes = ReturnedStock(oldLines);
  const EnteredInvoice withDefaults = WithMemoDefaults(edited);
  std::vector<EnteredLine> kept;
  for (const EnteredLine& line : LinesToWrite(withDefaults, kept))
    AddLineStock(changes, line.Code, line.Quantity, false);
  std::erase_if(changes, [](const auto& change) { return change.second == "0"; });
  return changes;
}

namespace {

std::string PostEditedInvoiceSteps(const StoredInvoice& old, const EnteredInvoice& entered) {
  const EnteredInvoice edited = WithMemoDefaults(entered);
  records::InvoiceBuf = EditedInvoiceRecord(old.Record, edited);
  const InvoiceRec header = records::InvoiceBuf;
  const records::StockChanges stock = StockChanges(old.Lines, edited);
  const records::StockPlan plan = records::RequireStockFits(stock, records::StockMove::Sale);
  records::RequireDone(records::UpdateInvoiceRecord(old.Record, old.Ref), "Modify operation failed");
  RewriteDetailLines(old.Lines, header, edited);
  PostStockChanges(plan);
  if (InBalances(old.Record)) {
    RepostToCustomers(old.Record, header);
    ChangeReceivables(DueOf(header) - DueOf(old.Record));
  }
  if (edited.Memo) ReplaceMemo(old.Record.InvoiceNo.Get(), header.InvoiceNo.Get(), edited.MemoLines);
  return "Editing invoice " + TrimBlanks(header.InvoiceNo.Get()) + " completed.";
}

std::string PostInvoiceDeletionSteps(const StoredInvoice& old) {
  const InvoiceRec& r = old.Record;
  records::InvoiceBuf = r;
  const records::StockChanges stock = ReturnedStock(old.Lines);
  const records::StockPlan plan = records::RequireStockFits(stock, records::StockMove::Sale);
  records::RequireDone(records::DeleteInvoiceRecord(old.Ref), "Delete operation failed");
  const int lines = DeleteDetailLines(old.Lines);
  PostStockChanges(plan);
  if (InBalances(r)) {
    {
      records::FileForAction customers(records::CustomerFile, records::OpenCustomerFile);
      records::RequireDone(customers.Open(), "The customer file could not be opened.");
      ChangeCustomer(r.InvCustomerNo.Get(),
                     [&](records::CustomerRec& c) { AddToCustomerBalance(c, -DueOf(r), AgingDateOf(r)); });
    }
    ChangeReceivables(-DueOf(r));
  }
  const std::string number = TrimBlanks(r.InvoiceNo.Get());
  if (r.Body.Get() == "M") {
    DeleteMemo(r.InvoiceNo.Get());
    return "Deleted memo invoice " + number + ".";
  }
  return "Deleted invoice " + number + " containing " + std::to_string(lines) + " line item(s).";
}

}  // namespace

std::string PostEditedInvoice(const StoredInvoice& old, const EnteredInvoice& entered) {
  return storage::RunPosting("invoice " + TrimBlanks(old.Record.InvoiceNo.Get()),
                             [&] { return PostEditedInvoiceSteps(old, entered); },
                             {"Invoice " + TrimBlanks(old.Record.InvoiceNo.Get()), "changed"});
}

std::string PostInvoiceDeletion(const StoredInvoice& old) {
  return storage::RunPosting("the deletion of invoice " + TrimBlanks(old.Record.InvoiceNo.Get()),
                             [&] { return PostInvoiceDeletionSteps(old); },
                             {"Invoice " + TrimBlanks(old.Record.InvoiceNo.Get()), "deleted"});
}

bool EditInvoice(storage::IsamRecRef ref, std::string& statusText) {
  StoredInvoice stored;
  if (!ReadStoredInvoice(ref, stored)) return false;
  records::InvoiceBuf = stored.Record;
  // Nothing is typed that a posting waiting to be undone would refuse to keep.
  if (forms::RefuseEntryWhilePostingWaits(records::InvoiceUnit(),
                                          "Invoice " + TrimBlanks(stored.Record.InvoiceNo.Get()), "changed",
                                          "Edit Invoice"))
    return false;
  if (!EditAllowed(stored.Record)) return false;
  // Posted while the form is up: an edit that cannot be posted leaves the form open with
  // everything typed.
  bool written = false;
  const bool closedOnOk = EditOnForm(stored, [&](const EnteredInvoice& edited) {
    written = forms::PostedWhileFormIsUp([&] { statusText = PostEditedInvoice(stored, edited); });
    return written;
  });
  return closedOnOk && written;
}

bool DeleteInvoice(storage::IsamRecRef ref, std::string& statusText) {
  StoredInvoice stored;
  if (!ReadStoredInvoice(ref, stored)) return false;
  records::InvoiceBuf = stored.Record;
  // Refused before anything is asked while a posting waits to be undone.
  if (forms::RefuseEntryWhilePostingWaits(records::InvoiceUnit(),
                                          "Invoice " + TrimBlanks(stored.Record.InvoiceNo.Get()), "deleted",
                                          "Delete Invoice"))
    return false;
  if (!DeleteConfirmed(stored.Record)) return false;
  statusText = PostInvoiceDeletion(stored);
  return true;
}

}  // namespace invoicing
