#include "platform/ui/qt_ui_driver.h"

#include <QApplication>
#include <QCheckBox>
#include <QDesktopServices>
#include <QDir>
#include <QEventLoop>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QPointer>
#include <QPrintDialog>
#include <QUrl>

#include "platform/ui/font_dialog.h"
#include "platform/ui/form.h"

namespace platform::ui {
namespace {

// A dialog needs a QApplication; without one (a program or test that has no user interface)
// nobody could answer it, so say what was asked and stop rather than guess an answer.
void RequireGui(const QString& what) {
  if (!qobject_cast<QApplication*>(QCoreApplication::instance())) {
    qFatal("No user interface to show %s", qPrintable(what));
  }
}

QWidget* DialogParent() {
  return QApplication::activeWindow();
}

// The window a form run modally belongs to: the modal window it was opened from, else the
// active window.
QWidget* OwnerOf(const QWidget& form) {
  QWidget* owner = QApplication::activeModalWidget();
  if (!owner) owner = QApplication::activeWindow();
  if (!owner || owner == &form || !owner->isVisible()) return nullptr;
  return owner;
}

// When a box, a dialog or a form run modally goes, the window the user came from gets the
// keyboard back. The window system does not see to it: a box and the form it belonged to can go
// at once (a discard answered Yes), and the window under them is then left grey, its Alt letters
// dead, until it is clicked.
class KeyboardGoesBack {
 public:
  explicit KeyboardGoesBack(QWidget* window) : window_(window) {}
  ~KeyboardGoesBack() {
    if (window_ && window_->isVisible()) window_->activateWindow();
  }
  KeyboardGoesBack(const KeyboardGoesBack&) = delete;
  KeyboardGoesBack& operator=(const KeyboardGoesBack&) = delete;

 private:
  QPointer<QWidget> window_;
};

QMessageBox::Icon QtIcon(MsgIcon icon) {
  switch (icon) {
    case MsgIcon::None:
      return QMessageBox::NoIcon;
    case MsgIcon::Information:
      return QMessageBox::Information;
    case MsgIcon::Warning:
      return QMessageBox::Warning;
    case MsgIcon::Question:
      return QMessageBox::Question;
    case MsgIcon::Error:
      return QMessageBox::Critical;
  }
  return QMessageBox::NoIcon;
}

struct ButtonPair {
  TModalResult result;
  QMessageBox::StandardButton button;
};

constexpr ButtonPair kButtons[] = {
    {mrOk, QMessageBox::Ok},         {mrCancel, QMessageBox::Cancel}, {mrYes, QMessageBox::Yes},
    {mrNo, QMessageBox::No},         {mrAbort, QMessageBox::Abort},   {mrRetry, QMessageBox::Retry},
    {mrIgnore, QMessageBox::Ignore},
};

QMessageBox::StandardButton ButtonOf(TModalResult result) {
  for (const auto& pair : kButtons) {
    if (pair.result == result) return pair.button;
  }
  return QMessageBox::NoButton;
}

// A box at least as wide as its title needs, so that the title bar never cuts it: a spacer across
// the bottom of the box's grid holds that width (the box sizes itself, so a resize would not).
void WidenForTitle(QMessageBox& box) {
  auto* grid = qobject_cast<QGridLayout*>(box.layout());
  if (!grid) return;
  const QMargins margins = grid->contentsMargins();
  grid->addItem(new QSpacerItem(CaptionWidth(box) - margins.left() - margins.right(), 0), grid->rowCount(), 0,
                1, grid->columnCount());
}

}  // namespace

std::unique_ptr<QMessageBox> BuildMessageBox(const MessageRequest& request) {
  auto box = std::make_unique<QMessageBox>(DialogParent());
  box->setText(request.text);
  box->setWindowTitle(request.title);
  box->setIcon(QtIcon(request.icon));
  box->setTextFormat(Qt::PlainText);  // the program's texts are never markup
  QMessageBox::StandardButtons buttons;
  for (TModalResult result : ButtonResults(request.buttons)) buttons |= ButtonOf(result);
  box->setStandardButtons(buttons);
  box->setDefaultButton(ButtonOf(DefaultButtonOf(request)));
  box->setEscapeButton(box->button(ButtonOf(DismissAnswer(request.buttons))));
  WidenForTitle(*box);
  return box;
}

TModalResult ResultOfButton(QMessageBox::StandardButton button) {
  for (const auto& pair : kButtons) {
    if (pair.button == button) return pair.result;
  }
  return mrNone;
}

TModalResult QtUiDriver::ShowMessageBox(const MessageRequest& request) {
  RequireGui("the message box \"" + request.text + "\"");
  const KeyboardGoesBack back(DialogParent());
  auto box = BuildMessageBox(request);
  TModalResult result = ResultOfButton(static_cast<QMessageBox::StandardButton>(box->exec()));
  return result == mrNone ? DismissAnswer(request.buttons) : result;
}

TModalResult QtUiDriver::RunModal(Form& form) {
  RequireGui("the form \"" + form.Caption() + "\"");
  QWidget* owner = OwnerOf(form);
  const KeyboardGoesBack back(owner);
  struct ModalRunRestore {
    Form& form;
    Qt::WindowModality savedModality = form.windowModality();
    ~ModalRunRestore() {
      form.setWindowModality(savedModality);
      form.SetModalOwner(nullptr);
    }
  } restore{form};
  form.SetModalOwner(owner ? owner->windowHandle() : nullptr);
  form.setWindowModality(Qt::ApplicationModal);
  form.EnterModalState();
  form.Show();  // FormShow runs here and may already end the run
  if (form.InModalState()) {
    QEventLoop loop;
    QObject::connect(&form, &QDialog::finished, &loop, &QEventLoop::quit);
    loop.exec(QEventLoop::DialogExec);
  }
  if (form.InModalState()) form.AbandonModal(mrCancel);  // the loop was ended from outside
  return form.ModalResult();
}

void ConfigureFileDialog(QFileDialog& dialog, const FileDialogRequest& request, bool save) {
  dialog.setWindowTitle(!request.title.isEmpty() ? request.title : save ? "Save As" : "Open");
  dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
  dialog.setOption(QFileDialog::DontConfirmOverwrite, !request.overwritePrompt);
  QStringList filters = QtNameFilters(request.filter);
  if (!filters.isEmpty()) {
    dialog.setNameFilters(filters);
    if (request.filterIndex >= 1 && request.filterIndex <= filters.size()) {
      dialog.selectNameFilter(filters[request.filterIndex - 1]);
    }
  }
  dialog.setDirectory(request.initialDir.isEmpty() ? QDir::currentPath() : request.initialDir);
  dialog.setDefaultSuffix(request.defaultExt);
  if (!request.fileName.isEmpty()) dialog.selectFile(request.fileName);
}

namespace {

bool RunFileDialog(FileDialogRequest& request, bool save) {
  RequireGui("a file dialog");
  QWidget* parent = DialogParent();
  const KeyboardGoesBack back(parent);
  QFileDialog dialog(parent);
  ConfigureFileDialog(dialog, request, save);
  QCheckBox* readOnly = nullptr;
  if (!save && request.offerReadOnly) {
    // Only Qt's own dialog takes a box of ours, below its fields.
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    readOnly = new QCheckBox("Open as &read-only", &dialog);
    if (auto* grid = qobject_cast<QGridLayout*>(dialog.layout()))
      grid->addWidget(readOnly, grid->rowCount(), 0, 1, -1);
  }
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return false;
  request.fileName = dialog.selectedFiles().front();
  request.readOnly = readOnly && readOnly->isChecked();
  qsizetype index = dialog.nameFilters().indexOf(dialog.selectedNameFilter());
  if (index >= 0) request.filterIndex = static_cast<int>(index) + 1;
  return true;
}

}  // namespace

bool QtUiDriver::RunOpenFile(FileDialogRequest& request) {
  return RunFileDialog(request, false);
}
bool QtUiDriver::RunSaveFile(FileDialogRequest& request) {
  return RunFileDialog(request, true);
}

bool QtUiDriver::RunChooseFolder(FolderRequest& request) {
  RequireGui("a folder dialog");
  QWidget* parent = DialogParent();
  const KeyboardGoesBack back(parent);
  QString start = request.folder.isEmpty() ? QDir::currentPath() : request.folder;
  QString chosen = QFileDialog::getExistingDirectory(parent, request.title, start);
  if (chosen.isEmpty()) return false;
  request.folder = chosen;
  return true;
}

bool QtUiDriver::RunFont(FontRequest& request) {
  RequireGui("the font dialog");
  QWidget* parent = DialogParent();
  const KeyboardGoesBack back(parent);
  FontColorDialog dialog(request.fixedPitchOnly, parent);
  dialog.SetChoice(request.font);
  if (dialog.exec() != QDialog::Accepted) return false;
  request.font = dialog.Choice();
  return true;
}

bool QtUiDriver::RunPrinterSetup(QPrinter& printer) {
  RequireGui("the printer set-up dialog");
  QWidget* parent = DialogParent();
  const KeyboardGoesBack back(parent);
  QPrintDialog dialog(&printer, parent);
  dialog.setWindowTitle("Print Setup");
  return dialog.exec() == QDialog::Accepted;
}

bool QtUiDriver::OpenHelp(const QString& helpFile, const QString& topic) {
  QUrl url = QUrl::fromLocalFile(QFileInfo(helpFile).absoluteFilePath());
  if (!topic.isEmpty()) url.setFragment(topic);
  return QDesktopServices::openUrl(url);
}

void QtUiDriver::Beep() {
  if (QCoreApplication::instance()) QApplication::beep();
}

}  // namespace platform::ui
