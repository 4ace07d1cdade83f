#include "purchasing/receiving.h"

#include <algorithm>
#include <map>
#include <optional>

#include "platform/text/date_text.h"
#include "platform/text/format_float.h"
#include "platform/text/key_text.h"
#include "platform/text/number_text.h"
#include "platform/text/upper_case.h"
#include "platform/ui/message_box.h"
#include "purchasing/po_posting.h"
#include "records/company_file.h"
#include "records/number_counter.h"
#include "records/po_detail_file.h"
#include "records/po_header_file.h"
#include "records/product_file.h"
#include "records/record_file.h"
#include "storage/posting_journal.h"

namespace purchasing {

using platform::text::StripCommas;
using platform::text::TrimBlanks;
using platform::text::UpperCase;
using records::PODetailRec;
using storage::IsamRecRef;

namespace {

constexpr char Wizard[] = "Receiving Wizard";

using StoredLine = records::RecordOnFile<PODetailRec>;

std::string LineColumn(const PODetailRec& d, size_t from, size_t width) {
  std::string text = d.LineText.Get();
  return from < text.size() ? TrimBlanks(text.substr(from, width)) : "";
}

std::string OrderedText(const PODetailRec& d) {
  return LineColumn(d, 0, records::kLineQuantityWidth);
}

bool IsOrderedLine(const PODetailRec& d) {
  return d.RecordKind.Get() != "L" && !OrderedText(d).empty();
}

double Number(const std::string& text) {
  return QuantityOf(text).value_or(0);
}

// What a line and its receipts have in common: the product and the line number (a receipt
// copies both from its line), so that "AB" and "ABN" on one PO keep their own sums.
std::string LineIdentity(const PODetailRec& d) {
  return UpperCase(TrimBlanks(d.Product.Get())) + '\n' + TrimBlanks(d.LineNumber.Get());
}

// Every PO detail record of PO `number`, found by the PO number key and checked on the record's
// own PO number. The PO detail file must be open; throws FileUnusable when it cannot be searched
// or one of them read (what is due, worked out from part of them, would be wrong).
std::vector<StoredLine> RecordsOfPO(const std::string& number) {
  PODetailRec wanted{};
  wanted.PONumber.Set(TrimBlanks(number));
  std::vector<StoredLine> found = records::ReadRecordsWithKey<PODetailRec>(
      records::PODetailFile, 2, records::BuildPODetailKey(wanted, 2));
  const std::string upper = UpperCase(TrimBlanks(number));
  std::erase_if(found, [&](const StoredLine& line) {
    return UpperCase(TrimBlanks(line.Record.PONumber.Get())) != upper;
  });
  return found;
}

// Ordered less received over every record of the PO.
double RemainingDue(const std::vector<StoredLine>& lines) {
  double due = 0;
  for (const StoredLine& line : lines) {
    if (IsOrderedLine(line.Record)) due += Number(OrderedText(line.Record));
    due -= Number(line.Record.QuantityReceived.Get());
  }
  return due;
}

ReceivingRow RowOf(const StoredLine& line, double toDate) {
  const PODetailRec& d = line.Record;
  ReceivingRow row;
  row.Description = LineColumn(d, records::kLineQuantityWidth, records::kLineDescriptionWidth);
  row.Code = TrimBlanks(d.Product.Get());
  row.UnitCost =
      LineColumn(d, records::kLineQuantityWidth + records::kLineDescriptionWidth, records::kLinePriceWidth);
  row.Ordered = OrderedText(d);
  row.Kind = d.RecordKind.Get();
  row.ToDate = QuantityText(toDate);
  row.LineNumber = TrimBlanks(d.LineNumber.Get());
  row.LineRef = line.Ref;
  return row;
}

std::string NextReceiverNumber(const std::string& number) {
  std::string next = TrimBlanks(records::CurrentCompany.NextReceiverNumber.Get());
  if (next.empty()) return TrimBlanks(number);
  // A counter wider than a receiver number is not offered cut to a smaller number: one is typed.
  return next.size() > records::ReceiverNumberCounter.Width ? std::string() : next;
}

bool ReceiverInUse(const std::string& receiver) {
  records::FileForAction file(records::PODetailFile, records::OpenPODetailFile);
  PODetailRec wanted{}, found{};
  wanted.ReceiverNumber.Set(TrimBlanks(receiver));
  IsamRecRef ref = 0;
  // A file that cannot be searched clears no receiver number.
  return records::ThereToRead(file, records::PODetailUnit()) &&
         records::ReadIfOnFile(records::PODetailUnit(), records::BuildPODetailKey(wanted, 5), 5, found, ref);
}

// The PO line a row was listed from, read afresh; none when it is no longer that line (a slot
// past the file's end is no line either). Throws FileUnusable when it cannot be read.
std::optional<StoredLine> ListedLine(const std::string& number, const ReceivingRow& row) {
  if (row.LineRef < 1 || row.LineRef > records::PODetailFile->NumberRecords) return std::nullopt;
  StoredLine line{row.LineRef, {}};
  records::ReadRecordAt(records::PODetailFile, row.LineRef, line.Record);
  const PODetailRec& d = line.Record;
  if (d.Status != 0 || d.RecordKind.Get() != "P" ||
      UpperCase(TrimBlanks(d.PONumber.Get())) != UpperCase(TrimBlanks(number)) ||
      UpperCase(TrimBlanks(d.Product.Get())) != UpperCase(TrimBlanks(row.Code)) ||
      TrimBlanks(d.LineNumber.Get()) != row.LineNumber)
    return std::nullopt;
  return line;
}

// Writes one row's receipt on its line, or as a receipt record when the line has one already;
// false when a receipt record could not be added.
bool RecordReceipt(const StoredLine& line, const std::string& date, const std::string& quantity,
                   const std::string& receiver) {
  if (Number(line.Record.QuantityReceived.Get()) == 0) {
    records::PODetailBuf = line.Record;
    records::PODetailBuf.Received.Set("Y");
    records::PODetailBuf.ReceivedDate.Set(date);
    records::PODetailBuf.QuantityReceived.Set(quantity);
    records::PODetailBuf.ReceiverNumber.Set(receiver);
    records::RequireDone(records::UpdatePODetailRecord(line.Ref), "Receiver detail modify operation failed");
    return true;
  }
  records::PODetailBuf = records::ReceiptRecord(line.Record, date, quantity, receiver);
  IsamRecRef ref = 0;
  records::RequireDone(records::AddPODetailRecord(ref), "PO receiver detail add failed.");
  return true;
}

// What the rows bring into stock, summed per product.
records::StockChanges ReceivedStock(const Receipt& receipt) {
  records::StockChanges changes;
  for (const ReceivingRow& row : receipt.Rows)
    records::AddStockChange(changes, row.Code, StripCommas(row.InToday));
  return changes;
}

// A file the receipt needs, opened for it; refused, before anything is written, with the file and
// the system's reason when it cannot be.
void RequireOpen(const records::FileForAction& file, const storage::DataFileUnit& unit) {
  if (file.Open()) return;
  const std::string failure = records::DataFileFailure(unit);
  throw std::runtime_error("The product or PO detail file could not be opened" +
                           (failure.empty() ? std::string() : " (" + failure + ")") +
                           ". Nothing was received.");
}

int PostRows(const Receipt& receipt, const std::string& date) {
  records::FileForAction products(records::ProductFile, records::OpenProductFile);
  RequireOpen(products, records::ProductUnit());
  records::FileForAction details(records::PODetailFile, records::OpenPODetailFile);
  RequireOpen(details, records::PODetailUnit());
  std::string receiver = TrimBlanks(receipt.ReceiverNumber);
  int received = 0;
  for (const ReceivingRow& row : receipt.Rows) {
    std::string quantity = TrimBlanks(StripCommas(row.InToday));
    if (TrimBlanks(row.Code).empty() || Number(quantity) == 0) continue;
    std::optional<StoredLine> line = ListedLine(receipt.PONumber, row);
    records::ProductRec product{};
    IsamRecRef productRef = 0;
    if (!line || !ReadProduct(row.Code, product, productRef)) continue;
    if (!RecordReceipt(*line, date, quantity, receiver)) continue;
    AddReceivedStock(row.Code, quantity);
    ++received;
  }
  return received;
}

// Advances the company's receiver counter past the receipt's number; the note that says the counter
// has ended when that number was the last the field holds, empty otherwise.
std::string AdvanceReceiverCounter(const std::string& receiver) {
  std::optional<int32_t> value = platform::text::TryStrToInt(TrimBlanks(receiver));
  if (!value) return {};  // a receiver number that is no whole number leaves the counter as it is
  const records::NumberCounter& receivers = records::ReceiverNumberCounter;
  records::RequireDone(
      records::UpdateCurrentCompanyRecord([&](records::CompanyRec& company) {
        company.NextReceiverNumber.Set(records::CounterTextAfter(receivers, *value));
      }),
      "The company record could not be updated.");
  return records::NextWithin(receivers, *value) ? std::string() : records::CounterEndedText(receivers, *value);
}

// Marks the header received, with the receipt's date, when nothing remains due after what was
// actually posted; otherwise leaves it open. True when the header was marked received.
bool UpdateReceivedDate(const std::string& number, const std::string& date) {
  records::FileForAction headers(records::POHeaderFile, records::OpenPOHeaderFile);
  records::FileForAction details(records::PODetailFile, records::OpenPODetailFile);
  records::POHeaderRec wanted{}, header{};
  wanted.PONumber.Set(number);
  IsamRecRef ref = 0;
  records::RequireDone(headers.Open() && details.Open(), "PO Receiver Key Failed");
  records::RequireDone(
      records::ReadIfOnFile(records::POHeaderUnit(), records::BuildPOHeaderKey(wanted, 1), 1, header, ref),
      "PO Receiver Key Failed");
  const records::POHeaderRec before = header;
  bool received = RemainingDue(RecordsOfPO(number)) <= 1e-9;
  header.ReceivedDate.Set(received ? date : " ");
  records::RequireDone(records::UpdatePOHeaderRecord(header, before, ref), "PO Receiver Key Failed");
  records::POHeaderBuf = header;
  return received;
}

}  // namespace

std::string QuantityText(double quantity) {
  return platform::text::FloatToStr(quantity);
}

std::string BalanceDueOf(const ReceivingRow& row) {
  return QuantityText(Number(row.Ordered) - Number(row.ToDate) - Number(row.InToday));
}

void ReceiveAll(std::vector<ReceivingRow>& rows) {
  for (ReceivingRow& row : rows) {
    row.InToday = QuantityText(Number(row.Ordered) - Number(row.ToDate));
    row.BalanceDue = BalanceDueOf(row);
  }
}

void ReceiveNone(std::vector<ReceivingRow>& rows) {
  for (ReceivingRow& row : rows) {
    row.InToday = "0";
    row.BalanceDue = BalanceDueOf(row);
  }
}

ReceivingList LoadReceivingList(const std::string& number, bool openOnly) {
  ReceivingList list;
  list.PONumber = "0";
  records::FileForAction file(records::PODetailFile, records::OpenPODetailFile);
  if (!records::ThereToRead(file, records::PODetailUnit())) return list;
  std::vector<StoredLine> lines = RecordsOfPO(number);
  std::map<std::string, double> toDate;
  for (const StoredLine& line : lines) {
    double in = Number(line.Record.QuantityReceived.Get());
    toDate[LineIdentity(line.Record)] += in;
    list.Received += in;
    if (IsOrderedLine(line.Record)) list.Ordered += Number(OrderedText(line.Record));
  }
  // In product order, as the lines sort by PO, product and kind.
  std::stable_sort(lines.begin(), lines.end(), [](const StoredLine& a, const StoredLine& b) {
    return UpperCase(TrimBlanks(a.Record.Product.Get())) < UpperCase(TrimBlanks(b.Record.Product.Get()));
  });
  for (const StoredLine& line : lines) {
    if (!IsOrderedLine(line.Record)) continue;
    double received = toDate[LineIdentity(line.Record)];
    double due = Number(OrderedText(line.Record)) - received;
    if (openOnly && due == 0) continue;
    ReceivingRow row = RowOf(line, received);
    if (due == 0) row.BalanceDue = "0";
    list.Rows.push_back(row);
  }
  list.ReceiverNumber = NextReceiverNumber(number);
  if (!list.Rows.empty()) list.PONumber = TrimBlanks(number);
  return list;
}

void CheckReceiptHeader(const Receipt& receipt) {
  // No rows: no PO was listed (a PO numbered 0 is received like any other).
  if (receipt.Rows.empty())
    throw ReceiptRefused("You need to select a PO to receive.", Wizard);
  if (TrimBlanks(receipt.PONumber).empty())
    throw ReceiptRefused("You need to enter a PO number.", "PO Number");
  if (TrimBlanks(receipt.ReceiverNumber).empty())
    throw ReceiptRefused("You need to enter a receiver number.", "Receiver Number");
}

void CheckReceiptAmounts(const Receipt& receipt) {
  double total = 0;
  for (size_t row = 0; row < receipt.Rows.size(); ++row) {
    std::optional<double> in = QuantityOf(receipt.Rows[row].InToday);
    if (!in)
      throw ReceiptRefused(
          "\"" + receipt.Rows[row].InToday + "\" in the \"In Today\" column is not a number.",
          "Product: " + receipt.Rows[row].Description, static_cast<int>(row));
    total += *in;
  }
  if (total == 0)
    throw ReceiptRefused(
        "You have not entered an amount for any items in the \"In Today\" column. You have nothing to "
        "receive.",
        "Received Items");
  if (ReceiverInUse(receipt.ReceiverNumber))
    throw ReceiptRefused("The receiver number you entered already exists. Enter a different number.",
                         "Duplicate Receiver Number");
}

void CheckReceipt(const Receipt& receipt) {
  CheckReceiptHeader(receipt);
  CheckReceiptAmounts(receipt);
}

namespace {

PostedReceipt PostReceiptSteps(const Receipt& receipt) {
  CheckReceipt(receipt);
  if (!receipt.Date.isValid()) throw ReceiptRefused("The receiver date is not a date.", Wizard);
  std::string date = platform::text::SortableDate(receipt.Date);
  records::RequireStockFits(ReceivedStock(receipt), records::StockMove::Receipt);
  PostedReceipt posted;
  posted.RowsReceived = PostRows(receipt, date);
  posted.CounterNote = AdvanceReceiverCounter(receipt.ReceiverNumber);
  posted.POReceived = UpdateReceivedDate(TrimBlanks(receipt.PONumber), date);
  posted.StatusText =
      "PO " + TrimBlanks(receipt.PONumber) + " received. Enter another PO number or close window...";
  return posted;
}

}  // namespace

PostedReceipt PostReceipt(const Receipt& receipt) {
  return storage::RunPosting("the receipt of PO " + platform::text::TrimBlanks(receipt.PONumber),
                             [&] { return PostReceiptSteps(receipt); });
}

}  // namespace purchasing
