#pragma once
// A small dialog built the way the program's forms are: components as members, handlers as
// methods, checks on OK that keep the form open with a message box.

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>

#include "platform/ui/form.h"

namespace platform::ui {

class TSmallForm : public Form {
 public:
  explicit TSmallForm(QWidget* parent = nullptr);

  QLineEdit* NameEdit;
  QComboBox* KindCombo;
  QCheckBox* ActiveBox;
  QPushButton* OKBtn;
  QPushButton* CancelBtn;

  void FormCreate() override;
  void FormShow() override;
  void FormCloseQuery(bool& canClose) override;
  void FormClose() override;

  // Checks the entries; closes with OK only when they pass.
  void OKBtnClick();
  // Opens a second small form modally and takes its name.
  void CopyFromBtnClick();
  // Raises the error a failing record write raises.
  void FailBtnClick();

  // What the test looks at.
  int creates = 0;
  int shows = 0;
  int closes = 0;
  bool keepOpen = false;  // FormCloseQuery refuses while set
  TSmallForm* source = nullptr;
};

}  // namespace platform::ui
