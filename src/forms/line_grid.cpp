#include "forms/line_grid.h"

#include <QAbstractButton>
#include <QApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QRegularExpressionValidator>
#include <QScrollBar>
#include <QStyle>
#include <QTimer>
#include <algorithm>
#include <stdexcept>
#include <utility>

#include "platform/text/codepage.h"
#include "platform/ui/text_entry.h"

namespace forms {

namespace {

bool IsNumberCharacter(QChar c) {
  return c.isDigit() || c == '-' || c == '.';
}

bool IsYesNo(QChar c) {
  return c == 'Y' || c == 'N' || c == 'y' || c == 'n';
}

// The cell editor: the column's length and characters hold key by key; Enter on the look-up
// column takes the edit and then runs the look-up, and a changed code taken from the editor
// otherwise is looked up once its cell is left.
class LineCellDelegate : public QStyledItemDelegate {
 public:
  explicit LineCellDelegate(LineGridView* view) : QStyledItemDelegate(view), view_(view) {}
  // The view is going: an editor destroyed after it (losing the focus as it goes) leaves nothing
  // to look up.
  void Detach() { view_ = nullptr; }

  QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                        const QModelIndex& index) const override {
    QWidget* editor = QStyledItemDelegate::createEditor(parent, option, index);
    auto* edit = qobject_cast<QLineEdit*>(editor);
    if (!edit) return editor;
    // A validator rather than a length limit: a pasted text that breaks the rule is refused
    // whole, where a length limit would cut it to some other code or number.
    const LineColumn& column = view_->Model().Rules().Columns.at(index.column());
    const QString characters =
        column.Characters == CellCharacters::Number ? QStringLiteral("[-0-9.]") : QStringLiteral(".");
    const QString count =
        column.MaxLength > 0 ? QStringLiteral("{0,%1}").arg(column.MaxLength) : QStringLiteral("*");
    edit->setValidator(new QRegularExpressionValidator(QRegularExpression(characters + count), edit));
    platform::ui::RefuseUnheldKeys(*edit);
    return edit;
  }

  // The form fills cells while a cell is being edited: a code's look-up runs once its cell is
  // left, when the edit of the next cell is already open, and a line marked short of stock is
  // redrawn whole, the open cell with it. Qt then sets the editor's text anew, which drops its
  // selection and puts the cursor after the text, so the next key would go on from the form's
  // text. Instead, an editor the user has not typed into shows the cell's text selected whole (a
  // text that did not change is left as it is), and one the user has typed into keeps what was
  // typed: the next key replaces what the cell showed or goes on from the user's own text.
  void setEditorData(QWidget* editor, const QModelIndex& index) const override {
    auto* edit = qobject_cast<QLineEdit*>(editor);
    if (!edit) return QStyledItemDelegate::setEditorData(editor, index);
    const QString text = index.data(Qt::EditRole).toString();
    if (edit->isModified() || edit->text() == text) return;
    edit->setText(text);
    edit->selectAll();
  }

  // An editor only passed through (Tab opens the next cell's editor) is not typed into: its cell
  // keeps what it shows, and stays free for what a product's look-up fills in.
  void setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const override {
    if (auto* edit = qobject_cast<QLineEdit*>(editor); edit && !edit->isModified()) return;
    const QString before = index.data(Qt::EditRole).toString();
    QStyledItemDelegate::setModelData(editor, model, index);
    if (view_ && index.column() == view_->EnterKeyColumn && index.data(Qt::EditRole).toString() != before)
      view_->CodeTyped(index.row() + 1);
  }

 protected:
  bool eventFilter(QObject* object, QEvent* event) override {
    if (event->type() == QEvent::FocusOut) {
      if (WindowLostTheKeyboard(*event)) return false;
      // The edit is taken first (by the delegate's own handling), then a code typed is looked up
      // when the focus went elsewhere in the window.
      const bool handled = QStyledItemDelegate::eventFilter(object, event);
      if (view_) view_->EditorLeft();
      return handled;
    }
    if (view_ && event->type() == QEvent::KeyPress) {
      auto* key = static_cast<QKeyEvent*>(event);
      const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
      if (enter && view_->CurrentColumn() == view_->EnterKeyColumn && view_->OnEnterKey) {
        auto* editor = qobject_cast<QWidget*>(object);
        emit commitData(editor);
        emit closeEditor(editor, QAbstractItemDelegate::NoHint);
        view_->LookUpCode(view_->CurrentLine());
        return true;
      }
    }
    return QStyledItemDelegate::eventFilter(object, event);
  }

 private:
  LineGridView* view_;
};

}  // namespace

bool WindowLostTheKeyboard(const QEvent& event) {
  return event.type() == QEvent::FocusOut &&
         static_cast<const QFocusEvent&>(event).reason() == Qt::ActiveWindowFocusReason;
}

LineGridModel::LineGridModel(LineGridRules rules, QObject* parent)
    : QAbstractTableModel(parent), rules_(std::move(rules)) {
  lines_.resize(static_cast<size_t>(rules_.Lines) + 2);
  for (Line& line : lines_) {
    line.cells.resize(rules_.Columns.size());
    line.side.resize(static_cast<size_t>(rules_.SideFields));
  }
}

bool LineGridModel::Valid(int line, int column) const {
  return line >= 1 && line <= rules_.Lines && column >= 0 && column < static_cast<int>(rules_.Columns.size());
}

QString LineGridModel::Cell(int line, int column) const {
  if (!Valid(line, column)) return {};
  return lines_[static_cast<size_t>(line)].cells[static_cast<size_t>(column)];
}

void LineGridModel::Put(int line, int column, const QString& text) {
  if (!Valid(line, column)) return;
  QString& cell = lines_[static_cast<size_t>(line)].cells[static_cast<size_t>(column)];
  if (cell == text) return;
  cell = text;
  const QModelIndex changed = index(line - 1, column);
  // The number cell also decides how the whole line is drawn.
  if (column == 0)
    emit dataChanged(changed, index(line - 1, columnCount() - 1));
  else
    emit dataChanged(changed, changed);
}

bool LineGridModel::Accepts(int column, const QString& text) const {
  if (column < 0 || column >= static_cast<int>(rules_.Columns.size())) return false;
  const LineColumn& rule = rules_.Columns[static_cast<size_t>(column)];
  if (!rule.Editable) return false;
  if (rule.MaxLength > 0 && text.size() > rule.MaxLength) return false;
  switch (rule.Characters) {
    case CellCharacters::Any:  // what the data files can hold
      return platform::text::CharactersOutsideCodepage(text).isEmpty();
    case CellCharacters::Number:
      return std::all_of(text.begin(), text.end(), IsNumberCharacter);
    case CellCharacters::YesNo:
      return text.isEmpty() || (text.size() == 1 && IsYesNo(text[0]));
  }
  return false;
}

bool LineGridModel::Enter(int line, int column, const QString& text) {
  if (!Valid(line, column) || !Accepts(column, text)) return false;
  const bool yesNo = rules_.Columns[static_cast<size_t>(column)].Characters == CellCharacters::YesNo;
  Line& entered = lines_[static_cast<size_t>(line)];
  if (entered.held) entered.typedWhileHeld.insert(column);
  Put(line, column, yesNo ? text.toUpper() : text);
  if (OnEntered) OnEntered(line, column);
  return true;
}

void LineGridModel::HoldTypedCells(int line) {
  if (!Valid(line, 0)) return;
  Line& held = lines_[static_cast<size_t>(line)];
  held.held = true;
  held.typedWhileHeld.clear();
}

void LineGridModel::ReleaseTypedCells(int line) {
  if (!Valid(line, 0)) return;
  Line& held = lines_[static_cast<size_t>(line)];
  held.held = false;
  held.typedWhileHeld.clear();
}

void LineGridModel::ReleaseAllTypedCells() {
  for (int line = 1; line <= rules_.Lines; ++line) ReleaseTypedCells(line);
}

bool LineGridModel::TypedWhileHeld(int line, int column) const {
  return Valid(line, column) && lines_[static_cast<size_t>(line)].typedWhileHeld.count(column) != 0;
}

void LineGridModel::Fill(int line, int column, const QString& text) {
  if (!TypedWhileHeld(line, column)) Put(line, column, text);
}

void LineGridModel::SetCodeWait(int line, CodeWait wait, const QString& code) {
  if (!Valid(line, 0)) return;
  Line& waiting = lines_[static_cast<size_t>(line)];
  waiting.wait = wait;
  waiting.waitingCode = wait == CodeWait::None ? QString() : code;
}

LineGridModel::CodeWait LineGridModel::CodeWaitOf(int line) const {
  return Valid(line, 0) ? lines_[static_cast<size_t>(line)].wait : CodeWait::None;
}

QString LineGridModel::WaitingCode(int line) const {
  return Valid(line, 0) ? lines_[static_cast<size_t>(line)].waitingCode : QString();
}

void LineGridModel::ForgetCodeWaits() {
  for (int line = 1; line <= rules_.Lines; ++line) SetCodeWait(line, CodeWait::None);
  ReleaseAllTypedCells();
}

std::string& LineGridModel::Side(int line, int field) {
  return lines_.at(static_cast<size_t>(line)).side.at(static_cast<size_t>(field));
}

const std::string& LineGridModel::Side(int line, int field) const {
  return lines_.at(static_cast<size_t>(line)).side.at(static_cast<size_t>(field));
}

void LineGridModel::InsertLineAt(int line) {
  if (line < 1 || line > rules_.Lines) return;
  for (int moved = rules_.Lines - 1; moved >= line; --moved) {
    lines_[static_cast<size_t>(moved) + 1] = lines_[static_cast<size_t>(moved)];
    lines_[static_cast<size_t>(moved) + 1].cells[0] = QString::number(moved + 1);
  }
  SetCodeWait(line, CodeWait::None);
  ReleaseTypedCells(line);
  if (OnLineInserted) OnLineInserted(line);
  emit dataChanged(index(line - 1, 0), index(rules_.Lines - 1, columnCount() - 1));
}

int LineGridModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : rules_.Lines;
}

int LineGridModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(rules_.Columns.size());
}

QVariant LineGridModel::data(const QModelIndex& index, int role) const {
  const int line = index.row() + 1;
  if (!Valid(line, index.column())) return {};
  const bool shortage = !rules_.ShortageMark.isEmpty() && Cell(line, 0) == rules_.ShortageMark;
  switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
      return Cell(line, index.column());
    case Qt::TextAlignmentRole:
      return QVariant::fromValue(
          Qt::AlignVCenter |
          (rules_.Columns[static_cast<size_t>(index.column())].AlignRight ? Qt::AlignRight : Qt::AlignLeft));
    case Qt::BackgroundRole:
      if (shortage) return QColor(Qt::yellow);
      return {};
    case Qt::FontRole:
      if (shortage) {
        QFont bold;
        bold.setBold(true);
        return bold;
      }
      return {};
    default:
      return {};
  }
}

bool LineGridModel::setData(const QModelIndex& index, const QVariant& value, int role) {
  if (role != Qt::EditRole) return false;
  return Enter(index.row() + 1, index.column(), value.toString());
}

QVariant LineGridModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (role != Qt::DisplayRole) return {};
  if (orientation == Qt::Vertical) return section + 1;
  if (section < 0 || section >= static_cast<int>(rules_.Columns.size())) return {};
  return rules_.Columns[static_cast<size_t>(section)].Header;
}

Qt::ItemFlags LineGridModel::flags(const QModelIndex& index) const {
  Qt::ItemFlags flags = QAbstractTableModel::flags(index);
  const int column = index.column();
  if (column >= 0 && column < static_cast<int>(rules_.Columns.size())) {
    const LineColumn& rule = rules_.Columns[static_cast<size_t>(column)];
    // Y/N cells change by a key press, never through an editor.
    if (rule.Editable && rule.Characters != CellCharacters::YesNo) flags |= Qt::ItemIsEditable;
  }
  return flags;
}

LineGridView::LineGridView(LineGridModel* model, QWidget* parent) : QTableView(parent), model_(model) {
  setModel(model);
  setItemDelegate(new LineCellDelegate(this));
  setSelectionMode(QAbstractItemView::SingleSelection);
  setSelectionBehavior(QAbstractItemView::SelectItems);
  setEditTriggers(kTypedEditTriggers);
  verticalHeader()->hide();
  verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
  horizontalHeader()->setHighlightSections(false);
  setTabKeyNavigation(true);
  setCornerButtonEnabled(false);
  model_->OnLineInserted = [this](int line) { MoveWaitingWordsDown(line); };
}

LineGridView::~LineGridView() {
  if (model() == model_) model_->OnLineInserted = nullptr;  // a model destroyed first is no longer the view's
  if (auto* cells = dynamic_cast<LineCellDelegate*>(itemDelegate())) cells->Detach();
}

void LineGridView::MoveWaitingWordsDown(int insertedLine) {
  // The last line dropped out; an insert is refused while it holds anything, so nothing of it waits.
  std::erase_if(waiting_, [this](const WaitingWord& word) { return word.line >= model_->Lines(); });
  for (WaitingWord& word : waiting_)
    if (word.line >= insertedLine) ++word.line;
}

int LineGridView::CurrentLine() const {
  const QModelIndex current = currentIndex();
  return current.isValid() ? current.row() + 1 : 1;
}

int LineGridView::CurrentColumn() const {
  const QModelIndex current = currentIndex();
  return current.isValid() ? current.column() : 0;
}

void LineGridView::SetCursor(int line, int column) {
  setCurrentIndex(model_->index(line - 1, column));
}

void LineGridView::SetTopLine(int line) {
  scrollTo(model_->index(line - 1, 0), QAbstractItemView::PositionAtTop);
}

int LineGridView::TopLine() const {
  return rowAt(0) + 1;
}

void LineGridView::SizeColumns() {
  const std::vector<LineColumn>& columns = model_->Rules().Columns;
  const QFontMetrics metrics(font());
  // A cell draws its text inside a margin on either side.
  const int margin = 2 * (style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, this) + 1);
  int used = 0;
  for (size_t column = 0; column + 1 < columns.size(); ++column) {
    const int width = metrics.horizontalAdvance(columns[column].WidthSample) + margin;
    setColumnWidth(static_cast<int>(column), width);
    used += width;
  }
  const int rest = viewport()->width() - used - verticalScrollBar()->sizeHint().width() -
                   metrics.horizontalAdvance(QStringLiteral("..."));
  setColumnWidth(static_cast<int>(columns.size()) - 1,
                 std::max(rest, metrics.horizontalAdvance(QStringLiteral("XXXXXXXXXX"))));
}

bool LineGridView::HandleYesNoKey(QKeyEvent* event) {
  const int column = CurrentColumn();
  const std::vector<LineColumn>& columns = model_->Rules().Columns;
  if (column < 0 || column >= static_cast<int>(columns.size()) ||
      columns[static_cast<size_t>(column)].Characters != CellCharacters::YesNo)
    return false;
  const QString text = event->text();
  if (text.size() != 1 || !text[0].isPrint()) return false;
  if (IsYesNo(text[0])) model_->Enter(CurrentLine(), column, text);
  return true;  // every other printable key is dropped here
}

void LineGridView::LookUpCode(int line) {
  model_->SetCodeWait(line, LineGridModel::CodeWait::None);
  if (!OnEnterKey) return;
  const int outer = std::exchange(lookingUp_, line);
  const bool settled = OnEnterKey(line);
  lookingUp_ = outer;
  // A code that could not be looked up is tried again by OK, not at every move of the cursor.
  const QString code = model_->Cell(line, EnterKeyColumn);
  if (!settled && !code.trimmed().isEmpty())
    model_->SetCodeWait(line, LineGridModel::CodeWait::LookUpFailed, code);
  else if (!WaitsToSay(line))
    model_->ReleaseTypedCells(line);
}

void LineGridView::CodeTyped(int line) {
  model_->HoldTypedCells(line);
  model_->SetCodeWait(line, LineGridModel::CodeWait::ToLookUp, model_->Cell(line, EnterKeyColumn));
}

bool LineGridView::LeftForLookUp() {
  // A button's press takes the focus before its click: the click then finds the code waiting.
  return !qobject_cast<const QAbstractButton*>(QApplication::focusWidget());
}

void LineGridView::EditorLeft() {
  const QWidget* focus = QApplication::focusWidget();
  // Gone to another window (a dialog, another program) and coming back: the code waits.
  if (!isActiveWindow() || !focus || focus == this || isAncestorOf(focus)) return;
  if (LeftForLookUp()) LookUpLeftCodes();
}

void LineGridView::ForgetTypedCodes() {
  waiting_.clear();
  model_->ForgetCodeWaits();
}

void LineGridView::LookUpLeftCodes() {
  // A look-up that moves the cursor comes back here; the outer call goes on through the lines.
  if (lookingUp_ != 0) return;
  // A code still on its cell (the focus gone to another window and coming back) waits.
  const bool onCodeCell = CurrentColumn() == EnterKeyColumn && (hasFocus() || !isActiveWindow());
  const int stillTyped = onCodeCell ? CurrentLine() : 0;
  for (int line = 1; line <= model_->Lines(); ++line)
    if (line != stillTyped && model_->CodeWaitOf(line) == LineGridModel::CodeWait::ToLookUp)
      LookUpTypedCode(line, model_->WaitingCode(line));
}

void LineGridView::LookUpTypedCode(int line, const QString& typed) {
  if (model_->CodeWaitOf(line) == LineGridModel::CodeWait::None || model_->WaitingCode(line) != typed)
    return;  // looked up meanwhile
  // A code emptied, or one the form itself replaced (a product picked), needs no look-up.
  const QString code = model_->Cell(line, EnterKeyColumn);
  if (code.trimmed().isEmpty() || code != typed) {
    model_->SetCodeWait(line, LineGridModel::CodeWait::None);
    model_->ReleaseTypedCells(line);
    return;
  }
  LookUpCode(line);
}

void LineGridView::SayAfterTypedKeys(int line, std::function<void(int line)> say) {
  if (lookingUp_ == 0) {
    say(line);
    return;
  }
  waiting_.push_back({line, std::move(say)});
  if (sayScheduled_) return;
  sayScheduled_ = true;
  // Keys already queued are handled before a zero-time timer runs.
  QTimer::singleShot(0, this, [this] {
    sayScheduled_ = false;
    SayWaiting();
  });
}

bool LineGridView::WaitsToSay(int line) const {
  return std::any_of(waiting_.begin(), waiting_.end(),
                     [line](const WaitingWord& w) { return w.line == line; });
}

void LineGridView::SayWaiting() {
  while (!waiting_.empty()) {
    WaitingWord word = std::move(waiting_.front());
    waiting_.pop_front();
    word.say(word.line);
    if (!WaitsToSay(word.line) && model_->CodeWaitOf(word.line) != LineGridModel::CodeWait::ToLookUp)
      model_->ReleaseTypedCells(word.line);
  }
}

LineGridView::Settled LineGridView::SettleTypedCodes() {
  if (state() == QAbstractItemView::EditingState) {
    if (QWidget* editor = indexWidget(currentIndex())) {
      commitData(editor);
      closeEditor(editor, QAbstractItemDelegate::NoHint);
    }
  }
  Settled settled;
  const auto noteFirst = [](int& first, int line) {  // the lowest line
    if (first == 0 || line < first) first = line;
  };
  for (int line = 1; line <= model_->Lines(); ++line) {
    if (model_->CodeWaitOf(line) == LineGridModel::CodeWait::None) continue;
    const QString code = model_->WaitingCode(line);
    const bool lookedUp = model_->Cell(line, EnterKeyColumn) == code && !code.trimmed().isEmpty();
    LookUpTypedCode(line, code);
    const bool failed = model_->CodeWaitOf(line) == LineGridModel::CodeWait::LookUpFailed;
    if (lookedUp) noteFirst(failed ? settled.Unsettled : settled.LookedUpNow, line);
  }
  for (const WaitingWord& word : waiting_) noteFirst(settled.LookedUpNow, word.line);
  SayWaiting();
  return settled;
}

void LineGridView::currentChanged(const QModelIndex& current, const QModelIndex& previous) {
  QTableView::currentChanged(current, previous);  // takes any edit open in the cell left
  LookUpLeftCodes();
}

void LineGridView::focusOutEvent(QFocusEvent* event) {
  QTableView::focusOutEvent(event);
  const bool otherWindow =
      event->reason() == Qt::ActiveWindowFocusReason || event->reason() == Qt::PopupFocusReason;
  const QWidget* focus = QApplication::focusWidget();
  if (!otherWindow && !(focus && isAncestorOf(focus)) && LeftForLookUp()) LookUpLeftCodes();
}

void LineGridView::keyPressEvent(QKeyEvent* event) {
  const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
  if (enter && state() != QAbstractItemView::EditingState && CurrentColumn() == EnterKeyColumn &&
      OnEnterKey) {
    LookUpCode(CurrentLine());
    event->accept();
    return;
  }
  if (HandleYesNoKey(event)) {
    event->accept();
    return;
  }
  QTableView::keyPressEvent(event);
}

void LineGridView::mouseDoubleClickEvent(QMouseEvent* event) {
  QTableView::mouseDoubleClickEvent(event);
  if (OnDoubleClick) OnDoubleClick();
}

}  // namespace forms
