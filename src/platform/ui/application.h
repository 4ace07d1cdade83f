#pragma once
// The application object: title, help file, button hints, pumping pending events, the error
// box for an error raised in an event handler, and the forms that live for the whole run.
//
// Errors never cross the event loop: GuiApplication catches whatever an event handler raises and
// shows its text in the error box; code that runs a handler by itself (a test, a timer set up
// outside Qt) does the same through RunEventHandler.

#include <QApplication>
#include <QString>
#include <exception>
#include <functional>
#include <memory>
#include <vector>

#include "platform/ui/form_base.h"

namespace platform::ui {

class TApplication {
 public:
  TApplication();
  ~TApplication();
  TApplication(const TApplication&) = delete;
  TApplication& operator=(const TApplication&) = delete;

  QString Title;     // caption of plain message boxes and of the error box
  QString HelpFile;  // name of the help file in the program directory; empty: no help

  // Button hints (tool tips) for the whole program.
  bool ShowHint() const { return showHint_; }
  void SetShowHint(bool show);

  // Lets pending events run (painting, timers, input), so a long task keeps its windows alive.
  void ProcessMessages();

  // The error box: the text of the error, the application's title, the error icon.
  void HandleException(const std::exception& error);
  void ShowException(const QString& text);

  // Help: opens the help file at a topic, keyword or context number when the file is installed;
  // otherwise says that no help is installed.
  void HelpJump(const QString& topic);
  void HelpKeyword(const QString& keyword);
  void HelpContext(int context);
  bool HelpInstalled() const;

  // Makes one of the program's forms (running its FormCreate), keeps it until DestroyForms or
  // the end of the run, and points `instance` at it, the way each form's global instance is set.
  // `instance` must outlive the form (it is the form's global).
  template <class T>
  void CreateForm(T*& instance) {
    auto form = platform::ui::CreateForm<T>();
    instance = form.get();
    forms_.push_back({std::unique_ptr<QWidget>(form.release()), [&instance] { instance = nullptr; }});
  }
  // Destroys the forms made by CreateForm, the last made first, and sets each global instance
  // back to nil so nothing keeps a pointer to a destroyed form.
  void DestroyForms();

 private:
  void OpenHelpAt(const QString& topic);

  bool showHint_ = true;
  std::unique_ptr<QObject> hintFilter_;
  struct OwnedForm {
    std::unique_ptr<QWidget> form;
    std::function<void()> forget;  // clears the form's global instance
  };
  std::vector<OwnedForm> forms_;
};

extern TApplication* const Application;

// The program's QApplication: an error raised by an event handler is shown in the error box
// instead of escaping the event loop. A button's Alt letter clicks it at once, before the keys
// typed after it; an Alt letter that reaches no command types nothing.
class GuiApplication : public QApplication {
 public:
  GuiApplication(int& argc, char** argv);
  bool notify(QObject* receiver, QEvent* event) override;
};

// Shows an error caught at an event handler's boundary in the error box.
void ReportHandlerError(std::exception_ptr error);

// Runs an event handler the way the event loop would: an error it raises is shown in the error
// box and goes no further. True when the handler finished without an error.
template <class Handler>
bool RunEventHandler(Handler&& handler) {
  try {
    handler();
    return true;
  } catch (...) {
    ReportHandlerError(std::current_exception());
    return false;
  }
}

}  // namespace platform::ui
