#pragma once
// A purchase order as the entry form hands it on once every check has passed: the header fields
// as typed (amounts as shown, commas allowed), the ship-to lines of the shipping dialog, and the
// lines or the memo. Posting takes it from here; the form itself writes no record.

#include <array>
#include <functional>
#include <string>
#include <vector>

namespace purchasing {

struct EnteredPOLine {
  int Row = 0;  // grid row 1..99
  std::string Code;
  std::string Quantity;
  std::string Description;
  std::string Price;
  std::string Taxable;
  std::string Extension;

  // A row is a line of the PO when it holds a product code or a description; the form refuses a
  // row with figures and neither, so what posting skips adds nothing to the totals.
  bool Kept() const;
};

struct EnteredPO {
  bool Memo = false;
  std::string Number;  // as typed
  std::string VendorNo;
  std::string ShortName;
  std::string Date;          // as typed, in the company's date order
  std::string DateRequired;  // as typed, in the company's date order
  bool MarkReceived = false;
  std::string ReceivedDate;  // as typed; read only when MarkReceived
  std::string Terms;
  std::string KeyCode;
  std::string Notes;
  std::string Net;
  std::string Tax;
  std::string Total;
  std::string TaxRate;
  std::string Signature1;
  std::string Signature2;
  std::array<std::string, 4> ShipTo;
  bool PrintWhenDone = false;
  // Line items: the grid rows in row order (rows with neither product nor description are
  // skipped by posting).
  std::vector<EnteredPOLine> Lines;
  // Memo POs: the memo's lines and its one product line (product, quantity, description).
  std::vector<std::string> MemoLines;
  EnteredPOLine MemoProduct;
};

}  // namespace purchasing
