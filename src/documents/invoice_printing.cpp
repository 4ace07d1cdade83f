#include "documents/invoice_printing.h"

#include "documents/document_buffer.h"
#include "documents/document_refusal.h"
#include "documents/page_frame.h"
#include "documents/printed_marks.h"
#include "platform/text/codepage.h"
#include "platform/text/key_text.h"
#include "platform/text/number_text.h"
#include "records/company_rec.h"
#include "records/invoice_file.h"

namespace documents {

using platform::text::StripCommas;
using platform::text::TrimBlanks;
using records::CurrentCompany;

namespace {

const char* const CreditTitle = "C  R  E  D  I  T";
const char* const RepeatMasterTitle = "REPEAT MASTER SETUP";

bool IsPackingSlip() {
  return DocMode == "PSL";
}

DocumentTitle CaptionTitle(const std::string& caption) {
  return {caption, TrimBlanks(caption)};
}

std::vector<TotalsRow> InvoiceTotals() {
  const TDocHeader& h = DocHeader;
  std::vector<TotalsRow> rows{{"Total:", TrimBlanks(h.NetAmount), ""}};
  if (ShowsTaxLine()) rows.push_back({CurrentCompany.TaxName.Get(), TrimBlanks(h.TaxAmount), ""});
  const std::string paidDate = TrimBlanks(h.PaidDate);
  rows.push_back(
      {"Grand Total:", TrimBlanks(h.TotalAmount), paidDate.size() > 7 ? "Paid Date: " + paidDate : ""});
  rows.push_back(
      {"Balance Due:", TrimBlanks(h.BalanceDue),
       "Paid Amount: " + TrimBlanks(CurrentCompany.CurrencySymbol.Get()) + TrimBlanks(h.PaidAmount)});
  return rows;
}

std::array<std::vector<std::string>, 2> AgingStrip() {
  const records::CompanyRec& c = CurrentCompany;
  return {
      std::vector<std::string>{"Total Account Balance: " + DocHeader.AccountBalance},
      std::vector<std::string>{c.AgingCaption1.Get() + " " + TrimBlanks(DocAging[0]),
                               c.AgingCaption2.Get() + " " + TrimBlanks(DocAging[1]),
                               c.AgingCaption3.Get() + " " + TrimBlanks(DocAging[2]),
                               "Over " + TrimBlanks(c.AgingDays3.Get()) + ": " + TrimBlanks(DocAging[3])}};
}

FrameDocument InvoiceFrame() {
  const records::CompanyRec& c = CurrentCompany;
  FrameDocument d;
  d.JobTitle = InvoiceJobTitle();
  const DocumentTitle title = InvoiceTitle();
  d.Title = title.Text;
  d.TitleWidthText = title.WidthText;
  d.NumberCaption = TrimBlanks(c.InvoiceCaption.Get());
  d.NumberBarCode = TrimBlanks(c.BarCodeInvoiceNumbers.Get()) == "Y";
  if (DocMode == "INV" && DocHeader.PrintedFlag == "Y" && c.PrintDuplicateInvoice)
    d.DuplicateMarker = "** Duplicate Invoice **";
  if (DocHeader.DocType == "R") d.LetterheadMarker = RepeatMasterTitle;
  d.ShipToCaption = c.InvoiceShipToCaption.Get();
  d.NumberLabel = "Number: ";
  d.AccountLabel = "Account Number: ";
  d.ProductCodes = c.ProductCodesOnInvoices != 0;
  d.LineBarCodes = TrimBlanks(c.BarCodesOnInvoices.Get()) == "Y";
  d.MemoCaption = c.InvoiceMemoHeader.Get();
  d.Messages = {c.SalesMessage1.Get(), c.SalesMessage2.Get(), c.SalesMessage3.Get(), c.SalesMessage4.Get()};
  d.CountFrom = 28;
  d.MaskAmounts = IsPackingSlip();
  if (IsPackingSlip())
    d.TotalsSentence = "This is a packing slip. Please pay from invoice.";
  else
    d.Totals = InvoiceTotals();
  d.Strip = c.PrintCustomerAging && !IsPackingSlip();
  if (d.Strip) d.StripRows = AgingStrip();
  return d;
}

}  // namespace

bool AmountBelowZero(const std::string& amount) {
  const std::string text = StripCommas(amount);
  return !text.empty() && platform::text::StrToFloat(text) < 0;
}

bool ShowsTaxLine() {
  const std::string tax = StripCommas(DocHeader.TaxAmount);
  return !TrimBlanks(CurrentCompany.TaxName.Get()).empty() ||
         (!tax.empty() && platform::text::StrToFloat(tax) != 0);
}

std::string InvoiceDocumentName() {
  return (IsPackingSlip()    ? "Packing slip "
          : DocMode == "FCP" ? "File copy "
                             : "Invoice ") +
         TrimBlanks(DocHeader.DocNumber);
}

QString InvoiceJobTitle() {
  const char* kind = IsPackingSlip() ? "Packing Slip - " : DocMode == "FCP" ? "File Copy - " : "Invoice - ";
  return kind + platform::text::ToQString(TrimBlanks(DocHeader.DocNumber));
}

DocumentTitle InvoiceTitle() {
  const records::CompanyRec& c = CurrentCompany;
  if (IsPackingSlip()) return CaptionTitle(c.PackingSlipCaption.Get());
  if (DocMode == "FCP") return CaptionTitle(c.FileCopyCaption.Get());
  if (AmountBelowZero(DocHeader.BalanceDue)) return {CreditTitle, CreditTitle};
  if (DocHeader.DocType == "R") return {RepeatMasterTitle, RepeatMasterTitle};
  return CaptionTitle(c.InvoiceCaption.Get());
}

void PrintInvoice(platform::print::TPrinter& printer) {
  RefuseWhilePostingWaits(InvoiceDocumentName(), kPrinted);
  PrintFramedDocument(printer, InvoiceFrame());
  MarkInvoicePrintedAfterJob();
}

void MarkInvoiceRecords(const std::function<void(records::InvoiceRec&)>& mark) {
  records::InvoiceRec cleared{};
  cleared.InvoiceNo.Set(DocHeader.DocNumber.substr(0, 9));
  const std::string failure = MarkRecordsPrinted<records::InvoiceRec>(
      records::InvoiceFile, DocHeader.DocNumber, records::BuildInvoiceKey(cleared, 1),
      [&mark](records::InvoiceRec& r) {
        const std::string type = r.TransactionType.Get();
        if (type != "Z" && type != "I" && type != "M" && type != "G") return false;
        mark(r);
        return true;
      });
  TellNotMarked("Invoice " + TrimBlanks(DocHeader.DocNumber), failure);
}

void MarkInvoicePrintedAfterJob() {
  if (IsPackingSlip() || DocHeader.PrintedFlag == "Y") return;
  MarkInvoiceRecords([](records::InvoiceRec& r) { r.PrintedMark.Set("Y"); });
}

}  // namespace documents
