#include "reports/report_viewer.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QPainter>
#include <QScreen>
#include <QStyle>
#include <QVBoxLayout>
#include <algorithm>
#include <cstring>

#include "forms/figures_note.h"
#include "forms/font_choice.h"
#include "forms/form_instance.h"
#include "forms/printer_setup.h"
#include "forms/printout_notice.h"
#include "forms/report_font.h"
#include "platform/files/file.h"
#include "platform/os/memory.h"
#include "platform/print/colors.h"
#include "platform/print/printer.h"
#include "platform/text/codepage.h"
#include "platform/text/key_text.h"
#include "platform/ui/application.h"
#include "platform/ui/common_dialogs.h"
#include "platform/ui/desktop.h"
#include "platform/ui/message_box.h"
#include "reports/report_printout.h"
#include "reports/top10_chart.h"

namespace reports {

using platform::text::ToAnsi;
using platform::text::ToQString;
using platform::text::TrimBlanks;

Trtreport* rtreport = nullptr;

namespace {

constexpr int CellMargin = 2;

bool RowHasTotal(const ReportTable& table, int row) {
  for (int column = 3; column <= 7; ++column)
    if (table.Cell(row, column).find("Total") != std::string::npos) return true;
  return false;
}

}  // namespace

int ReportTableModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : std::max(0, table_.RowCount() - 1);
}

int ReportTableModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : table_.ColumnCount();
}

QVariant ReportTableModel::data(const QModelIndex& index, int role) const {
  if (role != Qt::DisplayRole || !index.isValid()) return {};
  return ToQString(table_.Cell(index.row() + 1, index.column()));
}

QVariant ReportTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (role != Qt::DisplayRole) return {};
  if (orientation == Qt::Horizontal) return ToQString(table_.Cell(0, section));
  return {};
}

void ReportTableModel::SetTable(ReportTable&& table) {
  beginResetModel();
  std::swap(table_, table);
  table.Clear();
  endResetModel();
}

SortOutcome ReportTableModel::Sort(int column, const std::string& reportTitle, bool subtotals,
                                   Top10Data& top10) {
  const SortOutcome check = SortCheck(table_, column);
  if (check != SortOutcome::Sorted) return check;
  beginResetModel();
  const SortOutcome outcome = SortWithSubtotals(table_, column, reportTitle, subtotals, top10);
  endResetModel();
  return outcome;
}

int AlignedDecimals(const std::string& reportTitle) {
  return reportTitle == "Purchase Detail" || reportTitle == "Sales Report" ||
                 reportTitle == "Receiving Report"
             ? 3
             : 2;
}

void DecimalPointDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                                 const QModelIndex& index) const {
  const ReportTable& table = model_.Table();
  const int row = index.row() + 1;
  const int column = index.column();
  if (column <= table.LastTextColumn || !table.IsNumericCell(row, column)) {
    QStyleOptionViewItem plain(option);
    plain.displayAlignment = Qt::AlignLeft | Qt::AlignVCenter;
    QStyledItemDelegate::paint(painter, plain, index);
    return;
  }
  const QString text = ToQString(TrimBlanks(table.Cell(row, column)));
  const QRect cell = option.rect;
  const QFontMetrics metrics(option.font);
  const int decimalWidth = metrics.horizontalAdvance(AlignedDecimals(ReportTitle) == 3 ? ".000" : ".00");
  const int point = cell.right() - decimalWidth - 4;
  const qsizetype dot = text.indexOf('.');
  const QString whole = dot < 0 ? text : text.left(dot);
  const QString fraction = dot < 0 ? QString() : text.mid(dot);

  painter->save();
  const bool selected = option.state & QStyle::State_Selected;
  painter->fillRect(cell, option.palette.brush(selected ? QPalette::Highlight : QPalette::Base));
  painter->setFont(option.font);
  painter->setPen(selected ? option.palette.color(QPalette::HighlightedText)
                           : option.palette.color(QPalette::Text));
  // Both halves on the text line of the other cells of the row.
  const QRect left(cell.left(), cell.top(), point - cell.left(), cell.height());
  const QRect right(point, cell.top(), cell.right() - point + 1, cell.height());
  painter->setClipRect(left);
  painter->drawText(left, Qt::AlignRight | Qt::AlignVCenter, whole);
  painter->setClipRect(right);
  painter->drawText(right, Qt::AlignLeft | Qt::AlignVCenter, fraction);
  painter->setClipping(false);
  if (RowHasTotal(table, row)) painter->drawLine(cell.topLeft(), cell.topRight());
  painter->restore();
}

bool SaveReportFont(const records::FontRec& font) {
  records::FontRec record{};
  record.Set(font.Name.Get().substr(0, 32), font.Size.Get(), font.Color.Get(), font.Style);
  std::string bytes(sizeof record, '\0');
  std::memcpy(bytes.data(), &record, sizeof record);
  // The write below replaces it whole; only a file of another size would be left under it.
  (void)platform::files::DeleteFile(forms::ReportFontFileName);
  return platform::files::WriteWholeFile(forms::ReportFontFileName, bytes);
}

Trtreport::Trtreport(QWidget* parent)
    : Form(parent),
      Panel1(new QFrame(this)),
      Head1(new QLabel(this)),
      Head2(new QLabel(this)),
      Head3(new QLabel(this)),
      FiguresNote(forms::NewFiguresNote(this)),
      Label1(new QLabel(QStringLiteral("Sort on Column:"), this)),
      SortCol(new QComboBox(this)),
      stotals(new QCheckBox(QStringLiteral("&Sub-Totals"), this)),
      PageBreakCB(new QCheckBox(QStringLiteral("Sub-Total Page Breaks"), this)),
      RptGrid(new QTableView(this)),
      model_(new ReportTableModel(this)) {
  setWindowFlag(Qt::WindowMaximizeButtonHint);
  SetHelpKeyword(QStringLiteral("ReportWizard"));
  Panel1->setFrameShape(QFrame::Panel);
  Panel1->setFrameShadow(QFrame::Raised);
  InvPrint = AddToolButton(QStringLiteral("Print"), QStyle::SP_FileDialogContentsView);
  SpeedButton1 = AddToolButton(QStringLiteral("Fonts/Colors"), QStyle::SP_FileDialogInfoView);
  PSetButn = AddToolButton(QStringLiteral("Printer Setup"), QStyle::SP_ComputerIcon);
  SaveButn = AddToolButton(QStringLiteral("Save to File"), QStyle::SP_DialogSaveButton);
  SpeedButton2 = AddToolButton(QStringLiteral("Top 10 Bar Chart"), QStyle::SP_FileDialogListView);
  HelpButn = AddToolButton(QStringLiteral("Help"), QStyle::SP_DialogHelpButton);
  ExitButn = AddToolButton(QStringLiteral("Close"), QStyle::SP_DialogCloseButton);
  connect(SpeedButton1, &QToolButton::clicked, this, [this] { SpeedButton1Click(); });
  connect(PSetButn, &QToolButton::clicked, this, [this] { PSetButnClick(); });
  connect(SaveButn, &QToolButton::clicked, this, [this] { SaveButnClick(); });
  connect(HelpButn, &QToolButton::clicked, this, [this] { HelpButnClick(); });
  connect(ExitButn, &QToolButton::clicked, this, [this] { ExitButnClick(); });
  connect(SortCol, &QComboBox::activated, this, [this] { SortColChange(); });
  connect(stotals, &QCheckBox::clicked, this, [this] { stotalsClick(); });
  connect(PageBreakCB, &QCheckBox::clicked, this, [this] { stotalsClick(); });

  connect(InvPrint, &QToolButton::clicked, this, [this] { InvPrintClick(); });
  connect(SpeedButton2, &QToolButton::clicked, this, [this] { SpeedButton2Click(); });
  SortCol->setMaxVisibleItems(4);

  for (QLabel* head : {Head1, Head2, Head3}) {
    QFont bold = head->font();
    bold.setBold(true);
    head->setFont(bold);
    head->setTextFormat(Qt::PlainText);
  }
  RptGrid->setModel(model_);
  RptGrid->setItemDelegate(new DecimalPointDelegate(*model_, RptGrid));
  RptGrid->setShowGrid(false);
  RptGrid->verticalHeader()->hide();
  RptGrid->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
  RptGrid->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  RptGrid->horizontalHeader()->setHighlightSections(false);
  RptGrid->setSelectionMode(QAbstractItemView::SingleSelection);
  RptGrid->setSelectionBehavior(QAbstractItemView::SelectItems);
  RptGrid->setEditTriggers(QAbstractItemView::NoEditTriggers);
  RptGrid->setWordWrap(false);
  // Text cells carry their trailing blanks; a cell is cut at its column's edge, never elided.
  RptGrid->setTextElideMode(Qt::ElideNone);
  connect(RptGrid, &QTableView::doubleClicked, this, [this] { RptGridDblClick(); });

  auto* options = new QHBoxLayout;
  options->addWidget(Label1);
  options->addWidget(SortCol);
  options->addWidget(stotals);
  options->addWidget(PageBreakCB);
  options->addStretch();
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(Panel1);
  layout->addWidget(Head1);
  layout->addWidget(Head2);
  layout->addWidget(Head3);
  layout->addWidget(FiguresNote);
  layout->addLayout(options);
  layout->addWidget(RptGrid, 1);
}

QToolButton* Trtreport::AddToolButton(const QString& hint, int icon) {
  if (!Panel1->layout()) new QHBoxLayout(Panel1);
  auto* button = new QToolButton(Panel1);
  button->setText(hint);
  button->setToolTip(hint);
  button->setIcon(style()->standardIcon(static_cast<QStyle::StandardPixmap>(icon)));
  button->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
  button->setAutoRaise(true);
  button->setFocusPolicy(Qt::NoFocus);  // a tool bar's button, as in any tool bar: not a Tab stop
  auto* row = static_cast<QHBoxLayout*>(Panel1->layout());
  row->addWidget(button);
  return button;
}

void Trtreport::FormCreate() {
  reportFont_ = forms::LoadReportFont();
  ApplyReportFont();
}

void Trtreport::ApplyReportFont() {
  const platform::ui::FontChoice choice = forms::FontChoiceOf(reportFont_);
  const QFont font = platform::ui::ToQFont(choice);
  RptGrid->setFont(font);
  RptGrid->horizontalHeader()->setFont(font);
  QPalette palette = RptGrid->palette();
  palette.setColor(QPalette::Text, platform::print::ColorToQColor(choice.color));
  RptGrid->setPalette(palette);
  RptGrid->verticalHeader()->setDefaultSectionSize(QFontMetrics(font).height() + 3);
  SetColumnWidths();
  RptGrid->viewport()->update();
}

void Trtreport::LoadReport(ReportOutput report) {
  model_->SetTable(std::move(report.Table));
  SetCaption(ToQString(report.Caption));
  Head1->setText(ToQString(report.Head1));
  Head2->setText(ToQString(report.Head2));
  Head3->setText(ToQString(report.Head3));
  QPalette palette = Head3->palette();
  palette.setColor(QPalette::WindowText,
                   report.Filtered ? QColor(Qt::red) : palette.color(QPalette::ButtonText));
  Head3->setPalette(palette);
  SortCol->clear();
  for (const std::string& item : report.SortItems) SortCol->addItem(ToQString(item));
}

void Trtreport::FormClose() {
  model_->SetTable(ReportTable());
  platform::os::ReturnFreedMemory();
}

void Trtreport::FormShow() {
  if (QScreen* screen = QGuiApplication::primaryScreen()) setGeometry(screen->availableGeometry());
  forms::ShowFiguresNote(*FiguresNote);
  stotals->setEnabled(true);
  stotals->setChecked(true);
  PageBreakCB->setEnabled(true);
  SortCol->setEnabled(true);
  SortCol->setCurrentIndex(SortCol->findText(QStringLiteral("2")));
  SortCol->setMaxVisibleItems(std::max(1, SortCol->count()));
  RptGrid->verticalHeader()->setDefaultSectionSize(QFontMetrics(RptGrid->font()).height() + 3);
  RptGrid->setFocus();
  SetCurrentColumn(0);
  RptGrid->scrollToTop();
  RebuildSortedWithSubtotals();
}

int Trtreport::CurrentColumn() const {
  const QModelIndex current = RptGrid->currentIndex();
  return current.isValid() ? current.column() : 0;
}

void Trtreport::SetCurrentColumn(int column) {
  const QModelIndex current = RptGrid->currentIndex();
  if (model_->rowCount() > 0)
    RptGrid->setCurrentIndex(model_->index(current.isValid() ? current.row() : 0, column));
}

void Trtreport::RebuildSortedWithSubtotals() {
  switch (model_->Sort(CurrentColumn(), ReportTitle, stotals->isChecked(), Top10Accumulator)) {
    case SortOutcome::TooFewRows:
      SetColumnWidths();  // a report of its headings only is measured as it stands
      return;
    case SortOutcome::NotATextColumn:
      platform::ui::Beep();
      return;
    case SortOutcome::Sorted:
      break;
  }
  SetCaption(ToQString(SortedCaption(ReportTitle, model_->Table())));
  SetColumnWidths();
  if (model_->rowCount() > 0) RptGrid->setCurrentIndex(model_->index(0, 0));
}

void Trtreport::SortColChange() {
  const int column = SortCol->currentText().toInt() - 1;
  if (column < 0 || column == CurrentColumn()) return;
  SetCurrentColumn(column);
  RebuildSortedWithSubtotals();
  RptGrid->setFocus();
}

void Trtreport::RptGridDblClick() {
  if (CurrentColumn() != 0) RebuildSortedWithSubtotals();
}

void Trtreport::stotalsClick() {
  PageBreakCB->setEnabled(stotals->isChecked());
  SetCurrentColumn(0);
  RptGrid->setFocus();
  RebuildSortedWithSubtotals();
}

void Trtreport::SetColumnWidths() {
  const QFontMetrics metrics(RptGrid->font());
  const ReportTable& table = model_->Table();
  const auto width = [&metrics](const std::string& text) {
    return metrics.horizontalAdvance(ToQString(text));
  };
  const std::vector<std::string> widest = WidestCellTexts(table, width);
  for (int column = 0; column < std::min(MeasuredColumns, table.ColumnCount()); ++column)
    RptGrid->setColumnWidth(column, width(widest[static_cast<std::size_t>(column)] + "X") + 2 * CellMargin);
}

void Trtreport::InvPrintClick() {
  PrintReport({model_->Table(), ReportTitle, ToAnsi(Caption()), ToAnsi(Head3->text()),
               forms::PrinterFontOf(reportFont_), PageBreakCB->isChecked()});
  forms::ShowWherePdfWent(ToQString(ReportTitle), Caption());
}

void Trtreport::SpeedButton2Click() {
  if (!stotals->isChecked()) {
    platform::ui::ShowMessage(QStringLiteral(
        "You must have the Sub-Totals option checked above in order to run the top 10 bar charts."));
    return;
  }
  TMyChart& chart = CreateMyChart();
  chart.Headings = {ToAnsi(Head1->text()), ToAnsi(Caption()), ToAnsi(Head2->text()), ToAnsi(Head3->text())};
  chart.ShowModal();
}

void Trtreport::SpeedButton1Click() {
  platform::ui::FontRequest request;
  request.font = forms::FontChoiceOf(reportFont_);
  if (!platform::ui::FontDialog(request)) return;
  forms::StoreFontChoice(reportFont_, request.font);
  ApplyReportFont();
  if (!SaveReportFont(reportFont_))
    platform::ui::MessageBox(QStringLiteral("The report font could not be saved in \"RptFont.Dat\"."),
                             QStringLiteral("Fonts/Colors"), platform::ui::MsgButtons::Ok,
                             platform::ui::MsgIcon::Warning);
}

void Trtreport::SaveButnClick() {
  platform::ui::FileDialogRequest request;
  request.title = QStringLiteral("Save As");
  request.defaultExt = QStringLiteral("TXT");
  request.filter = QStringLiteral("Text File|*.TXT");
  request.fileName = ToQString((ReportTitle + ".TXT").substr(0, 29));
  request.overwritePrompt = true;
  if (!platform::ui::SaveFileDialog(request)) return;
  std::string text;
  for (const std::string& line :
       forms::WithFiguresNote(ReportTextLines(model_->Table(), ToAnsi(Caption()), ToAnsi(Head1->text()),
                                              ToAnsi(Head2->text()), ToAnsi(Head3->text()))))
    text += line + "\r\n";
  if (!platform::files::WriteWholeFile(request.fileName.toStdString(), text))
    platform::ui::MessageBox(QStringLiteral("The report could not be saved in \"%1\".").arg(request.fileName),
                             QStringLiteral("Save As"), platform::ui::MsgButtons::Ok,
                             platform::ui::MsgIcon::Warning);
}

void Trtreport::PSetButnClick() {
  forms::SetUpPrinter();
}

void Trtreport::HelpButnClick() {
  platform::ui::Application->HelpKeyword(QStringLiteral("ReportWizard"));
}

void Trtreport::ExitButnClick() {
  Close();
}

Trtreport& Creatertreport() {
  return forms::FormInstance(rtreport);
}

}  // namespace reports
