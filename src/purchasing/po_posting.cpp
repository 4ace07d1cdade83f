#include "purchasing/po_posting.h"

#include <optional>
#include <stdexcept>

#include "forms/run_state.h"
#include "platform/text/clock.h"
#include "platform/text/date_text.h"
#include "platform/text/format_float.h"
#include "platform/text/key_text.h"
#include "platform/text/number_text.h"
#include "platform/text/upper_case.h"
#include "platform/ui/message_box.h"
#include "records/company_file.h"
#include "records/memo_file.h"
#include "records/number_counter.h"
#include "records/po_header_file.h"
#include "records/product_file.h"
#include "records/record_file.h"
#include "records/vendor_file.h"
#include "reports/label_queue.h"
#include "storage/posting_journal.h"

namespace purchasing {

using platform::text::StripCommas;
using platform::text::TrimBlanks;
using platform::text::UpperCase;
using records::CurrentCompany;

namespace {

std::string TwoDigits(int value) {
  return value < 10 ? "0" + std::to_string(value) : std::to_string(value);
}

QDate TypedDate(const std::string& typed, const std::string& what) {
  std::string order = CurrentCompany.DateOrder.Get();
  std::optional<QDate> date =
      platform::text::ParseTypedDate(TrimBlanks(typed), order.empty() ? 'M' : order[0]);
  if (!date) throw std::runtime_error("The " + what + " " + typed + " is not a date. The PO was not saved.");
  return *date;
}

int WriteDetailLines(const records::POHeaderRec& header, const EnteredPO& po,
                     const std::vector<EnteredPOLine>& lines) {
  int written = 0;
  for (const EnteredPOLine& line : lines) {
    records::PODetailBuf = PODetailRecordOf(header, po.Number, line);
    storage::IsamRecRef ref = 0;
    records::RequireDone(records::AddPODetailRecord(ref), "PO detail add failed.");
    ++written;
  }
  return written;
}

// A vendor file that cannot be opened or searched fails the posting, which is then undone whole.
void QueueLabelOfVendor(const std::string& number) {
  if (CurrentCompany.NewPOToLabelQueue.Get() != "Y") return;
  records::FileForAction file(records::VendorFile, records::OpenVendorFile);
  records::VendorRec wanted{};
  wanted.VendorNo.Set(number);
  records::VendorRec vendor{};
  storage::IsamRecRef ref = 0;
  if (records::ThereToRead(file, records::VendorUnit()) &&
      records::ReadIfOnFile(records::VendorUnit(), records::BuildVendorKey(wanted, 2), 2, vendor, ref))
    storage::WhenPosted([vendor] { reports::QueueVendor(vendor); });
}

// The number the counter continues from: the whole number, or with the date prefix the digits
// after it. None for a number that is not a plain number: the counter then stays.
std::optional<int64_t> CounterValue(const std::string& number) {
  std::string digits = CurrentCompany.PONumberPrefix.Get() == "Y"
                           ? number.substr(std::min<size_t>(4, number.size()), 5)
                           : number;
  std::optional<int32_t> value = platform::text::TryStrToInt(TrimBlanks(digits));
  if (!value) return std::nullopt;
  return *value;
}

// Returns the note that tells when this number ended the counter; empty otherwise.
std::string AdvancePOCounter(const std::string& number) {
  std::optional<int64_t> counter = CounterValue(number);
  const records::NumberCounter po = records::PONumberCounter(CurrentCompany.PONumberPrefix.Get() == "Y");
  records::RequireDone(records::UpdateCurrentCompanyRecord([&](records::CompanyRec& company) {
                         if (counter) company.NextPONumber.Set(records::CounterTextAfter(po, *counter));
                         company.POManagerStartNumber.Set(number);
                       }),
                       "The company record could not be updated.");
  return counter && !records::NextWithin(po, *counter) ? records::CounterEndedText(po, *counter)
                                                       : std::string();
}

void AddMemo(const EnteredPO& po) {
  records::POMemoBuf = MemoRecordOf(po);
  storage::IsamRecRef ref = 0;
  records::RequireDone(records::AddPOMemoRecord(ref), "memo add operation failed");
}

// The lines whose quantities a PO entered as received adds to stock.
std::vector<EnteredPOLine> StockLines(const EnteredPO& po, const std::vector<EnteredPOLine>& lines) {
  return po.Memo ? std::vector<EnteredPOLine>{po.MemoProduct} : lines;
}

}  // namespace

bool EnteredPOLine::Kept() const {
  return !TrimBlanks(Code).empty() || !TrimBlanks(Description).empty();
}

std::vector<EnteredPOLine> LinesToWrite(const EnteredPO& po) {
  if (po.Memo) {
    EnteredPOLine line = po.MemoProduct;
    line.Row = 1;
    std::string code = TrimBlanks(line.Code);
    line.Code = code.empty() ? NoProduct : code;
    line.Quantity = TrimBlanks(line.Quantity);
    line.Price = TrimBlanks(po.Net);
    line.Taxable = "M";
    line.Extension = TrimBlanks(po.Net);
    return {line};
  }
  std::vector<EnteredPOLine> lines;
  for (const EnteredPOLine& line : po.Lines)
    if (line.Kept()) lines.push_back(line);
  return lines;
}

void RequireWritableLines(const std::vector<EnteredPOLine>& lines) {
  for (const EnteredPOLine& line : lines) {
    const std::pair<const std::string*, const char*> figures[] = {
        {&line.Quantity, "quantity"}, {&line.Price, "unit cost"}, {&line.Extension, "extension"}};
    for (auto [text, what] : figures)
      if (StripCommas(*text).size() > records::kLineQuantityWidth)
        throw std::runtime_error("The " + std::string(what) + " " + *text + " of line " +
                                 std::to_string(line.Row) +
                                 " is longer than 10 characters. The PO was not saved.");
    if (!QuantityOf(line.Quantity))
      throw std::runtime_error("The quantity " + line.Quantity + " of line " + std::to_string(line.Row) +
                               " is not a number. The PO was not saved.");
  }
}

records::StockChanges ReceivedStock(const EnteredPO& po, const std::vector<EnteredPOLine>& lines) {
  records::StockChanges changes;
  for (const EnteredPOLine& line : StockLines(po, lines))
    if (UpperCase(TrimBlanks(line.Code)) != NoProduct)
      records::AddStockChange(changes, line.Code, TrimBlanks(StripCommas(line.Quantity)));
  return changes;
}

void RaiseStockOfReceivedPO(const EnteredPO& po, const std::vector<EnteredPOLine>& lines) {
  records::FileForAction file(records::ProductFile, records::OpenProductFile);
  records::RequireDone(file.Open(),
                       "The product file could not be opened; the stock of this PO was not raised.");
  for (const EnteredPOLine& line : StockLines(po, lines)) AddReceivedStock(line.Code, line.Quantity);
}

records::POMemoRec MemoRecordOf(const EnteredPO& po) {
  records::POMemoRec memo{};
  memo.Number.Set(po.Number);
  for (size_t line = 0; line < records::kMemoLines && line < po.MemoLines.size(); ++line)
    memo.Lines[line].Set(po.MemoLines[line].substr(0, records::kMemoLineWidth));
  return memo;
}

std::optional<double> QuantityOf(const std::string& text) {
  std::string plain = TrimBlanks(StripCommas(text));
  if (plain.empty()) return 0.0;
  return platform::text::TryStrToFloat(plain);
}

bool ReadProduct(const std::string& code, records::ProductRec& product, storage::IsamRecRef& ref) {
  return records::ProductCodeOf(code) != NoProduct && records::ReadProductByCode(code, product, ref);
}

bool AddReceivedStock(const std::string& code, const std::string& quantity) {
  records::ProductRec product{};
  storage::IsamRecRef ref = 0;
  if (!ReadProduct(code, product, ref) || product.NonStock) return true;
  return AddStockOnHand(product, ref, quantity);
}

bool AddStockOnHand(const records::ProductRec& product, storage::IsamRecRef ref,
                    const std::string& quantity) {
  records::RequireDone(
      records::ChangeStockOnHand(product, ref, StripCommas(quantity)),
      "The stock of product " + UpperCase(TrimBlanks(product.Code.Get())) + " could not be updated.");
  return true;
}

records::POHeaderRec NewPOHeader(const EnteredPO& po) {
  QDate date = TypedDate(po.Date, "PO date");
  QDate required = TypedDate(po.DateRequired, "date required");
  records::POHeaderRec h{};
  h.ShipTo1.Set(po.ShipTo[0]);
  h.ShipTo2.Set(po.ShipTo[1]);
  h.ShipTo3.Set(po.ShipTo[2]);
  h.ShipTo4.Set(po.ShipTo[3]);
  h.PONumber.Set(UpperCase(po.Number));
  h.POStatus.Set("O");
  h.PODate.Set(po.Date);
  if (po.MarkReceived) {
    h.EnteredReceived.Set("Y");
    h.ReceivedDate.Set(platform::text::SortableDate(TypedDate(po.ReceivedDate, "received date")));
  } else {
    h.EnteredReceived.Set("N");
    h.ReceivedDate.Set(" ");
  }
  h.DateRequired.Set(platform::text::SortableDate(required));
  h.Month.Set(TwoDigits(date.month()));
  h.Day.Set(TwoDigits(date.day()));
  h.Year.Set(std::to_string(date.year()));
  h.SortDate.Set(platform::text::SortableDate(date));
  h.Notes.Set(po.Notes);
  h.Terms.Set(po.Terms);
  h.VendorNo.Set(po.VendorNo);
  h.ShortName.Set(po.ShortName);
  h.KeyCode.Set(po.KeyCode);
  h.NetAmount.Set(TrimBlanks(StripCommas(po.Net)));
  h.TaxAmount.Set(TrimBlanks(StripCommas(po.Tax)));
  h.POTotal.Set(TrimBlanks(StripCommas(po.Total)));
  h.Signature1.Set(po.Signature1);
  h.Signature2.Set(po.Signature2);
  h.CompanyNumber.Set(CurrentCompany.CompanyNumber.Get());
  std::string rate = TrimBlanks(po.TaxRate);
  h.TaxRate.Set(rate.empty() ? "0" : rate);
  h.POKind.Set(po.Memo ? "M" : "P");
  return h;
}

records::PODetailRec PODetailRecordOf(const records::POHeaderRec& header, const std::string& number,
                                      const EnteredPOLine& line) {
  records::PODetailRec d{};
  d.Company.Set(header.CompanyNumber.Get());
  d.PONumber.Set(number);
  d.PODate.Set(header.SortDate.Get());
  d.RecordKind.Set("P");
  d.DocumentKind.Set("O");
  d.Vendor.Set(header.VendorNo.Get());
  d.ShortName.Set(header.ShortName.Get());
  d.LineNumber.Set(records::LineNumberText(line.Row));
  d.LineKey.Set(records::LineKeyText(number, line.Row));
  d.Product.Set(TrimBlanks(line.Code.substr(0, 15)));
  d.LineText.Set(records::LineText(StripCommas(line.Quantity), line.Description, StripCommas(line.Price),
                                   line.Taxable, StripCommas(line.Extension)));
  if (header.EnteredReceived.Get() == "Y") {
    d.Received.Set("Y");
    d.ReceivedDate.Set(header.ReceivedDate.Get());
    d.QuantityReceived.Set(TrimBlanks(StripCommas(line.Quantity)));
    d.ReceiverNumber.Set(AutoReceiver);
  } else {
    d.Received.Set("N");
    d.ReceivedDate.Set(" ");
    d.QuantityReceived.Set("0");
    d.ReceiverNumber.Set(" ");
  }
  return d;
}

namespace {

PostedPO PostNewPOSteps(const EnteredPO& po) {
  const records::POHeaderRec header = NewPOHeader(po);
  std::vector<EnteredPOLine> lines = LinesToWrite(po);
  RequireWritableLines(lines);
  if (po.MarkReceived) records::RequireStockFits(ReceivedStock(po, lines), records::StockMove::Receipt);

  PostedPO posted;
  records::RequireDone(records::AddPOHeaderRecord(header, posted.Ref), "Add operation failed");
  records::POHeaderBuf = header;
  // The dates typed are the defaults of the next PO.
  forms::LastPODate = po.Date;
  forms::LastPODateRequired = po.DateRequired;
  forms::LastPOReceivedDate = po.ReceivedDate;

  posted.LineItems = WriteDetailLines(header, po, lines);
  if (po.MarkReceived) RaiseStockOfReceivedPO(po, lines);
  QueueLabelOfVendor(header.VendorNo.Get());
  posted.CounterNote = AdvancePOCounter(po.Number);
  if (po.Memo) AddMemo(po);
  posted.StatusText = "Added PO " + TrimBlanks(header.PONumber.Get()) + " containing " +
                      std::to_string(posted.LineItems) + " line item(s).";
  return posted;
}

}  // namespace

PostedPO PostNewPO(const EnteredPO& po) {
  return storage::RunPosting("PO " + platform::text::TrimBlanks(po.Number),
                             [&] { return PostNewPOSteps(po); });
}

}  // namespace purchasing
