#include "platform/print/recording_print_backend.h"

#include <QTextDocument>

namespace platform::print {

namespace {

QString Hex(TColor color) {
  return "0x" + QString::number(static_cast<uint32_t>(color), 16).rightJustified(8, '0').toUpper();
}

QString StyleLetters(TFontStyles style) {
  QString letters;
  if (style & fsBold) letters += 'B';
  if (style & fsItalic) letters += 'I';
  if (style & fsUnderline) letters += 'U';
  if (style & fsStrikeOut) letters += 'S';
  return letters.isEmpty() ? QStringLiteral("-") : letters;
}

QString PenStyleName(TPenStyle style) {
  return style == TPenStyle::psDot ? "dotted" : "solid";
}

QString BrushStyleName(TBrushStyle style) {
  switch (style) {
    case TBrushStyle::bsClear:
      return "clear";
    case TBrushStyle::bsSolid:
      return "solid";
    case TBrushStyle::bsBDiagonal:
      return "bdiagonal";
  }
  return "?";
}

// x1, y1, x2, y2 with the right and bottom edges exclusive, as the canvas calls take them.
QString Corners(const QRect& rect) {
  return QStringLiteral("%1, %2, %3, %4")
      .arg(rect.left())
      .arg(rect.top())
      .arg(rect.left() + rect.width())
      .arg(rect.top() + rect.height());
}

QString ImageSize(const QImage& image) {
  return QStringLiteral("image %1x%2").arg(image.width()).arg(image.height());
}

QString Quoted(const QString& text) {
  return '"' + text + '"';
}

}  // namespace

QSize RecordingPrintBackend::PageSize(TPrinterOrientation orientation) const {
  return orientation == TPrinterOrientation::poPortrait ? portrait_page_ : portrait_page_.transposed();
}

int RecordingPrintBackend::TextWidth(const TFont& font, const QString& text) const {
  return (static_cast<int>(text.size()) * font.Size * 5 + 1) / 2;
}

int RecordingPrintBackend::TextHeight(const TFont& font, const QString&) const {
  return font.Size * 5;
}

void RecordingPrintBackend::BeginDoc(const QString& title, TPrinterOrientation orientation) {
  const QSize page = PageSize(orientation);
  log_ << QStringLiteral("BeginDoc(%1, %2, %3x%4)")
              .arg(Quoted(title), orientation == TPrinterOrientation::poPortrait ? "portrait" : "landscape")
              .arg(page.width())
              .arg(page.height());
}

void RecordingPrintBackend::NewPage(int page_number) {
  log_ << QStringLiteral("NewPage(%1)").arg(page_number);
}

void RecordingPrintBackend::EndDoc() {
  log_ << "EndDoc";
}

void RecordingPrintBackend::Abort() {
  log_ << "Abort";
}

void RecordingPrintBackend::TextOut(const CanvasState& state, int x, int y, const QString& text) {
  Record(QStringLiteral("TextOut(%1, %2, %3)").arg(x).arg(y).arg(Quoted(text)), state);
}

void RecordingPrintBackend::Rectangle(const CanvasState& state, const QRect& rect) {
  Record("Rectangle(" + Corners(rect) + ")", state);
}

void RecordingPrintBackend::MoveTo(const CanvasState& state, const QPoint& to) {
  Record(QStringLiteral("MoveTo(%1, %2)").arg(to.x()).arg(to.y()), state);
}

void RecordingPrintBackend::LineTo(const CanvasState& state, const QPoint&, const QPoint& to) {
  Record(QStringLiteral("LineTo(%1, %2)").arg(to.x()).arg(to.y()), state);
}

void RecordingPrintBackend::FillRect(const CanvasState& state, const QRect& rect) {
  Record("FillRect(" + Corners(rect) + ")", state);
}

void RecordingPrintBackend::Draw(const CanvasState& state, const QPoint& at, const QImage& image) {
  Record(QStringLiteral("Draw(%1, %2, %3)").arg(at.x()).arg(at.y()).arg(ImageSize(image)), state);
}

void RecordingPrintBackend::StretchDraw(const CanvasState& state, const QRect& rect, const QImage& image) {
  Record("StretchDraw(" + Corners(rect) + ", " + ImageSize(image) + ")", state);
}

void RecordingPrintBackend::DrawTextDocumentPage(const CanvasState& state, const QTextDocument& document,
                                                 int page, const QRect& rect) {
  if (page == 0) documents_ << document.toPlainText();
  Record(QStringLiteral("DrawTextDocumentPage(%1 of %2, %3)")
             .arg(page + 1)
             .arg(document.pageCount())
             .arg(Corners(rect)),
         state);
}

void RecordingPrintBackend::Record(const QString& call, const CanvasState& state) {
  log_ << QStringLiteral("%1 font(%2, %3, %4, %5) pen(%6, %7, %8) brush(%9, %10)")
              .arg(call, state.Font.Name)
              .arg(state.Font.Size)
              .arg(StyleLetters(state.Font.Style), Hex(state.Font.Color))
              .arg(state.Pen.Width)
              .arg(Hex(state.Pen.Color), PenStyleName(state.Pen.Style), BrushStyleName(state.Brush.Style),
                   Hex(state.Brush.Color));
}

}  // namespace platform::print
