#include "purchasing/po_entry.h"

#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

#include "forms/browser_font.h"
#include "forms/cal_form.h"
#include "forms/calculator.h"
#include "forms/entry_parts.h"
#include "forms/entry_text.h"
#include "forms/font_choice.h"
#include "forms/form_instance.h"
#include "forms/line_amounts.h"
#include "forms/product_look_up.h"
#include "forms/run_state.h"
#include "forms/shipping_address_dialog.h"
#include "forms/unusable_file.h"
#include "platform/files/path.h"
#include "platform/text/amount.h"
#include "platform/text/clock.h"
#include "platform/text/codepage.h"
#include "platform/text/date_text.h"
#include "platform/text/format_float.h"
#include "platform/text/key_text.h"
#include "platform/text/upper_case.h"
#include "platform/ui/application.h"
#include "platform/ui/message_box.h"
#include "platform/ui/text_entry.h"
#include "products/product_manager.h"
#include "products/product_pick.h"
#include "purchasing/po_posting.h"
#include "purchasing/po_saved_lines.h"
#include "purchasing/vendor_manager.h"
#include "records/company_rec.h"
#include "records/payment_terms.h"
#include "records/po_header_file.h"
#include "records/product_file.h"
#include "records/record_file.h"
#include "records/vendor_file.h"

namespace purchasing {

using namespace platform::ui;
using namespace forms::entry_text;

int32_t POEntryMode = 0;
uint8_t POMemoMode = 0;
std::optional<std::string> StoredPONumber;
std::string StoredPOTotal = "0.00";
std::string POMemoUnitPrice = "0";

TPOEdit1* POEdit1 = nullptr;

TPOEdit1& CreatePOEdit1() {
  return forms::FormInstance(POEdit1);
}

namespace {

constexpr char kCodeInUse[] =
    "This Product Code is already in use on this PO. Change the quantity for the existing product.";

using forms::LimitedEdit;
using forms::TypingLimitedEdit;
using forms::ValueLabel;

QToolButton* ToolButton(QWidget* parent, const char* text) {
  auto* button = new QToolButton(parent);
  button->setText(text);
  button->setToolTip(text);
  button->setToolButtonStyle(Qt::ToolButtonTextOnly);
  return button;
}

}  // namespace

forms::LineGridRules TPOEdit1::GridRules() {
  return forms::EntryLineRules(kPOLines, kSideFields);
}

TPOEdit1::TPOEdit1(QWidget* parent)
    : LineEntryForm(parent, kFigureColumns),
      INum(LimitedEdit(this, 9)),
      IMode(new QLabel(this)),
      IDate(new QLineEdit(this)),
      DateCaption(new QLabel("Mo/Dy/Year", this)),
      Calbutton(ToolButton(this, "Calendar")),
      MEDateReq(new QLineEdit(this)),
      DateReq(ToolButton(this, "Calendar")),
      MarkRecd(new QCheckBox("M&ark PO Received on:", this)),
      ARecDate(new QLineEdit(this)),
      ARecCal(ToolButton(this, "Calendar")),
      ICustName(new QLabel(this)),
      ICustNo(new QLabel(this)),
      POSName(LimitedEdit(this, 10)),
      BitBtn3(new QPushButton("Vendors", this)),
      ITerms(forms::TermsBox(this)),
      INVNOTES(LimitedEdit(this, 80)),
      KeyCode(LimitedEdit(this, 8)),
      Sig1(LimitedEdit(this, 75)),
      Sig2(LimitedEdit(this, 75)),
      RadioButton1(new QRadioButton("&Line Item", this)),
      RadioButton2(new QRadioButton("&Memo", this)),
      PrintFlag(new QCheckBox("Pr&int PO", this)),
      Label9(new QLabel(this)),
      Button1(new QPushButton("&Ship To", this)),
      Lines(new forms::LineGridModel(GridRules(), this)),
      StringGrid1(new forms::LineGridView(Lines, this)),
      Memo1(new QPlainTextEdit(this)),
      MemoPDescLabel(new QLabel("Product Description:", this)),
      MemoPDesc(LimitedEdit(this, 32)),
      MemoQuanLabel(new QLabel("&Quantity:", this)),
      MemoQuan(TypingLimitedEdit(this, 10)),
      GetAProd(new QPushButton("Products", this)),
      LineNum(new QLabel(this)),
      StkName(new QLabel(this)),
      StockData(new QLabel(this)),
      StkBal(new QLabel(this)),
      OldLineQuan(new QLabel(this)),
      CheckBox2(new QCheckBox("Calc. Tax", this)),
      POTaxRate(LimitedEdit(this, 6)),
      INet(TypingLimitedEdit(this, 10)),
      ITax(TypingLimitedEdit(this, 10)),
      ITotal(ValueLabel(this)),
      TaxLbl(new QLabel(this)),
      SpeedButton2(ToolButton(this, "Find Product")),
      SpeedButton8(ToolButton(this, "Calculator")),
      DeleteLine(new QPushButton("Clear Line", this)),
      POInsertLine(new QPushButton("Insert Line", this)),
      MakeNote(new QPushButton("Add Description comment", this)),
      UndoAll(new QPushButton("Delete All Lines", this)),
      TopButn(new QPushButton("Line Item 1", this)),
      CnterButn(new QPushButton("Line Item 50", this)),
      BottButn(new QPushButton("Line Item 99", this)),
      ImportButn(ToolButton(this, "Loads Saved Lines")),
      ExportButn(ToolButton(this, "Replaces saved lines with current lines")),
      OKButton(new QPushButton("&Ok", this)),
      BitBtn1(new QPushButton("&Cancel", this)),
      BitBtn2(new QPushButton("&Help", this)) {
  SetCaption("Purchase Order");
  AskBeforeDiscarding("Discard this PO?");
  SetHelpKeyword("NewPO");
  for (QLineEdit* date : {IDate, MEDateReq, ARecDate}) {
    date->setMaxLength(10);
    date->setMaximumWidth(date->fontMetrics().horizontalAdvance(QStringLiteral("00/00/00000")) + 16);
  }
  OldLineQuan->setWordWrap(true);
  TaxLbl->setWordWrap(true);
  for (QLabel* label : {ICustName, ICustNo, IMode}) label->setMinimumWidth(120);
  for (QLineEdit* amount : {INet, ITax, POTaxRate}) amount->setAlignment(Qt::AlignRight);
  AttachLineGrid(Lines, StringGrid1);
  BuildLayout();
  ConnectHandlers();
  resize(980, 700);
}

void TPOEdit1::BuildLayout() {
  auto caption = [this](const char* text, QWidget* buddy) {
    auto* label = new QLabel(text, this);
    label->setBuddy(buddy);
    return label;
  };
  auto row = [](std::initializer_list<QWidget*> widgets) {
    auto* line = new QHBoxLayout;
    for (QWidget* widget : widgets) line->addWidget(widget);
    line->addStretch(1);
    return line;
  };

  auto* vendor = new QGroupBox("Vendor", this);
  auto* vendorGrid = new QGridLayout(vendor);
  vendorGrid->addWidget(BitBtn3, 0, 0);
  vendorGrid->addWidget(new QLabel("Vendor:", this), 1, 0);
  vendorGrid->addWidget(ICustName, 1, 1, 1, 3);
  vendorGrid->addWidget(new QLabel("Number:", this), 2, 0);
  vendorGrid->addWidget(ICustNo, 2, 1);
  vendorGrid->addWidget(caption("SN:", POSName), 2, 2);
  vendorGrid->addWidget(POSName, 2, 3);
  vendorGrid->addWidget(caption("Terms:", ITerms), 3, 0);
  vendorGrid->addWidget(ITerms, 3, 1, 1, 3);
  vendorGrid->addWidget(Button1, 4, 0);

  auto* po = new QGroupBox("Purchase Order", this);
  auto* poGrid = new QGridLayout(po);
  poGrid->addWidget(caption("&PO#:", INum), 0, 0);
  poGrid->addWidget(INum, 0, 1);
  poGrid->addLayout(row({IMode, Label9}), 0, 2);
  poGrid->addWidget(DateCaption, 1, 0);
  poGrid->addLayout(row({IDate, Calbutton}), 1, 1, 1, 2);
  poGrid->addWidget(caption("Date Required:", MEDateReq), 2, 0);
  poGrid->addLayout(row({MEDateReq, DateReq}), 2, 1, 1, 2);
  poGrid->addWidget(MarkRecd, 3, 0);
  poGrid->addLayout(row({ARecDate, ARecCal}), 3, 1, 1, 2);
  poGrid->addWidget(caption("&Key Code:", KeyCode), 4, 0);
  poGrid->addWidget(KeyCode, 4, 1);
  poGrid->addWidget(PrintFlag, 4, 2);
  poGrid->addWidget(new QLabel("PO Type:", this), 5, 0);
  poGrid->addLayout(row({RadioButton1, RadioButton2}), 5, 1, 1, 2);

  auto* top = new QHBoxLayout;
  top->addWidget(vendor, 1);
  top->addWidget(po, 1);

  auto* notes = new QGridLayout;
  notes->addWidget(caption("Notes/Comments/Reference:", INVNOTES), 0, 0);
  notes->addWidget(INVNOTES, 0, 1);
  notes->addWidget(caption("Not&es / Signature Lines:", Sig1), 1, 0);
  auto* signatures = new QHBoxLayout;
  signatures->addWidget(Sig1);
  signatures->addWidget(Sig2);
  notes->addLayout(signatures, 1, 1);

  auto* tools = new QHBoxLayout;
  for (QToolButton* button : {SpeedButton2, SpeedButton8, ImportButn, ExportButn}) tools->addWidget(button);
  tools->addStretch(1);
  for (QPushButton* button : {TopButn, CnterButn, BottButn}) tools->addWidget(button);

  auto* memoProduct = new QHBoxLayout;
  MemoPDescLabel->setBuddy(MemoPDesc);
  MemoQuanLabel->setBuddy(MemoQuan);
  memoProduct->addWidget(MemoPDescLabel);
  memoProduct->addWidget(MemoPDesc, 2);
  memoProduct->addWidget(GetAProd);
  memoProduct->addWidget(MemoQuanLabel);
  memoProduct->addWidget(MemoQuan);
  memoProduct->addStretch(1);

  auto* side = new QVBoxLayout;
  for (QPushButton* button : {POInsertLine, MakeNote, DeleteLine, UndoAll}) side->addWidget(button);
  auto* glance = new QGroupBox("Stock At A Glance:", this);
  auto* glanceForm = new QFormLayout(glance);
  glanceForm->addRow("Line:", LineNum);
  glanceForm->addRow("Code:", StkName);
  glanceForm->addRow("On Hand:", StockData);
  glanceForm->addRow("After Order:", StkBal);
  glanceForm->addRow(OldLineQuan);
  side->addWidget(glance);
  side->addStretch(1);

  QHBoxLayout* lines = forms::LinesBeside(memoProduct, StringGrid1, Memo1, side);
  forms::StackEntryLayout(
      *this,
      {top, notes, tools, lines,
       forms::TotalsGrid(*this, {CheckBox2, POTaxRate, TaxLbl, INet, ITax, ITotal}, "&Net:", "&Tax:"),
       forms::DialogButtons({OKButton, BitBtn1, BitBtn2})},
      lines);
}

void TPOEdit1::ConnectHandlers() {
  OnClick(OKButton, &TPOEdit1::OKButtonClick);
  OnClick(BitBtn1, &TPOEdit1::BitBtn1Click);
  OnClick(BitBtn2, &TPOEdit1::BitBtn2Click);
  OnClick(BitBtn3, &TPOEdit1::SpeedButton3Click);
  OnClick(SpeedButton2, &TPOEdit1::SpeedButton2Click);
  OnClick(GetAProd, &TPOEdit1::SpeedButton2Click);
  OnClick(SpeedButton8, &TPOEdit1::SpeedButton8Click);
  OnClick(Calbutton, &TPOEdit1::CalbuttonClick);
  OnClick(DateReq, &TPOEdit1::DateReqClick);
  OnClick(ARecCal, &TPOEdit1::ARecCalClick);
  OnClick(MarkRecd, &TPOEdit1::MarkRecdClick);
  OnClick(Button1, &TPOEdit1::Button1Click);
  OnClick(DeleteLine, &TPOEdit1::DeleteLineClick);
  OnClick(POInsertLine, &TPOEdit1::POInsertLineClick);
  OnClick(MakeNote, &TPOEdit1::MakeNoteClick);
  OnClick(UndoAll, &TPOEdit1::UndoAllClick);
  OnClick(TopButn, &TPOEdit1::TopButnClick);
  OnClick(CnterButn, &TPOEdit1::CnterButnClick);
  OnClick(BottButn, &TPOEdit1::BottButnClick);
  OnClick(ImportButn, &TPOEdit1::ImportButnClick);
  OnClick(ExportButn, &TPOEdit1::ExportButnClick);
  OnClick(RadioButton1, &TPOEdit1::RadioButton1Click);
  OnClick(RadioButton2, &TPOEdit1::RadioButton2Click);
  QObject::connect(CheckBox2, &QCheckBox::toggled, this, [this] { CheckBox2Click(); });
  OnTextChanged(ITax, &TPOEdit1::ITaxChange);
  OnTextChanged(POTaxRate, &TPOEdit1::POTaxRateChange);
  OnTextChanged(INet, &TPOEdit1::INetChange);
  OnTextChanged(MemoQuan, &TPOEdit1::MemoQuanChange);
  ConnectLineGridHandlers();
}

// ---- Showing the form -------------------------------------------------------------------------

void TPOEdit1::FormCreate() {
  for (int row = 0; row <= kPOLines + 1; ++row) {
    OldLineStock(row) = kNoProductOnHand;
    OldLineStockKind(row) = "X";
    OldLineQuantity(row) = "0";
    OldLineProduct(row).clear();
  }
  VendorPickers.Add(this);
  products::AddProductPicker(this);
}

char TPOEdit1::DateOrder() const {
  return forms::CompanyDateOrder();
}

void TPOEdit1::SetDateMasks() {
  forms::SetDateMasks({IDate, MEDateReq, ARecDate}, DateOrder());
  DateCaption->setText(forms::DateOrderCaption(DateOrder()));
}

void TPOEdit1::FormShow() {
  records::LoadPaymentTermsInto(*ITerms);
  SetDateMasks();
  {
    const QSignalBlocker quiet1(RadioButton1);
    const QSignalBlocker quiet2(RadioButton2);
    const bool lineItems = records::POHeaderBuf.POKind.Get() == "P";
    (lineItems ? RadioButton1 : RadioButton2)->setChecked(true);
    POMemoMode = lineItems ? 0 : 1;
  }
  CheckBox2->setEnabled(true);
  CheckBox2->setChecked(CurrentCompany.CalculatePOTaxes != 0);
  CheckBox2->setText("Calc. Tax");
  ShowAddingOrEditing();
  ShowCompanyFonts();
  SetPOEntryMode();
  RecalcPOTotals();
  StringGrid1->SizeColumns();
  StringGrid1->SetCursor(1, kPOColCode);
  StringGrid1->SetTopLine(1);
  if (Adding()) {
    INum->setEnabled(true);
    BitBtn3->setFocus();
  } else {
    StringGrid1Click();
    if (records::VendorBuf.TaxExempt.Get() == "Y") forms::ShowTaxExempt(*CheckBox2);
  }
  if (TrimBlanks(records::POHeaderBuf.ReceivedDate.Get()).size() > 5) {
    MarkRecd->setChecked(true);
    INum->setEnabled(false);
  }
}

void TPOEdit1::ShowAddingOrEditing() {
  if (Adding()) {
    Label9->clear();
    const bool autoReceive = CurrentCompany.AutoReceivePOs != 0;
    MarkRecd->setChecked(autoReceive);
    ARecDate->setEnabled(autoReceive);
    ARecCal->setEnabled(autoReceive);
    const bool prefixed = CurrentCompany.PONumberPrefix.Get() == "Y";
    INum->setText(Text(forms::OfferedDocumentNumber(
        records::PONumberCounter(prefixed), CurrentCompany.NextPONumber.Get(), prefixed, forms::LastPODate)));
    ITerms->setEditText(Text(CurrentCompany.DefaultPOTerms.Get()));
    PrintFlag->setChecked(CurrentCompany.POPrintFlagDefault != 0);
    IMode->setText("Add PO");
  } else {
    IMode->setText("Edit PO");
  }
  for (QWidget* widget : std::initializer_list<QWidget*>{RadioButton1, RadioButton2, BitBtn3})
    widget->setEnabled(Adding());
  PrintFlag->setEnabled(Adding());
}

void TPOEdit1::ShowCompanyFonts() {
  forms::ShowCompanyFonts(Memo1, {StringGrid1, ICustName, ICustNo}, font());
}

void TPOEdit1::SetPOEntryMode() {
  POMemoUnitPrice = "0";
  MemoQuan->setPalette(palette());
  if (!Adding()) {
    StockData->setText(Shown(LenientNumber(OldLineStock(1))));
    OldLineQuan->setText(Text("\n - Old Quan: " + OldLineQuantity(1)));
    ShowMemoGlance();
  } else {
    MemoQuan->setText("1");
    MemoPDesc->clear();
    for (QLabel* label : {StkBal, StockData, StkName, OldLineQuan}) label->clear();
    LineNum->setText("0");
  }
  const bool memo = IsMemo();
  ShowGridOrMemo(memo, {GetAProd, TaxLbl, Memo1, MemoPDesc, MemoPDescLabel, MemoQuan, MemoQuanLabel},
                 {MakeNote, DeleteLine, POInsertLine, TopButn, CnterButn, BottButn}, CheckBox2, INet, ITax);
  if (memo) {
    TaxLbl->clear();
    if (Adding()) {
      for (QLineEdit* amount : {INet, ITax}) amount->setText("0.00");
      ITotal->setText("0.00");
    }
    Memo1->setFocus();
  } else {
    if (Adding()) ClearPOLines();
    StringGrid1->setFocus();
  }
  layout()->activate();
}

// ---- Lines ------------------------------------------------------------------------------------

void TPOEdit1::ResetLine(int row, LineReset how) {
  forms::PutFreshLine(*Lines, row, how == LineReset::Comment);
  OldLineStock(row) = how == LineReset::Fresh ? kNoProductOnHand : kClearedLineOnHand;
  OldLineStockKind(row) = "X";
  if (how == LineReset::Fresh) {
    OldLineQuantity(row) = "0";
    OldLineProduct(row).clear();
  }
}

void TPOEdit1::ClearPOLines() {
  BlankGlance();
  for (int row = 1; row <= kPOLines; ++row) ResetLine(row, LineReset::Fresh);
  StringGrid1->SetCursor(1, kPOColCode);
}

void TPOEdit1::BlankGlance() {
  for (QLabel* label : {StockData, StkName, StkBal, OldLineQuan}) label->clear();
}

QString TPOEdit1::OldQuantityNote(const std::string& code, int row) {
  return forms::OldQuantityNote(Adding(), code, OldLineProduct(row), OldLineQuantity(row), "\n - Old Quan: ");
}

void TPOEdit1::ShowGlance(int row, double afterOrder) {
  const std::string code = Upper(Lines->Cell(row, kPOColCode));
  LineNum->setText(QString::number(row));
  StkName->setText(Text(code));
  StockData->setText(Shown(LenientNumber(OldLineStock(row))));
  const std::string& kind = OldLineStockKind(row);
  if (kind == "X") {
    for (QLabel* label : {StockData, StkBal, OldLineQuan, StkName}) label->clear();
    return;
  }
  ShowStockOfKind({StockData, StkBal, OldLineQuan}, row, kind, afterOrder, OldQuantityNote(code, row));
}

void TPOEdit1::RecalcLine(int row) {
  if (row < 1 || row > kPOLines) return;
  const QString quantityText = Lines->Cell(row, kPOColQuantity);
  if (Trimmed(quantityText).empty() && Trimmed(Lines->Cell(row, kPOColPrice)).empty()) {
    OldLineStock(row) = "0";
    OldLineQuantity(row) = "0";
    OldLineStockKind(row) = "X";
  }
  const double quantity = LenientNumber(Ansi(quantityText));
  const std::string code = Upper(Lines->Cell(row, kPOColCode));
  double afterOrder = LenientNumber(OldLineStock(row)) + quantity;
  if (code == UpperCase(TrimBlanks(OldLineProduct(row)))) afterOrder -= LenientNumber(OldLineQuantity(row));
  ShowGlance(row, afterOrder);
  RefreshExtension(row);
  RecalcPOTotals();
}

void TPOEdit1::ClearLine(int row) {
  ResetLine(row, LineReset::Cleared);
  RecalcPOTotals();
}

void TPOEdit1::DeleteLineClick() {
  ClearLine(StringGrid1->CurrentLine());
  BlankGlance();
}

void TPOEdit1::MakeNoteClick() {
  const int row = StringGrid1->CurrentLine();
  ResetLine(row, LineReset::Comment);
  BlankGlance();
  RecalcPOTotals();
  StringGrid1->SetCursor(row, kPOColDescription);
}

void TPOEdit1::POInsertLineClick() {
  if (!Trimmed(Lines->Cell(kPOLines, kPOColDescription)).empty() ||
      !Trimmed(Lines->Cell(kPOLines, kPOColCode)).empty()) {
    ShowMessage("Line item number 99 is in use. Unable to insert more line items.");
    return;
  }
  if (!OldLineProduct(kPOLines).empty()) {
    ShowMessage(
        "Edit buffer full. Unable to insert line. Save the current invoice and then try editing it again.");
    return;
  }
  const int row = StringGrid1->CurrentLine();
  Lines->InsertLineAt(row);
  ResetLine(row, LineReset::Cleared);
  OldLineQuantity(row) = "0";
  OldLineProduct(row).clear();
  RecalcPOTotals();
  BlankGlance();
}

void TPOEdit1::UndoAllClick() {
  // What the stored lines held stays known, for the glance of an edit.
  for (int row = 1; row <= kPOLines; ++row) ResetLine(row, LineReset::Cleared);
  if (!IsMemo()) {
    RecalcPOTotals();
    StringGrid1->SetCursor(1, kPOColCode);
  } else {
    Memo1->clear();
    for (QLineEdit* amount : {INet, ITax}) amount->setText("0.00");
  }
  BlankGlance();
  MemoPDesc->clear();
  MemoQuan->setText("1");
}

// ---- Totals -----------------------------------------------------------------------------------

void TPOEdit1::RecalcPOTotals() {
  if (IsMemo() || recalculating_) return;
  recalculating_ = true;
  if (Trimmed(POTaxRate->text()).empty()) POTaxRate->setText("0.00");
  const DocumentTotals totals =
      forms::LineItemTotals(forms::TotalsLines(*Lines, kFigureColumns), CheckBox2->isChecked(),
                            LenientNumber(Ansi(POTaxRate->text())), 0);
  ITax->setText(Text(FormatAmount(totals.Tax)));
  ITotal->setText(Text(FormatAmount(totals.Total)));
  INet->setText(Text(FormatAmount(totals.Net)));
  recalculating_ = false;
}

void TPOEdit1::INetChange() {
  if (!IsMemo() || recalculating_) return;
  recalculating_ = true;
  ShowMemoTotal(INet, ITax, POTaxRate, CurrentCompany.CalculatePOTaxes != 0, TaxLbl, ITotal);
  recalculating_ = false;
}

void TPOEdit1::ITaxChange() {
  if (Trimmed(ITax->text()).empty() && !recalculating_) ITax->setText("0.00");
  if (IsMemo())
    INetChange();
  else
    RecalcPOTotals();
}

void TPOEdit1::POTaxRateChange() {
  const std::string rate = Trimmed(POTaxRate->text());
  if (rate.empty() || !IsValidNumber(rate)) return;
  if (IsMemo())
    INetChange();
  else
    RecalcPOTotals();
}

void TPOEdit1::ShowMemoGlance() {
  const std::string& kind = OldLineStockKind(1);
  if (kind == "Y" || kind == "Z") {
    StockData->setText(kind == "Y" ? "NON-STOCK" : "NON-DEPLETE");
    StkBal->clear();
    OldLineQuan->clear();
    return;
  }
  const std::string onHand = StripCommas(OldLineStock(1));
  const std::string quantity = Trimmed(MemoQuan->text());
  if (quantity.empty() || !IsValidNumber(quantity) || !IsValidNumber(onHand)) return;
  const std::string code = Upper(StkName->text());
  double afterOrder = LenientNumber(onHand) + LenientNumber(quantity);
  if (!Adding() && code == UpperCase(TrimBlanks(OldLineProduct(1))))
    afterOrder -= LenientNumber(OldLineQuantity(1));
  ShowMemoStock({StockData, StkBal, OldLineQuan}, MemoQuan, afterOrder, OldQuantityNote(code, 1), quantity,
                POMemoUnitPrice, INet);
}

void TPOEdit1::RadioButton1Click() {
  POMemoMode = 0;
  SetPOEntryMode();
  RecalcPOTotals();
}

void TPOEdit1::RadioButton2Click() {
  POMemoMode = 1;
  SetPOEntryMode();
}

// ---- Vendors and products ---------------------------------------------------------------------

void TPOEdit1::SpeedButton3Click() {
  TVenList& manager = CreateVenList();
  if (!forms::PickerFileOpens(records::VendorUnit(), manager.Caption())) return;
  manager.SetStatusText(1, forms::kDoubleClickToSelect);
  VendorPickMode = 1;
  records::VendorBuf = records::VendorRec{};
  records::VendorBuf.VendorName.Set(Ansi(ICustName->text()));
  records::VendorBuf.VendorNo.Set(Ansi(ICustNo->text()));
  const TModalResult result = manager.ShowModal();
  VendorPickMode = 0;
  manager.SetStatusText(1, forms::kRightClickForMenu);
  raise();
  activateWindow();
  if (result == mrOk && !TrimBlanks(records::VendorBuf.VendorName.Get()).empty())
    ApplyVendor(records::VendorBuf);
}

void TPOEdit1::ApplyVendor(const records::VendorRec& vendor) {
  ICustName->setText(Text(vendor.VendorName.Get()));
  ICustNo->setText(Text(vendor.VendorNo.Get()));
  POSName->setText(Text(TrimBlanks(vendor.ShortName.Get())));
  if (CurrentCompany.CalculatePOTaxes) forms::ShowTaxOfChosen(*CheckBox2, vendor.TaxExempt.Get() == "Y");
  if (!TrimBlanks(vendor.POTerms.Get()).empty()) ITerms->setEditText(Text(TrimBlanks(vendor.POTerms.Get())));
  if (vendor.Hold.Get() == "Y")
    MessageBox("This vendor is placed on hold status.", "Warning", MsgButtons::Ok, MsgIcon::Information);
}

bool TPOEdit1::PickProduct(int row) {
  if (IsMemo()) row = 1;
  if (!products::PickProduct(Trimmed(Lines->Cell(row, kPOColCode)),
                             Ansi(Lines->Cell(row, kPOColDescription))))
    return false;
  if (IsMemo()) {
    PlaceMemoProduct(products::SelectedProduct);
    MemoQuan->setFocus();
    return true;
  }
  return PlaceProductOrClearLine(row, products::SelectedProduct);
}

void TPOEdit1::SpeedButton2Click() {
  PickProduct(StringGrid1->CurrentLine());
}

void TPOEdit1::TakeProductStock(int row, const ProductRec& product) {
  OldLineStock(row) = product.OnHand.Get();
  OldLineStockKind(row) = forms::StockKindOf(product);
}

void TPOEdit1::PlaceMemoProduct(const ProductRec& product) {
  TakeProductStock(1, product);
  const std::string& kind = OldLineStockKind(1);
  StockData->setText(kind == "S" ? Shown(LenientNumber(OldLineStock(1)))
                                 : QString(kind == "Y" ? "NON-STOCK" : "NON-DEPLETE"));
  LineNum->setText("1");
  StkName->setText(Text(TrimBlanks(product.Code.Get())));
  MemoPDesc->setText(Text(product.PODescription.Get()));
  POMemoUnitPrice = TrimBlanks(product.Price.Get()).substr(0, 10);
  Lines->Put(1, kPOColCode, Text(TrimBlanks(product.Code.Get())));
  MemoQuan->setText("1");
  ShowMemoGlance();
}

bool TPOEdit1::PlaceProductOnLine(int row, const ProductRec& product) {
  const std::string code = TrimBlanks(product.Code.Get());
  if (RefuseCodeInUse(code, row, kCodeInUse)) return false;
  SayAfterTypedKeys(row, [product](int) { forms::ShowHoldNotice(product); });
  Lines->Put(row, kPOColCode, Text(code));
  KeepOrDefaultQuantity(row);
  // A cell typed into while the code waited for its look-up keeps what was typed.
  Lines->Fill(row, kPOColDescription, Text(product.PODescription.Get()));
  // A cost longer than its column would not fit the line: the user types the price instead.
  const std::string cost = TrimBlanks(product.Cost.Get());
  Lines->Fill(row, kPOColPrice, Text(NumberTextFits(cost) ? cost : ""));
  Lines->Fill(row, kPOColTaxable, product.TaxOnPO ? QStringLiteral("Y") : QStringLiteral("N"));
  TakeProductStock(row, product);
  RecalcLine(row);
  return true;
}

void TPOEdit1::StringGrid1DblClick() {
  if (StringGrid1->CurrentColumn() != kPOColCode) return;
  PickProduct(StringGrid1->CurrentLine());
  const int row = StringGrid1->CurrentLine();
  if (row - StringGrid1->TopLine() == 2 && row < kPOLines)
    StringGrid1->SetTopLine(StringGrid1->TopLine() + 1);
}

// ---- Dates and other buttons ------------------------------------------------------------------

void TPOEdit1::PickDate(QLineEdit* box, const char* caption, QWidget* next) {
  std::optional<QDate> date = platform::text::ParseTypedDate(Ansi(box->text()), DateOrder());
  if (!date || Trimmed(box->text()).size() < 10) {
    date = platform::text::Today();
    box->setText(Text(platform::text::FormatTypedDate(*date, DateOrder())));
  }
  forms::TCalForm& calendar = forms::CreateCalForm();
  if (caption) calendar.SetCaption(caption);
  calendar.Calendar1->setSelectedDate(*date);
  calendar.CBMonth->setCurrentIndex(date->month() - 1);
  const QPoint beside = box->mapToGlobal(QPoint(box->width(), 0));
  forms::CalendarLeft = beside.x();
  forms::CalendarTop = beside.y();
  const bool chosen = calendar.ShowModal() == mrOk;
  calendar.SetCaption("Date Selection");
  if (chosen) {
    box->setText(calendar.NDate->text());
    next->setFocus();
  } else {
    box->setFocus();
  }
}

void TPOEdit1::CalbuttonClick() {
  PickDate(IDate, nullptr, INVNOTES);
}

void TPOEdit1::DateReqClick() {
  PickDate(MEDateReq, "Date Required", MEDateReq);
}

void TPOEdit1::ARecCalClick() {
  PickDate(ARecDate, "Received Date", ARecDate);
}

void TPOEdit1::MarkRecdClick() {
  const bool ticked = MarkRecd->isChecked();
  ARecDate->setEnabled(ticked);
  ARecCal->setEnabled(ticked);
  if (ticked && (Trimmed(ARecDate->text()).size() < 10 ||
                 !platform::text::ParseTypedDate(Ansi(ARecDate->text()), DateOrder())))
    ARecDate->setText(Text(platform::text::FormatTypedDate(platform::text::Today(), DateOrder())));
}

void TPOEdit1::Button1Click() {
  forms::TPOShipWin& shipTo = forms::CreatePOShipWin();
  shipTo.SetCaption("Purchase Order");
  shipTo.Label1->setText(Text(CurrentCompany.POShipToCaption.Get()));
  shipTo.PlaceAtTopOfScreen();
  shipTo.ShowModal();
}

void TPOEdit1::SpeedButton8Click() {
  forms::RunWindowsCalculator();
}

void TPOEdit1::BitBtn2Click() {
  Application->HelpKeyword("NewPO");
}

void TPOEdit1::BitBtn1Click() {
  Close();
}

// ---- Saved lines ------------------------------------------------------------------------------

void TPOEdit1::ExportButnClick() {
  const POSavedNotes notes{Ansi(INVNOTES->text()), Ansi(KeyCode->text())};
  bool written = false;
  if (IsMemo()) {
    // Saved as it would be stored, so that it loads back whole.
    if (!forms::CheckMemoFits(*Memo1)) return;
    POSavedMemoSet set;
    set.MemoLines = forms::StoredMemoLinesOf(*Memo1);
    set.Notes = notes;
    set.Product = forms::MemoProductRow(*Lines, *MemoPDesc, *MemoQuan);
    written = WritePOSavedMemo(set);
  } else {
    POSavedLineSet set;
    set.Rows = forms::SavedRowsOf(*Lines, kPOLines);
    set.Notes = notes;
    written = WritePOSavedLines(set);
  }
  if (written)
    MessageBox("The saved lines file has been replaced with the current PO lines.", "Saved Lines File",
               MsgButtons::Ok, MsgIcon::Information);
}

void TPOEdit1::ImportButnClick() {
  if (IsMemo())
    LoadSavedMemo();
  else
    LoadSavedLines();
}

void TPOEdit1::LoadSavedLines() {
  if (!platform::files::Exists(POSavedLinesFileName)) {
    MessageBox("You have not created a saved lines PO file.", "Load Saved Lines", MsgButtons::Ok,
               MsgIcon::Information);
    return;
  }
  const std::optional<POSavedLineSet> set = ReadPOSavedLines();
  if (!set) return;
  // The products are read before the lines are replaced: a file that cannot be read leaves the
  // PO as it was.
  std::vector<std::optional<ProductRec>> onFile;
  if (!forms::ReadAll(Caption(), [&] { onFile = forms::ProductsOnFile(forms::SavedRowCodes(set->Rows)); }))
    return;
  ClearPOLines();
  for (int row = 1; row <= kPOLines; ++row) {
    const SavedRow& saved = set->Rows[static_cast<size_t>(row - 1)];
    forms::PutSavedRow(*Lines, row, saved);
    if (saved.Code.empty()) continue;
    const std::optional<ProductRec>& product = onFile[static_cast<size_t>(row - 1)];
    if (!product) {
      OldLineStockKind(row) = "T";
      continue;
    }
    forms::ShowHoldNotice(*product);
    TakeProductStock(row, *product);
    Lines->Put(row, kPOColTaxable, product->TaxOnPO ? QStringLiteral("Y") : QStringLiteral("N"));
    RecalcLine(row);
  }
  INVNOTES->setText(Text(set->Notes.Notes));
  KeyCode->setText(Text(set->Notes.KeyCode));
  RecalcPOTotals();
  StringGrid1->SetCursor(1, kPOColCode);
}

void TPOEdit1::LoadSavedMemo() {
  if (!platform::files::Exists(POSavedMemoFileName)) {
    MessageBox("You have not created a saved memo PO file.", "Load Saved Memo", MsgButtons::Ok,
               MsgIcon::Information);
    return;
  }
  const std::optional<POSavedMemoSet> set = ReadPOSavedMemo();
  if (!set) return;
  const std::string code = UpperCase(set->Product.Code);
  ProductRec product;
  bool found = false;
  if (!forms::ReadAll(Caption(), [&] { found = forms::ProductOnFile(code, product); })) return;
  // The product picked before goes: a saved product that is not on file must not stand in its place.
  BlankGlance();
  POMemoUnitPrice = "0";
  forms::ShowMemoLines(*Memo1, set->MemoLines);
  INVNOTES->setText(Text(set->Notes.Notes));
  KeyCode->setText(Text(set->Notes.KeyCode));
  const SavedRow& saved = set->Product;
  forms::PutSavedRow(*Lines, 1, saved);
  MemoPDesc->setText(Text(saved.Description));
  MemoQuan->setText(Text(saved.Quantity));
  if (found) {
    TakeProductStock(1, product);
    StockData->setText(Shown(LenientNumber(OldLineStock(1))));
    StkName->setText(Text(code));
    POMemoUnitPrice = TrimBlanks(product.Price.Get()).substr(0, 10);
  } else if (!code.empty()) {
    MessageBox("The current selected product does not exist in your inventory.",
               Text("Product Code: " + code), MsgButtons::Ok, MsgIcon::Information);
    MemoPDesc->setText(Text(code));
  }
  LineNum->setText("1");
  MemoQuan->setText("1");
  ShowMemoGlance();
}

// ---- OK ---------------------------------------------------------------------------------------

bool TPOEdit1::CheckHeader() {
  if (Trimmed(INum->text()).empty()) {
    MessageBox("You need an PO number.", "PO Number", MsgButtons::Ok, MsgIcon::Warning);
    INum->setFocus();
    return false;
  }
  if (Trimmed(ICustNo->text()).empty()) {
    MessageBox("You need to select a vendor.", "Vendor Required", MsgButtons::Ok, MsgIcon::Information);
    BitBtn3->setFocus();
    return false;
  }
  return true;
}

bool TPOEdit1::CheckMemoQuantity() {
  if (!IsMemo()) return true;
  if (!Trimmed(MemoQuan->text()).empty() && IsValidNumber(Ansi(MemoQuan->text()))) return true;
  MessageBox("You have entered an invalid quantity.", "Memo Quantity", MsgButtons::Ok, MsgIcon::Information);
  MemoQuan->setFocus();
  return false;
}

bool TPOEdit1::CheckDates() {
  struct Dated {
    QLineEdit* box;
    const char* text;
    const char* caption;
  };
  std::vector<Dated> dates{
      {IDate, "You have an invalid PO date. You can clear the date and then select the calendar button.",
       "PO Date"},
      {MEDateReq,
       "You have an invalid date reqired. You can clear the date and then select the calendar button.",
       "PO Date Required"}};
  if (MarkRecd->isChecked())
    dates.push_back(
        {ARecDate,
         "You have an invalid received date. You can clear the date and then select the calendar button.",
         "PO Received Date"});
  for (const Dated& date : dates) {
    if (platform::text::ParseTypedDate(Ansi(date.box->text()), DateOrder())) continue;
    MessageBox(date.text, date.caption, MsgButtons::Ok, MsgIcon::Warning);
    date.box->setFocus();
    return false;
  }
  if (!MarkRecd->isChecked()) return true;
  const QDate ordered = *platform::text::ParseTypedDate(Ansi(IDate->text()), DateOrder());
  const QDate received = *platform::text::ParseTypedDate(Ansi(ARecDate->text()), DateOrder());
  if (ordered > received && MessageBox("Your received date is BEFORE the date of this PO. Is this correct?",
                                       "Please Confirm", MsgButtons::YesNo, MsgIcon::Question) != mrYes) {
    ARecDate->setFocus();
    return false;
  }
  if (received > platform::text::Today() &&
      MessageBox("Your received date is AFTER (older than) todays date. It will not appear on your receiving "
                 "report unless you include this date in the search. Are you sure you want to do this?",
                 "Please Confirm", MsgButtons::YesNo, MsgIcon::Question) != mrYes) {
    ARecDate->setFocus();
    return false;
  }
  return true;
}

bool TPOEdit1::CheckLine(int row) {
  const std::string quantity = TrimBlanks(StripCommas(Ansi(Lines->Cell(row, kPOColQuantity)))).substr(0, 15);
  const std::string price = TrimBlanks(StripCommas(Ansi(Lines->Cell(row, kPOColPrice)))).substr(0, 15);
  const bool described = !Trimmed(Lines->Cell(row, kPOColDescription)).empty();
  if (!IsValidNumber(quantity)) return RefuseLine(row, " has an invalid QUANTITY value.", kPOColQuantity);
  if (!described && !Trimmed(Lines->Cell(row, kPOColCode)).empty())
    return RefuseLine(row,
                      " has a product code but the description field is blank. A description is required.",
                      kPOColDescription);
  if (described && quantity.empty() && !price.empty())
    return RefuseLine(row, " has a unit price but no quantity.", kPOColQuantity);
  if (described && !quantity.empty() && price.empty())
    return RefuseLine(row, " has a quantity but no unit price.", kPOColPrice);
  if (!IsValidNumber(price)) return RefuseLine(row, " has an invalid UNIT PRICE value.", kPOColPrice);
  if (!CheckLineKept(row)) return false;
  // Quantity, price and extension each have ten characters in the stored line text.
  int column = kPOColQuantity;
  if (const char* oversized = forms::OversizedFigure(quantity, price, kFigureColumns, column))
    return RefuseLine(row, oversized, column);
  return true;
}

bool TPOEdit1::CheckLines() {
  if (IsMemo()) return true;
  for (int row = 1; row <= kPOLines; ++row)
    if (!CheckLine(row)) return false;
  return !RefuseRepeatedCode(kPOLines, kCodeInUse);
}

bool TPOEdit1::CheckDuplicateNumber() {
  const std::string number = Upper(INum->text());
  records::FileForAction file(records::POHeaderFile, records::OpenPOHeaderFile);
  if (!records::ThereToRead(file, records::POHeaderUnit())) return true;
  records::POHeaderRec wanted{};
  wanted.PONumber.Set(number);
  const storage::IsamKeyStr exact = records::BuildPOHeaderKey(wanted, 1);
  storage::IsamKeyStr key = exact;
  storage::IsamRecRef ref = 0;
  if (!records::FindPOByNumber(key, ref) || key != exact || number == StoredPONumber) return true;
  MessageBox("This PO number currently exists. Please enter another one.", Text("Duplicate PO: " + number),
             MsgButtons::Ok, MsgIcon::Information);
  INum->setFocus();
  return false;
}

bool TPOEdit1::CheckAmounts() {
  if (!forms::CheckTypedAmounts({
          {INet, "The NET amount has an invalid value.", "The NET amount is too large."},
          {ITax, "The TAX amount has an invalid value.", "The TAX amount is too large."},
      }))
    return false;
  if (AmountFits(LenientAmount(Ansi(INet->text())) + LenientAmount(Ansi(ITax->text())))) return true;
  ShowMessage("The PO TOTAL is too large.");
  INet->setFocus();
  return false;
}

bool TPOEdit1::CheckTotal() {
  if (IsMemo()) INetChange();
  if (LenientAmount(Ansi(ITotal->text())) != 0) return true;
  return MessageBox("Is this a no-charge PO?", "Please Confirm", MsgButtons::YesNo, MsgIcon::Question) ==
         mrYes;
}

bool TPOEdit1::CheckMemoProduct() {
  return !IsMemo() || (forms::CheckMemoProduct(MemoPDesc, MemoQuan) && forms::CheckMemoFits(*Memo1));
}

void TPOEdit1::OKButtonClick() {
  if (!IsMemo() && !SettleTypedCodes()) return;
  if (Trimmed(POSName->text()).empty()) POSName->setText("*NONE*");
  if (!IsMemo())
    for (int row = 1; row <= kPOLines; ++row) RefreshExtension(row);
  RecalcPOTotals();
  const bool passed = CheckHeader() && CheckMemoQuantity() && CheckDates() && CheckLines() &&
                      forms::CheckReads(Caption(), [this] { return CheckDuplicateNumber(); }) &&
                      CheckAmounts() && CheckTotal() && CheckMemoProduct() &&
                      records::ConfirmPaymentTerm(*ITerms);
  if (passed) platform::ui::SayLeftOutCharacters(*this);
  if (passed && (!PostPO || PostPO(GatherPO()))) SetModalResult(mrOk);
}

EnteredPO TPOEdit1::GatherPO() {
  EnteredPO po;
  po.Memo = IsMemo();
  po.Number = Trimmed(INum->text()).substr(0, 9);
  po.VendorNo = Trimmed(ICustNo->text());
  po.ShortName = Trimmed(POSName->text());
  po.Date = Ansi(IDate->text());
  po.DateRequired = Ansi(MEDateReq->text());
  po.MarkReceived = MarkRecd->isChecked();
  po.ReceivedDate = Ansi(ARecDate->text());
  po.Terms = Trimmed(ITerms->currentText());
  po.KeyCode = Ansi(KeyCode->text());
  po.Notes = Ansi(INVNOTES->text());
  po.Net = FormatAmount(LenientAmount(Ansi(INet->text())));
  po.Tax = FormatAmount(LenientAmount(Ansi(ITax->text())));
  po.Total = FormatAmount(LenientAmount(Ansi(INet->text())) + LenientAmount(Ansi(ITax->text())));
  po.TaxRate = Trimmed(POTaxRate->text());
  po.Signature1 = Ansi(Sig1->text());
  po.Signature2 = Ansi(Sig2->text());
  po.PrintWhenDone = PrintFlag->isChecked();
  po.ShipTo = forms::CreatePOShipWin().Lines();
  auto lineOf = [this](int row) {
    EnteredPOLine line;
    line.Row = row;
    line.Code = Trimmed(Lines->Cell(row, kPOColCode));
    line.Quantity = TrimBlanks(StripCommas(Ansi(Lines->Cell(row, kPOColQuantity))));
    line.Description = Ansi(Lines->Cell(row, kPOColDescription));
    line.Price = TrimBlanks(StripCommas(Ansi(Lines->Cell(row, kPOColPrice))));
    line.Taxable = Ansi(Lines->Cell(row, kPOColTaxable)).substr(0, 1);
    line.Extension = TrimBlanks(StripCommas(Ansi(Lines->Cell(row, kPOColExtension))));
    return line;
  };
  if (po.Memo) {
    po.MemoLines = forms::StoredMemoLinesOf(*Memo1);
    po.MemoProduct = lineOf(1);
    po.MemoProduct.Code = Trimmed(StkName->text());
    po.MemoProduct.Description = Ansi(MemoPDesc->text());
    po.MemoProduct.Quantity = TrimBlanks(StripCommas(Ansi(MemoQuan->text())));
    return po;
  }
  for (int row = 1; row <= kPOLines; ++row) po.Lines.push_back(lineOf(row));
  return po;
}

}  // namespace purchasing
