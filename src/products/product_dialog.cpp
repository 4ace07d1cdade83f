#include "products/product_dialog.h"

#include <QButtonGroup>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QVBoxLayout>
#include <optional>

#include "forms/calculator.h"
#include "forms/form_instance.h"
#include "forms/unusable_file.h"
#include "platform/text/amount.h"
#include "platform/text/codepage.h"
#include "platform/text/key_text.h"
#include "platform/text/number_text.h"
#include "platform/text/upper_case.h"
#include "platform/ui/application.h"
#include "platform/ui/message_box.h"
#include "products/product_barcode.h"
#include "records/company_rec.h"
#include "records/product_file.h"
#include "records/product_pricing.h"
#include "records/record_file.h"

namespace products {

using namespace records;
using namespace forms;

using platform::text::StripCommas;
using platform::text::ToAnsi;
using platform::text::ToQString;
using platform::text::TrimBlanks;
using namespace platform::ui;

std::string ProductEditMode = "0";
std::optional<std::string> ProductCodeBeforeEdit;
std::string EditProductPricingMethod = "F";
std::string EditProductUpdateMode = "A";
TUpdProd* UpdProd = nullptr;

TUpdProd& CreateUpdProd() {
  return FormInstance(UpdProd);
}

namespace {

const QString PercentageMessage =
    "This field requires a number. Example: 0 or 10 or 10.00 or 10.125 or you can leave it blank.";

std::string Text(const QLineEdit* field) {
  return ToAnsi(field->text());
}

// A number of the dialog: empty, or text that converts as a decimal number.
bool IsNumber(const std::string& text) {
  return StripCommas(text).empty() || platform::text::TryStrToFloat(text).has_value();
}

// A number that also fits its stored field once its commas are removed, so that saving never
// cuts digits off it.
template <std::size_t N>
bool IsStorableNumber(const std::string& text, const ShortString<N>&) {
  return IsNumber(text) && StripCommas(text).size() <= N;
}

double NumberValue(const std::string& text) {
  return platform::text::TryStrToFloat(text).value_or(0.0);
}

}  // namespace

TUpdProd::TUpdProd(QWidget* parent)
    : Form(parent),
      ProdCode(new QLineEdit(this)),
      ProdDesc(new QLineEdit(this)),
      PODesc(new QLineEdit(this)),
      KeyCode(new QLineEdit(this)),
      Location(new QLineEdit(this)),
      PrefVendor(new QLineEdit(this)),
      PSell(new QLineEdit(this)),
      ListPR(new QLineEdit(this)),
      EBPCost(new QLineEdit(this)),
      PCTMarkup(new QLineEdit(this)),
      StockBal(new QLineEdit(this)),
      Weight(new QLineEdit(this)),
      MaxQty(new QLineEdit(this)),
      MinQty(new QLineEdit(this)),
      TargetQty(new QLineEdit(this)),
      BatchNum(new QLineEdit(this)),
      ProdNotes(new QPlainTextEdit(this)),
      TaxInv(new QCheckBox("&Tax on Invoice", this)),
      TaxPO(new QCheckBox("Ta&x on PO", this)),
      NonStock(new QCheckBox("&Non-Stock Item", this)),
      NonDeplete(new QCheckBox("Non-D&epleting Item", this)),
      HoldSales(new QCheckBox("Hold Sales", this)),
      CBFixed(new QRadioButton("&Fixed", this)),
      RBMarkUp(new QRadioButton("% Mark&up from cost", this)),
      RBMargin(new QRadioButton("Mar&gin from cost", this)),
      RBDiscCost(new QRadioButton("% D&iscount from list", this)),
      RBAutoPrice(new QRadioButton("&Automatic", this)),
      RBManualPr(new QRadioButton("&Manual on batch#", this)),
      SalesLBL(new QLabel("0.00", this)),
      ProfLBL(new QLabel("0.00", this)),
      CalcButn(new QPushButton("Calculator", this)),
      OKBtn(new QPushButton("&OK", this)),
      ProdClose(new QPushButton("&Cancel", this)),
      Button2(new QPushButton("Help", this)),
      StatusBar1(new QStatusBar(this)),
      setupPanel_(new QLabel(StatusBar1)),
      changedPanel_(new QLabel(StatusBar1)) {
  SetCaption("Edit Product");
  AskBeforeDiscarding("Discard this product?");
  SetHelpKeyword("NewProduct");
  // Room for what the record's field holds; numbers may carry thousands separators as typed.
  const std::pair<QLineEdit*, int> lengths[] = {
      {ProdCode, 15}, {ProdDesc, 32}, {PODesc, 32},    {KeyCode, 10},   {Location, 20}, {PrefVendor, 20},
      {PSell, 13},    {ListPR, 13},   {EBPCost, 13},   {PCTMarkup, 10}, {StockBal, 13}, {Weight, 10},
      {MaxQty, 13},   {MinQty, 13},   {TargetQty, 13}, {BatchNum, 2}};
  for (auto [edit, length] : lengths) edit->setMaxLength(length);

  for (QLineEdit* text : {ProdCode, ProdDesc, PODesc, KeyCode, Location, PrefVendor})
    text->setMinimumWidth(240);

  auto* methods = new QButtonGroup(this);
  for (QRadioButton* button : {CBFixed, RBMarkUp, RBMargin, RBDiscCost}) methods->addButton(button);
  auto* updates = new QButtonGroup(this);
  updates->addButton(RBAutoPrice);
  updates->addButton(RBManualPr);

  auto* identity = new QFormLayout;
  identity->addRow("Product Code:", ProdCode);
  identity->addRow("Invoice &Description:", ProdDesc);
  identity->addRow("&PO Description:", PODesc);
  identity->addRow("&Key Code:", KeyCode);
  identity->addRow("&Location:", Location);
  identity->addRow("Preferred &Vendor:", PrefVendor);
  identity->addRow("&Weight:", Weight);

  auto* stock = new QFormLayout;
  stock->addRow("Stock &Balance:", StockBal);
  stock->addRow("Maximum &Quantity:", MaxQty);
  stock->addRow("Minimum Quantity:", MinQty);
  stock->addRow("Target Quantity:", TargetQty);
  stock->addRow(NonStock);
  stock->addRow(NonDeplete);
  stock->addRow(HoldSales);
  stock->addRow(TaxInv);
  stock->addRow(TaxPO);

  auto* methodBox = new QGroupBox("Pricing Method", this);
  auto* methodLayout = new QVBoxLayout(methodBox);
  for (QRadioButton* button : {CBFixed, RBMarkUp, RBMargin, RBDiscCost}) methodLayout->addWidget(button);
  auto* updateBox = new QGroupBox("Price Update", this);
  auto* updateLayout = new QVBoxLayout(updateBox);
  updateLayout->addWidget(RBAutoPrice);
  updateLayout->addWidget(RBManualPr);
  updateLayout->addWidget(new QLabel("Batch#:", updateBox));
  updateLayout->addWidget(BatchNum);

  auto* prices = new QFormLayout;
  prices->addRow("&Sales Price:", PSell);
  prices->addRow("List P&rice:", ListPR);
  prices->addRow("&Your Cost:", EBPCost);
  prices->addRow("Percentage:", PCTMarkup);
  prices->addRow("Calculated Price:", SalesLBL);
  prices->addRow("Profit:", ProfLBL);

  auto* pricing = new QHBoxLayout;
  pricing->addLayout(prices);
  pricing->addWidget(methodBox);
  pricing->addWidget(updateBox);

  auto* top = new QHBoxLayout;
  top->addLayout(identity);
  top->addLayout(stock);

  auto* buttons = new QHBoxLayout;
  buttons->addWidget(CalcButn);
  buttons->addStretch(1);
  buttons->addWidget(OKBtn);
  buttons->addWidget(ProdClose);
  buttons->addWidget(Button2);

  StatusBar1->addWidget(setupPanel_, 1);
  StatusBar1->addWidget(changedPanel_, 1);
  StatusBar1->setSizeGripEnabled(false);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(top);
  layout->addLayout(pricing);
  layout->addWidget(new QLabel("Notes / Comments:", this));
  layout->addWidget(ProdNotes);
  layout->addLayout(buttons);
  layout->addWidget(StatusBar1);

  // Tab follows the layout: each column of the top block down, the prices and their method,
  // the notes, the buttons.
  SetTabOrder({ProdCode,    ProdDesc,   PODesc,    KeyCode,   Location,   PrefVendor, Weight,    StockBal,
               MaxQty,      MinQty,     TargetQty, NonStock,  NonDeplete, HoldSales,  TaxInv,    TaxPO,
               PSell,       ListPR,     EBPCost,   PCTMarkup, CBFixed,    RBMarkUp,   RBMargin,  RBDiscCost,
               RBAutoPrice, RBManualPr, BatchNum,  ProdNotes, CalcButn,   OKBtn,      ProdClose, Button2});
  OKBtn->setDefault(true);
  QObject::connect(OKBtn, &QPushButton::clicked, [this] { OKBtnClick(); });
  QObject::connect(ProdClose, &QPushButton::clicked, [this] { ProdCloseClick(); });
  QObject::connect(Button2, &QPushButton::clicked, [this] { Button2Click(); });
  QObject::connect(CalcButn, &QPushButton::clicked, [this] { CalcButnClick(); });
  QObject::connect(PCTMarkup, &QLineEdit::textEdited, [this] { PCTMarkupChange(); });
  QObject::connect(EBPCost, &QLineEdit::textEdited, [this] { EBPCostChange(); });
  QObject::connect(ListPR, &QLineEdit::textEdited, [this] { ListPRChange(); });
  QObject::connect(PSell, &QLineEdit::textEdited, [this] { PSellChange(); });
  QObject::connect(RBMarkUp, &QRadioButton::clicked, [this] { RBMarkUpClick(); });
  QObject::connect(RBMargin, &QRadioButton::clicked, [this] { RBMarginClick(); });
  QObject::connect(RBDiscCost, &QRadioButton::clicked, [this] { RBDiscCostClick(); });
  QObject::connect(CBFixed, &QRadioButton::clicked, [this] { CBFixedClick(); });
}

void TUpdProd::SetStatusPanels(const QString& setup, const QString& changed) {
  setupPanel_->setText(setup);
  changedPanel_->setText(changed);
}

void TUpdProd::FormShow() {
  if (ProductEditMode != "0" || keepPricing_) {
    const std::string method = TrimBlanks(EditProductPricingMethod);
    QRadioButton* checked = method == "M"   ? RBMarkUp
                            : method == "G" ? RBMargin
                            : method == "D" ? RBDiscCost
                                            : CBFixed;
    checked->setChecked(true);
    (TrimBlanks(EditProductUpdateMode) == "M" ? RBManualPr : RBAutoPrice)->setChecked(true);
  } else {
    CBFixed->setChecked(true);
    if (CurrentCompany.CalculateInvoiceTaxes) TaxInv->setChecked(true);
    if (CurrentCompany.CalculatePOTaxes) TaxPO->setChecked(true);
  }
  keepPricing_ = false;
  // With an audit trail the stock changes only through invoices and receipts.
  StockBal->setEnabled(TrimBlanks(CurrentCompany.AuditTrail.Get()) != "Y");
  CalcProductPrice();
  if (CBFixed->isChecked()) CBFixedClick();
  ProdCode->setFocus();
}

std::string TUpdProd::CheckedMethod() const {
  if (RBMarkUp->isChecked()) return "M";
  if (RBMargin->isChecked()) return "G";
  if (RBDiscCost->isChecked()) return "D";
  return "F";
}

void TUpdProd::SetShownPrice(const std::string& price, const std::string& profit) {
  SalesLBL->setText(ToQString(price));
  ProfLBL->setText(ToQString(profit));
}

void TUpdProd::CalcProductPrice() {
  if (!isVisible() || CBFixed->isChecked()) return;
  if (TrimBlanks(Text(PCTMarkup)).empty()) {
    PCTMarkup->setText("0");
    return;
  }
  if (!IsNumber(Text(PCTMarkup))) {
    SalesLBL->setText("0.00");
    return;
  }
  if (TrimBlanks(Text(ListPR)).empty()) ListPR->setText("0");
  if (TrimBlanks(Text(EBPCost)).empty()) EBPCost->setText("0");
  const std::string method = CheckedMethod();
  const std::string base = method == "D" ? Text(ListPR) : Text(EBPCost);
  if (!IsNumber(base)) return;
  PriceQuote quote = CalculateProductPrice(method, Text(EBPCost), Text(ListPR), Text(PCTMarkup), {});
  // A margin of 100 percent or more, or a price too large for its field, has no price to show.
  if (quote.Refused()) {
    SetShownPrice("0.00", "0.00");
    return;
  }
  SetShownPrice(quote.ShownPrice(), quote.ShownProfit());
}

void TUpdProd::PCTMarkupChange() {
  const std::string percentage = Text(PCTMarkup);
  if (TrimBlanks(percentage).empty()) return;
  if (!IsNumber(percentage)) {
    MessageBox(PercentageMessage, "Percentage Amount");
    PCTMarkup->setFocus();
    return;
  }
  CalcProductPrice();
}

void TUpdProd::EBPCostChange() {
  if (!TrimBlanks(Text(EBPCost)).empty()) CalcProductPrice();
  if (CBFixed->isChecked()) CBFixedClick();
}

void TUpdProd::ListPRChange() {
  if (!TrimBlanks(Text(ListPR)).empty()) CalcProductPrice();
}

void TUpdProd::RBMarkUpClick() {
  PCTMarkup->setFocus();
  CalcProductPrice();
}

void TUpdProd::RBMarginClick() {
  PCTMarkup->setFocus();
  CalcProductPrice();
}

void TUpdProd::RBDiscCostClick() {
  PCTMarkup->setFocus();
  CalcProductPrice();
}

void TUpdProd::CBFixedClick() {
  // The fixed price is the price typed in; the profit follows it as it is typed.
  SalesLBL->setText(PSell->text());
  PriceQuote quote = CalculateProductPrice("F", Text(EBPCost), {}, {}, Text(PSell));
  ProfLBL->setText(quote.Refused() ? QString("0.00") : ToQString(quote.ShownProfit()));
}

void TUpdProd::PSellChange() {
  if (CBFixed->isChecked()) CBFixedClick();
}

void TUpdProd::CalcButnClick() {
  RunWindowsCalculator();
}

void TUpdProd::Button2Click() {
  Application->HelpKeyword("NewProduct");
}

void TUpdProd::ProdCloseClick() {
  Close();
}

void TUpdProd::Refuse(QWidget* field, const QString& text, const QString& title) {
  MessageBox(text, title);
  field->setFocus();
}

bool TUpdProd::CheckNumbers() {
  struct NumberField {
    QLineEdit* field;
    std::size_t width;
    const char* message;
    const char* title;
  };
  const NumberField fields[] = {
      {ListPR, ShortString<10>::Capacity(), "The List Price must be a NUMBER.", "List Price"},
      {EBPCost, ShortString<10>::Capacity(), "Your Cost must be a NUMBER.", "Your Cost"},
      {StockBal, ShortString<10>::Capacity(), "The Stock balance on hand must be a NUMBER.", "Stock Balance"},
      {Weight, ShortString<10>::Capacity(), "The Weight must be a NUMBER.", "Product Weight"},
      {MaxQty, ShortString<10>::Capacity(), "The MAX Quantity must be a NUMBER.", "Maximum Quantity"},
      {MinQty, ShortString<10>::Capacity(), "The MIN Quantity must be a NUMBER.", "Minimum Quantity"},
      {TargetQty, ShortString<10>::Capacity(), "The TARGET Quantity must be a NUMBER.", "Target Quantity"},
  };
  for (const NumberField& number : fields) {
    if (TrimBlanks(Text(number.field)).empty()) number.field->setText("0");
    const std::string text = Text(number.field);
    if (!IsNumber(text) || StripCommas(text).size() > number.width) {
      Refuse(number.field, number.message, number.title);
      return false;
    }
  }
  return true;
}

bool TUpdProd::CheckStockLevels() {
  const double minimum = NumberValue(Text(MinQty));
  const double target = NumberValue(Text(TargetQty));
  const double maximum = NumberValue(Text(MaxQty));
  if (target < minimum) {
    Refuse(TargetQty, "The TARGET Quantity must not be less than the MINIMUM quantity.", "Target Quantity");
    return false;
  }
  if (maximum < target) {
    Refuse(MaxQty, "The MAXIMUM Quantity must not be less than the TARGET quantity.", "Maximum Quantity");
    return false;
  }
  if (maximum < minimum) {
    Refuse(MaxQty, "The MAXIMUM Quantity must not be less than the MINIMUM quantity.", "Maximum Quantity");
    return false;
  }
  return true;
}

bool TUpdProd::CheckPricing() {
  if (TrimBlanks(Text(PCTMarkup)).empty()) PCTMarkup->setText("0");
  if (!IsStorableNumber(Text(PCTMarkup), ProductRec{}.Percentage)) {
    Refuse(PCTMarkup, PercentageMessage, "Percentage Amount");
    return false;
  }
  // An automatic price is calculated when the product is saved: a margin of 100 percent or more
  // has no price, and a price too large for its field would be stored cut.
  if (RBAutoPrice->isChecked() && !CBFixed->isChecked()) {
    PriceQuote quote =
        CalculateProductPrice(CheckedMethod(), Text(EBPCost), Text(ListPR), Text(PCTMarkup), {});
    if (quote.Refused()) {
      Refuse(PCTMarkup, ToQString(PriceRefusalMessage(quote.Refusal)), "Percentage Amount");
      return false;
    }
  }
  if (!IsNumber(Text(BatchNum)) || NumberValue(Text(BatchNum)) == 0) BatchNum->setText("1");
  if (RBManualPr->isChecked()) {
    if (NumberValue(Text(ListPR)) == 0) {
      Refuse(ListPR, "The List Price must not be zero to make this a manual batch pricing method.",
             "Manual Pricing - List Price");
      return false;
    }
    if (NumberValue(Text(EBPCost)) == 0) {
      Refuse(EBPCost, "Your cost must not be zero to make this a manual batch pricing method.",
             "Manual Pricing - Your Cost");
      return false;
    }
  }
  return true;
}

bool TUpdProd::CheckCodeIsNew() {
  const std::string entered = platform::text::UpperCase(TrimBlanks(Text(ProdCode)));
  if (entered == ProductCodeBeforeEdit) return true;
  ProductRec wanted;
  wanted.Code.Set(entered);
  ProductRec found;
  storage::IsamRecRef ref = 0;
  if (!ReadIfOnFile(ProductUnit(), BuildProductKey(wanted, 1), 1, found, ref)) return true;
  if (platform::text::UpperCase(TrimBlanks(found.Code.Get())) != entered) return true;
  Refuse(ProdCode,
         "This Product Code already exists for: " + ToQString(TrimBlanks(found.Description.Get())) +
             ". You need a different product code.",
         "Product Code");
  return false;
}

void TUpdProd::ApplyDefaults() {
  if (TrimBlanks(Text(PODesc)).empty()) PODesc->setText(ProdDesc->text());
  if (TrimBlanks(Text(KeyCode)).empty()) KeyCode->setText("*NONE*");
  const std::optional<platform::text::Cents> price = platform::text::ParseAmount(Text(PSell));
  if (!price) PSell->setText("0.00");
}

void TUpdProd::OKBtnClick() {
  const std::string code = TrimBlanks(Text(ProdCode));
  if (code.empty()) return Refuse(ProdCode, "You need to enter a product code.", "Product Code");
  if (!IsValidProductBarCode(code, CurrentCompany.BarCodeType.Get())) {
    return Refuse(
        ProdCode,
        "Invalid characters or length in your Product Code for bar coding. See the online help for Bar "
        "Codes.",
        "Bar Code Error");
  }
  if (TrimBlanks(Text(ProdDesc)).empty()) {
    return Refuse(ProdDesc, "You need to enter a product description to appear on your invoices.",
                  "Invoice Description");
  }
  if (!CheckNumbers() || !CheckStockLevels() || !CheckPricing() ||
      !forms::CheckReads(Caption(), [this] { return CheckCodeIsNew(); }))
    return;
  ApplyDefaults();
  // A fixed price that does not fit its field once its commas are gone would lose digits.
  if (platform::text::AmountText(*platform::text::ParseAmount(Text(PSell))).size() >
      ShortString<10>::Capacity()) {
    return Refuse(PSell, ToQString(PriceRefusalMessage(PriceRefusal::PriceTooLarge)), "Sales Price");
  }
  SetModalResult(mrOk);
}

void TUpdProd::LoadRecord(const ProductRec& product) {
  auto trimmed = [](const auto& field) { return ToQString(TrimBlanks(field.Get())); };
  ProdCode->setText(ToQString(product.Code.Get()));
  ProdDesc->setText(ToQString(product.Description.Get()));
  PODesc->setText(ToQString(product.PODescription.Get()));
  KeyCode->setText(ToQString(product.KeyCode.Get()));
  Location->setText(ToQString(product.Location.Get()));
  PrefVendor->setText(ToQString(product.PreferredVendor.Get()));
  ProdNotes->setPlainText(ToQString(product.Notes.Get()));
  PSell->setText(trimmed(product.Price));
  ListPR->setText(trimmed(product.ListPrice));
  EBPCost->setText(trimmed(product.Cost));
  PCTMarkup->setText(trimmed(product.Percentage));
  StockBal->setText(trimmed(product.OnHand));
  Weight->setText(trimmed(product.Weight));
  MaxQty->setText(trimmed(product.MaximumQuantity));
  MinQty->setText(trimmed(product.MinimumQuantity));
  TargetQty->setText(trimmed(product.TargetQuantity));
  BatchNum->setText(trimmed(product.BatchNumber));
  TaxInv->setChecked(product.TaxOnInvoice != 0);
  TaxPO->setChecked(product.TaxOnPO != 0);
  NonStock->setChecked(product.NonStock != 0);
  NonDeplete->setChecked(product.NonDepleting != 0);
  HoldSales->setChecked(product.HoldSales != 0);
}

void TUpdProd::StoreRecord(ProductRec& product) const {
  auto stripped = [](const QLineEdit* field) { return StripCommas(Text(field)); };
  product.Code.Set(TrimBlanks(Text(ProdCode)));
  product.Description.Set(Text(ProdDesc));
  product.TaxOnInvoice = TaxInv->isChecked() ? 1 : 0;
  // Prices are stored with two decimals and no separators.
  const std::optional<platform::text::Cents> price = platform::text::ParseAmount(Text(PSell));
  product.Price.Set(price ? platform::text::AmountText(*price) : std::string("0.00"));
  product.Notes.Set(ToAnsi(ProdNotes->toPlainText()));
  product.PricingMethod.Set(CheckedMethod());
  product.PriceUpdateMode.Set(RBManualPr->isChecked() ? "M" : "A");
  product.Percentage.Set(stripped(PCTMarkup));
  product.ListPrice.Set(stripped(ListPR));
  product.Cost.Set(stripped(EBPCost));
  product.OnHand.Set(stripped(StockBal));
  product.PODescription.Set(Text(PODesc));
  product.TaxOnPO = TaxPO->isChecked() ? 1 : 0;
  product.Weight.Set(stripped(Weight));
  product.KeyCode.Set(TrimBlanks(Text(KeyCode)));
  product.Location.Set(Text(Location));
  product.NonStock = NonStock->isChecked() ? 1 : 0;
  product.NonDepleting = NonDeplete->isChecked() ? 1 : 0;
  product.MaximumQuantity.Set(stripped(MaxQty));
  product.MinimumQuantity.Set(stripped(MinQty));
  product.TargetQuantity.Set(stripped(TargetQty));
  product.HoldSales = HoldSales->isChecked() ? 1 : 0;
  product.BatchNumber.Set(TrimBlanks(Text(BatchNum)));
  product.PreferredVendor.Set(Text(PrefVendor));
}

}  // namespace products
