#include "forms/address_printouts.h"

#include <optional>

#include "forms/report_font.h"
#include "platform/print/print_job.h"
#include "platform/text/codepage.h"
#include "platform/text/format_date_time.h"
#include "platform/text/key_text.h"
#include "platform/text/number_text.h"
#include "storage/posting_journal.h"

namespace forms {

using platform::print::PrintJob;
using platform::print::TCanvas;
using platform::text::ToQString;

EnvelopeAddress EnvelopeAddressOf(const std::string& name, const std::array<std::string, 4>& billing,
                                  const std::array<std::string, 4>& shipping,
                                  const records::CompanyRec& company) {
  const std::array<std::string, 4>& lines = company.EnvelopeAddressUsed.Get() == "S" ? shipping : billing;
  return {name, lines[0], lines[1], lines[2], lines[3]};
}

void PrintEnvelope(const EnvelopeAddress& address, const records::CompanyRec& company,
                   platform::print::TPrinter& printer) {
  const int h = LayoutNumber(company.EnvelopeLineSpacing.Get());
  const int left = LayoutNumber(company.EnvelopeLeftMargin.Get());
  const int top = LayoutNumber(company.EnvelopeTopMargin.Get());
  const int recipientLeft = LayoutNumber(company.EnvelopeSendAddressLeft.Get());
  const auto orientation = company.EnvelopeOrientation.Get() == "L"
                               ? std::optional(platform::print::TPrinterOrientation::poLandscape)
                               : std::nullopt;
  PrintJob job(printer, "Envelope", orientation);
  TCanvas& canvas = printer.Canvas();
  canvas.Font = PrinterFontOf(company.EnvelopeFont);
  if (company.PrintReturnAddress.Get() == "Y") {
    const std::string sender[] = {company.CompanyName.Get(), company.CompanyAddr1.Get(),
                                  company.CompanyAddr2.Get(), company.CompanyAddr3.Get(),
                                  company.CompanyAddr4.Get()};
    for (int line = 0; line < 5; ++line) canvas.TextOut(left, top + line * h, ToQString(sender[line]));
  }
  for (int line = 0; line < 5; ++line)
    canvas.TextOut(recipientLeft, top + (8 + line) * h, ToQString(address[line]));
  job.Finish();
}

QString AddressClipboardText(const std::string& name, const std::array<std::string, 4>& lines) {
  std::string text = name;
  for (const std::string& line : lines) text += "\n" + line;
  return ToQString(text);
}

int LayoutNumber(const std::string& text) {
  return platform::text::TryStrToInt(platform::text::TrimBlanks(text)).value_or(0);
}

void SheetWriter::Line(const std::string& text) {
  Line(ToQString(text));
}

void SheetWriter::Line(const QString& text) {
  canvas_.TextOut(left_, y_, text);
  y_ += LineHeight();
}

ReportSheet::ReportSheet(platform::print::TPrinter& printer, const std::string& name,
                         const std::string& title, const records::CompanyRec& company,
                         const records::FontRec& reportFont)
    : printer_(printer),
      job_(printer, "Print: " + ToQString(name)),
      left_(LayoutNumber(company.FormLeftMargin.Get()) * 2),
      writer_(printer.Canvas(), left_, LayoutNumber(company.FormTopMargin.Get()) * 4) {
  TCanvas& canvas = printer.Canvas();
  const platform::print::TFont font = PrinterFontOf(reportFont);
  canvas.Font = font;
  canvas.Font.Size = font.Size * 2;
  writer_.Line(title);
  canvas.Font = font;
  const std::string note = storage::WaitingPostingFiguresNote();
  if (!note.empty()) writer_.Line(note);
}

void ReportSheet::Rule(int width) {
  TCanvas& canvas = printer_.Canvas();
  canvas.Pen.Width = width;
  canvas.MoveTo(left_, writer_.Y());
  canvas.LineTo(printer_.PageWidth() - left_, writer_.Y());
}

void ReportSheet::Address(const char* caption, const std::array<std::string, 4>& lines,
                          const std::string& phoneLine) {
  writer_.Line(std::string(caption));
  for (const std::string& line : lines) writer_.Line(line);
  writer_.Line(phoneLine);
  writer_.Gap();
}

void ReportSheet::Notes(const std::string& notes) {
  for (const QString& line :
       BreakIntoLines(ToQString(notes), printer_.Canvas(), printer_.PageWidth() - 2 * left_))
    writer_.Line(line);
}

QStringList BreakIntoLines(const QString& notes, const TCanvas& canvas, int width) {
  QStringList lines;
  for (const QString& paragraph : QString(notes).replace("\r\n", "\n").split('\n')) {
    QString line;
    for (const QString& word : paragraph.split(' ', Qt::SkipEmptyParts)) {
      const QString candidate = line.isEmpty() ? word : line + ' ' + word;
      if (line.isEmpty() || canvas.TextWidth(candidate) <= width) {
        line = candidate;
        continue;
      }
      lines << line;
      line = word;
    }
    while (canvas.TextWidth(line) > width && line.size() > 1) {
      qsizetype fit = line.size() - 1;
      while (fit > 1 && canvas.TextWidth(line.left(fit)) > width) --fit;
      lines << line.left(fit);
      line = line.mid(fit);
    }
    if (!line.isEmpty()) lines << line;
  }
  return lines;
}

std::vector<std::string> ListReportHeading(const std::string& title, const QDateTime& now) {
  return {title, "Date: " + platform::text::FormatDateTime("dddd, mmmm d, yyyy, hh:mm AM/PM", now),
          ListReportRule};
}

}  // namespace forms
