#include "reports/label_printing.h"

#include <QImage>
#include <algorithm>
#include <array>
#include <stdexcept>

#include "platform/barcode/barcode.h"
#include "platform/files/path.h"
#include "platform/print/print_job.h"
#include "platform/print/printer.h"
#include "platform/text/codepage.h"
#include "platform/text/key_text.h"
#include "platform/text/upper_case.h"
#include "platform/text/word_list.h"
#include "records/company_rec.h"
#include "reports/label_lookup.h"

namespace reports {

using platform::print::TCanvas;
using platform::text::ToQString;
using platform::text::TrimBlanks;

std::vector<LabelSpot> LabelSpots(const LabelSheet& sheet, int start, int count) {
  std::vector<LabelSpot> spots;
  const int perSheet = sheet.Columns * sheet.Rows;
  if (perSheet <= 0) return spots;
  int position = start - 1;  // on the first sheet; skipping never starts a page
  int page = 0;
  for (int i = 0; i < count; ++i, ++position) {
    if (position == perSheet) {
      position = 0;
      ++page;
    }
    const int row = position / sheet.Columns;
    const int column = position % sheet.Columns;
    spots.push_back({page, sheet.Left + column * sheet.Width, sheet.Top + row * sheet.Height});
  }
  return spots;
}

std::string LabelSettingsError(const LabelPrintSettings& s) {
  const LabelSheet& sheet = s.Sheet;
  if (sheet.Columns < 1 || sheet.Rows < 1 || sheet.Width < 1 || sheet.Height < 1)
    return "Columns across, rows down, label width and label height must be at least 1.";
  if (s.Start < 1 || s.Start > sheet.Columns * sheet.Rows)
    return "The start label must lie on the sheet: 1 to " + std::to_string(sheet.Columns * sheet.Rows) + ".";
  if (s.Copies < 1) return "Print at least one copy of each label.";
  return "";
}

namespace {

// A queued row with its record as read from the files.
struct LabelRecord {
  char Letter = 'C';
  std::string Name;
  std::array<std::string, 4> Lines;
  records::ProductRec Product{};
};

bool ReadLabelRecord(QueuedRecords& files, const LabelQueueRow& row, bool shipping, LabelRecord& label) {
  label.Letter = row.Letter == "P" ? 'P' : (row.Letter == "C" ? 'C' : 'V');
  if (label.Letter == 'P') return files.Product(row.Code, label.Product);
  if (label.Letter == 'C') {
    records::CustomerRec c{};
    if (!files.Customer(row.Code, c)) return false;
    label.Name = c.CustomerName.Get();
    label.Lines = shipping ? std::array{c.ShipTo1.Get(), c.ShipTo2.Get(), c.ShipTo3.Get(), c.ShipTo4.Get()}
                           : std::array{c.CustBillTo1.Get(), c.CustBillTo2.Get(), c.CustBillTo3.Get(),
                                        c.CustBillTo4.Get()};
    return true;
  }
  records::VendorRec v{};
  if (!files.Vendor(row.Code, v)) return false;
  label.Name = v.VendorName.Get();
  label.Lines =
      shipping ? std::array{v.ShipTo1.Get(), v.ShipTo2.Get(), v.ShipTo3.Get(), v.ShipTo4.Get()}
               : std::array{v.OrderAddr1.Get(), v.OrderAddr2.Get(), v.OrderAddr3.Get(), v.OrderAddr4.Get()};
  return true;
}

// The 12-mil bars labels are laid out for, rounded up to whole printer dots, where the label has
// room for them; narrower labels get the narrowest bars that still read.
constexpr int kLabelModule = 4;
// Blank modules a scanner needs after the last bar, before the next label begins.
constexpr int kQuietModules = 10;

class LabelPainter {
 public:
  LabelPainter(TCanvas& canvas, const LabelPrintSettings& s, QImage bitmap)
      : canvas_(canvas), s_(s), bitmap_(std::move(bitmap)) {
    h_ = canvas_.TextHeight("MXjpy");
    barcode_ = platform::barcode::BarCodeTypeOfCompany(records::CurrentCompany.BarCodeType.Get());
  }

  void Paint(const LabelSpot& at, const LabelRecord& label) {
    int o = 0, w = 0;
    QString caption;
    if (s_.ReturnAddress) {
      ReturnAddress(at);
      o = 6 * h_;
      caption = ToQString(TrimBlanks(s_.Caption).substr(0, 10));
      w = canvas_.TextWidth(ToQString(TrimBlanks(s_.Caption)) + "X");
    }
    canvas_.TextOut(at.X, at.Y + o, caption);
    const int x = at.X + w, y = at.Y + o;
    if (label.Letter != 'P') {
      canvas_.TextOut(x, y, ToQString(label.Name));
      for (int k = 0; k < 4; ++k) canvas_.TextOut(x, y + (k + 1) * h_, ToQString(label.Lines[k]));
      return;
    }
    const records::ProductRec& p = label.Product;
    const std::string code = platform::text::UpperCase(TrimBlanks(p.Code.Get()));
    canvas_.TextOut(x, y, ToQString(code));
    canvas_.TextOut(x, y + h_, ToQString(p.Description.Get()));
    canvas_.TextOut(x, y + 2 * h_,
                    ToQString(((p.Price.Get() + "   ").substr(0, 13) + p.Location.Get()).substr(0, 33)));
    if (records::CurrentCompany.BarCodesOnLabels.Get() == "Y")
      BarCode(code, x, y + 3 * h_, at.X + s_.Sheet.Width);
  }

  // Codes whose bars did not fit their label, each once, in the order met.
  const std::vector<std::string>& UnfitCodes() const { return unfit_; }

 private:
  // The bars of a code from (x, y), three lines high, as wide as the symbol at the labels' module
  // width, ending a quiet zone before the label's right edge. A code the symbology refuses gets
  // none, nor does one too wide for the label, which is noted.
  void BarCode(const std::string& code, int x, int y, int labelRight) {
    if (!platform::barcode::BarCodeError(barcode_, code).empty()) return;
    const int modules = static_cast<int>(platform::barcode::EncodeBarCode(barcode_, code).modules.size());
    const int module =
        std::min(kLabelModule, platform::barcode::ModuleWidth(labelRight - x, modules + kQuietModules));
    if (module > 0) {
      platform::barcode::PaintBarCode(canvas_, barcode_, code, x, y, x + modules * module, y + 3 * h_);
    } else if (std::find(unfit_.begin(), unfit_.end(), code) == unfit_.end()) {
      unfit_.push_back(code);  // the label shows the code on its first line already
    }
  }

  void ReturnAddress(const LabelSpot& at) {
    int b = 0;
    if (!bitmap_.isNull()) {
      canvas_.Draw(at.X, at.Y, bitmap_);
      b = bitmap_.width() + 25;
    }
    const records::CompanyRec& c = records::CurrentCompany;
    const std::array lines{c.CompanyName.Get(), c.CompanyAddr1.Get(), c.CompanyAddr2.Get(),
                           c.CompanyAddr3.Get(), c.CompanyAddr4.Get()};
    for (int k = 0; k < 5; ++k) canvas_.TextOut(at.X + b, at.Y + k * h_, ToQString(lines[k]));
    if (!s_.PrintLine) return;
    canvas_.Pen.Width = std::max(1, s_.LineWidth);
    const int lineY = at.Y + 5 * h_ + 20;
    canvas_.MoveTo(at.X - 25, lineY);
    canvas_.LineTo(at.X + (s_.Sheet.Width / 10) * 8, lineY);
  }

  TCanvas& canvas_;
  const LabelPrintSettings& s_;
  int h_ = 0;
  QImage bitmap_;
  platform::barcode::TBarCodeType barcode_;
  std::vector<std::string> unfit_;
};

// The bitmap beside the return address; none when no return address or no bitmap is chosen, or
// the file chosen is no longer there (the block is printed without it).
QImage ReturnAddressBitmap(const LabelPrintSettings& s) {
  const QString path = s.BitmapPath.trimmed();
  QImage bitmap;
  if (!s.ReturnAddress || path.isEmpty() || !platform::files::Exists(path.toStdString())) return bitmap;
  const std::string resolved = platform::files::ResolveForUse(path.toStdString());
  if (!bitmap.load(QString::fromStdString(resolved)))
    throw std::runtime_error("The return address bitmap " + path.toStdString() + " cannot be loaded.");
  return bitmap;
}

}  // namespace

LabelPrintResult PrintLabels(const std::vector<LabelQueueRow>& rows, const LabelPrintSettings& settings,
                             platform::print::TPrinter& printer) {
  LabelPrintResult result;
  QImage bitmap = ReturnAddressBitmap(settings);
  std::vector<LabelRecord> labels;
  {
    QueuedRecords files;
    for (const LabelQueueRow& row : rows) {
      LabelRecord label;
      if (ReadLabelRecord(files, row, settings.UseShipping, label))
        labels.insert(labels.end(), static_cast<size_t>(settings.Copies), label);
      else
        ++result.Missing;
    }
  }
  TCanvas& canvas = printer.Canvas();
  platform::print::PrintJob job(printer, "Mailing Labels");
  canvas.Brush.Style = platform::print::TBrushStyle::bsClear;
  canvas.Font = settings.Font;
  LabelPainter painter(canvas, settings, std::move(bitmap));
  const std::vector<LabelSpot> spots =
      LabelSpots(settings.Sheet, settings.Start, static_cast<int>(labels.size()));
  int page = 0;
  for (size_t i = 0; i < spots.size(); ++i) {
    if (spots[i].Page != page) {
      printer.NewPage();
      page = spots[i].Page;
    }
    painter.Paint(spots[i], labels[i]);
    ++result.Printed;
  }
  job.Finish();
  result.UnfitBarCodes = painter.UnfitCodes();
  return result;
}

std::string UnfitBarCodesMessage(const std::vector<std::string>& codes) {
  if (codes.empty()) return "";
  constexpr std::size_t kMostNamed = 10;
  return "The bar codes of these products are too wide for the labels and were left out: " +
         platform::text::NamesInASentence(codes, kMostNamed) +
         ". Wider labels or shorter codes will take bar codes.";
}

namespace {

// Text at (x, y), moved in as far as needed to stand whole on the printable page.
void TextOnPage(platform::print::TPrinter& printer, int x, int y, const QString& text) {
  TCanvas& canvas = printer.Canvas();
  x = std::max(0, std::min(x, printer.PageWidth() - canvas.TextWidth(text)));
  y = std::max(0, std::min(y, printer.PageHeight() - canvas.TextHeight(text)));
  canvas.TextOut(x, y, text);
}

}  // namespace

void PrintCalibrationRuler(platform::print::TPrinter& printer) {
  TCanvas& canvas = printer.Canvas();
  platform::print::PrintJob job(printer, "Calibration Ruler");
  canvas.Brush.Style = platform::print::TBrushStyle::bsClear;
  const int t = canvas.TextHeight("20");
  for (int i = 0; i <= 30; ++i) {
    const int y = i * 50;
    const bool major = i % 8 == 0;
    canvas.Pen.Width = major ? 4 : 2;
    canvas.MoveTo(major ? 50 : 100, y);
    canvas.LineTo(major ? 300 : 250, y);
    if (major) TextOnPage(printer, 325, y - t / 2, QString::number(y));
  }
  // Across, only the ticks that stand whole on the printable width: a tick cut at the edge
  // would measure wrong.
  for (int i = 0; i <= 60; ++i) {
    const int x = i * 50;
    const bool major = i % 8 == 0;
    canvas.Pen.Width = major ? 4 : 2;
    if (x + canvas.Pen.Width / 2 > printer.PageWidth()) break;
    canvas.MoveTo(x, major ? 1750 : 1800);
    canvas.LineTo(x, major ? 2000 : 1950);
    if (major) TextOnPage(printer, x - t, 2025, QString::number(x));
  }
  TextOnPage(
      printer, 300, 2525,
      "Use the top ruler for vertical height measurement and the bottom ruler to measure horizontal width.");
  TextOnPage(printer, 300, 2535 + t,
             "Be sure to include any spacing between labels in your height and width measurements.");
  TextOnPage(printer, 300, 2545 + 2 * t,
             "It appears this printer is printing around " + QString::number(printer.PageWidth() / 8) +
                 " DPI (dots-per-inch). Each line represents 50 DPI.");
  canvas.Pen.Width = 1;
  job.Finish();
}

}  // namespace reports
