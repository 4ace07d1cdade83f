#pragma once
// The entry windows that are waiting for a manager to hand them a record. A manager is in
// picker mode while one of them is on screen; a window that goes away drops out by itself.

#include <QPointer>
#include <QWidget>
#include <vector>

namespace forms {

class PickerWindows {
 public:
  void Add(const QWidget* window) { windows_.emplace_back(window); }
  void Remove(const QWidget* window) { std::erase(windows_, window); }
  bool AnyVisible() const {
    for (const auto& window : windows_)
      if (window && window->isVisible()) return true;
    return false;
  }

 private:
  std::vector<QPointer<const QWidget>> windows_;
};

}  // namespace forms
