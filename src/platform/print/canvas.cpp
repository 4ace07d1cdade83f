#include "platform/print/canvas.h"

#include "platform/print/printer.h"

namespace platform::print {

int TCanvas::TextWidth(const QString& text) const {
  return printer_.Backend().TextWidth(Font, text);
}

int TCanvas::TextHeight(const QString& text) const {
  return printer_.Backend().TextHeight(Font, text);
}

void TCanvas::TextOut(int x, int y, const QString& text) {
  printer_.RequirePrinting("TextOut");
  printer_.Backend().TextOut(State(), x, y, text);
}

void TCanvas::Rectangle(int x1, int y1, int x2, int y2) {
  printer_.RequirePrinting("Rectangle");
  printer_.Backend().Rectangle(State(), QRect(QPoint(x1, y1), QPoint(x2 - 1, y2 - 1)));
}

void TCanvas::MoveTo(int x, int y) {
  printer_.RequirePrinting("MoveTo");
  pen_pos_ = QPoint(x, y);
  printer_.Backend().MoveTo(State(), pen_pos_);
}

void TCanvas::LineTo(int x, int y) {
  printer_.RequirePrinting("LineTo");
  const QPoint from = pen_pos_;
  pen_pos_ = QPoint(x, y);
  printer_.Backend().LineTo(State(), from, pen_pos_);
}

void TCanvas::FillRect(const QRect& rect) {
  printer_.RequirePrinting("FillRect");
  printer_.Backend().FillRect(State(), rect);
}

void TCanvas::Draw(int x, int y, const QImage& image) {
  printer_.RequirePrinting("Draw");
  printer_.Backend().Draw(State(), QPoint(x, y), image);
}

void TCanvas::StretchDraw(const QRect& rect, const QImage& image) {
  printer_.RequirePrinting("StretchDraw");
  printer_.Backend().StretchDraw(State(), rect, image);
}

void TCanvas::DrawTextDocumentPage(const QTextDocument& document, int page, const QRect& rect) {
  printer_.RequirePrinting("DrawTextDocumentPage");
  printer_.Backend().DrawTextDocumentPage(State(), document, page, rect);
}

}  // namespace platform::print
