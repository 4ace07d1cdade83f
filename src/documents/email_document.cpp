#include "documents/email_document.h"

#include "documents/document_buffer.h"
#include "documents/document_refusal.h"
#include "documents/document_view.h"
#include "documents/invoice_printing.h"
#include "documents/printed_marks.h"
#include "platform/text/clock.h"
#include "platform/text/codepage.h"
#include "platform/text/date_text.h"
#include "platform/text/format_float.h"
#include "platform/text/key_text.h"
#include "platform/text/number_text.h"
#include "platform/text/upper_case.h"
#include "records/company_rec.h"
#include "records/invoice_file.h"

namespace documents {

using platform::text::PadRightWith;
using platform::text::StripCommas;
using platform::text::TrimBlanks;
using records::CompanyRec;
using records::CurrentCompany;

namespace {

constexpr std::size_t MailWidth = 68;
constexpr std::size_t AddressColumn = 38;
constexpr std::size_t MaxAddressLength = 50;

// What an invoice and a purchase order do differently in the same layout.
struct MailKind {
  bool PurchaseOrder = false;
  std::string Caption, ShipToCaption, MemoHeader;
  std::string CreditLine, DuplicateLine;  // empty: not written
  std::string NumberCaption, AccountCaption;
  bool ProductCodes = false;
  std::string Message[4];
};

MailKind InvoiceKind(const CompanyRec& c) {
  MailKind kind;
  kind.Caption = c.InvoiceCaption.Get();
  kind.ShipToCaption = c.InvoiceShipToCaption.Get();
  kind.MemoHeader = c.InvoiceMemoHeader.Get();
  if (platform::text::StrToFloat(StripCommas(DocHeader.BalanceDue)) < 0) kind.CreditLine = "C R E D I T";
  if (DocHeader.PrintedFlag == "Y" && c.PrintDuplicateInvoice) kind.DuplicateLine = "** DUPLICATE INVOICE **";
  kind.NumberCaption = "Number: ";
  kind.AccountCaption = "Account Number: ";
  kind.ProductCodes = c.ProductCodesOnInvoices != 0;
  const std::string messages[] = {c.SalesMessage1.Get(), c.SalesMessage2.Get(), c.SalesMessage3.Get(),
                                  c.SalesMessage4.Get()};
  std::copy(std::begin(messages), std::end(messages), kind.Message);
  return kind;
}

MailKind PurchaseOrderKind(const CompanyRec& c) {
  MailKind kind;
  kind.PurchaseOrder = true;
  kind.Caption = c.POCaption.Get();
  kind.ShipToCaption = c.POShipToCaption.Get();
  kind.MemoHeader = c.POMemoHeader.Get();
  if (platform::text::StrToFloat(StripCommas(DocHeader.TotalAmount)) < 0) kind.CreditLine = "PO CREDIT";
  if (DocHeader.PrintedFlag == "Y" && c.PrintDuplicatePO.Get() == "Y")
    kind.DuplicateLine = "** DUPLICATE PO **";
  kind.NumberCaption = "PO Number: ";
  kind.AccountCaption = "Vendor Number: ";
  kind.ProductCodes = c.ProductCodesOnPOs != 0;
  const std::string messages[] = {c.POMessage1.Get(), c.POMessage2.Get(), c.POMessage3.Get(),
                                  c.POMessage4.Get()};
  std::copy(std::begin(messages), std::end(messages), kind.Message);
  return kind;
}

class MailText {
 public:
  MailText(const CompanyRec& company, const MailKind& kind) : company_(company), kind_(kind) {}

  std::vector<std::string> Compose() {
    if (!kind_.CreditLine.empty()) {
      Add(kind_.CreditLine);
      Blank();
    }
    if (!kind_.DuplicateLine.empty()) Add(kind_.DuplicateLine);
    Blank();
    CompanyBlock();
    Separator();
    AddressBlock();
    Separator();
    const TDocHeader& h = DocHeader;
    Add("Date: " + TrimBlanks(h.DocDate));
    Add(kind_.NumberCaption + TrimBlanks(h.DocNumber));
    Add(kind_.AccountCaption + TrimBlanks(h.AccountNo));
    Add("Payment Terms: " + h.Terms);
    Add("Reference: " + h.Reference);
    Separator();
    if (h.BodyKind == "M")
      MemoBody();
    else
      ItemTable();
    Separator();
    Totals();
    Notes();
    SalesMessage();
    if (kind_.PurchaseOrder)
      Signatures();
    else
      Aging();
    return std::move(lines_);
  }

 private:
  void Add(std::string line) { lines_.push_back(std::move(line)); }
  void Blank() { Add(" "); }
  bool RuleLines() const { return company_.EMailRuleLines.Get() == "Y"; }
  void Separator() {
    if (RuleLines())
      Add(std::string(MailWidth, '-'));
    else
      Blank();
  }
  std::string Money(const std::string& amount) const {
    return TrimBlanks(company_.CurrencySymbol.Get()) + TrimBlanks(amount);
  }

  void CompanyBlock() {
    std::string caption = TrimBlanks(kind_.Caption).substr(0, 35);
    Add(company_.CompanyName.Get() + RightJustified(caption, 35));
    for (const std::string& line :
         {company_.CompanyAddr1.Get(), company_.CompanyAddr2.Get(), company_.CompanyAddr3.Get(),
          company_.CompanyAddr4.Get(), company_.CompanyContact.Get()})
      if (!TrimBlanks(line).empty()) Add(line);
  }

  void AddressBlock() {
    const TDocHeader& h = DocHeader;
    if (!TrimBlanks(h.BillAddr1).empty())
      Add(PadRightWith(h.BillName, ' ', AddressColumn) + TrimBlanks(kind_.ShipToCaption));
    else
      Add(h.BillName);
    const std::pair<const std::string*, const std::string*> rows[] = {{&h.BillAddr1, &h.ShipAddr1},
                                                                      {&h.BillAddr2, &h.ShipAddr2},
                                                                      {&h.BillAddr3, &h.ShipAddr3},
                                                                      {&h.BillAddr4, &h.ShipAddr4}};
    for (const auto& [bill, ship] : rows) Add(PadRightWith(*bill, ' ', AddressColumn) + *ship);
  }

  void MemoBody() {
    Add(kind_.MemoHeader);
    Blank();
    int last = 2;
    for (int entry = 1; entry <= 25; ++entry)
      if (!TrimBlanks(DocLines[entry]).empty()) last = entry;
    for (int entry = 1; entry <= last; ++entry) Add(DocLines[entry]);
  }

  void ItemTable() {
    Add(PadRightWith(TrimBlanks(company_.QuantityHeader.Get()), ' ', 9) + " " +
        PadRightWith(TrimBlanks(company_.DescriptionHeader.Get()), ' ', 32) + " " +
        PadRightWith(TrimBlanks(company_.UnitPriceHeader.Get()), ' ', 11) + " T " +
        RightJustified("Extended", 11));
    Add("--------- -------------------------------- ----------- - -----------");
    for (int entry = 1; entry < DocLineCount; ++entry) {
      if (TrimBlanks(DocLines[entry]).empty()) continue;
      DocLineParts parts = SplitDocLine(DocLines[entry]);
      std::string extension =
          parts.Extension.empty()
              ? std::string()
              : platform::text::FormatFloat(",0.00", platform::text::StrToFloat(parts.Extension));
      Add(RightJustified(parts.Quantity, 9) + " " + PadRightWith(parts.Description, ' ', 32) + " " +
          RightJustified(TypedDecimalsText(parts.UnitPrice), 11) + " " + PadRightWith(parts.Taxable, ' ', 1) +
          " " + RightJustified(extension, 11));
      if (kind_.ProductCodes && !parts.Product.empty())
        Add(std::string(10, ' ') + TrimBlanks(company_.ProductCodeHeader.Get()) + ": " + parts.Product);
    }
  }

  void Totals() {
    const TDocHeader& h = DocHeader;
    Add("Total: " + Money(h.NetAmount));
    bool taxNamed = !TrimBlanks(company_.TaxName.Get()).empty();
    if (taxNamed || platform::text::StrToFloat(StripCommas(h.TaxAmount)) != 0)
      Add(company_.TaxName.Get() + " " + Money(h.TaxAmount));
    Add("Grand Total: " + Money(h.TotalAmount));
    if (kind_.PurchaseOrder) {
      if (TrimBlanks(h.ReceivedDate).size() > 7) Add("Date Received: " + TrimBlanks(h.ReceivedDate));
      Add("Date Required: " + TrimBlanks(h.RequiredDate));
      return;
    }
    if (TrimBlanks(h.PaidDate).size() > 7) Add("Paid Date: " + TrimBlanks(h.PaidDate));
    Add("Paid Amount: " + Money(h.PaidAmount));
    Add("Balance Due: " + Money(h.BalanceDue));
  }

  void Notes() {
    if (DocHeader.PrintNotesFlag != "Y" || TrimBlanks(DocHeader.AccountNotes).empty()) return;
    if (RuleLines()) Add(std::string(MailWidth, '-'));
    Add(DocHeader.AccountNotes);
  }

  void SalesMessage() {
    if (!company_.PrintSalesMessage) return;
    Separator();
    if (!TrimBlanks(kind_.Message[0]).empty())
      Add(kind_.Message[0] + " " + kind_.Message[1] + " " + kind_.Message[2] + " " + kind_.Message[3]);
  }

  void Aging() {
    if (!company_.PrintCustomerAging) return;
    Blank();
    Add("Total Account Balance: " + DocHeader.AccountBalance);
    const std::string captions[] = {company_.AgingCaption1.Get(), company_.AgingCaption2.Get(),
                                    company_.AgingCaption3.Get()};
    for (int i = 0; i < 3; ++i)
      Add(RightJustified(TrimBlanks(captions[i]), 10) + " " +
          TrimBlanks(DocAging[static_cast<std::size_t>(i)]));
    Add(RightJustified("Over " + TrimBlanks(company_.AgingDays3.Get()) + ":", 10) + " " +
        TrimBlanks(DocAging[3]));
  }

  void Signatures() {
    Separator();
    Add(DocPOExtras.Signature1);
    Add(DocPOExtras.Signature2);
  }

  const CompanyRec& company_;
  const MailKind& kind_;
  std::vector<std::string> lines_;
};

bool MayMailDocument() {
  return CurrentCompany.EMailWithoutAddress.Get() == "Y" || !TrimBlanks(DocHeader.EMailAddress).empty();
}

// The stored records of the invoice in the buffer that are marked once it has gone out.
void MarkInvoiceEMailed() {
  std::string today = platform::text::DateToStr(platform::text::Today()).substr(0, 10);
  MarkInvoiceRecords([&today](records::InvoiceRec& r) {
    r.PrintedMark.Set("Y");
    r.EMailedDate.Set(today);
  });
}

void MarkPurchaseOrderEMailed() {
  std::string today = platform::text::DateToStr(platform::text::Today()).substr(0, 10);
  MarkPORecords(TrimBlanks(DocHeader.DocNumber), [&today](records::POHeaderRec& r) {
    r.Printed.Set("Y");
    r.EMailedDate.Set(today);
  });
}

}  // namespace

std::string SentByEMailText(const std::string& what, int recipients) {
  return what + " (" + std::to_string(recipients) + (recipients == 1 ? " recipient" : " recipients") +
         ") sent by e-mail.";
}

// Puts the lines into the window's memo and the message, addresses it and sends it. True when
// the server took the message for at least one recipient.
bool SendDocumentMail(const std::vector<std::string>& lines, const std::string& subject,
                      const std::vector<std::string>& recipients) {
  Trtedit& window = CreateRtedit();
  window.MemoInv->clear();
  for (const std::string& line : lines) window.MemoInv->appendPlainText(platform::text::ToQString(line));
  return SendWindowMail(TrimBlanks(CurrentCompany.CompanyEMail.Get()), lines, subject, recipients);
}

bool SendWindowMail(const std::string& sender, const std::vector<std::string>& lines,
                    const std::string& subject, const std::vector<std::string>& recipients) {
  Trtedit& window = CreateRtedit();
  mail::TmsMessage& message = *window.msMessage1;
  message.SetBody(lines);
  message.Sender().SetAddress(sender);
  message.SetSubject(subject);
  message.Recipients.Clear();
  for (const std::string& address : recipients) message.Recipients.Add(address, "");
  window.msSMTP1->Send();
  return window.msSMTP1->RejectedCount() < window.msSMTP1->TotalRecipients();
}

std::vector<std::string> SplitRecipients(std::string_view field) {
  std::vector<std::string> recipients;
  std::size_t start = 0;
  while (start <= field.size()) {
    std::size_t end = field.find(';', start);
    if (end == std::string_view::npos) end = field.size();
    std::string piece = TrimBlanks(field.substr(start, end - start)).substr(0, MaxAddressLength);
    if (!piece.empty()) recipients.push_back(piece);
    start = end + 1;
  }
  return recipients;
}

std::vector<std::string> InvoiceMailText() {
  return MailText(CurrentCompany, InvoiceKind(CurrentCompany)).Compose();
}

std::vector<std::string> PurchaseOrderMailText() {
  return MailText(CurrentCompany, PurchaseOrderKind(CurrentCompany)).Compose();
}

void EmailInvoiceText() {
  RefuseWhilePostingWaits(InvoiceDocumentName(), kEMailed);
  if (!MayMailDocument()) return;
  std::vector<std::string> lines = InvoiceMailText();
  std::string subject =
      (CurrentCompany.InvoiceCaption.Get() + " - ").substr(0, 28) + TrimBlanks(DocHeader.DocNumber);
  std::vector<std::string> recipients;
  if (TrimBlanks(DocHeader.EMailAddress).size() >= 2) recipients = SplitRecipients(DocHeader.EMailAddress);
  if (recipients.empty()) {
    subject = "BAD CUSTOMER E-MAIL ADDRESS";
    recipients = {TrimBlanks(CurrentCompany.CompanyEMail.Get())};
  }
  bool wasPrinted = DocHeader.PrintedFlag == "Y";
  if (SendDocumentMail(lines, subject, recipients) && !wasPrinted) MarkInvoiceEMailed();
}

void EmailPurchaseOrderText() {
  RefuseWhilePostingWaits("PO " + TrimBlanks(DocHeader.DocNumber), kEMailed);
  if (!MayMailDocument()) return;
  std::vector<std::string> lines = PurchaseOrderMailText();
  std::string subject = TrimBlanks(CurrentCompany.POCaption.Get()) + " - " + TrimBlanks(DocHeader.DocNumber);
  std::vector<std::string> recipients = SplitRecipients(DocHeader.EMailAddress);
  if (recipients.empty()) {
    subject = "BAD VENDOR E-MAIL ADDRESS";
    recipients = {TrimBlanks(CurrentCompany.CompanyEMail.Get())};
  }
  bool wasPrinted = DocHeader.PrintedFlag == "Y";
  if (SendDocumentMail(lines, subject, recipients) && !wasPrinted) MarkPurchaseOrderEMailed();
}

}  // namespace documents
