#include "platform/print/print_document.h"

#include <QAbstractTextDocumentLayout>
#include <QFontMetricsF>
#include <QImage>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextFrame>
#include <algorithm>
#include <cmath>
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

qreal WidestLine(const QFont& font, const QStringList& lines, QImage& device) {
  const QFontMetricsF metrics(font, &device);
  qreal widest = 0;
  for (const QString& line : lines) widest = std::max(widest, metrics.horizontalAdvance(line));
  return widest;
}

// The layout scales a frame's margins from the screen's resolution to the device's, so that a
// margin given in printer pixels would come out some three times as wide. The factor is measured
// the way the layout applies it.
qreal FrameMarginScale(QImage& device) {
  constexpr qreal kProbeMargin = 1000;
  QTextDocument probe;
  probe.documentLayout()->setPaintDevice(&device);
  probe.setDocumentMargin(kProbeMargin);
  probe.setPlainText(QStringLiteral("x"));
  const qreal laidOut = probe.documentLayout()->blockBoundingRect(probe.begin()).top();
  return laidOut > 0 ? laidOut / kProbeMargin : 1;
}

}  // namespace

QFont FontFittingTextWidth(QFont font, const QStringList& lines, TPrinter& printer) {
  QImage device = PrinterResolutionDevice();
  const qreal width = printer.PageWidth() - 2 * kDocumentMargin;
  const qreal widest = WidestLine(font, lines, device);
  if (widest <= width || font.pointSizeF() <= 0) return font;
  // Advances grow about in step with the size; the small steps after it make up for rounding.
  qreal size = std::floor(font.pointSizeF() * width / widest * 10) / 10;
  font.setPointSizeF(size);
  while (size > 1 && WidestLine(font, lines, device) > width) font.setPointSizeF(size -= 0.1);
  return font;
}

void PrintTextDocument(const QTextDocument& document, const QString& title, TPrinter& printer) {
  QImage device = PrinterResolutionDevice();
  std::unique_ptr<QTextDocument> pages(document.clone());
  pages->documentLayout()->setPaintDevice(&device);
  // The margins belong to the root frame, so that the layout keeps every page's margins free
  // and never splits a line across a page break.
  QTextFrameFormat format = pages->rootFrame()->frameFormat();
  format.setMargin(kDocumentMargin / FrameMarginScale(device));
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
