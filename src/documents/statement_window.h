#pragma once
// The Customer Statement window: the statement built last (customer_statement.h) in a grid whose
// amounts line up on the decimal point, with "Show Unpaid Records Only", print or e-mail by the
// main window's output choice, and help.

#include <QCheckBox>
#include <QLabel>
#include <QStatusBar>
#include <QTableWidget>
#include <QToolButton>
#include <array>

#include "platform/ui/form.h"

namespace documents {

class TStment : public platform::ui::Form {
 public:
  explicit TStment(QWidget* parent = nullptr);

  void FormShow() override;
  void CheckBox1Click();
  void PrinStButnClick();
  void SpeedButton2Click();
  void SpeedButton3Click();
  // Fills the labels and the grid from the statement built last.
  void ShowStatement();

  std::array<QLabel*, 5> AccountLabels;  // Label1 .. Label5
  QLabel* Label1;
  QLabel* Label6;
  QLabel* CNoLabel;
  QToolButton* PrinStButn;
  QToolButton* SpeedButton2;
  QToolButton* SpeedButton3;
  QCheckBox* CheckBox1;
  QTableWidget* SGrid;  // the captions in its header, then the records and the totals row
  QStatusBar* CSBar;

 private:
  // The grid and its captions in the company's body font: name, size, style and colour.
  void ShowInBodyFont();
  void SizeColumns();
  bool showing_ = false;
};

extern TStment* Stment;
TStment& CreateStment();

// "Statement for ... sent ..." after the statement in the window went out: printed, or e-mailed
// (the caller has connected with EnsureMailOnline and quits afterwards).
void PutOutStatement(bool byEMail);

}  // namespace documents
