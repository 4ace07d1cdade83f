#include "products/price_change.h"

#include <QButtonGroup>
#include <QFontMetrics>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QVBoxLayout>
#include <algorithm>

#include "forms/form_instance.h"
#include "forms/unusable_file.h"
#include "platform/text/codepage.h"
#include "platform/text/key_text.h"
#include "platform/text/number_text.h"
#include "platform/ui/application.h"
#include "platform/ui/message_box.h"
#include "products/price_batch.h"
#include "records/company_rec.h"
#include "records/product_pricing.h"

namespace products {

using namespace records;
using namespace forms;

using platform::text::ToAnsi;
using platform::text::ToQString;
using platform::text::TrimBlanks;
using namespace platform::ui;

TPriceChg* PriceChg = nullptr;

TPriceChg& CreatePriceChg() {
  return FormInstance(PriceChg);
}

TPriceChg::TPriceChg(QWidget* parent)
    : Form(parent),
      PBatchNum(new QComboBox(this)),
      PSPct(new QLineEdit("0.00", this)),
      RBMrkUp(new QRadioButton("% Markup from cost", this)),
      RMMarg(new QRadioButton("Margin from cost", this)),
      RBDisc(new QRadioButton("% Discount from list", this)),
      ListView1(new QTreeWidget(this)),
      Label1(new QLabel(this)),
      SearchBut(new QPushButton("&Search", this)),
      ChgPrices(new QPushButton("&Change Prices", this)),
      InvClose(new QPushButton("Close", this)),
      SpeedButton14(new QPushButton("Help", this)),
      StatusBar1(new QStatusBar(this)) {
  SetCaption("Price Change Wizard");
  SetHelpKeyword("PriceWiz");

  PBatchNum->setEditable(true);
  for (int batch = 1; batch <= 99; ++batch) PBatchNum->addItem(QString::number(batch));
  PBatchNum->setCurrentText("1");
  PBatchNum->lineEdit()->setMaxLength(2);
  PSPct->setMaxLength(10);
  auto* methods = new QButtonGroup(this);
  for (QRadioButton* button : {RBMrkUp, RMMarg, RBDisc}) methods->addButton(button);

  ListView1->setColumnCount(ColumnCount);
  ListView1->setHeaderLabels(
      {"Product#", "List price", "Your Cost", "Price Now", "New Price", "Markup Profit", "B"});
  ListView1->setRootIsDecorated(false);
  ListView1->setSortingEnabled(false);  // sorted by ListView1ColumnClick, comparing texts
  ListView1->header()->setSectionsClickable(true);
  // The amount columns as wide as their captions and a large amount need, so that all seven,
  // the batch number last, show whole in the list.
  const QFontMetrics metrics(ListView1->font());
  constexpr int kCellPadding = 16;
  ListView1->setColumnWidth(ColCode, 130);
  for (int column = ColListPrice; column <= ColProfit; ++column)
    ListView1->setColumnWidth(column,
                              std::max(metrics.horizontalAdvance(ListView1->headerItem()->text(column)),
                                       metrics.horizontalAdvance("9,999,999.99")) +
                                  kCellPadding);
  ListView1->setColumnWidth(ColBatch, metrics.horizontalAdvance("99") + kCellPadding);
  int columns = 0;
  for (int column = 0; column < ColumnCount; ++column) columns += ListView1->columnWidth(column);
  ListView1->setMinimumSize(columns + 2 * ListView1->frameWidth() + 2, 260);

  auto* entry = new QFormLayout;
  entry->addRow("Modify prices in batch#:", PBatchNum);
  entry->addRow("New Percentage:", PSPct);
  auto* methodBox = new QGroupBox("Pricing Method", this);
  auto* methodLayout = new QVBoxLayout(methodBox);
  for (QRadioButton* button : {RBMrkUp, RMMarg, RBDisc}) methodLayout->addWidget(button);
  auto* top = new QHBoxLayout;
  top->addLayout(entry);
  top->addWidget(methodBox);

  auto* buttons = new QHBoxLayout;
  buttons->addWidget(Label1, 1);
  for (QPushButton* button : {SearchBut, ChgPrices, InvClose, SpeedButton14}) buttons->addWidget(button);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(top);
  layout->addWidget(ListView1, 1);
  layout->addLayout(buttons);
  layout->addWidget(StatusBar1);
  StatusBar1->setSizeGripEnabled(false);

  QObject::connect(SearchBut, &QPushButton::clicked, [this] { SearchButClick(); });
  QObject::connect(ChgPrices, &QPushButton::clicked, [this] { ChgPricesClick(); });
  QObject::connect(InvClose, &QPushButton::clicked, [this] { InvCloseClick(); });
  QObject::connect(SpeedButton14, &QPushButton::clicked, [this] { SpeedButton14Click(); });
  QObject::connect(ListView1->header(), &QHeaderView::sectionClicked,
                   [this](int column) { ListView1ColumnClick(column); });
  QObject::connect(PBatchNum, &QComboBox::currentTextChanged, [this] { SearchIsStale(); });
  QObject::connect(PSPct, &QLineEdit::textChanged, [this] { SearchIsStale(); });
  for (QRadioButton* button : {RBMrkUp, RMMarg, RBDisc})
    QObject::connect(button, &QRadioButton::toggled, [this] { SearchIsStale(); });
}

void TPriceChg::ShowStatus(const QString& text) {
  StatusBar1->showMessage(text);
}

void TPriceChg::SearchIsStale() {
  ChgPrices->setEnabled(false);
}

std::string TPriceChg::CheckedMethod() const {
  if (RBMrkUp->isChecked()) return "M";
  if (RBDisc->isChecked()) return "D";
  if (RMMarg->isChecked()) return "G";
  return {};
}

void TPriceChg::FormShow() {
  Label1->setText("Last Price Change: " + ToQString(CurrentCompany.LastPriceChangeDate.Get()));
  ShowStatus("Enter pricing changes and select the Search button...");
  ListView1->clear();
  ChgPrices->setEnabled(false);
}

void TPriceChg::SearchButClick() {
  if (TrimBlanks(ToAnsi(PSPct->text())).empty()) PSPct->setText("0");
  const std::string percentage = TrimBlanks(ToAnsi(PSPct->text()));
  const std::optional<double> p = platform::text::TryStrToFloat(percentage);
  if (!p) {
    MessageBox("The Percentage must be a valid number. Example: 10.00", "New Percentage");
    PSPct->setFocus();
    return;
  }
  if (*p == 0) {
    MessageBox("The Percentage is not specified. Example: 8.125", "New Percentage");
    PSPct->setFocus();
    return;
  }
  const std::string method = CheckedMethod();
  if (method == "G" && *p >= 100) {
    MessageBox(ToQString(PriceRefusalMessage(PriceRefusal::MarginOf100OrMore)), "New Percentage");
    PSPct->setFocus();
    return;
  }
  ListView1->clear();
  ShowStatus("Searching...");
  Application->ProcessMessages();
  std::optional<std::vector<PriceBatchRow>> found;
  if (!forms::ReadAll(
          Caption(),
          [&] { found = SearchPriceBatch(ToAnsi(PBatchNum->currentText()), method, percentage); }) ||
      !found) {
    ShowStatus({});
    return;
  }
  const std::vector<PriceBatchRow>& rows = *found;
  int unpriced = 0;
  QList<QTreeWidgetItem*> items;
  for (const PriceBatchRow& row : rows) {
    auto* item = new QTreeWidgetItem;
    const std::string texts[ColumnCount] = {row.Code,     row.ListPrice, row.Cost, row.PriceNow,
                                            row.NewPrice, row.Profit,    row.Batch};
    for (int column = 0; column < ColumnCount; ++column) {
      item->setText(column, ToQString(texts[column]));
      if (column != ColCode && column != ColBatch)
        item->setTextAlignment(column, Qt::AlignRight | Qt::AlignVCenter);
    }
    if (row.NewPrice.empty()) ++unpriced;
    items << item;
  }
  ListView1->addTopLevelItems(items);
  // Only a list that shows a new price for at least one product, by a chosen method, is
  // written; the search above was made with what the controls hold now.
  ChgPrices->setEnabled(!method.empty() && static_cast<int>(rows.size()) > unpriced);
  if (rows.empty()) {
    MessageBox(
        "No records found. Only products setup as MANUAL pricing and match the BATCH# you entered are "
        "selected for price changes.",
        "No Records Found");
  } else if (unpriced > 0) {
    MessageBox(
        QString("%1 of these products have no new price (it would not fit the price field, or their cost or "
                "list price is not a number). They are left as they are.")
            .arg(unpriced),
        "New Price");
  }
  ShowStatus(QString("%1 records were found.").arg(rows.size()));
}

void TPriceChg::ChgPricesClick() {
  const std::string method = CheckedMethod();
  if (!ChgPrices->isEnabled() || method.empty()) return;
  ChgPrices->setEnabled(false);
  ShowStatus("Updating Product Prices...");
  std::vector<PriceChange> changes;
  for (int n = 0; n < ListView1->topLevelItemCount(); ++n) {
    const QTreeWidgetItem* item = ListView1->topLevelItem(n);
    changes.push_back({ToAnsi(item->text(ColCode)), ToAnsi(item->text(ColNewPrice))});
  }
  int changed = -1;
  if (!forms::ReadAll(
          Caption(),
          [&] { changed = ChangeBatchPrices(changes, method, TrimBlanks(ToAnsi(PSPct->text()))); }) ||
      changed < 0) {
    ShowStatus({});
    return;
  }
  ShowStatus("Updates complete.");
  MessageBox("The prices changes have been made.", "Operation Complete", MsgButtons::Ok,
             MsgIcon::Information);
  Close();
}

void TPriceChg::ListView1ColumnClick(int column) {
  if (column < 0 || column >= ColumnCount) return;
  QList<QTreeWidgetItem*> items;
  while (ListView1->topLevelItemCount() > 0) items << ListView1->takeTopLevelItem(0);
  // Plain text comparison, amounts included, as the list has always sorted.
  std::stable_sort(items.begin(), items.end(), [column](const QTreeWidgetItem* a, const QTreeWidgetItem* b) {
    return QString::compare(a->text(column), b->text(column)) < 0;
  });
  ListView1->addTopLevelItems(items);
}

void TPriceChg::InvCloseClick() {
  Close();
}

void TPriceChg::SpeedButton14Click() {
  Application->HelpKeyword("PriceWiz");
}

}  // namespace products
