#pragma once
// The "Price Change Wizard": lists the manual-pricing products of one price batch with the new
// price and profit by one pricing method and percentage, and on request writes the new prices.
// Change Prices writes exactly what the list shows: any change of the batch, the method or the
// percentage after a search asks for a new search first.

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>
#include <QTreeWidget>
#include <string>

#include "platform/ui/form.h"

namespace products {

class TPriceChg : public platform::ui::Form {
 public:
  explicit TPriceChg(QWidget* parent = nullptr);

  // Made in the order they stand, which is the order Tab takes them.
  QComboBox* PBatchNum;
  QLineEdit* PSPct;
  QRadioButton* RBMrkUp;
  QRadioButton* RMMarg;
  QRadioButton* RBDisc;
  QTreeWidget* ListView1;
  QLabel* Label1;
  QPushButton* SearchBut;
  QPushButton* ChgPrices;
  QPushButton* InvClose;
  QPushButton* SpeedButton14;
  QStatusBar* StatusBar1;

  void FormShow() override;
  void SearchButClick();
  void ChgPricesClick();
  void ListView1ColumnClick(int column);
  void InvCloseClick();
  void SpeedButton14Click();

  // The columns of the result list.
  enum Column { ColCode, ColListPrice, ColCost, ColPriceNow, ColNewPrice, ColProfit, ColBatch, ColumnCount };

 private:
  // "M", "D", "G" by the checked method; empty when none is checked.
  std::string CheckedMethod() const;
  // The list no longer shows what the batch, method and percentage would give.
  void SearchIsStale();
  void ShowStatus(const QString& text);
};

extern TPriceChg* PriceChg;
TPriceChg& CreatePriceChg();

}  // namespace products
