#include "mail/mail_address_dlg.h"

#include "platform/text/codepage.h"

namespace mail {

TMailAddressDlg::TMailAddressDlg(QWidget* parent) : QDialog(parent) {
  setWindowTitle("Address");
  setFixedSize(240, 124);
  Bevel1 = new QFrame(this);
  Bevel1->setFrameShape(QFrame::StyledPanel);
  Bevel1->setGeometry(8, 8, 224, 72);
  Label2 = new QLabel("Name", this);
  Label2->setGeometry(16, 18, 52, 17);
  NameEdit = new QLineEdit(this);
  NameEdit->setGeometry(72, 16, 152, 21);
  Label1 = new QLabel("Address", this);
  Label1->setGeometry(16, 50, 52, 17);
  AddressEdit = new QLineEdit(this);
  AddressEdit->setGeometry(72, 48, 152, 21);
  OKButton = new QPushButton("OK", this);
  OKButton->setGeometry(76, 90, 75, 25);
  OKButton->setDefault(true);
  CancelButton = new QPushButton("Cancel", this);
  CancelButton->setGeometry(157, 90, 75, 25);
  Label2->setBuddy(NameEdit);
  Label1->setBuddy(AddressEdit);
  setTabOrder(NameEdit, AddressEdit);
  setTabOrder(AddressEdit, OKButton);
  setTabOrder(OKButton, CancelButton);
  connect(OKButton, &QPushButton::clicked, this, [this] { OKButtonClick(); });
  connect(CancelButton, &QPushButton::clicked, this, &QDialog::reject);
  FormCreate();
}

TMailAddressDlg::~TMailAddressDlg() {
  FormDestroy();
}

void TMailAddressDlg::FormCreate() {
  address_ = std::make_unique<TmsMailAddress>();
}

void TMailAddressDlg::FormDestroy() {
  address_.reset();
}

void TMailAddressDlg::ShowAddress(const TmsMailAddress& address) {
  address_->Assign(address);
  NameEdit->setText(platform::text::ToQString(address_->Name()));
  AddressEdit->setText(platform::text::ToQString(address_->Address()));
}

void TMailAddressDlg::OKButtonClick() {
  address_->SetName(platform::text::ToAnsi(NameEdit->text()));
  address_->SetAddress(platform::text::ToAnsi(AddressEdit->text()));
  accept();
}

bool EditMailAddress(TmsMailAddress& address) {
  TMailAddressDlg dialog;
  dialog.ShowAddress(address);
  if (dialog.exec() != QDialog::Accepted) return false;
  address.Assign(dialog.Address());
  return true;
}

void InstallMailAddressDialog() {
  SetMailAddressEditor(EditMailAddress);
}

}  // namespace mail
