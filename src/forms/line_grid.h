#pragma once
// The line-item grid of the entry forms (invoices and purchase orders): a fixed number of lines,
// each with its text cells and a few side values that belong to the line (the product's stock,
// its cost, what the stored document held) and move with it when lines are inserted.
//
// The entry rules of each column (length, allowed characters, Y/N) live in the model, so a
// pasted text is held to them as well as a typed one; the view adds the key-by-key behaviour
// (Y/N set at a key press, the look-up of a typed code on Enter or once its cell is left).
//
// Lines are counted from 1, as the forms number them; column 0 holds the line number. Side
// values exist for lines 0 to lines + 1, as the entry forms' arrays always had them.

#include <QAbstractTableModel>
#include <QStyledItemDelegate>
#include <QTableView>
#include <deque>
#include <functional>
#include <set>
#include <string>
#include <vector>

namespace forms {

enum class CellCharacters {
  Any,     // any text up to the column's length
  Number,  // digits, "-" and "." only
  YesNo,   // one of "Y" and "N", set by a single key and upper-cased
};

struct LineColumn {
  QString Header;
  int MaxLength = 0;  // 0: no limit
  CellCharacters Characters = CellCharacters::Any;
  bool Editable = true;
  QString WidthSample;  // the column is as wide as this text; empty for the last column
  bool AlignRight = false;
};

struct LineGridRules {
  std::vector<LineColumn> Columns;  // column 0 the line number
  int Lines = 99;
  int SideFields = 0;
  // A line whose number cell reads this is drawn on yellow in bold (stock would go short).
  QString ShortageMark = QStringLiteral("CS");
};

class LineGridModel : public QAbstractTableModel {
 public:
  explicit LineGridModel(LineGridRules rules, QObject* parent = nullptr);

  const LineGridRules& Rules() const { return rules_; }
  int Lines() const { return rules_.Lines; }

  QString Cell(int line, int column) const;
  // Sets a cell as the program fills it; no entry rule applies.
  void Put(int line, int column, const QString& text);
  // Sets a cell as the user enters it: refused (false, cell unchanged) when the text breaks the
  // column's rule; a Y/N cell takes the upper-case letter.
  bool Enter(int line, int column, const QString& text);
  // Whether the column's rule lets a cell hold the text.
  bool Accepts(int column, const QString& text) const;

  // The cells of a line whose code was typed and is not yet settled (looked up, and what its
  // look-up asks answered): the cells typed into meanwhile are kept by Fill. Hold starts afresh.
  void HoldTypedCells(int line);
  void ReleaseTypedCells(int line);
  void ReleaseAllTypedCells();
  bool TypedWhileHeld(int line, int column) const;
  // Sets a cell as the program fills it from a product, unless the user typed into it while
  // the line's code waited to be settled: what was typed stands.
  void Fill(int line, int column, const QString& text);

  // A product code typed on the line that waits to be looked up, or whose look-up failed (a file
  // that could not be read), as it was typed. It belongs to the line and moves with it.
  enum class CodeWait { None, ToLookUp, LookUpFailed };
  void SetCodeWait(int line, CodeWait wait, const QString& code = {});
  CodeWait CodeWaitOf(int line) const;
  QString WaitingCode(int line) const;
  // Nothing waits, and no line holds its typed cells.
  void ForgetCodeWaits();

  std::string& Side(int line, int field);
  const std::string& Side(int line, int field) const;

  // Moves every line from the last but one down to `line` one line down, with its side values,
  // its held cells and its waiting code, renumbering it; the last line drops out. `line` itself
  // keeps its old contents for the caller to refill, but nothing of it waits or is held.
  void InsertLineAt(int line);

  // Run after a user's entry changed a cell.
  std::function<void(int line, int column)> OnEntered;
  // Run by InsertLineAt once the lines moved down; the view's, to move what waits on them.
  std::function<void(int line)> OnLineInserted;

  // QAbstractTableModel
  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  bool setData(const QModelIndex& index, const QVariant& value, int role) override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;

 private:
  struct Line {
    std::vector<QString> cells;
    std::vector<std::string> side;
    bool held = false;
    std::set<int> typedWhileHeld;
    CodeWait wait = CodeWait::None;
    QString waitingCode;
  };
  bool Valid(int line, int column) const;

  LineGridRules rules_;
  std::vector<Line> lines_;  // 0 .. Lines + 1
};

// Whether a focus-out event is the window losing the keyboard (minimized, another window
// activated). A grid's open cell editor then stays open with what was typed, and gets the focus
// back with the window, so the keys typed after go on from it; closing it would take the edit and
// let the next key start the cell afresh.
bool WindowLostTheKeyboard(const QEvent& event);

// The edit triggers of every editable grid: a key typed into a cell starts the edit with itself,
// and F2 starts one. No edit starts on a click of the current cell: that edit waits out the
// double-click time, and keys typed meanwhile would be lost.
inline constexpr QAbstractItemView::EditTriggers kTypedEditTriggers =
    QAbstractItemView::AnyKeyPressed | QAbstractItemView::EditKeyPressed;

class LineGridView : public QTableView {
 public:
  LineGridView(LineGridModel* model, QWidget* parent = nullptr);
  ~LineGridView() override;

  LineGridModel& Model() const { return *model_; }
  int CurrentLine() const;
  int CurrentColumn() const;
  void SetCursor(int line, int column);
  // Scrolls so that `line` is the top visible line.
  void SetTopLine(int line);
  int TopLine() const;
  // The column widths from the rules' samples in the view's font; the last column takes the
  // rest of the view's width less the scroll bar and the width of "...".
  void SizeColumns();

  // The look-up of a column that has one (the product code), given the line: run by Enter on
  // the column, after any open edit is taken, and once a code typed there is left behind by
  // any key or click (the cursor or the keyboard focus moves elsewhere in the window, a button
  // apart), before the key or click after it is handled. A code left empty is not looked up.
  // A code waits with its line across a minimize and lines inserted above it. True when the
  // code is settled; false when it could not be looked up (a file that cannot be read), and
  // the code then waits to be looked up again.
  std::function<bool(int line)> OnEnterKey;
  int EnterKeyColumn = -1;
  std::function<void()> OnDoubleClick;

  // Run by the cell editor: Enter on the look-up column, and a changed code taken from it.
  void LookUpCode(int line);
  void CodeTyped(int line);
  // Run by the cell editor when the keyboard focus left it: the typed code is looked up when
  // the focus went elsewhere in this window, but not to a button: a code left for a button waits,
  // so that what the button does (OK above all) meets it as it was typed, whether the button is
  // pressed with the mouse or from the keyboard.
  void EditorLeft();
  // A new document: no typed code waits any more, nothing waits to be said.
  void ForgetTypedCodes();

  // What a look-up must say or ask about its line (a notice, "not found ... add it now?") waits
  // until the keys typed ahead of it are handled, so that each lands in the cell it was typed
  // for and no question is answered by keys meant for the grid; outside a look-up it is said
  // at once. The line's typed cells stay held until it has been said. What waits moves with its
  // line when a line is inserted above it, and is said of the line where it then stands.
  void SayAfterTypedKeys(int line, std::function<void(int line)> say);

  // Settles every line before the lines are used: an open edit is taken, each typed code not yet
  // looked up is looked up, and what look-ups wait to say is said.
  struct Settled {
    int LookedUpNow = 0;  // the first line whose code was looked up or spoken of just now
    int Unsettled = 0;    // the first line whose code could not be looked up
  };
  Settled SettleTypedCodes();

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
  void focusOutEvent(QFocusEvent* event) override;

 private:
  // A Y/N key on a Y/N cell sets it at once; other printable keys are dropped there.
  bool HandleYesNoKey(QKeyEvent* event);
  // Every typed code whose cell was left is looked up, in the order of the lines.
  void LookUpLeftCodes();
  // Where the keyboard focus went on leaving the grid calls for the look-up of the codes left.
  static bool LeftForLookUp();
  // The code typed on the line looked up, unless it was looked up, emptied or replaced meanwhile.
  void LookUpTypedCode(int line, const QString& typed);
  void SayWaiting();
  bool WaitsToSay(int line) const;

  struct WaitingWord {
    int line;
    std::function<void(int line)> say;
  };
  void MoveWaitingWordsDown(int insertedLine);

  LineGridModel* model_;
  int lookingUp_ = 0;  // the line whose look-up runs; 0 none
  std::deque<WaitingWord> waiting_;
  bool sayScheduled_ = false;
};

}  // namespace forms
