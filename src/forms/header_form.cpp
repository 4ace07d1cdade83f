#include "forms/header_form.h"

#include <QFormLayout>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QVBoxLayout>

#include "forms/font_choice.h"
#include "forms/form_instance.h"
#include "platform/print/colors.h"
#include "platform/ui/application.h"
#include "platform/ui/common_dialogs.h"
#include "records/company_rec.h"

namespace forms {

using namespace records;

using records::InvoiceHeaderFonts;
using namespace platform::ui;

THeaderForm* HeaderForm = nullptr;

THeaderForm& CreateHeaderForm() {
  return forms::FormInstance(HeaderForm);
}

namespace {

// Where each heading font sits in InvoiceHeaderFonts.
enum HeadingFont { BodyText, Captions, CompanyAddress, CustomerAddress, AgingAnalysis, SalesMessage };

QLineEdit* TextBox(QWidget* parent, int maxLength, const QString& text = {}) {
  auto* box = new QLineEdit(text, parent);
  box->setMaxLength(maxLength);
  return box;
}

// Made on the window, so that the boxes it takes in keep their place in the Tab order.
QGroupBox* Group(QWidget& window, const QString& title,
                 std::initializer_list<std::pair<const char*, QLineEdit*>> rows) {
  auto* group = new QGroupBox(title, &window);
  auto* form = new QFormLayout(group);
  for (const auto& [label, box] : rows) form->addRow(label, box);
  return group;
}

}  // namespace

THeaderForm::THeaderForm(QWidget* parent)
    : Form(parent),
      InvCapData(TextBox(this, 25, "INVOICE")),
      StmntCapData(TextBox(this, 25, "STATEMENT")),
      PackSHeadData(TextBox(this, 25, "Packing Slip")),
      FCHeadData(TextBox(this, 25, "File Copy")),
      PoHeadTxt(TextBox(this, 25, "Purchase Order")),
      POCopyHeadr(TextBox(this, 25, "PO Copy")),
      PrCdhead(TextBox(this, 15)),
      QuanHead(TextBox(this, 15)),
      DescHead(TextBox(this, 32)),
      Edit8(TextBox(this, 15)),
      ExtHead(TextBox(this, 15)),
      MemoHeadr(TextBox(this, 80)),
      StmntNote(TextBox(this, 80)),
      POMemoHdr(TextBox(this, 80)),
      InvShipHead(TextBox(this, 25)),
      POShipHead(TextBox(this, 25)),
      InvBodyButn(new QPushButton("Form Body Text", this)),
      CapHeadButn(new QPushButton("Caption Headers", this)),
      CustHeadButn(new QPushButton("Customer Address", this)),
      CompHeadButn(new QPushButton("Company Address", this)),
      ColHeadButn(new QPushButton("Aging Analysis", this)),
      SalesMsgButn(new QPushButton("Sales Message", this)),
      InvBodyTxt(new QLabel("Body Text", this)),
      CapHeadTxt(new QLabel("Captions", this)),
      CustNameTxt(new QLabel("Customer Address", this)),
      CompAddTxt(new QLabel("Company Address", this)),
      ColHeadTxt(new QLabel("Aging/PO Signature", this)),
      SalesMsgTxt(new QLabel("Sales Message Text", this)),
      OkButn2(new QPushButton("&Ok", this)),
      Help2Butn(new QPushButton("Help", this)) {
  SetCaption("Headers, Fonts and Colors");
  SetHelpKeyword("HFC");

  auto* texts = new QGridLayout;
  texts->addWidget(Group(*this, "Form Caption Headers:",
                         {{"Invoice:", InvCapData},
                          {"Statement:", StmntCapData},
                          {"Packing Slip:", PackSHeadData},
                          {"File Copy:", FCHeadData},
                          {"Purchase Order:", PoHeadTxt},
                          {"PO Copy:", POCopyHeadr}}),
                   0, 0);
  texts->addWidget(Group(*this, "Invoice/PO Column Headers:",
                         {{"Product Code:", PrCdhead},
                          {"Quantity:", QuanHead},
                          {"Description:", DescHead},
                          {"Unit Cost:", Edit8},
                          {"Extension:", ExtHead}}),
                   0, 1);
  auto* notes = new QFormLayout;
  notes->addRow("Invoice Memo Header:", MemoHeadr);
  notes->addRow("Statement Note:", StmntNote);
  notes->addRow("PO Memo Header:", POMemoHdr);
  notes->addRow("Inv. Ship To:", InvShipHead);
  notes->addRow("PO Ship To:", POShipHead);

  auto* fonts = new QGridLayout;
  const std::pair<QPushButton*, QLabel*> fontRows[] = {
      {InvBodyButn, InvBodyTxt},  {CapHeadButn, CapHeadTxt}, {CustHeadButn, CustNameTxt},
      {CompHeadButn, CompAddTxt}, {ColHeadButn, ColHeadTxt}, {SalesMsgButn, SalesMsgTxt}};
  int row = 0;
  for (const auto& [button, sample] : fontRows) {
    fonts->addWidget(button, row, 0);
    fonts->addWidget(sample, row, 1);
    ++row;
  }

  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(OkButn2);
  buttons->addWidget(Help2Butn);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(texts);
  layout->addLayout(notes);
  layout->addLayout(fonts);
  layout->addLayout(buttons);

  QObject::connect(InvBodyButn, &QPushButton::clicked, [this] { InvBodyButnClick(); });
  QObject::connect(CapHeadButn, &QPushButton::clicked, [this] { CapHeadButnClick(); });
  QObject::connect(CustHeadButn, &QPushButton::clicked, [this] { CustHeadButnClick(); });
  QObject::connect(CompHeadButn, &QPushButton::clicked, [this] { CompHeadButnClick(); });
  QObject::connect(ColHeadButn, &QPushButton::clicked, [this] { ColHeadButnClick(); });
  QObject::connect(SalesMsgButn, &QPushButton::clicked, [this] { SalesMsgButnClick(); });
  QObject::connect(OkButn2, &QPushButton::clicked, [this] { OkButn2Click(); });
  QObject::connect(Help2Butn, &QPushButton::clicked, [this] { Help2ButnClick(); });
}

void THeaderForm::FormShow() {
  ShowFontOn(InvoiceHeaderFonts[BodyText], InvBodyTxt);
  ShowFontOn(InvoiceHeaderFonts[Captions], CapHeadTxt);
  ShowFontOn(InvoiceHeaderFonts[CustomerAddress], CustNameTxt);
  ShowFontOn(InvoiceHeaderFonts[CompanyAddress], CompAddTxt);
  ShowFontOn(InvoiceHeaderFonts[AgingAnalysis], ColHeadTxt);
  ShowFontOn(InvoiceHeaderFonts[SalesMessage], SalesMsgTxt);
}

void THeaderForm::ShowFontOn(const records::FontRec& font, QLabel* sample) {
  const FontChoice choice = forms::FontChoiceOf(font);
  sample->setFont(ToQFont(choice));
  QPalette palette = sample->palette();
  palette.setColor(QPalette::WindowText, platform::print::ColorToQColor(choice.color));
  sample->setPalette(palette);
}

void THeaderForm::ChooseFont(records::FontRec& font, QLabel* sample) {
  FontRequest request;
  request.font = forms::FontChoiceOf(font);
  if (!FontDialog(request)) return;
  forms::StoreFontChoice(font, request.font);
  ShowFontOn(font, sample);
}

void THeaderForm::InvBodyButnClick() {
  ChooseFont(InvoiceHeaderFonts[BodyText], InvBodyTxt);
}

void THeaderForm::CapHeadButnClick() {
  ChooseFont(InvoiceHeaderFonts[Captions], CapHeadTxt);
}

void THeaderForm::CustHeadButnClick() {
  ChooseFont(InvoiceHeaderFonts[CustomerAddress], CustNameTxt);
}

void THeaderForm::CompHeadButnClick() {
  ChooseFont(InvoiceHeaderFonts[CompanyAddress], CompAddTxt);
}

void THeaderForm::ColHeadButnClick() {
  ChooseFont(InvoiceHeaderFonts[AgingAnalysis], ColHeadTxt);
}

void THeaderForm::SalesMsgButnClick() {
  ChooseFont(InvoiceHeaderFonts[SalesMessage], SalesMsgTxt);
}

void THeaderForm::OkButn2Click() {
  SetModalResult(mrOk);
}

void THeaderForm::Help2ButnClick() {
  Application->HelpJump("HFC");
}

}  // namespace forms
