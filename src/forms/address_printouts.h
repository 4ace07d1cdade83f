#pragma once
// What the managers of customers and vendors print of an address book entry: the envelope (in
// the company's envelope font and positions), the pieces of the one-page sheet (lines written
// down the page, notes broken to the page's width), the text put on the clipboard, and the
// first lines of their list reports.

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <array>
#include <string>
#include <vector>

#include "platform/print/print_job.h"
#include "platform/print/printer.h"
#include "records/company_rec.h"
#include "records/font_rec.h"

namespace forms {

// The name and four lines of an envelope's recipient.
using EnvelopeAddress = std::array<std::string, 5>;

// The recipient of an envelope: the shipping lines when the company addresses envelopes to
// them ("S"), else the billing (order) lines.
EnvelopeAddress EnvelopeAddressOf(const std::string& name, const std::array<std::string, 4>& billing,
                                  const std::array<std::string, 4>& shipping,
                                  const records::CompanyRec& company);

// Prints one envelope titled "Envelope": the company's return address when it asks for one, and
// the recipient, each where the company's envelope settings put them; landscape when the
// company says "L", the printer's orientation restored afterwards.
void PrintEnvelope(const EnvelopeAddress& address, const records::CompanyRec& company,
                   platform::print::TPrinter& printer = platform::print::Printer());

// The name and the four address lines, one a line, as the clipboard takes them.
QString AddressClipboardText(const std::string& name, const std::array<std::string, 4>& lines);

// The company's layout numbers are text; one that does not read as a number counts as 0.
int LayoutNumber(const std::string& text);

// Writes a sheet line by line down the page; a line is as high as "MXjpy" in the canvas's font,
// and a gap half that.
class SheetWriter {
 public:
  SheetWriter(platform::print::TCanvas& canvas, int left, int top) : canvas_(canvas), left_(left), y_(top) {}
  void Line(const std::string& text);
  void Line(const QString& text);
  void Gap() { y_ += LineHeight() / 2; }
  // Where the next line goes.
  int Y() const { return y_; }

 private:
  int LineHeight() const { return canvas_.TextHeight("MXjpy"); }

  platform::print::TCanvas& canvas_;
  int left_;
  int y_;
};

// A one-page sheet of one entry in the report font: the print job titled "Print: " and the
// entry's name, lines starting at twice the company's form left margin and four times its top
// margin, the title first at twice the font's size; under it, while a posting of the company waits
// to be undone, the line that says the figures include it.
class ReportSheet {
 public:
  ReportSheet(platform::print::TPrinter& printer, const std::string& name, const std::string& title,
              const records::CompanyRec& company, const records::FontRec& reportFont);
  SheetWriter& Lines() { return writer_; }
  // A rule `width` pixels wide across the page, at the current line.
  void Rule(int width);
  // A caption, the four lines of an address and the phone line under them, then a gap.
  void Address(const char* caption, const std::array<std::string, 4>& lines, const std::string& phoneLine);
  // The notes, broken into lines that fit between the margins.
  void Notes(const std::string& notes);
  void Finish() { job_.Finish(); }

 private:
  platform::print::TPrinter& printer_;
  platform::print::PrintJob job_;
  int left_;
  SheetWriter writer_;
};

// The notes as lines that fit in `width`: broken at blanks, and inside a word only when the word
// alone is wider than the line.
QStringList BreakIntoLines(const QString& notes, const platform::print::TCanvas& canvas, int width);

// The first three lines of a list report: the title, "Date: " with the date and time, a rule of
// 80 "-".
std::vector<std::string> ListReportHeading(const std::string& title, const QDateTime& now);
inline const std::string ListReportRule(80, '-');

}  // namespace forms
