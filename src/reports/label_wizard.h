#pragma once
// The label wizard "Label Wizard / Print Queue" (lblwiz): the label print queue in its list with
// the loaders, the queue files and the address export. Created at start-up, alive for the run;
// closing hides it and the rows stay.

#include <QBoxLayout>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <array>

#include "platform/ui/form.h"
#include "reports/label_layout.h"

namespace reports {

class Tlblwiz : public platform::ui::Form {
 public:
  explicit Tlblwiz(QWidget* parent = nullptr);
  ~Tlblwiz() override;

  void FormShow() override;
  void SpeedButton2Click();  // delete the selected row
  void SpeedButton3Click();  // clear the queue
  void LoadAll(int (*load)());
  void LoadAging(int category);
  void FilterClick(int kind);
  void SavetoFileClick();
  void LoadFrmFileClick();
  void ExportTextClick();
  void LabelListColumnClick(int column);
  void SetStatus(const QString& text);

  // The label layout and printing.
  void RestoreLastLayout();  // at start-up
  void Open2Click();
  void SaveAs1Click();
  void UseCmpAddClick();
  void PrnButnClick();
  void CalibrationRuler1Click();
  void SetLayoutControls();
  LabelLayoutRec LayoutFromControls() const;

  QLineEdit *Description, *LeftMargin, *TopMargin, *Columns, *Rows, *LabelWidth, *LabelHeight;
  QLineEdit *StartLabel, *Copies, *LineWidth, *Caption;
  QCheckBox *UseShipping, *UseCmpAdd, *PrintLine;
  QLabel* BitmapPath;
  QPushButton* PrnButn;

  QTreeWidget* LabelList;
  QLineEdit* FilterEdit;
  QLabel* StatusLine;
  std::array<QPushButton*, 4> AgingButtons{};  // "0-30" ... "Over 90"

 private:
  void FillList();
  void ShowSelectedCount();
  void ShowAddedCount(int added);
  void BuildLayoutControls(QBoxLayout* layout);
};

extern Tlblwiz* lblwiz;
Tlblwiz& Createlblwiz();

}  // namespace reports
