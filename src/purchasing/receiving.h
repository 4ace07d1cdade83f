#pragma once
// Booking goods that arrive against a purchase order: the PO's lines with what was ordered and
// what came in so far, and the posting of a day's receipt to stock, to the PO's lines and
// receipt records under one receiver number, to the company's receiver counter and to the PO's
// received date. Plain procedures: the Receiving Wizard and the tests run them without a window.
// The product, PO detail and PO header files are opened around the work unless a window holds
// them open.

#include <QDate>
#include <stdexcept>
#include <string>
#include <vector>

#include "storage/isam_types.h"

namespace purchasing {

// One listed PO line: the wizard's columns, and the line's record.
struct ReceivingRow {
  std::string Description;
  std::string Code;
  std::string UnitCost;
  std::string Ordered;
  std::string Kind;  // "P"
  std::string ToDate;
  std::string InToday = "0";
  std::string BalanceDue;  // empty until In Today is edited, or "0" when nothing is due
  std::string LineNumber;
  storage::IsamRecRef LineRef = 0;
};

struct ReceivingList {
  std::string PONumber;  // "0" while nothing is listed
  std::vector<ReceivingRow> Rows;
  double Ordered = 0;
  double Received = 0;
  double Due() const { return Ordered - Received; }
  std::string ReceiverNumber;  // the company's next receiver number, or the PO number
};

// The lines of PO `number` (trimmed, any case) with a quantity ordered, in product order, each
// with what was received of it so far on its own record and its receipts; with `openOnly` the
// lines with nothing due are left out. The totals count every line of the PO. Throws
// records::FileUnusable when the detail file is there and cannot be opened, searched or read.
ReceivingList LoadReceivingList(const std::string& number, bool openOnly);

// The text of a quantity in its shortest decimal form.
std::string QuantityText(double quantity);

// A row's balance due once In Today is typed: ordered - to date - in today, where a text that
// is no number counts as 0.
std::string BalanceDueOf(const ReceivingRow& row);

// "All": every row receives what is due; "None": every row receives nothing.
void ReceiveAll(std::vector<ReceivingRow>& rows);
void ReceiveNone(std::vector<ReceivingRow>& rows);

// A receipt that posting refuses before anything is written: the message, the caption of its
// box, and the row at fault (-1 when none).
class ReceiptRefused : public std::runtime_error {
 public:
  ReceiptRefused(const std::string& message, std::string caption, int row = -1)
      : std::runtime_error(message), Caption(std::move(caption)), Row(row) {}
  std::string Caption;
  int Row;
};

struct Receipt {
  std::string PONumber;
  std::string ReceiverNumber;
  QDate Date;
  std::vector<ReceivingRow> Rows;
};

struct PostedReceipt {
  int RowsReceived = 0;
  bool POReceived = false;  // nothing remains due: the header carries the receipt's date
  std::string StatusText;   // "PO ... received. Enter another PO number or close window..."
  std::string CounterNote;  // when this receiver number was the last the receiver counter holds
};

// Raises ReceiptRefused, with nothing written, for a receipt without lines, PO number or
// receiver number, with an In Today that is no number, with nothing received, or under a
// receiver number already in use.
void CheckReceipt(const Receipt& receipt);
// Its two halves: lines, PO number and receiver number; then the quantities and the receiver
// number's use. The wizard asks about rows received beyond their order between the two.
void CheckReceiptHeader(const Receipt& receipt);
void CheckReceiptAmounts(const Receipt& receipt);

// Checks the receipt (as CheckReceipt) and posts it row by row: a row whose PO line or product
// is not found changes nothing; otherwise the line's first receipt is written on the line
// itself and each later one as a receipt record, then the stock of a stocked product rises.
// Then the receiver counter advances and the header is marked received when what remains due
// after the receipt is zero or less. Raises std::runtime_error "Receiver detail modify operation
// failed" when a line cannot be rewritten (the rows before it stay posted).
PostedReceipt PostReceipt(const Receipt& receipt);

}  // namespace purchasing
