#include "small_form.h"

#include <QVBoxLayout>
#include <stdexcept>

#include "platform/ui/message_box.h"

namespace platform::ui {

TSmallForm::TSmallForm(QWidget* parent)
    : Form(parent),
      NameEdit(new QLineEdit(this)),
      KindCombo(new QComboBox(this)),
      ActiveBox(new QCheckBox("&Active", this)),
      OKBtn(new QPushButton("&Ok", this)),
      CancelBtn(new QPushButton("&Cancel", this)) {
  SetCaption("Small Record");
  auto* layout = new QVBoxLayout(this);
  for (QWidget* w : std::initializer_list<QWidget*>{NameEdit, KindCombo, ActiveBox, OKBtn, CancelBtn}) {
    layout->addWidget(w);
  }
  QObject::connect(OKBtn, &QPushButton::clicked, [this] { OKBtnClick(); });
  BindModalResult(CancelBtn, mrCancel);
  SetHelpKeyword("SmallRecord");
}

void TSmallForm::FormCreate() {
  ++creates;
  KindCombo->addItems({"Retail", "Wholesale"});
}

void TSmallForm::FormShow() {
  ++shows;
  NameEdit->setFocus();
  PlaceAtTopOfScreen();
}

void TSmallForm::FormCloseQuery(bool& canClose) {
  canClose = !keepOpen;
}

void TSmallForm::FormClose() {
  ++closes;
}

void TSmallForm::OKBtnClick() {
  if (NameEdit->text().trimmed().isEmpty()) {
    MessageBox("You must enter a name.", "Name", MsgButtons::Ok, MsgIcon::Warning);
    NameEdit->setFocus();
    return;
  }
  if (!ActiveBox->isChecked() && MessageBox("Save an inactive record?", "Small Record", MsgButtons::YesNo,
                                            MsgIcon::Question, mrNo) != mrYes) {
    ActiveBox->setFocus();
    return;
  }
  SetModalResult(mrOk);
}

void TSmallForm::CopyFromBtnClick() {
  if (source && source->ShowModal() == mrOk) NameEdit->setText(source->NameEdit->text());
}

void TSmallForm::FailBtnClick() {
  throw std::runtime_error("Add operation failed");
}

}  // namespace platform::ui
