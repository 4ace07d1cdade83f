#pragma once
// "Please verify!": shows the first record of an import file as it will be stored, before the
// customer or vendor import writes anything. The import fills the labels and reads the answer:
// "&Yes" (OK) goes on, "&No" changes nothing.

#include <QLabel>
#include <QPushButton>
#include <array>
#include <string>

#include "exchange/import_keys.h"
#include "platform/ui/form.h"

namespace exchange {

class TImpShow : public platform::ui::Form {
 public:
  explicit TImpShow(QWidget* parent = nullptr);

  QLabel* Label3;  // "Please verify! This is record 1 from your import file:"
  QLabel* Label1;  // "Customer Name:" / "Vendor Name:"
  QLabel* Label2;
  QLabel* Label4;  // "Number:"
  QLabel* Label5;
  QLabel* Label7;  // "Billing Address:"
  std::array<QLabel*, 4> Label8to11;
  QLabel* Label12;  // "Shipping Address:"
  std::array<QLabel*, 4> Label13to16;
  // "Phone1:", "Phone2:", "Type:", "Short Name:", "Mail Sort:", "E_Mail:" and their values.
  std::array<QLabel*, 6> Label17to27;
  std::array<QLabel*, 6> Label18to28;
  QLabel* Label6;  // "Is this information correct?"
  QPushButton* YesButton;
  QPushButton* NoButton;

  // Fills the labels from the first grid row: the caption, the name's title, and the shipping
  // address from the billing columns when forceShip is set.
  void ShowRecord(const QString& caption, const QString& nameTitle, const ImportRow& row, bool forceShip);
};

extern TImpShow* ImpShow;
TImpShow& CreateImpShow();

}  // namespace exchange
