#pragma once
// What a user has typed into a form since it was shown: the text of its boxes, its ticks and
// choices, and the cells of its editable grids, read when the form has been shown and read again
// when it is about to be thrown away. Text the program puts in before the showing is part of
// the first reading, so an untouched form holds no typed work.

#include <QStringList>
#include <optional>

class QWidget;

namespace platform::ui {

class TypedWork {
 public:
  void Take(const QWidget& form) { taken_ = Read(form); }
  void Forget() { taken_.reset(); }
  bool Changed(const QWidget& form) const { return taken_ && *taken_ != Read(form); }

 private:
  static QStringList Read(const QWidget& form);

  std::optional<QStringList> taken_;
};

}  // namespace platform::ui
