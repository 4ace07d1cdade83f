#include "companies/comp_set.h"

#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QPixmap>
#include <QScreen>
#include <QStringList>
#include <QTabBar>
#include <QVBoxLayout>
#include <algorithm>

#include "forms/entry_parts.h"
#include "forms/form_instance.h"
#include "forms/header_form.h"
#include "forms/unusable_file.h"
#include "platform/files/path.h"
#include "platform/text/codepage.h"
#include "platform/text/key_text.h"
#include "platform/text/number_text.h"
#include "platform/ui/application.h"
#include "platform/ui/message_box.h"
#include "records/company_data_files.h"
#include "records/company_file.h"
#include "records/payment_terms.h"

namespace companies {

using namespace records;
using namespace forms;

TCompSet* CompSet = nullptr;

TCompSet& CreateCompSet() {
  return FormInstance(CompSet);
}

namespace {

using platform::text::ToAnsi;
using platform::text::ToQString;
using platform::text::TrimBlanks;
using platform::ui::FontChoice;
using platform::ui::SetTabOrder;

const char* const NetThirtyDays = "Net 30 Days";
const char* const Dots = "dots";
const char* const StandardBackground = "ovt8.bmp";
const char* const Solid = "solid";

std::string TextOf(const QLineEdit* edit) {
  return ToAnsi(edit->text());
}

void SetText(QLineEdit* edit, std::string_view text) {
  edit->setText(ToQString(text));
}

FontChoice ToFontChoice(std::string_view name, int32_t size, int32_t color, uint8_t style) {
  FontChoice font;
  font.name = ToQString(name);
  font.size = size;
  font.color = color;
  font.bold = style & FontStyleBold;
  font.italic = style & FontStyleItalic;
  font.underline = style & FontStyleUnderline;
  font.strikeOut = style & FontStyleStrikeOut;
  return font;
}

uint8_t StyleBits(const FontChoice& font) {
  return (font.bold ? FontStyleBold : 0) | (font.italic ? FontStyleItalic : 0) |
         (font.underline ? FontStyleUnderline : 0) | (font.strikeOut ? FontStyleStrikeOut : 0);
}

// A Windows colour value 0x00BBGGRR as a style-sheet colour.
QString CssColor(int32_t color) {
  return QColor(color & 0xFF, (color >> 8) & 0xFF, (color >> 16) & 0xFF).name();
}

void ShowFontOn(QLabel* preview, const FontChoice& font) {
  preview->setFont(platform::ui::ToQFont(font));
  preview->setStyleSheet("color: " + CssColor(font.color));
  preview->setText(QString("%1, %2").arg(font.name).arg(font.size));
}

// "Number copies": one to five copies; anything else prints one.
std::string CopiesText(const std::string& typed) {
  std::string copies = TrimBlanks(typed);
  return (copies.size() == 1 && copies[0] >= '2' && copies[0] <= '5') ? copies : "1";
}

std::string OrDefault(const std::string& text, std::string_view fallback) {
  return text.empty() ? std::string(fallback) : text;
}

QLineEdit* NewEdit(QWidget* parent, std::size_t capacity, int width = 0) {
  auto* edit = new QLineEdit(parent);
  edit->setMaxLength(static_cast<int>(capacity));
  if (width > 0) edit->setFixedWidth(width);
  return edit;
}

void CheckRadio(QRadioButton* chosen, std::initializer_list<QRadioButton*> group) {
  for (QRadioButton* button : group) {
    button->setAutoExclusive(false);
    button->setChecked(button == chosen);
    button->setAutoExclusive(true);
  }
}

template <std::size_t N>
void Transfer(QLineEdit* edit, ShortString<N>& field, bool toRecord) {
  if (toRecord)
    field.Set(TextOf(edit));
  else
    SetText(edit, field.Get());
}

void TransferHeadings(forms::THeaderForm& h, CompanyRec& r, bool toRecord) {
  Transfer(h.InvCapData, r.InvoiceCaption, toRecord);
  Transfer(h.StmntCapData, r.StatementCaption, toRecord);
  Transfer(h.PackSHeadData, r.PackingSlipCaption, toRecord);
  Transfer(h.FCHeadData, r.FileCopyCaption, toRecord);
  Transfer(h.PoHeadTxt, r.POCaption, toRecord);
  Transfer(h.POCopyHeadr, r.POCopyCaption, toRecord);
  Transfer(h.PrCdhead, r.ProductCodeHeader, toRecord);
  Transfer(h.QuanHead, r.QuantityHeader, toRecord);
  Transfer(h.DescHead, r.DescriptionHeader, toRecord);
  Transfer(h.Edit8, r.UnitPriceHeader, toRecord);
  Transfer(h.ExtHead, r.ExtensionHeader, toRecord);
  Transfer(h.MemoHeadr, r.InvoiceMemoHeader, toRecord);
  Transfer(h.StmntNote, r.StatementNote, toRecord);
  Transfer(h.POMemoHdr, r.POMemoHeader, toRecord);
  Transfer(h.InvShipHead, r.InvoiceShipToCaption, toRecord);
  Transfer(h.POShipHead, r.POShipToCaption, toRecord);
}

}  // namespace

// The number names the company's data files, so only a sign and digits count as a number (the
// number parser would also let commas through), and only numbers that make safe file names are
// in range.
CompanyNumberEntry CheckCompanyNumberEntry(std::string_view trimmed) {
  const std::size_t digits = trimmed.starts_with('-') ? 1 : 0;
  const auto value = platform::text::TryStrToInt(trimmed);
  if (!value || trimmed.size() == digits ||
      trimmed.find_first_not_of("0123456789", digits) != std::string::npos)
    return CompanyNumberEntry::NotNumeric;
  if (*value < 1 || *value > 32000 || !IsValidCompanyNumber(trimmed)) return CompanyNumberEntry::OutOfRange;
  return CompanyNumberEntry::Valid;
}

TCompSet::TCompSet(QWidget* parent) : Form(parent) {
  SetCaption("Company Options");
  AskBeforeDiscarding("Discard these company options?");
  CName = NewEdit(this, 35, 260);
  CoNumb = NewEdit(this, 5, 60);
  PageControl1 = new QTabWidget(this);

  auto* top = new QHBoxLayout;
  top->addWidget(new QLabel("Company Name:", this));
  top->addWidget(CName);
  top->addSpacing(16);
  top->addWidget(new QLabel("Number:", this));
  top->addWidget(CoNumb);
  top->addStretch();

  BuildAddressTab();
  BuildBarCodesTab();
  BuildEnvelopeTab();
  BuildFormsTab();
  BuildGeneralTab();
  BuildInvoicesTab();
  BuildPOTab();
  BuildSalesMessagesTab();
  BuildGraphicsTab();

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(top);
  layout->addWidget(PageControl1);
  BuildButtons();
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(OKButton);
  buttons->addWidget(CancelButton);
  buttons->addWidget(HelpButton);
  layout->addLayout(buttons);

  BindFields();
  // Ten tab captions side by side are wider than a small screen: the tabs scroll, and the
  // dialog shows as many of them as the screen has room for, and never less than its widest page.
  PageControl1->setUsesScrollButtons(true);
  PageControl1->setElideMode(Qt::ElideNone);
  const int allTabs = PageControl1->tabBar()->sizeHint().width() + 2 * layout->contentsMargins().left() + 8;
  const QScreen* screen = QGuiApplication::primaryScreen();
  const int room = screen ? screen->availableGeometry().width() - 40 : allTabs;
  resize(std::max(sizeHint().width(), std::min(allTabs, room)), 560);
  BrowFontDlg = ToFontChoice("Courier New", 10, 0, 0);
  FontDialog1 = ToFontChoice("Arial", 10, 0xFF0000, FontStyleBold);
  EnvFont = ToFontChoice("Arial", 12, 0, 0);
  OpenImage.title = "Bitmap Image";
  OpenImage.filter = "Bitmaps|*.BMP|All files|*.*";
  InvBmpODialog.title = "Bitmap Image";
  InvBmpODialog.filter = "Bitmaps|*.BMP|All files|*.*";
}

void TCompSet::BuildAddressTab() {
  Address = new QWidget;
  CAdd1 = NewEdit(Address, 35);
  CAdd2 = NewEdit(Address, 35);
  CAdd3 = NewEdit(Address, 35);
  CAdd4 = NewEdit(Address, 35);
  ExtraAdd1 = NewEdit(Address, 35);
  POSA1 = NewEdit(Address, 35);
  POSA2 = NewEdit(Address, 35);
  POSA3 = NewEdit(Address, 35);
  POSA4 = NewEdit(Address, 35);
  // Made in the order they stand, which is the order Tab walks them.
  TaxCRate = NewEdit(Address, 6, 80);
  TaxName = NewEdit(Address, 10, 100);
  CalcTaxes = new QCheckBox("Calculate Taxes on Invoices", Address);
  CalcPOTax = new QCheckBox("Calculate Taxes on Purchase Orders", Address);

  // Each address a column of its own, which Tab walks down before the next.
  auto* company = new QVBoxLayout;
  company->addWidget(new QLabel("Company Address:", Address));
  for (QLineEdit* line : {CAdd1, CAdd2, CAdd3, CAdd4}) company->addWidget(line);
  company->addWidget(new QLabel("Contact:", Address));
  company->addWidget(ExtraAdd1);
  company->addStretch();
  auto* shipTo = new QVBoxLayout;
  shipTo->addWidget(new QLabel("PO Ship To Address:", Address));
  for (QLineEdit* line : {POSA1, POSA2, POSA3, POSA4}) shipTo->addWidget(line);
  auto* taxes = new QFormLayout;
  taxes->addRow("Tax Rate:", TaxCRate);
  taxes->addRow("Tax Heading:", TaxName);
  taxes->addRow(CalcTaxes);
  taxes->addRow(CalcPOTax);
  shipTo->addLayout(taxes);
  shipTo->addStretch();
  auto* layout = new QHBoxLayout(Address);
  layout->addLayout(company);
  layout->addLayout(shipTo);
  PageControl1->addTab(Address, "Address/Taxes");
}

void TCompSet::BuildBarCodesTab() {
  BCodes = new QWidget;
  auto* group = new QGroupBox("  Bar Code Output Type  ", BCodes);
  BC1 = new QRadioButton("Code 39  (best choice)", group);
  BC2 = new QRadioButton("UPC - Version A", group);
  BCEan13 = new QRadioButton("EAN-13", group);
  auto* types = new QVBoxLayout(group);
  types->addWidget(BC1);
  types->addWidget(BC2);
  types->addWidget(BCEan13);
  BCOnInv = new QCheckBox("Print Product Bar Codes on Invoices/Receipts", BCodes);
  BCOnPo = new QCheckBox("Print Product Bar Codes on PO's", BCodes);
  BCIno = new QCheckBox("Bar Code Invoice/Receipt Numbers", BCodes);
  BCPOno = new QCheckBox("Bar Code PO Numbers", BCodes);
  BCOnLBL = new QCheckBox("Print Bar Codes on Product Labels (Label Wizard)", BCodes);
  auto* layout = new QVBoxLayout(BCodes);
  layout->addWidget(group);
  for (QCheckBox* box : {BCOnInv, BCOnPo, BCIno, BCPOno, BCOnLBL}) layout->addWidget(box);
  layout->addStretch();
  PageControl1->addTab(BCodes, "Bar Codes");
}

void TCompSet::BuildEnvelopeTab() {
  EnvelopeTab = new QWidget;
  FontButn = new QPushButton("Font", EnvelopeTab);
  EFontEx = new QLabel(EnvelopeTab);
  LandSCB = new QCheckBox("Print Envelope in Landscape Mode", EnvelopeTab);
  ELineSpace = NewEdit(EnvelopeTab, 3, 60);
  LMarSet = NewEdit(EnvelopeTab, 4, 60);
  TopMarSet = NewEdit(EnvelopeTab, 4, 60);
  SendAddLeft = NewEdit(EnvelopeTab, 4, 60);
  UseShipAdd = new QCheckBox("Use Ship-To Address", EnvelopeTab);
  PCoAddr = new QCheckBox("Print Company Return Address", EnvelopeTab);
  CEMailAdd = NewEdit(EnvelopeTab, 50);
  CEMailHost = NewEdit(EnvelopeTab, 50);
  DefToEmail = new QCheckBox("Default output to e-mail", EnvelopeTab);
  CBEmailLines = new QCheckBox("Lines on e-mail invoices / PO's", EnvelopeTab);
  EMInclCust = new QCheckBox("Include customers without e-mail addresses", EnvelopeTab);
  EMUser = NewEdit(EnvelopeTab, 60);
  EMAuth = NewEdit(EnvelopeTab, 60);
  connect(FontButn, &QPushButton::clicked, this, [this] { FontButnClick(); });

  auto* envelope = new QFormLayout;
  auto* font = new QHBoxLayout;
  font->addWidget(FontButn);
  font->addWidget(EFontEx, 1);
  envelope->addRow(font);
  envelope->addRow(LandSCB);
  envelope->addRow("Line Spacing:", ELineSpace);
  envelope->addRow("Left Margin:", LMarSet);
  envelope->addRow("Top Margin:", TopMarSet);
  envelope->addRow("Send Address Left: ", SendAddLeft);
  envelope->addRow(UseShipAdd);
  envelope->addRow(PCoAddr);
  auto* mail = new QFormLayout;
  mail->addRow("Your E-Mail Address (reply e-mail):", CEMailAdd);
  mail->addRow("Outgoing Mail Server (SMTP):", CEMailHost);
  mail->addRow(DefToEmail);
  mail->addRow(CBEmailLines);
  mail->addRow(EMInclCust);
  mail->addRow("User / Login Name:", EMUser);
  mail->addRow("Password / Authorization:", EMAuth);
  auto* note =
      new QLabel("NOTE: Leave these blank if your ISP does not require Email Authentication.", EnvelopeTab);
  note->setWordWrap(true);
  mail->addRow(note);
  auto* layout = new QHBoxLayout(EnvelopeTab);
  layout->addLayout(envelope);
  layout->addSpacing(16);
  layout->addLayout(mail, 1);
  PageControl1->addTab(EnvelopeTab, "Envelopes/E-Mail");
}

void TCompSet::BuildFormsTab() {
  FormsSet = new QWidget;
  HorLCB = new QCheckBox("Vertical Lines", FormsSet);
  VLineCB = new QCheckBox("Horizontal Lines", FormsSet);
  LineWidthVal = NewEdit(FormsSet, 1, 40);
  SBoxCB = new QCheckBox("Box around statements", FormsSet);
  IBoxCB = new QCheckBox("Box around invoices", FormsSet);
  CAgeCB = new QCheckBox("Customer Aging", FormsSet);
  ShadeCB = new QCheckBox("Use Shading", FormsSet);
  CheckBox5 = new QCheckBox("Letterhead Style", FormsSet);
  SMsgCB = new QCheckBox("Sales Message", FormsSet);
  PConICB = new QCheckBox("Product Codes on Invoices", FormsSet);
  CBPConPO = new QCheckBox("Product Codes on PO's", FormsSet);
  MoveDwnCB = new QCheckBox("Move down totals for blank lines", FormsSet);
  BigBxTop = NewEdit(FormsSet, 2, 40);
  TopFormMar = NewEdit(FormsSet, 2, 40);
  LeftFormMar = NewEdit(FormsSet, 2, 40);
  UseBmpCB = new QCheckBox("Print bitmap logo", FormsSet);
  BmpImgButn = new QPushButton("Bitmap Image", FormsSet);
  BmpNameText = new QLabel(FormsSet);
  MaxLines = NewEdit(FormsSet, 2, 40);
  CNameOnForm = new QCheckBox("Don't Print Company Name and Address", FormsSet);
  PushAddr = NewEdit(FormsSet, 10, 80);
  MaskEdit1 = NewEdit(FormsSet, 5, 60);
  ComboBox1 = new QComboBox(FormsSet);
  ComboBox1->addItems({Dots, Solid});
  CBRecptPrn = new QCheckBox("Receipt Printer Output (receipt printer required)", FormsSet);
  CBInvQuan = new QCheckBox("Total Invoice / PO Quantities", FormsSet);
  BitBtn1 = new QPushButton("Headers / Fonts / Colors", FormsSet);
  connect(BmpImgButn, &QPushButton::clicked, this, [this] { BmpImgButnClick(); });
  connect(BitBtn1, &QPushButton::clicked, this, [this] { BitBtn1Click(); });

  auto* boxes = new QVBoxLayout;
  for (QCheckBox* box : {HorLCB, VLineCB, SBoxCB, IBoxCB, CAgeCB, ShadeCB, CheckBox5, SMsgCB, PConICB,
                         CBPConPO, MoveDwnCB, CNameOnForm, CBRecptPrn, CBInvQuan})
    boxes->addWidget(box);
  boxes->addStretch();
  auto* values = new QFormLayout;
  values->addRow("Line Widths:", LineWidthVal);
  values->addRow("Box Top:", BigBxTop);
  values->addRow("Top Margin:", TopFormMar);
  values->addRow("Left Margin:", LeftFormMar);
  values->addRow("Max Lines:", MaxLines);
  values->addRow("Move Addresses to Right an Additional:", PushAddr);
  values->addRow("Line Spacings:", MaskEdit1);
  values->addRow("Line Style:", ComboBox1);
  values->addRow(UseBmpCB);
  values->addRow(BmpImgButn, BmpNameText);
  values->addRow(BitBtn1);
  auto* layout = new QHBoxLayout(FormsSet);
  layout->addLayout(boxes);
  layout->addLayout(values, 1);
  // Down the check boxes, then down the values beside them.
  SetTabOrder({HorLCB,       VLineCB,  SBoxCB,     IBoxCB,      CAgeCB,      ShadeCB,    CheckBox5,
               SMsgCB,       PConICB,  CBPConPO,   MoveDwnCB,   CNameOnForm, CBRecptPrn, CBInvQuan,
               LineWidthVal, BigBxTop, TopFormMar, LeftFormMar, MaxLines,    PushAddr,   MaskEdit1,
               ComboBox1,    UseBmpCB, BmpImgButn, BitBtn1});
  PageControl1->addTab(FormsSet, "Forms Setup/Headers/Fonts/ Colors");
}

void TCompSet::BuildGeneralTab() {
  General = new QWidget;
  auto* group = new QGroupBox(" Use This Date Format ", General);
  MMDDYY = new QRadioButton("MM/DD/YY", group);
  DDMMYY = new QRadioButton("DD/MM/YY", group);
  auto* dates = new QVBoxLayout(group);
  dates->addWidget(MMDDYY);
  dates->addWidget(DDMMYY);
  auto* warning = new QLabel(
      "WARNING: Do not change the date format if you have invoices or PO's on file for this company! See the "
      "online help for more information.",
      group);
  warning->setWordWrap(true);
  dates->addWidget(warning);
  SHints = new QCheckBox("Show button hints (used only at startup)", General);
  CNxtCustNo = NewEdit(General, 8, 100);
  ACBillAdd = new QCheckBox("Auto-copy Billing Address to Shipping", General);
  AuditCB = new QCheckBox("Require System Audit Trail", General);
  CBPBackup = new QCheckBox("Prompt for Backup on Exit", General);
  NxtVenNo = NewEdit(General, 10, 100);
  CurrencySymbol = NewEdit(General, 1, 30);

  auto* form = new QFormLayout;
  form->addRow(SHints);
  form->addRow("Next Customer Number:", CNxtCustNo);
  form->addRow(ACBillAdd);
  form->addRow(AuditCB);
  form->addRow(CBPBackup);
  form->addRow("Next Vendor Number:", NxtVenNo);
  form->addRow("Currency Symbol:", CurrencySymbol);
  auto* layout = new QHBoxLayout(General);
  layout->addWidget(group, 1, Qt::AlignTop);
  layout->addLayout(form, 1);
  PageControl1->addTab(General, "General Setup");
}

void TCompSet::BuildInvoicesTab() {
  Invoices = new QWidget;
  NextIno = NewEdit(Invoices, 9, 100);
  PrintDupOnInv = new QCheckBox("Print \"Duplicate Invoice\" on reprinted invoices", Invoices);
  DefInvQuan = NewEdit(Invoices, 9, 100);
  DFTerms = forms::TermsBox(Invoices);
  YYMMonInv = new QCheckBox("Pre-fix invoice numbers with year and month ", Invoices);
  PFlag = new QCheckBox("Set new invoice default print flag ON", Invoices);
  auto* kind = new QGroupBox(Invoices);
  DProd = new QRadioButton("Line-Item Invoice", kind);
  DMemo = new QRadioButton("Memo Invoice", kind);
  auto* kinds = new QHBoxLayout(kind);
  kinds->addWidget(DProd);
  kinds->addWidget(DMemo);
  PSlip = new QCheckBox("Packing Slip", Invoices);
  FileCpy = new QCheckBox("File/Remittance Copy", Invoices);
  CpyToLQue = new QCheckBox("On new invoices, copy customer to label queue", Invoices);
  BatchLabels = new QCheckBox("On batch print, copy customer to label queue", Invoices);
  NumCpys = NewEdit(Invoices, 1, 30);
  CACap1 = NewEdit(Invoices, 10, 90);
  CACap2 = NewEdit(Invoices, 10, 90);
  CACap3 = NewEdit(Invoices, 10, 90);
  CAVal1 = NewEdit(Invoices, 3, 50);
  CAVal2 = NewEdit(Invoices, 3, 50);
  CAVal3 = NewEdit(Invoices, 3, 50);
  CBHideCost = new QCheckBox("Hide COST field on invoice entry", Invoices);

  auto* form = new QFormLayout;
  form->addRow("Next Invoice Number:", NextIno);
  form->addRow("Default Invoice Quantity:", DefInvQuan);
  form->addRow("Default Invoice Terms:", DFTerms);
  form->addRow(kind);
  for (QCheckBox* box : {PrintDupOnInv, YYMMonInv, PFlag, PSlip, FileCpy, CpyToLQue, BatchLabels, CBHideCost})
    form->addRow(box);
  form->addRow("Number copies:", NumCpys);
  auto* aging = new QGroupBox(Invoices);
  auto* grid = new QGridLayout(aging);
  grid->addWidget(new QLabel("Captions:", aging), 0, 0);
  grid->addWidget(new QLabel("Aging Days:", aging), 0, 1);
  QLineEdit* captions[] = {CACap1, CACap2, CACap3};
  QLineEdit* days[] = {CAVal1, CAVal2, CAVal3};
  for (int i = 0; i < 3; ++i) {
    grid->addWidget(captions[i], i + 1, 0);
    grid->addWidget(days[i], i + 1, 1);
  }
  grid->addWidget(new QLabel("Category 4 is all items greater than category 3.", aging), 4, 0, 1, 2);
  auto* layout = new QHBoxLayout(Invoices);
  layout->addLayout(form, 1);
  layout->addWidget(aging, 0, Qt::AlignTop);
  // Down the form, then along the rows of the aging categories.
  SetTabOrder({NextIno, DefInvQuan, DFTerms, DProd,     DMemo,       PrintDupOnInv, YYMMonInv,
               PFlag,   PSlip,      FileCpy, CpyToLQue, BatchLabels, CBHideCost,    NumCpys,
               CACap1,  CAVal1,     CACap2,  CAVal2,    CACap3,      CAVal3});
  PageControl1->addTab(Invoices, "Invoices/Aging");
}

void TCompSet::BuildPOTab() {
  PORecv = new QWidget;
  NxtPONum = NewEdit(PORecv, 9, 100);
  NxtRecvr = NewEdit(PORecv, 12, 120);
  POSign1 = NewEdit(PORecv, 75);
  POSign2 = NewEdit(PORecv, 75);
  AutoRecPO = new QCheckBox("Auto-Receive PO's", PORecv);
  CBPOtype = new QCheckBox("Set new PO default print flag ON", PORecv);
  CBPrefixPO = new QCheckBox("Pre-fix PO numbers with year and month ", PORecv);
  CBDupPOs = new QCheckBox("Print \"Duplicate PO\" on reprinted PO's", PORecv);
  POCpytoVen = new QCheckBox("On new PO's, copy vendor to label queue", PORecv);
  CPOBatVen = new QCheckBox("On PO batch print, copy vendor to label queue", PORecv);
  DoPOFileCpy = new QCheckBox("File/Duplicate Copy", PORecv);
  MENumPOCopy = NewEdit(PORecv, 1, 30);
  DPOTerms = forms::TermsBox(PORecv);
  auto* kind = new QGroupBox(PORecv);
  PProd = new QRadioButton("Line-Item PO", kind);
  PMemo = new QRadioButton("Memo PO", kind);
  auto* kinds = new QHBoxLayout(kind);
  kinds->addWidget(PProd);
  kinds->addWidget(PMemo);

  auto* form = new QFormLayout(PORecv);
  form->addRow("Next PO#:", NxtPONum);
  form->addRow("Next Receiver#:", NxtRecvr);
  form->addRow(new QLabel("Purchase Order Signature Lines/Comments:", PORecv));
  form->addRow(POSign1);
  form->addRow(POSign2);
  form->addRow("Default PO Terms:", DPOTerms);
  form->addRow(kind);
  for (QCheckBox* box : {AutoRecPO, CBPOtype, CBPrefixPO, CBDupPOs, POCpytoVen, CPOBatVen, DoPOFileCpy})
    form->addRow(box);
  form->addRow("Number copies:", MENumPOCopy);
  SetTabOrder({NxtPONum, NxtRecvr, POSign1, POSign2, DPOTerms, PProd, PMemo, AutoRecPO, CBPOtype, CBPrefixPO,
               CBDupPOs, POCpytoVen, CPOBatVen, DoPOFileCpy, MENumPOCopy});
  PageControl1->addTab(PORecv, "PO/Receivers");
}

void TCompSet::BuildSalesMessagesTab() {
  SalesMessage = new QWidget;
  auto* layout = new QVBoxLayout(SalesMessage);
  layout->addWidget(new QLabel("Enter a note / sales message to appear on your invoices:", SalesMessage));
  for (QLineEdit** edit : {&SM1, &SM2, &SM3, &SM4}) {
    *edit = NewEdit(SalesMessage, 78);
    layout->addWidget(*edit);
  }
  layout->addWidget(new QLabel("Enter a note / message to appear on your PO's:", SalesMessage));
  for (QLineEdit** edit : {&POM1, &POM2, &POM3, &POM4}) {
    *edit = NewEdit(SalesMessage, 78);
    layout->addWidget(*edit);
  }
  layout->addStretch();
  PageControl1->addTab(SalesMessage, "Sales Messages");
}

void TCompSet::BuildGraphicsTab() {
  Graphics = new QWidget;
  TCBitmaps = new QCheckBox("Main screen bitmap background", Graphics);
  Button1 = new QPushButton("Bitmap Image", Graphics);
  PicName = new QLabel(Graphics);
  Image1 = new QLabel(Graphics);
  Image1->setFixedSize(160, 120);
  Image1->setScaledContents(true);
  EditorClr = new QPushButton("Invoice Editor Font/Color", Graphics);
  IEColors = new QLabel(Graphics);
  BrowClr = new QPushButton("Managers Font/Color", Graphics);
  MgrColors = new QLabel(Graphics);
  connect(Button1, &QPushButton::clicked, this, [this] { Button1Click(); });
  connect(EditorClr, &QPushButton::clicked, this, [this] { EditorClrClick(); });
  connect(BrowClr, &QPushButton::clicked, this, [this] { BrowClrClick(); });

  auto* grid = new QGridLayout(Graphics);
  grid->addWidget(TCBitmaps, 0, 0, 1, 2);
  grid->addWidget(Button1, 1, 0);
  grid->addWidget(PicName, 1, 1);
  grid->addWidget(Image1, 2, 1);
  grid->addWidget(EditorClr, 3, 0);
  grid->addWidget(IEColors, 3, 1);
  grid->addWidget(BrowClr, 4, 0);
  grid->addWidget(MgrColors, 4, 1);
  grid->addWidget(
      new QLabel("( Managers fonts are limited to the fixed-pitch fonts on your system )", Graphics), 5, 0, 1,
      2);
  grid->setRowStretch(6, 1);
  grid->setColumnStretch(1, 1);
  PageControl1->addTab(Graphics, "System Graphics");
}

void TCompSet::BuildButtons() {
  OKButton = new QPushButton("&Save", this);
  CancelButton = new QPushButton("&Cancel", this);
  HelpButton = new QPushButton("&Help", this);
  OKButton->setDefault(true);
  connect(OKButton, &QPushButton::clicked, this, [this] { OKButtonClick(); });
  BindModalResult(CancelButton, platform::ui::mrCancel);
  connect(HelpButton, &QPushButton::clicked, this, [this] { HelpButtonClick(); });
}

// ---- Field map ------------------------------------------------------------------------------

template <std::size_t N>
void TCompSet::BindText(QLineEdit* edit, ShortString<N> CompanyRec::*field, bool trimmed) {
  texts_.push_back({edit, [field](const CompanyRec& r) { return (r.*field).Get(); },
                    [field](CompanyRec& r, std::string_view text) { (r.*field).Set(text); }, trimmed});
}

void TCompSet::BindFlag(QCheckBox* box, Flag CompanyRec::*field) {
  checks_.push_back({box, [field](const CompanyRec& r) { return r.*field == 1; },
                     [field](CompanyRec& r, bool on) { r.*field = on ? 1 : 0; }});
}

template <std::size_t N>
void TCompSet::BindYesNo(QCheckBox* box, ShortString<N> CompanyRec::*field) {
  checks_.push_back({box, [field](const CompanyRec& r) { return (r.*field).Get() == "Y"; },
                     [field](CompanyRec& r, bool on) { (r.*field).Set(on ? "Y" : "N"); }});
}

// Every plain text box and check box with its field. Boxes whose stored form needs more than a
// copy (defaults for empty text, codes of radio buttons, fonts) are handled where they are
// loaded and stored.
void TCompSet::BindFields() {
  using R = CompanyRec;
  BindText(CName, &R::CompanyName);
  BindText(CAdd1, &R::CompanyAddr1);
  BindText(CAdd2, &R::CompanyAddr2);
  BindText(CAdd3, &R::CompanyAddr3);
  BindText(CAdd4, &R::CompanyAddr4);
  BindText(ExtraAdd1, &R::CompanyContact);
  BindText(POSA1, &R::POShipTo1);
  BindText(POSA2, &R::POShipTo2);
  BindText(POSA3, &R::POShipTo3);
  BindText(POSA4, &R::POShipTo4);
  BindText(TaxName, &R::TaxName);
  BindText(ELineSpace, &R::EnvelopeLineSpacing);
  BindText(LMarSet, &R::EnvelopeLeftMargin);
  BindText(TopMarSet, &R::EnvelopeTopMargin);
  BindText(SendAddLeft, &R::EnvelopeSendAddressLeft);
  BindText(CEMailAdd, &R::CompanyEMail);
  BindText(CEMailHost, &R::SmtpHost);
  BindText(EMUser, &R::SmtpUserName, true);
  BindText(EMAuth, &R::SmtpPassword, true);
  BindText(LineWidthVal, &R::FormLineWidth);
  BindText(BigBxTop, &R::BoxTop);
  BindText(TopFormMar, &R::FormTopMargin);
  BindText(LeftFormMar, &R::FormLeftMargin);
  BindText(MaxLines, &R::MaxLines);
  BindText(CNxtCustNo, &R::NextCustomerNumber);
  BindText(NxtVenNo, &R::NextVendorNumber, true);
  BindText(CurrencySymbol, &R::CurrencySymbol, true);
  BindText(NextIno, &R::NextInvoiceNumber);
  BindText(DefInvQuan, &R::DefaultInvoiceQuantity);
  BindText(CACap1, &R::AgingCaption1);
  BindText(CACap2, &R::AgingCaption2);
  BindText(CACap3, &R::AgingCaption3);
  BindText(NxtPONum, &R::NextPONumber, true);
  BindText(NxtRecvr, &R::NextReceiverNumber, true);
  BindText(POSign1, &R::POSignature1);
  BindText(POSign2, &R::POSignature2);
  BindText(SM1, &R::SalesMessage1);
  BindText(SM2, &R::SalesMessage2);
  BindText(SM3, &R::SalesMessage3);
  BindText(SM4, &R::SalesMessage4);
  BindText(POM1, &R::POMessage1);
  BindText(POM2, &R::POMessage2);
  BindText(POM3, &R::POMessage3);
  BindText(POM4, &R::POMessage4);

  BindFlag(CalcTaxes, &R::CalculateInvoiceTaxes);
  BindFlag(CalcPOTax, &R::CalculatePOTaxes);
  BindFlag(HorLCB, &R::VerticalLines);
  BindFlag(VLineCB, &R::HorizontalLines);
  BindFlag(SBoxCB, &R::BoxAroundStatements);
  BindFlag(IBoxCB, &R::BoxAroundForm);
  BindFlag(CAgeCB, &R::PrintCustomerAging);
  BindFlag(ShadeCB, &R::UseShading);
  BindFlag(CheckBox5, &R::LetterheadStyle);
  BindFlag(SMsgCB, &R::PrintSalesMessage);
  BindFlag(PConICB, &R::ProductCodesOnInvoices);
  BindFlag(CBPConPO, &R::ProductCodesOnPOs);
  BindFlag(MoveDwnCB, &R::MoveDownTotals);
  BindFlag(UseBmpCB, &R::PrintLogo);
  BindFlag(CBInvQuan, &R::TotalQuantities);
  BindFlag(SHints, &R::ShowButtonHints);
  BindFlag(ACBillAdd, &R::CopyBillingToShipping);
  BindFlag(PrintDupOnInv, &R::PrintDuplicateInvoice);
  BindFlag(PFlag, &R::InvoicePrintFlagDefault);
  BindFlag(PSlip, &R::PrintPackingSlips);
  BindFlag(FileCpy, &R::PrintFileCopies);
  BindFlag(CBHideCost, &R::HideCost);
  BindFlag(AutoRecPO, &R::AutoReceivePOs);
  BindFlag(CBPOtype, &R::POPrintFlagDefault);
  BindFlag(DoPOFileCpy, &R::POPrintFileCopies);
  BindFlag(TCBitmaps, &R::BackgroundFlag);

  BindYesNo(BCOnInv, &R::BarCodesOnInvoices);
  BindYesNo(BCOnPo, &R::BarCodesOnPOs);
  BindYesNo(BCIno, &R::BarCodeInvoiceNumbers);
  BindYesNo(BCPOno, &R::BarCodePONumbers);
  BindYesNo(BCOnLBL, &R::BarCodesOnLabels);
  BindYesNo(PCoAddr, &R::PrintReturnAddress);
  BindYesNo(DefToEmail, &R::DefaultOutputEMail);
  BindYesNo(CBEmailLines, &R::EMailRuleLines);
  BindYesNo(EMInclCust, &R::EMailWithoutAddress);
  BindYesNo(CNameOnForm, &R::OmitCompanyAddress);
  BindYesNo(CBRecptPrn, &R::ReceiptPrinter);
  BindYesNo(AuditCB, &R::AuditTrail);
  BindYesNo(CBPBackup, &R::BackupOnExit);
  BindYesNo(YYMMonInv, &R::InvoiceNumberPrefix);
  BindYesNo(CpyToLQue, &R::NewInvoiceToLabelQueue);
  BindYesNo(BatchLabels, &R::BatchCopyToLabelQueue);
  BindYesNo(CBPrefixPO, &R::PONumberPrefix);
  BindYesNo(CBDupPOs, &R::PrintDuplicatePO);
  BindYesNo(POCpytoVen, &R::NewPOToLabelQueue);
  BindYesNo(CPOBatVen, &R::POBatchCopyToLabelQueue);
}

// ---- Filling and saving ---------------------------------------------------------------------

void TCompSet::LoadFromRecord(const CompanyRec& r) {
  newCompany_ = false;
  for (const TextBinding& t : texts_) SetText(t.edit, t.get(r));
  for (const CheckBinding& c : checks_) c.box->setChecked(c.get(r));
  SetText(CoNumb, TrimBlanks(r.CompanyNumber.Get()));
  CoNumb->setEnabled(false);
  SetText(TaxCRate, r.DefaultTaxRate.Get());
  SetText(PushAddr, r.AddressIndent.Get());
  SetText(MaskEdit1, r.ShadeLineSpacing.Get());
  SetText(NumCpys, r.FileCopyCount.Get());
  SetText(MENumPOCopy, r.POFileCopyCount.Get());
  SetText(CAVal1, r.AgingDays1.Get());
  SetText(CAVal2, r.AgingDays2.Get());
  SetText(CAVal3, r.AgingDays3.Get());
  DFTerms->setEditText(ToQString(r.DefaultInvoiceTerms.Get()));
  DPOTerms->setEditText(ToQString(r.DefaultPOTerms.Get()));
  ComboBox1->setCurrentText(r.ShadeLineStyle.Get() == "D" ? Dots : Solid);
  LandSCB->setChecked(r.EnvelopeOrientation.Get() == "L");
  UseShipAdd->setChecked(r.EnvelopeAddressUsed.Get() == "S");

  const std::string barCode = r.BarCodeType.Get();
  CheckRadio(barCode == "U" ? BC2 : barCode == "E" ? BCEan13 : BC1, {BC1, BC2, BCEan13});
  // A year-first date order, carried over from older data, checks neither button and so is kept.
  const std::string dateOrder = r.DateOrder.Get();
  CheckRadio(dateOrder == "M" ? MMDDYY : dateOrder == "D" ? DDMMYY : nullptr, {MMDDYY, DDMMYY});
  CheckRadio(r.DefaultInvoiceKind.Get() == "M" ? DMemo : DProd, {DProd, DMemo});
  CheckRadio(r.DefaultPOKind.Get() == "M" ? PMemo : PProd, {PProd, PMemo});

  FontDialog1 = ToFontChoice(r.EditorFontName.Get(), r.EditorFontSize.Get(), r.EditorFontColor.Get(),
                             r.EditorFontStyle);
  BrowFontDlg = ToFontChoice(r.BrowserFontName.Get(), r.BrowserFontSize.Get(), r.BrowserFontColor.Get(),
                             r.BrowserFontStyle);
  EnvFont = ToFontChoice(r.EnvelopeFont.Name.Get(), r.EnvelopeFont.Size.Get(), r.EnvelopeFont.Color.Get(),
                         r.EnvelopeFont.Style);
  ShowFontChoices();
  BmpNameText->setText(ToQString(r.LogoFile.Get()));
  PicName->setText(ToQString(r.BackgroundBitmap.Get()));
  ShowPicture(PicName->text());
}

void TCompSet::LoadNewCompanyDefaults(const CompanyRec& prepared, int companyCount) {
  LoadFromRecord(prepared);
  newCompany_ = true;
  CoNumb->setText(QString::number(companyCount + 1));
  CoNumb->setEnabled(true);
  for (QLineEdit* edit :
       {CName,      CAdd1,  CAdd2,  CAdd3, CAdd4, ExtraAdd1, POSA1, POSA2, POSA3, POSA4, CEMailAdd,
        CEMailHost, EMUser, EMAuth, SM1,   SM2,   SM3,       SM4,   POM1,  POM2,  POM3,  POM4})
    edit->clear();
  for (QCheckBox* box : {CalcTaxes, CalcPOTax, PCoAddr, CBEmailLines, SHints, ACBillAdd, TCBitmaps})
    box->setChecked(true);
  for (QCheckBox* box : {BCOnInv,   BCOnPo,      BCIno,      BCPOno,     BCOnLBL,  DefToEmail, EMInclCust,
                         UseBmpCB,  CNameOnForm, CBRecptPrn, CBInvQuan,  AuditCB,  CBPBackup,  PrintDupOnInv,
                         YYMMonInv, PSlip,       FileCpy,    CBPrefixPO, CBDupPOs, DoPOFileCpy})
    box->setChecked(false);
  TaxCRate->setText("0.000");
  CheckRadio(BC1, {BC1, BC2, BCEan13});
  BmpNameText->clear();
  PushAddr->setText("0");
  MaskEdit1->setText("8");
  ComboBox1->setCurrentText(Dots);
  CheckRadio(MMDDYY, {MMDDYY, DDMMYY});
  CNxtCustNo->setText("1");
  NxtVenNo->setText("1");
  NextIno->setText("10000");
  DefInvQuan->setText("1.00");
  DFTerms->setEditText(NetThirtyDays);
  DPOTerms->setEditText(NetThirtyDays);
  CheckRadio(DProd, {DProd, DMemo});
  CheckRadio(PProd, {PProd, PMemo});
  NumCpys->setText("1");
  CACap1->setText("Current:");
  CACap2->setText("31-60:");
  CACap3->setText("61-90:");
  CAVal1->setText("30");
  CAVal2->setText("60");
  CAVal3->setText("90");
  NxtPONum->setText("50000");
  NxtRecvr->setText("90000");
  POSign1->setText("This PO is issued according to the terms of our Operating Agreement");
  POSign2->setText("Purchasing Agent Signature: ___________________________");
  // The standard background, where it is installed: a path to a picture that is not there would
  // only bring a complaint at every opening of the company.
  PicName->setText(platform::files::Exists(StandardBackground) ? StandardBackground : "");
  ShowPicture(PicName->text());
  FontDialog1 = ToFontChoice("Arial", 10, 0xFF0000, FontStyleBold);  // blue: 0x00BBGGRR
  BrowFontDlg = ToFontChoice("Courier New", 10, 0, 0);
  ShowFontChoices();
}

void TCompSet::StoreToRecord(CompanyRec& r) const {
  for (const TextBinding& t : texts_) {
    const std::string text = TextOf(t.edit);
    t.set(r, t.trimmed ? TrimBlanks(text) : text);
  }
  for (const CheckBinding& c : checks_) c.set(r, c.box->isChecked());
  r.CompanyNumber.Set(TrimBlanks(TextOf(CoNumb)));
  r.DefaultTaxRate.Set(OrDefault(TrimBlanks(TextOf(TaxCRate)), "0.000"));
  r.AddressIndent.Set(OrDefault(TrimBlanks(TextOf(PushAddr)), "0"));
  r.ShadeLineSpacing.Set(OrDefault(TrimBlanks(TextOf(MaskEdit1)), "8"));
  r.FileCopyCount.Set(CopiesText(TextOf(NumCpys)));
  r.POFileCopyCount.Set(CopiesText(TextOf(MENumPOCopy)));
  r.AgingDays1.Set(TrimBlanks(TextOf(CAVal1)));
  r.AgingDays2.Set(TrimBlanks(TextOf(CAVal2)));
  r.AgingDays3.Set(TrimBlanks(TextOf(CAVal3)));
  r.DefaultInvoiceTerms.Set(ToAnsi(DFTerms->currentText()));
  r.DefaultPOTerms.Set(ToAnsi(DPOTerms->currentText()));
  r.ShadeLineStyle.Set(ComboBox1->currentText() == Dots ? "D" : "L");
  r.EnvelopeOrientation.Set(LandSCB->isChecked() ? "L" : "P");
  r.EnvelopeAddressUsed.Set(UseShipAdd->isChecked() ? "S" : "B");
  r.BarCodeType.Set(BC2->isChecked() ? "U" : BCEan13->isChecked() ? "E" : "3");
  if (MMDDYY->isChecked()) r.DateOrder.Set("M");
  if (DDMMYY->isChecked()) r.DateOrder.Set("D");
  r.DefaultInvoiceKind.Set(DProd->isChecked() ? "P" : "M");
  r.DefaultPOKind.Set(PProd->isChecked() ? "P" : "M");
  r.BackgroundBitmap.Set(ToAnsi(PicName->text()));
  r.LogoFile.Set(ToAnsi(BmpNameText->text()));
  if (!newCompany_ && !UseBmpCB->isChecked()) r.LogoFile.Set("");

  r.EditorFontName.Set(ToAnsi(FontDialog1.name));
  r.EditorFontSize.Set(FontDialog1.size);
  r.EditorFontColor.Set(FontDialog1.color);
  r.EditorFontStyle = StyleBits(FontDialog1);
  r.BrowserFontName.Set(ToAnsi(BrowFontDlg.name));
  r.BrowserFontSize.Set(BrowFontDlg.size);
  r.BrowserFontColor.Set(BrowFontDlg.color);
  r.BrowserFontStyle = StyleBits(BrowFontDlg);
  r.EnvelopeFont.Set(ToAnsi(EnvFont.name), EnvFont.size, EnvFont.color, StyleBits(EnvFont));
}

// ---- Handlers -------------------------------------------------------------------------------

void TCompSet::FormShow() {
  // The boxes keep the terms the record gave them; only their lists come from the terms file.
  LoadPaymentTermsInto(*DFTerms);
  LoadPaymentTermsInto(*DPOTerms);
  PageControl1->setCurrentWidget(Address);
  CName->setFocus();
}

void TCompSet::OKButtonClick() {
  if (!CheckEntries()) {
    SetModalResult(platform::ui::mrNone);
    return;
  }
  // The number shown is the number of the company being saved (a new company's record still
  // holds the open company's number until the manager stores the dialog into it).
  if (TrimBlanks(TextOf(CoNumb)) == TrimBlanks(CurrentCompany.CompanyNumber.Get()))
    CurrentCompanyEdited = true;
  SetModalResult(platform::ui::mrOk);
}

void TCompSet::Refuse(QWidget* tab, QWidget* focus, const QString& text, const QString& title) {
  if (tab) PageControl1->setCurrentWidget(tab);
  platform::ui::MessageBox(text, title);
  focus->setFocus();
}

bool TCompSet::CheckEntries() {
  const std::string mail = TrimBlanks(TextOf(CEMailAdd));
  if (!mail.empty() && mail.find('@') == std::string::npos) {
    Refuse(EnvelopeTab, CEMailAdd,
           "Your company e-mail address does not have the @ sign included. Bad e-mail address.",
           "Company E-Mail Address");
    return false;
  }
  if (TrimBlanks(TextOf(CName)).empty()) {
    Refuse(nullptr, CName, "A company name is required.", "Invalid Company Name");
    return false;
  }
  bool ok = CheckCompanyNumber();
  // A number that is no number at all is put right first; the checks after it would only add
  // a second message.
  if (!ok && CheckCompanyNumberEntry(TrimBlanks(TextOf(CoNumb))) == CompanyNumberEntry::NotNumeric)
    return false;
  if (!CheckAging()) ok = false;
  if (ok && !CheckTaxRate()) ok = false;
  return ok;
}

bool TCompSet::CheckCompanyNumber() {
  if (TrimBlanks(TextOf(CoNumb)).empty()) CoNumb->setText("0");
  const std::string number = TrimBlanks(TextOf(CoNumb));
  const CompanyNumberEntry entry = CheckCompanyNumberEntry(number);
  if (entry == CompanyNumberEntry::NotNumeric) {
    Refuse(nullptr, CoNumb, "The company number field is numeric and valid values are 1 to 32000.",
           "Invalid Company Number");
    return false;
  }
  bool ok = true;
  if (entry == CompanyNumberEntry::OutOfRange) {
    Refuse(nullptr, CoNumb, "The Company number must be between 0 and 32001.", "Invalid Company Number");
    ok = false;
  }
  if (CoNumb->isEnabled() && !NewCompanyNumberFree(number)) ok = false;
  return ok;
}

// A new company's number is neither one on file nor one whose data files are in the data folder
// already (left there, or copied back): the new company would take in their records under figures
// of its own that know nothing of them. A file or folder that cannot be read refuses the number.
bool TCompSet::NewCompanyNumberFree(const std::string& number) {
  bool onFile = false;
  std::vector<std::string> inTheWay;
  if (!ReadAll(Caption(), [&] {
        onFile = CompanyNumberOnFile && CompanyNumberOnFile(number);
        if (!onFile) inTheWay = DataFilesInTheWayOf(number);
      })) {
    CoNumb->setFocus();
    return false;
  }
  if (onFile) {
    Refuse(nullptr, CoNumb, "This Company number already exists. Enter another number.", "Company Number");
    return false;
  }
  if (inTheWay.empty()) return true;
  QStringList names;
  for (const std::string& name : inTheWay) names << ToQString(name);
  Refuse(
      nullptr, CoNumb,
      QString("Company %1's data files are already in the data folder (%2). They may hold another company's "
              "customers, invoices and stock. Move them out of the data folder first, or enter another "
              "company number.")
          .arg(ToQString(number), names.join(", ")),
      "Company Number");
  return false;
}

bool TCompSet::CheckAging() {
  const std::pair<QLineEdit*, const char*> captions[] = {
      {CACap1, "Age1"}, {CACap2, "Age2"}, {CACap3, "Age3"}};
  for (auto [edit, fallback] : captions)
    if (TrimBlanks(TextOf(edit)).empty()) edit->setText(fallback);
  QLineEdit* days[] = {CAVal1, CAVal2, CAVal3};
  int32_t values[3];
  for (int i = 0; i < 3; ++i) {
    if (TrimBlanks(TextOf(days[i])).empty()) days[i]->setText("0");
    const auto value = platform::text::TryStrToInt(TrimBlanks(TextOf(days[i])));
    if (!value || *value < 0) {
      Refuse(Invoices, days[i], "The aging days must be whole numbers of days.", "Aging Days");
      return false;
    }
    values[i] = *value;
  }
  if (values[1] < values[0] + 2) {
    Refuse(Invoices, CAVal2,
           "The aging days for category 2 must be greater than category 1 by at least 2 days.",
           "Aging Category 2");
    return false;
  }
  if (values[2] < values[1] + 2) {
    Refuse(Invoices, CAVal3,
           "The aging days for category 3 must be greater than category 2 by at least 2 days.",
           "Aging Category 3");
    return false;
  }
  return true;
}

// Invoices compute their tax from this text; a rate that is not a number would stop every
// invoice later, far from where it was typed.
bool TCompSet::CheckTaxRate() {
  const std::string rate = TrimBlanks(TextOf(TaxCRate));
  if (rate.empty()) return true;
  const auto value = platform::text::TryStrToFloat(rate);
  if (!value || *value < 0) {
    Refuse(Address, TaxCRate, "The tax rate must be a number, such as 8.125.", "Tax Rate");
    return false;
  }
  return true;
}

void TCompSet::Button1Click() {
  OpenImage.fileName = ToQString(CompanyWorkRec.BackgroundBitmap.Get());
  if (!platform::ui::OpenFileDialog(OpenImage)) return;
  CompanyWorkRec.BackgroundBitmap.Set(ToAnsi(OpenImage.fileName));
  PicName->setText(ToQString(CompanyWorkRec.BackgroundBitmap.Get()));
  ShowPicture(PicName->text());
}

void TCompSet::BmpImgButnClick() {
  InvBmpODialog.fileName = ToQString(CompanyWorkRec.LogoFile.Get());
  if (!platform::ui::OpenFileDialog(InvBmpODialog)) return;
  CompanyWorkRec.LogoFile.Set(ToAnsi(InvBmpODialog.fileName));
  BmpNameText->setText(ToQString(CompanyWorkRec.LogoFile.Get()));
}

bool TCompSet::RunFontPicker(FontChoice& font, bool fixedPitchOnly, QLabel* preview) {
  platform::ui::FontRequest request;
  request.font = font;
  request.fixedPitchOnly = fixedPitchOnly;
  if (!platform::ui::FontDialog(request)) return false;
  font = request.font;
  ShowFontOn(preview, font);
  return true;
}

void TCompSet::EditorClrClick() {
  RunFontPicker(FontDialog1, false, IEColors);
}

void TCompSet::BrowClrClick() {
  RunFontPicker(BrowFontDlg, true, MgrColors);
}

void TCompSet::FontButnClick() {
  RunFontPicker(EnvFont, false, EFontEx);
}

// The headings of the company being edited go to the headers dialog and back into its record
// however the dialog is closed, as the heading fonts it edits in place in InvoiceHeaderFonts do.
void TCompSet::BitBtn1Click() {
  forms::THeaderForm& headers = forms::CreateHeaderForm();
  TransferHeadings(headers, CompanyWorkRec, false);
  headers.ShowModal();
  TransferHeadings(headers, CompanyWorkRec, true);
}

void TCompSet::HelpButtonClick() {
  const std::pair<const QWidget*, const char*> topics[] = {
      {BCodes, "BarCodes"},     {PORecv, "PORecvoptions"},   {SalesMessage, "SalesMsg"},
      {Invoices, "invoptions"}, {Address, "CompanyAddress"}, {EnvelopeTab, "prnenv"},
      {FormsSet, "formlayout"}, {General, "GeneralOpts"},    {Graphics, "SysGraphics"}};
  QString topic = "CompanyAddress";
  for (auto [tab, name] : topics)
    if (PageControl1->currentWidget() == tab) topic = name;
  platform::ui::Application->HelpJump(topic);
}

void TCompSet::ShowFontChoices() {
  ShowFontOn(IEColors, FontDialog1);
  ShowFontOn(MgrColors, BrowFontDlg);
  ShowFontOn(EFontEx, EnvFont);
}

void TCompSet::ShowPicture(const QString& path) {
  QPixmap picture;
  const platform::files::ResolvedPath file = platform::files::Resolve(ToAnsi(path));
  if (path.size() > 1 && file.status == platform::files::ResolveStatus::Found &&
      picture.load(QString::fromStdString(file.path))) {
    Image1->setPixmap(picture);
    Image1->show();
  } else {
    Image1->clear();
    Image1->hide();
  }
}

}  // namespace companies
