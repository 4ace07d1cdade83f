#include "customers/edit_dlg.h"

#include <QFormLayout>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QVBoxLayout>
#include <array>

#include "customers/customer_actions.h"
#include "forms/form_instance.h"
#include "platform/text/codepage.h"
#include "platform/text/key_text.h"
#include "platform/text/number_text.h"
#include "platform/text/upper_case.h"
#include "platform/ui/application.h"
#include "platform/ui/message_box.h"
#include "records/company_rec.h"
#include "records/customer_file.h"
#include "records/customer_rec.h"
#include "records/payment_terms.h"
#include "records/record_file.h"

namespace customers {

using namespace records;
using namespace forms;

using platform::text::StripCommas;
using platform::text::ToAnsi;
using platform::text::ToQString;
using platform::text::TrimBlanks;
using namespace platform::ui;

TEditDlg* EditDlg = nullptr;

TEditDlg& CreateEditDlg() {
  return FormInstance(EditDlg);
}

namespace {

QLineEdit* LimitedEdit(QWidget* parent, int maxLength) {
  auto* edit = new QLineEdit(parent);
  edit->setMaxLength(maxLength);
  return edit;
}

std::string Comparable(const QString& text) {
  return ComparableText(ToAnsi(text));
}

}  // namespace

TEditDlg::TEditDlg(QWidget* parent)
    : Form(parent),
      CNo(LimitedEdit(this, 8)),
      CName(LimitedEdit(this, 35)),
      CTerms(new QComboBox(this)),
      CustType(LimitedEdit(this, 25)),
      CTE(LimitedEdit(this, 1)),
      CLimit(LimitedEdit(this, 10)),
      CAdd1Edit(LimitedEdit(this, 35)),
      CAdd2Edit(LimitedEdit(this, 35)),
      CAdd3Edit(LimitedEdit(this, 35)),
      CAdd4Edit(LimitedEdit(this, 35)),
      CShip1(LimitedEdit(this, 35)),
      CShip2(LimitedEdit(this, 35)),
      CShip3(LimitedEdit(this, 35)),
      CShip4(LimitedEdit(this, 35)),
      CstNote(new QPlainTextEdit(this)),
      CPhone1(LimitedEdit(this, 25)),
      CPhone2(LimitedEdit(this, 25)),
      ShortName(LimitedEdit(this, 10)),
      CBal(new QLabel(this)),
      MListCode(LimitedEdit(this, 15)),
      EMAdd(LimitedEdit(this, 50)),
      CRHold(new QCheckBox("Credit Hol&d / Inactive Account", this)),
      GroupBox1(new QGroupBox("Overrides Sales Message (see help) ", this)),
      NotesOnInv(new QCheckBox("Print notes/special comments on invoices", GroupBox1)),
      NotesOnStmnt(new QCheckBox("Print notes/ special comments on statements", GroupBox1)),
      Button1(new QPushButton("Copy Billing &to Shipping", this)),
      Button2(new QPushButton("Clea&r Shipping", this)),
      CheckBox1(new QCheckBox("&Auto-Copy to Shipping", this)),
      OKBtn(new QPushButton("&Ok", this)),
      CancelBtn(new QPushButton("&Cancel", this)),
      HelpBtn(new QPushButton("&Help", this)) {
  SetCaption("Edit Record");
  SetHelpKeyword("NewCustomer");
  CTerms->setEditable(true);
  CTerms->lineEdit()->setMaxLength(35);
  CstNote->setFixedHeight(70);
  CBal->setFrameShape(QFrame::Panel);
  CBal->setFrameShadow(QFrame::Sunken);

  auto* account = new QFormLayout;
  auto addRow = [&](const char* label, QWidget* field) {
    auto* caption = new QLabel(label, this);
    caption->setBuddy(field);
    account->addRow(caption, field);
  };
  addRow("C&ustomer #:", CNo);
  addRow("Customer / Company Name:", CName);
  addRow("Short Name:", ShortName);
  addRow("Customer Type:", CustType);
  addRow("Payment Terms:", CTerms);
  addRow("Credit Limit:", CLimit);
  addRow("TE:", CTE);
  addRow("Balance:", CBal);
  addRow("&Mail List Sort Code:", MListCode);
  addRow("&E-Mail:", EMAdd);

  auto* addresses = new QGridLayout;
  auto* billingLabel = new QLabel("&Billing Address:", this);
  billingLabel->setBuddy(CAdd1Edit);
  auto* shippingLabel = new QLabel("&Shipping Address:", this);
  shippingLabel->setBuddy(CShip1);
  addresses->addWidget(billingLabel, 0, 0);
  addresses->addWidget(shippingLabel, 0, 1);
  for (int line = 1; line <= 4; ++line) {
    addresses->addWidget(Billing(line), line, 0);
    addresses->addWidget(Shipping(line), line, 1);
  }
  auto* phone1Label = new QLabel("&Phone1:", this);
  phone1Label->setBuddy(CPhone1);
  auto* phone2Label = new QLabel("Pho&ne2:", this);
  phone2Label->setBuddy(CPhone2);
  auto* phone1 = new QHBoxLayout;
  phone1->addWidget(phone1Label);
  phone1->addWidget(CPhone1, 1);
  auto* phone2 = new QHBoxLayout;
  phone2->addWidget(phone2Label);
  phone2->addWidget(CPhone2, 1);
  addresses->addLayout(phone1, 5, 0);
  addresses->addLayout(phone2, 5, 1);
  auto* copyButtons = new QHBoxLayout;
  copyButtons->addWidget(Button1);
  copyButtons->addWidget(Button2);
  copyButtons->addWidget(CheckBox1);
  copyButtons->addStretch(1);
  addresses->addLayout(copyButtons, 6, 0, 1, 2);

  auto* overrides = new QVBoxLayout(GroupBox1);
  overrides->addWidget(NotesOnInv);
  overrides->addWidget(NotesOnStmnt);

  auto* buttons = new QHBoxLayout;
  buttons->addWidget(CRHold);
  buttons->addStretch(1);
  for (QPushButton* button : {OKBtn, CancelBtn, HelpBtn}) buttons->addWidget(button);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(account);
  layout->addLayout(addresses);
  layout->addWidget(new QLabel("Notes / Special Comments:", this));
  layout->addWidget(CstNote);
  layout->addWidget(GroupBox1);
  layout->addLayout(buttons);

  for (int line = 1; line <= 4; ++line)
    QObject::connect(Billing(line), &QLineEdit::textChanged, [this, line] { CAddEditChange(line); });
  QObject::connect(Button1, &QPushButton::clicked, [this] { Button1Click(); });
  QObject::connect(Button2, &QPushButton::clicked, [this] { Button2Click(); });
  QObject::connect(CName, &QLineEdit::editingFinished, [this] { CNameExit(); });
  QObject::connect(CstNote, &QPlainTextEdit::textChanged, [this] { CutNotesToLength(); });
  QObject::connect(OKBtn, &QPushButton::clicked, [this] { OKBtnClick(); });
  QObject::connect(HelpBtn, &QPushButton::clicked, [this] { HelpBtnClick(); });
  OKBtn->setDefault(true);
  BindModalResult(CancelBtn, mrCancel);
  // Tab follows the layout: the account fields, the two addresses, the phones, then the rest.
  SetTabOrder({CNo,          CName,     ShortName, CustType,  CTerms,    CLimit,    CTE,     MListCode,
               EMAdd,        CAdd1Edit, CAdd2Edit, CAdd3Edit, CAdd4Edit, CShip1,    CShip2,  CShip3,
               CShip4,       CPhone1,   CPhone2,   Button1,   Button2,   CheckBox1, CstNote, NotesOnInv,
               NotesOnStmnt, CRHold,    OKBtn,     CancelBtn, HelpBtn});
}

QLineEdit* TEditDlg::Billing(int line) const {
  const std::array<QLineEdit*, 4> lines{CAdd1Edit, CAdd2Edit, CAdd3Edit, CAdd4Edit};
  return lines.at(line - 1);
}

QLineEdit* TEditDlg::Shipping(int line) const {
  const std::array<QLineEdit*, 4> lines{CShip1, CShip2, CShip3, CShip4};
  return lines.at(line - 1);
}

void TEditDlg::FormShow() {
  LoadPaymentTermsInto(*CTerms);
  if (DialogMode == "0")
    CNo->setFocus();
  else
    CancelBtn->setFocus();
  CheckBox1->setChecked(CurrentCompany.CopyBillingToShipping != 0);
  PlaceAtTopOfScreen();
}

void TEditDlg::CAddEditChange(int line) {
  if (CheckBox1->isChecked()) Shipping(line)->setText(Billing(line)->text());
}

void TEditDlg::Button1Click() {
  for (int line = 1; line <= 4; ++line) Shipping(line)->setText(Billing(line)->text());
}

void TEditDlg::Button2Click() {
  for (int line = 1; line <= 4; ++line) Shipping(line)->clear();
}

void TEditDlg::CNameExit() {
  if (!ShortName->text().isEmpty()) return;
  const QString name = ToQString(TrimBlanks(ToAnsi(CName->text())));
  const qsizetype blank = name.indexOf(' ');
  if (blank < 0)
    ShortName->setText(name.left(10));
  else
    ShortName->setText(name.left(1) + name.mid(blank + 1, 9));
}

std::string TEditDlg::NotesText() const {
  return ToAnsi(CstNote->toPlainText()).substr(0, NotesLength);
}

// The notes field holds 200 characters: typing or pasting past that is cut back at once, so
// the dialog never shows text that would not be stored.
void TEditDlg::CutNotesToLength() {
  const QString text = CstNote->toPlainText();
  if (text.size() <= NotesLength) return;
  CstNote->setPlainText(text.left(NotesLength));
  CstNote->moveCursor(QTextCursor::End);
}

bool TEditDlg::Refuse(const QString& text, const QString& title, QWidget* field) {
  MessageBox(text, title, MsgButtons::Ok, MsgIcon::Warning);
  field->setFocus();
  return false;
}

bool TEditDlg::CheckEMailAddress() {
  const QString address = ToQString(TrimBlanks(ToAnsi(EMAdd->text())));
  if (address.isEmpty()) return true;
  const QString title = "Customer E-Mail Address";
  if (!address.contains('@'))
    return Refuse("The customer e-mail address does not have the @ sign included. Invalid e-mail address.",
                  title, EMAdd);
  if (address.contains(' '))
    return Refuse("The customer e-mail address has a blank space. Invalid e-mail address.", title, EMAdd);
  if (!address.contains('.'))
    return Refuse("The customer e-mail address does not have a period (.) included. Invalid e-mail address.",
                  title, EMAdd);
  return true;
}

bool TEditDlg::NumberTakenByAnother() const {
  const std::string entered = Comparable(CNo->text());
  if (entered == ReferenceNo) return false;
  CustomerRec wanted;
  wanted.CustomerNo.Set(ToAnsi(CNo->text()));
  CustomerRec found;
  storage::IsamRecRef ref = 0;
  return ReadByKey(CustomerUnit(), BuildCustomerKey(wanted, 2), 2, found, ref) &&
         ComparableText(found.CustomerNo.Get()) == entered;
}

bool TEditDlg::NameTakenByAnother() const {
  CustomerRec wanted;
  wanted.CustomerName.Set(ToAnsi(CName->text()));
  CustomerRec found;
  storage::IsamRecRef ref = 0;
  return ReadByKey(CustomerUnit(), BuildCustomerKey(wanted, 1), 1, found, ref) &&
         ComparableText(found.CustomerName.Get()) == Comparable(CName->text()) &&
         ComparableText(found.CustomerNo.Get()) != ReferenceNo;
}

void TEditDlg::OKBtnClick() {
  if (TrimBlanks(ToAnsi(CNo->text())).empty()) {
    Refuse("You must enter a customer number.", "Customer Number", CNo);
    return;
  }
  if (TrimBlanks(ToAnsi(CName->text())).empty()) {
    Refuse("You must enter a customer name.", "Customer Name", CName);
    return;
  }
  CNameExit();
  if (!CheckEMailAddress()) return;
  if (NumberTakenByAnother()) {
    Refuse("That customer number already exists. You will need to use a different number.", "Customer Number",
           CNo);
    return;
  }
  if (NameTakenByAnother()) {
    Refuse(
        "That customer name already exists. You should not enter the same customer name with a different "
        "customer number.",
        "Duplicate Customer Name", CName);
    return;
  }
  const std::string limit = StripCommas(ToAnsi(CLimit->text()));
  if (!limit.empty() && !platform::text::TryStrToFloat(limit)) {
    Refuse("The CREDIT LIMIT amount has an invalid value.", "Credit Limit", CLimit);
    return;
  }
  SetModalResult(mrOk);
}

void TEditDlg::HelpBtnClick() {
  Application->HelpKeyword("NewCustomer");
}

}  // namespace customers
