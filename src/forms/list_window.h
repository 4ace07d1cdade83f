#pragma once
// The list window: the one window in which every manager shows its list report. The manager
// writes the report to "TXTTEMP.TXT", loads it here, shows the window modally and deletes the
// file. The user can print the text (titled with the window's caption), choose its font, and
// save it as a Rich Text File named after ListWindowFileName.

#include <QPlainTextEdit>
#include <QPushButton>
#include <QString>
#include <string>
#include <string_view>
#include <vector>

#include "platform/ui/common_dialogs.h"
#include "platform/ui/form.h"

namespace forms {

// The file a list report is written to before it is shown.
inline constexpr std::string_view ListReportFileName = "TXTTEMP.TXT";

// The name the save dialog proposes (without ".RTF"), set by the manager before showing.
extern QString ListWindowFileName;

class TListWindow : public platform::ui::Form {
 public:
  explicit TListWindow(QWidget* parent = nullptr);

  QPushButton* PrintButn;
  QPushButton* FontButn;
  QPushButton* SaveButn;
  QPushButton* CloseButn;
  QPlainTextEdit* Memo1;  // below the buttons, and after them for Tab

  void FormShow() override;
  void PrintButnClick();
  void FontButnClick();
  void SaveButnClick();

  // Loads a text file (Windows-1252, lines ended by CR LF); false when it cannot be read.
  bool LoadFromFile(std::string_view path);
  // The text shown, line by line, as the program's text (Windows-1252).
  std::vector<std::string> Lines() const;
  const platform::ui::FontChoice& TextFont() const { return font_; }
  void SetTextFont(const platform::ui::FontChoice& font);

 private:
  platform::ui::FontChoice font_;
};

extern TListWindow* ListWindow;
// Makes the one instance (at start-up); later calls return it.
TListWindow& CreateListWindow();

// The last steps of a manager's list report: the lines (Windows-1252) are written to
// "TXTTEMP.TXT" and loaded into the list window, after the line that says the figures include a
// posting that waits to be undone, while one does. False, after saying so, when the file cannot
// be written or read back.
bool LoadListReport(const std::vector<std::string>& lines);
// Shows the list window modally with the loaded report, then deletes "TXTTEMP.TXT".
void ShowLoadedListReport();

}  // namespace forms
