#pragma once
// The base of the program's main window (a QMainWindow). Closing it, once FormCloseQuery
// agrees, ends the program the way closing the last window of a Qt application does.

#include <QMainWindow>

#include "platform/ui/form_base.h"

namespace platform::ui {

class MainWindowForm : public BasicForm<QMainWindow> {
 public:
  explicit MainWindowForm(QWidget* parent = nullptr) : BasicForm<QMainWindow>(parent) {}
};

}  // namespace platform::ui
