#pragma once
// The label wizard "Label Wizard / Print Queue" (lblwiz): the label print queue in its list with
// the loaders, the queue files and the address export. Created at start-up, alive for the run;
// closing hides it and the rows stay.

#include <QLabel>
#include <QLineEdit>
#include <QTreeWidget>

#include "platform/ui/form.h"

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

  QTreeWidget* LabelList;
  QLineEdit* FilterEdit;
  QLabel* StatusLine;

 private:
  void FillList();
  void ShowSelectedCount();
  void ShowAddedCount(int added);
};

extern Tlblwiz* lblwiz;
Tlblwiz& Createlblwiz();

}  // namespace reports
