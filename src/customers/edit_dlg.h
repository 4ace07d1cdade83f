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
#include <optional>
#include <string>

#include "forms/address_dialog.h"

namespace customers {

class TEditDlg : public forms::AddressDialog {
 public:
  explicit TEditDlg(QWidget* parent = nullptr);

  QLineEdit* CLimit;
  QLabel* CBal;
  QLineEdit* const EMAdd;
  QGroupBox* GroupBox1;
  QCheckBox* NotesOnInv;
  QCheckBox* NotesOnStmnt;

  // Set by the caller before showing: "0" adding, "1" editing; and, when editing, the number the
  // duplicate checks accept as the customer's own (the number before the edit, trimmed and
  // upper-cased). While adding no number is the customer's own, "0" included.
  std::string DialogMode = "0";
  std::string ReferenceNo = "0";

  void FormShow() override;
  void OKBtnClick() override;

 private:
  bool Refuse(const QString& text, const QString& title, QWidget* field);
  bool CheckEMailAddress();
  // The number the duplicate checks accept as the customer's own: none while adding.
  std::optional<std::string> OwnNumber() const;
  bool NumberTakenByAnother() const;
  bool NameTakenByAnother() const;
};

extern TEditDlg* EditDlg;
// Makes the one instance (at start-up); later calls return it.
TEditDlg& CreateEditDlg();

}  // namespace customers
