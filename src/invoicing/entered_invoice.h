#pragma once
// An invoice as the entry form hands it on once every check has passed: the header fields as
// they are to be stored (amounts as stored text "0.00", without separators), the lines or the
// memo, and each line's stock and cost figures. Posting takes it from here; the form itself
// writes no record.

#include <array>
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace invoicing {

struct EnteredLine {
  int Row = 0;  // grid row 1..99
  std::string Code;
  std::string Quantity;  // "0" for a product line left without one
  std::string Description;
  std::string Price;
  std::string Taxable;    // "Y", "N", or " " on a comment line
  std::string Extension;  // stored form
  std::string Cost;
  std::string OnHand;
  std::string StockState;  // "X" "S" "T" "Y" "Z"
  std::string OldQuantity;
  std::string OldProduct;
};

struct EnteredInvoice {
  bool Editing = false;
  bool Memo = false;
  std::string Number;  // upper-cased, trimmed
  std::string CustomerNo;
  std::string CustomerName;
  std::string ShortName;
  std::string Date;  // as typed, in the company's date order
  std::string Terms;
  std::string StatementNote;
  std::string Notes;
  std::string KeyCode;
  bool PrintInvoice = false;
  std::string TaxRate;
  std::string Net;
  std::string Tax;
  std::string Total;
  std::string Paid;
  std::string Due;
  std::array<std::string, 4> ShipTo;
  // Line items: every grid row with a product code or a description, in row order.
  std::vector<EnteredLine> Lines;
  // Memo invoices: the memo's lines and its one product line (row 1).
  std::vector<std::string> MemoLines;
  EnteredLine MemoProduct;
};

// Posts an invoice the entry form has checked; true when it was stored, and the form closes.
// Installed by invoice posting at start-up; while nothing is installed the form says that
// invoices cannot be saved yet and stays open.
extern std::function<bool(const EnteredInvoice&)> PostEnteredInvoice;

// The entry form's OK hook for the length of one transaction (an add or an edit); the hook
// before it comes back afterwards.
class PostingHookScope {
 public:
  explicit PostingHookScope(std::function<bool(const EnteredInvoice&)> hook)
      : previous_(std::exchange(PostEnteredInvoice, std::move(hook))) {}
  ~PostingHookScope() { PostEnteredInvoice = std::move(previous_); }
  PostingHookScope(const PostingHookScope&) = delete;
  PostingHookScope& operator=(const PostingHookScope&) = delete;

 private:
  std::function<bool(const EnteredInvoice&)> previous_;
};

}  // namespace invoicing
