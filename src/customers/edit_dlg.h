#pragma once
// The customer dialog: one customer entered or changed. OK runs the checks below in their order
// and closes the dialog only when all pass; the Customer Manager then copies the fields into the
// customer record. The dialog itself writes nothing to the files; it reads the customer file
// (open while the manager is shown) for the duplicate checks.

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <array>
#include <string>

#include "platform/ui/form.h"

namespace customers {

class TEditDlg : public platform::ui::Form {
 public:
  explicit TEditDlg(QWidget* parent = nullptr);

  QLineEdit* CNo;
  QLineEdit* CName;
  QComboBox* CTerms;
  QLineEdit* CustType;
  QLineEdit* CTE;
  QLineEdit* CLimit;
  QLineEdit* CAdd1Edit;
  QLineEdit* CAdd2Edit;
  QLineEdit* CAdd3Edit;
  QLineEdit* CAdd4Edit;
  QLineEdit* CShip1;
  QLineEdit* CShip2;
  QLineEdit* CShip3;
  QLineEdit* CShip4;
  QPlainTextEdit* CstNote;
  QLineEdit* CPhone1;
  QLineEdit* CPhone2;
  QLineEdit* ShortName;
  QLabel* CBal;
  QLineEdit* MListCode;
  QLineEdit* EMAdd;
  QCheckBox* CRHold;
  QGroupBox* GroupBox1;
  QCheckBox* NotesOnInv;
  QCheckBox* NotesOnStmnt;
  QPushButton* Button1;
  QPushButton* Button2;
  QCheckBox* CheckBox1;
  QPushButton* OKBtn;
  QPushButton* CancelBtn;
  QPushButton* HelpBtn;

  // Set by the caller before showing: "0" adding, "1" editing; and the number the duplicate
  // checks accept as the customer's own ("0" when adding; the number before the edit, trimmed
  // and upper-cased, when editing).
  std::string DialogMode = "0";
  std::string ReferenceNo = "0";

  static constexpr int NotesLength = 200;

  void FormShow() override;
  void CAddEditChange(int line);
  void Button1Click();
  void Button2Click();
  void CNameExit();
  void OKBtnClick();
  void HelpBtnClick();

  // The notes as typed (Windows-1252), at most 200 characters.
  std::string NotesText() const;

 private:
  bool Refuse(const QString& text, const QString& title, QWidget* field);
  bool CheckEMailAddress();
  bool NumberTakenByAnother() const;
  bool NameTakenByAnother() const;

  std::array<QLineEdit*, 4> BillingEdits() const;
  std::array<QLineEdit*, 4> ShippingEdits() const;
};

extern TEditDlg* EditDlg;
// Makes the one instance (at start-up); later calls return it.
TEditDlg& CreateEditDlg();

}  // namespace customers
