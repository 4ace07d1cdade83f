#pragma once
// The real printer. Every job is drawn into a PDF in memory at 300 pixels to the inch, so that
// nothing reaches the disk before the job is over; where it goes then:
//   - to the chosen system printer (the default one unless a name was set), laid out on that
//     printer's paper inside its printable area, and handed to the print spooler ("lp") only
//     at EndDoc, so that an aborted job never reaches the printer half-drawn;
//   - to a PDF file when no printer is installed or printing to a file was chosen: US Letter,
//     printable a quarter inch in from each edge as on a usual office printer, in the
//     "Printouts" folder of the program directory (the current directory), named after the
//     document title and the time, or in the file the user chose; OutputFile() tells the path
//     afterwards. An aborted job leaves no file.
// At EndDoc the PDF is written whole through the file layer (a temporary file, synced, renamed);
// a file that cannot be written (a full disk) fails the job with the system's reason and leaves
// no file behind, so that OutputFile() never names a file that is not there whole.
// A printer that reports no margins of its own gets the same quarter inch.

#include <QPageLayout>
#include <QString>
#include <memory>

#include "platform/print/print_backend.h"

class QBuffer;
class QPagedPaintDevice;
class QPainter;
class QPdfWriter;
class QPrinter;

namespace platform::print {

class QtPrintBackend : public PrintBackend {
 public:
  QtPrintBackend();
  ~QtPrintBackend() override;

  // The chosen printer; empty (or a printer no longer installed) means the default one.
  void SetPrinterName(const QString& name);
  const QString& PrinterName() const { return printer_name_; }
  void SetPrintToFile(bool print_to_file);
  bool PrintToFile() const { return print_to_file_; }
  // The PDF file the user chose for printing to a file; empty lets the program name it. The
  // next job becomes that file; later ones, so as not to overwrite it, "name (2).pdf" and on.
  void SetOutputFile(const QString& path);
  const QString& ChosenOutputFile() const { return chosen_file_; }
  // The PDF written by the last finished job; empty when it went to a printer.
  QString OutputFile() const override { return output_file_; }

  QSize PageSize(TPrinterOrientation orientation) const override;
  int TextWidth(const TFont& font, const QString& text) const override;
  int TextHeight(const TFont& font, const QString& text) const override;

  void BeginDoc(const QString& title, TPrinterOrientation orientation) override;
  void NewPage(int page_number) override;
  void EndDoc() override;
  void Abort() override;

  void TextOut(const CanvasState& state, int x, int y, const QString& text) override;
  void Rectangle(const CanvasState& state, const QRect& rect) override;
  void MoveTo(const CanvasState& state, const QPoint& to) override;
  void LineTo(const CanvasState& state, const QPoint& from, const QPoint& to) override;
  void FillRect(const CanvasState& state, const QRect& rect) override;
  void Draw(const CanvasState& state, const QPoint& at, const QImage& image) override;
  void StretchDraw(const CanvasState& state, const QRect& rect, const QImage& image) override;
  void DrawTextDocumentPage(const CanvasState& state, const QTextDocument& document, int page,
                            const QRect& rect) override;

 private:
  // Looks up which printer takes the next job and its paper (empty name: a PDF file).
  void ChooseTarget();
  QPageLayout Layout(TPrinterOrientation orientation) const;
  QString NewPrintoutPath(const QString& title) const;
  QString JobFilePath(const QString& title) const;
  // Writes the finished job's PDF to path whole; throws EPrinter with the system's reason.
  void WriteJobFile(const QString& path, const QByteArray& pdf) const;
  void SendToPrinter(const QByteArray& pdf);
  void DiscardJob();
  QPainter& Painter();

  QString printer_name_;
  bool print_to_file_ = false;
  QString chosen_file_;
  bool chosen_file_written_ = false;
  QString output_file_;

  QString target_printer_;  // empty: PDF file
  QPageLayout target_layout_;

  std::unique_ptr<QPrinter> metrics_device_;
  std::unique_ptr<QBuffer> job_bytes_;  // the PDF as it is drawn
  std::unique_ptr<QPdfWriter> job_writer_;
  std::unique_ptr<QPainter> painter_;
  QString job_path_;  // the PDF file the job becomes; empty when it goes to a printer
  QString job_title_;
};

}  // namespace platform::print
