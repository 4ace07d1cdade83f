#include "invoicing/partial_payment_dialog.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QVBoxLayout>

#include "forms/form_instance.h"
#include "invoicing/typed_amount.h"
#include "platform/text/codepage.h"
#include "platform/ui/message_box.h"

namespace invoicing {

using namespace platform::ui;

std::string PartialDate;
std::string PartialInvoiceNo;
platform::text::Cents PartialDue = 0;
int32_t DepositEntryMode = 0;

TPPmtDialog* PPmtDialog = nullptr;

TPPmtDialog& CreatePPmtDialog() {
  return forms::FormInstance(PPmtDialog);
}

TPPmtDialog::TPPmtDialog(QWidget* parent)
    : Form(parent),
      Label1(new QLabel(this)),
      PAmount(new QLineEdit("0.00", this)),
      OKBtn(new QPushButton("OK", this)),
      CancelBtn(new QPushButton("Cancel", this)) {
  SetCaption("Partial Payment");
  PAmount->setMaxLength(10);
  OKBtn->setDefault(true);
  auto* amount = new QFormLayout;
  amount->addRow("Amount:", PAmount);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(OKBtn);
  buttons->addWidget(CancelBtn);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(Label1);
  layout->addLayout(amount);
  layout->addLayout(buttons);
  QObject::connect(OKBtn, &QPushButton::clicked, [this] { OKBtnClick(); });
  BindModalResult(CancelBtn, mrCancel);
}

void TPPmtDialog::FormShow() {
  PAmount->setFocus();
  PAmount->selectAll();
}

platform::text::Cents TPPmtDialog::Amount() const {
  return TypedAmountValue(platform::text::ToAnsi(PAmount->text())).value_or(0);
}

void TPPmtDialog::OKBtnClick() {
  const std::string typed = platform::text::ToAnsi(PAmount->text());
  if (CheckTypedAmount(typed) == TypedAmountCheck::NotNumeric) {
    MessageBox("The payment amount must be a numeric value.", "Invalid Payment Amount", MsgButtons::Ok,
               MsgIcon::Warning);
    PAmount->setFocus();
    return;
  }
  if (CheckTypedAmount(typed) == TypedAmountCheck::Negative || Amount() <= 0) {
    MessageBox("The payment amount must be greater than zero.", "Payment Amount");
    PAmount->setFocus();
    return;
  }
  if (DepositEntryMode != 1 && Amount() >= PartialDue) {
    MessageBox("The partial payment amount must be less than amount due.", "Partial Payment Amount");
    PAmount->setFocus();
    return;
  }
  SetModalResult(mrOk);
}

}  // namespace invoicing
