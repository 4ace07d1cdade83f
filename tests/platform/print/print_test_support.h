#pragma once
// What the printing tests share: a QApplication for the whole test program (fonts, printers
// and window images need one), and running the PDF and bar code tools that read our output
// back (poppler-utils, zbar-tools).

#include <gtest/gtest.h>

#include <QApplication>
#include <QString>
#include <QStringList>
#include <memory>
#include <ostream>
#include <vector>

#include "platform/print/printer.h"
#include "platform/print/recording_print_backend.h"

// Readable failure messages for Qt strings and lists of them.
inline void PrintTo(const QString& text, std::ostream* out) {
  *out << '"' << text.toStdString() << '"';
}

namespace print_testing {

class QtApplicationEnvironment : public testing::Environment {
 public:
  void SetUp() override;
  void TearDown() override;

 private:
  std::unique_ptr<QApplication> app_;
};

// Registered once per test program by including this header.
inline testing::Environment* const kQtApplication =
    testing::AddGlobalTestEnvironment(new QtApplicationEnvironment);

// A printer of its own on the recording back-end, for tests that check what is drawn.
class RecordingPrinterTest : public testing::Test {
 protected:
  RecordingPrinterTest();

  const QStringList& Log() const { return recorder_->Log(); }

  platform::print::RecordingPrintBackend* recorder_;
  std::unique_ptr<platform::print::TPrinter> printer_;
};

// A recording printer that fails as a jammed or vanished printer does: at the start of its
// job-th job, or at the start of page `page` of a job (0: never).
class FailingPrintBackend : public platform::print::RecordingPrintBackend {
 public:
  FailingPrintBackend(int job, int page) : failing_job_(job), failing_page_(page) {}
  void BeginDoc(const QString& title, platform::print::TPrinterOrientation orientation) override;
  void NewPage(int page_number) override;

 private:
  int failing_job_, failing_page_, jobs_ = 0;
};

struct ToolResult {
  bool ran = false;  // started and finished within the time limit
  int exit_code = -1;
  QString output;  // standard output
  QString errors;  // standard error
};

ToolResult RunTool(const QString& program, const QStringList& arguments);

// pdftotext of the whole file in reading order ("-layout" off), "" when it fails.
QString PdfText(const QString& pdf);
// The "Key: value" lines of pdfinfo.
QString PdfInfo(const QString& pdf);
// A word of a PDF as pdftotext places it, in points from the page's top-left corner.
struct PdfWord {
  int page = 0;  // from 1
  double pageWidth = 0, pageHeight = 0;
  double xMin = 0, yMin = 0, xMax = 0, yMax = 0;
  QString text;
};
// Every word of the PDF (pdftotext -bbox), page by page; none when it cannot be read.
std::vector<PdfWord> PdfWords(const QString& pdf);
// Whether the word stands inside what a printer prints: a quarter inch in from every edge.
bool WithinPrintableArea(const PdfWord& word);

// One page rendered to a PNG, at printer resolution (300 dpi) unless told; returns the PNG's path.
QString RenderPage(const QString& pdf, int page, const QString& png_stem, int dpi = 300);

}  // namespace print_testing
