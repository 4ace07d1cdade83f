#pragma once
// The "Edit Vendor" dialog: one vendor entered or changed. OK runs the checks below in their
// order and closes the dialog only when all pass; the Vendor Manager then copies the fields into
// the vendor record. The dialog itself writes nothing; it reads the vendor file (open while the
// manager is shown) for the duplicate checks.
//
//   1 number empty      "You must enter a vendor number."
//   2 name empty        "You must enter a vendor name."
//   3 e-mail address    no "@", a blank, no period
//   4 short name        filled in from the name when empty
//   5 number in use     by another vendor
//   6 name in use       by a vendor with another number

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <array>
#include <string>

#include "platform/ui/form.h"

namespace purchasing {

// "0" while the dialog adds a vendor, "1" while it edits one.
extern std::string VendorDialogMode;
// The number the duplicate checks accept as the vendor's own: "0" when adding; when editing, the
// stored number, trimmed and upper-cased.
extern std::string StoredVendorNumber;

class TVendEdit : public platform::ui::Form {
 public:
  explicit TVendEdit(QWidget* parent = nullptr);

  QLineEdit* CNo;
  QLineEdit* CName;
  QLineEdit* CustType;
  QLineEdit* CTE;
  QComboBox* CTerms;
  QLineEdit* CAdd1Edit;
  QLineEdit* CAdd2Edit;
  QLineEdit* CAdd3Edit;
  QLineEdit* CAdd4Edit;
  QLineEdit* CShip1;
  QLineEdit* CShip2;
  QLineEdit* CShip3;
  QLineEdit* CShip4;
  QLineEdit* CPhone1;
  QLineEdit* CPhone2;
  QPlainTextEdit* CstNote;
  QLineEdit* ShortName;
  QLineEdit* MListCode;
  QLineEdit* VenEMAdd;
  QCheckBox* CRHold;
  QCheckBox* NotesOnInv;
  QPushButton* Button1;
  QPushButton* Button2;
  QCheckBox* CheckBox1;
  QPushButton* OKBtn;
  QPushButton* CancelBtn;
  QPushButton* HelpBtn;

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
  std::array<QLineEdit*, 4> OrderEdits() const;
  std::array<QLineEdit*, 4> ShippingEdits() const;

 private:
  bool NumberTakenByAnother() const;
  bool NameTakenByAnother() const;
};

extern TVendEdit* VendEdit;
// Makes the one instance (at start-up); later calls return it.
TVendEdit& CreateVendEdit();

}  // namespace purchasing
