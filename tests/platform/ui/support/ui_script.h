#pragma once
// UiScript stands in for the user in a test. Installed for its scope, it answers every message
// box, modal form and common dialog the code under test shows, in the order the test expects
// them, and records everything shown. Anything it did not expect fails the test at once (a gtest
// failure naming what was shown) and is answered Cancel / No / closed, so nothing hangs.
//
//   UiScript ui;
//   ui.ExpectMessage("You must enter a customer number.", "Customer Number").Answer(mrOk);
//   ui.OnModal<TEditDlg>([](TEditDlg& d) {
//     d.CNo->setText("C100");
//     d.OKBtnClick();              // the form's own handler runs its checks
//   });
//   DemoForm->NewCustButnClick();  // the code under test, unchanged
//   EXPECT_TRUE(ui.Done());
//
// Expectations of one kind (message boxes, modal forms, each kind of dialog) are met in the order
// given; kinds are independent, so a message expected from inside a modal form's handler may be
// listed before or after the form.
//
// A scripted modal run: the form enters its modal state and is shown (its FormShow runs), then the
// script's function works it like a user, calling its handlers, and ShowModal returns the form's
// modal result. A form the function leaves open is closed as by its close box (mrCancel); an error
// the function raises is shown in the error box, as the event loop would show it.
//
// Linking this library also guards every test of the binary: with no UiScript installed, a
// message box, modal form or dialog fails the test and is answered Cancel.

#include <QString>
#include <cstdint>
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <type_traits>
#include <typeinfo>
#include <vector>

#include "platform/ui/form.h"
#include "platform/ui/ui_driver.h"

namespace testing_support {

using platform::ui::FileDialogRequest;
using platform::ui::FolderRequest;
using platform::ui::FontChoice;
using platform::ui::FontRequest;
using platform::ui::MsgButtons;
using platform::ui::MsgIcon;
using platform::ui::TModalResult;

// Makes the test's QApplication (a GuiApplication) once; UiScript does this by itself.
void EnsureGuiApplication();

// The widgets that Tab reaches from `first`, first included, pressing it `steps` times in the
// widget that has the focus, as the user would.
std::vector<QWidget*> WalkTabs(QWidget* first, int steps);

// The readable name of a type, for failure messages.
std::string TypeName(const std::type_info& type);

struct UiEvent {
  enum class Kind { Message, Modal, OpenFile, SaveFile, Folder, Font, PrinterSetup, Help, Beep };
  Kind kind;
  QString text;    // message text; form caption; dialog title; help file
  QString detail;  // message title; form class; help topic
  QString answer;  // "mrYes", "mrCancel", the file or folder chosen, "Cancel", ...
  bool expected = true;
};

class MessageExpectation {
 public:
  MessageExpectation(QString text, QString title) : text_(std::move(text)), title_(std::move(title)) {}
  MessageExpectation& Icon(MsgIcon icon);
  MessageExpectation& Buttons(MsgButtons buttons);
  MessageExpectation& DefaultButton(TModalResult button);
  // The button the script presses; without it, the box's default button.
  MessageExpectation& Answer(TModalResult answer);

  const QString& text() const { return text_; }
  const QString& title() const { return title_; }

 private:
  friend class ScriptedDriver;
  QString text_;
  QString title_;
  std::optional<MsgIcon> icon_;
  std::optional<MsgButtons> buttons_;
  std::optional<TModalResult> default_;
  std::optional<TModalResult> answer_;
};

// A common dialog the script expects: it may inspect the request, then confirms it (changed by
// Answer, or as proposed by Ok) or cancels it. Confirms as proposed when nothing is said.
template <class Request>
class DialogExpectation {
 public:
  DialogExpectation& Inspect(std::function<void(const Request&)> inspect) {
    inspect_ = std::move(inspect);
    return *this;
  }
  DialogExpectation& Answer(std::function<void(Request&)> fill) {
    fill_ = std::move(fill);
    ok_ = true;
    return *this;
  }
  DialogExpectation& Ok() {
    return Answer([](Request&) {});
  }
  DialogExpectation& Cancel() {
    ok_ = false;
    return *this;
  }
  // The file or folder chosen.
  DialogExpectation& Answer(const QString& name) requires std::is_same_v<Request, FileDialogRequest> ||
      std::is_same_v<Request, FolderRequest> {
    return Answer([name](Request& request) { NameOf(request) = name; });
  }
  DialogExpectation& Answer(const FontChoice& font) requires std::is_same_v<Request, FontRequest> {
    return Answer([font](FontRequest& request) { request.font = font; });
  }

 private:
  friend class ScriptedDriver;
  static QString& NameOf(FileDialogRequest& request) { return request.fileName; }
  static QString& NameOf(FolderRequest& request) { return request.folder; }

  std::function<void(const Request&)> inspect_;
  std::function<void(Request&)> fill_ = [](Request&) {};
  bool ok_ = true;
};

// Answers what it is told to expect and fails on everything else. UiScript installs one for a
// test's scope; a silent one guards the binary when no script is installed.
class ScriptedDriver : public platform::ui::UiDriver {
 public:
  explicit ScriptedDriver(QString name) : name_(std::move(name)) {}

  TModalResult ShowMessageBox(const platform::ui::MessageRequest& request) override;
  TModalResult RunModal(platform::ui::Form& form) override;
  bool RunOpenFile(FileDialogRequest& request) override;
  bool RunSaveFile(FileDialogRequest& request) override;
  bool RunChooseFolder(FolderRequest& request) override;
  bool RunFont(FontRequest& request) override;
  bool RunPrinterSetup(QPrinter& printer) override;
  bool OpenHelp(const QString& helpFile, const QString& topic) override;
  void Beep() override;

 protected:
  struct ModalExpectation {
    std::string typeName;
    std::function<bool(platform::ui::Form&)> matches;
    std::function<void(platform::ui::Form&)> run;
  };

  void Fail(const std::string& what);  // a gtest failure, counted against Done()
  void Unexpected(const std::string& what);
  // Records one event and returns its position, for the answer to be filled in.
  size_t Record(UiEvent::Kind kind, QString text, QString detail, bool expected);
  template <class Request>
  bool AnswerDialog(std::deque<DialogExpectation<Request>>& queue, Request& request, UiEvent::Kind kind,
                    const QString& title, const char* what);

  QString name_;
  std::deque<MessageExpectation> messages_;
  std::deque<ModalExpectation> modals_;
  std::deque<DialogExpectation<FileDialogRequest>> openFiles_;
  std::deque<DialogExpectation<FileDialogRequest>> saveFiles_;
  std::deque<DialogExpectation<FolderRequest>> folders_;
  std::deque<DialogExpectation<FontRequest>> fonts_;
  std::deque<DialogExpectation<QPrinter>> printerSetups_;
  std::vector<UiEvent> events_;
  int failures_ = 0;
  int unexpected_ = 0;
  const void* countedTest_ = nullptr;
};

class UiScript : public ScriptedDriver {
 public:
  UiScript();
  ~UiScript() override;
  UiScript(const UiScript&) = delete;
  UiScript& operator=(const UiScript&) = delete;

  MessageExpectation& ExpectMessage(const QString& text, const QString& title);

  template <class T>
  void OnModal(std::function<void(T&)> run) {
    modals_.push_back(ModalExpectation{
        TypeName(typeid(T)), [](platform::ui::Form& form) { return dynamic_cast<T*>(&form) != nullptr; },
        [run = std::move(run)](platform::ui::Form& form) { run(dynamic_cast<T&>(form)); }});
  }

  DialogExpectation<FileDialogRequest>& ExpectOpenFile() { return openFiles_.emplace_back(); }
  DialogExpectation<FileDialogRequest>& ExpectSaveFile() { return saveFiles_.emplace_back(); }
  DialogExpectation<FolderRequest>& ExpectFolder() { return folders_.emplace_back(); }
  DialogExpectation<FontRequest>& ExpectFont() { return fonts_.emplace_back(); }
  DialogExpectation<QPrinter>& ExpectPrinterSetup() { return printerSetups_.emplace_back(); }

  // True when every expectation was met and nothing unexpected or mismatched was shown.
  bool Done() const;
  // What is still expected, one line each, for a failing Done().
  std::vector<std::string> Pending() const;

  const std::vector<UiEvent>& Events() const { return events_; }
  int Count(UiEvent::Kind kind) const;

 private:
  platform::ui::UiDriver* previous_;
};

}  // namespace testing_support
