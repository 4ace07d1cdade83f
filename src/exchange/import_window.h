#pragma once
// The frame that the text import windows share: a comma-quote delimited file is opened into a
// grid of 16 columns under fixed titles, the user drags the data columns under the titles of
// the fields they hold, and the import turns every grid row into one new record. The windows
// differ in their titles, their option check box and what the import does with the rows.
//
// Opening a file empties the grid first, so no cell of an earlier file is left behind.

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QToolButton>
#include <array>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "exchange/comma_text.h"
#include "exchange/import_keys.h"
#include "platform/ui/form.h"

namespace exchange {

struct ImportWindowKind {
  QString Caption;
  std::array<const char*, ImportColumns> Titles;
  // Column widths in pixels; empty: each column as wide as its title followed by an "X".
  std::vector<int> Widths;
  QString HelpTopic;
  QString OptionCaption;
  bool OptionTicked = false;
};

class TImportWindow : public platform::ui::Form {
 public:
  TImportWindow(ImportWindowKind kind, QWidget* parent = nullptr);

  QLabel* Label1;  // status text
  QPushButton* Button1;
  QPushButton* Button2;
  QToolButton* SpeedButton16;  // close
  QToolButton* SpeedButton14;  // help
  QTableWidget* StringGrid1;
  // The lines of the opened file; emptied by an import, so one load is imported once.
  std::vector<std::string> Memo1;

  void FormShow() override;
  void Button1Click();
  virtual void Button2Click() = 0;
  void StringGrid1ColumnMoved();
  void SpeedButton16Click() { Close(); }
  void SpeedButton14Click();
  void SetImportGridTitles();

  // The text of the cell in column col (as the user sees the columns, after any drag) and row
  // (from 1, the first line of the file).
  std::string Cell(int col, int row) const;
  // Grid row `row` (from 1) in the columns' shown order, and all rows so but those held back.
  ImportRow Row(int row) const;
  std::vector<ImportRow> Rows() const;
  // The first grid row that the import takes.
  int FirstImportedRow() const;

  // Handed in by the manager that shows the window: closes the manager, whose close handler
  // then rebuilds the files the import appended to.
  std::function<void()> CloseOpener;

 protected:
  // The option check box of the window (force shipping address, copy description).
  QCheckBox* Option() const { return option_; }
  // Imports the grid's rows (all but those held back) with the window's import. Done, the window
  // closes, a rebuild is asked for and the user told so, and the manager closes (and rebuilds).
  // Failed, nothing of it was kept: the user is told why, and the file stays loaded to be imported
  // again.
  using ImportWork = std::function<ImportResult(const std::vector<ImportRow>& rows, const ImportProgress&)>;
  void RunImport(const ImportWork& import);

 private:
  void ResetGrid(int rows);
  void FillGrid();
  void SetColumnWidths();
  // Rows holding characters the data files cannot hold are held back from the import, shown on
  // yellow, and the user told where each such character stands.
  void HoldBack(const std::vector<UnheldCharacter>& unheld);
  // Shows how many rows are done and lets the window repaint.
  ImportProgress ShowProgress();
  void FinishImport();

  const ImportWindowKind kind_;
  QCheckBox* option_;
  std::set<int> heldBack_;  // grid rows, from 1
};

}  // namespace exchange
