#include "reports/label_printing.h"

#include <QImage>
#include <array>
#include <stdexcept>

#include "platform/barcode/barcode.h"
#include "platform/files/path.h"
#include "platform/print/print_job.h"
#include "platform/print/printer.h"
#include "platform/text/codepage.h"
#include "platform/text/key_text.h"
#include "platform/text/upper_case.h"
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
      platform::barcode::PaintBarCode(canvas_, barcode_, code, x, y + 3 * h_,
                                      x + canvas_.TextWidth("XXXXXXXX"), y + 6 * h_);
  }

 private:
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
};

// The bitmap beside the return address; none when no return address or no bitmap is chosen.
QImage ReturnAddressBitmap(const LabelPrintSettings& s) {
  const QString path = s.BitmapPath.trimmed();
  QImage bitmap;
  if (!s.ReturnAddress || path.isEmpty()) return bitmap;
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
  return result;
}

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
    if (major) canvas.TextOut(325, y - t / 2, QString::number(y));
  }
  for (int i = 0; i <= 60; ++i) {
    const int x = i * 50;
    const bool major = i % 8 == 0;
    canvas.Pen.Width = major ? 4 : 2;
    canvas.MoveTo(x, major ? 1750 : 1800);
    canvas.LineTo(x, major ? 2000 : 1950);
    if (major) canvas.TextOut(x - t, 2025, QString::number(x));
  }
  canvas.TextOut(
      300, 2525,
      "Use the top ruler for vertical height measurement and the bottom ruler to measure horizontal width.");
  canvas.TextOut(300, 2535 + t,
                 "Be sure to include any spacing between labels in your height and width measurements.");
  canvas.TextOut(300, 2545 + 2 * t,
                 "It appears this printer is printing around " + QString::number(printer.PageWidth() / 8) +
                     " DPI (dots-per-inch). Each line represents 50 DPI.");
  canvas.Pen.Width = 1;
  job.Finish();
}

}  // namespace reports
