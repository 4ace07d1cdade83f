#include "forms/shipping_address_dialog.h"

#include <QVBoxLayout>

#include "forms/dialog_labels.h"
#include "forms/form_instance.h"
#include "platform/text/codepage.h"

namespace forms {

using namespace platform::ui;

TPOShipWin* POShipWin = nullptr;

TPOShipWin& CreatePOShipWin() {
  return forms::FormInstance(POShipWin);
}

TPOShipWin::TPOShipWin(QWidget* parent)
    : Form(parent),
      Label1(CentredBoldLabel(this, Qt::blue)),
      Edit1(new QLineEdit(this)),
      Edit2(new QLineEdit(this)),
      Edit3(new QLineEdit(this)),
      Edit4(new QLineEdit(this)),
      OKBtn(new QPushButton("OK", this)) {
  SetCaption("Shipping Address");

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(Label1);
  for (QLineEdit* line : {Edit1, Edit2, Edit3, Edit4}) {
    line->setMaxLength(35);
    line->setMinimumWidth(260);
    layout->addWidget(line);
  }
  layout->addWidget(OKBtn, 0, Qt::AlignRight);
  OKBtn->setDefault(true);
  BindModalResult(OKBtn, mrOk);
}

std::array<std::string, 4> TPOShipWin::Lines() const {
  using platform::text::ToAnsi;
  return {ToAnsi(Edit1->text()), ToAnsi(Edit2->text()), ToAnsi(Edit3->text()), ToAnsi(Edit4->text())};
}

}  // namespace forms
