#pragma once
// The "Interest Wizard": charges interest, or a flat late fee, to customers whose receivables are
// overdue. "Scan File" lists them with their charges; "Generate Invoices" writes one interest
// invoice per listed customer through the interest run and offers the "Interest Charges Report".
// The settings are loaded from, and kept in, the company record.

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QToolButton>
#include <functional>
#include <vector>

#include "invoicing/interest_charges.h"
#include "platform/ui/form.h"

namespace invoicing {

// Shows a text in the main window's status bar and gives the main window the focus; installed by
// the main window. Nothing is shown while it is not installed.
extern std::function<void(const QString&)> ShowMainStatusText;

class TInterestWiz : public platform::ui::Form {
 public:
  explicit TInterestWiz(QWidget* parent = nullptr);

  void FormShow() override;
  void Button1Click();  // "Scan File"
  void GenInvClick();
  void days30Click() { Button1->setEnabled(true); }
  void days60Click() { Button1->setEnabled(true); }
  void days90Click() { Button1->setEnabled(true); }
  void IPctChange() { Button1->setEnabled(true); }
  void FlatCBClick();
  void FlatRateChange();
  void CalbuttonClick();
  void Button2Click();  // "Help"
  void CanButnClick();

  QRadioButton* days30;
  QRadioButton* days60;
  QRadioButton* days90;
  QLineEdit* IPct;
  QLineEdit* MinChg;
  QCheckBox* FlatCB;
  QLineEdit* FlatRate;
  QLineEdit* IDate;
  QToolButton* Calbutton;
  QLabel* LastRun;  // "Last Interest Invoices: ..."
  QLineEdit* InvComm;
  QLineEdit* StmntNote;
  QComboBox* ITerms;
  QCheckBox* IPrin;  // last of its column, and so for Tab
  QTableWidget* CustGrid;
  QLabel* StatusLabel;
  QPushButton* Button1;
  QPushButton* GenInv;
  QPushButton* Button2;
  QPushButton* CanButn;

  // The rows the last scan listed, with the invoice numbers once generated.
  const std::vector<InterestRow>& Rows() const { return rows_; }

 private:
  InterestSettings Settings() const;
  QRadioButton* PeriodButton() const;
  void ShowRows();
  void ResetGrid();
  void PrintReport();

  std::vector<InterestRow> rows_;
};

extern TInterestWiz* InterestWiz;
TInterestWiz& CreateInterestWiz();
// Shows the wizard modally, as the main window does.
void OpenInterestWizard();

}  // namespace invoicing
