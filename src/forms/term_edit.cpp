#include "forms/term_edit.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include "forms/form_instance.h"
#include "platform/ui/application.h"
#include "platform/ui/message_box.h"
#include "platform/ui/text_entry.h"
#include "records/payment_terms.h"

namespace forms {

using namespace records;

using platform::ui::Application;
using platform::ui::MessageBox;
using platform::ui::MsgButtons;
using platform::ui::MsgIcon;

TTermEdit* TermEdit = nullptr;

TTermEdit::TTermEdit(QWidget* parent)
    : Form(parent),
      ListBox1(new QListWidget(this)),
      Edit1(new QLineEdit(this)),
      Label1(new QLabel(this)),
      Button3(new QPushButton(QStringLiteral("Add"), this)),
      Button1(new QPushButton(QStringLiteral("Edit"), this)),
      Button2(new QPushButton(QStringLiteral("Delete"), this)),
      Button4(new QPushButton(QStringLiteral("Ok"), this)),
      OKBtn(new QPushButton(QStringLiteral("&Close"), this)),
      HelpButn(new QPushButton(QStringLiteral("Help"), this)) {
  SetCaption(QStringLiteral("Edit Payment Terms"));
  SetHelpKeyword(QStringLiteral("EditTerms"));
  connect(Button3, &QPushButton::clicked, this, [this] { Button3Click(); });
  connect(Button1, &QPushButton::clicked, this, [this] { Button1Click(); });
  connect(Button2, &QPushButton::clicked, this, [this] { Button2Click(); });
  connect(Button4, &QPushButton::clicked, this, [this] { Button4Click(); });
  connect(OKBtn, &QPushButton::clicked, this, [this] { OKBtnClick(); });
  connect(HelpButn, &QPushButton::clicked, this, [this] { HelpButnClick(); });
  connect(ListBox1, &QListWidget::itemClicked, this, [this] { ListBox1Click(); });
  connect(ListBox1, &QListWidget::currentRowChanged, this, [this] { ListBox1Click(); });

  auto* actions = new QVBoxLayout;
  for (QPushButton* button : {Button3, Button1, Button2}) actions->addWidget(button);
  actions->addStretch();
  auto* list = new QHBoxLayout;
  list->addWidget(ListBox1);
  list->addLayout(actions);
  auto* edit = new QHBoxLayout;
  edit->addWidget(Edit1);
  edit->addWidget(Button4);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(OKBtn);
  buttons->addWidget(HelpButn);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(list);
  layout->addWidget(Label1);
  layout->addLayout(edit);
  layout->addLayout(buttons);
}

void TTermEdit::SelectFirstTerm() {
  QSignalBlocker quiet(ListBox1);  // choosing the first term is not the user's click
  ListBox1->setFocus();
  ListBox1->setCurrentRow(ListBox1->count() > 0 ? 0 : -1);
}

void TTermEdit::EndEdit() {
  Edit1->clear();
  Edit1->setEnabled(false);
  Button4->setEnabled(false);
  Label1->clear();
}

QStringList TTermEdit::Terms() const {
  QStringList terms;
  for (int i = 0; i < ListBox1->count(); ++i) terms << ListBox1->item(i)->text();
  return terms;
}

void TTermEdit::FormShow() {
  {
    QSignalBlocker quiet(ListBox1);
    ListBox1->clear();
    ListBox1->addItems(LoadPaymentTerms());
  }
  EndEdit();
  SelectFirstTerm();
}

void TTermEdit::Button3Click() {
  Label1->setText(QStringLiteral("Enter new payment term and select Ok button..."));
  TermEditMode = 'A';
  Edit1->setEnabled(true);
  Button4->setEnabled(true);
  Edit1->clear();
  Edit1->setFocus();
}

void TTermEdit::Button1Click() {
  QListWidgetItem* selected = ListBox1->currentItem();
  if (!selected) return;
  Label1->setText(QStringLiteral("Edit this payment term and select Ok button..."));
  TermEditMode = 'E';
  Edit1->setText(selected->text());
  Edit1->setEnabled(true);
  Edit1->setFocus();
  Button4->setEnabled(true);
}

void TTermEdit::Button4Click() {
  if (Edit1->text().isEmpty()) {
    MessageBox(QStringLiteral("You do not have any text entered."), QStringLiteral("Invalid Payment Term"),
               MsgButtons::Ok, MsgIcon::Information);
    Edit1->setFocus();
    return;
  }
  {
    QSignalBlocker quiet(ListBox1);
    if (TermEditMode == 'A') {
      ListBox1->addItem(Edit1->text());
    } else if (QListWidgetItem* selected = ListBox1->currentItem()) {
      selected->setText(Edit1->text());
    }
  }
  EndEdit();
  SelectFirstTerm();
}

void TTermEdit::Button2Click() {
  if (ListBox1->count() == 1) {
    MessageBox(QStringLiteral("You must have at least on payment term."),
               QStringLiteral("Delete Payment Term"), MsgButtons::Ok, MsgIcon::Information);
    return;
  }
  int row = ListBox1->currentRow();
  if (row < 0) return;
  {
    QSignalBlocker quiet(ListBox1);
    delete ListBox1->takeItem(row);
  }
  SelectFirstTerm();
}

void TTermEdit::ListBox1Click() {
  EndEdit();
}

void TTermEdit::OKBtnClick() {
  platform::ui::SayLeftOutCharacters(*this);
  // A list that could not be saved stays on the screen, so the user's changes are not lost.
  if (SavePaymentTerms(Terms())) SetModalResult(platform::ui::mrOk);
}

void TTermEdit::HelpButnClick() {
  Application->HelpKeyword(QStringLiteral("EditTerms"));
}

TTermEdit& CreateTermEdit() {
  return FormInstance(TermEdit);
}

}  // namespace forms
