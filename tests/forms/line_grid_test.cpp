// The line grid of the entry forms: the column rules hold for typed and pasted text alike, a Y/N
// cell takes its letter at a key press, Enter on the look-up column or leaving a code typed there
// runs the look-up, a key typed after the form filled the cell being edited replaces what it
// shows, and lines move with their side values.

#include "forms/line_grid.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCoreApplication>
#include <QLineEdit>
#include <QMenu>
#include <QTest>

#include "platform/ui/support/ui_script.h"
#include "support/grid_typing.h"

namespace forms {
namespace {

LineGridRules Rules() {
  LineGridRules rules;
  rules.Columns = {{"LN", 0, CellCharacters::Any, false, "XXi"},
                   {"Code", 15, CellCharacters::Any, true, "XXXXXXXXXX"},
                   {"Quantity", 10, CellCharacters::Number, true, "XXXXXXX"},
                   {"T", 1, CellCharacters::YesNo, true, "Xi"},
                   {"Extension", 0, CellCharacters::Any, false, ""}};
  rules.Lines = 5;
  rules.SideFields = 2;
  return rules;
}

class LineGridTest : public ::testing::Test {
 protected:
  LineGridTest() {
    testing_support::EnsureGuiApplication();
    for (int line = 1; line <= 5; ++line) model.Put(line, 0, QString::number(line));
    model.OnEntered = [this](int line, int column) { entered.emplace_back(line, column); };
  }

  LineGridModel model{Rules()};
  std::vector<std::pair<int, int>> entered;
};

TEST_F(LineGridTest, PastedTextIsHeldToTheColumnRules) {
  struct Case {
    int column;
    QString text;
    bool accepted;
    QString stored;
  };
  const Case cases[] = {
      {1, "BOLT-10", true, "BOLT-10"},
      {1, QString(15, 'C'), true, QString(15, 'C')},
      {1, QString(16, 'C'), false, ""},
      {1, QString::fromUtf8("\u0141\u00f3d\u017a"), false, ""},  // not for the data files
      {1, QString::fromUtf8("L\u00f3dz"), true, QString::fromUtf8("L\u00f3dz")},
      {2, "-12.50", true, "-12.50"},
      {2, "1,000", false, ""},
      {2, "12a", false, ""},
      {2, "12345678901", false, ""},
      {3, "y", true, "Y"},
      {3, "n", true, "N"},
      {3, "x", false, ""},
      {3, "YN", false, ""},
      {0, "7", false, "3"},  // the line number is the grid's own
      {4, "9.99", false, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text.toStdString());
    model.Put(3, c.column, c.column == 0 ? "3" : "");
    entered.clear();
    EXPECT_EQ(model.setData(model.index(2, c.column), c.text, Qt::EditRole), c.accepted);
    EXPECT_EQ(model.Cell(3, c.column), c.stored);
    EXPECT_EQ(entered.size(), c.accepted ? 1u : 0u);
  }
  EXPECT_FALSE(model.flags(model.index(0, 0)) & Qt::ItemIsEditable);
  EXPECT_FALSE(model.flags(model.index(0, 3)) & Qt::ItemIsEditable);  // Y/N by key only
  EXPECT_TRUE(model.flags(model.index(0, 2)) & Qt::ItemIsEditable);
}

TEST_F(LineGridTest, KeysAreFilteredAsTheyAreTyped) {
  LineGridView view(&model);
  view.resize(500, 300);
  view.show();
  view.SetCursor(2, 2);
  view.edit(model.index(1, 2));
  auto* editor = view.viewport()->findChild<QLineEdit*>();
  ASSERT_TRUE(editor);
  QTest::keyClicks(editor, "1a2,3.5-67x8901234");
  EXPECT_EQ(editor->text(), "123.5-6789");  // digits, "-" and "." only, ten at most
  QTest::keyClick(editor, Qt::Key_Tab);
  EXPECT_EQ(model.Cell(2, 2), "123.5-6789");

  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);  // the closed editor goes
  view.SetCursor(2, 1);
  view.edit(model.index(1, 1));
  editor = view.viewport()->findChild<QLineEdit*>();
  ASSERT_TRUE(editor);
  QTest::keyClicks(editor, "AB");
  QTest::sendKeyEvent(QTest::Click, editor, Qt::Key_unknown, QString::fromUtf8("\u0141"), Qt::NoModifier);
  QTest::keyClicks(editor, "CDEFGHIJKLMNOPQRS");  // the one key not for the data files refused
  EXPECT_EQ(editor->text(), "ABCDEFGHIJKLMNO");   // fifteen at most
  QTest::keyClick(editor, Qt::Key_Backspace);
  EXPECT_EQ(editor->text(), "ABCDEFGHIJKLMN");
  editor->clear();
  editor->insert(QString(16, 'P'));  // a paste too long is refused whole, not cut to another code
  EXPECT_EQ(editor->text(), "");
  editor->insert("CODE-7");
  EXPECT_EQ(editor->text(), "CODE-7");
  QTest::keyClick(editor, Qt::Key_Escape);

  // A Y/N cell takes the letter at once, upper-cased; other keys are dropped.
  view.SetCursor(2, 3);
  entered.clear();
  QTest::keyClick(&view, Qt::Key_Q);
  EXPECT_EQ(model.Cell(2, 3), "");
  QTest::keyClicks(&view, "n");
  EXPECT_EQ(model.Cell(2, 3), "N");
  QTest::keyClicks(&view, "y");
  EXPECT_EQ(model.Cell(2, 3), "Y");
  EXPECT_EQ(entered, (std::vector<std::pair<int, int>>{{2, 3}, {2, 3}}));
}

// A click on the current cell followed at once by typing: every key lands in the cell, also
// those typed while a double click could still come.
TEST_F(LineGridTest, KeysTypedRightAfterAClickOnTheCurrentCellAllLand) {
  LineGridView view(&model);
  view.resize(500, 300);
  view.show();
  view.SetCursor(2, 1);
  testing_support::TypeRightAfterAClick(view, model.index(1, 1), "ROPE-12");
  EXPECT_EQ(model.Cell(2, 1), "ROPE-12");
}

// A code typed is looked up once by whatever leaves its cell: a key, a click on another cell, or
// the focus going to another box of the window. A code Escape undid, one left as it was, and one
// emptied are not looked up.
TEST_F(LineGridTest, ATypedCodeIsLookedUpOnceItsCellIsLeft) {
  QWidget window;
  auto* view = new LineGridView(&model, &window);
  auto* other = new QLineEdit(&window);
  view->setGeometry(0, 0, 500, 250);
  other->setGeometry(0, 260, 200, 25);
  window.resize(500, 300);
  window.show();
  window.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
  std::vector<std::pair<int, QString>> lookedUp;
  view->EnterKeyColumn = 1;
  view->OnEnterKey = [&](int line) {
    lookedUp.emplace_back(line, model.Cell(line, 1));
    return true;
  };
  struct Way {
    const char* name;
    QString before;  // the cell's code before typing
    QString keys;
    std::function<void()> leave;
    bool looksUp;
  };
  const QPoint otherCell = view->visualRect(model.index(4, 2)).center();
  const Way ways[] = {
      {"Tab", "", "nut", [&] { testing_support::TypeIntoGrid(*view, "\t"); }, true},
      {"Enter, then Tab", "", "nut\n", [&] { testing_support::TypeIntoGrid(*view, "\t"); }, true},
      {"Down", "", "nut", [&] { QTest::keyClick(view->indexWidget(view->currentIndex()), Qt::Key_Down); },
       true},
      {"a click on another cell", "", "nut",
       [&] { QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, otherCell); }, true},
      {"another box", "", "nut", [&] { other->setFocus(Qt::MouseFocusReason); }, true},
      {"Escape", "", "nut\x1b", [&] { testing_support::TypeIntoGrid(*view, "\t"); }, false},
      {"unchanged", "NUT", "NUT", [&] { testing_support::TypeIntoGrid(*view, "\t"); }, false},
      {"emptied", "NUT", "X\b", [&] { testing_support::TypeIntoGrid(*view, "\t"); }, false},
  };
  for (const Way& way : ways) {
    SCOPED_TRACE(way.name);
    lookedUp.clear();
    model.Put(2, 1, way.before);
    view->setFocus();
    view->SetCursor(2, 1);
    testing_support::TypeIntoGrid(*view, way.keys);
    way.leave();
    QCoreApplication::processEvents();
    if (way.looksUp)
      EXPECT_EQ(lookedUp, (std::vector<std::pair<int, QString>>{{2, "nut"}}));
    else
      EXPECT_TRUE(lookedUp.empty());
  }
}

// The window losing the keyboard for a while (minimized, another window activated, a popup
// shown) leaves the open cell as it was: the keys typed after go on from the ones before.
TEST_F(LineGridTest, KeysTypedAcrossTheWindowLosingTheKeyboardGoOnInTheOpenCell) {
  QWidget window;
  auto* view = new LineGridView(&model, &window);
  view->setGeometry(0, 0, 500, 250);
  window.resize(500, 300);
  window.show();
  window.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
  struct Way {
    const char* name;
    std::function<void()> away;
  };
  const Way ways[] = {
      {"minimized and restored", [&] { testing_support::MinimizeAndRestore(window); }},
      {"another window activated", [&] { testing_support::ActivateAnotherWindowAndComeBack(window); }},
      {"a popup shown",
       [&] {
         QMenu menu;
         menu.addAction("Copy");
         menu.popup(window.mapToGlobal(QPoint(10, 10)));
         QTest::qWait(50);
         menu.close();
         QTest::qWait(50);
       }},
  };
  for (const Way& way : ways) {
    SCOPED_TRACE(way.name);
    model.Put(2, 2, "");
    view->setFocus();
    view->SetCursor(2, 2);
    testing_support::TypeIntoGrid(*view, "1");
    way.away();
    testing_support::TypeWhereTheFocusIs("2\t");
    EXPECT_EQ(model.Cell(2, 2), "12");
  }
}

// The look-up of a code runs once its cell is left, when the edit of the next cell is already
// open, and may fill that cell or redraw the whole line. A key typed then replaces what the cell
// shows; keys typed after the user's own go on from them. Never from the form's text.
TEST_F(LineGridTest, AKeyTypedAfterTheFormFilledTheOpenCellReplacesWhatItShows) {
  LineGridView view(&model);
  view.resize(500, 300);
  view.show();
  view.EnterKeyColumn = 1;
  struct Case {
    const char* name;
    QString quantityBefore;
    std::function<void()> lookUp;
    QString keys;
    bool filledAfterFirstKey;  // the form puts "1.00" into the cell once the first key is typed
    const char* quantity;
  };
  const Case cases[] = {
      {"the line redrawn", "1.00", [&] { model.Put(2, 0, "CS"); }, "3\t", false, "3"},
      {"the open cell filled", "", [&] { model.Put(2, 2, "1.00"); }, "3\t", false, "3"},
      {"the cell filled after the user typed", "", [] {}, "25\t", true, "25"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    model.Put(2, 0, "2");
    model.Put(2, 1, "");
    model.Put(2, 2, c.quantityBefore);
    view.OnEnterKey = [&](int) {
      c.lookUp();
      return true;
    };
    view.setFocus();
    view.SetCursor(2, 1);
    testing_support::TypeIntoGrid(view, "nut\t");
    testing_support::TypeIntoGrid(view, c.keys.left(1));
    if (c.filledAfterFirstKey) model.Put(2, 2, "1.00");
    testing_support::TypeIntoGrid(view, c.keys.mid(1));
    EXPECT_EQ(model.Cell(2, 2).toStdString(), c.quantity);
  }
}

// Codes typed on two lines, at a clerk's pace and in one burst: each is looked up before any key
// typed after it is handled, and what a look-up says waits until the keys typed ahead are in their
// cells. A cell typed into while the code waited to be settled keeps what was typed.
TEST_F(LineGridTest, EveryTypedCodeIsLookedUpBeforeTheKeysAfterItAndWhatItSaysWaitsForThem) {
  LineGridView view(&model);
  view.resize(500, 300);
  view.show();
  view.EnterKeyColumn = 1;
  std::vector<QString> events;
  view.OnEnterKey = [&](int line) {
    // The line's quantity as the look-up finds it: nothing typed after the code has landed yet.
    events.push_back(QString("look up %1 %2 [%3]").arg(line).arg(model.Cell(line, 1), model.Cell(line, 2)));
    model.Fill(line, 2, "1.00");
    model.Fill(line, 3, "Y");
    view.SayAfterTypedKeys(line, [&](int at) {
      events.push_back(QString("said %1 [%2]").arg(at).arg(model.Cell(at, 2)));
      model.Fill(at, 2, "9.99");  // a product picked after a question: the typed quantity stands
    });
    return true;
  };
  struct Pace {
    const char* name;
    void (*type)(QAbstractItemView&, const QString&);
    std::vector<QString> events;
  };
  const Pace paces[] = {
      // The event loop runs between the keys: each notice comes before the next key.
      {"paced",
       testing_support::TypeIntoGrid,
       {"look up 1 nut []", "said 1 [1.00]", "look up 2 bolt []", "said 2 [1.00]"}},
      // One burst: the notices come after the last key, the typed quantities in their cells.
      {"burst",
       testing_support::TypeBurstIntoGrid,
       {"look up 1 nut []", "look up 2 bolt []", "said 1 [3]", "said 2 [7]"}},
  };
  for (const Pace& pace : paces) {
    SCOPED_TRACE(pace.name);
    events.clear();
    for (int line = 1; line <= 5; ++line)
      for (int column = 1; column <= 3; ++column) model.Put(line, column, "");
    view.setFocus();
    view.SetCursor(1, 1);
    // Line 1: code, quantity; Tab past the Y/N cell and the extension to line 2's code.
    pace.type(view, "nut\t3\t\t\t\tbolt\t7\t");
    QCoreApplication::processEvents();
    EXPECT_EQ(events, pace.events);
    EXPECT_EQ(model.Cell(1, 2), "3");
    EXPECT_EQ(model.Cell(2, 2), "7");
    EXPECT_EQ(model.Cell(1, 3), "Y");
  }
}

TEST_F(LineGridTest, WhatALookUpWaitsToSayIsSaidOfItsLineAfterALineIsInsertedAbove) {
  LineGridView view(&model);
  view.resize(500, 300);
  view.show();
  view.EnterKeyColumn = 1;
  std::vector<std::pair<int, QString>> said;  // the line spoken of, and its code then
  view.OnEnterKey = [&](int line) {
    view.SayAfterTypedKeys(line, [&](int at) { said.emplace_back(at, model.Cell(at, 1)); });
    return true;
  };
  // A code typed on line 2 and Insert Line clicked on line 1 before the question came up.
  view.setFocus();
  view.SetCursor(2, 1);
  testing_support::TypeBurstIntoGrid(view, "nut\t", [&] { model.InsertLineAt(1); });
  EXPECT_EQ(said, (std::vector<std::pair<int, QString>>{{3, "nut"}}));
  // A waiting word of the last line goes with the line the insert drops.
  said.clear();
  view.SetCursor(5, 1);
  testing_support::TypeBurstIntoGrid(view, "bolt\t", [&] { model.InsertLineAt(1); });
  EXPECT_TRUE(said.empty());
}

TEST_F(LineGridTest, EnterOnTheLookUpColumnTakesTheEditThenLooksUp) {
  LineGridView view(&model);
  view.resize(500, 300);
  view.show();
  std::vector<std::pair<int, QString>> lookedUp;
  view.EnterKeyColumn = 1;
  view.OnEnterKey = [&](int line) {
    lookedUp.emplace_back(line, model.Cell(line, 1));
    return true;
  };
  view.SetCursor(4, 1);
  QTest::keyClick(&view, Qt::Key_Return);  // no edit open: the empty cell is looked up
  view.edit(model.index(3, 1));
  auto* editor = view.viewport()->findChild<QLineEdit*>();
  ASSERT_TRUE(editor);
  QTest::keyClicks(editor, "nut-10");
  QTest::keyClick(editor, Qt::Key_Return);
  EXPECT_EQ(lookedUp, (std::vector<std::pair<int, QString>>{{4, ""}, {4, "nut-10"}}));
  // Enter elsewhere does not look anything up.
  view.SetCursor(4, 2);
  QTest::keyClick(&view, Qt::Key_Return);
  EXPECT_EQ(lookedUp.size(), 2u);
}

TEST_F(LineGridTest, InsertingMovesLinesWithTheirSideValuesAndDropsTheLast) {
  for (int line = 1; line <= 5; ++line) {
    model.Put(line, 1, QString("P%1").arg(line));
    model.Side(line, 0) = "on hand " + std::to_string(line);
    model.Side(line, 1) = "cost " + std::to_string(line);
  }
  model.InsertLineAt(2);
  const std::vector<QString> codes{"P1", "P2", "P2", "P3", "P4"};
  for (int line = 1; line <= 5; ++line) {
    EXPECT_EQ(model.Cell(line, 0), QString::number(line));
    EXPECT_EQ(model.Cell(line, 1), codes[line - 1]);
  }
  EXPECT_EQ(model.Side(3, 0), "on hand 2");
  EXPECT_EQ(model.Side(5, 1), "cost 4");
  EXPECT_EQ(model.Side(2, 0), "on hand 2");  // the caller refills the opened line
  // Side values exist one past either end, as the forms' arrays had them.
  model.Side(0, 0) = "zero";
  model.Side(6, 1) = "spare";
  EXPECT_THROW(model.Side(7, 0), std::out_of_range);
}

TEST_F(LineGridTest, AShortLineIsDrawnOnYellowInBold) {
  model.Put(2, 0, "CS");
  EXPECT_EQ(model.data(model.index(1, 1), Qt::BackgroundRole).value<QColor>(), QColor(Qt::yellow));
  EXPECT_TRUE(model.data(model.index(1, 4), Qt::FontRole).value<QFont>().bold());
  EXPECT_FALSE(model.data(model.index(0, 1), Qt::BackgroundRole).isValid());
}

}  // namespace
}  // namespace forms
