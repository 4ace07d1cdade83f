#include "platform/print/print_test_support.h"

#include <QFileInfo>
#include <QProcess>

namespace print_testing {

namespace {
int argc = 1;
char program_name[] = "kestrava-tests";
char* argv[] = {program_name, nullptr};
}  // namespace

void QtApplicationEnvironment::SetUp() {
  app_ = std::make_unique<QApplication>(argc, argv);
}

void QtApplicationEnvironment::TearDown() {
  app_.reset();
}

RecordingPrinterTest::RecordingPrinterTest() {
  auto backend = std::make_unique<platform::print::RecordingPrintBackend>();
  recorder_ = backend.get();
  printer_ = std::make_unique<platform::print::TPrinter>(std::move(backend));
}

ToolResult RunTool(const QString& program, const QStringList& arguments) {
  ToolResult result;
  QProcess process;
  process.start(program, arguments);
  if (!process.waitForStarted() || !process.waitForFinished(120000)) return result;
  result.ran = process.exitStatus() == QProcess::NormalExit;
  result.exit_code = process.exitCode();
  result.output = QString::fromUtf8(process.readAllStandardOutput());
  result.errors = QString::fromUtf8(process.readAllStandardError());
  return result;
}

QString PdfText(const QString& pdf) {
  const ToolResult result = RunTool("pdftotext", {pdf, "-"});
  return result.ran && result.exit_code == 0 ? result.output : QString();
}

QString PdfInfo(const QString& pdf) {
  const ToolResult result = RunTool("pdfinfo", {pdf});
  return result.ran && result.exit_code == 0 ? result.output : QString();
}

void FailingPrintBackend::BeginDoc(const QString& title, platform::print::TPrinterOrientation orientation) {
  if (++jobs_ == failing_job_) throw platform::print::EPrinter("The printer went away");
  RecordingPrintBackend::BeginDoc(title, orientation);
}

void FailingPrintBackend::NewPage(int page_number) {
  if (page_number == failing_page_) throw platform::print::EPrinter("The printer went away");
  RecordingPrintBackend::NewPage(page_number);
}

QString RenderPage(const QString& pdf, int page, const QString& png_stem, int dpi) {
  const QString n = QString::number(page);
  const ToolResult result = RunTool(
      "pdftoppm", {"-r", QString::number(dpi), "-f", n, "-l", n, "-png", "-singlefile", pdf, png_stem});
  const QString png = png_stem + ".png";
  return result.ran && result.exit_code == 0 && QFileInfo::exists(png) ? png : QString();
}

}  // namespace print_testing
