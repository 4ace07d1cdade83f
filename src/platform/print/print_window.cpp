#include "platform/print/print_window.h"

#include <QWidget>

#include "platform/print/print_job.h"

namespace platform::print {

void PrintWindowImage(QWidget& window, TPrinter& printer) {
  const QImage image = window.grab().toImage();
  PrintJob job(printer, window.windowTitle());
  if (!image.isNull()) {
    const QSize fitted = image.size().scaled(printer.PageWidth(), printer.PageHeight(), Qt::KeepAspectRatio);
    printer.Canvas().StretchDraw(QRect(QPoint(0, 0), fitted), image);
  }
  job.Finish();
}

}  // namespace platform::print
