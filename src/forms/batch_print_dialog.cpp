#include "forms/batch_print_dialog.h"

#include <QHBoxLayout>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

#include "forms/dialog_labels.h"
#include "forms/form_instance.h"
#include "platform/ui/application.h"
#include "platform/ui/message_box.h"

namespace forms {

using namespace platform::ui;

TInvBatch* InvBatch = nullptr;

TInvBatch& CreateInvBatch() {
  return forms::FormInstance(InvBatch);
}

TInvBatch::TInvBatch(QWidget* parent)
    : Form(parent),
      Label1(CentredBoldLabel(this, Qt::red)),
      Label2(CentredBoldLabel(this)),
      Label3(CentredBoldLabel(this)),
      NumberLabel(new QLabel("&Number to print this cycle:", this)),
      BatchNum(new QLineEdit(this)),
      Button1(new QPushButton("&Print", this)),
      Button2(new QPushButton("&Cancel", this)),
      BPHelp(new QPushButton("Help", this)) {
  SetCaption("Batch Print Invoices");
  SetHelpKeyword("PrintInvoice");
  BatchNum->setMaxLength(4);
  BatchNum->setValidator(new QRegularExpressionValidator(QRegularExpression("[0-9]{0,4}"), BatchNum));
  NumberLabel->setBuddy(BatchNum);

  auto* number = new QHBoxLayout;
  number->addWidget(NumberLabel);
  number->addWidget(BatchNum);
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(Button1);
  buttons->addWidget(Button2);
  buttons->addWidget(BPHelp);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(Label1);
  layout->addWidget(Label2);
  layout->addWidget(Label3);
  layout->addLayout(number);
  layout->addLayout(buttons);

  QObject::connect(Button1, &QPushButton::clicked, [this] { Button1Click(); });
  QObject::connect(BPHelp, &QPushButton::clicked, [this] { BPHelpClick(); });
  BindModalResult(Button2, mrCancel);
}

void TInvBatch::Prepare(const QString& caption, const QString& line1, const QString& line2,
                        const QString& line3, const QString& button, int count) {
  SetCaption(caption);
  Label1->setText(line1);
  Label2->setText(line2);
  Label3->setText(line3);
  Button1->setText(button);
  BatchNum->setText(QString::number(count));
}

void TInvBatch::FormShow() {
  Button1->setFocus();
}

void TInvBatch::Button1Click() {
  if (BatchNum->text().trimmed().isEmpty()) {
    MessageBox("You need to specify the number to print.", "Print Number");
    BatchNum->setFocus();
    return;
  }
  SetModalResult(mrOk);
}

void TInvBatch::BPHelpClick() {
  Application->HelpJump("PrintInvoice");
}

}  // namespace forms
