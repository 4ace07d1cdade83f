#pragma once
// "Edit Payment Terms": the editor of the payment-terms list. Changes reach the file only through
// the Close button; leaving the window any other way discards them.

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

#include "platform/ui/form.h"

namespace forms {

class TTermEdit : public platform::ui::Form {
 public:
  explicit TTermEdit(QWidget* parent = nullptr);

  void FormShow() override;
  void Button3Click();  // Add
  void Button1Click();  // Edit
  void Button4Click();  // Ok: accept the term being added or edited
  void Button2Click();  // Delete
  void ListBox1Click();
  void OKBtnClick();  // Close: save and close
  void HelpButnClick();

  QListWidget* ListBox1;
  QLineEdit* Edit1;
  QLabel* Label1;
  QPushButton* Button3;
  QPushButton* Button1;
  QPushButton* Button2;
  QPushButton* Button4;
  QPushButton* OKBtn;
  QPushButton* HelpButn;

  char TermEditMode = 'A';  // 'A' while adding, 'E' while editing

 private:
  void EndEdit();
  void SelectFirstTerm();
  QStringList Terms() const;
};

extern TTermEdit* TermEdit;
TTermEdit& CreateTermEdit();

}  // namespace forms
