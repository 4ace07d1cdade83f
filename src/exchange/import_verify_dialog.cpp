#include "exchange/import_verify_dialog.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QVBoxLayout>

#include "forms/form_instance.h"
#include "platform/text/codepage.h"
#include "platform/text/key_text.h"

namespace exchange {

using namespace platform::ui;
using platform::text::ToQString;

TImpShow* ImpShow = nullptr;

TImpShow& CreateImpShow() {
  return forms::FormInstance(ImpShow);
}

namespace {

QLabel* NewLabel(QWidget* parent, const QString& text = {}) {
  return new QLabel(text, parent);
}

template <std::size_t N>
std::array<QLabel*, N> NewLabels(QWidget* parent) {
  std::array<QLabel*, N> labels{};
  for (QLabel*& label : labels) label = NewLabel(parent);
  return labels;
}

std::string Cell(const ImportRow& row, int column) {
  return column < static_cast<int>(row.size()) ? row[column] : std::string();
}

}  // namespace

TImpShow::TImpShow(QWidget* parent)
    : Form(parent),
      Label3(NewLabel(this, "Please verify! This is record 1 from your import file:")),
      Label1(NewLabel(this)),
      Label2(NewLabel(this)),
      Label4(NewLabel(this, "Number:")),
      Label5(NewLabel(this)),
      Label7(NewLabel(this, "Billing Address:")),
      Label8to11(NewLabels<4>(this)),
      Label12(NewLabel(this, "Shipping Address:")),
      Label13to16(NewLabels<4>(this)),
      Label17to27{NewLabel(this, "Phone1:"),     NewLabel(this, "Phone2:"),    NewLabel(this, "Type:"),
                  NewLabel(this, "Short Name:"), NewLabel(this, "Mail Sort:"), NewLabel(this, "E_Mail:")},
      Label18to28(NewLabels<6>(this)),
      Label6(NewLabel(this, "Is this information correct?")),
      YesButton(new QPushButton("&Yes", this)),
      NoButton(new QPushButton("&No", this)) {
  QFont bold = Label3->font();
  bold.setBold(true);
  for (QLabel* heading : {Label3, Label6}) heading->setFont(bold);
  BindModalResult(YesButton, mrOk);
  BindModalResult(NoButton, mrNo);
  YesButton->setDefault(true);

  auto* fields = new QGridLayout;
  int row = 0;
  auto addPair = [&](QLabel* title, QLabel* value) {
    fields->addWidget(title, row, 0, Qt::AlignRight | Qt::AlignTop);
    fields->addWidget(value, row++, 1);
  };
  addPair(Label1, Label2);
  addPair(Label4, Label5);
  for (std::size_t line = 0; line < 4; ++line) addPair(line == 0 ? Label7 : NewLabel(this), Label8to11[line]);
  for (std::size_t line = 0; line < 4; ++line)
    addPair(line == 0 ? Label12 : NewLabel(this), Label13to16[line]);
  for (std::size_t item = 0; item < Label17to27.size(); ++item) addPair(Label17to27[item], Label18to28[item]);
  fields->setColumnStretch(1, 1);

  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(YesButton);
  buttons->addWidget(NoButton);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(Label3);
  layout->addLayout(fields);
  layout->addWidget(Label6);
  layout->addLayout(buttons);
  setMinimumWidth(420);
}

void TImpShow::ShowRecord(const QString& caption, const QString& nameTitle, const ImportRow& row,
                          bool forceShip) {
  SetCaption(caption);
  Label1->setText(nameTitle);
  Label2->setText(ToQString(Cell(row, 0)));
  const std::string number = Cell(row, 1);
  Label5->setText(platform::text::TrimBlanks(number).empty() ? QString("Will be assigned.")
                                                             : ToQString(number));
  const int shipFrom = forceShip ? 2 : 6;
  for (int line = 0; line < 4; ++line) {
    Label8to11[line]->setText(ToQString(Cell(row, 2 + line)));
    Label13to16[line]->setText(ToQString(Cell(row, shipFrom + line)));
  }
  for (int item = 0; item < 6; ++item) Label18to28[item]->setText(ToQString(Cell(row, 10 + item)));
}

}  // namespace exchange
