#pragma once
// The ruler above the letter: a tab mark at every tab stop, and the three indent markers of the
// paragraph at the caret (first line above, left and right edges below), which the user drags.
// The window places the markers and turns their positions into indents when one is let go.

#include <QFrame>
#include <functional>

namespace reports {

class TRulerMarker : public QWidget {
 public:
  enum class Points { Down, Up };
  TRulerMarker(QWidget* ruler, Points points);

  // Runs when the marker is let go after a drag.
  std::function<void()> Released;
  // Where the mouse holds the marker: half its width.
  int DragOffset() const { return width() / 2; }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  Points points_;
  bool dragging_ = false;
};

class TLetterRuler : public QFrame {
 public:
  explicit TLetterRuler(QWidget* parent = nullptr);

  TRulerMarker* FirstInd;
  TRulerMarker* LeftInd;
  TRulerMarker* RightInd;
  // Distance of the tab marks, in pixels, from the text's left edge (Gutter pixels in).
  void SetTabDistance(int pixels);

  static constexpr int Gutter = 6;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  int tabDistance_ = 48;
};

}  // namespace reports
