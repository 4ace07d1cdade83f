#include "exchange/conversion_window.h"

#include <QDir>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QVBoxLayout>

#include "forms/run_state.h"
#include "platform/files/path.h"
#include "platform/text/codepage.h"
#include "platform/text/upper_case.h"
#include "platform/ui/application.h"
#include "platform/ui/common_dialogs.h"
#include "platform/ui/desktop.h"
#include "platform/ui/message_box.h"

namespace exchange {

using namespace platform::ui;
namespace files = platform::files;

namespace {

constexpr int kOldPathMaxLength = 250;

bool NavigationKey(int key) {
  return key == Qt::Key_Tab || key == Qt::Key_Backtab || key == Qt::Key_Escape || key == Qt::Key_Shift ||
         key == Qt::Key_Control || key == Qt::Key_Alt || key == Qt::Key_Meta;
}

}  // namespace

TConversionWindow::TConversionWindow(const ConversionTexts& texts, const ConversionPlan& plan,
                                     QWidget* parent)
    : Form(parent),
      OldPath(new QLineEdit(this)),
      Button1(new QPushButton("&Browse", this)),
      OKButton(new QPushButton("&Cancel", this)),
      SpeedButton3(new QToolButton(this)),
      Label1(new QLabel(this)),
      Label2(new QLabel(this)),
      Label3(new QLabel(this)),
      Label4(new QLabel(this)),
      Label5(new QLabel(texts.Instructions, this)),
      Label6(new QLabel(texts.Example, this)),
      Label7(new QLabel(texts.Warning, this)),
      texts_(texts),
      plan_(plan) {
  SetCaption(texts.Caption);
  SetHelpKeyword(texts.HelpTopic);
  OldPath->setMaxLength(kOldPathMaxLength);
  OldPath->setMinimumWidth(420);
  OldPath->installEventFilter(this);
  SpeedButton3->setText("?");
  SpeedButton3->setToolTip("Help");
  for (QLabel* label : {Label5, Label7}) label->setWordWrap(true);
  QFont bold = Label7->font();
  bold.setBold(true);
  Label7->setFont(bold);

  auto* pathRow = new QHBoxLayout;
  pathRow->addWidget(OldPath, 1);
  pathRow->addWidget(Button1);
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(SpeedButton3);
  buttons->addStretch(1);
  buttons->addWidget(OKButton);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(Label5);
  layout->addWidget(Label6);
  layout->addLayout(pathRow);
  for (QLabel* label : {Label1, Label2, Label3, Label4}) layout->addWidget(label);
  layout->addWidget(Label7);
  layout->addLayout(buttons);

  connect(Button1, &QPushButton::clicked, this, [this] { Button1Click(); });
  connect(OKButton, &QPushButton::clicked, this, [this] { OKButtonClick(); });
  connect(SpeedButton3, &QToolButton::clicked, this, [this] { SpeedButton3Click(); });
  OKButton->setDefault(true);
}

void TConversionWindow::FormShow() {
  for (QLabel* label : {Label1, Label2, Label3, Label4}) label->clear();
  // A run showed the old folder and its files there.
  Label5->setText(texts_.Instructions);
  Label6->setText(texts_.Example);
}

void TConversionWindow::FormCloseQuery(bool& canClose) {
  canClose = !running_;
}

bool TConversionWindow::eventFilter(QObject* watched, QEvent* event) {
  // A key typed into the path opens the dialog that chooses it.
  if (watched == OldPath && event->type() == QEvent::KeyPress &&
      !NavigationKey(static_cast<QKeyEvent*>(event)->key())) {
    Button1Click();
    return true;
  }
  return Form::eventFilter(watched, event);
}

void TConversionWindow::OKButtonClick() {
  SetModalResult(mrOk);
  if (!InModalState()) Close();
}

void TConversionWindow::SpeedButton3Click() {
  Application->HelpJump(texts_.HelpTopic);
}

bool TConversionWindow::CheckChosenFile(const QString& chosen, std::string* folder) {
  const std::string path = chosen.trimmed().toStdString();
  const std::string listName = platform::text::UpperCase(files::FileName(path));
  if (listName != platform::text::UpperCase(plan_.CompanyListFile)) {
    MessageBox(texts_.WrongFile, Caption(), MsgButtons::Ok, MsgIcon::Warning);
    return false;
  }
  if (!files::Exists(path)) {
    MessageBox("Invalid directory and/or filename. The file does not exist.", Caption(), MsgButtons::Ok,
               MsgIcon::Warning);
    return false;
  }
  *folder = files::DirName(path);
  for (const std::string& program : texts_.ProgramFiles)
    if (files::Exists(folder->empty() ? program : *folder + "/" + program)) return true;
  MessageBox(texts_.NoProgram, Caption(), MsgButtons::Ok, MsgIcon::Warning);
  return false;
}

void TConversionWindow::Button1Click() {
  if (running_) return;
  Label3->setText(QDir::toNativeSeparators(QDir::currentPath()) + QDir::separator());
  FileDialogRequest request;
  request.fileName = texts_.ProposedName;
  if (!OpenFileDialog(request)) return;
  // The path keeps its letters as they are: the old folder's name must be found as spelled.
  OldPath->setText(request.fileName);
  std::string folder;
  if (!CheckChosenFile(request.fileName, &folder)) return;
  if (MessageBox(texts_.Ready, "Ready To Convert Files", MsgButtons::YesNo, MsgIcon::Question) != mrYes)
    return;
  Run(folder);
}

void TConversionWindow::ShowProgress(ProgressLine line, const QString& text) {
  switch (line) {
    case ProgressLine::Companies:
      Label1->setText(text);
      break;
    case ProgressLine::Company:
      Label2->setText(text);
      break;
    case ProgressLine::Count:
      Label3->setText(text);
      break;
    case ProgressLine::Total:
      Label4->setText(text);
      break;
    case ProgressLine::File:
      Label6->setText(text);
      break;
  }
}

void TConversionWindow::EnableControls(bool enabled) {
  for (QWidget* control : std::initializer_list<QWidget*>{OldPath, Button1, OKButton, SpeedButton3})
    control->setEnabled(enabled);
}

void TConversionWindow::Run(const std::string& folder) {
  Label5->setText(QString::fromStdString(folder));
  running_ = true;
  EnableControls(false);
  ConversionProgress progress;
  progress.Show = [this](ProgressLine line, const QString& text) { ShowProgress(line, text); };
  progress.Pump = [] { Application->ProcessMessages(); };
  progress.Tell = [this](const QString& text) {
    MessageBox(text, Caption(), MsgButtons::Ok, MsgIcon::Information);
  };
  progress.Warn = [this](const QString& text) {
    MessageBox(text, Caption(), MsgButtons::Ok, MsgIcon::Warning);
  };
  ConversionResult result;
  {
    WaitCursor hourglass;
    result = ConvertOldCompanies(plan_, folder, progress);
  }
  running_ = false;
  EnableControls(true);
  if (result.Converted == 0) {
    MessageBox("No company was converted.", Caption(), MsgButtons::Ok, MsgIcon::Information);
    return;
  }
  forms::RebuildAfterConversion = 1;
  MessageBox(kFilesImported, Caption(), MsgButtons::Ok, MsgIcon::Information);
  OKButtonClick();
}

}  // namespace exchange
