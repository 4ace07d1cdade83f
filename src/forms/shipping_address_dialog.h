#pragma once
// "Shipping Address": the four ship-to lines of an invoice or a purchase order. The entry form
// sets the caption, the heading and the lines before showing it and reads the lines afterwards.

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <array>
#include <string>

#include "platform/ui/form.h"

namespace forms {

class TPOShipWin : public platform::ui::Form {
 public:
  explicit TPOShipWin(QWidget* parent = nullptr);

  QLabel* Label1;  // the heading, set by the caller
  QLineEdit* Edit1;
  QLineEdit* Edit2;
  QLineEdit* Edit3;
  QLineEdit* Edit4;
  QPushButton* OKBtn;

  // The four lines as typed, in Windows-1252.
  std::array<std::string, 4> Lines() const;
};

extern TPOShipWin* POShipWin;
// Makes the one instance (at start-up); later calls return it.
TPOShipWin& CreatePOShipWin();

}  // namespace forms
