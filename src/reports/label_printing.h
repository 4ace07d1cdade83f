#pragma once
// Printing the label queue onto sheets of labels, in printer dots: address labels for customers
// and vendors, product labels with code, description, price and an optional bar code; and the
// calibration ruler that helps measure a sheet.

#include <QString>
#include <string>
#include <vector>

#include "platform/print/canvas.h"
#include "platform/print/printer.h"
#include "reports/label_queue.h"

namespace reports {

// The sheet as the layout gives it, in printer dots.
struct LabelSheet {
  int Top = 0, Left = 0, Columns = 1, Rows = 1, Width = 0, Height = 0;
};

// Where one label goes: its page (from 0) and its top-left corner.
struct LabelSpot {
  int Page = 0;
  int X = 0, Y = 0;
  bool operator==(const LabelSpot&) const = default;
};

// The places of `count` labels from label `start` (1 = the top-left label of the first sheet).
// Labels fill a row left to right, then the next row; a full sheet goes on on a new page.
std::vector<LabelSpot> LabelSpots(const LabelSheet& sheet, int start, int count);

struct LabelPrintSettings {
  LabelSheet Sheet;
  int Start = 1;
  int Copies = 1;
  platform::print::TFont Font;
  bool UseShipping = false;
  bool ReturnAddress = false;
  QString BitmapPath;  // a file-system path, as the user chose it
  bool PrintLine = false;
  int LineWidth = 1;
  std::string Caption;
};

struct LabelPrintResult {
  int Printed = 0;
  int Missing = 0;  // rows whose record is no longer on file, left out
  // Product codes whose bars do not fit the label's width, left without bars; each once.
  std::vector<std::string> UnfitBarCodes;
};

// What to tell the user of codes whose bars did not fit; empty when every code fitted.
std::string UnfitBarCodesMessage(const std::vector<std::string>& codes);

// Why the settings cannot print; empty when they can.
std::string LabelSettingsError(const LabelPrintSettings& settings);

// Prints every queued row `Copies` times, job "Mailing Labels". A product's bar code is as wide
// as its symbol needs, within the label's width. A return-address bitmap that
// is no longer there leaves the block without it; one there that cannot be loaded stops the run
// before anything is printed (std::runtime_error naming it); a failure while printing aborts the
// job and goes on to the caller.
LabelPrintResult PrintLabels(const std::vector<LabelQueueRow>& rows, const LabelPrintSettings& settings,
                             platform::print::TPrinter& printer = platform::print::Printer());

// The ruler page, job "Calibration Ruler": ticks every 50 dots down and across (as far as the
// printable width goes), the values at every 400, every text moved onto the printable page.
void PrintCalibrationRuler(platform::print::TPrinter& printer = platform::print::Printer());

}  // namespace reports
