#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QApplication>
#include <QClipboard>
#include <QFileInfo>
#include <QLineEdit>
#include <QListWidget>
#include <QVBoxLayout>
#include <QGuiApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <QWindow>
#include <stdexcept>

#include "platform/ui/application.h"
#include "platform/ui/main_window_form.h"
#include "platform/ui/support/ui_script.h"
#include "platform/ui/text_entry.h"
#include "small_form.h"
#include "support/temp_dir.h"

namespace platform::ui {
namespace {

using testing_support::UiEvent;
using testing_support::UiScript;

void FillValid(TSmallForm& f) {
  f.NameEdit->setText("Acme Tools");
  f.KindCombo->setCurrentIndex(1);
  f.ActiveBox->setChecked(true);
}

TEST(FormTest, ScriptedModalRunShowsFillsAndReturnsTheResult) {
  UiScript ui;
  auto form = CreateForm<TSmallForm>();
  EXPECT_EQ(form->creates, 1);
  EXPECT_EQ(form->KindCombo->count(), 2);  // filled by FormCreate

  ui.OnModal<TSmallForm>([](TSmallForm& f) {
    EXPECT_TRUE(f.Visible());
    EXPECT_TRUE(f.InModalState());
    EXPECT_EQ(f.shows, 1);  // FormShow ran before the script
    EXPECT_EQ(f.focusWidget(), f.NameEdit);
    FillValid(f);
    f.OKBtnClick();
  });
  EXPECT_EQ(form->ShowModal(), mrOk);
  EXPECT_FALSE(form->Visible());
  EXPECT_FALSE(form->InModalState());
  EXPECT_EQ(form->closes, 1);
  EXPECT_EQ(form->KindCombo->currentText(), "Wholesale");
  ASSERT_EQ(ui.Events().size(), 1u);
  EXPECT_EQ(ui.Events()[0].kind, UiEvent::Kind::Modal);
  EXPECT_EQ(ui.Events()[0].text, "Small Record");
  EXPECT_EQ(ui.Events()[0].answer, "mrOk");
  EXPECT_TRUE(ui.Done());
}

TEST(FormTest, OkHandlerRefusesWithMessageBoxesAndKeepsTheFormOpen) {
  UiScript ui;
  auto form = CreateForm<TSmallForm>();
  ui.ExpectMessage("You must enter a name.", "Name").Icon(MsgIcon::Warning).Buttons(MsgButtons::Ok);
  ui.ExpectMessage("Save an inactive record?", "Small Record")
      .Buttons(MsgButtons::YesNo)
      .Icon(MsgIcon::Question)
      .DefaultButton(mrNo)
      .Answer(mrNo);
  ui.ExpectMessage("Save an inactive record?", "Small Record").Answer(mrYes);
  ui.OnModal<TSmallForm>([](TSmallForm& f) {
    f.OKBtnClick();  // no name
    EXPECT_EQ(f.ModalResult(), mrNone);
    EXPECT_TRUE(f.InModalState());
    EXPECT_EQ(f.focusWidget(), f.NameEdit);

    f.NameEdit->setText("Acme Tools");
    f.OKBtnClick();  // inactive: answered No, stays open
    EXPECT_TRUE(f.InModalState());
    EXPECT_EQ(f.focusWidget(), f.ActiveBox);

    f.OKBtn->click();  // the button runs the same handler; answered Yes
    EXPECT_FALSE(f.InModalState());
  });
  EXPECT_EQ(form->ShowModal(), mrOk);
  EXPECT_TRUE(ui.Done());

  // Recorded in the order shown, the boxes inside the form's run.
  ASSERT_EQ(ui.Events().size(), 4u);
  EXPECT_EQ(ui.Events()[0].kind, UiEvent::Kind::Modal);
  EXPECT_EQ(ui.Events()[1].text, "You must enter a name.");
  EXPECT_EQ(ui.Events()[2].answer, "mrNo");
  EXPECT_EQ(ui.Events()[3].answer, "mrYes");
  EXPECT_EQ(ui.Events()[0].answer, "mrOk");
}

// Types into the box as a keyboard would, one key event per character.
void Type(QWidget* box, const QString& text) {
  for (const QChar c : text)
    QTest::sendKeyEvent(QTest::Click, box, Qt::Key_unknown, QString(c), Qt::NoModifier);
  QCoreApplication::processEvents();
}

// Typed keys the files cannot hold are refused with a tip only; OK then says, once and before
// the form's run ends, which of them were left out since the form was shown. A refused paste was
// told at once and is not told again.
TEST(FormTest, OkSaysOnceWhichTypedCharactersWereLeftOutSinceTheFormWasShown) {
  UiScript ui;
  auto form = CreateForm<TSmallForm>();
  ui.ExpectMessage(RefusedCharactersMessage(QString::fromUtf8("\u015e")), kRefusedCharacterTitle);
  ui.ExpectMessage(LeftOutCharactersMessage(QString::fromUtf8("\u0141\u017a")), kRefusedCharacterTitle)
      .Icon(MsgIcon::Warning)
      .Buttons(MsgButtons::Ok);
  ui.OnModal<TSmallForm>([](TSmallForm& f) {
    FillValid(f);
    f.NameEdit->clear();
    Type(f.NameEdit, QString::fromUtf8("\u0141\u00f3d\u017a \u0141td"));
    EXPECT_EQ(f.NameEdit->text(), QString::fromUtf8("\u00f3d td"));
    QGuiApplication::clipboard()->setText(QString::fromUtf8("\u015eirket"));
    QTest::keySequence(f.NameEdit, QKeySequence::Paste);
    QCoreApplication::processEvents();
    f.keepOpen = true;
    f.OKBtnClick();  // said, though the form stays open
    EXPECT_TRUE(f.InModalState());
    f.keepOpen = false;
    f.OKBtnClick();  // not said again
    EXPECT_FALSE(f.InModalState());
  });
  EXPECT_EQ(form->ShowModal(), mrOk);
  EXPECT_TRUE(ui.Done());

  // What was left out while the form was open before is forgotten at its next showing.
  ui.OnModal<TSmallForm>([](TSmallForm& f) { Type(f.NameEdit, QString::fromUtf8("\u0160")); });
  ui.OnModal<TSmallForm>([](TSmallForm& f) { f.OKBtnClick(); });
  EXPECT_EQ(form->ShowModal(), mrCancel);
  EXPECT_EQ(form->ShowModal(), mrOk);
  EXPECT_TRUE(ui.Done());
}

TEST(FormTest, CloseQueryCanRefuseEveryWayOfClosing) {
  UiScript ui;
  auto form = CreateForm<TSmallForm>();
  ui.OnModal<TSmallForm>([](TSmallForm& f) {
    f.keepOpen = true;
    f.CancelBtn->click();
    EXPECT_TRUE(f.InModalState());
    EXPECT_EQ(f.ModalResult(), mrNone);  // the refused result is taken back
    f.Close();
    f.reject();  // Escape
    EXPECT_TRUE(f.Visible());
    EXPECT_EQ(f.closes, 0);
    f.keepOpen = false;
    f.Close();
  });
  EXPECT_EQ(form->ShowModal(), mrCancel);
  EXPECT_EQ(form->closes, 1);
  EXPECT_TRUE(ui.Done());

  // Shown without a modal run, the same query guards Close.
  form->keepOpen = true;
  form->Show();
  EXPECT_EQ(form->shows, 2);
  form->Close();
  EXPECT_TRUE(form->Visible());
  form->keepOpen = false;
  form->Close();
  EXPECT_FALSE(form->Visible());
  EXPECT_EQ(form->closes, 2);
}

TEST(FormTest, AFormTheScriptLeavesOpenIsClosedAndARefusalFailsTheTest) {
  UiScript ui;
  auto form = CreateForm<TSmallForm>();
  ui.OnModal<TSmallForm>([](TSmallForm& f) { f.NameEdit->setText("typed, then walked away"); });
  EXPECT_EQ(form->ShowModal(), mrCancel);
  EXPECT_EQ(form->closes, 1);
  EXPECT_TRUE(ui.Done());

  ui.OnModal<TSmallForm>([](TSmallForm& f) { f.keepOpen = true; });
  TModalResult result = mrNone;
  EXPECT_NONFATAL_FAILURE(result = form->ShowModal(), "refused to close");
  EXPECT_EQ(result, mrCancel);
  EXPECT_FALSE(form->Visible());
  EXPECT_EQ(form->closes, 2);  // abandoned, but its clean-up still ran
  EXPECT_FALSE(ui.Done());
}

TEST(FormTest, NestedModalFormsAndTheirBoxesAreScriptedInTurn) {
  UiScript ui;
  auto outer = CreateForm<TSmallForm>();
  auto inner = CreateForm<TSmallForm>();
  outer->source = inner.get();
  ui.OnModal<TSmallForm>([&](TSmallForm& f) {
    EXPECT_EQ(&f, outer.get());
    f.CopyFromBtnClick();
    EXPECT_EQ(f.NameEdit->text(), "From the inner form");
    EXPECT_TRUE(f.InModalState());  // the inner run did not end the outer one
    f.ActiveBox->setChecked(true);
    f.OKBtnClick();
  });
  ui.OnModal<TSmallForm>([&](TSmallForm& f) {
    EXPECT_EQ(&f, inner.get());
    EXPECT_TRUE(outer->Visible());
    f.OKBtnClick();
    f.NameEdit->setText("From the inner form");
    f.ActiveBox->setChecked(true);
    f.OKBtnClick();
  });
  ui.ExpectMessage("You must enter a name.", "Name");
  EXPECT_EQ(outer->ShowModal(), mrOk);
  EXPECT_TRUE(ui.Done());
  ASSERT_EQ(ui.Events().size(), 3u);
  EXPECT_EQ(ui.Events()[1].kind, UiEvent::Kind::Modal);
  EXPECT_EQ(ui.Events()[2].kind, UiEvent::Kind::Message);
}

class TOtherForm : public Form {};

// A form whose FormShow decides at once (a file that cannot be opened, say).
class TClosesAtOnce : public Form {
 public:
  void FormShow() override { SetModalResult(mrIgnore); }
};

TEST(FormTest, AFormThatEndsItsRunInFormShowSkipsTheScript) {
  UiScript ui;
  TClosesAtOnce form;
  bool ran = false;
  ui.OnModal<TClosesAtOnce>([&](TClosesAtOnce&) { ran = true; });
  EXPECT_EQ(form.ShowModal(), mrIgnore);
  EXPECT_FALSE(ran);
  EXPECT_FALSE(form.Visible());
  EXPECT_TRUE(ui.Done());
}

TEST(FormTest, UnexpectedOrWrongModalFormsFailAndAreCancelledUnshown) {
  UiScript ui;
  auto form = CreateForm<TSmallForm>();
  TModalResult result = mrNone;
  EXPECT_NONFATAL_FAILURE(result = form->ShowModal(), "Unexpected modal form platform::ui::TSmallForm");
  EXPECT_EQ(result, mrCancel);
  EXPECT_EQ(form->shows, 0);

  bool ran = false;
  ui.OnModal<TOtherForm>([&](TOtherForm&) { ran = true; });
  EXPECT_NONFATAL_FAILURE(result = form->ShowModal(),
                          "; expected platform::ui::(anonymous namespace)::TOtherForm");
  EXPECT_EQ(result, mrCancel);
  EXPECT_FALSE(ran);
  EXPECT_FALSE(ui.Done());
}

class TFailsToShow : public Form {
 public:
  void FormShow() override {
    if (fail) throw std::runtime_error("Customer Search operation failed");
  }
  bool fail = true;
};

TEST(FormTest, AnErrorWhileShowingReachesTheCallerAndLeavesNoModalWindowBehind) {
  UiScript ui;
  TFailsToShow form;
  ui.OnModal<TFailsToShow>(
      [](TFailsToShow&) { ADD_FAILURE() << "the script runs only once the form is shown"; });
  EXPECT_THROW(form.ShowModal(), std::runtime_error);
  EXPECT_FALSE(form.Visible());
  EXPECT_FALSE(form.InModalState());

  EXPECT_THROW(form.Show(), std::runtime_error);  // shown without a modal run alike
  form.Hide();

  ui.OnModal<TFailsToShow>([](TFailsToShow& f) { f.SetModalResult(mrOk); });
  form.fail = false;
  EXPECT_EQ(form.ShowModal(), mrOk);  // usable again
  EXPECT_TRUE(ui.Done());
}

TEST(FormTest, AVisibleFormCannotStartAModalRun) {
  UiScript ui;
  auto form = CreateForm<TSmallForm>();
  form->Show();
  EXPECT_THROW(form->ShowModal(), std::logic_error);
  form->Hide();
  EXPECT_TRUE(ui.Done());
}

// Runs the real modal loop; a safety timer ends a run that the test failed to end, so a fault
// shows as a wrong result instead of a hang. The timers go with the call, however it ends.
TModalResult RunForReal(Form& form, std::function<void()> act) {
  testing_support::EnsureGuiApplication();
  struct QtDriverInstalled {
    UiDriver* previous = InstallUiDriver(nullptr);
    ~QtDriverInstalled() { InstallUiDriver(previous); }
  } installed;
  QTimer start;
  start.setSingleShot(true);
  QObject::connect(&start, &QTimer::timeout, act);
  start.start(0);
  QTimer safety;  // also closes any box that came up in front of the form
  QObject::connect(&safety, &QTimer::timeout, [&form] {
    QWidget* front = QApplication::activeModalWidget();
    if (front && front != &form) front->close();
    form.AbandonModal(mrAbort);
  });
  safety.start(5000);
  return form.ShowModal();
}

TEST(FormTest, TheRealModalLoopEndsByResultByEscapeAndFromFormShow) {
  testing_support::EnsureGuiApplication();
  auto form = CreateForm<TSmallForm>();
  EXPECT_EQ(RunForReal(*form,
                       [&] {
                         EXPECT_TRUE(form->isModal() || form->windowModality() == Qt::ApplicationModal);
                         FillValid(*form);
                         form->OKBtn->click();
                       }),
            mrOk);
  EXPECT_EQ(form->closes, 1);
  EXPECT_EQ(form->windowModality(), Qt::NonModal);

  EXPECT_EQ(RunForReal(*form, [&] { QTest::keyClick(form->NameEdit, Qt::Key_Escape); }), mrCancel);

  TClosesAtOnce atOnce;
  EXPECT_EQ(RunForReal(atOnce, [] {}), mrIgnore);

  TFailsToShow failing;
  EXPECT_THROW(RunForReal(failing, [] {}), std::runtime_error);
  EXPECT_FALSE(failing.Visible());
  EXPECT_EQ(failing.windowModality(), Qt::NonModal);
}

TEST(FormTest, EscapeInAnOpenDropDownClosesTheDropDownOnly) {
  testing_support::EnsureGuiApplication();
  auto form = CreateForm<TSmallForm>();
  bool openAfterEscape = false;
  bool listOpenAfterEscape = true;
  EXPECT_EQ(RunForReal(*form,
                       [&] {
                         form->KindCombo->setEditable(true);
                         form->KindCombo->showPopup();
                         QWidget* list = form->KindCombo->view();
                         ASSERT_TRUE(QTest::qWaitForWindowExposed(list->window()));
                         QTest::keyClick(form->KindCombo->lineEdit(), Qt::Key_Escape);
                         openAfterEscape = form->Visible();
                         listOpenAfterEscape = list->isVisible();
                         QTest::keyClick(form->NameEdit, Qt::Key_Escape);  // now the form goes
                       }),
            mrCancel);
  EXPECT_TRUE(openAfterEscape);
  EXPECT_FALSE(listOpenAfterEscape);
}

// Typing goes to the focus widget of the window in front, as from a keyboard.
void TypeEscape() {
  QWidget* target = QApplication::focusWidget();
  if (!target) target = QApplication::activeModalWidget();
  ASSERT_NE(target, nullptr);
  QTest::keyClick(target, Qt::Key_Escape);
}

// A form run from another one belongs to it while it runs (the window manager keeps it above
// that window and gives it the keyboard back when that window is clicked), and Esc typed then
// closes it alone.
TEST(FormTest, AFormRunFromAnotherBelongsToItWhileItRunsAndEscapeClosesItAlone) {
  testing_support::EnsureGuiApplication();
  auto outer = CreateForm<TSmallForm>();
  auto inner = CreateForm<TSmallForm>();
  QWindow* ownerWhileRunning = nullptr;
  TModalResult innerResult = mrNone;
  bool outerOpenAfterEscape = false;
  EXPECT_EQ(RunForReal(*outer,
                       [&] {
                         QTimer::singleShot(0, [&] {
                           ownerWhileRunning = inner->windowHandle()->transientParent();
                           EXPECT_TRUE(QTest::qWaitForWindowActive(inner.get()));
                           TypeEscape();
                         });
                         innerResult = inner->ShowModal();
                         outerOpenAfterEscape = outer->Visible();
                         TypeEscape();
                       }),
            mrCancel);
  EXPECT_EQ(ownerWhileRunning, outer->windowHandle());
  EXPECT_EQ(innerResult, mrCancel);
  EXPECT_TRUE(outerOpenAfterEscape);
  EXPECT_EQ(inner->windowHandle()->transientParent(), nullptr);  // shown on its own later
}

// Answers the message box that comes up in front next, with the given button, as a user would.
void AnswerNextBox(QMessageBox::StandardButton answer) {
  QTimer::singleShot(0, [answer] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    ASSERT_NE(box, nullptr);
    EXPECT_TRUE(QTest::qWaitForWindowActive(box));
    box->button(answer)->click();
  });
}

// Types where the keyboard is, as a user would: nowhere when no window of the program has it.
void TypeAltLetter(Qt::Key letter) {
  if (QWidget* target = QApplication::focusWidget()) QTest::keyClick(target, letter, Qt::AltModifier);
}

// Whatever a box in front of a form or a form run from another one ends with, the window the user
// comes back to is active and has the keyboard at once: typed work kept with No, then thrown away
// with Yes, and the Alt letter of the window run from at once ("&Cancel" closes it).
TEST(FormTest, TheWindowTheUserComesBackToHasTheKeyboard) {
  testing_support::EnsureGuiApplication();
  auto outer = CreateForm<TSmallForm>();
  auto inner = CreateForm<TSmallForm>();
  inner->AskBeforeDiscarding("Discard this record?");
  bool innerActiveAfterNo = false;
  bool outerActiveAfterYes = false;
  TModalResult innerResult = mrNone;
  EXPECT_EQ(RunForReal(*outer,
                       [&] {
                         QTimer::singleShot(0, [&] {
                           EXPECT_TRUE(QTest::qWaitForWindowActive(inner.get()));
                           QTest::keyClicks(inner->NameEdit, "Acme");
                           AnswerNextBox(QMessageBox::No);
                           TypeEscape();
                           innerActiveAfterNo = QTest::qWaitForWindowActive(inner.get(), 1000);
                           AnswerNextBox(QMessageBox::Yes);
                           TypeEscape();
                         });
                         innerResult = inner->ShowModal();
                         outerActiveAfterYes = QTest::qWaitForWindowActive(outer.get(), 1000);
                         TypeAltLetter(Qt::Key_C);
                       }),
            mrCancel);
  EXPECT_EQ(innerResult, mrCancel);
  EXPECT_TRUE(innerActiveAfterNo);
  EXPECT_TRUE(outerActiveAfterYes);
}

// Keys land where the user meant them: a button's Alt letter clicks it before the keys typed after
// it are handled, an Alt letter of no command types nothing, and Enter in a box presses only the
// button the window made its default.
TEST(FormTest, AltLettersAndEnterReachOnlyTheirCommands) {
  testing_support::EnsureGuiApplication();
  Form form;
  auto* amount = new QLineEdit(&form);
  auto* items = new QListWidget(&form);
  items->addItems({"1001", "1002", "4000"});
  auto* move = new QPushButton("&Move", &form);
  auto* post = new QPushButton("&Post", &form);
  auto* layout = new QVBoxLayout(&form);
  for (QWidget* widget : std::initializer_list<QWidget*>{amount, items, move, post}) layout->addWidget(widget);
  std::vector<QString> clicks;  // each click, with the amount box as the click found it
  QObject::connect(move, &QPushButton::clicked, [&] { clicks.push_back("move [" + amount->text() + "]"); });
  QObject::connect(post, &QPushButton::clicked, [&] { clicks.push_back("post"); });
  form.show();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
  amount->setFocus();

  QTest::keyClick(amount, Qt::Key_Return);
  QCoreApplication::processEvents();
  EXPECT_TRUE(clicks.empty()) << "no default button: Enter presses none";

  // One burst: Alt+M and the amount after it, nothing handled between.
  QTest::keyClick(amount, Qt::Key_M, Qt::AltModifier);
  QTest::keyClicks(amount, "40");
  QTest::qWait(200);
  EXPECT_EQ(clicks, std::vector<QString>{"move []"});
  EXPECT_EQ(amount->text(), "40");

  post->setEnabled(false);
  QTest::keyClick(amount, Qt::Key_P, Qt::AltModifier);  // the letter of a disabled button
  QTest::keyClick(amount, Qt::Key_Z, Qt::AltModifier);  // a letter of no command
  items->setFocus();
  items->setCurrentRow(0);
  QTest::keyClick(items, Qt::Key_4, Qt::AltModifier);
  QTest::qWait(200);
  EXPECT_EQ(amount->text(), "40");
  EXPECT_EQ(items->currentRow(), 0);
  EXPECT_EQ(clicks.size(), 1u);

  post->setEnabled(true);
  post->setDefault(true);
  amount->setFocus();
  QTest::keyClick(amount, Qt::Key_Return);
  EXPECT_EQ(clicks.back(), "post");
  form.hide();
}

TEST(FormTest, ShowingAFormAlreadyOpenBringsItToTheFront) {
  testing_support::EnsureGuiApplication();
  auto form = CreateForm<TSmallForm>();
  form->Show();
  ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
  QWidget other;
  other.show();
  other.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&other));
  const int shows = form->shows;
  form->Show();
  EXPECT_TRUE(QTest::qWaitForWindowActive(form.get()));
  EXPECT_EQ(form->shows, shows);  // not shown anew: FormShow does not run again
  form->showMinimized();
  form->Show();
  EXPECT_FALSE(form->isMinimized());
  EXPECT_TRUE(QTest::qWaitForWindowActive(form.get()));
  form->Close();
}

// A narrow window is widened on showing, and when its caption grows, so that the title bar shows
// the whole caption.
TEST(FormTest, ANarrowWindowShowsItsWholeCaption) {
  testing_support::EnsureGuiApplication();
  auto form = CreateForm<TSmallForm>();
  form->resize(120, 200);
  form->SetCaption("Customer Data");
  form->Show();
  EXPECT_GE(form->width(), CaptionWidth(*form));
  EXPECT_GT(CaptionWidth(*form), 150);  // the caption itself counts, not only the buttons
  form->SetCaption("Customer Data - Wholesale Hardware & Building Supply");
  EXPECT_GE(form->width(), CaptionWidth(*form));
  EXPECT_EQ(form->height(), 200);
  form->Close();
}

TEST(FormTest, PlacementOnTheScreen) {
  UiScript ui;
  auto form = CreateForm<TSmallForm>();
  form->resize(300, 200);
  QRect area = QGuiApplication::primaryScreen()->availableGeometry();
  form->PlaceAtTopOfScreen();
  EXPECT_EQ(form->frameGeometry().top(), area.top());
  EXPECT_EQ(form->frameGeometry().center().x(), area.center().x());
  form->PlaceCentred();
  EXPECT_LE(std::abs(form->frameGeometry().center().y() - area.center().y()), 1);
  EXPECT_LE(std::abs(form->frameGeometry().center().x() - area.center().x()), 1);
  QWidget other;
  other.setGeometry(40, 50, 500, 400);
  form->PlaceCentredOn(other);
  EXPECT_LE((form->frameGeometry().center() - other.frameGeometry().center()).manhattanLength(), 2);
  form->PlaceAt(12, 34);
  EXPECT_EQ(form->pos(), QPoint(12, 34));
}

TEST(FormTest, F1OpensTheFormsHelpKeywordOrContext) {
  testing_support::TempDir dir;
  UiScript ui;
  QString previousHelp = Application->HelpFile;
  Application->HelpFile = "OVINV.hlp";
  auto form = CreateForm<TSmallForm>();

  ui.ExpectMessage("No help is installed.", Application->Title).Icon(MsgIcon::Information);
  QTest::keyClick(form->NameEdit, Qt::Key_F1);  // the edit passes F1 on to its form
  EXPECT_EQ(ui.Count(UiEvent::Kind::Help), 0);

  QFile file(QString::fromStdString(dir.File("ovinv.HLP")));
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.close();
  QTest::keyClick(form.get(), Qt::Key_F1);
  form->SetHelpKeyword("");
  form->SetHelpContext(120);
  QTest::keyClick(form.get(), Qt::Key_F1);
  form->SetHelpContext(0);
  QTest::keyClick(form.get(), Qt::Key_F1);  // neither: nothing happens

  ASSERT_EQ(ui.Count(UiEvent::Kind::Help), 2);
  EXPECT_EQ(QFileInfo(ui.Events()[1].text).fileName(), "ovinv.HLP");  // found whatever its case
  EXPECT_EQ(ui.Events()[1].detail, "SmallRecord");
  EXPECT_EQ(ui.Events()[2].detail, "120");
  EXPECT_TRUE(ui.Done());
  Application->HelpFile = previousHelp;
}

class TTestMainForm : public MainWindowForm {
 public:
  void FormShow() override { ++shows; }
  void FormCloseQuery(bool& canClose) override { canClose = allowClose; }
  void FormClose() override { ++closes; }
  int shows = 0;
  int closes = 0;
  bool allowClose = false;
};

TEST(FormTest, MainWindowSharesTheShowAndCloseHooks) {
  testing_support::EnsureGuiApplication();
  TTestMainForm* main = nullptr;
  Application->CreateForm(main);
  ASSERT_NE(main, nullptr);
  main->SetCaption("OV Kestrava 4");
  main->Show();
  EXPECT_EQ(main->shows, 1);
  main->Close();
  EXPECT_TRUE(main->Visible());
  EXPECT_EQ(main->closes, 0);
  main->allowClose = true;
  main->Close();
  EXPECT_FALSE(main->Visible());
  EXPECT_EQ(main->closes, 1);
  EXPECT_EQ(main->Caption(), "OV Kestrava 4");
  Application->DestroyForms();
}

}  // namespace
}  // namespace platform::ui
