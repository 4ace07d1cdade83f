#include "invoicing/interest_wizard.h"

#include <QButtonGroup>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>
#include <stdexcept>

#include "forms/entry_parts.h"
#include "forms/font_choice.h"
#include "forms/form_instance.h"
#include "forms/manager_window.h"
#include "forms/unusable_file.h"
#include "invoicing/date_field.h"
#include "invoicing/interest_report.h"
#include "invoicing/typed_amount.h"
#include "platform/print/printer.h"
#include "platform/text/clock.h"
#include "platform/text/codepage.h"
#include "platform/text/key_text.h"
#include "platform/ui/application.h"
#include "platform/ui/message_box.h"
#include "records/company_rec.h"
#include "records/invoice_file.h"
#include "records/payment_terms.h"

namespace invoicing {

using namespace platform::ui;
using platform::text::FormatAmount;
using platform::text::ToAnsi;
using platform::text::ToQString;
using platform::text::TrimBlanks;
using records::CurrentCompany;

std::function<void(const QString&)> ShowMainStatusText;

TInterestWiz* InterestWiz = nullptr;

TInterestWiz& CreateInterestWiz() {
  return forms::FormInstance(InterestWiz);
}

void OpenInterestWizard() {
  if (forms::RefuseEntryWhilePostingWaits(records::InvoiceUnit(), "Interest charges", "posted",
                                          "Interest Wizard"))
    return;
  CreateInterestWiz().ShowModal();
}

namespace {

enum GridColumn { ColName, ColNumber, ColOverdue, ColCharge, ColInvoice };

const char* const kCaption = "Interest Wizard";

QString Stored(const std::string& text) {
  return ToQString(TrimBlanks(text));
}

QTableWidgetItem* Cell(const QString& text, bool amount) {
  auto* cell = new QTableWidgetItem(text);
  cell->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
  // Amounts all carry two decimals: right-aligned, their points stand one under the other.
  if (amount) cell->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
  return cell;
}

}  // namespace

TInterestWiz::TInterestWiz(QWidget* parent)
    : Form(parent),
      days30(new QRadioButton(this)),
      days60(new QRadioButton(this)),
      days90(new QRadioButton(this)),
      IPct(new QLineEdit(this)),
      MinChg(new QLineEdit(this)),
      FlatCB(new QCheckBox("Use Flat Fee for Charges", this)),
      FlatRate(new QLineEdit("0.00", this)),
      IDate(new QLineEdit(this)),
      Calbutton(new QToolButton(this)),
      LastRun(new QLabel(this)),
      InvComm(new QLineEdit(this)),
      StmntNote(new QLineEdit(this)),
      ITerms(forms::TermsBox(this)),
      IPrin(new QCheckBox("Mark Invoices as Printed", this)),
      CustGrid(new QTableWidget(this)),
      StatusLabel(new QLabel(this)),
      Button1(new QPushButton("Scan File", this)),
      GenInv(new QPushButton("Generate Invoices", this)),
      Button2(new QPushButton("Help", this)),
      CanButn(new QPushButton("&Cancel", this)) {
  SetCaption(kCaption);
  SetHelpKeyword("InterestWizard");
  Calbutton->setText("...");
  IPct->setValidator(new QRegularExpressionValidator(QRegularExpression(R"(\d?\.?\d{0,3})"), IPct));
  MinChg->setValidator(new QRegularExpressionValidator(QRegularExpression(R"(\d?\.?\d{0,2})"), MinChg));
  IPct->setMaxLength(5);
  MinChg->setMaxLength(5);
  FlatRate->setMaxLength(6);
  InvComm->setMaxLength(80);
  StmntNote->setMaxLength(35);

  auto* periods = new QGroupBox(" Calculate for Accounts Over ", this);
  auto* periodLayout = new QVBoxLayout(periods);
  auto* periodGroup = new QButtonGroup(this);
  for (QRadioButton* button : {days30, days60, days90}) {
    periodGroup->addButton(button);
    periodLayout->addWidget(button);
  }
  auto* rates = new QFormLayout;
  rates->addRow("Monthly Percentage Rate:", IPct);
  rates->addRow("Minimum Interest Charge:", MinChg);
  rates->addRow(FlatCB);
  rates->addRow("Flat Rate:", FlatRate);
  rates->addRow(new QLabel("(flat fee overrides above settings)", this));
  auto* invoice = new QFormLayout;
  auto* date = new QHBoxLayout;
  date->addWidget(IDate);
  date->addWidget(Calbutton);
  invoice->addRow("Invoice Date:", date);
  invoice->addRow(LastRun);
  invoice->addRow("Invoice Comments/Reference:", InvComm);
  invoice->addRow("Statement Note:", StmntNote);
  invoice->addRow("Payment Terms:", ITerms);
  invoice->addRow(IPrin);
  auto* top = new QHBoxLayout;
  top->addWidget(periods);
  top->addLayout(rates);
  top->addSpacing(12);
  top->addLayout(invoice, 1);
  IDate->setMinimumWidth(110);
  for (QWidget* field :
       {static_cast<QWidget*>(InvComm), static_cast<QWidget*>(StmntNote), static_cast<QWidget*>(ITerms)})
    field->setMinimumWidth(260);
  StatusLabel->setWordWrap(true);

  CustGrid->setColumnCount(4);
  CustGrid->verticalHeader()->hide();
  CustGrid->setSelectionBehavior(QAbstractItemView::SelectRows);
  CustGrid->setMinimumSize(640, 220);

  auto* buttons = new QHBoxLayout;
  buttons->addWidget(StatusLabel, 1);
  for (QPushButton* button : {Button1, GenInv, Button2, CanButn}) buttons->addWidget(button);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(top);
  layout->addWidget(CustGrid, 1);
  layout->addLayout(buttons);

  auto click = [this](QAbstractButton* button, void (TInterestWiz::*handler)()) {
    QObject::connect(button, &QAbstractButton::clicked, [this, handler] { (this->*handler)(); });
  };
  click(days30, &TInterestWiz::days30Click);
  click(days60, &TInterestWiz::days60Click);
  click(days90, &TInterestWiz::days90Click);
  click(FlatCB, &TInterestWiz::FlatCBClick);
  click(Calbutton, &TInterestWiz::CalbuttonClick);
  click(Button1, &TInterestWiz::Button1Click);
  click(GenInv, &TInterestWiz::GenInvClick);
  click(Button2, &TInterestWiz::Button2Click);
  click(CanButn, &TInterestWiz::CanButnClick);
  QObject::connect(IPct, &QLineEdit::textEdited, [this] { IPctChange(); });
  // A new minimum asks for a new scan as a new rate does.
  QObject::connect(MinChg, &QLineEdit::textEdited, [this] { IPctChange(); });
  QObject::connect(FlatRate, &QLineEdit::textEdited, [this] { FlatRateChange(); });
}

void TInterestWiz::FormShow() {
  const records::CompanyRec& c = CurrentCompany;
  days30->setText("Over " + Stored(c.AgingDays1.Get()) + " Days");
  days60->setText("Over " + Stored(c.AgingDays2.Get()) + " Days");
  days90->setText("Over " + Stored(c.AgingDays3.Get()) + " Days");
  const char period = InterestPeriodOf(TrimBlanks(c.InterestOverdueDays.Get()));
  (period == '6' ? days60 : period == '9' ? days90 : days30)->setChecked(true);
  const std::string rate = TrimBlanks(c.InterestMonthlyRate.Get());
  IPct->setText(ToQString(rate.size() < 2 ? "1.50" : rate));
  const std::string minimum = TrimBlanks(c.InterestMinimumCharge.Get());
  MinChg->setText(ToQString(minimum.size() < 2 ? ".10" : minimum));
  FlatCB->setChecked(false);
  FlatRate->setText("0.00");
  FlatCBClick();
  IPrin->setChecked(c.InterestMarkPrinted != 0);
  SetDateMask(*IDate);
  IDate->setText(ToQString(TodayTyped()));
  LastRun->setText("Last Interest Invoices: " + Stored(c.LastInterestInvoicesDate.Get()));
  InvComm->setText("Interest Charges");
  StmntNote->setText("Interest Charges");
  records::LoadPaymentTermsInto(*ITerms);
  ITerms->setCurrentText(Stored(c.InterestPaymentTerms.Get()));
  CustGrid->setFont(forms::CompanyEditorFont(c, font()));
  rows_.clear();
  ResetGrid();
  QFontMetrics metrics(CustGrid->font());
  CustGrid->setColumnWidth(ColName, metrics.horizontalAdvance(QString(34, 'X')));
  CustGrid->setColumnWidth(ColNumber, metrics.horizontalAdvance(QString(13, 'X')));
  CustGrid->setColumnWidth(ColOverdue, metrics.horizontalAdvance(QString(13, 'X')));
  CustGrid->horizontalHeader()->setStretchLastSection(true);
  Button1->setEnabled(true);
  GenInv->setEnabled(false);
  StatusLabel->setText("Enter above options then select scan button...");
}

QRadioButton* TInterestWiz::PeriodButton() const {
  return days60->isChecked() ? days60 : days90->isChecked() ? days90 : days30;
}

InterestSettings TInterestWiz::Settings() const {
  InterestSettings s;
  s.Period = days60->isChecked() ? '6' : days90->isChecked() ? '9' : '3';
  s.Rate = ToAnsi(IPct->text());
  s.Minimum = TrimBlanks(ToAnsi(MinChg->text()));
  s.FlatFee = FlatCB->isChecked();
  s.Fee = TrimBlanks(ToAnsi(FlatRate->text()));
  s.MarkPrinted = IPrin->isChecked();
  s.Date = ToAnsi(IDate->text());
  s.Notes = ToAnsi(InvComm->text());
  s.StatementNote = ToAnsi(StmntNote->text());
  s.Terms = ToAnsi(ITerms->currentText());
  return s;
}

void TInterestWiz::ResetGrid() {
  CustGrid->setColumnCount(4);
  CustGrid->setHorizontalHeaderLabels(
      {"Customer Name", "Customer#", PeriodButton()->text(), "Interest Chg."});
  CustGrid->setRowCount(1);
  CustGrid->clearContents();
}

void TInterestWiz::ShowRows() {
  const bool numbered = CustGrid->columnCount() > ColInvoice;
  CustGrid->setRowCount(static_cast<int>(rows_.size()) + 1);
  Cents overdue = 0;
  Cents charges = 0;
  int row = 0;
  for (const InterestRow& r : rows_) {
    CustGrid->setItem(row, ColName, Cell(ToQString(r.Name), false));
    CustGrid->setItem(row, ColNumber, Cell(ToQString(r.CustomerNo), false));
    CustGrid->setItem(row, ColOverdue, Cell(ToQString(FormatAmount(r.Overdue)), true));
    CustGrid->setItem(row, ColCharge, Cell(ToQString(FormatAmount(r.Charge)), true));
    if (numbered) CustGrid->setItem(row, ColInvoice, Cell(ToQString(r.InvoiceNo), false));
    overdue += r.Overdue;
    charges += r.Charge;
    ++row;
  }
  CustGrid->setItem(row, ColName, Cell("Totals:", false));
  CustGrid->setItem(row, ColOverdue, Cell(ToQString(FormatAmount(overdue)), true));
  CustGrid->setItem(row, ColCharge, Cell(ToQString(FormatAmount(charges)), true));
}

void TInterestWiz::Button1Click() {
  StatusLabel->setText("Scanning...");
  Button1->setEnabled(false);
  GenInv->setEnabled(false);
  rows_.clear();
  ResetGrid();
  if (FlatCB->isChecked()) {
    if (TrimBlanks(ToAnsi(FlatRate->text())).empty()) FlatRate->setText("0.00");
    if (TypedAmountValue(ToAnsi(FlatRate->text())).value_or(0) == 0) {
      MessageBox("No flat rate is specified.", "Flat Rate Fee");
      FlatRate->setFocus();
      Button1->setEnabled(true);
      return;
    }
  }
  if (!forms::ReadAll(kCaption, [&] { rows_ = ScanInterestCharges(Settings()); })) {
    StatusLabel->clear();
    Button1->setEnabled(true);
    return;
  }
  ShowRows();
  if (rows_.empty()) {
    StatusLabel->setText("No records found.");
    MessageBox("No records were found.", kCaption);
    return;
  }
  GenInv->setEnabled(true);
  StatusLabel->setText(QString::number(rows_.size()) +
                       " found. Complete data below then select generate button...");
}

void TInterestWiz::GenInvClick() {
  if (!TypedDate(*IDate)) {
    MessageBox(
        "You have an invalid invoice date. You can clear the date and then select the calendar button.",
        "Invoice Date");
    IDate->setFocus();
    return;
  }
  GenInv->setEnabled(false);
  CustGrid->setColumnCount(5);
  CustGrid->setHorizontalHeaderItem(ColInvoice, new QTableWidgetItem("Invoice#"));
  GeneratedInterest generated;
  try {
    generated = GenerateInterestInvoices(rows_, Settings());
  } catch (const std::runtime_error& error) {
    MessageBox(ToQString(error.what()), kCaption, MsgButtons::Ok, MsgIcon::Error);
    return;
  }
  ShowRows();
  SetModalResult(mrOk);
  if (MessageBox(QString::number(generated.Invoices) +
                     " invoices were created. Would you like to send a report to the printer?",
                 "Operation Complete", MsgButtons::YesNo, MsgIcon::Question) == mrYes)
    PrintReport();
}

void TInterestWiz::PrintReport() {
  PrintInterestReport(rows_, Settings(), PeriodButton()->text(), CurrentCompany, platform::text::Now(),
                      platform::print::Printer());
  if (ShowMainStatusText)
    ShowMainStatusText(platform::print::PrintedNotice("Interest Report", "sent to print queue"));
}

void TInterestWiz::FlatCBClick() {
  Button1->setEnabled(true);
  const bool flat = FlatCB->isChecked();
  FlatRate->setEnabled(flat);
  IPct->setEnabled(!flat);
  MinChg->setEnabled(!flat);
}

void TInterestWiz::FlatRateChange() {
  switch (CheckTypedAmount(ToAnsi(FlatRate->text()))) {
    case TypedAmountCheck::Negative:
      MessageBox("You should not enter a negative number in the flat rate box.", "Flat Rate Amount");
      break;
    case TypedAmountCheck::NotNumeric:
      MessageBox("The flat rate must be a numeric value.", "Invalid Flat Rate Amount");
      break;
    default:
      Button1->setEnabled(true);
  }
}

void TInterestWiz::CalbuttonClick() {
  ChooseDateFor(*IDate);
}

void TInterestWiz::Button2Click() {
  Application->HelpKeyword("InterestWizard");
}

void TInterestWiz::CanButnClick() {
  SetModalResult(mrCancel);
}

}  // namespace invoicing
