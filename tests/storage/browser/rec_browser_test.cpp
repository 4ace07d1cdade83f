// The browser window offscreen: keys, mouse and scroll bars move the highlight, typed keys find
// records, double-click and row changes call back, errors go to the error box, and the rows
// are painted in the colours given.

#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QKeyEvent>
#include <QScrollBar>
#include <QTest>
#include <QThread>
#include <QTimer>
#include <cstdlib>

#include "platform/text/codepage.h"
#include "platform/text/key_text.h"
#include "platform/ui/application.h"
#include "platform/ui/support/ui_script.h"
#include "sample_file.h"
#include "storage/browser/rec_browser.h"
#include "support/whole_window.h"

namespace storage::testing {
namespace {

using testing_support::UiScript;

class RecBrowserTest : public ::testing::Test {
 protected:
  void SetUp() override {
    testing_support::EnsureGuiApplication();
    browser_ = std::make_unique<TRecBrowser>();
    browser_->setFont(QFont("Liberation Mono", 10));
    browser_->OnBuildRow = [this](TRecBrowser*, RowRec& rr) {
      ++built_;
      rr.Text[0] = platform::text::PadRightWith(buffer_.Name.Get(), ' ', 20) + " " +
                   platform::text::PadRightWith(buffer_.Number.Get(), ' ', 8) + " " + buffer_.City.Get();
      return 0;
    };
    browser_->OnRowChanged = [this](TRecBrowser*) { ++rowChanges_; };
  }

  void TearDown() override { browser_.reset(); }

  void AddNames(int count) {
    for (int i = 0; i < count; ++i) {
      char name[32];
      std::snprintf(name, sizeof name, "NAME %03d", i);
      file_.Add(name, std::to_string(1000 + i), i % 2 ? "LYON" : "PARIS");
    }
  }

  // Attaches the file the way every manager does, in a window of `rows` rows (no header).
  void AttachAndShow(int rows = 10) {
    browser_->Attach(browser_->BrowserDataSourceCreate(file_.Block(), 1, 100, SampleNameKey, "", "", &buffer_,
                                                       sizeof buffer_, false));
    browser_->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(browser_.get()));
    SizeForRows(rows);
    browser_->activateWindow();
    browser_->setFocus();
    browser_->BrowserGoToKey("", 0);
  }

  // Once shown (the scroll bars are laid out then): a window whose rows area holds `rows`
  // lines and half a line more.
  void SizeForRows(int rows) {
    int frame = browser_->height() - browser_->viewport()->height();
    browser_->resize(500, frame + rows * browser_->RowHeight() + browser_->RowHeight() / 2);
  }

  std::string CurrentName() {
    int32_t status = -9;
    EXPECT_EQ(browser_->BrowserReadCurrent(status), 0);
    EXPECT_EQ(status, 0);
    return buffer_.Name.Get();
  }
  int CurrentRow() const { return browser_->DataSource()->CurrentRow(); }
  QPoint RowPoint(int row) const { return QPoint(20, browser_->RowToY(row) + browser_->RowHeight() / 2); }

  void SendMouse(QEvent::Type type, QPoint at, Qt::MouseButtons buttons) {
    QMouseEvent event(type, at, browser_->viewport()->mapToGlobal(at), Qt::LeftButton, buttons,
                      Qt::NoModifier);
    QApplication::sendEvent(browser_->viewport(), &event);
  }

  SampleFile file_;
  SampleRec buffer_;
  std::unique_ptr<TRecBrowser> browser_;
  int built_ = 0;
  int rowChanges_ = 0;
};

TEST_F(RecBrowserTest, WithoutADataSourceTheBrowserAnswersNoData) {
  EXPECT_EQ(browser_->BrowserCurrentRef(), 0);
  EXPECT_EQ(browser_->BrowserKeyNumber(), 65535);
  int32_t status = 0;
  EXPECT_EQ(browser_->BrowserReadCurrent(status), 5);
  EXPECT_EQ(browser_->BrowserReadRecordOfRow(1), 5);
  EXPECT_FALSE(browser_->Ready());
  browser_->BrowserGoToKey("A", 0);  // nothing to do, nothing shown
  browser_->BrowserRefresh();
}

// Every move on an empty file finds nothing and shows no error, yet each one raises the row
// change, as on any file: the managers show their count ("Customers: 0") there.
TEST_F(RecBrowserTest, AnEmptyFileHasNoCurrentRecordAndEveryMoveIsQuietButRaisesTheRowChange) {
  AttachAndShow(5);
  EXPECT_GE(rowChanges_, 1);  // the first page, empty as it is
  EXPECT_LT(browser_->BrowserCurrentRef(), 1);
  int32_t status = 0;
  EXPECT_EQ(browser_->BrowserReadCurrent(status), 0);
  EXPECT_EQ(status, IsamErrorClassNotFound);
  for (int key : {Qt::Key_Down, Qt::Key_Up, Qt::Key_PageDown, Qt::Key_PageUp, Qt::Key_A, Qt::Key_Plus}) {
    const int before = rowChanges_;
    QTest::keyClick(browser_.get(), static_cast<Qt::Key>(key));
    EXPECT_EQ(rowChanges_, before + 1) << "key " << key;
  }
  int before = rowChanges_;
  QTest::keyClick(browser_.get(), Qt::Key_End, Qt::ControlModifier);
  EXPECT_EQ(rowChanges_, before + 1);
  before = rowChanges_;
  QTest::mouseClick(browser_->viewport(), Qt::LeftButton, {}, RowPoint(3));
  EXPECT_EQ(rowChanges_, before + 1);
  EXPECT_EQ(CurrentRow(), 1);
  EXPECT_LT(browser_->BrowserCurrentRef(), 1);
  EXPECT_EQ(browser_->verticalScrollBar()->value(), 0);
}

TEST_F(RecBrowserTest, GeometryFollowsTheFontTheHeaderAndTheFooter) {
  AddNames(30);
  AttachAndShow(10);
  QFontMetrics metrics(browser_->font());
  EXPECT_EQ(browser_->RowHeight(), metrics.height() + std::max(0, metrics.leading()));
  EXPECT_EQ(browser_->CharWidth(), (metrics.maxWidth() + metrics.averageCharWidth()) / 2);
  EXPECT_EQ(browser_->TextWidth(), 128 * browser_->CharWidth());
  EXPECT_EQ(browser_->DataSource()->RowsInUse(), 10);
  EXPECT_EQ(browser_->DataSource()->LastFilledRow(), 10);

  browser_->SetHeader("Name");
  browser_->SetFooter("End");
  EXPECT_EQ(browser_->DataSource()->RowsInUse(), 8);
  EXPECT_EQ(browser_->RowToY(1), browser_->RowHeight());
  EXPECT_EQ(browser_->YToRow(browser_->RowToY(3) + 1), 3);
  EXPECT_EQ(browser_->YToRow(1), 0);
  EXPECT_EQ(browser_->RowToY(9), browser_->RowToY(8) + browser_->RowHeight());  // the footer line

  browser_->resize(500, 10);  // too low for a single row: still one
  EXPECT_EQ(browser_->DataSource()->RowsInUse(), 1);
  EXPECT_EQ(CurrentName(), "NAME 000");

  // The horizontal range is the text width less the window's.
  EXPECT_EQ(browser_->horizontalScrollBar()->maximum(),
            browser_->TextWidth() - browser_->viewport()->width());
}

TEST_F(RecBrowserTest, KeysMoveTheHighlightAndTheText) {
  AddNames(30);
  AttachAndShow(10);
  EXPECT_EQ(CurrentName(), "NAME 000");
  QTest::keyClick(browser_.get(), Qt::Key_Down);
  QTest::keyClick(browser_.get(), Qt::Key_Down);
  EXPECT_EQ(CurrentName(), "NAME 002");
  EXPECT_EQ(CurrentRow(), 3);
  QTest::keyClick(browser_.get(), Qt::Key_Up);
  EXPECT_EQ(CurrentName(), "NAME 001");
  QTest::keyClick(browser_.get(), Qt::Key_PageDown);
  EXPECT_EQ(CurrentName(), "NAME 011");
  QTest::keyClick(browser_.get(), Qt::Key_PageUp);
  EXPECT_EQ(CurrentName(), "NAME 001");
  QTest::keyClick(browser_.get(), Qt::Key_End, Qt::ControlModifier);
  EXPECT_EQ(CurrentName(), "NAME 029");
  EXPECT_EQ(CurrentRow(), 10);
  EXPECT_EQ(browser_->verticalScrollBar()->value(), 63);
  QTest::keyClick(browser_.get(), Qt::Key_Home, Qt::ControlModifier);
  EXPECT_EQ(CurrentName(), "NAME 000");
  EXPECT_EQ(browser_->verticalScrollBar()->value(), 0);
  EXPECT_GE(rowChanges_, 6);

  int cw = browser_->CharWidth();
  QTest::keyClick(browser_.get(), Qt::Key_Right);
  EXPECT_EQ(browser_->HorizOfs(), cw);
  QTest::keyClick(browser_.get(), Qt::Key_Right, Qt::ControlModifier);
  EXPECT_EQ(browser_->HorizOfs(), 11 * cw);
  QTest::keyClick(browser_.get(), Qt::Key_Left);
  EXPECT_EQ(browser_->HorizOfs(), 10 * cw);
  QTest::keyClick(browser_.get(), Qt::Key_End);
  EXPECT_EQ(browser_->HorizOfs(), browser_->horizontalScrollBar()->maximum());
  QTest::keyClick(browser_.get(), Qt::Key_Left, Qt::ControlModifier);
  EXPECT_EQ(browser_->HorizOfs(), browser_->horizontalScrollBar()->maximum() - 10 * cw);
  QTest::keyClick(browser_.get(), Qt::Key_Home);
  EXPECT_EQ(browser_->HorizOfs(), 0);
}

TEST_F(RecBrowserTest, TypedKeysAreUpperCasedAndSearchedAndPlusRefreshes) {
  for (const char* name : {"Adams", "Baker", "Dale", "dixon", "Evans", "Zorn"}) file_.Add(name, name, "X");
  file_.Add(platform::text::ToAnsi(QString::fromUtf8("Ärger")), "AE", "X");
  AttachAndShow(4);
  QTest::keyClicks(browser_.get(), "d");
  EXPECT_EQ(CurrentName(), "Dale");
  QTest::keyClicks(browser_.get(), "C");  // no C: the next key
  EXPECT_EQ(CurrentName(), "Dale");
  QTest::keyClicks(browser_.get(), "e");
  EXPECT_EQ(CurrentName(), "Evans");
  QKeyEvent umlaut(QEvent::KeyPress, Qt::Key_Adiaeresis, Qt::NoModifier, QString::fromUtf8("ä"));
  QApplication::sendEvent(browser_.get(), &umlaut);  // after every plain letter
  EXPECT_EQ(platform::text::ToQString(CurrentName()), QString::fromUtf8("Ärger"));
  QTest::keyClicks(browser_.get(), "!");  // not a search character
  EXPECT_EQ(platform::text::ToQString(CurrentName()), QString::fromUtf8("Ärger"));

  QTest::keyClicks(browser_.get(), "a");
  EXPECT_EQ(CurrentName(), "Adams");
  EXPECT_EQ(file_.Read(browser_->DataSource()->Row(3).Ref).Name.Get(), "Dale");
  IsamRecRef bell = file_.Add("Bell", "BE", "X");  // behind the browser's back
  QTest::keyClicks(browser_.get(), "+");
  EXPECT_EQ(browser_->DataSource()->Row(3).Ref, bell);
  EXPECT_EQ(CurrentName(), "Adams");
}

TEST_F(RecBrowserTest, ClicksDoubleClicksDragsAndTheWheelMoveTheHighlight) {
  AddNames(40);
  AttachAndShow(10);
  int doubleClicks = 0;
  IsamRecRef clicked = 0;
  browser_->OnDblClick = [&](TRecBrowser* sender) {
    ++doubleClicks;
    clicked = sender->BrowserCurrentRef();
  };
  QTest::mouseClick(browser_->viewport(), Qt::LeftButton, {}, RowPoint(4));
  EXPECT_EQ(CurrentRow(), 4);
  EXPECT_EQ(CurrentName(), "NAME 003");
  QTest::mouseDClick(browser_->viewport(), Qt::LeftButton, {}, RowPoint(6));
  EXPECT_EQ(doubleClicks, 1);
  EXPECT_EQ(CurrentName(), "NAME 005");
  EXPECT_EQ(clicked, browser_->BrowserCurrentRef());

  // Dragging over the rows moves the highlight; below them the page scrolls on a timer until
  // the button is released.
  SendMouse(QEvent::MouseButtonPress, RowPoint(2), Qt::LeftButton);
  SendMouse(QEvent::MouseMove, RowPoint(7), Qt::LeftButton);
  EXPECT_EQ(CurrentRow(), 7);
  SendMouse(QEvent::MouseMove, QPoint(20, browser_->viewport()->height() + 30), Qt::LeftButton);
  QTest::qWait(500);
  SendMouse(QEvent::MouseButtonRelease, QPoint(20, browser_->viewport()->height() + 30), Qt::NoButton);
  std::string reached = CurrentName();
  EXPECT_GT(reached, "NAME 010");
  EXPECT_EQ(CurrentRow(), 10);
  QTest::qWait(150);
  EXPECT_EQ(CurrentName(), reached);  // released: no more scrolling

  QWheelEvent wheel(QPointF(20, 20), browser_->viewport()->mapToGlobal(QPointF(20, 20)), QPoint(),
                    QPoint(0, -QWheelEvent::DefaultDeltasPerStep), Qt::NoButton, Qt::NoModifier,
                    Qt::NoScrollPhase, false);
  int before = std::stoi(reached.substr(5));
  QApplication::sendEvent(browser_->viewport(), &wheel);
  EXPECT_EQ(std::stoi(CurrentName().substr(5)), before + QApplication::wheelScrollLines());
}

TEST_F(RecBrowserTest, ScrollBarsStepPageAndJump) {
  AddNames(200);
  AttachAndShow(10);
  QScrollBar* vertical = browser_->verticalScrollBar();
  EXPECT_EQ(vertical->maximum(), 63);
  vertical->triggerAction(QAbstractSlider::SliderSingleStepAdd);
  EXPECT_EQ(CurrentName(), "NAME 001");
  vertical->triggerAction(QAbstractSlider::SliderPageStepAdd);
  EXPECT_EQ(CurrentName(), "NAME 011");
  vertical->triggerAction(QAbstractSlider::SliderToMaximum);
  EXPECT_EQ(CurrentName(), "NAME 199");
  EXPECT_EQ(vertical->value(), 63);
  vertical->triggerAction(QAbstractSlider::SliderPageStepSub);
  EXPECT_EQ(CurrentName(), "NAME 189");
  vertical->triggerAction(QAbstractSlider::SliderToMinimum);
  EXPECT_EQ(CurrentName(), "NAME 000");
  EXPECT_EQ(vertical->value(), 0);

  // Dragging the thumb goes, on release, to the entry found for its place.
  vertical->setSliderDown(true);
  vertical->setSliderPosition(32);
  EXPECT_EQ(CurrentName(), "NAME 000");
  vertical->setSliderDown(false);
  int reached = std::stoi(CurrentName().substr(5));
  EXPECT_GT(reached, 60);
  EXPECT_LT(reached, 140);

  QScrollBar* horizontal = browser_->horizontalScrollBar();
  horizontal->triggerAction(QAbstractSlider::SliderSingleStepAdd);
  EXPECT_EQ(browser_->HorizOfs(), browser_->CharWidth());
  horizontal->triggerAction(QAbstractSlider::SliderPageStepAdd);
  EXPECT_EQ(browser_->HorizOfs(), 11 * browser_->CharWidth());
  horizontal->triggerAction(QAbstractSlider::SliderToMinimum);
  EXPECT_EQ(browser_->HorizOfs(), 0);
}

TEST_F(RecBrowserTest, TheFilterIsAskedOnlyWhileEnabledAndReportsItsWork) {
  AddNames(20);
  int filterCalls = 0;
  std::vector<int> states;
  browser_->OnPerformFilter = [&](TRecBrowser* sender, RowRec& rr, bool& useIt) {
    ++filterCalls;
    EXPECT_FALSE(sender->Ready());
    EXPECT_EQ(sender->BrowserReadRecordOfRow(rr.Ref), 0);
    useIt = buffer_.City.Get() == "PARIS";
    return 0;
  };
  browser_->OnShowFilterWorking = [&](TRecBrowser*, int32_t callState, bool) { states.push_back(callState); };
  AttachAndShow(5);
  QTest::keyClick(browser_.get(), Qt::Key_PageDown);
  EXPECT_EQ(filterCalls, 0);
  EXPECT_TRUE(states.empty());
  EXPECT_EQ(CurrentName(), "NAME 005");

  browser_->SetFilterEnabled(true);
  EXPECT_GT(filterCalls, 0);
  ASSERT_GE(states.size(), 2u);
  EXPECT_EQ(states.front(), -1);
  EXPECT_EQ(states.back(), 1);
  EXPECT_EQ(std::count(states.begin(), states.end(), -1), 1);
  EXPECT_TRUE(browser_->Ready());
  EXPECT_EQ(CurrentName(), "NAME 006");  // 005 is in LYON
  for (int n = 1; n <= browser_->DataSource()->LastFilledRow(); ++n) {
    EXPECT_EQ(file_.Read(browser_->DataSource()->Row(n).Ref).City.Get(), "PARIS");
  }
  browser_->SetFilterEnabled(false);
  EXPECT_EQ(browser_->DataSource()->LastFilledRow(), 5);
  EXPECT_EQ(CurrentName(), "NAME 006");
}

TEST_F(RecBrowserTest, ARejectingFilterKeepsTheWindowAliveAndShowsTheWaitCursor) {
  for (int i = 0; i < 20000; ++i) file_.Add("N" + std::to_string(100000 + i), std::to_string(i), "X");
  bool pumped = false;
  bool waitCursorShown = false;
  browser_->OnPerformFilter = [&](TRecBrowser*, RowRec& rr, bool& useIt) {
    useIt = rr.Ref == 1 || rr.Ref == 20000;
    QThread::usleep(20);  // a filter that reads other files takes its time
    if (QApplication::overrideCursor() && QApplication::overrideCursor()->shape() == Qt::WaitCursor) {
      waitCursorShown = true;
    }
    return 0;
  };
  AttachAndShow(5);
  QTimer::singleShot(0, [&] { pumped = true; });
  browser_->SetFilterEnabled(true);  // every entry between the two accepted ones is rejected
  EXPECT_TRUE(pumped) << "no events ran while the filter worked";
  EXPECT_TRUE(waitCursorShown);
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);
  EXPECT_EQ(browser_->DataSource()->LastFilledRow(), 2);
  QTest::keyClick(browser_.get(), Qt::Key_Down);
  EXPECT_EQ(browser_->BrowserCurrentRef(), 20000);
}

TEST_F(RecBrowserTest, PagingThroughAMillionRecordsReadsOnlyTheRowsOnScreen) {
  for (int i = 0; i < 1000000; ++i) file_.Add("N" + std::to_string(1000000 + i), std::to_string(i), "X");
  AttachAndShow(20);
  QElapsedTimer clock;
  clock.start();
  built_ = 0;
  for (int i = 0; i < 50; ++i) QTest::keyClick(browser_.get(), Qt::Key_PageDown);
  EXPECT_EQ(built_, 50 * 20);
  EXPECT_EQ(CurrentName(), "N1001000");
  built_ = 0;
  QTest::keyClick(browser_.get(), Qt::Key_End, Qt::ControlModifier);
  EXPECT_EQ(CurrentName(), "N1999999");
  EXPECT_EQ(built_, 20);
  built_ = 0;
  browser_->ScrollPosToEntry(40);
  EXPECT_LE(built_, 20);
  EXPECT_NEAR(std::stoi(CurrentName().substr(1)) - 1000000, 40 * 1000000 / 64, 40000);
  // A generous bound (sanitizers, a busy machine): each of these moves is a few page reads.
  EXPECT_LT(clock.elapsed(), 5000);
}

TEST_F(RecBrowserTest, EngineErrorsAreShownInTheErrorBox) {
  AddNames(5);
  AttachAndShow(5);
  file_.Close();  // the browser's handle is no file block any more
  UiScript ui;
  ui.ExpectMessage("Class 4 error.  Isam Error 10445", platform::ui::Application->Title);
  browser_->BrowserRefresh();
  EXPECT_TRUE(ui.Done());
}

TEST_F(RecBrowserTest, RowsWithoutABuilderSayWhatIsMissing) {
  AddNames(3);
  browser_->OnBuildRow = nullptr;
  AttachAndShow(5);
  EXPECT_EQ(browser_->DataSource()->Row(1).Text[0], "You do not have an OnBuildRow event defined");
}

TEST_F(RecBrowserTest, FirstUserInitRunsWhenTheAttachedSourceIsActivated) {
  AddNames(3);
  int inits = 0;
  browser_->OnFirstUserInit = [&](TRecBrowser*) { ++inits; };
  browser_->Attach(browser_->BrowserDataSourceCreate(file_.Block(), 1, 100, SampleNameKey, "", "", &buffer_,
                                                     sizeof buffer_, false));
  browser_->BrowserGoToKey("NAME 001", 0);
  EXPECT_EQ(inits, 0);  // the window does not exist yet
  EXPECT_EQ(built_, 0);
  browser_->show();
  EXPECT_EQ(inits, 1);
  EXPECT_EQ(CurrentName(), "NAME 001");
  EXPECT_EQ(browser_->DataSource()->Row(CurrentRow()).Text[0].substr(0, 8), "NAME 001");
  browser_->Attach(browser_->BrowserDataSourceCreate(file_.Block(), 1, 100, SampleNumberKey, "", "", &buffer_,
                                                     sizeof buffer_, false));
  EXPECT_EQ(inits, 2);
  EXPECT_EQ(browser_->BrowserKeyNumber(), SampleNumberKey);
  browser_->BrowserSetKeyNumber(0);
  EXPECT_EQ(browser_->BrowserKeyNumber(), 0);
}

// Paints the browser over the sample file and checks the colours where the header, the
// highlighted row and a plain row lie.
TEST_F(RecBrowserTest, PaintsHeaderRowsAndHighlightInTheirColours) {
  const char* people[][3] = {{"Anders, Maja", "1001", "OSLO"},  {"Baptiste, Luc", "1002", "LYON"},
                             {"Conti, Sara", "1003", "ROME"},   {"Dubois, Anne", "1004", "PARIS"},
                             {"Eriksen, Ole", "1005", "OSLO"},  {"Fabbri, Gino", "1006", "ROME"},
                             {"Garnier, Paul", "1007", "LYON"}, {"Hansen, Ida", "1008", "OSLO"}};
  for (auto& p : people) file_.Add(p[0], p[1], p[2]);
  browser_->SetHeader(platform::text::ToQString(platform::text::PadRightWith("Name", ' ', 20) + " " +
                                                platform::text::PadRightWith("Number", ' ', 8) + " City"));
  browser_->SetFooter("Customers: 8");
  browser_->SetColor(QColor(255, 255, 255));
  browser_->SetHeaderColor(QColor(192, 192, 192));
  browser_->SetFooterColor(QColor(192, 192, 192));
  browser_->SetHighlightColor(QColor(0, 0, 128));
  browser_->SetHighlightTxtColor(QColor(255, 255, 255));
  AttachAndShow(8);
  SizeForRows(10);
  QTest::keyClick(browser_.get(), Qt::Key_Down);
  QTest::keyClick(browser_.get(), Qt::Key_Down);

  QImage shot = browser_->viewport()->grab().toImage();
  testing_support::ExpectWholeWindow(*browser_, "rec_browser");
  int x = shot.width() - 3;
  EXPECT_EQ(shot.pixelColor(x, browser_->RowHeight() / 2), QColor(192, 192, 192));
  EXPECT_EQ(shot.pixelColor(x, browser_->RowToY(3) + 2), QColor(0, 0, 128));
  EXPECT_EQ(shot.pixelColor(x, browser_->RowToY(5) + 2), QColor(255, 255, 255));
  EXPECT_EQ(shot.pixelColor(x, browser_->RowToY(9) + 2), QColor(192, 192, 192));  // footer
  // Some text is drawn on the highlighted row: not every pixel is the highlight colour.
  bool text = false;
  for (int px = 0; px < 200 && !text; ++px) {
    for (int py = browser_->RowToY(3); py < browser_->RowToY(4); ++py) {
      if (shot.pixelColor(px, py) != QColor(0, 0, 128)) text = true;
    }
  }
  EXPECT_TRUE(text);
}

}  // namespace
}  // namespace storage::testing
