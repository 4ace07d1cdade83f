#include "documents/page_frame.h"

#include <QFileInfo>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>

#include "documents/document_buffer.h"
#include "documents/document_view.h"
#include "forms/report_font.h"
#include "platform/barcode/barcode.h"
#include "platform/print/print_job.h"
#include "platform/text/codepage.h"
#include "platform/text/format_float.h"
#include "platform/text/key_text.h"
#include "platform/text/number_text.h"
#include "platform/text/upper_case.h"
#include "platform/ui/application.h"

namespace documents {

using platform::print::TCanvas;
using platform::print::TPrinter;
using platform::text::StripCommas;
using platform::text::StrToInt;
using platform::text::ToQString;
using platform::text::TrimBlanks;
using records::CompanyRec;
using records::CurrentCompany;

namespace {

// StrToInt of a setting after a blank one has been replaced by its default in the record.
template <std::size_t N>
int SettingWithDefault(platform::text::ShortString<N>& setting, const char* blankDefault) {
  if (TrimBlanks(setting.Get()).empty()) setting.Set(blankDefault);
  return StrToInt(TrimBlanks(setting.Get()));
}

}  // namespace

FrameSettings ConvertPageSettings(CompanyRec& company) {
  FrameSettings s;
  s.LeftMargin = StrToInt(TrimBlanks(company.FormLeftMargin.Get()));
  s.TopMargin = StrToInt(TrimBlanks(company.FormTopMargin.Get()));
  s.AddressIndent = SettingWithDefault(company.AddressIndent, "0");
  s.PenWidth = StrToInt(company.FormLineWidth.Get());
  return s;
}

FrameSettings ConvertFrameSettings(CompanyRec& company) {
  FrameSettings s = ConvertPageSettings(company);
  if (company.BoxAroundForm) s.BoxTop = StrToInt(TrimBlanks(company.BoxTop.Get()));
  if (company.UseShading) s.ShadeSpacing = SettingWithDefault(company.ShadeLineSpacing, "8");
  if (company.MoveDownTotals) s.MaxLines = StrToInt(TrimBlanks(company.MaxLines.Get()));
  return s;
}

void SelectFont(TCanvas& canvas, const records::FontRec& font) {
  canvas.Font = forms::PrinterFontOf(font);
}

int LineHeight(const TCanvas& canvas) {
  return canvas.TextHeight("MXjpy");
}

void SelectMemoFont(TCanvas& canvas, const CompanyRec& company) {
  SelectFont(canvas, company.InvBodyFont);
  canvas.Font.Name = ToQString(company.BrowserFontName.Get());
  canvas.Font.Size = std::max(1, company.BrowserFontSize.Get() + 2);
}

void PrintBitmapAt(TCanvas& canvas, const QImage& bitmap, int x, int y) {
  canvas.Draw(x, y, bitmap);
}

std::optional<QImage> LoadCompanyLogo(const CompanyRec& company) {
  const std::string path = TrimBlanks(company.LogoFile.Get());
  if (!company.PrintLogo || path.empty()) return std::nullopt;
  const QString file = ToQString(path);
  if (!QFileInfo(file).isFile()) return std::nullopt;
  QImage image(file);
  if (image.isNull()) throw EInvalidGraphic("Bitmap image is not valid.");
  return image;
}

void SetBarCodeType(const CompanyRec& company) {
  CreateRtedit().FormBarC.BarCodeType = platform::barcode::BarCodeTypeOfCompany(company.BarCodeType.Get());
}

bool PrintBarCode(TCanvas& canvas, const std::string& code, int left, int top, int right, int bottom) {
  platform::barcode::TBarCode& barCode = CreateRtedit().FormBarC;
  try {
    barCode.SetCode(code);
  } catch (const platform::barcode::EBarCodeError&) {
    return false;
  }
  barCode.Paint(canvas, left, top, right, bottom);
  return true;
}

namespace {

// A printer font as the notes box on screen takes it.
QFont ScreenFontOf(const platform::print::TFont& font) {
  QFont screen(font.Name, font.Size);
  screen.setBold(font.Style & platform::print::fsBold);
  screen.setItalic(font.Style & platform::print::fsItalic);
  return screen;
}

std::vector<std::string> WrapNotes(const std::string& text, int width, const QFont& font) {
  QTextEdit* note = CreateRtedit().CustNote;
  note->setFont(font);
  note->resize(width, note->height());
  note->setPlainText(ToQString(text).replace("\r\n", "\n").replace('\r', '\n'));
  platform::ui::Application->ProcessMessages();  // lets the box lay the text out
  QTextDocument* document = note->document();
  document->setTextWidth(width);
  std::vector<std::string> lines;
  for (QTextBlock block = document->begin(); block.isValid(); block = block.next()) {
    QTextLayout* layout = block.layout();
    const QString blockText = block.text();
    if (!layout || layout->lineCount() == 0) {
      lines.push_back(platform::text::ToAnsi(blockText));
      continue;
    }
    for (int i = 0; i < layout->lineCount(); ++i) {
      const QTextLine line = layout->lineAt(i);
      lines.push_back(platform::text::ToAnsi(blockText.mid(line.textStart(), line.textLength())));
    }
  }
  return lines;
}

}  // namespace

std::vector<std::string> WrapForPrinter(const std::string& text, int printerWidth,
                                        const platform::print::TFont& font) {
  const int dpi = CreateRtedit().CustNote->logicalDpiX();
  return WrapNotes(text, std::max(1, printerWidth * dpi / platform::print::kPrinterDpi), ScreenFontOf(font));
}

int DocumentCanvas::TextWidth(const std::string& text) const {
  return canvas_.TextWidth(ToQString(text));
}

void DocumentCanvas::Text(int x, int y, const std::string& text) {
  if (!text.empty()) canvas_.TextOut(x, y, ToQString(text));
}

void DocumentCanvas::Font(const records::FontRec& font) {
  SelectFont(canvas_, font);
  lh_ = LineHeight(canvas_);
  halfLine_ = lh_ / 2;
}

void DocumentCanvas::MemoFont(const CompanyRec& company) {
  SelectMemoFont(canvas_, company);
  lh_ = LineHeight(canvas_);
  halfLine_ = lh_ / 2;
}

namespace {

constexpr std::size_t CountWidth = 32;
const char* const Mask = "xxxxxxxxxx";

bool Counts(const std::string& entry, std::size_t from) {
  if (entry.size() < from) return false;
  return !TrimBlanks(std::string_view(entry).substr(from - 1, CountWidth)).empty();
}

}  // namespace

std::vector<ItemRow> PrintedItemRows(std::size_t countFrom, bool mask) {
  int last = 0;
  for (int entry = 1; entry < DocLineCount; ++entry)
    if (Counts(DocLines[entry], countFrom)) last = entry;
  std::vector<ItemRow> rows;
  for (int entry = 1; entry <= last; ++entry) {
    const DocLineParts parts = SplitDocLine(DocLines[entry]);
    ItemRow row{parts.Product, parts.Quantity, parts.Description, "", parts.Taxable, "", 0};
    if (!parts.Quantity.empty()) row.QuantityValue = platform::text::StrToFloat(StripCommas(parts.Quantity));
    const std::string extension = StripCommas(parts.Extension);
    if (StripCommas(parts.UnitPrice).empty() && parts.Quantity.empty()) {
      row.UnitPrice = row.Extension = " ";
    } else if (mask) {
      row.UnitPrice = row.Extension = Mask;
    } else {
      row.UnitPrice = TypedDecimalsText(parts.UnitPrice);
      // A line without an extension prints none rather than stopping the whole document.
      row.Extension = extension.empty()
                          ? " "
                          : platform::text::FormatFloat(",0.00", platform::text::StrToFloat(extension));
    }
    rows.push_back(std::move(row));
  }
  return rows;
}

namespace {

enum class Align { Left, Right };

struct Column {
  std::string Template;
  std::string Caption;
  Align Alignment;
  std::string ItemRow::*Text;
  int X = 0, Width = 0, Separator = 0;
};

class FramePrinter : DocumentCanvas {
 public:
  FramePrinter(TPrinter& printer, const FrameDocument& document)
      : DocumentCanvas(printer),
        doc_(document),
        company_(CurrentCompany),
        settings_(ConvertFrameSettings(CurrentCompany)),
        memo_(DocHeader.BodyKind == "M"),
        rows_(memo_ ? std::vector<ItemRow>{} : PrintedItemRows(document.CountFrom, document.MaskAmounts)),
        logo_(LoadCompanyLogo(company_)) {}

  void Print() {
    SetBarCodeType(company_);
    platform::print::PrintJob job(printer_, doc_.SetJobTitle ? doc_.JobTitle : printer_.Title());
    StartPage();
    DrawPageHeader(true);
    if (memo_)
      PrintMemoBody();
    else
      PrintItemTable();
    PrintTotalsBlock();
    PrintMessageBlock();
    if (doc_.Strip) PrintBottomStrip();
    job.Finish();
  }

 private:
  void CentredInRightHalf(int y, const std::string& text, const std::string& widthText) {
    Text(half_ + (half_ - TextWidth(widthText)) / 2, y, text);
  }
  void Rule(int y) {
    canvas_.MoveTo(20, y);
    canvas_.LineTo(PageWidth() - 20, y);
  }
  // Margins, pen width and half width, at the start of the job and of every new page.
  void StartPage() {
    y_ = settings_.TopMargin;
    canvas_.Pen.Width = settings_.PenWidth;
    half_ = PageWidth() / 2;
  }

  void DrawPageHeader(bool firstPage) {
    canvas_.Brush.Style = platform::print::TBrushStyle::bsClear;
    if (company_.BoxAroundForm)
      canvas_.Rectangle(20, settings_.BoxTop, PageWidth() - 20, PageHeight() - 20);
    else
      canvas_.TextOut(0, 0, " ");
    Font(company_.InvBodyFont);
    y_ += 2 * lh_;
    logoShift_ = 0;
    SelectFont(canvas_, company_.CapHeadFont);
    if (company_.LetterheadStyle) {
      if (!doc_.LetterheadMarker.empty()) Text(half_ + 150, y_ + 2 * lh_, doc_.LetterheadMarker);
      y_ += 9 * lh_;
    } else {
      DrawTitleAndCompany(firstPage);
    }
    DrawAccountBlock();
    DrawHeaderBox();
  }

  void DrawTitleAndCompany(bool firstPage) {
    if (logo_) {
      PrintBitmapAt(canvas_, *logo_, settings_.LeftMargin, y_);
      logoShift_ = logo_->width() + 25;
    }
    CentredInRightHalf(y_ + 2 * lh_, doc_.Title, doc_.TitleWidthText);
    if (firstPage) {
      const std::string number = TrimBlanks(DocHeader.DocNumber);
      const int numberY = doc_.NumberOneLineLower ? y_ + 5 * lh_ : y_ + 4 * lh_ + halfLine_;
      CentredInRightHalf(numberY, number, number);
      if (doc_.NumberBarCode) {
        const int left = half_ + (half_ - TextWidth(doc_.NumberCaption)) / 2;
        PrintBarCode(canvas_, platform::text::UpperCase(number), left, y_ + 7 * lh_ + halfLine_,
                     left + TextWidth("XXXXXXXXXX"), y_ + 9 * lh_ + halfLine_);
      }
    }
    SelectFont(canvas_, company_.CompHeadFont);
    lh_ = LineHeight(canvas_);
    if (!firstPage) {
      const std::string page = "page number " + std::to_string(printer_.PageNumber());
      CentredInRightHalf(y_ + 4 * lh_, page, page);
    }
    if (firstPage && !doc_.DuplicateMarker.empty())
      CentredInRightHalf(y_, doc_.DuplicateMarker, doc_.DuplicateMarker);
    if (TrimBlanks(company_.OmitCompanyAddress.Get()) == "Y") {
      y_ += 9 * lh_;
      return;
    }
    const int x = settings_.LeftMargin + logoShift_ + settings_.AddressIndent;
    const std::string lines[] = {company_.CompanyName.Get(),  company_.CompanyAddr1.Get(),
                                 company_.CompanyAddr2.Get(), company_.CompanyAddr3.Get(),
                                 company_.CompanyAddr4.Get(), company_.CompanyContact.Get()};
    for (const std::string& line : lines) {
      Text(x, y_, line);
      if (&line != &lines[5]) y_ += lh_;
    }
    y_ += 4 * lh_;
  }

  void DrawAccountBlock() {
    Font(company_.CustHeadFont);
    const TDocHeader& h = DocHeader;
    const std::string shipCaption = TrimBlanks(h.ShipAddr1).empty() ? "" : doc_.ShipToCaption;
    const std::pair<std::string, std::string> rows[] = {{h.BillName, shipCaption},
                                                        {h.BillAddr1, h.ShipAddr1},
                                                        {h.BillAddr2, h.ShipAddr2},
                                                        {h.BillAddr3, h.ShipAddr3},
                                                        {h.BillAddr4, h.ShipAddr4}};
    for (int row = 0; row < 5; ++row) {
      Text(settings_.LeftMargin + settings_.AddressIndent, y_, rows[row].first);
      Text(half_ + settings_.AddressIndent, y_, rows[row].second);
      y_ += row < 4 ? lh_ : 3 * lh_;
    }
  }

  // Lines across the box from top + spacing down, at least two pixels above its bottom, in
  // a one-pixel pen, dotted for a "D" style.
  void Hatch(int top, int bottom) {
    canvas_.Pen.Width = 1;
    canvas_.Pen.Style = TrimBlanks(company_.ShadeLineStyle.Get()) == "D"
                            ? platform::print::TPenStyle::psDot
                            : platform::print::TPenStyle::psSolid;
    const int spacing = std::max(1, settings_.ShadeSpacing);
    for (int y = top + spacing; y < bottom; y += spacing)
      if (y < bottom - 2) {
        canvas_.MoveTo(20, y);
        canvas_.LineTo(PageWidth() - 20, y);
      }
    canvas_.Brush.Style = platform::print::TBrushStyle::bsClear;
    canvas_.Pen.Width = settings_.PenWidth;
    canvas_.Pen.Style = platform::print::TPenStyle::psSolid;
  }

  void ShadedBox(int top, int bottom) {
    canvas_.Rectangle(20, top, PageWidth() - 20, bottom);
    Hatch(top, bottom);
  }

  void DrawHeaderBox() {
    Font(company_.InvBodyFont);
    canvas_.Brush.Style = platform::print::TBrushStyle::bsClear;
    const int boxBottom = y_ + 3 * lh_ + halfLine_;
    if (company_.UseShading) ShadedBox(y_ - halfLine_, boxBottom);
    if (company_.HorizontalLines) {
      Rule(y_ - halfLine_);
      Rule(boxBottom);
      Rule(y_ + 5 * lh_ + halfLine_);
    }
    columnTop_ = boxBottom;
    const TDocHeader& h = DocHeader;
    Text(settings_.LeftMargin, y_, "Date: " + TrimBlanks(h.DocDate));
    const std::string number = doc_.NumberLabel + TrimBlanks(h.DocNumber);
    Text(half_ - TextWidth(number) / 2 - TextWidth("XXXX"), y_, number);
    Text((PageWidth() / 3) * 2, y_, doc_.AccountLabel + TrimBlanks(h.AccountNo));
    Text(settings_.LeftMargin, y_ + lh_, "Payment Terms: " + h.Terms);
    Text(settings_.LeftMargin, y_ + 2 * lh_, "Reference: " + h.Reference);
    captionY_ = y_ + 4 * lh_;
    y_ += 6 * lh_;
    LayOutTable();
  }

  void LayOutTable() {
    columns_.clear();
    if (doc_.ProductCodes)
      columns_.push_back({"XXXXXXXXXXXXX", company_.ProductCodeHeader.Get(), Align::Left, &ItemRow::Product});
    columns_.push_back({"XXXXXXXX", company_.QuantityHeader.Get(), Align::Right, &ItemRow::Quantity});
    columns_.push_back(
        {std::string(32, 'X'), company_.DescriptionHeader.Get(), Align::Left, &ItemRow::Description});
    columns_.push_back({"XXXXXXXXX", company_.UnitPriceHeader.Get(), Align::Right, &ItemRow::UnitPrice});
    columns_.push_back({"X", "T", Align::Left, &ItemRow::Taxable});
    columns_.push_back({"XXXXXXXXXX", company_.ExtensionHeader.Get(), Align::Right, &ItemRow::Extension});
    const std::string tableTemplate = memo_               ? std::string(80, 'X')
                                      : doc_.ProductCodes ? std::string(83, 'X') + "x"
                                                          : std::string(72, 'X') + "x";
    tableLeft_ = std::max(1, (PageWidth() - TextWidth(tableTemplate)) / 2);
    gap_ = TextWidth("Xx");
    int x = tableLeft_;
    for (Column& column : columns_) {
      column.X = x;
      column.Width = TextWidth(column.Template);
      column.Separator = x + column.Width + gap_ / 2;
      x += column.Width + gap_;
    }
    const std::size_t first = doc_.ProductCodes ? 1 : 0;
    quantitySep_ = columns_[first].Separator;
    descriptionSep_ = columns_[first + 1].Separator;
    taxSep_ = columns_[first + 3].Separator;
  }

  void PrintItemTable() {
    bool captions = true;
    const Column& description = columns_[doc_.ProductCodes ? 2 : 1];
    for (std::size_t index = 0; index < rows_.size(); ++index) {
      const ItemRow& row = rows_[index];
      ++linesOnPage_;
      quantityTotal_ += row.QuantityValue;
      for (const Column& column : columns_) {
        const std::string& text = row.*column.Text;
        Text(column.Alignment == Align::Left ? column.X : column.X + column.Width - TextWidth(text), y_,
             text);
        if (captions) Text(column.X, captionY_, column.Caption);
      }
      captions = false;
      y_ += lh_;
      const std::string code = TrimBlanks(row.Product);
      if (doc_.LineBarCodes && !code.empty() &&
          PrintBarCode(canvas_, platform::text::UpperCase(code), description.X, y_,
                       description.X + TextWidth("XXXXXXXXXX"), y_ + 2 * lh_)) {
        y_ += 2 * lh_;
        linesOnPage_ += 2;
      }
      if (index + 1 < rows_.size() && y_ > PageHeight() - 12 * lh_) {
        BreakPage();
        captions = true;
      }
    }
    if (company_.MoveDownTotals && linesOnPage_ <= settings_.MaxLines)
      y_ += (settings_.MaxLines - linesOnPage_ + 1) * lh_;
    y_ += halfLine_;
    ColumnLines();
  }

  void ColumnLines() {
    if (!company_.VerticalLines) return;
    for (std::size_t i = 0; i + 1 < columns_.size(); ++i) {
      canvas_.MoveTo(columns_[i].Separator, columnTop_);
      canvas_.LineTo(columns_[i].Separator, y_);
    }
  }

  void BreakPage() {
    linesOnPage_ = 0;
    y_ += halfLine_;
    ColumnLines();
    const std::string footer =
        "Continued on page number " + std::to_string(printer_.PageNumber() + 1) + " ...";
    Text(half_ - TextWidth(footer) / 2, y_ + 3 * lh_, footer);
    printer_.NewPage();
    StartPage();
    DrawPageHeader(false);
  }

  void PrintMemoBody() {
    // The memo's quantity is the document's quantity; a text that is no number counts none.
    quantityTotal_ = platform::text::TryStrToFloat(StripCommas(DocMemoItem.MemoQuantity)).value_or(0);
    MemoFont(company_);
    Text(tableLeft_, captionY_, TrimBlanks(doc_.MemoCaption));
    for (int entry = 1; entry <= 25; ++entry) {
      const std::string& text = DocLines[entry];
      if (entry >= 20 && TrimBlanks(text).empty()) continue;
      Text(tableLeft_, y_, text);
      y_ += lh_;
    }
    y_ = std::max(y_, PageHeight() - 100 - 14 * lh_);
    const int sixth = PageWidth() / 6;
    quantitySep_ = sixth;
    descriptionSep_ = 3 * sixth;
    taxSep_ = 4 * sixth;
  }

  void PrintTotalsBlock() {
    if (company_.HorizontalLines) Rule(y_);
    y_ += halfLine_;
    if (company_.TotalQuantities == 1)
      Text(quantitySep_, y_,
           "Total " + TrimBlanks(company_.QuantityHeader.Get()) + ": " +
               platform::text::FloatToStr(quantityTotal_));
    if (!doc_.TotalsSentence.empty()) {
      y_ += 2 * lh_;
      Text(quantitySep_, y_, doc_.TotalsSentence);
      y_ += lh_;
    }
    const int moneyRight = taxSep_ + gap_ / 2 + TextWidth("XXXXXXXXXXXX");
    const std::string currency = TrimBlanks(company_.CurrencySymbol.Get());
    for (std::size_t i = 0; i < doc_.Totals.size(); ++i) {
      const TotalsRow& row = doc_.Totals[i];
      if (i > 0) y_ += lh_;
      Text(descriptionSep_, y_, row.Label);
      if (!row.Amount.empty()) {
        const std::string amount = currency + row.Amount;
        Text(moneyRight - TextWidth(amount), y_, amount);
      }
      Text(quantitySep_, y_, row.SideText);
    }
    y_ += lh_ + halfLine_;
    if (company_.HorizontalLines) Rule(y_);
  }

  void PrintMessageBlock() {
    if (!(PageHeight() - 100 - 7 * lh_ > y_) || !company_.PrintSalesMessage) return;
    SelectFont(canvas_, company_.SalesMsgFont);
    lh_ = LineHeight(canvas_);
    std::array<std::string, 4> lines = doc_.Messages;
    if (DocHeader.PrintNotesFlag == "Y") {
      // Wrapped to half the page as it prints, so that no line runs past the 80 it may keep.
      const std::vector<std::string> notes =
          WrapForPrinter(DocHeader.AccountNotes, PageWidth() / 2, canvas_.Font);
      for (std::size_t k = 0; k < 4; ++k) lines[k] = k < notes.size() ? notes[k] : "";
    }
    for (int k = 1; k <= 4; ++k) {
      const std::string line = TrimBlanks(lines[k - 1]).substr(0, 80);
      Text(PageWidth() / 2 - TextWidth(line) / 2, PageHeight() - 100 - (8 - k) * lh_, line);
    }
  }

  void PrintBottomStrip() {
    Font(company_.ColHeadFont);
    canvas_.Brush.Style = platform::print::TBrushStyle::bsClear;
    if (company_.UseShading) ShadedBox(PageHeight() - 3 * lh_ - halfLine_, PageHeight() - 20);
    for (int row = 0; row < 2; ++row) {
      const std::vector<std::string>& cells = doc_.StripRows[row];
      for (std::size_t j = 0; j < cells.size(); ++j)
        Text(settings_.LeftMargin + static_cast<int>(j) * (PageWidth() / 4), PageHeight() - (3 - row) * lh_,
             cells[j]);
    }
  }

  const FrameDocument& doc_;
  const CompanyRec& company_;
  const FrameSettings settings_;
  const bool memo_;
  const std::vector<ItemRow> rows_;
  const std::optional<QImage> logo_;

  int y_ = 0, half_ = 0, logoShift_ = 0;
  int tableLeft_ = 1, gap_ = 0, captionY_ = 0, columnTop_ = 0;
  int quantitySep_ = 0, descriptionSep_ = 0, taxSep_ = 0;
  int linesOnPage_ = 0;
  double quantityTotal_ = 0;
  std::vector<Column> columns_;
};

}  // namespace

void PrintFramedDocument(TPrinter& printer, const FrameDocument& document) {
  FramePrinter(printer, document).Print();
}

}  // namespace documents
