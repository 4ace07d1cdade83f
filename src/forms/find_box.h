#pragma once
// The Find dialog: the user types a piece of text, the dialog scans the whole file of the
// calling manager and lists every record in which the text occurs in one of the searched fields
// (find_modes.h). A double click on the list closes it with OK while a row is selected (and
// beeps while none is); the caller then reads the row and positions its browser on that record.

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QString>
#include <QTreeWidget>
#include <optional>
#include <string>
#include <vector>

#include "forms/find_modes.h"
#include "platform/ui/form.h"

namespace forms {

// The file the dialog searches, set by the caller before showing it: "Inv", "PO", "Cust",
// "Vend", "Prod" or "Comp".
extern std::string FindMode;

class TFindBox : public platform::ui::Form {
 public:
  explicit TFindBox(QWidget* parent = nullptr);

  QLabel* Label1;
  QLineEdit* FindText;
  QPushButton* FindButton;
  QTreeWidget* ListView1;
  QStatusBar* StatusBar1;
  QPushButton* Button1;
  QPushButton* HelpButn;

  void FormShow() override;
  void FindTextChange();
  void FindButtonClick();
  void ListView1ColumnClick(int column);
  void ListView1DblClick();
  void HelpButnClick();

  // The columns of the highlighted row (Windows-1252), none when no row is highlighted.
  std::optional<FindRow> SelectedRow() const;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void SetColumns(const FindModeDef* mode);
  void ShowRows(const std::vector<FindRow>& rows);
};

extern TFindBox* FindBox;
// Makes the one instance (at start-up); later calls return it.
TFindBox& CreateFindBox();

// Shows the Find dialog with a caption over the file of a mode; the chosen row, or none when the
// user left without choosing one.
std::optional<FindRow> RunFind(const QString& caption, const std::string& mode);

}  // namespace forms
