#include "products/product_manager.h"

#include "exchange/record_export_dialog.h"
#include "forms/manager_window.h"
#include "forms/picker_windows.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QPointer>
#include <QStatusBar>
#include <QVBoxLayout>
#include <algorithm>
#include <stdexcept>
#include <vector>

#include "exchange/product_import_window.h"
#include "forms/browser_font.h"
#include "forms/font_choice.h"
#include "forms/form_instance.h"
#include "forms/list_window.h"
#include "forms/printout_notice.h"
#include "forms/record_find.h"
#include "forms/run_state.h"
#include "forms/unusable_file.h"
#include "platform/print/colors.h"
#include "platform/print/printer.h"
#include "platform/text/amount.h"
#include "platform/text/clock.h"
#include "platform/text/codepage.h"
#include "platform/text/date_text.h"
#include "platform/text/format_float.h"
#include "platform/text/key_text.h"
#include "platform/text/number_text.h"
#include "platform/text/upper_case.h"
#include "platform/ui/application.h"
#include "platform/ui/message_box.h"
#include "products/product_barcode.h"
#include "products/product_dialog.h"
#include "products/product_report.h"
#include "records/company_rec.h"
#include "records/product_file.h"
#include "records/product_pricing.h"
#include "reports/label_queue.h"
#include "storage/stat_form.h"

namespace products {

using namespace records;
using namespace forms;

using platform::text::PadLeftBlanks;
using platform::text::PadRightWith;
using platform::text::ToAnsi;
using platform::text::ToQString;
using platform::text::TrimBlanks;
using namespace platform::ui;

ProductRec ProductBuf;
ProductRec SelectedProduct;
int32_t ProductPickResult = 0;
int32_t ProductPickMode = 0;
ProductRec ProductPickStart;
int32_t ProductKeyNumber = 1;
TEditProd* EditProd = nullptr;

TEditProd& CreateEditProd() {
  return FormInstance(EditProd);
}

namespace {

PickerWindows& ProductPickers() {
  static PickerWindows pickers;
  return pickers;
}

std::string Pad(const std::string& text, std::size_t width) {
  return PadRightWith(text, ' ', width);
}

// A number shown with a pattern, or the stored text when it is no number (a damaged record
// must still show its row).
std::string FormatStoredNumber(const std::string& stored, const char* pattern) {
  std::optional<double> value = platform::text::TryStrToFloat(stored);
  return value ? platform::text::FormatFloat(pattern, *value) : stored;
}

std::string CurrentTodayText() {
  return platform::text::DateToStr(platform::text::Today());
}

}  // namespace

void AddProductPicker(const QWidget* window) {
  ProductPickers().Add(window);
}

void RemoveProductPicker(const QWidget* window) {
  ProductPickers().Remove(window);
}

std::string ProductBrowserHeading() {
  return Pad(Pad("Product Code", 15) + " " + PadLeftBlanks("In Stock", ' ', 12) + " " + Pad("Key Code", 10) +
                 " " + Pad("Invoice Description", 32) + " P T " + PadLeftBlanks("Sales Price", ' ', 12) +
                 " " + Pad("Setup Date", 10),
             storage::BRLRowEltLen);
}

std::string ProductBrowserRow(const ProductRec& product) {
  std::string code = product.Code.Get();
  std::string onHand = TrimBlanks(product.OnHand.Get());
  std::string description = product.Description.Get();
  // A record without its essentials is shown for what it is, so that it can be found and
  // deleted; the file is left as it is.
  if (TrimBlanks(code).empty() || onHand.empty() || TrimBlanks(description).empty()) {
    code = "BAD RECORD";
    onHand = "0";
    description = "DELETE THIS RECORD";
  }
  return Pad(Pad(code, 15) + " " + PadLeftBlanks(FormatStoredNumber(onHand, ",0.000"), ' ', 12) + " " +
                 Pad(product.KeyCode.Get(), 10) + " " + Pad(description, 32) + " " +
                 Pad(product.PriceUpdateMode.Get(), 1) + " " + Pad(product.PricingMethod.Get(), 1) + " " +
                 PadLeftBlanks(FormatStoredNumber(TrimBlanks(product.Price.Get()), ",0.00"), ' ', 12) + " " +
                 Pad(product.SetupDate.Get(), 10),
             storage::BRLRowEltLen);
}

TEditProd::TEditProd(QWidget* parent)
    : Form(parent),
      MainMenu1(new QMenuBar(this)),
      PopupMenu1(new QMenu(this)),
      Label1(new QLabel(this)),
      ProdBrowser(new storage::TRecBrowser(this)),
      StatusPanel0(new QLabel),
      StatusPanel1(new QLabel) {
  SetCaption("Product Manager");
  SetHelpKeyword("ProductManager");

  QMenu* product = MainMenu1->addMenu("&Product");
  Add1 = AddAction(product, "&New", nullptr);
  Edit1 = AddAction(product, "&Edit", nullptr);
  Clone1 = AddAction(product, "Cl&one", &TEditProd::PCloneClick);
  Delete1 = AddAction(product, "&Delete", nullptr);
  Print1 = AddAction(product, "&Print", &TEditProd::Print1Click);
  Search1 = AddAction(product, "&Find", &TEditProd::FindClick);
  ProductList1 = AddAction(product, "Product &List", &TEditProd::ProdListButnClick);
  AddtoLabelQueue1 = AddAction(product, "&Add to Label Queue", nullptr);
  ValidateBarCode1 = AddAction(product, "&Validate Bar Code", &TEditProd::ValidateBarCode1Click);
  ExporttoTextFile1 = AddAction(product, "E&xport to Text File", nullptr);
  ImportfromTextFile1 = AddAction(product, "&Import from Text File", &TEditProd::ImportfromTextFile1Click);
  Close2 = AddAction(product, "&Close", nullptr);
  QMenu* display = MainMenu1->addMenu("&Display");
  Code1 = AddAction(display, "By &Code", &TEditProd::Code1Click);
  ByDescription1 = AddAction(display, "By &Description", &TEditProd::ByDescription1Click);
  ByKeyCode1 = AddAction(display, "By &Key Code", &TEditProd::ByKeyCode1Click);
  PrintWindow1 = AddAction(display, "Print &Window", &TEditProd::PrintWindow1Click);
  QMenu* help = MainMenu1->addMenu("&Help");
  New1 = AddAction(help, "&Overview", &TEditProd::HelpClick);
  for (QAction* key : {Code1, ByDescription1, ByKeyCode1}) key->setCheckable(true);

  Add2 = AddAction(PopupMenu1, "&New", nullptr);
  Edit2 = AddAction(PopupMenu1, "&Edit", nullptr);
  Clone2 = AddAction(PopupMenu1, "Cl&one", &TEditProd::PCloneClick);
  Delete2 = AddAction(PopupMenu1, "&Delete", nullptr);
  Print2 = AddAction(PopupMenu1, "&Print", &TEditProd::Print1Click);
  Search2 = AddAction(PopupMenu1, "&Find", &TEditProd::FindClick);
  ProductList2 = AddAction(PopupMenu1, "Product &List", &TEditProd::ProdListButnClick);
  AddtoLabelQueue2 = AddAction(PopupMenu1, "Add to Label &Queue", nullptr);
  Close3 = AddAction(PopupMenu1, "&Close", nullptr);
  for (QAction* add : {Add1, Add2}) QObject::connect(add, &QAction::triggered, [] { AddProduct(); });
  for (QAction* edit : {Edit1, Edit2}) QObject::connect(edit, &QAction::triggered, [] { EditProduct(); });
  for (QAction* del : {Delete1, Delete2}) QObject::connect(del, &QAction::triggered, [] { DeleteProduct(); });
  for (QAction* close : {Close2, Close3}) QObject::connect(close, &QAction::triggered, [this] { Close(); });
  QObject::connect(ExporttoTextFile1, &QAction::triggered, [] { exchange::CreateProdExp().ShowModal(); });
  for (QAction* queue : {AddtoLabelQueue1, AddtoLabelQueue2})
    QObject::connect(queue, &QAction::triggered, [this] { AddtoLabelQueue1Click(); });
  ProdBrowser->SetPopupMenu(PopupMenu1);

  auto* statusBar = new QStatusBar(this);
  statusBar->addWidget(StatusPanel0, 1);
  statusBar->addWidget(StatusPanel1, 3);
  // What was done, with the file it went to: wrapped, never cut.
  StatusPanel1->setWordWrap(true);
  statusBar->setSizeGripEnabled(false);
  QBoxLayout* tools = LayOutManagerWindow(*this, MainMenu1, Label1, ProdBrowser, statusBar);
  // Each button runs its menu item, so the two can never disagree.
  auto button = [this, tools](const char* text, QAction* action) {
    return AddToolButton(*this, tools, text, [action] { action->trigger(); });
  };
  NewProd = button("&New", Add1);
  EditInvoice = button("&Edit", Edit1);
  PClone = button("&Clone", Clone1);
  InvDelete = button("Dele&te", Delete1);
  SpeedButton1 = button("&Find", Search1);
  ToPrinterButn = button("P&rint", Print1);
  ProdListButn = button("Product Li&st", ProductList1);
  SpeedButton3 = button("He&lp", New1);
  SpeedButton2 = button("Cl&ose", Close2);
  tools->addStretch(1);
  resize(900, 520);

  ProdBrowser->OnBuildRow = [this](storage::TRecBrowser* sender, storage::RowRec& rr) {
    return ProdBrowserBuildRow(sender, rr);
  };
  ProdBrowser->OnDblClick = [this](storage::TRecBrowser*) { ProdBrowserDblClick(); };
}

QAction* TEditProd::AddAction(QMenu* menu, const char* text, void (TEditProd::*handler)()) {
  return AddMenuItem(menu, text, HandlerOf(this, handler));
}

void TEditProd::FormCreate() {
  ProductKeyNumber = 1;
  Code1->setChecked(true);
}

void TEditProd::FormShow() {
  ProductCodeBeforeEdit.reset();
  ApplyCompanyEditorFont(*Label1, CurrentCompany, font());
  Label1->setText(ToQString(CurrentCompany.CompanyName.Get() + " - #" + CurrentCompany.CompanyNumber.Get()));
  ProdBrowser->SetHeader(ToQString(ProductBrowserHeading()));
  productFile_.emplace(ProductFile, OpenProductDatabase);
  if (!forms::OpenedOrHalt(*this, productFile_->Open(), "Unable to open product database")) return;
  const FontChoice browserFont = CompanyBrowserFont(CurrentCompany);
  ProdBrowser->setFont(ToQFont(browserFont));
  ProdBrowser->SetFontColor(platform::print::ColorToQColor(browserFont.color));
  // Filling a page reads its rows into ProductBuf: the product last worked on is kept, and the
  // browser is positioned once its window is up and knows how many rows it shows.
  const ProductRec lastProduct = ProductBuf;
  ProdBrowser->OnFirstUserInit = [this, lastProduct](storage::TRecBrowser*) {
    ProductBuf = lastProduct;
    GoToProduct(0);
    if (ProductPickMode != 1) return;
    const storage::IsamKeyStr start = BuildProductKey(ProductPickStart, ProductKeyNumber);
    if (!TrimBlanks(start).empty()) ProdBrowser->BrowserGoToKey(start, 0);
  };
  ProdBrowser->Attach(ProdBrowser->BrowserDataSourceCreate(ProductFile, 1, 100, ProductKeyNumber, "", "",
                                                           &ProductBuf, sizeof ProductBuf, false));
  ShowProductCount();
}

void TEditProd::FormClose() {
  ProdBrowser->Attach(nullptr);
  productFile_.reset();
  // An import appended products without their keys.
  if (RebuildNeeded) {
    // A rebuild that fails says why, and the file stays marked for its next open to rebuild.
    (void)RebuildProductFile();
    RebuildNeeded = 0;
  }
}

void TEditProd::ImportfromTextFile1Click() {
  exchange::TProdImport& window = exchange::CreateProdImport();
  window.CloseOpener = [this] { Close(); };
  window.ShowModal();
}

int32_t TEditProd::ProdBrowserBuildRow(storage::TRecBrowser*, storage::RowRec& rr) {
  rr.Text[0] = ProductBrowserRow(ProductBuf);
  return 0;
}

// A product without a description would print a label with nothing on it: it is not queued.
void TEditProd::AddtoLabelQueue1Click() {
  if (!ReadCurrentRow() || TrimBlanks(ProductBuf.Description.Get()).empty()) return;
  StatusPanel1->setText(ToQString(reports::QueueProduct(ProductBuf)));
}

bool TEditProd::ReadCurrentRow() {
  return ReadHighlightedRow(*ProdBrowser);
}

void TEditProd::ShowProductCount() {
  StatusPanel0->setText(QString("Products: %1").arg(storage::IsamUsedKeys(ProductFile, ProductKeyNumber)));
}

void TEditProd::GoToProduct(storage::IsamRecRef ref) {
  ProdBrowser->BrowserGoToKey(BuildProductKey(ProductBuf, ProductKeyNumber), ref);
}

void TEditProd::ProdBrowserDblClick() {
  if (!ProductPickers().AnyVisible()) {
    EditProduct();
    return;
  }
  SelectedProduct = ProductRec{};
  if (!ReadCurrentRow()) return;
  SelectedProduct = ProductBuf;
  ProductPickResult = 8;
  Close();
}

void TEditProd::keyPressEvent(QKeyEvent* event) {
  if (event->modifiers() == Qt::NoModifier) {
    switch (event->key()) {
      case Qt::Key_Return:
      case Qt::Key_Enter:
        ProdBrowserDblClick();
        return;
      case Qt::Key_Delete:
        DeleteProduct();
        return;
      default:
        break;
    }
  }
  Form::keyPressEvent(event);
}

void TEditProd::SetKeyNumber(int32_t keyNr) {
  Code1->setChecked(keyNr == 1);
  ByDescription1->setChecked(keyNr == 2);
  ByKeyCode1->setChecked(keyNr == 3);
  ProductKeyNumber = keyNr;
  if (!ProdBrowser->DataSource()) return;
  // The browser reads rows into ProductBuf when it changes keys: the highlighted product is kept
  // aside and looked up again under the new key.
  if (!ReadCurrentRow()) {
    ProdBrowser->BrowserSetKeyNumber(keyNr);
    return;
  }
  const storage::IsamRecRef ref = ProdBrowser->BrowserCurrentRef();
  const ProductRec highlighted = ProductBuf;
  ProdBrowser->BrowserSetKeyNumber(keyNr);
  ProductBuf = highlighted;
  GoToProduct(ref);
}

void TEditProd::Code1Click() {
  SetKeyNumber(1);
}

void TEditProd::ByDescription1Click() {
  SetKeyNumber(2);
}

void TEditProd::ByKeyCode1Click() {
  SetKeyNumber(3);
}

void TEditProd::FindClick() {
  FindProduct(*ProdBrowser, ProductBuf);
}

void TEditProd::PrintWindow1Click() {
  forms::PrintWindowShowingWhere(*this);
}

void TEditProd::HelpClick() {
  Application->HelpKeyword("ProductManager");
}

void TEditProd::ValidateBarCode1Click() {
  if (!ReadCurrentRow()) return;
  const std::string error = ProductBarCodeError(platform::text::UpperCase(TrimBlanks(ProductBuf.Code.Get())),
                                                CurrentCompany.BarCodeType.Get());
  if (error.empty()) {
    ShowMessage("This is a valid Product Code for Bar Coding.");
  } else {
    MessageBox(ToQString(error), "Bar Code Error", MsgButtons::Ok, MsgIcon::Error);
  }
}

void TEditProd::Print1Click() {
  if (!ReadCurrentRow()) return;
  PrintProductSheet(ProductBuf);
  StatusPanel1->setText(
      platform::print::PrintedNotice("Product: " + ToQString(TrimBlanks(ProductBuf.Code.Get()))));
}

void TEditProd::ProdListButnClick() {
  const TModalResult answer =
      MessageBox("The products will be sorted by description. Would you rather sort by product code?",
                 "Product List", MsgButtons::YesNoCancel, MsgIcon::Question);
  if (answer == mrCancel) return;
  const bool byCode = answer == mrYes;
  ListWindowFileName = "Product";
  storage::TStatForm& status = storage::EnsureStatForm();
  status.SetCaption("Product List");
  status.ClearStatusLines();
  status.Label2->setText("Preparing list...");
  status.Show();
  Application->ProcessMessages();
  std::vector<std::string> lines;
  try {
    lines = ProductListLines(byCode ? 1 : 2);
  } catch (const records::FileUnusable& failure) {
    status.Hide();
    forms::TellFileUnusable(failure, "Product List");
    return;
  }
  const bool loaded = LoadListReport(lines);
  status.Hide();
  if (!loaded) return;
  CreateListWindow().SetCaption(byCode ? "Product List by Code" : "Product List by Description");
  ShowLoadedListReport();
}

// ---- the flows ----

namespace {

// The dialog for a new product, new or cloned: the status panels and the code reference of the
// duplicate check.
void PrepareNewProductDialog(TUpdProd& dialog, const QString& caption) {
  ProductEditMode = "0";
  dialog.SetCaption(caption);
  dialog.SetStatusPanels("Setup Date: " + ToQString(CurrentTodayText()), "Last Changed:");
  ProductCodeBeforeEdit.reset();
}

// Adds ProductBuf as the dialog left it, with the automatic price, and shows it in the browser.
void AddDialogProduct(TUpdProd& dialog) {
  ProductBuf = ProductRec{};
  dialog.StoreRecord(ProductBuf);
  ProductBuf.SetupDate.Set(CurrentTodayText());
  ApplyAutomaticPrice(ProductBuf);
  storage::IsamRecRef ref = 0;
  records::RequireDone(AddProductRecord(ProductBuf, ref), "Add operation failed");
  TEditProd& manager = CreateEditProd();
  manager.GoToProduct(ref);
  manager.ShowProductCount();
}

}  // namespace

void AddProduct() {
  if (forms::RefuseEntryWhilePostingWaits(ProductUnit(), "A new product", "added", "Add Product")) return;
  TUpdProd& dialog = CreateUpdProd();
  ProductBuf = ProductRec{};
  ProductRec blank;
  blank.Percentage.Set("0.00");
  blank.ListPrice.Set("0.00");
  blank.Cost.Set("0.00");
  blank.Price.Set("0.00");
  blank.OnHand.Set("0");
  blank.Weight.Set("0.00");
  blank.MaximumQuantity.Set("0");
  blank.MinimumQuantity.Set("0");
  blank.TargetQuantity.Set("0");
  blank.BatchNumber.Set("1");
  dialog.LoadRecord(blank);
  dialog.RBAutoPrice->setChecked(true);
  PrepareNewProductDialog(dialog, "Add Product");
  if (dialog.ShowModal() != mrOk) return;
  AddDialogProduct(dialog);
}

void TEditProd::PCloneClick() {
  if (!ReadCurrentRow()) return;
  if (forms::RefuseEntryWhilePostingWaits(ProductUnit(), "A new product", "added", "Add Product")) return;
  TUpdProd& dialog = CreateUpdProd();
  ProductRec clone = ProductBuf;
  clone.OnHand.Set("0");
  dialog.LoadRecord(clone);
  // A clone keeps the pricing of the product it was made from.
  EditProductPricingMethod = TrimBlanks(clone.PricingMethod.Get());
  EditProductUpdateMode = TrimBlanks(clone.PriceUpdateMode.Get());
  dialog.KeepPricingOfRecord(true);
  PrepareNewProductDialog(dialog, "Add Product - Clone: " + ToQString(TrimBlanks(clone.Code.Get())));
  if (dialog.ShowModal() != mrOk) return;
  AddDialogProduct(dialog);
}

void EditProduct() {
  TEditProd& manager = CreateEditProd();
  ProductEditMode = "1";
  if (!manager.ReadCurrentRow()) return;
  if (forms::RefuseEntryWhilePostingWaits(ProductUnit(), forms::RecordSubject(ProductUnit(), ProductBuf),
                                          "changed", "Edit Product"))
    return;
  const ProductRec beforeImage = ProductBuf;
  const storage::IsamRecRef ref = manager.ProdBrowser->BrowserCurrentRef();
  TUpdProd& dialog = CreateUpdProd();
  dialog.SetCaption("Edit Product");
  ProductCodeBeforeEdit = platform::text::UpperCase(TrimBlanks(ProductBuf.Code.Get()));
  EditProductPricingMethod = TrimBlanks(ProductBuf.PricingMethod.Get());
  EditProductUpdateMode = TrimBlanks(ProductBuf.PriceUpdateMode.Get());
  dialog.LoadRecord(ProductBuf);
  dialog.SetStatusPanels("Setup Date: " + ToQString(ProductBuf.SetupDate.Get()),
                         "Last Changed: " + ToQString(ProductBuf.ChangedDate.Get()));
  if (dialog.ShowModal() != mrOk) return;
  ProductRec edited = beforeImage;
  dialog.StoreRecord(edited);
  edited.ChangedDate.Set(CurrentTodayText());
  ApplyAutomaticPrice(edited);
  records::RequireDone(UpdateProductRecord(edited, beforeImage, ref), "Modify operation failed");
  ProductBuf = edited;
  manager.GoToProduct(ref);
}

void DeleteProduct() {
  TEditProd& manager = CreateEditProd();
  if (!manager.ReadCurrentRow()) return;
  // Refused before anything is asked: the deletion could not be kept while a posting waits.
  if (forms::RefuseEntryWhilePostingWaits(ProductUnit(), forms::RecordSubject(ProductUnit(), ProductBuf),
                                          "deleted", "Delete Product"))
    return;
  const QString code = ToQString(TrimBlanks(ProductBuf.Code.Get()));
  const std::string stock = TrimBlanks(ProductBuf.OnHand.Get());
  if (!stock.empty() && stock != "0") {
    MessageBox(
        "This product has a stock balance. If you remove this product the stock balance will also be "
        "removed.",
        "Please Note - Code: " + code);
  }
  if (MessageBox("Are you sure you want to delete this product?", "Delete Product Code: " + code,
                 MsgButtons::YesNo, MsgIcon::Question) != mrYes)
    return;
  records::RequireDone(DeleteProductRecord(manager.ProdBrowser->BrowserCurrentRef()),
                       "Product delete failed");
  manager.ProdBrowser->BrowserRefresh();
  manager.ShowProductCount();
}

}  // namespace products
