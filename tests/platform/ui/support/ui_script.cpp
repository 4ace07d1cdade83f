#include "platform/ui/support/ui_script.h"

#include <QTest>

#include <cxxabi.h>
#include <gtest/gtest.h>

#include <QPrinter>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <memory>

#include "platform/ui/application.h"

namespace testing_support {

using platform::ui::Form;
using platform::ui::MessageRequest;
using platform::ui::ModalResultName;
using platform::ui::mrCancel;

namespace {

// A test that keeps meeting windows it did not expect is most likely looping on a prompt (a
// retry question answered No); stop it instead of letting it spin until the time-out.
constexpr int kMaxUnexpected = 50;

std::string Text(const QString& text) {
  return text.toStdString();
}

const char* IconName(MsgIcon icon) {
  switch (icon) {
    case MsgIcon::None:
      return "none";
    case MsgIcon::Information:
      return "information";
    case MsgIcon::Warning:
      return "warning";
    case MsgIcon::Question:
      return "question";
    case MsgIcon::Error:
      return "error";
  }
  return "?";
}

const char* ButtonsName(MsgButtons buttons) {
  switch (buttons) {
    case MsgButtons::Ok:
      return "OK";
    case MsgButtons::OkCancel:
      return "OK/Cancel";
    case MsgButtons::YesNo:
      return "Yes/No";
    case MsgButtons::YesNoCancel:
      return "Yes/No/Cancel";
    case MsgButtons::AbortRetryIgnore:
      return "Abort/Retry/Ignore";
  }
  return "?";
}

std::string Describe(const MessageRequest& request) {
  return "message box \"" + Text(request.text) + "\" titled \"" + Text(request.title) + "\" (" +
         ButtonsName(request.buttons) + ", icon " + IconName(request.icon) + ")";
}

std::string Describe(const MessageExpectation& expectation) {
  return "message box \"" + Text(expectation.text()) + "\" titled \"" + Text(expectation.title()) + "\"";
}

// Guards the whole test binary while no UiScript is installed.
ScriptedDriver& Fallback() {
  static ScriptedDriver fallback("no UiScript installed");
  return fallback;
}

const bool kFallbackInstalled = [] {
  platform::ui::InstallUiDriver(&Fallback());
  return true;
}();

}  // namespace

std::vector<QWidget*> WalkTabs(QWidget* first, int steps) {
  first->setFocus(Qt::TabFocusReason);
  QWidget* window = first->window();
  std::vector<QWidget*> walked{window->focusWidget()};
  for (int step = 0; step < steps; ++step) {
    QTest::keyClick(window->focusWidget(), Qt::Key_Tab);
    walked.push_back(window->focusWidget());
  }
  return walked;
}

void EnsureGuiApplication() {
  static int argc = 1;
  static char name[] = "kestrava-tests";
  static char* argv[] = {name, nullptr};
  if (QCoreApplication::instance()) return;
  auto* app = new platform::ui::GuiApplication(argc, argv);  // lives for the run
  app->setQuitOnLastWindowClosed(false);                     // tests close windows without ending anything
}

std::string TypeName(const std::type_info& type) {
  int status = 0;
  std::unique_ptr<char, void (*)(void*)> name(abi::__cxa_demangle(type.name(), nullptr, nullptr, &status),
                                              std::free);
  return status == 0 && name ? name.get() : type.name();
}

MessageExpectation& MessageExpectation::Icon(MsgIcon icon) {
  icon_ = icon;
  return *this;
}
MessageExpectation& MessageExpectation::Buttons(MsgButtons buttons) {
  buttons_ = buttons;
  return *this;
}
MessageExpectation& MessageExpectation::DefaultButton(TModalResult button) {
  default_ = button;
  return *this;
}
MessageExpectation& MessageExpectation::Answer(TModalResult answer) {
  answer_ = answer;
  return *this;
}

void ScriptedDriver::Fail(const std::string& what) {
  ++failures_;
  ADD_FAILURE() << what;
}

void ScriptedDriver::Unexpected(const std::string& what) {
  Fail("Unexpected " + what + " (" + Text(name_) + ")");
  const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
  if (test != countedTest_) {  // counted per test: the guard outlives tests, a script may too
    countedTest_ = test;
    unexpected_ = 0;
  }
  if (++unexpected_ > kMaxUnexpected) {
    std::fprintf(stderr, "UiScript: more than %d unexpected windows; stopping the test.\n", kMaxUnexpected);
    std::abort();
  }
}

size_t ScriptedDriver::Record(UiEvent::Kind kind, QString text, QString detail, bool expected) {
  events_.push_back(UiEvent{kind, std::move(text), std::move(detail), QString(), expected});
  return events_.size() - 1;
}

TModalResult ScriptedDriver::ShowMessageBox(const MessageRequest& request) {
  bool matches = !messages_.empty() && messages_.front().text_ == request.text &&
                 messages_.front().title_ == request.title;
  size_t event = Record(UiEvent::Kind::Message, request.text, request.title, matches);
  TModalResult answer = platform::ui::DismissAnswer(request.buttons);
  if (!matches) {
    Unexpected(Describe(request) + (messages_.empty() ? std::string("; no message box expected")
                                                      : "; expected " + Describe(messages_.front())));
  } else {
    MessageExpectation expected = messages_.front();
    messages_.pop_front();
    TModalResult defaultButton = platform::ui::DefaultButtonOf(request);
    if (expected.icon_ && *expected.icon_ != request.icon) {
      Fail(Describe(request) + ": expected icon " + IconName(*expected.icon_));
    }
    if (expected.buttons_ && *expected.buttons_ != request.buttons) {
      Fail(Describe(request) + ": expected buttons " + ButtonsName(*expected.buttons_));
    }
    if (expected.default_ && *expected.default_ != defaultButton) {
      Fail(Describe(request) + ": expected default button " + ModalResultName(*expected.default_) + ", has " +
           ModalResultName(defaultButton));
    }
    TModalResult chosen = expected.answer_.value_or(defaultButton);
    if (platform::ui::HasButton(request.buttons, chosen)) {
      answer = chosen;
    } else {
      Fail(Describe(request) + " has no button " + ModalResultName(chosen));
    }
  }
  events_[event].answer = ModalResultName(answer);
  return answer;
}

TModalResult ScriptedDriver::RunModal(Form& form) {
  std::string typeName = TypeName(typeid(form));
  bool matches = !modals_.empty() && modals_.front().matches(form);
  // Recorded by position: the run below records more events and may move the list.
  size_t event = Record(UiEvent::Kind::Modal, form.Caption(), QString::fromStdString(typeName), matches);
  if (!matches) {
    Unexpected("modal form " + typeName + " \"" + Text(form.Caption()) + "\"" +
               (modals_.empty() ? std::string("; no modal form expected")
                                : "; expected " + modals_.front().typeName));
    events_[event].answer = ModalResultName(mrCancel);
    return mrCancel;
  }
  ModalExpectation expected = std::move(modals_.front());
  modals_.pop_front();

  form.EnterModalState();
  form.Show();  // FormShow runs, as when a person opens it
  if (form.InModalState()) platform::ui::RunEventHandler([&] { expected.run(form); });
  // Left open: closed by its close box, what was typed given up as the script meant.
  if (form.InModalState()) form.CancelDiscarding();
  if (form.InModalState()) {
    Fail("Modal form " + typeName + " \"" + Text(form.Caption()) +
         "\" refused to close when the script was done with it");
    form.AbandonModal(mrCancel);
  }
  events_[event].answer = ModalResultName(form.ModalResult());
  return form.ModalResult();
}

template <class Request>
bool ScriptedDriver::AnswerDialog(std::deque<DialogExpectation<Request>>& queue, Request& request,
                                  UiEvent::Kind kind, const QString& title, const char* what) {
  size_t event = Record(kind, title, QString(), !queue.empty());
  if (queue.empty()) {
    Unexpected(std::string(what) + " \"" + Text(title) + "\"");
    events_[event].answer = "Cancel";
    return false;
  }
  DialogExpectation<Request> expected = std::move(queue.front());
  queue.pop_front();
  if (expected.inspect_) expected.inspect_(request);
  if (!expected.ok_) {
    events_[event].answer = "Cancel";
    return false;
  }
  expected.fill_(request);
  events_[event].answer = "OK";
  return true;
}

bool ScriptedDriver::RunOpenFile(FileDialogRequest& request) {
  bool ok = AnswerDialog(openFiles_, request, UiEvent::Kind::OpenFile, request.title, "open dialog");
  if (ok) events_.back().answer = request.fileName;
  return ok;
}

bool ScriptedDriver::RunSaveFile(FileDialogRequest& request) {
  bool ok = AnswerDialog(saveFiles_, request, UiEvent::Kind::SaveFile, request.title, "save dialog");
  if (ok) events_.back().answer = request.fileName;
  return ok;
}

bool ScriptedDriver::RunChooseFolder(FolderRequest& request) {
  bool ok = AnswerDialog(folders_, request, UiEvent::Kind::Folder, request.title, "folder dialog");
  if (ok) events_.back().answer = request.folder;
  return ok;
}

bool ScriptedDriver::RunFont(FontRequest& request) {
  return AnswerDialog(fonts_, request, UiEvent::Kind::Font, request.font.name, "font dialog");
}

bool ScriptedDriver::RunPrinterSetup(QPrinter& printer) {
  return AnswerDialog(printerSetups_, printer, UiEvent::Kind::PrinterSetup, printer.printerName(),
                      "printer set-up dialog");
}

bool ScriptedDriver::OpenHelp(const QString& helpFile, const QString& topic) {
  Record(UiEvent::Kind::Help, helpFile, topic, true);
  return true;
}

void ScriptedDriver::Beep() {
  Record(UiEvent::Kind::Beep, QString(), QString(), true);
}

UiScript::UiScript() : ScriptedDriver("UiScript") {
  EnsureGuiApplication();
  previous_ = platform::ui::InstallUiDriver(this);
}

UiScript::~UiScript() {
  platform::ui::InstallUiDriver(previous_);
}

MessageExpectation& UiScript::ExpectMessage(const QString& text, const QString& title) {
  return messages_.emplace_back(text, title);
}

std::vector<std::string> UiScript::Pending() const {
  std::vector<std::string> pending;
  for (const auto& message : messages_) pending.push_back(Describe(message));
  for (const auto& modal : modals_) pending.push_back("modal form " + modal.typeName);
  auto dialogs = [&](size_t count, const char* what) {
    for (size_t i = 0; i < count; ++i) pending.push_back(what);
  };
  dialogs(openFiles_.size(), "open dialog");
  dialogs(saveFiles_.size(), "save dialog");
  dialogs(folders_.size(), "folder dialog");
  dialogs(fonts_.size(), "font dialog");
  dialogs(printerSetups_.size(), "printer set-up dialog");
  return pending;
}

bool UiScript::Done() const {
  std::vector<std::string> pending = Pending();
  for (const auto& line : pending) std::cerr << "UiScript: still expected: " << line << "\n";
  if (failures_ > 0) std::cerr << "UiScript: " << failures_ << " unexpected or mismatched window(s)\n";
  return pending.empty() && failures_ == 0;
}

int UiScript::Count(UiEvent::Kind kind) const {
  int count = 0;
  for (const auto& event : events_) count += event.kind == kind;
  return count;
}

}  // namespace testing_support
