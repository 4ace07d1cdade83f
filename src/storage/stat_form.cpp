#include "storage/stat_form.h"

#include <QKeyEvent>
#include <QVBoxLayout>

#include "platform/ui/application.h"

namespace storage {

TStatForm* StatForm = nullptr;

TStatForm& EnsureStatForm() {
  if (StatForm == nullptr) platform::ui::Application->CreateForm(StatForm);
  return *StatForm;
}

TStatForm::TStatForm(QWidget* parent) : Form(parent) {
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
  SetCaption("Rebuild Status");
  auto* outer = new QVBoxLayout(this);
  Bevel1 = new QFrame(this);
  Bevel1->setFrameShape(QFrame::Box);
  outer->addWidget(Bevel1);
  auto* lines = new QVBoxLayout(Bevel1);
  Label1 = new QLabel("Line1", Bevel1);
  Label2 = new QLabel("Line2", Bevel1);
  Label3 = new QLabel("Line3", Bevel1);
  for (QLabel* label : {Label1, Label2, Label3}) {
    label->setAlignment(Qt::AlignCenter);
    label->setMinimumWidth(260);
    lines->addWidget(label);
  }
  setFixedSize(sizeHint());
}

void TStatForm::ClearStatusLines() {
  for (QLabel* label : {Label1, Label2, Label3}) label->clear();
  platform::ui::Application->ProcessMessages();
}

void TStatForm::FormShow() {
  PlaceCentred();
}

void TStatForm::keyPressEvent(QKeyEvent* event) {
  // Escape would close a dialog; this one stays until its run closes it.
  if (event->key() == Qt::Key_Escape) {
    event->accept();
    return;
  }
  Form::keyPressEvent(event);
}

}  // namespace storage
