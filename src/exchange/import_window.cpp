#include "exchange/import_window.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QVBoxLayout>
#include <algorithm>

#include "exchange/comma_text.h"
#include "forms/run_state.h"
#include "platform/text/codepage.h"
#include "platform/ui/application.h"
#include "platform/ui/common_dialogs.h"
#include "platform/ui/desktop.h"
#include "platform/ui/message_box.h"

namespace exchange {

using namespace platform::ui;
using platform::text::ToAnsi;
using platform::text::ToQString;

namespace {

constexpr char SelectFileText[] = "<--- Select a comma-quote delimited import file...";

// Lines between two looks at pending window messages while a large file fills the grid.
constexpr std::size_t LinesPerPump = 500;

// The places of unheld characters that the message lists; more are cut to "...".
constexpr int MaxPlacesTold = 12;

QToolButton* ToolButton(QWidget* parent, const QString& text, const QString& hint) {
  auto* button = new QToolButton(parent);
  button->setText(text);
  button->setToolTip(hint);
  return button;
}

}  // namespace

TImportWindow::TImportWindow(ImportWindowKind kind, QWidget* parent)
    : Form(parent),
      Label1(new QLabel(this)),
      Button1(new QPushButton("&Open File", this)),
      Button2(new QPushButton("&Import", this)),
      SpeedButton16(ToolButton(this, "Close", "Close")),
      SpeedButton14(ToolButton(this, "Help", "Help")),
      StringGrid1(new QTableWidget(this)),
      kind_(std::move(kind)),
      option_(new QCheckBox(kind_.OptionCaption, this)) {
  SetCaption(kind_.Caption);
  SetHelpKeyword(kind_.HelpTopic);
  QFont bold = Label1->font();
  bold.setBold(true);
  Label1->setFont(bold);
  option_->setChecked(kind_.OptionTicked);

  StringGrid1->setColumnCount(ImportColumns);
  StringGrid1->setEditTriggers(QAbstractItemView::NoEditTriggers);
  StringGrid1->horizontalHeader()->setSectionsMovable(true);
  StringGrid1->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
  StringGrid1->verticalHeader()->setSectionResizeMode(QHeaderView::Interactive);
  StringGrid1->verticalHeader()->hide();
  connect(StringGrid1->horizontalHeader(), &QHeaderView::sectionMoved, this,
          [this] { StringGrid1ColumnMoved(); });

  auto* top = new QHBoxLayout;
  top->addWidget(Button1);
  top->addWidget(Button2);
  top->addSpacing(12);
  top->addWidget(option_);
  top->addStretch(1);
  top->addWidget(SpeedButton14);
  top->addWidget(SpeedButton16);
  Label1->setTextInteractionFlags(Qt::TextSelectableByMouse);
  // The chosen file's whole path: wrapped, never widening the window past the screen.
  Label1->setWordWrap(true);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(top);
  layout->addWidget(Label1);
  layout->addWidget(StringGrid1, 1);
  resize(900, 480);

  connect(Button1, &QPushButton::clicked, this, [this] { Button1Click(); });
  connect(Button2, &QPushButton::clicked, this, [this] { Button2Click(); });
  connect(SpeedButton16, &QToolButton::clicked, this, [this] { SpeedButton16Click(); });
  connect(SpeedButton14, &QToolButton::clicked, this, [this] { SpeedButton14Click(); });
}

void TImportWindow::FormShow() {
  Label1->setText(SelectFileText);
  Button2->setEnabled(false);
  Memo1.clear();
  heldBack_.clear();
  ResetGrid(1);
  SetImportGridTitles();
  SetColumnWidths();
}

void TImportWindow::ResetGrid(int rows) {
  StringGrid1->clearContents();
  StringGrid1->setRowCount(std::max(rows, 1));
}

void TImportWindow::SetImportGridTitles() {
  QHeaderView* header = StringGrid1->horizontalHeader();
  for (int col = 0; col < ImportColumns; ++col)
    StringGrid1->setHorizontalHeaderItem(header->logicalIndex(col), new QTableWidgetItem(kind_.Titles[col]));
}

void TImportWindow::SetColumnWidths() {
  QHeaderView* header = StringGrid1->horizontalHeader();
  const QFontMetrics metrics(font());
  for (int col = 0; col < ImportColumns; ++col) {
    const int width = kind_.Widths.empty() ? metrics.horizontalAdvance(QString(kind_.Titles[col]) + "X")
                                           : kind_.Widths.at(col);
    StringGrid1->setColumnWidth(header->logicalIndex(col), width);
  }
}

void TImportWindow::StringGrid1ColumnMoved() {
  SetImportGridTitles();
}

void TImportWindow::SpeedButton14Click() {
  Application->HelpJump(kind_.HelpTopic);
}

std::string TImportWindow::Cell(int col, int row) const {
  const QTableWidgetItem* item =
      StringGrid1->item(row - 1, StringGrid1->horizontalHeader()->logicalIndex(col));
  return item ? ToAnsi(item->text()) : std::string();
}

ImportRow TImportWindow::Row(int row) const {
  ImportRow cells;
  for (int col = 0; col < ImportColumns; ++col) cells.push_back(Cell(col, row));
  return cells;
}

std::vector<ImportRow> TImportWindow::Rows() const {
  std::vector<ImportRow> rows;
  for (int row = 1; row <= StringGrid1->rowCount(); ++row)
    if (!heldBack_.contains(row)) rows.push_back(Row(row));
  return rows;
}

int TImportWindow::FirstImportedRow() const {
  int row = 1;
  while (heldBack_.contains(row)) ++row;
  return row;
}

void TImportWindow::HoldBack(const std::vector<UnheldCharacter>& unheld) {
  heldBack_.clear();
  if (unheld.empty()) return;
  QStringList places;
  for (const UnheldCharacter& character : unheld) {
    heldBack_.insert(character.Line);
    if (places.size() < MaxPlacesTold)
      places << QString("Line %1, column %2: \"%3\"")
                    .arg(character.Line)
                    .arg(character.Column)
                    .arg(character.Character);
  }
  if (unheld.size() > static_cast<std::size_t>(MaxPlacesTold)) places << "...";
  for (int row : heldBack_)
    for (int col = 0; col < ImportColumns; ++col)
      if (QTableWidgetItem* item = StringGrid1->item(row - 1, col)) item->setBackground(Qt::yellow);
  MessageBox(
      "These characters cannot be stored in the data files:\n" + places.join("\n") +
          "\n\nThe lines that hold them will not be imported. Mend them in the file and open it again.",
      "Import", MsgButtons::Ok, MsgIcon::Warning);
}

void TImportWindow::FillGrid() {
  ResetGrid(static_cast<int>(Memo1.size()));
  for (std::size_t line = 0; line < Memo1.size(); ++line) {
    const std::vector<std::string> items = SplitCommaText(Memo1[line]);
    for (std::size_t col = 0; col < items.size() && col < ImportColumns; ++col)
      StringGrid1->setItem(static_cast<int>(line), static_cast<int>(col),
                           new QTableWidgetItem(ToQString(items[col])));
    if ((line + 1) % LinesPerPump == 0) Application->ProcessMessages();
  }
}

void TImportWindow::Button1Click() {
  FileDialogRequest request;
  request.filter = "Text files (*.txt)|*.txt|All files (*.*)|*.*";
  request.filterIndex = 1;
  if (!OpenFileDialog(request)) return;
  Label1->setText("Working...");
  std::optional<TextFileLines> read;
  {
    WaitCursor hourglass;
    Application->ProcessMessages();
    read = ReadTextLines(request.fileName);
    Memo1 = read ? std::move(read->Lines) : std::vector<std::string>();
    FillGrid();
  }
  if (!read) ShowMessage("Selected file is not in the correct format. See the online help for details.");
  HoldBack(read ? read->Unheld : std::vector<UnheldCharacter>());
  Label1->setText(request.fileName + " - " + QString::number(Memo1.size()) + " records.");
  Button2->setEnabled(heldBack_.size() < Memo1.size());
  if (Memo1.empty()) {
    Button2->setEnabled(false);
    ShowMessage("No records to import");
  }
}

void TImportWindow::RunImport(const ImportWork& import) {
  // Emptied while the import runs: a click on Import while the window repaints imports nothing.
  std::vector<std::string> lines = std::move(Memo1);
  Memo1.clear();
  Label1->setText("Importing, please wait...");
  Application->ProcessMessages();
  try {
    WaitCursor hourglass;
    import(Rows(), ShowProgress());
  } catch (const std::exception& failure) {
    Memo1 = std::move(lines);
    Label1->setText("Nothing was imported.");
    MessageBox(ToQString(failure.what()), Caption(), MsgButtons::Ok, MsgIcon::Error);
    return;
  }
  FinishImport();
}

ImportProgress TImportWindow::ShowProgress() {
  return [this](int done, int all) {
    Label1->setText(QString("Importing, please wait... %1 of %2").arg(done).arg(all));
    Application->ProcessMessages();
  };
}

void TImportWindow::FinishImport() {
  Close();
  forms::RebuildNeeded = 1;
  Application->ProcessMessages();
  ShowMessage("Import Complete. Now we need to rebuild the data files.");
  if (CloseOpener) CloseOpener();
}

}  // namespace exchange
