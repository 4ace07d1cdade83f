#pragma once
// The application's printer object: one print job at a time, drawn on its canvas in printer
// pixels. Misuse (drawing or a new page outside a job, a second BeginDoc, changing the
// orientation while printing) and back-end failures raise EPrinter, as the original's
// printer raised its own exception class.

#include <QString>
#include <QStringList>
#include <memory>
#include <stdexcept>

#include "platform/print/canvas.h"
#include "platform/print/print_backend.h"

namespace platform::print {

class EPrinter : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class TPrinter {
 public:
  explicit TPrinter(std::unique_ptr<PrintBackend> backend);
  ~TPrinter();
  TPrinter(const TPrinter&) = delete;
  TPrinter& operator=(const TPrinter&) = delete;

  TCanvas& Canvas() { return canvas_; }

  const QString& Title() const { return title_; }
  void SetTitle(const QString& title) { title_ = title; }

  TPrinterOrientation Orientation() const { return orientation_; }
  void SetOrientation(TPrinterOrientation orientation);

  void BeginDoc();
  void NewPage();
  void EndDoc();
  // Drops the job: nothing of it reaches the printer or a file. Does nothing outside a job.
  void Abort();

  bool Printing() const { return printing_; }
  // Set by Abort (and by a failed EndDoc) until the next BeginDoc.
  bool Aborted() const { return aborted_; }
  int PageNumber() const { return page_number_; }
  int PageWidth() const;
  int PageHeight() const;

  // The jobs finished since the printer was made, and the PDF file each became (empty for a job
  // that went to a printer).
  const QStringList& FinishedJobFiles() const { return finished_job_files_; }

  PrintBackend& Backend() const;
  bool HasBackend() const { return backend_ != nullptr; }
  // Puts another back-end in place (tests, print to file) and hands back the previous one.
  // Refused while printing.
  std::unique_ptr<PrintBackend> ReplaceBackend(std::unique_ptr<PrintBackend> backend);

 private:
  friend class TCanvas;
  void RequirePrinting(const char* operation) const;

  std::unique_ptr<PrintBackend> backend_;
  TCanvas canvas_{*this};
  QString title_;
  TPrinterOrientation orientation_ = TPrinterOrientation::poPortrait;
  bool printing_ = false;
  bool aborted_ = false;
  int page_number_ = 0;
  QStringList finished_job_files_;
};

// The application's printer, on the Qt back-end unless a test or the user put another in place.
// Needs a QGuiApplication; the Qt back-end is let go when the application object ends.
TPrinter& Printer();

// The PDF file the last finished job became (no printer, or printing to a file); empty when it
// went to a printer or failed.
QString LastJobFile(const TPrinter& printer = Printer());
// Where the last finished job went, for the status bar: "sent to printer", or, when it became a
// PDF file, "saved as " and the file's path.
QString WhereLastJobWent(const TPrinter& printer = Printer());
// What every printout tells the user when its job is done: what was printed and where it went,
// as "Invoice 1001 sent to printer." (in the printout's own words for a printer) or
// "Invoice 1001 saved as /home/shop/Kestrava/Printouts/Invoice - 1001 ....pdf.".
QString PrintedNotice(const QString& what, const QString& to_printer = QStringLiteral("sent to printer"),
                      const TPrinter& printer = Printer());
// Where the jobs of a run of printouts went: the run's own words for a printer, or "saved in "
// and the folder of their PDF files.
QString WhereRunWent(const QString& to_printer, const TPrinter& printer = Printer());

// The jobs of one printout that prints several documents (an invoice with its packing slip and
// file copies): made before the first job, it tells afterwards where they all went.
//
//   PrintRun run;
//   ... print the invoice, then its packing slip ...
//   status = run.Notice("Invoice 1001");   // "Invoice 1001 saved as .../inv.pdf and inv (2).pdf."
class PrintRun {
 public:
  explicit PrintRun(const TPrinter& printer = Printer());

  // The PDF files of the jobs finished since the run began, in order.
  QStringList Files() const;
  // As PrintedNotice, naming every file written (those in the first one's folder by their name
  // alone), or, past three, the first and how many more: "Invoice 1001 saved as /p/a.pdf and 4
  // more files.". With no file written, the run's own words for a printer.
  QString Notice(const QString& what, const QString& to_printer = QStringLiteral("sent to printer")) const;

 private:
  const TPrinter& printer_;
  qsizetype first_job_;
};

// Installs a back-end in the application's printer for a scope (tests of printouts).
class ScopedPrintBackend {
 public:
  explicit ScopedPrintBackend(std::unique_ptr<PrintBackend> backend);
  ~ScopedPrintBackend();
  ScopedPrintBackend(const ScopedPrintBackend&) = delete;
  ScopedPrintBackend& operator=(const ScopedPrintBackend&) = delete;

 private:
  std::unique_ptr<PrintBackend> previous_;
};

}  // namespace platform::print
