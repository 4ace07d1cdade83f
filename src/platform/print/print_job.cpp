#include "platform/print/print_job.h"

#include <QCursor>
#include <QGuiApplication>

namespace platform::print {

PrintJob::OrientationRestore::~OrientationRestore() {
  // Still printing only when this job never began because another one was running.
  if (!printer_.Printing()) printer_.SetOrientation(saved_);
}

PrintJob::BusyCursor::BusyCursor() {
  // The cursor belongs to a GUI application; without one (command-line runs) there is none.
  if (qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
    QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
    shown_ = true;
  }
}

PrintJob::BusyCursor::~BusyCursor() {
  if (shown_) QGuiApplication::restoreOverrideCursor();
}

PrintJob::PrintJob(TPrinter& printer, const QString& title, std::optional<TPrinterOrientation> orientation)
    : printer_(printer), orientation_restore_(printer) {
  printer_.SetTitle(title);
  if (orientation) printer_.SetOrientation(*orientation);
  printer_.BeginDoc();
}

PrintJob::~PrintJob() {
  if (!finished_) printer_.Abort();
}

void PrintJob::Finish() {
  printer_.EndDoc();
  finished_ = true;
}

}  // namespace platform::print
