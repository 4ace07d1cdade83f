#pragma once
// The dialog in which the user edits one e-mail address: a name and the address.

#include <QDialog>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <memory>

#include "mail/mail_address.h"

namespace mail {

class TMailAddressDlg : public QDialog {
  Q_OBJECT

 public:
  explicit TMailAddressDlg(QWidget* parent = nullptr);
  ~TMailAddressDlg() override;

  QFrame* Bevel1;
  QLabel* Label2;
  QLineEdit* NameEdit;
  QLabel* Label1;
  QLineEdit* AddressEdit;
  QPushButton* OKButton;
  QPushButton* CancelButton;

  // The dialog's own copy of the address being edited.
  TmsMailAddress& Address() { return *address_; }
  // Shows the address in the two fields.
  void ShowAddress(const TmsMailAddress& address);
  void OKButtonClick();

 private:
  void FormCreate();
  void FormDestroy();

  std::unique_ptr<TmsMailAddress> address_;
};

// Lets the user edit the address in the dialog; true (and the address changed) on OK.
bool EditMailAddress(TmsMailAddress& address);
// Makes TmsMailAddress::Edit use the dialog; the program calls it once at start-up.
void InstallMailAddressDialog();

}  // namespace mail
