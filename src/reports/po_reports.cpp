#include "reports/po_reports.h"

#include <functional>
#include <utility>

#include "platform/text/key_text.h"
#include "records/po_header_file.h"
#include "reports/report_walk.h"

namespace reports {

using platform::text::TrimBlanks;
using records::POHeaderRec;

namespace {

constexpr int PODateKey = 3;
constexpr int DateRequiredKey = 7;
// A received date is a whole "YYYY/MM/DD"; anything shorter means the PO is still awaited.
constexpr std::size_t ReceivedDateLength = 10;

std::string Status(const POHeaderRec& r) {
  return r.POStatus.Get();
}
bool HasNumber(const POHeaderRec& r) {
  return !TrimBlanks(r.PONumber.Get()).empty();
}
// A PO of no value is listed only while it is open ("O").
bool ListedByTotal(const POHeaderRec& r) {
  return !IsZeroAmount(r.POTotal.Get()) || Status(r) == "O";
}

// Walks the POs whose date (the field `date`, indexed by key keyNr) lies in the request's range.
void WalkPOs(const ReportRequest& request, int keyNr, records::ShortString<10> POHeaderRec::*date,
             const std::function<void(const POHeaderRec&)>& visit) {
  WalkDateRange(records::POHeaderUnit(), keyNr, date, DateRange(request), visit);
}

// A register row of the PO, the four leading cells given.
std::vector<CellValue> PORow(const POHeaderRec& r, std::vector<CellValue> leading) {
  return RegisterRow(std::move(leading), r.NetAmount.Get(), r.TaxAmount.Get(), r.POTotal.Get(), Status(r));
}

}  // namespace

ReportOutput CollectPORegister(const ReportRequest& request) {
  static const ReportShape shape =
      RegisterShape("PO Register", {TextColumn("Year/Mo/Dy", 10), TextColumn("PO#", 9),
                                    TextColumn("Short Name", 10), TextColumn("Vendor#", 8)});
  ReportLines lines(shape, request);
  WalkPOs(request, PODateKey, &POHeaderRec::SortDate, [&](const POHeaderRec& r) {
    if (!HasNumber(r) || !ListedByTotal(r)) return;
    lines.Add(PORow(r, {r.SortDate.Get(), r.PONumber.Get(), r.ShortName.Get(), r.VendorNo.Get()}),
              {r.ShortName.Get(), r.VendorNo.Get()});
  });
  return lines.Finish();
}

ReportOutput CollectCommitmentReport(const ReportRequest& request) {
  static const ReportShape shape =
      RegisterShape("Commitment Report", {TextColumn("Date Req.", 10), TextColumn("PO#", 9),
                                          TextColumn("Short Name", 10), TextColumn("Vendor#", 8)});
  ReportLines lines(shape, request);
  WalkPOs(request, DateRequiredKey, &POHeaderRec::DateRequired, [&](const POHeaderRec& r) {
    if (TrimBlanks(r.ReceivedDate.Get()).size() >= ReceivedDateLength) return;
    if (!HasNumber(r) || !ListedByTotal(r)) return;
    lines.Add(PORow(r, {r.DateRequired.Get(), r.PONumber.Get(), r.ShortName.Get(), r.VendorNo.Get()}),
              {r.PONumber.Get(), r.ShortName.Get(), r.VendorNo.Get()});
  });
  return lines.Finish();
}

ReportOutput CollectPOKeyCodeInquiry(const ReportRequest& request) {
  static const ReportShape shape =
      RegisterShape("PO Key Code Inquiry", {TextColumn("Key Code", 8), TextColumn("PO#", 9),
                                            TextColumn("Short Name", 10), TextColumn("Year/Mo/Dy", 10)});
  ReportLines lines(shape, request);
  WalkPOs(request, PODateKey, &POHeaderRec::SortDate, [&](const POHeaderRec& r) {
    if (Status(r) == "R" || !HasNumber(r) || IsZeroAmount(r.POTotal.Get())) return;
    lines.Add(
        PORow(r, {OrNone(r.KeyCode.Get()), r.PONumber.Get(), r.ShortName.Get(), r.SortDate.Get()}),
        {r.PONumber.Get(), r.ShortName.Get(), r.KeyCode.Get()});
  });
  return lines.Finish();
}

}  // namespace reports
