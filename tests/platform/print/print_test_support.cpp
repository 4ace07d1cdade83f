#include "platform/print/print_test_support.h"

#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>

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

std::vector<PdfWord> PdfWords(const QString& pdf) {
  const ToolResult result = RunTool("pdftotext", {"-bbox", pdf, "-"});
  static const QRegularExpression item(
      R"re(<page width="([\d.]+)" height="([\d.]+)">|<word xMin="([\d.]+)" yMin="([\d.]+)" xMax="([\d.]+)" )re"
      R"re(yMax="([\d.]+)">([^<]*)</word>)re");
  std::vector<PdfWord> words;
  if (!result.ran || result.exit_code != 0) return words;
  PdfWord page;
  for (auto it = item.globalMatch(result.output); it.hasNext();) {
    const QRegularExpressionMatch m = it.next();
    if (!m.captured(1).isEmpty()) {
      ++page.page;
      page.pageWidth = m.captured(1).toDouble();
      page.pageHeight = m.captured(2).toDouble();
      continue;
    }
    PdfWord word = page;
    word.xMin = m.captured(3).toDouble();
    word.yMin = m.captured(4).toDouble();
    word.xMax = m.captured(5).toDouble();
    word.yMax = m.captured(6).toDouble();
    word.text = m.captured(7);
    words.push_back(word);
  }
  return words;
}

bool WithinPrintableArea(const PdfWord& word) {
  constexpr double kEdge = 18;  // points
  constexpr double kLeeway = 0.5;
  return word.xMin >= kEdge - kLeeway && word.yMin >= kEdge - kLeeway &&
         word.xMax <= word.pageWidth - kEdge + kLeeway && word.yMax <= word.pageHeight - kEdge + kLeeway;
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
