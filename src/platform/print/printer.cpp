#include "platform/print/printer.h"

#include <QCoreApplication>
#include <QFileInfo>

#include "platform/print/qt_print_backend.h"

namespace platform::print {

TPrinter::TPrinter(std::unique_ptr<PrintBackend> backend) : backend_(std::move(backend)) {}

TPrinter::~TPrinter() {
  Abort();
}

void TPrinter::SetOrientation(TPrinterOrientation orientation) {
  if (printing_) throw EPrinter("Printing in progress");
  orientation_ = orientation;
}

void TPrinter::BeginDoc() {
  if (printing_) throw EPrinter("Printing in progress");
  aborted_ = false;
  Backend().BeginDoc(title_, orientation_);
  printing_ = true;
  page_number_ = 1;
}

void TPrinter::NewPage() {
  RequirePrinting("NewPage");
  Backend().NewPage(page_number_ + 1);
  ++page_number_;
}

void TPrinter::EndDoc() {
  RequirePrinting("EndDoc");
  // The job is over whatever delivery does; a failed delivery counts as aborted.
  printing_ = false;
  try {
    Backend().EndDoc();
  } catch (...) {
    aborted_ = true;
    page_number_ = 0;
    throw;
  }
  page_number_ = 0;
  finished_job_files_ << Backend().OutputFile();
}

void TPrinter::Abort() {
  if (!printing_) return;
  printing_ = false;
  aborted_ = true;
  page_number_ = 0;
  Backend().Abort();
}

int TPrinter::PageWidth() const {
  return Backend().PageSize(orientation_).width();
}

int TPrinter::PageHeight() const {
  return Backend().PageSize(orientation_).height();
}

PrintBackend& TPrinter::Backend() const {
  if (!backend_) throw EPrinter("There is no printer.");
  return *backend_;
}

std::unique_ptr<PrintBackend> TPrinter::ReplaceBackend(std::unique_ptr<PrintBackend> backend) {
  if (printing_) throw EPrinter("Printing in progress");
  std::swap(backend_, backend);
  return backend;
}

void TPrinter::RequirePrinting(const char* operation) const {
  if (!printing_) throw EPrinter(std::string("Printer is not currently printing (") + operation + ")");
}

namespace {

TPrinter& ApplicationPrinter() {
  static TPrinter printer(nullptr);
  return printer;
}

// QPrinter and fonts must not outlive the application object.
void ReleaseQtBackend() {
  TPrinter& printer = ApplicationPrinter();
  printer.Abort();
  printer.ReplaceBackend(nullptr);
}

}  // namespace

TPrinter& Printer() {
  TPrinter& printer = ApplicationPrinter();
  if (!printer.HasBackend() && QCoreApplication::instance()) {
    printer.ReplaceBackend(std::make_unique<QtPrintBackend>());
    qAddPostRoutine(ReleaseQtBackend);
  }
  return printer;
}

ScopedPrintBackend::ScopedPrintBackend(std::unique_ptr<PrintBackend> backend)
    : previous_(Printer().ReplaceBackend(std::move(backend))) {}

ScopedPrintBackend::~ScopedPrintBackend() {
  TPrinter& printer = Printer();
  printer.Abort();
  printer.ReplaceBackend(std::move(previous_));
}

QString LastJobFile(const TPrinter& printer) {
  // A job that failed at its delivery names no file, whatever the back-end kept.
  if (printer.Aborted() || !printer.HasBackend()) return {};
  return printer.Backend().OutputFile();
}

namespace {

QString WhereLastJobWent(const QString& to_printer, const TPrinter& printer) {
  const QString file = LastJobFile(printer);
  return file.isEmpty() ? to_printer : QStringLiteral("saved as ") + file;
}

}  // namespace

QString WhereLastJobWent(const TPrinter& printer) {
  return WhereLastJobWent(QStringLiteral("sent to printer"), printer);
}

QString PrintedNotice(const QString& what, const QString& to_printer, const TPrinter& printer) {
  return what + ' ' + WhereLastJobWent(to_printer, printer) + '.';
}

QString WhereRunWent(const QString& to_printer, const TPrinter& printer) {
  const QString file = LastJobFile(printer);
  return file.isEmpty() ? to_printer : QStringLiteral("saved in ") + QFileInfo(file).absolutePath();
}

PrintRun::PrintRun(const TPrinter& printer)
    : printer_(printer), first_job_(printer.FinishedJobFiles().size()) {}

QStringList PrintRun::Files() const {
  QStringList files = printer_.FinishedJobFiles().mid(first_job_);
  files.removeAll(QString());
  return files;
}

QString PrintRun::Notice(const QString& what, const QString& to_printer) const {
  const QStringList files = Files();
  if (files.isEmpty()) return what + ' ' + to_printer + '.';
  constexpr qsizetype kMostNamed = 3;
  if (files.size() > kMostNamed)
    return QStringLiteral("%1 saved as %2 and %3 more files.").arg(what, files.first()).arg(files.size() - 1);
  const QString folder = QFileInfo(files.first()).absolutePath();
  QStringList names{files.first()};
  for (const QString& file : files.mid(1)) {
    const QFileInfo info(file);
    names << (info.absolutePath() == folder ? info.fileName() : file);
  }
  const QString last = names.takeLast();
  return what + " saved as " + (names.isEmpty() ? last : names.join(", ") + " and " + last) + '.';
}

}  // namespace platform::print
