#include "storage/browser/rec_browser.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QWheelEvent>
#include <algorithm>
#include <utility>

#include "platform/text/codepage.h"
#include "platform/text/upper_case.h"
#include "platform/ui/application.h"
#include "platform/ui/desktop.h"

namespace storage {

namespace {

constexpr int LeftMargin = 2;
constexpr int DragScrollIntervalMs = 50;
// While a filter rejects entry after entry, pending events run at least this often.
constexpr int FilterPumpIntervalMs = 100;

// A typed character that moves the browser: letters, digits and the German umlauts and sharp
// s, taken by their capital form (every index key is upper case).
bool IsSearchChar(char upper) {
  auto c = static_cast<unsigned char>(upper);
  return (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == 0xC4 || c == 0xD6 || c == 0xDC || c == 0xDF;
}

}  // namespace

TRecBrowser::TRecBrowser(QWidget* parent) : QAbstractScrollArea(parent) {
  const QPalette& pal = palette();
  color_ = pal.color(QPalette::Base);
  fontColor_ = pal.color(QPalette::Text);
  headerColor_ = footerColor_ = pal.color(QPalette::Button);
  headerTxtColor_ = footerTxtColor_ = pal.color(QPalette::ButtonText);
  highlightColor_ = pal.color(QPalette::Highlight);
  highlightTxtColor_ = pal.color(QPalette::HighlightedText);

  setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  setFocusPolicy(Qt::StrongFocus);
  setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
  viewport()->setAutoFillBackground(false);

  QScrollBar* vertical = verticalScrollBar();
  vertical->setRange(0, BrowserScrollScale);
  vertical->setSingleStep(1);
  vertical->setPageStep(1);
  vertical->setTracking(false);
  connect(vertical, &QScrollBar::actionTriggered, this, [this](int action) { VerticalAction(action); });
  connect(vertical, &QScrollBar::sliderReleased, this,
          [this] { ScrollPosToEntry(verticalScrollBar()->sliderPosition()); });
  horizontalScrollBar()->setTracking(false);

  dragTimer_.setInterval(DragScrollIntervalMs);
  connect(&dragTimer_, &QTimer::timeout, this, [this] { DragScrollTick(); });

  resize(200, 100);
  RecomputeGeometry();
}

TRecBrowser::~TRecBrowser() = default;

// ---- properties ----

void TRecBrowser::Repaint(QColor& colour, const QColor& value) {
  colour = value;
  viewport()->update();
}

void TRecBrowser::SetBorderStyle(TBorderStyle style) {
  borderStyle_ = style;
  setFrameStyle(style == TBorderStyle::bsSingle ? QFrame::StyledPanel | QFrame::Sunken : QFrame::NoFrame);
}

void TRecBrowser::SetColor(const QColor& color) {
  Repaint(color_, color);
}

void TRecBrowser::SetFontColor(const QColor& color) {
  Repaint(fontColor_, color);
}

void TRecBrowser::SetHeader(const QString& header) {
  header_ = header.left(BRLRowEltLen);
  RecomputeGeometry();
  BrowserRefresh();
  viewport()->update();
}

void TRecBrowser::SetFooter(const QString& footer) {
  footer_ = footer.left(BRLRowEltLen);
  RecomputeGeometry();
  BrowserRefresh();
  viewport()->update();
}

void TRecBrowser::SetHeaderColor(const QColor& color) {
  Repaint(headerColor_, color);
}

void TRecBrowser::SetHeaderTxtColor(const QColor& color) {
  Repaint(headerTxtColor_, color);
}

void TRecBrowser::SetFooterColor(const QColor& color) {
  Repaint(footerColor_, color);
}

void TRecBrowser::SetFooterTxtColor(const QColor& color) {
  Repaint(footerTxtColor_, color);
}

void TRecBrowser::SetHighlightColor(const QColor& color) {
  Repaint(highlightColor_, color);
}

void TRecBrowser::SetHighlightTxtColor(const QColor& color) {
  Repaint(highlightTxtColor_, color);
}

void TRecBrowser::SetUseSeparator(bool use) {
  useSeparator_ = use;
  viewport()->update();
}

void TRecBrowser::SetHorizOfs(int offset) {
  int range = std::max(0, TextWidth() - viewport()->width());
  offset = std::clamp(offset, 0, range);
  if (horizontalScrollBar()->value() != offset) horizontalScrollBar()->setValue(offset);
  if (offset == horizOfs_) return;
  horizOfs_ = offset;
  viewport()->update();
}

void TRecBrowser::SetFilterEnabled(bool enabled) {
  if (!enabled) EndFilterNotification();
  if (enabled == filterEnabled_) return;
  filterEnabled_ = enabled;
  InvalidateRows();
  BrowserRefresh();
}

// ---- data source ----

std::unique_ptr<TBrowserDataSource> TRecBrowser::BrowserDataSourceCreate(
    IsamFileBlock& fileBlock, int elementsPerRow, int rows, int32_t keyNr, const IsamKeyStr& lowerBound,
    const IsamKeyStr& upperBound, void* recordBuffer, size_t recordSize, bool variableLength) {
  return std::make_unique<TBrowserDataSource>(*this, fileBlock, elementsPerRow, rows, keyNr, lowerBound,
                                              upperBound, recordBuffer, recordSize, variableLength);
}

void TRecBrowser::Attach(std::unique_ptr<TBrowserDataSource> dataSource) {
  if (busy_) return;
  EndFilterNotification();
  dataSource_ = std::move(dataSource);
  activated_ = false;
  if (dataSource_ && windowExists_) Activate();
  InvalidateRows();
}

void TRecBrowser::Activate() {
  activated_ = true;
  PageView before = View();
  RecomputeGeometry();
  // Moves made before the window existed filled the page without building its rows.
  CompleteAndShow(before);
  if (OnFirstUserInit) OnFirstUserInit(this);
}

bool TRecBrowser::Ready() const {
  return dataSource_ && activated_ && windowExists_ && !filterWorking_ && !busy_;
}

TRecBrowser::PageView TRecBrowser::View() const {
  PageView view;
  if (!dataSource_) return view;
  view.currentRow = dataSource_->CurrentRow();
  for (int n = 1; n <= dataSource_->LastFilledRow(); ++n) view.refs.push_back(dataSource_->Row(n).Ref);
  return view;
}

void TRecBrowser::RunMove(const std::function<int32_t()>& move) {
  if (!dataSource_ || busy_) return;
  PageView before = View();
  busy_ = true;
  int32_t errorClass = move();
  busy_ = false;
  EndFilterNotification();
  ReportErrorClass(errorClass);
  CompleteAndShow(before);
  if (geometryPending_) {
    geometryPending_ = false;
    RecomputeGeometry();
  }
}

void TRecBrowser::CompleteAndShow(const PageView& before) {
  if (!windowExists_ || !activated_) return;
  busy_ = true;
  int32_t errorClass = dataSource_->CompletePage();
  busy_ = false;
  EndFilterNotification();
  ReportErrorClass(errorClass);
  RepaintChanges(before, View());
  // Raised after every move, the ones that find nothing to move to included: a manager shows its
  // count here, also over a file with no records.
  if (OnRowChanged) OnRowChanged(this);
  UpdateVerticalPosition();
}

void TRecBrowser::RepaintChanges(const PageView& before, const PageView& after) {
  int rows = dataSource_->RowsInUse();
  auto shiftedBy = [&](int delta) {
    // The page moved by one row: each entry sits one row further up (delta 1) or down.
    if (before.refs.size() != after.refs.size() || after.refs.size() < 2) return false;
    size_t n = after.refs.size() - 1;
    return delta > 0 ? std::equal(after.refs.begin(), after.refs.begin() + n, before.refs.begin() + 1)
                     : std::equal(after.refs.begin() + 1, after.refs.end(), before.refs.begin());
  };
  if (after.refs == before.refs) {
    UpdateRow(before.currentRow);
    UpdateRow(after.currentRow);
  } else if (shiftedBy(1) || shiftedBy(-1)) {
    int delta = shiftedBy(1) ? 1 : -1;
    viewport()->scroll(0, -delta * rowHeight_, RowsRect());
    UpdateRow(delta > 0 ? rows : 1);
    UpdateRow(before.currentRow - delta);
    UpdateRow(after.currentRow);
  } else {
    InvalidateRows();
  }
  for (int n = 1; n <= rows; ++n) {
    RowRec& row = dataSource_->Row(n);
    if (row.Changed) UpdateRow(n);
    row.Changed = false;
  }
}

void TRecBrowser::UpdateVerticalPosition() {
  if (!dataSource_) return;
  uint16_t position = 0;
  ReportErrorClass(dataSource_->KeyToScrollPos(position));
  QSignalBlocker block(verticalScrollBar());
  verticalScrollBar()->setValue(position);
}

void TRecBrowser::ReportErrorClass(int32_t errorClass) {
  if (errorClass < IsamErrorClassLock) return;
  int32_t code = dataSource_ ? dataSource_->LastError() : IsamError;
  // The box runs its own event loop: no drag may go on scrolling into the same error meanwhile,
  // and no move starts until it is answered.
  tracking_ = false;
  dragTimer_.stop();
  bool wasBusy = std::exchange(busy_, true);
  platform::ui::Application->ShowException(QString::asprintf(
      "Class %d error.  Isam Error %d", static_cast<int>(errorClass), static_cast<int>(code)));
  busy_ = wasBusy;
}

void TRecBrowser::FilterCalled(bool rejected) {
  int32_t callState = filterWorking_ ? 0 : -1;
  if (!filterWorking_) {
    filterWorking_ = true;
    waitCursor_ = std::make_unique<platform::ui::WaitCursor>();
    sincePump_.start();
  }
  if (OnShowFilterWorking) OnShowFilterWorking(this, callState, rejected);
  if (sincePump_.elapsed() >= FilterPumpIntervalMs) {
    platform::ui::Application->ProcessMessages();
    sincePump_.restart();
  }
}

void TRecBrowser::EndFilterNotification() {
  if (!filterWorking_) return;
  filterWorking_ = false;
  waitCursor_.reset();
  if (OnShowFilterWorking) OnShowFilterWorking(this, 1, false);
}

// ---- operations of the managers ----

void TRecBrowser::BrowserGoToKey(const IsamKeyStr& key, IsamRecRef ref) {
  if (!dataSource_) return;
  RunMove([&] {
    return dataSource_->GoToKey(dataSource_->KeyNumber(), key.substr(0, IsamMaxKeyLen),
                                dataSource_->RowsInUse(), dataSource_->CurrentRow(), ref);
  });
}

void TRecBrowser::BrowserRefresh() {
  RunMove([&] { return dataSource_->Refresh(); });
}

void TRecBrowser::BrowserSetKeyNumber(int32_t keyNr) {
  RunMove([&] { return dataSource_->SetKeyNumber(keyNr); });
}

IsamRecRef TRecBrowser::BrowserCurrentRef() const {
  return dataSource_ ? dataSource_->CurrentRef() : 0;
}

int32_t TRecBrowser::BrowserKeyNumber() const {
  return dataSource_ ? dataSource_->KeyNumber() : 65535;
}

int32_t TRecBrowser::BrowserReadCurrent(int32_t& status) {
  if (!dataSource_) return 5;
  status = dataSource_->ReadCurrentRecord();
  return 0;
}

int32_t TRecBrowser::BrowserReadRecordOfRow(IsamRecRef ref) {
  return dataSource_ ? dataSource_->ReadRecordOfRow(ref) : 5;
}

// ---- moves ----

void TRecBrowser::FirstEntry() {
  RunMove([&] { return dataSource_->First(); });
}

void TRecBrowser::LastEntry() {
  RunMove([&] { return dataSource_->Last(); });
}

void TRecBrowser::RowDown() {
  RunMove([&] { return dataSource_->RowDown(); });
}

void TRecBrowser::RowUp() {
  RunMove([&] { return dataSource_->RowUp(); });
}

void TRecBrowser::PageDown() {
  RunMove([&] { return dataSource_->PageDown(); });
}

void TRecBrowser::PageUp() {
  RunMove([&] { return dataSource_->PageUp(); });
}

void TRecBrowser::ScrollPosToEntry(int position) {
  RunMove([&] { return dataSource_->ScrollPosToKey(static_cast<uint16_t>(std::max(position, 0))); });
}

void TRecBrowser::HorizHome() {
  SetHorizOfs(0);
}

void TRecBrowser::HorizEnd() {
  SetHorizOfs(TextWidth());
}

void TRecBrowser::CharLeft() {
  SetHorizOfs(horizOfs_ - charWidth_);
}

void TRecBrowser::CharRight() {
  SetHorizOfs(horizOfs_ + charWidth_);
}

void TRecBrowser::TenCharsLeft() {
  SetHorizOfs(horizOfs_ - 10 * charWidth_);
}

void TRecBrowser::TenCharsRight() {
  SetHorizOfs(horizOfs_ + 10 * charWidth_);
}

void TRecBrowser::VerticalAction(int action) {
  switch (action) {
    case QAbstractSlider::SliderSingleStepAdd:
      RowDown();
      break;
    case QAbstractSlider::SliderSingleStepSub:
      RowUp();
      break;
    case QAbstractSlider::SliderPageStepAdd:
      PageDown();
      break;
    case QAbstractSlider::SliderPageStepSub:
      PageUp();
      break;
    case QAbstractSlider::SliderToMinimum:
      FirstEntry();
      break;
    case QAbstractSlider::SliderToMaximum:
      LastEntry();
      break;
    default:
      return;  // dragging the thumb moves on release
  }
  // The bar applies the action's own step after this; the place of the entry reached (set by
  // the move) overrides it.
  verticalScrollBar()->setSliderPosition(verticalScrollBar()->value());
}

void TRecBrowser::scrollContentsBy(int dx, int) {
  if (dx != 0) SetHorizOfs(horizontalScrollBar()->value());
}

// ---- geometry ----

void TRecBrowser::RecomputeGeometry() {
  if (busy_) {
    geometryPending_ = true;
    return;
  }
  QFontMetrics metrics(font());
  rowHeight_ = std::max(1, metrics.height() + std::max(0, metrics.leading()));
  charWidth_ = std::max(1, (metrics.maxWidth() + metrics.averageCharWidth()) / 2);
  ascent_ = metrics.ascent();
  firstRowY_ = header_.isEmpty() ? 0 : rowHeight_;
  int rows = viewport()->height() / rowHeight_ - (header_.isEmpty() ? 0 : 1) - (footer_.isEmpty() ? 0 : 1);
  rows = std::max(rows, 1);

  int range = std::max(0, TextWidth() - viewport()->width());
  QScrollBar* horizontal = horizontalScrollBar();
  horizontal->setRange(0, range);
  horizontal->setSingleStep(charWidth_);
  horizontal->setPageStep(10 * charWidth_);
  SetHorizOfs(horizOfs_);

  if (dataSource_ && rows != dataSource_->RowsInUse()) {
    RunMove([&] { return dataSource_->SetRowsInUse(rows); });
  }
  InvalidateRows();
}

QRect TRecBrowser::RowsRect() const {
  int rows = dataSource_ ? dataSource_->RowsInUse() : 1;
  return QRect(0, firstRowY_, viewport()->width(), rows * rowHeight_);
}

int TRecBrowser::YToRow(int y) const {
  int rows = dataSource_ ? dataSource_->RowsInUse() : 1;
  if (y < firstRowY_) return 0;
  return std::min((y - firstRowY_) / rowHeight_ + 1, rows + 1);
}

int TRecBrowser::RowToY(int row) const {
  int rows = dataSource_ ? dataSource_->RowsInUse() : 1;
  return firstRowY_ + (std::clamp(row, 1, rows + 1) - 1) * rowHeight_;
}

void TRecBrowser::UpdateRow(int row) {
  if (!dataSource_ || row < 1 || row > dataSource_->RowsInUse()) return;
  viewport()->update(QRect(0, RowToY(row), viewport()->width(), rowHeight_));
}

void TRecBrowser::InvalidateRows() {
  viewport()->update();
}

// ---- painting ----

void TRecBrowser::paintEvent(QPaintEvent*) {
  QPainter painter(viewport());
  painter.setFont(font());
  painter.fillRect(viewport()->rect(), color_);
  if (!header_.isEmpty()) DrawHeader(painter);
  if (!footer_.isEmpty()) DrawFooter(painter);
  if (!dataSource_ || !activated_) return;
  for (int n = 1; n <= dataSource_->RowsInUse(); ++n) DrawRow(painter, n);
}

void TRecBrowser::DrawLine(QPainter& painter, int y, const QColor& background, const QColor& textColor,
                           const QString& text) {
  painter.fillRect(QRect(0, y, viewport()->width(), rowHeight_), background);
  painter.setPen(textColor);
  DrawTextAt(painter, LeftMargin - horizOfs_, y, text);
}

void TRecBrowser::DrawTextAt(QPainter& painter, int x, int y, const QString& text) {
  painter.drawText(x, y + ascent_, text);
}

void TRecBrowser::DrawSeparator(QPainter& painter, int y) {
  painter.setPen(fontColor_);
  painter.drawLine(0, y, viewport()->width(), y);
}

void TRecBrowser::DrawHeader(QPainter& painter) {
  DrawLine(painter, 0, headerColor_, headerTxtColor_, header_);
  if (useSeparator_) DrawSeparator(painter, rowHeight_ - 1);
}

void TRecBrowser::DrawFooter(QPainter& painter) {
  int rows = dataSource_ ? dataSource_->RowsInUse() : 1;
  int y = RowToY(rows + 1);
  DrawLine(painter, y, footerColor_, footerTxtColor_, footer_);
  if (useSeparator_) DrawSeparator(painter, y);
}

void TRecBrowser::DrawRow(QPainter& painter, int row) {
  const RowRec& rr = dataSource_->Row(row);
  bool current = row == dataSource_->CurrentRow() && !rr.Empty();
  DrawLine(painter, RowToY(row), current ? highlightColor_ : color_,
           current ? highlightTxtColor_ : fontColor_, platform::text::ToQString(rr.Text[0]));
}

// ---- window events ----

void TRecBrowser::resizeEvent(QResizeEvent* event) {
  QAbstractScrollArea::resizeEvent(event);
  RecomputeGeometry();
}

void TRecBrowser::showEvent(QShowEvent* event) {
  QAbstractScrollArea::showEvent(event);
  if (windowExists_) return;
  windowExists_ = true;
  if (dataSource_ && !activated_) Activate();
}

void TRecBrowser::changeEvent(QEvent* event) {
  QAbstractScrollArea::changeEvent(event);
  if (event->type() == QEvent::FontChange) {
    RecomputeGeometry();
    BrowserRefresh();
  }
}

void TRecBrowser::keyPressEvent(QKeyEvent* event) {
  // Keys that arrive while the page is being filled are dropped.
  bool ctrl = event->modifiers() & Qt::ControlModifier;
  switch (event->key()) {
    case Qt::Key_Up:
      if (Ready()) RowUp();
      return;
    case Qt::Key_Down:
      if (Ready()) RowDown();
      return;
    case Qt::Key_PageUp:
      if (Ready()) PageUp();
      return;
    case Qt::Key_PageDown:
      if (Ready()) PageDown();
      return;
    case Qt::Key_Home:
      if (Ready()) ctrl ? FirstEntry() : HorizHome();
      return;
    case Qt::Key_End:
      if (Ready()) ctrl ? LastEntry() : HorizEnd();
      return;
    case Qt::Key_Left:
      if (Ready()) ctrl ? TenCharsLeft() : CharLeft();
      return;
    case Qt::Key_Right:
      if (Ready()) ctrl ? TenCharsRight() : CharRight();
      return;
    default:
      break;
  }
  std::string typed = platform::text::ToAnsi(event->text());
  if (typed.size() == 1 && !ctrl) {
    char upper = platform::text::UpperChar(typed[0]);
    if (typed[0] == '+') {
      if (Ready()) BrowserRefresh();
      return;
    }
    if (IsSearchChar(upper)) {
      if (Ready()) BrowserGoToKey(std::string(1, upper), 0);
      return;
    }
  }
  event->ignore();  // Enter, Escape and the rest belong to the window
}

void TRecBrowser::mousePressEvent(QMouseEvent* event) {
  setFocus(Qt::MouseFocusReason);
  if (event->button() != Qt::LeftButton || !Ready()) return;
  int row = YToRow(static_cast<int>(event->position().y()));
  if (row < 1 || row > dataSource_->RowsInUse()) return;
  tracking_ = true;
  TrackPointer(static_cast<int>(event->position().y()));
}

void TRecBrowser::TrackPointer(int y) {
  int row = YToRow(y);
  if (row < 1) {
    dragDirection_ = -1;
  } else if (row > dataSource_->RowsInUse()) {
    dragDirection_ = 1;
  } else {
    dragDirection_ = 0;
    dragTimer_.stop();
    PageView before = View();
    dataSource_->SetCurrentRow(row);
    CompleteAndShow(before);
    return;
  }
  if (!dragTimer_.isActive()) {
    DragScrollTick();
    dragTimer_.start();
  }
}

void TRecBrowser::DragScrollTick() {
  if (!tracking_ || dragDirection_ == 0) {
    dragTimer_.stop();
    return;
  }
  if (!Ready()) return;
  if (dragDirection_ > 0) {
    RowDown();
  } else {
    RowUp();
  }
}

void TRecBrowser::mouseMoveEvent(QMouseEvent* event) {
  if (!tracking_ || !hasFocus() || !(event->buttons() & Qt::LeftButton) || !Ready()) return;
  TrackPointer(static_cast<int>(event->position().y()));
}

void TRecBrowser::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  tracking_ = false;
  dragDirection_ = 0;
  dragTimer_.stop();
}

void TRecBrowser::mouseDoubleClickEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton || !Ready()) return;
  int row = YToRow(static_cast<int>(event->position().y()));
  if (row < 1 || row > dataSource_->RowsInUse()) return;
  TrackPointer(static_cast<int>(event->position().y()));  // the record under the pointer is the one meant
  if (OnDblClick) OnDblClick(this);
}

void TRecBrowser::wheelEvent(QWheelEvent* event) {
  if (!Ready()) return;
  wheelRemainder_ += event->angleDelta().y();
  int notches = wheelRemainder_ / QWheelEvent::DefaultDeltasPerStep;
  wheelRemainder_ %= QWheelEvent::DefaultDeltasPerStep;
  int rows = notches * QApplication::wheelScrollLines();
  for (int i = 0; i < std::abs(rows) && Ready(); ++i) {
    if (rows > 0) {
      RowUp();
    } else {
      RowDown();
    }
  }
  event->accept();
}

void TRecBrowser::focusOutEvent(QFocusEvent* event) {
  QAbstractScrollArea::focusOutEvent(event);
  tracking_ = false;
  dragDirection_ = 0;
  dragTimer_.stop();
}

void TRecBrowser::contextMenuEvent(QContextMenuEvent* event) {
  if (popupMenu_) popupMenu_->exec(event->globalPos());
}

}  // namespace storage
