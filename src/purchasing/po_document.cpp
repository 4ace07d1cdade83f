#include "purchasing/po_document.h"

#include "purchasing/po_entry.h"

#include "documents/document_buffer.h"
#include "documents/document_view.h"
#include "documents/email_document.h"
#include "documents/po_printing.h"
#include "forms/run_state.h"
#include "forms/unusable_file.h"
#include "platform/text/codepage.h"
#include "platform/text/key_text.h"
#include "platform/text/upper_case.h"
#include "platform/ui/message_box.h"
#include "records/company_rec.h"
#include "records/memo_file.h"
#include "records/po_detail_file.h"
#include "records/po_header_file.h"
#include "records/record_file.h"
#include "records/vendor_file.h"
#include "reports/label_queue.h"

namespace purchasing {

using documents::DocHeader;
using platform::text::Cents;
using platform::text::TrimBlanks;
using platform::text::UpperCase;
using records::CurrentCompany;
using records::POHeaderRec;

std::string POToPrint;
uint8_t POPrintMode = 0;
uint8_t POBatchRun = 0;

namespace {

// A purchase order's memo lines after the first are printed only when they hold more than one
// character.
constexpr std::size_t kShortestPOMemoLine = 2;

struct POSums {
  POHeaderRec Header{};
  Cents Total = 0, Tax = 0;
  bool Found = false;
};

// Every header whose PO number key is the number, in key order; the last one heads the document.
// Throws FileUnusable when one cannot be read: sums of part of them would print as the whole.
POSums SumPOHeaders(const std::string& number) {
  POSums sums;
  POHeaderRec wanted{};
  wanted.PONumber.Set(number);
  for (const auto& [ref, header] : records::ReadRecordsWithKey<POHeaderRec>(
           records::POHeaderFile, 1, records::BuildPOHeaderKey(wanted, 1))) {
    sums.Header = header;
    sums.Found = true;
    sums.Total += documents::StoredAmountCents(header.POTotal.Get());
    sums.Tax += documents::StoredAmountCents(header.TaxAmount.Get());
  }
  return sums;
}

records::VendorRec ReadPOVendor(const std::string& number) {
  records::VendorRec wanted{};
  wanted.VendorNo.Set(number);
  return records::ReadFromFileByKey<records::VendorRec>(records::VendorFile, records::OpenVendorFile,
                                                        records::VendorUnit(),
                                                        records::BuildVendorKey(wanted, 2), 2);
}

void FillHeaderFields(const POSums& sums) {
  const POHeaderRec& h = sums.Header;
  const std::string dateOrder = CurrentCompany.DateOrder.Get();
  DocHeader.ShipAddr1 = h.ShipTo1.Get();
  DocHeader.ShipAddr2 = h.ShipTo2.Get();
  DocHeader.ShipAddr3 = h.ShipTo3.Get();
  DocHeader.ShipAddr4 = h.ShipTo4.Get();
  DocHeader.AccountNo = h.VendorNo.Get();
  DocHeader.DocNumber = h.PONumber.Get();
  DocHeader.DocDate = h.PODate.Get();
  DocHeader.Reference = h.Notes.Get();
  DocHeader.Terms = h.Terms.Get();
  DocHeader.NetAmount = documents::DocMoneyText(sums.Total - sums.Tax);
  DocHeader.TaxAmount = documents::DocMoneyText(sums.Tax);
  DocHeader.TotalAmount = documents::DocMoneyText(sums.Total);
  DocHeader.BodyKind = h.POKind.Get();
  DocHeader.PrintedFlag = h.Printed.Get();
  DocHeader.DocType = h.POStatus.Get();
  DocHeader.RequiredDate = documents::DocDateText(h.DateRequired.Get(), dateOrder);
  DocHeader.ReceivedDate = documents::DocDateText(h.ReceivedDate.Get(), dateOrder);
  DocHeader.PaidDate.clear();
  DocHeader.EMailedDate = h.EMailedDate.Get();
  const std::string rate = TrimBlanks(h.TaxRate.Get());
  // Kept whole: a rate cut to the field's six characters would print a different rate.
  DocHeader.TaxRate = rate.empty() ? TrimBlanks(CurrentCompany.DefaultTaxRate.Get()) : rate;
  documents::DocPOExtras = {h.Signature1.Get(), h.Signature2.Get(), h.DateRequired.Get(),
                            h.ReceivedDate.Get()};
}

void FillVendorFields(const records::VendorRec& vendor) {
  const std::array<std::string, 4> address = records::OrderAddressLines(vendor);
  DocHeader.BillName = vendor.VendorName.Get();
  DocHeader.BillAddr1 = address[0];
  DocHeader.BillAddr2 = address[1];
  DocHeader.BillAddr3 = address[2];
  DocHeader.BillAddr4 = address[3];
  DocHeader.PrintNotesFlag = vendor.NotesOnPO.Get();
  DocHeader.AccountNotes = vendor.VendNotes.Get();
  DocHeader.EMailAddress = vendor.VendEMail.Get();
  const records::ShortString<10>* amounts[] = {&vendor.Amount1, &vendor.Amount2, &vendor.Amount3,
                                               &vendor.Amount4};
  for (std::size_t box = 0; box < documents::DocAging.size(); ++box)
    documents::DocAging[box] = documents::DocAgingText(amounts[box]->Get());
}

void FillLineItems(const std::string& number) {
  documents::LoadDocLines<records::PODetailRec>(
      records::PODetailFile, 6, number,
      [](const records::PODetailRec& detail) { return detail.PONumber.Get(); },
      [](const records::PODetailRec& detail, std::string& product, std::string& lineText) {
        if (detail.RecordKind.Get() != "P") return false;  // receipts order nothing
        product = detail.Product.Get();
        lineText = detail.LineText.Get();
        return true;
      });
}

void FillMemo(const std::string& number) {
  records::PODetailRec firstLine{};
  firstLine.PONumber.Set(number);
  documents::LoadDocMemoItem<records::PODetailRec>(records::PODetailUnit(),
                                                   records::BuildPODetailKey(firstLine, 2), 2);
  documents::LoadDocMemo(records::POMemoUnit(), number, kShortestPOMemoLine);
}

// The order, the vendor's label when a batch queues them, then the company's file copies.
void PrintPOWithCopies() {
  documents::DocMode = "PO";
  documents::PrintPurchaseOrder();
  if (CurrentCompany.POBatchCopyToLabelQueue.Get() == "Y" && POBatchRun == 1)
    reports::QueueVendor(records::VendorBuf);
  if (CurrentCompany.POPrintFileCopies != 0)
    documents::PrintFileCopies(CurrentCompany.POFileCopyCount.Get(), [] { documents::PrintPurchaseOrder(); });
}

}  // namespace

bool FillPODocument(const std::string& number) {
  const std::string wanted = UpperCase(TrimBlanks(number)).substr(0, 9);
  const POSums sums = SumPOHeaders(wanted);
  if (!sums.Found) return false;
  POMemoMode = sums.Header.POKind.Get() == "M" ? 1 : 0;
  FillHeaderFields(sums);
  records::VendorBuf = ReadPOVendor(sums.Header.VendorNo.Get());
  FillVendorFields(records::VendorBuf);
  if (POMemoMode == 1)
    FillMemo(wanted);
  else
    FillLineItems(wanted);
  return true;
}

bool BuildPODocument() {
  bool found = false;
  if (!forms::ReadAll("Purchase Order", [&] { found = FillPODocument(POToPrint); })) return false;
  if (!found) {
    platform::ui::ShowMessage(platform::text::ToQString("PO " + TrimBlanks(POToPrint) + " was not found."));
    return false;
  }
  if (POPrintMode == 0) {
    documents::ViewDocument();
  } else if (forms::EMailOutputChosen()) {
    documents::DocMode = "PO";
    documents::EmailPurchaseOrderText();
  } else {
    PrintPOWithCopies();
  }
  return true;
}

}  // namespace purchasing
