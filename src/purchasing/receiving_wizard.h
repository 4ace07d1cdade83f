#pragma once
// The "Receiving Wizard": books goods that arrive against a purchase order. The user enters a
// PO number; the wizard lists the PO's lines with what was ordered and received so far; the
// user types what came in today, and "&Post" posts it through the receiving procedures under
// one receiver number and date.

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QTableWidget>
#include <QToolButton>
#include <string>

#include "platform/ui/form.h"
#include "purchasing/receiving.h"

namespace purchasing {

// The PO number whose lines are listed; "0" while nothing is.
extern std::string ReceivingPONumber;

enum ReceivingColumn {
  kRecvDescription = 0,
  kRecvCode,
  kRecvUnitCost,
  kRecvOrdered,
  kRecvKind,
  kRecvToDate,
  kRecvInToday,
  kRecvBalanceDue,
  kRecvColumns
};

class TRecvWiz : public platform::ui::Form {
 public:
  explicit TRecvWiz(QWidget* parent = nullptr);

  void FormCreate() override;
  void FormShow() override;

  void LoadBtnClick();
  void CBFilterClick() { LoadBtnClick(); }
  void PONumChange();
  void StringGrid1SetEditText(int row);
  void RecAllBtnClick();
  void NoneBtnClick();
  void PostBtnClick();
  void CalbuttonClick();
  void InvCloseClick();
  void SpeedButton14Click();

  QLineEdit* PONum;
  QPushButton* LoadBtn;
  QCheckBox* CBFilter;
  QLineEdit* RDate;
  QToolButton* Calbutton;
  QLineEdit* RNum;
  QTableWidget* StringGrid1;
  QPushButton* RecAllBtn;
  QPushButton* NoneBtn;
  QPushButton* PostBtn;
  QLabel* TotOrder;
  QLabel* RecToDate;
  QLabel* OpenAmt;
  QLabel* Label7;
  QStatusBar* StatusBar1;
  // Made in the order they stand, which is the order Tab takes them.
  QPushButton* SpeedButton14;
  QPushButton* InvClose;

  // The rows as listed, with In Today and Bal. Due as they stand.
  const ReceivingList& Listed() const { return list_; }

 private:
  void BuildLayout();
  void EmptyGrid();
  void ShowRows();
  void ShowRow(int row);
  void ShowTotals();
  char DateOrder() const;
  bool ConfirmOverReceipts(const Receipt& receipt);
  bool ConfirmDate(const QDate& date);
  void Refused(const ReceiptRefused& refusal);

  ReceivingList list_;
  bool showing_ = false;
};

extern TRecvWiz* RecvWiz;
TRecvWiz& CreateRecvWiz();
// Shows the wizard modally, as the main window does.
void OpenReceivingWizard();

}  // namespace purchasing
