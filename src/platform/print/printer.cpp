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
  return printer.HasBackend() ? printer.Backend().OutputFile() : QString();
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

}  // namespace platform::print
