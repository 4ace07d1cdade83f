#include "reports/label_wizard.h"

#include <QApplication>
#include <QBoxLayout>
#include <QFileInfo>
#include <QGridLayout>
#include <QHeaderView>
#include <QMenuBar>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <array>
#include <cstdio>
#include <cstring>

#include "forms/printer_setup.h"
#include "forms/run_state.h"
#include "forms/saved_rows.h"
#include "forms/unusable_file.h"
#include "platform/files/file.h"
#include "platform/print/colors.h"
#include "platform/print/printer.h"
#include "platform/text/codepage.h"
#include "platform/text/key_text.h"
#include "platform/text/number_text.h"
#include "platform/ui/application.h"
#include "platform/ui/common_dialogs.h"
#include "platform/ui/desktop.h"
#include "platform/ui/message_box.h"
#include "records/company_rec.h"
#include "reports/label_printing.h"
#include "reports/label_queue.h"

namespace reports {

using platform::ui::MessageBox;
using platform::ui::mrYes;
using platform::ui::MsgButtons;

Tlblwiz* lblwiz = nullptr;
LabelWizardHooks LabelHooks;

namespace {

platform::ui::FileDialogRequest FileRequest(const char* filter, const char* extension) {
  platform::ui::FileDialogRequest request;
  request.filter = filter;
  request.defaultExt = extension;
  return request;
}

const char* const kQueueFilter = "Record List (*.LST)|*.LST";
const char* const kLoadTitle = "Load Records";

}  // namespace

Tlblwiz::Tlblwiz(QWidget* parent) : Form(parent) {
  setObjectName("lblwiz");
  setWindowTitle("Label Wizard / Print Queue");
  SetHelpKeyword("LabelWizard");
  auto* layout = new QVBoxLayout(this);
  BuildMenus(layout);
  BuildTools(layout);

  auto* filterRow = new QHBoxLayout;
  auto* filterLabel = new QLabel("F&ilter Selection:", this);
  filterRow->addWidget(filterLabel);
  FilterEdit = new QLineEdit(this);
  FilterEdit->setMaxLength(25);
  filterLabel->setBuddy(FilterEdit);
  filterRow->addWidget(FilterEdit);
  const std::array<const char*, 3> filterButtons{"&Customers", "&Vendors", "Prod&ucts"};
  for (int k = 0; k < 3; ++k) {
    auto* button = new QPushButton(filterButtons[k], this);
    QObject::connect(button, &QPushButton::clicked, this, [this, k] { FilterClick(k); });
    filterRow->addWidget(button);
  }
  auto* filterHelp = new QPushButton("Help", this);
  QObject::connect(filterHelp, &QPushButton::clicked, this, [this] { FilterHelpClick(); });
  filterRow->addWidget(filterHelp);
  layout->addLayout(filterRow);

  LabelList = new QTreeWidget(this);
  LabelList->setObjectName("LabelList");
  LabelList->setRootIsDecorated(false);
  LabelList->setSelectionBehavior(QAbstractItemView::SelectRows);
  LabelList->setStyleSheet(
      "QTreeWidget::item { border-right: 1px solid palette(midlight);"
      " border-bottom: 1px solid palette(midlight); }");
  LabelList->setHeaderLabels({"No./Code", "Name/Product Desc.", "Sort Cd/Price", "Type/Key Code", "C"});
  const std::array<int, 5> widths{75, 200, 100, 145, 25};
  for (int c = 0; c < 5; ++c) LabelList->setColumnWidth(c, widths[c]);
  LabelList->header()->setSectionsClickable(true);
  QObject::connect(LabelList->header(), &QHeaderView::sectionClicked, this,
                   [this](int column) { LabelListColumnClick(column); });
  LabelList->setMinimumHeight(fontMetrics().height() * 12);  // a header and ten rows or so
  layout->addWidget(LabelList, 1);
  BuildLayoutControls(layout);
  StatusLine = new QLabel(this);
  // "Records saved to file: " and a path of any length: wrapped, not widening the window.
  StatusLine->setWordWrap(true);
  layout->addWidget(StatusLine);

  LabelPrintQueue.Changed = [this] { FillList(); };
  LabelPrintQueue.StatusShown = [this](const std::string& text) {
    SetStatus(platform::text::ToQString(text));
  };
  FillList();
  RestoreLastLayout();
}

void Tlblwiz::BuildMenus(QBoxLayout* layout) {
  auto* menus = new QMenuBar(this);
  layout->setMenuBar(menus);
  auto item = [this](QMenu* menu, const char* caption, auto handler) {
    QAction* action = menu->addAction(caption);
    QObject::connect(action, &QAction::triggered, this, handler);
    return action;
  };
  QMenu* label = menus->addMenu("&Label");
  item(label, "&Open...", [this] { Open2Click(); });
  item(label, "&Save As...", [this] { SaveAs1Click(); });
  item(label, "Calibration &Ruler", [this] { CalibrationRuler1Click(); });
  label->addSeparator();
  item(label, "&Close", [this] { Close(); });

  QMenu* records = menus->addMenu("&Records");
  Add3 = item(records, "Add &Customer", [this] { AddOneClick(); });
  AddVendor1 = item(records, "Add &Vendor", [this] { AddOneVendClick(); });
  AddProduct1 = item(records, "Add &Product", [this] { SpeedButton5Click(); });
  records->addSeparator();
  item(records, "&Delete Item", [this] { SpeedButton2Click(); });
  item(records, "Delete &All Items", [this] { SpeedButton3Click(); });
  records->addSeparator();
  item(records, "Load All V&endors", [this] { LoadAll(LoadAllVendors); });
  item(records, "&Load All Customers", [this] { LoadAll(LoadAllCustomers); });
  item(records, "L&oad All Products", [this] { LoadAll(LoadAllProducts); });
  records->addSeparator();
  item(records, "&Save To File", [this] { SavetoFileClick(); });
  item(records, "Load &From File", [this] { LoadFrmFileClick(); });
  records->addSeparator();
  const std::array<const char*, 4> agingItems{"Load 0-30 Days", "Load 31-60 Days", "Load 61-90 Days",
                                              "Load Over 90 Days"};
  for (int k = 0; k < 4; ++k) item(records, agingItems[k], [this, k] { LoadAging(k + 1); });
  records->addSeparator();
  item(records, "Address E&xport to Text File", [this] { ExportTextClick(); });

  QMenu* help = menus->addMenu("&Help");
  item(help, "&Overview", [this] { HelpClick(); });
}

// The tool row: the speed buttons carry their text as a hint; two rows of seven, so that the
// window fits a small screen.
void Tlblwiz::BuildTools(QBoxLayout* layout) {
  tools_ = new QGridLayout;
  int placed = 0;
  auto tool = [&](const char* hint, auto handler, const char* caption = nullptr) {
    auto* button = new QPushButton(caption ? caption : hint, this);
    button->setToolTip(hint);
    QObject::connect(button, &QPushButton::clicked, this, handler);
    tools_->addWidget(button, placed / 7, placed % 7);
    ++placed;
    return button;
  };
  FindCustomer = tool("Find Customer", [this] { AddOneClick(); });
  FindVendor = tool("Find Vendor", [this] { AddOneVendClick(); });
  FindProduct = tool("Find Product", [this] { SpeedButton5Click(); });
  tool("Delete Record", [this] { SpeedButton2Click(); });
  tool("Clear All Records", [this] { SpeedButton3Click(); });
  tool("Save Records to File", [this] { SavetoFileClick(); });
  tool("Load Records from Saved File", [this] { LoadFrmFileClick(); });
  const std::array<const char*, 4> agingHints{
      "Load Customers with 0-30 Day Balance", "Load Customers with 31-60 Day Balance",
      "Load Customers with 61-90 Day Balance", "Load Customers with over 90 Day Balance"};
  const std::array<const char*, 4> agingCaptions{"0-30", "31-60", "61-90", "Over 90"};
  for (int k = 0; k < 4; ++k)
    AgingButtons[k] = tool(
        agingHints[k], [this, k] { LoadAging(k + 1); }, agingCaptions[k]);
  tool("Address export to file", [this] { ExportTextClick(); });
  tool("Help", [this] { HelpClick(); });
  PrintSetup = tool(
      "Print Setup", [this] { PrintSetupClick(); }, "Print S&etup");
  layout->addLayout(tools_);
  layout->setAlignment(tools_, Qt::AlignLeft);
}

Tlblwiz::~Tlblwiz() {
  LabelPrintQueue.Changed = nullptr;
  LabelPrintQueue.StatusShown = nullptr;
  if (lblwiz == this) lblwiz = nullptr;
}

void Tlblwiz::FormShow() {
  const records::CompanyRec& c = records::CurrentCompany;
  const std::array<std::pair<std::string, std::string>, 3> captions{
      {{c.AgingCaption1.Get(), c.AgingDays1.Get()},
       {c.AgingCaption2.Get(), c.AgingDays2.Get()},
       {c.AgingCaption3.Get(), c.AgingDays3.Get()}}};
  for (int k = 0; k < 3; ++k) {
    const std::string caption = platform::text::TrimBlanks(captions[k].first);
    AgingButtons[k]->setText(platform::text::ToQString(
        caption.empty() ? platform::text::TrimBlanks(captions[k].second) : caption));
  }
  AgingButtons[3]->setText(
      platform::text::ToQString("Over " + platform::text::TrimBlanks(c.AgingDays3.Get())));
  StartLabel->setText("1");
  Copies->setText("1");
  UseCmpAddClick();
  EnableHookedActions();
  // As wide as the tool row, up to the right edge of "Print S&etup" plus 25.
  resize(layout()->contentsMargins().left() + tools_->sizeHint().width() + 25, height());
  if (PrnButn->isEnabled()) LabelList->setFocus();
}

void Tlblwiz::EnableHookedActions() {
  FindCustomer->setEnabled(bool(LabelHooks.PickCustomer));
  Add3->setEnabled(bool(LabelHooks.PickCustomer));
  FindVendor->setEnabled(bool(LabelHooks.PickVendor));
  AddVendor1->setEnabled(bool(LabelHooks.PickVendor));
  FindProduct->setEnabled(bool(LabelHooks.PickProduct));
  AddProduct1->setEnabled(bool(LabelHooks.PickProduct));
}

void Tlblwiz::AppendPicked(LabelQueueRow row) {
  LabelList->setFocus();
  LabelPrintQueue.Append(std::move(row));
  ShowSelectedCount();
  LabelList->scrollToItem(LabelList->topLevelItem(LabelList->topLevelItemCount() - 1));
}

void Tlblwiz::AddOneClick() {
  if (!LabelHooks.PickCustomer) return;
  if (const auto customer = LabelHooks.PickCustomer()) AppendPicked(CustomerQueueRow(*customer));
}

void Tlblwiz::AddOneVendClick() {
  if (!LabelHooks.PickVendor) return;
  if (const auto vendor = LabelHooks.PickVendor()) AppendPicked(VendorQueueRow(*vendor));
}

void Tlblwiz::SpeedButton5Click() {
  if (!LabelHooks.PickProduct) return;
  if (const auto product = LabelHooks.PickProduct())
    AppendPicked(ProductQueueRow(*product, ProductColumn::Location));
}

void Tlblwiz::PrintSetupClick() {
  forms::SetUpPrinter();
}

void Tlblwiz::HelpClick() {
  platform::ui::Application->HelpKeyword("LabelWizard");
}

void Tlblwiz::FilterHelpClick() {
  platform::ui::Application->HelpKeyword("LabelFilter");
}

void Tlblwiz::SetStatus(const QString& text) {
  StatusLine->setText(text);
}

void Tlblwiz::FillList() {
  LabelList->clear();
  QList<QTreeWidgetItem*> items;
  items.reserve(LabelPrintQueue.Count());
  for (const LabelQueueRow& row : LabelPrintQueue.Rows()) {
    QStringList texts;
    for (int c = 0; c < 5; ++c) texts << platform::text::ToQString(row.Column(c));
    items << new QTreeWidgetItem(texts);
  }
  LabelList->addTopLevelItems(items);
}

void Tlblwiz::ShowSelectedCount() {
  SetStatus(QString::number(LabelPrintQueue.Count()) + " records are selected.");
}

void Tlblwiz::ShowAddedCount(int added) {
  SetStatus(QString::number(added) + " records were added.");
  if (added > 0 && LabelList->topLevelItemCount() > 0)
    LabelList->scrollToItem(LabelList->topLevelItem(LabelList->topLevelItemCount() - 1));
}

void Tlblwiz::SpeedButton2Click() {
  const QList<QTreeWidgetItem*> selected = LabelList->selectedItems();
  if (selected.isEmpty()) {
    MessageBox(
        "You have not selected a record for deletion. To select a record, click on column 1 (Number) of that "
        "record to hilite it and then select the delete option.",
        "Delete Record");
    return;
  }
  LabelPrintQueue.Remove(LabelList->indexOfTopLevelItem(selected.first()));
  ShowSelectedCount();
}

void Tlblwiz::SpeedButton3Click() {
  if (LabelPrintQueue.Empty()) {
    QApplication::beep();
    return;
  }
  if (MessageBox("This will clear all records in the print queue. Continue?", "Please Confirm",
                 MsgButtons::YesNo) != mrYes)
    return;
  LabelPrintQueue.Clear();
  SetStatus("All records were removed from the queue.");
}

void Tlblwiz::LoadAll(int (*load)()) {
  int added = 0;
  if (forms::ReadAll(kLoadTitle, [&] { added = load(); })) ShowAddedCount(added);
}

void Tlblwiz::LoadAging(int category) {
  const records::CompanyRec& c = records::CurrentCompany;
  const std::array limits{c.AgingDays1.Get(), c.AgingDays2.Get(), c.AgingDays3.Get(), c.AgingDays3.Get()};
  const std::array titles{c.AgingCaption1.Get(), c.AgingCaption2.Get(), c.AgingCaption3.Get(),
                          "Over " + c.AgingDays3.Get()};
  const int index = category - 1;
  if (platform::text::TrimBlanks(limits[index]).empty()) {
    MessageBox(QString("Category %1 has a bad value in your aging days (Company Setup). Unable to process.")
                   .arg(std::min(category, 3)),
               "");
    return;
  }
  int added = 0;
  if (!forms::ReadAll(kLoadTitle, [&] { added = LoadAgingCategory(category); })) return;
  if (added == 0)
    MessageBox("No records were found.",
               platform::text::ToQString(platform::text::TrimBlanks(titles[index])));
  else
    ShowAddedCount(added);
}

void Tlblwiz::FilterClick(int kind) {
  static const std::array<const char*, 3> nouns{"customers", "vendors", "products"};
  static const std::array<const char*, 3> none{
      "No matching records were found in the Mailing List Sort Code or Customer Type fields.",
      "No matching records were found in the Mailing List Sort Code or Vendor Type fields.",
      "No matching records were found in Product Description or Key Code fields."};
  static const std::array<int (*)(), 3> loadAll{LoadAllCustomers, LoadAllVendors, LoadAllProducts};
  const std::string filter = platform::text::ToAnsi(FilterEdit->text());
  if (platform::text::TrimBlanks(filter).empty()) {
    if (MessageBox(QString("You have not entered any filter selection. Do you want to load all %1?")
                       .arg(nouns[kind]),
                   "Filter Selection Empty", MsgButtons::YesNo, platform::ui::MsgIcon::None,
                   platform::ui::mrNo) == mrYes)
      LoadAll(loadAll[kind]);
    return;
  }
  int added = 0;
  if (!forms::ReadAll(kLoadTitle, [&] { added = LoadByFilter(static_cast<QueueKind>(kind), filter); }))
    return;
  if (added == 0) MessageBox(none[kind], "");
  ShowAddedCount(added);
}

void Tlblwiz::SavetoFileClick() {
  if (LabelPrintQueue.Empty()) {
    MessageBox("You do not have any customer records to save.", "Save Records");
    return;
  }
  platform::ui::FileDialogRequest request = FileRequest(kQueueFilter, "LST");
  if (!platform::ui::SaveFileDialog(request)) return;
  // A file that cannot be written was told with its reason.
  if (!SaveQueueFile(request.fileName.toStdString(), LabelPrintQueue.Rows())) return;
  forms::LabelsQueued = 0;
  SetStatus("Records saved to file: " + request.fileName + ".");
}

void Tlblwiz::LoadFrmFileClick() {
  platform::ui::FileDialogRequest request = FileRequest(kQueueFilter, "LST");
  if (!platform::ui::OpenFileDialog(request)) return;
  std::vector<LabelQueueRow> rows;
  if (!ReadQueueFile(request.fileName.toStdString(), rows)) {
    MessageBox("Unable to read " + request.fileName + ".", "Load Records");
    return;
  }
  LabelPrintQueue.AppendAll(std::move(rows));
  ShowSelectedCount();
}

void Tlblwiz::ExportTextClick() {
  if (LabelPrintQueue.Empty()) {
    MessageBox("You do not have any records listed to export addresses for.", "Export Address");
    return;
  }
  if (MessageBox(
          "This will create a text file of addresses for all vendors and/or customers in the print queue. "
          "Continue?",
          "Export Addresses", MsgButtons::YesNo) != mrYes)
    return;
  platform::ui::FileDialogRequest request = FileRequest("Record List (*.TXT)|*.TXT", "TXT");
  if (!platform::ui::SaveFileDialog(request)) return;
  AddressExport result;
  if (!forms::ReadAll("Export Address", [&] { result = BuildAddressExport(LabelPrintQueue.Rows()); })) return;
  if (!forms::WriteTextLines(request.fileName.toStdString(), result.Lines)) return;
  forms::LabelsQueued = 0;
  SetStatus("Address text saved to file: " + request.fileName + ".");
  QString done = "All addresses have been exported to text file.";
  if (result.Missing > 0)
    done += QString(" %1 queued record(s) are no longer on file and were left out.").arg(result.Missing);
  MessageBox(done, "Export Complete");
}

void Tlblwiz::LabelListColumnClick(int column) {
  LabelPrintQueue.SortByColumn(column);
}

Tlblwiz& Createlblwiz() {
  if (!lblwiz) lblwiz = new Tlblwiz;
  return *lblwiz;
}

}  // namespace reports

namespace reports {

namespace {

QLineEdit* Box(QGridLayout* grid, int row, int column, const char* caption, int maxLength) {
  auto* edit = new QLineEdit(grid->parentWidget());
  edit->setMaxLength(maxLength);
  auto* label = new QLabel(caption, grid->parentWidget());
  label->setBuddy(edit);
  grid->addWidget(label, row, column * 2);
  grid->addWidget(edit, row, column * 2 + 1);
  return edit;
}

// Boxes of digits only, as many as the field holds.
QLineEdit* DigitBox(QGridLayout* grid, int row, int column, const char* caption, int digits) {
  QLineEdit* edit = Box(grid, row, column, caption, digits);
  edit->setValidator(
      new QRegularExpressionValidator(QRegularExpression(QString("[0-9 ]{0,%1}").arg(digits)), edit));
  return edit;
}

int BoxNumber(const QLineEdit* box) {
  return platform::text::StrToInt(platform::text::TrimBlanks(box->text().toStdString()));
}

// Empty or starting with "0" counts as 1.
int AtLeastOne(QLineEdit* box) {
  if (box->text().trimmed().isEmpty() || box->text().trimmed().startsWith('0')) box->setText("1");
  return BoxNumber(box);
}

// The line width as the layout has it, the box left as it stands: empty or "0" is the thinnest
// rule the printer draws. Changing the box here would make the next print ask to save a layout
// the user never changed.
int LayoutLineWidth(const QLineEdit* box) {
  return box->text().trimmed().isEmpty() ? 0 : BoxNumber(box);
}

const char* const kReady = "Ready. Add and remove records as needed or select print button.";
const char* const kLayoutFilter = "Label files (*.LBL)|*.LBL";

}  // namespace

void Tlblwiz::BuildLayoutControls(QBoxLayout* layout) {
  auto* panel = new QWidget(this);
  auto* grid = new QGridLayout(panel);
  Description = Box(grid, 0, 0, "Layout &Description:", 50);
  LeftMargin = DigitBox(grid, 1, 0, "Left Margin:", 3);
  TopMargin = DigitBox(grid, 1, 1, "Top Margin:", 3);
  Columns = DigitBox(grid, 2, 0, "Columns Across:", 1);
  Rows = DigitBox(grid, 2, 1, "Rows Down:", 2);
  LabelWidth = DigitBox(grid, 3, 0, "Label Width:", 4);
  LabelHeight = DigitBox(grid, 3, 1, "Label Height:", 4);
  StartLabel = DigitBox(grid, 4, 0, "&Start at Label:", 2);
  Copies = DigitBox(grid, 4, 1, "Copies of ea. label:", 3);
  LineWidth = DigitBox(grid, 5, 0, "Line Width:", 1);
  LineWidth->setText("0");
  Caption = Box(grid, 5, 1, "Send/Label Caption:", 10);
  UseShipping = new QCheckBox("Use Shipping Address", panel);
  UseCmpAdd = new QCheckBox("Print company return address", panel);
  PrintLine = new QCheckBox("Print line between addresses", panel);
  grid->addWidget(UseShipping, 6, 0, 1, 2);
  grid->addWidget(UseCmpAdd, 6, 2, 1, 2);
  grid->addWidget(PrintLine, 7, 0, 1, 2);
  FontButn = new QPushButton("&Font", panel);
  FontLabel = new QLabel(panel);
  grid->addWidget(FontButn, 8, 0);
  grid->addWidget(FontLabel, 8, 1);
  BitMpButn = new QPushButton("&Bitmap", panel);
  BitmapPath = new QLabel(panel);
  BitmapPath->setTextInteractionFlags(Qt::TextSelectableByMouse);
  grid->addWidget(BitMpButn, 8, 2);
  grid->addWidget(BitmapPath, 8, 3);
  PrnButn = new QPushButton("&Print Labels", panel);
  auto* close = new QPushButton("Close", panel);
  grid->addWidget(PrnButn, 9, 2);
  grid->addWidget(close, 9, 3);
  QObject::connect(FontButn, &QPushButton::clicked, this, [this] { FontButnClick(); });
  QObject::connect(BitMpButn, &QPushButton::clicked, this, [this] { BitMpButnClick(); });
  QObject::connect(PrnButn, &QPushButton::clicked, this, [this] { PrnButnClick(); });
  QObject::connect(close, &QPushButton::clicked, this, [this] { Close(); });
  QObject::connect(UseCmpAdd, &QCheckBox::clicked, this, [this] { UseCmpAddClick(); });
  layout->addWidget(panel);
  ShowLayoutFont();
}

void Tlblwiz::UseCmpAddClick() {
  const bool on = UseCmpAdd->isChecked();
  for (QWidget* control : std::initializer_list<QWidget*>{PrintLine, LineWidth, Caption, BitMpButn})
    control->setEnabled(on);
  BitmapPath->setText(on ? platform::text::ToQString(LabelLayout.BitmapPath.Get()) : "");
}

// The label beside "&Font" shows the layout's font in that font.
void Tlblwiz::ShowLayoutFont() {
  const platform::ui::FontChoice font = LayoutFont(LabelLayout);
  FontLabel->setText(font.name);
  if (font.name.trimmed().isEmpty()) {
    FontLabel->setFont(QFont());
    FontLabel->setPalette(QPalette());
    return;
  }
  FontLabel->setFont(platform::ui::ToQFont(font));
  QPalette palette = FontLabel->palette();
  palette.setColor(QPalette::WindowText, platform::print::ColorToQColor(font.color));
  FontLabel->setPalette(palette);
}

void Tlblwiz::FontButnClick() {
  platform::ui::FontRequest request;
  request.font = LayoutFont(LabelLayout);
  if (request.font.name.trimmed().isEmpty()) request.font.name = font().family();
  if (request.font.size <= 0) request.font.size = 10;
  if (!platform::ui::FontDialog(request)) return;
  SetLayoutFont(LabelLayout, request.font);
  ShowLayoutFont();
}

void Tlblwiz::BitMpButnClick() {
  platform::ui::FileDialogRequest request = FileRequest("Bitmap Image (*.BMP)|*.BMP", "BMP");
  const QString shown = BitmapPath->text().trimmed();
  if (!shown.isEmpty()) {
    request.fileName = shown;
    request.initialDir = QFileInfo(shown).absolutePath();
  }
  if (!platform::ui::OpenFileDialog(request)) return;
  BitmapPath->setText(request.fileName);
}

void Tlblwiz::SetLayoutControls() {
  const LabelLayoutRec& l = LabelLayout;
  using platform::text::ToQString;
  const std::array<std::pair<QLineEdit*, std::string>, 10> texts{{{Description, l.Description.Get()},
                                                                  {LeftMargin, l.LeftMargin.Get()},
                                                                  {TopMargin, l.TopMargin.Get()},
                                                                  {Columns, l.Columns.Get()},
                                                                  {Rows, l.Rows.Get()},
                                                                  {LabelWidth, l.Width.Get()},
                                                                  {LabelHeight, l.Height.Get()},
                                                                  {LineWidth, l.LineWidth.Get()},
                                                                  {Caption, l.Caption.Get()},
                                                                  {StartLabel, "1"}}};
  for (const auto& [box, text] : texts) box->setText(ToQString(text));
  UseShipping->setChecked(l.UseShipping == 1);
  UseCmpAdd->setChecked(l.ReturnAddress == 1);
  PrintLine->setChecked(l.PrintLine == 1);
  PrnButn->setEnabled(true);
  ShowLayoutFont();
  UseCmpAddClick();
}

LabelLayoutRec Tlblwiz::LayoutFromControls() const {
  LabelLayoutRec l{};
  SetLayoutFont(l, LayoutFont(LabelLayout));  // as the font dialog left it
  auto text = [](const QLineEdit* box) { return platform::text::ToAnsi(box->text()); };
  l.Description.Set(text(Description));
  l.LeftMargin.Set(text(LeftMargin));
  l.TopMargin.Set(text(TopMargin));
  l.Columns.Set(text(Columns));
  l.Rows.Set(text(Rows));
  l.Width.Set(text(LabelWidth));
  l.Height.Set(text(LabelHeight));
  l.LineWidth.Set(text(LineWidth));
  l.Caption.Set(text(Caption));
  l.UseShipping = UseShipping->isChecked();
  l.ReturnAddress = UseCmpAdd->isChecked();
  l.PrintLine = PrintLine->isChecked();
  l.BitmapPath.Set(platform::text::ToAnsi(BitmapPath->text()));
  return l;
}

void Tlblwiz::RestoreLastLayout() {
  const std::string dir = ".";
  const std::string path = platform::text::TrimBlanks(ReadLastLayoutPath(dir));
  if (!path.empty()) {
    if (const auto layout = ReadLayoutFile(path)) {
      LabelLayout = *layout;
      SetLayoutControls();
      SetStatus(kReady);
      return;
    }
    std::remove((dir + "/" + LastLayoutFileName).c_str());
  }
  PrnButn->setEnabled(false);
  SetStatus("Open a label layout file (Label Menu)...");
}

void Tlblwiz::Open2Click() {
  platform::ui::FileDialogRequest request = FileRequest(kLayoutFilter, "LBL");
  if (!platform::ui::OpenFileDialog(request)) return;
  const std::string path = request.fileName.toStdString();
  const auto layout = ReadLayoutFile(path);
  LabelLayout = layout.value_or(LabelLayoutRec{});
  if (!layout) {
    MessageBox("The layout file " + request.fileName + " cannot be read or is not a label layout.", "Open");
    return;
  }
  WriteLastLayoutPath(".", path);
  int err = 0;
  if (!platform::files::CopyFile(path, LayoutCopyFileName, &err))
    MessageBox(QString("The layout could not be kept as %1: %2.")
                   .arg(QString::fromLatin1(LayoutCopyFileName),
                        QString::fromLocal8Bit(std::strerror(err != 0 ? err : EIO))),
               "Open");
  SetLayoutControls();
  SetStatus(kReady);
}

void Tlblwiz::SaveAs1Click() {
  platform::ui::FileDialogRequest request = FileRequest(kLayoutFilter, "LBL");
  request.overwritePrompt = true;
  if (!platform::ui::SaveFileDialog(request)) return;
  LabelLayout = LayoutAsSaved(LayoutFromControls());
  const std::string path = request.fileName.toStdString();
  if (!WriteLayoutFile(path, LabelLayout)) return;
  WriteLastLayoutPath(".", path);
  PrnButn->setEnabled(true);  // a saved layout prints, as an opened one does
}

void Tlblwiz::PrnButnClick() {
  if (LabelPrintQueue.Empty()) {
    MessageBox("You do not have any records listed (selected) in the print queue.", "Print Labels");
    return;
  }
  for (const QLineEdit* box : {TopMargin, LeftMargin, Columns, Rows, LabelWidth, LabelHeight}) {
    if (box->text().trimmed().isEmpty()) {
      MessageBox(
          "You have an empty layout definition field. All layout fields are required. Use the Label - Open "
          "menu "
          "option to open a layout file or create your own layout.",
          "Print Labels");
      return;
    }
  }
  if (LayoutDiffers(LayoutFromControls(), LabelLayout) &&
      MessageBox("Your layout settings have changed. Do you want to save the changes before printing?",
                 "Print Labels", MsgButtons::YesNo) == mrYes)
    SaveAs1Click();
  LabelPrintSettings s;
  try {
    s.Sheet = {BoxNumber(TopMargin), BoxNumber(LeftMargin), BoxNumber(Columns),
               BoxNumber(Rows),      BoxNumber(LabelWidth), BoxNumber(LabelHeight)};
    s.Start = AtLeastOne(StartLabel);
    s.Copies = AtLeastOne(Copies);
    s.LineWidth = LayoutLineWidth(LineWidth);
  } catch (const std::exception& error) {
    MessageBox(error.what(), "Print Labels");
    return;
  }
  if (const std::string error = LabelSettingsError(s); !error.empty()) {
    MessageBox(platform::text::ToQString(error), "Print Labels");
    return;
  }
  s.Font.Name = platform::text::ToQString(LabelLayout.FontName.Get());
  if (s.Font.Name.isEmpty()) s.Font.Name = "Arial";
  if (LabelLayout.FontSize.Get() > 0) s.Font.Size = LabelLayout.FontSize.Get();
  s.Font.Style = LabelLayout.FontStyle;
  s.Font.Color = LabelLayout.FontColor.Get();
  s.UseShipping = UseShipping->isChecked();
  s.ReturnAddress = UseCmpAdd->isChecked();
  s.BitmapPath = BitmapPath->text();
  s.PrintLine = PrintLine->isChecked();
  s.Caption = platform::text::ToAnsi(Caption->text());
  SetStatus("Printing labels...");
  repaint();
  LabelPrintResult result;
  try {
    platform::ui::WaitCursor hourglass;
    result = PrintLabels(LabelPrintQueue.Rows(), s);
  } catch (const std::exception& error) {
    // The queue was not printed: the exit prompt still warns about it.
    SetStatus(kReady);
    MessageBox(QString::fromStdString(error.what()), "Print Labels");
    return;
  }
  forms::LabelsQueued = 0;
  QString done = platform::print::PrintedNotice(QString("Complete. %1 label(s)").arg(result.Printed));
  if (result.Missing > 0) done += QString(" %1 queued record(s) are no longer on file.").arg(result.Missing);
  SetStatus(done);
  if (const std::string unfit = UnfitBarCodesMessage(result.UnfitBarCodes); !unfit.empty())
    MessageBox(platform::text::ToQString(unfit), "Print Labels", MsgButtons::Ok,
               platform::ui::MsgIcon::Information);
  LabelList->setFocus();
}

void Tlblwiz::CalibrationRuler1Click() {
  if (MessageBox("This feature will print the calibration ruler on your printer. You can use it to help you "
                 "calculate margin settings. Continue?",
                 "Please Confirm", MsgButtons::YesNo) != mrYes)
    return;
  {
    platform::ui::WaitCursor hourglass;
    PrintCalibrationRuler();
  }
  SetStatus(platform::print::PrintedNotice("Calibration ruler"));
  LabelList->setFocus();
}

}  // namespace reports
