#include "invoicing/invoice_document.h"

#include "forms/run_state.h"
#include "forms/unusable_file.h"
#include "reports/label_queue.h"

#include "documents/document_buffer.h"
#include "documents/document_view.h"
#include "documents/email_document.h"
#include "documents/invoice_printing.h"
#include "documents/receipt_printing.h"
#include "invoicing/invoice_entry.h"
#include "invoicing/invoice_posting.h"
#include "platform/print/printer.h"
#include "platform/text/amount.h"
#include "platform/text/codepage.h"
#include "platform/text/number_text.h"
#include "platform/text/upper_case.h"
#include "platform/ui/message_box.h"
#include "records/company_rec.h"
#include "records/customer_file.h"
#include "records/detail_file.h"
#include "records/invoice_file.h"
#include "records/memo_file.h"
#include "records/record_file.h"

namespace invoicing {

using documents::DocHeader;
using platform::text::Cents;
using platform::text::TrimBlanks;
using platform::text::UpperCase;
using records::CurrentCompany;
using records::InvoiceRec;

std::string PrintInvoiceNo;
uint8_t InvoicePrintDirect = 0;
uint8_t PackingSlipOnly = 0;
uint8_t BatchPrintActive = 0;
bool EMailOutputMode() {
  return forms::EMailOutputChosen();
}

namespace {

// The record that heads the document: the invoice itself, never a payment filed under its number.
bool HeadsDocument(const InvoiceRec& record) {
  const std::string type = record.TransactionType.Get();
  return type == "I" || type == "Z" || type == "G" || type == "M";
}

struct InvoiceSums {
  InvoiceRec Header{};
  Cents Total = 0, Tax = 0, Paid = 0;
  bool Found = false;
};

// Every record whose invoice number key is the number, in key order. Throws FileUnusable when one
// cannot be read: sums of part of them would print as the whole.
InvoiceSums SumInvoiceRecords(const std::string& number) {
  InvoiceSums sums;
  InvoiceRec wanted{};
  wanted.InvoiceNo.Set(number);
  bool headerFound = false;
  for (const auto& [ref, record] : records::ReadRecordsWithKey<InvoiceRec>(
           records::InvoiceFile, 1, records::BuildInvoiceKey(wanted, 1))) {
    sums.Found = true;
    sums.Paid += documents::StoredAmountCents(record.InvPaid.Get());
    sums.Total += documents::StoredAmountCents(record.InvTotal.Get());
    sums.Tax += documents::StoredAmountCents(record.TaxAmount.Get());
    if (!headerFound) sums.Header = record;
    headerFound = headerFound || HeadsDocument(record);
  }
  return sums;
}

// The invoice's customer, found by an exact match of its number; an empty record when it is gone.
records::CustomerRec ReadDocumentCustomer(const std::string& number) {
  records::CustomerRec wanted{};
  wanted.CustomerNo.Set(number);
  return records::ReadFromFileByKey<records::CustomerRec>(records::CustomerFile, records::OpenCustomerFile,
                                                          records::CustomerUnit(),
                                                          records::BuildCustomerKey(wanted, 2), 2);
}

void FillHeader(const InvoiceSums& sums, const records::CustomerRec& customer) {
  const InvoiceRec& r = sums.Header;
  DocHeader.BillName = customer.CustomerName.Get();
  DocHeader.BillAddr1 = customer.CustBillTo1.Get();
  DocHeader.BillAddr2 = customer.CustBillTo2.Get();
  DocHeader.BillAddr3 = customer.CustBillTo3.Get();
  DocHeader.BillAddr4 = customer.CustBillTo4.Get();
  DocHeader.ShipAddr1 = r.ShipTo1.Get();
  DocHeader.ShipAddr2 = r.ShipTo2.Get();
  DocHeader.ShipAddr3 = r.ShipTo3.Get();
  DocHeader.ShipAddr4 = r.ShipTo4.Get();
  DocHeader.AccountNo = r.InvCustomerNo.Get();
  DocHeader.DocNumber = r.InvoiceNo.Get();
  DocHeader.DocDate = r.InvoiceDate.Get();
  DocHeader.Reference = r.Notes.Get();
  DocHeader.Terms = r.Terms.Get();
  DocHeader.NetAmount = documents::DocMoneyText(sums.Total - sums.Tax);
  DocHeader.TaxAmount = documents::DocMoneyText(sums.Tax);
  DocHeader.TotalAmount = documents::DocMoneyText(sums.Total);
  DocHeader.PaidAmount = documents::DocMoneyText(sums.Paid);
  DocHeader.BalanceDue = documents::DocMoneyText(sums.Total - sums.Paid);
  DocHeader.BodyKind = r.Body.Get();
  DocHeader.PrintedFlag = r.PrintedMark.Get();
  DocHeader.DocType = r.TransactionType.Get();
  DocHeader.PrintNotesFlag = customer.NotesOnInvoice.Get();
  DocHeader.AccountNotes = customer.CustNotes.Get();
  DocHeader.PaidDate = documents::DocDateText(r.DatePaid.Get(), CurrentCompany.DateOrder.Get());
  DocHeader.EMailAddress = customer.CustEMail.Get();
  DocHeader.AccountBalance =
      platform::text::FormatAmount(documents::StoredAmountCents(customer.CustBalance.Get()));
  DocHeader.EMailedDate = r.EMailedDate.Get();
  const std::string rate = TrimBlanks(r.TaxRate.Get());
  // Kept whole: a rate cut to the field's six characters would print a different rate.
  DocHeader.TaxRate = rate.empty() ? TrimBlanks(CurrentCompany.DefaultTaxRate.Get()) : rate;
  const records::ShortString<10>* buckets[] = {&customer.CustAging1, &customer.CustAging2,
                                               &customer.CustAging3, &customer.CustAging4};
  for (std::size_t bucket = 0; bucket < documents::DocAging.size(); ++bucket)
    documents::DocAging[bucket] = documents::DocAgingText(buckets[bucket]->Get());
}

void FillLineItems(const std::string& number) {
  documents::LoadDocLines<records::DetailRec>(
      records::DetailFile, 3, number,
      [](const records::DetailRec& detail) { return detail.InvoiceNumber.Get(); },
      [](const records::DetailRec& detail, std::string& product, std::string& lineText) {
        product = detail.Product.Get();
        lineText = detail.LineText.Get();
        return true;
      });
}

// The full-page invoice, then what the company prints after it.
void PrintInvoiceWithCopies() {
  documents::PrintInvoice();
  if (CurrentCompany.BatchCopyToLabelQueue.Get() == "Y" && BatchPrintActive == 1)
    reports::QueueCustomer(records::SelectedCustomer);
  if (CurrentCompany.PrintPackingSlips != 0) {
    documents::DocMode = "PSL";
    documents::PrintInvoice();
  }
  if (CurrentCompany.PrintFileCopies != 0)
    documents::PrintFileCopies(CurrentCompany.FileCopyCount.Get(), [] { documents::PrintInvoice(); });
}

}  // namespace

bool FillInvoiceDocument(const std::string& number) {
  const std::string wanted = UpperCase(TrimBlanks(number)).substr(0, 9);
  const InvoiceSums sums = SumInvoiceRecords(wanted);
  if (!sums.Found) return false;
  MemoInvoiceFlag = sums.Header.Body.Get() == "M" ? 1 : 0;
  records::SelectedCustomer = ReadDocumentCustomer(sums.Header.InvCustomerNo.Get());
  FillHeader(sums, records::SelectedCustomer);
  if (MemoInvoiceFlag == 1) {
    records::DetailRec memoLine{};
    memoLine.InvoiceNumber.Set(wanted);
    documents::LoadDocMemoItem<records::DetailRec>(records::DetailUnit(),
                                                   records::BuildDetailKey(memoLine, 2), 2);
    documents::LoadDocMemo(records::MemoUnit(), wanted);
  } else {
    FillLineItems(wanted);
  }
  return true;
}

std::string BuildInvoiceDocument() {
  bool found = false;
  if (!forms::ReadAll("Invoice", [&] { found = FillInvoiceDocument(PrintInvoiceNo); })) return {};
  if (!found) {
    platform::ui::ShowMessage(
        platform::text::ToQString("Invoice " + TrimBlanks(PrintInvoiceNo) + " was not found."));
    return {};
  }
  if (PackingSlipOnly == 1) return {};
  if (InvoicePrintDirect == 0) {
    documents::ViewDocument();
    return {};
  }
  documents::DocMode = "INV";
  if (EMailOutputMode()) {
    documents::EmailInvoiceText();
    return {};
  }
  if (CurrentCompany.ReceiptPrinter.Get() == "Y") {
    documents::PrintReceipt();
    return {};
  }
  const platform::print::PrintRun run;
  PrintInvoiceWithCopies();
  return platform::text::ToAnsi(
      run.Notice(platform::text::ToQString("Invoice " + TrimBlanks(DocHeader.DocNumber))));
}

}  // namespace invoicing
