#include "documents/receipt_printing.h"

#include "documents/document_buffer.h"
#include "documents/document_refusal.h"
#include "documents/invoice_printing.h"
#include "documents/page_frame.h"
#include "platform/print/print_job.h"
#include "platform/text/clock.h"
#include "platform/text/codepage.h"
#include "platform/text/format_date_time.h"
#include "platform/text/key_text.h"
#include "platform/text/upper_case.h"
#include "records/company_rec.h"

namespace documents {

using platform::print::TPrinter;
using platform::text::TrimBlanks;
using records::CompanyRec;
using records::CurrentCompany;

namespace {

constexpr std::size_t ReceiptLineWidth = 30;

class ReceiptPrinter : DocumentCanvas {
 public:
  explicit ReceiptPrinter(TPrinter& printer)
      : DocumentCanvas(printer),
        company_(CurrentCompany),
        settings_(ConvertPageSettings(CurrentCompany)),
        packingSlip_(DocMode == "PSL"),
        memo_(DocHeader.BodyKind == "M"),
        rows_(memo_ ? std::vector<ItemRow>{} : PrintedItemRows(28, packingSlip_)),
        title_(InvoiceTitle()),
        taxLine_(ShowsTaxLine()),
        logo_(LoadCompanyLogo(company_)) {}

  void Print() {
    SetBarCodeType(company_);
    platform::print::PrintJob job(printer_, InvoiceJobTitle());
    y_ = settings_.TopMargin;
    canvas_.Pen.Width = settings_.PenWidth;
    half_ = printer_.PageWidth() / 2;
    Font(company_.InvBodyFont);
    canvas_.Brush.Style = platform::print::TBrushStyle::bsClear;
    canvas_.TextOut(0, 0, " ");
    y_ += lh_;
    PrintHead();
    if (memo_)
      PrintMemoBody();
    else
      PrintItems();
    NewPageWhenFull();
    PrintFoot();
    job.Finish();
  }

 private:
  void Centred(int y, const std::string& text) { Text(half_ - TextWidth(text) / 2, y, text); }
  // A descriptive line at the left margin, cut to the receipt's width.
  void Line(const std::string& text) {
    Text(settings_.LeftMargin, y_, text.substr(0, ReceiptLineWidth));
    y_ += lh_;
  }
  // Ends one "X" short of the paper's right edge; amounts are never cut.
  void AtRightEdge(int y, const std::string& text) {
    Text(PageWidth() - TextWidth(TrimBlanks(text) + "X"), y, text);
  }
  void NewPageWhenFull() {
    if (y_ <= PageHeight() - 7 * lh_) return;
    printer_.NewPage();
    y_ = settings_.TopMargin;
  }

  void PrintHead() {
    Font(company_.CapHeadFont);
    if (logo_) PrintBitmapAt(canvas_, *logo_, half_ - logo_->width() / 2, y_);
    y_ += (logo_ ? logo_->height() : 0) + lh_;
    Centred(y_, TrimBlanks(title_.Text));
    y_ += lh_ + halfLine_;
    const std::string number = TrimBlanks(DocHeader.DocNumber);
    Centred(y_, number);
    y_ += lh_;
    if (TrimBlanks(company_.BarCodeInvoiceNumbers.Get()) == "Y") {
      const int left = half_ - TextWidth(TrimBlanks(company_.InvoiceCaption.Get())) / 2;
      if (PrintBarCode(canvas_, platform::text::UpperCase(number), left, y_, left + TextWidth("XXXXXXXXXX"),
                       y_ + 2 * lh_))
        y_ += 3 * lh_;
    }
    Font(company_.CompHeadFont);
    if (DocMode == "INV" && DocHeader.PrintedFlag == "Y" && company_.PrintDuplicateInvoice)
      Centred(y_ - lh_, "** Duplicate **");
    if (TrimBlanks(company_.OmitCompanyAddress.Get()) != "Y") PrintCompany();
    PrintAccount();
    Font(company_.InvBodyFont);
    y_ += lh_;
    Line("Date: " + TrimBlanks(DocHeader.DocDate));
    Line("Time: " + platform::text::FormatDateTime("h:nn:ss AM/PM", platform::text::Now()));
    captionRow_ = y_;
    y_ += lh_;
  }

  void PrintCompany() {
    Line(company_.CompanyName.Get());
    for (const std::string& line : {company_.CompanyAddr1.Get(), company_.CompanyAddr2.Get(),
                                    company_.CompanyAddr3.Get(), company_.CompanyAddr4.Get()})
      if (!TrimBlanks(line).empty()) Line(line);
    if (!TrimBlanks(company_.CompanyContact.Get()).empty()) {
      Line(company_.CompanyContact.Get());
      y_ += lh_;  // a blank line closes the company block
    }
  }

  void PrintAccount() {
    Font(company_.CustHeadFont);
    const TDocHeader& h = DocHeader;
    Line(h.BillName);
    for (const std::string* line : {&h.BillAddr1, &h.BillAddr2, &h.BillAddr3, &h.BillAddr4})
      if (!TrimBlanks(*line).empty()) Line(*line);
    y_ += lh_;
    if (TrimBlanks(h.ShipAddr1).empty()) return;
    Line(company_.InvoiceShipToCaption.Get());
    Line(h.ShipAddr1);
    for (const std::string* line : {&h.ShipAddr2, &h.ShipAddr3, &h.ShipAddr4})
      if (!TrimBlanks(*line).empty()) Line(*line);
  }

  // Memo text starts at x = 1 whatever the margin.
  void PrintMemoBody() {
    MemoFont(company_);
    Text(1, captionRow_, TrimBlanks(company_.InvoiceMemoHeader.Get()));
    for (int entry = 1; entry <= 25; ++entry) {
      if (entry >= 20 && TrimBlanks(DocLines[entry]).empty()) continue;
      Text(1, y_, DocLines[entry]);
      y_ += lh_;
    }
    y_ = std::max(y_, PageHeight() - 100 - 14 * lh_);
    y_ += halfLine_;
  }

  void PrintItems() {
    const bool productCodes = company_.ProductCodesOnInvoices != 0;
    const bool barCodes = TrimBlanks(company_.BarCodesOnInvoices.Get()) == "Y";
    const int left = settings_.LeftMargin;
    for (const ItemRow& row : rows_) {
      if (productCodes) Line((company_.ProductCodeHeader.Get() + " ").substr(0, 16) + row.Product);
      Line(row.Description);
      Text(left, y_, row.Quantity + " @ " + row.UnitPrice);
      AtRightEdge(y_, row.Extension + " " + row.Taxable);
      y_ += 2 * lh_;
      if (barCodes && !row.Product.empty() &&
          PrintBarCode(canvas_, platform::text::UpperCase(row.Product), left, y_,
                       left + TextWidth(std::string(15, 'X')), y_ + 2 * lh_))
        y_ += 2 * lh_;
      NewPageWhenFull();
    }
    y_ += 2 * halfLine_;
  }

  void TotalLine(const std::string& label, const std::string& amount) {
    Text(settings_.LeftMargin, y_, label.substr(0, ReceiptLineWidth));
    if (!amount.empty()) AtRightEdge(y_, TrimBlanks(company_.CurrencySymbol.Get()) + TrimBlanks(amount));
  }

  void PrintTotals() {
    const TDocHeader& h = DocHeader;
    TotalLine("Total:", h.NetAmount);
    if (taxLine_) {
      y_ += lh_;
      TotalLine(company_.TaxName.Get(), h.TaxAmount);
    }
    y_ += lh_;
    TotalLine("Grand Total:", h.TotalAmount);
    if (TrimBlanks(h.PaidDate).size() > 7) {
      y_ += lh_;
      TotalLine("Paid Date: " + TrimBlanks(h.PaidDate), "");
    }
    y_ += lh_;
    TotalLine("Paid Amount:", h.PaidAmount);
    y_ += lh_;
    TotalLine("Balance Due:", h.BalanceDue);
  }

  void PrintFoot() {
    if (packingSlip_) {
      y_ += 2 * lh_;
      Line("This is a packing slip.");
    } else {
      PrintTotals();
    }
    y_ += lh_ + halfLine_;
    if (company_.HorizontalLines) {
      canvas_.MoveTo(20, y_);
      canvas_.LineTo(PageWidth() - 20, y_);
    }
    if (company_.PrintSalesMessage) PrintSalesMessage();
  }

  // The four message lines as one text, wrapped to the paper's width by the notes box.
  void PrintSalesMessage() {
    Font(company_.SalesMsgFont);
    const CompanyRec& c = company_;
    const std::string message = TrimBlanks(c.SalesMessage1.Get()) + " " + TrimBlanks(c.SalesMessage2.Get()) +
                                " " + TrimBlanks(c.SalesMessage3.Get()) + " " +
                                TrimBlanks(c.SalesMessage4.Get());
    const int printable = PageWidth() - settings_.LeftMargin - TextWidth("X");
    y_ += lh_;
    for (const std::string& line : WrapForPrinter(TrimBlanks(message), printable, canvas_.Font)) {
      Text(settings_.LeftMargin, y_, TrimBlanks(line));
      y_ += lh_;
    }
  }

  const CompanyRec& company_;
  const FrameSettings settings_;
  const bool packingSlip_;
  const bool memo_;
  const std::vector<ItemRow> rows_;
  const DocumentTitle title_;
  const bool taxLine_;
  const std::optional<QImage> logo_;

  int y_ = 0, half_ = 0, captionRow_ = 0;
};

}  // namespace

void PrintReceipt(TPrinter& printer) {
  RefuseWhilePostingWaits(InvoiceDocumentName(), kPrinted);
  ReceiptPrinter(printer).Print();
  MarkInvoicePrintedAfterJob();
}

}  // namespace documents
