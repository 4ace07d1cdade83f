#include "invoicing/invoice_entry.h"

#include <QFormLayout>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>
#include <array>

#include "customers/customer_manager.h"
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
#include "invoicing/customer_pick.h"
#include "invoicing/saved_lines.h"
#include "platform/files/path.h"
#include "platform/print/colors.h"
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
#include "records/company_rec.h"
#include "records/invoice_file.h"
#include "records/invoice_rec.h"
#include "records/payment_terms.h"
#include "records/product_file.h"
#include "records/record_file.h"

namespace invoicing {

using namespace platform::ui;
using namespace forms::entry_text;
using platform::text::AmountText;

int32_t InvoiceFormMode = 0;
uint8_t MemoInvoiceFlag = 0;
std::optional<std::string> InitialInvoiceNumber;
std::string InitialAmountDue = "0.00";
std::string MemoProductPrice = "0";
std::function<bool(const EnteredInvoice&)> PostEnteredInvoice;

TProdInv* ProdInv = nullptr;

TProdInv& CreateProdInv() {
  return forms::FormInstance(ProdInv);
}

namespace {

const std::string kFreshOnHand = "9999999999";  // form made or cleared
const std::string kLineOnHand = "999999999";    // one line cleared, inserted or made a comment
constexpr char kCodeInUse[] =
    "This Product Code is already in use on this invoice. Change the quantity for the existing product.";

QString ShownAmount(std::string_view stored) {
  return Text(FormatAmount(LenientAmount(stored)));
}

using forms::LimitedEdit;
using forms::StockKindOf;
using forms::TypingLimitedEdit;
using forms::ValueLabel;

}  // namespace

forms::LineGridRules TProdInv::GridRules() {
  return forms::EntryLineRules(kInvoiceLines, kSideFields);
}

TProdInv::TProdInv(QWidget* parent)
    : LineEntryForm(parent, kFigureColumns),
      INum(LimitedEdit(this, 9)),
      ICustName(new QLabel(this)),
      ICustNo(new QLabel(this)),
      EBSName(LimitedEdit(this, 10)),
      CBal(ValueLabel(this)),
      ICredLimit(ValueLabel(this)),
      Label21(new QLabel(this)),
      Label22(new QLabel(this)),
      Label23(new QLabel(this)),
      Label24(new QLabel(this)),
      Acur(ValueLabel(this)),
      A30(ValueLabel(this)),
      A60(ValueLabel(this)),
      A90(ValueLabel(this)),
      IDate(new QLineEdit(this)),
      Label7(new QLabel(this)),
      ITerms(forms::TermsBox(this)),
      IStmntNote(LimitedEdit(this, 35)),
      INVNOTES(LimitedEdit(this, 80)),
      KeyCode(LimitedEdit(this, 8)),
      PrintFlag(new QCheckBox("Pr&int Invoice", this)),
      RadioButton1(new QRadioButton("&Line Item", this)),
      RadioButton2(new QRadioButton("&Memo", this)),
      IMode(new QLabel(this)),
      Lines(new forms::LineGridModel(GridRules(), this)),
      StringGrid1(new forms::LineGridView(Lines, this)),
      Memo1(new QPlainTextEdit(this)),
      MemoPDescLabel(new QLabel("Prod&uct Description:", this)),
      MemoPDesc(LimitedEdit(this, 32)),
      MemoQuanLabel(new QLabel("&Quantity:", this)),
      MemoQuan(TypingLimitedEdit(this, 10)),
      CurCostLabel(new QLabel("Co&st:", this)),
      CurCost(TypingLimitedEdit(this, 10)),
      StockData(new QLabel(this)),
      StkName(new QLabel(this)),
      StkBal(new QLabel(this)),
      OldLineQuan(new QLabel(this)),
      CheckBox2(new QCheckBox("Calc. Tax", this)),
      EBTaxRate(LimitedEdit(this, 6)),
      INet(TypingLimitedEdit(this, 10)),
      ITax(TypingLimitedEdit(this, 10)),
      IPaid(TypingLimitedEdit(this, 10)),
      ITotal(ValueLabel(this)),
      BalDue(ValueLabel(this)),
      TaxLbl(new QLabel(this)),
      BitBtn3(new QPushButton("Customers", this)),
      SpeedButton3(new QToolButton(this)),
      SpeedButton2(new QToolButton(this)),
      ProductsButn(new QPushButton("Products", this)),
      SpeedButton8(new QToolButton(this)),
      Calbutton(new QToolButton(this)),
      Button1(new QPushButton("Ship &To...", this)),
      DeleteLine(new QPushButton("Clear Line", this)),
      SBInsert(new QPushButton("Insert Line Item", this)),
      MakeNote(new QPushButton("Add Description comment", this)),
      UndoAll(new QPushButton("Delete All Lines", this)),
      TopButn(new QPushButton("Line Item 1", this)),
      CnterButn(new QPushButton("Line Item 50", this)),
      BottButn(new QPushButton("Line Item 99", this)),
      ImportButn(new QToolButton(this)),
      ExportButn(new QToolButton(this)),
      OKButton(new QPushButton("&Ok", this)),
      CancelButton(new QPushButton("&Cancel", this)),
      BitBtn2(new QPushButton("&Help", this)) {
  SetCaption("Product Invoice");
  AskBeforeDiscarding("Discard this invoice?");
  SetHelpKeyword("NewInvoice");
  SpeedButton3->setText("Customers");
  SpeedButton2->setText("Find Product");
  SpeedButton8->setText("Calculator");
  Calbutton->setText("Calendar");
  ImportButn->setText("Loads Saved Lines");
  ExportButn->setText("Replaces saved lines with current lines");
  ImportButn->setToolTip("Loads Saved Lines");
  ExportButn->setToolTip("Replaces saved lines with current lines");
  IDate->setMaxLength(10);
  Label7->setText("Mo/Dy/Year");
  IDate->setMaximumWidth(IDate->fontMetrics().horizontalAdvance(QStringLiteral("00/00/00000")) + 16);
  OldLineQuan->setWordWrap(true);
  TaxLbl->setWordWrap(true);
  for (QLabel* label : {ICustName, ICustNo, IMode}) label->setMinimumWidth(120);
  for (QLineEdit* amount : {INet, ITax, IPaid, EBTaxRate}) amount->setAlignment(Qt::AlignRight);
  AttachLineGrid(Lines, StringGrid1);
  BuildLayout();
  ConnectHandlers();
  resize(960, 720);
}

void TProdInv::BuildLayout() {
  auto caption = [this](const char* text, QWidget* buddy) {
    auto* label = new QLabel(text, this);
    label->setBuddy(buddy);
    return label;
  };

  // Customer box: name, number, balance, limit and aging.
  auto* customer = new QGroupBox("Customer", this);
  auto* customerGrid = new QGridLayout(customer);
  customerGrid->addWidget(BitBtn3, 0, 0);
  customerGrid->addWidget(ICustName, 0, 1, 1, 3);
  customerGrid->addWidget(new QLabel("Number:", this), 1, 0);
  customerGrid->addWidget(ICustNo, 1, 1);
  customerGrid->addWidget(caption("Short N&ame:", EBSName), 1, 2);
  customerGrid->addWidget(EBSName, 1, 3);
  customerGrid->addWidget(new QLabel("Balance:", this), 2, 0);
  customerGrid->addWidget(CBal, 2, 1);
  customerGrid->addWidget(new QLabel("Credit Limit:", this), 2, 2);
  customerGrid->addWidget(ICredLimit, 2, 3);
  const std::array<QLabel*, 4> agingCaptions{Label21, Label22, Label23, Label24};
  const std::array<QLabel*, 4> aging{Acur, A30, A60, A90};
  for (int bucket = 0; bucket < 4; ++bucket) {
    customerGrid->addWidget(agingCaptions[bucket], 3, bucket);
    customerGrid->addWidget(aging[bucket], 4, bucket);
  }
  customerGrid->addWidget(Button1, 5, 0);

  // Invoice box: number, date, terms, notes.
  auto* invoice = new QGroupBox("Invoice", this);
  auto* invoiceGrid = new QGridLayout(invoice);
  invoiceGrid->addWidget(caption("Invoice &#:", INum), 0, 0);
  invoiceGrid->addWidget(INum, 0, 1);
  invoiceGrid->addWidget(IMode, 0, 2, 1, 2);
  invoiceGrid->addWidget(caption("&Date:", IDate), 1, 0);
  auto* date = new QHBoxLayout;
  date->addWidget(IDate);
  date->addWidget(Calbutton);
  date->addWidget(Label7);
  date->addStretch(1);
  invoiceGrid->addLayout(date, 1, 1, 1, 3);
  invoiceGrid->addWidget(caption("T&erms:", ITerms), 2, 0);
  invoiceGrid->addWidget(ITerms, 2, 1, 1, 3);
  invoiceGrid->addWidget(caption("Statement &Note:", IStmntNote), 3, 0);
  invoiceGrid->addWidget(IStmntNote, 3, 1, 1, 3);
  invoiceGrid->addWidget(caption("&Key Code:", KeyCode), 4, 0);
  invoiceGrid->addWidget(KeyCode, 4, 1);
  invoiceGrid->addWidget(PrintFlag, 4, 2);
  auto* kind = new QHBoxLayout;
  kind->addWidget(RadioButton1);
  kind->addWidget(RadioButton2);
  invoiceGrid->addLayout(kind, 4, 3);
  auto* notes = new QHBoxLayout;
  notes->addWidget(caption("Notes/Comments/Reference:", INVNOTES));
  notes->addWidget(INVNOTES, 1);

  auto* top = new QHBoxLayout;
  top->addWidget(customer, 1);
  top->addWidget(invoice, 1);

  // Tools over the lines.
  auto* tools = new QHBoxLayout;
  for (QToolButton* button : {SpeedButton3, SpeedButton2, SpeedButton8, ImportButn, ExportButn}) {
    button->setToolButtonStyle(Qt::ToolButtonTextOnly);
    tools->addWidget(button);
  }
  tools->addStretch(1);

  // Memo layout: description, quantity and the product button above the memo.
  auto* memoProduct = new QHBoxLayout;
  memoProduct->addWidget(MemoPDescLabel);
  MemoPDescLabel->setBuddy(MemoPDesc);
  memoProduct->addWidget(MemoPDesc, 2);
  memoProduct->addWidget(ProductsButn);
  memoProduct->addWidget(MemoQuanLabel);
  MemoQuanLabel->setBuddy(MemoQuan);
  memoProduct->addWidget(MemoQuan);
  memoProduct->addStretch(1);

  // Line commands and the stock panel beside the grid.
  auto* side = new QVBoxLayout;
  for (QPushButton* button : {SBInsert, MakeNote, DeleteLine, UndoAll, TopButn, CnterButn, BottButn})
    side->addWidget(button);
  auto* stock = new QGroupBox("Stock", this);
  auto* stockForm = new QFormLayout(stock);
  stockForm->addRow("Code:", StkName);
  stockForm->addRow("On Hand:", StockData);
  stockForm->addRow("After Sale:", StkBal);
  stockForm->addRow(OldLineQuan);
  side->addWidget(stock);
  auto* cost = new QHBoxLayout;
  CurCostLabel->setBuddy(CurCost);
  cost->addWidget(CurCostLabel);
  cost->addWidget(CurCost);
  side->addLayout(cost);
  side->addStretch(1);

  QHBoxLayout* lines = forms::LinesBeside(memoProduct, StringGrid1, Memo1, side);

  // Totals; what is paid beside the tax, so that Tab takes net, tax and paid in turn, and what is
  // left due beside the total.
  QGridLayout* totals =
      forms::TotalsGrid(*this, {CheckBox2, EBTaxRate, TaxLbl, INet, ITax, ITotal}, "Net:", "Tax:");
  totals->addWidget(caption("&Paid:", IPaid), 1, 5);
  totals->addWidget(IPaid, 1, 6);
  totals->addWidget(new QLabel("Balance Due:", this), 2, 5);
  totals->addWidget(BalDue, 2, 6);

  forms::StackEntryLayout(
      *this, {top, notes, tools, lines, totals, forms::DialogButtons({OKButton, CancelButton, BitBtn2})},
      lines);
}

void TProdInv::ConnectHandlers() {
  OnClick(OKButton, &TProdInv::OKButtonClick);
  OnClick(CancelButton, &TProdInv::InvCloseClick);
  OnClick(BitBtn2, &TProdInv::BitBtn2Click);
  OnClick(BitBtn3, &TProdInv::BitBtn3Click);
  OnClick(SpeedButton3, &TProdInv::SpeedButton3Click);
  OnClick(SpeedButton2, &TProdInv::SpeedButton2Click);
  OnClick(ProductsButn, &TProdInv::SpeedButton2Click);
  OnClick(SpeedButton8, &TProdInv::SpeedButton8Click);
  OnClick(Calbutton, &TProdInv::CalbuttonClick);
  OnClick(Button1, &TProdInv::Button1Click);
  OnClick(DeleteLine, &TProdInv::DeleteLineClick);
  OnClick(SBInsert, &TProdInv::SBInsertClick);
  OnClick(MakeNote, &TProdInv::MakeNoteClick);
  OnClick(UndoAll, &TProdInv::UndoAllClick);
  OnClick(TopButn, &TProdInv::TopButnClick);
  OnClick(CnterButn, &TProdInv::CnterButnClick);
  OnClick(BottButn, &TProdInv::BottButnClick);
  OnClick(ImportButn, &TProdInv::ImportButnClick);
  OnClick(ExportButn, &TProdInv::ExportButnClick);
  OnClick(RadioButton1, &TProdInv::RadioButton1Click);
  OnClick(RadioButton2, &TProdInv::RadioButton2Click);
  // Setting the box from the program recomputes as a click does.
  QObject::connect(CheckBox2, &QCheckBox::toggled, this, [this] { CheckBox2Click(); });
  OnTextChanged(ITax, &TProdInv::ITaxChange);
  OnTextChanged(IPaid, &TProdInv::IPaidChange);
  OnTextChanged(EBTaxRate, &TProdInv::EBTaxRateChange);
  OnTextChanged(INet, &TProdInv::INetChange);
  OnTextChanged(MemoQuan, &TProdInv::MemoQuanChange);
  // Only the user's typing: the form shows the current line's cost here itself.
  QObject::connect(CurCost, &QLineEdit::textEdited, this, [this] { CurCostChange(); });
  forms::LimitMemoToRecord(*Memo1);
  ConnectLineGridHandlers();
}

// ---- Showing the form -------------------------------------------------------------------------

void TProdInv::FormCreate() {
  forms::LastInvoiceDate = platform::text::DateToStr(platform::text::Today());
  for (int row = 0; row <= kInvoiceLines + 1; ++row) {
    LineOnHand(row) = kFreshOnHand;
    LineStockState(row) = "X";
    OldLineQuantities(row) = "0";
    OldLineProducts(row).clear();
    LineCosts(row) = "0";
  }
  customers::AddCustomerPicker(this);
  products::AddProductPicker(this);
}

void TProdInv::SetDateMask() {
  forms::SetDateMasks({IDate}, forms::CompanyDateOrder());
  Label7->setText(forms::DateOrderCaption(forms::CompanyDateOrder()));
}

void TProdInv::FormShow() {
  ShowCompanySettings();
  ChooseLayoutOfInvoice();
  ShowAddingOrEditing();
  ShowCompanyFonts();
  SetInvoiceEntryMode();
  RecalcInvoiceTotals();
  StringGrid1->SizeColumns();
  StringGrid1->SetCursor(1, kColCode);
  StringGrid1->SetTopLine(1);

  FocusFirstField();
  if (!Adding() && records::SelectedCustomer.TaxExempt.Get() == "Y") forms::ShowTaxExempt(*CheckBox2);
  ShowCustomerOfTheJob();
}

// The command-line job has chosen the customer; otherwise a new invoice starts without one.
void TProdInv::ShowCustomerOfTheJob() {
  if (forms::ExternalInvoiceMode) {
    BitBtn3->setEnabled(false);
    SpeedButton3->setEnabled(false);
    Button1->setEnabled(true);
    const records::CustomerRec& c = records::SelectedCustomer;
    ICredLimit->setText(ShownAmount(c.CreditLimit.Get()));
    CBal->setText(ShownAmount(c.CustBalance.Get()));
    ShowAgingAndShipTo(c);
    // The layout step has ticked the tax box again: the job's customer decides it.
    if (CurrentCompany.CalculateInvoiceTaxes) forms::ShowTaxOfChosen(*CheckBox2, c.TaxExempt.Get() == "Y");
  } else if (Adding()) {
    for (QLabel* label : {ICustName, ICustNo, CBal, ICredLimit}) label->clear();
    EBSName->clear();
  }
}

void TProdInv::ShowCompanySettings() {
  const bool hideCost = CurrentCompany.HideCost != 0;
  CurCost->setVisible(!hideCost);
  CurCostLabel->setVisible(!hideCost);
  Label21->setText(Text(CurrentCompany.AgingCaption1.Get()));
  Label22->setText(Text(CurrentCompany.AgingCaption2.Get()));
  Label23->setText(Text(CurrentCompany.AgingCaption3.Get()));
  Label24->setText(Text("Over " + TrimBlanks(CurrentCompany.AgingDays3.Get()) + ":"));
  records::LoadPaymentTermsInto(*ITerms);
  SetDateMask();
}

void TProdInv::ChooseLayoutOfInvoice() {
  const QSignalBlocker quiet1(RadioButton1);
  const QSignalBlocker quiet2(RadioButton2);
  const bool lineItems = records::InvoiceBuf.Body.Get() == "P";
  (lineItems ? RadioButton1 : RadioButton2)->setChecked(true);
  MemoInvoiceFlag = lineItems ? 0 : 1;
  CheckBox2->setEnabled(true);
  CheckBox2->setChecked(CurrentCompany.CalculateInvoiceTaxes != 0);
  if (CheckBox2->isChecked()) CheckBox2->setText("Calc. Tax");
  PrintFlag->setEnabled(true);
}

void TProdInv::ShowAddingOrEditing() {
  if (Adding()) {
    const bool prefixed = CurrentCompany.InvoiceNumberPrefix.Get() == "Y";
    const std::string number = forms::OfferedDocumentNumber(records::InvoiceNumberCounter(prefixed),
                                                            CurrentCompany.NextInvoiceNumber.Get(), prefixed,
                                                            forms::LastInvoiceDate);
    INum->setText(Text(number));
    ITerms->setEditText(Text(CurrentCompany.DefaultInvoiceTerms.Get()));
    PrintFlag->setChecked(CurrentCompany.InvoicePrintFlagDefault != 0);
    RadioButton1->setEnabled(true);
    RadioButton2->setEnabled(true);
    IMode->setText("Add Invoice");
  } else {
    RadioButton1->setEnabled(false);
    RadioButton2->setEnabled(false);
    PrintFlag->setEnabled(false);
    IMode->setText("Edit Invoice");
  }
  BitBtn3->setEnabled(Adding());
  SpeedButton3->setEnabled(Adding());
}

void TProdInv::ShowCompanyFonts() {
  forms::ShowCompanyFonts(Memo1, {StringGrid1, ICustName, ICustNo, CBal, ICredLimit}, font());
}

void TProdInv::FocusFirstField() {
  if (Adding()) {
    INum->setEnabled(true);
    BitBtn3->setFocus();
  } else if (Trimmed(INum->text()).find('G') != std::string::npos) {
    INum->setEnabled(false);
    INVNOTES->setFocus();
  } else {
    INum->setEnabled(true);
    CancelButton->setFocus();
  }
}

void TProdInv::SetInvoiceEntryMode() {
  MemoProductPrice = "0";
  ImportButn->setEnabled(true);
  if (!Adding()) {
    StockData->setText(Shown(LenientNumber(LineOnHand(1))));
    OldLineQuan->setText(Text("\n + Old Quan: " + OldLineQuantities(1)));
    ShowLineStockStatus();
  } else {
    MemoQuan->setText("1");
    MemoPDesc->clear();
    for (QLabel* label : {StkBal, StockData, StkName, OldLineQuan}) label->clear();
  }

  const bool memo = IsMemo();
  ShowGridOrMemo(memo, {ProductsButn, TaxLbl, Memo1, MemoPDesc, MemoPDescLabel, MemoQuan, MemoQuanLabel},
                 {SBInsert, MakeNote, DeleteLine, TopButn, CnterButn, BottButn, CheckBox2}, CheckBox2, INet,
                 ITax);
  if (memo) {
    TaxLbl->clear();
    if (Adding()) {
      for (QLineEdit* amount : {INet, ITax, IPaid}) amount->setText("0.00");
      for (QLabel* amount : {ITotal, BalDue}) amount->setText("0.00");
    }
  } else if (Adding()) {
    ClearInvoiceLines();
  }
  // The memo takes the grid's place at once, not when the window next lays itself out.
  layout()->activate();
}

// ---- Lines ------------------------------------------------------------------------------------

void TProdInv::ResetLine(int row, LineReset how, const std::string& onHand) {
  forms::PutFreshLine(*Lines, row, how == LineReset::Comment);
  LineOnHand(row) = onHand;
  LineStockState(row) = "X";
  LineCosts(row) = "0";
  if (how == LineReset::Emptied) {
    OldLineQuantities(row) = "0";
    OldLineProducts(row).clear();
  }
}

void TProdInv::ClearInvoiceLines() {
  StockData->clear();
  StkName->clear();
  for (int row = 1; row <= kInvoiceLines; ++row) ResetLine(row, LineReset::Emptied, kFreshOnHand);
  StringGrid1->SetCursor(1, kColCode);
}

void TProdInv::BlankStockPanel() {
  for (QLabel* label : {StockData, StkName, StkBal, OldLineQuan}) label->clear();
}

QString TProdInv::OldQuantityNote(const std::string& code, int row) {
  return forms::OldQuantityNote(Adding(), code, OldLineProducts(row), OldLineQuantities(row),
                                "\n + Old Quan: ");
}

void TProdInv::ShowStockPanel(int row, double afterSale) {
  const std::string code = Upper(Lines->Cell(row, kColCode));
  StkName->setText(Text(code));
  StockData->setText(Shown(LenientNumber(LineOnHand(row))));
  CurCost->setText(Text(LineCosts(row)));
  const std::string& state = LineStockState(row);
  if (state == "X") {
    for (QLabel* label : {StockData, StkBal, OldLineQuan}) label->clear();
    return;
  }
  ShowStockOfKind({StockData, StkBal, OldLineQuan}, row, state, afterSale, OldQuantityNote(code, row));
}

void TProdInv::RecalcLine(int row) {
  if (row < 1 || row > kInvoiceLines) return;
  const QString quantityText = Lines->Cell(row, kColQuantity);
  const QString priceText = Lines->Cell(row, kColPrice);
  if (Trimmed(quantityText).empty() && Trimmed(priceText).empty()) {
    LineOnHand(row) = "0";
    OldLineQuantities(row) = "0";
    LineStockState(row) = "X";
  }
  const double quantity = LenientNumber(Ansi(quantityText));
  const std::string code = Upper(Lines->Cell(row, kColCode));
  const bool sameItem = code == UpperCase(TrimBlanks(OldLineProducts(row)));
  double afterSale = LenientNumber(LineOnHand(row)) - quantity;
  if (sameItem) afterSale += LenientNumber(OldLineQuantities(row));
  ShowStockPanel(row, afterSale);

  RefreshExtension(row);
  RecalcInvoiceTotals();
}

void TProdInv::ClearLine(int row) {
  ResetLine(row, LineReset::Cleared, kLineOnHand);
  RecalcInvoiceTotals();
}

void TProdInv::DeleteLineClick() {
  const int row = StringGrid1->CurrentLine();
  ClearLine(row);
  BlankStockPanel();
  RecalcLine(row);
}

void TProdInv::SBInsertClick() {
  if (!Trimmed(Lines->Cell(kInvoiceLines, kColDescription)).empty() ||
      !Trimmed(Lines->Cell(kInvoiceLines, kColCode)).empty()) {
    ShowMessage("Line item number 99 is in use. Unable to insert more line items.");
    return;
  }
  if (!OldLineProducts(kInvoiceLines).empty()) {
    ShowMessage(
        "Edit buffer full. Unable to insert line. Save the current invoice and then try editing it again.");
    return;
  }
  const int row = StringGrid1->CurrentLine();
  Lines->InsertLineAt(row);
  ResetLine(row, LineReset::Emptied, kLineOnHand);
  RecalcInvoiceTotals();
  BlankStockPanel();
  CurCost->setText("0");
}

void TProdInv::MakeNoteClick() {
  const int row = StringGrid1->CurrentLine();
  ResetLine(row, LineReset::Comment, kLineOnHand);
  BlankStockPanel();
  RecalcInvoiceTotals();
  StringGrid1->SetCursor(row, kColDescription);
}

void TProdInv::UndoAllClick() {
  BlankStockPanel();
  MemoPDesc->clear();
  MemoQuan->setText("1");
  // The quantities the stored invoice took from stock stay known, so that saving the emptied
  // invoice still gives them back.
  for (int row = 1; row <= kInvoiceLines; ++row) ResetLine(row, LineReset::Cleared, kFreshOnHand);
  if (!IsMemo()) {
    RecalcInvoiceTotals();
    StringGrid1->SetCursor(1, kColCode);
    return;
  }
  Memo1->clear();
  for (QLineEdit* amount : {INet, ITax, IPaid}) amount->setText("0.00");
  BalDue->setText("0.00");
}

// ---- Totals -----------------------------------------------------------------------------------

void TProdInv::RecalcInvoiceTotals() {
  if (IsMemo() || recalculating_) return;
  recalculating_ = true;
  if (Trimmed(EBTaxRate->text()).empty()) EBTaxRate->setText("0.00");
  const std::vector<TotalsLine> lines = forms::TotalsLines(*Lines, kFigureColumns);
  if (Trimmed(IPaid->text()).empty()) IPaid->setText("0.00");
  const DocumentTotals totals =
      LineItemTotals(lines, CheckBox2->isChecked(), LenientNumber(Ansi(EBTaxRate->text())),
                     LenientAmount(Ansi(IPaid->text())));
  ITax->setText(Text(FormatAmount(totals.Tax)));
  ITotal->setText(Text(FormatAmount(totals.Total)));
  INet->setText(Text(FormatAmount(totals.Net)));
  BalDue->setText(Text(FormatAmount(totals.Due)));
  SetRed(BalDue, totals.Due < 0);
  recalculating_ = false;
}

void TProdInv::INetChange() {
  if (!IsMemo() || recalculating_) return;
  recalculating_ = true;
  const Cents total =
      ShowMemoTotal(INet, ITax, EBTaxRate, CurrentCompany.CalculateInvoiceTaxes != 0, TaxLbl, ITotal);
  const Cents due = total - LenientAmount(Ansi(IPaid->text()));
  BalDue->setText(Text(FormatAmount(due)));
  SetRed(BalDue, due < 0);
  recalculating_ = false;
}

void TProdInv::ITaxChange() {
  if (!IsMemo()) {
    RecalcInvoiceTotals();
    return;
  }
  if (Trimmed(ITax->text()).empty()) ITax->setText("0.00");
  INetChange();
}

void TProdInv::IPaidChange() {
  if (Trimmed(IPaid->text()).empty()) return;
  // The balance due follows the amount paid in both layouts: posting reads it.
  if (IsMemo())
    INetChange();
  else
    RecalcInvoiceTotals();
}

void TProdInv::EBTaxRateChange() {
  if (IsMemo()) {
    INetChange();
    return;
  }
  if (IsValidNumber(Ansi(EBTaxRate->text()))) RecalcInvoiceTotals();
}

void TProdInv::CurCostChange() {
  LineCosts(IsMemo() ? 1 : StringGrid1->CurrentLine()) = Trimmed(CurCost->text()).substr(0, 10);
}

void TProdInv::ShowLineStockStatus() {
  const std::string& state = LineStockState(1);
  if (state == "Y") StockData->setText("NON-STOCK");
  if (state == "Z") StockData->setText("NON-DEPLETE");
  if (state > "S") OldLineQuan->clear();
  if (state != "S" || StockData->text().isEmpty() || Trimmed(MemoQuan->text()).empty() ||
      !IsValidNumber(Ansi(MemoQuan->text())))
    return;
  const double quantity = LenientNumber(Ansi(MemoQuan->text()));
  const std::string code = Upper(StkName->text());
  double afterSale = LenientNumber(LineOnHand(1)) - quantity;
  if (code == UpperCase(TrimBlanks(OldLineProducts(1)))) afterSale += LenientNumber(OldLineQuantities(1));
  ShowMemoStock({StockData, StkBal, OldLineQuan}, MemoQuan, afterSale, OldQuantityNote(code, 1),
                Ansi(MemoQuan->text()), MemoProductPrice, INet);
}

void TProdInv::RadioButton1Click() {
  MemoInvoiceFlag = 0;
  SetInvoiceEntryMode();
}

void TProdInv::RadioButton2Click() {
  MemoInvoiceFlag = 1;
  SetInvoiceEntryMode();
}

// ---- Customers and products -------------------------------------------------------------------

void TProdInv::PickCustomer() {
  // Closing the manager without a pick leaves the invoice's customer as it was.
  if (invoicing::PickCustomer(Ansi(ICustName->text()), Ansi(ICustNo->text())))
    ApplyCustomer(records::SelectedCustomer);
}

void TProdInv::ShowAgingAndShipTo(const records::CustomerRec& c) {
  Acur->setText(ShownAmount(c.CustAging1.Get()));
  A30->setText(ShownAmount(c.CustAging2.Get()));
  A60->setText(ShownAmount(c.CustAging3.Get()));
  A90->setText(ShownAmount(c.CustAging4.Get()));
  forms::TPOShipWin& shipTo = forms::CreatePOShipWin();
  shipTo.Edit1->setText(Text(c.ShipTo1.Get()));
  shipTo.Edit2->setText(Text(c.ShipTo2.Get()));
  shipTo.Edit3->setText(Text(c.ShipTo3.Get()));
  shipTo.Edit4->setText(Text(c.ShipTo4.Get()));
}

void TProdInv::ApplyCustomer(const records::CustomerRec& c, MsgIcon overLimitIcon) {
  ICustName->setText(Text(c.CustomerName.Get()));
  ICustNo->setText(Text(c.CustomerNo.Get()));
  const Cents limit = LenientAmount(c.CreditLimit.Get());
  ICredLimit->setText(Text(FormatAmount(limit)));
  EBSName->setText(Text(TrimBlanks(c.ShortName.Get())));
  if (CurrentCompany.CalculateInvoiceTaxes) forms::ShowTaxOfChosen(*CheckBox2, c.TaxExempt.Get() == "Y");
  const Cents balance = LenientAmount(c.CustBalance.Get());
  CBal->setText(Text(FormatAmount(balance)));
  QPalette palette = CBal->palette();
  palette.setColor(QPalette::WindowText,
                   balance < 0 ? QColor(Qt::red) : forms::CompanyEditorColor(CurrentCompany));
  CBal->setPalette(palette);
  ShowAgingAndShipTo(c);
  Button1->setEnabled(true);
  if (!TrimBlanks(c.PaymentTerms.Get()).empty()) ITerms->setEditText(Text(c.PaymentTerms.Get()));
  if (limit > 0 && balance > limit)
    MessageBox("This customer is over their credit limit.", "Warning", MsgButtons::Ok, overLimitIcon);
  if (c.CreditHold.Get() == "Y")
    MessageBox("This customer is placed on inactive/credit hold status.", "Warning", MsgButtons::Ok,
               MsgIcon::Information);
}

bool TProdInv::PickProduct(int row) {
  if (!products::PickProduct(Trimmed(Lines->Cell(row, kColCode)), Ansi(Lines->Cell(row, kColDescription))))
    return false;
  if (IsMemo()) {
    PlaceMemoProduct(products::SelectedProduct);
    Memo1->setFocus();
    return true;
  }
  return PlaceProductOrClearLine(row, products::SelectedProduct);
}

void TProdInv::SpeedButton2Click() {
  PickProduct(StringGrid1->CurrentLine());
}

void TProdInv::TakeProductStock(int row, const ProductRec& product) {
  LineCosts(row) = product.Cost.Get();
  LineOnHand(row) = product.OnHand.Get();
  LineStockState(row) = StockKindOf(product);
}

void TProdInv::PlaceMemoProduct(const ProductRec& product) {
  TakeProductStock(1, product);
  CurCost->setText(Text(LineCosts(1)));
  StockData->setText(Shown(LenientNumber(LineOnHand(1))));
  StkName->setText(Text(TrimBlanks(product.Code.Get())));
  MemoPDesc->setText(Text(product.Description.Get()));
  MemoProductPrice = TrimBlanks(product.Price.Get());
  Lines->Put(1, kColCode, Text(TrimBlanks(product.Code.Get())));
  MemoQuan->setText("1");
  ShowLineStockStatus();
}

bool TProdInv::PlaceProductOnLine(int row, const ProductRec& product) {
  const std::string code = TrimBlanks(product.Code.Get());
  if (RefuseCodeInUse(code, row, kCodeInUse)) return false;
  SayAfterTypedKeys(row, [product](int) { forms::ShowHoldNotice(product); });
  Lines->Put(row, kColCode, Text(code));
  KeepOrDefaultQuantity(row);
  // A cell typed into while the code waited for its look-up keeps what was typed.
  Lines->Fill(row, kColDescription, Text(product.Description.Get()));
  Lines->Fill(row, kColPrice, Text(TrimBlanks(product.Price.Get())));
  TakeProductStock(row, product);
  Lines->Fill(row, kColTaxable, product.TaxOnInvoice ? QStringLiteral("Y") : QStringLiteral("N"));
  RecalcLine(row);
  return true;
}

void TProdInv::StringGrid1DblClick() {
  if (StringGrid1->CurrentColumn() != kColCode) return;
  const int row = StringGrid1->CurrentLine();
  if (row - StringGrid1->TopLine() == 2 && row < kInvoiceLines)
    StringGrid1->SetTopLine(StringGrid1->TopLine() + 1);
  PickProduct(row);
}

// ---- Saved lines ------------------------------------------------------------------------------

void TProdInv::ExportButnClick() {
  const SavedNotes notes{Ansi(INVNOTES->text()), Ansi(IStmntNote->text()), Ansi(KeyCode->text())};
  bool written = false;
  if (IsMemo()) {
    // Saved as it would be stored, so that it loads back whole.
    if (!forms::CheckMemoFits(*Memo1)) return;
    SavedMemoSet set;
    set.MemoLines = forms::StoredMemoLinesOf(*Memo1);
    set.Notes = notes;
    set.Product = forms::MemoProductRow(*Lines, *MemoPDesc, *MemoQuan);
    written = WriteSavedMemo(set);
  } else {
    SavedLineSet set;
    set.Rows = forms::SavedRowsOf(*Lines, kInvoiceLines);
    set.Notes = notes;
    written = WriteSavedLines(set);
  }
  if (written)
    MessageBox("The saved lines file has been replaced with the current invoice lines.", "Saved Lines File",
               MsgButtons::Ok, MsgIcon::Information);
}

void TProdInv::ImportButnClick() {
  if (IsMemo())
    LoadSavedMemo();
  else
    LoadSavedLines();
}

bool TProdInv::SavedFileThere(std::string_view name, const char* missing, const char* caption) {
  if (platform::files::Exists(name)) return true;
  MessageBox(missing, caption, MsgButtons::Ok, MsgIcon::Information);
  return false;
}

void TProdInv::ShowSavedNotes(const SavedNotes& notes) {
  INVNOTES->setText(Text(notes.Notes));
  IStmntNote->setText(Text(notes.StatementNote));
  KeyCode->setText(Text(notes.KeyCode));
}

void TProdInv::LoadSavedLines() {
  if (!SavedFileThere(SavedLinesFileName, "You have not created a saved lines file.", "Load Saved Lines"))
    return;
  const std::optional<SavedLineSet> set = ReadSavedLines();
  if (!set) return;
  // The products are read before the lines are replaced: a file that cannot be read leaves the
  // invoice as it was.
  std::vector<std::optional<ProductRec>> onFile;
  if (!forms::ReadAll(Caption(), [&] { onFile = forms::ProductsOnFile(forms::SavedRowCodes(set->Rows)); }))
    return;
  ClearInvoiceLines();
  for (int row = 1; row <= kInvoiceLines; ++row) {
    const SavedRow& saved = set->Rows[static_cast<size_t>(row - 1)];
    forms::PutSavedRow(*Lines, row, saved);
    if (saved.Code.empty()) continue;
    const std::optional<ProductRec>& product = onFile[static_cast<size_t>(row - 1)];
    if (!product) {
      LineStockState(row) = "T";
      continue;
    }
    TakeProductStock(row, *product);
    forms::ShowHoldNotice(*product);
    Lines->Put(row, kColTaxable, product->TaxOnInvoice ? QStringLiteral("Y") : QStringLiteral("N"));
    RecalcLine(row);
  }
  ShowSavedNotes(set->Notes);
  RecalcInvoiceTotals();
  StringGrid1->SetCursor(1, kColCode);
  RecalcLine(1);
}

void TProdInv::LoadSavedMemo() {
  if (!SavedFileThere(SavedMemoFileName, "You have not created a saved memo file.", "Load Saved Memo"))
    return;
  const std::optional<SavedMemoSet> set = ReadSavedMemo();
  if (!set) return;
  ProductRec product;
  bool found = false;
  if (!forms::ReadAll(Caption(), [&] { found = forms::ProductOnFile(set->Product.Code, product); })) return;
  ClearInvoiceLines();
  forms::ShowMemoLines(*Memo1, set->MemoLines);
  ShowSavedNotes(set->Notes);
  MemoPDesc->setText(Text(set->Product.Description));
  MemoQuan->setText(Text(set->Product.Quantity));
  if (set->Product.Code.empty()) return;
  if (!found) {
    MessageBox("The current selected product does not exist in your inventory.", "Load Saved Memo",
               MsgButtons::Ok, MsgIcon::Information);
    return;
  }
  PlaceMemoProduct(product);
}

// ---- Other buttons ----------------------------------------------------------------------------

void TProdInv::BitBtn2Click() {
  Application->HelpKeyword("NewInvoice");
}

void TProdInv::SpeedButton8Click() {
  forms::RunWindowsCalculator();
}

void TProdInv::CalbuttonClick() {
  const char order = CurrentCompany.DateOrder.Get().empty() ? 'M' : CurrentCompany.DateOrder.Get()[0];
  std::optional<QDate> date = platform::text::ParseTypedDate(Ansi(IDate->text()), order);
  if (!date) {
    date = platform::text::Today();
    IDate->setText(Text(platform::text::FormatTypedDate(*date, order)));
  }
  forms::TCalForm& calendar = forms::CreateCalForm();
  calendar.Calendar1->setSelectedDate(*date);
  calendar.CBMonth->setCurrentIndex(date->month() - 1);
  const QPoint beside = IDate->mapToGlobal(QPoint(IDate->width(), 0));
  forms::CalendarLeft = beside.x();
  forms::CalendarTop = beside.y();
  if (calendar.ShowModal() == mrOk) IDate->setText(calendar.NDate->text());
}

void TProdInv::Button1Click() {
  forms::TPOShipWin& shipTo = forms::CreatePOShipWin();
  shipTo.SetCaption("Invoice");
  shipTo.Label1->setText(Text(CurrentCompany.InvoiceShipToCaption.Get()));
  shipTo.PlaceAtTopOfScreen();
  shipTo.PlaceAt(Button1->mapToGlobal(QPoint(0, 0)).x(), shipTo.y());
  shipTo.ShowModal();
}

void TProdInv::InvCloseClick() {
  Close();
}

// ---- OK ---------------------------------------------------------------------------------------

bool TProdInv::CheckHeader() {
  if (Trimmed(INum->text()).empty()) {
    MessageBox("You need an invoice number.", "Invoice Number", MsgButtons::Ok, MsgIcon::Warning);
    INum->setFocus();
    return false;
  }
  if (Trimmed(ICustNo->text()).empty()) {
    MessageBox("You need to select a customer.", "Customer Required", MsgButtons::Ok, MsgIcon::Information);
    BitBtn3->setFocus();
    return false;
  }
  if (Upper(INum->text()).find('I') != std::string::npos &&
      InitialInvoiceNumber.value_or("").find('G') == std::string::npos) {
    MessageBox(
        "Please do not use the letter \"I\" in your invoice numbers. This is reserved for Interest Wizard. "
        "You must "
        "change this invoice number.",
        "Invoice Number", MsgButtons::Ok, MsgIcon::Warning);
    INum->setFocus();
    return false;
  }
  return true;
}

bool TProdInv::CheckMemoQuantity() {
  if (!IsMemo()) return true;
  LineCosts(1) = Ansi(CurCost->text()).substr(0, 10);
  if (!Trimmed(MemoQuan->text()).empty() && IsValidNumber(Ansi(MemoQuan->text()))) return true;
  MessageBox("You have entered an invalid quantity.", "Memo Quantity", MsgButtons::Ok, MsgIcon::Information);
  MemoQuan->setFocus();
  return false;
}

bool TProdInv::CheckDate() {
  const char order = CurrentCompany.DateOrder.Get().empty() ? 'M' : CurrentCompany.DateOrder.Get()[0];
  if (platform::text::ParseTypedDate(Ansi(IDate->text()), order)) return true;
  MessageBox("You have an invalid invoice date. You can clear the date and then select the calendar button.",
             "Invoice Date", MsgButtons::Ok, MsgIcon::Warning);
  IDate->setFocus();
  return false;
}

bool TProdInv::CheckLine(int row) {
  const std::string quantity = StripCommas(Ansi(Lines->Cell(row, kColQuantity))).substr(0, 15);
  const std::string price = StripCommas(Ansi(Lines->Cell(row, kColPrice))).substr(0, 15);
  if (!IsValidNumber(quantity)) return RefuseLine(row, " has an invalid QUANTITY value.", kColQuantity);
  if (!Trimmed(Lines->Cell(row, kColDescription)).empty()) {
    if (quantity.empty() && !price.empty())
      return RefuseLine(row, " has a unit price but no quantity.", kColQuantity);
    if (!quantity.empty() && price.empty())
      return RefuseLine(row, " has a quantity but no unit price.", kColPrice);
  }
  if (!IsValidNumber(price)) return RefuseLine(row, " has an invalid UNIT PRICE value.", kColPrice);
  if (!IsValidNumber(LineCosts(row))) return RefuseLine(row, " has an invalid COST.", kColCode);
  if (!CheckLineKept(row)) return false;
  // Quantity, price and extension each have ten characters in the stored line.
  int column = kColQuantity;
  if (const char* oversized = forms::OversizedFigure(quantity, price, kFigureColumns, column))
    return RefuseLine(row, oversized, column);
  return true;
}

bool TProdInv::CheckLines() {
  if (IsMemo()) return true;
  bool described = false;
  for (int row = 1; row <= kInvoiceLines; ++row) {
    if (!CheckLine(row)) return false;
    described = described || !Trimmed(Lines->Cell(row, kColDescription)).empty();
  }
  if (RefuseRepeatedCode(kInvoiceLines, kCodeInUse)) return false;
  if (described) return true;
  MessageBox(
      "You do not have a description on any of your line items. At least one description field is required "
      "or you "
      "have nothing to invoice.",
      "Description Required", MsgButtons::Ok, MsgIcon::Warning);
  return false;
}

bool TProdInv::CheckDuplicateNumber() {
  const std::string number = Upper(INum->text());
  // The invoice file for the duplicate-number check, unless a window holds it.
  records::FileForAction file(records::InvoiceFile, records::OpenInvoiceFile);
  if (!records::ThereToRead(file, records::InvoiceUnit())) return true;
  records::InvoiceRec wanted;
  wanted.InvoiceNo.Set(number);
  const storage::IsamKeyStr exact = records::BuildInvoiceKey(wanted, 1);
  storage::IsamKeyStr key = exact;
  storage::IsamRecRef ref = 0;
  if (!records::FindInvoiceByNumber(key, ref) || key != exact || number == InitialInvoiceNumber) return true;
  MessageBox("This invoice number currently exists. Please enter another one.",
             Text("Duplicate Invoice: " + Trimmed(INum->text())), MsgButtons::Ok, MsgIcon::Information);
  INum->setFocus();
  return false;
}

bool TProdInv::CheckAmounts() {
  if (!forms::CheckTypedAmounts({
          {INet, "The NET amount has an invalid value.", "The NET amount is too large."},
          {ITax, "The TAX amount has an invalid value.", "The TAX amount is too large."},
          {IPaid, "The PAID amount has an invalid value.", "The PAID amount is too large."},
      }))
    return false;
  const Cents total = LenientAmount(Ansi(INet->text())) + LenientAmount(Ansi(ITax->text()));
  const Cents due = total - LenientAmount(Ansi(IPaid->text()));
  const char* refusal = !AmountFits(total) ? "The invoice TOTAL is too large."
                        : !AmountFits(due) ? "The BALANCE DUE is too large."
                                           : nullptr;
  if (!refusal) return true;
  ShowMessage(refusal);
  INet->setFocus();
  return false;
}

bool TProdInv::CheckTotals() {
  const Cents total = LenientAmount(Ansi(ITotal->text()));
  const Cents paid = LenientAmount(Ansi(IPaid->text()));
  if (total == 0 && MessageBox("Is this a no-charge invoice?", "Please Confirm", MsgButtons::YesNo,
                               MsgIcon::Question) != mrYes)
    return false;
  if (paid != 0 && paid > total) {
    MessageBox("The paid amount cannot exceed the invoice total amount.", "Payment Amount", MsgButtons::Ok,
               MsgIcon::Warning);
    IPaid->setFocus();
    return false;
  }
  const Cents limit = LenientAmount(Ansi(ICredLimit->text()));
  const Cents owing = LenientAmount(Ansi(BalDue->text())) +
                      LenientAmount(records::SelectedCustomer.CustBalance.Get()) -
                      LenientAmount(InitialAmountDue);
  if (limit > 0 && owing > limit &&
      MessageBox("This invoice will cause this customer to be over their credit limit.  Do you want to "
                 "proceed anyway?",
                 "Please Confirm", MsgButtons::YesNo, MsgIcon::Question) != mrYes)
    return false;
  return true;
}

bool TProdInv::CheckMemoProduct() {
  return !IsMemo() || (forms::CheckMemoProduct(MemoPDesc, MemoQuan) && forms::CheckMemoFits(*Memo1));
}

void TProdInv::OKButtonClick() {
  if (!IsMemo() && !SettleTypedCodes()) return;
  if (Trimmed(EBSName->text()).empty()) EBSName->setText("*NONE*");
  if (Trimmed(IPaid->text()).empty()) IPaid->setText("0.00");
  // Line items: extensions and totals are those of the lines as they stand now.
  if (!IsMemo())
    for (int row = 1; row <= kInvoiceLines; ++row) RefreshExtension(row);
  RecalcInvoiceTotals();
  const bool passed = CheckHeader() && CheckMemoQuantity() && CheckDate() && CheckLines() &&
                      forms::CheckReads(Caption(), [this] { return CheckDuplicateNumber(); }) &&
                      CheckAmounts() && CheckTotals() && CheckMemoProduct() &&
                      records::ConfirmPaymentTerm(*ITerms);
  if (!passed) return;
  if (!PostEnteredInvoice) {
    MessageBox("Invoices cannot be saved yet: posting is not part of this program yet.", Caption(),
               MsgButtons::Ok, MsgIcon::Information);
    return;
  }
  platform::ui::SayLeftOutCharacters(*this);
  if (PostEnteredInvoice(GatherInvoice())) SetModalResult(mrOk);
}

EnteredInvoice TProdInv::GatherInvoice() {
  EnteredInvoice invoice;
  invoice.Editing = !Adding();
  invoice.Memo = IsMemo();
  invoice.Number = Upper(INum->text()).substr(0, 9);
  invoice.CustomerNo = Trimmed(ICustNo->text());
  invoice.CustomerName = Trimmed(ICustName->text());
  invoice.ShortName = Trimmed(EBSName->text());
  invoice.Date = Ansi(IDate->text());
  invoice.Terms = Trimmed(ITerms->currentText());
  invoice.StatementNote = Ansi(IStmntNote->text());
  invoice.Notes = Ansi(INVNOTES->text());
  invoice.KeyCode = Ansi(KeyCode->text());
  invoice.PrintInvoice = PrintFlag->isChecked();
  invoice.TaxRate = Trimmed(EBTaxRate->text()).empty() ? "0" : Trimmed(EBTaxRate->text());
  const Cents net = LenientAmount(Ansi(INet->text()));
  const Cents tax = LenientAmount(Ansi(ITax->text()));
  const Cents paid = LenientAmount(Ansi(IPaid->text()));
  invoice.Net = AmountText(net);
  invoice.Tax = AmountText(tax);
  invoice.Total = AmountText(net + tax);
  invoice.Paid = AmountText(paid);
  invoice.Due = AmountText(net + tax - paid);
  invoice.ShipTo = forms::CreatePOShipWin().Lines();
  auto lineOf = [this](int row) {
    EnteredLine line;
    line.Row = row;
    line.Code = Trimmed(Lines->Cell(row, kColCode));
    line.Quantity = StripCommas(Ansi(Lines->Cell(row, kColQuantity)));
    // A product line without a quantity sells none.
    if (line.Quantity.empty() && !line.Code.empty()) line.Quantity = "0";
    line.Description = Ansi(Lines->Cell(row, kColDescription));
    line.Price = StripCommas(Ansi(Lines->Cell(row, kColPrice)));
    line.Taxable = Ansi(Lines->Cell(row, kColTaxable)).substr(0, 1);
    line.Extension = AmountText(LineExtension(line.Quantity, line.Price).value_or(0));
    line.Cost = LineCosts(row);
    line.OnHand = LineOnHand(row);
    line.StockState = LineStockState(row);
    line.OldQuantity = OldLineQuantities(row);
    line.OldProduct = OldLineProducts(row);
    return line;
  };
  if (invoice.Memo) {
    invoice.MemoLines = forms::StoredMemoLinesOf(*Memo1);
    invoice.MemoProduct = lineOf(1);
    invoice.MemoProduct.Code = Trimmed(StkName->text());
    invoice.MemoProduct.Description = Ansi(MemoPDesc->text());
    invoice.MemoProduct.Quantity = StripCommas(Ansi(MemoQuan->text()));
    invoice.MemoProduct.Price = invoice.Net;
    invoice.MemoProduct.Extension = invoice.Net;
    return invoice;
  }
  for (int row = 1; row <= kInvoiceLines; ++row)
    if (forms::LineIsKept(*Lines, kFigureColumns, row)) invoice.Lines.push_back(lineOf(row));
  return invoice;
}

}  // namespace invoicing
