#include "forms/find_box.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QMouseEvent>
#include <QVBoxLayout>
#include <algorithm>

#include "forms/form_instance.h"
#include "platform/text/codepage.h"
#include "platform/ui/application.h"
#include "platform/ui/desktop.h"
#include "platform/ui/message_box.h"

namespace forms {

using platform::text::ToAnsi;
using platform::text::ToQString;
using namespace platform::ui;

std::string FindMode;
TFindBox* FindBox = nullptr;

TFindBox& CreateFindBox() {
  return forms::FormInstance(FindBox);
}

std::optional<FindRow> RunFind(const QString& caption, const std::string& mode) {
  TFindBox& box = CreateFindBox();
  box.SetCaption(caption);
  FindMode = mode;
  if (box.ShowModal() != mrOk) return std::nullopt;
  return box.SelectedRow();
}

TFindBox::TFindBox(QWidget* parent)
    : Form(parent),
      Label1(new QLabel("Text to Find :", this)),
      FindText(new QLineEdit(this)),
      FindButton(new QPushButton("Find", this)),
      ListView1(new QTreeWidget(this)),
      StatusBar1(new QStatusBar(this)),
      Button1(new QPushButton("&Exit", this)),
      HelpButn(new QPushButton("Help", this)) {
  SetCaption("Find...");
  SetHelpKeyword("FindData");
  Label1->setBuddy(FindText);
  ListView1->setColumnCount(FindColumnCount);
  ListView1->setRootIsDecorated(false);
  ListView1->setSelectionMode(QAbstractItemView::SingleSelection);
  ListView1->setSortingEnabled(false);  // sorted by ListView1ColumnClick, comparing texts
  ListView1->header()->setSectionsClickable(true);
  ListView1->setMinimumSize(600, 240);
  StatusBar1->setSizeGripEnabled(false);

  auto* search = new QHBoxLayout;
  search->addWidget(Label1);
  search->addWidget(FindText, 1);
  search->addWidget(FindButton);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(Button1);
  buttons->addWidget(HelpButn);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(search);
  layout->addWidget(ListView1, 1);
  layout->addLayout(buttons);
  layout->addWidget(StatusBar1);

  FindButton->setDefault(true);
  FindButton->setEnabled(false);
  QObject::connect(FindText, &QLineEdit::textChanged, [this] { FindTextChange(); });
  QObject::connect(FindButton, &QPushButton::clicked, [this] { FindButtonClick(); });
  QObject::connect(ListView1->header(), &QHeaderView::sectionClicked,
                   [this](int column) { ListView1ColumnClick(column); });
  // Any double click on the list, on a row or below the last one, chooses the selected row.
  ListView1->viewport()->installEventFilter(this);
  QObject::connect(HelpButn, &QPushButton::clicked, [this] { HelpButnClick(); });
  BindModalResult(Button1, mrCancel);
}

void TFindBox::FormShow() {
  FindText->clear();
  SetColumns(FindModeDefinition(FindMode));
  ListView1->clear();
  StatusBar1->showMessage("Enter the text to search for then select Find button...");
  FindText->setFocus();
}

void TFindBox::SetColumns(const FindModeDef* mode) {
  QStringList captions;
  for (int column = 0; column < FindColumnCount; ++column) {
    const FindColumn shown = mode ? mode->Columns[column] : FindColumn{};
    captions << shown.Caption;
    ListView1->setColumnHidden(column, shown.Width == 0);
    if (shown.Width > 0) ListView1->setColumnWidth(column, shown.Width);
  }
  ListView1->setHeaderLabels(captions);
}

void TFindBox::FindTextChange() {
  // A mode whose file the program does not keep has nothing to search.
  FindButton->setEnabled(!FindText->text().trimmed().isEmpty() && FindModeDefinition(FindMode) != nullptr);
}

void TFindBox::FindButtonClick() {
  const FindModeDef* mode = FindModeDefinition(FindMode);
  if (mode == nullptr) return;
  ListView1->clear();
  const std::string searchText = FindSearchText(ToAnsi(FindText->text()));
  StatusBar1->showMessage("Searching...");
  Application->ProcessMessages();
  std::string failure;
  const std::vector<FindRow> rows = FindMatchingRows(*mode, searchText, &failure);
  ShowRows(rows);
  FindButton->setEnabled(false);
  if (!failure.empty()) {
    // A search that could not read the whole file must not pass for a complete one.
    StatusBar1->showMessage(QString("Search stopped. Found %1 items before it.").arg(rows.size()));
    MessageBox(ToQString(failure) + " The list shows only the items found before the error.", "Text to Find",
               MsgButtons::Ok, MsgIcon::Error);
    return;
  }
  StatusBar1->showMessage(QString("Search Complete. Found %1 items.  Double-click on first column to find "
                                  "matching record.")
                              .arg(rows.size()));
  if (rows.empty()) {
    MessageBox("No matching items were found.", "Text to Find", MsgButtons::Ok, MsgIcon::Information);
    StatusBar1->showMessage("No items were found.");
  }
}

void TFindBox::ShowRows(const std::vector<FindRow>& rows) {
  QList<QTreeWidgetItem*> items;
  for (const FindRow& row : rows) {
    QStringList texts;
    for (const std::string& column : row) texts << ToQString(column);
    items << new QTreeWidgetItem(texts);
  }
  ListView1->addTopLevelItems(items);
}

void TFindBox::ListView1ColumnClick(int column) {
  if (column < 0 || column >= FindColumnCount) return;
  QList<QTreeWidgetItem*> items;
  while (ListView1->topLevelItemCount() > 0) items << ListView1->takeTopLevelItem(0);
  // Texts are compared as texts, amounts included, the way the list has always sorted them.
  std::stable_sort(items.begin(), items.end(), [column](const QTreeWidgetItem* a, const QTreeWidgetItem* b) {
    return QString::localeAwareCompare(a->text(column), b->text(column)) < 0;
  });
  ListView1->addTopLevelItems(items);
}

void TFindBox::ListView1DblClick() {
  if (ListView1->currentItem() != nullptr && ListView1->currentItem()->isSelected()) {
    SetModalResult(mrOk);
  } else {
    Beep();
  }
}

bool TFindBox::eventFilter(QObject* watched, QEvent* event) {
  if (watched == ListView1->viewport() && event->type() == QEvent::MouseButtonDblClick &&
      static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton)
    ListView1DblClick();
  return Form::eventFilter(watched, event);
}

void TFindBox::HelpButnClick() {
  Application->HelpKeyword(HelpKeyword());
}

std::optional<FindRow> TFindBox::SelectedRow() const {
  const QTreeWidgetItem* item = ListView1->currentItem();
  if (item == nullptr || !item->isSelected()) return std::nullopt;
  FindRow row;
  for (int column = 0; column < FindColumnCount; ++column) row[column] = ToAnsi(item->text(column));
  return row;
}

}  // namespace forms
