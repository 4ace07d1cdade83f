#include "reports/letter_ruler.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPolygon>
#include <algorithm>

namespace reports {

namespace {

constexpr int kMarkerWidth = 10;
constexpr int kMarkerHeight = 8;
constexpr int kRulerHeight = 26;

}  // namespace

TRulerMarker::TRulerMarker(QWidget* ruler, Points points) : QWidget(ruler), points_(points) {
  setFixedSize(kMarkerWidth, kMarkerHeight);
  setCursor(Qt::SizeHorCursor);
}

void TRulerMarker::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setPen(palette().color(QPalette::WindowText));
  painter.setBrush(palette().color(QPalette::Mid));
  const int w = width() - 1, h = height() - 1;
  QPolygon triangle = points_ == Points::Down ? QPolygon({QPoint(0, 0), QPoint(w, 0), QPoint(w / 2, h)})
                                              : QPolygon({QPoint(w / 2, 0), QPoint(w, h), QPoint(0, h)});
  painter.drawPolygon(triangle);
}

void TRulerMarker::mousePressEvent(QMouseEvent* event) {
  dragging_ = event->button() == Qt::LeftButton;
}

void TRulerMarker::mouseMoveEvent(QMouseEvent* event) {
  if (!dragging_) return;
  const int x = mapToParent(event->position().toPoint()).x() - DragOffset();
  move(std::clamp(x, 0, parentWidget()->width() - width()), y());
}

void TRulerMarker::mouseReleaseEvent(QMouseEvent*) {
  if (!dragging_) return;
  dragging_ = false;
  if (Released) Released();
}

TLetterRuler::TLetterRuler(QWidget* parent)
    : QFrame(parent),
      FirstInd(new TRulerMarker(this, TRulerMarker::Points::Down)),
      LeftInd(new TRulerMarker(this, TRulerMarker::Points::Up)),
      RightInd(new TRulerMarker(this, TRulerMarker::Points::Up)) {
  setFrameShape(QFrame::Panel);
  setFrameShadow(QFrame::Sunken);
  setFixedHeight(kRulerHeight);
  FirstInd->move(Gutter - kMarkerWidth / 2, 1);
  LeftInd->move(Gutter - kMarkerWidth / 2, kRulerHeight - kMarkerHeight - 1);
  RightInd->move(width() - Gutter - kMarkerWidth / 2, kRulerHeight - kMarkerHeight - 1);
}

void TLetterRuler::SetTabDistance(int pixels) {
  tabDistance_ = std::max(4, pixels);
  update();
}

void TLetterRuler::paintEvent(QPaintEvent* event) {
  QFrame::paintEvent(event);
  QPainter painter(this);
  painter.setPen(palette().color(QPalette::WindowText));
  const int middle = height() / 2;
  for (int x = Gutter + tabDistance_; x < width() - Gutter; x += tabDistance_)
    painter.drawLine(x, middle - 3, x, middle + 3);
}

}  // namespace reports
