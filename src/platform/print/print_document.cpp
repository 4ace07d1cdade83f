#include "platform/print/print_document.h"

#include <QAbstractTextDocumentLayout>
#include <QImage>
#include <QTextDocument>
#include <QTextFrame>
#include <memory>

#include "platform/print/print_job.h"

namespace platform::print {

namespace {

// A device of printer resolution, so that point sizes lay out as they will print.
QImage PrinterResolutionDevice() {
  QImage device(1, 1, QImage::Format_RGB32);
  const int dots_per_meter = qRound(kPrinterDpi / 0.0254);
  device.setDotsPerMeterX(dots_per_meter);
  device.setDotsPerMeterY(dots_per_meter);
  return device;
}

}  // namespace

void PrintTextDocument(const QTextDocument& document, const QString& title, TPrinter& printer) {
  QImage device = PrinterResolutionDevice();
  std::unique_ptr<QTextDocument> pages(document.clone());
  pages->documentLayout()->setPaintDevice(&device);
  // The margins belong to the root frame, so that the layout keeps every page's margins free
  // and never splits a line across a page break.
  QTextFrameFormat format = pages->rootFrame()->frameFormat();
  format.setMargin(kDocumentMargin);
  pages->rootFrame()->setFrameFormat(format);
  PrintJob job(printer, title);
  const QRect area(0, 0, printer.PageWidth(), printer.PageHeight());
  pages->setPageSize(area.size());
  for (int page = 0; page < pages->pageCount(); ++page) {
    if (page > 0) printer.NewPage();
    printer.Canvas().DrawTextDocumentPage(*pages, page, area);
  }
  job.Finish();
}

}  // namespace platform::print
