#include "documents/statement_printing.h"

#include "documents/customer_statement.h"
#include "documents/document_refusal.h"
#include "documents/page_frame.h"
#include "forms/report_font.h"
#include "platform/print/print_job.h"
#include "platform/text/clock.h"
#include "platform/text/date_text.h"
#include "platform/text/key_text.h"
#include "platform/text/number_text.h"
#include "records/company_rec.h"

namespace documents {

using platform::print::TBrushStyle;
using platform::print::TPrinter;
using platform::text::StrToInt;
using platform::text::TrimBlanks;
using records::CompanyRec;
using records::CurrentCompany;

namespace {

// Width templates of the columns in "X" characters; the type column has no width of its own.
constexpr int ColumnTemplate[StatementColumns] = {8, 8, 27, 10, 10, 10, 0};
const char* const PrintedCaptions[StatementColumns] = {
    "Date", "Invoice#", "Reference/Comments", "Total Amount", "Paid Amount", " Balance Due", "C"};

class StatementPrinter : DocumentCanvas {
 public:
  explicit StatementPrinter(TPrinter& printer)
      : DocumentCanvas(printer),
        company_(CurrentCompany),
        settings_(ConvertPageSettings(CurrentCompany)),
        boxTop_(company_.BoxAroundStatements ? StrToInt(TrimBlanks(company_.BoxTop.Get())) : 0),
        logo_(company_.LetterheadStyle ? std::nullopt : LoadCompanyLogo(company_)) {}

  void Print() {
    platform::print::PrintJob job(printer_, "Statement");
    canvas_.Pen.Width = settings_.PenWidth;
    half_ = PageWidth() / 2;
    left_ = settings_.LeftMargin;
    y_ = settings_.TopMargin;
    canvas_.Brush.Style = TBrushStyle::bsClear;
    if (company_.BoxAroundStatements)
      canvas_.Rectangle(20, boxTop_, PageWidth() - 20, PageHeight() - 20);
    else if (company_.LetterheadStyle)
      canvas_.TextOut(0, 0, " ");
    Font(company_.InvBodyFont);
    y_ += 2 * lh_;
    PageHead(true);
    Rows();
    Foot();
    job.Finish();
  }

 private:
  int ColumnX(int column) const {
    int x = left_;
    for (int c = 0; c < column; ++c)
      x += TextWidth(std::string(static_cast<std::size_t>(ColumnTemplate[c]), 'X')) + gap_;
    return x;
  }
  int ColumnRight(int column) const {
    return ColumnX(column) + TextWidth(std::string(static_cast<std::size_t>(ColumnTemplate[column]), 'X'));
  }
  void CentredInRightHalf(int y, const std::string& text, const std::string& widthText) {
    Text(half_ + (half_ - TextWidth(widthText)) / 2, y, text);
  }
  std::string PageNumberText() const { return "Page Number: " + std::to_string(page_); }

  void PageHead(bool firstPage) {
    int accountY = 0;
    if (company_.LetterheadStyle) {
      accountY = y_ + 9 * lh_;
      CentredInRightHalf(accountY, PageNumberText(), PageNumberText());
    } else {
      int logoShift = 0;
      if (logo_) {
        PrintBitmapAt(canvas_, *logo_, left_, y_);
        logoShift = logo_->width() + 25;
      }
      const int captionY = y_ + 2 * lh_;
      SelectFont(canvas_, company_.CapHeadFont);
      CentredInRightHalf(captionY, company_.StatementCaption.Get(),
                         TrimBlanks(company_.StatementCaption.Get()));
      Font(company_.CompHeadFont);
      std::vector<std::string> block = {company_.CompanyName.Get(), company_.CompanyAddr1.Get(),
                                        company_.CompanyAddr2.Get(), company_.CompanyAddr3.Get(),
                                        company_.CompanyAddr4.Get()};
      if (firstPage) block.push_back(company_.CompanyContact.Get());
      if (!firstPage || TrimBlanks(company_.OmitCompanyAddress.Get()) != "Y") {
        int x = left_ + logoShift + (firstPage ? settings_.AddressIndent : 0);
        for (std::size_t i = 0; i < block.size(); ++i) Text(x, y_ + static_cast<int>(i) * lh_, block[i]);
      }
      CentredInRightHalf(y_ + 8 * lh_, PageNumberText(), PageNumberText());
      accountY = y_ + 9 * lh_;
    }
    Font(company_.CustHeadFont);
    int x = left_ + (firstPage ? settings_.AddressIndent : 0);
    for (std::size_t i = 0; i < Statement.Account.size(); ++i)
      Text(x, accountY + static_cast<int>(i) * lh_, Statement.Account[i]);
    y_ = accountY + 4 * lh_ + 3 * lh_;
    Band();
  }

  // A box across the page from top to bottom, framed and hatched in black.
  void HatchedBox(int top, int bottom) {
    const platform::print::TBrush before = canvas_.Brush;
    canvas_.Brush = {TBrushStyle::bsBDiagonal, platform::print::clBlack};
    canvas_.Rectangle(20, top, PageWidth() - 20, bottom);
    canvas_.Brush = {TBrushStyle::bsClear, before.Color};
  }

  void Band() {
    Font(company_.InvBodyFont);
    if (company_.UseShading) HatchedBox(y_ - halfLine_, y_ + 4 * lh_ + halfLine_);
    if (company_.HorizontalLines)
      for (int ruleY : {y_ - halfLine_, y_ + 2 * lh_ + halfLine_, y_ + 4 * lh_ + halfLine_}) Rule(ruleY);
    Text(left_, y_, "Statement Date: " + platform::text::DateToStr(platform::text::Today()));
    Text(half_, y_, "Account Number: " + Statement.CustomerNo);
    Text(left_, y_ + lh_, TrimBlanks(company_.StatementNote.Get()));
    captionY_ = y_ + 3 * lh_;
    rowY_ = y_ + 5 * lh_;
    gap_ = TextWidth("Xl");
  }

  void Rule(int y) {
    canvas_.MoveTo(20, y);
    canvas_.LineTo(PageWidth() - 20, y);
  }

  void Captions() {
    for (int column = 0; column < StatementColumns; ++column)
      Text(ColumnX(column), captionY_, PrintedCaptions[column]);
  }

  void Cells(const StatementRow& row, int y, int firstColumn) {
    for (int column = firstColumn; column < StatementColumns; ++column) {
      std::string text = TrimBlanks(row[static_cast<std::size_t>(column)]);
      if (column >= 3 && column <= 5) {
        text = text.substr(0, 35);
        Text(ColumnRight(column) - TextWidth(text), y, text);
      } else {
        Text(ColumnX(column), y, text);
      }
    }
  }

  void Rows() {
    const int records = Statement.RecordCount();
    for (int r = 1; r <= records; ++r) {
      if (r == 1) Captions();
      Cells(Statement.Rows[static_cast<std::size_t>(r)], rowY_, 0);
      rowY_ += lh_;
      if (rowY_ > PageHeight() - 250) BreakPage();
    }
  }

  void BreakPage() {
    ++page_;
    Text(settings_.LeftMargin, PageHeight() - 100, "Continued on page " + std::to_string(page_) + " ...");
    printer_.NewPage();
    left_ = settings_.LeftMargin;
    y_ = settings_.TopMargin;
    canvas_.Brush.Style = TBrushStyle::bsClear;
    if (company_.BoxAroundStatements) canvas_.Rectangle(20, boxTop_ + 5, PageWidth() - 20, PageHeight() - 20);
    Font(company_.InvBodyFont);
    y_ += 2 * lh_;
    PageHead(false);
    Captions();
  }

  void Foot() {
    if (company_.HorizontalLines) Rule(rowY_ + halfLine_);
    int y = rowY_ + lh_;
    const StatementRow& totals = Statement.Rows.back();
    Text(ColumnX(2), y, totals[2]);
    Cells(totals, y, 3);
    y += lh_;
    if (company_.HorizontalLines) Rule(y);
    MessageBlock(y);
    AgingStrip();
  }

  void MessageBlock(int y) {
    if (!company_.PrintSalesMessage || y >= PageHeight() - 100 - 7 * lh_) return;
    SelectFont(canvas_, company_.SalesMsgFont);
    const int messageHeight = LineHeight(canvas_);
    std::vector<std::string> notes;
    if (StmtShowNotes == "Y")
      notes = WrapForPrinter(StmtNotes, half_, forms::PrinterFontOf(company_.SalesMsgFont));
    const std::string messages[] = {company_.SalesMessage1.Get(), company_.SalesMessage2.Get(),
                                    company_.SalesMessage3.Get(), company_.SalesMessage4.Get()};
    for (int k = 1; k <= 4; ++k) {
      std::string line =
          StmtShowNotes == "Y"
              ? (static_cast<std::size_t>(k) <= notes.size() ? notes[static_cast<std::size_t>(k - 1)] : "")
              : messages[k - 1];
      line = TrimBlanks(line).substr(0, 80);
      Text(half_ - TextWidth(line) / 2, PageHeight() - 100 - (8 - k) * messageHeight, line);
    }
  }

  void AgingStrip() {
    if (!company_.PrintCustomerAging) return;
    Font(company_.ColHeadFont);
    if (company_.UseShading) HatchedBox(PageHeight() - 100 - lh_ - halfLine_, PageHeight() - 20);
    const int left = settings_.LeftMargin;
    Text(left, PageHeight() - 100 - lh_, "Account Status:");
    const int quarter = PageWidth() / 4;
    const std::string captions[] = {company_.AgingCaption1.Get(), company_.AgingCaption2.Get(),
                                    company_.AgingCaption3.Get()};
    for (int i = 0; i < 3; ++i)
      Text(left + i * quarter, PageHeight() - 100,
           (captions[i] + " ").substr(0, 11) + TrimBlanks(StmtAging[static_cast<std::size_t>(i)]));
    Text(left + 3 * quarter, PageHeight() - 100,
         "Over " + TrimBlanks(company_.AgingDays3.Get()) + ": " + TrimBlanks(StmtAging[3]));
  }

  CompanyRec& company_;
  FrameSettings settings_;
  int boxTop_ = 0;
  std::optional<QImage> logo_;
  int half_ = 0, left_ = 0, y_ = 0, page_ = 1, gap_ = 0, captionY_ = 0, rowY_ = 0;
};

}  // namespace

void PrintStatement(TPrinter& printer) {
  RefuseWhilePostingWaits(StatementDocumentName(), kPrinted);
  StatementPrinter(printer).Print();
}

}  // namespace documents
