#pragma once
// A printer for tests of printouts: fixed metrics, a fixed page, and a log of every job and
// canvas call with the font, pen and brush in force. Metric queries draw nothing and are not
// logged.
//
// Metrics: every character is 0.6 x the font size wide and a line is 1.2 x the size high,
// which at 300 pixels to the inch is TextWidth = characters x size x 5 / 2 (rounded half up)
// and TextHeight = size x 5, whatever the text. Page: the printable area of US Letter on an office
// printer, a quarter inch in from each edge as the Qt back-end lays it out: 2400 x 3150 portrait.
//
// Log lines, one per call:
//   BeginDoc("Invoice - 1001", portrait, 2400x3150)
//   NewPage(2)
//   EndDoc   /   Abort
//   TextOut(100, 200, "Total:") font(Arial, 10, B, 0x80000008) pen(1, 0x00000000, solid) brush(clear,
//   0x00FFFFFF) Rectangle(x1, y1, x2, y2) ...   MoveTo(x, y) ...   LineTo(x, y) ...   FillRect(x1, y1, x2,
//   y2) ... Draw(x, y, image 300x100) ...   StretchDraw(x1, y1, x2, y2, image 300x100) ...
//   DrawTextDocumentPage(1 of 3, x1, y1, x2, y2) ...
// Style letters B I U S in that order, "-" for none; pens solid or dotted; brushes clear,
// solid or bdiagonal; colours as the stored Windows value.

#include <QSize>
#include <QStringList>

#include "platform/print/print_backend.h"

namespace platform::print {

class RecordingPrintBackend : public PrintBackend {
 public:
  explicit RecordingPrintBackend(QSize portrait_page = QSize(2400, 3150)) : portrait_page_(portrait_page) {}

  const QStringList& Log() const { return log_; }
  void ClearLog() { log_.clear(); }
  // The plain text of every text document printed, once per document (at its first page).
  const QStringList& DocumentTexts() const { return documents_; }

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
  void Record(const QString& call, const CanvasState& state);

  QSize portrait_page_;
  QStringList log_;
  QStringList documents_;
};

}  // namespace platform::print
