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
//   5 number in use     by another vendor (while adding, by any vendor: "0" too)
//   6 name in use       by a vendor with another number
// A new vendor's number that is the last the vendor number counter holds is told before OK closes.

#include <QCheckBox>
#include <QLineEdit>
#include <optional>
#include <string>

#include "forms/address_dialog.h"

namespace purchasing {

// "0" while the dialog adds a vendor, "1" while it edits one.
extern std::string VendorDialogMode;
// The number the duplicate checks accept as the vendor's own when editing: the stored number,
// trimmed and upper-cased. While adding ("0" then) no number is the vendor's own.
extern std::string StoredVendorNumber;

class TVendEdit : public forms::AddressDialog {
 public:
  explicit TVendEdit(QWidget* parent = nullptr);

  QLineEdit* const VenEMAdd;
  QCheckBox* NotesOnInv;

  void FormShow() override;
  void OKBtnClick() override;

 private:
  // The number the duplicate checks accept as the vendor's own: none while adding.
  std::optional<std::string> OwnNumber() const;
  bool NumberTakenByAnother() const;
  bool NameTakenByAnother() const;
};

extern TVendEdit* VendEdit;
// Makes the one instance (at start-up); later calls return it.
TVendEdit& CreateVendEdit();

}  // namespace purchasing
