#pragma once
// The base of the customer and vendor dialogs: the fields an address book entry has in both
// (number, name, type, tax exempt, terms, the billing or order address and the shipping
// address with their phones, notes, short name, mail list code, e-mail, hold), the buttons that
// copy and clear the shipping address, the short name made on leaving the name, and OK, Cancel
// and Help. Each dialog adds its own fields, lays them out with the builders here and runs its
// own checks on OK.

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <array>
#include <initializer_list>
#include <string>
#include <utility>

#include "platform/ui/form.h"

namespace forms {

class AddressDialog : public platform::ui::Form {
 public:
  QLineEdit* CNo;
  QLineEdit* CName;
  QComboBox* CTerms;
  QLineEdit* CustType;
  QLineEdit* CTE;
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
  QLineEdit* MListCode;
  QCheckBox* CRHold;
  QPushButton* Button1;
  QPushButton* Button2;
  QCheckBox* CheckBox1;
  QPushButton* OKBtn;
  QPushButton* CancelBtn;
  QPushButton* HelpBtn;

  static constexpr int NotesLength = 200;

  // A billing (order) line changed: copied into the same shipping line while auto-copy is on.
  void CAddEditChange(int line);
  // Copy Billing to Shipping; Clear Shipping.
  void Button1Click();
  void Button2Click();
  // Leaving the name proposes a short name when there is none yet.
  void CNameExit();
  virtual void OKBtnClick() = 0;
  void HelpBtnClick();

  // The notes as typed (Windows-1252), at most 200 characters.
  std::string NotesText() const;
  std::array<QLineEdit*, 4> BillingEdits() const;
  std::array<QLineEdit*, 4> ShippingEdits() const;

 protected:
  AddressDialog(QWidget* parent, const char* holdCaption, const char* helpKeyword);

  // The e-mail field (50 characters), named by each dialog.
  QLineEdit* EMailField() const { return eMail_; }

  // What showing does in both: the terms list loaded, the focus in the number when adding and
  // on Cancel when editing, auto-copy as the company says, the dialog at the top of the screen.
  void ShowForEntry(bool adding);

  // Labelled rows of fields, each label the field's buddy.
  QFormLayout* FieldRows(std::initializer_list<std::pair<const char*, QWidget*>> rows);
  // The address block, its left column captioned billingCaption.
  QGridLayout* AddressRows(const char* billingCaption);
  // The hold box on the left, OK, Cancel and Help on the right.
  QHBoxLayout* ButtonRow();
  // Tab moves as the eye reads the dialog: through `fields` (the rows on top), the address
  // block column by column with its phones and buttons, the notes, `options` (the check boxes
  // below them), the hold box and the buttons.
  void OrderTabs(std::initializer_list<QWidget*> fields, std::initializer_list<QWidget*> options);

 private:
  QLineEdit* eMail_;
};

}  // namespace forms
