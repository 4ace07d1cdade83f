#include "customers/customer_quick_view.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QVBoxLayout>

#include "forms/figures_note.h"
#include "forms/form_instance.h"
#include "platform/text/codepage.h"
#include "platform/text/key_text.h"
#include "records/company_rec.h"

namespace customers {

using namespace records;
using namespace forms;

using platform::text::ToQString;
using platform::text::TrimBlanks;

TQView* QView = nullptr;

TQView& CreateQView() {
  return forms::FormInstance(QView);
}

namespace {

QLabel* ValueLabel(QWidget* parent) {
  auto* label = new QLabel(parent);
  label->setTextInteractionFlags(Qt::TextSelectableByMouse);
  return label;
}

}  // namespace

TQView::TQView(QWidget* parent)
    : Form(parent),
      DataType(ValueLabel(this)),
      IvNum(ValueLabel(this)),
      IvDate(ValueLabel(this)),
      InvTot(ValueLabel(this)),
      PdAmount(ValueLabel(this)),
      IBalDue(ValueLabel(this)),
      PIFlag(new QLabel("* Printed *", this)),
      Label18(new QLabel("* Repeat *", this)),
      CustomerPanel(new QGroupBox("Customer Data:", this)),
      CustName(ValueLabel(CustomerPanel)),
      CustNo(ValueLabel(CustomerPanel)),
      CustBal(ValueLabel(CustomerPanel)),
      Pnum(ValueLabel(CustomerPanel)),
      LstPmt(ValueLabel(CustomerPanel)),
      LstInv(ValueLabel(CustomerPanel)),
      Label4(new QLabel("00 - 30 Days:", CustomerPanel)),
      Label15(new QLabel("31 - 60 Days:", CustomerPanel)),
      Label16(new QLabel("61 - 90 Days:", CustomerPanel)),
      Label17(new QLabel("Over 90 Days:", CustomerPanel)),
      a0to30(ValueLabel(CustomerPanel)),
      a3160(ValueLabel(CustomerPanel)),
      A6190(ValueLabel(CustomerPanel)),
      AO90(ValueLabel(CustomerPanel)),
      FiguresNote(forms::NewFiguresNote(this)),
      OKBtn(new QPushButton("&Close", this)) {
  SetCaption("Customer Data");

  auto* document = new QFormLayout;
  document->addRow("Type:", DataType);
  document->addRow("Invoice Number:", IvNum);
  document->addRow("Invoice Date:", IvDate);
  document->addRow("Invoice Total:", InvTot);
  document->addRow("Paid Amount:", PdAmount);
  document->addRow("Balance Due:", IBalDue);
  auto* markers = new QHBoxLayout;
  markers->addWidget(PIFlag);
  markers->addWidget(Label18);
  markers->addStretch(1);
  document->addRow(markers);

  auto* customer = new QFormLayout(CustomerPanel);
  customer->addRow("Name:", CustName);
  customer->addRow("Customer Number:", CustNo);
  customer->addRow("Account Balance:", CustBal);
  customer->addRow("Phone Number:", Pnum);
  customer->addRow("Last Payment:", LstPmt);
  customer->addRow("Last Invoice:", LstInv);
  customer->addRow(Label4, a0to30);
  customer->addRow(Label15, a3160);
  customer->addRow(Label16, A6190);
  customer->addRow(Label17, AO90);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(FiguresNote);
  layout->addLayout(document);
  layout->addWidget(CustomerPanel);
  layout->addWidget(OKBtn, 0, Qt::AlignRight);
  OKBtn->setDefault(true);
  BindModalResult(OKBtn, platform::ui::mrOk);
}

void TQView::FormShow() {
  forms::ShowFiguresNote(*FiguresNote);
  Label4->setText(ToQString(TrimBlanks(CurrentCompany.AgingCaption1.Get())));
  Label15->setText(ToQString(TrimBlanks(CurrentCompany.AgingCaption2.Get())));
  Label16->setText(ToQString(TrimBlanks(CurrentCompany.AgingCaption3.Get())));
  Label17->setText("Over " + ToQString(TrimBlanks(CurrentCompany.AgingDays3.Get())) + ":");
}

}  // namespace customers
