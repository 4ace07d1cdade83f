#pragma once
// The frame both conversion windows share: the path of the old company list, the browse button
// that chooses it and runs the conversion, the progress lines and the Cancel and help buttons.
// The run is modal, so that nothing else reaches the files while it lets window messages
// through, and the window cannot be closed while it runs.

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>
#include <string>
#include <vector>

#include "exchange/old_data_conversion.h"
#include "platform/ui/form.h"

namespace exchange {

// What makes one conversion window differ from the other.
struct ConversionTexts {
  QString Caption;
  QString HelpTopic;
  QString Instructions;                   // Label5 at start
  QString Example;                        // Label6 at start
  QString Warning;                        // Label7
  QString ProposedName;                   // the name the open dialog proposes
  QString WrongFile;                      // a file other than the company list was chosen
  std::vector<std::string> ProgramFiles;  // one of them shows the folder is the old program's
  QString NoProgram;
  QString Ready;
};

class TConversionWindow : public platform::ui::Form {
 public:
  TConversionWindow(const ConversionTexts& texts, const ConversionPlan& plan, QWidget* parent = nullptr);

  QLineEdit* OldPath;
  QPushButton* Button1;   // "&Browse"
  QPushButton* OKButton;  // "&Cancel"
  QToolButton* SpeedButton3;
  QLabel* Label1;
  QLabel* Label2;
  QLabel* Label3;
  QLabel* Label4;
  QLabel* Label5;
  QLabel* Label6;
  QLabel* Label7;

  void FormShow() override;
  void FormCloseQuery(bool& canClose) override;
  void Button1Click();
  void OKButtonClick();
  void SpeedButton3Click();

  [[nodiscard]] bool Running() const { return running_; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // The chosen old company list's folder; false (after telling the user) when it is not one.
  [[nodiscard]] bool CheckChosenFile(const QString& chosen, std::string* folder);
  void Run(const std::string& folder);
  void ShowProgress(ProgressLine line, const QString& text);
  void EnableControls(bool enabled);

  const ConversionTexts& texts_;
  const ConversionPlan& plan_;
  bool running_ = false;
};

}  // namespace exchange
