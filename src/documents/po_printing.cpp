#include "documents/po_printing.h"

#include "documents/printed_marks.h"
#include "records/po_header_file.h"

#include "documents/document_buffer.h"
#include "documents/document_refusal.h"
#include "documents/invoice_printing.h"
#include "documents/page_frame.h"
#include "platform/text/codepage.h"
#include "platform/text/key_text.h"
#include "records/company_rec.h"

namespace documents {

using platform::text::TrimBlanks;
using records::CurrentCompany;

std::function<void(const std::string& poNumber)> MarkPOHeaderPrinted = [](const std::string& poNumber) {
  MarkPORecords(poNumber, [](records::POHeaderRec& r) { r.Printed.Set("Y"); });
};

void MarkPORecords(const std::string& poNumber, const std::function<void(records::POHeaderRec&)>& mark) {
  records::POHeaderRec cleared{};
  cleared.PONumber.Set(poNumber.substr(0, 9));
  const std::string failure = MarkRecordsPrinted<records::POHeaderRec>(records::POHeaderFile, poNumber,
                                                                       records::BuildPOHeaderKey(cleared, 1),
                                                                       [&mark](records::POHeaderRec& r) {
                                                                         if (r.POStatus.Get() != "O")
                                                                           return false;
                                                                         mark(r);
                                                                         return true;
                                                                       });
  TellNotMarked("PO " + TrimBlanks(poNumber), failure);
}

namespace {

bool IsPO() {
  return DocMode == "PO";
}

DocumentTitle POTitle() {
  const records::CompanyRec& c = CurrentCompany;
  std::string title = !IsPO()                                  ? c.POCopyCaption.Get()
                      : AmountBelowZero(DocHeader.TotalAmount) ? std::string("PO CREDIT")
                                                               : c.POCaption.Get();
  return {title, TrimBlanks(title)};
}

std::vector<TotalsRow> POTotals() {
  const TDocHeader& h = DocHeader;
  std::vector<TotalsRow> rows{{"Total:", TrimBlanks(h.NetAmount), ""}};
  if (ShowsTaxLine()) rows.push_back({CurrentCompany.TaxName.Get(), TrimBlanks(h.TaxAmount), ""});
  rows.back().SideText = "Date Required: " + TrimBlanks(h.RequiredDate);
  const std::string received = TrimBlanks(h.ReceivedDate);
  rows.push_back(
      {"Grand Total:", TrimBlanks(h.TotalAmount), received.size() > 7 ? "Date Received: " + received : ""});
  return rows;
}

FrameDocument POFrame() {
  const records::CompanyRec& c = CurrentCompany;
  FrameDocument d;
  d.JobTitle = "PO - " + platform::text::ToQString(TrimBlanks(DocHeader.DocNumber));
  d.SetJobTitle = IsPO();
  const DocumentTitle title = POTitle();
  d.Title = title.Text;
  d.TitleWidthText = title.WidthText;
  d.NumberCaption = TrimBlanks(c.POCaption.Get());
  d.NumberOneLineLower = true;
  d.NumberBarCode = TrimBlanks(c.BarCodePONumbers.Get()) == "Y";
  if (IsPO() && DocHeader.PrintedFlag == "Y" && TrimBlanks(c.PrintDuplicatePO.Get()) == "Y")
    d.DuplicateMarker = "** Duplicate PO **";
  d.ShipToCaption = c.POShipToCaption.Get();
  d.NumberLabel = "PO Number: ";
  d.AccountLabel = "Vendor Number: ";
  d.ProductCodes = c.ProductCodesOnPOs != 0;
  d.LineBarCodes = TrimBlanks(c.BarCodesOnPOs.Get()) == "Y";
  d.MemoCaption = c.POMemoHeader.Get();
  d.Messages = {c.POMessage1.Get(), c.POMessage2.Get(), c.POMessage3.Get(), c.POMessage4.Get()};
  d.CountFrom = 23;
  d.Totals = POTotals();
  d.Strip = true;
  d.StripRows = {std::vector<std::string>{DocPOExtras.Signature1},
                 std::vector<std::string>{DocPOExtras.Signature2}};
  return d;
}

}  // namespace

void PrintPurchaseOrder(platform::print::TPrinter& printer) {
  RefuseWhilePostingWaits("PO " + TrimBlanks(DocHeader.DocNumber), kPrinted);
  PrintFramedDocument(printer, POFrame());
  if (DocHeader.PrintedFlag != "Y" && MarkPOHeaderPrinted)
    MarkPOHeaderPrinted(TrimBlanks(DocHeader.DocNumber));
}

}  // namespace documents
