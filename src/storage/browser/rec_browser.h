#pragma once
// TRecBrowser: the control with which every manager window lists its file, one line of text
// per record, one page at a time, in the order of the chosen index. It draws everything itself:
// an optional header line, the rows with the highlighted current row, an optional footer line.
// The rows come from its data source (browser_data_source.h); their text from OnBuildRow.
//
// Errors of the data source are shown in the error box as "Class %d error.  Isam Error %d"
// right here, so that none escapes through the event loop.
//
// While a filter is working through a page (between its first OnShowFilterWorking call and the
// closing one) the control is not ready: it shows the wait cursor, lets pending events run now
// and then so that the window keeps painting, and ignores input until the page is complete.

#include <QAbstractScrollArea>
#include <QColor>
#include <QElapsedTimer>
#include <QString>
#include <QTimer>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "storage/browser/browser_data_source.h"

class QMenu;

namespace platform::ui {
class WaitCursor;
}

namespace storage {

enum class TBorderStyle { bsNone, bsSingle };

class TRecBrowser : public QAbstractScrollArea {
 public:
  using TBuildRowEvent = std::function<int32_t(TRecBrowser* sender, RowRec& rr)>;
  using TFilterEvent = std::function<int32_t(TRecBrowser* sender, RowRec& rr, bool& useIt)>;
  using TFilterWorkingEvent = std::function<void(TRecBrowser* sender, int32_t callState, bool rejected)>;
  using TPrePostCompletePage = std::function<int32_t(TRecBrowser* sender)>;
  using TNotifyEvent = std::function<void(TRecBrowser* sender)>;

  explicit TRecBrowser(QWidget* parent = nullptr);
  ~TRecBrowser() override;

  // Events.
  TBuildRowEvent OnBuildRow;
  TFilterEvent OnPerformFilter;
  TFilterWorkingEvent OnShowFilterWorking;
  TPrePostCompletePage OnPreCompletePage;
  TPrePostCompletePage OnPostCompletePage;
  // After every move of the highlight or the page, also one that had nothing to move over.
  TNotifyEvent OnRowChanged;
  TNotifyEvent OnFirstUserInit;
  TNotifyEvent OnDblClick;

  // Properties.
  TBorderStyle BorderStyle() const { return borderStyle_; }
  void SetBorderStyle(TBorderStyle style);
  QColor Color() const { return color_; }
  void SetColor(const QColor& color);
  // The colour of the font (the font itself is the widget's font).
  QColor FontColor() const { return fontColor_; }
  void SetFontColor(const QColor& color);
  QString Header() const { return header_; }
  void SetHeader(const QString& header);
  QColor HeaderColor() const { return headerColor_; }
  void SetHeaderColor(const QColor& color);
  QColor HeaderTxtColor() const { return headerTxtColor_; }
  void SetHeaderTxtColor(const QColor& color);
  QString Footer() const { return footer_; }
  void SetFooter(const QString& footer);
  QColor FooterColor() const { return footerColor_; }
  void SetFooterColor(const QColor& color);
  QColor FooterTxtColor() const { return footerTxtColor_; }
  void SetFooterTxtColor(const QColor& color);
  QColor HighlightColor() const { return highlightColor_; }
  void SetHighlightColor(const QColor& color);
  QColor HighlightTxtColor() const { return highlightTxtColor_; }
  void SetHighlightTxtColor(const QColor& color);
  int HorizOfs() const { return horizOfs_; }
  void SetHorizOfs(int offset);
  [[nodiscard]] bool UseSeparator() const { return useSeparator_; }
  void SetUseSeparator(bool use);
  [[nodiscard]] bool FilterEnabled() const { return filterEnabled_; }
  void SetFilterEnabled(bool enabled);
  // The menu that pops up on the rows (none by default).
  QMenu* PopupMenu() const { return popupMenu_; }
  void SetPopupMenu(QMenu* menu) { popupMenu_ = menu; }

  // Creates a data source for this browser over a file block and the manager's record buffer.
  std::unique_ptr<TBrowserDataSource> BrowserDataSourceCreate(
      IsamFileBlock& fileBlock, int elementsPerRow, int rows, int32_t keyNr, const IsamKeyStr& lowerBound,
      const IsamKeyStr& upperBound, void* recordBuffer, size_t recordSize, bool variableLength);
  // Frees the data source attached before, takes this one and activates it (at once when the
  // window exists, otherwise when it is first shown).
  void Attach(std::unique_ptr<TBrowserDataSource> dataSource);
  TBrowserDataSource* DataSource() const { return dataSource_.get(); }

  // The operations the managers call.
  void BrowserGoToKey(const IsamKeyStr& key, IsamRecRef ref);
  void BrowserRefresh();
  void BrowserSetKeyNumber(int32_t keyNr);
  IsamRecRef BrowserCurrentRef() const;
  int32_t BrowserKeyNumber() const;
  // 5 without a data source, else 0 with the read's error class in status.
  int32_t BrowserReadCurrent(int32_t& status);
  int32_t BrowserReadRecordOfRow(IsamRecRef ref);

  // A data source is attached and activated, the window exists and no filter is working.
  [[nodiscard]] bool Ready() const;

  // Moves, as the keys, the mouse and the scroll bars make them.
  void FirstEntry();
  void LastEntry();
  void RowDown();
  void RowUp();
  void PageDown();
  void PageUp();
  void HorizHome();
  void HorizEnd();
  void CharLeft();
  void CharRight();
  void TenCharsLeft();
  void TenCharsRight();
  // Goes to the entry found for a place of the vertical scroll bar (0..63).
  void ScrollPosToEntry(int position);

  // Geometry, from the font's metrics.
  int RowHeight() const { return rowHeight_; }
  int CharWidth() const { return charWidth_; }
  int TextWidth() const { return charWidth_ * BRLRowEltLen; }
  QRect RowsRect() const;
  // The row under a y coordinate of the rows area: 0 above it, rows in use + 1 below it.
  int YToRow(int y) const;
  // The top of a row; rows beyond the last give the footer line.
  int RowToY(int row) const;
  void RecomputeGeometry();

  // Called by the data source after each filter call (rejected: the candidate was not used).
  void FilterCalled(bool rejected);
  // Raises nothing: shows "Class %d error.  Isam Error %d" for class 2 and above.
  void ReportErrorClass(int32_t errorClass);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void changeEvent(QEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;
  void scrollContentsBy(int dx, int dy) override;

 private:
  struct PageView {
    int currentRow = 0;
    std::vector<IsamRecRef> refs;
  };
  PageView View() const;
  // Runs a move of the data source, reports its error, completes the page and repaints what
  // changed. Moves asked for while another one is running are ignored.
  void RunMove(const std::function<int32_t()>& move);
  void Activate();
  void CompleteAndShow(const PageView& before);
  void RepaintChanges(const PageView& before, const PageView& after);
  void UpdateVerticalPosition();
  void EndFilterNotification();
  void VerticalAction(int action);
  void DragScrollTick();
  void TrackPointer(int y);
  // Changes one of the colours and repaints.
  void Repaint(QColor& colour, const QColor& value);
  void UpdateRow(int row);
  void InvalidateRows();

  void DrawSeparator(QPainter& painter, int y);
  void DrawRow(QPainter& painter, int row);
  void DrawHeader(QPainter& painter);
  void DrawFooter(QPainter& painter);
  void DrawTextAt(QPainter& painter, int x, int y, const QString& text);
  void DrawLine(QPainter& painter, int y, const QColor& background, const QColor& textColor,
                const QString& text);

  std::unique_ptr<TBrowserDataSource> dataSource_;
  bool activated_ = false;
  bool windowExists_ = false;
  bool busy_ = false;
  bool geometryPending_ = false;

  TBorderStyle borderStyle_ = TBorderStyle::bsSingle;
  QColor color_, fontColor_, headerColor_, headerTxtColor_, footerColor_, footerTxtColor_, highlightColor_,
      highlightTxtColor_;
  QString header_, footer_;
  int horizOfs_ = 0;
  bool useSeparator_ = true;
  bool filterEnabled_ = false;
  QMenu* popupMenu_ = nullptr;

  int rowHeight_ = 1;
  int charWidth_ = 1;
  int ascent_ = 0;
  int firstRowY_ = 0;

  // Filter notification of the page being filled.
  bool filterWorking_ = false;
  std::unique_ptr<platform::ui::WaitCursor> waitCursor_;
  QElapsedTimer sincePump_;

  // Mouse tracking with the primary button held; the timer scrolls while the pointer is above
  // or below the rows.
  bool tracking_ = false;
  int dragDirection_ = 0;
  QTimer dragTimer_;
  int wheelRemainder_ = 0;
};

}  // namespace storage
