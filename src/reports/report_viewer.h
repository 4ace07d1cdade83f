#pragma once
// The report viewer "rtreport": every report of the report wizard is shown here. A builder hands
// it a finished report (LoadReport) and shows it modally. The grid shows the report table with
// its headings as the fixed top row; number cells stand aligned on their decimal points. The
// user re-sorts it on a text column with or without sub-totals, prints it, opens the Top 10 bar
// chart of its group totals, chooses the report font (kept in "RptFont.Dat" and also used by the managers'
// printed lists), sets up the printer and saves the report as a text file. While a posting of the
// company waits to be undone, the window, the printout, the chart and the saved text each say
// that the figures include it.

#include <QAbstractTableModel>
#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QStyledItemDelegate>
#include <QTableView>
#include <QToolButton>
#include <string>
#include <vector>

#include "platform/ui/form.h"
#include "records/font_rec.h"
#include "reports/report_lines.h"
#include "reports/report_subtotals.h"
#include "reports/top10_accumulator.h"

namespace reports {

// The report table the grid shows: row 0 becomes the fixed heading row, rows 1 onward the grid's
// rows.
class ReportTableModel : public QAbstractTableModel {
 public:
  explicit ReportTableModel(QObject* parent = nullptr) : QAbstractTableModel(parent) {}

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
  const ReportTable& Table() const { return table_; }
  // Takes the table over; an empty table frees what the last one held.
  void SetTable(ReportTable&& table);
  // Sorts the shown table in place (see SortWithSubtotals); the view is told only when the rows
  // change.
  SortOutcome Sort(int column, const std::string& reportTitle, bool subtotals, Top10Data& top10);

 private:
  ReportTable table_;
};

// Draws a number cell with its decimal point at a fixed place, so the columns of figures line up.
class DecimalPointDelegate : public QStyledItemDelegate {
 public:
  DecimalPointDelegate(const ReportTableModel& model, QObject* parent)
      : QStyledItemDelegate(parent), model_(model) {}
  void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;

 private:
  const ReportTableModel& model_;
};

// The number of decimals the viewer aligns in the report of that title: 3 for the reports with
// quantities to the thousandth, else 2.
int AlignedDecimals(const std::string& reportTitle);

// "RptFont.Dat", written anew: one zero-filled record with the font's name (at most 32
// characters), size, colour and style. False when the file cannot be written.
bool SaveReportFont(const records::FontRec& font);

class Trtreport : public platform::ui::Form {
 public:
  explicit Trtreport(QWidget* parent = nullptr);

  void FormCreate() override;
  void FormShow() override;
  // Lets the report go: its rows are freed once the window closes.
  void FormClose() override;

  // Takes a finished report as the window's inputs: caption, heading lines, grid, columns.
  void LoadReport(ReportOutput report);
  const ReportTable& Table() const { return model_->Table(); }

  // Re-sorts the grid on its current column with the sub-totals that "&Sub-Totals" asks for, and
  // sets the caption, the column widths and the current cell.
  void RebuildSortedWithSubtotals();
  void SortColChange();
  void RptGridDblClick();
  void stotalsClick();  // either check box
  void InvPrintClick();
  void SpeedButton2Click();  // Top 10 Bar Chart
  void SpeedButton1Click();  // Fonts/Colors
  void SaveButnClick();
  void PSetButnClick();
  void HelpButnClick();
  void ExitButnClick();

  // The report font, as "RptFont.Dat" keeps it.
  const records::FontRec& ReportFont() const { return reportFont_; }
  // Column widths for the longest text of each of the first nine columns in the report font.
  void SetColumnWidths();

  QFrame* Panel1;
  QToolButton* InvPrint;
  QToolButton* SpeedButton1;
  QToolButton* PSetButn;
  QToolButton* SaveButn;
  QToolButton* ExitButn;
  QToolButton* HelpButn;
  QToolButton* SpeedButton2;
  QLabel* Head1;
  QLabel* Head2;
  QLabel* Head3;
  // While a posting waits to be undone: the report's figures include it.
  QLabel* FiguresNote;
  QLabel* Label1;
  QComboBox* SortCol;
  QCheckBox* stotals;
  QCheckBox* PageBreakCB;
  QTableView* RptGrid;

 private:
  QToolButton* AddToolButton(const QString& hint, int icon);
  void ApplyReportFont();
  int CurrentColumn() const;
  void SetCurrentColumn(int column);

  ReportTableModel* model_;
  records::FontRec reportFont_;
};

extern Trtreport* rtreport;
Trtreport& Creatertreport();

}  // namespace reports
